#pragma once
// Putting a new file in the place of an old one in one step: the content goes
// to a temporary file beside the target, and commit() renames it over the
// target, so that under the target's name there is only ever the old file or
// the whole new one. A replacement that is not committed leaves nothing
// behind.
#include <cstddef>
#include <optional>
#include <string>
#include <system_error>

namespace platform {

// The file a write to `path` replaces: through a symbolic link the file it
// names, else `path` itself. `ec` is set for a link that leads nowhere.
std::string linkedFile(const std::string& path, std::error_code& ec);

class ReplaceFile {
public:
    // `mode`: the new file's permissions; by default those of the file it
    // replaces, or 0666 less the umask when there is none.
    explicit ReplaceFile(const std::string& target, std::optional<unsigned> mode = std::nullopt);
    ~ReplaceFile();
    ReplaceFile(const ReplaceFile&) = delete;
    ReplaceFile& operator=(const ReplaceFile&) = delete;

    // Whether the temporary file could be made; error() tells why not.
    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    bool write(const char* data, std::size_t size);
    // Renames the new file over the target. `durable`: the file and the new
    // name reach the disk first.
    bool commit(bool durable);
    // errno of the step that failed.
    int error() const { return error_; }

private:
    bool fail();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
};

} // namespace platform
