#pragma once
// The folder browser behind the folder-selection helpers. The Qt layer
// installs one that shows the system's folder dialog; tests install a
// scripted one. Without a browser every request counts as cancelled.
#include <functional>
#include <string>

namespace platform {

// Shows the browser with a title, a root folder ("" = everything) and the
// folder selected at first; true and the chosen folder when accepted.
using FolderBrowser = std::function<bool(const std::string& title, const std::string& root, std::string& path)>;

bool browseFolder(const std::string& title, const std::string& root, std::string& path);
// Installs the browser; returns the previous one.
FolderBrowser setFolderBrowser(FolderBrowser browser);

} // namespace platform
