#pragma once
// Status and basic facts of one data set, and the narrow seam through which
// the data module marks a data set in use or free when it opens and closes
// it.
//
// TDataInfomationRec carries the names of the keys of the data set's status
// file (tvacc.ini beside tvacc.fdb, sections DATASTS and DATAINFO), which
// every screen that lists data sets reads, so its layout is binding.
//
// The data module asks a TDataStatusStore (made by DataStatusStoreFactory)
// to fill the record from the open data database and to rewrite the status
// file. TBasicDataStatusStore is the plain implementation; the full
// data-set information object replaces the factory when it is installed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct TDataInfomationRec {
    std::uint8_t STATUS = 1;        // 1 free, 2 in use, 3 locked, ... 10 damaged
    int OPCODE = 0;
    std::string OPERATOR;
    std::uint8_t SHARE_STATUS = 1;  // 1 at home on the share server, 2 taken out
    int SHARE_OPCODE = 0;
    std::string SHARE_OPERATOR;
    int UPDATE_LOCK = 0;
    int READ_ONLY = 0;
    std::string DATALISTNAME;
    std::string CODE;
    int DATAKBN = 0;
    int CODEKBN = 0;
    std::string SHOUGOU;
    std::string KANA;
    int NENDO = 0;
    std::string KISHU;              // "yyyy/mm/dd"
    std::string KIMATU;
    int TANTO = 0;
    int SITEN = 0;
    int SITENCNT = 0;
    int BUMON = 0;
    int BUMONCNT = 0;
    int SIWAKE = 0;
    int TOTALSIWAKE = 0;
    int VerMajor = 0;
    int VerMinor1 = 0;
    int VerMinor2 = 0;
    std::string VERSION2;
    std::uint8_t GASSANKBN = 0;
    int USEMYNUMBER = 0;
    std::uint8_t CLOUD_SHARE = 0;
};

// The status file of a data folder: <folder>/tvacc.ini (the data file name
// of the name table with the extension ".ini").
std::string DataStatusFilePath(const std::string& DataFolder);

// Rewrites the named section of the status file ("" both, "DATASTS",
// "DATAINFO") from the record: the section is erased and its keys written
// in their fixed order. Raises platform::IniFileError when the file cannot
// be written.
void WriteDataStatusFile(const std::string& DataFolder, const std::string& Section, const TDataInfomationRec& Rec);

class TDataStatusStore {
public:
    virtual ~TDataStatusStore() = default;
    // Clears the record to its free state.
    virtual void ClearInfo(TDataInfomationRec& Rec);
    // Fills the record from the connected data database of the data module.
    virtual bool GetDataInfoRec(TDataInfomationRec& Rec) = 0;
    // Rewrites the status file of the folder.
    virtual void WriteIniFile(const std::string& DataFolder, const std::string& Section,
                              const TDataInfomationRec& Rec) = 0;
};

// Reads the basic facts from ACCDEF1, ACCVERSION and the settings store and
// writes the status file in its fixed layout.
class TBasicDataStatusStore : public TDataStatusStore {
public:
    bool GetDataInfoRec(TDataInfomationRec& Rec) override;
    void WriteIniFile(const std::string& DataFolder, const std::string& Section,
                      const TDataInfomationRec& Rec) override;
};

// Makes the store the data module uses; empty means TBasicDataStatusStore.
extern std::function<std::unique_ptr<TDataStatusStore>()> DataStatusStoreFactory;
std::unique_ptr<TDataStatusStore> MakeDataStatusStore();

// Refreshes the data-list row of a data set from its status record when the
// data module closes it with UpdateList. Empty: the data module refreshes
// the row itself through the data-list access object.
extern std::function<void(const std::string& DataFolder, const TDataInfomationRec& Rec)> DataListRefreshHook;
