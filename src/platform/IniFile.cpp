#include "platform/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/TextCodec.h"

namespace fs = std::filesystem;

namespace platform {

bool sameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// One line of the file, classified.
struct Line {
    std::string text;    // UTF-8, without line end
    bool section = false;
    bool entry = false;
    std::string name;    // section or key name (trimmed)
    std::string value;   // entry value as read
};

Line classify(std::string text) {
    Line l;
    l.text = std::move(text);
    std::string t = trim(l.text);
    if (t.empty() || t[0] == ';') return l;
    if (t[0] == '[') {
        size_t close = t.find(']');
        if (close != std::string::npos) {
            l.section = true;
            l.name = trim(t.substr(1, close - 1));
        }
        return l;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos) return l;
    l.entry = true;
    l.name = trim(t.substr(0, eq));
    std::string v = trim(t.substr(eq + 1));
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    l.value = v;
    return l;
}

std::vector<Line> load(const std::string& path) {
    std::vector<Line> lines;
    std::ifstream f(path, std::ios::binary);
    if (!f) return lines;
    std::stringstream ss;
    ss << f.rdbuf();
    std::string text = fromCp932(ss.str());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(classify(std::move(line)));
        if (nl == std::string::npos) break;
        pos = nl + 1;
    }
    return lines;
}

void save(const std::string& path, const std::vector<Line>& lines) {
    std::string text;
    for (const auto& l : lines) text += l.text + "\r\n";
    std::string bytes = toCp932(text); // before the file is touched
    std::string tmp = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f) throw IniFileError("cannot write " + path);
        f << bytes;
        f.flush();
        if (!f) {
            std::error_code ec;
            fs::remove(tmp, ec);
            throw IniFileError("cannot write " + path);
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        fs::remove(tmp, ec);
        throw IniFileError("cannot write " + path);
    }
}

// Index range [begin, end) of the body of the first section with that name;
// begin = npos when absent.
std::pair<size_t, size_t> findSection(const std::vector<Line>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].section && sameTextAscii(lines[i].name, section)) {
            size_t end = i + 1;
            while (end < lines.size() && !lines[end].section) ++end;
            return {i + 1, end};
        }
    }
    return {std::string::npos, std::string::npos};
}

size_t findKey(const std::vector<Line>& lines, std::pair<size_t, size_t> range, const std::string& key) {
    if (range.first == std::string::npos) return std::string::npos;
    for (size_t i = range.first; i < range.second; ++i)
        if (lines[i].entry && sameTextAscii(lines[i].name, key)) return i;
    return std::string::npos;
}

} // namespace

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const {
    auto lines = load(path_);
    size_t i = findKey(lines, findSection(lines, section), key);
    return i == std::string::npos ? def : lines[i].value;
}

int IniFile::readInteger(const std::string& section, const std::string& key, int def) const {
    std::string v = readString(section, key, "");
    if (v.empty()) return def;
    const char* s = v.c_str();
    int base = 10;
    bool neg = false;
    if (*s == '-' || *s == '+') neg = *s++ == '-';
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s += 2;
    }
    if (!*s) return def;
    char* end = nullptr;
    long long n = std::strtoll(s, &end, base);
    if (*end || n > 0x7FFFFFFFLL + (neg ? 1 : 0)) return def;
    return static_cast<int>(neg ? -n : n);
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    auto lines = load(path_);
    auto range = findSection(lines, section);
    Line entry = classify(key + "=" + value);
    if (range.first == std::string::npos) {
        lines.push_back(classify("[" + section + "]"));
        lines.push_back(entry);
    } else if (size_t i = findKey(lines, range, key); i != std::string::npos) {
        lines[i] = entry;
    } else {
        size_t at = range.second;
        while (at > range.first && trim(lines[at - 1].text).empty()) --at; // before trailing blank lines
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
    save(path_, lines);
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    auto lines = load(path_);
    size_t i = findKey(lines, findSection(lines, section), key);
    if (i == std::string::npos) return;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    save(path_, lines);
}

void IniFile::eraseSection(const std::string& section) {
    auto lines = load(path_);
    auto range = findSection(lines, section);
    if (range.first == std::string::npos) return;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range.first - 1),
                lines.begin() + static_cast<std::ptrdiff_t>(range.second));
    save(path_, lines);
}

bool IniFile::sectionExists(const std::string& section) const {
    auto lines = load(path_);
    return findSection(lines, section).first != std::string::npos;
}

bool IniFile::valueExists(const std::string& section, const std::string& key) const {
    auto lines = load(path_);
    return findKey(lines, findSection(lines, section), key) != std::string::npos;
}

std::vector<std::string> IniFile::readSection(const std::string& section) const {
    std::vector<std::string> out;
    auto lines = load(path_);
    auto range = findSection(lines, section);
    if (range.first == std::string::npos) return out;
    for (size_t i = range.first; i < range.second; ++i) {
        if (!lines[i].entry) continue;
        bool seen = false;
        for (const auto& k : out) seen = seen || sameTextAscii(k, lines[i].name);
        if (!seen) out.push_back(lines[i].name);
    }
    return out;
}

std::vector<std::string> IniFile::readSectionValues(const std::string& section) const {
    std::vector<std::string> out;
    for (const auto& key : readSection(section)) out.push_back(key + "=" + readString(section, key));
    return out;
}

std::vector<std::string> IniFile::readSections() const {
    std::vector<std::string> out;
    for (const auto& l : load(path_)) {
        if (!l.section) continue;
        bool seen = false;
        for (const auto& s : out) seen = seen || sameTextAscii(s, l.name);
        if (!seen) out.push_back(l.name);
    }
    return out;
}

} // namespace platform
