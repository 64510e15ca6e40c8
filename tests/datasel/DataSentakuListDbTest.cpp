#include <gtest/gtest.h>

#include <memory>

#include "accdb/AccRecord.h"
#include "datasel/DataListFilter.h"
#include "datasel/DataSentakuList.h"
#include "db/Attachment.h"
#include "db/Transaction.h"
#include "platform/Prompt.h"
#include "support/FbFixture.h"

using namespace datasel;
using testsupport::FbColumns;
using testsupport::FbFixture;

namespace {

// A system database of the kit with the group's list tables, and a list
// object on its default transaction.
class DataListDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = fb.makeSystemDb();
        SystemDef.LogDir = fb.dir().str();
        att = std::make_unique<db::Attachment>(testsupport::fbParams(path));
        tx = std::make_unique<db::Transaction>(*att);
        settings.SystemFolder = "/sys";
        settings.SysDbVerMajor = 12;
    }
    void TearDown() override { SystemDef.LogDir.clear(); }

    std::unique_ptr<TDataSentakuListCtl> makeCtl(std::uint8_t connectKind = 0)
    {
        auto ctl = std::make_unique<TDataSentakuListCtl>(*tx, settings);
        ctl->ConnectKind = connectKind;
        return ctl;
    }

    void add(const char* table, int rec, const std::string& name, const std::string& pas, int type, int code,
             int major, int minor1, FbColumns extra = {})
    {
        FbColumns c = {{"REC", std::to_string(rec)},
                       {"GROUPID", "10000"},
                       {"ENTTEXT", name},
                       {"SHOUGOU", name.empty() ? "" : name + "社"},
                       {"PASNAME", pas},
                       {"DATATYPE", std::to_string(type)},
                       {"CODETYPE", std::to_string(code)},
                       {"VER_MAJOR", std::to_string(major)},
                       {"VER_MINOR1", std::to_string(minor1)},
                       {"KISHU", name.empty() ? "1899-12-30" : "2024-04-01"},
                       {"KIMATU", name.empty() ? "1899-12-30" : "2025-03-31"}};
        for (auto& e : extra) {
            bool replaced = false;
            for (auto& k : c)
                if (k.first == e.first) {
                    k.second = e.second;
                    replaced = true;
                }
            if (!replaced)
                c.push_back(e);
        }
        FbFixture::insertRow(path, table, c);
    }
    void addSlot(int rec) { add("DATALIST", rec, "", "/d/DATA/" + std::to_string(rec), 0, 0, 0, 0); }
    std::string scalar(const std::string& sql) { return FbFixture::scalar(path, sql); }

    static std::string recs(const TDataSentakuRecArray& rows)
    {
        std::string s;
        for (const auto& r : rows)
            s += (s.empty() ? "" : ",") + std::to_string(r.REC);
        return s;
    }

    FbFixture fb;
    std::string path;
    std::unique_ptr<db::Attachment> att;
    std::unique_ptr<db::Transaction> tx;
    TDataListSettings settings;
};

TEST_F(DataListDb, ConverterFilterShowsCorporationsOfMajor14)
{
    add("DATALIST", 1, "法人14", "/d/DATA/0001", 1, 1, 14, 0);
    add("DATALIST", 2, "医療14", "/d/DATA/0002", 3, 1, 14, 2);
    add("DATALIST", 3, "個人14", "/d/DATA/0003", 2, 1, 14, 0);
    add("DATALIST", 4, "法人13", "/d/DATA/0004", 1, 1, 13, 9);
    add("DATALIST", 5, "法人15", "/d/DATA/0005", 1, 1, 15, 0);
    addSlot(6);
    auto ctl = makeCtl();
    ctl->Execute(0, SortKeyOfGridColumn(0), "", 0);
    ASSERT_EQ(ctl->RowCount, 6);
    TDataKensakuRec cond;
    cond.DATATYPE = kDataTypeHoujinOrIryou;
    cond.CODETYPE = 0;
    cond.DATAVER = "14";
    cond.VerMatch = 1;
    const auto shown = BuildDisplayIndex(ctl->Rows, cond);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(ctl->Rows[shown[0]].ENTTEXT, "法人14");
    EXPECT_EQ(ctl->Rows[shown[1]].ENTTEXT, "医療14");
    EXPECT_FALSE(tx->active());
}

