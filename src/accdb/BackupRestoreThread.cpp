#include "accdb/BackupRestoreThread.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <QCoreApplication>
#include <QMetaObject>

#include "accdb/AccRecord.h"
#include "accdb/AppInfo.h"
#include "accdb/BackupService.h"
#include "accdb/DataModule.h"
#include "accdb/MyNumberIO.h"
#include "platform/AppEvents.h"
#include "ui/AnimeProgress.h"
#include "ui/MessageDlg2.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTransferText = "バックアップファイルの転送処理（tvfileman.fdb）に失敗しました。";
constexpr const char* kBackupStopped = "データベースの保存処理を中止しました。";
constexpr const char* kRestoreStopped = "データベースの復元処理を中止しました。";
constexpr const char* kNotOurData = "指定されたファイルはタヴリン財務用のデータではありません。";

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool thisMachine(const std::string& host) { return host.empty() || host == "127.0.0.1"; }

// 0 neither, 1 system database, 2 data database.
int databaseKind(const std::string& path) {
    if (path.find(DataDefFile) != std::string::npos) return 1;
    if (path.find(DataFile) != std::string::npos) return 2;
    return 0;
}

} // namespace

TBackupRestoreThread::TBackupRestoreThread(bool) {
    ProcessName = AppInfo.AppTitle;
    ClearHeaderInfo();
}

TBackupRestoreThread::~TBackupRestoreThread() { wait(); }

void TBackupRestoreThread::ClearHeaderInfo() {
    Shougou.clear();
    Kishu.clear();
    Kimatu.clear();
    DataVarsion.clear();
    Siwake = TotalSiwake = Gassan = UseMyNumber = 0;
}

void TBackupRestoreThread::WriteHeaderInfo(const std::string& FileName) {
    if (Shougou.empty()) return;
    TBackupTrailer t{Shougou, Kishu, Kimatu, Siwake, TotalSiwake, DataVarsion, Gassan, UseMyNumber};
    AppendTextToFile(FileName, BackupTrailerText(t));
}

bool TBackupRestoreThread::ReadHeaderInfo(const std::string& FileName, bool Strip) {
    std::string text;
    ReadTrailerText(FileName, kBackupTrailerMarker, text, Strip);
    TBackupTrailer t;
    ParseBackupTrailer(text, t);
    Shougou = t.Shougou;
    Kishu = t.Kishu;
    Kimatu = t.Kimatu;
    Siwake = t.Siwake;
    TotalSiwake = t.TotalSiwake;
    DataVarsion = t.DataVarsion;
    Gassan = t.Gassan;
    UseMyNumber = t.UseMyNumber;
    return !Shougou.empty();
}

void TBackupRestoreThread::run() { Execute(); }

void TBackupRestoreThread::Synchronize(const std::function<void()>& step) {
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
        step();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), step, Qt::BlockingQueuedConnection);
}

void TBackupRestoreThread::setError(const char* code, const std::string& message, const std::string& detail) {
    ErrInfo.Code = code;
    ErrInfo.Message = message;
    ErrInfo.Detail = detail;
}

void TBackupRestoreThread::Execute() {
    Success = false;
    ErrInfo = TErrInfomation{};
    try {
        switch (Mode) {
        case 0:
            ErrInfo.ProcName = "BackupDatabase";
            if (MyNumberCheck) {
                if (UseMyNumber == 0) LogMyNumber = false;
                if (UseMyNumber == 1) {
                    Synchronize([this] { ConfirmMyNumber(); });
                    if (!Success) break;
                }
                Success = false;
            }
            Synchronize([this] { BackupDatabase(); });
            break;
        case 1:
            ErrInfo.ProcName = "RestoreDatabase";
            if (MyNumberCheck) {
                Synchronize([this] { ConfirmMyNumber(); });
                if (!Success) break;
                Success = false;
            }
            Synchronize([this] { RestoreDatabase(); });
            break;
        case 2:
            Synchronize([this] { CopyDatabase(); });
            break;
        case 3:
            Synchronize([this] { RebuildDatabase(); });
            break;
        default:
            break;
        }
    } catch (const std::exception&) {
        Success = false;
    }
    ErrInfo.IsError = !Success;
    terminated_ = true;
}

