// Operator lists.
#include "accdb/UserList.h"

#include <stdexcept>

#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "db/Statement.h"

namespace {

std::string cells(const std::string& a, const std::string& b) { return "\"" + a + "\"\t\"" + b + "\""; }

std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string t;
    for (const auto& l : lines) t += l + "\r\n";
    return t;
}

constexpr const char* kUserListText = "ユーザーリストの取得に失敗しました。";

} // namespace

TUserList::TUserList()
    : own_(std::make_unique<db::Transaction>(DM->IBDatabaseDEF, db::TxKind::ReadCommitted)), sys_(own_.get()),
      dat_(own_.get()) {}

TUserList::~TUserList() = default;

void TUserList::Clear() {
    Entries.clear();
    Lines.clear();
    Count = 0;
}

int TUserList::GetOpCode(int Index) const {
    return Index >= 0 && Index < Count && Index < static_cast<int>(Entries.size()) ? Entries[Index].OPCODE : 0;
}

void TUserList::GetText(std::string& Text) const { Text = joinCrLf(Lines); }

void TUserList::SetTransaction(db::Transaction* Transaction, int Which) {
    if (Which == -1 || !Transaction) {
        sys_ = dat_ = own_.get();
    } else if (Which == 0) {
        sys_ = Transaction;
    } else {
        dat_ = Transaction;
    }
}

int TUserList::IndexOfOpCode(int OpCode) const {
    for (std::size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].OPCODE == OpCode) return static_cast<int>(i);
    return -1;
}

void TUserList::Execute() {
    Clear();
    if (!FirstName.empty()) {
        TUserListRec r;
        r.GROUPID = GroupId;
        r.OPNAME = FirstName;
        r.JOBLEVEL = 9;
        Entries.push_back(r);
        Lines.push_back(GridMode ? cells(FirstName, "") : FirstName);
    }
    db::Transaction& tx = *sys_;
    const bool own = !tx.active();
    if (own) tx.start();
    try {
        const std::string where = std::string("WHERE (O.GROUPID=:GROUPID) AND (O.OPCODE>=10)\n") +
                                  (ApprovedOnly ? "AND (SHONIN>0)\n" : "");
        int count = 0;
        {
            db::Statement c(tx, "SELECT COUNT(O.GROUPID) AS RECCNT FROM OPERATOR O\n"
                                "INNER JOIN LEVELNAME L ON (O.JOBLEVEL=L.LEVELNO)\n" + where);
            c.setInt("GROUPID", GroupId);
            c.execute();
            count = c.fetch() ? c.asInt(0) : 0;
            c.close();
        }
        if (count > 0) {
            Entries.reserve(Entries.size() + count);
            std::string sql = "SELECT O.GROUPID,O.OPCODE,O.OPNAME,O.JOBLEVEL,L.NAME,O.PASWORD,O.DATAPAS,O.JIMUSHO,"
                              "O.OKINIIRI,O.KANSA,O.MYNUMBER_ADM,O.SHONIN\nFROM OPERATOR O\n"
                              "INNER JOIN LEVELNAME L ON (O.JOBLEVEL=L.LEVELNO)\n" + where + "ORDER BY O.OPCODE";
            // Databases without the two newest columns.
            const std::string older =
                "SELECT O.GROUPID,O.OPCODE,O.OPNAME,O.JOBLEVEL,L.NAME,O.PASWORD,O.DATAPAS,O.JIMUSHO,"
                "O.OKINIIRI,O.KANSA,0 AS MYNUMBER_ADM,0 AS SHONIN\nFROM OPERATOR O\n"
                "INNER JOIN LEVELNAME L ON (O.JOBLEVEL=L.LEVELNO)\n"
                "WHERE (O.GROUPID=:GROUPID) AND (O.OPCODE>=10)\nORDER BY O.OPCODE";
            std::unique_ptr<db::Statement> q;
            for (int attempt = 1;; ++attempt) {
                try {
                    q = std::make_unique<db::Statement>(tx, sql);
                    q->setInt("GROUPID", GroupId);
                    q->execute();
                    break;
                } catch (const db::FbError&) {
                    if (attempt >= 4) throw std::runtime_error("OPERATORテーブル参照クエリーの作成エラー");
                    sql = older;
                }
            }
            while (q->fetch()) {
                TUserListRec r;
                r.GROUPID = q->asInt(0);
                r.OPCODE = q->asInt(1);
                r.OPNAME = q->asString(2);
                r.JOBLEVEL = q->asInt(3);
                r.LEVELNAME = q->asString(4);
                r.PASWORD = q->asString(5);
                r.JIMUSHO = q->asInt(7) != 0;
                r.OKINIIRI = q->asInt(8) != 0;
                r.MYNUMBER_ADM = q->asInt(10) != 0;
                r.SHONIN = q->asInt(11) != 0;
                Lines.push_back(GridMode ? cells(std::to_string(r.OPCODE), r.OPNAME)
                                         : std::to_string(r.OPCODE) + ":" + r.OPNAME);
                Entries.push_back(std::move(r));
            }
        }
        if (own) tx.commit();
        Count = static_cast<int>(Lines.size());
    } catch (const db::FbError& e) {
        Count = static_cast<int>(Lines.size());
        if (!own) throw;
        IBErrorReport(e, "TUserList.Execute", kUserListText, false);
        try { tx.commit(); } catch (const std::exception&) { tx.rollbackNoThrow(); }
    } catch (const std::exception& e) {
        Count = static_cast<int>(Lines.size());
        if (!own) throw;
        ErrorDetailMsg(kUserListText, e.what());
        try { tx.commit(); } catch (const std::exception&) { tx.rollbackNoThrow(); }
    }
}

