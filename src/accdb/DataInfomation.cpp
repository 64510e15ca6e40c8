#include "accdb/DataInfomation.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "accdb/AccReg.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "accdb/SitenList.h"
#include "accdb/SysFolder.h"
#include "platform/AppEvents.h"
#include "platform/IniFile.h"
#include "ui/MessageDlg2.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDsqlError = 335544569;

std::string joinPath(const std::string& folder, const std::string& file) {
    if (folder.empty() || folder.back() == '/') return folder + file;
    return folder + "/" + file;
}

bool isBlankText(const std::string& s) {
    for (unsigned char c : s)
        if (!std::isspace(c)) return false;
    return true;
}

// Nothing left once blanks and control characters are trimmed off.
bool trimsToEmpty(const std::string& s) {
    for (unsigned char c : s)
        if (c > ' ') return false;
    return true;
}

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string ymd(const db::DateTime& d) { return d.isNull() ? std::string() : d.date.toString(); }

int versionKey(int major, int minor, int release) { return major * 65536 + minor * 256 + release; }

void infoBox(const std::string& first, const std::string& fourth) {
    TMessage2InfoRec m;
    InitMessage2Info(2, m);
    m.Lines[0].Text = first;
    m.Lines[3].Text = fourth;
    ShowMessageBox2(m);
}

// The data set's own files (tvacc.*) in a folder.
std::vector<fs::path> dataFiles(const std::string& folder) {
    std::string stem = DataFile;
    const auto dot = stem.rfind('.');
    if (dot != std::string::npos) stem.erase(dot);
    stem += '.';
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file() && name.size() > stem.size() && upper(name).rfind(upper(stem), 0) == 0)
            out.push_back(it->path());
    }
    return out;
}

// Copies every data file of src into dst; false when any copy failed.
bool copyDataFiles(const std::string& src, const std::string& dst) {
    const auto files = dataFiles(src);
    if (!fs::exists(joinPath(src, DataFile))) return false;
    bool ok = true;
    for (const auto& f : files)
        if (!CopyFileOver(f.string(), joinPath(dst, f.filename().string()))) ok = false;
    return ok;
}

const char* const kNoShareText = "共有サーバーが起動していない、接続が切断されている \r"
                                 "または 共有サーバー上のデータ領域が削除された可能性があります。\r処理を中止します。";

} // namespace

