#include "recording/RecordingEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <array>

namespace ombrix::recording {

namespace {

constexpr int kIoBufferSize = 64 * 1024;
constexpr AVRational kMillisecond{1, 1000};
// A key frame at least every so many pictures, so a player can seek.
constexpr int kKeyFrameInterval = 300;
// The container's clusters stay small: a cluster is held back until it ends,
// and must fit the file's reserve when the disk fills.
constexpr const char* kClusterBytes = "262144";
constexpr const char* kClusterMilliseconds = "2000";
// The longest a picture is shown before it is written again: a GIF's delays
// end at 655 s.
constexpr std::int64_t kMaxPictureGap = 60'000;
// In hundredths: players stretch a shorter GIF delay to a tenth of a second.
constexpr std::int64_t kShortestGifDelay = 2;

// The pixels of a CLumImage as FFmpeg sees them: 0x00RRGGBB words are B, G, R, 0 bytes.
constexpr AVPixelFormat kPictureFormat = AV_PIX_FMT_BGR0;

int writePacket(void* opaque, std::uint8_t* data, int size) {
    auto* file = static_cast<RecordingFile*>(opaque);
    return file->Write(data, static_cast<std::size_t>(size)) ? size : AVERROR(EIO);
}

std::int64_t seekFile(void* opaque, std::int64_t offset, int whence) {
    auto* file = static_cast<RecordingFile*>(opaque);
    if ((whence & AVSEEK_SIZE) != 0) {
        return file->Size();
    }
    return file->Seek(offset, whence & ~AVSEEK_FORCE);
}

QString ffmpegError(int code) {
    std::array<char, AV_ERROR_MAX_STRING_SIZE> text{};
    av_strerror(code, text.data(), text.size());
    return QString::fromUtf8(text.data());
}

AVPixelFormat codecFormat(RecordingFormat::Index format) {
    switch (format) {
    case RecordingFormat::WebM:
        return AV_PIX_FMT_GBRP;
    case RecordingFormat::Gif:
        return AV_PIX_FMT_PAL8;
    case RecordingFormat::Png:
        break;
    }
    return AV_PIX_FMT_RGB24;
}

const AVCodec* findEncoder(RecordingFormat::Index format) {
    switch (format) {
    case RecordingFormat::WebM:
        return avcodec_find_encoder_by_name("libvpx-vp9");
    case RecordingFormat::Gif:
        return avcodec_find_encoder(AV_CODEC_ID_GIF);
    case RecordingFormat::Png:
        break;
    }
    return avcodec_find_encoder(AV_CODEC_ID_APNG);
}

// VP9 lossless, fast enough to follow the screen on one core: the encoder
// thread must keep up without taking the session's or the window's time.
void setVp9Options(AVCodecContext& codec) {
    av_opt_set_int(codec.priv_data, "lossless", 1, 0);
    av_opt_set(codec.priv_data, "deadline", "realtime", 0);
    av_opt_set_int(codec.priv_data, "cpu-used", 8, 0);
    av_opt_set_int(codec.priv_data, "lag-in-frames", 0, 0);
    av_opt_set_int(codec.priv_data, "row-mt", 1, 0);
    codec.gop_size = kKeyFrameInterval;
    codec.thread_count = 1;
}

// Recordings for documents and chats play in a loop.
void setMuxerOptions(RecordingFormat::Index format, AVDictionary*& options) {
    switch (format) {
    case RecordingFormat::WebM:
        av_dict_set(&options, "cluster_size_limit", kClusterBytes, 0);
        av_dict_set(&options, "cluster_time_limit", kClusterMilliseconds, 0);
        return;
    case RecordingFormat::Gif:
        av_dict_set(&options, "loop", "0", 0);
        return;
    case RecordingFormat::Png:
        av_dict_set(&options, "plays", "0", 0);
        return;
    }
}

} // namespace

RecordingEncoder::RecordingEncoder(RecordingFile& file, RecordingFormat format, QSize size)
    : file_(file), format_(format), size_(size) {}

RecordingEncoder::~RecordingEncoder() {
    sws_freeContext(converter_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&codec_);
    if (container_ != nullptr) {
        if (container_->pb != nullptr) {
            av_freep(&container_->pb->buffer);
            avio_context_free(&container_->pb);
        }
        avformat_free_context(container_);
    }
}

bool RecordingEncoder::Open() {
    // The libraries' own messages would go to standard error; failures are
    // told through the codes they return.
    av_log_set_level(AV_LOG_QUIET);
    return openCodec() && openContainer();
}

bool RecordingEncoder::openCodec() {
    const AVCodec* encoder = findEncoder(format_.index);
    if (encoder == nullptr) {
        return fail(QStringLiteral("no encoder for %1").arg(QLatin1String(format_.name)),
                    AVERROR_ENCODER_NOT_FOUND);
    }
    codec_ = avcodec_alloc_context3(encoder);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (codec_ == nullptr || frame_ == nullptr || packet_ == nullptr) {
        return fail(QStringLiteral("cannot set up the encoder"), AVERROR(ENOMEM));
    }
    codec_->width = size_.width();
    codec_->height = size_.height();
    codec_->pix_fmt = codecFormat(format_.index);
    codec_->time_base = kMillisecond;
    if (format_.index == RecordingFormat::WebM) {
        setVp9Options(*codec_);
    }
    if (format_.index == RecordingFormat::Png) {
        // An enlarged screen repeats each row zoom times: the row above
        // predicts it, which halves the file for the same time.
        av_opt_set(codec_->priv_data, "pred", "up", 0);
    }
    if (const int code = avcodec_open2(codec_, encoder, nullptr); code < 0) {
        return fail(QStringLiteral("cannot open the encoder"), code);
    }
    frame_->format = codec_->pix_fmt;
    frame_->width = codec_->width;
    frame_->height = codec_->height;
    if (const int code = av_frame_get_buffer(frame_, 0); code < 0) {
        return fail(QStringLiteral("cannot set up the encoder"), code);
    }
    if (format_.index != RecordingFormat::Gif) {
        converter_ =
            sws_getContext(size_.width(), size_.height(), kPictureFormat, size_.width(),
                           size_.height(), codec_->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
        if (converter_ == nullptr) {
            return fail(QStringLiteral("cannot set up the conversion"), AVERROR(EINVAL));
        }
    }
    return true;
}

bool RecordingEncoder::openContainer() {
    if (const int code =
            avformat_alloc_output_context2(&container_, nullptr, format_.muxer, nullptr);
        code < 0) {
        return fail(QStringLiteral("cannot set up the container"), code);
    }
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
    container_->pb =
        avio_alloc_context(buffer, kIoBufferSize, 1, &file_, nullptr, writePacket, seekFile);
    if (container_->pb == nullptr) {
        av_free(buffer);
        return fail(QStringLiteral("cannot set up the container"), AVERROR(ENOMEM));
    }
    container_->flags |= AVFMT_FLAG_CUSTOM_IO;
    stream_ = avformat_new_stream(container_, nullptr);
    if (stream_ == nullptr) {
        return fail(QStringLiteral("cannot set up the container"), AVERROR(ENOMEM));
    }
    if (const int code = avcodec_parameters_from_context(stream_->codecpar, codec_); code < 0) {
        return fail(QStringLiteral("cannot set up the container"), code);
    }
    stream_->time_base = kMillisecond;
    AVDictionary* options = nullptr;
    setMuxerOptions(format_.index, options);
    const int code = avformat_write_header(container_, &options);
    av_dict_free(&options);
    if (code < 0) {
        return fail(QStringLiteral("cannot write the header"), code);
    }
    headerWritten_ = true;
    return true;
}

bool RecordingEncoder::Write(const render::CLumImage& picture, std::chrono::milliseconds time) {
    if (!headerWritten_ || picture.Width() != size_.width() || picture.Height() != size_.height()) {
        return fail(QStringLiteral("a picture of another size"), AVERROR(EINVAL));
    }
    if (!repeatUntil(time.count()) || !fill(picture)) {
        return false;
    }
    lastTime_ = std::max<std::int64_t>(time.count(), lastTime_ + 1);
    frame_->pts = lastTime_;
    ++pictures_;
    return send(frame_);
}

// The frame the encoder was given may still be in its hands: written to only
// when it is ours alone.
bool RecordingEncoder::fill(const render::CLumImage& picture) {
    if (const int code = av_frame_make_writable(frame_); code < 0) {
        return fail(QStringLiteral("cannot encode"), code);
    }
    if (format_.index == RecordingFormat::Gif) {
        palette_.Map(picture, frame_->data[0], frame_->linesize[0]);
        std::copy(palette_.Colors().begin(), palette_.Colors().end(),
                  reinterpret_cast<std::uint32_t*>(frame_->data[1]));
        return true;
    }
    const auto* pixels = reinterpret_cast<const std::uint8_t*>(picture.Bits());
    const std::array<const std::uint8_t*, 1> source = {pixels};
    const std::array<int, 1> stride = {picture.Stride()};
    sws_scale(converter_, source.data(), stride.data(), 0, picture.Height(), frame_->data,
              frame_->linesize);
    return true;
}

bool RecordingEncoder::send(const AVFrame* frame) {
    if (const int code = avcodec_send_frame(codec_, frame); code < 0) {
        return fail(QStringLiteral("cannot encode"), code);
    }
    while (true) {
        const int received = avcodec_receive_packet(codec_, packet_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return true;
        }
        if (received < 0) {
            return fail(QStringLiteral("cannot encode"), received);
        }
        av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        const int written = av_write_frame(container_, packet_);
        av_packet_unref(packet_);
        if (written < 0) {
            return fail(QStringLiteral("cannot write"), written);
        }
        // On disk at once: the size shown is the file's, and a full disk is
        // found while the reserve is whole.
        avio_flush(container_->pb);
    }
}

bool RecordingEncoder::repeatUntil(std::int64_t time) {
    while (pictures_ > 0 && time - lastTime_ > kMaxPictureGap) {
        lastTime_ += kMaxPictureGap;
        frame_->pts = lastTime_;
        if (!send(frame_)) {
            return false;
        }
    }
    return true;
}

bool RecordingEncoder::Finish(std::chrono::milliseconds end) {
    if (!headerWritten_) {
        return false;
    }
    const bool finished = repeatUntil(end.count()) && showLastUntil(end.count()) && send(nullptr);
    if (const int code = av_write_trailer(container_); code < 0) {
        return fail(QStringLiteral("cannot close the container"), code);
    }
    headerWritten_ = false;
    avio_flush(container_->pb);
    return finished && container_->pb->error == 0;
}

// A GIF's or an animated PNG's last picture lasts as its container is told;
// a video's lasts until the same picture comes again at the end.
bool RecordingEncoder::showLastUntil(std::int64_t end) {
    const std::int64_t shown = std::max<std::int64_t>(end - lastTime_, 1);
    if (pictures_ == 0) {
        return true;
    }
    switch (format_.index) {
    case RecordingFormat::Gif:
        return av_opt_set_int(container_->priv_data, "final_delay",
                              std::max<std::int64_t>((shown + 5) / 10, kShortestGifDelay), 0) >= 0;
    case RecordingFormat::Png:
        return av_opt_set_q(container_->priv_data, "final_delay",
                            AVRational{static_cast<int>(shown), 1000}, 0) >= 0;
    case RecordingFormat::WebM:
        break;
    }
    if (end <= lastTime_) {
        return true;
    }
    frame_->pts = end;
    return send(frame_);
}

bool RecordingEncoder::fail(const QString& what, int code) {
    if (error_.isEmpty()) {
        error_ = file_.Error().isEmpty() ? what + QStringLiteral(": ") + ffmpegError(code)
                                         : file_.Error();
    }
    return false;
}

} // namespace ombrix::recording
