#include <gtest/gtest.h>

#include <filesystem>

#include "datasel/DataSentakuList.h"
#include "db/Attachment.h"
#include "db/Transaction.h"
#include "support/TempDir.h"

namespace {

// Row rules that need no database.
class DataListRows : public ::testing::Test {
protected:
    DataListRows() : tx(att), ctl(tx, settings()) {}
    static TDataListSettings settings()
    {
        TDataListSettings s;
        s.GroupId = 10000;
        s.OpCode = 10003;
        s.SystemFolder = "/S/";
        return s;
    }
    db::Attachment att;
    db::Transaction tx;
    TDataSentakuListCtl ctl;
};

TEST_F(DataListRows, StatusLabels)
{
    const std::pair<int, const char*> cases[] = {{0, "－"}, {1, "－"}, {2, "使用中"}, {3, "データロック中"},
                                                 {9, "新規作成中"}, {10, "破損"}, {11, "状態不明"}, {-1, "状態不明"}};
    for (const auto& [status, text] : cases)
        EXPECT_EQ(TDataSentakuListCtl::GetDataStatusText(status), text) << status;
}

TEST_F(DataListRows, LocalPathRule)
{
    struct Case {
        int netDrive, rec, gassan;
        const char* pas;
        const char* local;
    } cases[] = {
        {1, 7, 0, "/srv/share/0007", "/S/0007"},
        {1, 7, 10, "/srv/share/sv0003/002/", "/S/0007/002"},
        {1, 7, 0, "", ""},
        {0, 7, 0, "/d/DATA/0007/", "/d/DATA/0007"},
    };
    for (const auto& c : cases) {
        TDataListRec row;
        row.NETDRIVE = c.netDrive;
        row.REC = c.rec;
        row.GASSAN = static_cast<std::uint8_t>(c.gassan);
        row.PASNAME = c.pas;
        EXPECT_EQ(ctl.GetLocalDataPath(row), c.local) << c.pas;
    }
    EXPECT_EQ(datasel::RecOfDataPath("C:\\acc\\data\\0012\\"), 12);
    EXPECT_EQ(datasel::RecOfDataPath("/acc/CB_DATA/x1/002"), 0);
    EXPECT_EQ(datasel::TrimZen("\u3000 a b \u3000 "), "a b");
}

TEST_F(DataListRows, RowFromDataSetInformation)
{
    TDataInfomationRec info;
    info.STATUS = 3;
    info.OPCODE = 100000012;   // group 10000, login code 12
    info.SHARE_STATUS = 2;
    info.SHARE_OPCODE = 10003;
    info.SHOUGOU = "商号";
    info.KISHU = "2024/04/01";
    info.KIMATU = "bad";
    info.DATAKBN = 3;
    info.CODEKBN = 1;

    TDataListRec row;
    row.NETDRIVE = 1;
    row.ENTTEXT = "空き領域";
    row.ROWNO = 2;
    row.REC = 5;
    row.PASNAME = "/srv/p/005";
    ctl.SetDataListRecFromInfo(info, row);
    EXPECT_EQ(row.DATALOCK, 12);
    EXPECT_EQ(row.KYOYULOCK, 1);
    EXPECT_EQ(row.ENTTEXT, "商号");       // a shared free area takes the company name
    EXPECT_EQ(row.GASSAN, 10);
    EXPECT_EQ(row.KIMATU, 0);
    EXPECT_EQ(row.KikanText.substr(0, 10), "2024/04/01");
    EXPECT_EQ(row.LocalPath, "/S/0005/005");

    row = TDataListRec{};
    row.ENTTEXT = "空き領域";
    info.DATALISTNAME = "空き領域";
    ctl.SetDataListRecFromInfo(info, row);
    EXPECT_EQ(row.ENTTEXT, "空き領域");   // local rows keep a given name
}

TEST_F(DataListRows, DataFoldersWithoutBackupFolders)
{
    testsupport::TempDir dir;
    for (const char* name : {"0001", "TavrinZaimu_Backup", "PLOVANEZAIMU_BACKUP", "0002"})
        std::filesystem::create_directory(dir / name);
    std::vector<std::string> list;
    ctl.GetDataFolderList(dir.str(), list);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{"0001", "0002"}));
}

} // namespace
