#include "accdb/BackupService.h"
#include "platform/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "db/Service.h"
#include "platform/AppEvents.h"
#include "platform/Process.h"

namespace fs = std::filesystem;

std::string GbakProgram = "gbak";

namespace {

constexpr const char* kBackupText = "データベースのバックアップに失敗しました。";
constexpr const char* kRestoreText = "データベースのリストアに失敗しました。";

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string joinPath(const std::string& folder, const std::string& file) {
    if (folder.empty() || folder.back() == '/') return folder + file;
    return folder + "/" + file;
}

std::string withExt(const std::string& file, const std::string& ext) {
    const auto slash = file.find_last_of("/\\");
    const auto dot = file.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return file + ext;
    return file.substr(0, dot) + ext;
}

bool sameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string serviceHost(TProtocol protocol, const std::string& host) {
    return protocol == TProtocol::Local ? std::string() : host;
}

// Files on this machine: a local service or an empty host.
bool isLocal(TProtocol protocol, const std::string& host) {
    return protocol == TProtocol::Local || host.empty() || host == "127.0.0.1";
}

void pump(const std::string&) { platform::pumpEvents(); }

// The service reports some failures (a truncated backup file) only in its
// output; such a restore must not count as done.
// A complete verbose restore ends with its closing line.
struct RestoreLines {
    bool failed = false;
    bool finished = false;
    void operator()(const std::string& line) {
        if (line.find("ERROR") != std::string::npos) failed = true;
        if (line.find("finishing, closing") != std::string::npos) finished = true;
        platform::pumpEvents();
    }
};

void removeQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

// Copies `from` to a new file beside `target`, flushes it to disk and renames
// it over `target`: under that name there is only ever the old file or the
// whole new one. The copy gets the permissions of `from`.
bool copyOver(const std::string& from, const std::string& target) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        ::close(in);
        return false;
    }
    platform::ReplaceFile out(target, st.st_mode & 07777);
    bool ok = out.ok();
    std::vector<char> buf(1 << 20);
    while (ok) {
        const ssize_t r = ::read(in, buf.data(), buf.size());
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            ok = r == 0;
            break;
        }
        ok = out.write(buf.data(), static_cast<std::size_t>(r));
        platform::pumpEvents();
    }
    ::close(in);
    return ok && out.commit(true);
}

