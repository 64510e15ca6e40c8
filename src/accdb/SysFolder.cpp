#include "accdb/SysFolder.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "accdb/AccFunction.h"
#include "platform/AppEvents.h"
#include "platform/Browse.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"

namespace fs = std::filesystem;

// ---------------------------------------------------------------- stream

TBufFileStream::TBufFileStream(const std::string& FileName, std::uint8_t BufferKB, std::uint16_t Mode) {
    int flags = O_CLOEXEC;
    if (Mode == fmCreate) flags |= O_RDWR | O_CREAT | O_TRUNC;
    else if ((Mode & 3) == fmOpenWrite) flags |= O_WRONLY;
    else if ((Mode & 3) == fmOpenReadWrite) flags |= O_RDWR;
    else flags |= O_RDONLY;
    fd_ = ::open(FileName.c_str(), flags, 0644);
    if (fd_ < 0) throw std::runtime_error("cannot open " + FileName + ": " + std::strerror(errno));
    buffer_.resize(static_cast<size_t>(BufferKB) * 1024);
}

TBufFileStream::~TBufFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int TBufFileStream::Read(void* Buffer, int Count) {
    const int size = static_cast<int>(buffer_.size());
    if (Count > size) throw std::runtime_error("バッファの大きさを越えています。");
    if (Count <= 0) return 0;
    if (bufFill_ == 0) {
        ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        bufPos_ = 0;
        bufFill_ = n > 0 ? static_cast<int>(n) : 0;
        if (bufFill_ == 0) return 0;
    }
    if (bufFill_ - bufPos_ < Count) {
        int rest = bufFill_ - bufPos_;
        std::memmove(buffer_.data(), buffer_.data() + bufPos_, static_cast<size_t>(rest));
        ssize_t n = ::read(fd_, buffer_.data() + rest, static_cast<size_t>(size - rest));
        bufFill_ = rest + (n > 0 ? static_cast<int>(n) : 0);
        bufPos_ = 0;
    }
    int got = std::min(Count, bufFill_ - bufPos_);
    std::memcpy(Buffer, buffer_.data() + bufPos_, static_cast<size_t>(got));
    bufPos_ += got;
    logical_ += got;
    return got;
}

int TBufFileStream::Write(const void* Buffer, int Count) {
    if (Count <= 0) return 0;
    ssize_t n = ::write(fd_, Buffer, static_cast<size_t>(Count));
    return n > 0 ? static_cast<int>(n) : 0;
}

std::int64_t TBufFileStream::Seek(std::int64_t Offset, Origin From) {
    off_t r;
    if (From == soCurrent) r = ::lseek(fd_, static_cast<off_t>(logical_ + Offset), SEEK_SET);
    else r = ::lseek(fd_, static_cast<off_t>(Offset), From == soEnd ? SEEK_END : SEEK_SET);
    bufPos_ = bufFill_ = 0;
    if (r >= 0) logical_ = r;
    return logical_;
}

std::int64_t TBufFileStream::Size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

// ---------------------------------------------------------------- system

int GetWinMajorVersion() { return platform::systemMajorVersion(); }

std::string GetLogonUserName() {
    auto name = platform::userName();
    if (!name) return "";
    return name->size() > 1024 ? name->substr(0, 1024) : *name;
}

int WaitMSec(int Ms) {
    platform::waitMs(Ms);
    return 1;
}

int ScaleByDpi(int Value, int DpiA, int DpiB) {
    if (DpiB == 0) {
        DpiB = 96;
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            if (QScreen* s = QGuiApplication::primaryScreen()) DpiB = static_cast<int>(std::lround(s->logicalDotsPerInch()));
    }
    if (DpiA == DpiB || DpiB == 0) return Value;
    return static_cast<int>(std::trunc(Value * (static_cast<double>(DpiA) / DpiB)));
}

// The toolkit draws its dialogs without a thick system frame inside the
// client area: the frame counts as the classic 4 pixels.
int GetSystemFrameHeight() { return 4; }

int AdjustHeightByFrame(int Height, int Kind) { return AdjustHeightByFrame(Height, Kind, GetSystemFrameHeight()); }

