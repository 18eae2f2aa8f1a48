#include "SampleModelWriter.h"

#include "FrontPanel.h"
#include "IconStrips.h"
#include "KeyboardBar.h"
#include "SampleKeys.h"
#include "model/ModelFile.h"
#include "session/ProgramDirectory.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace ombrix::data {

namespace {

// Model files name their pictures in upper case, as a load leaves every string;
// the pictures themselves are lower case on disk and are found case-insensitively.
struct PictureNames {
    QString panel;
    std::array<QString, 3> icons;
    QString iconClear;
    QString bar;
};

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString shippedFileName(const sim::InstrumentModel& model) {
    return fromView(model.shippedFile == sim::ModelFileKind::Exact ? model.modelFileName
                                                                   : model.familyFileName);
}

PictureNames pictureNames(const sim::InstrumentModel& model) {
    const QString base = shippedFileName(model).section(u'.', 0, 0).toLower();
    return {base + "_panel.bmp",
            {base + "_icons1.bmp", base + "_icons2.bmp", base + "_icons3.bmp"},
            base + "_iconclear.bmp",
            base + "_bar.bmp"};
}

std::vector<QString> barLabels(const sim::InstrumentModel& model) {
    const std::vector<SampleKey> keys = SampleKeys(model.keys);
    std::vector<QString> labels;
    for (const QString& name : SampleBarKeys()) {
        const auto key = std::find_if(keys.begin(), keys.end(),
                                      [&](const SampleKey& k) { return k.name == name; });
        labels.push_back(key->label);
    }
    return labels;
}

std::vector<std::uint32_t> barCodes(const std::vector<model::KeyButton>& buttons) {
    std::vector<std::uint32_t> codes;
    for (const QString& name : SampleBarKeys()) {
        const auto button =
            std::find_if(buttons.begin(), buttons.end(),
                         [&](const model::KeyButton& b) { return b.keyName == name; });
        codes.push_back(button->keyCode);
    }
    return codes;
}

model::InstrumentModel mainSection(const sim::InstrumentModel& source, const FrontPanel& panel,
                                   const PictureNames& names) {
    model::InstrumentModel model;
    model.dataDir = source.shippedFile == sim::ModelFileKind::Exact
                        ? QString()
                        : QString(session::kDataFolder).toUpper();
    model.keyboardBitmap = names.panel.toUpper();
    model.hardwareName = fromView(source.hardwareName).toUpper();
    model.displayWidth = source.width;
    model.displayHeight = source.height;
    model.display = panel.display();
    model.iconsPanelHeight = source.iconPanelHeight;
    if (source.iconPanelHeight > 0) {
        for (std::size_t i = 0; i < names.icons.size(); ++i) {
            model.iconBitmaps[i] = names.icons[i].toUpper();
        }
        model.iconClear = names.iconClear.toUpper();
    }
    // Dark pixels on the grey-green glass of the front panel; a green backlight.
    model.colors.colours = {base::ColorRef(0x000000), base::ColorRef(0x00FF00),
                            base::ColorRef(0x202020), base::ColorRef(0xAAC8BA)};
    return model;
}

} // namespace

SampleModelWriter::SampleModelWriter(const QString& programDir)
    : programDir_(programDir), dataDir_(programDir_.filePath(session::kDataFolder)) {
    if (!programDir_.mkpath(session::kDataFolder)) {
        throw std::runtime_error("cannot create " + dataDir_.path().toStdString());
    }
}

QString SampleModelWriter::modelPath(const sim::InstrumentModel& model) const {
    const QDir& folder = model.shippedFile == sim::ModelFileKind::Exact ? dataDir_ : programDir_;
    return folder.filePath(shippedFileName(model));
}

void SampleModelWriter::write(const sim::InstrumentModel& model) const {
    const PictureNames names = pictureNames(model);
    const FrontPanel panel(model);
    savePicture(panel.image(), names.panel);
    if (model.iconPanelHeight > 0) {
        const IconStrips icons(model.width, model.iconPanelHeight);
        for (std::size_t i = 0; i < names.icons.size(); ++i) {
            savePicture(icons.strip(i), names.icons[i]);
        }
        savePicture(icons.emptyPanel(), names.iconClear);
    }
    savePicture(KeyboardBar(barLabels(model)).image(), names.bar);
    describe(model, panel).save(modelPath(model));
}

model::ModelFile SampleModelWriter::describe(const sim::InstrumentModel& model) {
    return describe(model, FrontPanel(model));
}

model::ModelFile SampleModelWriter::describe(const sim::InstrumentModel& model,
                                             const FrontPanel& panel) {
    const PictureNames names = pictureNames(model);
    model::KeyboardLayout layout(panel.buttons(), names.bar.toUpper(), barCodes(panel.buttons()),
                                 SampleKeyTables(model.keys));
    return {mainSection(model, panel, names), std::move(layout)};
}

void SampleModelWriter::savePicture(const QImage& image, const QString& fileName) const {
    const QString path = dataDir_.filePath(fileName);
    if (!image.save(path, "BMP")) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

} // namespace ombrix::data
