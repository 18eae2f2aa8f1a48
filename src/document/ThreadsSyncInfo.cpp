#include "document/ThreadsSyncInfo.h"

namespace ombrix::document {

std::optional<session::ModelSelection> ThreadsSyncInfo::selection() const {
    const std::lock_guard lock(criticalSection_);
    return selection_;
}

std::optional<link::Serial> ThreadsSyncInfo::selectedSerial() const {
    const std::lock_guard lock(criticalSection_);
    if (!selection_) {
        return std::nullopt;
    }
    return selection_->serial;
}

void ThreadsSyncInfo::storeSelection(std::optional<session::ModelSelection> selection) {
    const std::lock_guard lock(criticalSection_);
    if (selection != selection_) {
        modelChanged_ = true;
    }
    selection_ = std::move(selection);
}

bool ThreadsSyncInfo::modelChanged() const {
    const std::lock_guard lock(criticalSection_);
    return modelChanged_;
}

void ThreadsSyncInfo::clearModelChanged(const session::ModelSelection& loaded) {
    const std::lock_guard lock(criticalSection_);
    if (selection_ == loaded) {
        modelChanged_ = false;
    }
}

void ThreadsSyncInfo::requestRefresh() {
    const std::lock_guard lock(criticalSection_);
    refreshRequested_ = true;
    ++refreshRequests_;
}

bool ThreadsSyncInfo::refreshRequested() const {
    const std::lock_guard lock(criticalSection_);
    return refreshRequested_;
}

std::uint32_t ThreadsSyncInfo::refreshRequests() const {
    const std::lock_guard lock(criticalSection_);
    return refreshRequests_;
}

void ThreadsSyncInfo::clearRefreshRequested(std::uint32_t requestsAtPollStart) {
    const std::lock_guard lock(criticalSection_);
    if (refreshRequests_ == requestsAtPollStart) {
        refreshRequested_ = false;
    }
}

void ThreadsSyncInfo::setPollingEnabled(bool enabled) {
    const std::lock_guard lock(criticalSection_);
    pollingEnabled_ = enabled ? 1 : 0;
}

bool ThreadsSyncInfo::shouldPoll() const {
    const std::lock_guard lock(criticalSection_);
    return refreshRequested_ || pollingEnabled_ == 1;
}

} // namespace ombrix::document
