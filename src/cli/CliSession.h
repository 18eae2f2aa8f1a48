#pragma once

#include "cli/CliCommand.h"
#include "document/COmbrixDoc.h"
#include "link/UsbConnection.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string_view>

namespace ombrix::cli {

// A document with its session worker, driven the way the application's main
// window drives it: a timer tick every 150 ms opens the model the worker found.
// Given a serial number, only that instrument is connected.
class CliSession {
public:
    enum class Wait { Done, NoInstrument, ModelRefused, TimedOut };

    CliSession(CliContext& context, std::optional<link::Serial> serial);

    document::COmbrixDoc& document() { return doc_; }
    // Ticks until `done` holds or `timeout` passes. Gives up early when the first
    // connection attempts found no instrument or its model file was refused.
    Wait waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Ticks until a model is loaded.
    Wait waitForModel(std::chrono::milliseconds timeout);
    // Waits up to 10 s for the instrument and its model and names it on
    // standard error; false, with the reason said, when none came.
    bool connect(std::string_view command);
    // Writes why a wait ended without success, prefixed by the command's name.
    // Stops the session first, as its link is what tells why.
    void report(Wait outcome, std::string_view command, std::string_view timeoutText);
    // Writes which instrument the command works on, prefixed by its name.
    void announce(std::string_view command);

private:
    Wait failure() const;

    CliContext& context_;
    std::optional<link::Serial> serial_;
    link::UsbConnection connection_;
    document::COmbrixDoc doc_;
};

} // namespace ombrix::cli
