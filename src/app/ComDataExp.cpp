#include "app/ComDataExp.h"

#include "accdb/AccRecord.h"
#include "accdb/AppInfo.h"
#include "app/XMLSaveDoc.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* kIniName = "Zorute.ini";
constexpr const char* kSection = "RENKETUNOUZEI_G";

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

TComDataExportEnv TComDataExportEnv::FromProgram(const std::string& exeName, ProductRegistry* registry,
                                                 bool startedByCaller) {
    TComDataExportEnv env;
    env.ExePath = platform::executableFolder() + "/" + exeName;
    env.CommonAppDataDir = platform::commonAppDataFolder();
    if (!::HomeDir.empty())
        env.HomeDir = ::HomeDir;
    if (!AppInfo.RegKey.empty())
        env.ApplicationRegKey = AppInfo.RegKey;
    if (!AppInfo.DovozRegKey.empty())
        env.DovozRegKey = AppInfo.DovozRegKey;
    env.Registry = registry;
    env.StartedByCaller = startedByCaller;
    return env;
}

TComDataExport::TComDataExport(const TComDataExportEnv& env, int functionId, const std::string& fileName) : env_(env) {
    fs::path exe(env.ExePath);
    ExeFileName = exe.filename().string();
    std::transform(ExeFileName.begin(), ExeFileName.end(), ExeFileName.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    ExeDir = exe.parent_path().string();
    ExeDrive = exe.root_path().string();

    std::string common = env.CommonAppDataDir.empty() ? ExeDir : env.CommonAppDataDir;
    while (common.size() > 1 && common.back() == '/')
        common.pop_back();
    DataRoot = common + "/" + env.HomeDir;
    IniFolder = DataRoot + "/ini";
    std::error_code ec;
    fs::create_directories(IniFolder, ec); // a failure shows later, when the file cannot be written

    ProductName = GetProductRegValue(14, 0, "Product");
    ProductVersion = GetProductRegValue(14, 0, "Version");
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d.%d", 14, 0, 0);
    RequiredVersion = buf;

    Caption = "連結納税のゾルテ（平成25年度版 以降） from " + ProductName + "（減価償却）";
    ConnectedProgramVer = "14.0.0";
    ProgramTitle = "連結納税のゾルテ（減価償却）";
    TargetKind = "RC_G";
    GivenFunctionId = functionId;
    GyoumuPrefix = "RC25";
    FormatVersion = 1;
    FunctionId = functionId == 0 ? 1 : functionId;

    KomonsakiName.clear();
    FiscalYearNo = 0;
    FiscalStart = 0;
    FiscalEnd = 0;
    ClosingDay = 99;
    ExportFile = fileName;
    ReadTargetIni();
}

TComDataExport::~TComDataExport() {
    try {
        WriteTargetIni();
    } catch (...) {
        // settings that cannot be written are not worth a failure at exit
    }
}

std::string TComDataExport::TargetIniPath() const { return IniFolder + "/" + kIniName; }

void TComDataExport::ReadTargetIni() {
    // An unreadable settings file reads as empty values.
    platform::IniFile ini(TargetIniPath());
    auto get = [&](const char* key) {
        try {
            return ini.readString(kSection, key);
        } catch (const std::exception&) {
            return std::string();
        }
    };
    IniData = get("DATA");
    KomonsakiName = get("KOMONSAKI");
    if (!env_.StartedByCaller)
        ExportFile = get("EXPORTFILE");
}

void TComDataExport::WriteTargetIni() {
    platform::IniFile ini(TargetIniPath());
    ini.writeString(kSection, "DATA", IniData);
    ini.writeString(kSection, "KOMONSAKI", KomonsakiName);
    if (!env_.StartedByCaller)
        ini.writeString(kSection, "EXPORTFILE", ExportFile);
}

std::string TComDataExport::GetProductRegValue(int versionMajor, int /*sub*/, const std::string& valueName) {
    if (!env_.Registry)
        return {};
    auto names = env_.Registry->Subkeys(env_.ApplicationRegKey);
    if (!names)
        return {};
    char two[16];
    std::snprintf(two, sizeof two, "%.2d", versionMajor);
    std::string pattern = lower(env_.DovozRegKey) + two;
    // Of several matching subkeys the one listed last wins.
    for (auto it = names->rbegin(); it != names->rend(); ++it) {
        if (lower(*it).find(pattern) == std::string::npos)
            continue;
        return env_.Registry->Value(env_.ApplicationRegKey + "\\" + *it, valueName).value_or(std::string());
    }
    return {};
}

void TComDataExport::SetHeaderNode(TXmlSaveDoc& doc) {
    doc.CreateRoot("REPORT", "");
    auto system = doc.AddNode(TXmlSaveDoc::NoNode, "SYSTEM");
    doc.AddTextNode(system, "GYOUMUPREFIX", GyoumuPrefix);
    doc.AddTextNode(system, "VERSION", std::to_string(FormatVersion));
    doc.AddTextNode(system, "FUNCTIONID", std::to_string(FunctionId));
    doc.AddTextNode(system, "CONNECTEDPROGRAMVER", ConnectedProgramVer);
    doc.AddTextNode(system, "PROGRAMNAME", ProductName);
    doc.AddTextNode(system, "PROGRAMVER", ProductVersion);
}

void TComDataExport::SetBasicNode(TXmlSaveDoc& doc) {
    if (GyoumuPrefix != "RC25")
        throw EDataExportError("連動データの業務区分が正しくありません。", GyoumuPrefix, 0);
    auto basic = doc.AddNode(TXmlSaveDoc::NoNode, "BASIC");
    doc.AddTextNode(basic, "KOMONSAKINAME", KomonsakiName);
    doc.AddTextNode(basic, "JIGYOUNENDOFROM", datecore::formatDateTime("yyyymmdd", FiscalStart));
    doc.AddTextNode(basic, "JIGYOUNENDOTO", datecore::formatDateTime("yyyymmdd", FiscalEnd));
    auto pattern = doc.AddNode(basic, "PATTERN");
    auto bs = doc.AddNode(pattern, "BS");
    auto ca = doc.AddNode(bs, "CA");
    doc.AddTextNode(ca, "Doubtful", "A2");
    auto ppe = doc.AddNode(bs, "PPE");
    doc.AddTextNode(ppe, "DepImp", "B6");
    auto ioa = doc.AddNode(bs, "IOA");
    doc.AddTextNode(ioa, "Doubtful", "C2");
    doc.AddTextNode(ioa, "DepImp", "D6");
    auto pl = doc.AddNode(pattern, "PL");
    doc.AddTextNode(pl, "Sales", "E3");
    doc.AddTextNode(pl, "Cos", "F1");
    doc.AddTextNode(pl, "Sga", "G1");
}

KeyStoreProductRegistry::KeyStoreProductRegistry() : store_(std::make_unique<platform::Registry>(platform::RegRoot::LocalMachine)) {}
KeyStoreProductRegistry::KeyStoreProductRegistry(const std::string& folder)
    : store_(std::make_unique<platform::Registry>(platform::RegRoot::LocalMachine, folder)) {}
KeyStoreProductRegistry::~KeyStoreProductRegistry() = default;

std::optional<std::vector<std::string>> KeyStoreProductRegistry::Subkeys(const std::string& key) {
    try {
        if (!store_->keyExists(key))
            return std::nullopt;
        return store_->subKeys(key);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::string> KeyStoreProductRegistry::Value(const std::string& key, const std::string& name) {
    try {
        platform::RegValue v = store_->readValue(key, name);
        if (v.kind == platform::RegValue::String)
            return v.text;
        if (v.kind == platform::RegValue::Integer)
            return std::to_string(v.number);
    } catch (const std::exception&) {
    }
    return std::nullopt;
}
