// The program's data verification on real embedded databases: a sound data
// set passes; a damaged one is marked in the data list and in its status.
#include "accdb/AccRecord.h"
#include "accdb/DataInfomation.h"
#include "accdb/DataModule.h"
#include "app/DmDataVerify.h"
#include "app/ProcessForm.h"
#include "accdb/DataModuleSupport.h"
#include "platform/Prompt.h"
#include "support/FbFixture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

using testsupport::FbFixture;

namespace {

// Overwrites the record index of every data page of the user tables with a
// pattern, as a disk fault would; the system tables and the page headers
// stay, so the engine still opens the file.
int damageDataPages(const std::string& path) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char header[18] = {};
    f.read(reinterpret_cast<char*>(header), sizeof header);
    const std::uint32_t pageSize = header[16] | (header[17] << 8);
    const auto size = std::filesystem::file_size(path);
    int damaged = 0;
    for (std::uint64_t at = pageSize; pageSize >= 1024 && at + pageSize <= size; at += pageSize) {
        f.seekg(static_cast<std::streamoff>(at));
        unsigned char page[24] = {};
        f.read(reinterpret_cast<char*>(page), sizeof page);
        const int relation = page[20] | (page[21] << 8);
        if (page[0] != 5 || relation < 128) // a data page of a user table
            continue;
        const std::string junk(64, '\xA5');
        f.seekp(static_cast<std::streamoff>(at + 24));
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
        ++damaged;
    }
    return damaged;
}

class DataVerify : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        SystemDef.Settings.DataCheckMode = 1;
        InstallDataInfomation();
        ASSERT_TRUE(DM->fnAccDefConnected());
        DataVerifyHook = DataVerifyProc;
        SetDataVerifyServices(&services);
    }
    void TearDown() override {
        SetDataVerifyServices(nullptr);
        DataModuleTest::TearDown();
    }
    // A data set with some rows, so that it has data pages.
    std::string makeFilledData(const std::string& folder) {
        const std::string path = fb.makeDataSet(folder);
        std::string script;
        for (int i = 1; i <= 40; ++i)
            script += "INSERT INTO MYNUMBER_LOG (FHIZUKE, FOPCODE) VALUES ('2024-01-01 10:00', '" +
                      std::to_string(i) + "');\n";
        FbFixture::exec(path, script);
        return path;
    }
    int status(const std::string& folder) {
        TDataInfomationRec rec;
        ReadDataStatusFile(folder, rec);
        return rec.STATUS;
    }

    TDmDataVerifyServices services;
};

TEST_F(DataVerify, SoundDataSetPassesAndDamagedOnesAreMarked) {
    FbFixture::exec(sysDb, "INSERT INTO DATALIST (REC, GROUPID) VALUES (3, 10000);"
                           "INSERT INTO DATALIST (REC, GROUPID) VALUES (4, 10000);"
                           "INSERT INTO DATALIST (REC, GROUPID) VALUES (5, 10000);"
                           "INSERT INTO CHILD_DATALIST (REC, ROWNO, GROUPID) VALUES (5, 2, 10000);");
    struct Case {
        const char* folder;
        bool damage;
        int silent;
        const char* listStatus; // DATA_STATUS of the folder's data-list row
    } cases[] = {
        {"data/3", false, 0, "SELECT DATA_STATUS FROM DATALIST WHERE REC = 3"},
        {"data/4", true, 0, "SELECT DATA_STATUS FROM DATALIST WHERE REC = 4"},
        {"data/5/2", true, 1, "SELECT DATA_STATUS FROM CHILD_DATALIST WHERE REC = 5 AND ROWNO = 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string db = makeFilledData(c.folder);
        const std::string folder = fb.path(c.folder).string();
        if (c.damage) {
            ASSERT_GT(damageDataPages(db), 0);
        }
        prompt.messages.clear();
        const int result = DM->CallDataVerify("", folder, c.silent, 0);
        EXPECT_EQ(result, c.damage ? 0 : 1);
        EXPECT_EQ(SystemDef.DataDamaged, c.damage ? 1 : 0);
        EXPECT_EQ(prompt.messages.size(), c.damage && !c.silent ? 1u : 0u);
        DM->IBTransactionDEF.rollbackNoThrow();
        EXPECT_EQ(FbFixture::scalar(sysDb, c.listStatus), c.damage ? "1" : "0");
        EXPECT_EQ(status(folder) == 10, c.damage);
    }
    // The other rows stay as they were.
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT COUNT(*) FROM DATALIST WHERE DATA_STATUS = 1"), "1");
    EXPECT_EQ(FbFixture::scalar(sysDb, "SELECT DATA_STATUS FROM DATALIST WHERE REC = 5"), "0");
}

} // namespace
