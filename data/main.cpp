// ombrix-modelgen: writes the sample model description files and their pictures
// for every model of the simulator's catalogue.

#include "FrontPanel.h"
#include "SampleModelWriter.h"
#include "catalogue/ModelCatalogue.h"

#include <QGuiApplication>
#include <QStringList>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace {

constexpr int kUsageError = 64;

struct Options {
    QString outputDir;
    QString pngPath; // empty: no PNG of a front panel
};

constexpr std::string_view kUsage =
    "Usage: ombrix-modelgen --out DIR [--png FILE]\n"
    "  Writes a model description file and its pictures for every simulated\n"
    "  model into DIR (exact models in DIR/Data, family files in DIR) and, with\n"
    "  --png, the front panel of the first model as a PNG picture.\n";

std::optional<Options> parseOptions(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if ((name != "--out" && name != "--png") || i + 1 == arguments.size()) {
            return std::nullopt;
        }
        (name == "--out" ? options.outputDir : options.pngPath) = arguments[++i];
    }
    if (options.outputDir.isEmpty()) {
        return std::nullopt;
    }
    return options;
}

void generate(const Options& options) {
    const ombrix::data::SampleModelWriter writer(options.outputDir);
    for (const auto& model : ombrix::sim::allModels()) {
        writer.write(model);
    }
    if (!options.pngPath.isEmpty() && !ombrix::data::FrontPanel(ombrix::sim::allModels().front())
                                           .image()
                                           .save(options.pngPath, "PNG")) {
        throw std::runtime_error("cannot write " + options.pngPath.toStdString());
    }
}

} // namespace

int main(int argc, char** argv) {
    // Drawing needs no screen; a build machine has none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication application(argc, argv);
    const std::optional<Options> options = parseOptions(QGuiApplication::arguments());
    if (!options) {
        std::cerr << kUsage;
        return kUsageError;
    }
    try {
        generate(*options);
    } catch (const std::exception& error) {
        std::cerr << "ombrix-modelgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
