#include "DataModuleSupport.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "accdb/AccReg.h"
#include "platform/IniFile.h"
#include "platform/Process.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testsupport::FbFixture;

struct NameCase {
    std::uint8_t kind;
    const char* host;
    const char* expected;
    const char* dropName;
};

TEST(DataModuleNaming, ServerOnlyForServerKindsAndOtherHosts) {
    const NameCase cases[] = {
        {0, "", "/d/1/tvacc.fdb", "/d/1/tvacc.fdb"},
        {0, "srv", "/d/1/tvacc.fdb", "/d/1/tvacc.fdb"},
        {1, "127.0.0.1", "/d/1/tvacc.fdb", "127.0.0.1:/d/1/tvacc.fdb"},
        {2, "127.0.0.1", "/d/1/tvacc.fdb", "127.0.0.1:/d/1/tvacc.fdb"},
        {1, "srv", "srv:/d/1/tvacc.fdb", "srv:/d/1/tvacc.fdb"},
        {2, "10.0.0.5", "10.0.0.5:/d/1/tvacc.fdb", "10.0.0.5:/d/1/tvacc.fdb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TDM::DatabaseName(c.kind, c.host, "/d/1", "tvacc.fdb"), c.expected)
            << int(c.kind) << " " << c.host;
        EXPECT_EQ(TDM::DropDatabaseName(c.kind, c.host, "/d/1"), c.dropName) << int(c.kind) << " " << c.host;
    }
    // A folder given with its trailing separator gets no second one.
    EXPECT_EQ(TDM::DatabaseName(0, "", "/d/1/", "tvacc.fdb"), "/d/1/tvacc.fdb");
}

TEST_F(DataModuleTest, SystemDatabaseConnectsOnceAndReportsFailures) {
    EXPECT_TRUE(DM->fnAccDefConnected());
    EXPECT_EQ(DM->IBDatabaseDEF.params().database, SystemDef.SysDir + "/tvaccdef.fdb");
    // Already connected: nothing is touched, even with a bad folder now.
    SystemDef.SysDir = fb.path("nowhere").string();
    EXPECT_TRUE(DM->fnAccDefConnected());
    DM->IBDatabaseDEF.disconnect();

    EXPECT_FALSE(DM->fnAccDefConnected("", 1));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("システムデータベースの接続処理に失敗しました。"), std::string::npos);
    EXPECT_THROW(DM->fnAccDefConnected("", 0), db::FbError);
}

