#pragma once

#include <mutex>

namespace ombrix::document {

// Holds a critical section from construction to destruction. Like the platform
// critical section it stands for, the section may be entered again by the thread
// that holds it, so a caller holding a data-set proxy can still use the
// document's operations that take one.
class AutoLock {
public:
    explicit AutoLock(std::recursive_mutex& criticalSection) : lock_(criticalSection) {}
    AutoLock(const AutoLock&) = delete;
    AutoLock& operator=(const AutoLock&) = delete;

private:
    std::unique_lock<std::recursive_mutex> lock_;
};

} // namespace ombrix::document
