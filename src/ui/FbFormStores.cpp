#include "ui/FbFormStores.h"

#include "db/Statement.h"
#include "db/Transaction.h"

std::optional<FormRect> FbFormSizeStore::load(int opCode, const std::string& formName) {
    db::TxScope scope(tx_);
    db::Statement q(tx_, "SELECT FMTOP,FMLEFT,FMHEIGHT,FMWIDTH FROM FORMRSIZE "
                         "WHERE FMNAME=:FMNAME AND OPCODE=:OPCODE");
    q.setString("FMNAME", formName);
    q.setInt("OPCODE", opCode);
    q.execute();
    std::optional<FormRect> r;
    if (q.fetch()) r = FormRect{q["FMTOP"].asInt(), q["FMLEFT"].asInt(), q["FMHEIGHT"].asInt(), q["FMWIDTH"].asInt()};
    q.close();
    scope.commit();
    return r;
}

void FbFormSizeStore::insert(int opCode, const std::string& formName, const FormRect& r, int defHeight,
                             int defWidth) {
    db::TxScope scope(tx_);
    db::Statement s(tx_, "INSERT INTO FORMRSIZE "
                         "VALUES(:OPCODE ,:FNAME,:TOP,:LEFT,:HEIGHT,:WIDTH,:DEFHEIGHT,:DEFWIDTH)");
    s.setInt("OPCODE", opCode);
    s.setString("FNAME", formName);
    s.setInt("TOP", r.top);
    s.setInt("LEFT", r.left);
    s.setInt("HEIGHT", r.height);
    s.setInt("WIDTH", r.width);
    s.setInt("DEFHEIGHT", defHeight);
    s.setInt("DEFWIDTH", defWidth);
    s.execute();
    scope.commit();
}

void FbFormSizeStore::update(int opCode, const std::string& formName, const FormRect& r) {
    db::TxScope scope(tx_);
    db::Statement s(tx_, "UPDATE FORMRSIZE SET FMTOP=:FMTOP,FMLEFT=:FMLEFT,FMHEIGHT=:FMHEIGHT,FMWIDTH=:FMWIDTH "
                         "WHERE OPCODE=:OPCODE AND FMNAME=:FMNAME");
    s.setInt("FMTOP", r.top);
    s.setInt("FMLEFT", r.left);
    s.setInt("FMHEIGHT", r.height);
    s.setInt("FMWIDTH", r.width);
    s.setInt("OPCODE", opCode);
    s.setString("FMNAME", formName);
    s.execute();
    scope.commit();
}

void FbScreenUseLog::closeEntries(int opCode, const std::string& jobName, const std::string& state) {
    db::TxScope scope(tx_);
    db::Statement s(tx_, "EXECUTE PROCEDURE OPINF_DELETE(:OPCODE, :JOBNAME, :STATE)");
    s.setInt("OPCODE", opCode);
    s.setString("JOBNAME", jobName);
    s.setString("STATE", state);
    s.execute();
    scope.commit();
}

void FbScreenUseLog::openEntry(int opCode, const std::string& jobName, const std::string& pcName,
                               const QDateTime& openTime) {
    db::TxScope scope(tx_);
    db::Statement s(tx_, "INSERT INTO OPINF(OPCODE,JOBNAME,PCNAME,OPENTIME) "
                         "VALUES(:OPCODE,:JOBNAME,:PCNAME,:OPENTIME)");
    s.setInt("OPCODE", opCode);
    s.setString("JOBNAME", jobName);
    s.setString("PCNAME", pcName);
    const QDate d = openTime.date();
    const QTime t = openTime.time();
    s.setDateTime("OPENTIME", db::DateTime{db::Date{d.year(), d.month(), d.day()},
                                           db::Time{t.hour(), t.minute(), t.second(), t.msec()}});
    s.execute();
    scope.commit();
}
