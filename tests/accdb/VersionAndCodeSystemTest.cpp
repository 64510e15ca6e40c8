// Product version list and the code-system store.
#include "accdb/AppInfo.h"
#include "accdb/CodeTaikeiIO.h"
#include "accdb/SeihinVersionList.h"

#include "DataModuleSupport.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

namespace {

using testsupport::FbFixture;

class SeihinVersionListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAccRecordGlobals();
        SetAppInfoDefault(AppInfo);
        AppInfo.RegKey = "SOFTWARE\\MAKER";
        AppInfo.DovozRegKey = "Zaimu";
    }
    void TearDown() override {
        SetAppInfoDefault(AppInfo);
        ResetAccRecordGlobals();
    }
    TSeihinVersionList make() {
        TSeihinVersionList l;
        l.ProgramMajor = 14;
        l.RegistryFolder = dir.path().string();
        return l;
    }
    testsupport::TempDir dir;
};

TEST_F(SeihinVersionListTest, FixedAndMajorEntriesSorted) {
    auto l = make();
    l.Load(false);
    ASSERT_EQ(l.Count, 14);
    EXPECT_EQ(l.Names.front(), "09版");
    EXPECT_EQ(l.Names[3], "12版");
    EXPECT_EQ(l.Names.back(), "22版");
    l.Load(true);
    EXPECT_EQ(l.Names.front(), "22版");
    EXPECT_EQ(l.IndexOfTypeName("99版"), -1);

    l.FirstName = "すべて";
    l.Load(true);
    EXPECT_EQ(l.Names.front(), "すべて");
    EXPECT_EQ(l.Names[1], "22版");
    std::string s;
    l.GetVersionText(0, s);
    EXPECT_EQ(s, "");
    l.GetVersionText(1, s);
    EXPECT_EQ(s, "14.0");
}

TEST_F(SeihinVersionListTest, InstalledProductsFromTheKeyStore) {
    platform::Registry reg(platform::RegRoot::LocalMachine, dir.path().string());
    reg.writeString("SOFTWARE\\MAKER\\ZAIMU14", "Version", "14.0.0");   // already listed
    reg.writeString("SOFTWARE\\MAKER\\zaimu141", "Version", "14.1.0");
    reg.writeString("SOFTWARE\\MAKER\\zaimu141", "Type", "X");
    reg.writeString("SOFTWARE\\MAKER\\ZAIMU142", "Version", "14.2");     // not three parts
    reg.writeString("SOFTWARE\\MAKER\\OTHER15", "Version", "15.0.0");    // another product
    auto l = make();
    l.Load(true);
    ASSERT_EQ(l.Count, 15);
    EXPECT_EQ(l.Names.front(), "X");
    EXPECT_EQ(l.Entries.front().Minor, 1);
}

class CodeTaikeiTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        SetAppInfoDefault(AppInfo);
        AppInfo.OEM = "-";
        AppInfo.VerTest = "";
        AppInfo.AppTitle = "財務";
    }
    void TearDown() override {
        SetAppInfoDefault(AppInfo);
        DataModuleTest::TearDown();
    }
    std::string file(const std::string& utf8) {
        const std::string path = fb.path("code.txt").string();
        testsupport::writeFileBytes(path, platform::toCp932(utf8));
        return path;
    }
};

TEST_F(CodeTaikeiTest, RepairsKubunAtCreationAndImportsFiles) {
    FbFixture::exec(sysDb, "UPDATE USERCODE SET DATATYPE=1, CODETYPE=1, INIDAT1='1,甲,2,3' WHERE RECNO=1;"
                           "UPDATE USERCODE SET DATATYPE=1, CODETYPE=1, INIDAT1='1,乙,1,5' WHERE RECNO=2;");
    ASSERT_TRUE(DM->fnAccDefConnected());
    TCodeTaikeiIO io;
    DM->IBDatabaseDEF.disconnect();
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT DATATYPE || ',' || CODETYPE FROM USERCODE WHERE RECNO=1"), "2,3");
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT DATATYPE || ',' || CODETYPE FROM USERCODE WHERE RECNO=2"), "1,1");
    ASSERT_TRUE(DM->fnAccDefConnected());

    EXPECT_TRUE(io.ImportFile(file("1,標準,2,1,x,-\r\n2,a\r\n33,b\r\n9,c\r\n3,d\r\n"), 3));
    DM->IBDatabaseDEF.disconnect();
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT NAME FROM USERCODE WHERE RECNO=3"), "標準");
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT INIDAT3 FROM USERCODE WHERE RECNO=3"), "33,b\r\n3,d");
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT INIDAT2 FROM USERCODE WHERE RECNO=3"), "2,a");
    ASSERT_TRUE(DM->fnAccDefConnected());

    // No header: nothing written.
    EXPECT_FALSE(io.ImportFile(file("2,a\r\n"), 4));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CodeTaikeiTest, ForeignProductKindIsRefused) {
    AppInfo.VerTest = "T";
    ASSERT_TRUE(DM->fnAccDefConnected());
    TCodeTaikeiIO io;
    // Four fields: the kind stays "-", which is not "-T".
    EXPECT_FALSE(io.ImportFile(file("1,標準,2,1\r\n"), 3));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "このプログラムでは、該当のデータ（製品区分）を処理することが出来ません。"
                                         "財務以外で作成されたデータの可能性があります。");
}

} // namespace
