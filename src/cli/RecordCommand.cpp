#include "cli/RecordCommand.h"

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/StopSignals.h"
#include "recording/Recorder.h"
#include "recording/RecordingFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <iomanip>

namespace ombrix::cli {

namespace {

using std::chrono::milliseconds;

constexpr std::chrono::seconds kFirstFrameTimeout{10};
constexpr int kNoFrame = 2;
// How often the frame, the stop signals and the link state are looked at:
// a frame's time is its arrival within this.
constexpr milliseconds kLookPeriod{10};

struct RecordOptions {
    QString output;
    recording::RecordingFormat format = recording::kRecordingFormats[0];
    std::optional<link::Serial> serial;
    std::optional<std::chrono::seconds> duration;
    recording::RecordingLook look;
};

bool needsValue(std::span<const std::string> arguments, std::size_t i, std::ostream& err) {
    if (i + 1 < arguments.size()) {
        return true;
    }
    err << "ombrix-cli record: " << arguments[i] << " needs a value\n";
    return false;
}

// The option at `i` and its value; false (with the reason on `err`) when it
// cannot be read.
bool parseOption(std::span<const std::string> arguments, std::size_t& i, RecordOptions& options,
                 std::ostream& err) {
    const std::string& name = arguments[i];
    if (name == "--framed") {
        options.look.framed = true;
        return true;
    }
    if (name != "-o" && name != "--duration" && name != "--zoom" && name != "--serial") {
        err << "ombrix-cli record: unknown argument '" << name << "'\n";
        return false;
    }
    if (!needsValue(arguments, i, err)) {
        return false;
    }
    const std::string& value = arguments[++i];
    bool taken = true;
    if (name == "-o") {
        options.output = QString::fromStdString(value);
        taken = !value.empty();
    } else if (name == "--duration") {
        taken = bool(options.duration = ParseSeconds(value));
    } else if (name == "--zoom") {
        const std::optional<int> zoom = ParseZoom(value);
        options.look.zoom = zoom.value_or(1);
        taken = zoom.has_value();
    } else {
        taken = bool(options.serial = ParseSerial(value));
    }
    if (!taken) {
        err << "ombrix-cli record: " << name << " cannot take '" << value << "'\n";
    }
    return taken;
}

std::optional<RecordOptions> parseOptions(std::span<const std::string> arguments,
                                          std::ostream& err) {
    RecordOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!parseOption(arguments, i, options, err)) {
            return std::nullopt;
        }
    }
    if (options.output.isEmpty()) {
        err << "ombrix-cli record: -o FILE is required\n";
        return std::nullopt;
    }
    const std::optional<recording::RecordingFormat> format =
        recording::RecordingFormatOfFileName(options.output);
    if (!format) {
        err << "ombrix-cli record: " << options.output.toStdString()
            << " does not end in .webm, .gif, .png or .apng\n";
        return std::nullopt;
    }
    options.format = *format;
    return options;
}

QString subtitlesPathOf(const RecordOptions& options) {
    if (options.format.index != recording::RecordingFormat::WebM) {
        return {};
    }
    const QFileInfo output(options.output);
    return output.dir().filePath(output.completeBaseName() + QStringLiteral(".vtt"));
}

// Hands the recorder what happens until the duration is over, a stop signal
// came or the recording ended by itself; the time it stopped.
class RecordingLoop {
public:
    // `firstFrame` is the one the recording started with.
    RecordingLoop(CliContext& context, document::COmbrixDoc& doc, recording::Recorder& recorder,
                  std::uint64_t firstFrame)
        : context_(context), doc_(doc), recorder_(recorder), start_(context.clock.ticks()),
          lastGeneration_(firstFrame) {}

    milliseconds run(const StopSignals& stop, const std::optional<std::chrono::seconds>& duration) {
        milliseconds now = elapsed();
        while (!stop.Received() && !recorder_.Ended() && (!duration || now < *duration)) {
            look(now);
            context_.clock.sleepFor(kLookPeriod);
            now = elapsed();
        }
        return duration ? std::min<milliseconds>(now, *duration) : now;
    }

private:
    milliseconds elapsed() const {
        return milliseconds(link::elapsedSince(start_, context_.clock.ticks()));
    }