void TBackupRestoreThread::ConfirmMyNumber() {
    MyNumberAction = 0;
    Success = true;
    if (Mode == 0) {
        if (!AskMyNumber) {
            MyNumberAction = 6;
            return;
        }
        if (SystemDef.MyNumberAdmin) {
            TMessage2InfoRec m;
            InitMessage2Info(3, m);
            m.Buttons = platform::mbYes | platform::mbNo;
            m.Lines[0].Text = "保存データにマイナンバー情報を含めますか？";
            if (ShowMessageBox2(m) == platform::mrYes) {
                MyNumberAction = 6;
                TMyNumberIO io;
                io.ReadSetting(Host, DatabasePath, {}, ProcessName);
                Success = InputMyNumberPassword(io.KeyText);
                if (!Success) setError("100", kBackupStopped, {});
            } else {
                ExcludeMyNumber = true;
            }
        } else {
            TMessage2InfoRec m;
            InitMessage2Info(2, m);
            m.Lines[0].Text = "保存データにマイナンバー情報は含まれません。";
            ShowMessageBox2(m);
            ExcludeMyNumber = true;
        }
        return;
    }
    TMyNumberIO io;
    io.ReadSetting(Host, DatabasePath, {}, ProcessName);
    if (io.MyNumberUse == 1 && UseMyNumber == 0) {
        Success = false;
        setError("200", "マイナンバー情報を管理しているデータへの復元はおこなえません。", kRestoreStopped);
    } else if (UseMyNumber == 1) {
        MyNumberAction = 7;
    }
}

bool TBackupRestoreThread::ensureServerWorkFolder() {
    const std::string& dir = SystemDef.ServerTempPath;
    return DM->DExist(dir, ConnectKind) || DM->MkDir(dir, ConnectKind);
}

std::string TBackupRestoreThread::serverFile() const {
    std::string name = fileNameOf(BackupPath);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    name += "." + std::to_string(SystemDef.OpCode);
    const std::string& dir = SystemDef.ServerTempPath;
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string TBackupRestoreThread::contentId() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "TVQ_%d", SystemDef.OpCode);
    return buf;
}

// The server's backup file into BackupPath through FILETRANS. The local
// file is written under a temporary name and renamed when complete.
void TBackupRestoreThread::transferDown(const std::string& file) {
    const std::string id = contentId();
    try {
        db::TxScope scope(DM->IBTransFileMan);
        auto sql = DM->IBSQLFileMan("DELETE FROM FILETRANS\nWHERE CONTENT_ID=:CONTENT_ID");
        sql->setString("CONTENT_ID", id);
        sql->execute();
        auto ins = DM->IBSQLFileMan("INSERT INTO FILETRANS(CONTENT_ID,CONTENT)\n"
                                    "VALUES(:CONTENT_ID,SP_FILETOBLOB(:FILENAME))");
        ins->setString("CONTENT_ID", id);
        ins->setString("FILENAME", file);
        ins->execute();
        DM->IBTransFileMan.commitRetaining();
        auto q = DM->IBQueryFileMan("SELECT CONTENT_ID,CONTENT FROM FILETRANS\nWHERE CONTENT_ID=:CONTENT_ID");
        q->setString("CONTENT_ID", id);
        q->execute();
        while (q->fetch()) {
            const std::string content = q->asBytes("CONTENT");
            Success = !content.empty();
            if (Success) {
                const std::string temp = BackupPath + ".tmp";
                {
                    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
                    out.write(content.data(), static_cast<std::streamsize>(content.size()));
                    out.flush();
                    if (!out) throw std::runtime_error("バックアップファイルの書き込みに失敗しました。");
                }
                fs::rename(temp, BackupPath);
            }
        }
        q->close();
        sql->execute();
        scope.commit();
    } catch (const db::FbError& e) {
        Success = false;
        setError("102", kTransferText,
                 std::string(kBackupStopped) + "\r[詳細]\rIBエラー: " + std::to_string(e.errorCode()) + "\r" +
                     e.message());
    } catch (const std::exception& e) {
        Success = false;
        setError("102", kTransferText, std::string(kBackupStopped) + "\r[詳細]\r" + e.what());
    }
}

