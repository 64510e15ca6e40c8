// Code-system store.
#include "accdb/CodeTaikeiIO.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "accdb/AccRecord.h"
#include "accdb/AppInfo.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "db/Statement.h"
#include "platform/Prompt.h"
#include "accdb/AccFunction.h"
#include "platform/TextCodec.h"

namespace {

int intOrZero(const std::string& s) { return StrToIntDef(s, 0); }

// INIDAT list (0-based) of a line kind; -1 for lines that are ignored.
int listOf(int kind) {
    if (kind >= 1 && kind <= 8) return kind - 1;
    switch (kind) {
    case 21: case 22: return 1;
    case 31: case 32: case 33: case 34: return 2;
    case 71: return 6;
    default: return -1;
    }
}

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string t;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) t += "\r\n";
        t += lines[i];
    }
    return t;
}

std::vector<std::string> readLines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + file);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string text = platform::fromCp932(bytes);
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += text[i];
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

} // namespace

TCodeTaikeiIO::TCodeTaikeiIO() : tx_(&DM->IBTransactionDEF) { KubunSyufuku(); }

TCodeTaikeiRec2 TCodeTaikeiIO::ParseLines(const std::vector<std::string>& Lines, int RecNo) {
    TCodeTaikeiRec2 rec;
    rec.RecNo = RecNo;
    TMojiBunkatu split;
    split.Delimiter = ',';
    split.Mode = 0;
    for (const auto& line : Lines) {
        split.Split(line);
        const int kind = intOrZero(split.GetItem(0));
        const int list = listOf(kind);
        if (list < 0) continue;
        if (kind == 1) {
            rec.Name = split.GetItem(1);
            rec.DataType = intOrZero(split.GetItem(2));
            rec.CodeType = intOrZero(split.GetItem(3));
            if (split.Count > 5) rec.SeihinKubun = split.GetItem(5);
        }
        rec.IniDat[list].push_back(line);
    }
    return rec;
}

bool TCodeTaikeiIO::ImportFile(const std::string& FileName, int RecNo) {
    TCodeTaikeiRec2 rec;
    try {
        rec = ParseLines(readLines(FileName), RecNo);
    } catch (const std::exception& e) {
        ErrorDetailMsg("コード体系の更新に失敗しました。", e.what());
        return false;
    }
    std::string message;
    if (!CheckSeihinKubun(rec.SeihinKubun, message)) {
        if (!message.empty()) {
            platform::PromptMessage m;
            m.source = "TCodeTaikeiIO";
            m.kind = platform::pkInformation;
            m.setText(message);
            platform::prompt().show(m);
        }
        return false;
    }
    return UpDateRecored(rec);
}

bool TCodeTaikeiIO::UpDateRecored(const TCodeTaikeiRec2& Rec) {
    if (Rec.Name.empty() || Rec.DataType == 0 || Rec.CodeType == 0) return false;
    const char* text = "コード体系の更新に失敗しました。";
    try {
        db::TxScope scope(*tx_);
        db::Statement q(*tx_, "UPDATE USERCODE SET NAME=:NAME,DATATYPE=:DATATYPE,CODETYPE=:CODETYPE,\n"
                              "INIDAT1=:INIDAT1,INIDAT2=:INIDAT2,INIDAT3=:INIDAT3,INIDAT4=:INIDAT4,INIDAT5=:INIDAT5,"
                              "INIDAT6=:INIDAT6,INIDAT7=:INIDAT7,INIDAT8=:INIDAT8\nWHERE RECNO=:RECNO");
        q.setInt("RECNO", Rec.RecNo);
        q.setString("NAME", Rec.Name);
        q.setInt("DATATYPE", Rec.DataType);
        q.setInt("CODETYPE", Rec.CodeType);
        for (int i = 0; i < 8; ++i) q.setBlobText("INIDAT" + std::to_string(i + 1), joinCrLf(Rec.IniDat[i]));
        q.execute();
        scope.commit();
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TCodeTaikeiIO.UpDateRecored", text, false);
    } catch (const std::exception& e) {
        ErrorDetailMsg(text, e.what());
    }
    return false;
}

void TCodeTaikeiIO::KubunSyufuku() {
    const char* text = "コード体系の区分修復に失敗しました。";
    try {
        db::TxScope scope(*tx_);
        struct Fix {
            int rec, dataType, codeType;
        };
        std::vector<Fix> fixes;
        {
            db::Statement q(*tx_, "SELECT RECNO,INIDAT1 FROM USERCODE\nWHERE DATATYPE=1 AND CODETYPE=1");
            q.execute();
            while (q.fetch()) {
                split_.Delimiter = ',';
                split_.Split(q.asString(1));
                const int dt = intOrZero(split_.GetItem(2));
                const int ct = intOrZero(split_.GetItem(3));
                if (dt != 1) fixes.push_back({q.asInt(0), dt, ct});
            }
        }
        for (const auto& f : fixes) {
            db::Statement u(*tx_, "UPDATE USERCODE SET DATATYPE=:DATATYPE,CODETYPE=:CODETYPE\nWHERE RECNO=:RECNO");
            u.setInt("DATATYPE", f.dataType);
            u.setInt("CODETYPE", f.codeType);
            u.setInt("RECNO", f.rec);
            u.execute();
        }
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TCodeTaikeiIO.KubunSyufuku", text, false);
    } catch (const std::exception& e) {
        ErrorDetailMsg(text, e.what());
    }
}

bool TCodeTaikeiIO::CheckSeihinKubun(const std::string& Kind, std::string& Message) const {
    const std::string expected = AppInfo.OEM + AppInfo.VerTest;
    Message.clear();
    bool ok = false;
    if (OemEdition == 0) ok = Kind.empty() || Kind == expected;
    else if (OemEdition == 1 || OemEdition == 2) ok = Kind == expected;
    else return false;
    if (!ok)
        Message = "このプログラムでは、該当のデータ（製品区分）を処理することが出来ません。" + AppInfo.AppTitle +
                  "以外で作成されたデータの可能性があります。";
    return ok;
}
