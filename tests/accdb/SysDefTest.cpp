// Operator settings against a real system database.
#include "accdb/SysDef.h"

#include <climits>

#include "DataModuleSupport.h"

namespace {

using testsupport::FbFixture;

class SysDefTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        SystemDef.GroupId = 10000;
        SystemDef.OpCode = 100000010;
        ASSERT_TRUE(DM->fnAccDefConnected());
    }
    std::string reg(int op, const std::string& key) {
        DM->IBDatabaseDEF.disconnect();
        std::string v = FbFixture::scalar(sysDb, "SELECT STEXT FROM SYSREG WHERE OPCODE=" + std::to_string(op) +
                                                     " AND SCODE='" + key + "'");
        EXPECT_TRUE(DM->fnAccDefConnected());
        return v;
    }
};

TEST_F(SysDefTest, NewOperatorGetsDefaultsAndSeededKeys) {
    ASSERT_TRUE(DM->fnGetSysDef());
    const TSysDefSettings& s = SystemDef.Settings;
    EXPECT_EQ(s.SankakuPlus, 1);
    EXPECT_EQ(s.ColHeaderColor, 0xDBDBDB);
    EXPECT_EQ(s.ColHeaderGradColor1, 0xFFFFFF);
    EXPECT_EQ(s.ColHeaderGradColor2, 0xDBDBDB);
    EXPECT_EQ(s.ClientColor, 0xFFFFFF);
    EXPECT_EQ(s.ClientColor2, 0xE1F0FF);
    EXPECT_EQ(s.TotalColor, 0x8EC7FF);
    EXPECT_EQ(s.ActiveColor, 0x246BFF);
    EXPECT_EQ(s.NetColor1, 0xD7FFD7);
    EXPECT_EQ(s.PLineColor2, 0x007900);
    EXPECT_EQ(s.DicSwitch, 0);
    EXPECT_EQ(s.DicTekAuto, 1);
    EXPECT_EQ(s.DicTorAuto, 1);
    // Seeded dictionary keys, then loaded.
    EXPECT_EQ(s.TekDicOpen, (std::array<int, 4>{1, 0, 1, 0}));
    EXPECT_EQ(s.TorDicOpen, (std::array<int, 4>{1, 0, 1, 0}));
    // Non-distributor values of the distributor-only keys.
    EXPECT_EQ(s.SiwakeDateFocus, 2);
    EXPECT_EQ(s.SisanBsKaiPage, 1);
    EXPECT_EQ(s.SisanTitle, "試　算　表");
    EXPECT_EQ(s.Titles[4][1], "販売費・一般管理費");
    EXPECT_EQ(s.Titles[4][0], "");
    EXPECT_EQ(s.DataCheckMode, 1);
    EXPECT_EQ(reg(100000010, "摘要＿自動開く区分"), "1");
    EXPECT_EQ(reg(100009999, "データ破損チェック区"), "1");
    EXPECT_EQ(reg(100000010, "次項目移動区分"), ""); // distributor editions only
}

TEST_F(SysDefTest, DistributorEditionSeedsItsOwnValues) {
    OemEdition = 1;
    ASSERT_TRUE(DM->fnGetSysDef());
    const TSysDefSettings& s = SystemDef.Settings;
    EXPECT_EQ(s.DicSwitch, 2);
    EXPECT_EQ(s.DicTorAuto, 0);
    EXPECT_EQ(s.TekDicOpen, (std::array<int, 4>{0, 1, 1, 0}));
    EXPECT_EQ(s.NextItemMove, 1);
    EXPECT_EQ(s.BumonDigits, 1);
    EXPECT_EQ(s.SiwakeDateFocus, 1);
    EXPECT_EQ(s.MotoLastZan, 1);
    EXPECT_EQ(s.SisanTotal, 1);
    EXPECT_EQ(s.MotoTitle, 1);
}

