#include "document/DataToSend.h"

#include <utility>

namespace ombrix::document {

void DataToSend::store(std::uint32_t keyCode, std::uint64_t connection) {
    if (keyCode == 0) {
        return;
    }
    const std::lock_guard lock(criticalSection_);
    key_ = {keyCode, connection};
}

PendingKey DataToSend::take() {
    const std::lock_guard lock(criticalSection_);
    return std::exchange(key_, PendingKey{});
}

bool DataToSend::pending() const {
    const std::lock_guard lock(criticalSection_);
    return key_.code != 0;
}

void DataToSend::clear() {
    const std::lock_guard lock(criticalSection_);
    key_ = {};
}

} // namespace ombrix::document
