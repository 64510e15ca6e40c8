#include "platform/CallerLink.h"

#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/Folders.h"

namespace platform {
namespace {

bool makeAddress(const std::string& path, sockaddr_un& addr) {
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool send(std::int64_t handle, const std::string& text) {
    if (handle <= 0) return false;
    sockaddr_un addr;
    if (!makeAddress(callerSocketPath(handle), addr)) return false;
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ssize_t n = ::sendto(fd, text.data(), text.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::close(fd);
    return n == static_cast<ssize_t>(text.size());
}

} // namespace

std::string callerSocketPath(std::int64_t handle) {
    return runtimeFolder() + "/zr-caller-" + std::to_string(handle) + ".sock";
}

bool setCallerEnabled(std::int64_t handle, bool enabled) { return send(handle, enabled ? "enable" : "disable"); }

bool postToCaller(std::int64_t handle, std::uint32_t message, std::int64_t wParam, std::int64_t lParam) {
    return send(handle, "post " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
}

std::optional<CallerNotice> parseCallerNotice(const std::string& text) {
    CallerNotice n;
    if (text == "disable") {
        n.kind = CallerNotice::Disable;
        return n;
    }
    if (text == "enable") {
        n.kind = CallerNotice::Enable;
        return n;
    }
    std::istringstream in(text);
    std::string word, rest;
    long long msg;
    if (!(in >> word) || word != "post" || !(in >> msg >> n.wParam >> n.lParam) || msg < 0 || (in >> rest))
        return std::nullopt;
    n.kind = CallerNotice::Post;
    n.message = static_cast<std::uint32_t>(msg);
    return n;
}

CallerListener::CallerListener(std::int64_t handle) : path_(callerSocketPath(handle)) {
    sockaddr_un addr;
    if (!makeAddress(path_, addr)) return;
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    ::unlink(path_.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

CallerListener::~CallerListener() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(path_.c_str());
}

std::optional<CallerNotice> CallerListener::receive(int timeoutMs) {
    if (fd_ < 0) return std::nullopt;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return std::nullopt;
    char buf[256];
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n < 0) return std::nullopt;
    return parseCallerNotice(std::string(buf, static_cast<size_t>(n)));
}

} // namespace platform
