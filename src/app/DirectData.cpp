#include "app/DirectData.h"

#include "accdb/Gengo.h"
#include "accdb/IBErrorReport.h"
#include "app/AppMessage.h"
#include "app/hj19.h"
#include "db/FbError.h"
#include "db/Statement.h"

TDirectDataModule::TDirectDataModule() {
    defTx_ = std::make_unique<db::Transaction>(def_);
    datTx_ = std::make_unique<db::Transaction>(dat_);
}

TDirectDataModule::~TDirectDataModule() {
    datTx_->rollbackNoThrow();
    defTx_->rollbackNoThrow();
}

db::ConnectParams TDirectDataModule::params(const std::string& host, const std::string& path) const {
    db::ConnectParams p;
    p.database = db::joinDatabaseName(host, path);
    p.user = SystemDef.UserName.empty() ? "TAVRIN" : SystemDef.UserName;
    p.password = SystemDef.Password.empty() ? "mobrix" : SystemDef.Password;
    return p;
}

bool TDirectDataModule::AccDefConnected(const std::string& Host) {
    if (def_.connected())
        return true;
    try {
        def_.connect(params(Host, SystemDef.SysDir + "/" + DataDefFile));
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnAccDefConnected", "システムデータベースの接続に失敗しました。", false);
        return false;
    }
}

void TDirectDataModule::DefDisconnect() {
    defTx_->rollbackNoThrow();
    def_.disconnect();
}

bool TDirectDataModule::AccDatConnected(const std::string& Host, const std::string& DataDir, bool /*MarkInUse*/) {
    AccDatDisconnect(DataDir, 0, 0);
    try {
        dat_.connect(params(Host, DataDir + "/" + DataFile));
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnAccDatConnected", "会計データの接続に失敗しました。", false);
        return false;
    }
}

void TDirectDataModule::AccDatDisconnect(const std::string&, int, int) {
    datTx_->rollbackNoThrow();
    dat_.disconnect();
}

bool TDirectDataModule::GetAccInfo(TOpenDataInfo& Info) {
    if (!dat_.connected())
        return false;
    try {
        db::TxScope scope(*datTx_);
        db::Statement q(*datTx_, "SELECT * FROM ACCDEF1 WHERE REC=1");
        q.execute();
        if (!q.fetch())
            return false;
        Info = TOpenDataInfo{};
        Info.DataType = q.asInt("DATATYPE");
        Info.Shougou = q.asString("SHOUGOU");
        Info.Nendo = q.asInt("NENDO");
        auto when = [&](const char* col) { return q.isNull(col) ? 0.0 : q.field(col).asDateTime().toSerial(); };
        Info.Kishu = when("KISHU");
        Info.Kimatu = when("KIMATU");
        Info.Kaisi = when("KAISI");
        Info.Sime = q.asInt("SIME");
        Info.SdaiHasuu1 = q.asInt("SDAI_HASUU1");
        datPassword_ = q.asString("PASWORD");
        int codeType = q.asInt("CODETYPE");
        q.close();
        scope.commit();
        static const char* const types[] = {"", "法人", "個人", "医療法人"};
        Info.DataTypeName = Info.DataType >= 1 && Info.DataType <= 3 ? types[Info.DataType] : "";
        Info.CodeTypeName = codeType == 1 ? "" : std::string();
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetAccInfo", "基本情報の取得に失敗しました。", false);
        return false;
    }
}

std::string TDirectDataModule::GetDataBaseVer() {
    try {
        db::TxScope scope(*datTx_);
        db::Statement q(*datTx_, "SELECT MAJOR, MINOR1, MINOR2 FROM ACCVERSION WHERE REC=1");
        q.execute();
        std::string v;
        if (q.fetch())
            v = std::to_string(q.asInt(0)) + "." + std::to_string(q.asInt(1)) + "." + std::to_string(q.asInt(2));
        q.close();
        scope.commit();
        return v;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetDataBaseVer", "", false);
        return {};
    }
}

