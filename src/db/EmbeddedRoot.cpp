#include "db/EmbeddedRoot.h"

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace db {

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A stamp of the library's engine so that a root is refreshed after the
// system's packages were updated.
std::string sourceStamp(const fs::path& src) {
    // Same form as scripts/firebird-root.sh writes: "size:mtime".
    struct stat sb {};
    const fs::path engine = src / "plugins" / "libEngine12.so";
    if (::stat(engine.c_str(), &sb) != 0) return {};
    return std::to_string(sb.st_size) + ":" + std::to_string(sb.st_mtime);
}

bool rootIsCurrent(const fs::path& dir, const std::string& stamp) {
    return !stamp.empty() && readAll(dir / ".stamp") == stamp &&
           readAll(dir / "firebird.conf") == embeddedRootConf() &&
           fs::exists(dir / "intl" / "libfbintl.so") && fs::is_directory(dir / "lock");
}

} // namespace

fs::path systemFirebirdDir() {
    if (const char* d = std::getenv("ZR_FIREBIRD_SOURCE"); d && *d) return d;
    return "/usr/lib/x86_64-linux-gnu/firebird/3.0";
}

std::string embeddedRootConf() {
    return "# Embedded engine shared by several processes (program, isql, gbak).\n"
           "ServerMode = SuperClassic\n"
           "Providers = Remote, Engine12, Loopback\n";
}

bool makeEmbeddedRoot(const fs::path& dir, std::string* error) {
    const fs::path src = systemFirebirdDir();
    const std::string stamp = sourceStamp(src);
    if (stamp.empty()) {
        if (error) *error = "no Firebird engine under " + src.string();
        return false;
    }
    if (rootIsCurrent(dir, stamp)) return true;

    // Build beside the target and rename into place, so that processes
    // starting at the same time never see half a root.
    std::error_code ec;
    fs::create_directories(dir.parent_path(), ec);
    const fs::path tmp = dir.parent_path() /
                         (dir.filename().string() + ".tmp" + std::to_string(::getpid()));
    fs::remove_all(tmp, ec);
    fs::create_directories(tmp, ec);
    if (ec) {
        if (error) *error = "cannot create " + tmp.string() + ": " + ec.message();
        return false;
    }
    for (const auto& entry : fs::directory_iterator(src, ec)) {
        const std::string name = entry.path().filename().string();
        // include points at the system's headers; lib holds the client we
        // already run with; firebird.conf is ours.
        if (name == "include" || name == "lib" || name == "firebird.conf") continue;
        fs::copy(entry.path(), tmp / name, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
                 ec);
        if (ec) {
            if (error) *error = "cannot copy " + entry.path().string() + ": " + ec.message();
            fs::remove_all(tmp, ec);
            return false;
        }
    }
    {
        std::ofstream(tmp / "firebird.conf", std::ios::binary) << embeddedRootConf();
        std::ofstream(tmp / ".stamp", std::ios::binary) << stamp;
    }
    fs::create_directories(tmp / "lock", ec);

    // Another process may have made it meanwhile.
    if (rootIsCurrent(dir, stamp)) {
        fs::remove_all(tmp, ec);
        return true;
    }
    const fs::path old = dir.parent_path() /
                         (dir.filename().string() + ".old" + std::to_string(::getpid()));
    if (fs::exists(dir)) fs::rename(dir, old, ec);
    fs::rename(tmp, dir, ec);
    if (ec) {
        fs::remove_all(tmp, ec);
        if (rootIsCurrent(dir, stamp)) return true;
        if (error) *error = "cannot place " + dir.string();
        return false;
    }
    fs::remove_all(old, ec);
    return true;
}

fs::path ensureEmbeddedRoot(const fs::path& fallbackDir) {
    static std::mutex mu;
    std::lock_guard lock(mu);
    if (const char* fb = std::getenv("FIREBIRD"); fb && *fb) {
        if (const char* lk = std::getenv("FIREBIRD_LOCK"); !lk || !*lk) {
            const fs::path lockDir = fs::path(fb) / "lock";
            std::error_code ec;
            fs::create_directories(lockDir, ec);
            ::setenv("FIREBIRD_LOCK", lockDir.c_str(), 1);
        }
        return fb;
    }
    fs::path dir = fallbackDir;
    if (dir.empty()) {
        fs::path base;
        if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) base = x;
        else if (const char* h = std::getenv("HOME"); h && *h) base = fs::path(h) / ".local" / "share";
        else base = fs::temp_directory_path();
        dir = base / "ZoruteRendo" / "fbroot";
    }
    std::string error;
    if (!makeEmbeddedRoot(dir, &error)) return {};
    ::setenv("FIREBIRD", dir.c_str(), 1);
    ::setenv("FIREBIRD_LOCK", (dir / "lock").c_str(), 1);
    return dir;
}

} // namespace db
