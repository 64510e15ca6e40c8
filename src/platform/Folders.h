#pragma once
// Special folders and machine identity, in place of the shell's folder
// service. Every folder can be redirected by an environment variable (tests
// point them into a temporary folder):
//
//   ZR_COMMON_APPDATA  common application-data folder (the suite's data root
//                      lives below it); default $XDG_DATA_HOME, else
//                      ~/.local/share
//   ZR_USER_APPDATA    the user's application-data folder; default
//                      $XDG_CONFIG_HOME, else ~/.config
//   ZR_DOCUMENTS       the Documents folder; default $XDG_DOCUMENTS_DIR, else
//                      the desktop's user-dirs.dirs entry, else ~/Documents
//   ZR_DESKTOP         the desktop folder; default $XDG_DESKTOP_DIR, else
//                      the desktop's user-dirs.dirs entry, else ~/Desktop
//   TEMP, TMPDIR       the temporary folder: TEMP when it names an existing
//                      folder, else TMPDIR when it does, else /tmp
//   ZR_EXE_DIR         the executable's folder; default the folder of
//                      /proc/self/exe
//   ZR_SYSTEM_DIR      the system folder (what must never be deleted);
//                      default /usr/lib
//   ZR_REGISTRY_DIR    folder of the key store files; default
//                      <common application-data folder>/zr-registry
//   ZR_LOCK_DIR        folder of the named-guard lock files; default
//                      $XDG_RUNTIME_DIR/zr-locks, else /tmp/zr-locks-<uid>
//   ZR_RUNTIME_DIR     folder of the caller-link sockets; default
//                      $XDG_RUNTIME_DIR, else /tmp
//   ZR_USER_NAME       the logon user name; default the account's name
//   ZR_COMPUTER_NAME   the computer name; default the host name
//
// Folders are returned without a trailing '/'. An empty variable counts as
// not set.
#include <optional>
#include <string>

namespace platform {

std::string commonAppDataFolder();
std::string userAppDataFolder();
std::string documentsFolder();
std::string desktopFolder();
std::string tempFolder();
std::string executableFolder();
std::string systemFolder();
std::string registryFolder();
std::string lockFolder();
std::string runtimeFolder();

// The user's home folder ($HOME, else the account's home), "" when unknown.
std::string homeFolder();

// Logon user name; nullopt when it cannot be found.
std::optional<std::string> userName();
// Computer name; nullopt when it cannot be found.
std::optional<std::string> computerName();

// The major version of the system the program runs on, as the suite's
// version checks understand it: the layer behaves like a current desktop
// system (10).
int systemMajorVersion();

// The value of an environment variable; nullopt when unset or empty.
std::optional<std::string> envValue(const char* name);

} // namespace platform
