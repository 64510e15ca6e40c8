#include "app/VersionCheck.h"

#include <array>
#include <charconv>
#include <optional>

namespace {

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

std::optional<std::int64_t> integer(const std::string& s) {
    std::int64_t v = 0;
    if (s.empty())
        return std::nullopt;
    const char* b = s.data();
    const char* e = s.data() + s.size();
    if (*b == '+')
        ++b;
    auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e || b == e)
        return std::nullopt;
    return v;
}

// (major, minor, release); all zero when the text is not a version.
std::array<std::int64_t, 3> versionParts(const std::string& text) {
    std::array<std::int64_t, 3> key{0, 0, 0};
    auto parts = split(text, '.');
    if (parts.size() > 3)
        return key;
    for (size_t i = 0; i < parts.size(); ++i) {
        auto v = integer(parts[i]);
        key[i] = v && *v > 0 ? *v : 0;
    }
    return key;
}

} // namespace

bool VersionAtLeast(const std::string& V, const std::string& R) {
    auto v = versionParts(V);
    auto r = versionParts(R);
    if (v == std::array<std::int64_t, 3>{0, 0, 0})
        return false;
    return v >= r;
}

TCallerArgs ParseCallerArgs(const std::vector<std::string>& args) {
    TCallerArgs a;
    if (args.empty())
        return a;
    a.kind = TCallerArgs::Invalid;
    if (args.size() != 1)
        return a;
    auto f = split(args[0], ',');
    if (f.size() != 4)
        return a;
    auto wnd = integer(f[0]);
    auto msg = integer(f[1]);
    auto param = integer(f[2]);
    if (!wnd || !msg || !param || *wnd < 0 || *msg < 0 || *msg > 0xFFFFFFFFLL)
        return a;
    a.kind = TCallerArgs::Caller;
    a.Wnd = *wnd;
    a.Msg = static_cast<std::uint32_t>(*msg);
    a.Param = *param;
    a.File = f[3];
    return a;
}

int VersionMajorOf(const std::string& V) { return static_cast<int>(versionParts(V)[0]); }
