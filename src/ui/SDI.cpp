#include "ui/SDI.h"

#include "accdb/AccRecord.h"
#include "accdb/IBErrorReport.h"
#include "db/FbError.h"
#include "db/Attachment.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "ui/FbFormStores.h"
#include "accdb/Gengo.h"
#include "ui/DateEdit.h"
#include "ui/PeriodBar.h"
#include "ui/PlButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <cmath>

// ---------------------------------------------------------------------------
// Stores

std::optional<FormRect> MemoryFormSizeStore::load(int opCode, const std::string& formName) {
    auto it = rows.find({opCode, formName});
    if (it == rows.end()) return std::nullopt;
    return it->second.rect;
}

void MemoryFormSizeStore::insert(int opCode, const std::string& formName, const FormRect& r, int defHeight,
                                 int defWidth) {
    rows[{opCode, formName}] = {r, defHeight, defWidth};
}

void MemoryFormSizeStore::update(int opCode, const std::string& formName, const FormRect& r) {
    auto it = rows.find({opCode, formName});
    if (it != rows.end()) it->second.rect = r;
}

void MemoryScreenUseLog::closeEntries(int opCode, const std::string& jobName, const std::string& state) {
    calls.push_back("close " + std::to_string(opCode) + " " + jobName + " " + state);
}

void MemoryScreenUseLog::openEntry(int opCode, const std::string& jobName, const std::string& pcName,
                                   const QDateTime&) {
    calls.push_back("open " + std::to_string(opCode) + " " + jobName + " " + pcName);
}

static void reportDbError(const db::FbError& e, const std::string& context) {
    if (BSDIContext().ReportDbError) BSDIContext().ReportDbError(e, context);
    else IBErrorReport(e, context, "", false);
}

TBSDIContext& BSDIContext() {
    static TBSDIContext ctx;
    return ctx;
}

// ---------------------------------------------------------------------------
// Rules

