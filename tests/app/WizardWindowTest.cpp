// The whole program in-process on a demo installation: start-up, logon
// through the logon dialog, data choice through the data-selection dialog,
// finish, and the caller's socket.
#include "accdb/AccRecord.h"
#include "app/ComRendo.h"
#include "app/DemoInstall.h"
#include "app/DmDataVerify.h"
#include "app/DmWizardData.h"
#include "accdb/DataInfomation.h"
#include "accdb/DataModule.h"
#include "accdb/LogonBox.h"
#include "datasel/DataSentaku.h"
#include "app/Main.h"
#include "app/ProcessForm.h"
#include "app/Startup.h"
#include "platform/AppEvents.h"
#include "platform/CallerLink.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"
#include "support/FbFixture.h"
#include "support/TempDir.h"
#include "ui/SDI.h"
#include "ui/xWizard.h"

#include <QApplication>
#include <QPushButton>
#include <QEventLoop>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Shows a dialog, runs drive once it is up and waits until it closes (at
// most ten seconds); the dialog's result, -99 when it stayed open.
template <typename Box, typename Drive>
int driveShown(Box& box, Drive drive) {
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    QTimer::singleShot(0, &box, [&box, drive] { drive(box); });
    QTimer::singleShot(10000, &loop, [&loop] { loop.quit(); });
    loop.exec();
    return box.isVisible() ? -99 : box.result();
}

int status(const std::string& folder) {
    TDataInfomationRec rec;
    ReadDataStatusFile(folder, rec);
    return rec.STATUS;
}

void settle() {
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
}