TEST_F(DataModuleTest, MissingDataFileFailsWithIoCodeAndNoVerification) {
    int verified = 0;
    DataVerifyHook = [&](const std::string&, const std::string&, int, int& r) {
        ++verified;
        r = 0;
    };
    SystemDef.Settings.DataCheckMode = 1;
    fs::create_directories(fb.path("empty"));

    EXPECT_FALSE(DM->fnAccDatConnected("", fb.path("empty").string(), 1));
    EXPECT_FALSE(DM->IBDatabaseDAT.connected());
    EXPECT_EQ(verified, 0);
    const std::string log = platform::fromCp932(testsupport::readFileBytes(fb.path("log") / "ErrFbAccess.log"));
    EXPECT_NE(log.find("TDM.fnAccDatConnected [335544344]"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(fb.path("empty") / "tvacc.ini"));

    // A file that is there but no database is a case for the verification.
    testsupport::writeFileBytes(fb.path("empty") / "tvacc.fdb", std::string(8192, 'x'));
    EXPECT_FALSE(DM->fnAccDatConnected("", fb.path("empty").string(), 0));
    EXPECT_EQ(verified, 1);
}

TEST_F(DataModuleTest, MarkInUseAndSetFreeWriteTheStatusFile) {
    SystemDef.OpCode = 100001;
    SystemDef.OpName = "山田　太郎";
    const std::string dir = makeData();
    FbFixture::exec(dir + "/tvacc.fdb", "UPDATE ACCDEF1 SET READ_ONLY = 1, CLOUD_LINE = 3;");
    ASSERT_TRUE(DM->fnAccDatConnected("", dir, 1));

    platform::IniFile ini(dir + "/tvacc.ini");
    EXPECT_EQ(ini.readSectionValues("DATASTS"),
              (std::vector<std::string>{"STATUS=2", "OPCODE=100001", "OPERATOR=山田　太郎", "SHARE_STATUS=1",
                                        "UPDATE_LOCK=0", "READ_ONLY=1"}));
    EXPECT_EQ(ini.readString("DATAINFO", "SHOUGOU"), "株式会社テスト");
    EXPECT_EQ(ini.readString("DATAINFO", "DATALISTNAME"), "テスト");
    EXPECT_EQ(ini.readString("DATAINFO", "CLOUD_SHARE"), "1");
    EXPECT_EQ(ini.readString("DATAINFO", "KISHU"), "2024/04/01");
    EXPECT_EQ(ini.readString("DATAINFO", "VERSION1"), "14.0.0");
    EXPECT_EQ(ini.readSection("DATAINFO").size(), 21u);

    ASSERT_TRUE(DM->fnAccDatDisconnect(dir, 1, 0));
    EXPECT_FALSE(DM->IBDatabaseDAT.connected());
    EXPECT_EQ(ini.readSectionValues("DATASTS"),
              (std::vector<std::string>{"STATUS=1", "SHARE_STATUS=1", "UPDATE_LOCK=0", "READ_ONLY=1"}));
    EXPECT_EQ(ini.readString("DATAINFO", "SHOUGOU"), "株式会社テスト");

    // Freed again while nothing is open: only the status section changes.
    ini.writeInteger("DATASTS", "STATUS", 2);
    ASSERT_TRUE(DM->fnAccDatDisconnect(dir, 1, 0));
    EXPECT_EQ(ini.readString("DATASTS", "STATUS"), "1");
    EXPECT_EQ(ini.readString("DATAINFO", "SHOUGOU"), "株式会社テスト");
}

TEST_F(DataModuleTest, ServerKindsAndLogonModeOneWriteNoStatus) {
    const std::string dir = makeData();
    ConnectKind = 1;
    SystemDef.HostName = "127.0.0.1";   // opened by local path
    int refreshed = 0;
    DataListRefreshHook = [&](const std::string& folder, const TDataInfomationRec& rec) {
        ++refreshed;
        EXPECT_EQ(folder, dir);
        EXPECT_EQ(rec.STATUS, 1);
        EXPECT_EQ(rec.SHOUGOU, "株式会社テスト");
    };
    ASSERT_TRUE(DM->fnAccDatConnected("", dir, 1));
    EXPECT_TRUE(DM->fnAccDatDisconnect(dir, 1, 1));
    EXPECT_FALSE(fs::exists(dir + "/tvacc.ini"));
    EXPECT_EQ(refreshed, 1);

    // Logon mode 1 never refreshes the list, and without SetFree no status
    // is even read.
    LogonMode = 1;
    int made = 0;
    DataStatusStoreFactory = [&]() -> std::unique_ptr<TDataStatusStore> {
        ++made;
        return nullptr;
    };
    ASSERT_TRUE(DM->fnAccDatConnected("", dir, 0));
    EXPECT_TRUE(DM->fnAccDatDisconnect(dir, 0, 1));
    EXPECT_EQ(made, 0);
    EXPECT_EQ(refreshed, 1);
}

TEST_F(DataModuleTest, ReconnectingClosesThePreviousDataSet) {
    const std::string a = makeData("a");
    const std::string b = makeData("b");
    ASSERT_TRUE(DM->fnAccDatConnected("", a, 0));
    ASSERT_TRUE(DM->fnAccDatConnected("", b, 0));
    EXPECT_EQ(DM->IBDatabaseDAT.params().database, b + "/tvacc.fdb");
    // Data folder defaults to SystemDef's.
    SystemDef.DataDir = a;
    ASSERT_TRUE(DM->fnAccDatConnected());
    EXPECT_EQ(DM->IBDatabaseDAT.params().database, a + "/tvacc.fdb");
}

TEST_F(DataModuleTest, FileManagerDatabaseOnlyWhenItsFileExists) {
    EXPECT_FALSE(DM->fnFileManConnected());
    EXPECT_TRUE(prompt.messages.empty());
    fb.makeFileManDb("system");
    EXPECT_TRUE(DM->fnFileManConnected());
    EXPECT_TRUE(DM->IBFileMan.connected());
}

TEST_F(DataModuleTest, DropDatabaseDeletesTheDataFile) {
    const std::string dir = makeData();
    EXPECT_FALSE(DM->AccDatDropDatabase("", ""));
    EXPECT_TRUE(DM->AccDatDropDatabase("", dir));
    EXPECT_FALSE(fs::exists(dir + "/tvacc.fdb"));
    EXPECT_FALSE(DM->AccDatDropDatabase("", dir));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("ユーザーデータベースの削除処理に失敗しました。"), std::string::npos);
}

