#pragma once
// TBSDI: the base form of the suite's dialogs. Settings applied at
// creation, the screen-use log while the form is open, font scaling to the
// operator's screen font, the window size kept per operator and form, the
// hint area, the Esc and F12 keys and placement.
//
// The rules are plain functions (tested on their own); the form applies
// them. What the form reads from the program-wide records and where it
// stores sizes and the log is reached through TBSDIContext, which the
// program fills at start.
#include "ui/MessageDlg2.h"
#ifndef Q_MOC_RUN
#include "db/Statement.h"
#include "db/Transaction.h"
#endif
#include "ui/UiCommon.h"

#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <QRect>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace db {
class Attachment;
class FbError;
class Statement;
class Transaction;
}
class QTextEdit;
class QPlainTextEdit;

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };

// One FORMRSIZE row's rectangle.
struct FormRect {
    int top = 0, left = 0, height = 0, width = 0;
    bool operator==(const FormRect&) const = default;
};

// Window sizes kept per operator and form (FORMRSIZE of the system database).
// Implementations report database failures by throwing db::FbError.
class FormSizeStore {
public:
    virtual ~FormSizeStore() = default;
    virtual std::optional<FormRect> load(int opCode, const std::string& formName) = 0;
    virtual void insert(int opCode, const std::string& formName, const FormRect& r, int defHeight,
                        int defWidth) = 0;
    virtual void update(int opCode, const std::string& formName, const FormRect& r) = 0;
};

class MemoryFormSizeStore : public FormSizeStore {
public:
    struct Row {
        FormRect rect;
        int defHeight = 0, defWidth = 0;
    };
    std::optional<FormRect> load(int opCode, const std::string& formName) override;
    void insert(int opCode, const std::string& formName, const FormRect& r, int defHeight, int defWidth) override;
    void update(int opCode, const std::string& formName, const FormRect& r) override;
    std::map<std::pair<int, std::string>, Row> rows;
};

// The screen-use log (OPINF of the data database): closing the operator's
// open entries of a job with a state, and opening a new entry.
class ScreenUseLog {
public:
    virtual ~ScreenUseLog() = default;
    virtual void closeEntries(int opCode, const std::string& jobName, const std::string& state) = 0;
    virtual void openEntry(int opCode, const std::string& jobName, const std::string& pcName,
                           const QDateTime& openTime) = 0;
};

class MemoryScreenUseLog : public ScreenUseLog {
public:
    void closeEntries(int opCode, const std::string& jobName, const std::string& state) override;
    void openEntry(int opCode, const std::string& jobName, const std::string& pcName,
                   const QDateTime& openTime) override;
    // "close <op> <job> <state>" / "open <op> <job> <pc>", in call order.
    std::vector<std::string> calls;
};

// Saved screen values per operator and key.
class ScreenValueStore {
public:
    virtual ~ScreenValueStore() = default;
    virtual std::string load(int opCode, const std::string& key) = 0;
    virtual void save(int opCode, const std::string& key, const std::string& text) = 0;
};

class TBSDI;

// What the base form reads from the program-wide records and where it keeps
// its data. The program fills it from the operator's settings at start.
struct TBSDIContext {
    int ShowHint = 1;                // operator setting: 0 hides hints
    std::string ScreenFontName = "ＭＳ Ｐゴシック";
    int ScreenFontSize = 10;         // operator's screen font, points
    int DesignFontSize = 10;         // the main form's font at start-up, points
    int ScreenPpi = 96;
    bool MedicalCorporation = false; // the open data set is a medical corporation's
    std::uint32_t ColHeaderColor = 0, ActiveColor = 0, ClientColor = 0xFFFFFF, ClientColor1 = 0xFFFFFF,
                  ClientColor2 = 0xFFFFFF;
    // The open data set's period settings (closing day SIME, fiscal start
    // KISHU and end KIMATU, entry start KAISI and its period KAISINO) that the
    // period bars start from; set when a data set is opened.
    int AccSime = 31;
    double AccKishu = 0, AccKimatu = 0, AccKaisi = 0;
    int AccKaisino = 1;
    int TopBarHeight = 0;            // reserved, always 0
    int FrameMetric = 4;             // the platform's sizing-frame height
    QPointer<QWidget> MainForm;

    std::function<void()> LoadAccInfo;                    // re-reads the open data set's settings
    // Database errors of the size store and the use log; unset: IBErrorReport.
    std::function<void(const db::FbError& e, const std::string& context)> ReportDbError;

    // The data module's connections: the system database's transaction and
    // the data database. Without explicit stores the form keeps its size in
    // FORMRSIZE through DefTransaction and logs its use in OPINF through its
    // own transaction on DataDatabase (IBTransactionDAT).
    db::Transaction* DefTransaction = nullptr;
    db::Attachment* DataDatabase = nullptr;
    FormSizeStore* FormSizes = nullptr;
    ScreenUseLog* UseLog = nullptr;
    ScreenValueStore* ScreenValues = nullptr;
};
// The operator code, PC name, window metrics, era display and the hooks come
// from SystemDef and the framework's hook variables.
TBSDIContext& BSDIContext();

