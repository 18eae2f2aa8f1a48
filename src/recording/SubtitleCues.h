#pragma once

#include <QString>
#include <chrono>
#include <vector>

namespace ombrix::recording {

// One subtitle of a recording: a text shown from `start` to `end`, times
// from the recording's start.
struct SubtitleCue {
    std::chrono::milliseconds start{0};
    std::chrono::milliseconds end{0};
    QString text;

    friend bool operator==(const SubtitleCue&, const SubtitleCue&) = default;
};

// The cues as a WebVTT file: the "WEBVTT" line, then each cue in the order
// of its start, "hh:mm:ss.ttt --> hh:mm:ss.ttt" and its text ("&", "<" and
// ">" escaped, line breaks as spaces).
QString WebVttText(std::vector<SubtitleCue> cues);

// Writes WebVttText as UTF-8 to `path`, replacing it; false with the reason
// in `error`.
bool WriteWebVtt(const QString& path, const std::vector<SubtitleCue>& cues, QString& error);

} // namespace ombrix::recording
