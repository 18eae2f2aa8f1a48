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

std::unique_ptr<DeviceChannel> CombinedBackend::open(const std::string& path) {
    for (const auto& backend : backends_) {
        if (auto channel = backend->open(path)) {
            return channel;
        }
    }
    return nullptr;
}

} // namespace ombrix::link
