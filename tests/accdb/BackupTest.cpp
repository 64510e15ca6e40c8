// Status file, backup services, trailer, My Number log and the worker, on
// real embedded databases.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include <QCoreApplication>

#include "DataModuleSupport.h"
#include "accdb/AccReg.h"
#include "accdb/BackupRestoreThread.h"
#include "accdb/BackupService.h"
#include "accdb/BackupTrailer.h"
#include "accdb/DataInfomation.h"
#include "accdb/MyNumberIO.h"
#include "platform/AppEvents.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testsupport::FbFixture;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

std::string count(const std::string& db, const std::string& table) {
    return FbFixture::scalar(db, "SELECT COUNT(*) FROM " + table);
}

// A data set with a few log rows to count across a round trip.
class BackupTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        SystemDef.OpCode = 10001;
        SystemDef.LoginCode = 1;
        SystemDef.OpName = "山田";
        SystemDef.PcName = "PC1";
        DataFile = "tvacc.fdb";
        DataDefFile = "tvaccdef.fdb";
        DataBackupFile = "tvacc.fbk";
        dir = makeData();
        db = dir + "/tvacc.fdb";
        for (int i = 1; i <= 3; ++i)
            FbFixture::exec(db, "INSERT INTO MYNUMBER_LOG (FHIZUKE, FOPCODE) VALUES ('2024-01-0" +
                                    std::to_string(i) + " 10:00', '1');");
    }
    void setUse(int use) {
        ASSERT_TRUE(DM->fnAccDatConnected("", dir, 0));
        funcPutAccReg("基本設定", "＃USE", "整数", TRegValue(use));
        DM->fnAccDatDisconnect(dir, 0, 0);
    }
    std::string dir, db;
};

} // namespace

// ---------------------------------------------------------------- status file

TEST_F(BackupTest, StatusFileBytesAfterLockThenFree) {
    const std::string folder = fb.path("st").string();
    fs::create_directories(folder);
    TDataInfomation info;
    info.SetDataStatus(folder, 3);
    EXPECT_EQ(readFileBytes(folder + "/tvacc.ini"),
              platform::toCp932("[DATASTS]\r\nSTATUS=3\r\nOPCODE=10001\r\nOPERATOR=山田\r\n"));
    info.SetDataStatus(folder, 1);
    EXPECT_EQ(readFileBytes(folder + "/tvacc.ini"), "[DATASTS]\r\nSTATUS=1\r\n");
}

TEST_F(BackupTest, ReadIniFileOfFilesOnDisk) {
    struct Case {
        const char* ini;
        int status, share, major, minor, release;
        const char* listName;
    };
    const Case cases[] = {
        {"[DATASTS]\r\n", 1, 1, 0, 0, 0, ""},
        {"[DATASTS]\r\nSTATUS=x\r\n[DATAINFO]\r\nSHOUGOU=A\r\nVERSION1=12.1.3\r\n", 1, 1, 12, 1, 3, "A"},
        {"[DATASTS]\r\nSTATUS=4\r\nSHARE_STATUS=2\r\n[DATAINFO]\r\nVERSION1=12\r\nDATALISTNAME=B\r\n", 4, 2, 12, 0, 0,
         "B"},
    };
    const std::string folder = fb.path("ini").string();
    fs::create_directories(folder);
    TDataInfomation info;
    for (const auto& c : cases) {
        writeFileBytes(folder + "/tvacc.ini", c.ini);
        TDataInfomationRec r;
        EXPECT_TRUE(info.ReadIniFile("", folder, r)) << c.ini;
        EXPECT_EQ(r.STATUS, c.status) << c.ini;
        EXPECT_EQ(r.SHARE_STATUS, c.share) << c.ini;
        EXPECT_EQ(r.VerMajor * 10000 + r.VerMinor1 * 100 + r.VerMinor2, c.major * 10000 + c.minor * 100 + c.release);
        EXPECT_EQ(r.DATALISTNAME, c.listName);
    }
    TDataInfomationRec r;
    r.STATUS = 5;
    EXPECT_FALSE(info.ReadIniFile("", fb.path("nothing").string(), r));
    EXPECT_EQ(r.STATUS, 1);
}

