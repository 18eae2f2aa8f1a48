#include "link/DeviceClaims.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace ombrix::link {

namespace {

// File names stand for device paths: every byte that is not a letter or a
// digit is written as %XX, so no two paths share a name.
std::string escaped(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
            (byte >= 'A' && byte <= 'Z')) {
            name.push_back(c);
        } else {
            name += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
        }
    }
    return name;
}

bool alive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace

DeviceClaims::DeviceClaims(std::filesystem::path directory) : directory_(std::move(directory)) {}

std::filesystem::path DeviceClaims::fileFor(const std::string& path) const {
    return directory_ / (escaped(path) + ".claim");
}

// Written beside and renamed into place, so a reader never sees half a record.
bool DeviceClaims::claim(const std::string& path, std::uint32_t serial) {
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all, error);
    const std::filesystem::path file = fileFor(path);
    std::filesystem::path part = file;
    part += '.';
    part += std::to_string(::getpid());
    {
        std::ofstream out(part, std::ios::trunc);
        out << path << '\n' << serial << '\n' << ::getpid() << '\n';
        if (!out.flush()) {
            std::filesystem::remove(part, error);
            return false;
        }
    }
    std::filesystem::rename(part, file, error);
    return !error;
}

std::optional<DeviceClaim> DeviceClaims::read(const std::string& path) const {
    std::ifstream in(fileFor(path));
    std::string recorded;
    DeviceClaim claim;
    if (!std::getline(in, recorded) || recorded != path || !(in >> claim.serial >> claim.pid)) {
        return std::nullopt;
    }
    return claim;
}

void DeviceClaims::release(const std::string& path) {
    const std::optional<DeviceClaim> recorded = read(path);
    if (recorded && recorded->pid == ::getpid()) {
        std::error_code ignored;
        std::filesystem::remove(fileFor(path), ignored);
    }
}

std::optional<DeviceClaim> DeviceClaims::holder(const std::string& path) const {
    const std::optional<DeviceClaim> recorded = read(path);
    if (!recorded || recorded->pid == ::getpid() || !alive(recorded->pid)) {
        return std::nullopt;
    }
    return recorded;
}

std::filesystem::path ClaimsDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::filesystem::path(runtime) / "ombrix" / "claims";
    }
    return std::filesystem::path("/tmp") / ("ombrix-" + std::to_string(::getuid())) / "claims";
}

} // namespace ombrix::link
