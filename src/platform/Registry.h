#pragma once
// A file-backed key store in place of the system registry. Each root is one
// ini file in registryFolder() (ZR_REGISTRY_DIR, see Folders.h), named after
// the root ("HKEY_LOCAL_MACHINE.ini", "HKEY_CURRENT_USER.ini"). A key is a
// section whose name is the key path with '\' between the parts and no
// leading or trailing '\' ("SOFTWARE\BREVAN\TAVRINZAIMU"); names compare
// without regard to letter case. Values are "Name=sz:text" for strings and
// "Name=dword:123" for integers; a value without a prefix reads as a string,
// so hand-written files stay simple.
//
// A key exists when it holds values or has a sub-key with values.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class RegRoot { LocalMachine, CurrentUser };

struct RegValue {
    enum Kind { None, String, Integer };
    Kind kind = None;
    std::string text;
    std::int64_t number = 0;
};

class Registry {
public:
    // The store of a root in registryFolder().
    explicit Registry(RegRoot root);
    // The store of a root in the given folder.
    Registry(RegRoot root, const std::string& folder);

    bool keyExists(const std::string& key) const;
    // Names of the direct sub-keys, sorted by name without regard to ASCII
    // letter case.
    std::vector<std::string> subKeys(const std::string& key) const;
    std::vector<std::string> valueNames(const std::string& key) const;
    RegValue readValue(const std::string& key, const std::string& name) const;

    // Writing creates the store's folder and file when missing.
    void writeString(const std::string& key, const std::string& name, const std::string& value);
    void writeInteger(const std::string& key, const std::string& name, std::int64_t value);
    void deleteValue(const std::string& key, const std::string& name);
    // Deletes the key with all its sub-keys.
    void deleteKey(const std::string& key);

    const std::string& file() const { return file_; }

private:
    std::string file_;
};

// Key path in the store's form: '/' taken as '\', no leading, trailing or
// doubled '\'.
std::string normaliseRegKey(const std::string& key);

} // namespace platform
