#pragma once

#include "link/FileDescriptor.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace ombrix::sim {

// Sends reply bytes to the host as fast as the link allows: at once, or one byte
// per trickle gap, or no faster than a byte rate. Bytes queue up in order; when
// the socket is full, sending goes on as soon as it takes more.
class ReplyPacer {
public:
    // `onBroken` is called when the host has gone; the pacer sends nothing after.
    ReplyPacer(const FileDescriptor& socket, std::function<void()> onBroken);
    ReplyPacer(const ReplyPacer&) = delete;
    ReplyPacer& operator=(const ReplyPacer&) = delete;

    void setTrickleGap(std::chrono::milliseconds gap) { trickleGap_ = gap; }
    void setByteRate(std::uint64_t bytesPerSecond) { byteRate_ = bytesPerSecond; }

    void send(std::span<const std::uint8_t> bytes);
    // Drops what is queued and not yet sent.
    void clear();
    // Sends nothing any more; called before the socket closes.
    void shutDown();
    std::size_t queuedBytes() const { return queue_.size() - sentOffset_; }

private:
    void pump();
    // How many bytes may go out now; 0 with `wait` set when the pacing holds them back.
    std::size_t allowance(std::chrono::milliseconds& wait) const;
    void waitFor(std::chrono::milliseconds wait);

    const FileDescriptor& socket_;
    std::function<void()> onBroken_;
    std::chrono::milliseconds trickleGap_{0};
    std::uint64_t byteRate_ = 0;
    std::vector<std::uint8_t> queue_;
    std::size_t sentOffset_ = 0;
    QTimer timer_;
    QSocketNotifier writable_;
    QElapsedTimer sinceLastByte_;
    QElapsedTimer rateWindow_;
    std::uint64_t sentInWindow_ = 0;
    bool broken_ = false;
};

} // namespace ombrix::sim