namespace sdi {

std::string longHint(const std::string& hint) {
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

int kikanPanel16Cell(int n) {
    if (n < 1 || n > 12) return 0;
    return n - 1 + (n - 1) / 3;
}

static void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
}

std::string medicalCaption(std::string caption) {
    replaceAll(caption, "本・支店", "施設");
    replaceAll(caption, "支店", "施設");
    return caption;
}

int adjustHeightByFrame(int height, int kind, int f) {
    if (2 * f == 8 || 2 * f <= 6) return height;
    if (kind == 0) return height - 2 * f + 8;
    if (kind == 1) return height - 4 * f + 16;
    return height;
}

FormRect defaultFormRect(int formPpi, int frameMetric) {
    FormRect r;
    r.height = adjustHeightByFrame(ui::scaleByDpi(648, formPpi, 96), 0, frameMetric);
    r.width = ui::scaleByDpi(1012, formPpi, 96);
    return r;
}

FormRect rectToStore(bool maximized, const FormRect& form, int mainW, int mainH, int frameHeight, int topBar) {
    FormRect r;
    if (maximized) {
        r.width = mainW - frameHeight;
        r.height = mainH - (topBar + frameHeight);
    } else {
        r.top = form.top > 0 ? form.top : 0;
        r.left = form.left > 0 ? form.left : 0;
        r.width = form.width;
        r.height = form.height;
    }
    if (r.top > mainH) r.top = 0;
    if (r.left > mainW) r.left = 0;
    return r;
}

FontScale fontScale(int screenFontSize, int designFontSize, int screenPpi) {
    FontScale s;
    s.designPpi = designFontSize == 10 ? screenPpi : 96;
    const int u = ui::mulDiv(screenFontSize, screenPpi, 96);
    const int b = ui::mulDiv(designFontSize, screenPpi, 96);
    const int r = b > 0 ? static_cast<int>(std::trunc(static_cast<double>(u) / b * 100)) : 100;
    s.formPpi = static_cast<int>(std::floor(s.designPpi * r / 100.0 + 0.5));
    return s;
}

std::optional<QPoint> formPosition(int offsetX, int offsetY, int areaWidth, int areaHeight, int mode,
                                   const PlaceInput& in) {
    const int waRight = in.workArea.x() + in.workArea.width();
    const int waBottom = in.workArea.y() + in.workArea.height();
    if (!in.reposition && in.form.left() > 0 && in.form.left() < waRight && in.form.top() > 0 &&
        in.form.top() < waBottom)
        return std::nullopt;
    const int w = in.form.width(), h = in.form.height();
    int left = 0, top = 0;
    if (mode == 1 && in.mainShowing) {
        left = in.mainForm.left() + in.frameHeight + offsetX + static_cast<int>(std::trunc((areaWidth - w) / 2.0));
        top = in.mainForm.top() + in.frameHeight + in.captionHeight + in.menuHeight + in.topBarHeight + offsetY +
              static_cast<int>(std::trunc((areaHeight - h) / 2.0));
    } else if (mode == 2 && in.mainShowing) {
        left = in.mainForm.left() + static_cast<int>(std::trunc((in.mainForm.width() - w) / 2.0));
        top = in.mainForm.top() + static_cast<int>(std::trunc((in.mainForm.height() - h) / 2.0));
    } else {
        // Screen centre.
        left = in.screen.x() + (in.screen.width() - w) / 2;
        top = in.screen.y() + (in.screen.height() - h) / 2;
    }
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (left + w > waRight) left = waRight - w;
    if (top + h > waBottom) top = waBottom - h;
    if (in.dialog) {
        if (left < 0) left = 0;
        if (top < 0) top = 0;
    }
    return QPoint(left, top);
}

KeyUpAction keyUpAction(int key, Qt::KeyboardModifiers mods, bool dialog, bool f12Ready) {
    if (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return KeyUpAction::None;
    if (key == Qt::Key_Escape) return dialog ? KeyUpAction::Close : KeyUpAction::None;
    if (key == Qt::Key_F12) {
        if (!dialog) return KeyUpAction::Close;
        return f12Ready ? KeyUpAction::ClickF12 : KeyUpAction::None;
    }
    return KeyUpAction::None;
}

GridColors perfectGridColors(const TBSDIContext& ctx, int oemEdition, int mode) {
    GridColors c{};
    c.FixedBackColor = ctx.ColHeaderColor;
    c.FixedBorderColor = 0x808080;
    c.BackColor = c.OddRowBackColor = ctx.ClientColor;
    c.FocusBorderColor = ctx.ActiveColor;
    c.BorderColor = 0x808080;
    c.ThruBorderColor = (oemEdition == 1 || oemEdition == 2) ? 0x246BFF : 0x008000;
    c.DisabledColor = 0x808080;
    c.VoidAreaColor = 0x6D6D6D;
    if (mode != 1) {
        c.BackColor = ctx.ClientColor1;
        c.OddRowBackColor = ctx.ClientColor2;
    }
    return c;
}

std::uint16_t virtualKey(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<std::uint16_t>(0x70 + (key - Qt::Key_F1));
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return static_cast<std::uint16_t>(key);
    switch (key) {
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Insert: return 0x2D;
    default: return 0;
    }
}

} // namespace sdi

// ---------------------------------------------------------------------------
// The form

TBSDI::TBSDI(QWidget* parent, TFormBorderStyle style) : QDialog(parent), borderStyle_(bsSizeable) {
    ui::installJapaneseFonts();
    setFont(ui::suiteFont(13));
    SetBorderStyle(style);
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this) CMFocusChanged();
    });
}

TBSDI::~TBSDI() {
    qApp->removeEventFilter(this);
    capture_.clear();
}

void TBSDI::SetBorderStyle(TFormBorderStyle s) {
    borderStyle_ = s;
    Qt::WindowFlags f = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (s != bsDialog) f |= Qt::WindowMinMaxButtonsHint;
    setWindowFlags(f);
    setSizeGripEnabled(s == bsSizeable || s == bsSizeToolWin);
}

