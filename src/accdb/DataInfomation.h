#pragma once
// Status and basic facts of one data set, kept where every screen that
// lists data sets looks for them: the status file beside the database in
// stand-alone use (connection kind 0), the data-list row of the system
// database in client/server use (kinds 1 and 2). Also moves a shared data
// set between the share server and the local working copy, and answers the
// rights and password questions before a data set is opened.
//
// The record and the file layout live in DataStatus.h; this class is the
// full store the data module uses once InstallDataInfomation() has run.
#include <cstdint>
#include <string>
#include <vector>

#include "accdb/DataStatus.h"
#include "accdb/SeihinVersionList.h"

class TDataInfomation : public TBasicDataStatusStore {
public:
    TDataInfomation();

    std::uint8_t ConnectKind = 0;
    TDataInfomationRec Info;
    // Names the data versions (loaded at creation); first match wins.
    TSeihinVersionList VersionList;

    bool ReadIniFile(const std::string& Host, const std::string& Folder, TDataInfomationRec& Rec);
    bool GetDataStatus(const std::string& Folder, TDataInfomationRec& Rec);
    void SetDataStatus(const std::string& Folder, std::uint8_t Status);
    void SetShareStatus(const std::string& Folder, std::uint8_t Status);
    int ChangeShareStatus(const std::string& Folder, std::uint8_t Status);
    void WriteIniFile(const std::string& Folder, const std::string& Section, const TDataInfomationRec& Rec) override;
    // Value empty with Delete false writes an empty value.
    void WriteIniValue(const std::string& Folder, const std::string& Section, bool Delete, const std::string& Value,
                       const std::string& Key);
    void RefreshIniFile(const std::string& Folder, const std::string& Section);
    bool GetDataInfoRec(TDataInfomationRec& Rec) override;
    bool ReadDataInfo(const std::string& Folder, TDataInfomationRec& Rec);
    void UpdateDataInfomation(const std::string& Host, const std::string& Folder, TDataInfomationRec& Rec);
    int PutShareData(const std::string& ShareFolder, const std::string& LocalFolder, int Silent);
    int GetShareData(const std::string& ShareFolder, const std::string& LocalFolder, int Silent);
    bool IsDataSiyouKengen(const std::string& Folder);
    bool IsDataPasswordAuth(const std::string& Folder);
    void GetSeihinVersionName(int Major, int Minor, std::string& Name) const;

private:
    bool writesStatus() const { return ConnectKind == 0 || ConnectKind > 2; }
    void setStatusKeys(const std::string& Folder, const char* StatusKey, const char* CodeKey, const char* NameKey,
                       std::uint8_t Status);
};

// Reads the status file of a folder as it stands (no database access).
void ReadDataStatusFile(const std::string& Folder, TDataInfomationRec& Rec);

// Makes the data module use TDataInfomation for its status writes.
void InstallDataInfomation();
