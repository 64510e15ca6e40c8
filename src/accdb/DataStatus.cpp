#include "accdb/DataStatus.h"

#include <cstdio>

#include "accdb/AccReg.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/DateCore.h"
#include "platform/IniFile.h"

std::function<std::unique_ptr<TDataStatusStore>()> DataStatusStoreFactory;
std::function<void(const std::string& DataFolder, const TDataInfomationRec& Rec)> DataListRefreshHook;

std::unique_ptr<TDataStatusStore> MakeDataStatusStore() {
    if (DataStatusStoreFactory) {
        if (auto s = DataStatusStoreFactory()) return s;
    }
    return std::make_unique<TBasicDataStatusStore>();
}

std::string DataStatusFilePath(const std::string& DataFolder) {
    std::string file = DataFile;
    const auto dot = file.rfind('.');
    if (dot != std::string::npos) file.erase(dot);
    file += ".ini";
    if (!DataFolder.empty() && DataFolder.back() == '/') return DataFolder + file;
    return DataFolder + "/" + file;
}

void WriteDataStatusFile(const std::string& DataFolder, const std::string& Section, const TDataInfomationRec& Rec) {
    platform::IniFile ini(DataStatusFilePath(DataFolder));
    if (Section.empty() || Section == "DATASTS") {
        const char* s = "DATASTS";
        ini.eraseSection(s);
        ini.writeInteger(s, "STATUS", Rec.STATUS);
        if (Rec.OPCODE != 0) {
            ini.writeInteger(s, "OPCODE", Rec.OPCODE);
            ini.writeString(s, "OPERATOR", Rec.OPERATOR);
        }
        ini.writeInteger(s, "SHARE_STATUS", Rec.SHARE_STATUS);
        if (Rec.SHARE_OPCODE != 0) {
            ini.writeInteger(s, "SHARE_OPCODE", Rec.SHARE_OPCODE);
            ini.writeString(s, "SHARE_OPERATOR", Rec.SHARE_OPERATOR);
        }
        ini.writeInteger(s, "UPDATE_LOCK", Rec.UPDATE_LOCK);
        ini.writeInteger(s, "READ_ONLY", Rec.READ_ONLY);
    }
    if (Section.empty() || Section == "DATAINFO") {
        const char* s = "DATAINFO";
        ini.eraseSection(s);
        ini.writeString(s, "DATALISTNAME", Rec.DATALISTNAME);
        ini.writeString(s, "CODE", Rec.CODE);
        ini.writeInteger(s, "DATAKBN", Rec.DATAKBN);
        ini.writeInteger(s, "CODEKBN", Rec.CODEKBN);
        ini.writeString(s, "SHOUGOU", Rec.SHOUGOU);
        ini.writeString(s, "KANA", Rec.KANA);
        ini.writeInteger(s, "NENDO", Rec.NENDO);
        ini.writeString(s, "KISHU", Rec.KISHU);
        ini.writeString(s, "KIMATU", Rec.KIMATU);
        ini.writeInteger(s, "TANTO", Rec.TANTO);
        ini.writeInteger(s, "SITEN", Rec.SITEN);
        ini.writeInteger(s, "SITENCNT", Rec.SITENCNT);
        ini.writeInteger(s, "BUMON", Rec.BUMON);
        ini.writeInteger(s, "BUMONCNT", Rec.BUMONCNT);
        ini.writeInteger(s, "SIWAKE", Rec.SIWAKE);
        ini.writeInteger(s, "TOTALSIWAKE", Rec.TOTALSIWAKE);
        char ver[48];
        std::snprintf(ver, sizeof ver, "%d.%d.%d", Rec.VerMajor, Rec.VerMinor1, Rec.VerMinor2);
        ini.writeString(s, "VERSION1", ver);
        ini.writeString(s, "VERSION2", Rec.VERSION2);
        ini.writeInteger(s, "GASSANKBN", Rec.GASSANKBN);
        ini.writeInteger(s, "USEMYNUMBER", Rec.USEMYNUMBER);
        ini.writeInteger(s, "CLOUD_SHARE", Rec.CLOUD_SHARE);
    }
}

void TDataStatusStore::ClearInfo(TDataInfomationRec& Rec) { Rec = TDataInfomationRec{}; }

