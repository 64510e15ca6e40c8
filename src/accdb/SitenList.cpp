// Branch list and permissions.
#include "accdb/SitenList.h"


#include "accdb/AccFunction.h"
#include "accdb/AccInf.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "db/Statement.h"

namespace {

constexpr const char* kPermitCase = "CASE WHEN MIN(CASE WHEN S.SCODE IN (SELECT SCODE FROM OPLICENSE WHERE OPCODE=:OPCODE) THEN 1\n"
                                    "ELSE 0\nEND)=1 THEN 1\nELSE 0 END AS PERMIT\n";

std::string quoteCell(std::string s) {
    for (auto& c : s)
        if (c == '"') c = '\'';
    return "\"" + s + "\"";
}
std::string grid(const std::string& a, const std::string& b, const std::string& c) {
    return quoteCell(a) + "\t" + quoteCell(b) + "\t" + quoteCell(c);
}

struct UnitName {
    int bit;
    const char* name;
};
const UnitName kUnits[] = {{8, "病院・診療所"}, {4, "老人保健施設"}, {2, "指定訪問看護"}, {1, "その他の事業"}};

} // namespace

TSitenList::TSitenList() : tx_(&DM->IBTransactionDAT) {
    Basics.Siten = AccInf.SITEN;
    Basics.Bumon = AccInf.BUMON;
    Basics.DataType = AccInf.DATATYPE;
    Basics.Medical = AccInf.Iryou == 1;
    Basics.CompanyName = AccInf.SHOUGOU;
}

void TSitenList::Clear() {
    Lines.clear();
    Entries.clear();
    Count = 0;
    OpCode = 0;
}

void TSitenList::GetSitenCode(int Index, std::string& Code) const {
    Code = Index >= 0 && Index < Count && Index < static_cast<int>(Entries.size()) ? Entries[Index].Code : "";
}

void TSitenList::add(TSitenListRec rec, const std::string& line) {
    Entries.push_back(std::move(rec));
    Lines.push_back(line);
}

std::string TSitenList::wholeName() const {
    if (Basics.Siten == 0) return Basics.CompanyName;
    return Basics.DataType == 2 ? "総体" : "法人全体";
}

void TSitenList::Execute(int Op) {
    Clear();
    if (Basics.Medical) ExecuteMb(Op);
    else ExecuteStd(Op);
}

void TSitenList::ExecuteStd(int op) { run(op, false); }
void TSitenList::ExecuteMb(int op) { run(op, true); }

