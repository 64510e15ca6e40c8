// Small lookups of the data module on the open data set: total names,
// system accounts, the operator's rights and default facility, versions,
// table and column existence and journal counts.
#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "accdb/AccFunction.h"
#include "accdb/AccInf.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "accdb/ZanCmpLayout.h"

namespace {

const char* const kOpeDefSisetuText = "通常使用するデータ（本・支店）の取得に失敗しました。";

// Commits what the scope started; a failing commit is not the caller's
// concern once the real error has been reported.
void commitQuiet(db::TxScope& scope) noexcept {
    try {
        scope.commit();
    } catch (...) {
    }
}

bool isBlankText(const std::string& s) { return TrimZen(s).empty(); }

// The operator's all-rights switch of the system settings, once the
// operator settings carry it.
template <class S>
int allKengenSwitchOf(const S& s) {
    if constexpr (requires { s.AllKengenSwitch; })
        return s.AllKengenSwitch;
    else
        return 0;
}

// A column name taken into SQL text must be a plain identifier.
void requireIdentifier(const std::string& name) {
    const bool ok = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '$';
    });
    if (!ok) throw std::invalid_argument("invalid column name: " + name);
}

} // namespace

void TDM::fnGetAccTotalName(const std::string& KGroup, const std::string& Column, std::string& Name) {
    Name.clear();
    db::TxScope scope(IBTransactionDAT);
    try {
        requireIdentifier(Column);
        auto q = IBQACC1("SELECT " + Column + " FROM ACCTOTALNAME\nWHERE KGROUP=:KGROUP");
        q->setString("KGROUP", KGroup);
        q->execute();
        while (q->fetch()) Name = q->asString(0);
        q->close();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetAccTotalName", "集計名称の取得に失敗しました。", true);
    } catch (const std::exception& e) {
        ErrorDetailMsg("集計名称の取得に失敗しました。", e.what());
    }
    commitQuiet(scope);
}

bool TDM::InitKessanLayout() { return SetKessanLayoutKind(AccInf.DATATYPE, AccInf.CODETYPE); }

bool TDM::SetKessanLayoutKind(int DataType, int CodeType) {
    const bool medical = DataType == 3 && CodeType == 1;
    SetZanCmpLayout(medical ? 1 : 0);
    LoadSikinguriKoumoku(medical ? 1 : 0);
    return medical;
}

bool TDM::IsAllKengen() {
    return allKengenSwitchOf(SystemDef.Settings) == 1 || SystemDef.AllRights || SystemDef.JobLevel == 9;
}

bool TDM::SetJobControl(const std::string& ProcId, const std::string& Option) {
    const std::int16_t level = static_cast<std::int16_t>(SystemDef.JobLevel + 1000 * AccInf.Iryou);
    db::TxScope scope(IBTransactionDEF);
    bool result = false;
    try {
        auto c = IBSQLDEF("SELECT COUNT(PROC_ID) AS REC_CNT FROM JOBCONTROL2\nWHERE LEVELNO=:LEVELNO");
        c->setInt("LEVELNO", level);
        c->execute();
        const int count = c->fetch() ? c->asInt(0) : 0;
        c->close();
        if (count == 0) {
            result = true;
        } else {
            std::string sql = "SELECT PROC_ID,PROC_OPTION FROM JOBCONTROL2\n"
                              "WHERE (LEVELNO=:LEVELNO) AND (PROC_ID=:PROC_ID)";
            const bool withOption = !isBlankText(Option);
            if (withOption) sql += "\nAND (PROC_OPTION LIKE :PROC_OPTION)";
            auto q = IBSQLDEF(sql);
            q->setInt("LEVELNO", level);
            q->setString("PROC_ID", ProcId);
            if (withOption) q->setString("PROC_OPTION", "%" + Option + "%");
            q->execute();
            result = q->fetch();
            q->close();
        }
        scope.commit();
    } catch (const db::FbError& e) {
        result = false;
        if (scope.owns()) {
            IBErrorReport(e, "TDM.SetJobControl", "メニュー制御情報の取得に失敗しました。", true);
            commitQuiet(scope);
        }
    }
    return result;
}

