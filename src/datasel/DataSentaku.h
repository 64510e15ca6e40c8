#pragma once
// TDataSentakuBox: the data-selection dialog. A caller starts it by its
// process name with parameter lines; the user picks a data set (or a free
// slot as a destination) and the dialog hands the folder back through
// SystemDef (DataDir, ChosenPasName, DataPaths).
//
// The rules that decide the function-key captions, the launch parameters,
// the data-folder check and the row helpers are plain code (the first part
// of this file) so that they can be tested without the window; the window
// only applies them. What the dialog needs of the data module and of the
// data sets' status files goes through IDataSentakuServices.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "accdb/DataStatus.h"
#include "app/ProcessForm.h"
#include "datasel/DataListRec.h"
#include "ui/SDI.h"

class QTableView;
class QStandardItemModel;
class QLineEdit;
class QTimer;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TxPlButton;
class TxAnimeProgressDialog;
class TDataSentakuListCtl;
class TDbUpdateState;
namespace db {
class Attachment;
class Transaction;
} // namespace db

namespace datasel {
class TKensakuJyokenStore;

// ---------------------------------------------------------------------------
// Launch parameters

enum class TDataSentakuFormStyle : std::uint8_t { MdiChild, MdiForm, Normal, StayOnTop };

struct TDataSentakuLaunch {
    std::uint8_t SyoriType = 0;
    TDataSentakuFormStyle FormStyle = TDataSentakuFormStyle::MdiChild;
    TDataKensakuRec LaunchConditions;
    bool ManualFree = false;
    std::int32_t OnlySaRestore = 0;
    std::string OnlySaBackupPath;
};

// Reads the lines "key=value" into p (keys in their fixed order). A
// SyoriType above 5 raises std::runtime_error with the dialog's message;
// one that is missing or not a number leaves the mode as it was.
void ReadDataSentakuParams(const std::vector<std::string>& lines, std::int32_t opCode, TDataSentakuLaunch& p);

// ---------------------------------------------------------------------------
// Function-key captions

// Indexes of the ten caption buttons.
enum TFKey : int { fkEsc, fkF1, fkF2, fkF3, fkF4, fkF5, fkF6, fkF7, fkF8, fkF12 };
// "ESC:", "F1:" ... "F12:": the caption of an unavailable function.
const std::string& BareCaption(int key);
bool IsBareCaption(int key, const std::string& caption);

struct TFKeyInput {
    std::uint8_t ConnectKind = 0;
    std::uint8_t LogonMode = 0;
    std::uint8_t SyoriType = 0;
    bool GridActive = true;       // the grid is the active control
    bool HasRow = false;          // the grid has a current row
    std::uint8_t PasteMode = 0;
    TDataListRec Row;             // the current row's record
    std::int32_t ParentGassan = 0;
    bool CloudUsable = false;     // cloud share usable for receiving
    bool AutoShareBoxVisible = true;
    bool AutoShareChecked = false;
    std::int32_t AutoShare = 0;   // SystemDef's automatic sharing
    bool GridEnabled = true;
    bool PanelEnabled = true;
};

struct TFKeyState {
    std::array<std::string, 10> Captions;
    std::int32_t RowState = 0;    // 0 no usable row, 1 a row, 2 paste target
    bool PasteHint = false;       // the grid shows the paste hint
    bool ShareDownEnabled = false;
    bool ShareUpEnabled = false;
    bool CloudEnabled = false;
    bool ShareButtonsHidden = false;
    bool AutoShareBoxHidden = false;
    bool SearchButtonsHidden = false;
    bool CloudHidden = false;
    bool SearchButtonsDisabled = false;
};

TFKeyState SetFKeyCaptions(const TFKeyInput& in);

// ---------------------------------------------------------------------------
// Hints

std::string DataSentakuGridHint(std::uint8_t connectKind, std::uint8_t syoriType, std::uint8_t logonMode);
extern const char* const kPasteGridHint;

// ---------------------------------------------------------------------------
// Incremental search

// The character a key (virtual-key code) types into the code search, or ""
// for keys that do not take part.
std::string IncSerchCharOfKey(int vk);
// The first visible row after `current` (wrapping to the top and up to
// `current`) whose code starts with `text`, ignoring case; -1 when none.
int IncSerchFind(const std::vector<std::string>& codes, int current, const std::string& text);

// ---------------------------------------------------------------------------
// Services

// What the dialog needs of the data module, the data sets' status and the
// operator's settings. TDataSentakuServices is the program's.
class IDataSentakuServices {
public:
    virtual ~IDataSentakuServices() = default;
    // The system database and its default transaction (the data list).
    virtual db::Attachment* SystemDatabase() = 0;
    virtual db::Transaction* SystemTransaction() = 0;
    // File test by connection kind (0 local, 1 and 2 on the server).
    virtual bool FileExists(const std::string& path, std::uint8_t kind) = 0;
    virtual bool RemoveDir(const std::string& path, std::uint8_t kind) = 0;
    virtual void DeleteLocalFile(const std::string& path) = 0;
    // The status record of a data folder (status file or data list).
    virtual void GetDataStatus(const std::string& folder, TDataInfomationRec& rec) = 0;
    // Reads the data database of a folder into the record; false when it
    // cannot be read.
    virtual bool ReadDataInfo(const std::string& folder, TDataInfomationRec& rec) = 0;
    virtual void WriteIniFile(const std::string& folder, const std::string& section,
                              const TDataInfomationRec& rec) = 0;
    virtual void SetDataStatus(const std::string& folder, std::uint8_t status) = 0;
    // The data verification: 0 the database was found damaged.
    virtual int CallDataVerify(const std::string& host, const std::string& folder, int silent, int force) = 0;
    virtual bool IsCloudShareUse(bool forSend) = 0;
    virtual bool DataConnected() = 0;
    virtual bool ReconnectData(const std::string& host, const std::string& folder) = 0;
    // Stores the operator's settings (the chosen data folder among them).
    virtual bool PutSysDef() = 0;
    virtual void OpenHelp(const std::string& page) = 0;
};

class TDataSentakuServices : public IDataSentakuServices {
public:
    db::Attachment* SystemDatabase() override;
    db::Transaction* SystemTransaction() override;
    bool FileExists(const std::string& path, std::uint8_t kind) override;
    bool RemoveDir(const std::string& path, std::uint8_t kind) override;
    void DeleteLocalFile(const std::string& path) override;
    void GetDataStatus(const std::string& folder, TDataInfomationRec& rec) override;
    bool ReadDataInfo(const std::string& folder, TDataInfomationRec& rec) override;
    void WriteIniFile(const std::string& folder, const std::string& section, const TDataInfomationRec& rec) override;
    void SetDataStatus(const std::string& folder, std::uint8_t status) override;
    int CallDataVerify(const std::string& host, const std::string& folder, int silent, int force) override;
    bool IsCloudShareUse(bool forSend) override;
    bool DataConnected() override;
    bool ReconnectData(const std::string& host, const std::string& folder) override;
    bool PutSysDef() override;
    void OpenHelp(const std::string& page) override;
};

// Writing the operator's settings; unset, the data module's SYSDEF write.
extern std::function<bool()> PutSysDefProc;

// ---------------------------------------------------------------------------
// Data-folder checks

// The status checks and the data-folder check of the dialog, apart from its
// window.
class TDataSentakuChecks {
public:
    explicit TDataSentakuChecks(IDataSentakuServices& svc) : svc_(svc) {}
    std::uint8_t SyoriType = 0;
    std::uint8_t ConnectKind = 0;
    TDataInfomationRec StatusRec;

