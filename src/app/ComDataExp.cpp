#include "app/ComDataExp.h"

#include "app/XMLSaveDoc.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kIniName = "Zorute.ini";
constexpr const char* kSection = "RENKETUNOUZEI_G";

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// The target settings file is a small ini file in CP932. Only what the
// exporter needs: read the keys of one section, set keys of one section
// keeping every other line.
std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string utf8;
        lines.push_back(platform::tryFromCp932(line, utf8) ? utf8 : std::string());
    }
    return lines;
}

bool isSection(const std::string& line, std::string* name) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    if (name)
        *name = trim(t.substr(1, t.size() - 2));
    return true;
}

std::string iniRead(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
    bool in = false;
    for (const auto& line : lines) {
        std::string name;
        if (isSection(line, &name)) {
            in = lower(name) == lower(section);
            continue;
        }
        if (!in)
            continue;
        auto eq = line.find('=');
        if (eq != std::string::npos && lower(trim(line.substr(0, eq))) == lower(key))
            return trim(line.substr(eq + 1));
    }
    return {};
}

void iniSet(std::vector<std::string>& lines, const std::string& section, const std::string& key, const std::string& value) {
    std::size_t start = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (isSection(lines[i], &name) && lower(name) == lower(section)) {
            start = i;
            break;
        }
    }
    if (start == lines.size()) {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
        return;
    }
    std::size_t end = start + 1;
    while (end < lines.size() && !isSection(lines[end], nullptr))
        ++end;
    for (std::size_t i = start + 1; i < end; ++i) {
        auto eq = lines[i].find('=');
        if (eq != std::string::npos && lower(trim(lines[i].substr(0, eq))) == lower(key)) {
            lines[i] = key + "=" + value;
            return;
        }
    }
    std::size_t at = end;
    while (at > start + 1 && trim(lines[at - 1]).empty())
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + value);
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        std::string cp;
        if (!platform::tryToCp932(line, cp))
            continue; // a line the file cannot hold is left out rather than garbled
        bytes += cp + "\r\n";
    }
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return;
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec)
        fs::remove(tmp, ec);
}

} // namespace

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
    auto lines = readLines(TargetIniPath());
    IniData = iniRead(lines, kSection, "DATA");
    KomonsakiName = iniRead(lines, kSection, "KOMONSAKI");
    if (!env_.StartedByCaller)
        ExportFile = iniRead(lines, kSection, "EXPORTFILE");
}

void TComDataExport::WriteTargetIni() {
    auto lines = readLines(TargetIniPath());
    iniSet(lines, kSection, "DATA", IniData);
    iniSet(lines, kSection, "KOMONSAKI", KomonsakiName);
    if (!env_.StartedByCaller)
        iniSet(lines, kSection, "EXPORTFILE", ExportFile);
    writeLines(TargetIniPath(), lines);
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
