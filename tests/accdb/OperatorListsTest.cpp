// Branch list, saved screen values and operator lists against real databases.
#include "accdb/GamenKeyValue.h"
#include "accdb/SitenList.h"
#include "accdb/UserList.h"

#include "DataModuleSupport.h"

namespace {

using testsupport::FbFixture;

constexpr int kOp = 100000010;

class SitenListTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        const std::string dir = makeData();
        const std::string db = dir + "/tvacc.fdb";
        std::string script;
        for (int i = 1; i <= 5; ++i)
            script += "INSERT INTO SISETUMST (SCODE, SNAME, BUMEX, XSTR) VALUES ('0" + std::to_string(i) +
                      "', '支店" + std::to_string(i) + "', " + (i == 2 ? "1" : "0") + ", " +
                      (i == 1 ? "'COLOR=255'" : "''") + ");\n";
        script += "INSERT INTO OPLICENSE (OPCODE, SCODE) VALUES (100000010, '02');\n"
                  "INSERT INTO OPLICENSE (OPCODE, SCODE) VALUES (100000010, '04');\n"
                  "INSERT INTO SISETUGROUP (GCODE, GNAME) VALUES ('G1', '東');\n"
                  "INSERT INTO SISETUGROUPLIST (GCODE, SCODE) VALUES ('G1', '02');\n"
                  "INSERT INTO SISETUGROUPLIST (GCODE, SCODE) VALUES ('G1', '04');\n";
        FbFixture::exec(db, script);
        ASSERT_TRUE(DM->fnAccDatConnected("", dir, 0));
    }
    TSitenList make(std::uint8_t kinds, int siten = 1) {
        TSitenList l;
        l.Kinds = kinds;
        l.Basics.Siten = siten;
        l.Basics.Bumon = 1;
        l.Basics.DataType = 1;
        l.Basics.CompanyName = "株式会社テスト";
        return l;
    }
};

TEST_F(SitenListTest, BranchesForEverybodyAndForALicensedOperator) {
    auto all = make(skSiten);
    all.Execute(-1);
    ASSERT_EQ(all.Count, 5);
    EXPECT_EQ(all.Lines[0], "01:支店1");
    EXPECT_EQ(all.Entries[0].Color, 255);
    EXPECT_EQ(all.Entries[1].Color, 0xFFAF80);
    EXPECT_EQ(all.Entries[1].Bumex, 1);

    auto mine = make(skSiten);
    mine.Execute(kOp);
    ASSERT_EQ(mine.Count, 2);
    EXPECT_EQ(mine.Lines, (std::vector<std::string>{"02:支店2", "04:支店4"}));
    EXPECT_NE(mine.Count, all.Count); // not every branch
    std::string code;
    mine.GetSitenCode(mine.Count, code);
    EXPECT_EQ(code, "");

    // An operator with all rights gets everybody's list.
    SystemDef.JobLevel = 9;
    auto boss = make(skSiten);
    boss.Execute(kOp);
    EXPECT_EQ(boss.Count, 5);
    EXPECT_EQ(boss.OpCode, -1);
}

TEST_F(SitenListTest, WholeEntryAndGroupsFollowThePermission) {
    auto partial = make(skWhole | skGroup);
    partial.Execute(kOp);
    // Not every branch is licensed: no whole entry; the group's branches are.
    EXPECT_EQ(partial.Lines, (std::vector<std::string>{"(G1):東"}));

    auto off = make(skSiten, 0);
    off.Execute(kOp);
    ASSERT_EQ(off.Count, 1);
    EXPECT_EQ(off.Lines[0], "株式会社テスト");
    EXPECT_EQ(off.Entries[0].Bumex, 1);

    auto grid = make(skWhole | skSitenBumon);
    grid.GridMode = true;
    grid.Execute(-1);
    EXPECT_EQ(grid.Lines, (std::vector<std::string>{"\"法人全体\"\t\"\"\t\"\"", "\"02\"\t\"02\"\t\"支店2\""}));
}

class GamenKeyValueTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        SystemDef.OpCode = 12;
        ASSERT_TRUE(DM->fnAccDefConnected());
    }
};

