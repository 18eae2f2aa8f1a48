#include "link/CombinedBackend.h"

namespace ombrix::link {

void CombinedBackend::add(std::unique_ptr<DeviceBackend> backend) {
    backends_.push_back(std::move(backend));
}

std::optional<std::vector<std::string>> CombinedBackend::listDevicePaths() {
    std::optional<std::vector<std::string>> all;
    for (const auto& backend : backends_) {
        auto paths = backend->listDevicePaths();
        if (!paths) {
            continue;
        }
        if (!all) {
            all.emplace();
        }
        all->insert(all->end(), paths->begin(), paths->end());
    }
    if (backends_.empty()) {
        all.emplace();
    }
    return all;
}

// Each backend refuses a path of another's prefix with Vanished; the reason of
// the one that knows the path is kept.
std::unique_ptr<DeviceChannel> CombinedBackend::open(const std::string& path,
                                                     OpenFailure& failure) {
    failure = OpenFailure::Vanished;
    for (const auto& backend : backends_) {
        OpenFailure reason = OpenFailure::None;
        if (auto channel = backend->open(path, reason)) {
            failure = OpenFailure::None;
            return channel;
        }
        if (reason != OpenFailure::Vanished) {
            failure = reason;
        }
    }
    return nullptr;
}

} // namespace ombrix::link