TEST_F(DataListDb, SortKeysAndTheirTieBreaks)
{
    add("DATALIST", 9, "A", "/d/DATA/b", 1, 1, 14, 0, {{"NENDO", "3"}});
    add("DATALIST", 2, "A", "/d/DATA/C", 1, 1, 14, 0, {{"NENDO", "5"}});
    add("DATALIST", 4, "B", "/d/DATA/a", 1, 1, 14, 0);
    add("DATALIST", 7, "", "/d/DATA/Z", 0, 0, 0, 0);
    add("DATALIST", 3, "", "/d/DATA/y", 0, 0, 0, 0);
    auto ctl = makeCtl();
    struct Case {
        std::uint8_t key;
        std::uint8_t desc;
        const char* expected;
    } cases[] = {
        {2, 0, "2,9,4,3,7"},   // name, fiscal year descending, then free slots by REC
        {2, 1, "4,2,9,7,3"},   // free slots still last
        {1, 1, "9,7,4,3,2"},   // one sequence
        {5, 0, "4,9,2,7,3"},   // UPPER(PASNAME); free slots by PASNAME as stored
        {8, 0, "2,3,4,7,9"},   // no order: the key's rows all read (natural order)
    };
    for (const auto& c : cases) {
        ctl->Execute(0, c.key, "", c.desc);
        if (c.key == 8) {
            EXPECT_EQ(ctl->RowCount, 5);
            continue;
        }
        EXPECT_EQ(recs(ctl->Rows), c.expected) << int(c.key) << "/" << int(c.desc);
    }
}

TEST_F(DataListDb, ChildrenUnderTheirParentsAndPaths)
{
    add("DATALIST", 7, "合算", "\\\\srv\\share\\0007", 1, 1, 14, 0, {{"GASSAN", "1"}, {"NETDRIVE", "1"}});
    add("DATALIST", 8, "共有自前", "/sys/0008", 1, 1, 14, 0, {{"NETDRIVE", "1"}});
    add("DATALIST", 50, "他グループ", "/d/DATA/0050", 1, 1, 14, 0, {{"GROUPID", "20000"}});
    FbFixture::insertRow(path, "USERGROUP", {{"GROUPID", "20000"}});
    auto child = [&](int rec, int rowNo, const char* pas) {
        FbFixture::insertRow(path, "CHILD_DATALIST",
                             {{"REC", std::to_string(rec)}, {"ROWNO", std::to_string(rowNo)}, {"GROUPID", "10000"},
                              {"ENTTEXT", "子"}, {"PASNAME", pas}, {"NETDRIVE", "1"}, {"GASSAN", "10"}});
    };
    child(7, 1, "/srv/share/0007/002");
    child(7, 2, "/srv/share/0007/001");
    child(50, 1, "/d/DATA/0050/001");
    auto ctl = makeCtl();
    ctl->Execute(0, 1, "", 0);
    ASSERT_EQ(ctl->RowCount, 2);
    const auto& parent = ctl->Rows[0];
    EXPECT_EQ(parent.PASNAME, "//srv/share/0007");
    EXPECT_EQ(parent.LocalPath, "/sys/0007");
    EXPECT_EQ(parent.NETDRIVE, 1);
    ASSERT_EQ(parent.ChildCount, 2);
    EXPECT_EQ(parent.Children[0].PASNAME, "/srv/share/0007/001");
    EXPECT_EQ(parent.Children[0].LocalPath, "/sys/0007/001");
    // Its own working copy: local data.
    EXPECT_EQ(ctl->Rows[1].NETDRIVE, 0);
    EXPECT_EQ(ctl->ChildCount, 3);   // the other group's parent is not read
    EXPECT_EQ(ctl->ChildRows[2].REC, 50);
    EXPECT_EQ(parent.KikanText, "2024/04/01 ～ 2025/03/31");
}

