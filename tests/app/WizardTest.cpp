#include "WizardFakes.h"

#include "accdb/AccRecord.h"
#include "app/ProcessForm.h"
#include "app/VersionCheck.h"
#include "app/WizardLogic.h"
#include "platform/AppEvents.h"
#include "platform/CallerLink.h"
#include "platform/Prompt.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace wizardtest;

namespace {

TEST(CallerArgs, CommandLineTable) {
    struct Case {
        std::vector<std::string> args;
        TCallerArgs::Kind kind;
    } cases[] = {
        {{}, TCallerArgs::None},
        {{"4242,1025,7,/tmp/out.xml"}, TCallerArgs::Caller},
        {{"4242,1025,7,/tmp/out.xml", "x"}, TCallerArgs::Invalid},
        {{"4242,1025,7"}, TCallerArgs::Invalid},
        {{"4242,1025,7,/tmp/a,b.xml"}, TCallerArgs::Invalid},
        {{"42x,1025,7,/tmp/out.xml"}, TCallerArgs::Invalid},
        {{"4242,,7,/tmp/out.xml"}, TCallerArgs::Invalid},
        {{"4242,1025,7.5,/tmp/out.xml"}, TCallerArgs::Invalid},
        {{"4242,-1,7,/tmp/out.xml"}, TCallerArgs::Invalid},
    };
    for (const auto& c : cases) {
        TCallerArgs a = ParseCallerArgs(c.args);
        EXPECT_EQ(a.kind, c.kind) << (c.args.empty() ? "" : c.args[0]);
    }
    TCallerArgs a = ParseCallerArgs({"4242,1025,-7,/tmp/out.xml"});
    EXPECT_EQ(a.Wnd, 4242);
    EXPECT_EQ(a.Msg, 1025u);
    EXPECT_EQ(a.Param, -7);
    EXPECT_EQ(a.File, "/tmp/out.xml");
}

TEST(VersionAtLeast, ComparesPartsAsNumbers) {
    struct Case {
        const char* v;
        const char* r;
        bool ok;
    } cases[] = {
        {"14.0.0", "14.0.0", true}, {"14.0", "14.0.0", true},   {"14", "14.0.0", true},
        {"13.9.9", "14.0.0", false}, {"", "14.0.0", false},     {"14.0.0.1", "14.0.0", false},
        {"14.100.0", "14.99.0", true}, {"14.0.100", "14.1.0", false}, {"100.0.0", "14.0.0", true},
        {"x.y", "14.0.0", false},   {"0.0.0", "0.0.0", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionAtLeast(c.v, c.r), c.ok) << c.v << " vs " << c.r;
}

// A wizard over the doubles, with a caller socket when asked.
struct Wizard {
    Install inst;
    FakeDm dm;
    FakeLogon logon;
    TNoSharedData shared;
    TNoCloudShare cloud;
    FakeView view;
    platform::ScriptedPrompt prompt;
    TWizardLogic logic{dm, logon, shared, cloud, view, inst.factory()};
    Wizard() {
        ResetAccRecordGlobals();
        setenv("ZR_RUNTIME_DIR", inst.dir.str().c_str(), 1);
        setenv("ZR_DOCUMENTS", (inst.dir / "docs").c_str(), 1);
    }
    ~Wizard() { ResetAccRecordGlobals(); }
    // Chooses a data set: the launcher answers 1 after setting the folder.
    void choose(const std::string& folder) {
        ProcessLauncherHook = [folder](const std::string&, int, const std::string&) {
            SystemDef.DataDir = folder;
            return 1;
        };
        logic.Opener().DataSentakuClick();
    }
};

const std::int64_t kWnd = 7301;

std::vector<platform::CallerNotice> drain(platform::CallerListener& l) {
    std::vector<platform::CallerNotice> out;
    while (auto n = l.receive(50))
        out.push_back(*n);
    return out;
}

// The notices after the start: disable, then the posts (and enables).
std::vector<std::int64_t> postedResults(const std::vector<platform::CallerNotice>& notices) {
    std::vector<std::int64_t> r;
    for (const auto& n : notices)
        if (n.kind == platform::CallerNotice::Post)
            r.push_back(n.lParam);
    return r;
}

TEST(Wizard, ResultPostedToTheCallerOnce) {
    enum Run { Finish, RefusedFinish, NoticeThenCancel, Cancel, CloseBox };
    struct Case {
        Run run;
        std::int64_t result;
    } cases[] = {{Finish, 0}, {RefusedFinish, 2}, {NoticeThenCancel, 1}, {Cancel, 1}, {CloseBox, 1}};
    for (const auto& c : cases) {
        Wizard w;
        platform::CallerListener caller(kWnd);
        ASSERT_TRUE(caller.ok());
        std::string out = (w.inst.dir / "out.xml").string();
        if (c.run == RefusedFinish)
            w.inst.error = EDataExportError("減価償却資産の取得に失敗しました。", "", 7);
        if (c.run == NoticeThenCancel)
            w.inst.error = EDataExportError("対象の減価償却資産が登録されていません。", "", 16);
        ASSERT_TRUE(w.logic.FormCreate({std::to_string(kWnd) + ",1025,3," + out}, w.inst.exePath()));
        EXPECT_EQ(w.logic.Pages, (std::vector<std::string>{"page1", "page2", "page5"}));
        ASSERT_TRUE(w.logic.FirstShow());
        w.choose("/data/a");
        ASSERT_TRUE(w.logic.NextClicking("page2"));
        switch (c.run) {
        case Finish:
        case RefusedFinish:
            w.logic.FinishClicked();
            EXPECT_EQ(w.view.closes, 1);
            break;
        case NoticeThenCancel:
            w.logic.FinishClicked();
            EXPECT_EQ(w.view.closes, 0);
            EXPECT_EQ(w.logic.ResultCode, 1);
            w.prompt.answer(platform::mrYes);
            w.logic.CancelClicked();
            break;
        case Cancel:
            w.prompt.answer(platform::mrNo);
            w.logic.CancelClicked();
            EXPECT_EQ(w.view.closes, 0);
            w.prompt.answer(platform::mrYes);
            w.logic.CancelClicked();
            break;
        case CloseBox:
            w.logic.WMClose();
            break;
        }
        w.logic.CloseData();
        w.logic.FormDestroy();
        w.logic.FormDestroy(); // a second destruction path posts nothing more
        auto notices = drain(caller);
        ASSERT_FALSE(notices.empty());
        EXPECT_EQ(notices.front().kind, platform::CallerNotice::Disable);
        EXPECT_EQ(postedResults(notices), std::vector<std::int64_t>{c.result}) << int(c.run);
        EXPECT_EQ(notices.back().message, 1025u);
        EXPECT_EQ(notices.back().wParam, 3);
        EXPECT_TRUE(w.dm.inUse.empty()) << "data set left in use";
        EXPECT_EQ(w.dm.calls.back(), "def-");
    }
}

TEST(Wizard, FinishWritesTheCallersFile) {
    Wizard w;
    std::string out = (w.inst.dir / "out.xml").string();
    ASSERT_TRUE(w.logic.FormCreate({"0,1025,3," + out}, w.inst.exePath()));
    w.choose("/data/a");
    ASSERT_TRUE(w.logic.NextClicking("page2"));
    w.logic.FinishClicked();
    EXPECT_EQ(w.logic.ResultCode, 0);
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(w.inst.last->KomonsakiName, "会社 /data/a");
}

TEST(Wizard, HourglassWhileTheFileIsWrittenAndGoneBeforeTheOutcomeIsShown) {
    enum Outcome { Made, Notice, Refused, Thrown };
    struct Case {
        Outcome outcome;
        std::vector<std::string> events;
    } cases[] = {
        {Made, {"progress 連動データの作成中", "busy+", "progress-", "busy-", "box"}},
        {Notice, {"progress 連動データの作成中", "busy+", "box", "progress-", "busy-"}},
        {Refused, {"progress 連動データの作成中", "busy+", "box", "progress-", "busy-", "box"}},
        {Thrown, {"progress 連動データの作成中", "busy+", "progress-", "busy-", "box", "box"}},
    };
    for (const auto& c : cases) {
        Wizard w;
        if (c.outcome == Notice)
            w.inst.error = EDataExportError("対象の減価償却資産が登録されていません。", "", 16);
        if (c.outcome == Refused)
            w.inst.error = EDataExportError("減価償却資産の取得に失敗しました。", "", 7);
        ASSERT_TRUE(w.logic.FormCreate({}, w.inst.exePath()));
        w.inst.last->throwOther = c.outcome == Thrown;
        w.choose("/data/a");
        w.view.fileText = (w.inst.dir / "out.xml").string();
        ASSERT_TRUE(w.logic.NextClicking("page2"));
        ASSERT_TRUE(w.logic.NextClicking("page4"));
        w.view.events.clear();
        w.prompt.onShow = [&w](platform::PromptMessage&) { w.view.events.push_back("box"); };
        w.logic.FinishClicked();
        EXPECT_EQ(w.view.events, c.events) << int(c.outcome);
    }
}

TEST(Wizard, HaltsAfterDisablingTheCallerReEnableItAndPostFailure) {
    enum Fault { NoAppInfo, OldProduct, NoProduct };
    for (Fault f : {NoAppInfo, OldProduct, NoProduct}) {
        Wizard w;
        platform::CallerListener caller(kWnd);
        if (f == NoAppInfo)
            std::filesystem::remove(w.inst.dir / "bin" / "AppInfo.ini");
        if (f == OldProduct)
            w.inst.registry.version = "13.5.0";
        if (f == NoProduct)
            w.inst.registry.version = "";
        EXPECT_FALSE(w.logic.FormCreate({std::to_string(kWnd) + ",1025,3,/tmp/x.xml"}, w.inst.exePath()));
        ASSERT_EQ(w.prompt.messages.size(), 1u);
        auto notices = drain(caller);
        ASSERT_EQ(notices.size(), 3u);
        EXPECT_EQ(notices[0].kind, platform::CallerNotice::Disable);
        EXPECT_EQ(notices[1].kind, platform::CallerNotice::Enable);
        EXPECT_EQ(postedResults(notices), std::vector<std::int64_t>{2});
    }
}

TEST(Wizard, InvalidArgumentsEndBeforeAnythingElse) {
    Wizard w;
    EXPECT_FALSE(w.logic.FormCreate({"1,2,x,/tmp/x.xml"}, w.inst.exePath()));
    EXPECT_EQ(w.prompt.texts(), std::vector<std::string>{"不正な引数が渡されました。\r\rアプリケーションを強制終了します。"});
}

TEST(Wizard, FilePageChecksAndTheFolderOfABareName) {
    Wizard w;
    ASSERT_TRUE(w.logic.FormCreate({}, w.inst.exePath()));
    EXPECT_EQ(w.logic.Pages, (std::vector<std::string>{"page1", "page2", "page4", "page5"}));
    EXPECT_FALSE(w.logic.NextClicking("page2")) << "no data chosen";
    w.choose("/data/a");
    EXPECT_TRUE(w.logic.NextClicking("page2"));
    struct Case {
        std::string typed;
        bool ok;
        std::string file;
    } cases[] = {
        {"", false, ""},
        {"/tmp/", false, ""},
        {"/rendo.xml", false, ""},
        {"/tmp/rendo.xml", true, "/tmp/rendo.xml"},
        {"rendo.xml", true, w.logic.DocFolder + "/rendo.xml"},
    };
    for (const auto& c : cases) {
        w.prompt.messages.clear();
        w.view.fileText = c.typed;
        EXPECT_EQ(w.logic.NextClicking("page4"), c.ok) << c.typed;
        EXPECT_EQ(w.prompt.messages.size(), c.ok ? 0u : 1u);
        if (c.ok) {
            EXPECT_EQ(w.inst.last->ExportFile, c.file);
            EXPECT_EQ(w.logic.SummaryLines.back(), " " + c.file);
        }
    }
}

TEST(Wizard, LogonRefusedEndsTheApplication) {
    Wizard w;
    ASSERT_TRUE(w.logic.FormCreate({}, w.inst.exePath()));
    w.logon.ok = false;
    platform::clearTerminateRequest();
    EXPECT_FALSE(w.logic.FirstShow());
    EXPECT_TRUE(platform::terminateRequested());
    platform::clearTerminateRequest();
    EXPECT_FALSE(w.logic.LoggedOn);
}

} // namespace
