#include "accdb/DataModule.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "accdb/AccFunction.h"
#include "accdb/AccInf.h"
#include "accdb/AccRecord.h"
#include "accdb/DataStatus.h"
#include "accdb/Gengo.h"
#include "accdb/IBErrorReport.h"
#include "accdb/SysFolder.h"
#include "datasel/DataSentakuList.h"
#include "db/Service.h"
#include "platform/FileOps.h"
#include "platform/Prompt.h"

namespace fs = std::filesystem;

std::unique_ptr<TDM> DM;
TACCINF AccInf;

namespace {

const char* const kDefConnectText = "システムデータベースの接続処理に失敗しました。";
const char* const kDatConnectText =
    "ユーザーデータベースの接続処理に失敗しました。\rDBファイルが削除、破損 または 使用中の可能性がありますので接続パスを確認して下さい。";
const char* const kInConnectionText = "データベースの使用情報の取得に失敗しました。";
const char* const kDropText = "ユーザーデータベースの削除処理に失敗しました。\r接続パスを確認して下さい。";
const char* const kShortNameText = "サーバーからのファイル名の変換(LongToShort)に失敗しました。";

std::string upperAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool isBlank(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c == ' ' || c == '\t'; });
}

// folder + separator + file; a folder that already ends in a separator gets
// no second one.
std::string joinPath(const std::string& folder, const std::string& file) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) return folder + file;
    return folder + "/" + file;
}

// The same file for a local path: the canonical forms agree (links,
// "." and "..", repeated separators resolved). Letter case is significant,
// as it is to the file system.
bool sameLocalFile(const std::string& a, const std::string& b) {
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(fs::path(a), ea);
    const fs::path cb = fs::weakly_canonical(fs::path(b), eb);
    if (ea || eb) return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
    return ca == cb;
}

// Paths the server reports for its own file system: compared in their
// normal form, separators unified.
bool sameServerFile(std::string a, std::string b) {
    std::replace(a.begin(), a.end(), '\\', '/');
    std::replace(b.begin(), b.end(), '\\', '/');
    return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

// The data set's row in the data list takes the facts just read from its
// database; the other columns keep what the list holds.
void refreshDataListRow(TDM& dm, const std::string& folder, const TDataInfomationRec& rec) {
    TDataSentakuListCtl ctl(dm.IBTransactionDEF);
    ctl.ConnectKind = ConnectKind;
    ctl.SetDataPlaceRec(SystemDef.Settings.DataPlace);
    TDataListRec row;
    ctl.InitDataListRecord(row, folder);
    // The kind decides whether the row lives in CHILD_DATALIST.
    row.GASSAN = rec.GASSANKBN;
    ctl.GetDataListRecord(1, row, true);
    row.GROUPID = SystemDef.GroupId;
    row.DATACODE = rec.CODE;
    row.SHOUGOU = rec.SHOUGOU;
    row.NENDO = rec.NENDO;
    row.KISHU = StrToDateZero(rec.KISHU);
    row.KIMATU = StrToDateZero(rec.KIMATU);
    row.DATATYPE = rec.DATAKBN;
    row.CODETYPE = rec.CODEKBN;
    row.TANTOU = rec.TANTO;
    row.VER_MAJOR = rec.VerMajor;
    row.VER_MINOR1 = rec.VerMinor1;
    row.VER_MINOR2 = rec.VerMinor2;
    row.VER_TEXT = rec.VERSION2;
    row.GASSAN = rec.GASSANKBN;
    row.CLOUD = rec.CLOUD_SHARE;
    ctl.UpdateDataListRecord(row, false, true);
}

} // namespace

TDM::TDM() {
    TimerFormClose.setInterval(100);
    TimerSyoriKidou.setInterval(100);
    QObject::connect(&TimerFormClose, &QTimer::timeout, this, [this] { TimerFormCloseTimer(); });
    QObject::connect(&TimerSyoriKidou, &QTimer::timeout, this, [this] { TimerSyoriKidouTimer(); });
    // The error log names the data database the failure happened on.
    IBErrorDbNameHook = [this] { return IBDatabaseDAT.params().database; };
}

