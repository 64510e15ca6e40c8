#pragma once
// Folders, paths and system information: the special folders the program's
// folders are built from, folder selection that refuses the system root when
// access control is on, ini-file and key-store access, path and text
// functions, a pause that keeps the event loop running and a few screen
// measures. Paths use '/' and are returned without a trailing '/' unless
// said otherwise.
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Registry.h"

class QFont;

// A read-only buffered file stream: reads are served from a buffer of
// BufferKB kilobytes; writes go straight to the file.
class TBufFileStream {
public:
    static constexpr std::uint16_t fmCreate = 0xFF00;
    static constexpr std::uint16_t fmOpenRead = 0x0000;
    static constexpr std::uint16_t fmOpenWrite = 0x0001;
    static constexpr std::uint16_t fmOpenReadWrite = 0x0002;
    enum Origin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

    // Throws std::runtime_error when the file cannot be opened.
    TBufFileStream(const std::string& FileName, std::uint8_t BufferKB, std::uint16_t Mode);
    ~TBufFileStream();
    TBufFileStream(const TBufFileStream&) = delete;
    TBufFileStream& operator=(const TBufFileStream&) = delete;

    // Copies up to Count bytes; 0 at the end of the file. Throws
    // std::runtime_error("バッファの大きさを越えています。") when Count is
    // larger than the buffer.
    int Read(void* Buffer, int Count);
    int Write(const void* Buffer, int Count);
    // Positions the file and empties the buffer; returns the new position.
    std::int64_t Seek(std::int64_t Offset, Origin From);
    // Seek(0, soCurrent): reading the position empties the buffer too.
    std::int64_t Position() { return Seek(0, soCurrent); }
    std::int64_t Size() const;

private:
    int fd_ = -1;
    std::vector<char> buffer_;
    int bufPos_ = 0;
    int bufFill_ = 0;
    std::int64_t logical_ = 0;
};

// System and screen.
int GetWinMajorVersion();
// The logon user name (at most 1024 characters), "" when unknown.
std::string GetLogonUserName();
// Waits Ms milliseconds on the monotonic clock while processing events; 1.
int WaitMSec(int Ms);
// Value * DpiA / DpiB (truncated); DpiB 0 means the screen's resolution.
int ScaleByDpi(int Value, int DpiA, int DpiB);
// The sizing-frame height of this platform's windows.
int GetSystemFrameHeight();
// Corrects a height for the sizing frame F: unchanged when 2F is 8 or at
// most 6; Kind 0: Height - 2F + 8; Kind 1: Height - 4F + 16.
int AdjustHeightByFrame(int Height, int Kind);
int AdjustHeightByFrame(int Height, int Kind, int FrameHeight);
int GetScaledTextWidth(const std::string& Text, const QFont& Font, double Factor);
// 0x00BBGGRR colour to grey; white and black unchanged.
std::uint32_t ToGrayColor(std::uint32_t Color);

// Special folders and paths.
std::string GetSystemFolder();
std::string GetMyDocumentsFolder();
std::string GetAppDataFolder(bool Common);
// "desktop" or "mydocument" (any letter case); other names give "".
std::string GetSpecialFolder(const std::string& Name);
// The TEMP folder when it exists, else Default.
std::string GetTempFolder(const std::string& Default);
// Network paths are used as they are on this system: Path itself.
std::string GetUniversalPath(const std::string& Path);
// Paths have no short form here: the path itself when it exists; throws
// std::runtime_error("ファイルが見つかりません。") otherwise.
std::string GetShortPath(const std::string& LongPath);
// True when the folder exists or could be made with its missing parents.
bool ForceFolder(const std::string& Path);
std::string ExcludePathDelimiter(const std::string& Path);
std::string IncludePathDelimiter(const std::string& Path);
// Sub-folders of Folder (not "." and ".."), sorted by name: names when
// NamesOnly is 1, else Folder + '/' + name. Empty for a blank or missing folder.
std::vector<std::string> GetSubFolderList(const std::string& Folder, int NamesOnly);
// Size of the file (first match of a name with '*' or '?'); 0 when nothing
// is found, -1 when the lookup fails.
std::int64_t GetFileSize64(const std::string& FileName);

// Folder selection and the write-permission check of the system root.
extern const char* const kNoPermissionQuestion;
// Title "" gives "フォルダを選択して下さい". Root "" browses everything.
bool SelectFolderDlg(const std::string& Title, std::string& Path, bool NoUacCheck, const std::string& Root = {});
// Asks for a computer name (title "" gives "コンピュータを選択して下さい").
bool SelectComputerDlg(const std::string& Title, std::string& Name);
// Runs the caller's file dialog (true and the chosen name when accepted)
// until an acceptable place is chosen; FileName may be moved to Documents.
bool ExecuteFileDlg(const std::function<bool(std::string& FileName)>& Dialog, std::string& FileName);
bool CheckFolderWritable(std::string& Folder);
bool CheckFileFolderWritable(std::string& FilePath);
// Whether access control counts as on (EnableLUA of the policy key is 1).
bool IsAccessControlOn();

using TRegVariant = std::variant<std::int64_t, std::string>;
// The value as text or integer; 0 when missing.
TRegVariant ReadRegistryValue(platform::RegRoot RootKey, const std::string& KeyPath, const std::string& ValueName);

// Ini files.
void WriteIniValue(const std::string& IniFile, const std::string& Section, const std::string& Key, bool Delete,
                   const std::string& Value);
void WriteIniValue(const std::string& IniFile, const std::string& Section, const std::string& Key, bool Delete,
                   int Value);
// Every name=value line of the section, each ended by CR LF; Text unchanged
// when a name is empty.
void ReadIniSectionText(const std::string& IniFile, const std::string& Section, std::string& Text);
void WriteIniSection(const std::string& IniFile, const std::string& Section, const std::vector<std::string>& Lines);

// Text functions.
constexpr std::uint32_t LCMAP_LOWERCASE = 0x00000100;
constexpr std::uint32_t LCMAP_UPPERCASE = 0x00000200;
constexpr std::uint32_t LCMAP_HIRAGANA = 0x00100000;
constexpr std::uint32_t LCMAP_KATAKANA = 0x00200000;
constexpr std::uint32_t LCMAP_HALFWIDTH = 0x00400000;
constexpr std::uint32_t LCMAP_FULLWIDTH = 0x00800000;
// Width, kana and letter-case mapping; "" when the result is longer than
// 256 CP932 bytes.
std::string MapStringLocale(std::uint32_t Flags, const std::string& S);
// Full-width lower-case letters raised, by the CP932 trail-byte rule (any
// double-byte character whose trail byte is 0x81-0x9A moves down by 0x21).
std::string ToZenkakuUpper(const std::string& S);
inline bool IsSjisLeadByte(std::uint8_t B) { return (B >= 0x81 && B <= 0x9F) || (B >= 0xE0 && B <= 0xFC); }
// The Index-th (1-based) item; line breaks also separate items.
std::string GetDelimitedItem(const std::string& Text, const std::string& Delimiter, int Index);
// The whole name=value line whose name equals Name (letter case ignored).
std::string GetNamedLine(const std::string& Text, const std::string& Name);
std::string FormatComma(std::int64_t N);
std::string ZeroPadLeft(const std::string& S, int Width);
std::string RemoveCrLfTab(const std::string& S);
std::uint16_t ComposeWord(std::uint16_t High, std::uint16_t Low, int Factor);
void SetBitFlag(int& Flags, int Index);
int GetBitFlag(int Flags, int Index);
