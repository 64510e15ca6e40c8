#include "accdb/MyNumberIO.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "accdb/AccReg.h"
#include "accdb/DataModule.h"
#include "accdb/EasyCode.h"
#include "accdb/IBErrorReport.h"
#include "platform/AppEvents.h"
#include "platform/Prompt.h"

namespace {

constexpr int kUniqueViolation = 335544665;
constexpr const char* kGroup = "基本設定";

db::DateTime nowStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    db::DateTime d;
    d.date = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    d.time = {tm.tm_hour, tm.tm_min, tm.tm_sec, ms};
    return d;
}

std::string folderOfDb(const std::string& dbPath) {
    std::string s = dbPath;
    const std::string suffix = "/" + DataFile;
    for (auto p = s.find(suffix); p != std::string::npos; p = s.find(suffix)) s.erase(p, suffix.size());
    return s;
}

// The data set of DbPath on the data module's data database for the
// lifetime of the object: a connection made here is closed at its end.
class OnDataSet {
public:
    OnDataSet(const std::string& host, const std::string& dbPath, bool testFile = true)
        : folder_(folderOfDb(dbPath)) {
        if (!DM) return;
        if (testFile && !DM->FExist(dbPath, ConnectKind)) return;
        if (DM->IBDatabaseDAT.connected()) {
            ok_ = true;
            return;
        }
        ok_ = DM->fnAccDatConnected(host, folder_, 0);
        own_ = ok_;
    }
    ~OnDataSet() {
        if (own_) DM->fnAccDatDisconnect(folder_, 0, 0);
    }
    bool ok() const { return ok_; }

private:
    std::string folder_;
    bool ok_ = false;
    bool own_ = false;
};

} // namespace

std::string TMyNumberIO::LogComment(std::uint8_t Action, const std::string& ProcName) {
    static const char* words[] = {"**", "が登録", "が変更", "が削除", "が参照", "が印刷", "を含むデータが保存",
                                  "を含むデータが復元", "を含めずにデータが保存", "が既定値に設定", "が変更"};
    const bool send = ProcName.find("送信") != std::string::npos;
    if (Action == 6 && send) return "マイナンバー情報を含むデータが送信されました。";
    if (Action == 7 && ProcName.find("受信") != std::string::npos) return "マイナンバー情報を含むデータが受信されました。";
    if (Action == 8 && send) return "マイナンバー情報を含めずにデータが送信されました。";
    if (Action == 9) return "マイナンバー管理パスワードを既定値に設定しました。";
    if (Action == 10) return "マイナンバー管理パスワードを変更しました。";
    const std::string word = Action <= 10 ? words[Action] : "";
    return "マイナンバー情報" + word + "されました。";
}

void TMyNumberIO::MakeLogRec(TMyNumberLogRec& Rec, std::uint8_t Action, const std::string& ProcName) {
    Rec = TMyNumberLogRec{};
    Rec.FOPCODE = std::to_string(SystemDef.LoginCode);
    Rec.FOPNAME = SystemDef.OpName;
    Rec.FHOST = TrimZen(FixLeftStr(SystemDef.PcName, 60));
    Rec.FSTATE = Action;
    Rec.FPROCNAME = TrimZen(FixLeftStr(ProcName, 40));
    Rec.FCOMMENT = TrimZen(FixLeftStr(LogComment(Action, ProcName), 100));
}

void TMyNumberIO::LoadLogList(std::uint8_t Order) {
    LogCount = 0;
    LogList.clear();
    CompanyName.clear();
    db::TxScope scope(DM->IBTransactionDAT);
    try {
        auto q = DM->IBQACC1("SELECT SHOUGOU FROM ACCDEF1\nWHERE REC=1");
        q->execute();
        while (q->fetch()) CompanyName = q->asString(0);
        q->prepare("SELECT COUNT(FSERIAL) AS RECCNT FROM MYNUMBER_LOG");
        q->execute();
        if (q->fetch()) LogCount = q->asInt(0);
        q->close();
        if (LogCount > 0) {
            q->prepare(std::string("SELECT FHIZUKE,FSERIAL,FOPCODE,FOPNAME,FHOST,FSTATE,FPROCNAME,FCOMMENT\n"
                                   "FROM MYNUMBER_LOG\n") +
                       (Order == 1 ? "ORDER BY FHIZUKE DESC,FSERIAL,FOPCODE" : "ORDER BY FHIZUKE,FSERIAL,FOPCODE"));
            q->execute();
            while (static_cast<int>(LogList.size()) < LogCount && q->fetch()) {
                TMyNumberLogRec r;
                r.FHIZUKE = q->asDateTime(0);
                r.FSERIAL = q->asString(1);
                r.FOPCODE = q->asString(2);
                r.FOPNAME = q->asString(3);
                r.FHOST = q->asString(4);
                r.FSTATE = static_cast<std::uint8_t>(q->asInt(5));
                r.FPROCNAME = q->asString(6);
                r.FCOMMENT = q->asString(7);
                LogList.push_back(r);
            }
            q->close();
        }
        scope.commit();
    } catch (const std::exception& e) {
        scope.rollback();
        ErrorDetailMsg("管理ログリストの取得に失敗しました。", e.what());
    }
}

