#pragma once
// What the converter wizard needs of the rest of the suite, as small
// interfaces: the data module's connections and checks, the logon dialog,
// shared data on the file server, the cloud share and the wizard's own
// window. The program plugs in the real services; tests plug in doubles.
#include "accdb/AccRecord.h"

#include <memory>
#include <string>
#include <vector>

class SisanReader;

// The open data set's basic settings the wizard shows and exports.
struct TOpenDataInfo {
    int DataType = 0;
    std::string DataTypeName;
    std::string CodeTypeName;
    std::string Shougou;          // company name
    int Nendo = 0;                // period number
    TDateTime Kishu = 0;          // period start
    TDateTime Kimatu = 0;         // period end
    TDateTime Kaisi = 0;          // input start
    int Sime = 99;                // closing day
    int SdaiHasuu1 = 0;           // rounding mode of the asset ledger
    int Cloud = 0;                // cloud-share link, above 0 when linked
};

// The data module's operations the wizard calls.
class IWizardDataModule {
public:
    virtual ~IWizardDataModule() = default;
    // System database.
    virtual bool AccDefConnected(const std::string& Host) = 0;
    virtual bool DefIsConnected() = 0;
    virtual void DefDisconnect() = 0;
    // Data database of a data folder; MarkInUse marks the data set in use.
    virtual bool AccDatConnected(const std::string& Host, const std::string& DataDir, bool MarkInUse) = 0;
    virtual bool DatIsConnected() = 0;
    // Disconnects; MarkFree marks the data set free, Refresh updates its
    // data-list row.
    virtual void AccDatDisconnect(const std::string& DataDir, int MarkFree, int Refresh) = 0;
    // The connected data set's basic settings; false when they cannot be read.
    virtual bool GetAccInfo(TOpenDataInfo& Info) = 0;
    virtual std::string GetDataBaseVer() = 0;
    virtual bool CheckDataPassword() = 0;
    virtual bool ExistsOpeDefSisetu() = 0;
    virtual bool HasAllSitenKengen(int OpCode) = 0;
    // Operator settings, era table and logon rows.
    virtual bool GetSysDef() = 0;
    virtual void LoadGengo() = 0;
    virtual void DeleteLogonInfo() = 0;
    // The fixed assets of the connected data set for the export.
    virtual std::unique_ptr<SisanReader> MakeSisanReader(const TOpenDataInfo& Info) = 0;
};

// The logon dialog.
class ILogon {
public:
    virtual ~ILogon() = default;
    // Builds the dialog; false when it could not be initialised.
    virtual bool Prepare() = 0;
    // Shows it modally; true when the operator logged on.
    virtual bool Execute() = 0;
};

// Shared data sets on the suite's file server.
class ISharedData {
public:
    virtual ~ISharedData() = default;
    // Share path of a local data folder; NetDrive 1: on the share;
    // KyoyuLock 1: taken by this installation. False on failure.
    virtual bool ConvLocalPathToSharePath(const std::string& LocalPath, std::string& SharePath, int& KyoyuLock,
                                          int& NetDrive) = 0;
    // Takes the shared data set of the folder into the local folder: 1 taken,
    // 0 not taken, -1 refused (a message was shown).
    virtual int KyoyuDataDown(const std::string& DataDir) = 0;
    // Returns it to the share: above 0 done.
    virtual int KyoyuDataUp(const std::string& DataDir) = 0;
    // The local folders of the data set and its child data sets.
    virtual std::vector<std::string> LocalFolders(const std::string& DataDir) = 0;
    // Verifies one folder's database silently; true when sound.
    virtual bool VerifyFolder(const std::string& Host, const std::string& Folder) = 0;
};

// The cloud share of the communication subsystem; results 0 done or
// current, 1 to 9 refused (the form showed why).
class ICloudShare {
public:
    virtual ~ICloudShare() = default;
    virtual int CloudShareReceive(const std::string& DataPath, int Auto, int Flag) = 0;
    virtual int CloudShareSend(const std::string& DataPath, const std::string& DataName, int Auto) = 0;
};

// Installations without a file server: no data set is shared.
class TNoSharedData : public ISharedData {
public:
    bool ConvLocalPathToSharePath(const std::string& LocalPath, std::string& SharePath, int& KyoyuLock,
                                  int& NetDrive) override {
        SharePath = LocalPath;
        KyoyuLock = 0;
        NetDrive = 0;
        return true;
    }
    int KyoyuDataDown(const std::string&) override { return 1; }
    int KyoyuDataUp(const std::string&) override { return 1; }
    std::vector<std::string> LocalFolders(const std::string& DataDir) override { return {DataDir}; }
    bool VerifyFolder(const std::string&, const std::string&) override { return true; }
};

// Installations without a cloud-share area: nothing to receive or send.
class TNoCloudShare : public ICloudShare {
public:
    int CloudShareReceive(const std::string&, int, int) override { return 0; }
    int CloudShareSend(const std::string&, const std::string&, int) override { return 0; }
};

// The wizard window as its rules see it.
class IWizardView {
public:
    virtual ~IWizardView() = default;
    virtual void ShowProgress(const std::string& Caption, const std::string& Info) = 0;
    virtual void StopProgressAnimation() = 0;
    virtual void CloseProgress() = 0;
    // The hourglass over the whole program while a long step runs (true);
    // false brings the normal cursor back.
    virtual void SetBusyCursor(bool Busy) = 0;
    virtual void FocusDataButton() = 0;
    virtual void SetNextCaption(const std::string& Caption) = 0;
    // The data rows or the summary changed.
    virtual void DataRowsChanged() = 0;
    virtual void SummaryChanged() = 0;
    // The file name typed on the file page.
    virtual std::string FileEditText() = 0;
    virtual void SetFileEditText(const std::string& Text) = 0;
    // Asks the window to close (the close handling of the rules then runs).
    virtual void CloseForm() = 0;
};
