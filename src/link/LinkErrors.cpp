#include "link/LinkErrors.h"

namespace ombrix::link {

const char* DataSourceException::what() const noexcept {
    switch (code_) {
    case kNotIdentification:
        return "the instrument's reply is not an identification";
    case kLinkFailure:
        return "link failure or malformed reply";
    case kNotSupported:
        return "request not supported by the instrument";
    default:
        return "data source failure";
    }
}

const char* CommException::what() const noexcept {
    switch (code_) {
    case kBadIdentification:
        return "unexpected identification reply";
    case kTimeout:
        return "reply time-out";
    case kWriteFailed:
        return "write to the device failed";
    case kReadFailed:
        return "read from the device failed";
    case kReplyTooLong:
        return "text reply longer than any the protocol has";
    default:
        return "communication failure";
    }
}

const char* CommBreakException::what() const noexcept {
    return "communication broken";
}

} // namespace ombrix::link
