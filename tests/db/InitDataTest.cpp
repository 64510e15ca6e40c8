// The initial data files the build makes restore into a current data database.
#include "db/Service.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using testsupport::FbFixture;

TEST(InitData, EveryKindRestoresToACurrentDataDatabase) {
    const char* bin = std::getenv("ZR_TEST_BINARY_DIR");
    ASSERT_NE(bin, nullptr);
    FbFixture fb;
    db::ServiceManager svc("", testsupport::kFbUser, testsupport::kFbPassword);
    for (int kind : {11, 21, 22, 23, 24, 31}) {
        const auto gbk = std::filesystem::path(bin) / "initdata" / ("acc" + std::to_string(kind) + ".gbk");
        ASSERT_TRUE(std::filesystem::exists(gbk)) << gbk;
        const std::string target = fb.path("acc" + std::to_string(kind) + ".fdb").string();
        svc.restore(gbk.string(), target);
        EXPECT_EQ(FbFixture::scalar(target, "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'KS_SISAN'"), "1");
    }
}
