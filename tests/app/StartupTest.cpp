#include "accdb/AccRecord.h"
#include "app/LoginUsers.h"
#include "app/Startup.h"
#include "platform/IniFile.h"
#include "platform/NamedGuard.h"
#include "platform/Prompt.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QTableWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

TEST(Startup, GuardsInTheirOrder) {
    testsupport::TempDir dir;
    setenv("ZR_LOCK_DIR", dir.str().c_str(), 1);
    struct Case {
        std::vector<const char*> held;
        int which;
    } cases[] = {
        {{}, 0},
        {{kProgramGuard}, 3},
        {{kToolsGuard, kProgramGuard}, 2},
        {{kSuiteGuard, kToolsGuard, kProgramGuard}, 1},
        {{kSuiteGuard}, 1},
    };
    for (const auto& c : cases) {
        platform::ScriptedPrompt prompt;
        std::vector<std::unique_ptr<platform::NamedGuard>> held;
        for (const char* name : c.held) {
            held.push_back(std::make_unique<platform::NamedGuard>());
            ASSERT_TRUE(held.back()->acquire(name));
        }
        platform::NamedGuard own;
        EXPECT_EQ(CheckSingleInstance(own), c.which);
        if (c.which == 0) {
            EXPECT_TRUE(prompt.messages.empty());
            EXPECT_TRUE(own.held());
        } else {
            EXPECT_EQ(prompt.texts(), std::vector<std::string>{SingleInstanceMessage(c.which)});
            EXPECT_FALSE(own.held());
        }
    }
    EXPECT_STREQ(SingleInstanceMessage(1), "Plovane財務が起動しています。同時に起動することは出来ません。");
    EXPECT_STREQ(SingleInstanceMessage(2), "Plovane財務ツールが起動しています。同時に起動することは出来ません。");
    EXPECT_STREQ(SingleInstanceMessage(3), "アプリケーションは既に起動しています。");
    unsetenv("ZR_LOCK_DIR");
}

TEST(Startup, ALockFolderThatCannotBeMadeDoesNotRefuseTheStart) {
    testsupport::TempDir dir;
    std::ofstream(dir / "plain") << "x";
    setenv("ZR_LOCK_DIR", (dir / "plain" / "locks").c_str(), 1);
    platform::ScriptedPrompt prompt;
    platform::NamedGuard own;
    EXPECT_EQ(CheckSingleInstance(own), 0);
    EXPECT_TRUE(prompt.messages.empty()) << (prompt.texts().empty() ? "" : prompt.texts().front());
    unsetenv("ZR_LOCK_DIR");
}

TEST(Startup, OneIntegerFormats) {
    struct Case {
        const char* format;
        int n;
        const char* text;
    } cases[] = {
        {"acc%d.gbk", 11, "acc11.gbk"}, {"tvq%.2dcd", 5, "tvq05cd"}, {"plain", 3, "plain"},
        {"%s%n", 1, "%s%n"},            {"a%3db", 7, "a  7b"},      {"a%03db", 7, "a007b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatOneInt(c.format, c.n), c.text) << c.format;
}

TEST(Startup, SystemDefAndTheSuiteSettingsFile) {
    testsupport::TempDir dir;
    setenv("ZR_COMMON_APPDATA", (dir / "common").c_str(), 1);
    setenv("ZR_DOCUMENTS", (dir / "docs").c_str(), 1);
    setenv("ZR_EXE_DIR", (dir / "inst" / "bin").c_str(), 1);
    ResetAccRecordGlobals();
    platform::ScriptedPrompt prompt;
    InitSystemDef(); // no suite settings file: written with the defaults, nothing shown
    EXPECT_TRUE(prompt.messages.empty());
    const std::string base = (dir / "common").string() + "/" + HomeDir;
    EXPECT_EQ(SystemDef.BaseDir, base);
    EXPECT_EQ(SystemDef.InstallDir, (dir / "inst").string());
    EXPECT_EQ(SystemDef.SuiteIniFile, base + "/" + AppName + ".ini");
    EXPECT_TRUE(std::filesystem::is_directory(base + "/ini"));
    EXPECT_TRUE(std::filesystem::is_directory(base + "/log"));
    EXPECT_EQ(SystemDef.UserName, "TAVRIN");
    EXPECT_EQ(SystemDef.SysDir, base + "/data");
    EXPECT_EQ(SystemDef.GroupId, 10000);
    EXPECT_TRUE(SystemDef.HostName.empty());

    platform::IniFile ini(SystemDef.SuiteIniFile);
    ini.eraseSection("LOCAL");
    ini.writeString("LOCAL", "SYSDIR", "/srv/sys");
    ini.writeString("LOCAL", "HOSTNAME", "db1");
    InitSystemDef(); // no USER or PASSWORD: left empty for the logon's re-read
    EXPECT_EQ(SystemDef.SysDir, "/srv/sys");
    EXPECT_TRUE(SystemDef.UserName.empty());
    EXPECT_TRUE(SystemDef.Password.empty());
    EXPECT_TRUE(SystemDef.HostName.empty());

    std::string err;
    bool ran = false;
    EXPECT_FALSE(InitApplication([&] { ran = true; throw std::runtime_error("no module"); }, err));
    EXPECT_TRUE(ran);
    EXPECT_EQ(prompt.texts().back(), "アプリケーションの初期化に失敗しました。\rを終了します。");
    EXPECT_EQ(prompt.messages.back().buttons, platform::mbYes);
    ResetAccRecordGlobals();
    unsetenv("ZR_COMMON_APPDATA");
    unsetenv("ZR_DOCUMENTS");
    unsetenv("ZR_EXE_DIR");
}

struct Rows : ILoginUserSource {
    std::vector<TLogonRow> rows;
    std::vector<TLogonRow> LogonRows() override { return rows; }
    bool OperatorName(int group, int code, std::string& name) override {
        if (code % 7 == 0)
            return false;
        name = "op" + std::to_string(group) + "-" + std::to_string(code);
        return true;
    }
};

TEST(LoginUsers, EveryOtherRowWithoutALimit) {
    Rows r;
    const int own = 10000 * 10000 + 1;
    for (int i = 1; i <= 150; ++i)
        r.rows.push_back({10000 * 10000 + (i % 3 == 0 ? 1 : i), i % 3 == 0 ? 1 : i, 10000});
    auto users = ReadLoginUsers(r, own);
    EXPECT_EQ(users.size(), 99u); // own rows (every third one and code 1) left out
    for (const auto& u : users) {
        EXPECT_NE(u.OpeCode, 1);
        EXPECT_EQ(u.OpName, u.OpeCode % 7 == 0 ? "" : "op10000-" + std::to_string(u.OpeCode));
    }
}

TEST(LoginUsers, EscLeavesTheListOpenF12ClosesIt) {
    ResetAccRecordGlobals();
    Rows r;
    r.rows = {{10000 * 10000 + 5, 5, 10000}};
    SetLoginUserSource(&r);
    {
        TfmWebMenuL form;
        form.show();
        QApplication::processEvents();
        ASSERT_TRUE(form.isVisible()) << "a list with a user stays up";
        ASSERT_EQ(form.Grid()->rowCount(), 1);
        for (QWidget* target : {static_cast<QWidget*>(form.Grid()), static_cast<QWidget*>(&form)}) {
            QTest::keyClick(target, Qt::Key_Escape);
            QApplication::processEvents();
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.result(), 0);
        }
        QTest::keyClick(form.Grid(), Qt::Key_F12);
        QApplication::processEvents();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    SetLoginUserSource(nullptr);
    ResetAccRecordGlobals();
}

} // namespace