void TSitenList::run(int op, bool medical) {
    Clear();
    if (DM->IsAllKengen()) op = -1;
    OpCode = op;
    const bool own = !tx_->active();
    if (own) tx_->start();
    try {
        const bool siten = Basics.Siten != 0;
        const std::string unitCond =
            medical && BusinessUnit > 0 ? "AND (S.MB_JIGYOU=" + std::to_string(BusinessUnit) + ")\n" : "";
        auto whole = [&](int bumex) {
            TSitenListRec r{" ", wholeName(), 0, 1, bumex, 0, {}, {}};
            add(r, GridMode ? grid(r.Name, "", "") : r.Name);
        };
        // Kind 1: the whole data set.
        if (Kinds & skWhole) {
            bool permit = op == -1 || !siten;
            if (!permit) {
                db::Statement q(*tx_, std::string("SELECT\n") + kPermitCase + "FROM SISETUMST S\nWHERE S.SCODE <> ''");
                q.setInt("OPCODE", op);
                q.execute();
                permit = q.fetch() && q.asInt("PERMIT") == 1;
                q.close();
            }
            if (permit) whole(0);
        }
        // Kind 2: business units (medical) and branch groups.
        if ((Kinds & skGroup) && siten) {
            if (medical) {
                std::string sql = "SELECT S.MB_JIGYOU,COUNT(S.SCODE) AS RECCNT FROM SISETUMST S\n"
                                  "WHERE (S.SCODE NOT IN ('','00'))\n" + unitCond +
                                  "GROUP BY S.MB_JIGYOU\nORDER BY S.MB_JIGYOU DESC";
                auto counts = [&](const std::string& text, bool withOp) {
                    std::vector<std::pair<int, int>> rows;
                    db::Statement q(*tx_, text);
                    if (withOp) q.setInt("OPCODE", op);
                    q.execute();
                    while (q.fetch()) rows.emplace_back(q.asInt(0), q.asInt(1));
                    return rows;
                };
                const auto all = counts(sql, false);
                std::vector<std::pair<int, int>> mine = all;
                if (op != -1)
                    mine = counts("SELECT S.MB_JIGYOU,COUNT(S.SCODE) AS RECCNT FROM SISETUMST S\n"
                                  "INNER JOIN OPLICENSE O ON (O.SCODE=S.SCODE)\n"
                                  "WHERE (S.SCODE NOT IN ('','00')) AND (O.OPCODE=:OPCODE)\n" + unitCond +
                                  "GROUP BY S.MB_JIGYOU\nORDER BY S.MB_JIGYOU DESC",
                                  true);
                auto countOf = [](const std::vector<std::pair<int, int>>& rows, int unit) {
                    for (const auto& [u, c] : rows)
                        if (u == unit) return c;
                    return 0;
                };
                for (const auto& u : kUnits) {
                    const int n = countOf(all, u.bit);
                    if (n > 0 && countOf(mine, u.bit) == n) {
                        TSitenListRec r{" ", u.name, 1, u.bit, 0, 0, {}, {}};
                        add(r, GridMode ? grid(r.Name, "", "") : r.Name);
                    }
                }
            }
            std::string sql = op == -1 ? std::string("SELECT G.GCODE,G.GNAME, 1 AS PERMIT\n")
                                       : std::string("SELECT G.GCODE,G.GNAME,\n") + kPermitCase;
            sql += "FROM SISETUGROUPLIST S\nINNER JOIN SISETUGROUP G ON (S.GCODE=G.GCODE)\nWHERE S.SCODE <> ''\n"
                   "GROUP BY G.GCODE,G.GNAME\nORDER BY G.GCODE";
            db::Statement q(*tx_, sql);
            if (op != -1) q.setInt("OPCODE", op);
            q.execute();
            while (q.fetch()) {
                if (q.asInt("PERMIT") != 1) continue;
                TSitenListRec r{q.asString("GCODE"), q.asString("GNAME"), 1, 1, 0, 0, {}, {}};
                add(r, GridMode ? grid("(" + r.Code + ")", r.Code, r.Name) : "(" + r.Code + "):" + r.Name);
            }
        }
        // Kinds 4 and 8: branches, branches with departments.
        auto branches = [&](bool withBumon) {
            if (!siten) {
                if (!(Kinds & skWhole)) whole(withBumon ? 0 : Basics.Bumon);
                return;
            }
            std::string sql = "SELECT S.SCODE,S.SNAME,";
            if (medical) sql += "S.MB_JIGYOU,";
            if (!withBumon) sql += "S.BUMEX,";
            sql += "S.XSTR FROM SISETUMST S\n";
            if (op != -1) sql += "INNER JOIN OPLICENSE O ON (O.SCODE=S.SCODE)\n";
            sql += "WHERE (S.SCODE<>'')";
            if (withBumon) sql += " AND (S.BUMEX=1)";
            if (op != -1) sql += " AND (O.OPCODE=:OPCODE)";
            sql += "\n" + unitCond + "ORDER BY S.SCODE";
            db::Statement q(*tx_, sql);
            if (op != -1) q.setInt("OPCODE", op);
            q.execute();
            while (q.fetch()) {
                const std::string code = q.asString("SCODE");
                if (TrimZen(code).empty()) continue;
                if (medical && !IncludeCode00 && code == "00") continue;
                TSitenListRec r{code, q.asString("SNAME"), withBumon ? 3 : 2,
                                medical ? q.asInt("MB_JIGYOU") : 1, withBumon ? 1 : q.asInt("BUMEX"),
                                TDM::GetStyleColorValue(q.asString("XSTR")), {}, {}};
                add(r, GridMode ? grid(r.Code, r.Code, r.Name) : r.Code + ":" + r.Name);
            }
        };
        if (Kinds & skSiten) branches(false);
        if (Kinds & skSitenBumon) branches(true);
        Count = static_cast<int>(Lines.size());
        if (own) tx_->commit();
    } catch (const db::FbError& e) {
        if (own) {
            IBErrorReport(e, "TSitenList.Execute", "支店リストの取得に失敗しました。", false);
            try { tx_->commit(); } catch (const std::exception&) { tx_->rollbackNoThrow(); }
        }
        throw;
    } catch (const std::exception& e) {
        if (own) {
            ErrorDetailMsg("支店リストの取得に失敗しました。", e.what());
            try { tx_->commit(); } catch (const std::exception&) { tx_->rollbackNoThrow(); }
        }
        throw;
    }
}
