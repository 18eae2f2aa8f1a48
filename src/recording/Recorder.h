#pragma once

#include "document/Frame.h"
#include "recording/RecordingEncoder.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingFormat.h"
#include "recording/RecordingPicture.h"
#include "recording/RecordingTimeline.h"
#include "render/CLumImage.h"

#include <QSize>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace ombrix::recording {

// What a recording is to be.
struct RecordingRequest {
    QString path;          // the file written; created when missing, emptied
    QString subtitlesPath; // the WebVTT file beside a WebM; empty for none
    RecordingFormat format;
    RecordingLook look;
    // The frame on show when the recording starts, at time 0, in its blink phase.
    std::shared_ptr<const document::Frame> firstFrame;
    bool blinkPhase = false;
    // The caption strip while the instrument is lost (CaptionStrip of
    // kLostText); only with captions.
    render::CLumImage lostStrip;
};

// What became of a recording.
struct RecordingOutcome {
    QString path;
    QString subtitlesPath; // empty when none was written
    // Closed properly: the container has its index and trailer and plays.
    bool playable = false;
    // Why the recording ended before it was stopped, or what failed at its
    // end; empty when it ran until it was stopped.
    QString error;
    std::chrono::milliseconds duration{0};
    std::int64_t bytes = 0;
    std::int64_t pictures = 0;
    // Frames left out because more were waiting than the encoder could take.
    std::int64_t skipped = 0;
};

// A recording in progress. Whoever watches the session (the window, ombrix-cli)
// hands it what happens, each with its time from the recording's start; it
// queues them and returns at once. Its own thread, at a lower priority, turns
// them into pictures (RecordingTimeline) and encodes them (RecordingEncoder)
// into the file, so a slow encoder never holds up the session or the window.
// A frame crosses as a shared pointer to the published, immutable frame.
// When a picture cannot be written (the disk full, the file-size limit near,
// a frame of another size), the recording ends by itself with a file that
// plays; Ended() then says so and Stop() why. All calls come from the thread
// that started it.
class Recorder {
public:
    // Opens the file and the encoder and starts the recording thread; null,
    // with the reason in `error` and the request's files removed, when that
    // cannot be done.
    static std::unique_ptr<Recorder> Start(RecordingRequest request, QString& error);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    // Stops at the latest time given, if Stop() was not called.
    ~Recorder();

    void Frame(std::shared_ptr<const document::Frame> frame, std::chrono::milliseconds time);
    void Blink(bool phase, std::chrono::milliseconds time);
    void Entry(const QString& text, render::CLumImage strip, std::chrono::milliseconds time);
    void Lost(bool lost, std::chrono::milliseconds time);
    // Ends the recording at `end`: waits until what was handed over is
    // written and the file closed. Only the first call stops; the others
    // return the same outcome.
    RecordingOutcome Stop(std::chrono::milliseconds end);

    // Whether the recording ended by itself; Stop() says why.
    bool Ended() const { return ended_.load(); }
    // The bytes in the file so far.
    std::int64_t Bytes() const { return file_.Size(); }
    QSize PictureSize() const { return size_; }

    // At most this many frames wait for the encoder; a frame beyond takes the
    // place of the last one waiting.
    static constexpr std::size_t kMaxWaitingFrames = 64;

private:
    struct Event {
        enum class Kind { Frame, Blink, Entry, Lost, Stop };
        Event(Kind kind, std::chrono::milliseconds time) : kind(kind), time(time) {}

        Kind kind;
        std::chrono::milliseconds time;
        std::shared_ptr<const document::Frame> frame;
        bool on = false; // the blink phase, or lost
        QString text;
        render::CLumImage strip;
    };
    static Event frameEvent(std::shared_ptr<const document::Frame> frame,
                            std::chrono::milliseconds time);
    static Event switchEvent(Event::Kind kind, bool on, std::chrono::milliseconds time);

    Recorder(RecordingRequest request, QSize size);
    void push(Event event);
    Event pop();
    void run();
    bool apply(Event& event);
    bool write(const render::CLumImage& picture, std::chrono::milliseconds time);
    void finish(std::chrono::milliseconds end);

    RecordingRequest request_;
    QSize size_;
    RecordingFile file_;
    RecordingEncoder encoder_;
    RecordingTimeline timeline_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Event> events_;
    std::size_t waitingFrames_ = 0;
    std::int64_t skipped_ = 0;
    std::chrono::milliseconds latest_{0};
    bool stopped_ = false;
    // The recording thread's alone until it ends.
    bool finished_ = false;
    QString error_;
    RecordingOutcome outcome_;
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

} // namespace ombrix::recording