TDM::~TDM() {
    IBErrorDbNameHook = nullptr;
    IBFileMan.disconnect();
    IBDatabaseZEN.disconnect();
    IBDatabaseDAT.disconnect();
    IBDatabaseDEF.disconnect();
}

// ---------------------------------------------------------------- factories

std::unique_ptr<db::Statement> TDM::make(db::Transaction& tx, std::string_view sql, bool paramCheck) {
    return std::make_unique<db::Statement>(tx, sql, paramCheck);
}

std::unique_ptr<db::Statement> TDM::IBQSysDefGet(std::string_view sql) { return make(IBTransactionDEF, sql); }
std::unique_ptr<db::Statement> TDM::IBQSysDefPut(std::string_view sql) { return make(IBTransactionDEF, sql); }
std::unique_ptr<db::Statement> TDM::QueryDef(std::string_view sql) { return make(IBTransactionDEF, sql); }
std::unique_ptr<db::Statement> TDM::IBSQLDEF(std::string_view sql) { return make(IBTransactionDEF, sql); }
std::unique_ptr<db::Statement> TDM::IBQACC1(std::string_view sql) { return make(IBTransactionDAT, sql); }
std::unique_ptr<db::Statement> TDM::IBQACC2(std::string_view sql) { return make(IBTransactionDAT, sql); }
std::unique_ptr<db::Statement> TDM::IBQACC3(std::string_view sql) { return make(IBTransactionDAT, sql); }
std::unique_ptr<db::Statement> TDM::IBSQL1(std::string_view sql) { return make(IBTransactionZEN, sql, false); }
std::unique_ptr<db::Statement> TDM::IBQueryFileMan(std::string_view sql) { return make(IBTransFileMan, sql); }
std::unique_ptr<db::Statement> TDM::IBSQLFileMan(std::string_view sql) { return make(IBTransFileMan, sql); }

// ---------------------------------------------------------------- connections

std::string TDM::DatabaseName(std::uint8_t Kind, const std::string& Host, const std::string& Folder,
                              const std::string& File) {
    if (Kind != 0 && Host != "127.0.0.1" && !Host.empty()) return Host + ":" + joinPath(Folder, File);
    return joinPath(Folder, File);
}

std::string TDM::DropDatabaseName(std::uint8_t Kind, const std::string& Host, const std::string& Folder) {
    if (Kind == 0) return joinPath(Folder, DataFile);
    return Host + ":" + joinPath(Folder, DataFile);
}

db::ConnectParams TDM::ConnectParamsFor(const std::string& Database) {
    db::ConnectParams p;
    p.database = Database;
    p.user = SystemDef.UserName;
    p.password = SystemDef.Password;
    p.charset = "SJIS_0208";
    return p;
}

bool TDM::connectTo(db::Attachment& att, const std::string& name) {
    att.connect(ConnectParamsFor(name));
    return att.connected();
}

bool TDM::fnAccDefConnected(const std::string& Host, std::uint8_t ReportErrors) {
    const std::string host = Host.empty() ? SystemDef.HostName : Host;
    if (IBDatabaseDEF.connected()) return true;
    try {
        return connectTo(IBDatabaseDEF, DatabaseName(ConnectKind, host, SystemDef.SysDir, DataDefFile));
    } catch (const db::FbError& e) {
        if (ReportErrors != 1) throw;
        IBErrorReport(e, "TDM.fnAccDefConnected", kDefConnectText, false);
    } catch (const std::exception& e) {
        if (ReportErrors != 1) throw;
        ErrorDetailMsg(kDefConnectText, e.what());
    }
    return false;
}

bool TDM::fnFileManConnected(const std::string& Host) {
    try {
        if (!FExist(joinPath(SystemDef.SysDir, kFileManFile), ConnectKind)) return false;
        const std::string host = Host.empty() ? SystemDef.HostName : Host;
        if (IBFileMan.connected()) return true;
        return connectTo(IBFileMan, DatabaseName(ConnectKind, host, SystemDef.SysDir, kFileManFile));
    } catch (const std::exception&) {
        return false;
    }
}

