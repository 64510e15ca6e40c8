#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Folders.h"
#include "support/TempDir.h"

TEST(FoldersTest, EnvironmentRedirectsEveryFolder) {
    testsupport::TempDir dir;
    struct Case {
        const char* var;
        std::string (*get)();
    };
    const Case cases[] = {
        {"ZR_COMMON_APPDATA", platform::commonAppDataFolder}, {"ZR_USER_APPDATA", platform::userAppDataFolder},
        {"ZR_DOCUMENTS", platform::documentsFolder},          {"ZR_DESKTOP", platform::desktopFolder},
        {"ZR_EXE_DIR", platform::executableFolder},           {"ZR_SYSTEM_DIR", platform::systemFolder},
        {"ZR_REGISTRY_DIR", platform::registryFolder},        {"ZR_LOCK_DIR", platform::lockFolder},
        {"ZR_RUNTIME_DIR", platform::runtimeFolder},          {"TEMP", platform::tempFolder},
    };
    for (const auto& c : cases) {
        const char* old = std::getenv(c.var);
        std::string saved = old ? old : "";
        setenv(c.var, (dir.str() + "/").c_str(), 1); // a trailing '/' is dropped
        EXPECT_EQ(c.get(), dir.str()) << c.var;
        if (old) setenv(c.var, saved.c_str(), 1);
        else unsetenv(c.var);
    }
}

TEST(FoldersTest, NamesAndDefaults) {
    setenv("ZR_USER_NAME", "taro", 1);
    setenv("ZR_COMPUTER_NAME", "PC-1", 1);
    EXPECT_EQ(platform::userName().value_or(""), "taro");
    EXPECT_EQ(platform::computerName().value_or(""), "PC-1");
    unsetenv("ZR_USER_NAME");
    unsetenv("ZR_COMPUTER_NAME");
    EXPECT_TRUE(platform::computerName().has_value());

    const char* temp = std::getenv("TEMP");
    std::string saved = temp ? temp : "";
    setenv("TEMP", "/no/such/folder", 1);
    EXPECT_NE(platform::tempFolder(), "/no/such/folder");
    if (temp) setenv("TEMP", saved.c_str(), 1);
    else unsetenv("TEMP");
}

TEST(FoldersTest, DocumentsFromTheDesktopsUserDirs) {
    if (std::getenv("ZR_DOCUMENTS") || std::getenv("XDG_DOCUMENTS_DIR") || std::getenv("ZR_DESKTOP") ||
        std::getenv("XDG_DESKTOP_DIR"))
        GTEST_SKIP() << "folders redirected by the environment";
    testsupport::TempDir dir;
    testsupport::writeFileBytes(dir / "user-dirs.dirs", "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\"\n");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string saved = config ? config : "";
    setenv("XDG_CONFIG_HOME", dir.str().c_str(), 1);
    EXPECT_EQ(platform::documentsFolder(), platform::homeFolder() + "/ドキュメント");
    EXPECT_EQ(platform::desktopFolder(), platform::homeFolder() + "/Desktop");
    if (config) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}