TEST_F(DataModuleTest, InConnectionSeesAnotherProcessNotItself) {
    const std::string dir = openData();
    EXPECT_FALSE(DM->AccDatInConnection(1, "", "   ", 0));
    // Our own connection is closed while asking, so it does not count, and
    // it is open again afterwards.
    EXPECT_FALSE(DM->AccDatInConnection(1, "", dir, 0));
    EXPECT_TRUE(DM->IBDatabaseDAT.connected());
    // With KeepOwn our own attachment is one of those holding the file.
    EXPECT_TRUE(DM->AccDatInConnection(1, "", dir, 1));

    // A second process holds the data set while its input stays open.
    const fs::path fifo = fb.path("isql-in");
    ASSERT_EQ(std::system(("mkfifo '" + fifo.string() + "'").c_str()), 0);
    platform::ChildProcess isql;
    platform::ProcessCommand spec;
    spec.program = "sh";
    spec.args = {"-c", "exec isql-fb -q -user SYSDBA -password masterkey '" + dir + "/tvacc.fdb' < '" +
                           fifo.string() + "'"};
    spec.outputFile = fb.path("isql.out").string();
    ASSERT_TRUE(isql.start(spec));
    {
        std::ofstream in(fifo);
        bool seen = false;
        for (int i = 0; i < 100 && !seen; ++i) {
            seen = DM->AccDatInConnection(1, "", dir, 0);
            if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_TRUE(seen);
        // The path may be spelled differently: the same file is found.
        EXPECT_TRUE(DM->AccDatInConnection(1, "", fb.path("data/../data/").string(), 0));
        in << "QUIT;\n";
    }
    isql.wait();
    EXPECT_FALSE(DM->AccDatInConnection(1, "", dir, 0));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DataModuleTest, InConnectionReadsAnyPathAndSkipsAFileThatIsNoDatabase) {
    // A folder name with characters outside JIS X 0208 (髙, ë).
    const std::string dir = openData("髙橋zoë");
    EXPECT_TRUE(DM->AccDatInConnection(1, "", dir, 1));
    EXPECT_FALSE(DM->AccDatInConnection(1, "", dir, 0));
    // A damaged file is held by nobody, and asking says nothing.
    const fs::path broken = fb.path("broken");
    fs::create_directories(broken);
    testsupport::writeFileBytes(broken / "tvacc.fdb", std::string(4096, '\x5A'));
    EXPECT_FALSE(DM->AccDatInConnection(1, "", broken.string(), 0));
    EXPECT_TRUE(prompt.messages.empty()) << prompt.texts().front();
}

TEST_F(DataModuleTest, Cp932TextsRoundTripByteIdentical) {
    openData();
    const std::string text = "①㈱～－ｱｲｳ";
    funcPutAccReg("基本設定", "会社名", "文字", TRegValue(text));
    EXPECT_EQ(funcGetAccReg("基本設定", "会社名", "文字", "").asText(), text);

    db::TxScope scope(DM->IBTransactionDAT);
    auto q = DM->IBQACC1("SELECT ATEXT FROM ACCREG WHERE AGROUP = :G AND ACODE = :C");
    q->setString("G", "基本設定");
    q->setString("C", "会社名");
    q->execute();
    ASSERT_TRUE(q->fetch());
    EXPECT_EQ(q->asBytes(0), platform::toCp932(text));
}

TEST_F(DataModuleTest, ClosingWithUpdateListRefreshesTheListRow) {
    const std::string dir = makeData();
    SystemDef.GroupId = 10000;
    FbFixture::exec(sysDb, "INSERT INTO DATALIST (REC, GROUPID, PASNAME, ENTTEXT, SHOUGOU, NENDO) "
                           "VALUES (3, 10000, '" + dir + "', '一覧名', '旧商号', 1);");
    ASSERT_TRUE(DM->fnAccDefConnected());
    ASSERT_TRUE(DM->fnAccDatConnected("", dir, 0));
    EXPECT_TRUE(DM->fnAccDatDisconnect(dir, 0, 1));
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT SHOUGOU || ',' || ENTTEXT || ',' || NENDO || ',' || VER_MAJOR "
                                       "FROM DATALIST WHERE REC = 3"),
              "株式会社テスト,一覧名,5,14");
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(DM->IBTransactionDEF.active());
}