bool TDM::fnAccDatConnected(const std::string& Host, const std::string& DataFolder, std::uint8_t MarkInUse) {
    const std::string host = Host.empty() ? SystemDef.HostName : Host;
    const std::string folder = DataFolder.empty() ? SystemDef.DataDir : DataFolder;
    try {
        IBDatabaseDAT.disconnect();
        connectTo(IBDatabaseDAT, DatabaseName(ConnectKind, host, folder, DataFile));
        if (MarkInUse == 1) {
            auto store = MakeDataStatusStore();
            TDataInfomationRec rec;
            store->ClearInfo(rec);
            const bool read = store->GetDataInfoRec(rec);
            rec.STATUS = 2;
            rec.OPCODE = SystemDef.OpCode;
            rec.OPERATOR = SystemDef.OpName;
            // Server kinds keep the status in the system database. Facts
            // that could not be read never overwrite those on file.
            if (ConnectKind == 0) store->WriteIniFile(folder, read ? "" : "DATASTS", rec);
        }
        return IBDatabaseDAT.connected();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnAccDatConnected", kDatConnectText, false);
        // A missing or unreadable file is no damage to verify.
        if (e.errorCode() != kFbIoError) CallDataVerify(host, folder, 1, 0);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kDatConnectText, e.what());
    }
    return false;
}

bool TDM::fnAccDatDisconnect(const std::string& DataFolder, std::uint8_t SetFree, std::uint8_t UpdateList) {
    const std::string folder = DataFolder.empty() ? SystemDef.DataDir : DataFolder;
    if (LogonMode == 1) UpdateList = 0;
    if (SetFree == 1 || UpdateList == 1) {
        try {
            auto store = MakeDataStatusStore();
            TDataInfomationRec rec;
            store->ClearInfo(rec);
            const bool read = store->GetDataInfoRec(rec);
            rec.STATUS = 1;
            if (SetFree == 1 && ConnectKind == 0) store->WriteIniFile(folder, read ? "" : "DATASTS", rec);
            if (UpdateList == 1) {
                if (DataListRefreshHook) DataListRefreshHook(folder, rec);
                else refreshDataListRow(*this, folder, rec);
            }
        } catch (const std::exception& e) {
            // The disconnection goes on whatever happened to the status.
            ErrorDetailMsg(kDatConnectText, e.what());
        }
    }
    if (IBDatabaseDAT.connected()) IBDatabaseDAT.disconnect();
    return true;
}

namespace {
// Attach errors that say the file is no usable database at all (not a
// database, an unsupported on-disk structure, unreadable pages).
bool isUnreadableDatabase(int gds) {
    return gds == 335544323 || gds == 335544379 || gds == 335544344;
}
} // namespace

bool TDM::AccDatInConnection(std::uint8_t Kind, const std::string& Host, const std::string& Folder,
                             std::uint8_t KeepOwn) {
    const std::string host = Host.empty() ? SystemDef.HostName : Host;
    if (isBlank(Folder)) return false;
    // Never change the letter case of the path: the file system tells
    // tvacc.fdb from TVACC.FDB.
    std::string target;
    GetShortFileName(joinPath(Folder, Kind == 0 ? DataDefFile : DataFile), ConnectKind, target);

    db::Attachment& own = Kind == 0 ? IBDatabaseDEF : IBDatabaseDAT;
    const bool ownOpen = own.connected();
    const db::ConnectParams ownParams = own.params();
    const bool local = ConnectKind == 0 || host == "127.0.0.1" || host.empty();
    bool found = false;
    try {
        if (KeepOwn == 0 && ownOpen) own.disconnect();
        if (local) {
            // Each process runs its own engine on a shared file, so the
            // database itself is asked who holds it.
            std::error_code ec;
            std::unique_ptr<db::Attachment> att;
            if (fs::is_regular_file(target, ec)) {
                try {
                    att = std::make_unique<db::Attachment>(ConnectParamsFor(target));
                } catch (const db::FbError& e) {
                    // A file the engine cannot take for a database (damaged,
                    // truncated, another format) is held by nobody; it is
                    // typically what a restore is about to replace.
                    if (!isUnreadableDatabase(e.errorCode())) throw;
                }
            }
            if (att) {
                db::Transaction tx(*att);
                db::TxScope scope(tx);
                // The monitoring texts are Unicode: their UTF-8 bytes are the
                // path as the file system has it, whatever its characters.
                db::Statement q(tx,
                                "SELECT CAST(MON$ATTACHMENT_NAME AS VARCHAR(765) CHARACTER SET OCTETS) "
                                "FROM MON$ATTACHMENTS "
                                "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND COALESCE(MON$SYSTEM_FLAG, 0) = 0");
                q.execute();
                while (!found && q.fetch()) found = sameLocalFile(q.asString(0), target);
                q.close();
                scope.commit();
            }
        } else {
            db::ServiceManager svc(host, SystemDef.UserName, SystemDef.Password);
            for (const std::string& name : svc.attachedDatabases()) {
                if (sameServerFile(name, target)) {
                    found = true;
                    break;
                }
            }
        }
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.AccDatInConnection", kInConnectionText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kInConnectionText, e.what());
    }
    if (KeepOwn == 0 && ownOpen && !own.connected()) {
        try {
            own.connect(ownParams);
        } catch (const db::FbError& e) {
            IBErrorReport(e, "TDM.AccDatInConnection", kInConnectionText, true);
        }
    }
    return found;
}

