#pragma once
// The product versions data sets can carry, each with the name it was sold
// under ("09版", "10版", ...): fixed entries, one per major version up to the
// program's, and the installed products found in the key store.
#include <string>
#include <vector>

struct TDataVersionRec {
    int Major = 0;
    int Minor = 0;
    int Release = 0;
    std::string TypeName;
};

class TSeihinVersionList {
public:
    TSeihinVersionList();
    void Clear();
    void Load(bool SortDescending);
    void Sort(bool Descending);
    void GetText(std::string& Text) const;
    void GetVersionText(int Index, std::string& S) const;
    void GetTypeName(int Index, std::string& S) const;
    int IndexOfTypeName(const std::string& Name) const;

    std::string ProductWord;
    std::string FirstName;
    std::vector<TDataVersionRec> Entries;
    std::vector<std::string> Names;
    int Count = 0;
    // The program's major version (from SystemDef's version text at creation).
    int ProgramMajor = 0;
    // Folder of the key store; empty: the standard one.
    std::string RegistryFolder;

private:
    void add(const TDataVersionRec& r);
};
