#pragma once

#include <cstdint>
#include <exception>

namespace ombrix::link {

// Failure seen by the protocol layer and the session. Code 0: not an
// identification reply; 1: link failure or malformed reply (the device is already
// closed); 2: a status request answered with the not-supported marker.
class DataSourceException : public std::exception {
public:
    explicit DataSourceException(std::int32_t code) : code_(code) {}
    std::int32_t code() const noexcept { return code_; }
    const char* what() const noexcept override;

    static constexpr std::int32_t kNotIdentification = 0;
    static constexpr std::int32_t kLinkFailure = 1;
    static constexpr std::int32_t kNotSupported = 2;

private:
    std::int32_t code_;
};

// Failure inside the transport; never leaves UsbConnection.
class CommException : public std::exception {
public:
    explicit CommException(std::int32_t code) : code_(code) {}
    std::int32_t code() const noexcept { return code_; }
    const char* what() const noexcept override;

    static constexpr std::int32_t kBadIdentification = 0;
    static constexpr std::int32_t kTimeout = 1;
    static constexpr std::int32_t kWriteFailed = 7;
    static constexpr std::int32_t kReadFailed = 8;
    static constexpr std::int32_t kReplyTooLong = 9;

private:
    std::int32_t code_;
};

// A broken link that ends a device refresh at once.
class CommBreakException : public std::exception {
public:
    const char* what() const noexcept override;
};

} // namespace ombrix::link
