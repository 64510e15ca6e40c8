#include "DataModuleSupport.h"

using testsupport::FbFixture;

namespace {

class LookupsTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        dataDb = fb.makeDataSet("data");
        FbFixture::exec(dataDb, "INSERT INTO ACCDEF1 (REC, SHOUGOU) VALUES (1, '本社商事');");
        ASSERT_TRUE(DM->fnAccDefConnected());
        ASSERT_TRUE(DM->fnAccDatConnected("", fb.path("data").string(), 0));
    }
    std::string dataDb;
};

} // namespace

TEST_F(LookupsTest, JobControlByLevel) {
    SystemDef.JobLevel = 2;
    // No rows for the level: nothing is restricted.
    EXPECT_TRUE(DM->SetJobControl("ANY", ""));
    FbFixture::exec(sysDb, "INSERT INTO JOBCONTROL2 VALUES (2, 'KSEXPORT', 'A,MODE=3,B');\n"
                           "INSERT INTO JOBCONTROL2 VALUES (1002, 'MEDICAL', '');");
    struct Case {
        const char* proc;
        const char* option;
        bool expected;
    } cases[] = {
        {"KSEXPORT", "", true},        {"KSEXPORT", "  ", true},      {"KSEXPORT", "MODE=3", true},
        {"KSEXPORT", "MODE=4", false}, {"OTHER", "", false},           {"MEDICAL", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DM->SetJobControl(c.proc, c.option), c.expected) << c.proc << " / " << c.option;
    // A medical data set counts its levels from 1000.
    AccInf.Iryou = 1;
    EXPECT_TRUE(DM->SetJobControl("MEDICAL", ""));
    EXPECT_FALSE(DM->SetJobControl("KSEXPORT", ""));
    EXPECT_FALSE(DM->IBTransactionDEF.active());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(LookupsTest, StyleColour) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"COLOR=255", 255}, {"A=1\r\ncolor=4096\r\n", 4096}, {"COLOR=-5", 0xFFAF80},
        {"COLOR=", 0xFFAF80}, {"NAME=x", 0xFFAF80},          {"COLOR=abc", 0xFFAF80},
    };
    for (const Case& c : cases) EXPECT_EQ(TDM::GetStyleColorValue(c.text), c.expected) << c.text;
    std::string v;
    TDM::GetStyleValue("NAME=本店\nCOLOR=12", "name", v);
    EXPECT_EQ(v, "本店");
    TDM::GetStyleValue("NAME=本店\nCOLOR=12", "Color", v);
    EXPECT_EQ(v, "12");
}

TEST_F(LookupsTest, DefaultFacility) {
    FbFixture::exec(dataDb, "INSERT INTO SISETUMST (SCODE, SNAME, MB_JIGYOU, XSTR) VALUES ('00', '法人本部', 1, '');\n"
                            "INSERT INTO SISETUMST (SCODE, SNAME, MB_JIGYOU, XSTR) VALUES ('01', '病院', 8, 'COLOR=99');\n");
    std::string name;
    // All rights, general data, no branches: the company itself.
    SystemDef.JobLevel = 9;
    DM->GetOpeDefSisetu(name);
    EXPECT_EQ(name, "本社商事");
    EXPECT_EQ(SystemDef.SisetuCode, " ");
    EXPECT_EQ(SystemDef.SisetuColor, 0xFFAF80);

    // All rights, medical data without facility management: refused, the
    // default untouched.
    AccInf.Iryou = 1;
    SystemDef.SisetuCode = "zz";
    DM->GetOpeDefSisetu(name);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("施設管理がおこなわれていません。"), std::string::npos);
    EXPECT_EQ(SystemDef.SisetuCode, "zz");

    // All rights, medical with branches: the lowest code other than '00'.
    AccInf.SITEN = 1;
    DM->GetOpeDefSisetu(name);
    EXPECT_EQ(name, "病院");
    EXPECT_EQ(SystemDef.SisetuKind, 8);
    EXPECT_EQ(SystemDef.SisetuColor, 99);

    // Limited operator without a default facility: medical data falls back
    // to '00'.
    SystemDef.JobLevel = 1;
    SystemDef.OpCode = 10001;
    DM->GetOpeDefSisetu(name);
    EXPECT_EQ(name, "法人本部");
    EXPECT_EQ(SystemDef.CurSisetuCode, "00");
    EXPECT_FALSE(DM->fnGetExistsOpeDefSisetu());

    FbFixture::exec(dataDb, "INSERT INTO OPDEFSISETU VALUES (10001, '01');\nINSERT INTO OPLICENSE VALUES (10001, '01');");
    DM->GetOpeDefSisetu(name);
    EXPECT_EQ(name, "病院");
    EXPECT_TRUE(DM->fnGetExistsOpeDefSisetu());
    EXPECT_FALSE(DM->HasAllSitenKengen(10001));
    FbFixture::exec(dataDb, "INSERT INTO OPLICENSE VALUES (10001, '00');");
    EXPECT_TRUE(DM->HasAllSitenKengen(10001));
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(LookupsTest, VersionAndExistence) {
    DM->IBTransactionDAT.start();
    std::string v;
    DM->fnGetDataBaseVer(v);
    EXPECT_EQ(v, "14.0.0");
    EXPECT_FALSE(DM->IBTransactionDAT.active());

    EXPECT_TRUE(DM->fnExistence_Table("KS_SISAN"));
    EXPECT_FALSE(DM->fnExistence_Table("NO_SUCH_TABLE"));
    EXPECT_TRUE(DM->fnExistence_Field("ACCDEF1", "READ_ONLY"));
    EXPECT_FALSE(DM->fnExistence_Field("ACCDEF1", "NO_SUCH"));
    EXPECT_FALSE(DM->fnExistence_Field("accdef1", "READ_ONLY"));   // names as stored

    std::string total;
    DM->fnGetAccTotalName("5880", "PLUS NAME; DROP", total);   // not a column name
    EXPECT_EQ(total, "");
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(LookupsTest, CashBookJournalCount) {
    FbFixture::exec(dataDb, "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES ('1111', '現金');\n"
                            "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES ('5000', '売上');");
    std::string script;
    for (int n = 1; n <= 10; ++n)
        script += "INSERT INTO SIWAKE (REC, KCODE, R_KCODE, DELFLG) VALUES (" + std::to_string(n) + ", '1111', '" +
                  (n <= 4 ? "1111" : "5000") + "', 0);\n";
    script += "INSERT INTO SIWAKE (REC, KCODE, R_KCODE, DELFLG, TAISHAKU) VALUES (11, '1111', '5000', 1, 1);\n";
    FbFixture::exec(dataDb, script);
    AccInf.SysKCode[0] = "1111";
    LogonMode = 3;
    // Ten cash lines, four with cash on both sides counted once more each.
    EXPECT_EQ(DM->GetYukouSiwakeCount(""), 8);
    int valid = 0, upDel = 0;
    EXPECT_EQ(DM->GetSiwakeCount("", valid, upDel), 9);
    EXPECT_EQ(upDel, 1);
    LogonMode = 7;
    EXPECT_EQ(DM->GetYukouSiwakeCount(""), -1);
    LogonMode = 0;
    EXPECT_FALSE(DM->IBTransactionDAT.active());
}
