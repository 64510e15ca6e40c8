#pragma once
// Ini files read and written with the private-profile rules of the suite's
// settings files:
// - "[section]" lines open sections; "name=value" lines inside them hold
//   values; lines starting with ';' and lines without '=' hold no value;
// - section and key names compare without regard to ASCII letter case;
//   blanks around names and values are ignored, and a value enclosed in a
//   pair of matching quotes is read without them;
// - when a section or key occurs twice the first one counts;
// - the file is CP932 text; lines may end in CR LF or LF, and every write
//   rewrites the file with CR LF line ends as the original system does;
// - a missing file reads as empty; writing creates it (not its folder).
//
// Every call reads the file afresh and every write goes to the file at once,
// so several objects (and programs) on one file see each other's changes.
// A write holds a lock on the file's folder from reading the file to putting
// the new one in its place, so writers in other threads and programs wait
// for each other instead of undoing each other's changes. The new file keeps
// the old one's permissions, and a write through a symbolic link replaces
// the file it links to.
//
// A line that is not valid CP932 spoils only itself: its section or key
// cannot be found when the bad bytes are in the name, its value reads as the
// default when they are in the value, and writes keep its bytes as they are.
// A value that cannot be encoded raises platform::EncodingError; a write to
// a file that exists but cannot be read, or that cannot be written, raises
// IniFileError and leaves the file as it was. Reads of a file that cannot be
// read give the defaults.
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class IniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    std::string readString(const std::string& section, const std::string& key, const std::string& def = {}) const;
    // Decimal text (optionally signed, or 0x hexadecimal) within the range of
    // int; anything else gives def.
    int readInteger(const std::string& section, const std::string& key, int def) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);
    void deleteKey(const std::string& section, const std::string& key);
    void eraseSection(const std::string& section);

    bool sectionExists(const std::string& section) const;
    bool valueExists(const std::string& section, const std::string& key) const;
    // Key names of a section, in file order.
    std::vector<std::string> readSection(const std::string& section) const;
    // "name=value" lines of a section, in file order.
    std::vector<std::string> readSectionValues(const std::string& section) const;
    // Section names, in file order.
    std::vector<std::string> readSections() const;

private:
    std::string path_;
};

// ASCII case-insensitive equality.
bool sameTextAscii(const std::string& a, const std::string& b);

} // namespace platform
