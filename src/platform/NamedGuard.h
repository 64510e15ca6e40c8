#pragma once
// System-wide named guards (the single-instance markers of the start-up).
// A guard is a lock file "<name>.lock" in lockFolder() (ZR_LOCK_DIR, see
// Folders.h) held with flock: it exists while a process holds it and
// vanishes with that process, however it ends. The file itself may stay.
#include <string>

namespace platform {

class NamedGuard {
public:
    NamedGuard() = default;
    ~NamedGuard();
    NamedGuard(const NamedGuard&) = delete;
    NamedGuard& operator=(const NamedGuard&) = delete;

    enum class Acquired {
        Taken,       // this object holds the guard now
        Held,        // another holder has it
        Unavailable  // the lock file cannot be made or locked; nobody holds it
    };

    // True when some holder (this or another process) holds the guard.
    static bool exists(const std::string& name);
    // Takes the guard and tells why it did not when it did not.
    Acquired tryAcquire(const std::string& name);
    // True only when the guard was taken.
    bool acquire(const std::string& name) { return tryAcquire(name) == Acquired::Taken; }
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace platform