bool TDM::AccDatDropDatabase(const std::string& Host, const std::string& Folder) {
    const std::string host = Host.empty() ? SystemDef.HostName : Host;
    if (Folder.empty()) return false;
    const std::string name = DropDatabaseName(ConnectKind, host, Folder);
    try {
        db::Attachment att(ConnectParamsFor(name));
        att.dropDatabase();
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.AccDatDropDatabase", kDropText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kDropText, e.what());
    }
    return false;
}

// ---------------------------------------------------------------- file operations

bool TDM::ServerFileOperation(const std::string& Mode, const std::string& Path1, const std::string& Path2) {
    const std::string mode = upperAscii(Mode);
    const bool fileMode = mode == "FEXIST" || mode == "FCOPY" || mode == "FDEL";
    const bool dirMode = mode == "DEXIST" || mode == "MKDIR" || mode == "RMDIR";
    if (!fileMode && !dirMode) return false;
    if (isBlank(Path1)) return false;
    if (mode == "FCOPY" && isBlank(Path2)) return false;

    const bool wasConnected = IBDatabaseDEF.connected();
    if (!wasConnected) fnAccDefConnected(SystemDef.HostName, 1);
    bool result = false;
    const std::string text = "サーバーへのファイル操作(" + mode + ")に失敗しました。";
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = IBSQLDEF(fileMode ? "SELECT WBOOL FROM FILEOPERATION(:MODE,:FILEPATH1,:FILEPATH2)"
                                   : "SELECT WBOOL FROM DIRECTORYTEST(:MODE,:FILEPATH1)");
        q->setString("MODE", mode);
        q->setString("FILEPATH1", Path1);
        if (fileMode) q->setString("FILEPATH2", Path2);
        q->execute();
        if (q->fetch()) result = q->asInt("WBOOL") == 1;
        q->close();
        scope.commit();
    } catch (const db::FbError& e) {
        result = false;
        IBErrorReport(e, "TDM.ServerFileOperation", text, true);
    } catch (const std::exception& e) {
        result = false;
        ErrorDetailMsg(text, e.what());
    }
    if (!wasConnected) IBDatabaseDEF.disconnect();
    return result;
}

void TDM::ServerLongToShortFileName(const std::string& Path, std::string& Short) {
    Short.clear();
    if (isBlank(Path)) return;
    const bool wasConnected = IBDatabaseDEF.connected();
    if (!wasConnected) fnAccDefConnected(SystemDef.HostName, 1);
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = IBSQLDEF("SELECT SHORTNAME FROM LONGTOSHORTFILENAME(:LONGNAME)");
        q->setString("LONGNAME", Path);
        q->execute();
        if (q->fetch()) Short = q->asString("SHORTNAME");
        q->close();
        scope.commit();
    } catch (const db::FbError& e) {
        Short.clear();
        IBErrorReport(e, "TDM.ServerLongToShortFileName", kShortNameText, true);
    } catch (const std::exception& e) {
        Short.clear();
        ErrorDetailMsg(kShortNameText, e.what());
    }
    if (!wasConnected) IBDatabaseDEF.disconnect();
}

bool TDM::DExist(const std::string& Path, std::uint8_t Kind) {
    if (Kind == 0) {
        std::error_code ec;
        return !Path.empty() && fs::is_directory(Path, ec);
    }
    if (Kind == 1 || Kind == 2) return ServerFileOperation("DExist", Path);
    return false;
}

