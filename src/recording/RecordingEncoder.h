#pragma once

#include "recording/GifPalette.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingFormat.h"
#include "render/CLumImage.h"

#include <QSize>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

namespace ombrix::recording {

// Encodes pictures of one size into a recording file through FFmpeg's
// libraries: VP9 in WebM (lossless, in GBR 4:4:4, which gives back the exact
// RGB pixels), GIF (through GifPalette) or animated PNG. Every picture is
// shown from its own time on: a screen that does not change writes nothing.
class RecordingEncoder {
public:
    RecordingEncoder(RecordingFile& file, RecordingFormat format, QSize size);
    RecordingEncoder(const RecordingEncoder&) = delete;
    RecordingEncoder& operator=(const RecordingEncoder&) = delete;
    ~RecordingEncoder();

    // Sets up the encoder and writes the container's header; false with the
    // reason in Error().
    bool Open();
    // Writes `picture` (of the encoder's size), shown from `time` on (after
    // the time before, else a millisecond after it).
    bool Write(const render::CLumImage& picture, std::chrono::milliseconds time);
    // Shows the last picture until `end`, writes what the encoder still holds
    // and closes the container (index, trailer), so that the file plays.
    bool Finish(std::chrono::milliseconds end);

    const QString& Error() const { return error_; }
    std::int64_t Pictures() const { return pictures_; }

private:
    bool openCodec();
    bool openContainer();
    bool repeatUntil(std::int64_t time);
    bool showLastUntil(std::int64_t end);
    bool fill(const render::CLumImage& picture);
    bool send(const AVFrame* frame);
    bool fail(const QString& what, int code);

    RecordingFile& file_;
    RecordingFormat format_;
    QSize size_;
    AVFormatContext* container_ = nullptr;
    AVStream* stream_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* converter_ = nullptr;
    GifPalette palette_;
    bool headerWritten_ = false;
    std::int64_t lastTime_ = -1;
    std::int64_t pictures_ = 0;
    QString error_;
};

} // namespace ombrix::recording