bool TDM::fnGetExistsOpeDefSisetu() {
    if (IsAllKengen()) return true;
    bool found = false;
    db::TxScope scope(IBTransactionDAT);
    try {
        auto q = IBQACC1("SELECT OD.OPCODE,OD.SCODE FROM OPDEFSISETU OD\n"
                         "INNER JOIN OPLICENSE OL ON (OD.OPCODE=OL.OPCODE)\n"
                         "WHERE OD.OPCODE=:OPCODE");
        q->setInt("OPCODE", SystemDef.OpCode);
        q->execute();
        found = q->fetch();
        q->close();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetExistsOpeDefSisetu", kOpeDefSisetuText, true);
        found = false;
    } catch (const std::exception& e) {
        ErrorDetailMsg(kOpeDefSisetuText, e.what());
        found = false;
    }
    commitQuiet(scope);
    return found;
}

void TDM::GetOpeDefSisetu(std::string& Name) {
    Name.clear();
    db::TxScope scope(IBTransactionDAT);
    try {
        const bool medical = AccInf.Iryou != 0;
        // Runs one statement; every row (the last one wins) sets the default.
        auto take = [&](const std::string& sql, bool withOp) {
            auto q = IBQACC1(sql);
            if (withOp) q->setInt("OPCODE", SystemDef.OpCode);
            q->execute();
            bool any = false;
            while (q->fetch()) {
                any = true;
                std::string code = q->asString("SCODE");
                if (code.empty()) code = " ";
                SystemDef.SisetuCode = code;
                SystemDef.CurSisetuCode = code;
                SystemDef.SisetuKind = q->asInt("JIGYOKBN");
                SystemDef.SisetuColor = GetStyleColorValue(q->asString("XSTR"));
                Name = q->asString("SNAME");
            }
            q->close();
            return any;
        };
        bool found = false;
        if (IsAllKengen()) {
            if (!medical && AccInf.SITEN == 0)
                found = take("SELECT ' ' AS SCODE,SHOUGOU AS SNAME,1 AS JIGYOKBN,0 AS XSTR FROM ACCDEF1", false);
            else if (!medical)
                found = take("SELECT SCODE,SNAME,1 AS JIGYOKBN,XSTR FROM SISETUMST\n"
                             "WHERE SCODE=(SELECT MIN(SCODE) FROM SISETUMST WHERE SCODE<>'')",
                             false);
            else if (AccInf.SITEN == 0)
                throw std::runtime_error("このデータは医療法人データですが、施設管理がおこなわれていません。\r"
                                         "データが損傷している可能性があります。");
            else
                found = take("SELECT SCODE,SNAME,MB_JIGYOU AS JIGYOKBN,XSTR FROM SISETUMST\n"
                             "WHERE SCODE=(SELECT MIN(SCODE) FROM SISETUMST WHERE (SCODE<>'') AND (SCODE<>'00'))",
                             false);
        } else if (!medical) {
            found = take("SELECT O.SCODE,S.SNAME,1 AS JIGYOKBN,S.XSTR FROM OPDEFSISETU O\n"
                         "INNER JOIN SISETUMST S ON (O.SCODE=S.SCODE)\n"
                         "WHERE OPCODE=:OPCODE",
                         true);
        } else {
            found = take("SELECT O.SCODE,S.SNAME,S.MB_JIGYOU AS JIGYOKBN,S.XSTR FROM OPDEFSISETU O\n"
                         "INNER JOIN SISETUMST S ON (O.SCODE=S.SCODE)\n"
                         "WHERE OPCODE=:OPCODE",
                         true);
        }
        if (medical && !found)
            take("SELECT SCODE,SNAME,MB_JIGYOU AS JIGYOKBN,XSTR FROM SISETUMST\nWHERE SCODE='00'", false);
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.GetOpeDefSisetu", kOpeDefSisetuText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kOpeDefSisetuText, e.what());
    }
    commitQuiet(scope);
}

bool TDM::HasAllSitenKengen(int OpCode) {
    if (AccInf.SITEN == 0) return true;
    // The branch rows the branch list offers for everybody and for the
    // operator: the operator holds every branch when both counts agree. An
    // operator with all rights is listed as everybody.
    if (IsAllKengen()) return true;
    db::TxScope scope(IBTransactionDAT);
    int all = 0, own = 0;
    try {
        auto a = IBQACC1("SELECT COUNT(*) FROM SISETUMST S\nWHERE (S.SCODE<>'')");
        a->execute();
        all = a->fetch() ? a->asInt(0) : 0;
        a->close();
        auto o = IBQACC1("SELECT COUNT(*) FROM SISETUMST S\n"
                         "INNER JOIN OPLICENSE O ON (O.SCODE=S.SCODE)\n"
                         "WHERE (S.SCODE<>'') AND (O.OPCODE=:OPCODE)");
        o->setInt("OPCODE", OpCode);
        o->execute();
        own = o->fetch() ? o->asInt(0) : 0;
        o->close();
        scope.commit();
    } catch (const db::FbError& e) {
        if (scope.owns()) {
            IBErrorReport(e, "TSitenList.Execute", "支店リストの取得に失敗しました。", true);
            commitQuiet(scope);
        }
        throw;
    }
    return all == own;
}