bool TDirectDataModule::CheckDataPassword() {
    if (datPassword_.empty())
        return true;
    platform::InputRequest r;
    r.source = "TInputDlgBox";
    r.title = "パスワード";
    r.prompt = "データのパスワードを入力してください。";
    r.password = true;
    r.mode = 1;
    return platform::prompt().input(r) && r.value == datPassword_;
}

bool TDirectDataModule::GetSysDef() {
    if (!AccDefConnected(SystemDef.HostName))
        return false;
    try {
        db::TxScope scope(*defTx_);
        db::Statement q(*defTx_, "SELECT OPNAME, JOBLEVEL FROM OPERATOR WHERE GROUPID=:G AND OPCODE=:C");
        q.setInt("G", SystemDef.GroupId);
        q.setInt("C", SystemDef.LoginCode);
        q.execute();
        bool found = q.fetch();
        if (found) {
            SystemDef.OpName = q.asString(0);
            SystemDef.JobLevel = q.asInt(1);
        }
        q.close();
        scope.commit();
        return found;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetSysDef", "オペレータ設定の取得に失敗しました。", false);
        return false;
    }
}

void TDirectDataModule::LoadGengo() { InitGengoTable(); }

void TDirectDataModule::DeleteLogonInfo() {
    if (!def_.connected())
        return;
    try {
        db::TxScope scope(*defTx_);
        db::Statement q(*defTx_, "DELETE FROM LOGONUSERLIST WHERE OPCODE=:OPCODE AND PCNAME=:PCNAME");
        q.setInt("OPCODE", SystemDef.OpCode);
        q.setString("PCNAME", SystemDef.PcName);
        q.execute();
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.DeleteLogonInfo", "", false);
    }
}

std::unique_ptr<SisanReader> TDirectDataModule::MakeSisanReader(const TOpenDataInfo& Info) {
    return std::make_unique<DbSisanReader>(
        *datTx_, hj19::MakeContext(Info.Kishu, Info.Kimatu, Info.Kaisi, Info.Sime, Info.SdaiHasuu1));
}

int TDirectDataModule::Logon(int LoginCode, const std::string& Password) {
    if (!AccDefConnected(SystemDef.HostName))
        return -100;
    try {
        db::TxScope scope(*defTx_);
        db::Statement q(*defTx_, "SELECT NUM, LOGINCODE, JOBLEVEL FROM LOGONUSERTEST(:PCNAME, :GROUPID, :OPCODE, "
                                 ":APPVERSION, :PASWORD)");
        q.setString("PCNAME", SystemDef.PcName);
        q.setInt("GROUPID", SystemDef.GroupId);
        q.setInt("OPCODE", LoginCode);
        q.setInt("APPVERSION", 14 * 65536);
        q.setString("PASWORD", Password);
        q.execute();
        int num = -1;
        if (q.fetch()) {
            num = q.asInt(0);
            SystemDef.JobLevel = q.asInt(2);
        }
        q.close();
        scope.commit();
        if (num == 0) {
            SystemDef.LoginCode = LoginCode;
            SystemDef.OpCode = SystemDef.GroupId * 10000 + LoginCode;
        }
        return num;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TLogonBox.Logon", "ログオンに失敗しました。", false);
        return -100;
    }
}

bool TPromptLogon::Prepare() { return dm_.AccDefConnected(SystemDef.HostName); }

bool TPromptLogon::Execute() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        platform::InputRequest code;
        code.source = "TInputDlgBox";
        code.title = "ログオン";
        code.prompt = "オペレータコードを入力してください。";
        code.value = "1";
        if (!platform::prompt().input(code))
            return false;
        int login = 0;
        try {
            login = std::stoi(code.value);
        } catch (...) {
            app::showBox(platform::pkWarning, "オペレータコードが正しくありません。");
            continue;
        }
        platform::InputRequest pw;
        pw.source = "TInputDlgBox";
        pw.title = "ログオン";
        pw.prompt = "パスワードを入力してください。";
        pw.password = true;
        pw.mode = 1;
        if (!platform::prompt().input(pw))
            return false;
        int r = dm_.Logon(login, pw.value);
        if (r == 0)
            return true;
        if (r == -100)
            return false;
        app::showBox(platform::pkWarning, "オペレータコードまたはパスワードが正しくありません。");
    }
    return false;
}