void TBSDI::FormCreate() {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto& ctx = BSDIContext();
    const bool nonDialog = !isDialogStyle();
    MenuNotify = false;
    UseProcLog = NoProcessCheck = SaveFormSize = LoadAccInfo = nonDialog;
    ActivateValue = nonDialog ? 1 : 0;
    ActivateParam = 0;
    InitOK = false;
    Shown = false;
    Reposition = true;
    KeepAlive = false;
    LastKey = 0;
    F12Button = nullptr;
    F12Focus = true;
    InitMessage2Info(0, MsgInfo);
    MsgInfo = TMessage2InfoRec{};
    try {
        SetOwnerWindow(this);
    } catch (...) {
        OwnerHandle = nullptr;
    }
    // Period bars, by their component names, start at the data set's period.
    const int n = ctx.AccKaisino;
    if (auto* bar = findChild<TxKikanPanel16*>(QStringLiteral("KikanPanel16"))) {
        bar->SetKikan(ctx.AccSime, ctx.AccKishu, ctx.AccKimatu, ctx.AccKaisi);
        const int k = sdi::kikanPanel16Cell(n);
        bar->setStno(k);
        bar->setEdno(bar->model().KikanMove() ? 15 : k);
    }
    if (auto* bar = findChild<TxKikanPanel12*>(QStringLiteral("KikanPanel12"))) {
        bar->SetKikan(ctx.AccSime, ctx.AccKishu, ctx.AccKimatu, ctx.AccKaisi);
        bar->setStno(n - 1);
        bar->setEdno(bar->model().KikanMove() ? 11 : n - 1);
    }
    for (const char* name : {"KikanPanel4", "KikanPanel2"})
        if (auto* bar = findChild<TxKikanPanel4*>(QString::fromLatin1(name)))
            bar->SetKikan(ctx.AccSime, ctx.AccKishu, ctx.AccKimatu, ctx.AccKaisi);
    // Date edits follow the operator's era display.
    const bool era = SystemDef.Settings.WarekiDisp != 0;
    for (auto* edit : findChildren<TTavrinExDateEdit*>()) {
        edit->setEditGengo(era);
        edit->setGengo(era ? rsWareki : rsSeireki);
        edit->SetWarekiTable(GengoTable);
    }
}

void TBSDI::SetOwnerWindow(QWidget* owner) {
    OwnerHandle = owner;
    if (!owner) return;
    OwnerCaption = ui::ss(owner->window()->windowTitle());
    // A window never becomes its own owner.
    if (owner->window() == this) return;
    const Qt::WindowFlags f = windowFlags();
    setParent(owner->window(), f);
}

void TBSDI::FormShow() {
    if (Shown) return;
    auto& ctx = BSDIContext();
    if (UseProcLog) PutProcRirekiInfo(0);
    if (LoadAccInfo && ctx.LoadAccInfo) ctx.LoadAccInfo();
    captureLayout();
    scaleFonts();
    GetFormSize();
    Shown = true;
}

