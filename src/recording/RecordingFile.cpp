#include "recording/RecordingFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace ombrix::recording {

namespace {

std::optional<std::int64_t> fileSizeLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(limit.rlim_cur);
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

RecordingFile::~RecordingFile() {
    Close();
}

bool RecordingFile::Open(const QString& path) {
    fd_ =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        return fail(QStringLiteral("cannot open the file"), errno);
    }
    sizeLimit_ = fileSizeLimit();
    keepRoomFor(0);
    return true;
}

bool RecordingFile::Write(const std::uint8_t* data, std::size_t size) {
    if (fd_ < 0) {
        return false;
    }
    const std::int64_t end = position_ + static_cast<std::int64_t>(size);
    keepRoomFor(end);
    // Past the limit the system would end the program (SIGXFSZ) rather than fail the write.
    if (sizeLimit_ && end > *sizeLimit_) {
        return fail(QStringLiteral("cannot write"), EFBIG);
    }
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return fail(QStringLiteral("cannot write"), written < 0 ? errno : ENOSPC);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        position_ += written;
    }
    size_.store(std::max(size_.load(), position_));
    return true;
}

std::int64_t RecordingFile::Seek(std::int64_t offset, int whence) {
    if (fd_ < 0) {
        return -1;
    }
    const off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (position < 0) {
        fail(QStringLiteral("cannot seek"), errno);
        return -1;
    }
    position_ = position;
    return position_;
}

bool RecordingFile::Close() {
    if (fd_ < 0) {
        return error_.isEmpty();
    }
    // Truncating to its own size gives back what was allocated beyond the end;
    // failing leaves that room allocated but the file whole: nothing to say.
    if (allocated_ > size_.load()) {
        [[maybe_unused]] const int released = ::ftruncate(fd_, size_.load());
    }
    const bool synced = ::fsync(fd_) == 0 || errno == EINVAL;
    const int syncError = errno;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!synced) {
        return fail(QStringLiteral("cannot write the file out"), syncError);
    }
    return closed ? error_.isEmpty() : fail(QStringLiteral("cannot close the file"), errno);
}

// Before every write: the limit must stay a reserve away, and the disk must
// hold two reserves beyond the end, so that when it cannot hold more, one is
// left after a write of less than a reserve.
void RecordingFile::keepRoomFor(std::int64_t end) {
    if (sizeLimit_ && end + kReserve > *sizeLimit_ && !shortOfRoom_) {
        shortOfRoom_ = QStringLiteral("the file size limit is reached");
    }
    if (reserving_ && end + 2 * kReserve > allocated_) {
        reserveBeyond(end);
    }
}

// Allocates ahead, a reserve at a time, without changing the file's size.
void RecordingFile::reserveBeyond(std::int64_t end) {
    const std::int64_t wanted = end + 3 * kReserve;
    if (::fallocate(fd_, FALLOC_FL_KEEP_SIZE, allocated_, wanted - allocated_) == 0) {
        allocated_ = wanted;
        return;
    }
    if (errno == ENOSPC || errno == EDQUOT) {
        if (!shortOfRoom_) {
            shortOfRoom_ = QStringLiteral("the disk is full");
        }
        return;
    }
    // Another file system (or a file that cannot be allocated ahead): a write
    // failure is then the first sign of a full disk.
    reserving_ = false;
}

bool RecordingFile::fail(const QString& what, int error) {
    if (error_.isEmpty()) {
        error_ = what + QStringLiteral(": ") + systemError(error);
    }
    return false;
}

} // namespace ombrix::recording
