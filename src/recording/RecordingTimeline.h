#pragma once

#include "document/Frame.h"
#include "recording/RecordingPicture.h"
#include "recording/SubtitleCues.h"
#include "render/CLumImage.h"

#include <QSize>
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ombrix::recording {

// How long a key's caption and subtitle last from its press.
inline constexpr std::chrono::milliseconds kCaptionTime{1500};
// The subtitle and caption of the time the instrument was lost.
inline const QString kLostText = QStringLiteral("Instrument lost");

// What a recording shows from moment to moment, worked out from what happened
// (frames, blink phases, history entries, the instrument lost and found), each
// at its time: the latest frame's screen as the view shows it, framed and
// enlarged as the look asks, the caption strip under it. Hands every picture
// that differs from the one before to the sink with the time it appeared.
// Pictures closer together than `minimumGap` (a GIF's delays are whole
// hundredths) are one: the later one is shown from the earlier one's time.
// Keeps the subtitles: each entry from its press for kCaptionTime, and every
// time the instrument was lost.
class RecordingTimeline {
public:
    // False when the picture could not be written.
    using Sink = std::function<bool(const render::CLumImage& picture, std::chrono::milliseconds)>;

    struct Setup {
        RecordingLook look;
        QSize size;                  // of every picture
        render::CLumImage lostStrip; // the caption strip while the instrument is lost
        std::chrono::milliseconds minimumGap{1};
    };

    RecordingTimeline(Setup setup, Sink sink);

    // Each is given a time no earlier than the one before. False when a
    // picture could not be written, or when the frame is not of the
    // recording's size (Error() says so).
    bool Frame(std::shared_ptr<const document::Frame> frame, std::chrono::milliseconds time);
    bool Blink(bool phase, std::chrono::milliseconds time);
    // A history entry: its subtitle, and its caption strip (CaptionStrip's).
    bool Entry(const QString& text, render::CLumImage strip, std::chrono::milliseconds time);
    bool Lost(bool lost, std::chrono::milliseconds time);
    // Writes the picture still held back; subtitles end at `end` at the latest.
    bool Finish(std::chrono::milliseconds end);

    std::vector<SubtitleCue> Cues() const { return cues_; }
    const QString& Error() const { return error_; }

private:
    // What the picture shows, so that one equal to the last is not composed.
    struct Shown {
        std::uint64_t generation = 0;
        bool blink = false;
        int caption = -1;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    struct Held {
        render::CLumImage picture;
        std::chrono::milliseconds time;
    };

    bool advanceTo(std::chrono::milliseconds time);
    bool show(std::chrono::milliseconds time);
    Shown shownNow(std::chrono::milliseconds time) const;
    const render::CLumImage& stripOf(const Shown& shown) const;
    bool hand(render::CLumImage picture, std::chrono::milliseconds time);
    bool release();

    Setup setup_;
    Sink sink_;
    std::shared_ptr<const document::Frame> frame_;
    bool frameBlinks_ = false;
    bool blinkPhase_ = false;
    int entries_ = 0;
    render::CLumImage entryStrip_;
    std::chrono::milliseconds entryTime_{0};
    std::optional<std::chrono::milliseconds> lostSince_;
    std::optional<Shown> shown_;
    std::optional<Held> held_;
    std::vector<SubtitleCue> cues_;
    QString error_;
};

} // namespace ombrix::recording
