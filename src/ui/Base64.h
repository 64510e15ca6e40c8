#pragma once
// Base64 conversion of byte texts (values exchanged with the communication
// server) and the opening of pages of the suite's HTML manual.
#include <functional>
#include <string>

enum TJisByteCodeType { btAscii, btRoman };
enum TJisKanaConvType { ktNone, ktZenWithDaku, ktZenSepaDaku };

// Converts byte strings to and from the standard Base64 alphabet. The texts
// are taken as bytes: a caller that sends a Japanese text converts it to
// CP932 first.
class TxPzConv {
public:
    // Kept as settable values for the forms that set them; no conversion
    // here reads them.
    TJisByteCodeType JisByteCodeType = btAscii;
    TJisKanaConvType JisKanaConvType = ktZenWithDaku;

    // No line breaks; "=" pads a final group of one or two bytes.
    void EncodeBase64(const std::string& Source, std::string& Dest) const;
    // Lenient: a character outside the alphabet counts as 0, "=" in the
    // third or fourth place of a group drops that byte, and characters after
    // the last complete group of four are ignored.
    void DecodeBase64(const std::string& Source, std::string& Dest) const;
};

// What decides where a manual page lies.
struct HelpLocation {
    std::string helpDir;  // the manual's folder
    int logonMode = 0;    // product kind: 0 accounting, 1 e-book, 2 analysis, 3 cash book
    int oemEdition = 0;   // 1 or 2 for the distributor editions
};

// Full path of a page, or "" when nothing is to be opened (empty page name,
// unknown product kind).
std::string HtmlHelpPath(const std::string& page, const HelpLocation& where);

// Hook that hands a path to the desktop's URL handler; returns 0 when the
// page was handed over. Replaceable so that tests never start a browser.
using HelpOpener = std::function<int(const std::string& path)>;
// Installs an opener (an empty function restores the desktop one); returns the previous.
HelpOpener setHelpOpener(HelpOpener opener);
// Where the manual lies: by default the help folder of the settings record,
// the logon mode and the edition; a provider replaces that (tests).
using HelpLocationProvider = std::function<HelpLocation()>;
HelpLocationProvider setHelpLocationProvider(HelpLocationProvider provider);

// The value the opener returns when the desktop refused the page.
constexpr int kHelpOpenFailed = static_cast<int>(0x80004005u);

// Opens a manual page; the opener's result, or 0 when nothing was opened.
int OpenHtmlHelp(const std::string& Page);
int OpenHtmlHelp(const std::string& Page, const HelpLocation& where);