TEST_F(BackupTest, ReadIniFileWritesTheMissingStatusFileFromTheDatabase) {
    InstallDataInfomation();
    TDataInfomation info;
    TDataInfomationRec r;
    ASSERT_TRUE(info.ReadIniFile("", dir, r));
    EXPECT_EQ(r.STATUS, 1);
    EXPECT_EQ(r.SHOUGOU, "株式会社テスト");
    EXPECT_EQ(r.VerMajor, 14);
    EXPECT_EQ(r.KISHU, "2024/04/01");
}

TEST_F(BackupTest, UpdateDataInfomationCutsTheNameToFortyBytes) {
    TDataInfomation info;
    TDataInfomationRec r;
    r.DATALISTNAME = std::string(39, 'a') + "漢字" + "bbbbbbb";
    info.UpdateDataInfomation("", dir, r);
    EXPECT_EQ(FbFixture::scalar(db, "SELECT ENTTEXT FROM ACCDEF1"), std::string(39, 'a'));
}

TEST_F(BackupTest, UpdateDataInfomationKeepsTheStoredNameOnlyForABlankOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "テスト"},
        {" \t ", "テスト"},
        {"　　", ""}, // full-width blanks are a name given, trimmed to nothing
        {" 　新名称　 ", "新名称"},
    };
    TDataInfomation info;
    for (auto [given, stored] : cases) {
        FbFixture::exec(db, "UPDATE ACCDEF1 SET ENTTEXT='テスト';");
        TDataInfomationRec r;
        r.DATALISTNAME = given;
        info.UpdateDataInfomation("", dir, r);
        EXPECT_EQ(r.DATALISTNAME, stored) << given;
        EXPECT_EQ(FbFixture::scalar(db, "SELECT ENTTEXT FROM ACCDEF1"), stored) << given;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(BackupTest, GetShareDataWarnsWhenTheLocalFolderCannotBeMade) {
    writeFileBytes(fb.path("plain"), "a file, not a folder");
    const std::string local = fb.path("plain").string() + "/local";
    TDataInfomation info;
    EXPECT_EQ(info.GetShareData(dir, local, 0), 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    const auto& m = prompt.messages[0];
    EXPECT_EQ(m.kind, platform::pkWarning);
    EXPECT_EQ(m.title, "警告");
    EXPECT_EQ(m.buttons, platform::mbYes);
    EXPECT_EQ(m.text(), "\"" + local + "\"の作成に失敗しました。");
    // Silently: no box.
    prompt.messages.clear();
    EXPECT_EQ(info.GetShareData(dir, local, 1), 0);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(BackupTest, GetShareDataKeepsUnreturnedLocalWorkAndMarksOnlyAGoodCopy) {
    const std::string share = dir;
    const std::string local = fb.path("local").string();
    TDataInfomation info;
    // A good copy: local free and taken, share taken.
    ASSERT_EQ(info.GetShareData(share, local, 1), 1);
    TDataInfomationRec r;
    ReadDataStatusFile(share, r);
    EXPECT_EQ(r.SHARE_STATUS, 2);
    ReadDataStatusFile(local, r);
    EXPECT_EQ(r.SHARE_STATUS, 2);
    // Local work not returned: the share is put back at home, yet a new
    // take must not overwrite the local copy.
    writeFileBytes(local + "/tvacc.fdb", "local work");
    info.SetShareStatus(share, 1);
    EXPECT_EQ(info.GetShareData(share, local, 1), 0);
    EXPECT_EQ(readFileBytes(local + "/tvacc.fdb"), "local work");
    // A failed copy (empty share) leaves the share at home.
    const std::string empty = fb.path("emptyshare").string();
    fs::create_directories(empty);
    EXPECT_EQ(info.GetShareData(empty, fb.path("local2").string(), 1), 0);
    ReadDataStatusFile(empty, r);
    EXPECT_EQ(r.SHARE_STATUS, 1);
    EXPECT_EQ(r.STATUS, 1);
}

// ------------------------------------------------------------ backup services

TEST_F(BackupTest, ServiceAndGbakRoundTripsKeepTheRows) {
    for (bool gbak : {false, true}) {
        const std::string bak = fb.path(gbak ? "g.fbk" : "s.fbk").string();
        if (gbak) ASSERT_TRUE(BackupFDBGbak(TProtocol::Local, "", db, bak, 1));
        else ASSERT_TRUE(BackupFDB(TProtocol::Local, "", db, bak, 0));
        EXPECT_FALSE(fs::exists(dir + "/tvacc.fb_"));
        EXPECT_FALSE(fs::exists(bak + ".tmp"));
        FbFixture::exec(db, "DELETE FROM MYNUMBER_LOG;");
        if (gbak) ASSERT_TRUE(RestoreFDBGbak(TProtocol::Local, "", db, bak, 1));
        else ASSERT_TRUE(RestoreFDB(TProtocol::Local, "", db, bak, 1));
        EXPECT_EQ(count(db, "MYNUMBER_LOG"), "3") << gbak;
        EXPECT_FALSE(DM->IBDatabaseDAT.connected());
    }
}

TEST_F(BackupTest, BackupOntoAnotherFileSystemArrivesWhole) {
    // The work file sits beside the database; /dev/shm is a file system of
    // its own, so the work file cannot simply be renamed there.
    struct stat shmStat {}, dataStat {};
    if (::stat("/dev/shm", &shmStat) != 0 || ::stat(dir.c_str(), &dataStat) != 0 ||
        shmStat.st_dev == dataStat.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    std::string name = "/dev/shm/zr-backup-XXXXXX";
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    struct Cleanup {
        fs::path p;
        ~Cleanup() {
            std::error_code ec;
            fs::remove_all(p, ec);
        }
    } cleanup{name};
    auto entries = [&] {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(name)) names.insert(e.path().filename().string());
        return names;
    };

    const std::string bak = name + "/s.fbk";
    writeFileBytes(bak, "an older backup");
    ASSERT_TRUE(BackupFDB(TProtocol::Local, "", db, bak, 0));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(fs::exists(dir + "/tvacc.fb_"));
    EXPECT_EQ(entries(), std::set<std::string>{"s.fbk"});
    FbFixture::exec(db, "DELETE FROM MYNUMBER_LOG;");
    ASSERT_TRUE(RestoreFDB(TProtocol::Local, "", db, bak, 1));
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "3");

    // A name that cannot be replaced: the backup fails and leaves no copy
    // and no work file behind.
    fs::create_directories(name + "/d.fbk/x");
    prompt.messages.clear();
    EXPECT_FALSE(BackupFDB(TProtocol::Local, "", db, name + "/d.fbk", 0));
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(entries(), (std::set<std::string>{"d.fbk", "s.fbk"}));
    EXPECT_FALSE(fs::exists(dir + "/tvacc.fb_"));
}

TEST_F(BackupTest, FailingRestoreLeavesTheDatabaseAsItWas) {
    const std::string bak = fb.path("bad.fbk").string();
    ASSERT_TRUE(BackupFDB(TProtocol::Local, "", db, bak, 0));
    std::string bytes = readFileBytes(bak);
    bytes.resize(bytes.size() / 2);
    writeFileBytes(bak, bytes);
    const std::string before = readFileBytes(db);
    EXPECT_FALSE(RestoreFDB(TProtocol::Local, "", db, bak, 1));
    EXPECT_FALSE(RestoreFDBGbak(TProtocol::Local, "", db, bak, 1));
    EXPECT_TRUE(readFileBytes(db) == before);
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "3");
    EXPECT_FALSE(fs::exists(db + ".rs_"));
}

TEST_F(BackupTest, GbakFailureIsJudgedByExitStatusAndPasswordStaysOffTheCommandLine) {
    const std::string script = fb.path("fakegbak.sh").string();
    writeFileBytes(script, "#!/bin/sh\necho \"$@ $ISC_USER\" > " + fb.path("args").string() + "\nexit 3\n");
    fs::permissions(script, fs::perms::owner_all);
    const std::string saved = GbakProgram;
    GbakProgram = script;
    EXPECT_THROW(BackupFDBGbak(TProtocol::Local, "", db, fb.path("x.fbk").string(), 1), std::runtime_error);
    GbakProgram = saved;
    const std::string args = readFileBytes(fb.path("args").string());
    EXPECT_EQ(args.find(testsupport::kFbPassword), std::string::npos) << args;
    EXPECT_NE(args.find(testsupport::kFbUser), std::string::npos) << args;
    EXPECT_FALSE(fs::exists(fb.path("x.fbk")));
}

TEST_F(BackupTest, ValidateReopensTheDataSetItClosed) {
    ASSERT_TRUE(DM->fnAccDatConnected("", dir, 0));
    EXPECT_TRUE(ValidateFDB(TProtocol::Local, "", db));
    EXPECT_TRUE(DM->IBDatabaseDAT.connected());
    // A file the engine cannot open counts as nothing found; the data set
    // is open again all the same.
    EXPECT_TRUE(ValidateFDB(TProtocol::Local, "", fb.path("none/tvacc.fdb").string()));
    EXPECT_TRUE(DM->IBDatabaseDAT.connected());
}

// -------------------------------------------------------------------- trailer

TEST(BackupTrailer, AppendedExactlyAndStrippedBack) {
    testsupport::TempDir tmp;
    const std::string f = (tmp.path() / "t.fbk").string();
    const std::string original(1000, 'x');
    writeFileBytes(f, original);
    TBackupRestoreThread th;
    th.Shougou = "株式会社A";
    th.Kishu = "2024/04/01";
    th.Siwake = 5;
    th.UseMyNumber = 1;
    th.WriteHeaderInfo(f);
    EXPECT_EQ(readFileBytes(f), original + platform::toCp932("## VeltanoZone\r\nSHOUGOU=株式会社A\r\nKISHU=2024/04/01\r\n"
                                                             "KIMATU=\r\nSIWAKE=5\r\nTOTALSIWAKE=0\r\nDATAVARSION=\r\n"
                                                             "GASSAN=0\r\nUSEMYNUMBER=1\r\n"));
    TBackupRestoreThread back;
    EXPECT_TRUE(back.ReadHeaderInfo(f, true));
    EXPECT_EQ(back.Shougou, "株式会社A");
    EXPECT_EQ(back.Siwake, 5);
    EXPECT_EQ(back.UseMyNumber, 1);
    EXPECT_EQ(readFileBytes(f), original);
    // No marker: values cleared, file untouched.
    EXPECT_FALSE(back.ReadHeaderInfo(f, true));
    EXPECT_EQ(back.UseMyNumber, 0);
    EXPECT_EQ(readFileBytes(f), original);
    // Nothing to write without a company name.
    TBackupRestoreThread none;
    none.WriteHeaderInfo(f);
    EXPECT_EQ(readFileBytes(f), original);
}

TEST(BackupTrailer, TheLastMarkerCountsAndBlockEdgesAreFound) {
    testsupport::TempDir tmp;
    const std::string f = (tmp.path() / "t.fbk").string();
    const std::string marker = kBackupTrailerMarker;
    struct Case {
        std::string bytes;
        std::int64_t pos;
    };
    const Case cases[] = {
        {std::string(507, 'a') + marker + "tail", 507},
        {std::string(65536 - 5, 'a') + marker, 65536 - 5},
        {"a" + marker + std::string(100000, 'b') + marker + "SHOUGOU=Z", 1 + 14 + 100000},
        {marker + "SHOUGOU=Z", -1},
    };
    for (const auto& c : cases) {
        writeFileBytes(f, c.bytes);
        std::string text;
        EXPECT_EQ(FindTextInFile(f, marker, text), c.pos);
        if (c.pos > 0) {
            EXPECT_EQ(text.substr(0, 14), marker);
        }
    }
}

// ------------------------------------------------------------------ My Number

TEST_F(BackupTest, AddLogRetriesTheSameInstantAndKeepsTheCallersWork) {
    ASSERT_TRUE(DM->fnAccDatConnected("", dir, 0));
    TMyNumberIO io;
    TMyNumberLogRec a;
    TMyNumberIO::MakeLogRec(a, 4, "テスト");
    a.FHIZUKE = db::DateTime{{2024, 1, 1}, {10, 0, 0, 0}}; // already in the log
    DM->IBTransactionDAT.start();
    auto q = DM->IBQACC1("INSERT INTO MYNUMBER_LOG (FHIZUKE, FOPCODE) VALUES ('2025-05-05', '9')");
    q->execute();
    io.AddLog(a);
    EXPECT_TRUE(DM->IBTransactionDAT.active());
    DM->IBTransactionDAT.commit();
    DM->fnAccDatDisconnect(dir, 0, 0);
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "5");
    EXPECT_EQ(FbFixture::scalar(db, "SELECT FCOMMENT FROM MYNUMBER_LOG WHERE FSTATE=4"),
              "マイナンバー情報が参照されました。");
}

