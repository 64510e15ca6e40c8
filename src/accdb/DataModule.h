#pragma once
// The data module: one instance, the global DM, created by the start-up
// check and alive until the program ends. It owns the three database
// connections every part of the program uses (the system database, the
// data database of the one open data set and the file-manager database),
// their transactions, and the operations on them: connecting, file
// operations that act locally or on the database server, settings rows,
// the era table and version, and a few small services.
//
// Nothing is connected at creation. The general queries of the module are
// statement factories: each call gives a fresh statement bound to the
// component's transaction (so nested callers never share one statement).
//
// Transactions follow the suite's rule: a routine starts a transaction only
// when it is not active, and commits or rolls back only what it started
// (db::TxScope), so routines nest inside a caller's transaction.
//
// Database names: for a server connection (connection kind 1 or 2 and a
// host other than "127.0.0.1") "host:folder/file"; otherwise the local path
// "folder/file", opened with the embedded engine.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "db/Attachment.h"
#include "db/FbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "accdb/SysRegValue.h"

// One SYSTEMINI row of the system database.
struct TSystemIniRec {
    int REC = 0;
    int RESERVE1 = 0;
    int RESERVE2 = 0;
    int RESERVE3 = 0;
    int RESERVE4 = 0;
    int RESERVE5 = 0;
    std::string SSTR;
};

// The file-manager database's file name (fixed, not in the name table).
inline constexpr const char* kFileManFile = "tvfileman.fdb";

class TDM : public QObject {
public:
    TDM();
    ~TDM() override;
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // ---- components
    db::Attachment IBDatabaseDEF;                  // system database
    db::Transaction IBTransactionDEF{IBDatabaseDEF, db::TxKind::ReadCommitted};
    db::Attachment IBDatabaseDAT;                  // data database of the open data set
    db::Transaction IBTransactionDAT{IBDatabaseDAT, db::TxKind::ReadCommitted};
    db::Transaction IBTransactionDATSS{IBDatabaseDAT, db::TxKind::Concurrency};
    db::Transaction IBTransactionDATStable{IBDatabaseDAT, db::TxKind::Consistency};
    db::Transaction IBTransactionDAT_Thread{IBDatabaseDAT, db::TxKind::ReadCommitted};
    db::Attachment IBDatabaseZEN;                  // a third slot, never connected here
    db::Transaction IBTransactionZEN{IBDatabaseZEN, db::TxKind::ReadCommitted};
    db::Transaction IBTransactionZENStable{IBDatabaseZEN, db::TxKind::Consistency};
    db::Attachment IBFileMan;                      // file-manager database
    db::Transaction IBTransFileMan{IBFileMan, db::TxKind::ReadCommitted};

    QTimer TimerFormClose;   // Tag: the window to close
    QTimer TimerSyoriKidou;  // pending launch below
    // The window TimerFormClose closes: set it and start the timer, so that
    // a form can be closed from outside its own event handlers.
    QPointer<QWidget> TimerFormCloseTag;
    std::string PendingLaunchName;
    int PendingLaunchMode = 0;
    std::string PendingLaunchParams;

    // ---- statement factories (fresh statement each call; the SQL may be
    // given later with prepare()). System database, IBTransactionDEF:
    std::unique_ptr<db::Statement> IBQSysDefGet(std::string_view sql = {});
    std::unique_ptr<db::Statement> IBQSysDefPut(std::string_view sql = {});
    std::unique_ptr<db::Statement> QueryDef(std::string_view sql = {});
    std::unique_ptr<db::Statement> IBSQLDEF(std::string_view sql = {});
    // Data database, IBTransactionDAT:
    std::unique_ptr<db::Statement> IBQACC1(std::string_view sql = {});
    std::unique_ptr<db::Statement> IBQACC2(std::string_view sql = {});
    std::unique_ptr<db::Statement> IBQACC3(std::string_view sql = {});
    // Third slot, IBTransactionZEN, parameter check off:
    std::unique_ptr<db::Statement> IBSQL1(std::string_view sql = {});
    // File-manager database, IBTransFileMan:
    std::unique_ptr<db::Statement> IBQueryFileMan(std::string_view sql = {});
    std::unique_ptr<db::Statement> IBSQLFileMan(std::string_view sql = {});

