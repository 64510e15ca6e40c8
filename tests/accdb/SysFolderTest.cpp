#include <gtest/gtest.h>

#include <QFont>
#include <cstdlib>
#include <filesystem>

#include "accdb/SysFolder.h"
#include "platform/Browse.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testsupport::writeFileBytes;

namespace {

// Redirects the key store and the Documents folder into a temporary folder.
struct Machine {
    testsupport::TempDir dir;
    Machine() {
        setenv("ZR_REGISTRY_DIR", (dir / "reg").c_str(), 1);
        setenv("ZR_DOCUMENTS", (dir / "docs").c_str(), 1);
    }
    ~Machine() {
        unsetenv("ZR_REGISTRY_DIR");
        unsetenv("ZR_DOCUMENTS");
    }
    void accessControl(int on) {
        platform::Registry(platform::RegRoot::LocalMachine)
            .writeInteger("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", "EnableLUA", on);
    }
    std::string docs() const { return (dir / "docs").string(); }
};

} // namespace

TEST(SysFolderTest, BufferedReadsAndSeeks) {
    testsupport::TempDir dir;
    std::string data;
    for (int i = 0; i < 5000; ++i) data += static_cast<char>('a' + i % 26);
    writeFileBytes(dir / "f.bin", data);
    TBufFileStream s((dir / "f.bin").string(), 1, TBufFileStream::fmOpenRead);
    char buf[1024];
    EXPECT_THROW(s.Read(buf, 1025), std::runtime_error);
    std::string got;
    int n;
    while ((n = s.Read(buf, 700)) > 0) got.append(buf, static_cast<size_t>(n));
    EXPECT_EQ(got, data);
    EXPECT_EQ(s.Read(buf, 10), 0);
    EXPECT_EQ(s.Seek(-10, TBufFileStream::soEnd), 4990);
    ASSERT_EQ(s.Read(buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), data.substr(4990, 4));
    EXPECT_EQ(s.Position(), 4994);
    EXPECT_EQ(s.Seek(-994, TBufFileStream::soCurrent), 4000);
    ASSERT_EQ(s.Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), data.substr(4000, 3));
    EXPECT_EQ(s.Size(), 5000);
}

TEST(SysFolderTest, NumbersTextsAndBits) {
    EXPECT_EQ(ScaleByDpi(250, 120, 96), 312);
    EXPECT_EQ(ScaleByDpi(250, 96, 96), 250);
    EXPECT_EQ(AdjustHeightByFrame(100, 0, 4), 100);
    EXPECT_EQ(AdjustHeightByFrame(100, 0, 8), 92);
    EXPECT_EQ(AdjustHeightByFrame(100, 1, 8), 84);
    EXPECT_EQ(AdjustHeightByFrame(100, 1, 3), 100);
    EXPECT_EQ(ToGrayColor(0xFFFFFF), 0xFFFFFFu);
    EXPECT_EQ(ToGrayColor(0x000000), 0u);
    EXPECT_EQ(ToGrayColor(0x0000FF), 0x555555u);

    EXPECT_EQ(ZeroPadLeft("123", 5), "00123");
    EXPECT_EQ(ZeroPadLeft("1234567", 5), "34567");
    EXPECT_EQ(GetDelimitedItem("a,b,c", ",", 2), "b");
    EXPECT_EQ(GetDelimitedItem("a,b,c", ",", 4), "");
    EXPECT_EQ(GetDelimitedItem("a\r\nb,c,", ",", 3), "c");
    EXPECT_EQ(GetNamedLine("A=1\r\nhost=srv\r\n", "HOST"), "host=srv");
    EXPECT_EQ(GetNamedLine("A=1", ""), "");
    EXPECT_EQ(FormatComma(1234567), "1,234,567");
    EXPECT_EQ(FormatComma(-1000), "-1,000");
    EXPECT_EQ(FormatComma(999), "999");
    EXPECT_EQ(RemoveCrLfTab("a\tb\r\nc"), "abc");
    EXPECT_EQ(ComposeWord(9, 12, 1000), 9012);

    int flags = 0;
    SetBitFlag(flags, 10);
    SetBitFlag(flags, 25); // out of range: unchanged
    EXPECT_EQ(flags, 512);
    EXPECT_EQ(GetBitFlag(flags, 10), 1);
    EXPECT_EQ(GetBitFlag(flags, 9), 0);
    EXPECT_GT(GetScaledTextWidth("abc", QFont(), 1.0), 0);
}

