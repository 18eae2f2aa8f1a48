#pragma once

#include "link/FileDescriptor.h"
#include "link/ReplyPacer.h"

#include <QSocketNotifier>
#include <cstdint>
#include <functional>
#include <span>

namespace ombrix::sim {

// The one host connected to an instrument: reads what it sends, paces what goes
// back. Closing stops both at once; the object itself may then be destroyed
// later, outside the notification that closed it.
class ClientConnection {
public:
    using Received = std::function<void(std::span<const std::uint8_t>)>;

    // `onGone` is called once when the host closes its end or the link breaks.
    ClientConnection(FileDescriptor socket, Received onReceived, std::function<void()> onGone);
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    ReplyPacer& pacer() { return pacer_; }
    void close();
    bool open() const { return socket_.valid(); }

    // Takes in everything the host has sent so far. A host that has closed its end
    // is found gone here, without waiting for the event loop to notice.
    void readPending();

private:
    // Takes in one read; false when nothing more was there or the host is gone.
    bool readAvailable();
    void lost();

    FileDescriptor socket_;
    Received onReceived_;
    std::function<void()> onGone_;
    QSocketNotifier readable_;
    ReplyPacer pacer_;
};

} // namespace ombrix::sim
