// Saved screen values.
#include "accdb/GamenKeyValue.h"

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "db/Statement.h"
#include "platform/TextCodec.h"

namespace {

std::string upperAscii(std::string s) {
    for (auto& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

// The first n CP932 bytes of a UTF-8 text, a cut double-byte character
// becoming a blank; blanks at both ends trimmed.
std::string fixLeftTrim(const std::string& s, int n) {
    if (platform::cp932Width(s) <= static_cast<std::size_t>(n)) return s;
    return TrimZen(FixLeftStr(s, n));
}

template <typename F>
void guarded(db::Transaction& tx, const char* context, const char* text, F body) {
    const bool own = !tx.active();
    if (own) tx.start();
    try {
        body();
        if (own) tx.commit();
    } catch (const db::FbError& e) {
        if (!own) throw;
        IBErrorReport(e, context, text, false);
        try { tx.commit(); } catch (const std::exception&) { tx.rollbackNoThrow(); }
    } catch (const std::exception& e) {
        if (!own) throw;
        ErrorDetailMsg(text, e.what());
        try { tx.commit(); } catch (const std::exception&) { tx.rollbackNoThrow(); }
    }
}

} // namespace

TGamenKeyValue::TGamenKeyValue() : OpCode(SystemDef.OpCode), tx_(&DM->IBTransactionDEF) {}

void TGamenKeyValue::SetStyleName(const std::string& Key) {
    StyleName = TrimZen(FixLeftStr(upperAscii(Prefix + Key), 40));
}

void TGamenKeyValue::FukugenValue(const std::string& Key, std::string& Out) {
    ClearValue();
    Out.clear();
    if (OpCode == 0 || Key.empty()) return;
    SetStyleName(Key);
    guarded(*tx_, "TGamenValue.FukugenValue", "前回の画面値の取得に失敗しました。", [&] {
        db::Statement q(*tx_, "SELECT SSTR FROM STYLECOLOR\nWHERE OPCODE=:OPCODE AND STYLENAME=:STYLENAME");
        q.setInt("OPCODE", OpCode);
        q.setString("STYLENAME", StyleName);
        q.execute();
        if (q.fetch()) Out = q.asString(0);
        q.close();
    });
}

void TGamenKeyValue::HozonValue(const std::string& Key, const std::string& In) {
    if (OpCode == 0 || Key.empty()) return;
    SetStyleName(Key);
    Value = TrimZen(In);
    Value = fixLeftTrim(Value, 1024);
    guarded(*tx_, "TGamenValue.HozonValue", "画面値の保存に失敗しました。", [&] {
        db::Statement c(*tx_, "SELECT COUNT(OPCODE) AS RECCNT FROM STYLECOLOR\n"
                              "WHERE OPCODE=:OPCODE AND STYLENAME=:STYLENAME");
        c.setInt("OPCODE", OpCode);
        c.setString("STYLENAME", StyleName);
        c.execute();
        const int n = c.fetch() ? c.asInt(0) : 0;
        c.close();
        db::Statement q(*tx_, n != 0
            ? "UPDATE STYLECOLOR SET OPCODE=:OPCODE,STYLENAME=:STYLENAME,LINECOLOR1=:LINECOLOR1,"
              "LINECOLOR2=:LINECOLOR2,LINECOLOR3=:LINECOLOR3,LINECOLOR4=:LINECOLOR4,LINECOLOR5=:LINECOLOR5,"
              "NETCOLOR1=:NETCOLOR1,NETCOLOR2=:NETCOLOR2,SSTR=:SSTR\nWHERE OPCODE=:OPCODE AND STYLENAME=:STYLENAME"
            : "INSERT INTO STYLECOLOR(OPCODE,STYLENAME,LINECOLOR1,LINECOLOR2,LINECOLOR3,LINECOLOR4,LINECOLOR5,"
              "NETCOLOR1,NETCOLOR2,SSTR)\nVALUES(:OPCODE,:STYLENAME,:LINECOLOR1,:LINECOLOR2,:LINECOLOR3,"
              ":LINECOLOR4,:LINECOLOR5,:NETCOLOR1,:NETCOLOR2,:SSTR)");
        q.setInt("OPCODE", OpCode);
        q.setString("STYLENAME", StyleName);
        for (const char* p : {"LINECOLOR1", "LINECOLOR2", "LINECOLOR3", "LINECOLOR4", "LINECOLOR5", "NETCOLOR1",
                              "NETCOLOR2"})
            q.setInt(p, -1);
        q.setString("SSTR", Value);
        q.execute();
    });
}