TEST_F(BackupTest, MergeLogOnlyIntoTheSameCompanyAndSkipsKnownRows) {
    TMyNumberIO io;
    io.LoadLogListOf("", db);
    ASSERT_EQ(io.LogCount, 3);
    FbFixture::exec(db, "DELETE FROM MYNUMBER_LOG WHERE FHIZUKE < '2024-01-02';");
    io.MergeLog("", db);
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "3");
    FbFixture::exec(db, "DELETE FROM MYNUMBER_LOG; UPDATE ACCDEF1 SET SHOUGOU='他社';");
    io.MergeLog("", db);
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "0");
}

TEST_F(BackupTest, PasswordPromptTries) {
    SystemDef.MyNumberAdmin = false;
    EXPECT_TRUE(InputMyNumberPassword("pw"));
    EXPECT_TRUE(prompt.inputs.empty());
    SystemDef.MyNumberAdmin = true;
    prompt.answerInput("x");
    prompt.answerInput(" pw　");
    EXPECT_TRUE(InputMyNumberPassword("pw"));
    EXPECT_EQ(prompt.inputs.back().prompt, "正しいパスワードを入力して下さい。");
    prompt.cancelInput();
    EXPECT_FALSE(InputMyNumberPassword("pw"));
}

// --------------------------------------------------------------------- worker

