#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

using platform::IniFile;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

TEST(IniFileTest, ReadsWithPrivateProfileRules) {
    testsupport::TempDir dir;
    auto path = dir / "a.ini";
    writeFileBytes(path, platform::toCp932("; comment\n[Local]\r\n HostName = srv1 \r\nUSER=\"tavrin\"\r\n"
                                           "noequals\r\nhostname=second\r\n[会社]\r\n名前=㈱テスト①～\r\n"
                                           "[local]\r\nHOSTNAME=third\r\n"));
    IniFile ini(path.string());
    EXPECT_EQ(ini.readString("LOCAL", "hostname"), "srv1"); // first section, first key wins
    EXPECT_EQ(ini.readString("local", "User"), "tavrin");  // quotes dropped
    EXPECT_EQ(ini.readString("Local", "missing", "def"), "def");
    EXPECT_EQ(ini.readString("会社", "名前"), "㈱テスト①～");
    EXPECT_EQ(ini.readSection("Local"), (std::vector<std::string>{"HostName", "USER"}));
    EXPECT_EQ(ini.readSectionValues("LOCAL"), (std::vector<std::string>{"HostName=srv1", "USER=tavrin"}));
    EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"Local", "会社"}));
    EXPECT_TRUE(ini.valueExists("LOCAL", "user"));
    EXPECT_FALSE(ini.sectionExists("other"));
    EXPECT_EQ(IniFile((dir / "none.ini").string()).readString("a", "b", "x"), "x");
}

TEST(IniFileTest, ReadsIntegers) {
    testsupport::TempDir dir;
    auto path = dir / "n.ini";
    writeFileBytes(path, "[S]\r\na=12\r\nb=-7\r\nc=x1\r\nd=\r\ne=0x10\r\nf=99999999999\r\n");
    IniFile ini(path.string());
    const std::pair<const char*, int> cases[] = {{"a", 12}, {"b", -7}, {"c", 5}, {"d", 5}, {"e", 16}, {"f", 5}, {"z", 5}};
    for (auto [key, want] : cases) EXPECT_EQ(ini.readInteger("S", key, 5), want) << key;
}

TEST(IniFileTest, WritesInPlaceWithCrLfInCp932) {
    testsupport::TempDir dir;
    auto path = dir / "w.ini";
    writeFileBytes(path, "[A]\nx=1\n\n[B]\ny=2\n");
    IniFile ini(path.string());
    ini.writeString("a", "X", "10");
    ini.writeString("A", "z", "３");
    ini.writeString("C", "k", "v");
    ini.deleteKey("b", "Y");
    EXPECT_EQ(readFileBytes(path), platform::toCp932("[A]\r\nX=10\r\nz=３\r\n\r\n[B]\r\n[C]\r\nk=v\r\n"));
    ini.eraseSection("B");
    EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"A", "C"}));
}

TEST(IniFileTest, FailuresLeaveTheFileAlone) {
    testsupport::TempDir dir;
    auto path = dir / "f.ini";
    writeFileBytes(path, "[A]\r\nx=1\r\n");
    IniFile ini(path.string());
    EXPECT_THROW(ini.writeString("A", "x", "\xF0\x9F\x98\x80"), platform::EncodingError); // no CP932 form
    EXPECT_EQ(readFileBytes(path), "[A]\r\nx=1\r\n");
    EXPECT_THROW(IniFile((dir / "no" / "such.ini").string()).writeString("A", "x", "1"), platform::IniFileError);
}