bool TDM::MkDir(const std::string& Path, std::uint8_t Kind) {
    if (Kind == 0) return !isBlank(Path) && ForceFolder(Path);
    if (Kind == 1 || Kind == 2) return ServerFileOperation("MkDir", Path);
    return false;
}

bool TDM::RmDir(const std::string& Path, std::uint8_t Kind, bool Undo) {
    if (Kind == 0) return SafeShellDelete(Path, 3, Undo, true);
    if (Kind == 1 || Kind == 2) return ServerFileOperation("RmDir", Path);
    return false;
}

bool TDM::FExist(const std::string& Path, std::uint8_t Kind) {
    if (Kind == 0) {
        std::error_code ec;
        return !Path.empty() && fs::exists(Path, ec) && !fs::is_directory(Path, ec);
    }
    if (Kind == 1 || Kind == 2) return ServerFileOperation("FExist", Path);
    return false;
}

bool TDM::FDel(const std::string& Path, std::uint8_t Kind, bool Undo) {
    if (Kind == 0) return SafeShellDelete(Path, 3, Undo, true);
    if (Kind == 1 || Kind == 2) return ServerFileOperation("FDel", Path);
    return false;
}

bool TDM::FMove(const std::string& Src, const std::string& Dst, std::uint8_t Kind) {
    if (Kind == 0) {
        std::error_code ec;
        if (Src.empty() || Dst.empty() || fs::exists(Dst, ec) || !fs::exists(Src, ec)) return false;
        fs::rename(Src, Dst, ec);
        if (!ec) return true;
        // Another file system: copy, then remove the source.
        return platform::moveItems(Src, Dst);
    }
    if (Kind == 1 || Kind == 2) {
        if (!ServerFileOperation("FCopy", Src, Dst)) return false;
        return ServerFileOperation("FDel", Src);
    }
    return false;
}

bool TDM::FCopy(const std::string& Src, const std::string& Dst, std::uint8_t Kind) {
    if (Kind == 0) return SafeShellCopy(Src, Dst, 2);
    if (Kind == 1 || Kind == 2) return ServerFileOperation("FCopy", Src, Dst);
    return false;
}

void TDM::GetShortFileName(const std::string& Path, std::uint8_t Kind, std::string& Short) {
    Short.clear();
    if (Kind == 0) {
        try {
            Short = GetShortPath(Path);
        } catch (const std::exception&) {
            Short = Path;
        }
    }
    else if (Kind == 1 || Kind == 2) ServerLongToShortFileName(Path, Short);
}

// ---------------------------------------------------------------- services

bool TDM::GetSysIni(TSystemIniRec& Rec) {
    Rec.RESERVE1 = Rec.RESERVE2 = Rec.RESERVE3 = Rec.RESERVE4 = Rec.RESERVE5 = 0;
    Rec.SSTR.clear();
    const bool callerTx = IBTransactionDEF.active();
    const char* text = "システム情報の取得に失敗しました。\rアプリケーションを終了します。";
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = IBQSysDefGet("SELECT RESERVE1,RESERVE2,RESERVE3,RESERVE4,RESERVE5,SSTR FROM SYSTEMINI\n"
                              "WHERE REC=:REC");
        q->setInt("REC", Rec.REC);
        q->execute();
        std::vector<TSystemIniRec> rows;
        while (q->fetch()) {
            TSystemIniRec r;
            r.RESERVE1 = q->asInt(0);
            r.RESERVE2 = q->asInt(1);
            r.RESERVE3 = q->asInt(2);
            r.RESERVE4 = q->asInt(3);
            r.RESERVE5 = q->asInt(4);
            r.SSTR = q->asString(5);
            rows.push_back(std::move(r));
        }
        if (rows.size() == 1) {
            rows[0].REC = Rec.REC;
            Rec = rows[0];
        }
        q->close();
        scope.commit();
        return true;
    } catch (const db::FbError& e) {
        if (callerTx) throw;
        IBErrorReport(e, "TDM.GetSysIni", text, true);
    } catch (const std::exception& e) {
        if (callerTx) throw;
        ErrorDetailMsg(text, e.what());
    }
    return false;
}

