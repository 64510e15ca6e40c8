// Program entry of the depreciation data linkage.
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "app/ComRendo.h"
#include "app/DmDataVerify.h"
#include "app/DmWizardData.h"
#include "app/LoginUsers.h"
#include "app/Main.h"
#include "app/ProcessForm.h"
#include "app/Startup.h"
#include "accdb/DataInfomation.h"
#include "datasel/DataSentaku.h"
#include "platform/AppEvents.h"
#include "platform/Folders.h"
#include "platform/NamedGuard.h"
#include "platform/QtHooks.h"
#include "ui/QtPrompt.h"
#include "ui/SDI.h"

#include <QApplication>
#include <QFont>

namespace {

const char* const kExeName = "zorute_rendo";

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::installQtHooks();
    ui::installQtPrompt();
    // Logout, shutdown or kill: end the way the window's close box does, so
    // the open data set is released and a caller hears the result.
    platform::EndSessionSignals endSession([] {
        QApplication::closeAllWindows();
        platform::requestTerminate();
    });

    platform::NamedGuard guard;
    if (CheckSingleInstance(guard) != 0)
        return 0;
    QApplication::setApplicationDisplayName(QString::fromUtf8("連動ﾃﾞｰﾀの作成"));
    QApplication::setQuitOnLastWindowClosed(true);

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    KeyStoreProductRegistry registry;
    auto makeExporter = [&registry](int functionId, const std::string& file, bool byCaller) {
        return std::make_unique<THojinZeiGenkaDataExport>(TComDataExportEnv::FromProgram(kExeName, &registry, byCaller),
                                                          functionId, file);
    };
    RegisterDataSentakuBox();
    TDmWizardData dm;
    TLogonBoxLogon logon;
    TNoSharedData shared;
    TNoCloudShare cloud;
    // The data verification the framework's hook runs (data selection,
    // opening a data set) checks the database files through the data module.
    TDmDataVerifyServices dataVerify;
    SetDataVerifyServices(&dataVerify);
    std::unique_ptr<TDbLoginUserSource> loginUsers;
    {
        TForm1 form(dm, logon, shared, cloud, makeExporter);
        if (!form.FormCreate(args, platform::executableFolder() + "/" + kExeName))
            return 0;
        std::string initError;
        bool ready = InitApplication(
            [&] {
                QApplication::setApplicationDisplayName(QString::fromStdString(form.Logic().Caption));
                form.setWindowTitle(QString::fromStdString(form.Logic().Caption));
                SystemDef.Font1 = new QFont(form.font());
                SystemDef.Font2 = new QFont(form.font());
                // The one data module; the wizard and the framework's dialogs
                // reach both databases through it, and it keeps the data
                // sets' status through the data-set information.
                DM = std::make_unique<TDM>();
                InstallDataInfomation();
                BSDIContext().DefTransaction = &DM->IBTransactionDEF;
                BSDIContext().DataDatabase = &DM->IBDatabaseDAT;
                loginUsers = std::make_unique<TDbLoginUserSource>(DM->IBTransactionDEF);
                SetLoginUserSource(loginUsers.get());
            },
            initError);
        QApplication::processEvents();
        if (ready) {
            form.show();
            QApplication::restoreOverrideCursor();
            if (!platform::terminateRequested())
                app.exec();
        }
    }
    SetLoginUserSource(nullptr);
    SetDataVerifyServices(nullptr);
    if (DM)
        dm.AccDatDisconnect(SystemDef.DataDir, 0, 0);
    dm.DefDisconnect();
    BSDIContext().DefTransaction = nullptr;
    BSDIContext().DataDatabase = nullptr;
    DM.reset();
    guard.release();
    ClearProcessForms();
    return 0;
}