    // ---- lookups and rights of the open data set (DataModuleLookups.cpp).
    // Each runs on the data database in IBTransactionDAT unless said
    // otherwise, and commits only a transaction it started.
    void fnGetAccTotalName(const std::string& KGroup, const std::string& Column, std::string& Name);
    bool InitKessanLayout();
    bool SetKessanLayoutKind(int DataType, int CodeType);
    bool IsAllKengen();
    // Menu control on the system database: may the operator's level run
    // ProcId (with Option inside its option text when Option is not blank).
    bool SetJobControl(const std::string& ProcId, const std::string& Option);
    bool fnGetExistsOpeDefSisetu();
    // The operator's default facility into SystemDef; Name its name.
    void GetOpeDefSisetu(std::string& Name);
    bool HasAllSitenKengen(int OpCode);
    // A value of a name=value style text; "COLOR" gives an integer colour.
    static void GetStyleValue(const std::string& Text, const std::string& Name, std::string& Value);
    static int GetStyleColorValue(const std::string& Text);
    void fnGetDataBaseVer(std::string& Version);
    bool fnExistence_Table(const std::string& Table);
    bool fnExistence_Field(const std::string& Table, const std::string& Field);
    int GetYukouSiwakeCount(const std::string& SCode);
    int GetUpDelSiwakeCount(const std::string& SCode);
    int GetSiwakeCount(const std::string& SCode, int& Valid, int& UpDel);
    int GetSiwakeCountTotal(const std::string& SCode);
    void SetSystemCode(const std::string& Name, std::string& KCode, std::string& UserCode);
    void GetUserCode(const std::string& KCode, std::string& UserCode);

    // ---- the open data set's basic settings (AccInfo.cpp)
    // Fills AccInf from the connected data database; false (reported) on
    // failure.
    bool fnGetAccInfo();

    // ---- connections
    // The database name by the naming rule (see the top of this file).
    static std::string DatabaseName(std::uint8_t Kind, const std::string& Host, const std::string& Folder,
                                    const std::string& File);
    // The name AccDatDropDatabase uses: a server kind always names the
    // server, "127.0.0.1" included.
    static std::string DropDatabaseName(std::uint8_t Kind, const std::string& Host, const std::string& Folder);
    // Connection parameters with SystemDef's database user and password.
    static db::ConnectParams ConnectParamsFor(const std::string& Database);

    // Connects the system database (idempotent). ReportErrors 1: failures
    // are reported and give false; otherwise they propagate.
    bool fnAccDefConnected(const std::string& Host = {}, std::uint8_t ReportErrors = 1);
    // Connects the file-manager database when its file exists; false on any
    // failure, silently.
    bool fnFileManConnected(const std::string& Host = {});
    // (Re)connects the data database of a data folder; MarkInUse 1 marks
    // the data set in use (status file, stand-alone use only). Failures are
    // reported and give false.
    bool fnAccDatConnected(const std::string& Host = {}, const std::string& DataFolder = {},
                           std::uint8_t MarkInUse = 0);
    // Marks the data set free (SetFree 1, stand-alone use) and/or refreshes
    // its data-list row (UpdateList 1), then disconnects. Always true.
    bool fnAccDatDisconnect(const std::string& DataFolder = {}, std::uint8_t SetFree = 0,
                            std::uint8_t UpdateList = 0);
    // Whether another attachment holds the database file (Kind 0 the system
    // database of Folder, 1 the data database of Folder). With KeepOwn 0 the
    // module's own connection to it is closed meanwhile and reopened after.
    bool AccDatInConnection(std::uint8_t Kind, const std::string& Host, const std::string& Folder,
                            std::uint8_t KeepOwn = 0);
    // Drops (deletes) the data database of Folder.
    bool AccDatDropDatabase(const std::string& Host, const std::string& Folder);

