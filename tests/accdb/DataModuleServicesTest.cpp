#include "DataModuleSupport.h"

#include "accdb/Gengo.h"

#include <QCoreApplication>
#include <QWidget>

using testsupport::FbFixture;

namespace {

class ServicesTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        ASSERT_TRUE(DM->fnAccDefConnected());
    }
};

} // namespace

TEST_F(ServicesTest, SystemIniRows) {
    TSystemIniRec r;
    r.REC = 7;
    r.RESERVE3 = 9;
    r.SSTR = "x";
    EXPECT_TRUE(DM->GetSysIni(r));
    EXPECT_EQ(r.RESERVE3, 0);
    EXPECT_EQ(r.SSTR, "");
    EXPECT_EQ(r.REC, 7);

    r.RESERVE1 = 1;
    r.RESERVE5 = 5;
    r.SSTR = "設定①";
    EXPECT_TRUE(DM->SetSysIni(r));
    r.RESERVE1 = 11;
    EXPECT_TRUE(DM->SetSysIni(r));
    TSystemIniRec back;
    back.REC = 7;
    EXPECT_TRUE(DM->GetSysIni(back));
    EXPECT_EQ(back.RESERVE1, 11);
    EXPECT_EQ(back.RESERVE5, 5);
    EXPECT_EQ(back.SSTR, "設定①");
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT COUNT(*) FROM SYSTEMINI WHERE REC = 7"), "1");
}

TEST_F(ServicesTest, SystemIniErrorsInsideACallersTransactionReachTheCaller) {
    FbFixture::exec(sysDb, "DROP TABLE SYSTEMINI;");
    TSystemIniRec r;
    DM->IBTransactionDEF.start();
    EXPECT_THROW(DM->GetSysIni(r), db::FbError);
    EXPECT_TRUE(DM->IBTransactionDEF.active());
    DM->IBTransactionDEF.rollback();
    EXPECT_FALSE(DM->SetSysIni(r));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("システム情報の書き込みに失敗しました。"), std::string::npos);
    EXPECT_FALSE(DM->IBTransactionDEF.active());
}

TEST_F(ServicesTest, EraTableFromTheDatabaseOrBuiltIn) {
    FbFixture::exec(sysDb, "DELETE FROM GENGO; INSERT INTO GENGO VALUES ('平成', 'H', '1989-01-08', 1989);"
                           "INSERT INTO GENGO VALUES ('令和', 'R', '2019-05-01', 2019);");
    DM->LoadGengo();
    ASSERT_EQ(GengoTable.size(), 2u);
    EXPECT_EQ(GengoTable[0].Name, "令和");
    EXPECT_EQ(GengoTable[0].Letter, "R");
    EXPECT_EQ(GengoTable[0].StartYear, 2019);
    EXPECT_EQ(GengoTable[1].Name, "平成");

    FbFixture::exec(sysDb, "DELETE FROM GENGO;");
    DM->LoadGengo();
    EXPECT_EQ(GengoTable.size(), static_cast<size_t>(kBuiltinGengoCount));

    DM->IBDatabaseDEF.disconnect();
    GengoTable.clear();
    DM->LoadGengo();
    EXPECT_EQ(GengoTable.size(), static_cast<size_t>(kBuiltinGengoCount));
}

TEST_F(ServicesTest, SystemDatabaseVersion) {
    DM->fnGetSysDataBaseVer();
    EXPECT_EQ(SystemDef.SysDbVersion, (std::array<int, 3>{12, 0, 0}));
    FbFixture::exec(sysDb, "DELETE FROM VERSION; INSERT INTO VERSION (MAJOR, MINOR1, MINOR2) VALUES (1, 0, 0);"
                           "INSERT INTO VERSION (MAJOR, MINOR1, MINOR2) VALUES (2, 1, 5);");
    DM->fnGetSysDataBaseVer();
    EXPECT_EQ(SystemDef.SysDbVersion, (std::array<int, 3>{2, 1, 5}));
    DM->IBDatabaseDEF.disconnect();
    DM->fnGetSysDataBaseVer();
    EXPECT_EQ(SystemDef.SysDbVersion, (std::array<int, 3>{0, 0, 0}));
}

