// The suite settings file and the logon dialog, driven offscreen against a
// real system database.
#include "accdb/LogonBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "DataModuleSupport.h"
#include "platform/IniFile.h"

namespace {

using testsupport::FbFixture;

class SuiteIniTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        SystemDef.SuiteIniFile = fb.path("tvzaimu.ini").string();
    }
    platform::IniFile ini() { return platform::IniFile(SystemDef.SuiteIniFile); }
};

TEST_F(SuiteIniTest, ResetWritesDefaultsThatReadBack) {
    SystemDef.HostName = "pc01";
    SystemDef.SysDir = "/srv/Data/Sys";
    SystemDef.UserName = "TAVRIN";
    SystemDef.Password = "mobrix";
    TAppIniCreateBox box;
    ASSERT_TRUE(box.WriteAppIni(1));
    auto f = ini();
    EXPECT_EQ(f.readString("APPLICATION", "WIDTH"), "1024");
    EXPECT_EQ(f.readString("APPLICATION", "HEIGHT"), "738");
    EXPECT_EQ(f.readString("APPLICATION", "CONNECT"), "0");
    EXPECT_EQ(f.readString("LOCAL", "HOSTNAME", "x"), "");  // stand-alone: no host
    EXPECT_EQ(f.readString("LOCAL", "GOGLOBAL"), "NO");
    EXPECT_EQ(f.readString("SERVER", "SYSDIR", "x"), "");

    SystemDef = TSystemDef{};
    SystemDef.SuiteIniFile = f.path();
    EXPECT_EQ(box.ReadConnectSection(5), 1); // any other kind reads LOCAL
    EXPECT_EQ(SystemDef.SysDir, "/srv/Data/Sys"); // letter case kept
    EXPECT_EQ(SystemDef.UserName, "TAVRIN");
    EXPECT_EQ(SystemDef.Password, "mobrix");
    EXPECT_EQ(box.ReadConnectKind(), 0);
    box.WriteConnectKind(1);
    EXPECT_EQ(box.ReadConnectKind(), 1);
}

TEST_F(SuiteIniTest, MissingCredentialsReadAsSuiteDefaults) {
    auto f = ini();
    f.writeString("SERVER", "HOSTNAME", "srv");
    f.writeString("SERVER", "GOGLOBAL", "yes");
    TAppIniCreateBox box;
    box.ReadConnectSection(1);
    EXPECT_EQ(SystemDef.HostName, "srv");
    EXPECT_FALSE(SystemDef.GoGlobal); // exactly "YES"
    EXPECT_EQ(SystemDef.UserName, "TAVRIN");
    EXPECT_EQ(SystemDef.Password, "mobrix");
}

TEST_F(SuiteIniTest, OkChecksByConnectionKind) {
    struct Case {
        int kind;
        const char* host;
        const char* user;
        const char* pass;
        const char* refusal; // nullptr: accepted
    };
    const Case cases[] = {
        {1, " ", "u", "p", "コンピュータ名が指定されていません。\r入力してください。"},
        {2, "", "u", "p", "コンピュータ名が指定されていません。"}, // trailing CR dropped by text()
        {1, "Srv", "", "p", "データベースのユーザーが指定されていません。\r入力してください。"},
        {1, "Srv", "u", " ", "データベースのパスワードが指定されていません。\r入力してください。"},
        {1, "Srv", "u", "P", nullptr},
        {0, "Srv", "u", "p", nullptr},
    };
    for (const auto& c : cases) {
        ConnectKind = static_cast<std::uint8_t>(c.kind);
        prompt.messages.clear();
        TAppIniCreateBox box;
        box.txtHostName = c.host;
        box.txtDataPath = "/Srv/TavrinZaimu/Data";
        box.txtUserName = c.user;
        box.txtPassWord = c.pass;
        const bool ok = box.OKBtnClick();
        EXPECT_EQ(ok, c.refusal == nullptr) << c.kind << c.host << c.user << c.pass;
        if (c.refusal) {
            ASSERT_EQ(prompt.messages.size(), 1u);
            EXPECT_EQ(prompt.messages[0].text(), c.refusal);
            EXPECT_EQ(prompt.messages[0].buttons, platform::mbYes);
        } else {
            const auto section = TAppIniCreateBox::SectionOf(c.kind);
            EXPECT_EQ(ini().readString(section, "SYSDIR"), "/Srv/TavrinZaimu/Data");
            EXPECT_EQ(ini().readString(section, "HOSTNAME"), c.kind == 0 ? "" : "srv");
            EXPECT_EQ(ini().readString(section, "USER"), "U");
            EXPECT_EQ(ini().readString(section, "PASSWORD"), "p");
        }
    }
}

