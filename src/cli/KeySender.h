#pragma once

#include "cli/CliSession.h"

#include <cstdint>
#include <ostream>
#include <string_view>

namespace ombrix::cli {

// Hands key codes to the session's worker one at a time and prints each one
// that went out as 0xNN on a line of its own.
class KeySender {
public:
    KeySender(CliSession& session, std::ostream& out, std::string_view command)
        : session_(session), out_(out), command_(command) {}

    // Waits until the worker sent the code, or reports why it did not.
    bool send(std::uint8_t code);

private:
    CliSession& session_;
    std::ostream& out_;
    std::string_view command_;
};

} // namespace ombrix::cli