// Puts `temp` in the place of `target` (replacing it): locally one rename,
// which the file system does at once, or, onto another file system, a
// complete copy renamed into place; on a server by its file operations.
bool swapIn(const std::string& temp, const std::string& target, bool local) {
    if (local) {
        std::error_code ec;
        fs::rename(temp, target, ec);
        if (!ec) return true;
        if (ec != std::errc::cross_device_link || !copyOver(temp, target)) return false;
        removeQuietly(temp);
        return true;
    }
    if (DM->FExist(target, ConnectKind) && !DM->FDel(target, ConnectKind)) return false;
    return DM->FMove(temp, target, ConnectKind);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs gbak with the credentials in its environment (never on its command
// line, where other users could read them). Returns its exit status; raises
// with `startText` when it does not start.
int runGbak(const std::vector<std::string>& args, const std::string& startText) {
    platform::ProcessCommand cmd;
    cmd.program = GbakProgram;
    cmd.args = args;
    cmd.env = {{"ISC_USER", SystemDef.UserName}, {"ISC_PASSWORD", SystemDef.Password}};
    platform::ChildProcess child;
    if (!child.start(cmd)) throw std::runtime_error(startText);
    while (child.running()) platform::waitMs(20);
    return child.exitCode();
}

// The log says what went wrong; the exit status says whether it did.
void checkGbak(int status, const std::string& failText) {
    const std::string log = readText(GbakLogPath());
    if (log.find("ERROR") != std::string::npos || status != 0) throw std::runtime_error(failText + log);
}

std::string dbArgument(const std::string& host, const std::string& path) {
    return host.empty() ? path : host + ":" + path;
}

void reconnectRestored(const std::string& host, const std::string& databasePath, bool& ok) {
    if (databasePath.find(DataFile) == std::string::npos) return;
    if (!DM->fnAccDatConnected(host, folderOf(databasePath), 0)) {
        ok = false;
        return;
    }
    DM->ClearOPINF();
}

} // namespace

std::string GbakLogPath() { return joinPath(SystemDef.WinTempDir, "gbak.log"); }

bool BackupFDB(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath,
               const std::string& BackupFile, std::uint8_t Direct) {
    const std::string folder = folderOf(DatabasePath);
    const bool local = isLocal(Protocol, Host);
    std::string work = BackupFile;
    if (Direct == 0) work = withExt(joinPath(folder, DataBackupFile), ".fb_");
    else if (local) work = BackupFile + ".tmp";
    try {
        if (local) removeQuietly(work);
        {
            db::ServiceManager svc(serviceHost(Protocol, Host), SystemDef.UserName, SystemDef.Password);
            svc.backup(DatabasePath, work, db::BackupOptions{}, pump);
        }
        if (!sameText(work, BackupFile)) {
            bool moved;
            if (local) {
                moved = swapIn(work, BackupFile, true);
            } else {
                if (DM->FExist(BackupFile, ConnectKind)) DM->FDel(BackupFile, ConnectKind);
                moved = DM->FMove(work, BackupFile, ConnectKind);
            }
            if (!moved) throw std::runtime_error("データベースバックアップファイルのMoveに失敗しました。");
        }
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.BackupFDB", kBackupText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kBackupText, e.what());
    }
    if (local && !sameText(work, BackupFile)) removeQuietly(work);
    return false;
}

bool RestoreFDB(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath,
                const std::string& BackupFile, std::uint8_t KeepIndexes) {
    const std::string folder = folderOf(DatabasePath);
    const bool local = isLocal(Protocol, Host);
    const std::string temp = DatabasePath + ".rs_";
    bool ok = false;
    try {
        if (local) removeQuietly(temp);
        {
            db::ServiceManager svc(serviceHost(Protocol, Host), SystemDef.UserName, SystemDef.Password);
            db::RestoreOptions opt;
            opt.replace = true;
            opt.deactivateIndexes = KeepIndexes == 0;
            auto lines = std::make_shared<RestoreLines>();
            svc.restore(BackupFile, temp, opt, [lines](const std::string& l) { (*lines)(l); });
            if (lines->failed || !lines->finished) throw std::runtime_error("リストア中にエラーが発生しました。");
        }
        // Our own connection to the old file goes before the swap.
        if (DatabasePath.find(DataFile) != std::string::npos) DM->fnAccDatDisconnect(folder, 0, 0);
        if (!swapIn(temp, DatabasePath, local)) throw std::runtime_error("データベースの置き換えに失敗しました。");
        ok = true;
        std::string host = Host;
        if ((ConnectKind == 1 || ConnectKind == 2) && Protocol == TProtocol::Local && host.empty())
            host = "127.0.0.1";
        reconnectRestored(host, DatabasePath, ok);
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.RestoreFDB", kRestoreText, true);
        ok = false;
    } catch (const std::exception& e) {
        ErrorDetailMsg(kRestoreText, e.what());
        ok = false;
    }
    if (local) removeQuietly(temp);
    DM->fnAccDatDisconnect({}, 0, 0);
    return ok;
}

bool BackupFDBGbak(TProtocol, const std::string& Host, const std::string& DatabasePath,
                   const std::string& BackupFile, std::uint8_t Direct) {
    if (Host == "127.0.0.1") return BackupFDB(TProtocol::Local, Host, DatabasePath, BackupFile, Direct);
    removeQuietly(GbakLogPath());
    const bool local = Host.empty();
    const std::string work = local ? BackupFile + ".tmp" : BackupFile;
    if (local) removeQuietly(work);
    try {
        const int status = runGbak({"-b", "-g", "-y", GbakLogPath(), dbArgument(Host, DatabasePath), work},
                                   "バックアップツール(gbak.exe)が起動出来ませんでした。\r処理を終了します。");
        checkGbak(status, "バックアップ中にエラーが発生しました。\r");
        if (local && !swapIn(work, BackupFile, true))
            throw std::runtime_error("データベースバックアップファイルのMoveに失敗しました。");
    } catch (...) {
        if (local) removeQuietly(work);
        throw;
    }
    return true;
}

bool RestoreFDBGbak(TProtocol, const std::string& Host, const std::string& DatabasePath,
                    const std::string& BackupFile, std::uint8_t KeepIndexes) {
    if (Host == "127.0.0.1") return RestoreFDB(TProtocol::Local, Host, DatabasePath, BackupFile, KeepIndexes);
    const std::string folder = folderOf(DatabasePath);
    removeQuietly(GbakLogPath());
    const std::string dbArg = dbArgument(Host, DatabasePath);
    std::error_code ec;
    if (!fs::is_regular_file(BackupFile, ec)) return false;
    const bool local = Host.empty();
    const std::string temp = DatabasePath + ".rs_";
    bool ok = false;
    try {
        if (local) removeQuietly(temp);
        const int status = runGbak({"-c", "-bu", "4096", "-p", "16384", "-y", GbakLogPath(), BackupFile,
                                    dbArgument(Host, temp)},
                                   "リストアツール(gbak.exe)が起動出来ませんでした。\r処理を終了します。");
        checkGbak(status, "リストア中にエラーが発生しました。\r");
        if (dbArg.find(DataFile) != std::string::npos) DM->fnAccDatDisconnect(folder, 0, 0);
        if (!swapIn(temp, DatabasePath, local)) throw std::runtime_error("データベースの置き換えに失敗しました。");
        ok = true;
        reconnectRestored(Host, DatabasePath, ok);
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.RestoreFDB", kRestoreText, true);
        ok = false;
    } catch (const std::exception& e) {
        ErrorDetailMsg(kRestoreText, e.what());
        ok = false;
    }
    if (local) removeQuietly(temp);
    DM->fnAccDatDisconnect({}, 0, 0);
    return ok;
}

bool ValidateFDB(TProtocol Protocol, const std::string& Host, const std::string& DatabasePath) {
    bool result = true;
    const bool wasConnected = DM->IBDatabaseDAT.connected();
    const db::ConnectParams params = DM->IBDatabaseDAT.params();
    if (wasConnected) DM->IBDatabaseDAT.disconnect();
    try {
        db::ServiceManager svc(serviceHost(Protocol, Host), SystemDef.UserName, SystemDef.Password);
        for (const auto& line : svc.validate(DatabasePath)) {
            if (line.find_first_not_of(" \t\r\n") != std::string::npos) {
                result = false;
                break;
            }
        }
    } catch (const db::FbError& e) {
        result = e.errorCode() == 335544325 || e.errorCode() == 335544344;
    } catch (const std::exception&) {
        result = false;
    }
    // The data set the caller had open is open again, whatever happened.
    if (wasConnected) {
        try {
            DM->IBDatabaseDAT.connect(params);
        } catch (const std::exception&) {
        }
    }
    return result;
}