namespace {
std::string ymd(const db::DateTime& d) { return d.isNull() ? std::string() : d.date.toString(); }
} // namespace

bool TBasicDataStatusStore::GetDataInfoRec(TDataInfomationRec& Rec) {
    ClearInfo(Rec);
    if (!DM || !DM->IBDatabaseDAT.connected()) return false;
    db::TxScope scope(DM->IBTransactionDAT);
    {
        auto q = DM->IBQACC1("SELECT ENTTEXT,DATATYPE,CODETYPE,SCODE1,SKANA,SHOUGOU,TANTOU,NENDO,KISHU,KIMATU,"
                             "SITEN,BUMON,DATALOCK\nFROM ACCDEF1\nWHERE REC=1");
        q->execute();
        if (q->fetch()) {
            Rec.DATALISTNAME = q->asString(0);
            Rec.DATAKBN = q->asInt(1);
            Rec.CODEKBN = q->asInt(2);
            Rec.CODE = q->asString(3);
            Rec.KANA = q->asString(4);
            Rec.SHOUGOU = q->asString(5);
            Rec.TANTO = q->asInt(6);
            Rec.NENDO = q->asInt(7);
            Rec.KISHU = ymd(q->asDateTime(8));
            Rec.KIMATU = ymd(q->asDateTime(9));
            Rec.SITEN = q->asInt(10);
            Rec.BUMON = q->asInt(11);
            Rec.UPDATE_LOCK = q->asInt(12);
        }
        q->close();
    }
    {
        auto q = DM->IBQACC1("SELECT MAJOR,MINOR1,MINOR2 FROM ACCVERSION\nWHERE REC=1\nORDER BY MAJOR,MINOR1,MINOR2");
        q->execute();
        if (q->fetch()) {
            Rec.VerMajor = q->asInt(0);
            Rec.VerMinor1 = q->asInt(1);
            Rec.VerMinor2 = q->asInt(2);
            char buf[32];
            if (Rec.VerMajor == 0 && Rec.VerMinor1 > 0) Rec.VERSION2 = "評価版";
            else {
                std::snprintf(buf, sizeof buf, "%d.%d", Rec.VerMajor, Rec.VerMinor1);
                Rec.VERSION2 = buf;
            }
        }
        q->close();
    }
    if (Rec.SITEN > 0) {
        auto q = DM->IBQACC1("SELECT COUNT(SCODE) AS RECCNT FROM SISETUMST\nWHERE SCODE <> ''");
        q->execute();
        if (q->fetch()) Rec.SITENCNT = q->asInt(0);
        q->close();
    }
    if (Rec.BUMON > 0) {
        auto q = DM->IBQACC1("SELECT COUNT(BCODE) AS RECCNT FROM BUMONMST\nWHERE BCODE <> ''");
        q->execute();
        if (q->fetch()) Rec.BUMONCNT = q->asInt(0);
        q->close();
    }
    try {
        Rec.GASSANKBN = static_cast<std::uint8_t>(funcGetAccReg("基本設定", "合算データ区分", "整数", "0").asInt());
    } catch (const std::exception&) {
        Rec.GASSANKBN = 0;
    }
    Rec.USEMYNUMBER = funcGetAccReg("基本設定", "＃USE", "整数", "0").asInt();
    const int version = (Rec.VerMajor << 16) + (Rec.VerMinor1 << 8) + Rec.VerMinor2;
    if (DM->IsCloudShareUse(false) && version > (11 << 16)) {
        auto q = DM->IBQACC1("SELECT CLOUD_LINE\nFROM ACCDEF1\nWHERE REC=1");
        q->execute();
        if (q->fetch()) Rec.CLOUD_SHARE = q->asInt(0) > 0 ? 1 : 0;
        q->close();
    }
    if (version >= (12 << 16)) {
        auto q = DM->IBQACC1("SELECT READ_ONLY\nFROM ACCDEF1\nWHERE REC=1");
        q->execute();
        if (q->fetch()) Rec.READ_ONLY = q->asInt(0);
        q->close();
    }
    scope.commit();
    return true;
}

void TBasicDataStatusStore::WriteIniFile(const std::string& DataFolder, const std::string& Section,
                                         const TDataInfomationRec& Rec) {
    WriteDataStatusFile(DataFolder, Section, Rec);
}
