#include <gtest/gtest.h>

#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "app/ProcessForm.h"
#include "datasel/DataSentaku.h"
#include "platform/IniFile.h"
#include "platform/Prompt.h"
#include "support/FbFixture.h"
#include "support/TempDir.h"
#include "ui/AnimeProgress.h"

using namespace datasel;
using testsupport::FbColumns;
using testsupport::FbFixture;

namespace {

// ---------------------------------------------------------------------------
// Function-key captions

TDataListRec row(const std::string& name, int netDrive = 0, int kyoyuLock = 0, int gassan = 0)
{
    TDataListRec r;
    r.REC = 1;
    r.ENTTEXT = name;
    r.NETDRIVE = netDrive;
    r.KYOYULOCK = kyoyuLock;
    r.GASSAN = static_cast<std::uint8_t>(gassan);
    r.VER_MAJOR = name.empty() ? 0 : 14;
    return r;
}

struct CaptionCase {
    const char* what;
    std::uint8_t kind, mode, logon;
    TDataListRec r;
    bool hasRow;
    std::uint8_t paste;
    int parentGassan;
    int autoShare;
    // ESC F1 F2 F3 F4 F5 F6 F7 F8 F12, "-" for the bare key.
    std::array<const char*, 10> want;
};

std::string expected(int k, const char* w) { return std::string(w) == "-" ? BareCaption(k) : w; }

TEST(DataSentakuCaptions, FollowConnectionKindModeAndRow)
{
    const auto named = row("甲社");
    const auto slot = row("");
    const CaptionCase cases[] = {
        {"kind 0 mode 0 local data", 0, 0, 0, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "-", "-", "F5:ﾃﾞｰﾀ削除", "F6:保存", "F7:復元", "F8:印刷", "F12:選択"}},
        {"kind 0 mode 0 free slot", 0, 0, 0, slot, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "-", "F3:新規作成", "-", "-", "-", "F7:復元", "F8:印刷", "F12:選択"}},
        {"kind 0 mode 0 free slot in paste mode", 0, 0, 0, slot, true, 1, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:貼り付け", "F3:新規作成", "-", "-", "-", "F7:復元", "F8:印刷", "F12:選択"}},
        {"kind 0 consolidated parent", 0, 0, 0, row("合算", 0, 0, 1), true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "F3:分散追加", "-", "F5:ﾃﾞｰﾀ削除", "F6:保存", "F7:復元", "F8:印刷",
          "F12:選択"}},
        {"kind 0 child of a head-office consolidation", 0, 0, 0, row("子", 0, 0, 10), true, 0, 2, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "-", "-", "-", "F6:保存", "F7:復元", "F8:印刷", "F12:選択"}},
        {"kind 0 shared on the share, auto share off", 0, 0, 0, row("共有", 1, 0), true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "-", "-", "F4:割当解除", "-", "F6:保存", "-", "F8:印刷", "-"}},
        {"kind 0 shared on the share, auto share on", 0, 0, 0, row("共有", 1, 0), true, 0, 0, 1,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "-", "-", "F4:割当解除", "-", "F6:保存", "-", "F8:印刷", "F12:選択"}},
        {"kind 0 logon 1 shared on the share", 0, 0, 1, row("共有", 1, 0), true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "-", "-", "F4:割当解除", "-", "F6:保存", "-", "F8:印刷", "F12:選択"}},
        {"kind 0 taken free area", 0, 0, 0, row("空き領域", 1, 1), true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "F3:新規作成", "F4:割当解除", "-", "F6:保存", "F7:復元", "F8:印刷",
          "F12:選択"}},
        {"kind 0 mode 2 local data", 0, 2, 0, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "-", "-", "F5:ﾃﾞｰﾀ削除", "F6:保存", "F7:復元", "F8:印刷", "F12:選択"}},
        {"kind 0 mode 3", 0, 3, 0, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "-", "-", "-", "-", "-", "-", "-", "-", "F12:選択"}},
        {"kind 0 mode 4 free slot", 0, 4, 0, slot, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "-", "-", "-", "-", "-", "-", "-", "-", "F12:選択"}},
        {"kind 0 mode 5", 0, 5, 0, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "-", "-", "-", "-", "-", "-", "-", "-", "F12:選択"}},
        {"kind 0 no current row", 0, 0, 0, named, false, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "-", "-", "-", "-", "-", "-", "F8:印刷", "F12:選択"}},
        {"kind 0 logon 2", 0, 0, 2, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "-", "-", "F5:ﾃﾞｰﾀ削除", "-", "-", "F8:印刷", "F12:選択"}},
        {"kind 1 data", 1, 0, 0, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "F3:持ち出し", "F4:領域追加", "F5:ﾃﾞｰﾀ削除", "F6:保存", "F7:復元",
          "F8:印刷", "F12:選択"}},
        {"kind 1 free slot", 1, 0, 0, slot, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "-", "F3:新規作成", "F4:領域追加", "-", "-", "F7:復元", "F8:印刷", "F12:選択"}},
        {"kind 2 data", 2, 0, 0, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "-", "F4:領域追加", "F5:ﾃﾞｰﾀ削除", "F6:保存", "F7:復元", "F8:印刷",
          "F12:選択"}},
        {"kind 2 mode 2 free slot", 2, 2, 0, slot, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "-", "-", "F4:領域追加", "-", "-", "F7:復元", "F8:印刷", "F12:選択"}},
        {"kind 1 mode 3", 1, 3, 0, named, true, 0, 0, 0,
         {"ESC:ｷｬﾝｾﾙ", "-", "-", "-", "-", "-", "-", "-", "-", "F12:選択"}},
    };
    for (const auto& c : cases) {
        TFKeyInput in;
        in.ConnectKind = c.kind;
        in.SyoriType = c.mode;
        in.LogonMode = c.logon;
        in.Row = c.r;
        in.HasRow = c.hasRow;
        in.PasteMode = c.paste;
        in.ParentGassan = c.parentGassan;
        in.AutoShare = c.autoShare;
        const TFKeyState s = SetFKeyCaptions(in);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(s.Captions[static_cast<std::size_t>(k)], expected(k, c.want[static_cast<std::size_t>(k)]))
                << c.what << " key " << k;
    }
}

