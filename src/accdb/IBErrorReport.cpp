#include "accdb/IBErrorReport.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "platform/AppEvents.h"
#include "platform/FileOps.h"
#include "platform/Folders.h"
#include "platform/TextCodec.h"

namespace fs = std::filesystem;

std::function<std::string()> IBErrorDbNameHook;

namespace {

const char* const kEndingText =
    "\r\r[OK]ボタンを押すとアプリケーションの終了処理に入ります。（[OK]後、何回かメッセージが表示される場合があります）"
    "\rアプリケーションが終了しましたら再起動して下さい。\r";
const char* const kNetworkLostText =
    "何らかの原因でネットワークが物理的に切断されている か Firebirdサービス(RDBMS)との通信が切断されました。";
const char* const kSharedServerNote = "\r※注意 共有サーバーのデータ利用時は自動保管されません。\r";

void showBox(const std::string& text, int kind) {
    platform::PromptMessage m;
    m.source = "MessageDlg";
    m.kind = kind;
    m.buttons = platform::mbOK;
    m.setText(text);
    platform::prompt().show(m);
}

// A log line in CP932. A character without a CP932 form is written as
// <U+XXXX> so the line still reaches the log.
std::string toLogBytes(const std::string& utf8) {
    std::string out;
    if (platform::tryToCp932(utf8, out)) return out;
    out.clear();
    for (char32_t c : platform::toU32(utf8)) {
        std::string one = platform::fromU32(std::u32string(1, c)), bytes;
        if (platform::tryToCp932(one, bytes)) {
            out += bytes;
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "<U+%04X>", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines, bool append) try {
    std::ofstream f(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (!f) return false;
    for (const auto& line : lines) f << toLogBytes(line) << "\r\n";
    f.flush();
    return static_cast<bool>(f);
} catch (...) {
    return false;
}

std::string nowText() {
    int y, m, d, h, n, s;
    DecodeDateTime(NowDateTime(), y, m, d, h, n, s);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", y, m, d, h, n, s);
    return buf;
}

} // namespace

void IBErrorReport(const db::FbError& E, const std::string& Context, const std::string& Text, bool /*Reconnect*/) {
    if (DbLostFlag) return;

    const int code = E.errorCode();
    const std::string explanation = GetFbErrorText(code, E.sqlCode());

    std::string dbName = IBErrorDbNameHook ? IBErrorDbNameHook() : std::string();
    std::vector<std::string> lines;
    lines.push_back(nowText() + "," + SystemDef.PcName + "," + std::to_string(SystemDef.OpCode) + ",AppVer=" +
                    SystemDef.AppVer + ",DBName=" + SystemDef.HostName + ":" + dbName +
                    ",DataVer=" + AccDataVer.Text);
    lines.push_back("Error=" + Context + " [" + std::to_string(code) + "] (" + std::to_string(E.sqlCode()) + ") " +
                    explanation + "," + E.message());

    // A log that cannot be written must not hide the failure from the user
    // nor keep a lost connection from ending the program.
    const std::string logBase = SystemDef.LogDir + "/ErrFbAccess";
    if (writeLines(logBase + ".log", lines, true)) writeLines(logBase + ".txt", lines, false);

    std::string text = Text;
    if (code == kFbBugCheck) {
        DbLostFlag = 1;
        text = explanation + kEndingText;
    } else if (code == kFbNetworkLost) {
        DbLostFlag = 1;
        text = std::string(kNetworkLostText) + kEndingText;
    }

    if (!text.empty()) {
        if (DbLostFlag) {
            if (ConnectKind == 0) text += kSharedServerNote;
            showBox(text, platform::pkError);
        } else {
            ErrorDetailMsg(text, "IBXエラーコード:" + std::to_string(code) + "\r" + E.message() + "\r" + explanation,
                           platform::pkError);
        }
    }

    if (DbLostFlag) platform::requestTerminate();
}

void ErrorDetailMsg(const std::string& Text, const std::string& Detail, int DlgType) {
    if (Text.empty() && Detail.empty()) return;
    std::string text = Text;
    if (!Detail.empty()) text += "\r\r[詳細情報]\r" + Detail;
    showBox(text, DlgType);
}

void CsvLinesMsg(const std::string& Text, int DlgType) {
    std::array<std::string, 51> parts;
    int n = SplitStrArray(Text, ',', parts.data(), static_cast<int>(parts.size()) - 1);
    std::string text;
    for (int i = 0; i <= n; ++i) text += parts[static_cast<size_t>(i)] + "\r";
    showBox(text, DlgType);
}

namespace {

std::string trimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string normalised(const fs::path& p) {
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool isDriveRoot(const std::string& s) {
    if (s.size() < 2 || s.size() > 3) return false;
    char c = s[0];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter && s[1] == ':' && (s.size() == 2 || s[2] == '\\' || s[2] == '/');
}

std::set<std::string> protectedFolders() {
    std::set<std::string> out = {"/",     "/bin",  "/boot", "/dev", "/etc",  "/home", "/lib", "/lib32",
                                 "/lib64", "/opt", "/proc", "/root", "/run", "/sbin", "/srv", "/sys",
                                 "/tmp",  "/usr",  "/usr/bin", "/usr/lib", "/usr/sbin", "/usr/share", "/var"};
    for (const std::string& extra : {GetSystemDir(), platform::homeFolder()}) {
        if (extra.empty()) continue;
        out.insert(normalised(extra));
        std::error_code ec;
        fs::path canon = fs::weakly_canonical(extra, ec);
        if (!ec) out.insert(normalised(canon));
    }
    return out;
}

} // namespace

bool IsNotRootSysDir(const std::string& Path) {
    std::string path = trimBlanks(Path);
    if (path.empty()) return false;
    if (isDriveRoot(path)) return false;
    std::error_code ec;
    fs::path abs = fs::absolute(path, ec);
    if (ec) return false;
    abs = abs.lexically_normal();
    // A pattern ("/usr/*") stands for the whole content of its folder.
    while (abs.has_parent_path() && abs.filename().string().find_first_of("*?") != std::string::npos)
        abs = abs.parent_path();
    const auto guarded = protectedFolders();
    if (guarded.count(normalised(abs))) return false;
    // The same folder reached through symbolic links.
    fs::path canon = fs::weakly_canonical(abs, ec);
    if (!ec && guarded.count(normalised(canon))) return false;
    return true;
}

std::string GetSystemDir() { return platform::systemFolder(); }

bool CopyFileOver(const std::string& Src, const std::string& Dst) { return platform::copyFileOver(Src, Dst); }

bool SafeShellDelete(const std::string& Path, int Op, bool /*Undo*/, bool Report) {
    if (Op != 3 && Op != 4) return false;
    if (!IsNotRootSysDir(Path)) {
        std::string fmt = Op == 3 ? "ルート・システムディレクトリは、削除できません。<" : "ルート・システムディレクトリは、変更できません。<";
        CsvLinesMsg(fmt + Path + "> ", platform::pkError);
        return false;
    }
    if (Op == 4) return false; // a rename needs a target, and none is given
    std::string error;
    if (platform::deleteItems(trimBlanks(Path), &error)) return true;
    if (Report) showBox(error, platform::pkError);
    return false;
}

bool SafeShellCopy(const std::string& Src, const std::string& Dst, int Op) {
    if (Op != 1 && Op != 2) return false;
    if (!IsNotRootSysDir(Src) || !IsNotRootSysDir(Dst)) {
        CsvLinesMsg("指定ディレクトリ[" + Src + "->" + Dst + "]の複写・移動はできません。 ", platform::pkError);
        return false;
    }
    std::string error;
    bool ok = Op == 2 ? platform::copyItems(trimBlanks(Src), trimBlanks(Dst), &error)
                      : platform::moveItems(trimBlanks(Src), trimBlanks(Dst), &error);
    if (!ok) showBox(error, platform::pkError);
    return ok;
}
