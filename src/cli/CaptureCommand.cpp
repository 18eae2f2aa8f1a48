#include "cli/CaptureCommand.h"

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "screenshot/ComposeScreenshot.h"
#include "screenshot/PcxWriter.h"
#include "screenshot/PngWriter.h"
#include "screenshot/ScreenshotFormat.h"
#include "screenshot/TiffWriter.h"

#include <QFile>
#include <QString>
#include <charconv>

namespace ombrix::cli {

namespace {

constexpr std::chrono::seconds kDefaultTimeout{10};
constexpr int kNoFrame = 2;
constexpr int kMaxZoom = 4;

struct CaptureOptions {
    QString output;
    std::optional<link::Serial> serial;
    std::chrono::seconds timeout = kDefaultTimeout;
    bool framed = false;
    int zoom = 1;
};

std::optional<int> parseZoom(const std::string& text) {
    int zoom = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), zoom);
    if (error != std::errc() || end != text.data() + text.size() || zoom < 1 || zoom > kMaxZoom) {
        return std::nullopt;
    }
    return zoom;
}

// Takes the value after an option; false (with the reason on `err`) when it is
// missing or does not parse.
template <typename Parse>
bool takeValue(std::span<const std::string> arguments, std::size_t& i, Parse parse,
               std::string_view need, std::ostream& err) {
    ++i;
    if (i >= arguments.size() || !parse(arguments[i])) {
        err << "ombrix-cli capture: " << arguments[i - 1] << " needs " << need << '\n';
        return false;
    }
    return true;
}

bool parseOption(std::span<const std::string> arguments, std::size_t& i, CaptureOptions& options,
                 std::ostream& err) {
    const std::string& name = arguments[i];
    if (name == "-o") {
        return takeValue(
            arguments, i,
            [&](const std::string& text) {
                options.output = QString::fromStdString(text);
                return !text.empty();
            },
            "a file name", err);
    }
    if (name == "--serial") {
        return takeValue(
            arguments, i,
            [&](const std::string& text) { return bool(options.serial = ParseSerial(text)); },
            "a decimal serial number", err);
    }
    if (name == "--timeout") {
        return takeValue(
            arguments, i,
            [&](const std::string& text) {
                const auto seconds = ParseSeconds(text);
                options.timeout = seconds.value_or(options.timeout);
                return seconds.has_value();
            },
            "a whole number of seconds from 1 to 86400", err);
    }
    if (name == "--framed") {
        options.framed = true;
        return true;
    }
    if (name == "--zoom") {
        return takeValue(
            arguments, i,
            [&](const std::string& text) {
                const std::optional<int> zoom = parseZoom(text);
                options.zoom = zoom.value_or(options.zoom);
                return zoom.has_value();
            },
            "a zoom from 1 to 4", err);
    }
    err << "ombrix-cli capture: unknown argument '" << name << "'\n";
    return false;
}

// The file the output name's extension asks for (PNG for any other), replacing
// one that exists: the name was given on purpose.
bool writeImage(const render::CLumImage& image, const CaptureOptions& options, QString& error) {
    const std::optional<screenshot::ScreenshotFormat> format =
        screenshot::FormatOfFileName(options.output);
    const screenshot::ScreenshotFormat::Index index =
        format ? format->index : screenshot::ScreenshotFormat::Png;
    switch (index) {
    case screenshot::ScreenshotFormat::Tiff:
        return screenshot::WriteTiff(options.output, screenshot::Enlarged(image, options.zoom),
                                     error) != 0;
    case screenshot::ScreenshotFormat::Pcx:
        QFile::remove(options.output);
        return screenshot::SavePcx(image, options.output, options.zoom, error);
    case screenshot::ScreenshotFormat::Png:
        break;
    }
    return screenshot::SavePng(image, options.output, options.zoom, error);
}

std::optional<CaptureOptions> parseOptions(std::span<const std::string> arguments,
                                           std::ostream& err) {
    CaptureOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!parseOption(arguments, i, options, err)) {
            return std::nullopt;
        }
    }
    if (options.output.isEmpty()) {
        err << "ombrix-cli capture: -o FILE is required\n";
        return std::nullopt;
    }
    return options;
}

} // namespace

int RunCapture(std::span<const std::string> arguments, CliContext& context) {
    const std::optional<CaptureOptions> options = parseOptions(arguments, context.err);
    if (!options) {
        return kUsageError;
    }
    CliSession session(context, options->serial);
    document::COmbrixDoc& doc = session.doc();
    const CliSession::Wait outcome =
        session.waitUntil([&doc] { return doc.LatestFrame() != nullptr; }, options->timeout);
    if (outcome != CliSession::Wait::Done) {
        session.report(outcome, "capture", "no frame came within the time-out");
        return outcome == CliSession::Wait::TimedOut ? kNoFrame : 1;
    }
    session.announce("capture");
    // The steady and the blinking icons, as the instrument shows them.
    const render::CLumImage screen = doc.LatestFrame()->shown();
    QString error;
    if (!writeImage(options->framed ? screenshot::ComposeScreenshot(screen) : screen, *options,
                    error)) {
        context.err << "ombrix-cli capture: cannot write " << options->output.toStdString() << ": "
                    << error.toStdString() << '\n';
        return 1;
    }
    return 0;
}

} // namespace ombrix::cli