TEST(DataSentakuCaptions, DamagedRowCannotBeChosenAndModeThreeDisablesSearch)
{
    TFKeyInput in;
    in.HasRow = true;
    in.Row = row("甲社");
    in.Row.DATA_STATUS = 1;
    auto s = SetFKeyCaptions(in);
    EXPECT_EQ(s.Captions[fkF12], "F12:");
    EXPECT_FALSE(s.CloudEnabled);
    EXPECT_FALSE(s.SearchButtonsDisabled);
    in.Row.DATA_STATUS = 0;
    in.SyoriType = 3;
    s = SetFKeyCaptions(in);
    EXPECT_TRUE(s.SearchButtonsDisabled);
    in.GridEnabled = false;
    s = SetFKeyCaptions(in);
    EXPECT_EQ(s.RowState, 0);
    EXPECT_EQ(s.Captions[fkF12], "F12:");
}

// ---------------------------------------------------------------------------
// Launch parameters

TEST(DataSentakuParams, KeysAndTheirRules)
{
    TDataSentakuLaunch p;
    EXPECT_THROW(ReadDataSentakuParams({"SyoriType=6"}, 10001, p), std::runtime_error);
    p = {};
    ReadDataSentakuParams({"SyoriType=x"}, 10001, p);
    EXPECT_EQ(p.SyoriType, 0);
    EXPECT_EQ(p.FormStyle, TDataSentakuFormStyle::MdiChild);

    p = {};
    ReadDataSentakuParams({"SyoriType=3", "JyokenSet=1", "DataType=-13", "CodeType=0", "DataVerMajor=14",
                           "FormStyle=2"},
                          10001, p);
    EXPECT_EQ(p.SyoriType, 3);
    EXPECT_EQ(p.FormStyle, TDataSentakuFormStyle::Normal);
    EXPECT_EQ(p.LaunchConditions.JYOKENUSE, 1);
    EXPECT_EQ(p.LaunchConditions.OPCODE, 10001);
    EXPECT_EQ(p.LaunchConditions.DATATYPE, -13);
    EXPECT_EQ(p.LaunchConditions.DATAVER, "14");
    EXPECT_EQ(p.LaunchConditions.VerMatch, 1);

    p = {};
    ReadDataSentakuParams({"DataVerMajor=14", "JyokenSet=", "DataVer=13.5", "FormStyle=5"}, 1, p);
    EXPECT_EQ(p.LaunchConditions.VerMatch, 1) << "DataVer then DataVerMajor: the later key wins";
    EXPECT_EQ(p.FormStyle, TDataSentakuFormStyle::StayOnTop);

    p = {};
    ReadDataSentakuParams({"ManualFree=1"}, 1, p);
    EXPECT_FALSE(p.ManualFree);
    EXPECT_EQ(p.LaunchConditions.JYOKENUSE, 0);

    p = {};
    ReadDataSentakuParams({"SyoriType=5", "OnlySA_Syori=Restore", "OnlySA_BackupPath=/media/x"}, 1, p);
    EXPECT_EQ(p.OnlySaRestore, 1);
    EXPECT_EQ(p.OnlySaBackupPath, "/media/x");
    ReadDataSentakuParams({"SyoriType=5", "OnlySA_Syori=Other"}, 1, p);
    EXPECT_EQ(p.OnlySaRestore, 0);
    EXPECT_EQ(p.OnlySaBackupPath, "");
}

// ---------------------------------------------------------------------------
// Data-folder check