namespace sdi {

// The long part of a hint: after the first "|", the whole hint without one.
std::string longHint(const std::string& hint);
// Cell of a 16-cell period bar for the start period n (quarter separators skipped).
int kikanPanel16Cell(int kaisino);
// Label text on a medical corporation's data set.
std::string medicalCaption(std::string caption);
// The platform's height correction for the sizing frame F.
int adjustHeightByFrame(int height, int kind, int frameMetric);
// Rectangle of a form that has no FORMRSIZE row yet.
FormRect defaultFormRect(int formPpi, int frameMetric);
// Rectangle PutFormSize stores.
FormRect rectToStore(bool maximized, const FormRect& form, int mainClientWidth, int mainClientHeight,
                     int frameHeight, int topBarHeight);

struct FontScale {
    int designPpi;  // P
    int formPpi;    // the form's resolution after scaling
};
FontScale fontScale(int screenFontSize, int designFontSize, int screenPpi);

// Placement of SetFormPosition. Returns the new top-left, or nothing when
// the form keeps its place.
struct PlaceInput {
    QRect workArea;
    QRect form;          // current frame rectangle
    bool reposition = true;
    bool dialog = true;
    bool mainShowing = false;
    QRect mainForm;
    int frameHeight = 0, captionHeight = 0, menuHeight = 0, topBarHeight = 0;
    QRect screen;        // whole screen, for centring
};
std::optional<QPoint> formPosition(int offsetX, int offsetY, int areaWidth, int areaHeight, int mode,
                                   const PlaceInput& in);

enum class KeyUpAction { None, Close, ClickF12 };
// Esc and F12 on key up (no Shift, Ctrl or Alt).
KeyUpAction keyUpAction(int qtKey, Qt::KeyboardModifiers mods, bool dialog, bool f12Ready);

struct GridColors {
    std::uint32_t FixedBackColor, FixedBorderColor, BackColor, OddRowBackColor, FocusBorderColor, BorderColor,
        ThruBorderColor, DisabledColor, VoidAreaColor;
};
GridColors perfectGridColors(const TBSDIContext& ctx, int oemEdition, int mode);

// The 16-bit virtual key of a Qt key (0 for keys the suite does not name).
std::uint16_t virtualKey(int qtKey);

} // namespace sdi

class TBSDI : public QDialog, public ui::ModalForm {
    Q_OBJECT
public:
    explicit TBSDI(QWidget* parent = nullptr, TFormBorderStyle style = bsDialog);
    ~TBSDI() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    bool isDialogStyle() const { return borderStyle_ == bsDialog; }

    // Fields descendants read or set.
    QPointer<QWidget> OwnerHandle;
    std::string OwnerCaption;
    bool MenuNotify = false;
    bool UseProcLog = false;
    bool NoProcessCheck = false;
    bool SaveFormSize = false;
    bool LoadAccInfo = false;
    std::uint8_t ActivateValue = 0;
    int ActivateParam = 0;
    bool InitOK = false;
    bool Shown = false;
    bool Reposition = true;
    QPointer<QWidget> HintMemo; // QTextEdit, QPlainTextEdit or QLabel
    bool KeepAlive = false;
    std::uint16_t LastKey = 0;
    std::string GamenText;
    TMessage2InfoRec MsgInfo;
    QPointer<QWidget> F12Button;
    bool F12Focus = true;

    // Handlers; descendants call the base first.
    void FormCreate();
    virtual void FormShow();
    virtual void FormActivate();
    virtual void FormClose(TCloseAction& action);
    virtual void FormKeyUp(int& key, Qt::KeyboardModifiers shift);
    virtual void CMShowingChanged(bool showing);
    virtual void CMFocusChanged();

    void ShowHintText(QWidget* control, QWidget* target);
    void SetOwnerWindow(QWidget* owner);
    void PutProcRirekiInfo(std::uint8_t mode);
    void SetFormPosition(int offsetX, int offsetY, int areaWidth, int areaHeight, std::uint8_t mode);
    void FukugenGamenValue();
    void HozonGamenValue();

    // The form's transaction on the data database ("read_committed",
    // "rec_version", "nowait"); nullptr without a data database.
    db::Transaction* IBTransactionDAT();
    // A statement with empty SQL on the data database and IBTransactionDAT,
    // owned by the caller; nullptr when it cannot be made.
    std::unique_ptr<db::Statement> CreateDataQuery();

    // When the form's creation did not complete (InitOK still false) shows
    // "<caption>画面の初期化に失敗しました。\r処理を終了します。" and closes the form;
    // true in that case.
    bool ReportFailedInit();

    // The real modal loop; result mrCancel when closed without a result.
    int ShowModal();
    void setModalResult(int result) override;
    int modalResult() const override { return modalResult_; }

    // Sets a control's hint: the part before "|" is its tool tip, the part
    // after it the long text of the hint area.
    static void setHint(QWidget* control, const std::string& hint);
    static std::string hintOf(const QWidget* control);

    // The captured layout of a grid or list (column widths sized to the data).
    struct Capture {
        QPointer<QWidget> control;
        int defaultRowHeight = 0;
        std::vector<int> colWidths;
    };
    const std::vector<Capture>& capture() const { return capture_; }
    int formPpi() const { return formPpi_; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    bool event(QEvent* e) override;

    void GetFormSize();
    void PutFormSize();

private:
    FormSizeStore* sizeStore();
    ScreenUseLog* useLog();
    void captureLayout();
    void scaleFonts();
    TFormBorderStyle borderStyle_;
    int modalResult_ = 0;
    int formPpi_ = 96;
    std::vector<Capture> capture_;
    int capturedCount_ = -1;
    bool closing_ = false;
    const QEvent* lastKeyUp_ = nullptr;
    std::unique_ptr<db::Transaction> datTx_;
    std::unique_ptr<FormSizeStore> ownSizes_;
    std::unique_ptr<ScreenUseLog> ownLog_;
};