int AdjustHeightByFrame(int Height, int Kind, int F) {
    if (2 * F == 8 || 2 * F <= 6) return Height;
    if (Kind == 0) return Height - 2 * F + 8;
    if (Kind == 1) return Height - 4 * F + 16;
    return Height;
}

int GetScaledTextWidth(const std::string& Text, const QFont& Font, double Factor) {
    QFontMetricsF fm(Font);
    return static_cast<int>(std::trunc(fm.horizontalAdvance(QString::fromStdString(Text)) * Factor));
}

std::uint32_t ToGrayColor(std::uint32_t Color) {
    if (Color == 0xFFFFFF || Color == 0) return Color;
    unsigned r = Color & 0xFF, g = (Color >> 8) & 0xFF, b = (Color >> 16) & 0xFF;
    auto v = static_cast<std::uint32_t>(std::lround((r + g + b) / 3.0));
    if (v > 0xFF) return 0x808080;
    return v | (v << 8) | (v << 16);
}

// ---------------------------------------------------------------- folders

namespace {

std::string orProgramFolder(std::string path) { return path.empty() ? platform::executableFolder() : path; }

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

std::string GetSystemFolder() { return platform::systemFolder(); }
std::string GetMyDocumentsFolder() { return orProgramFolder(platform::documentsFolder()); }

std::string GetAppDataFolder(bool Common) {
    return orProgramFolder(Common ? platform::commonAppDataFolder() : platform::userAppDataFolder());
}

std::string GetSpecialFolder(const std::string& Name) {
    std::string n = lowerAscii(Name);
    if (n == "desktop") return orProgramFolder(platform::desktopFolder());
    if (n == "mydocument") return GetMyDocumentsFolder();
    return "";
}

std::string GetTempFolder(const std::string& Default) {
    auto temp = platform::envValue("TEMP");
    std::error_code ec;
    if (temp && temp->size() <= 1024 && fs::is_directory(*temp, ec)) return ExcludePathDelimiter(*temp);
    return Default;
}

std::string GetUniversalPath(const std::string& Path) { return Path; }

std::string GetShortPath(const std::string& LongPath) {
    std::error_code ec;
    if (LongPath.empty() || !fs::exists(LongPath, ec)) throw std::runtime_error("ファイルが見つかりません。");
    return LongPath;
}

bool ForceFolder(const std::string& Path) {
    const std::string t = TrimZen(Path);
    std::string p = ExcludePathDelimiter(t);
    if (p.empty() && !t.empty()) p = "/"; // the root folder always exists
    if (p.empty()) return false;
    std::error_code ec;
    if (fs::is_directory(p, ec)) return true;
    fs::create_directories(p, ec);
    return !ec && fs::is_directory(p, ec);
}

std::string ExcludePathDelimiter(const std::string& Path) {
    std::string p = Path;
    while (!p.empty() && p.back() == '/') p.pop_back();
    return p;
}

std::string IncludePathDelimiter(const std::string& Path) { return ExcludePathDelimiter(Path) + "/"; }

std::vector<std::string> GetSubFolderList(const std::string& Folder, int NamesOnly) {
    std::vector<std::string> out;
    std::string folder = ExcludePathDelimiter(Folder);
    std::error_code ec;
    if (TrimZen(Folder).empty() || !fs::is_directory(Folder, ec)) return out;
    std::vector<std::string> names;
    for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec)) names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    for (const auto& n : names) out.push_back(NamesOnly == 1 ? n : folder + "/" + n);
    return out;
}

std::int64_t GetFileSize64(const std::string& FileName) {
    try {
        fs::path p(FileName);
        std::string name = p.filename().string();
        if (name.find_first_of("*?") == std::string::npos) {
            std::error_code ec;
            auto st = fs::status(p, ec);
            if (ec || !fs::exists(st)) return 0;
            return fs::is_regular_file(st) ? static_cast<std::int64_t>(fs::file_size(p)) : 0;
        }
        fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
        std::error_code ec;
        std::vector<fs::path> matches;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            if (fnmatch(name.c_str(), it->path().filename().c_str(), FNM_CASEFOLD) == 0) matches.push_back(it->path());
        if (matches.empty()) return 0;
        std::sort(matches.begin(), matches.end());
        return fs::is_regular_file(matches.front()) ? static_cast<std::int64_t>(fs::file_size(matches.front())) : 0;
    } catch (...) {
        return -1;
    }
}