bool TDM::SetSysIni(const TSystemIniRec& Rec) {
    const bool callerTx = IBTransactionDEF.active();
    const char* text = "システム情報の書き込みに失敗しました。\r現在のシステム設定は保存されません。";
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = IBQSysDefPut("SELECT COUNT(REC) AS RECCNT FROM SYSTEMINI\nWHERE REC=:REC");
        q->setInt("REC", Rec.REC);
        q->execute();
        const int count = q->fetch() ? q->asInt(0) : 0;
        q->close();
        q->prepare(count != 0
                       ? "UPDATE SYSTEMINI SET RESERVE1=:RESERVE1,RESERVE2=:RESERVE2,RESERVE3=:RESERVE3,"
                         "RESERVE4=:RESERVE4,RESERVE5=:RESERVE5,SSTR=:SSTR\nWHERE REC=:REC"
                       : "INSERT INTO SYSTEMINI(REC,RESERVE1,RESERVE2,RESERVE3,RESERVE4,RESERVE5,SSTR)\n"
                         "VALUES(:REC,:RESERVE1,:RESERVE2,:RESERVE3,:RESERVE4,:RESERVE5,:SSTR)");
        q->setInt("REC", Rec.REC);
        q->setInt("RESERVE1", Rec.RESERVE1);
        q->setInt("RESERVE2", Rec.RESERVE2);
        q->setInt("RESERVE3", Rec.RESERVE3);
        q->setInt("RESERVE4", Rec.RESERVE4);
        q->setInt("RESERVE5", Rec.RESERVE5);
        q->setString("SSTR", Rec.SSTR);
        q->execute();
        q->close();
        scope.commit();
        return true;
    } catch (const db::FbError& e) {
        if (callerTx) throw;
        IBErrorReport(e, "TDM.SetSysIni", text, true);
    } catch (const std::exception& e) {
        if (callerTx) throw;
        ErrorDetailMsg(text, e.what());
    }
    return false;
}

void TDM::GetTusinID(int Rec, int Slot) {
    if (Slot < 0 || Slot >= static_cast<int>(AccInf.TusinHolder.size())) return;
    AccInf.TusinHolder[Slot].clear();
    AccInf.TusinPasword[Slot].clear();
    db::TxScope scope(IBTransactionDAT);
    try {
        auto t = IBQACC1("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TUSIN_ID'");
        t->execute();
        const bool exists = t->fetch() && t->asInt(0) > 0;
        t->close();
        if (exists) {
            auto q = IBQACC1("SELECT REC,HOLDER,PASWORD FROM TUSIN_ID\nWHERE REC=:REC");
            q->setInt("REC", Rec);
            q->execute();
            while (q->fetch()) {
                AccInf.TusinHolder[Slot] = q->asString(1);
                AccInf.TusinPasword[Slot] = q->asString(2);
            }
            q->close();
        }
        scope.commit();
    } catch (...) {
        // Commits what it started, then lets the caller see the failure.
        try {
            scope.commit();
        } catch (...) {
        }
        throw;
    }
}

void TDM::ClearOPINF() {
    db::TxScope scope(IBTransactionDAT);
    auto q = IBQACC1("DELETE FROM OPINF");
    q->execute();
    q->close();
    scope.commit();
    // An exception leaves the scope, which rolls back what it started.
}

void TDM::LoadGengo() {
    TGengoArray rows;
    try {
        db::TxScope scope(IBTransactionDEF);
        try {
            auto c = IBSQLDEF("SELECT COUNT(*) AS RECCNT FROM GENGO");
            c->execute();
            const int count = c->fetch() ? c->asInt(0) : 0;
            c->close();
            auto q = IBSQLDEF("SELECT GNAME,GSIGN,STARTDATE,YEAROFFSET FROM GENGO\nORDER BY YEAROFFSET DESC");
            q->execute();
            // The table is as long as the count said: an era added by
            // another connection in between is not taken.
            while (static_cast<int>(rows.size()) < count && q->fetch()) {
                TGengoRec g;
                g.Name = q->asString(0);
                g.Letter = q->asString(1);
                g.StartDate = q->asDateTime(2).toSerial();
                g.StartYear = q->asInt(3);
                rows.push_back(std::move(g));
            }
            q->close();
        } catch (const std::exception&) {
            // Whatever was read stays; the built-in eras take over when
            // nothing was.
        }
        scope.commit();
    } catch (const std::exception&) {
    }
    SetGengoTableRows(rows);
}

