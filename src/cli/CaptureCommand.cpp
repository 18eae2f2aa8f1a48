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
#include <QTemporaryFile>
#include <filesystem>

namespace ombrix::cli {

namespace {

constexpr std::chrono::seconds kDefaultTimeout{10};
constexpr int kNoFrame = 2;

struct CaptureOptions {
    QString output;
    std::optional<link::Serial> serial;
    std::chrono::seconds timeout = kDefaultTimeout;
    bool framed = false;
    int zoom = 1;
};

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
                const std::optional<int> zoom = ParseZoom(text);
                options.zoom = zoom.value_or(options.zoom);
                return zoom.has_value();
            },
            "a zoom from 1 to 4", err);
    }
    err << "ombrix-cli capture: unknown argument '" << name << "'\n";
    return false;
}

bool writeFormat(const render::CLumImage& image, const QString& path, const QString& outputName,
                 int zoom, QString& error) {
    const std::optional<screenshot::ScreenshotFormat> format =
        screenshot::FormatOfFileName(outputName);
    switch (format ? format->index : screenshot::ScreenshotFormat::Png) {
    case screenshot::ScreenshotFormat::Tiff:
        return screenshot::WriteTiff(path, screenshot::Enlarged(image, zoom), error) != 0;
    case screenshot::ScreenshotFormat::Pcx:
        return screenshot::SavePcx(image, path, zoom, error);
    case screenshot::ScreenshotFormat::Png:
        break;
    }
    return screenshot::SavePng(image, path, zoom, error);
}

// The file the output name's extension asks for (PNG for any other). Written
// beside it first and then put in its place, so an existing file is replaced
// only by a whole new one.
bool writeImage(const render::CLumImage& image, const CaptureOptions& options, QString& error) {
    QTemporaryFile part(options.output + QStringLiteral(".XXXXXX"));
    if (!part.open()) {
        error = part.errorString();
        return false;
    }
    part.close();
    // A temporary file is for its owner alone; the capture is for anyone, as
    // a file written directly would be.
    part.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!writeFormat(image, part.fileName(), options.output, options.zoom, error)) {
        return false;
    }
    std::error_code failure;
    std::filesystem::rename(QFile::encodeName(part.fileName()).toStdString(),
                            QFile::encodeName(options.output).toStdString(), failure);
    if (failure) {
        error = QString::fromStdString(failure.message());
        return false;
    }
    part.setAutoRemove(false);
    return true;
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
    document::COmbrixDoc& doc = session.document();
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