TEST_F(DataListDb, FailedReadKeepsOnlyTheRowsRead)
{
    add("DATALIST", 1, "A", "/d/DATA/0001", 1, 1, 14, 0);
    add("DATALIST", 2, "B", "/d/DATA/0002", 1, 1, 14, 0);
    platform::ScriptedPrompt prompt;
    auto ctl = makeCtl();
    ctl->Execute(0, 0, "ORDER BY NO_SUCH_COLUMN", 0);
    EXPECT_EQ(ctl->RowCount, 0);
    EXPECT_TRUE(ctl->Rows.empty());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text().find("データリストの取得に失敗しました。"), std::string::npos);
    EXPECT_FALSE(tx->active());
}

TEST_F(DataListDb, ColumnsBySystemDatabaseVersion)
{
    add("DATALIST", 1, "A", "/d/DATA/0001", 1, 1, 14, 0, {{"CLOUD", "1"}, {"READ_ONLY", "1"}});
    struct Case {
        int major, minor1, minor2;
        int cloud, readOnly;
    } cases[] = {{11, 0, 0, 0, 0}, {11, 0, 1, 1, 0}, {12, 0, 0, 1, 1}};
    for (const auto& c : cases) {
        settings.SysDbVerMajor = c.major;
        settings.SysDbVerMinor1 = c.minor1;
        settings.SysDbVerMinor2 = c.minor2;
        auto ctl = makeCtl();
        ctl->Execute(0, 1, "", 0);
        ASSERT_EQ(ctl->RowCount, 1);
        EXPECT_EQ(ctl->Rows[0].CLOUD, c.cloud);
        EXPECT_EQ(ctl->Rows[0].READ_ONLY, c.readOnly);
        TDataListRec row = ctl->Rows[0];
        row.CLOUD = 0;
        row.READ_ONLY = 0;
        ASSERT_TRUE(ctl->UpdateDataListRecord(row, true, false));
        EXPECT_EQ(scalar("SELECT CLOUD FROM DATALIST WHERE REC=1"), c.cloud ? "0" : "1");
        EXPECT_EQ(scalar("SELECT READ_ONLY FROM DATALIST WHERE REC=1"), c.readOnly ? "0" : "1");
        FbFixture::exec(path, "UPDATE DATALIST SET CLOUD=1, READ_ONLY=1;");
    }
}

TEST_F(DataListDb, DataPlaceChoice)
{
    auto ctl = makeCtl(0);
    ctl->SetDataPlaceRec(5);
    EXPECT_EQ(ctl->DataPlaceRec, 0);
    EXPECT_EQ(ctl->ListTable, "DATALIST");
    ctl->ConnectKind = 1;
    ctl->SetDataPlaceRec(5);
    EXPECT_EQ(ctl->ListTable, "DATALIST_EX");
    FbFixture::insertRow(path, "DATAPLACEMAN", {{"REC", "5"}});
    FbFixture::insertRow(path, "DATAPLACEMAN", {{"REC", "6"}});
    add("DATALIST_EX", 3, "場所5", "/p5/0003", 1, 1, 14, 0, {{"DATAPLACEREC", "5"}});
    add("DATALIST_EX", 9, "場所6", "/p6/0009", 1, 1, 14, 0, {{"DATAPLACEREC", "6"}});
    ctl->Execute(0, 1, "", 0);
    EXPECT_EQ(recs(ctl->Rows), "3");
    EXPECT_EQ(ctl->GetDataFolderName(1), 4);
    TDataListRec row;
    ctl->InitDataListRecord(row, "/p5/new");
    ASSERT_TRUE(ctl->InsertDataListRecord(row, false));
    EXPECT_EQ(row.REC, 4);
    EXPECT_EQ(scalar("SELECT DATAPLACEREC FROM DATALIST_EX WHERE PASNAME='/p5/new'"), "5");
}

