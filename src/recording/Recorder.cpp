#include "recording/Recorder.h"

#include "recording/SubtitleCues.h"

#include <QFile>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace ombrix::recording {

namespace {

// Below the session's and the window's threads: encoding waits, they do not.
constexpr int kEncoderNiceness = 10;
// GIF and PNG delays below 20 ms are stretched by players, and GIF's are whole
// hundredths: pictures come at least 30 ms apart.
constexpr std::chrono::milliseconds kAnimationGap{30};
constexpr std::chrono::milliseconds kVideoGap{1};

std::chrono::milliseconds minimumGap(const RecordingFormat& format) {
    return format.index == RecordingFormat::WebM ? kVideoGap : kAnimationGap;
}

void removeFiles(const RecordingRequest& request) {
    QFile::remove(request.path);
    if (!request.subtitlesPath.isEmpty()) {
        QFile::remove(request.subtitlesPath);
    }
}

} // namespace

std::unique_ptr<Recorder> Recorder::Start(RecordingRequest request, QString& error) {
    if (!request.firstFrame) {
        error = QStringLiteral("there is no instrument screen to record yet");
        return nullptr;
    }
    const QSize size = recording::PictureSize(*request.firstFrame, request.look);
    std::unique_ptr<Recorder> recorder(new Recorder(std::move(request), size));
    const RecordingRequest& started = recorder->request_;
    if (!recorder->file_.Open(started.path) || !recorder->encoder_.Open()) {
        error = recorder->file_.Error().isEmpty() ? recorder->encoder_.Error()
                                                  : recorder->file_.Error();
        recorder->file_.Close();
        removeFiles(started);
        return nullptr;
    }
    recorder->push(frameEvent(started.firstFrame, std::chrono::milliseconds(0)));
    recorder->push(
        switchEvent(Event::Kind::Blink, started.blinkPhase, std::chrono::milliseconds(0)));
    recorder->thread_ = std::thread([raw = recorder.get()] { raw->run(); });
    return recorder;
}

Recorder::Recorder(RecordingRequest request, QSize size)
    : request_(std::move(request)), size_(size), encoder_(file_, request_.format, size_),
      timeline_(RecordingTimeline::Setup{request_.look, size_, request_.lostStrip,
                                         minimumGap(request_.format)},
                [this](const render::CLumImage& picture, std::chrono::milliseconds time) {
                    return write(picture, time);
                }) {}

Recorder::~Recorder() {
    Stop(latest_);
}

Recorder::Event Recorder::frameEvent(std::shared_ptr<const document::Frame> frame,
                                     std::chrono::milliseconds time) {
    Event event(Event::Kind::Frame, time);
    event.frame = std::move(frame);
    return event;
}

Recorder::Event Recorder::switchEvent(Event::Kind kind, bool on, std::chrono::milliseconds time) {
    Event event(kind, time);
    event.on = on;
    return event;
}

void Recorder::Frame(std::shared_ptr<const document::Frame> frame, std::chrono::milliseconds time) {
    push(frameEvent(std::move(frame), time));
}

void Recorder::Blink(bool phase, std::chrono::milliseconds time) {
    push(switchEvent(Event::Kind::Blink, phase, time));
}

void Recorder::Entry(const QString& text, render::CLumImage strip, std::chrono::milliseconds time) {
    Event event(Event::Kind::Entry, time);
    event.text = text;
    event.strip = std::move(strip);
    push(std::move(event));
}

void Recorder::Lost(bool lost, std::chrono::milliseconds time) {
    push(switchEvent(Event::Kind::Lost, lost, time));
}

RecordingOutcome Recorder::Stop(std::chrono::milliseconds end) {
    if (thread_.joinable()) {
        push(Event(Event::Kind::Stop, std::max(end, latest_)));
        thread_.join();
    }
    return outcome_;
}

// A frame beyond the limit replaces the newest one waiting, which nobody
// will see now: the encoder is behind, and memory must not grow without end.
void Recorder::push(Event event) {
    latest_ = std::max(latest_, event.time);
    {
        std::lock_guard lock(mutex_);
        if (stopped_) {
            return;
        }
        stopped_ = event.kind == Event::Kind::Stop;
        const bool frame = event.kind == Event::Kind::Frame;
        if (frame && waitingFrames_ >= kMaxWaitingFrames) {
            const auto last = std::find_if(events_.rbegin(), events_.rend(), [](const Event& e) {
                return e.kind == Event::Kind::Frame;
            });
            last->frame = std::move(event.frame);
            ++skipped_;
            return;
        }
        waitingFrames_ += frame ? 1 : 0;
        events_.push_back(std::move(event));
    }
    arrived_.notify_one();
}

Recorder::Event Recorder::pop() {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [this] { return !events_.empty(); });
    Event event = std::move(events_.front());
    events_.pop_front();
    waitingFrames_ -= event.kind == Event::Kind::Frame ? 1 : 0;
    return event;
}

void Recorder::run() {
    pthread_setname_np(pthread_self(), "ombrix-record");
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kEncoderNiceness);
    while (true) {
        Event event = pop();
        if (event.kind == Event::Kind::Stop) {
            finish(event.time);
            return;
        }
        // After a failure the file is closed; what comes until the stop is not written.
        if (!finished_ && !apply(event)) {
            finish(event.time);
            ended_.store(true);
        }
    }
}

bool Recorder::apply(Event& event) {
    bool applied = true;
    switch (event.kind) {
    case Event::Kind::Frame:
        applied = timeline_.Frame(std::move(event.frame), event.time);
        break;
    case Event::Kind::Blink:
        applied = timeline_.Blink(event.on, event.time);
        break;
    case Event::Kind::Entry:
        applied = timeline_.Entry(event.text, std::move(event.strip), event.time);
        break;
    case Event::Kind::Lost:
        applied = timeline_.Lost(event.on, event.time);
        break;
    case Event::Kind::Stop:
        break;
    }
    if (!applied && error_.isEmpty()) {
        error_ = timeline_.Error();
    }
    return applied;
}

// A file short of room ends the recording while its reserve takes the rest.
bool Recorder::write(const render::CLumImage& picture, std::chrono::milliseconds time) {
    if (!encoder_.Write(picture, time)) {
        error_ = encoder_.Error();
        return false;
    }
    if (file_.ShortOfRoom()) {
        error_ = *file_.ShortOfRoom();
        return false;
    }
    return true;
}

void Recorder::finish(std::chrono::milliseconds end) {
    if (finished_) {
        return;
    }
    finished_ = true;
    timeline_.Finish(end);
    const bool trailed = encoder_.Finish(end);
    const bool closed = file_.Close();
    outcome_.path = request_.path;
    outcome_.playable = trailed && closed;
    outcome_.error = error_;
    if (!outcome_.playable && outcome_.error.isEmpty()) {
        outcome_.error = file_.Error().isEmpty() ? encoder_.Error() : file_.Error();
    }
    outcome_.duration = end;
    outcome_.bytes = file_.Size();
    outcome_.pictures = encoder_.Pictures();
    {
        std::lock_guard lock(mutex_);
        outcome_.skipped = skipped_;
    }
    QString subtitlesError;
    if (request_.subtitlesPath.isEmpty()) {
        return;
    }
    if (WriteWebVtt(request_.subtitlesPath, timeline_.Cues(), subtitlesError)) {
        outcome_.subtitlesPath = request_.subtitlesPath;
    } else if (outcome_.error.isEmpty()) {
        outcome_.error = QStringLiteral("the subtitles cannot be written: ") + subtitlesError;
    }
}

} // namespace ombrix::recording