void TBSDI::captureLayout() {
    auto& ctx = BSDIContext();
    const auto kids = findChildren<QWidget*>();
    if (capturedCount_ != static_cast<int>(kids.size())) {
        capture_.clear();
        capturedCount_ = static_cast<int>(kids.size());
        for (QWidget* w : kids) {
            if (auto* grid = qobject_cast<QTableWidget*>(w)) {
                Capture c;
                c.control = grid;
                c.defaultRowHeight = grid->verticalHeader()->defaultSectionSize();
                c.colWidths.reserve(static_cast<size_t>(grid->columnCount()));
                for (int i = 0; i < grid->columnCount(); ++i) c.colWidths.push_back(grid->columnWidth(i));
                capture_.push_back(std::move(c));
            } else if (auto* list = qobject_cast<QTreeView*>(w)) {
                Capture c;
                c.control = list;
                const int n = list->header()->count();
                for (int i = 0; i < n; ++i) c.colWidths.push_back(list->columnWidth(i));
                capture_.push_back(std::move(c));
            }
        }
    }
    if (SaveFormSize && !isDialogStyle())
        setMinimumSize(static_cast<int>(std::trunc(width() * 0.6)), static_cast<int>(std::trunc(height() * 0.6)));
    else
        setMinimumSize(0, 0);
    if (ctx.ScreenPpi <= 96 && screen()) {
        const QSize s = screen()->size();
        setMaximumSize(s.width(), s.height());
    } else {
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    for (QWidget* w : kids) {
        if (ctx.MedicalCorporation) {
            if (auto* l = qobject_cast<QLabel*>(w)) l->setText(ui::qs(sdi::medicalCaption(ui::ss(l->text()))));
        }
    }
}

void TBSDI::scaleFonts() {
    auto& ctx = BSDIContext();
    setUpdatesEnabled(false);
    struct Unlock {
        QWidget* w;
        ~Unlock() { w->setUpdatesEnabled(true); }
    } unlock{this};
    const auto fs = sdi::fontScale(ctx.ScreenFontSize, ctx.DesignFontSize, ctx.ScreenPpi);
    formPpi_ = fs.formPpi;
    const int num = fs.formPpi, den = fs.designPpi;
    if (num != den && den > 0) {
        for (QWidget* w : findChildren<QWidget*>()) {
            if (w->isWindow()) continue;
            QWidget* p = w->parentWidget();
            if (p && p->layout()) continue; // placed by a layout, which follows the font
            const QRect g = w->geometry();
            w->setGeometry(ui::mulDiv(g.x(), num, den), ui::mulDiv(g.y(), num, den), ui::mulDiv(g.width(), num, den),
                           ui::mulDiv(g.height(), num, den));
        }
        resize(ui::mulDiv(width(), num, den), ui::mulDiv(height(), num, den));
    }
    for (const auto& c : capture_) {
        if (!c.control) continue;
        if (auto* grid = qobject_cast<QTableWidget*>(c.control.data())) {
            grid->verticalHeader()->setDefaultSectionSize(ui::scaleByDpi(c.defaultRowHeight, formPpi_, 96));
            for (size_t i = 0; i < c.colWidths.size() && static_cast<int>(i) < grid->columnCount(); ++i)
                grid->setColumnWidth(static_cast<int>(i), ui::scaleByDpi(c.colWidths[i], formPpi_, 96));
        } else if (auto* list = qobject_cast<QTreeView*>(c.control.data())) {
            for (size_t i = 0; i < c.colWidths.size(); ++i)
                list->setColumnWidth(static_cast<int>(i), ui::scaleByDpi(c.colWidths[i], formPpi_, 96));
        }
    }
    for (auto* b : findChildren<TxPlButton*>()) {
        if (b->Image()->isEmpty()) {
            b->SetCaptionVertCenter(true);
            b->Image()->SetVertCenter(true);
        }
    }
    QFont f(ui::qs(ctx.ScreenFontName));
    f.setPixelSize(ui::mulDiv(ctx.ScreenFontSize, formPpi_, 72));
    setFont(f);
}

FormSizeStore* TBSDI::sizeStore() {
    auto& ctx = BSDIContext();
    if (ctx.FormSizes) return ctx.FormSizes;
    if (!ctx.DefTransaction) return nullptr;
    if (!ownSizes_) ownSizes_ = std::make_unique<FbFormSizeStore>(*ctx.DefTransaction);
    return ownSizes_.get();
}

ScreenUseLog* TBSDI::useLog() {
    auto& ctx = BSDIContext();
    if (ctx.UseLog) return ctx.UseLog;
    db::Transaction* tx = IBTransactionDAT();
    if (!tx) return nullptr;
    if (!ownLog_) ownLog_ = std::make_unique<FbScreenUseLog>(*tx);
    return ownLog_.get();
}

db::Transaction* TBSDI::IBTransactionDAT() {
    auto& ctx = BSDIContext();
    if (!datTx_ && ctx.DataDatabase) datTx_ = std::make_unique<db::Transaction>(*ctx.DataDatabase, db::TxKind::ReadCommitted);
    return datTx_.get();
}

std::unique_ptr<db::Statement> TBSDI::CreateDataQuery() {
    try {
        db::Transaction* tx = IBTransactionDAT();
        if (!tx) return nullptr;
        return std::make_unique<db::Statement>(*tx);
    } catch (...) {
        return nullptr;
    }
}

void TBSDI::GetFormSize() {
    FormSizeStore* store = sizeStore();
    if (!SaveFormSize || !store) return;
    const std::string name = ui::ss(objectName());
    try {
        if (auto r = store->load(SystemDef.OpCode, name)) {
            move(r->left, r->top);
            resize(r->width, r->height);
        } else {
            const FormRect d = sdi::defaultFormRect(formPpi_, BSDIContext().FrameMetric);
            move(d.left, d.top);
            resize(d.width, d.height);
            store->insert(SystemDef.OpCode, name, d, d.height, d.width);
        }
    } catch (const db::FbError& e) {
        reportDbError(e, "TBSDI.GetFormSize");
    }
}

void TBSDI::PutFormSize() {
    auto& ctx = BSDIContext();
    capture_.clear();
    capturedCount_ = -1;
    FormSizeStore* store = sizeStore();
    if (!store) return;
    QSize mainClient = ctx.MainForm ? ctx.MainForm->size() : (screen() ? screen()->availableSize() : QSize(1024, 768));
    const FormRect cur{pos().y(), pos().x(), height(), width()};
    const FormRect r = sdi::rectToStore(isMaximized(), cur, mainClient.width(), mainClient.height(),
                                        SystemDef.FrameHeight, ctx.TopBarHeight);
    try {
        store->update(SystemDef.OpCode, ui::ss(objectName()), r);
    } catch (const db::FbError& e) {
        reportDbError(e, "TBSDI.PutFormSize");
    }
}

void TBSDI::PutProcRirekiInfo(std::uint8_t mode) {
    ScreenUseLog* log = useLog();
    if (!log) return;
    const std::string job = ui::ss(windowTitle());
    const std::string state = mode == 0 ? "エラー終了" : mode == 1 ? "正常終了" : "";
    try {
        log->closeEntries(SystemDef.OpCode, job, state);
        if (mode == 0) log->openEntry(SystemDef.OpCode, job, SystemDef.PcName, QDateTime::currentDateTime());
    } catch (const db::FbError& e) {
        reportDbError(e, "TBSDI.PutProcRirekiInfo");
        throw;
    }
}

void TBSDI::FormActivate() {
    if (::FormActivateHook) ::FormActivateHook(ActivateValue, ActivateParam);
}

void TBSDI::FormClose(TCloseAction& action) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Finally {
        TBSDI* f;
        TCloseAction& a;
        ~Finally() {
            QApplication::restoreOverrideCursor();
            if (!f->KeepAlive) a = caFree;
        }
    } fin{this, action};
    if (SaveFormSize) PutFormSize();
    if (UseProcLog) PutProcRirekiInfo(1);
}