TEST_F(GamenKeyValueTest, SavesCutsAndRestores) {
    TGamenKeyValue g;
    g.HozonValue("abc", "値１　");
    g.HozonValue("abc", "値２　"); // updates the same row
    std::string v;
    g.FukugenValue("abc", v);
    EXPECT_EQ(v, "値２");
    g.HozonValue("long", std::string(1500, 'x'));
    g.FukugenValue("long", v);
    EXPECT_EQ(v.size(), 1024u);
    g.SetStyleName(std::string(50, 'k'));
    EXPECT_EQ(g.StyleName.size(), 40u);
    DM->IBDatabaseDEF.disconnect();
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT COUNT(*) FROM STYLECOLOR WHERE OPCODE=12 AND STYLENAME='020-ABC' "
                                       "AND LINECOLOR1=-1 AND NETCOLOR2=-1"),
              "1");

    TGamenKeyValue none;
    none.OpCode = 0;
    none.FukugenValue("abc", v);
    EXPECT_EQ(v, "");
}

TEST_F(GamenKeyValueTest, FailureInsideACallersTransactionReachesTheCaller) {
    TGamenKeyValue g;
    g.HozonValue("abc", "1");
    // Another attachment holds the row: the update meets a lock conflict.
    db::Attachment other;
    other.connect(testsupport::fbParams(sysDb));
    db::Transaction otherTx(other);
    otherTx.start();
    db::Statement(otherTx, "UPDATE STYLECOLOR SET SSTR='x' WHERE OPCODE=12").execute();

    DM->IBTransactionDEF.start();
    EXPECT_THROW(g.HozonValue("abc", "2"), db::FbError);
    EXPECT_TRUE(prompt.messages.empty());
    DM->IBTransactionDEF.rollback();
    // On its own transaction the failure is reported.
    g.HozonValue("abc", "3");
    EXPECT_EQ(prompt.messages.size(), 1u);
    otherTx.rollback();
}

class UserListTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        FbFixture::exec(sysDb, "INSERT INTO LEVELNAME (LEVELNO, NAME) VALUES (3, '一般');"
                               "INSERT INTO OPERATOR (GROUPID, OPCODE, OPNAME, JOBLEVEL, SHONIN) "
                               "VALUES (10000, 20, '乙', 3, 1);"
                               "INSERT INTO OPERATOR (GROUPID, OPCODE, OPNAME, JOBLEVEL) VALUES (10000, 10, '甲', 3);"
                               "INSERT INTO LOGONUSERLIST (OPCODE, GROUPID, OPERATORCODE, PCNAME) "
                               "VALUES (100000010, 10000, 10, 'PC1');"
                               "INSERT INTO LOGONUSERLIST (OPCODE, GROUPID, OPERATORCODE, PCNAME) "
                               "VALUES (100000020, 10000, 20, 'PC2');");
        ASSERT_TRUE(DM->fnAccDefConnected());
    }
};

TEST_F(UserListTest, ListsOperatorsOfTheGroup) {
    TUserList l;
    l.GroupId = 10000;
    l.FirstName = "全員";
    l.Execute();
    EXPECT_EQ(l.Lines, (std::vector<std::string>{"全員", "10:甲", "20:乙"})); // code 1 never listed
    EXPECT_EQ(l.GetOpCode(0), 0);
    EXPECT_EQ(l.IndexOfOpCode(20), 2);
    EXPECT_EQ(l.IndexOfOpCode(99), -1);
    EXPECT_EQ(l.Entries[1].LEVELNAME, "一般");
    EXPECT_TRUE(l.Entries[2].SHONIN);

    l.FirstName.clear();
    l.ApprovedOnly = true;
    l.GridMode = true;
    l.Execute();
    EXPECT_EQ(l.Lines, (std::vector<std::string>{"\"20\"\t\"乙\""}));
}

TEST_F(UserListTest, LoggedOnOperatorsLeaveTheCallerOut) {
    TLoginUserListOnDef l;
    l.Execute(10000, 100000010, false);
    EXPECT_EQ(l.Lines, (std::vector<std::string>{"20:乙"}));
    l.Execute(10000, 100000010, true);
    EXPECT_EQ(l.Count, 2);
    std::string name;
    l.GetOperatorName(l.Count, name);
    EXPECT_EQ(name, "");
}

} // namespace