void TDM::GetStyleValue(const std::string& Text, const std::string& Name, std::string& Value) {
    std::string upper = Name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "COLOR") {
        Value = std::to_string(GetStyleColorValue(Text));
        return;
    }
    GetTextValue(Text, upper, Value);
}

int TDM::GetStyleColorValue(const std::string& Text) {
    std::string v;
    GetTextValue(Text, "COLOR", v);
    v = TrimZen(v);
    long long n = 0;
    if (!v.empty()) {
        try {
            size_t used = 0;
            n = std::stoll(v, &used);
            if (used != v.size()) n = 0;
        } catch (...) {
            n = 0;
        }
    }
    if (n <= 0 || n > 0x7FFFFFFF) return 0xFFAF80;
    return static_cast<int>(n);
}

void TDM::fnGetDataBaseVer(std::string& Version) {
    Version = "0.0.0";
    try {
        if (IBTransactionDAT.active()) IBTransactionDAT.commit();
        IBTransactionDAT.start();
        auto q = IBQACC1("SELECT MAJOR,MINOR1,MINOR2 FROM ACCVERSION WHERE REC=1");
        q->execute();
        if (q->fetch())
            Version = std::to_string(q->asInt(0)) + "." + std::to_string(q->asInt(1)) + "." +
                      std::to_string(q->asInt(2));
        q->close();
        IBTransactionDAT.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetDataBaseVer", "データベースのバージョンの取得に失敗しました。", true);
        IBTransactionDAT.rollbackNoThrow();
        Version = "0.0.0";
    }
}

bool TDM::fnExistence_Table(const std::string& Table) {
    try {
        if (!IBTransactionDAT.active()) IBTransactionDAT.start();
        auto q = IBQACC1("SELECT Count(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME=:Table_NAME");
        q->setString("Table_NAME", Table);
        q->execute();
        const bool exists = q->fetch() && q->asInt(0) > 0;
        q->close();
        return exists;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnExistence_Table", "テーブルの存在情報の取得に失敗しました。", true);
        return false;
    }
}

bool TDM::fnExistence_Field(const std::string& Table, const std::string& Field) {
    try {
        if (!IBTransactionDAT.active()) IBTransactionDAT.start();
        auto q = IBQACC1("SELECT count(*) FROM RDB$RELATION_FIELDS WHERE (RDB$RELATION_NAME=:TABLE_NAME) AND "
                         "(RDB$FIELD_NAME=:FIELD_NAME )");
        q->setString("TABLE_NAME", Table);
        q->setString("FIELD_NAME", Field);
        q->execute();
        const bool exists = q->fetch() && q->asInt(0) > 0;
        q->close();
        return exists;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnExistence_Field", "テーブル項目の存在情報の取得に失敗しました。", true);
        return false;
    }
}

namespace {

int countOf(db::Statement& q) {
    q.execute();
    const int n = q.fetch() ? q.asInt(0) : 0;
    q.close();
    return n;
}

} // namespace

// Counts raise their errors to the caller, after reporting a database error
// of a transaction they started themselves.
#define ZR_COUNT_GUARD(context, body)                                                                                \
    db::TxScope scope(IBTransactionDAT);                                                                             \
    try {                                                                                                            \
        body;                                                                                                        \
        scope.commit();                                                                                              \
    } catch (const db::FbError& e) {                                                                                 \
        if (scope.owns()) IBErrorReport(e, context, "", true);                                                       \
        commitQuiet(scope);                                                                                          \
        throw;                                                                                                       \
    } catch (...) {                                                                                                  \
        commitQuiet(scope);                                                                                          \
        throw;                                                                                                       \
    }

