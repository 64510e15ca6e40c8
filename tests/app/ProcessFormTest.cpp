#include "accdb/AccRecord.h"
#include "app/ProcessForm.h"
#include "platform/Prompt.h"

#include <gtest/gtest.h>

namespace {

struct Seen {
    std::vector<std::string> params;
    int created = 0;
    int executed = 0;
    int destroyed = 0;
} seen;

class FormA : public TProcessComponent, public IProcessForm {
public:
    FormA() { ++seen.created; }
    ~FormA() override { ++seen.destroyed; }
    int Execute(std::uint8_t modal) override {
        ++seen.executed;
        return modal == 1 ? 7 : 1;
    }
    void SetParams(const std::vector<std::string>& p) override { seen.params = p; }
    static std::unique_ptr<TProcessComponent> Create() { return std::make_unique<FormA>(); }
};

class FormB : public FormA {
public:
    static std::unique_ptr<TProcessComponent> Create() { return std::make_unique<FormB>(); }
    int Execute(std::uint8_t) override {
        // A launch from inside a running one is refused.
        return ExecProcessForm("FormA", 1, "");
    }
};

// No process interface.
class Plain : public TProcessComponent {
public:
    static std::unique_ptr<TProcessComponent> Create() {
        ++seen.created;
        return std::make_unique<Plain>();
    }
};

class Launcher : public ::testing::Test {
protected:
    void SetUp() override {
        ClearProcessForms();
        seen = Seen{};
        RegisterProcessForm(&FormA::Create, "FormA");
        RegisterProcessForm(&FormA::Create, "Again"); // second registration of a class is ignored
        RegisterProcessForm(&FormB::Create, "FormB");
        RegisterProcessForm(&Plain::Create, "Plain");
    }
    void TearDown() override { ClearProcessForms(); }
    platform::ScriptedPrompt prompt;
};

const char* const kNoInterface =
    "処理を起動するためのインターフェースが実装されていません。\rライブラリのロードに失敗した可能性があります。";

TEST_F(Launcher, Rules) {
    EXPECT_EQ(ExecProcessForm("forma", 1, "SyoriType=3\r\nJyokenSet=1"), 7);
    EXPECT_EQ(seen.params, (std::vector<std::string>{"SyoriType=3", "JyokenSet=1", "FormStyle=2"}));
    EXPECT_EQ(seen.destroyed, 1) << "a modal form is freed after its run";

    EXPECT_EQ(ExecProcessForm("FORMA", 0, "A=1\rB=2"), 1);
    EXPECT_EQ(seen.params, (std::vector<std::string>{"A=1", "B=2", "FormStyle=0"}));

    for (const char* name : {"Again", "Unknown", "Plain"}) {
        prompt.messages.clear();
        EXPECT_EQ(ExecProcessForm(name, 1, ""), -1) << name;
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{kNoInterface}) << name;
    }
    prompt.messages.clear();
    int created = seen.created;
    EXPECT_EQ(ExecProcessForm("", 1, ""), -1);
    SetProcessLaunchBusy(true);
    EXPECT_EQ(ExecProcessForm("FormA", 1, ""), -1);
    SetProcessLaunchBusy(false);
    EXPECT_EQ(seen.created, created) << "nothing created while busy";
    EXPECT_EQ(ExecProcessForm("FormB", 1, ""), -1);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(ProcessLaunchBusy());
}

TEST(Hooks, NullMenuRequestAndParams) {
    EXPECT_EQ(NullMenuRequest(10, ""), 0);
    bool found = false;
    EXPECT_EQ(ProcessParam({"a=1", "FORMSTYLE=2"}, "FormStyle", &found), "2");
    EXPECT_TRUE(found);
    ProcessParam({"a=1"}, "FormStyle", &found);
    EXPECT_FALSE(found);
}

struct Verify : IDataVerifyServices {
    bool valid = true;
    std::vector<std::string> calls;
    bool ValidateFDB(const std::string& host, const std::string& path) override {
        calls.push_back("validate " + host + " " + path);
        return valid;
    }
    void MarkDataListDamaged(const std::string& f) override { calls.push_back("row " + f); }
    void SetDamagedStatus(const std::string& f) override {
        calls.push_back("status " + f);
        throw std::runtime_error("status file locked");
    }
};

TEST(Hooks, DataVerifyProc) {
    ResetAccRecordGlobals();
    Verify v;
    SetDataVerifyServices(&v);
    platform::ScriptedPrompt prompt;
    int result = -1;
    DataVerifyProc("127.0.0.1", "/d/a", 0, result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(v.calls, std::vector<std::string>{"validate  /d/a/tvacc.fdb"});
    v.valid = false;
    for (int silent : {0, 1}) {
        v.calls.clear();
        prompt.messages.clear();
        DataVerifyProc("server", "/d/a", silent, result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(SystemDef.DataDamaged, 1);
        EXPECT_EQ(v.calls, (std::vector<std::string>{"validate server /d/a/tvacc.fdb", "row /d/a", "status /d/a"}));
        EXPECT_EQ(prompt.messages.size(), silent ? 0u : 1u);
    }
    SetDataVerifyServices(nullptr);
    ResetAccRecordGlobals();
}

} // namespace