    // ---- file operations by connection kind (0 local; 1, 2 on the
    // database server through its procedures; others: nothing, false)
    bool ServerFileOperation(const std::string& Mode, const std::string& Path1, const std::string& Path2 = {});
    void ServerLongToShortFileName(const std::string& Path, std::string& Short);
    bool DExist(const std::string& Path, std::uint8_t Kind);
    bool MkDir(const std::string& Path, std::uint8_t Kind);
    bool RmDir(const std::string& Path, std::uint8_t Kind, bool Undo = false);
    bool FExist(const std::string& Path, std::uint8_t Kind);
    bool FDel(const std::string& Path, std::uint8_t Kind, bool Undo = false);
    bool FMove(const std::string& Src, const std::string& Dst, std::uint8_t Kind);
    bool FCopy(const std::string& Src, const std::string& Dst, std::uint8_t Kind);
    void GetShortFileName(const std::string& Path, std::uint8_t Kind, std::string& Short);

    // ---- services
    bool GetSysIni(TSystemIniRec& Rec);
    bool SetSysIni(const TSystemIniRec& Rec);
    // Communication holder and password of TUSIN_ID row Rec into AccInf's
    // slot Slot (0..5).
    void GetTusinID(int Rec, int Slot);
    void ClearOPINF();
    int AdjustTaxCalcKubun(int Kubun, int = 0, int = 0) { return Kubun; }
    int AdjustTaxDefKubun(int Kubun, int = 0, int = 0) { return Kubun; }
    // Era table from GENGO, newest first; the built-in eras when it gives
    // nothing.
    void LoadGengo();
    // SystemDef.SysDbVersion from the highest VERSION row.
    void fnGetSysDataBaseVer();
    // The record number and child folder texts of a data folder path.
    static void ParseDataPath(const std::string& Path, std::string& RecText, std::string& SubText);
    void GetDataRecByPath(const std::string& Path, int& Rec, int& Sub);
    // Runs DataVerifyHook when Force is 1 or the data-check setting is on;
    // the hook's result, 1 when it was not run. Silent comes before Force
    // in every call.
    int CallDataVerify(const std::string& Host, const std::string& DataFolder, int Silent, int Force);
    // Asks for the open data set's password (up to three tries).
    bool CheckDataPassword();
    void GetStyleColor(int OpCode, const std::string& StyleName, std::string& SStr);
    void PutStyleColor(int OpCode, const std::string& StyleName, const std::string& SStr);
    // The value of Name in name=value lines (names without regard to case).
    static void GetTextValue(const std::string& Text, const std::string& Name, std::string& Value);
    bool IsCloudShareUse(bool ForSend);
    bool IsDataReadOnly();
    void TimerFormCloseTimer();
    void TimerSyoriKidouTimer();

    // ---- operator settings (SysDef.cpp; value type in accdb/SysDef.h)
    bool fnGetSysDef();
    bool fnPutSysDef();
    void DeleteLogonInfo();
    void funcGetSysReg(const std::string& SCODE, const std::string& STYPE, const std::string& Default, int OpCode,
                       TSysRegValue& Value);
    void funcGetSysRegOpe(const std::string& SCODE, const std::string& STYPE, const std::string& Default,
                          TSysRegValue& Value);
    void funcPutSysReg(const std::string& SCODE, const std::string& STYPE, const TSysRegValue& Value, int OpCode);
    void funcPutSysRegOpe(const std::string& SCODE, const std::string& STYPE, const TSysRegValue& Value);

private:
    std::unique_ptr<db::Statement> make(db::Transaction& tx, std::string_view sql, bool paramCheck = true);
    bool connectTo(db::Attachment& att, const std::string& name);
};

// The data module (created by the start-up check).
extern std::unique_ptr<TDM> DM;

// Status code of the client's I/O error on a database file (missing file).
inline constexpr int kFbIoError = 335544344;
