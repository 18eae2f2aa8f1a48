#pragma once

#include <QImage>
#include <QString>
#include <chrono>
#include <vector>

namespace ombrix::testing {

// One picture of a recording, from its time on.
struct DecodedPicture {
    std::chrono::milliseconds time{0};
    std::chrono::milliseconds length{0}; // as the container says; 0 when it does not
    QImage image;                        // Format_RGB32
};

// A recording file read back through FFmpeg's libraries, independently of the
// code that wrote it.
struct DecodedRecording {
    QString codec;
    std::vector<DecodedPicture> pictures;
    // The container's own duration, else the end of the last picture.
    std::chrono::milliseconds duration{0};
    // Every packet read and decoded without an error, up to the end.
    bool whole = false;
    // Closed properly: a WebM's index (cues), a GIF's trailer byte, an
    // animated PNG's IEND chunk.
    bool finalised = false;
    QString error;
};

DecodedRecording DecodeRecording(const QString& path);

// The picture shown at `time`: the last one from that time or before; null
// before the first.
QImage PictureAt(const DecodedRecording& recording, std::chrono::milliseconds time);

} // namespace ombrix::testing
