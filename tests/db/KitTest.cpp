// The schema kit builds through the script runner into real databases.
#include "support/FbFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(SchemaKit, FixtureBuildsSystemDataAndFileManagerDatabases) {
    testsupport::FbFixture fb;
    const std::string sys = fb.makeSystemDb();
    const std::string data = fb.makeDataSet("0001");
    const std::string fileman = fb.makeFileManDb();
    EXPECT_EQ(sys, fb.path("system/tvaccdef.fdb").string());
    EXPECT_EQ(data, fb.path("0001/tvacc.fdb").string());
    for (const std::string& db : {sys, data, fileman}) {
        EXPECT_NE(testsupport::FbFixture::scalar(
                      db, "SELECT COUNT(*) FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
                  "0")
            << db;
        EXPECT_EQ(testsupport::FbFixture::scalar(db, "SELECT TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE"),
                  "SJIS_0208")
            << db;
    }
    // A second data set is a fresh copy, independent of the first.
    const std::string other = fb.makeDataSet("0002");
    EXPECT_TRUE(std::filesystem::exists(other));
}

} // namespace