// ---------------------------------------------------------------- selection

const char* const kNoPermissionQuestion =
    "この場所に保存するアクセス許可がありません。\r管理者に連絡してアクセス許可を取得してください。\r\r"
    "代わりに［ドキュメント］フォルダに保存しますか？\r";

namespace {

// The root of the file system that holds the system folder.
std::string systemRoot() { return "/"; }

bool isRefused(const std::string& folder, bool controlOn) {
    return controlOn && IncludePathDelimiter(folder) == systemRoot();
}

bool askUseDocuments() {
    platform::PromptMessage m;
    m.source = "MessageDlg";
    m.kind = platform::pkWarning;
    m.buttons = platform::mbYes | platform::mbNo;
    m.setText(kNoPermissionQuestion);
    return platform::prompt().show(m) == platform::mrYes;
}

} // namespace

bool IsAccessControlOn() {
    TRegVariant v = ReadRegistryValue(platform::RegRoot::LocalMachine,
                                      "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", "EnableLUA");
    return std::holds_alternative<std::int64_t>(v) && std::get<std::int64_t>(v) == 1;
}

bool SelectFolderDlg(const std::string& Title, std::string& Path, bool NoUacCheck, const std::string& Root) {
    const bool controlOn = !NoUacCheck && IsAccessControlOn();
    const std::string title = Title.empty() ? "フォルダを選択して下さい" : Title;
    for (;;) {
        std::string chosen = Path;
        if (!platform::browseFolder(title, Root, chosen)) return false;
        if (platform::cp932Width(chosen) > 255) {
            Path = chosen;
            platform::PromptMessage m;
            m.source = "MessageDlg";
            m.kind = platform::pkError;
            m.buttons = platform::mbOK;
            m.setText("選択した場所(パス)の文字長が処理できる範囲を超えました。\r別の場所を選択して下さい。\r");
            platform::prompt().show(m);
            return false;
        }
        if (isRefused(chosen, controlOn)) {
            if (askUseDocuments()) {
                Path = GetMyDocumentsFolder();
                return true;
            }
            Path = chosen;
            continue;
        }
        Path = chosen;
        return true;
    }
}

bool SelectComputerDlg(const std::string& Title, std::string& Name) {
    platform::InputRequest r;
    r.source = "SelectComputerDlg";
    r.title = Title.empty() ? "コンピュータを選択して下さい" : Title;
    r.value = Name;
    if (!platform::prompt().input(r)) return false;
    Name = r.value;
    return true;
}

bool ExecuteFileDlg(const std::function<bool(std::string& FileName)>& Dialog, std::string& FileName) {
    const bool controlOn = IsAccessControlOn();
    for (;;) {
        std::string chosen = FileName;
        if (!Dialog || !Dialog(chosen)) return false;
        FileName = chosen;
        fs::path p(chosen);
        if (!isRefused(p.parent_path().string(), controlOn)) return true;
        if (askUseDocuments()) {
            FileName = GetMyDocumentsFolder() + "/" + p.filename().string();
            return true;
        }
    }
}

bool CheckFolderWritable(std::string& Folder) {
    Folder = IncludePathDelimiter(Folder);
    if (!isRefused(Folder, IsAccessControlOn())) return true;
    if (!askUseDocuments()) return false;
    Folder = GetMyDocumentsFolder();
    return true;
}

bool CheckFileFolderWritable(std::string& FilePath) {
    fs::path p(FilePath);
    std::string folder = p.parent_path().string();
    if (!CheckFolderWritable(folder)) return false;
    FilePath = IncludePathDelimiter(folder) + p.filename().string();
    return true;
}

