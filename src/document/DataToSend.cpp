#include "document/DataToSend.h"

namespace ombrix::document {

void DataToSend::store(std::uint32_t keyCode) {
    if (keyCode == 0) {
        return;
    }
    const std::lock_guard lock(criticalSection_);
    keyCode_ = keyCode;
}

std::uint32_t DataToSend::take() {
    const std::lock_guard lock(criticalSection_);
    const std::uint32_t code = keyCode_;
    keyCode_ = 0;
    return code;
}

bool DataToSend::pending() const {
    const std::lock_guard lock(criticalSection_);
    return keyCode_ != 0;
}

} // namespace ombrix::document
