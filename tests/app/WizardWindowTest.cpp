// The whole program in-process on a demo installation: start-up, logon,
// data choice through the launcher, finish, and the caller's socket.
#include "accdb/AccRecord.h"
#include "app/ComRendo.h"
#include "app/DemoInstall.h"
#include "app/DirectData.h"
#include "app/Main.h"
#include "app/ProcessForm.h"
#include "app/Startup.h"
#include "platform/AppEvents.h"
#include "platform/CallerLink.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"
#include "support/FbFixture.h"
#include "support/TempDir.h"
#include "ui/xWizard.h"

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::string chosenFolder;

// Stands in for the data-selection form: chooses one folder.
class ChooseOne : public TProcessComponent, public IProcessForm {
public:
    int Execute(std::uint8_t) override {
        SystemDef.DataDir = chosenFolder;
        return 1;
    }
    void SetParams(const std::vector<std::string>&) override {}
    static std::unique_ptr<TProcessComponent> Create() { return std::make_unique<ChooseOne>(); }
};

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
    RegisterProcessForm(&ChooseOne::Create, "VqDataSenkaku");
    chosenFolder = demo + "/common/brevan/tavrinzaimu/data/0002";

    platform::ScriptedPrompt prompt;
    prompt.answerInput("1"); // operator code
    prompt.answerInput("");  // password
    const std::int64_t wnd = 9151;
    platform::CallerListener caller(wnd);
    ASSERT_TRUE(caller.ok());
    const std::string out = (dir / "rendo.xml").string();

    KeyStoreProductRegistry registry;
    auto makeExporter = [&registry](int id, const std::string& file, bool byCaller) {
        return std::make_unique<THojinZeiGenkaDataExport>(TComDataExportEnv::FromProgram("zorute_rendo", &registry, byCaller),
                                                          id, file);
    };
    TDirectDataModule dm;
    TPromptLogon logon(dm);
    TNoSharedData shared;
    TNoCloudShare cloud;
    {
        TForm1 form(dm, logon, shared, cloud, makeExporter);
        ASSERT_TRUE(form.FormCreate({std::to_string(wnd) + ",1025,9," + out}, demo + "/bin/zorute_rendo"));
        std::string err;
        ASSERT_TRUE(InitApplication([] {}, err)) << err;
        EXPECT_EQ(form.Logic().Caption, "連結納税のゾルテ（平成25年度版 以降） from タヴリン財務（減価償却）");
        form.show();
        settle();
        ASSERT_TRUE(form.Logic().LoggedOn) << (prompt.texts().empty() ? "" : prompt.texts().back());
        EXPECT_EQ(SystemDef.OpCode, 10000 * 10000 + 1);

        form.Button2->click();
        EXPECT_EQ(form.CurrentPage(), "page2");
        form.btnDataSentaku->click();
        ASSERT_EQ(form.listDataInfo->rowCount(), 4);
        EXPECT_EQ(form.listDataInfo->item(1, 1)->text().toStdString(), "有限会社見本製作所");
        form.Button2->click();
        EXPECT_EQ(form.CurrentPage(), "page5");
        form.Button2->click(); // finish
        settle();
        EXPECT_EQ(form.Logic().ResultCode, 0) << (prompt.texts().empty() ? "" : prompt.texts().back());
        EXPECT_FALSE(form.isVisible());
    }
    dm.DefDisconnect();
    std::vector<std::int64_t> posted;
    while (auto n = caller.receive(100))
        if (n->kind == platform::CallerNotice::Post) {
            posted.push_back(n->lParam);
            EXPECT_EQ(n->message, 1025u);
            EXPECT_EQ(n->wParam, 9);
        }
    EXPECT_EQ(posted, std::vector<std::int64_t>{0});

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
