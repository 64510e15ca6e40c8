#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "accdb/IBErrorReport.h"
#include "platform/Folders.h"
#include "platform/Prompt.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(SafeShellTest, ProtectedPathsAfterNormalising) {
    const std::string home = platform::homeFolder();
    const std::string protectedPaths[] = {
        "", "   ", "/", "//", " /", "/usr", "/usr/", " /etc/", "/bin", "/lib", "/boot", "/proc", "/sys", "/dev",
        "/usr/lib", "/usr/./lib", "/usr/share/..", "/usr/*", "/*.*", "C:", "C:\\", "c:/", home, home + "/", " " + home,
    };
    for (const auto& p : protectedPaths) EXPECT_FALSE(IsNotRootSysDir(p)) << "[" << p << "]";
    testsupport::TempDir dir;
    for (const auto& p : {dir.str(), dir.str() + "/sub", std::string("/usr/lib/zr-none")})
        EXPECT_TRUE(IsNotRootSysDir(p)) << p;
}

TEST(SafeShellTest, DeleteRefusesProtectedPathsWithABox) {
    platform::ScriptedPrompt prompt;
    EXPECT_FALSE(SafeShellDelete("/usr/", 3, false, false));
    EXPECT_FALSE(SafeShellDelete("/", 4, false, false));
    EXPECT_FALSE(SafeShellDelete("/tmp/whatever", 1, false, true)); // not a delete: nothing shown
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[0].text(), "ルート・システムディレクトリは、削除できません。</usr/> ");
    EXPECT_EQ(prompt.messages[1].text(), "ルート・システムディレクトリは、変更できません。</> ");
    EXPECT_EQ(prompt.messages[0].kind, platform::pkError);
}

TEST(SafeShellTest, DeleteAndCopyDoTheWorkAndReportFailure) {
    platform::ScriptedPrompt prompt;
    testsupport::TempDir dir;
    fs::create_directories(dir / "data" / "sub");
    testsupport::writeFileBytes(dir / "data" / "sub" / "tvacc.fdb", "db");

    EXPECT_TRUE(SafeShellCopy((dir / "data").string(), (dir / "copy").string(), 2));
    EXPECT_TRUE(fs::exists(dir / "copy" / "sub" / "tvacc.fdb"));
    EXPECT_TRUE(SafeShellCopy((dir / "copy").string(), (dir / "moved").string(), 1));
    EXPECT_FALSE(fs::exists(dir / "copy"));
    EXPECT_TRUE(SafeShellDelete((dir / "moved").string(), 3, true, false));
    EXPECT_FALSE(fs::exists(dir / "moved"));
    EXPECT_TRUE(prompt.messages.empty());

    // A failing operation is a failure, shown only when asked to report.
    EXPECT_FALSE(SafeShellDelete((dir / "gone").string(), 3, false, false));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(SafeShellDelete((dir / "gone").string(), 3, false, true));
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_FALSE(SafeShellCopy((dir / "gone").string(), (dir / "x").string(), 2));
    EXPECT_FALSE(SafeShellCopy((dir / "data").string(), (dir / "x").string(), 3));
}

TEST(SafeShellTest, CopyRefusalNamesBothPathsOverCsvLines) {
    platform::ScriptedPrompt prompt;
    EXPECT_FALSE(SafeShellCopy("/tmp/a,b", "D:", 2));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "指定ディレクトリ[/tmp/a\rb->D:]の複写・移動はできません。 ");
}