TEST_F(DataListDb, InsertAndUpdateByConnectionKind)
{
    for (int i = 1; i <= 3; ++i)
        addSlot(i);
    auto ctl = makeCtl(0);
    TDataListRec row;
    ctl->InitDataListRecord(row, "/d/DATA/new");
    EXPECT_TRUE(ctl->InsertDataListRecord(row, false));
    EXPECT_EQ(row.REC, 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM DATALIST"), "3");
    ctl->InitDataListRecord(row, "  ");
    EXPECT_FALSE(ctl->InsertDataListRecord(row, false));

    ctl->ConnectKind = 1;
    ctl->InitDataListRecord(row, "/d/DATA/new");
    row.ENTTEXT = "新規";
    ASSERT_TRUE(ctl->InsertDataListRecord(row, false));
    EXPECT_EQ(row.REC, 4);

    // The slot now belongs to another folder: nothing written.
    TDataListRec other = row;
    other.PASNAME = "/d/DATA/elsewhere";
    other.ENTTEXT = "上書き";
    EXPECT_TRUE(ctl->UpdateDataListRecord(other, true, false));
    EXPECT_EQ(scalar("SELECT ENTTEXT FROM DATALIST WHERE REC=4"), "新規");
    // Another letter case of the same folder is the same folder.
    other.PASNAME = "/D/data/NEW";
    EXPECT_TRUE(ctl->UpdateDataListRecord(other, true, false));
    EXPECT_EQ(scalar("SELECT ENTTEXT FROM DATALIST WHERE REC=4"), "上書き");
    row.REC = 0;
    EXPECT_FALSE(ctl->UpdateDataListRecord(row, true, false));
}

TEST_F(DataListDb, CallersTransactionIsCommittedRetainingByWriters)
{
    addSlot(1);
    auto ctl = makeCtl(0);
    tx->start();
    TDataListRec row;
    row.REC = 1;
    ctl->GetDataListRecord(0, row, false);
    EXPECT_TRUE(tx->active());
    row.ENTTEXT = "変更";
    row.SHOUGOU = "商号";
    ASSERT_TRUE(ctl->UpdateDataListRecord(row, true, false));
    EXPECT_TRUE(tx->active());
    // Durable for others although the caller's transaction stays open.
    EXPECT_EQ(scalar("SELECT ENTTEXT FROM DATALIST WHERE REC=1"), "変更");
    tx->commit();
}

TEST_F(DataListDb, EmptiedSlotLosesItsChildren)
{
    add("DATALIST", 1, "合算", "/d/DATA/0001", 1, 1, 14, 0, {{"GASSAN", "1"}});
    FbFixture::insertRow(path, "CHILD_DATALIST", {{"REC", "1"}, {"ROWNO", "1"}, {"GROUPID", "10000"},
                                                  {"PASNAME", "/d/DATA/0001/001"}});
    auto ctl = makeCtl(0);
    TDataListRec row;
    row.REC = 1;
    ctl->GetDataListRecord(0, row, false);
    ASSERT_EQ(row.ENTTEXT, "合算");
    row.SHOUGOU.clear();
    row.KISHU = row.KIMATU = 0;
    ASSERT_TRUE(ctl->UpdateDataListRecord(row, true, false));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CHILD_DATALIST"), "0");
    EXPECT_EQ(scalar("SELECT CAST(KISHU AS DATE) FROM DATALIST WHERE REC=1"), "1899/12/30");
}

TEST_F(DataListDb, DeleteKeepsFixedSlotsAndOtherGroups)
{
    settings.DataListCnt = 120;
    FbFixture::insertRow(path, "USERGROUP", {{"GROUPID", "20000"}});
    add("DATALIST", 120, "固定", "/d/DATA/0120", 1, 1, 14, 0);
    add("DATALIST", 121, "追加", "/d/DATA/0121", 1, 1, 14, 0);
    add("DATALIST", 122, "他", "/d/DATA/0121", 1, 1, 14, 0, {{"GROUPID", "20000"}});
    FbFixture::insertRow(path, "CHILD_DATALIST", {{"REC", "121"}, {"ROWNO", "1"}, {"GROUPID", "10000"},
                                                  {"PASNAME", "/d/DATA/0121/001"}});
    auto ctl = makeCtl(0);
    TDataListRec row;
    ctl->InitDataListRecord(row, "/d/DATA/0120");
    EXPECT_TRUE(ctl->DeleteDataListRecord(row, false));
    ctl->InitDataListRecord(row, "/d/DATA/0121");
    row.REC = 121;
    EXPECT_TRUE(ctl->DeleteDataListRecord(row, false));
    EXPECT_EQ(scalar("SELECT LIST(REC) FROM (SELECT REC FROM DATALIST ORDER BY REC)"), "120,122");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CHILD_DATALIST"), "0");
}

TEST_F(DataListDb, ShareChildDeleteByPrefixTakesWildcardsLiterally)
{
    FbFixture::exec(path, "INSERT INTO SERVERDATALIST(GROUPID,DRIVELETTER,REC,PASNAME) VALUES(10000,'/',1,'/srv/a_b');"
                          "INSERT INTO SERVERDATALIST(GROUPID,DRIVELETTER,REC,PASNAME) VALUES(10000,'/',2,'/srv/aXb');");
    auto sc = [&](int rec, const char* pas) {
        FbFixture::insertRow(path, "CHILD_SERVERDATALIST", {{"GROUPID", "10000"}, {"DRIVELETTER", "/"},
                                                             {"REC", std::to_string(rec)}, {"ROWNO", "1"},
                                                             {"PASNAME", pas}});
    };
    sc(1, "/srv/a_b/001");
    sc(2, "/srv/aXb/001");
    add("DATALIST", 1, "共有合算", "/srv/a_b", 1, 1, 14, 0, {{"NETDRIVE", "1"}, {"GASSAN", "1"}});
    auto ctl = makeCtl(0);
    TDataListRec row;
    row.REC = 1;
    ctl->GetDataListRecord(0, row, false);
    ASSERT_EQ(row.NETDRIVE, 1);
    EXPECT_TRUE(ctl->DeleteDataListChildRecord(row, false));
    EXPECT_EQ(scalar("SELECT LIST(PASNAME) FROM CHILD_SERVERDATALIST"), "/srv/aXb/001");
}

TEST_F(DataListDb, RenumberClosesGapsAboveTheFixedSlots)
{
    settings.DataListCnt = 120;
    for (int rec : {120, 121, 125, 126})
        add("DATALIST", rec, "R" + std::to_string(rec), "/d/" + std::to_string(rec), 1, 1, 14, 0, {{"GASSAN", "1"}});
    FbFixture::insertRow(path, "CHILD_DATALIST", {{"REC", "126"}, {"ROWNO", "1"}, {"GROUPID", "10000"},
                                                  {"PASNAME", "/d/126/001"}});
    auto ctl = makeCtl(0);
    ctl->RenumberRec();   // stand-alone: nothing
    EXPECT_EQ(scalar("SELECT LIST(REC) FROM (SELECT REC FROM DATALIST ORDER BY REC)"), "120,121,125,126");
    ctl->ConnectKind = 1;
    ctl->RenumberRec();
    EXPECT_EQ(scalar("SELECT LIST(ENTTEXT) FROM (SELECT ENTTEXT FROM DATALIST ORDER BY REC)"), "R120,R121,R125,R126");
    EXPECT_EQ(scalar("SELECT LIST(REC) FROM (SELECT REC FROM DATALIST ORDER BY REC)"), "120,121,122,123");
    EXPECT_EQ(scalar("SELECT REC FROM CHILD_DATALIST"), "123");
}

TEST_F(DataListDb, LookupsByFolder)
{
    auto ctl = makeCtl(0);
    ctl->Execute(0, 2, "", 0);
    EXPECT_EQ(ctl->RowCount, 0);
    EXPECT_TRUE(BuildDisplayIndex(ctl->Rows, {}).empty());
    EXPECT_EQ(ctl->GetDataFolderName(1), 1);
    add("DATALIST", 1, "A", "C:/DATA/0001", 1, 1, 14, 0);
    EXPECT_TRUE(ctl->IsDataPathToroku("c:/data/0001"));
    EXPECT_FALSE(ctl->IsDataPathToroku("c:/data/0002"));
    std::int32_t rec = -1;
    ctl->GetRecByPath("/acc/DATA/0012/", rec);
    EXPECT_EQ(rec, 12);
    ctl->GetRecByPath("/acc/other/0012", rec);
    EXPECT_EQ(rec, 0);

    // Two rows of the group with one folder: a shared row and a local one.
    add("DATALIST", 3, "local", "/srv/s/0003", 1, 1, 14, 0);
    add("DATALIST", 2, "shared", "/srv/s/0003", 1, 1, 14, 0, {{"NETDRIVE", "1"}});
    TDataListRec row;
    ctl->InitDataListRecord(row, "/srv/s/0003");
    ctl->GetDataListRecord(1, row, false);
    EXPECT_EQ(row.ENTTEXT, "local");
    ctl->ConnectKind = 1;
    ctl->GetRecByPath("/srv/s/0003", rec);
    EXPECT_EQ(rec, 3);
}

TEST_F(DataListDb, ChildRowsOfAParent)
{
    add("DATALIST", 1, "合算", "/d/DATA/0001", 1, 1, 14, 0, {{"GASSAN", "2"}});
    auto ctl = makeCtl(0);
    TDataListRec c;
    c.REC = 1;
    c.ROWNO = 1;
    c.PASNAME = "/d/DATA/0001/002";
    c.ENTTEXT = "子B";
    c.GASSAN = 10;
    ASSERT_TRUE(ctl->UpdateDataListRecord(c, true, false));   // child rows go to CHILD_DATALIST
    c.ROWNO = 2;
    c.PASNAME = "/d/DATA/0001/001";
    c.ENTTEXT = "子A";
    ASSERT_TRUE(ctl->UpdateDataListChildRecord(c, false));
    c.ENTTEXT = "子A2";
    ASSERT_TRUE(ctl->UpdateDataListChildRecord(c, false));
    TDataSentakuRec parent;
    parent.REC = 1;
    parent.GASSAN = 2;
    ctl->GetDataListChildRecord(parent, false);
    ASSERT_EQ(parent.ChildCount, 2);
    EXPECT_EQ(parent.Children[0].ENTTEXT, "子A2");
    TDataSentakuListCtl::SetChildDisplayNames(parent);
    EXPECT_EQ(parent.Children[1].DispName, "02 子B");
    TDataSentakuListCtl::RemoveChildRow(parent, 0);
    EXPECT_EQ(parent.ChildCount, 1);
    EXPECT_EQ(parent.Children[0].ENTTEXT, "子B");
    EXPECT_TRUE(ctl->DeleteDataListRecord(c, false));   // a child row removes itself
    EXPECT_EQ(scalar("SELECT LIST(ROWNO) FROM CHILD_DATALIST"), "1");
}

TEST_F(DataListDb, ServerListOnlyTouchesNothing)
{
    addSlot(1);
    auto ctl = makeCtl(1);
    ctl->ServerListOnly = 1;
    ctl->Execute(0, 1, "", 0);
    EXPECT_EQ(ctl->RowCount, 0);
    TDataListRec row;
    ctl->InitDataListRecord(row, "/x");
    EXPECT_TRUE(ctl->InsertDataListRecord(row, false));
    EXPECT_TRUE(ctl->DeleteDataListRecord(row, false));
    EXPECT_EQ(ctl->GetDataFolderName(1), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM DATALIST"), "1");
}

} // namespace
