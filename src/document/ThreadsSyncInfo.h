#pragma once

#include "session/Identification.h"

#include <mutex>
#include <optional>

namespace ombrix::document {

// What the session worker found and what the user interface asks of it. Each
// operation takes the record's own lock for a few statements and calls nothing
// else meanwhile.
class ThreadsSyncInfo {
public:
    std::optional<session::ModelSelection> selection() const;
    std::optional<link::Serial> selectedSerial() const;
    // Stores the selection; model changed is set when it differs from the stored
    // one. Storing none makes the worker reconnect.
    void storeSelection(std::optional<session::ModelSelection> selection);
    bool modelChanged() const;
    // Clears model changed only while `loaded` is still the stored selection, so
    // a selection the worker stored during the load is not lost.
    void clearModelChanged(const session::ModelSelection& loaded);
    void requestRefresh();
    bool refreshRequested() const;
    // Requests made so far; a poll notes the count when it starts.
    std::uint32_t refreshRequests() const;
    // Clears refresh requested unless a request came after the poll that noted
    // `requestsAtPollStart` began, as that poll may have read the status before it.
    void clearRefreshRequested(std::uint32_t requestsAtPollStart);
    void setPollingEnabled(bool enabled);
    // A requested refresh overrides disabled polling.
    bool shouldPoll() const;

private:
    mutable std::mutex criticalSection_;
    std::optional<session::ModelSelection> selection_;
    bool modelChanged_ = false;
    bool refreshRequested_ = false;
    std::uint32_t refreshRequests_ = 0;
    std::uint32_t pollingEnabled_ = 1;
};

} // namespace ombrix::document
