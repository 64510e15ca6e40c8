#include "DataModuleSupport.h"

#include "accdb/DataInfomation.h"
#include "accdb/EasyCode.h"

using testsupport::FbFixture;

namespace {

const char* const kNoRights = "このデータを扱う権限がありません、他のデータを選択して下さい。";
const char* const kWrongPassword = "このデータに設定されている「パスワード」と一致しませんでした。";

// A closed data set in <tmp>/data with the accounts the basic-settings
// reader needs; statements in extra run on it after.
class DataInfomationTest : public DataModuleTest {
protected:
    std::string make(const std::string& accdef1Columns, const std::string& accdef1Values,
                     const std::string& extra = "") {
        dbPath = fb.makeDataSet("data");
        FbFixture::exec(dbPath, "INSERT INTO KAMOKUMST (KCODE, KNAME, USERCODE) VALUES ('1111', '現金', '100');\n"
                                "DELETE FROM ACCDEF2;\n"
                                "INSERT INTO ACCDEF2 (KCODE, KNAME) VALUES ('1111', '現金');\n"
                                "INSERT INTO ACCDEF1 (REC, " +
                                    accdef1Columns + ") VALUES (1, " + accdef1Values + ");\n" + extra);
        return fb.path("data").string();
    }
    std::string dbPath;
};

} // namespace

TEST_F(DataInfomationTest, RightsNeedEveryBranch) {
    const std::string dir =
        make("SHOUGOU, SITEN", "'支店商事', 1",
             "INSERT INTO SISETUMST (SCODE, SNAME) VALUES ('01', '本店');\n"
             "INSERT INTO SISETUMST (SCODE, SNAME) VALUES ('02', '大阪');\n");
    SystemDef.OpCode = 10001;
    SystemDef.JobLevel = 1;
    struct Case {
        const char* grant;   // statements run before the question
        bool expected;
    } cases[] = {
        {"", false},   // no licensed default branch
        {"INSERT INTO OPDEFSISETU VALUES (10001, '01');\nINSERT INTO OPLICENSE VALUES (10001, '01');", false},
        {"INSERT INTO OPLICENSE VALUES (10001, '02');", true},
        {"INSERT INTO OPLICENSE VALUES (10002, '02');", true},   // another operator's licence changes nothing
    };
    TDataInfomation info;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grant);
        if (*c.grant) FbFixture::exec(dbPath, c.grant);
        prompt.messages.clear();
        EXPECT_EQ(info.IsDataSiyouKengen(dir), c.expected);
        ASSERT_EQ(prompt.messages.size(), c.expected ? 0u : 1u);
        if (!c.expected) {
            EXPECT_EQ(prompt.messages[0].text().rfind(kNoRights, 0), 0u) << prompt.messages[0].text();
        }
        EXPECT_FALSE(DM->IBDatabaseDAT.connected());
    }
}

TEST_F(DataInfomationTest, RightsWithoutQuestion) {
    const std::string dir = make("SHOUGOU, SITEN", "'支店商事', 1",
                                 "INSERT INTO SISETUMST (SCODE, SNAME) VALUES ('01', '本店');\n");
    TDataInfomation info;
    SystemDef.OpCode = 10001;
    SystemDef.JobLevel = 9;   // all rights
    EXPECT_TRUE(info.IsDataSiyouKengen(dir));
    SystemDef.JobLevel = 1;
    EXPECT_TRUE(info.IsDataSiyouKengen(fb.path("nodata").string()));   // no database: nothing to guard
    EXPECT_FALSE(info.IsDataSiyouKengen("  "));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DataInfomationTest, PasswordOfTheFolderDataSet) {
    TEasyEncodeInfo enc;
    enc.TotalLength = kDataPasswordLength;
    enc.PlainLength = kDataPasswordLength;
    enc.Key = kDataPasswordKey;
    enc.PlainText = "pass1234";
    EasyEncode(enc);
    const std::string dir = make("SHOUGOU", "'A'",
                                 "INSERT INTO ACCREG (AGROUP, ACODE, ATYPE, ATEXT) VALUES "
                                 "('基本設定', 'データパスワードV2', '文字', '" +
                                     enc.EncodedText + "');\n");
    TDataInfomation info;
    // The password is the folder's own, read before asking.
    prompt.answerInput("pass1234");
    EXPECT_TRUE(info.IsDataPasswordAuth(dir));
    ASSERT_EQ(prompt.inputs.size(), 1u);
    EXPECT_TRUE(prompt.messages.empty());

    prompt.cancelInput();
    EXPECT_FALSE(info.IsDataPasswordAuth(dir));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text().rfind(kWrongPassword, 0), 0u);
    EXPECT_FALSE(DM->IBDatabaseDAT.connected());
}

TEST_F(DataInfomationTest, InfoRecordCountsJournals) {
    const std::string dir =
        make("SHOUGOU, SITEN", "'支店商事', 1",
             "INSERT INTO SISETUMST (SCODE, SNAME, SIWAKECOUNT) VALUES ('01', '本店', 3);\n"
             "INSERT INTO SISETUMST (SCODE, SNAME, SIWAKECOUNT) VALUES ('02', '大阪', 4);\n"
             "INSERT INTO SIWAKE (REC, KCODE, R_KCODE, DELFLG, TAISHAKU) VALUES (1, '1111', '1111', 1, 1);\n"
             "INSERT INTO SIWAKE (REC, KCODE, R_KCODE, DELFLG, TAISHAKU) VALUES (2, '1111', '1111', 2, 1);\n"
             "INSERT INTO SIWAKE (REC, KCODE, R_KCODE, DELFLG, TAISHAKU) VALUES (3, '1111', '1111', 2, 2);\n"
             // The valid counts as the branches keep them.
             "UPDATE SISETUMST SET SIWAKECOUNT=0;\n"
             "UPDATE SISETUMST SET SIWAKECOUNT=3 WHERE SCODE='01';\n"
             "UPDATE SISETUMST SET SIWAKECOUNT=4 WHERE SCODE='02';\n");
    TDataInfomation info;
    TDataInfomationRec r;
    ASSERT_TRUE(info.ReadDataInfo(dir, r));
    EXPECT_EQ(r.SITENCNT, 2);
    EXPECT_EQ(r.SIWAKE, 7);
    EXPECT_EQ(r.TOTALSIWAKE, 9);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DataInfomationTest, VersionNamesFromTheProductList) {
    SystemDef.AppVer = "14.0.0";
    TDataInfomation info;
    struct Case {
        int major, minor;
        const char* expected;
    } cases[] = {{0, 5, "評価版"}, {2, 0, "10版"}, {14, 0, "22版"}, {14, 3, "14.3"}, {0, 0, "0.0"}};
    for (const Case& c : cases) {
        std::string name;
        info.GetSeihinVersionName(c.major, c.minor, name);
        EXPECT_EQ(name, c.expected) << c.major << "." << c.minor;
    }
}