void TDM::fnGetSysDataBaseVer() {
    try {
        db::TxScope scope(IBTransactionDEF);
        try {
            auto q = IBSQLDEF("SELECT MAJOR,MINOR1,MINOR2 FROM VERSION\nORDER BY MAJOR DESC,MINOR1 DESC,MINOR2 DESC");
            q->execute();
            if (q->fetch()) SystemDef.SysDbVersion = {q->asInt(0), q->asInt(1), q->asInt(2)};
            q->close();
            scope.commit();
        } catch (const std::exception&) {
            SystemDef.SysDbVersion = {0, 0, 0};
            scope.commit();
        }
    } catch (const std::exception&) {
        SystemDef.SysDbVersion = {0, 0, 0};
    }
}

void TDM::ParseDataPath(const std::string& Path, std::string& RecText, std::string& SubText) {
    RecText.clear();
    SubText.clear();
    const std::string p = DelAllSpace(Path);
    std::vector<std::string> parts;
    std::string cur;
    for (char c : p) {
        if (c == '/' || c == '\\') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string u = upperAscii(parts[i]);
        if (u == "DATA" || u == "CB_DATA") {
            if (i + 1 < parts.size()) RecText = parts[i + 1];
            if (i + 2 < parts.size()) SubText = parts[i + 2];
            return;
        }
    }
}

namespace {
int decimalOrZero(const std::string& s) {
    if (s.empty()) return 0;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size()) return 0;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return 0;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483647LL) return 0;
    }
    return static_cast<int>(s[0] == '-' ? -v : v);
}
} // namespace

void TDM::GetDataRecByPath(const std::string& Path, int& Rec, int& Sub) {
    Rec = 0;
    Sub = 0;
    if (isBlank(Path)) return;
    if (ConnectKind == 0) {
        std::string r, s;
        ParseDataPath(Path, r, s);
        Rec = decimalOrZero(r);
        Sub = decimalOrZero(s);
        return;
    }
    if (ConnectKind != 1 && ConnectKind != 2) return;
    try {
        db::TxScope scope(IBTransactionDEF);
        try {
            auto q = IBSQLDEF("SELECT REC FROM DATALIST\nWHERE (GROUPID=:GROUPID) AND (UPPER(PASNAME)=:PASNAME)");
            q->setInt("GROUPID", SystemDef.GroupId);
            q->setString("PASNAME", upperAscii(Path));
            q->execute();
            while (q->fetch()) Rec = q->asInt(0);
            q->close();
        } catch (const std::exception&) {
        }
        scope.commit();
    } catch (const std::exception&) {
    }
}

int TDM::CallDataVerify(const std::string& Host, const std::string& DataFolder, int Silent, int Force) {
    if ((Force == 1 || SystemDef.Settings.DataCheckMode == 1) && DataVerifyHook) {
        int result = 1;
        DataVerifyHook(Host, DataFolder, Silent, result);
        return result;
    }
    return 1;
}

bool TDM::CheckDataPassword() {
    if (LogonMode == 1 || LogonMode == 3) return true;
    if (AccInf.DataPassword.empty()) return true;
    platform::InputRequest req;
    req.source = "TInputDlgBox";
    req.title = "パスワードの確認";
    req.maxLength = 8;
    req.password = true;
    req.mode = 1;
    req.imeMode = 0;        // input method off
    req.keyFilter = 30; // letters, digits, Backspace
    req.hint = "パスワード(英数字8文字以内)を入力し、[OK]ボタンを押して下さい。3回続けて失敗すると「データ選択」画面に戻ります。";
    for (int attempt = 0; attempt < 3; ++attempt) {
        req.prompt = attempt == 0 ? "パスワードを入力して下さい。" : "正しいパスワードを入力して下さい。";
        if (attempt > 0) req.promptColor = 0x0000FF; // red
        req.value.clear();
        if (!platform::prompt().input(req)) return false;
        if (TrimZen(req.value) == AccInf.DataPassword) return true;
    }
    return false;
}

