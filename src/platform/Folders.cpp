#include "platform/Folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::string stripTrailing(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

// A folder of the desktop's user-dirs.dirs file (XDG_DOCUMENTS_DIR="$HOME/...").
std::optional<std::string> userDir(const char* xdgVar) {
    std::string config = envValue("XDG_CONFIG_HOME").value_or(homeFolder() + "/.config");
    std::ifstream f(config + "/user-dirs.dirs");
    std::string line, prefix = std::string(xdgVar) + "=\"";
    while (std::getline(f, line)) {
        if (line.rfind(prefix, 0) != 0) continue;
        std::string v = line.substr(prefix.size());
        size_t close = v.rfind('"');
        if (close == std::string::npos) return std::nullopt;
        v = v.substr(0, close);
        if (v.rfind("$HOME", 0) == 0) v = homeFolder() + v.substr(5);
        if (v.empty() || v[0] != '/') return std::nullopt;
        return stripTrailing(v);
    }
    return std::nullopt;
}

std::string fromEnvOr(const char* var, const char* xdgVar, const char* homeRelative, bool userDirs = false) {
    if (auto v = envValue(var)) return stripTrailing(*v);
    if (xdgVar) {
        if (auto v = envValue(xdgVar)) return stripTrailing(*v);
        if (userDirs) {
            if (auto v = userDir(xdgVar)) return *v;
        }
    }
    return stripTrailing(homeFolder() + "/" + homeRelative);
}

bool isDir(const std::string& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

} // namespace

std::optional<std::string> envValue(const char* name) {
    const char* v = std::getenv(name);
    if (!v || !*v) return std::nullopt;
    return std::string(v);
}

std::string homeFolder() {
    if (auto h = envValue("HOME")) return stripTrailing(*h);
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) return stripTrailing(pw->pw_dir);
    return "";
}

std::string commonAppDataFolder() { return fromEnvOr("ZR_COMMON_APPDATA", "XDG_DATA_HOME", ".local/share"); }
std::string userAppDataFolder() { return fromEnvOr("ZR_USER_APPDATA", "XDG_CONFIG_HOME", ".config"); }
std::string documentsFolder() { return fromEnvOr("ZR_DOCUMENTS", "XDG_DOCUMENTS_DIR", "Documents", true); }
std::string desktopFolder() { return fromEnvOr("ZR_DESKTOP", "XDG_DESKTOP_DIR", "Desktop", true); }

std::string tempFolder() {
    for (const char* var : {"TEMP", "TMPDIR"}) {
        if (auto v = envValue(var); v && isDir(*v)) return stripTrailing(*v);
    }
    return "/tmp";
}

std::string executableFolder() {
    if (auto v = envValue("ZR_EXE_DIR")) return stripTrailing(*v);
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec).string();
    return exe.parent_path().string();
}

std::string systemFolder() {
    if (auto v = envValue("ZR_SYSTEM_DIR")) return stripTrailing(*v);
    return "/usr/lib";
}

std::string registryFolder() {
    if (auto v = envValue("ZR_REGISTRY_DIR")) return stripTrailing(*v);
    return commonAppDataFolder() + "/zr-registry";
}

std::string lockFolder() {
    if (auto v = envValue("ZR_LOCK_DIR")) return stripTrailing(*v);
    if (auto v = envValue("XDG_RUNTIME_DIR")) return stripTrailing(*v) + "/zr-locks";
    return "/tmp/zr-locks-" + std::to_string(geteuid());
}

std::string runtimeFolder() {
    if (auto v = envValue("ZR_RUNTIME_DIR")) return stripTrailing(*v);
    if (auto v = envValue("XDG_RUNTIME_DIR")) return stripTrailing(*v);
    return "/tmp";
}

std::optional<std::string> userName() {
    if (auto v = envValue("ZR_USER_NAME")) return v;
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name) return std::string(pw->pw_name);
    if (auto v = envValue("USER")) return v;
    return std::nullopt;
}

std::optional<std::string> computerName() {
    if (auto v = envValue("ZR_COMPUTER_NAME")) return v;
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0 || !*buf) return std::nullopt;
    return std::string(buf);
}

int systemMajorVersion() { return 10; }

} // namespace platform