    // The timers as the window's: the model's tick and the blink phase.
    void look(milliseconds now) {
        if (now >= nextRefresh_) {
            doc_.OnTimer(document::DocumentTimer::Refresh);
            nextRefresh_ = now + document::kRefreshTimerPeriod;
        }
        if (now >= nextBlink_) {
            doc_.OnTimer(document::DocumentTimer::Blink);
            recorder_.Blink(doc_.BlinkPhase(), now);
            nextBlink_ = now + document::kBlinkTimerPeriod;
        }
        const std::shared_ptr<const document::Frame> frame = doc_.LatestFrame();
        if (frame && frame->generation != lastGeneration_) {
            lastGeneration_ = frame->generation;
            recorder_.Frame(frame, now);
        }
        const bool lost = doc_.GetLinkState() != document::LinkState::Connected;
        if (lost != lost_) {
            lost_ = lost;
            recorder_.Lost(lost, now);
        }
    }

    CliContext& context_;
    document::COmbrixDoc& doc_;
    recording::Recorder& recorder_;
    link::Ticks start_;
    milliseconds nextRefresh_{0};
    milliseconds nextBlink_{document::kBlinkTimerPeriod};
    std::uint64_t lastGeneration_ = 0;
    bool lost_ = false;
};

void reportOutcome(const recording::RecordingOutcome& outcome, const QString& output,
                   CliContext& context) {
    if (!outcome.error.isEmpty()) {
        context.err << "ombrix-cli record: the recording stopped: " << outcome.error.toStdString()
                    << (outcome.playable ? "; what was recorded plays" : "") << '\n';
    }
    if (outcome.skipped > 0) {
        context.err << "ombrix-cli record: " << outcome.skipped
                    << " frames left out: the encoder could not keep up\n";
    }
    context.out << output.toStdString() << ": " << std::fixed << std::setprecision(1)
                << static_cast<double>(outcome.duration.count()) / 1000.0 << " s, "
                << outcome.pictures << " pictures, " << outcome.bytes << " bytes";
    if (!outcome.subtitlesPath.isEmpty()) {
        context.out << ", subtitles " << outcome.subtitlesPath.toStdString();
    }
    context.out << '\n';
}

// A recording in a file beside the output, put in its place once closed, so
// an existing file is replaced only by a whole recording.
int record(const RecordOptions& options, CliSession& session, CliContext& context) {
    const StopSignals stop;
    QTemporaryFile part(options.output + QStringLiteral(".XXXXXX"));
    if (!part.open()) {
        context.err << "ombrix-cli record: cannot write " << options.output.toStdString() << ": "
                    << part.errorString().toStdString() << '\n';
        return 1;
    }
    part.close();
    part.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    document::COmbrixDoc& doc = session.document();
    doc.KeepPolling(true);
    const std::shared_ptr<const document::Frame> first = doc.LatestFrame();
    QString error;
    const std::unique_ptr<recording::Recorder> recorder =
        recording::Recorder::Start({part.fileName(),
                                    subtitlesPathOf(options),
                                    options.format,
                                    options.look,
                                    first,
                                    doc.BlinkPhase(),
                                    {}},
                                   error);
    if (!recorder) {
        context.err << "ombrix-cli record: cannot record: " << error.toStdString() << '\n';
        return 1;
    }
    context.err << "ombrix-cli record: recording to " << options.output.toStdString()
                << (options.duration ? "" : " until interrupted (Ctrl+C)") << '\n';
    const milliseconds end =
        RecordingLoop(context, doc, *recorder, first->generation).run(stop, options.duration);
    const recording::RecordingOutcome outcome = recorder->Stop(end);
    std::error_code failure;
    std::filesystem::rename(QFile::encodeName(part.fileName()).toStdString(),
                            QFile::encodeName(options.output).toStdString(), failure);
    if (failure) {
        context.err << "ombrix-cli record: cannot put the recording in place: " << failure.message()
                    << '\n';
        return 1;
    }
    part.setAutoRemove(false);
    reportOutcome(outcome, options.output, context);
    return outcome.error.isEmpty() && outcome.playable ? 0 : 1;
}

} // namespace

int RunRecord(std::span<const std::string> arguments, CliContext& context) {
    const std::optional<RecordOptions> options = parseOptions(arguments, context.err);
    if (!options) {
        return kUsageError;
    }
    CliSession session(context, options->serial);
    document::COmbrixDoc& doc = session.document();
    const CliSession::Wait outcome =
        session.waitUntil([&doc] { return doc.LatestFrame() != nullptr; }, kFirstFrameTimeout);
    if (outcome != CliSession::Wait::Done) {
        session.report(outcome, "record", "no frame came within 10 s");
        return outcome == CliSession::Wait::TimedOut ? kNoFrame : 1;
    }
    session.announce("record");
    return record(*options, session, context);
}

} // namespace ombrix::cli
