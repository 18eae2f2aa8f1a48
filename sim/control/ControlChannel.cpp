#include "control/ControlChannel.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <variant>

namespace ombrix::sim {

namespace {

constexpr std::size_t kReadChunk = 1024;
// A line longer than this is no command; it is dropped rather than held.
constexpr std::size_t kMaxLineLength = 4096;

} // namespace

ControlChannel::ControlChannel(int fd, Simulator& simulator, std::ostream& out,
                               std::function<void()> onQuit)
    : fd_(fd), simulator_(simulator), out_(out), onQuit_(std::move(onQuit)) {
    if (::fcntl(fd, F_GETFD) == -1) {
        return;
    }
    readable_ = std::make_unique<QSocketNotifier>(static_cast<qintptr>(fd), QSocketNotifier::Read);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, readable_.get(),
                     [this] { readAvailable(); });
}

void ControlChannel::readAvailable() {
    std::array<char, kReadChunk> buffer{};
    const ssize_t count = ::read(fd_, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) {
        return;
    }
    if (count <= 0) {
        readable_->setEnabled(false); // end of input: keep serving the instruments
        return;
    }
    partialLine_.append(buffer.data(), static_cast<std::size_t>(count));
    std::size_t newline = 0;
    while ((newline = partialLine_.find('\n')) != std::string::npos) {
        const std::string line = partialLine_.substr(0, newline);
        partialLine_.erase(0, newline + 1);
        runLine(line);
    }
    if (partialLine_.size() > kMaxLineLength) {
        partialLine_.clear();
        out_ << "error: control line too long" << std::endl;
    }
}

bool ControlChannel::runLine(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string_view::npos || line[start] == '#') {
        return true;
    }
    const auto parsed = parseControlCommand(line);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        out_ << "error: " << *error << std::endl;
        return false;
    }
    const ControlResult result = simulator_.execute(std::get<ControlCommand>(parsed));
    for (const std::string& text : result.lines) {
        out_ << text << '\n';
    }
    if (result.error) {
        out_ << "error: " << *result.error << std::endl;
        return false;
    }
    out_ << "ok" << std::endl;
    if (result.quit) {
        onQuit_();
    }
    return true;
}

} // namespace ombrix::sim