namespace {

int yukouCount(TDM& dm, const std::string& SCode) {
    const bool withScode = !isBlankText(SCode);
    if (LogonMode <= 2) {
        auto q = withScode ? dm.IBQACC1("SELECT SIWAKECOUNT AS SWKCNT FROM SISETUMST\nWHERE (SCODE=:SCODE)")
                           : dm.IBQACC1("SELECT SUM(SIWAKECOUNT) AS SWKCNT FROM SISETUMST");
        if (withScode) q->setString("SCODE", SCode);
        return countOf(*q);
    }
    if (LogonMode == 3) {
        const std::string genkin = AccInf.SysKCode[0];
        const bool scoded = !SCode.empty();
        std::string a = "SELECT COUNT(REC) AS SWKCNT FROM SIWAKE\nWHERE (DELFLG=0) AND (KCODE=:KCODE)";
        std::string b = "SELECT COUNT(REC) AS SWKCNT FROM SIWAKE\n"
                        "WHERE (DELFLG=0) AND ((KCODE=:KCODE) AND ((R_KCODE=:R_KCODE)))";
        if (scoded) {
            a += "\nAND (SCODE=:SCODE)";
            b += "\nAND (SCODE=:SCODE)";
        }
        auto qa = dm.IBQACC1(a);
        qa->setString("KCODE", genkin);
        if (scoded) qa->setString("SCODE", SCode);
        const int na = countOf(*qa);
        auto qb = dm.IBQACC1(b);
        qb->setString("KCODE", genkin);
        qb->setString("R_KCODE", genkin);
        if (scoded) qb->setString("SCODE", SCode);
        const int nb = countOf(*qb);
        // A line with cash on both sides was counted on each side.
        return na - nb / 2;
    }
    return -1;
}

int upDelCount(TDM& dm, const std::string& SCode) {
    const bool withScode = !isBlankText(SCode);
    std::string sql = "SELECT COUNT(REC) AS SWKCNT FROM SIWAKE\nWHERE (DELFLG IN (1,2) AND TAISHAKU=1)";
    if (withScode) sql += "\nAND (SCODE=:SCODE)";
    auto q = dm.IBQACC1(sql);
    if (withScode) q->setString("SCODE", SCode);
    return countOf(*q);
}

} // namespace

int TDM::GetYukouSiwakeCount(const std::string& SCode) {
    int n = 0;
    ZR_COUNT_GUARD("TDM.GetYukouSiwakeCount", n = yukouCount(*this, SCode));
    return n;
}

int TDM::GetUpDelSiwakeCount(const std::string& SCode) {
    int n = 0;
    ZR_COUNT_GUARD("TDM.GetUpDelSiwakeCount", n = upDelCount(*this, SCode));
    return n;
}

int TDM::GetSiwakeCount(const std::string& SCode, int& Valid, int& UpDel) {
    Valid = 0;
    UpDel = 0;
    ZR_COUNT_GUARD("TDM.GetSiwakeCount", {
        Valid = yukouCount(*this, SCode);
        UpDel = upDelCount(*this, SCode);
    });
    return Valid + UpDel;
}

int TDM::GetSiwakeCountTotal(const std::string& SCode) {
    int valid = 0, upDel = 0;
    return GetSiwakeCount(SCode, valid, upDel);
}

#undef ZR_COUNT_GUARD

void TDM::SetSystemCode(const std::string& Name, std::string& KCode, std::string& UserCode) {
    KCode.clear();
    UserCode.clear();
    db::TxScope scope(IBTransactionDAT);
    try {
        auto q = IBQACC1("SELECT A.KCODE,K.USERCODE FROM ACCDEF2 A\n"
                         "INNER JOIN KAMOKUMST K ON (A.KCODE=K.KCODE)\n"
                         "WHERE A.KNAME=:NAME");
        q->setString("NAME", Name);
        q->execute();
        if (q->fetch()) {
            KCode = q->asString(0);
            UserCode = q->asString(1);
        }
        q->close();
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.SetSystemCode", "", true);
        scope.rollback();
        throw;
    }
}

void TDM::GetUserCode(const std::string& KCode, std::string& UserCode) {
    UserCode.clear();
    if (isBlankText(KCode)) return;
    db::TxScope scope(IBTransactionDAT);
    try {
        auto q = IBQACC1("SELECT USERCODE FROM KAMOKUMST\nWHERE KCODE=:KCODE");
        q->setString("KCODE", KCode);
        q->execute();
        if (q->fetch()) UserCode = q->asString(0);
        q->close();
        scope.commit();
    } catch (...) {
        commitQuiet(scope);
        throw;
    }
}
