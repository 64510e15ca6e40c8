#include "platform/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/Folders.h"
#include "platform/IniFile.h"

namespace platform {
namespace {

std::string rootName(RegRoot root) {
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && lowerAscii(s.substr(0, prefix.size())) == lowerAscii(prefix);
}

void ensureFolder(const std::string& file) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
}

} // namespace

std::string normaliseRegKey(const std::string& key) {
    std::string out;
    for (char c : key) {
        if (c == '/') c = '\\';
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

Registry::Registry(RegRoot root) : Registry(root, registryFolder()) {}

Registry::Registry(RegRoot root, const std::string& folder) : file_(folder + "/" + rootName(root) + ".ini") {}

bool Registry::keyExists(const std::string& key) const {
    std::string k = normaliseRegKey(key);
    if (k.empty()) return true;
    for (const auto& s : IniFile(file_).readSections()) {
        std::string n = normaliseRegKey(s);
        if (sameTextAscii(n, k) || startsWithNoCase(n, k + "\\")) return true;
    }
    return false;
}

std::vector<std::string> Registry::subKeys(const std::string& key) const {
    std::string k = normaliseRegKey(key);
    std::string prefix = k.empty() ? "" : k + "\\";
    std::vector<std::string> out;
    for (const auto& s : IniFile(file_).readSections()) {
        std::string n = normaliseRegKey(s);
        if (n.size() <= prefix.size() || !startsWithNoCase(n, prefix)) continue;
        std::string child = n.substr(prefix.size());
        child = child.substr(0, child.find('\\'));
        bool seen = false;
        for (const auto& o : out) seen = seen || sameTextAscii(o, child);
        if (!seen) out.push_back(child);
    }
    // Listed by name as the system registry lists them: compared with ASCII
    // letters folded to upper case, so '_' sorts after the letters.
    std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return upperAscii(a) < upperAscii(b);
    });
    return out;
}

std::vector<std::string> Registry::valueNames(const std::string& key) const {
    return IniFile(file_).readSection(normaliseRegKey(key));
}

RegValue Registry::readValue(const std::string& key, const std::string& name) const {
    IniFile ini(file_);
    std::string section = normaliseRegKey(key);
    RegValue v;
    if (!ini.valueExists(section, name)) return v;
    std::string raw = ini.readString(section, name);
    if (startsWithNoCase(raw, "dword:")) {
        char* end = nullptr;
        std::string digits = raw.substr(6);
        long long n = std::strtoll(digits.c_str(), &end, 10);
        if (!digits.empty() && end && !*end) {
            v.kind = RegValue::Integer;
            v.number = n;
            return v;
        }
    }
    v.kind = RegValue::String;
    v.text = startsWithNoCase(raw, "sz:") ? raw.substr(3) : raw;
    return v;
}

void Registry::writeString(const std::string& key, const std::string& name, const std::string& value) {
    ensureFolder(file_);
    IniFile(file_).writeString(normaliseRegKey(key), name, "sz:" + value);
}

void Registry::writeInteger(const std::string& key, const std::string& name, std::int64_t value) {
    ensureFolder(file_);
    IniFile(file_).writeString(normaliseRegKey(key), name, "dword:" + std::to_string(value));
}

void Registry::deleteValue(const std::string& key, const std::string& name) {
    IniFile(file_).deleteKey(normaliseRegKey(key), name);
}

void Registry::deleteKey(const std::string& key) {
    std::string k = normaliseRegKey(key);
    IniFile ini(file_);
    for (const auto& s : ini.readSections()) {
        std::string n = normaliseRegKey(s);
        if (sameTextAscii(n, k) || startsWithNoCase(n, k + "\\")) ini.eraseSection(s);
    }
}

} // namespace platform