class LogonBoxTest : public SuiteIniTest {
protected:
    void SetUp() override {
        SuiteIniTest::SetUp();
        SystemDef.GroupId = 10000;
        SystemDef.PcName = "PC1";
        SystemDef.AppLabel = "財務";
        auto f = ini();
        f.writeString("LOCAL", "SYSDIR", SystemDef.SysDir);
        f.writeString("LOCAL", "USER", testsupport::kFbUser);
        f.writeString("LOCAL", "PASSWORD", testsupport::kFbPassword);
        FbFixture::exec(sysDb, "INSERT INTO LEVELNAME (LEVELNO, NAME) VALUES (3, '一般');"
                               "INSERT INTO OPERATOR (GROUPID, OPCODE, OPNAME, JOBLEVEL, PASWORD, JIMUSHO, "
                               "MYNUMBER_ADM, SHONIN) VALUES (10000, 10, '経理　花子', 3, ' pw', 1, 1, 0);");
    }
    // Shows the dialog (not modally), types code and password, clicks OK.
    int logon(TLogonBox& box, const char* code, const char* password) {
        EXPECT_TRUE(box.Initialized());
        box.show();
        box.OpCodeEdit()->clear();
        QTest::keyClicks(box.OpCodeEdit(), code);
        box.PasswordEdit()->setText(QString::fromUtf8(password));
        QTest::mouseClick(box.OkButton(), Qt::LeftButton);
        return box.result();
    }
    void replaceLogonTest(int num) {
        FbFixture::exec(sysDb, "SET TERM ^ ;\n"
                               "CREATE OR ALTER PROCEDURE LOGONUSERTEST (PCNAME VARCHAR(60), GROUPID INTEGER, "
                               "OPCODE INTEGER, APPVERSION INTEGER, PASWORD VARCHAR(40))\n"
                               "RETURNS (NUM INTEGER, LOGINCODE INTEGER, JOBLEVEL INTEGER) AS\n"
                               "BEGIN NUM = " + std::to_string(num) + "; LOGINCODE = OPCODE; JOBLEVEL = 0; "
                               "SUSPEND; END^\nSET TERM ; ^\n");
    }
};

TEST_F(LogonBoxTest, CodeBelowTenIsRefusedWithoutDatabaseAccess) {
    TLogonBox box;
    EXPECT_EQ(logon(box, "9", " pw"), 0);
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(DM->IBDatabaseDEF.connected());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(),
              "コードまたはパスワードが違います。\r正しいコードまたはパスワードを入力して下さい。");
}

TEST_F(LogonBoxTest, AdmittedOperatorFillsSystemDef) {
    TLogonBox box;
    EXPECT_EQ(logon(box, "10", " pw"), QDialog::Accepted); // leading blank sent as typed
    EXPECT_TRUE(prompt.messages.empty()) << prompt.texts().front();
    EXPECT_EQ(SystemDef.OpCode, 10000 * 10000 + 10);
    EXPECT_EQ(SystemDef.LoginCode, 10);
    EXPECT_EQ(SystemDef.OpName, "経理　花子");
    EXPECT_EQ(SystemDef.JobLevel, 3);
    EXPECT_TRUE(SystemDef.AllRights);
    EXPECT_TRUE(SystemDef.MyNumberAdmin);
    EXPECT_FALSE(SystemDef.MyNumberApprover);
    EXPECT_TRUE(DM->IBDatabaseDEF.connected());
    EXPECT_EQ(ini().readString("APPLICATION", "CONNECT"), "0");
}