void TBSDI::FormKeyUp(int& key, Qt::KeyboardModifiers shift) {
    if (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return;
    bool f12Ready = false;
    if (F12Button && F12Button->isVisible() && F12Button->isEnabled()) {
        if (auto* pb = qobject_cast<TxPlButton*>(F12Button.data()))
            f12Ready = pb->hasClickHandler();
        else
            f12Ready = qobject_cast<QAbstractButton*>(F12Button.data()) != nullptr;
    }
    switch (sdi::keyUpAction(key, shift, isDialogStyle(), f12Ready)) {
    case sdi::KeyUpAction::Close:
        close();
        break;
    case sdi::KeyUpAction::ClickF12:
        if (F12Focus) F12Button->setFocus();
        if (auto* pb = qobject_cast<TxPlButton*>(F12Button.data()))
            pb->runClickHandler();
        else if (auto* ab = qobject_cast<QAbstractButton*>(F12Button.data()))
            ab->click();
        key = 0;
        break;
    case sdi::KeyUpAction::None:
        break;
    }
    LastKey = key == 0 ? 0 : sdi::virtualKey(key);
}

void TBSDI::CMShowingChanged(bool showing) {
    if (showing && ::MenuRequestHook) {
        if (MenuNotify && ::MenuRequestHook(10, std::string()) > 0) MenuNotify = false;
        if (MenuNotify) {
            ::MenuRequestHook(11, "VeltanoMenu");
            ::MenuRequestHook(4, std::string());
        }
    }
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void TBSDI::CMFocusChanged() {
    if (HintMemo) ShowHintText(QApplication::focusWidget(), HintMemo);
}

void TBSDI::setHint(QWidget* control, const std::string& hint) {
    if (!control) return;
    control->setProperty("Hint", ui::qs(hint));
    const auto bar = hint.find('|');
    control->setToolTip(ui::qs(bar == std::string::npos ? hint : hint.substr(0, bar)));
}

std::string TBSDI::hintOf(const QWidget* control) {
    if (!control) return {};
    const QVariant v = control->property("Hint");
    return v.isValid() ? ui::ss(v.toString()) : std::string();
}

void TBSDI::ShowHintText(QWidget* control, QWidget* target) {
    if (!control || !target) return;
    const QString text = ui::qs(sdi::longHint(hintOf(control)));
    if (auto* te = qobject_cast<QTextEdit*>(target)) te->setPlainText(text);
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(target)) pe->setPlainText(text);
    else if (auto* l = qobject_cast<QLabel*>(target)) l->setText(text);
}

void TBSDI::SetFormPosition(int offsetX, int offsetY, int areaWidth, int areaHeight, std::uint8_t mode) {
    auto& ctx = BSDIContext();
    QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    sdi::PlaceInput in;
    in.workArea = scr ? scr->availableGeometry() : QRect(0, 0, 1024, 768);
    in.screen = scr ? scr->geometry() : in.workArea;
    in.form = QRect(pos(), frameGeometry().size());
    in.reposition = Reposition;
    in.dialog = isDialogStyle();
    in.mainShowing = ctx.MainForm && ctx.MainForm->isVisible();
    if (in.mainShowing) in.mainForm = ctx.MainForm->frameGeometry();
    in.frameHeight = SystemDef.FrameHeight;
    in.captionHeight = SystemDef.CaptionHeight;
    in.menuHeight = SystemDef.MenuHeight;
    in.topBarHeight = ctx.TopBarHeight;
    if (auto p = sdi::formPosition(offsetX, offsetY, areaWidth, areaHeight, mode, in)) move(*p);
}

void TBSDI::FukugenGamenValue() {
    auto& ctx = BSDIContext();
    if (ctx.ScreenValues) GamenText = ctx.ScreenValues->load(SystemDef.OpCode, ui::ss(objectName()));
}

void TBSDI::HozonGamenValue() {
    auto& ctx = BSDIContext();
    if (ctx.ScreenValues) ctx.ScreenValues->save(SystemDef.OpCode, ui::ss(objectName()), GamenText);
}

bool TBSDI::ReportFailedInit() {
    if (InitOK) return false;
    platform::PromptMessage m;
    m.source = "TBSDI";
    m.kind = platform::pkError;
    m.title = "エラー";
    m.setText(ui::ss(windowTitle()) + "画面の初期化に失敗しました。\r処理を終了します。");
    m.buttons = platform::mbYes;
    platform::prompt().show(m);
    QTimer::singleShot(0, this, [this] { close(); });
    return true;
}

int TBSDI::ShowModal() {
    modalResult_ = 0;
    return exec();
}

void TBSDI::setModalResult(int result) {
    modalResult_ = result;
    if (result != 0) close();
}

void TBSDI::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    FormShow();
    CMShowingChanged(true);
}

