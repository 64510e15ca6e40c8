#pragma once
// The link to the program that started this one with a window to notify.
//
// On this system a caller's "window handle" is a positive number N naming a
// Unix datagram socket at <runtimeFolder()>/zr-caller-N.sock (ZR_RUNTIME_DIR,
// see Folders.h). The caller binds that socket before it starts the program
// and passes N on the command line. Each notice is one datagram of ASCII
// text:
//   "disable"                      the caller should refuse user input
//   "enable"                       the caller may take user input again
//   "post <msg> <wParam> <lParam>" a posted message, three decimal numbers
// Sending never blocks and never fails the program: a caller that is gone
// simply misses the notice (the functions then return false).
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

std::string callerSocketPath(std::int64_t handle);

bool setCallerEnabled(std::int64_t handle, bool enabled);
bool postToCaller(std::int64_t handle, std::uint32_t message, std::int64_t wParam, std::int64_t lParam);

struct CallerNotice {
    enum Kind { Disable, Enable, Post };
    Kind kind = Post;
    std::uint32_t message = 0;
    std::int64_t wParam = 0;
    std::int64_t lParam = 0;
};

// The caller's end: binds the socket of a handle (replacing a stale one)
// and receives notices. Removes the socket file when destroyed.
class CallerListener {
public:
    explicit CallerListener(std::int64_t handle);
    ~CallerListener();
    CallerListener(const CallerListener&) = delete;
    CallerListener& operator=(const CallerListener&) = delete;

    bool ok() const { return fd_ >= 0; }
    // The next notice, waiting at most timeoutMs; nullopt on timeout or for
    // a datagram that is not a notice.
    std::optional<CallerNotice> receive(int timeoutMs);

private:
    int fd_ = -1;
    std::string path_;
};

// Parses one datagram; nullopt when it is not a notice.
std::optional<CallerNotice> parseCallerNotice(const std::string& text);

} // namespace platform