TRegVariant ReadRegistryValue(platform::RegRoot RootKey, const std::string& KeyPath, const std::string& ValueName) {
    // The policy value is only meaningful on systems that have the control.
    if (ValueName == "EnableLUA" && GetWinMajorVersion() <= 5) return std::int64_t{0};
    try {
        platform::RegValue v = platform::Registry(RootKey).readValue(KeyPath, ValueName);
        if (v.kind == platform::RegValue::String) return v.text;
        if (v.kind == platform::RegValue::Integer) return v.number;
    } catch (...) {
    }
    return std::int64_t{0};
}

// ---------------------------------------------------------------- ini files

void WriteIniValue(const std::string& IniFile, const std::string& Section, const std::string& Key, bool Delete,
                   const std::string& Value) {
    platform::IniFile ini(IniFile);
    if (Delete) ini.deleteKey(Section, Key);
    else ini.writeString(Section, Key, Value);
    // Give other programs watching the file a moment before the next write.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void WriteIniValue(const std::string& IniFile, const std::string& Section, const std::string& Key, bool Delete,
                   int Value) {
    WriteIniValue(IniFile, Section, Key, Delete, std::to_string(Value));
}

void ReadIniSectionText(const std::string& IniFile, const std::string& Section, std::string& Text) {
    if (IniFile.empty() || Section.empty()) return;
    Text.clear();
    for (const auto& line : platform::IniFile(IniFile).readSectionValues(Section)) Text += line + "\r\n";
}

void WriteIniSection(const std::string& IniFile, const std::string& Section, const std::vector<std::string>& Lines) {
    if (IniFile.empty() || Section.empty()) return;
    platform::IniFile ini(IniFile);
    ini.eraseSection(Section);
    for (const auto& line : Lines) {
        size_t eq = line.find('=');
        std::string name = eq == std::string::npos ? line : line.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
        ini.writeString(Section, name, value);
    }
}

// ---------------------------------------------------------------- text

namespace {

// Half-width katakana U+FF61..U+FF9F and their full-width forms.
const std::u32string& fullKana() {
    static const std::u32string s = platform::toU32(
        "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜");
    return s;
}

bool voicable(char32_t c) { return (c >= U'カ' && c <= U'ト' && c != U'ッ') || (c >= U'ハ' && c <= U'ホ') || c == U'ウ'; }
bool semiVoicable(char32_t c) { return c >= U'ハ' && c <= U'ホ'; }

std::u32string toFullWidth(const std::u32string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c == U' ') {
            out += U'\u3000';
        } else if (c >= 0x21 && c <= 0x7E) {
            out += static_cast<char32_t>(c - 0x21 + 0xFF01);
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            char32_t f = fullKana()[c - 0xFF61];
            char32_t next = i + 1 < s.size() ? s[i + 1] : 0;
            if (next == 0xFF9E && voicable(f)) {
                f = f == U'ウ' ? U'ヴ' : f + 1;
                ++i;
            } else if (next == 0xFF9F && semiVoicable(f)) {
                f += 2;
                ++i;
            }
            out += f;
        } else {
            out += c;
        }
    }
    return out;
}