class FakeServices : public IDataSentakuServices {
public:
    std::map<std::string, bool> files;
    std::map<std::string, int> status;
    std::vector<std::string> removed;
    db::Attachment* SystemDatabase() override { return nullptr; }
    db::Transaction* SystemTransaction() override { return nullptr; }
    bool FileExists(const std::string& path, std::uint8_t) override { return files[path]; }
    bool RemoveDir(const std::string& path, std::uint8_t) override
    {
        removed.push_back(path);
        return true;
    }
    void DeleteLocalFile(const std::string&) override {}
    void GetDataStatus(const std::string& folder, TDataInfomationRec& rec) override
    {
        rec = {};
        rec.STATUS = static_cast<std::uint8_t>(status.count(folder) ? status[folder] : 1);
        rec.OPCODE = 10007;
        rec.OPERATOR = "乙";
    }
    bool ReadDataInfo(const std::string&, TDataInfomationRec&) override { return false; }
    void WriteIniFile(const std::string&, const std::string&, const TDataInfomationRec&) override {}
    void SetDataStatus(const std::string&, std::uint8_t) override {}
    int CallDataVerify(const std::string&, const std::string&, int, int) override { return 1; }
    bool IsCloudShareUse(bool) override { return false; }
    bool DataConnected() override { return true; }
    bool ReconnectData(const std::string&, const std::string&) override { return true; }
    bool PutSysDef() override { return true; }
    void OpenHelp(const std::string&) override {}
};

TEST(DataSentakuChecks, CheckDataFolderByKindModeAndStatus)
{
    struct Case {
        std::uint8_t kind, mode;
        bool db;
        int status, damaged;
        int want;
        std::size_t boxes;
    };
    const Case cases[] = {
        {0, 3, true, 1, 0, 1, 0},   // usable data
        {0, 3, false, 1, 0, -1, 1}, // no database: told and refused
        {0, 0, true, 2, 0, -1, 1},  // in use: refused with the status box
        {0, 0, true, 2, 1, -3, 1},  // refused and found damaged
        {0, 0, true, 10, 0, -1, 0}, // damaged status: no box
        {0, 2, false, 1, 0, 0, 0},  // destination without data
        {0, 4, true, 1, 0, 1, 0},   // destination with data
        {0, 5, false, 1, 0, 0, 0},  // mode 5 skips the status
        {1, 0, true, 2, 0, 1, 0},   // in use counts as usable on a server
        {1, 0, true, 3, 0, -1, 1},  // locked: refused
        {2, 2, false, 1, 0, 0, 0},
        {1, 5, true, 1, 0, -1, 0},
        {7, 0, true, 1, 0, -1, 1}, // unknown kind
    };
    for (const auto& c : cases) {
        platform::ScriptedPrompt prompt;
        FakeServices svc;
        svc.files["/d/1/tvacc.fdb"] = c.db;
        svc.status["/d/1"] = c.status;
        SystemDef.DataDamaged = c.damaged;
        TDataSentakuChecks checks(svc);
        checks.ConnectKind = c.kind;
        checks.SyoriType = c.mode;
        EXPECT_EQ(checks.CheckDataFolder("/d/1"), c.want) << int(c.kind) << "/" << int(c.mode) << "/" << c.status;
        EXPECT_EQ(prompt.messages.size(), c.boxes) << int(c.kind) << "/" << int(c.mode) << "/" << c.status;
    }
    SystemDef.DataDamaged = 0;
    platform::ScriptedPrompt prompt;
    FakeServices svc;
    TDataSentakuChecks checks(svc);
    checks.SyoriType = 3;
    EXPECT_EQ(checks.CheckDataFolder("\u3000 "), -2);
    checks.SyoriType = 1;
    EXPECT_THROW(checks.CheckDataFolder(""), std::runtime_error);
}

TEST(DataSentakuChecks, StatusRefusalNamesFolderAndOperator)
{
    platform::ScriptedPrompt prompt;
    FakeServices svc;
    svc.files["/d/1/tvacc.fdb"] = true;
    svc.status["/d/1"] = 2;
    SystemDef.GroupId = 1;
    TDataSentakuChecks checks(svc);
    EXPECT_EQ(checks.CheckDataStatus("/d/1", true, true), 2);
    ASSERT_EQ(prompt.messages.size(), 1u);
    const auto& m = prompt.messages[0];
    EXPECT_EQ(m.title, "選択データの状態");
    const std::string all = m.text() + "\r" + [&] {
        std::string d;
        for (const auto& l : m.details)
            d += l + "\r";
        return d;
    }();
    EXPECT_NE(all.find("このデータは使用中のため処理が行えません。"), std::string::npos) << all;
    EXPECT_NE(all.find("\u3000/d/1"), std::string::npos) << all;
    EXPECT_NE(all.find("\u30007"), std::string::npos) << all;
    // Silent check of a folder without data: usable.
    EXPECT_EQ(checks.CheckDataStatus("/d/none", false, true), 1);
    SystemDef.GroupId = 0;
}

// ---------------------------------------------------------------------------
// Incremental search and rows

TEST(DataSentakuRows, IncrementalSearchKeysAndWrap)
{
    const std::pair<int, const char*> keys[] = {{'7', "7"}, {'K', "K"}, {101, "5"}, {107, "+"},
                                                {189, "-"}, {190, "."}, {186, ":"}, {226, "\\"}, {20, ""}};
    for (const auto& [vk, ch] : keys)
        EXPECT_EQ(IncSerchCharOfKey(vk), ch) << vk;
    const std::vector<std::string> codes = {"120", "A1", "12b", "9"};
    EXPECT_EQ(IncSerchFind(codes, 0, "12"), 2);
    EXPECT_EQ(IncSerchFind(codes, 2, "12"), 0) << "wraps to the top";
    EXPECT_EQ(IncSerchFind(codes, 0, "12B"), 2) << "case ignored";
    EXPECT_EQ(IncSerchFind(codes, 1, "x"), -1);
}

