#include "platform/IniFile.h"
#include "platform/ReplaceFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IntText.h"
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

// Stands in for bytes that are not CP932; decoding never yields it.
const std::string kBad = "\xEF\xBF\xBD";

// One line of the file, classified.
struct Line {
    std::string text;    // UTF-8, without line end
    std::string raw;     // the bytes read from the file, without line end
    bool fromFile = false;
    bool section = false;
    bool entry = false;
    bool badName = false;  // the name holds bytes that are not CP932
    bool badValue = false; // the value holds bytes that are not CP932
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

bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// One line's bytes as UTF-8. Bytes that are not CP932 become kBad, one for
// a lone byte or an unassigned pair, so the rest of the line still parses.
std::string decodeLine(std::string_view raw, bool& bad) {
    std::string out;
    bad = !tryFromCp932(raw, out);
    if (!bad) return out;
    out.clear();
    for (size_t i = 0; i < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[i]);
        size_t n = isLeadByte(c) && i + 1 < raw.size() && isTrailByte(static_cast<unsigned char>(raw[i + 1])) ? 2 : 1;
        std::string piece;
        out += tryFromCp932(raw.substr(i, n), piece) ? piece : kBad;
        i += n;
    }
    return out;
}

// Read errors other than a missing file: a write must not go on from them.
std::vector<Line> load(const std::string& path, bool forWrite = false) {
    std::vector<Line> lines;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR || !forWrite) return lines;
        throw IniFileError("cannot read " + path);
    }
    std::string bytes;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            if (!forWrite) return lines;
            throw IniFileError("cannot read " + path);
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    // Line ends are split on the bytes: CR and LF never occur inside a CP932
    // double-byte character.
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        std::string raw = bytes.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        bool bad = false;
        Line l = classify(decodeLine(raw, bad));
        if (bad) {
            l.badName = l.name.find(kBad) != std::string::npos;
            l.badValue = l.value.find(kBad) != std::string::npos;
        }
        l.raw = std::move(raw);
        l.fromFile = true;
        lines.push_back(std::move(l));
        if (nl == std::string::npos) break;
        pos = nl + 1;
    }
    return lines;
}

// Writes the lines to a new file beside the target and puts it in the
// target's place. Lines read from the file keep their bytes.
void save(const std::string& path, const std::vector<Line>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += (l.fromFile ? l.raw : toCp932(l.text)) + "\r\n"; // before the file is touched
    ReplaceFile out(path);
    if (!out.write(bytes.data(), bytes.size()) || !out.commit(false)) throw IniFileError("cannot write " + path);
}

// The file a write replaces: through a symbolic link, the linked file.
std::string writeTarget(const std::string& path) {
    std::error_code ec;
    std::string target = linkedFile(path, ec);
    if (ec) throw IniFileError("cannot write " + path); // a link to nothing
    return target;
}

// An exclusive lock on a folder, held while the object lives. The folder,
// not the file, is locked because the file itself is replaced by each write.
class FolderLock {
public:
    explicit FolderLock(const std::string& file) {
        fs::path folder = fs::path(file).parent_path();
        if (folder.empty()) folder = ".";
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) throw IniFileError("cannot write " + file);
        while (::flock(fd_, LOCK_EX) != 0) {
            // A file system without locks still gets its writes, unguarded.
            if (errno != EINTR) break;
        }
    }
    ~FolderLock() { ::close(fd_); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

// Reads, changes and rewrites the file under the folder lock; change
// returns false when there is nothing to write.
template <class Change> void update(const std::string& path, Change change) {
    const std::string target = writeTarget(path);
    FolderLock lock(target);
    auto lines = load(target, true);
    if (change(lines)) save(target, lines);
}

// Index range [begin, end) of the body of the first section with that name;
// begin = npos when absent.
std::pair<size_t, size_t> findSection(const std::vector<Line>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].section && !lines[i].badName && sameTextAscii(lines[i].name, section)) {
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
        if (lines[i].entry && !lines[i].badName && sameTextAscii(lines[i].name, key)) return i;
    return std::string::npos;
}

} // namespace

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const {
    auto lines = load(path_);
    size_t i = findKey(lines, findSection(lines, section), key);
    return i == std::string::npos || lines[i].badValue ? def : lines[i].value;
}

int IniFile::readInteger(const std::string& section, const std::string& key, int def) const {
    const std::string v = readString(section, key, "");
    size_t i = 0;
    bool neg = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) neg = v[i++] == '-';
    if (!(v.size() > i + 1 && v[i] == '0' && (v[i + 1] == 'x' || v[i + 1] == 'X'))) return strToIntDef(v, def);
    i += 2;
    if (i == v.size()) return def;
    const long long limit = neg ? 0x80000000LL : 0x7FFFFFFFLL;
    long long n = 0;
    for (; i < v.size(); ++i) {
        const char c = v[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return def;
        n = n * 16 + d;
        if (n > limit) return def;
    }
    return static_cast<int>(neg ? -n : n);
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    update(path_, [&](std::vector<Line>& lines) {
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
        return true;
    });
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    update(path_, [&](std::vector<Line>& lines) {
        size_t i = findKey(lines, findSection(lines, section), key);
        if (i == std::string::npos) return false;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
    });
}

void IniFile::eraseSection(const std::string& section) {
    update(path_, [&](std::vector<Line>& lines) {
        auto range = findSection(lines, section);
        if (range.first == std::string::npos) return false;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range.first - 1),
                    lines.begin() + static_cast<std::ptrdiff_t>(range.second));
        return true;
    });
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
        if (!lines[i].entry || lines[i].badName) continue;
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
        if (!l.section || l.badName) continue;
        bool seen = false;
        for (const auto& s : out) seen = seen || sameTextAscii(s, l.name);
        if (!seen) out.push_back(l.name);
    }
    return out;
}

} // namespace platform
