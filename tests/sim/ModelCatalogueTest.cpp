#include "catalogue/ModelCatalogue.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace ombrix::sim {
namespace {

bool any(bool (*predicate)(const InstrumentModel&)) {
    const auto models = allModels();
    return std::any_of(models.begin(), models.end(), predicate);
}

// Unique keys and serials, screens of whole bytes described whole, icon
// panels only above one-bit screens, twenty keys of their own codes.
TEST(ModelCatalogue, EveryModelIsConsistent) {
    std::set<std::string_view> keys;
    std::set<std::uint32_t> serials;
    for (const InstrumentModel& model : allModels()) {
        SCOPED_TRACE(std::string(model.key));
        EXPECT_TRUE(keys.insert(model.key).second);
        EXPECT_TRUE(serials.insert(model.identification.serial).second);
        EXPECT_EQ(findModel(model.key), &model);
        EXPECT_EQ(model.width * model.height * model.bitsPerPixel % 8, 0);
        if (model.colourLayout) {
            const ColourLayout& layout = *model.colourLayout;
            EXPECT_EQ(layout.redWidth + layout.greenWidth + layout.blueWidth, model.bitsPerPixel);
        } else if (model.bitsPerPixel > 1) {
            EXPECT_EQ(model.palette.size(), std::size_t{1} << model.bitsPerPixel);
        }
        if (model.iconPanelHeight > 0) {
            EXPECT_EQ(model.bitsPerPixel, 1);
            EXPECT_TRUE(model.knowsIconRequest);
        }
        const KeyCodes& codes = model.keys;
        std::set<std::uint8_t> unique{codes.enter, codes.escape, codes.menu, codes.backlight,
                                      codes.hold,  codes.left,   codes.up,   codes.right,
                                      codes.down,  codes.point};
        unique.insert(codes.digits.begin(), codes.digits.end());
        EXPECT_EQ(unique.size(), 20U);
    }
    EXPECT_EQ(findModel("nonesuch"), nullptr);
}

// The integration tests reach every kind of display and every branch of the
// model file naming rule through these models.
TEST(ModelCatalogue, CoversEveryKindOfDisplayAndModelFileName) {
    EXPECT_TRUE(any([](const InstrumentModel& m) {
        return m.bitsPerPixel == 1 && m.iconPanelHeight == 11 && m.knowsIconRequest;
    }));
    EXPECT_TRUE(any([](const InstrumentModel& m) {
        return (m.bitsPerPixel == 4 || m.bitsPerPixel == 8) && !m.colourLayout &&
               m.gammaPercent != 100;
    }));
    EXPECT_TRUE(any([](const InstrumentModel& m) {
        return m.bitsPerPixel == 16 && m.colourLayout && m.colourLayout->redShift == 11 &&
               m.colourLayout->greenShift == 5 && m.colourLayout->greenWidth == 6;
    }));
    EXPECT_TRUE(any([](const InstrumentModel& m) {
        return !m.knowsScreenRequests && m.bitsPerPixel == 1 && m.knowsIconRequest;
    }));
    std::set<ModelFileKind> kinds;
    std::string names;
    for (const InstrumentModel& model : allModels()) {
        kinds.insert(model.shippedFile);
        names += std::string(model.modelFileName) + " ";
    }
    EXPECT_EQ(kinds.size(), 2U);
    for (const char* part : {"_ru.def", "plus.def", "lum745A"}) {
        EXPECT_NE(names.find(part), std::string::npos) << part;
    }
}

} // namespace
} // namespace ombrix::sim
