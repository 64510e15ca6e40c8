#include "platform/FileOps.h"

#include <filesystem>
#include <fnmatch.h>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace platform {
namespace {

bool fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

bool hasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

std::string trimSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

// The items a source names, and whether it was a pattern.
bool expand(const std::string& source, std::vector<fs::path>& items, bool& pattern, std::string* error) {
    fs::path p(trimSlash(source));
    std::string name = p.filename().string();
    pattern = hasWildcard(name);
    std::error_code ec;
    if (!pattern) {
        if (!fs::exists(fs::symlink_status(p, ec))) return fail(error, "not found: " + p.string());
        items.push_back(p);
        return true;
    }
    if (name == "*.*") name = "*";
    fs::path dir = p.parent_path();
    if (dir.empty()) dir = ".";
    fs::directory_iterator it(dir, ec), end;
    if (ec) return fail(error, ec.message() + ": " + dir.string());
    for (; it != end; it.increment(ec)) {
        if (ec) return fail(error, ec.message() + ": " + dir.string());
        std::string entry = it->path().filename().string();
        if (fnmatch(name.c_str(), entry.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0 ||
            (name == "*" && !entry.empty()))
            items.push_back(it->path());
    }
    return true;
}

bool copyOne(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    if (to.has_parent_path()) fs::create_directories(to.parent_path(), ec);
    auto st = fs::symlink_status(from, ec);
    if (fs::is_symlink(st)) {
        fs::remove(to, ec);
        fs::copy_symlink(from, to, ec);
    } else if (fs::is_directory(st)) {
        fs::copy(from, to,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing |
                     fs::copy_options::copy_symlinks,
                 ec);
    } else {
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    }
    if (ec) return fail(error, ec.message() + ": " + from.string() + " -> " + to.string());
    return true;
}

// Whether path lies below folder (after resolving links of what exists).
bool inside(const fs::path& path, const fs::path& folder) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    if (ec) return false;
    fs::path f = fs::weakly_canonical(folder, ec);
    if (ec) return false;
    auto rel = p.lexically_relative(f);
    return !rel.empty() && *rel.begin() != ".." && rel != ".";
}

bool transfer(const std::string& src, const std::string& dst, bool move, std::string* error) {
    std::vector<fs::path> items;
    bool pattern = false;
    if (!expand(src, items, pattern, error)) return false;
    fs::path target(trimSlash(dst));
    std::error_code ec;
    bool into = pattern || fs::is_directory(target, ec);
    if (pattern && !fs::exists(target, ec)) {
        fs::create_directories(target, ec);
        if (ec) return fail(error, ec.message() + ": " + target.string());
    }
    for (const auto& item : items) {
        fs::path to = into ? target / item.filename() : target;
        if (fs::equivalent(item, to, ec)) return fail(error, "source and target are the same: " + item.string());
        if (inside(to, item)) return fail(error, "target lies inside the source: " + to.string());
        if (move) {
            ec.clear();
            if (to.has_parent_path()) fs::create_directories(to.parent_path(), ec);
            ec.clear();
            fs::rename(item, to, ec);
            if (!ec) continue;
            // Another file system (or a non-empty target folder): copy, then remove.
            if (!copyOne(item, to, error)) return false;
            fs::remove_all(item, ec);
            if (ec) return fail(error, ec.message() + ": " + item.string());
        } else if (!copyOne(item, to, error)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool deleteItems(const std::string& path, std::string* error) {
    std::vector<fs::path> items;
    bool pattern = false;
    if (!expand(path, items, pattern, error)) return false;
    for (const auto& item : items) {
        std::error_code ec;
        fs::remove_all(item, ec);
        if (ec) return fail(error, ec.message() + ": " + item.string());
    }
    return true;
}

bool copyItems(const std::string& src, const std::string& dst, std::string* error) {
    return transfer(src, dst, false, error);
}

bool moveItems(const std::string& src, const std::string& dst, std::string* error) {
    return transfer(src, dst, true, error);
}

bool copyFileOver(const std::string& src, const std::string& dst, std::string* error) {
    std::error_code ec;
    if (!fs::is_regular_file(src, ec)) return fail(error, "not a file: " + src);
    fs::copy_file(src, dst, fs::copy_options::overwrite_existing, ec);
    if (ec) return fail(error, ec.message() + ": " + src + " -> " + dst);
    return true;
}

} // namespace platform
