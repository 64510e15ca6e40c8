#include "datasel/KensakuJyokenStore.h"

#include "datasel/KensakuJyoken.h"
#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "accdb/IBErrorReport.h"
#include "db/FbError.h"

namespace datasel {

TKensakuJyokenStore::TKensakuJyokenStore(db::Attachment& systemDb)
    : tx_(std::make_unique<db::Transaction>(systemDb, db::TxKind::ReadCommitted))
{
    ErrorReporter = [](const std::exception& e, const std::string& context, const std::string& text) {
        if (const auto* fb = dynamic_cast<const db::FbError*>(&e))
            IBErrorReport(*fb, context, text, true);
        else
            ErrorDetailMsg(text, e.what());
    };
}

TKensakuJyokenStore::~TKensakuJyokenStore() = default;

namespace {

// Runs work in the store's transaction: started and ended here when not
// active; a failure is rolled back and reported only then.
template <typename Work, typename Report>
bool inOwnTransaction(db::Transaction& tx, Work&& work, Report&& report)
{
    const bool owns = !tx.active();
    try {
        if (owns)
            tx.start();
        work();
        if (owns)
            tx.commit();
        return true;
    } catch (const std::exception& e) {
        if (owns) {
            tx.rollbackNoThrow();
            report(e);
        }
        return false;
    }
}

} // namespace

bool TKensakuJyokenStore::SelectRecord(TDataKensakuRec& rec)
{
    const auto opCode = rec.OPCODE;
    const auto listType = rec.LISTTYPE;
    rec = TDataKensakuRec{};
    rec.OPCODE = opCode;
    rec.LISTTYPE = listType;
    return inOwnTransaction(
        *tx_,
        [&] {
            bool found = false;
            {
                db::Statement q(*tx_, "SELECT JYOKENUSE,DATATYPE,CODETYPE,DATACODE,DATANAME,TANTO,DATAVER,SEIHINNAME,"
                                      "SORTCOL,SORTTYPE FROM KENSAKUJYOKEN "
                                      "WHERE (OPCODE=:OPCODE)AND(LISTTYPE=:LISTTYPE)");
                q.setInt("OPCODE", opCode);
                q.setInt("LISTTYPE", listType);
                q.execute();
                while (q.fetch()) {
                    found = true;
                    rec.JYOKENUSE = q.asInt("JYOKENUSE");
                    rec.DATATYPE = q.asInt("DATATYPE");
                    rec.CODETYPE = q.asInt("CODETYPE");
                    rec.DATACODE = q.asString("DATACODE");
                    rec.DATANAME = q.asString("DATANAME");
                    rec.TANTO = q.asInt("TANTO");
                    rec.DATAVER = q.asString("DATAVER");
                    rec.SEIHINNAME = q.asString("SEIHINNAME");
                    rec.SORTCOL = GridColumnOfSortCol(q.asInt("SORTCOL"));
                    rec.SORTTYPE = q.asInt("SORTTYPE");
                }
            }
            if (!found) {
                db::Statement q(*tx_,
                                "INSERT INTO KENSAKUJYOKEN(OPCODE,LISTTYPE,JYOKENUSE,DATATYPE,CODETYPE,DATACODE,DATANAME,"
                                "TANTO,DATAVER,SEIHINNAME,SORTCOL,SORTTYPE) VALUES(:OPCODE,:LISTTYPE,:JYOKENUSE,"
                                ":DATATYPE,:CODETYPE,:DATACODE,:DATANAME,:TANTO,:DATAVER,:SEIHINNAME,:SORTCOL,:SORTTYPE)");
                q.setInt("OPCODE", rec.OPCODE);
                q.setInt("LISTTYPE", rec.LISTTYPE);
                q.setInt("JYOKENUSE", rec.JYOKENUSE);
                q.setInt("DATATYPE", rec.DATATYPE);
                q.setInt("CODETYPE", rec.CODETYPE);
                q.setString("DATACODE", rec.DATACODE);
                q.setString("DATANAME", rec.DATANAME);
                q.setInt("TANTO", rec.TANTO);
                q.setString("DATAVER", rec.DATAVER);
                q.setString("SEIHINNAME", rec.SEIHINNAME);
                q.setInt("SORTCOL", SortColOfGridColumn(rec.SORTCOL));
                q.setInt("SORTTYPE", rec.SORTTYPE);
                q.execute();
            }
        },
        [&](const std::exception& e) {
            rec = TDataKensakuRec{};
            rec.OPCODE = opCode;
            rec.LISTTYPE = listType;
            if (ErrorReporter)
                ErrorReporter(e, "TDataListKensakuBox.SelectRecord", "検索条件レコードの参照に失敗しました。");
        });
}

bool TKensakuJyokenStore::UpdateRecord(const TDataKensakuRec& rec)
{
    return inOwnTransaction(
        *tx_,
        [&] {
            db::Statement q(*tx_, "UPDATE KENSAKUJYOKEN SET JYOKENUSE=:JYOKENUSE,DATATYPE=:DATATYPE,CODETYPE=:CODETYPE,"
                                  "DATACODE=:DATACODE,DATANAME=:DATANAME,TANTO=:TANTO,DATAVER=:DATAVER,"
                                  "SEIHINNAME=:SEIHINNAME,SORTCOL=:SORTCOL,SORTTYPE=:SORTTYPE "
                                  "WHERE (OPCODE=:OPCODE)AND(LISTTYPE=:LISTTYPE)");
            q.setInt("JYOKENUSE", rec.JYOKENUSE);
            q.setInt("DATATYPE", rec.DATATYPE);
            q.setInt("CODETYPE", rec.CODETYPE);
            q.setString("DATACODE", rec.DATACODE);
            q.setString("DATANAME", rec.DATANAME);
            q.setInt("TANTO", rec.TANTO);
            q.setString("DATAVER", rec.DATAVER);
            q.setString("SEIHINNAME", rec.SEIHINNAME);
            q.setInt("SORTCOL", SortColOfGridColumn(rec.SORTCOL));
            q.setInt("SORTTYPE", rec.SORTTYPE);
            q.setInt("OPCODE", rec.OPCODE);
            q.setInt("LISTTYPE", rec.LISTTYPE);
            q.execute();
        },
        [&](const std::exception& e) {
            if (ErrorReporter)
                ErrorReporter(e, "TDataListKensakuBox.UpdateRecord", "検索条件レコードの更新に失敗しました。");
        });
}

bool TKensakuJyokenStore::UpdateRecordSortField(const TDataKensakuRec& rec)
{
    return inOwnTransaction(
        *tx_,
        [&] {
            db::Statement q(*tx_, "UPDATE KENSAKUJYOKEN SET SORTCOL=:SORTCOL,SORTTYPE=:SORTTYPE "
                                  "WHERE (OPCODE=:OPCODE)AND(LISTTYPE=:LISTTYPE)");
            q.setInt("SORTCOL", SortColOfGridColumn(rec.SORTCOL));
            q.setInt("SORTTYPE", rec.SORTTYPE);
            q.setInt("OPCODE", rec.OPCODE);
            q.setInt("LISTTYPE", rec.LISTTYPE);
            q.execute();
        },
        [&](const std::exception& e) {
            if (ErrorReporter)
                ErrorReporter(e, "TDataListKensakuBox.UpdateRecordSortField", "検索条件レコードの更新に失敗しました。");
        });
}

} // namespace datasel
