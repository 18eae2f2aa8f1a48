#pragma once

#include "link/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace ombrix::sim {

// Thin wrappers over Unix-domain stream sockets; all descriptors are non-blocking.
namespace unix_socket {

// A listening socket bound to `path`. A leftover socket file that nobody serves
// any more is replaced; one that another process still serves is an error.
std::variant<FileDescriptor, std::string> listenAt(const std::filesystem::path& path);

// The next waiting connection, or an invalid descriptor when none is waiting.
FileDescriptor acceptNext(const FileDescriptor& listener);

// Result of a non-blocking transfer: bytes moved, 0 when it would block, nothing
// when the connection is gone.
std::optional<std::size_t> sendSome(const FileDescriptor& socket,
                                    std::span<const std::uint8_t> bytes);
std::optional<std::size_t> receiveSome(const FileDescriptor& socket,
                                       std::span<std::uint8_t> buffer);

} // namespace unix_socket

} // namespace ombrix::sim
