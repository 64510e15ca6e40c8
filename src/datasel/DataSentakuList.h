#pragma once
// Access to the data list of an operator group in the system database:
// reading the whole list with its child rows, and reading, writing and
// removing single rows.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "accdb/DataStatus.h"
#include "datasel/DataListRec.h"

namespace db {
class Transaction;
class Statement;
} // namespace db

// What the list reads of the program-wide settings.
struct TDataListSettings {
    std::int32_t GroupId = 10000;
    std::int32_t OpCode = 0;
    // The working copies of shared data live under it ("%s/%.4d").
    std::string SystemFolder;
    // The system database's version: decides the CLOUD and READ_ONLY columns.
    std::int32_t SysDbVerMajor = 0;
    std::int32_t SysDbVerMinor1 = 0;
    std::int32_t SysDbVerMinor2 = 0;
    // Number of fixed slots: rows up to it are never deleted or renumbered.
    std::int32_t DataListCnt = 120;

    // From the program-wide settings record.
    static TDataListSettings FromSystemDef();
};

class TDataSentakuListCtl {
public:
    // Works in `systemTx`, the system database's default transaction.
    TDataSentakuListCtl(db::Transaction& systemTx, const TDataListSettings& settings);
    // With the program-wide settings.
    explicit TDataSentakuListCtl(db::Transaction& systemTx);

    std::uint8_t ConnectKind = 0;
    std::uint8_t ServerListOnly = 0;
    std::vector<std::string> Lines;
    std::int32_t RowCount = 0;
    TDataSentakuRecArray Rows;
    std::int32_t ChildCount = 0;
    TDataListArray ChildRows;
    std::uint8_t EntTextMode = 0;
    std::int32_t NendoFilter = 0;
    std::string ShougouFilter;
    std::vector<std::string> FolderList;
    std::int32_t DataPlaceRec = 0;
    std::string ListTable = "DATALIST";
    std::uint8_t HasCloudColumn = 0;
    std::uint8_t HasReadOnlyColumn = 0;
    TDataListSettings Settings;

    // Reports a failure (database errors and others) with its context and text.
    std::function<void(const std::exception& e, const std::string& context, const std::string& text)> ErrorReporter;
    // Period text of a row from its first and last day.
    std::function<std::string(TDataListDate kishu, TDataListDate kimatu)> KikanFormatter;
    // Turns a working-copy path into the row's list path (shared data);
    // false when the path is not a data-list path. The default keeps it.
    std::function<bool(const std::string& path, TDataListRec& row)> LocalPathToData;
    // Mirror a shared row or child row into the share-server list.
    std::function<void(const TDataListRec& row, bool withNames)> UpdateServerRow;
    std::function<void(const TDataListRec& row)> UpdateServerChildRow;

    void SetDataPlaceRec(std::int32_t placeRec);
    static std::string GetDataStatusText(std::int32_t status);
    std::string GetLocalDataPath(const TDataListRec& row) const;
    void ClearRows();
    void SetDataListRecFromInfo(const TDataInfomationRec& info, TDataListRec& row) const;
    static void SetChildDisplayNames(TDataSentakuRec& row);
    static void RemoveChildRow(TDataSentakuRec& row, std::int32_t index);
    // Sub-folders of a folder without the suite's backup folders; of a row's
    // PASNAME; of its local path.
    void GetDataFolderList(const std::string& folder, std::vector<std::string>& list) const;
    void GetSubFolders(const TDataListRec& row, std::vector<std::string>& list) const;
    void GetLocalSubFolders(const TDataListRec& row, std::vector<std::string>& list) const;

    // Reads the group's list: parents into Rows, children into ChildRows and
    // under their parents.
    void Execute(std::int32_t kyoyuMode, std::uint8_t sortKey, const std::string& orderText, std::uint8_t descending);

    void InitDataListRecord(TDataListRec& row, const std::string& path) const;
    void GetDataListRecord(std::uint8_t mode, TDataListRec& row, bool reportErrors);
    bool InsertDataListRecord(TDataListRec& row, bool reportErrors);
    bool UpdateDataListRecord(const TDataListRec& row, bool withNames, bool reportErrors);
    bool DeleteDataListRecord(const TDataListRec& row, bool reportErrors);
    void RenumberRec();
    void GetDataListChildRecord(TDataSentakuRec& row, bool reportErrors);
    bool UpdateDataListChildRecord(const TDataListRec& row, bool reportErrors);
    bool DeleteDataListChildRecord(const TDataListRec& row, bool reportErrors);
    std::int32_t GetDataFolderName(std::int32_t offset);
    bool IsDataPathToroku(const std::string& path);
    void GetRecByPath(const std::string& path, std::int32_t& rec);

private:
    std::string cloudItems() const;
    std::string placeCondition() const;
    std::string placeConditionText() const;
    void readColumns(db::Statement& q, TDataListRec& row, bool withRowNo) const;
    void readParentRow(db::Statement& q, TDataSentakuRec& row) const;
    void readChildRow(db::Statement& q, TDataListRec& row) const;
    void bindRowParams(db::Statement& q, const TDataListRec& row) const;
    void report(const std::exception& e, const char* context, const char* text) const;

    db::Transaction& tx_;
};

namespace datasel {
// Removes half-width blanks and ideographic spaces at both ends.
std::string TrimZen(const std::string& text);
// ASCII upper case (as the database's UPPER on these paths).
std::string UpperAscii(std::string text);
// '\' to '/'.
std::string ToSlashPath(std::string path);
// The record number of a data folder path: the component after the first
// one named DATA or CB_DATA (case-insensitive), 0 when none or not a number.
std::int32_t RecOfDataPath(const std::string& path);
} // namespace datasel