TEST(DataModuleParse, DataPathComponents) {
    struct Case {
        const char* path;
        const char* rec;
        const char* sub;
    };
    const Case cases[] = {
        {"C:/acc/DATA/12/3", "12", "3"},
        {"/srv/acc/cb_data/7", "7", ""},
        {"/srv/acc/other/7", "", ""},
        {"/srv/acc/DA TA/1 2/　3", "12", "3"},
        {"D:\\acc\\Data\\0005", "0005", ""},
        {"/x/DATA", "", ""},
    };
    for (const auto& c : cases) {
        std::string rec = "?", sub = "?";
        TDM::ParseDataPath(c.path, rec, sub);
        EXPECT_EQ(rec, c.rec) << c.path;
        EXPECT_EQ(sub, c.sub) << c.path;
    }
}

TEST_F(ServicesTest, DataRecordByPath) {
    int rec = -1, sub = -1;
    DM->GetDataRecByPath("/acc/DATA/12/3", rec, sub);
    EXPECT_EQ(rec, 12);
    EXPECT_EQ(sub, 3);
    DM->GetDataRecByPath("/acc/DATA/x", rec, sub);
    EXPECT_EQ(rec, 0);

    ConnectKind = 1;
    SystemDef.GroupId = 10000;
    FbFixture::exec(sysDb, "INSERT INTO DATALIST (REC, GROUPID, PASNAME) VALUES (4, 10000, '/srv/Acc/0004');");
    DM->GetDataRecByPath("/srv/acc/0004", rec, sub);
    EXPECT_EQ(rec, 4);
    EXPECT_EQ(sub, 0);
    DM->GetDataRecByPath("/srv/acc/0009", rec, sub);
    EXPECT_EQ(rec, 0);
}

TEST_F(DataModuleTest, DataVerifyRunsOnlyWhenAskedAndSet) {
    struct Case {
        int setting, force;
        bool hook;
        int expected;
    };
    const Case cases[] = {
        {0, 0, true, 1}, {1, 0, true, 0}, {0, 1, true, 0}, {1, 1, false, 1},
    };
    for (const auto& c : cases) {
        SystemDef.Settings.DataCheckMode = c.setting;
        std::string seen;
        DataVerifyHook = nullptr;
        if (c.hook)
            DataVerifyHook = [&](const std::string& host, const std::string& folder, int silent, int& r) {
                seen = host + "|" + folder + "|" + std::to_string(silent);
                r = 0;
            };
        EXPECT_EQ(DM->CallDataVerify("srv", "/d/1", 1, c.force), c.expected) << c.setting << c.force << c.hook;
        EXPECT_EQ(seen, c.expected == 0 ? "srv|/d/1|1" : "");
    }
}

TEST_F(DataModuleTest, DataPassword) {
    EXPECT_TRUE(DM->CheckDataPassword());   // none set
    AccInf.DataPassword = "abc12";

    prompt.answerInput("abc12　");          // trailing full-width blank
    EXPECT_TRUE(DM->CheckDataPassword());

    prompt.cancelInput();
    EXPECT_FALSE(DM->CheckDataPassword());

    prompt.inputs.clear();
    prompt.answerInput("x");
    prompt.answerInput("ABC12");
    prompt.answerInput("abc1");
    prompt.answerInput("abc12");            // a fourth try is never asked
    EXPECT_FALSE(DM->CheckDataPassword());
    ASSERT_EQ(prompt.inputs.size(), 3u);
    EXPECT_EQ(prompt.inputs[0].prompt, "パスワードを入力して下さい。");
    EXPECT_EQ(prompt.inputs[1].prompt, "正しいパスワードを入力して下さい。");
    EXPECT_TRUE(prompt.inputs[2].password);
    EXPECT_EQ(prompt.inputs[2].maxLength, 8);
    EXPECT_EQ(prompt.inputs[0].imeMode, 0);
    EXPECT_EQ(prompt.inputs[0].keyFilter, 30);
    EXPECT_EQ(prompt.inputs[0].promptColor, 0u);
    EXPECT_EQ(prompt.inputs[1].promptColor, 0x0000FFu); // red
    EXPECT_EQ(prompt.inputs[0].hint, "パスワード(英数字8文字以内)を入力し、[OK]ボタンを押して下さい。"
                                     "3回続けて失敗すると「データ選択」画面に戻ります。");

    LogonMode = 3;
    EXPECT_TRUE(DM->CheckDataPassword());
}

