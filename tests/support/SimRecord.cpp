#include "SimRecord.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace ombrix::sim::testing {

namespace {

std::string fromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

} // namespace

SimRecord::SimRecord(const std::filesystem::path& file, int port) {
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string portName = "port" + std::to_string(port);
    // The simulator may be writing the last line right now; only whole lines count.
    for (std::size_t start = 0, end = 0; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        addLine(text.substr(start, end - start), portName);
    }
}

void SimRecord::addLine(const std::string& line, std::string_view port) {
    std::istringstream fields(line);
    Event event;
    std::string linePort;
    std::string hex;
    fields >> event.micros >> linePort >> event.name >> hex;
    if (linePort != port) {
        return;
    }
    event.bytes = fromHex(hex);
    received_ += event.bytes;
    events_.push_back(std::move(event));
}

std::size_t SimRecord::count(std::string_view command) const {
    std::size_t found = 0;
    for (std::size_t at = received_.find(command); at != std::string::npos;
         at = received_.find(command, at + command.size())) {
        ++found;
    }
    return found;
}

std::size_t SimRecord::eventCount(std::string_view name) const {
    return static_cast<std::size_t>(std::count_if(
        events_.begin(), events_.end(), [&](const Event& event) { return event.name == name; }));
}

std::vector<int> SimRecord::keyCodes() const {
    std::vector<int> codes;
    for (std::size_t at = received_.find("#0,"); at != std::string::npos;
         at = received_.find("#0,", at + 1)) {
        const bool whole = (at == 0 || received_[at - 1] == ';') && at + 4 < received_.size() &&
                           received_[at + 4] == ';';
        if (whole) {
            codes.push_back(static_cast<unsigned char>(received_[at + 3]));
        }
    }
    return codes;
}

std::size_t SimRecord::polls() const {
    return count("#7,IC;") + count("#7,SP,3;");
}

} // namespace ombrix::sim::testing