TEST(WizardWindow, CallerRunOnTheDemoInstallation) {
    testsupport::TempDir dir;
    const std::string demo = (dir / "demo").string();
    MakeDemoInstallation(demo, testsupport::kitSqlDir("system").parent_path().string());
    setenv("ZR_EXE_DIR", (demo + "/bin").c_str(), 1);
    setenv("ZR_REGISTRY_DIR", (demo + "/registry").c_str(), 1);
    setenv("ZR_COMMON_APPDATA", (demo + "/common").c_str(), 1);
    setenv("ZR_DOCUMENTS", (demo + "/docs").c_str(), 1);
    setenv("ZR_RUNTIME_DIR", dir.str().c_str(), 1);
    ResetAccRecordGlobals();
    ClearProcessForms();
    RegisterDataSentakuBox();
    const std::string chosenFolder = demo + "/common/brevan/tavrinzaimu/data/0002";

    platform::ScriptedPrompt prompt;
    int logons = 0;
    TLogonBoxLogon::ModalRunner = [&logons](TLogonBox& box) {
        ++logons;
        return driveShown(box, [](TLogonBox& b) {
            b.OpCodeEdit()->clear();
            QTest::keyClicks(b.OpCodeEdit(), QString::number(kDemoOperatorCode));
            b.PasswordEdit()->setText(QString::fromUtf8(kDemoOperatorPassword));
            QTest::mouseClick(b.OkButton(), Qt::LeftButton);
        });
    };
    // The first choice is a data set too old for the exporter: refused, the
    // selection opens again and the second choice is taken.
    const std::string oldFolder = demo + "/common/brevan/tavrinzaimu/data/0001";
    testsupport::FbFixture::exec(oldFolder + "/tvacc.fdb", "UPDATE ACCVERSION SET MAJOR = 13 WHERE REC = 1;");
    prompt.answer(platform::mrOk); // choose another data set
    std::vector<std::string> listed;
    std::vector<std::string> choices = {"0002", "0001"};
    TDataSentakuBox::ModalRunner = [&listed, &choices](TDataSentakuBox& box) {
        QEventLoop loop;
        QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
        box.show();
        const std::string choice = choices.back();
        choices.pop_back();
        QTimer::singleShot(0, &box, [&box, &listed, choice] {
            listed.clear();
            for (int r = 0; r < box.RowCount(); ++r) {
                listed.push_back(box.CellText(r, TDataSentakuBox::colCode));
                if (listed.back() == choice)
                    box.SetCurrentRow(r);
            }
            QTest::keyClick(box.PerfectGrid1, Qt::Key_F12);
        });
        QTimer::singleShot(10000, &loop, [&loop] { loop.quit(); });
        loop.exec();
        return box.isVisible() ? -99 : box.modalResult();
    };
    const std::int64_t wnd = 9151;
    platform::CallerListener caller(wnd);
    ASSERT_TRUE(caller.ok());
    const std::string out = (dir / "rendo.xml").string();

    KeyStoreProductRegistry registry;
    auto makeExporter = [&registry](int id, const std::string& file, bool byCaller) {
        return std::make_unique<THojinZeiGenkaDataExport>(TComDataExportEnv::FromProgram("zorute_rendo", &registry, byCaller),
                                                          id, file);
    };
    TDmWizardData dm;
    TLogonBoxLogon logon;
    TNoSharedData shared;
    TNoCloudShare cloud;
    TDmDataVerifyServices dataVerify;
    SetDataVerifyServices(&dataVerify);
    {
        TForm1 form(dm, logon, shared, cloud, makeExporter);
        ASSERT_TRUE(form.FormCreate({std::to_string(wnd) + ",1025,9," + out}, demo + "/bin/zorute_rendo"));
        std::string err;
        ASSERT_TRUE(InitApplication(
            [] {
                DM = std::make_unique<TDM>();
                InstallDataInfomation();
                BSDIContext().DefTransaction = &DM->IBTransactionDEF;
                BSDIContext().DataDatabase = &DM->IBDatabaseDAT;
            },
            err))
            << err;
        EXPECT_EQ(form.Logic().Caption, "連結納税のゾルテ（平成25年度版 以降） from タヴリン財務（減価償却）");
        form.show();
        settle();
        ASSERT_TRUE(form.Logic().LoggedOn) << (prompt.texts().empty() ? "" : prompt.texts().back());
        EXPECT_EQ(logons, 1);
        EXPECT_EQ(SystemDef.LoginCode, kDemoOperatorCode);

        form.Button2->click();
        EXPECT_EQ(form.CurrentPage(), "page2");
        form.btnDataSentaku->click();
        EXPECT_EQ(listed, (std::vector<std::string>{"0001", "0002", "0003"}));
        EXPECT_EQ(SystemDef.DataDir, chosenFolder);
        EXPECT_TRUE(choices.empty());
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].lines[0].text, "このプログラムで処理できるデータバージョンに達していません。");
        EXPECT_EQ(status(oldFolder), 1) << "the refused data set is free again";
        EXPECT_EQ(status(chosenFolder), 2) << "the open data set is marked in use";
        ASSERT_EQ(form.listDataInfo->rowCount(), 4) << (prompt.texts().empty() ? "" : prompt.texts().back());
        EXPECT_EQ(form.listDataInfo->item(1, 1)->text().toStdString(), "有限会社見本製作所");
        form.Button2->click();
        EXPECT_EQ(form.CurrentPage(), "page5");
        {
            // The summary's labels are padded with spaces so that their
            // colons stand in one column.
            const QStringList lines = form.Memo5b->toPlainText().split('\n');
            ASSERT_GE(lines.size(), 4);
            const QFontMetrics fm(form.Memo5b->font());
            auto colonAt = [&fm](const QString& l) { return fm.horizontalAdvance(l.left(l.indexOf(':'))); };
            for (int i = 2; i <= 3; ++i)
                EXPECT_EQ(colonAt(lines[i]), colonAt(lines[1])) << lines[i].toStdString();
        }
        form.Button2->click(); // finish
        settle();
        EXPECT_EQ(form.Logic().ResultCode, 0) << (prompt.texts().empty() ? "" : prompt.texts().back());
        EXPECT_FALSE(form.isVisible());
    }
    dm.AccDatDisconnect(SystemDef.DataDir, 0, 0);
    dm.DefDisconnect();
    BSDIContext().DefTransaction = nullptr;
    BSDIContext().DataDatabase = nullptr;
    DM.reset();
    TLogonBoxLogon::ModalRunner = nullptr;
    TDataSentakuBox::ModalRunner = nullptr;
    SetDataVerifyServices(nullptr);
    std::vector<std::int64_t> posted;
    while (auto n = caller.receive(100))
        if (n->kind == platform::CallerNotice::Post) {
            posted.push_back(n->lParam);
            EXPECT_EQ(n->message, 1025u);
            EXPECT_EQ(n->wParam, 9);
        }
    EXPECT_EQ(posted, std::vector<std::int64_t>{0});

    EXPECT_EQ(status(chosenFolder), 1) << "closing frees the data set";

    ASSERT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(std::system(("xmllint --noout '" + out + "'").c_str()), 0);
    std::string xml = platform::fromCp932(testsupport::readFileBytes(out));
    for (const char* node : {"<SYSTEM", "<BASIC", "<DATA", "有限会社見本製作所", "空調設備", "複合機リース"})
        EXPECT_NE(xml.find(node), std::string::npos) << node;

    ClearProcessForms();
    ResetAccRecordGlobals();
    for (const char* v : {"ZR_EXE_DIR", "ZR_REGISTRY_DIR", "ZR_COMMON_APPDATA", "ZR_DOCUMENTS", "ZR_RUNTIME_DIR"})
        unsetenv(v);
}

} // namespace