TEST(SysFolderTest, ZenkakuAndLocaleMapping) {
    EXPECT_EQ(ToZenkakuUpper("abc"), "abc");
    EXPECT_EQ(ToZenkakuUpper("ａｂｃＸ"), "ＡＢＣＸ");
    EXPECT_EQ(MapStringLocale(LCMAP_FULLWIDTH, "ab 1ｶﾞﾊﾟｳﾞ"), "ａｂ\u3000１ガパヴ");
    EXPECT_EQ(MapStringLocale(LCMAP_HALFWIDTH, "ＡＢガパ"), "ABｶﾞﾊﾟ");
    EXPECT_EQ(MapStringLocale(LCMAP_FULLWIDTH | LCMAP_UPPERCASE, "abc"), "ＡＢＣ");
    EXPECT_EQ(MapStringLocale(LCMAP_KATAKANA, "かな"), "カナ");
    EXPECT_EQ(MapStringLocale(0, std::string(257, 'a')), "");
}

TEST(SysFolderTest, PathsAndFolders) {
    testsupport::TempDir dir;
    EXPECT_EQ(IncludePathDelimiter("/a/b//"), "/a/b/");
    EXPECT_EQ(ExcludePathDelimiter("/a/b/"), "/a/b");
    EXPECT_TRUE(ForceFolder((dir / "x" / "y").string()));
    EXPECT_TRUE(fs::is_directory(dir / "x" / "y"));
    EXPECT_FALSE(ForceFolder(" "));
    EXPECT_TRUE(ForceFolder("/"));
    fs::create_directories(dir / "x" / "b");
    writeFileBytes(dir / "x" / "file", "12345");
    EXPECT_EQ(GetSubFolderList((dir / "x").string(), 1), (std::vector<std::string>{"b", "y"}));
    EXPECT_EQ(GetSubFolderList((dir / "x").string() + "/", 0),
              (std::vector<std::string>{(dir / "x" / "b").string(), (dir / "x" / "y").string()}));
    EXPECT_TRUE(GetSubFolderList((dir / "none").string(), 1).empty());
    EXPECT_EQ(GetFileSize64((dir / "x" / "file").string()), 5);
    EXPECT_EQ(GetFileSize64((dir / "x" / "f*").string()), 5);
    EXPECT_EQ(GetFileSize64((dir / "missing").string()), 0);
    EXPECT_THROW(GetShortPath((dir / "missing").string()), std::runtime_error);
    EXPECT_EQ(GetTempFolder("/fallback") == "/fallback", !std::getenv("TEMP"));
    EXPECT_EQ(GetSpecialFolder("nothing"), "");
}

TEST(SysFolderTest, IniSectionsAsLines) {
    testsupport::TempDir dir;
    std::string ini = (dir / "s.ini").string();
    WriteIniSection(ini, "LOCAL", {"HOSTNAME=srv", "USER=TAVRIN"});
    WriteIniValue(ini, "LOCAL", "PASSWORD", false, "mobrix");
    WriteIniValue(ini, "LOCAL", "USER", true, "");
    std::string text = "unchanged";
    ReadIniSectionText(ini, "", text);
    EXPECT_EQ(text, "unchanged");
    ReadIniSectionText(ini, "local", text);
    EXPECT_EQ(text, "HOSTNAME=srv\r\nPASSWORD=mobrix\r\n");
    WriteIniSection(ini, "LOCAL", {"GROUP=YES"});
    ReadIniSectionText(ini, "LOCAL", text);
    EXPECT_EQ(text, "GROUP=YES\r\n");
}