void TBSDI::closeEvent(QCloseEvent* e) {
    if (closing_ || !isVisible()) {
        e->accept();
        return;
    }
    closing_ = true;
    TCloseAction action = caHide;
    try {
        FormClose(action);
    } catch (const db::FbError&) {
        // already reported where it happened
    } catch (const std::exception& ex) {
        TMessage2InfoRec info;
        InitMessage2Info(1, info);
        info.Lines[0].Text = ex.what();
        ShowMessageBox2(info);
    }
    closing_ = false;
    if (action == caNone) {
        e->ignore();
        return;
    }
    e->accept();
    if (modalResult_ == 0) modalResult_ = platform::mrCancel;
    done(modalResult_);
    if (action == caFree) deleteLater();
}

void TBSDI::keyPressEvent(QKeyEvent* e) {
    // Esc is handled on key release; the dialog's own Esc handling would
    // close the form without its close steps.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TBSDI::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) lastKeyUp_ = nullptr;
    if (e->type() == QEvent::KeyRelease || e->type() == QEvent::ToolTip) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w->window() == this) {
            if (e->type() == QEvent::ToolTip) return BSDIContext().ShowHint == 0;
            auto* ke = static_cast<QKeyEvent*>(e);
            // A release that travels up the parents reaches this filter once per widget.
            if (!ke->isAutoRepeat() && e != lastKeyUp_) {
                lastKeyUp_ = e;
                int key = ke->key();
                FormKeyUp(key, ke->modifiers());
                if (key == 0) return true;
            }
        }
    }
    return QDialog::eventFilter(o, e);
}

bool TBSDI::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(e);
}
