#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileOps.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

TEST(FileOpsTest, CopyMoveAndDeleteTrees) {
    testsupport::TempDir dir;
    fs::create_directories(dir / "src" / "sub");
    writeFileBytes(dir / "src" / "a.fdb", "A");
    writeFileBytes(dir / "src" / "sub" / "b", "B");

    // A folder onto a new name becomes that name; onto an existing folder it goes inside.
    ASSERT_TRUE(platform::copyItems((dir / "src").string(), (dir / "new" / "copy").string()));
    EXPECT_EQ(readFileBytes(dir / "new" / "copy" / "sub" / "b"), "B");
    fs::create_directories(dir / "into");
    ASSERT_TRUE(platform::copyItems((dir / "src").string() + "/", (dir / "into").string()));
    EXPECT_EQ(readFileBytes(dir / "into" / "src" / "a.fdb"), "A");

    // A pattern names the folder's items.
    ASSERT_TRUE(platform::copyItems((dir / "src" / "*.*").string(), (dir / "flat").string()));
    EXPECT_TRUE(fs::exists(dir / "flat" / "a.fdb"));
    EXPECT_TRUE(fs::exists(dir / "flat" / "sub" / "b"));

    ASSERT_TRUE(platform::moveItems((dir / "flat").string(), (dir / "moved").string()));
    EXPECT_FALSE(fs::exists(dir / "flat"));
    EXPECT_TRUE(fs::exists(dir / "moved" / "a.fdb"));

    ASSERT_TRUE(platform::deleteItems((dir / "moved" / "*").string()));
    EXPECT_TRUE(fs::is_empty(dir / "moved"));
    ASSERT_TRUE(platform::deleteItems((dir / "src").string()));
    EXPECT_FALSE(fs::exists(dir / "src"));
}

TEST(FileOpsTest, FailuresAreReported) {
    testsupport::TempDir dir;
    std::string error;
    EXPECT_FALSE(platform::deleteItems((dir / "none").string(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(platform::copyItems((dir / "none").string(), (dir / "x").string()));
    EXPECT_FALSE(platform::copyFileOver((dir / "none").string(), (dir / "x").string()));

    fs::create_directories(dir / "tree");
    EXPECT_FALSE(platform::copyItems((dir / "tree").string(), (dir / "tree" / "inner").string()));
    EXPECT_FALSE(fs::exists(dir / "tree" / "inner"));

    writeFileBytes(dir / "f", "new");
    writeFileBytes(dir / "g", "old");
    EXPECT_TRUE(platform::copyFileOver((dir / "f").string(), (dir / "g").string()));
    EXPECT_EQ(readFileBytes(dir / "g"), "new");
}

TEST(FileOpsTest, DeletingALinkKeepsItsTarget) {
    testsupport::TempDir dir;
    fs::create_directories(dir / "keep");
    writeFileBytes(dir / "keep" / "x", "X");
    fs::create_directory_symlink(dir / "keep", dir / "link");
    EXPECT_TRUE(platform::deleteItems((dir / "link").string()));
    EXPECT_TRUE(fs::exists(dir / "keep" / "x"));
}
