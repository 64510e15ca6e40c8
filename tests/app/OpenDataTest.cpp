#include "WizardFakes.h"

#include "accdb/AccRecord.h"
#include "app/OpenData.h"
#include "platform/Prompt.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

using namespace wizardtest;

namespace {

struct Opener {
    FakeDm dm;
    TNoSharedData shared;
    TNoCloudShare cloud;
    FakeView view;
    platform::ScriptedPrompt prompt;
    TDataOpener opener{dm, shared, cloud, view};
    std::deque<std::string> choices; // folders the selection returns; "" = cancelled
    std::vector<std::string> params;
    Opener() {
        ResetAccRecordGlobals();
        ProcessLauncherHook = [this](const std::string& name, int modal, const std::string& p) {
            EXPECT_EQ(name, "VqDataSenkaku");
            EXPECT_EQ(modal, 1);
            params.push_back(p);
            if (choices.empty() || choices.front().empty()) {
                if (!choices.empty())
                    choices.pop_front();
                return 2;
            }
            SystemDef.DataDir = choices.front();
            choices.pop_front();
            return 1;
        };
    }
    ~Opener() { ResetAccRecordGlobals(); }
};

TEST(OpenData, ChosenDataSetIsConnectedAndListed) {
    Opener o;
    o.choices = {"/d/a"};
    o.opener.DataSentakuClick();
    EXPECT_TRUE(o.opener.DataConnected);
    EXPECT_EQ(o.dm.connected, "/d/a");
    EXPECT_EQ(o.dm.inUse, std::set<std::string>{"/d/a"});
    EXPECT_EQ(o.params.front(), "SyoriType=3\rJyokenSet=1\rDataType=-13\rCodeType=0\rDataVerMajor=14");
    ASSERT_EQ(o.opener.DataRows.size(), 4u);
    EXPECT_EQ(o.opener.DataRows[0], "データ区分=法人");
    EXPECT_EQ(o.opener.DataRows[1], "会社名=会社 /d/a");
    EXPECT_EQ(o.opener.DataRows[2], "会計年度=5期");
    EXPECT_EQ(o.opener.DataRows[3].rfind("会計期間=", 0), 0u);
    EXPECT_EQ(o.view.events.front(), "progress 接続中");
}

TEST(OpenData, RefusedDataSetIsFreedBeforeTheNextIsConnected) {
    Opener o;
    o.dm.noInfo = {"/d/bad"};
    o.choices = {"/d/bad", "/d/good"};
    o.prompt.answer(platform::mrOk); // choose another
    o.opener.DataSentakuClick();
    EXPECT_EQ(o.dm.inUse, std::set<std::string>{"/d/good"});
    auto first = std::find(o.dm.calls.begin(), o.dm.calls.end(), "dat+ /d/bad");
    auto freed = std::find(o.dm.calls.begin(), o.dm.calls.end(), "dat- /d/bad");
    auto next = std::find(o.dm.calls.begin(), o.dm.calls.end(), "dat+ /d/good");
    ASSERT_NE(freed, o.dm.calls.end());
    EXPECT_LT(first, freed);
    EXPECT_LT(freed, next);
    EXPECT_EQ(o.prompt.messages.at(0).lines.at(0).text, "データの接続に失敗しました。");
}

TEST(OpenData, ChecksRefuseWithTheirBoxes) {
    struct Case {
        const char* name;
        std::function<void(FakeDm&)> fault;
        const char* firstLine;
    } cases[] = {
        {"version", [](FakeDm& d) { d.versions["/d/a"] = "13.2.0"; },
         "このプログラムで処理できるデータバージョンに達していません。"},
        {"password", [](FakeDm& d) { d.password = false; },
         "このデータに設定されている「パスワード」と一致しませんでした。"},
        {"facility", [](FakeDm& d) { d.sisetu = false; }, "このデータを扱う権限がありません。"},
        {"branch", [](FakeDm& d) { d.siten = false; },
         "このデータを扱う権限が不足しています。（支店毎の処理権限をすべて有していない）"},
    };
    for (const auto& c : cases) {
        Opener o;
        c.fault(o.dm);
        o.choices = {"/d/a"};
        o.prompt.answer(platform::mrCancel);
        o.opener.DataSentakuClick();
        ASSERT_FALSE(o.prompt.messages.empty()) << c.name;
        EXPECT_EQ(o.prompt.messages[0].lines[0].text, c.firstLine) << c.name;
        EXPECT_EQ(o.prompt.messages[0].kind, platform::pkConfirmation);
        EXPECT_TRUE(o.opener.DataRows.empty()) << c.name;
        EXPECT_FALSE(o.opener.DataConnected);
        EXPECT_TRUE(o.dm.inUse.empty()) << c.name;
        EXPECT_TRUE(o.dm.connected.empty()) << c.name;
    }
}

TEST(OpenData, CancelledSelectionReopensThePreviousDataSet) {
    Opener o;
    o.choices = {"/d/a"};
    o.opener.DataSentakuClick();
    o.choices = {""};
    o.opener.DataSentakuClick();
    EXPECT_TRUE(o.opener.DataConnected);
    EXPECT_EQ(o.dm.connected, "/d/a");
    EXPECT_EQ(SystemDef.DataDir, "/d/a");
    EXPECT_EQ(o.opener.DataRows.size(), 4u);
}

TEST(OpenData, CloudShareOnlyForLinkedDataSets) {
    struct Cloud : ICloudShare {
        int receive = 0, send = 0, answer = 0;
        int CloudShareReceive(const std::string&, int, int) override { ++receive; return answer; }
        int CloudShareSend(const std::string&, const std::string&, int) override { ++send; return answer; }
    };
    FakeDm dm;
    TNoSharedData shared;
    Cloud cloud;
    FakeView view;
    TDataOpener opener(dm, shared, cloud, view);
    ResetAccRecordGlobals();
    EXPECT_EQ(opener.ExecCloudShare(0, ""), 1);
    EXPECT_EQ(cloud.receive, 0);
    opener.Info.Cloud = 1;
    cloud.answer = 3;
    EXPECT_EQ(opener.ExecCloudShare(0, ""), -1);
    EXPECT_EQ(opener.ExecCloudShare(1, ""), -1);
    ConnectKind = 2;
    EXPECT_EQ(opener.ExecCloudShare(1, ""), 1);
    EXPECT_EQ(cloud.send, 1);
    ResetAccRecordGlobals();
}

TEST(OpenData, SharedAndCloudCopiesAreReceivedWithTheDataSetDetached) {
    struct Shared : TNoSharedData {
        FakeDm& dm;
        bool onShare = false;
        std::vector<bool> attached;
        explicit Shared(FakeDm& d) : dm(d) {}
        bool ConvLocalPathToSharePath(const std::string&, std::string& share, int& lock, int& net) override {
            share = "/share/0001";
            lock = 0;
            net = onShare ? 1 : 0;
            return true;
        }
        int KyoyuDataDown(const std::string&) override {
            attached.push_back(dm.DatIsConnected());
            return 1;
        }
    };
    struct Cloud : TNoCloudShare {
        FakeDm& dm;
        std::vector<bool> attached;
        explicit Cloud(FakeDm& d) : dm(d) {}
        int CloudShareReceive(const std::string&, int, int) override {
            attached.push_back(dm.DatIsConnected());
            return 0;
        }
    };
    // A shared data set, and one linked to the cloud share.
    for (bool onShare : {true, false}) {
        SCOPED_TRACE(onShare ? "shared" : "cloud");
        ResetAccRecordGlobals();
        testsupport::TempDir dir;
        const std::string folder = (dir / "0001").string();
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/" + DataFile) << "x";
        SystemDef.DataDir = folder;
        SystemDef.Settings.KyoyuAuto = 1;
        FakeDm dm;
        Shared shared(dm);
        shared.onShare = onShare;
        Cloud cloud(dm);
        FakeView view;
        platform::ScriptedPrompt prompt;
        TDataOpener opener(dm, shared, cloud, view);
        opener.Info.Cloud = onShare ? 0 : 1;
        opener.DataConnected = dm.AccDatConnected("", folder, true);
        EXPECT_EQ(opener.AcquireSharedData(), 1) << (prompt.texts().empty() ? "" : prompt.texts().front());
        EXPECT_EQ(shared.attached, onShare ? std::vector<bool>{false} : std::vector<bool>{});
        EXPECT_EQ(cloud.attached, onShare ? std::vector<bool>{} : std::vector<bool>{false});
        EXPECT_FALSE(opener.DataConnected);
        EXPECT_TRUE(dm.inUse.empty()) << "the data set is marked free before its copy is received";
    }
    ResetAccRecordGlobals();
}

} // namespace
