#pragma once

#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace ombrix::recording {

// The file a recording is written to, for FFmpeg's output callbacks. It keeps
// room ahead of what it wrote: kReserve bytes allocated beyond the end, and the
// process's file-size limit never reached. When the disk fills or the limit
// comes near, ShortOfRoom() says so while the room still takes the end of the
// container, so the recording can stop with a file that plays. Used by one
// thread; Size() may be read by any.
class RecordingFile {
public:
    // What a container still writes when it is closed: the cluster or frame it
    // holds back, the index and the trailer.
    static constexpr std::int64_t kReserve = 1024 * 1024;

    RecordingFile() = default;
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;
    // Closes the file if Close() was not called.
    ~RecordingFile();

    // Opens `path` for writing, emptying it (it is created when missing);
    // false with the reason in Error().
    bool Open(const QString& path);
    // Writes at the current position; false, with the reason kept, when the
    // bytes could not all be written.
    bool Write(const std::uint8_t* data, std::size_t size);
    // lseek's offset and whence; the new position, or -1.
    std::int64_t Seek(std::int64_t offset, int whence);
    // Gives back the room allocated beyond the end and closes; false when the
    // last bytes could not be written out.
    bool Close();

    // The bytes written so far, the file's size.
    std::int64_t Size() const { return size_.load(); }
    // Why the recording must end now, while the room still takes the rest
    // ("the disk is full", "the file size limit is reached"); none while there
    // is room.
    const std::optional<QString>& ShortOfRoom() const { return shortOfRoom_; }
    const QString& Error() const { return error_; }

private:
    void keepRoomFor(std::int64_t end);
    void reserveBeyond(std::int64_t end);
    bool fail(const QString& what, int error);

    int fd_ = -1;
    std::int64_t position_ = 0;
    std::atomic<std::int64_t> size_{0};
    std::int64_t allocated_ = 0; // bytes allocated from the start of the file
    bool reserving_ = true;      // false where the file system cannot allocate ahead
    std::optional<std::int64_t> sizeLimit_;
    std::optional<QString> shortOfRoom_;
    QString error_;
};

} // namespace ombrix::recording