void TDM::GetStyleColor(int OpCode, const std::string& StyleName, std::string& SStr) {
    SStr.clear();
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = IBSQLDEF("SELECT SSTR FROM STYLECOLOR\nWHERE OPCODE=:OPCODE AND STYLENAME=:STYLENAME");
        q->setInt("OPCODE", OpCode);
        q->setString("STYLENAME", StyleName);
        q->execute();
        while (q->fetch()) SStr = q->asString(0);
        q->close();
        scope.commit();
    } catch (const std::exception&) {
    }
}

void TDM::PutStyleColor(int OpCode, const std::string& StyleName, const std::string& SStr) {
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = IBSQLDEF("SELECT COUNT(OPCODE) AS RECCNT FROM STYLECOLOR\n"
                          "WHERE OPCODE=:OPCODE AND STYLENAME=:STYLENAME");
        q->setInt("OPCODE", OpCode);
        q->setString("STYLENAME", StyleName);
        q->execute();
        const int count = q->fetch() ? q->asInt(0) : 0;
        q->close();
        q->prepare(count != 0
                       ? "UPDATE STYLECOLOR SET OPCODE=:OPCODE,STYLENAME=:STYLENAME,LINECOLOR1=:LINECOLOR1,"
                         "LINECOLOR2=:LINECOLOR2,LINECOLOR3=:LINECOLOR3,LINECOLOR4=:LINECOLOR4,"
                         "LINECOLOR5=:LINECOLOR5,NETCOLOR1=:NETCOLOR1,NETCOLOR2=:NETCOLOR2,SSTR=:SSTR\n"
                         "WHERE OPCODE=:OPCODE AND STYLENAME=:STYLENAME"
                       : "INSERT INTO STYLECOLOR(OPCODE,STYLENAME,LINECOLOR1,LINECOLOR2,LINECOLOR3,LINECOLOR4,"
                         "LINECOLOR5,NETCOLOR1,NETCOLOR2,SSTR)\n"
                         "VALUES(:OPCODE,:STYLENAME,:LINECOLOR1,:LINECOLOR2,:LINECOLOR3,:LINECOLOR4,"
                         ":LINECOLOR5,:NETCOLOR1,:NETCOLOR2,:SSTR)");
        q->setInt("OPCODE", OpCode);
        q->setString("STYLENAME", StyleName);
        for (const char* c : {"LINECOLOR1", "LINECOLOR2", "LINECOLOR3", "LINECOLOR4", "LINECOLOR5", "NETCOLOR1",
                              "NETCOLOR2"})
            q->setInt(c, -1);
        q->setString("SSTR", SStr);
        q->execute();
        q->close();
        scope.commit();
    } catch (const std::exception&) {
    }
}

void TDM::GetTextValue(const std::string& Text, const std::string& Name, std::string& Value) {
    Value.clear();
    size_t start = 0;
    while (start <= Text.size()) {
        size_t end = Text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = Text.size();
        const std::string line = Text.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq != std::string::npos && upperAscii(line.substr(0, eq)) == upperAscii(Name)) {
            Value = line.substr(eq + 1);
            return;
        }
        if (end == Text.size()) break;
        start = end + 1;
    }
}

bool TDM::IsCloudShareUse(bool ForSend) {
    if (OemEdition != 0) return false;
    if (LogonMode != 0 && LogonMode != 2) return false;
    if (ConnectKind == 2) return false;
    if (ForSend && LogonMode == 2) return false;
    return true;
}

bool TDM::IsDataReadOnly() { return LogonMode == 1 || LogonMode == 2 || AccInf.READ_ONLY == 1; }

void TDM::TimerFormCloseTimer() {
    TimerFormClose.stop();
    if (TimerFormCloseTag) {
        QPointer<QWidget> w = TimerFormCloseTag;
        TimerFormCloseTag = nullptr;
        QMetaObject::invokeMethod(w.data(), "close", Qt::QueuedConnection);
    }
}

void TDM::TimerSyoriKidouTimer() {
    TimerSyoriKidou.stop();
    if (ProcessLauncherHook) ProcessLauncherHook(PendingLaunchName, PendingLaunchMode, PendingLaunchParams);
    PendingLaunchName.clear();
    PendingLaunchMode = 0;
    PendingLaunchParams.clear();
}
