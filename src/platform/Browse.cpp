#include "platform/Browse.h"

#include <utility>

namespace platform {
namespace {
FolderBrowser& slot() {
    static FolderBrowser browser;
    return browser;
}
} // namespace

bool browseFolder(const std::string& title, const std::string& root, std::string& path) {
    return slot() ? slot()(title, root, path) : false;
}

FolderBrowser setFolderBrowser(FolderBrowser browser) { return std::exchange(slot(), std::move(browser)); }

} // namespace platform