TEST_F(ServicesTest, StyleColours) {
    std::string s = "?";
    DM->GetStyleColor(100001, "標準", s);
    EXPECT_EQ(s, "");
    FbFixture::exec(sysDb, "INSERT INTO STYLECOLOR (OPCODE, STYLENAME, LINECOLOR1, NETCOLOR2, SSTR) "
                           "VALUES (100001, '標準', 255, 7, 'old');");
    DM->PutStyleColor(100001, "標準", "new");
    DM->PutStyleColor(100002, "標準", "other");
    DM->GetStyleColor(100001, "標準", s);
    EXPECT_EQ(s, "new");
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT LINECOLOR1 || ',' || NETCOLOR2 FROM STYLECOLOR WHERE OPCODE = 100001"),
              "-1,-1");
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT COUNT(*) FROM STYLECOLOR"), "2");
}

TEST(DataModuleFlags, CloudShareAndReadOnly) {
    struct Case {
        int oem, logon, kind;
        bool forSend, expected;
    };
    const Case cases[] = {
        {0, 0, 0, true, true},  {0, 2, 1, false, true}, {0, 2, 1, true, false}, {0, 1, 0, false, false},
        {0, 0, 2, false, false}, {1, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        ResetAccRecordGlobals();
        OemEdition = static_cast<std::uint8_t>(c.oem);
        LogonMode = static_cast<std::uint8_t>(c.logon);
        ConnectKind = static_cast<std::uint8_t>(c.kind);
        EXPECT_EQ(TDM().IsCloudShareUse(c.forSend), c.expected) << c.oem << c.logon << c.kind << c.forSend;
    }
    ResetAccRecordGlobals();
    TDM dm;
    AccInf.READ_ONLY = 0;
    EXPECT_FALSE(dm.IsDataReadOnly());
    AccInf.READ_ONLY = 1;
    EXPECT_TRUE(dm.IsDataReadOnly());
    AccInf.READ_ONLY = 0;
    LogonMode = 2;
    EXPECT_TRUE(dm.IsDataReadOnly());
    ResetAccRecordGlobals();
}

TEST(DataModuleText, ValueOfANameInLines) {
    std::string v = "?";
    TDM::GetTextValue("SyoriType=3\r\ndatatype=-13\nEmpty=", "DataType", v);
    EXPECT_EQ(v, "-13");
    TDM::GetTextValue("SyoriType=3", "Nothing", v);
    EXPECT_EQ(v, "");
}

TEST_F(DataModuleTest, CommunicationIdAndScreenLog) {
    const std::string dir = openData();
    FbFixture::exec(dir + "/tvacc.fdb", "UPDATE OR INSERT INTO TUSIN_ID (REC, HOLDER, PASWORD) VALUES (1, 'H1', 'P1') MATCHING (REC);"
                                        "INSERT INTO OPINF (OPCODE, JOBNAME, OPENTIME) VALUES (1, 'J', CURRENT_TIMESTAMP);");
    AccInf.TusinHolder[1] = "old";
    DM->GetTusinID(1, 1);
    EXPECT_EQ(AccInf.TusinHolder[1], "H1");
    EXPECT_EQ(AccInf.TusinPasword[1], "P1");
    DM->GetTusinID(2, 1);
    EXPECT_EQ(AccInf.TusinHolder[1], "");
    DM->ClearOPINF();
    EXPECT_EQ(FbFixture::scalar(dir + "/tvacc.fdb", "SELECT COUNT(*) FROM OPINF"), "0");
}

TEST_F(DataModuleTest, LaunchTimerCallsTheLauncherOnce) {
    std::string got;
    ProcessLauncherHook = [&](const std::string& name, int mode, const std::string& params) {
        got = name + "|" + std::to_string(mode) + "|" + params;
        return 1;
    };
    DM->PendingLaunchName = "VqDataSenkaku";
    DM->PendingLaunchMode = 1;
    DM->PendingLaunchParams = "SyoriType=3";
    DM->TimerSyoriKidou.start();
    DM->TimerSyoriKidouTimer();
    EXPECT_EQ(got, "VqDataSenkaku|1|SyoriType=3");
    EXPECT_FALSE(DM->TimerSyoriKidou.isActive());
    EXPECT_EQ(DM->PendingLaunchName, "");
}

TEST_F(DataModuleTest, CloseTimerClosesItsWindowLater) {
    QWidget w;
    w.show();
    DM->TimerFormCloseTag = &w;
    DM->TimerFormClose.start();
    DM->TimerFormCloseTimer();
    EXPECT_FALSE(DM->TimerFormClose.isActive());
    EXPECT_EQ(DM->TimerFormCloseTag, nullptr);
    EXPECT_TRUE(w.isVisible());   // posted, not closed inside the timer
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    DM->TimerFormCloseTimer();    // nothing to close: harmless
}