TEST(DataSentakuRows, PathsAndShareState)
{
    TDataListRec r = row("共有", 1, 1);
    r.REC = 7;
    r.PASNAME = "/srv/share/sv0001/";
    EXPECT_EQ(RowDataPath(r, "/sys"), "/sys/0007");
    r.GASSAN = 10;
    r.PASNAME = "/srv/share/sv0001/child2";
    EXPECT_EQ(RowDataPath(r, "/sys/"), "/sys/0007/child2");
    EXPECT_EQ(KyoyuStateOf(r), 2);
    r.KYOYULOCK = 0;
    EXPECT_EQ(KyoyuStateOf(r), 1);
    r.NETDRIVE = 0;
    EXPECT_EQ(KyoyuStateOf(r), 0);
    EXPECT_EQ(RowDataPath(r, "/sys"), "/srv/share/sv0001/child2");
    EXPECT_EQ(GridPathText("/Base/DATA/0001", "/base"), "~/DATA/0001");
}

TEST(DataSentakuRows, ChildFoldersToRemoveSparesOtherFolders)
{
    testsupport::TempDir dir;
    namespace fs = std::filesystem;
    const fs::path base = dir.path() / "0001";
    for (const char* d : {"child1", "child2", "docs", "old"})
        fs::create_directories(base / d);
    std::ofstream(base / "child1" / "tvacc.fdb") << "x";
    std::ofstream(base / "old" / "tvacc.fdb") << "x";
    TDataSentakuRec parent;
    parent.GASSAN = 1;
    TDataListRec child;
    child.PASNAME = (base / "child2").string();
    parent.Children.push_back(child);
    auto got = ChildFoldersToRemove(parent, base.string());
    std::sort(got.begin(), got.end());
    const std::vector<std::string> want = {(base / "child1").string(), (base / "child2").string(),
                                           (base / "old").string()};
    EXPECT_EQ(got, want);
}

// ---------------------------------------------------------------------------
// The dialog over a real system database, launched by its process name

class DataSentakuLaunch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAccRecordGlobals();
        SystemDef.UserName = testsupport::kFbUser;
        SystemDef.Password = testsupport::kFbPassword;
        SystemDef.LogDir = fb.path("log").string();
        std::filesystem::create_directories(SystemDef.LogDir);
        sysDb = fb.makeSystemDb("system");
        SystemDef.SysDir = fb.path("system").string();
        SystemDef.BaseDir = fb.dir().str();
        SystemDef.GroupId = 10000;
        SystemDef.OpCode = 10001;
        SystemDef.SysDbVersion = {12, 0, 0};
        SystemDef.AppLabel = "連動";
        // Corporation, medical corporation, sole proprietor, an older and a
        // newer version and a free slot.
        add(1, "甲法人", 1, 0, 14, 0, "A01");
        add(2, "乙医療法人", 3, 1, 14, 2, "B02");
        add(3, "丙個人", 2, 1, 14, 0, "C03");
        add(4, "丁旧版", 1, 0, 13, 9, "D04");
        add(5, "戊新版", 1, 0, 15, 0, "E05");
        add(6, "", 0, 0, 0, 0, "");
        DM = std::make_unique<TDM>();
        ASSERT_TRUE(DM->fnAccDefConnected());
        RegisterDataSentakuBox();
    }
    void TearDown() override
    {
        TDataSentakuBox::ModalRunner = nullptr;
        TDataSentakuBox::ServicesFactory = nullptr;
        ClearProcessForms();
        DM.reset();
        ResetAccRecordGlobals();
    }

    std::string folder(int rec) { return fb.path("DATA/" + std::to_string(rec)).string(); }

    void add(int rec, const std::string& name, int type, int code, int major, int minor1, const std::string& dataCode)
    {
        std::filesystem::create_directories(folder(rec));
        if (!name.empty()) {
            // A stand-in database with its status file: the dialog reads
            // the status, not the database, before choosing.
            std::ofstream(folder(rec) + "/tvacc.fdb") << "x";
            platform::IniFile(folder(rec) + "/tvacc.ini").writeInteger("DATASTS", "STATUS", 1);
        }
        const std::string ver = std::to_string(major) + "." + std::to_string(minor1) + ".0";
        FbFixture::insertRow(sysDb, "DATALIST",
                             FbColumns{{"REC", std::to_string(rec)},
                                       {"GROUPID", "10000"},
                                       {"ENTTEXT", name},
                                       {"SHOUGOU", name},
                                       {"PASNAME", folder(rec)},
                                       {"DATACODE", dataCode},
                                       {"DATATYPE", std::to_string(type)},
                                       {"CODETYPE", std::to_string(code)},
                                       {"NENDO", name.empty() ? "1" : "5"},
                                       {"VER_MAJOR", std::to_string(major)},
                                       {"VER_MINOR1", std::to_string(minor1)},
                                       {"VER_TEXT", name.empty() ? "" : ver},
                                       {"KISHU", name.empty() ? "1899-12-30" : "2024-04-01"},
                                       {"KIMATU", name.empty() ? "1899-12-30" : "2025-03-31"}});
    }

    // Runs the launch; `drive` acts on the shown dialog from a timer.
    int launch(std::function<void(TDataSentakuBox&)> drive,
               const std::string& params = "SyoriType=3\rJyokenSet=1\rDataType=-13\rCodeType=0\rDataVerMajor=14")
    {
        TDataSentakuBox::ModalRunner = [drive](TDataSentakuBox& box) {
            QEventLoop loop;
            QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
            box.show();
            QTimer::singleShot(0, &box, [&box, drive] { drive(box); });
            QTimer::singleShot(10000, &loop, [&loop] { loop.quit(); }); // never hang
            loop.exec();
            return box.isVisible() ? -99 : box.modalResult();
        };
        return ExecProcessForm("VqDataSenkaku", 1, params);
    }

    static std::vector<std::string> codes(TDataSentakuBox& box)
    {
        std::vector<std::string> out;
        for (int r = 0; r < box.RowCount(); ++r)
            out.push_back(box.CellText(r, TDataSentakuBox::colCode));
        return out;
    }

    FbFixture fb;
    platform::ScriptedPrompt prompt;
    std::string sysDb;
};