// ---------------------------------------------------------------- logged on

int TLoginUserList::GetOperatorCode(int Index) const {
    return Index >= 0 && Index < Count && Index < static_cast<int>(Entries.size()) ? Entries[Index].OPERATORCODE : 0;
}

void TLoginUserList::GetOperatorName(int Index, std::string& Name) const {
    Name = Index >= 0 && Index < Count && Index < static_cast<int>(Entries.size()) ? Entries[Index].OPNAME : "";
}

void TLoginUserList::Clear() {
    Entries.clear();
    Lines.clear();
    Count = 0;
    OpCode = 0;
}

TLoginUserListOnDef::TLoginUserListOnDef() : tx_(&DM->IBTransactionDEF) {}

void TLoginUserListOnDef::Execute(int Group, int Op, bool Self) {
    Clear();
    GroupId = Group;
    OpCode = Op;
    IncludeSelf = Self;
    db::Transaction& tx = *tx_;
    const bool own = !tx.active();
    if (own) tx.start();
    const char* text = "ログインユーザーリストの取得に失敗しました。";
    try {
        std::string sql = "SELECT L.OPERATORCODE,L.PCNAME,O.OPNAME FROM LOGONUSERLIST L\n"
                          "INNER JOIN OPERATOR O ON(L.GROUPID=O.GROUPID AND L.OPERATORCODE=O.OPCODE)\n"
                          "WHERE L.GROUPID=:GROUPID\n";
        if (!IncludeSelf) sql += "AND L.OPCODE<>:OPCODE\n";
        sql += "GROUP BY L.OPERATORCODE,L.PCNAME,O.OPNAME\nORDER BY L.OPERATORCODE";
        db::Statement q(tx, sql);
        q.setInt("GROUPID", GroupId);
        if (!IncludeSelf) q.setInt("OPCODE", OpCode);
        q.execute();
        while (q.fetch()) {
            TLoginUserListRec r{q.asInt(0), q.asString(2), q.asString(1)};
            Lines.push_back(std::to_string(r.OPERATORCODE) + ":" + r.OPNAME);
            Entries.push_back(std::move(r));
        }
        Count = static_cast<int>(Lines.size());
        if (own) tx.commit();
    } catch (const db::FbError& e) {
        if (own) {
            IBErrorReport(e, "TLoginUserListOnDef.Execute", text, false);
            try { tx.commit(); } catch (const std::exception&) { tx.rollbackNoThrow(); }
        }
        throw;
    } catch (const std::exception& e) {
        if (own) {
            ErrorDetailMsg(text, e.what());
            try { tx.commit(); } catch (const std::exception&) { tx.rollbackNoThrow(); }
        }
        throw;
    }
}
