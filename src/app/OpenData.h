#pragma once
// Opening a data set from the wizard: the data-selection form is launched
// by name, the chosen data database is connected and checked (version, data
// password, facility and branch rights), shared and cloud-share copies are
// taken before use and returned afterwards.
#include "app/WizardServices.h"

#include <string>
#include <vector>

class TDataOpener {
public:
    TDataOpener(IWizardDataModule& dm, ISharedData& shared, ICloudShare& cloud, IWizardView& view)
        : dm_(dm), shared_(shared), cloud_(cloud), view_(view) {}

    std::string RequiredVersion = "14.0.0";
    std::string DataVerMajor = "14";

    bool DataConnected = false;
    bool DataChosen = false;
    std::string LastDataDir;
    TOpenDataInfo Info;                 // the open data set's settings
    std::vector<std::string> DataRows;  // name=value rows of the data page

    // The data page's button.
    void DataSentakuClick();
    bool OpenDataSet(int SyoriType, bool Launch);
    int ReleaseSharedData();
    int AcquireSharedData();
    int ReceiveSharedData(bool Force);
    int SendSharedData();
    // Direction 0 receive, 1 send: 1 done or nothing to do, -1 failed.
    int ExecCloudShare(int Direction, const std::string& Reason);

    // The parameter text for the data-selection form.
    std::string SelectionParams(int SyoriType) const;
    // The four rows of the data page.
    static std::vector<std::string> RowsOf(const TOpenDataInfo& info);

private:
    // Kind-3 box; true for OK (open the selection again).
    bool askReopen(const std::vector<std::string>& lines);
    void disconnectData();
    bool checks();

    IWizardDataModule& dm_;
    ISharedData& shared_;
    ICloudShare& cloud_;
    IWizardView& view_;
};