// BackupPath to the server file through FILETRANS.
void TBackupRestoreThread::transferUp(const std::string&, const std::string& file) {
    const std::string id = contentId();
    db::TxScope scope(DM->IBTransFileMan);
    auto sql = DM->IBSQLFileMan("DELETE FROM FILETRANS\nWHERE CONTENT_ID=:CONTENT_ID");
    sql->setString("CONTENT_ID", id);
    sql->execute();
    std::ifstream in(BackupPath, std::ios::binary);
    if (!in) throw std::runtime_error("バックアップファイルを開けません。");
    std::ostringstream s;
    s << in.rdbuf();
    auto ins = DM->IBSQLFileMan("INSERT INTO FILETRANS(CONTENT_ID,CONTENT)\nVALUES(:CONTENT_ID,:CONTENT)");
    ins->setString("CONTENT_ID", id);
    ins->setBlobBytes("CONTENT", s.str());
    ins->execute();
    DM->IBTransFileMan.commitRetaining();
    auto q = DM->IBQueryFileMan("SELECT CONTENT_ID,SP_BLOBTOFILE(:FILENAME, CONTENT) AS CONTENT FROM FILETRANS\n"
                                "WHERE CONTENT_ID=:CONTENT_ID");
    q->setString("FILENAME", file);
    q->setString("CONTENT_ID", id);
    q->execute();
    while (q->fetch()) {
    }
    q->close();
    sql->execute();
    scope.commit();
}

void TBackupRestoreThread::BackupDatabase() {
    const int which = databaseKind(DatabasePath);
    if (which == 0) {
        setError("101", kNotOurData, kBackupStopped);
        return;
    }
    TMyNumberIO io;
    const bool data = which == 2;
    if (data && ExcludeMyNumber) {
        UseMyNumber = 0;
        io.ReadSetting(Host, DatabasePath, "MyNumber_Clear", ProcessName + "＞データ保存");
    }
    try {
        if (Kind == 0) {
            if (!thisMachine(Host)) Success = BackupFDB(TProtocol::TCP, Host, DatabasePath, BackupPath, 1);
            else Success = BackupFDB(TProtocol::Local, {}, DatabasePath, BackupPath, 0);
        } else if (Kind == 1) {
            const bool fileMan = DM->fnFileManConnected(SystemDef.HostName);
            try {
                if (fileMan) {
                    if (ensureServerWorkFolder()) {
                        const std::string file = serverFile();
                        if (BackupFDB(TProtocol::TCP, Host, DatabasePath, file, 1)) transferDown(file);
                    }
                } else {
                    Success = BackupFDBGbak(TProtocol::Local, Host, DatabasePath, BackupPath, 0);
                }
            } catch (...) {
                if (DM->IBFileMan.connected()) DM->IBFileMan.disconnect();
                throw;
            }
            if (DM->IBFileMan.connected()) DM->IBFileMan.disconnect();
        }
        if (Success && WriteHeader) WriteHeaderInfo(BackupPath);
        // The event is logged only once the backup it records exists.
        if (Success && data && LogMyNumber && MyNumberAction == 6) {
            TMyNumberLogRec rec;
            TMyNumberIO::MakeLogRec(rec, 6, ProcessName);
            io.AddLogTo(rec, Host, DatabasePath);
        }
    } catch (const std::exception& e) {
        Success = false;
        if (ErrInfo.Code.empty()) setError("100", "データベースの保存に失敗しました。", std::string(kBackupStopped) + "\r" + e.what());
    }
    if (!Success && ErrInfo.Code.empty()) setError("100", "データベースの保存に失敗しました。", kBackupStopped);
    // The settings taken out for the backup always go back.
    if (data && ExcludeMyNumber) {
        try {
            io.WriteSetting(Host, DatabasePath);
        } catch (const std::exception&) {
            Success = false;
            setError("100", "データベースの保存に失敗しました。", kBackupStopped);
        }
        UseMyNumber = io.MyNumberUse;
    }
}

