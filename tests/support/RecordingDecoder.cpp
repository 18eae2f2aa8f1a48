#include "RecordingDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QFile>
#include <memory>

namespace ombrix::testing {

namespace {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

QRgb pixelAt(const AVFrame& frame, int x, int y) {
    const auto row = [&](int plane) { return frame.data[plane] + y * frame.linesize[plane]; };
    switch (frame.format) {
    case AV_PIX_FMT_GBRP:
        return qRgb(row(2)[x], row(0)[x], row(1)[x]);
    case AV_PIX_FMT_RGB24:
        return qRgb(row(0)[3 * x], row(0)[3 * x + 1], row(0)[3 * x + 2]);
    case AV_PIX_FMT_RGBA:
        return qRgb(row(0)[4 * x], row(0)[4 * x + 1], row(0)[4 * x + 2]);
    case AV_PIX_FMT_BGRA:
        return qRgb(row(0)[4 * x + 2], row(0)[4 * x + 1], row(0)[4 * x]);
    case AV_PIX_FMT_PAL8:
        return reinterpret_cast<const std::uint32_t*>(frame.data[1])[row(0)[x]] | 0xFF000000u;
    default:
        return 0;
    }
}

bool knownFormat(int format) {
    return format == AV_PIX_FMT_GBRP || format == AV_PIX_FMT_RGB24 || format == AV_PIX_FMT_RGBA ||
           format == AV_PIX_FMT_BGRA || format == AV_PIX_FMT_PAL8;
}

QImage toImage(const AVFrame& frame) {
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    for (int y = 0; y < frame.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < frame.width; ++x) {
            line[x] = pixelAt(frame, x, y);
        }
    }
    return image;
}

bool endsWith(const QString& path, const QByteArray& tail) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.size() >= tail.size() &&
           file.seek(file.size() - tail.size()) && file.readAll() == tail;
}

bool finalised(const QString& codec, const QString& path, AVStream& stream) {
    if (codec == QLatin1String("gif")) {
        return endsWith(path, QByteArray(1, ';'));
    }
    if (codec == QLatin1String("apng")) {
        return endsWith(path, QByteArray::fromHex("0000000049454e44ae426082"));
    }
    return avformat_index_get_entries_count(&stream) > 0;
}

// Decodes what the decoder gives back for `packet` (null: the end).
bool receive(AVCodecContext& codec, const AVPacket* packet, AVStream& stream, AVFrame& frame,
             DecodedRecording& decoded) {
    if (avcodec_send_packet(&codec, packet) < 0) {
        decoded.error = "a packet does not decode";
        return false;
    }
    while (avcodec_receive_frame(&codec, &frame) == 0) {
        if (!knownFormat(frame.format)) {
            decoded.error = QString("pixel format %1").arg(frame.format);
            return false;
        }
        const auto milliseconds = [&](std::int64_t time) {
            return std::chrono::milliseconds(
                av_rescale_q(time, stream.time_base, AVRational{1, 1000}));
        };
        decoded.pictures.push_back({milliseconds(frame.best_effort_timestamp),
                                    milliseconds(frame.pkt_duration), toImage(frame)});
        av_frame_unref(&frame);
    }
    return true;
}

} // namespace

DecodedRecording DecodeRecording(const QString& path) {
    DecodedRecording decoded;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, QFile::encodeName(path).constData(), nullptr, nullptr) < 0) {
        decoded.error = "cannot open";
        return decoded;
    }
    const std::unique_ptr<AVFormatContext, InputCloser> input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0 || input->nb_streams != 1) {
        decoded.error = "no single stream";
        return decoded;
    }
    AVStream& stream = *input->streams[0];
    const AVCodec* decoder = avcodec_find_decoder(stream.codecpar->codec_id);
    const std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
    if (decoder == nullptr || avcodec_parameters_to_context(codec.get(), stream.codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        decoded.error = "no decoder";
        return decoded;
    }
    decoded.codec = QString::fromLatin1(decoder->name);
    const std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    const std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    int read = 0;
    while ((read = av_read_frame(input.get(), packet.get())) >= 0) {
        const bool decodes = receive(*codec, packet.get(), stream, *frame, decoded);
        av_packet_unref(packet.get());
        if (!decodes) {
            return decoded;
        }
    }
    if (read != AVERROR_EOF || !receive(*codec, nullptr, stream, *frame, decoded)) {
        decoded.error = decoded.error.isEmpty() ? QString("reading stopped early") : decoded.error;
        return decoded;
    }
    decoded.whole = true;
    if (input->duration != AV_NOPTS_VALUE) {
        decoded.duration = std::chrono::milliseconds(input->duration / (AV_TIME_BASE / 1000));
    } else if (!decoded.pictures.empty()) {
        decoded.duration = decoded.pictures.back().time + decoded.pictures.back().length;
    }
    decoded.finalised = finalised(decoded.codec, path, stream);
    return decoded;
}

QImage PictureAt(const DecodedRecording& recording, std::chrono::milliseconds time) {
    QImage shown;
    for (const DecodedPicture& picture : recording.pictures) {
        if (picture.time > time) {
            break;
        }
        shown = picture.image;
    }
    return shown;
}

} // namespace ombrix::testing
