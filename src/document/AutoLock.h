#pragma once

#include <mutex>

namespace ombrix::document {

// Holds a critical section from construction to destruction.
class AutoLock {
public:
    explicit AutoLock(std::mutex& criticalSection) : lock_(criticalSection) {}
    AutoLock(const AutoLock&) = delete;
    AutoLock& operator=(const AutoLock&) = delete;

private:
    std::unique_lock<std::mutex> lock_;
};

} // namespace ombrix::document
