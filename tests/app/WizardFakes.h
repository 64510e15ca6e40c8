#pragma once
// Doubles for the wizard's services: a data module that records its calls,
// a logon with a fixed answer, a view that records what the rules asked of
// the window, and an exporter over a scripted product registry.
#include "app/ComRendo.h"
#include "app/hj19.h"
#include "app/WizardServices.h"
#include "app/XMLSaveDoc.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace wizardtest {

class FakeDm : public IWizardDataModule {
public:
    std::vector<std::string> calls;
    std::set<std::string> noInfo;        // data folders whose settings cannot be read
    std::map<std::string, std::string> versions; // folder -> data version (default 14.0.0)
    bool password = true, sisetu = true, siten = true, sysDef = true;
    bool defConnected = false;
    std::string connected; // folder of the connected data database
    std::set<std::string> inUse;

    bool AccDefConnected(const std::string&) override { calls.push_back("def+"); return defConnected = true; }
    bool DefIsConnected() override { return defConnected; }
    void DefDisconnect() override { calls.push_back("def-"); defConnected = false; }
    bool AccDatConnected(const std::string&, const std::string& dir, bool mark) override {
        calls.push_back("dat+ " + dir);
        connected = dir;
        if (mark)
            inUse.insert(dir);
        return true;
    }
    bool DatIsConnected() override { return !connected.empty(); }
    void AccDatDisconnect(const std::string&, int markFree, int) override {
        calls.push_back("dat- " + connected);
        if (markFree)
            inUse.erase(connected);
        connected.clear();
    }
    bool GetAccInfo(TOpenDataInfo& info) override {
        if (noInfo.count(connected))
            return false;
        info = TOpenDataInfo{};
        info.DataType = 1;
        info.DataTypeName = "法人";
        info.Shougou = "会社 " + connected;
        info.Nendo = 5;
        info.Kishu = 45383;  // 2024/04/01
        info.Kimatu = 45747; // 2025/03/31
        return true;
    }
    std::string GetDataBaseVer() override {
        auto it = versions.find(connected);
        return it == versions.end() ? "14.0.0" : it->second;
    }
    bool CheckDataPassword() override { return password; }
    bool ExistsOpeDefSisetu() override { return sisetu; }
    bool HasAllSitenKengen(int) override { return siten; }
    bool GetSysDef() override { return sysDef; }
    void LoadGengo() override { calls.push_back("gengo"); }
    void DeleteLogonInfo() override { calls.push_back("logoff"); }
    std::unique_ptr<SisanReader> MakeSisanReader(const TOpenDataInfo&) override { return nullptr; }
};

class FakeLogon : public ILogon {
public:
    bool ready = true, ok = true;
    bool Prepare() override { return ready; }
    bool Execute() override { return ok; }
};

class FakeView : public IWizardView {
public:
    std::vector<std::string> events;
    std::string fileText;
    int closes = 0;
    void ShowProgress(const std::string& c, const std::string&) override { events.push_back("progress " + c); }
    void StopProgressAnimation() override {}
    void CloseProgress() override { events.push_back("progress-"); }
    void SetBusyCursor(bool busy) override { events.push_back(busy ? "busy+" : "busy-"); }
    void FocusDataButton() override { events.push_back("focus"); }
    void SetNextCaption(const std::string&) override {}
    void DataRowsChanged() override {}
    void SummaryChanged() override {}
    std::string FileEditText() override { return fileText; }
    void SetFileEditText(const std::string& t) override { fileText = t; }
    void CloseForm() override { ++closes; }
};

class ScriptRegistry : public ProductRegistry {
public:
    std::string version = "14.0.1";
    std::optional<std::vector<std::string>> Subkeys(const std::string&) override {
        return std::vector<std::string>{"TavrinZaimu14"};
    }
    std::optional<std::string> Value(const std::string&, const std::string& name) override {
        if (name == "Product")
            return std::string("タヴリン財務");
        if (name == "Version")
            return version;
        return std::nullopt;
    }
};

// An exporter whose Export does what the test says: nothing, or throw.
class TestExporter : public TComDataExport {
public:
    using TComDataExport::TComDataExport;
    std::optional<EDataExportError> error;
    bool throwOther = false;
    void Export(TXmlSaveDoc&) override {
        if (error)
            throw *error;
        if (throwOther)
            throw std::runtime_error("boom");
    }
};

// A program folder with AppInfo.ini and a data root.
struct Install {
    testsupport::TempDir dir;
    ScriptRegistry registry;
    TestExporter* last = nullptr;
    std::optional<EDataExportError> error;
    Install() {
        std::filesystem::create_directories(dir / "bin");
        std::ofstream(dir / "bin" / "AppInfo.ini") << "[Application]\r\nOEM=Brevan\r\n[Dovoz]\r\nAppTitle=Tavrin\r\n";
    }
    std::string exePath() const { return (dir / "bin" / "zorute_rendo").string(); }
    TComDataExportEnv env(bool byCaller) {
        TComDataExportEnv e;
        e.ExePath = exePath();
        e.CommonAppDataDir = (dir / "common").string();
        e.Registry = &registry;
        e.StartedByCaller = byCaller;
        return e;
    }
    auto factory() {
        return [this](int id, const std::string& file, bool byCaller) {
            auto ex = std::make_unique<TestExporter>(env(byCaller), id, file);
            ex->error = error;
            last = ex.get();
            return std::unique_ptr<TComDataExport>(std::move(ex));
        };
    }
};

} // namespace wizardtest
