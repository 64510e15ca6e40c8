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
    EXPECT_EQ(reg.subKeys("\\SOFTWARE\\BREVAN"), (std::vector<std::string>{"TAVRINZAIMU", "Mirdova"}));
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