    // The STATUS of a folder's data set, with its refusal box; 0 (with
    // reportMissing) or 1 (without) when the folder holds no data database.
    std::uint8_t CheckDataStatus(const std::string& folder, bool reportMissing, bool showRefusal);
    // 1 data present, 0 usable without data database, -1 refused, -2 empty
    // path in mode 3, -3 refused and found damaged. A blank folder in other
    // modes raises std::runtime_error.
    std::int32_t CheckDataFolder(const std::string& folder);

private:
    IDataSentakuServices& svc_;
};

// The local folder of a row (the working copy for shared data).
std::string RowDataPath(const TDataListRec& row, const std::string& systemFolder);
// 0 not shared, 1 shared and on the share, 2 shared and taken.
std::uint8_t KyoyuStateOf(const TDataListRec& row);
// The folders of a consolidated parent's children that may be removed with
// the parent's children: the registered children's folders and sub-folders
// of `folder` that hold a data database; never any other sub-folder.
std::vector<std::string> ChildFoldersToRemove(const TDataSentakuRec& parent, const std::string& folder);
// PASNAME as the grid shows it: the data root replaced by "~" (ignoring case).
std::string GridPathText(const std::string& pasName, const std::string& baseFolder);

} // namespace datasel

// ---------------------------------------------------------------------------
// The dialog

class TDataSentakuBox : public TBSDI, public TProcessComponent, public IProcessForm {
    Q_OBJECT
public:
    explicit TDataSentakuBox(QWidget* parent = nullptr,
                             std::shared_ptr<datasel::IDataSentakuServices> services = nullptr);
    ~TDataSentakuBox() override;

    static std::unique_ptr<TProcessComponent> Create();
    // Runs a modal start and returns its modal result; the default is the
    // form's own modal loop. Tests replace it to drive the shown form.
    static std::function<int(TDataSentakuBox&)> ModalRunner;
    // Services of new dialogs (the program's when unset).
    static std::function<std::shared_ptr<datasel::IDataSentakuServices>()> ServicesFactory;

    // IProcessForm
    int Execute(std::uint8_t Modal) override;
    void SetParams(const std::vector<std::string>& Params) override;
    bool ReleaseToSelf() override;

    // Grid columns.
    enum Col : int {
        colNo, colCode, colCloud, colName, colNendo, colKikan, colFolder, colVer, colLockPic, colSharePic,
        colLock, colShare, colVerText, colUpdate, colGassan, colParent, colChild, colStatus, colCloudVal,
        colReadOnly, colCount
    };

