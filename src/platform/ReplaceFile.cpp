#include "platform/ReplaceFile.h"

#include <cerrno>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

std::string linkedFile(const std::string& path, std::error_code& ec) {
    ec.clear();
    if (!fs::is_symlink(fs::symlink_status(path, ec))) {
        ec.clear();
        return path;
    }
    fs::path linked = fs::canonical(path, ec);
    return ec ? path : linked.string();
}

ReplaceFile::ReplaceFile(const std::string& target, std::optional<unsigned> mode) : target_(target) {
    const fs::path t(target);
    const fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(".");
    std::string name = (dir / ("." + t.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    temp_ = name;
    if (!mode) {
        struct stat old {};
        if (::stat(target.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
    }
    if (::fchmod(fd_, static_cast<mode_t>(*mode)) != 0)
        fail();
}

ReplaceFile::~ReplaceFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temp_.empty())
        ::unlink(temp_.c_str());
}

bool ReplaceFile::fail() {
    error_ = errno;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
    return false;
}

bool ReplaceFile::write(const char* data, std::size_t size) {
    if (fd_ < 0)
        return false;
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail();
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplaceFile::commit(bool durable) {
    if (fd_ < 0)
        return false;
    if (durable && ::fsync(fd_) != 0)
        return fail();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
        ::unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    if (durable) {
        const fs::path t(target_);
        const fs::path dir = t.has_parent_path() ? t.parent_path() : fs::path(".");
        const int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (d >= 0) {
            ::fsync(d);
            ::close(d);
        }
    }
    return true;
}

} // namespace platform
