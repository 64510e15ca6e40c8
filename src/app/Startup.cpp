#include "app/Startup.h"

#include "accdb/AccRecord.h"
#include "accdb/AppInfo.h"
#include "accdb/AppIniCreate.h"
#include "app/AppMessage.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/NamedGuard.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

const char* const kSuiteGuard = "VELTANO000";
const char* const kToolsGuard = "VELTANO_TOOLS";
const char* const kProgramGuard = "ZORUTE_RENDO";

const char* const kInitErrorText = "アプリケーションの初期化に失敗しました。\r%sを終了します。";

namespace {

std::string withLabel(const char* format) {
    std::string f(format);
    auto p = f.find("%s");
    return p == std::string::npos ? f : f.substr(0, p) + SystemDef.AppLabel + f.substr(p + 2);
}

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::string noTrailingSlash(std::string s) {
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

std::string parentOf(const std::string& folder) {
    auto p = folder.rfind('/');
    if (p == std::string::npos)
        return folder;
    return p == 0 ? "/" : folder.substr(0, p);
}

// A folder path of the settings file: back slashes of a Windows-written
// file taken as '/'.
std::string slashes(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

void makeFolder(const std::string& folder) {
    if (folder.empty() || folder == "/")
        return;
    std::error_code ec;
    fs::create_directories(folder, ec);
}

std::string localValue(const std::vector<std::string>& lines, const std::string& name) {
    for (const std::string& l : lines) {
        auto eq = l.find('=');
        if (eq != std::string::npos && platform::sameTextAscii(trim(l.substr(0, eq)), name))
            return l.substr(eq + 1);
    }
    return {};
}

} // namespace

const char* SingleInstanceMessage(int which) {
    switch (which) {
    case 1: return "Plovane財務が起動しています。同時に起動することは出来ません。";
    case 2: return "Plovane財務ツールが起動しています。同時に起動することは出来ません。";
    case 3: return "アプリケーションは既に起動しています。";
    default: return "";
    }
}

int CheckSingleInstance(platform::NamedGuard& own) {
    int which = 0;
    if (platform::NamedGuard::exists(kSuiteGuard))
        which = 1;
    else if (platform::NamedGuard::exists(kToolsGuard))
        which = 2;
    // A lock folder that cannot be written only loses the guard: nobody
    // else runs, so the program starts.
    else if (own.tryAcquire(kProgramGuard) == platform::NamedGuard::Acquired::Held)
        which = 3;
    if (which != 0)
        app::showBox(platform::pkInformation, SingleInstanceMessage(which));
    return which;
}

std::string FormatOneInt(const std::string& format, int n) {
    // Only one "%d" with an optional flag, width and precision is honoured;
    // the text comes from a settings file and is never used as a format.
    auto p = format.find('%');
    if (p == std::string::npos)
        return format;
    size_t i = p + 1;
    bool zero = false;
    if (i < format.size() && format[i] == '0') {
        zero = true;
        ++i;
    }
    int width = 0;
    while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
        width = width * 10 + (format[i++] - '0');
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
        precision = 0;
        ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
            precision = precision * 10 + (format[i++] - '0');
    }
    if (i >= format.size() || format[i] != 'd' || width > 64 || precision > 64)
        return format;
    std::string digits = std::to_string(n < 0 ? -static_cast<long long>(n) : n);
    if (precision > 0 && static_cast<int>(digits.size()) < precision)
        digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    if (n < 0)
        digits.insert(0, "-");
    if (static_cast<int>(digits.size()) < width)
        digits.insert(n < 0 && zero ? 1 : 0, static_cast<size_t>(width) - digits.size(), zero && precision < 0 ? '0' : ' ');
    return format.substr(0, p) + digits + format.substr(i + 1);
}

void ApplyAppInfo() {
    MakerName = AppInfo.CompanyName;
    MakerUrl = AppInfo.CompanyURL;
    SinceYears = AppInfo.Since;
    AppName = AppInfo.AppName;
    HomeDir = AppInfo.HomeDir;
    ShareDir = AppInfo.ShareDir;
    ServerDir = AppInfo.ServerDir;
    ServerTempDir = AppInfo.ServerTempDir;
    DataDefFile = AppInfo.DataDefFile;
    DataFile = AppInfo.DataFile;
    DataBackupFile = AppInfo.DataBackupFile;
    DataInitFile11 = FormatOneInt(AppInfo.DataInitFile, 11);
    DataInitFile21 = FormatOneInt(AppInfo.DataInitFile, 21);
    DataInitFile22 = FormatOneInt(AppInfo.DataInitFile, 22);
    DataInitFile23 = FormatOneInt(AppInfo.DataInitFile, 23);
    DataInitFile31 = FormatOneInt(AppInfo.DataInitFile, 31);
    DataIniFile = AppInfo.DataIniFile;
    ZUziduDirName = AppInfo.ZUziduDataDir;
    MirdovaHomeDir = AppInfo.MirdovaHomeDir;
    CashBookDirName = AppInfo.RiredozaDataDir;
    CashBookBackupFile = AppInfo.RiredozaDataBackupFile;
    DataListCnt = AppInfo.DataListCnt;
    if (OemEdition == 1 || OemEdition == 2) {
        DefStyleColor1 = 0xF2FFEE;
        DefStyleColor2 = 0xD6FFC8;
        DefStyleColor3 = 0x008000;
    }
}

bool CreateDefaultSuiteIni() {
    try {
        TAppIniCreateBox box;
        return box.Initialized && box.WriteAppIni(1);
    } catch (const std::exception&) {
        return false;
    }
}

void InitSystemDef() {
    TSystemDef& s = SystemDef;
    s.AppLabel.clear();
    s.WinMajorVersion = platform::systemMajorVersion();
    // The window layer has no menu, caption or frame metrics of its own;
    // the usual desktop values stand in.
    s.MenuHeight = 19;
    s.CaptionHeight = 23;
    s.FrameHeight = 4;
    s.FrameExtra = FrameExtraOf(s.FrameHeight);
    LogonMode = 0;
    s.AppLabel2 = s.AppLabel;

    s.ClientName = platform::userName().value_or("");
    s.PcName = platform::computerName().value_or("");

    s.ExeDir = noTrailingSlash(platform::executableFolder());
    s.InstallDir = parentOf(s.ExeDir);
    s.PrintDir = s.InstallDir + "/print";
    s.HelpDir = s.InstallDir + "/help";
    s.SqlDir = s.InstallDir + "/sql";

    std::string base = noTrailingSlash(platform::commonAppDataFolder());
    if (base.empty())
        throw EInitError(withLabel("アプリケーションの初期化に失敗しました。\r%sを終了します。\rデータフォルダの取得に失敗しました。"));
    s.BaseDir = base + "/" + HomeDir;
    s.IniDir = s.BaseDir + "/ini";
    s.LogDir = s.BaseDir + "/log";
    s.TempDir = s.BaseDir + "/temp";

    s.WinTempDir = platform::tempFolder();
    s.WinSystemDir = platform::systemFolder();
    s.DocHomeDir = platform::documentsFolder() + "/" + HomeDir;
    s.ZUziduDir = s.WinTempDir + "/" + ZUziduDirName;

    s.SysDir = s.BaseDir + "/data";
    s.DataDir.clear();
    s.HostName = s.PcName;
    s.UserName = "TAVRIN";
    s.Password = "mobrix";

    for (const std::string& f : {s.IniDir, s.LogDir, s.TempDir, s.DocHomeDir})
        makeFolder(f);

    s.SuiteIniFile = s.BaseDir + "/" + AppName + ".ini";
    const char* notSetUp = "アプリケーションの初期設定がおこなわれていないため\r%sを終了します。";
    std::error_code ec;
    if (!fs::exists(s.SuiteIniFile, ec) && !CreateDefaultSuiteIni())
        throw EInitError(withLabel(notSetUp));

    platform::IniFile ini(s.SuiteIniFile);
    std::vector<std::string> local = ini.readSectionValues("LOCAL");
    std::string all;
    for (const auto& l : local)
        all += l;
    if (trim(all).empty()) {
        if (!CreateDefaultSuiteIni())
            throw EInitError(withLabel(notSetUp));
        local = ini.readSectionValues("LOCAL");
    }
    s.HostName = localValue(local, "HOSTNAME");
    s.GoGlobal = upper(localValue(local, "GOGLOBAL")) == "YES";
    s.GroupMode = upper(localValue(local, "GROUP")) == "YES";
    s.SysDir = slashes(localValue(local, "SYSDIR"));
    s.UserName = upper(localValue(local, "USER"));
    s.Password = lower(localValue(local, "PASSWORD"));

    ConnectKind = 0;
    s.HostName.clear();
    s.GoGlobal = false;
    s.GroupId = 10000;
}

bool InitApplication(const std::function<void()>& afterSystemDef, std::string& initErrorText) {
    // The general text is shown for failures that bring no text of their own.
    {
        std::string f(kInitErrorText);
        auto p = f.find("%s");
        initErrorText = f.substr(0, p) + f.substr(p + 2);
    }
    bool ok = false;
    try {
        InitSystemDef();
        if (afterSystemDef)
            afterSystemDef();
        ok = true;
    } catch (const EInitError& e) {
        initErrorText = e.what();
    } catch (...) {
    }
    if (!ok)
        app::showBox(platform::pkError, initErrorText, platform::mbYes);
    return ok;
}