    std::vector<std::string> Params;
    std::uint8_t SyoriType = 0;
    datasel::TDataSentakuLaunch Launch;
    TDataKensakuRec StoredConditions, ActiveConditions;
    TDataSentakuRecArray Rows;
    TDataListArray ChildRows;
    TDataSentakuRecDispArray DispIndex;
    std::int32_t SortCol = -1;
    std::uint8_t SortDesc = 0;
    std::int32_t DataPlace = 0;
    std::string EntryDataFolder;
    std::string ChosenFolder, ChosenPasName;
    std::uint8_t PasteMode = 0;
    std::int32_t RowState = 0;
    std::uint8_t EscCancelled = 0;
    std::int32_t SavedAutoShare = 0;
    std::string IncSerchText;
    std::uint8_t LocateOnShow = 1;
    std::int32_t GridRowCount = 0;

    void SetSyoriType(std::int32_t value);
    void PrepareMode();
    void LoadList();
    std::int32_t ReadList();
    void FillGrid(std::int32_t index);
    void SetFKeyCaptions();
    void SetHints();
    void LocateCurrentData();
    std::int32_t CheckDataFolder(const std::string& folder);
    std::uint8_t CheckDataStatus(const std::string& folder, bool reportMissing, bool showRefusal);

    // Row helpers.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    int RowCount() const;
    std::string CellText(int row, int col) const;
    int CellInt(int row, int col) const;
    TDataListRec* GetRowRecord(int row);
    std::string GetRowDataPath(int row);
    int GetParentGridRow(int row);
    std::uint8_t GetKyoyuState(int fromGrid, int index);
    int GetDisplayIndex(int row);
    bool IsDbUpdateNeeded(int row, bool recheck);
    void DataListRefresh(int row);
    void ReloadChildRows(int row);
    void ClearChildRows(int row, bool withFolders);
    void RenumberChildNames(int row);
    // Reloads the list and redraws it with topRow at the top, then makes the
    // row of rec (its REC and, when given, its PASNAME) current.
    void ReloadAndLocate(int topRow, const TDataListRec& rec);
    void SetDataStatus(const std::string& folder, std::uint8_t status);
    void FillRowFromInfo(TDataListRec& row, std::uint8_t clear, const TDataInfomationRec& info);
    void SaveRow(const TDataListRec& row);
    // Row colours: back and text as 0x00BBGGRR.
    std::uint32_t RowBackColor(int row) const;
    std::uint32_t RowTextColor(int row) const;

    // Handlers.
    void ESCClick();
    void F1Click();
    void F2Click();
    void F3Click();
    void F4Click();
    void F5Click();
    void F6Click();
    void F7Click();
    void F8Click();
    void F12Click();
    void GridHeaderClick(int col);
    // A click on a data cell: the lock column locks or unlocks the row.
    void GridCellClick(int row, int col);
    void btnSearchClick();
    void btnSearchCancelClick();
    void btnListUpdateClick();
    void btnDataInfoClick();
    void IncSerchTimerTimer();
    bool FormCloseQuery();

    void FormClose(TCloseAction& action) override;
    void FormKeyUp(int& key, Qt::KeyboardModifiers shift) override;
    void CMShowingChanged(bool showing) override;
    void CMFocusChanged() override;

    // Controls.
    QTableView* PerfectGrid1;
    QStandardItemModel* GridModel;
    std::array<TxPlButton*, 10> FKeys{};
    QWidget* pnlBottom;
    QPushButton* btnKyoyuDataDown;
    QPushButton* btnKyoyuDataUp;
    QPushButton* btnSearchCancel;
    QPushButton* btnSearch;
    QPushButton* btnDataInfo;
    QPushButton* btnListUpdate;
    QPushButton* btnCloudShare;
    QCheckBox* cboxKyoyuDataAuto;
    QWidget* pnlDataMan;
    QComboBox* cmbDataMan;
    QPushButton* btnDataMan;
    QPlainTextEdit* HintArea;
    QLineEdit* txtIncSerch;
    QTimer* IncSerchTimer;

    std::string Caption(int key) const;
    datasel::IDataSentakuServices& Services() { return *svc_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormCreate();
    void fillRow(int r, const TDataListRec& rec);
    void paintRow(int r);
    void afterFKey();
    void reportError(const std::exception& e);
    std::shared_ptr<datasel::IDataSentakuServices> svc_;
    std::unique_ptr<datasel::TDataSentakuChecks> checks_;
    std::unique_ptr<TDataSentakuListCtl> listCtl_;
    std::unique_ptr<datasel::TKensakuJyokenStore> store_;
    std::unique_ptr<TDbUpdateState> dbUpdate_;
    std::array<std::string, 10> captions_;
    std::string gridHint_;
    bool gridEnabled_ = true;
    bool inCloseQuery_ = false;
    // The progress window of a refresh of all rows, while it is open.
    TxAnimeProgressDialog* refreshProgress_ = nullptr;
    std::uint32_t oddRowColor_ = 0xE1F0FF;
    std::uint32_t focusColor_ = 0x246BFF;
};

// Registers the dialog as "VqDataSenkaku" (once); the program calls it at
// start.
void RegisterDataSentakuBox();