std::u32string toHalfWidth(const std::u32string& s) {
    std::u32string out;
    for (char32_t c : s) {
        if (c == 0x3000) {
            out += U' ';
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            out += static_cast<char32_t>(c - 0xFF01 + 0x21);
            continue;
        }
        const auto& kana = fullKana();
        size_t k = kana.find(c);
        if (k != std::u32string::npos) {
            out += static_cast<char32_t>(0xFF61 + k);
            continue;
        }
        if (c == U'ヴ') {
            out += U"\uFF73\uFF9E";
            continue;
        }
        if (c > 0x30A0 && c < 0x30FF) {
            if (k = kana.find(c - 1); k != std::u32string::npos && voicable(c - 1)) {
                out += static_cast<char32_t>(0xFF61 + k);
                out += U'\uFF9E';
                continue;
            }
            if (k = kana.find(c - 2); k != std::u32string::npos && semiVoicable(c - 2)) {
                out += static_cast<char32_t>(0xFF61 + k);
                out += U'\uFF9F';
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

std::string MapStringLocale(std::uint32_t Flags, const std::string& S) {
    std::u32string s = platform::toU32(S);
    if (Flags & LCMAP_FULLWIDTH) s = toFullWidth(s);
    if (Flags & LCMAP_HALFWIDTH) s = toHalfWidth(s);
    for (char32_t& c : s) {
        if ((Flags & LCMAP_KATAKANA) && c >= 0x3041 && c <= 0x3096) c += 0x60;
        else if ((Flags & LCMAP_HIRAGANA) && c >= 0x30A1 && c <= 0x30F6) c -= 0x60;
        if (Flags & LCMAP_UPPERCASE) {
            if ((c >= U'a' && c <= U'z') || (c >= 0xFF41 && c <= 0xFF5A)) c -= 0x20;
        } else if (Flags & LCMAP_LOWERCASE) {
            if ((c >= U'A' && c <= U'Z') || (c >= 0xFF21 && c <= 0xFF3A)) c += 0x20;
        }
    }
    std::string out = platform::fromU32(s);
    return platform::cp932Width(out) > 256 ? "" : out;
}

std::string ToZenkakuUpper(const std::string& S) {
    std::u32string out;
    for (char32_t c : platform::toU32(S)) {
        std::string bytes;
        if (platform::tryToCp932(platform::fromU32(std::u32string(1, c)), bytes) && bytes.size() == 2) {
            auto trail = static_cast<std::uint8_t>(bytes[1]);
            if (trail >= 0x81 && trail <= 0x9A) {
                bytes[1] = static_cast<char>(trail - 0x21);
                std::string back;
                if (platform::tryFromCp932(bytes, back)) {
                    out += platform::toU32(back);
                    continue;
                }
            }
        }
        out += c;
    }
    return platform::fromU32(out);
}

namespace {

std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t e = text.find_first_of("\r\n", pos);
        if (e == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, e - pos));
        pos = e + ((text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

} // namespace

std::string GetDelimitedItem(const std::string& Text, const std::string& Delimiter, int Index) {
    std::string t = Text;
    if (!Delimiter.empty()) {
        std::string out;
        size_t pos = 0, hit;
        while ((hit = t.find(Delimiter, pos)) != std::string::npos) {
            out += t.substr(pos, hit - pos) + "\r\n";
            pos = hit + Delimiter.size();
        }
        t = out + t.substr(pos);
    }
    auto lines = textLines(t);
    if (Index < 1 || Index > static_cast<int>(lines.size())) return "";
    return lines[static_cast<size_t>(Index - 1)];
}

std::string GetNamedLine(const std::string& Text, const std::string& Name) {
    if (Text.empty() || Name.empty()) return "";
    for (const auto& line : textLines(Text)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && platform::sameTextAscii(line.substr(0, eq), Name)) return line;
    }
    return "";
}

std::string FormatComma(std::int64_t N) {
    unsigned long long magnitude = N < 0 ? 0ULL - static_cast<unsigned long long>(N) : static_cast<unsigned long long>(N);
    std::string digits = std::to_string(magnitude);
    std::string out;
    int n = 0;
    for (size_t i = digits.size(); i-- > 0;) {
        out.insert(out.begin(), digits[i]);
        if (++n % 3 == 0 && i > 0) out.insert(out.begin(), ',');
    }
    return N < 0 ? "-" + out : out;
}

std::string ZeroPadLeft(const std::string& S, int Width) { return FixRightStr(std::string(256, '0') + S, Width); }

std::string RemoveCrLfTab(const std::string& S) {
    std::string out;
    for (char c : S)
        if (c != '\t' && c != '\r' && c != '\n') out += c;
    return out;
}

std::uint16_t ComposeWord(std::uint16_t High, std::uint16_t Low, int Factor) {
    return static_cast<std::uint16_t>(Low + High * Factor);
}

void SetBitFlag(int& Flags, int Index) {
    if (Index >= 1 && Index <= 24) Flags |= 1 << (Index - 1);
}

int GetBitFlag(int Flags, int Index) {
    int shift = ((Index - 1) % 32 + 32) % 32;
    return static_cast<int>((static_cast<unsigned>(Flags) >> shift) & 1u);
}