TEST_F(DataSentakuLaunch, ConverterLaunchShowsMatchingRowsAndF12ChoosesFolder)
{
    SystemDef.DataDir = folder(2);
    std::vector<std::string> shown;
    std::array<std::string, 10> captions;
    int currentOnShow = -1;
    const int result = launch([&](TDataSentakuBox& box) {
        shown = codes(box);
        currentOnShow = box.CurrentRow();
        for (int k = 0; k < 10; ++k)
            captions[static_cast<std::size_t>(k)] = box.Caption(k);
        box.SetCurrentRow(0);
        QTest::keyClick(box.PerfectGrid1, Qt::Key_F12);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"A01", "B02"}));
    EXPECT_EQ(currentOnShow, 1) << "the data in use is current when shown";
    const std::array<std::string, 10> mode3 = {"ESC:ｷｬﾝｾﾙ", "F1:", "F2:", "F3:", "F4:",
                                               "F5:",         "F6:", "F7:", "F8:", "F12:選択"};
    EXPECT_EQ(captions, mode3);
    EXPECT_EQ(SystemDef.DataDir, folder(1));
    EXPECT_EQ(SystemDef.ChosenPasName, folder(1));
    EXPECT_TRUE(prompt.messages.empty()) << prompt.texts().front();
}

TEST_F(DataSentakuLaunch, EscFallsBackToTheEntryData)
{
    SystemDef.DataDir = folder(2);
    const int result = launch([&](TDataSentakuBox& box) {
        box.SetCurrentRow(0);
        SystemDef.DataDir = "/elsewhere";
        QTest::keyClick(box.PerfectGrid1, Qt::Key_Escape);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(SystemDef.DataDir, folder(2));
    EXPECT_EQ(SystemDef.ChosenPasName, "");
}

TEST_F(DataSentakuLaunch, EscWithEntryDataGoneKeepsTheFolderAndCloses)
{
    SystemDef.DataDir = folder(2);
    const int result = launch([&](TDataSentakuBox& box) {
        std::filesystem::remove(folder(2) + "/tvacc.fdb");
        QTest::keyClick(box.PerfectGrid1, Qt::Key_Escape);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(SystemDef.DataDir, folder(2));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "このフォルダには財務データがありません。");
}

TEST_F(DataSentakuLaunch, EnterOnAMissingDatabaseIsRefusedAndTheRowCleared)
{
    SystemDef.DataDir = folder(2);
    std::vector<std::string> after;
    const int result = launch([&](TDataSentakuBox& box) {
        std::filesystem::remove(folder(1) + "/tvacc.fdb");
        box.SetCurrentRow(0);
        QTest::keyClick(box.PerfectGrid1, Qt::Key_Return);
        after.push_back(box.isVisible() ? "open" : "closed");
        after.push_back(box.CellText(0, TDataSentakuBox::colName));
        after.push_back(box.CellText(0, TDataSentakuBox::colKikan));
        box.ESCClick();
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(after, (std::vector<std::string>{"open", "", "\uFF5E"}));
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT ENTTEXT FROM DATALIST WHERE REC=1"), "");
}

TEST_F(DataSentakuLaunch, OtherProcessesOpenRefuseTheModalStart)
{
    MenuRequestHook = [](int request, const std::string&) { return request == 10 ? 1 : 0; };
    bool shown = false;
    EXPECT_EQ(launch([&](TDataSentakuBox&) { shown = true; }), -1);
    EXPECT_FALSE(shown);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(),
              "メニュー以外の処理が開いています。\r全ての処理を閉じてから処理を実行してください。");
    MenuRequestHook = nullptr;
}

TEST_F(DataSentakuLaunch, ModeOneGreysLockedOldDataSortsByHeaderAndAsksBeforeEnding)
{
    FbFixture::exec(sysDb, "UPDATE DATALIST SET UPDATE_LOCK=1 WHERE REC IN (1,4);");
    SystemDef.DataDir = folder(2);
    prompt.answer(platform::mrOk);     // the refusal of the locked row
    prompt.answer(platform::mrCancel); // first end question: stay
    prompt.answer(platform::mrOk);     // second: end
    std::vector<std::string> all, byNameAsc, byNameDesc, byRec;
    std::uint32_t lockedOld = 0, lockedCurrent = 0;
    bool openAfterNo = false;
    const int result = launch(
        [&](TDataSentakuBox& box) {
            all = codes(box);
            lockedCurrent = box.RowTextColor(0);
            lockedOld = box.RowTextColor(3);
            box.SetCurrentRow(3);
            QTest::keyClick(box.PerfectGrid1, Qt::Key_F12);
            box.GridHeaderClick(TDataSentakuBox::colName);
            byNameAsc = codes(box);
            box.GridHeaderClick(TDataSentakuBox::colName);
            byNameDesc = codes(box);
            box.GridHeaderClick(TDataSentakuBox::colNo);
            byRec = codes(box);
            box.close();
            openAfterNo = box.isVisible();
            box.close();
        },
        "SyoriType=1");
    EXPECT_EQ(result, 3);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(all, (std::vector<std::string>{"A01", "B02", "C03", "D04", "E05", ""}));
    EXPECT_EQ(lockedOld, 0x808080u) << "locked data awaiting an update is grey";
    EXPECT_NE(lockedCurrent, 0x808080u) << "locked data of the program's version is not";
    ASSERT_EQ(prompt.messages.size(), 3u);
    EXPECT_EQ(prompt.messages[0].lines.at(0).text, "このデータは「データの更新」処理を行うことが禁止されています。");
    EXPECT_EQ(prompt.messages[1].text(), "連動を終了します。よろしいですか？");
    // Names ascending: 丁 丙 乙 戊 甲 by code point order of the database; free slots last.
    EXPECT_EQ(byNameAsc.back(), "");
    EXPECT_EQ(byNameDesc.back(), "");
    std::vector<std::string> named(byNameAsc.begin(), byNameAsc.end() - 1);
    std::reverse(named.begin(), named.end());
    EXPECT_EQ(named, std::vector<std::string>(byNameDesc.begin(), byNameDesc.end() - 1));
    EXPECT_EQ(byRec, all) << "No sorts by REC ascending again";
}


// ---------------------------------------------------------------------------
// The dialog with the data sets' status under the test's control: the
// system database is real, the status of each data folder is scripted.

struct ScriptedStatus {
    int status = 1;
    int opCode = 0;
    std::string name;
};

class ScriptedServices : public TDataSentakuServices {
public:
    std::map<std::string, ScriptedStatus> status;
    std::map<std::string, TDataInfomationRec> dataInfo; // readable data databases
    std::vector<std::string> statusReads;
    std::vector<std::pair<std::string, int>> statusWrites;
    std::function<void(const std::string&)> onStatusRead;
    bool cloud = false;

    bool FileExists(const std::string& path, std::uint8_t) override
    {
        std::error_code ec;
        return std::filesystem::is_regular_file(path, ec);
    }
    void GetDataStatus(const std::string& folder, TDataInfomationRec& rec) override
    {
        statusReads.push_back(folder);
        rec = {};
        const auto it = status.find(folder);
        const ScriptedStatus st = it == status.end() ? ScriptedStatus{} : it->second;
        rec.STATUS = static_cast<std::uint8_t>(st.status);
        rec.OPCODE = st.opCode;
        rec.OPERATOR = st.name;
        if (onStatusRead)
            onStatusRead(folder);
    }
    bool ReadDataInfo(const std::string& folder, TDataInfomationRec& rec) override
    {
        const auto it = dataInfo.find(folder);
        if (it == dataInfo.end())
            return false;
        rec = it->second;
        return true;
    }
    void SetDataStatus(const std::string& folder, std::uint8_t st) override { statusWrites.emplace_back(folder, st); }
    bool IsCloudShareUse(bool) override { return cloud; }
};

class DataSentakuScripted : public DataSentakuLaunch {
protected:
    void SetUp() override
    {
        DataSentakuLaunch::SetUp();
        svc = std::make_shared<ScriptedServices>();
        TDataSentakuBox::ServicesFactory = [s = svc] { return s; };
    }
    std::string lockOf(int rec)
    {
        return FbFixture::scalar(sysDb, "SELECT DATALOCK FROM DATALIST WHERE REC=" + std::to_string(rec));
    }
    static void clickCell(TDataSentakuBox& box, int row, int col)
    {
        const QModelIndex ix = box.GridModel->index(row, col);
        box.PerfectGrid1->scrollTo(ix);
        QTest::mouseClick(box.PerfectGrid1->viewport(), Qt::LeftButton, {},
                          box.PerfectGrid1->visualRect(ix).center());
    }
    static std::vector<std::string> names(TDataSentakuBox& box)
    {
        std::vector<std::string> out;
        for (int r = 0; r < box.RowCount(); ++r)
            out.push_back(box.CellText(r, TDataSentakuBox::colName));
        return out;
    }
    std::shared_ptr<ScriptedServices> svc;
};

TEST_F(DataSentakuScripted, LockColumnLocksAndReleasesOnlyTheOperatorsOwnLock)
{
    ConnectKind = 1;
    // Login 1 of the group is the operator; login 7 is another operator.
    const int me = SystemDef.GroupId * 10000 + 1, other = SystemDef.GroupId * 10000 + 7;
    SystemDef.OpCode = me;
    FbFixture::exec(sysDb, "UPDATE DATALIST SET DATALOCK=1 WHERE REC=2;");
    FbFixture::exec(sysDb, "UPDATE DATALIST SET DATALOCK=7 WHERE REC=3;");
    struct Case {
        const char* what;
        int rec;
        ScriptedStatus st;
        int wantWrite; // the status written, -1 none
        const char* wantLock;
        const char* wantCaption; // "" no box
        std::string wantText;
    };
    const Case cases[] = {
        {"free data is locked", 1, {1, 0, ""}, 3, "1", "", ""},
        {"own lock is released", 2, {3, me, "甲"}, 1, "0", "", ""},
        {"another operator's lock stays", 3, {3, other, "乙"}, -1, "7", "ロックデータの状態",
         "このデータは違うオペレータによりロックされているため解除は行えません。"},
        {"data being saved is refused", 4, {4, other, "乙"}, -1, "0", "選択データの状態",
         "このデータは保存中のため処理が行えません。"},
        {"data in use by another operator can be locked", 5, {2, other, "乙"}, 3, "1", "", ""},
    };
    for (const auto& c : cases)
        svc->status[folder(c.rec)] = c.st;
    SystemDef.DataDir = folder(1);
    std::vector<std::vector<std::pair<std::string, int>>> writes;
    std::vector<std::string> pictures;
    std::vector<std::size_t> boxes;
    bool otherColumnIgnored = false;
    const int result = launch(
        [&](TDataSentakuBox& box) {
            clickCell(box, 0, TDataSentakuBox::colName);
            otherColumnIgnored = svc->statusWrites.empty() && svc->statusReads.empty();
            for (const auto& c : cases) {
                svc->statusWrites.clear();
                clickCell(box, c.rec - 1, TDataSentakuBox::colLockPic);
                writes.push_back(svc->statusWrites);
                pictures.push_back(box.CellText(c.rec - 1, TDataSentakuBox::colLockPic));
                boxes.push_back(prompt.messages.size());
            }
            box.ESCClick();
        },
        "SyoriType=0");
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(otherColumnIgnored) << "only the lock column acts";
    std::size_t shown = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        ASSERT_LT(i, writes.size());
        if (c.wantWrite < 0)
            EXPECT_TRUE(writes[i].empty()) << c.what;
        else
            EXPECT_EQ(writes[i], (std::vector<std::pair<std::string, int>>{{folder(c.rec), c.wantWrite}})) << c.what;
        EXPECT_EQ(lockOf(c.rec), c.wantLock) << c.what;
        EXPECT_EQ(pictures[i].empty(), std::string(c.wantLock) == "0") << c.what;
        if (std::string(c.wantCaption).empty()) {
            EXPECT_EQ(boxes[i], shown) << c.what;
            continue;
        }
        ASSERT_EQ(boxes[i], shown + 1) << c.what;
        const auto& m = prompt.messages[shown++];
        EXPECT_EQ(m.title, c.wantCaption) << c.what;
        std::string all = m.text();
        for (const auto& d : m.details)
            all += "\r" + d;
        EXPECT_NE(all.find(c.wantText), std::string::npos) << c.what << ": " << all;
        for (const std::string& part : {std::string("\u3000") + folder(c.rec), std::string("\u30007"),
                                        std::string("\u3000乙")})
            EXPECT_NE(all.find(part), std::string::npos) << c.what << ": " << part << " in " << all;
    }
}

TEST_F(DataSentakuScripted, RefreshAllShowsProgressAndStopsWhenCancelled)
{
    // Five rows with data and a free slot; the cancel button is pressed
    // while the n-th data set is read (0: never).
    for (const int cancelAt : {0, 1, 3}) {
        prompt.messages.clear();
        prompt.answer(platform::mrYes);
        std::string caption, firstText;
        bool cancelShown = false;
        svc->statusReads.clear();
        svc->onStatusRead = [&](const std::string&) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* f = qobject_cast<TxProgressForm*>(w); f && f->isVisible()) {
                    if (svc->statusReads.size() == 1) {
                        caption = f->windowTitle().toStdString();
                        firstText = f->label->text().toStdString();
                        cancelShown = f->cancelButton->isVisible();
                    }
                    if (static_cast<int>(svc->statusReads.size()) == cancelAt)
                        f->cancelButton->click();
                }
        };
        bool progressGone = false, enabledAgain = false;
        std::size_t reads = 0;
        launch(
            [&](TDataSentakuBox& box) {
                svc->statusReads.clear();
                box.btnListUpdate->click();
                reads = svc->statusReads.size();
                progressGone = true;
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (qobject_cast<TxProgressForm*>(w) && w->isVisible())
                        progressGone = false;
                enabledAgain = box.isEnabled();
                box.ESCClick();
            },
            "SyoriType=0");
        svc->onStatusRead = nullptr;
        EXPECT_EQ(reads, cancelAt == 0 ? 5u : static_cast<std::size_t>(cancelAt)) << "cancel at " << cancelAt;
        EXPECT_EQ(caption, "更新中");
        EXPECT_EQ(firstText, "データリスト（1行目）の更新中…");
        EXPECT_TRUE(cancelShown);
        EXPECT_TRUE(progressGone);
        EXPECT_TRUE(enabledAgain);
        ASSERT_FALSE(prompt.messages.empty());
        EXPECT_EQ(prompt.messages[0].text(), "データリストの更新を行います。\rよろしいですか？");
    }
}

TEST_F(DataSentakuScripted, RefreshAllOnAServerRereadsTheListAndKeepsTheCurrentRow)
{
    ConnectKind = 1;
    SystemDef.DataDir = folder(1);
    prompt.answer(platform::mrYes);
    std::vector<std::string> before, after;
    std::string currentRec;
    const int result = launch(
        [&](TDataSentakuBox& box) {
            before = names(box);
            box.SetCurrentRow(2);
            // Another operator adds a data set past the fixed slots, leaving a gap.
            add(125, "己追加", 1, 0, 14, 0, "F06");
            box.btnListUpdate->click();
            after = names(box);
            currentRec = box.CellText(box.CurrentRow(), TDataSentakuBox::colNo);
            box.ESCClick();
        },
        "SyoriType=0");
    EXPECT_EQ(result, 2);
    const std::vector<std::string> listed = {"甲法人", "乙医療法人", "丙個人", "丁旧版", "戊新版", ""};
    EXPECT_EQ(before, listed);
    std::vector<std::string> withNew = listed;
    withNew.push_back("己追加");
    EXPECT_EQ(after, withNew);
    EXPECT_EQ(currentRec, "3") << "the data set that was current stays current";
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT REC FROM DATALIST WHERE ENTTEXT='己追加'"), "121")
        << "rows past the fixed slots are renumbered";
}

TEST_F(DataSentakuScripted, RefreshOfAConsolidatedRowCachesEachChildsFlags)
{
    FbFixture::exec(sysDb, "UPDATE DATALIST SET GASSAN=1 WHERE REC=1;");
    namespace fs = std::filesystem;
    const std::string child = folder(1) + "/child1";
    fs::create_directories(child);
    std::ofstream(child + "/tvacc.fdb") << "x";
    TDataInfomationRec parent;
    parent.GASSANKBN = 1;
    parent.DATALISTNAME = "甲法人";
    svc->dataInfo[folder(1)] = parent;
    TDataInfomationRec kid;
    kid.DATALISTNAME = "甲支店";
    kid.UPDATE_LOCK = 1;
    kid.READ_ONLY = 1;
    svc->dataInfo[child] = kid;
    SystemDef.DataDir = folder(1);
    int rows = 0;
    launch(
        [&](TDataSentakuBox& box) {
            box.DataListRefresh(0);
            rows = box.RowCount();
            box.ESCClick();
        },
        "SyoriType=0");
    EXPECT_EQ(rows, 7) << "the child shows under its parent";
    platform::IniFile ini(child + "/tvacc.ini");
    EXPECT_EQ(ini.readInteger("DATASTS", "UPDATE_LOCK", -1), 1);
    EXPECT_EQ(ini.readInteger("DATASTS", "READ_ONLY", -1), 1);
}

TEST_F(DataSentakuScripted, ModeFiveRefusesCloudDataWithTheInformationBox)
{
    FbFixture::exec(sysDb, "UPDATE DATALIST SET CLOUD=1 WHERE REC=1;");
    svc->cloud = true;
    SystemDef.DataDir = folder(2);
    bool open = false;
    const int result = launch(
        [&](TDataSentakuBox& box) {
            box.SetCurrentRow(0);
            QTest::keyClick(box.PerfectGrid1, Qt::Key_F12);
            open = box.isVisible();
            box.ESCClick();
        },
        "SyoriType=5\rOnlySA_Syori=Backup\rOnlySA_BackupPath=/media/x");
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(open);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].source, "TMessageBox2");
    EXPECT_EQ(prompt.messages[0].kind, platform::pkInformation);
    EXPECT_EQ(prompt.messages[0].title, "情報");
    EXPECT_EQ(prompt.messages[0].text(), "クラウドシェアデータのため選択できません。他の場所を選んで下さい。");
}

TEST_F(DataSentakuLaunch, HeaderClickOnAnEmptyListKeepsTheSortOrder)
{
    int sortCol = 0, sortDesc = 0, rows = -1;
    launch([&](TDataSentakuBox& box) {
        rows = box.RowCount();
        sortCol = box.SortCol;
        sortDesc = box.SortDesc;
        box.PerfectGrid1->horizontalHeader()->sectionClicked(TDataSentakuBox::colName);
        sortCol = box.SortCol == sortCol ? sortCol : -100;
        sortDesc = box.SortDesc == sortDesc ? sortDesc : -100;
        box.ESCClick();
    },
           "SyoriType=0\rJyokenSet=1\rDataType=99");
    EXPECT_EQ(rows, 0);
    EXPECT_NE(sortCol, -100) << "the sort column changed";
    EXPECT_NE(sortDesc, -100) << "the sort direction changed";
}

} // namespace
