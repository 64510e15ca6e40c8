#pragma once
#include <filesystem>
#include <string>

namespace testsupport {

// A fresh folder under the system temporary folder, removed with its
// contents when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for byte-exact checks.
std::string readFileBytes(const std::filesystem::path& p);
void writeFileBytes(const std::filesystem::path& p, const std::string& bytes);

} // namespace testsupport