TEST_F(LogonBoxTest, RefusalsKeepTheDialogOpen) {
    struct Case {
        int num;
        const char* text;
    };
    const Case cases[] = {
        {-3, "指定したユーザーは既にシステムへログインしているため、ログインできませんでした。"},
        {-1, "コードまたはパスワードが違います。\r正しいコードまたはパスワードを入力して下さい。"},
        {5, nullptr},
    };
    for (const auto& c : cases) {
        replaceLogonTest(c.num);
        prompt.messages.clear();
        TLogonBox box;
        EXPECT_EQ(logon(box, "10", " pw"), 0) << c.num;
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(SystemDef.OpCode, 0);
        if (c.text) {
            ASSERT_EQ(prompt.messages.size(), 1u) << c.num;
            EXPECT_EQ(prompt.messages[0].text(), c.text);
        } else {
            EXPECT_TRUE(prompt.messages.empty());
        }
        box.hide();
        DM->IBDatabaseDEF.disconnect();
    }
}

TEST_F(LogonBoxTest, KeyboardOnlyLogon) {
    // Code, Enter, password, Enter, Enter: the last Enter presses the focused OK.
    TLogonBox box;
    box.show();
    box.OpCodeEdit()->setFocus();
    QTest::keyClicks(box.OpCodeEdit(), "10");
    QTest::keyClick(box.focusWidget(), Qt::Key_Return);
    ASSERT_EQ(box.focusWidget(), box.PasswordEdit());
    QTest::keyClicks(box.PasswordEdit(), " pw");
    QTest::keyClick(box.focusWidget(), Qt::Key_Return);
    ASSERT_EQ(box.focusWidget(), box.OkButton());
    EXPECT_TRUE(box.isVisible());
    QTest::keyClick(box.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(SystemDef.LoginCode, 10);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(LogonBoxTest, EnterOnFocusedCancelCancels) {
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        TLogonBox box;
        box.show();
        QTest::keyClicks(box.OpCodeEdit(), "10");
        box.PasswordEdit()->setText(" pw");
        box.CancelButton()->setFocus();
        ASSERT_EQ(box.focusWidget(), box.CancelButton());
        QTest::keyClick(box.focusWidget(), key);
        EXPECT_EQ(box.result(), QDialog::Rejected) << key;
        EXPECT_FALSE(box.isVisible()) << key;
        EXPECT_EQ(SystemDef.OpCode, 0);
        EXPECT_FALSE(DM->IBDatabaseDEF.connected());
    }
}

TEST_F(LogonBoxTest, WrongPasswordAgainstTheRealCheck) {
    TLogonBox box;
    EXPECT_EQ(logon(box, "10", "pw"), 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(),
              "コードまたはパスワードが違います。\r正しいコードまたはパスワードを入力して下さい。");
}

TEST_F(LogonBoxTest, ClientServerWithoutHostAdvisesServerSettings) {
    TLogonBox box;
    box.show();
    QTest::mouseClick(box.ClientServerButton(), Qt::LeftButton);
    EXPECT_EQ(ConnectKind, 1);
    EXPECT_EQ(logon(box, "10", " pw"), 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "データサーバーのコンピュータ名が設定されていません。\r"
                                         "[サーバー設定]ボタンを押して正しい情報を入力して下さい。");
    EXPECT_FALSE(DM->IBDatabaseDEF.connected());
}

TEST_F(LogonBoxTest, MissingSystemDatabaseExplainsTheConnectionFailure) {
    ini().writeString("LOCAL", "SYSDIR", fb.path("nowhere").string());
    TLogonBox box;
    EXPECT_EQ(logon(box, "10", " pw"), 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    const auto& lines = prompt.messages[0].lines;
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "ログイン処理に失敗しました。以下の理由が考えられます。");
    EXPECT_EQ(lines[1].text, "１）データファイルが見つからない。");
}

} // namespace

namespace {

TEST_F(LogonBoxTest, EscKeepsTheDialogAndF12LogsOnInTheOemEdition) {
    OemEdition = 2;
    TLogonBox box;
    box.show();
    EXPECT_FALSE(box.ClientServerButton()->isVisibleTo(&box)); // no kind choice
    QTest::keyClicks(box.OpCodeEdit(), "10");
    box.PasswordEdit()->setText(" pw");
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());
    QTest::keyRelease(&box, Qt::Key_F12);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(SystemDef.JobLevel, 0);
    EXPECT_FALSE(SystemDef.AllRights);
}

} // namespace
