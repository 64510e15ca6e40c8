#pragma once
// The converter wizard's rules (the window TForm1 only shows them): the
// caller protocol, the start checks, the pages, the finish with its result
// codes, cancelling and closing, and the result posted to the caller once.
#include "app/OpenData.h"
#include "app/VersionCheck.h"
#include "app/WizardServices.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComDataExport;

class TWizardLogic {
public:
    using ExporterFactory =
        std::function<std::unique_ptr<TComDataExport>(int functionId, const std::string& file, bool byCaller)>;

    TWizardLogic(IWizardDataModule& dm, ILogon& logon, ISharedData& shared, ICloudShare& cloud, IWizardView& view,
                 ExporterFactory makeExporter);
    ~TWizardLogic();
    TWizardLogic(const TWizardLogic&) = delete;
    TWizardLogic& operator=(const TWizardLogic&) = delete;

    // Form creation: hooks, command line, product information, exporter,
    // version check, pages and texts. False when the program must end at
    // once; the caller, when one was disabled, has then been enabled again
    // and told the failure.
    bool FormCreate(const std::vector<std::string>& args, const std::string& exePath);
    // The first showing of the window: logon, operator settings and era
    // table. False when the application is to end.
    bool FirstShow();

    // Page handling; page names "page1", "page2", "page4", "page5".
    bool NextClicking(const std::string& page);
    void PageChanged(const std::string& page);
    bool ValidateDataPage();
    void BuildSummary();
    // Next on the last page.
    void FinishClicked();
    // 1 made, 3 notice, 4 failure.
    int ExportData();
    void CancelClicked();
    // The window is closed from outside (its close box, a close request):
    // the user stopped the run.
    void WMClose();
    // Close handling (before the window goes).
    void CloseData();
    // The window is destroyed: hooks cleared, the caller enabled and told
    // the result.
    void FormDestroy();
    // Ends a start that cannot go on: the caller is enabled and told the
    // failure (2).
    void AbortStart();

    // The intermediate file that Finish writes: a name without a folder
    // lies in DocFolder, as the summary shows it.
    std::string TargetFile(const std::string& typed) const;

    TDataOpener& Opener() { return opener_; }
    TComDataExport* Exporter() const { return exporter_.get(); }

    // State (read by the window).
    std::int64_t CallerWnd = 0;
    std::uint32_t CallerMsg = 0;
    std::int64_t CallerParam = 0;
    std::string CallerFile;
    std::string SystemDrive = "/";
    int ResultCode = 2;
    std::string DocFolder;
    bool LogonBoxReady = false;
    bool LoggedOn = false;
    std::string Caption;
    std::vector<std::string> Pages;          // live pages, in order
    std::string Memo1a;
    std::vector<std::string> Memo1b;
    std::string Label2a;
    std::string Label4a;
    std::vector<std::string> SummaryLines;
    bool ResultPosted() const { return posted_; }

private:
    void notifyCaller();

    IWizardDataModule& dm_;
    ILogon& logon_;
    IWizardView& view_;
    ExporterFactory makeExporter_;
    TDataOpener opener_;
    std::unique_ptr<TComDataExport> exporter_;
    bool callerDisabled_ = false;
    bool posted_ = false;
};
