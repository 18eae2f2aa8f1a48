#include "cli/CaptureCommand.h"

#include "cli/CliOptions.h"
#include "cli/CliSession.h"

#include <QImage>
#include <QString>

namespace ombrix::cli {

namespace {

constexpr std::chrono::seconds kDefaultTimeout{10};
constexpr int kNoFrame = 2;

struct CaptureOptions {
    QString output;
    std::optional<link::Serial> serial;
    std::chrono::seconds timeout = kDefaultTimeout;
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
    err << "ombrix-cli capture: unknown argument '" << name << "'\n";
    return false;
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
        err << "ombrix-cli capture: -o FILE.png is required\n";
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
    // The steady and the blinking icons, as the instrument shows them, one image
    // pixel per instrument pixel.
    const render::CLumImage screen = doc.LatestFrame()->shown();
    if (!screen.AsQImage().save(options->output, "PNG")) {
        context.err << "ombrix-cli capture: cannot write " << options->output.toStdString() << '\n';
        return 1;
    }
    return 0;
}

} // namespace ombrix::cli