TEST(SysFolderTest, RegistryValues) {
    Machine m;
    EXPECT_EQ(std::get<std::int64_t>(ReadRegistryValue(platform::RegRoot::LocalMachine, "\\SOFTWARE\\BREVAN", "x")), 0);
    platform::Registry(platform::RegRoot::LocalMachine).writeString("SOFTWARE\\BREVAN\\TAVRINZAIMU", "Version", "14.1.0");
    EXPECT_EQ(std::get<std::string>(
                  ReadRegistryValue(platform::RegRoot::LocalMachine, "\\SOFTWARE\\BREVAN\\TAVRINZAIMU", "Version")),
              "14.1.0");
    EXPECT_FALSE(IsAccessControlOn());
    m.accessControl(1);
    EXPECT_TRUE(IsAccessControlOn());
}

TEST(SysFolderTest, SystemRootIsRefusedOnlyWithAccessControl) {
    Machine m;
    platform::ScriptedPrompt prompt;

    std::string folder = m.dir.str() + "/Out";
    EXPECT_TRUE(CheckFolderWritable(folder));
    EXPECT_EQ(folder, m.dir.str() + "/Out/");

    folder = "/";
    EXPECT_TRUE(CheckFolderWritable(folder)); // control off: accepted
    EXPECT_TRUE(prompt.messages.empty());

    m.accessControl(1);
    prompt.answer(platform::mrNo);
    EXPECT_FALSE(CheckFolderWritable(folder));
    prompt.answer(platform::mrYes);
    std::string file = "/result.xml";
    EXPECT_TRUE(CheckFileFolderWritable(file));
    EXPECT_EQ(file, m.docs() + "/result.xml");
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[0].kind, platform::pkWarning);
    EXPECT_EQ(prompt.messages[0].buttons, platform::mbYes | platform::mbNo);
    EXPECT_EQ(prompt.messages[0].text(), std::string(kNoPermissionQuestion).substr(0, std::string(kNoPermissionQuestion).size() - 1));
}

TEST(SysFolderTest, FolderDialogAsksAgainForTheRoot) {
    Machine m;
    m.accessControl(1);
    platform::ScriptedPrompt prompt;
    std::vector<std::string> picks = {"/", m.dir.str() + "/Data"};
    size_t next = 0;
    auto previous = platform::setFolderBrowser([&](const std::string& title, const std::string&, std::string& path) {
        EXPECT_EQ(title, "フォルダを選択して下さい");
        if (next >= picks.size()) return false;
        path = picks[next++];
        return true;
    });
    prompt.answer(platform::mrNo); // "/" refused, no Documents: the browser opens again
    std::string path;
    EXPECT_TRUE(SelectFolderDlg("", path, false));
    EXPECT_EQ(path, m.dir.str() + "/Data");
    EXPECT_EQ(prompt.messages.size(), 1u);

    next = 0; // with the check switched off the root is taken at once
    EXPECT_TRUE(SelectFolderDlg("", path, true));
    EXPECT_EQ(path, "/");

    next = 2; // cancel
    EXPECT_FALSE(SelectFolderDlg("", path, false));

    picks = {"/" + std::string(300, 'a')};
    next = 0;
    EXPECT_FALSE(SelectFolderDlg("", path, false));
    EXPECT_EQ(prompt.messages.back().kind, platform::pkError);
    platform::setFolderBrowser(previous);
}

TEST(SysFolderTest, FileDialogMovesARefusedFileToDocuments) {
    Machine m;
    m.accessControl(1);
    platform::ScriptedPrompt prompt;
    prompt.answer(platform::mrYes);
    std::string name;
    EXPECT_TRUE(ExecuteFileDlg([](std::string& f) { f = "/out.xml"; return true; }, name));
    EXPECT_EQ(name, m.docs() + "/out.xml");
    EXPECT_FALSE(ExecuteFileDlg([](std::string&) { return false; }, name));
}
