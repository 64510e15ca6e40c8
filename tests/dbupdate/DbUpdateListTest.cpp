#include <gtest/gtest.h>

#include "dbupdate/DbUpdateList.h"
#include "accdb/AccRecord.h"
#include "db/FbError.h"
#include "support/TempDir.h"
#include "platform/Prompt.h"

namespace {

std::string versionOf(const TDbUpdateListRec& e)
{
    return std::to_string(e.Major) + "." + std::to_string(e.Minor1) + "." + std::to_string(e.Minor2);
}

std::string joined(const TArrayDbUpdateListRec& list)
{
    std::string s;
    for (const auto& e : list)
        s += (s.empty() ? "" : " ") + versionOf(e);
    return s;
}

TEST(DbUpdateList, StepsInAscendingOrder)
{
    TDbUpdateState st;
    EXPECT_EQ(joined(st.SystemUpdateList),
              "0.3.1 0.3.2 0.3.3 1.0.1 3.0.0 3.0.5 3.0.7 4.0.0 4.0.2 5.0.0 7.0.0 7.0.4 8.0.0 8.0.2 9.0.4 10.0.4 "
              "11.0.1 12.0.0");
    EXPECT_EQ(joined(st.DataUpdateList),
              "0.1.1 0.1.2 0.1.3 0.1.4 0.1.5 0.2.0 0.2.1 0.2.2 0.3.0 0.3.1 0.3.2 0.3.3 0.3.4 0.4.0 0.4.1 1.0.0 "
              "1.0.1 1.0.2 1.0.3 1.0.5 2.0.0 2.0.4 3.0.0 3.0.1 3.0.3 3.0.4 3.0.6 3.0.7 4.0.0 4.0.2 5.0.0 5.0.2 "
              "5.0.5 6.0.0 6.1.0 6.1.3 7.0.0 7.0.2 7.0.3 7.0.4 8.0.0 8.0.2 8.0.3 9.0.0 9.0.1 9.0.2 9.0.3 9.0.4 "
              "9.0.5 10.0.0 10.0.1 10.0.3 10.0.4 10.0.5 11.0.0 11.0.1 11.1.0 12.0.0 13.0.0 13.0.3 14.0.0");
    for (const auto* list : {&st.SystemUpdateList, &st.DataUpdateList})
        for (const auto& e : *list)
            EXPECT_FALSE(e.Title.empty()) << versionOf(e);
}

TEST(DbUpdateList, TitlesByProductAndEdition)
{
    TDbUpdateListRec e;
    ASSERT_TRUE(SetDbUpdateInfo(1, 9, 0, 0, {}, e));
    EXPECT_EQ(e.Title, "タヴリン財務１７のデータ形式に変換");
    ASSERT_TRUE(SetDbUpdateInfo(1, 11, 1, 0, {"Plovane財務", 0}, e));
    EXPECT_EQ(e.Title, "１９ 消費税改正版のデータ形式に変換");
    ASSERT_TRUE(SetDbUpdateInfo(1, 0, 1, 1, {}, e));
    EXPECT_EQ(e.Title, "減価償却処理を追加　他");
    EXPECT_EQ(e.Description, "1)減価償却処理用のテーブルを作成します。\r2)３期比較経営分析用のプロシジャーを作成します。");
    EXPECT_EQ(e.NeedBackup, 1);

    ASSERT_TRUE(SetDbUpdateInfo(0, 7, 0, 0, {"Plovane財務", 0}, e));
    EXPECT_EQ(e.Title, "Plovane財務１５のデータ形式に変換");
    EXPECT_EQ(e.Description, "１）Plovane財務１５のデータ形式に変換する。");
    EXPECT_EQ(e.NeedBackup, 0);
    ASSERT_TRUE(SetDbUpdateInfo(0, 7, 0, 0, {"Plovane財務", 1}, e));
    EXPECT_EQ(e.Title, "個別原価管理機能の追加");
    ASSERT_TRUE(SetDbUpdateInfo(0, 12, 0, 0, {"x", 2}, e));
    EXPECT_EQ(e.Title, "機能強化および不具合修正");

    ASSERT_TRUE(SetDbUpdateInfo(1, 7, 0, 0, {"P", 1}, e));
    EXPECT_EQ(e.Title, "P１５のデータ形式に変換 他");
    EXPECT_EQ(e.Description, "１）P１５のデータ形式に変換します。\r２）「個人／農業」体系を新たに追加し、"
                             "青色申告決算書（農業所得用）を作成します。\r３）個別原価管理機能を新たに追加します。");
    ASSERT_TRUE(SetDbUpdateInfo(1, 8, 0, 2, {"P", 1}, e));
    EXPECT_EQ(e.Title, "不具合修正");
    ASSERT_TRUE(SetDbUpdateInfo(1, 8, 0, 0, {"P", 1}, e));
    EXPECT_EQ(e.Title, "P１６のデータ形式に変換 他");
    ASSERT_TRUE(SetDbUpdateInfo(1, 14, 0, 0, {"P", 2}, e));
    EXPECT_EQ(e.Title, "機能強化および不具合修正");
    EXPECT_FALSE(SetDbUpdateInfo(1, 3, 0, 5, {}, e));
}

TEST(DbUpdateList, RegisteredProceduresReachTheEntries)
{
    RegisterDbUpdateProc(1, 13, 0, 3, [] { return 18; });
    TDbUpdateState st;
    const auto& e = st.DataUpdateList[59];
    ASSERT_EQ(versionOf(e), "13.0.3");
    ASSERT_TRUE(e.UpdateProc);
    EXPECT_EQ(e.UpdateProc(), 18);
    RegisterDbUpdateProc(1, 13, 0, 3, nullptr);
}

struct CompareCase {
    std::uint8_t kind;
    const char* text;
    bool needed;
    int first;   // -1 none
    int count;   // pending entries
    int compat;
    int backupWeight;
    const char* firstRow;
};

void PrintTo(const CompareCase& c, std::ostream* os)
{
    *os << "kind " << int(c.kind) << " \"" << c.text << "\"";
}

class DbVersionCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(DbVersionCompare, PendingRangeAndCompatibility)
{
    const auto& c = GetParam();
    TDbUpdateState st;
    st.SetDbUpdateList(c.kind, c.text);
    EXPECT_EQ(st.UpdateNeeded, c.needed);
    EXPECT_EQ(st.FirstPending, c.first);
    EXPECT_EQ(st.LastPending, c.first < 0 ? -1 : static_cast<int>(st.CurrentList->size()) - 1);
    EXPECT_EQ(c.first < 0 ? 0 : st.LastPending - st.FirstPending + 1, c.count);
    EXPECT_EQ(st.Compatibility, c.compat);
    EXPECT_EQ(st.BackupWeight, c.backupWeight);
    if (c.needed) {
        ASSERT_EQ(static_cast<int>(st.Rows.size()), c.count);
        EXPECT_EQ(st.Rows[0].Caption, c.firstRow);
        EXPECT_EQ(st.DescriptionText, (*st.CurrentList)[c.first].Description);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DbVersionCompare,
    ::testing::Values(CompareCase{1, "14.0.0", false, -1, 0, 1, 0, ""},
                      CompareCase{1, "13.0.3", true, 60, 1, 1, 1, "14.0.0"},
                      CompareCase{1, "14.0.1", false, -1, 0, 2, 0, ""},
                      CompareCase{1, "14.1.0", false, -1, 0, 0, 0, ""},
                      CompareCase{1, "15.0.0", false, -1, 0, 0, 0, ""},
                      CompareCase{1, "3.0.5", true, 26, 35, 1, 35, "3.0.6"},
                      CompareCase{1, "14.0", true, 0, 61, 1, 57, "0.1.1"},
                      CompareCase{1, "a.b", true, 0, 61, 1, 57, "0.1.1"},
                      CompareCase{1, "x.0.0", true, 0, 61, 1, 57, "0.1.1"},
                      CompareCase{0, "12.0.0", false, -1, 0, 1, 0, ""},
                      CompareCase{0, "99.0.0", false, -1, 0, 1, 0, ""},
                      CompareCase{0, "11.0.1", true, 17, 1, 1, 1, "12.0.0"}));

TEST(DbVersionCompare, ARecomputationStartsFromScratch)
{
    TDbUpdateState st;
    st.SetDbUpdateList(1, "13.0.3");
    ASSERT_TRUE(st.UpdateNeeded);
    st.SetDbUpdateList(1, "14.0.0");
    EXPECT_FALSE(st.UpdateNeeded);
    EXPECT_EQ(st.FirstPending, -1);
    EXPECT_EQ(st.LastPending, -1);
    EXPECT_EQ(st.BackupWeight, 0);
    EXPECT_EQ(st.TargetVersion, (TDbVersionTriple{14, 0, 0}));
}

TEST(DbVersionCompare, VersionFromTheDatabase)
{
    TDbUpdateState st;
    std::uint8_t askedKind = 9;
    st.VersionReader = [&](std::uint8_t kind) {
        askedKind = kind;
        return TDbVersionTriple{};  // an empty VERSION table
    };
    st.SetDbUpdateList(0, "");
    EXPECT_EQ(askedKind, 0);
    EXPECT_EQ(st.FirstPending, 0);
    EXPECT_EQ(st.Rows.size(), 18u);
    EXPECT_EQ(st.Rows[0].Caption, "0.3.1");
    EXPECT_EQ(st.Rows[0].Title, "共有サーバー機能の追加");

    // A failing read is reported and leaves 0.0.0: everything pending.
    testsupport::TempDir logs;
    SystemDef.LogDir = logs.str();
    platform::ScriptedPrompt prompt;
    st.VersionReader = [](std::uint8_t) -> TDbVersionTriple { throw db::FbError("no table", 335544569, -204); };
    st.SetDbUpdateList(1, "");
    EXPECT_EQ(st.DbVersion, TDbVersionTriple{});
    EXPECT_EQ(st.Rows.size(), 61u);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("データベースバージョンの取得に失敗しました。"), std::string::npos);
    EXPECT_NE(testsupport::readFileBytes(logs / "ErrFbAccess.log").find("TDbUpdateBox.SetDbVersion"), std::string::npos);
    SystemDef.LogDir.clear();
}

TEST(DbVersionCompare, DescriptionOfSelectedRowAndAgreement)
{
    TDbUpdateState st;
    st.SetDbUpdateList(1, "13.0.0");
    st.SelectRow(1);
    EXPECT_EQ(st.DescriptionText, st.DataUpdateList[60].Description);
    EXPECT_TRUE(st.AgreementVisible());
    EXPECT_FALSE(st.OkEnabled(false));
    st.SetDbUpdateList(0, "1.0.0");
    EXPECT_TRUE(st.OkEnabled(false));
    EXPECT_EQ(st.TitleText(), "システムデータの更新を行います。");
    EXPECT_EQ(st.WarningText1(), "");
}

} // namespace