void TMyNumberIO::LoadLogListOf(const std::string& Host, const std::string& DbPath) {
    OnDataSet on(Host, DbPath);
    if (on.ok()) LoadLogList(0);
}

void TMyNumberIO::AddLog(TMyNumberLogRec& Rec) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        db::TxScope scope(DM->IBTransactionDAT);
        // Inside a caller's transaction a failed insert undoes only itself.
        const bool nested = !scope.owns();
        try {
            if (nested) DM->IBQACC2("SAVEPOINT MYNUMBER_ADDLOG")->execute();
            if (Rec.FHIZUKE.isNull()) Rec.FHIZUKE = nowStamp();
            auto q = DM->IBQACC2("INSERT INTO MYNUMBER_LOG(FHIZUKE,FSERIAL,FOPCODE,FOPNAME,FHOST,FSTATE,FPROCNAME,"
                                 "FCOMMENT)\nVALUES(:FHIZUKE,:FSERIAL,:FOPCODE,:FOPNAME,:FHOST,:FSTATE,:FPROCNAME,"
                                 ":FCOMMENT)");
            q->setDateTime("FHIZUKE", Rec.FHIZUKE);
            q->setString("FSERIAL", Rec.FSERIAL);
            q->setString("FOPCODE", Rec.FOPCODE);
            q->setString("FOPNAME", Rec.FOPNAME);
            q->setString("FHOST", Rec.FHOST);
            q->setInt("FSTATE", Rec.FSTATE);
            q->setString("FPROCNAME", Rec.FPROCNAME);
            q->setString("FCOMMENT", Rec.FCOMMENT);
            q->execute();
            if (nested) DM->IBQACC2("RELEASE SAVEPOINT MYNUMBER_ADDLOG")->execute();
            scope.commit();
            return;
        } catch (const db::FbError& e) {
            if (nested) {
                try {
                    DM->IBQACC2("ROLLBACK TO SAVEPOINT MYNUMBER_ADDLOG")->execute();
                } catch (const std::exception&) {
                }
            } else {
                scope.rollback();
            }
            if (e.errorCode() == kUniqueViolation) {
                Rec.FHIZUKE = {};
                platform::waitMs(2);
                continue;
            }
            IBErrorReport(e, "TMyNumberIO.AddLog", "管理ログリストの追加に失敗しました。", true);
            return;
        } catch (const std::exception& e) {
            if (!nested) scope.rollback();
            ErrorDetailMsg("管理ログリストの追加に失敗しました。", e.what());
            return;
        }
    }
}

void TMyNumberIO::AddLogTo(TMyNumberLogRec& Rec, const std::string& Host, const std::string& DbPath) {
    OnDataSet on(Host, DbPath);
    if (on.ok()) AddLog(Rec);
}

void TMyNumberIO::MergeLog(const std::string& Host, const std::string& DbPath) {
    if (CompanyName.empty()) return;
    OnDataSet on(Host, DbPath);
    if (!on.ok()) return;
    db::TxScope scope(DM->IBTransactionDAT);
    try {
        std::string target;
        auto q = DM->IBQACC1("SELECT SHOUGOU FROM ACCDEF1\nWHERE REC=1");
        q->execute();
        while (q->fetch()) target = q->asString(0);
        if (target == CompanyName) {
            q->prepare("SELECT COUNT(FHIZUKE) AS RECCNT FROM MYNUMBER_LOG\n"
                       "WHERE (FHIZUKE=:FHIZUKE) AND (FSERIAL=:FSERIAL) AND (FOPCODE=:FOPCODE) AND (FHOST=:FHOST)");
            for (auto row : LogList) {
                q->setDateTime("FHIZUKE", row.FHIZUKE);
                q->setString("FSERIAL", row.FSERIAL);
                q->setString("FOPCODE", row.FOPCODE);
                q->setString("FHOST", row.FHOST);
                q->execute();
                const int n = q->fetch() ? q->asInt(0) : 0;
                q->close();
                if (n == 0) AddLog(row);
            }
        }
        scope.commit();
    } catch (const std::exception& e) {
        scope.rollback();
        ErrorDetailMsg("管理ログリストのマージに失敗しました。", e.what());
    }
}

