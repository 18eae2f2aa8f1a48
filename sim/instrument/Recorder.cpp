#include "instrument/Recorder.h"

#include <array>
#include <stdexcept>

namespace ombrix::sim {

namespace {

void writeHex(std::ofstream& out, std::span<const std::uint8_t> bytes) {
    constexpr std::array<char, 16> kDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                           '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    for (const std::uint8_t byte : bytes) {
        out.put(kDigits[byte >> 4]);
        out.put(kDigits[byte & 0x0F]);
    }
}

} // namespace

Recorder::Recorder(const std::filesystem::path& path) : file_(path, std::ios::trunc) {
    if (!file_) {
        throw std::runtime_error(path.string() + ": cannot create the record file");
    }
    clock_.start();
}

void Recorder::record(int port, std::string_view event, std::span<const std::uint8_t> bytes) {
    if (!file_.is_open()) {
        return;
    }
    file_ << clock_.nsecsElapsed() / 1000 << " port" << port << ' ' << event;
    if (!bytes.empty()) {
        file_ << ' ';
        writeHex(file_, bytes);
    }
    file_ << '\n' << std::flush;
}

} // namespace ombrix::sim
