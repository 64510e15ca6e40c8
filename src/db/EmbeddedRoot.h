#pragma once
// Our own root for the client library's embedded engine.
//
// With the distribution's configuration an embedded attachment holds the
// database file exclusively, so a second process (another instance, isql,
// gbak) cannot open it. Our root says ServerMode = SuperClassic and has its
// own lock folder, which lets several processes share a database file. It
// holds real copies of the library's files: the character sets do not load
// from a root made of links.
//
// The root is selected with the environment variables FIREBIRD (root folder)
// and FIREBIRD_LOCK (lock folder), which must be set before the client
// library is first used; child processes (isql-fb, gbak) inherit them.
#include <filesystem>
#include <string>

namespace db {

// The folder the client library's files are copied from.
std::filesystem::path systemFirebirdDir();

// Creates (or refreshes when the library's files changed) a root in `dir`:
// copies of the library's folder, our firebird.conf and a "lock" folder.
// Returns false with `error` set when it cannot.
bool makeEmbeddedRoot(const std::filesystem::path& dir, std::string* error = nullptr);

// When FIREBIRD is not set: makes a root under `fallbackDir` (empty means
// the user's data folder, $XDG_DATA_HOME or ~/.local/share, + "ZoruteRendo/fbroot")
// and sets FIREBIRD and FIREBIRD_LOCK to it. When FIREBIRD is set but
// FIREBIRD_LOCK is not, sets FIREBIRD_LOCK to FIREBIRD/lock. Returns the
// root in use. Call it before any other use of this layer; the layer also
// calls it itself at its first use of the client library.
std::filesystem::path ensureEmbeddedRoot(const std::filesystem::path& fallbackDir = {});

// The firebird.conf text of our roots.
std::string embeddedRootConf();

} // namespace db
