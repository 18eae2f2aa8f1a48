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

TEST(ModelCatalogue, KeysAndSerialsAreUnique) {
    std::set<std::string_view> keys;
    std::set<std::uint32_t> serials;
    for (const InstrumentModel& model : allModels()) {
        EXPECT_TRUE(keys.insert(model.key).second) << model.key;
        EXPECT_TRUE(serials.insert(model.identification.serial).second) << model.key;
        EXPECT_EQ(findModel(model.key), &model);
    }
    EXPECT_EQ(findModel("nonesuch"), nullptr);
}

TEST(ModelCatalogue, CoversEveryKindOfDisplay) {
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
}

TEST(ModelCatalogue, FormatsAreConsistent) {
    for (const InstrumentModel& model : allModels()) {
        SCOPED_TRACE(std::string(model.key));
        EXPECT_EQ(model.width * model.height * model.bitsPerPixel % 8, 0);
        if (model.colourLayout) {
            const ColourLayout& layout = *model.colourLayout;
            EXPECT_EQ(layout.redWidth + layout.greenWidth + layout.blueWidth, model.bitsPerPixel);
        } else if (model.bitsPerPixel > 1) {
            EXPECT_EQ(model.palette.size(), std::size_t{1} << model.bitsPerPixel);
        }
        if (model.iconPanelHeight > 0) {
            EXPECT_EQ(model.bitsPerPixel, 1); // icon panels sit above monochrome displays only
            EXPECT_TRUE(model.knowsIconRequest);
        }
    }
}

TEST(ModelCatalogue, KeysNeverRepeatWithinAModel) {
    for (const InstrumentModel& model : allModels()) {
        SCOPED_TRACE(std::string(model.key));
        const KeyCodes& keys = model.keys;
        std::set<std::uint8_t> codes{keys.enter, keys.escape, keys.menu, keys.backlight,
                                     keys.hold,  keys.left,   keys.up,   keys.right,
                                     keys.down,  keys.point};
        codes.insert(keys.digits.begin(), keys.digits.end());
        EXPECT_EQ(codes.size(), 20U);
    }
}

TEST(ModelCatalogue, ModelFileNamesCoverEveryBranchOfTheNamingRule) {
    std::set<ModelFileKind> kinds;
    std::string names;
    for (const InstrumentModel& model : allModels()) {
        kinds.insert(model.shippedFile);
        names += std::string(model.modelFileName) + " ";
    }
    EXPECT_EQ(kinds.size(), 2U);
    EXPECT_NE(names.find("_ru.def"), std::string::npos);
    EXPECT_NE(names.find("plus.def"), std::string::npos);
    EXPECT_NE(names.find("lum745A"), std::string::npos);
}

} // namespace
} // namespace ombrix::sim