void TMyNumberIO::DeleteLog(const TMyNumberLogRec& Rec) {
    db::TxScope scope(DM->IBTransactionDAT);
    try {
        auto q = DM->IBQACC1("DELETE FROM MYNUMBER_LOG\n"
                             "WHERE (FHIZUKE=:FHIZUKE) AND (FSERIAL=:FSERIAL) AND (FOPCODE=:FOPCODE)");
        q->setDateTime("FHIZUKE", Rec.FHIZUKE);
        q->setString("FSERIAL", Rec.FSERIAL);
        q->setString("FOPCODE", Rec.FOPCODE);
        q->execute();
        scope.commit();
    } catch (const std::exception& e) {
        scope.rollback();
        ErrorDetailMsg("管理ログリストの削除に失敗しました。", e.what());
    }
}

void TMyNumberIO::ReadSetting(const std::string& Host, const std::string& DbPath, const std::string& Command,
                              const std::string& ProcName) {
    MyNumberUse = 0;
    KeyText.clear();
    ValueText.clear();
    OnDataSet on(Host, DbPath);
    if (!on.ok()) return;
    db::TxScope scope(DM->IBTransactionDAT);
    try {
        MyNumberUse = funcGetAccReg(kGroup, "＃USE", "整数", "0").asInt();
        KeyText = funcGetAccReg(kGroup, "＃KEY", "文字", "").asText();
        ValueText = funcGetAccReg(kGroup, "＃VALUE", "文字", "").asText();
        std::string decoded;
        if (!KeyText.empty()) {
            ExternalDecodeText(KeyText, decoded);
            KeyText = decoded;
        }
        if (!ValueText.empty()) {
            decoded.clear();
            ExternalDecodeText(ValueText, decoded);
            ValueText = decoded;
        }
        std::string cmd = Command;
        for (auto& c : cmd) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (cmd == "MYNUMBER_CLEAR") {
            funcPutAccReg(kGroup, "＃USE", "整数", TRegValue(0));
            funcDelAccReg(kGroup, "＃KEY");
            funcDelAccReg(kGroup, "＃VALUE");
            MakeLogRec(LogRec, 3, ProcName.empty() ? "アプリケーション" : ProcName);
            AddLog(LogRec);
        }
        scope.commit();
    } catch (const std::exception& e) {
        scope.rollback();
        ErrorDetailMsg("マイナンバー情報の取得に失敗しました。", e.what());
    }
}

void TMyNumberIO::WriteSetting(const std::string& Host, const std::string& DbPath) {
    if (MyNumberUse != 1) return;
    OnDataSet on(Host, DbPath, false);
    if (!on.ok()) return;
    funcPutAccReg(kGroup, "＃USE", "整数", TRegValue(MyNumberUse));
    std::string enc;
    ExternalEncodeText(KeyText, enc);
    if (!enc.empty()) funcPutAccReg(kGroup, "＃KEY", "文字", TRegValue(enc));
    enc.clear();
    ExternalEncodeText(ValueText, enc);
    if (!enc.empty()) funcPutAccReg(kGroup, "＃VALUE", "文字", TRegValue(enc));
    DeleteLog(LogRec);
}

bool InputMyNumberPassword(const std::string& Password) {
    if (!SystemDef.MyNumberAdmin) return true;
    if (Password.empty()) return false;
    platform::InputRequest r;
    r.title = "マイナンバー管理パスワードの確認";
    r.prompt = "マイナンバー管理パスワードを入力して下さい。";
    r.maxLength = 8;
    r.password = true;
    r.mode = 1;
    r.imeMode = 0;
    r.keyFilter = 30;
    r.hint = "パスワード(英数字8文字以内)を入力し、[OK]ボタンを押して下さい。3回続けて失敗すると呼出し元の画面に戻ります。";
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) {
            r.prompt = "正しいパスワードを入力して下さい。";
            r.promptColor = 0x0000FF;
        }
        r.value.clear();
        if (!platform::prompt().input(r)) return false;
        if (TrimZen(r.value) == Password) return true;
    }
    return false;
}