TEST_F(BackupTest, WorkerBacksUpWithTrailerAndRestores) {
    const std::string bak = fb.path("w.fbk").string();
    TBackupRestoreThread b;
    b.Mode = 0;
    b.DatabasePath = db;
    b.BackupPath = bak;
    b.WriteHeader = true;
    b.Shougou = "株式会社テスト";
    RunBackupRestore(b, "保存");
    ASSERT_TRUE(b.Success) << b.ErrInfo.Message << b.ErrInfo.Detail;
    EXPECT_FALSE(b.ErrInfo.IsError);

    FbFixture::exec(db, "DELETE FROM MYNUMBER_LOG;");
    TBackupRestoreThread r;
    ASSERT_TRUE(r.ReadHeaderInfo(bak, true));
    r.Mode = 1;
    r.DatabasePath = db;
    r.BackupPath = bak;
    RunBackupRestore(r, "復元");
    ASSERT_TRUE(r.Success) << r.ErrInfo.Message << r.ErrInfo.Detail;
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "3");
}

TEST_F(BackupTest, WorkerRefusals) {
    setUse(1);
    const std::string bak = fb.path("plain.fbk").string();
    ASSERT_TRUE(BackupFDB(TProtocol::Local, "", db, bak, 0));
    FbFixture::exec(db, "DELETE FROM MYNUMBER_LOG WHERE FHIZUKE < '2024-01-02';");
    struct Case {
        int mode;
        std::string path;
        int useMyNumber;
        const char* code;
    };
    const Case cases[] = {
        {1, db, 0, "200"},
        {0, dir + "/tvacc.fbk", 0, "101"},
        {1, dir + "/tvacc.fbk", 1, "201"},
    };
    for (const auto& c : cases) {
        TBackupRestoreThread th;
        th.Mode = c.mode;
        th.DatabasePath = c.path;
        th.BackupPath = bak;
        th.UseMyNumber = c.useMyNumber;
        RunBackupRestore(th, "x");
        EXPECT_FALSE(th.Success);
        EXPECT_TRUE(th.ErrInfo.IsError);
        EXPECT_EQ(th.ErrInfo.Code, c.code);
    }
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "2"); // nothing was restored
    TBackupRestoreThread other;
    other.Mode = 4;
    RunBackupRestore(other, "x");
    EXPECT_FALSE(other.Success);
    EXPECT_TRUE(other.ErrInfo.IsError);
}

TEST_F(BackupTest, BackupByAnOrdinaryOperatorLeavesMyNumberOut) {
    setUse(1);
    SystemDef.MyNumberAdmin = false;
    const std::string bak = fb.path("ex.fbk").string();
    TBackupRestoreThread th;
    th.Mode = 0;
    th.DatabasePath = db;
    th.BackupPath = bak;
    th.AskMyNumber = true;
    th.LogMyNumber = true;
    th.UseMyNumber = 1;
    th.WriteHeader = true;
    th.Shougou = "株式会社テスト";
    RunBackupRestore(th, "保存");
    ASSERT_TRUE(th.Success) << th.ErrInfo.Message;
    ASSERT_FALSE(prompt.messages.empty());
    TBackupRestoreThread back;
    back.ReadHeaderInfo(bak, false);
    EXPECT_EQ(back.UseMyNumber, 0);
    // The data set keeps its settings and no deletion event stays logged.
    EXPECT_EQ(FbFixture::scalar(db, "SELECT ATEXT FROM ACCREG WHERE ACODE='＃USE'"), "1");
    EXPECT_EQ(count(db, "MYNUMBER_LOG"), "3");
}
