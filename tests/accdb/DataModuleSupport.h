#pragma once
// A data module over real embedded databases in a temporary folder: the
// system database in <tmp>/system and one data set in <tmp>/data.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "accdb/AccInf.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/DataStatus.h"
#include "accdb/IBErrorReport.h"
#include "platform/Prompt.h"
#include "support/FbFixture.h"

class DataModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAccRecordGlobals();
        AccInf = TACCINF{};
        SystemDef.UserName = testsupport::kFbUser;
        SystemDef.Password = testsupport::kFbPassword;
        SystemDef.LogDir = fb.path("log").string();
        SystemDef.WinTempDir = fb.path("tmp").string();
        std::filesystem::create_directories(SystemDef.LogDir);
        std::filesystem::create_directories(SystemDef.WinTempDir);
        sysDb = fb.makeSystemDb("system");
        SystemDef.SysDir = fb.path("system").string();
        DM = std::make_unique<TDM>();
    }
    void TearDown() override {
        DM.reset();
        DataStatusStoreFactory = nullptr;
        DataListRefreshHook = nullptr;
        AccInf = TACCINF{};
        ResetAccRecordGlobals();
    }

    // <tmp>/<folder>/tvacc.fdb with its ACCDEF1 row; returns the folder.
    std::string makeData(const std::string& folder = "data") {
        const std::string path = fb.makeDataSet(folder);
        testsupport::FbFixture::exec(path,
                                     "INSERT INTO ACCDEF1 (REC, ENTTEXT, SHOUGOU, NENDO, KISHU, KIMATU) "
                                     "VALUES (1, 'テスト', '株式会社テスト', 5, '2024-04-01', '2025-03-31');");
        return fb.path(folder).string();
    }
    // A data set opened in the data module.
    std::string openData(const std::string& folder = "data") {
        const std::string dir = makeData(folder);
        EXPECT_TRUE(DM->fnAccDatConnected("", dir, 0));
        return dir;
    }

    testsupport::FbFixture fb;
    platform::ScriptedPrompt prompt;
    std::string sysDb;
};
