// Product version list.
#include "accdb/SeihinVersionList.h"

#include <cstdlib>
#include <memory>

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "accdb/AppInfo.h"
#include "accdb/MojiBunkatu.h"
#include "platform/Registry.h"

namespace {

std::string upperAscii(std::string s) {
    for (auto& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

// Version text split at '.'; empty unless it has exactly three parts.
std::vector<std::string> threeParts(const std::string& text) {
    auto parts = ParseDelimitedText(text, '.');
    if (parts.size() != 3) parts.clear();
    return parts;
}

} // namespace

TSeihinVersionList::TSeihinVersionList() {
    ProductWord = LogonMode == 2 ? AppInfo.MirdovaRegKey
                                 : LogonMode == 3 ? AppInfo.RiredozaRegKey : AppInfo.DovozRegKey;
    ProgramMajor = std::atoi(SystemDef.AppVer.c_str());
}

void TSeihinVersionList::Clear() {
    Entries.clear();
    Names.clear();
    Count = 0;
}

void TSeihinVersionList::add(const TDataVersionRec& r) {
    Entries.push_back(r);
    Names.push_back(r.TypeName);
}

void TSeihinVersionList::Load(bool SortDescending) {
    Clear();
    if (!FirstName.empty()) add({0, 0, 0, FirstName});
    if (OemEdition == 0) {
        const std::pair<const char*, const char*> fixed[] = {{"1.0.0", "09版"}, {"2.0.0", "10版"}, {"3.0.0", "11版"}};
        for (const auto& [ver, name] : fixed) {
            const auto p = threeParts(ver);
            if (!p.empty()) add({StrToIntDef(p[0], 0), StrToIntDef(p[1], 0), 0, name});
        }
    }
    for (int m = 4; m <= ProgramMajor; ++m) add({m, 0, 0, std::to_string(m + 8) + "版"});

    auto reg = RegistryFolder.empty()
                   ? std::make_unique<platform::Registry>(platform::RegRoot::LocalMachine)
                   : std::make_unique<platform::Registry>(platform::RegRoot::LocalMachine, RegistryFolder);
    const std::string root = AppInfo.RegKey;
    if (!root.empty() && reg->keyExists(root)) {
        const std::string word = upperAscii(ProductWord);
        for (const auto& sub : reg->subKeys(root)) {
            if (upperAscii(sub).find(word) == std::string::npos) continue;
            const std::string key = root + "\\" + sub;
            const auto p = threeParts(reg->readValue(key, "Version").text);
            if (p.empty()) continue;
            const int major = StrToIntDef(p[0], 0), minor = StrToIntDef(p[1], 0);
            bool known = false;
            for (const auto& e : Entries)
                if (e.Major == major && e.Minor == minor) known = true;
            if (!known) add({major, minor, 0, reg->readValue(key, "Type").text});
        }
    }
    Count = static_cast<int>(Entries.size());
    if (SortDescending) Sort(true);
}

void TSeihinVersionList::Sort(bool Descending) {
    const std::size_t first = !FirstName.empty() && !Entries.empty() ? 1 : 0;
    auto before = [Descending](const TDataVersionRec& a, const TDataVersionRec& b) {
        const long ka = a.Major * 100000L + a.Minor, kb = b.Major * 100000L + b.Minor;
        return Descending ? ka > kb : ka < kb;
    };
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t i = first; i + 1 < Entries.size(); ++i) {
            if (before(Entries[i + 1], Entries[i])) {
                std::swap(Entries[i], Entries[i + 1]);
                swapped = true;
            }
        }
    }
    Names.clear();
    for (const auto& e : Entries) Names.push_back(e.TypeName);
}

void TSeihinVersionList::GetText(std::string& Text) const {
    Text.clear();
    for (const auto& n : Names) Text += n + "\r\n";
}

void TSeihinVersionList::GetVersionText(int Index, std::string& S) const {
    S.clear();
    if (Index < 0 || Index >= Count) return;
    const auto& e = Entries[Index];
    if (e.Major == 0 && e.Minor == 0) return;
    S = std::to_string(e.Major) + "." + std::to_string(e.Minor);
}

void TSeihinVersionList::GetTypeName(int Index, std::string& S) const {
    S = Index >= 0 && Index < Count ? Entries[Index].TypeName : "";
}

int TSeihinVersionList::IndexOfTypeName(const std::string& Name) const {
    for (std::size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].TypeName == Name) return static_cast<int>(i);
    return -1;
}
