#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "support/TempDir.h"

using platform::RegRoot;
using platform::Registry;
using platform::RegValue;

TEST(RegistryTest, KeysValuesAndSubKeys) {
    testsupport::TempDir dir;
    Registry reg(RegRoot::LocalMachine, (dir / "reg").string());
    EXPECT_FALSE(reg.keyExists("SOFTWARE\\BREVAN"));
    reg.writeString("\\SOFTWARE\\BREVAN\\TAVRINZAIMU\\", "Version", "14.2.0");
    reg.writeInteger("SOFTWARE\\BREVAN\\TAVRINZAIMU", "Product", 3);
    reg.writeString("SOFTWARE/Brevan/Mirdova", "Version", "2.0");
    reg.writeInteger("SOFTWARE\\BREVAN\\TAVRINZAIMU\\Sub", "n", -1);

    EXPECT_TRUE(reg.keyExists("software\\brevan"));
    EXPECT_EQ(reg.subKeys("\\SOFTWARE\\BREVAN"), (std::vector<std::string>{"Mirdova", "TAVRINZAIMU"}));
    RegValue v = reg.readValue("software\\brevan\\tavrinzaimu", "version");
    EXPECT_EQ(v.kind, RegValue::String);
    EXPECT_EQ(v.text, "14.2.0");
    v = reg.readValue("SOFTWARE\\BREVAN\\TAVRINZAIMU", "Product");
    EXPECT_EQ(v.kind, RegValue::Integer);
    EXPECT_EQ(v.number, 3);
    EXPECT_EQ(reg.readValue("SOFTWARE\\BREVAN\\TAVRINZAIMU", "none").kind, RegValue::None);

    reg.deleteKey("SOFTWARE\\BREVAN\\TAVRINZAIMU");
    EXPECT_EQ(reg.subKeys("SOFTWARE\\BREVAN"), (std::vector<std::string>{"Mirdova"}));
}

TEST(RegistryTest, HandWrittenValueWithoutPrefixIsAString) {
    testsupport::TempDir dir;
    testsupport::writeFileBytes(dir / "HKEY_LOCAL_MACHINE.ini",
                                "[SOFTWARE\\Policies\\System]\r\nEnableLUA=dword:1\r\nNote=plain\r\n");
    Registry reg(RegRoot::LocalMachine, dir.str());
    EXPECT_EQ(reg.readValue("SOFTWARE\\Policies\\System", "EnableLUA").number, 1);
    EXPECT_EQ(reg.readValue("SOFTWARE\\Policies\\System", "Note").text, "plain");
}

TEST(RegistryTest, SubKeysAreListedByNameWhateverTheFileOrder) {
    // Callers take the last match of a listing, so of "X14" and "X14B" the
    // longer name must come last however the file was written.
    testsupport::TempDir dir;
    testsupport::writeFileBytes(dir / "HKEY_LOCAL_MACHINE.ini",
                                "[SOFTWARE\\B\\tavrinzaimu14B]\r\nv=1\r\n[SOFTWARE\\B\\Zed]\r\nv=1\r\n"
                                "[SOFTWARE\\B\\TAVRINZAIMU14\\Sub]\r\nv=1\r\n[SOFTWARE\\B\\a_b]\r\nv=1\r\n"
                                "[SOFTWARE\\B\\AB]\r\nv=1\r\n[SOFTWARE\\B\\Tavrinzaimu14]\r\nv=1\r\n");
    Registry reg(RegRoot::LocalMachine, dir.str());
    EXPECT_EQ(reg.subKeys("SOFTWARE\\B"),
              (std::vector<std::string>{"AB", "a_b", "TAVRINZAIMU14", "tavrinzaimu14B", "Zed"}));
}
