#include "ui/Base64.h"

#include "accdb/AccRecord.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int valueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return 0;
}

int desktopOpen(const std::string& path) {
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    return QDesktopServices::openUrl(url) ? 0 : kHelpOpenFailed;
}

HelpOpener& opener() {
    static HelpOpener o;
    return o;
}

HelpLocationProvider& locationProvider() {
    static HelpLocationProvider p;
    return p;
}

bool isMainPage(const std::string& page) {
    return page == "olm.html" || page == "ecbolm.html" || page == "mdvolm.html" || page == "csbolm.html";
}

} // namespace

void TxPzConv::EncodeBase64(const std::string& Source, std::string& Dest) const {
    Dest.clear();
    Dest.reserve((Source.size() + 2) / 3 * 4);
    std::size_t i = 0;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(Source[k]); };
    for (; i + 3 <= Source.size(); i += 3) {
        const unsigned v = (byte(i) << 16) | (byte(i + 1) << 8) | byte(i + 2);
        Dest += kAlphabet[(v >> 18) & 63];
        Dest += kAlphabet[(v >> 12) & 63];
        Dest += kAlphabet[(v >> 6) & 63];
        Dest += kAlphabet[v & 63];
    }
    const std::size_t rest = Source.size() - i;
    if (rest == 1) {
        const unsigned v = byte(i) << 16;
        Dest += kAlphabet[(v >> 18) & 63];
        Dest += kAlphabet[(v >> 12) & 63];
        Dest += "==";
    } else if (rest == 2) {
        const unsigned v = (byte(i) << 16) | (byte(i + 1) << 8);
        Dest += kAlphabet[(v >> 18) & 63];
        Dest += kAlphabet[(v >> 12) & 63];
        Dest += kAlphabet[(v >> 6) & 63];
        Dest += '=';
    }
}

void TxPzConv::DecodeBase64(const std::string& Source, std::string& Dest) const {
    Dest.clear();
    Dest.reserve(Source.size() / 4 * 3);
    for (std::size_t i = 0; i + 4 <= Source.size(); i += 4) {
        const unsigned v = (valueOf(Source[i]) << 18) | (valueOf(Source[i + 1]) << 12) |
                           (valueOf(Source[i + 2]) << 6) | valueOf(Source[i + 3]);
        Dest += static_cast<char>((v >> 16) & 0xFF);
        if (Source[i + 2] != '=') Dest += static_cast<char>((v >> 8) & 0xFF);
        if (Source[i + 3] != '=') Dest += static_cast<char>(v & 0xFF);
    }
}

std::string HtmlHelpPath(const std::string& page, const HelpLocation& where) {
    if (page.empty()) return {};
    const bool main = isMainPage(page);
    const bool oem = where.oemEdition == 1 || where.oemEdition == 2;
    const char* folder = nullptr;
    switch (where.logonMode) {
    case 0:
        folder = oem ? (main ? "/zaimu/" : "/zaimu/olm.files/") : (main ? "/" : "/olm.files/");
        break;
    case 1:
        folder = oem ? (main ? "/" : "/ecbolm.files/") : (main ? "/" : "/olm.files/");
        break;
    case 2:
        folder = oem ? (main ? "/mirdova/" : "/mirdova/mdvolm.files/") : (main ? "/" : "/olm.files/");
        break;
    case 3:
        folder = main ? "/" : "/csbolm.files/";
        break;
    default:
        return {};
    }
    std::string dir = where.helpDir;
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir + folder + page;
}

HelpOpener setHelpOpener(HelpOpener o) {
    HelpOpener previous = opener();
    opener() = std::move(o);
    return previous;
}

HelpLocationProvider setHelpLocationProvider(HelpLocationProvider provider) {
    HelpLocationProvider previous = locationProvider();
    locationProvider() = std::move(provider);
    return previous;
}

int OpenHtmlHelp(const std::string& Page, const HelpLocation& where) {
    const std::string path = HtmlHelpPath(Page, where);
    if (path.empty()) return 0;
    return opener() ? opener()(path) : desktopOpen(path);
}

int OpenHtmlHelp(const std::string& Page) {
    const HelpLocation where = locationProvider()
                                   ? locationProvider()()
                                   : HelpLocation{SystemDef.HelpDir, LogonMode, OemEdition};
    return OpenHtmlHelp(Page, where);
}