void TBackupRestoreThread::RestoreDatabase() {
    const int which = databaseKind(DatabasePath);
    if (which == 0) {
        setError("201", kNotOurData, kRestoreStopped);
        return;
    }
    const std::string folder = folderOf(DatabasePath);
    if (DM->AccDatInConnection(which == 1 ? 0 : 1, Host, folder)) {
        setError("202", "このデータは、他のオペレータが使用中のため復元処理を行うことが出来ません。", kRestoreStopped);
        return;
    }
    const bool data = which == 2;
    TMyNumberIO io;
    if (data && MyNumberAction == 7) io.LoadLogListOf(Host, DatabasePath);
    try {
        if (Kind == 0) {
            if (!thisMachine(Host)) Success = RestoreFDB(TProtocol::TCP, Host, DatabasePath, BackupPath, RestoreOption);
            else Success = RestoreFDB(TProtocol::Local, {}, DatabasePath, BackupPath, RestoreOption);
        } else if (Kind == 1) {
            const bool fileMan = DM->fnFileManConnected(SystemDef.HostName);
            try {
                if (fileMan) {
                    bool done = false;
                    std::string file;
                    try {
                        if (ensureServerWorkFolder()) {
                            file = serverFile();
                            transferUp(BackupPath, file);
                            done = true;
                        }
                    } catch (const std::exception&) {
                        done = false;
                    }
                    if (!done) setError("203", kTransferText, kRestoreStopped);
                    else Success = RestoreFDB(TProtocol::TCP, Host, DatabasePath, file, RestoreOption);
                } else {
                    Success = RestoreFDBGbak(TProtocol::Local, Host, DatabasePath, BackupPath, RestoreOption);
                }
            } catch (...) {
                if (DM->IBFileMan.connected()) DM->IBFileMan.disconnect();
                throw;
            }
            if (DM->IBFileMan.connected()) DM->IBFileMan.disconnect();
        }
    } catch (const std::exception&) {
        Success = false;
    }
    if (!Success && ErrInfo.Code.empty()) setError("200", "データベースの復元に失敗しました。", kRestoreStopped);
    if (Success && data && MyNumberAction == 7) {
        if (ProcessName.empty()) ProcessName = AppInfo.AppTitle;
        if (LogMyNumber) {
            TMyNumberLogRec rec;
            TMyNumberIO::MakeLogRec(rec, 7, ProcessName);
            io.AddLogTo(rec, Host, DatabasePath);
        }
        io.MergeLog(Host, DatabasePath);
    }
}

void TBackupRestoreThread::copyOrRebuild(const std::string& target) {
    if (Kind == 0) {
        const bool remote = !thisMachine(Host);
        const TProtocol p = remote ? TProtocol::TCP : TProtocol::Local;
        const std::string h = remote ? Host : std::string();
        Success = BackupFDB(p, h, DatabasePath, BackupPath, remote ? 1 : 0) &&
                  RestoreFDB(p, h, target, BackupPath, RestoreOption);
    } else if (Kind == 1) {
        Success = BackupFDBGbak(TProtocol::Local, Host, DatabasePath, BackupPath, 0) &&
                  RestoreFDBGbak(TProtocol::Local, Host, target, BackupPath, RestoreOption);
    }
}

void TBackupRestoreThread::CopyDatabase() {
    try {
        copyOrRebuild(CopyPath);
    } catch (const std::exception&) {
        Success = false;
    }
}

void TBackupRestoreThread::RebuildDatabase() {
    CopyPath = DatabasePath;
    CopyDatabase();
}

void RunBackupRestore(TBackupRestoreThread& Thread, const std::string& Caption) {
    auto previous = platform::setEventPump([] { QCoreApplication::processEvents(); });
    TxAnimeProgressDialog progress;
    progress.SetCaption(QString::fromStdString(Caption));
    progress.CancelBtnShow = false;
    progress.Execute();
    Thread.Resume();
    while (!Thread.IsTerminated()) platform::waitMs(300);
    Thread.wait();
    progress.Close();
    platform::setEventPump(previous);
}
