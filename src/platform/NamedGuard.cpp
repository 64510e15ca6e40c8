#include "platform/NamedGuard.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "platform/Folders.h"

namespace platform {
namespace {

std::string lockPath(const std::string& name) {
    std::string safe;
    for (char c : name) safe += (c == '/' || c == '\0') ? '_' : c;
    return lockFolder() + "/" + safe + ".lock";
}

int openLock(const std::string& name) {
    std::error_code ec;
    std::filesystem::create_directories(lockFolder(), ec);
    return ::open(lockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

} // namespace

NamedGuard::~NamedGuard() { release(); }

bool NamedGuard::exists(const std::string& name) {
    int fd = openLock(name);
    if (fd < 0) return false;
    bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // drops our probe lock, if we got one
    return held;
}

NamedGuard::Acquired NamedGuard::tryAcquire(const std::string& name) {
    release();
    int fd = openLock(name);
    if (fd < 0) return Acquired::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Acquired::Held : Acquired::Unavailable;
    }
    fd_ = fd;
    return Acquired::Taken;
}

void NamedGuard::release() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

} // namespace platform