void ReadDataStatusFile(const std::string& Folder, TDataInfomationRec& Rec) {
    Rec = TDataInfomationRec{};
    const platform::IniFile ini(DataStatusFilePath(Folder));
    const char* s = "DATASTS";
    Rec.STATUS = static_cast<std::uint8_t>(ini.readInteger(s, "STATUS", 1));
    Rec.OPCODE = ini.readInteger(s, "OPCODE", 0);
    Rec.OPERATOR = ini.readString(s, "OPERATOR");
    Rec.SHARE_STATUS = static_cast<std::uint8_t>(ini.readInteger(s, "SHARE_STATUS", 1));
    Rec.SHARE_OPCODE = ini.readInteger(s, "SHARE_OPCODE", 0);
    Rec.SHARE_OPERATOR = ini.readString(s, "SHARE_OPERATOR");
    Rec.UPDATE_LOCK = ini.readInteger(s, "UPDATE_LOCK", 0);
    Rec.READ_ONLY = ini.readInteger(s, "READ_ONLY", 0);
    s = "DATAINFO";
    Rec.DATALISTNAME = ini.readString(s, "DATALISTNAME");
    Rec.CODE = ini.readString(s, "CODE");
    Rec.DATAKBN = ini.readInteger(s, "DATAKBN", 0);
    Rec.CODEKBN = ini.readInteger(s, "CODEKBN", 0);
    Rec.SHOUGOU = ini.readString(s, "SHOUGOU");
    Rec.KANA = ini.readString(s, "KANA");
    Rec.NENDO = ini.readInteger(s, "NENDO", 0);
    Rec.KISHU = ini.readString(s, "KISHU");
    Rec.KIMATU = ini.readString(s, "KIMATU");
    Rec.TANTO = ini.readInteger(s, "TANTO", 0);
    Rec.SITEN = ini.readInteger(s, "SITEN", 0);
    Rec.SITENCNT = ini.readInteger(s, "SITENCNT", 0);
    Rec.BUMON = ini.readInteger(s, "BUMON", 0);
    Rec.BUMONCNT = ini.readInteger(s, "BUMONCNT", 0);
    Rec.SIWAKE = ini.readInteger(s, "SIWAKE", 0);
    Rec.TOTALSIWAKE = ini.readInteger(s, "TOTALSIWAKE", 0);
    const std::string v = ini.readString(s, "VERSION1");
    int* parts[3] = {&Rec.VerMajor, &Rec.VerMinor1, &Rec.VerMinor2};
    std::size_t start = 0;
    for (int i = 0; i < 3 && start <= v.size(); ++i) {
        const auto dot = v.find('.', start);
        const std::string part = v.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        try {
            std::size_t used = 0;
            const int n = std::stoi(part, &used);
            *parts[i] = used == part.size() ? n : 0;
        } catch (const std::exception&) {
            *parts[i] = 0;
        }
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    Rec.VERSION2 = ini.readString(s, "VERSION2");
    Rec.GASSANKBN = static_cast<std::uint8_t>(ini.readInteger(s, "GASSANKBN", 0));
    Rec.USEMYNUMBER = ini.readInteger(s, "USEMYNUMBER", 0);
    Rec.CLOUD_SHARE = static_cast<std::uint8_t>(ini.readInteger(s, "CLOUD_SHARE", 0));
    if (Rec.DATALISTNAME.empty()) Rec.DATALISTNAME = Rec.SHOUGOU;
}

void InstallDataInfomation() {
    DataStatusStoreFactory = [] {
        auto p = std::make_unique<TDataInfomation>();
        p->ConnectKind = ::ConnectKind;
        return p;
    };
}

TDataInfomation::TDataInfomation() {
    ClearInfo(Info);
    VersionList.Load(false);
}

bool TDataInfomation::ReadIniFile(const std::string& Host, const std::string& Folder, TDataInfomationRec& Rec) {
    ClearInfo(Rec);
    if (isBlankText(Folder)) return true;
    if (ConnectKind == 0) {
        const bool dbExists = fs::exists(joinPath(Folder, DataFile));
        const bool iniExists = fs::exists(DataStatusFilePath(Folder));
        if (!dbExists && !iniExists) return false;
        if (dbExists && !iniExists && GetUniversalPath(Folder) == Folder) {
            if (!DM || !DM->fnAccDatConnected(Host, Folder, 1)) {
                Rec.STATUS = 0;
                return true;
            }
            DM->fnAccDatDisconnect(Folder, 1, 0);
        }
        ReadDataStatusFile(Folder, Rec);
        return true;
    }
    if (ConnectKind > 2 || !DM) return true;

    const std::string up = upper(Folder);
    const bool inDataTree = up.find("/DATA/") != std::string::npos || up.find("\\DATA\\") != std::string::npos;
    const std::string table = inDataTree ? "DATALIST" : "DATALIST_EX";
    const bool defWasConnected = DM->IBDatabaseDEF.connected();
    if (!DM->fnAccDefConnected(Host, 1)) return true;
    bool found = false;
    try {
        db::TxScope scope(DM->IBTransactionDEF);
        auto q = DM->IBSQLDEF("SELECT D.DATALOCK,O.OPCODE,O.OPNAME,"
                              "D.ENTTEXT,D.DATACODE,D.DATATYPE,D.CODETYPE,D.SHOUGOU,D.NENDO,D.KISHU,D.KIMATU,"
                              "D.TANTOU,D.UPDATE_LOCK,D.VER_TEXT"
                              ",D.VER_MAJOR,D.VER_MINOR1,D.VER_MINOR2"
                              ",D.CLOUD"
                              ",D.READ_ONLY "
                              "FROM " + table + " D "
                              "LEFT JOIN OPERATOR O ON(D.GROUPID=O.GROUPID AND D.DATALOCK=O.OPCODE) "
                              "WHERE (D.DATALOCK<>0)AND(UPPER(D.PASNAME)=:PASNAME)AND(D.GROUPID=:GROUPID)");
        q->setString("PASNAME", up);
        q->setInt("GROUPID", SystemDef.GroupId);
        q->execute();
        while (q->fetch()) {
            found = true;
            Rec.STATUS = 3;
            Rec.OPCODE = q->asInt("OPCODE") + SystemDef.GroupId * 10000;
            Rec.OPERATOR = q->asString("OPNAME");
            Rec.DATALISTNAME = q->asString("ENTTEXT");
            Rec.CODE = q->asString("DATACODE");
            Rec.DATAKBN = q->asInt("DATATYPE");
            Rec.CODEKBN = q->asInt("CODETYPE");
            Rec.SHOUGOU = q->asString("SHOUGOU");
            Rec.NENDO = q->asInt("NENDO");
            Rec.KISHU = ymd(q->asDateTime("KISHU"));
            Rec.KIMATU = ymd(q->asDateTime("KIMATU"));
            Rec.TANTO = q->asInt("TANTOU");
            Rec.UPDATE_LOCK = q->asInt("UPDATE_LOCK");
            Rec.VerMajor = q->asInt("VER_MAJOR");
            Rec.VerMinor1 = q->asInt("VER_MINOR1");
            Rec.VerMinor2 = q->asInt("VER_MINOR2");
            Rec.VERSION2 = q->asString("VER_TEXT");
            Rec.CLOUD_SHARE = static_cast<std::uint8_t>(q->asInt("CLOUD"));
            Rec.READ_ONLY = q->asInt("READ_ONLY");
        }
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDataInfomation.ReadIniFile", "ロック情報の取得に失敗しました。", false);
        found = false;
        ClearInfo(Rec);
    }
    if (!found) {
        if (DM->fnAccDatConnected(Host, Folder, 0) && DM->IBDatabaseDAT.connected()) {
            GetDataInfoRec(Rec);
            DM->fnAccDatDisconnect(Folder, 0, 0);
            Rec.STATUS = DM->AccDatInConnection(1, Host, Folder) ? 2 : 1;
        } else {
            Rec.STATUS = 0;
        }
    }
    if (!defWasConnected) DM->IBDatabaseDEF.disconnect();
    return !found;
}

bool TDataInfomation::GetDataStatus(const std::string& Folder, TDataInfomationRec& Rec) {
    return ReadIniFile(SystemDef.HostName, Folder, Rec);
}

void TDataInfomation::setStatusKeys(const std::string& Folder, const char* StatusKey, const char* CodeKey,
                                    const char* NameKey, std::uint8_t Status) {
    if (isBlankText(Folder) || !writesStatus()) return;
    WriteIniValue(Folder, "DATASTS", false, std::to_string(Status), StatusKey);
    if (Status == 1) {
        WriteIniValue(Folder, "DATASTS", true, {}, CodeKey);
        WriteIniValue(Folder, "DATASTS", true, {}, NameKey);
    } else {
        WriteIniValue(Folder, "DATASTS", false, std::to_string(SystemDef.OpCode), CodeKey);
        WriteIniValue(Folder, "DATASTS", false, SystemDef.OpName, NameKey);
    }
}

void TDataInfomation::SetDataStatus(const std::string& Folder, std::uint8_t Status) {
    setStatusKeys(Folder, "STATUS", "OPCODE", "OPERATOR", Status);
}

void TDataInfomation::SetShareStatus(const std::string& Folder, std::uint8_t Status) {
    setStatusKeys(Folder, "SHARE_STATUS", "SHARE_OPCODE", "SHARE_OPERATOR", Status);
}

int TDataInfomation::ChangeShareStatus(const std::string& Folder, std::uint8_t Status) {
    if (isBlankText(Folder)) return 0;
    GetDataStatus(Folder, Info);
    if ((Status == 2 || Status == 1) && Info.SHARE_STATUS != Status) {
        SetShareStatus(Folder, Status);
        return 1;
    }
    return 0;
}

void TDataInfomation::WriteIniFile(const std::string& Folder, const std::string& Section,
                                   const TDataInfomationRec& Rec) {
    if (isBlankText(Folder)) return;
    Info = Rec;
    if (!writesStatus()) return;
    WriteDataStatusFile(Folder, Section, Rec);
}

void TDataInfomation::WriteIniValue(const std::string& Folder, const std::string& Section, bool Delete,
                                    const std::string& Value, const std::string& Key) {
    if (isBlankText(Folder) || !writesStatus()) return;
    platform::IniFile ini(DataStatusFilePath(Folder));
    if (Delete) ini.deleteKey(Section, Key);
    else ini.writeString(Section, Key, Value);
    platform::waitMs(10);
}

void TDataInfomation::RefreshIniFile(const std::string& Folder, const std::string& Section) {
    if (isBlankText(Folder) || !writesStatus() || !DM) return;
    if (!Section.empty()) {
        ClearInfo(Info);
        if (Section == "DATAINFO") {
            if (DM->fnAccDatConnected("", Folder, 0)) {
                GetDataInfoRec(Info);
                DM->fnAccDatDisconnect(Folder, 0, 0);
            }
        }
        WriteIniFile(Folder, Section, Info);
        return;
    }
    if (GetUniversalPath(Folder) == Folder && DM->fnAccDatConnected("", Folder, 1))
        DM->fnAccDatDisconnect(Folder, 1, 0);
}

bool TDataInfomation::GetDataInfoRec(TDataInfomationRec& Rec) {
    ClearInfo(Rec);
    if (!DM) return false;
    bool connectedHere = false;
    if (!DM->IBDatabaseDAT.connected()) {
        if (!DM->fnAccDatConnected("", "", 0)) return false;
        connectedHere = true;
    }
    // One transaction for every read, so that a failing count is reported
    // here once and not also by the count itself.
    db::Transaction& tx = DM->IBTransactionDAT;
    const bool ownTx = !tx.active();
    auto endTx = [&] {
        if (!ownTx || !tx.active()) return;
        try {
            tx.commit();
        } catch (const std::exception&) {
            tx.rollbackNoThrow();
        }
    };
    try {
        if (ownTx) tx.start();
        try {
            if (!TBasicDataStatusStore::GetDataInfoRec(Rec)) throw std::runtime_error("");
            // The base names a version only when ACCVERSION gave a row.
            if (!Rec.VERSION2.empty()) GetSeihinVersionName(Rec.VerMajor, Rec.VerMinor1, Rec.VERSION2);
            // Journal counts over all branches.
            Rec.SIWAKE = DM->GetYukouSiwakeCount("");
            Rec.TOTALSIWAKE = DM->GetSiwakeCountTotal("");
        } catch (...) {
            endTx();
            throw;
        }
        endTx();
        return true;
    } catch (const db::FbError& e) {
        if (e.errorCode() == kDsqlError) throw;
        IBErrorReport(e, "TDataInfomation.GetDataInfoRec", "基本情報の取得に失敗しました。\r(iniファイル)", false);
    } catch (const std::exception& e) {
        ErrorDetailMsg("基本情報の取得に失敗しました。\r(iniファイル)", e.what());
    }
    if (connectedHere) DM->IBDatabaseDAT.disconnect();
    return false;
}

bool TDataInfomation::ReadDataInfo(const std::string& Folder, TDataInfomationRec& Rec) {
    ClearInfo(Rec);
    if (isBlankText(Folder)) return true;
    if (!DM || !DM->FExist(joinPath(Folder, DataFile), ConnectKind)) return false;
    bool ok = false;
    if (DM->fnAccDatConnected("", Folder, 0) && DM->IBDatabaseDAT.connected()) ok = GetDataInfoRec(Rec);
    DM->fnAccDatDisconnect(Folder, 0, 0);
    return ok;
}

void TDataInfomation::UpdateDataInfomation(const std::string& Host, const std::string& Folder,
                                           TDataInfomationRec& Rec) {
    if (isBlankText(Folder) || !DM) return;
    if (!DM->fnAccDatConnected(Host, Folder, 0)) return;
    const char* text = "データ情報の更新に失敗しました。";
    try {
        db::TxScope scope(DM->IBTransactionDAT);
        try {
            // Only a name of half-width blanks falls back to the stored one;
            // full-width blanks are a name given, and trim to an empty one below.
            std::string name = Rec.DATALISTNAME;
            if (trimsToEmpty(name)) {
                auto q = DM->IBQACC1("SELECT ENTTEXT FROM ACCDEF1\nWHERE REC=1");
                q->execute();
                if (q->fetch()) name = q->asString(0);
                q->close();
            }
            Rec.DATALISTNAME = TrimZen(FixLeftStr(name, 40));
            {
                auto q = DM->IBQACC1("SELECT MAJOR,MINOR1,MINOR2 FROM ACCVERSION\nWHERE REC=1");
                q->execute();
                if (q->fetch()) {
                    Rec.VerMajor = q->asInt(0);
                    Rec.VerMinor1 = q->asInt(1);
                    Rec.VerMinor2 = q->asInt(2);
                }
                q->close();
            }
            const bool withReadOnly = versionKey(Rec.VerMajor, Rec.VerMinor1, Rec.VerMinor2) >= versionKey(12, 0, 0);
            std::string sql = "UPDATE ACCDEF1 SET ENTTEXT=:ENTTEXT,DATALOCK=:DATALOCK";
            if (withReadOnly) sql += ",READ_ONLY=:READ_ONLY";
            sql += "\nWHERE REC=1";
            auto u = DM->IBQACC1(sql);
            u->setString("ENTTEXT", Rec.DATALISTNAME);
            u->setInt("DATALOCK", Rec.UPDATE_LOCK);
            if (withReadOnly) u->setInt("READ_ONLY", Rec.READ_ONLY);
            u->execute();
            scope.commit();
        } catch (...) {
            scope.commit();
            throw;
        }
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.UpdateDataInfomation", text, false);
    } catch (const std::exception& e) {
        ErrorDetailMsg(text, e.what());
    }
    DM->fnAccDatDisconnect(Folder, 0, 0);
}

int TDataInfomation::PutShareData(const std::string& ShareFolder, const std::string& LocalFolder, int Silent) {
    if (isBlankText(ShareFolder) || isBlankText(LocalFolder)) return 0;
    ChangeShareStatus(ShareFolder, 1);
    int result = 1;
    SetShareStatus(LocalFolder, 1);
    try {
        SetDataStatus(ShareFolder, 7);
    } catch (const std::exception&) {
        if (Silent != 1)
            infoBox("共有サーバー上のデータ領域が削除された可能性があります。\r"
                    "現在の領域設定情報でデータ領域を作成します。",
                    {});
    }
    bool copied = false;
    {
        const auto files = dataFiles(LocalFolder);
        copied = !files.empty();
        for (const auto& f : files)
            if (!SafeShellCopy(f.string(), joinPath(ShareFolder, f.filename().string()), 2)) copied = false;
    }
    SetDataStatus(LocalFolder, 1);
    SetDataStatus(ShareFolder, 1);
    if (!copied) {
        SetShareStatus(LocalFolder, 2);
        ChangeShareStatus(ShareFolder, 2);
        result = 0;
    }
    return result;
}

int TDataInfomation::GetShareData(const std::string& ShareFolder, const std::string& LocalFolder, int Silent) {
    if (isBlankText(ShareFolder) || isBlankText(LocalFolder)) return 0;
    if (!ForceFolder(LocalFolder)) {
        if (Silent != 1) {
            TMessage2InfoRec m;
            InitMessage2Info(0, m);
            m.Buttons = platform::mbYes;
            m.Lines[0].Text = "\"" + LocalFolder + "\"の作成に失敗しました。";
            ShowMessageBox2(m);
        }
        return 0;
    }
    GetDataStatus(ShareFolder, Info);
    if (Info.STATUS == 10) {
        if (Silent != 1)
            throw std::runtime_error("共有サーバー上のデータが破損しているため、共有データの取得を中止します。\r"
                                     "データのバックアップを行っている場合は、適正な方法で破損前の状態へ戻して下さい。");
        return -1;
    }
    // A local copy that was taken out and not yet put back holds work the
    // share does not have: it is never overwritten from the share.
    TDataInfomationRec local;
    ReadDataStatusFile(LocalFolder, local);
    const bool localHoldsWork = fs::exists(joinPath(LocalFolder, DataFile)) && local.SHARE_STATUS == 2;
    const bool shareExists = fs::is_directory(ShareFolder);
    if (Info.SHARE_STATUS == 2) {
        if (shareExists) {
            if (!localHoldsWork) copyDataFiles(ShareFolder, LocalFolder);
        } else if (Silent != 1) {
            throw std::runtime_error(kNoShareText);
        }
        return -1;
    }
    if (!shareExists) {
        if (Silent != 1) throw std::runtime_error(kNoShareText);
        return 0;
    }
    if (localHoldsWork) return 0;
    SetDataStatus(ShareFolder, 7);
    const bool copied = copyDataFiles(ShareFolder, LocalFolder);
    platform::waitMs(300);
    SetDataStatus(LocalFolder, 1);
    SetDataStatus(ShareFolder, 1);
    // The share is marked taken only when the local copy is complete.
    if (copied) {
        SetShareStatus(LocalFolder, 2);
        ChangeShareStatus(ShareFolder, 2);
    }
    return copied ? 1 : 0;
}

namespace {

// Runs a question on the folder's data set opened without marking, in the
// data transaction (started here when none is active). Errors in a
// transaction of our own are reported and give false; the data set is
// closed again in every case.
template <class Fn>
bool askDataSet(const std::string& Folder, const char* context, const char* text, Fn&& body) {
    if (!DM->fnAccDatConnected("", Folder, 0)) return false;
    db::Transaction& tx = DM->IBTransactionDAT;
    const bool own = !tx.active();
    if (own) tx.start();
    // The basic-settings reader ends the transaction itself.
    auto finish = [&] {
        if (own && tx.active()) {
            try {
                tx.commit();
            } catch (const std::exception&) {
                tx.rollbackNoThrow();
            }
        }
    };
    bool result = false;
    try {
        result = body();
        finish();
    } catch (const db::FbError& e) {
        // Only a transaction of our own is ours to report and end.
        if (!own) {
            DM->fnAccDatDisconnect(Folder, 0, 0);
            throw;
        }
        result = false;
        IBErrorReport(e, context, text, false);
        finish();
    } catch (const std::exception&) {
        if (!own) {
            DM->fnAccDatDisconnect(Folder, 0, 0);
            throw;
        }
        result = false;
        ErrorDetailMsg(text, {});
        finish();
    }
    DM->fnAccDatDisconnect(Folder, 0, 0);
    return result;
}

} // namespace

bool TDataInfomation::IsDataSiyouKengen(const std::string& Folder) {
    if (isBlankText(Folder) || !DM) return false;
    if (!DM->FExist(joinPath(Folder, DataFile), ConnectKind) || DM->IsAllKengen()) return true;
    // A failed question has been reported already: refused without the box.
    bool answered = false;
    const bool result =
        askDataSet(Folder, "TDataInfomation.IsDataSiyouKengen", "データ使用権限の問い合わせに失敗しました。", [&] {
            if (!DM->fnGetExistsOpeDefSisetu()) {
                answered = true;
                return false;
            }
            // The basic settings the branch list depends on; unreadable
            // settings never grant the data set.
            if (!DM->fnGetAccInfo()) return false;
            // The operator holds every branch when the branch rows offered to
            // the operator are as many as those offered to everybody.
            TSitenList all;
            all.Kinds = skSiten;
            all.Execute(-1);
            TSitenList own;
            own.Kinds = skSiten;
            own.Execute(SystemDef.OpCode);
            answered = true;
            return all.Count == own.Count;
        });
    if (!result && answered)
        infoBox("このデータを扱う権限がありません、他のデータを選択して下さい。",
                "権限を付与するには管理者でログインし、「オペレータ登録」より[選択中のデータを処理します]にチェックを入れて下さい。");
    return result;
}

bool TDataInfomation::IsDataPasswordAuth(const std::string& Folder) {
    if (isBlankText(Folder) || !DM) return false;
    if (!DM->FExist(joinPath(Folder, DataFile), ConnectKind)) return true;
    // Unreadable basic settings and failed checks have been reported
    // already: refused without the mismatch box.
    bool answered = false;
    const bool result =
        askDataSet(Folder, "TDataInfomation.IsDataPasswordAuth", "データのパスワード認証に失敗しました。", [&] {
            if (!DM->fnGetAccInfo()) return false;
            const bool ok = DM->CheckDataPassword();
            answered = true;
            return ok;
        });
    if (!result && answered)
        infoBox("このデータに設定されている「パスワード」と一致しませんでした。", "他のデータを選択して下さい。");
    return result;
}

void TDataInfomation::GetSeihinVersionName(int Major, int Minor, std::string& Name) const {
    if (Major == 0 && Minor > 0) {
        Name = "評価版";
        return;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d", Major, Minor);
    Name = buf;
    for (const auto& e : VersionList.Entries) {
        std::snprintf(buf, sizeof buf, "%d.%d", e.Major, e.Minor);
        if (Name == buf) {
            Name = e.TypeName;
            return;
        }
    }
}
