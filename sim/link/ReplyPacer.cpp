#include "link/ReplyPacer.h"

#include "link/UnixSocket.h"

#include <algorithm>

namespace ombrix::sim {

namespace {

constexpr std::uint64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::chrono::milliseconds kShortestWait{1};

} // namespace

ReplyPacer::ReplyPacer(const FileDescriptor& socket, std::function<void()> onBroken)
    : socket_(socket), onBroken_(std::move(onBroken)),
      writable_(static_cast<qintptr>(socket.get()), QSocketNotifier::Write) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { pump(); });
    writable_.setEnabled(false);
    QObject::connect(&writable_, &QSocketNotifier::activated, &writable_, [this] {
        writable_.setEnabled(false);
        pump();
    });
}

void ReplyPacer::send(std::span<const std::uint8_t> bytes) {
    if (broken_ || bytes.empty()) {
        return;
    }
    if (queuedBytes() == 0) {
        // An idle link earns no credit: the byte rate counts from the new reply.
        clear();
        rateWindow_.start();
        sentInWindow_ = 0;
    }
    queue_.insert(queue_.end(), bytes.begin(), bytes.end());
    if (!timer_.isActive() && !writable_.isEnabled()) {
        pump();
    }
}

void ReplyPacer::clear() {
    queue_.clear();
    sentOffset_ = 0;
    timer_.stop();
}

void ReplyPacer::shutDown() {
    clear();
    writable_.setEnabled(false);
    broken_ = true;
}

void ReplyPacer::pump() {
    while (!broken_ && queuedBytes() > 0) {
        std::chrono::milliseconds wait{0};
        const std::size_t allowed = std::min(allowance(wait), queuedBytes());
        if (allowed == 0) {
            waitFor(wait);
            return;
        }
        const auto sent = unix_socket::sendSome(socket_, {queue_.data() + sentOffset_, allowed});
        if (!sent) {
            broken_ = true;
            onBroken_();
            return;
        }
        if (*sent == 0) {
            writable_.setEnabled(true);
            return;
        }
        sentOffset_ += *sent;
        sentInWindow_ += *sent;
        sinceLastByte_.start();
    }
    if (queuedBytes() == 0) {
        queue_.clear();
        sentOffset_ = 0;
    }
}

std::size_t ReplyPacer::allowance(std::chrono::milliseconds& wait) const {
    std::size_t allowed = queuedBytes();
    if (trickleGap_.count() > 0) {
        const auto elapsed = std::chrono::milliseconds(
            sinceLastByte_.isValid() ? sinceLastByte_.elapsed() : trickleGap_.count());
        if (elapsed < trickleGap_) {
            wait = trickleGap_ - elapsed;
            return 0;
        }
        allowed = 1;
    }
    if (byteRate_ > 0) {
        const auto earned = static_cast<std::uint64_t>(rateWindow_.nsecsElapsed()) * byteRate_ /
                            kNanosecondsPerSecond;
        if (earned <= sentInWindow_) {
            const auto dueNs =
                static_cast<qint64>((sentInWindow_ + 1) * kNanosecondsPerSecond / byteRate_);
            const qint64 remainingNs = std::max<qint64>(0, dueNs - rateWindow_.nsecsElapsed());
            wait = std::chrono::milliseconds(remainingNs / 1'000'000 + 1);
            return 0;
        }
        allowed = std::min<std::size_t>(allowed, earned - sentInWindow_);
    }
    return allowed;
}

void ReplyPacer::waitFor(std::chrono::milliseconds wait) {
    timer_.start(std::max(wait, kShortestWait));
}

} // namespace ombrix::sim