TEST_F(SysDefTest, StoredZeroGradientColoursLoadAsDefaultsAndBitsRoundTrip) {
    DM->IBDatabaseDEF.disconnect();
    // bits 1, 6, 7 and 10 of Reserve4; bit 2 of Reserve2
    FbFixture::exec(sysDb, "INSERT INTO SYSDEF (OPCODE, COLHEADERGRADCOLOR1, COLHEADERGRADCOLOR2, RESERVE2, RESERVE4, "
                           "DATADIR) VALUES (100000010, 0, 0, 2, " + std::to_string(1 | 32 | 64 | 512) + ", '/d/Abc');");
    ASSERT_TRUE(DM->fnAccDefConnected());
    ASSERT_TRUE(DM->fnGetSysDef());
    TSysDefSettings& s = SystemDef.Settings;
    EXPECT_EQ(s.ColHeaderGradColor1, 0xFFFFFF);
    EXPECT_EQ(s.ColHeaderGradColor2, 0xBBBBBB);
    EXPECT_EQ(SystemDef.DataDir, "/d/Abc");
    EXPECT_EQ(s.KyoyuAuto, 1);
    EXPECT_EQ(s.KahenWaku, 1);
    EXPECT_EQ(s.BsKaiPage, 0);
    EXPECT_EQ(s.ThreeWay, 2);
    EXPECT_EQ(s.WarekiDisp, 1);
    EXPECT_EQ(s.MotoLastZan, 1);
    // No seeding for an existing row.
    EXPECT_EQ(reg(100000010, "摘要＿自動開く区分"), "0");

    s.ThreeWay = 1;
    s.KyoyuAuto = 2; // not exactly 1: no bit
    s.SisanTitle = "残高試算表";
    ASSERT_TRUE(DM->fnPutSysDef());
    DM->IBDatabaseDEF.disconnect();
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT RESERVE4 FROM SYSDEF WHERE OPCODE=100000010"),
              std::to_string(16 | 64 | 512));
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT COLHEADERGRADCOLOR2 FROM SYSDEF WHERE OPCODE=100000010"),
              std::to_string(0xBBBBBB));
    EXPECT_EQ(reg(100000010, "試算表タイトル"), "残高試算表");
}

TEST_F(SysDefTest, TypedKeysReadByTypeWord) {
    struct Case {
        const char* type;
        const char* stored;
        TSysRegValue expected;
    };
    const Case cases[] = {
        {"整数", "", 0},
        {"文字", "", std::string(" ")},
        {"整数", "12", 12},
        {"整数", "-2147483648", INT_MIN},
        {"整数", "2147483648", 0},     // beyond int: the default, not a wrapped number
        {"整数", "4294967308", 0},     // would wrap to 12
        {"整数", "-2147483649", 0},
        {"論理", "TRUE", true},
        {"論理", "true", false},
        {"金額", "1234.5", std::int64_t{12345000}},
        {"実数", "1.5", std::string("Data Type Error")},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string key = "K" + std::to_string(n++);
        DM->funcPutSysReg(key, "文字", std::string(c.stored), 100000010);
        TSysRegValue v;
        DM->funcGetSysReg(key, c.type, "", 100000010, v);
        EXPECT_EQ(v, c.expected) << c.type << " " << c.stored;
    }
    // A missing key is inserted with its default.
    TSysRegValue v;
    DM->funcGetSysReg("新しいキー", "整数", "7", 100000010, v);
    EXPECT_EQ(v, TSysRegValue(7));
    EXPECT_EQ(reg(100000010, "新しいキー"), "7");
    // An unknown type word stores NULL.
    DM->funcPutSysReg("新しいキー", "実数", 5, 100000010);
    DM->IBDatabaseDEF.disconnect();
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT COUNT(*) FROM SYSREG WHERE OPCODE=100000010 AND STEXT IS NULL"), "1");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SysDefTest, DeleteLogonInfoByLogonMode) {
    DM->IBDatabaseDEF.disconnect();
    FbFixture::exec(sysDb, "INSERT INTO LOGONUSERLIST (OPCODE, PCNAME) VALUES (100000010, 'A');"
                           "INSERT INTO LOGONUSERLIST (OPCODE, PCNAME) VALUES (100000001, 'A');");
    ASSERT_TRUE(DM->fnAccDefConnected());
    LogonMode = 1;
    DM->DeleteLogonInfo();
    LogonMode = 0;
    DM->IBDatabaseDEF.disconnect();
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT LIST(OPCODE) FROM LOGONUSERLIST"), "100000010");
}

} // namespace
