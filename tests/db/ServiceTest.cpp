// Service manager and sharing of a database file between processes through
// the embedded engine.
#include "db/Attachment.h"
#include "db/EmbeddedRoot.h"
#include "db/FbError.h"
#include "db/Service.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using testsupport::FbFixture;
using testsupport::kFbPassword;
using testsupport::kFbUser;

namespace {

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = fb_.makeDb("svc/tvacc.fdb", testsupport::testSqlDir("db/sql/basic"));
        FbFixture::insertRow(path_, "ITEMS", {{"ID", "1"}, {"NAME", "①㈱"}, {"AMOUNT", "12345678901.2345"}});
    }

    FbFixture fb_;
    std::string path_;
};

TEST_F(ServiceTest, BackupAndRestoreRoundTrip) {
    // Japanese folder names travel as UTF-8 to the engine.
    const std::string fbk = fb_.path("svc/tvacc.fbk").string();
    fs::create_directories(fb_.path("svc/復元先"));
    const std::string restored = fb_.path("svc/復元先/restored.fdb").string();
    db::ServiceManager svc("", kFbUser, kFbPassword);
    std::vector<std::string> lines;
    svc.backup(path_, fbk, {}, [&](const std::string& l) { lines.push_back(l); });
    EXPECT_TRUE(fs::file_size(fbk) > 0);
    EXPECT_FALSE(lines.empty()); // verbose output arrives line by line

    lines.clear();
    svc.restore(fbk, restored, {}, [&](const std::string& l) { lines.push_back(l); });
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(FbFixture::scalar(restored, "SELECT NAME FROM ITEMS"), "①㈱");
    EXPECT_EQ(FbFixture::scalar(restored, "SELECT AMOUNT FROM ITEMS"), "12345678901.2345");

    // Replacing an existing file: the restore brings back the backup's rows.
    FbFixture::exec(restored, "DELETE FROM ITEMS;");
    svc.restore(fbk, restored);
    EXPECT_EQ(FbFixture::scalar(restored, "SELECT COUNT(*) FROM ITEMS"), "1");

    // Without replace an existing file is an error.
    db::RestoreOptions noReplace;
    noReplace.replace = false;
    EXPECT_THROW(svc.restore(fbk, restored, noReplace), db::FbError);
    // A missing backup file too.
    EXPECT_THROW(svc.restore(fb_.path("none.fbk").string(), restored), db::FbError);
}

TEST_F(ServiceTest, ValidationFindsNothingInAHealthyFile) {
    db::ServiceManager svc("", kFbUser, kFbPassword);
    for (const std::string& line : svc.validate(path_))
        EXPECT_TRUE(line.find_first_not_of(" \t\r\n") == std::string::npos) << line;
    try {
        svc.validate(fb_.path("missing.fdb").string());
        ADD_FAILURE() << "validated a missing file";
    } catch (const db::FbError& e) {
        EXPECT_EQ(e.errorCode(), 335544344) << e.message();
    }
}

TEST_F(ServiceTest, OtherProcessesShareTheFileAndAreSeen) {
    EXPECT_TRUE(db::otherAttachments(testsupport::fbParams(path_)).empty());
    db::Attachment att(testsupport::fbParams(path_));
    const long long ownId = att.attachmentId();
    auto others = db::otherAttachments(testsupport::fbParams(path_));
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].id, ownId);
    EXPECT_EQ(others[0].user, kFbUser);

    // isql holds the file open while it waits for input.
    const std::string cmd = "isql-fb -q -user " + std::string(kFbUser) + " -password " + kFbPassword + " '" +
                            path_ + "' >/dev/null 2>&1";
    FILE* isql = ::popen(cmd.c_str(), "w");
    ASSERT_NE(isql, nullptr);
    for (int i = 0; i < 100 && others.size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        others = db::otherAttachments(testsupport::fbParams(path_));
    }
    EXPECT_EQ(others.size(), 2u);

    // gbak backs up the file while both hold it.
    const std::string fbk = fb_.path("svc/shared.fbk").string();
    const std::string gbak = "gbak -b -user " + std::string(kFbUser) + " -password " + kFbPassword + " '" + path_ +
                             "' '" + fbk + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(gbak.c_str()), 0);
    EXPECT_TRUE(fs::exists(fbk));

    std::fputs("quit;\n", isql);
    EXPECT_EQ(::pclose(isql), 0);
    EXPECT_EQ(db::otherAttachments(testsupport::fbParams(path_)).size(), 1u);
}

TEST(EmbeddedRoot, HoldsRealCopiesAndOurConfiguration) {
    testsupport::TempDir tmp;
    const fs::path root = tmp / "fbroot";
    std::string error;
    ASSERT_TRUE(db::makeEmbeddedRoot(root, &error)) << error;
    for (const char* f : {"intl/libfbintl.so", "intl/fbintl.conf", "plugins/libEngine12.so", "firebird.msg"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(root / f))) << f;
    }
    EXPECT_FALSE(fs::exists(root / "include"));
    EXPECT_TRUE(fs::is_directory(root / "lock"));
    const std::string conf = testsupport::readFileBytes(root / "firebird.conf");
    EXPECT_NE(conf.find("ServerMode = SuperClassic"), std::string::npos);
    EXPECT_NE(conf.find("Engine12"), std::string::npos);
    // A second call finds it current and leaves it alone.
    ASSERT_TRUE(db::makeEmbeddedRoot(root, &error)) << error;

    // The tests themselves run under such a root.
    const char* fb = std::getenv("FIREBIRD");
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(testsupport::readFileBytes(fs::path(fb) / "firebird.conf"), conf);
    EXPECT_NE(std::getenv("FIREBIRD_LOCK"), nullptr);
}

} // namespace
