#include "recording/RecordingTimeline.h"

#include <algorithm>

namespace ombrix::recording {

namespace {

constexpr int kNoCaption = -1;
constexpr int kLostCaption = -2;
const render::CLumImage kNoStrip;

} // namespace

RecordingTimeline::RecordingTimeline(Setup setup, Sink sink)
    : setup_(std::move(setup)), sink_(std::move(sink)) {}

bool RecordingTimeline::Frame(std::shared_ptr<const document::Frame> frame,
                              std::chrono::milliseconds time) {
    if (!frame) {
        return true;
    }
    if (PictureSize(*frame, setup_.look) != setup_.size) {
        error_ = QStringLiteral("the instrument's screen changed its size");
        return false;
    }
    if (!advanceTo(time)) {
        return false;
    }
    frame_ = std::move(frame);
    frameBlinks_ = Blinks(*frame_);
    return show(time);
}

bool RecordingTimeline::Blink(bool phase, std::chrono::milliseconds time) {
    if (!advanceTo(time)) {
        return false;
    }
    blinkPhase_ = phase;
    return show(time);
}

bool RecordingTimeline::Entry(const QString& text, render::CLumImage strip,
                              std::chrono::milliseconds time) {
    if (!advanceTo(time)) {
        return false;
    }
    cues_.push_back({time, time + kCaptionTime, text});
    ++entries_;
    entryStrip_ = std::move(strip);
    entryTime_ = time;
    return show(time);
}

bool RecordingTimeline::Lost(bool lost, std::chrono::milliseconds time) {
    if (!advanceTo(time)) {
        return false;
    }
    if (lost && !lostSince_) {
        lostSince_ = time;
    } else if (!lost && lostSince_) {
        cues_.push_back({*lostSince_, time, kLostText});
        lostSince_.reset();
    }
    return show(time);
}

bool RecordingTimeline::Finish(std::chrono::milliseconds end) {
    const bool shown = advanceTo(end);
    if (lostSince_) {
        cues_.push_back({*lostSince_, end, kLostText});
        lostSince_.reset();
    }
    for (SubtitleCue& cue : cues_) {
        cue.end = std::min(cue.end, end);
    }
    return release() && shown;
}

// The newest entry's caption goes kCaptionTime after its press, also when
// nothing else happens then.
bool RecordingTimeline::advanceTo(std::chrono::milliseconds time) {
    const std::chrono::milliseconds captionEnd = entryTime_ + kCaptionTime;
    if (shown_ && shown_->caption == entries_ && captionEnd <= time) {
        return show(captionEnd);
    }
    return true;
}

bool RecordingTimeline::show(std::chrono::milliseconds time) {
    if (!frame_) {
        return true;
    }
    const Shown now = shownNow(time);
    if (shown_ && *shown_ == now) {
        return true;
    }
    shown_ = now;
    render::CLumImage picture = ComposePicture(*frame_, now.blink, setup_.look, stripOf(now));
    if (picture.IsEmpty()) {
        error_ = QStringLiteral("the picture cannot be made");
        return false;
    }
    return hand(std::move(picture), time);
}

RecordingTimeline::Shown RecordingTimeline::shownNow(std::chrono::milliseconds time) const {
    Shown shown{frame_->generation, blinkPhase_ && frameBlinks_, kNoCaption};
    if (!setup_.look.captions) {
        return shown;
    }
    if (entries_ > 0 && time < entryTime_ + kCaptionTime) {
        shown.caption = entries_;
    } else if (lostSince_) {
        shown.caption = kLostCaption;
    }
    return shown;
}

const render::CLumImage& RecordingTimeline::stripOf(const Shown& shown) const {
    if (shown.caption == kLostCaption) {
        return setup_.lostStrip;
    }
    return shown.caption == kNoCaption ? kNoStrip : entryStrip_;
}

// A picture is written when the next one comes at least the minimum gap
// later (or at the end); one that comes sooner takes its place.
bool RecordingTimeline::hand(render::CLumImage picture, std::chrono::milliseconds time) {
    if (held_ && time - held_->time < setup_.minimumGap) {
        held_->picture = std::move(picture);
        return true;
    }
    const bool released = release();
    held_ = Held{std::move(picture), time};
    return released;
}

bool RecordingTimeline::release() {
    if (!held_) {
        return true;
    }
    const Held held = std::move(*held_);
    held_.reset();
    return sink_(held.picture, held.time);
}

} // namespace ombrix::recording
