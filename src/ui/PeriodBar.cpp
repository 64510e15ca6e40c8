#include "ui/PeriodBar.h"

#include "accdb/Gengo.h"

#include <QApplication>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>

namespace {

const int kMonthPeriod12[12] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14};
// The 16-cell bar shows twelve months and a settlement cell at most.
constexpr int kLastMonthCell16 = 14;

bool validClosingDay(int k) { return (k >= 1 && k <= 28) || k == 99; }

int monthOf(TDateTime d) {
    int y, m, day;
    datecore::decodeDate(d, y, m, day);
    return m;
}

} // namespace

KikanBarModel::KikanBarModel(KikanKind kind, TDateTime today) : kind_(kind) {
    int y, m, d;
    datecore::decodeDate(today, y, m, d);
    switch (kind_) {
    case KikanKind::Bar16:
        cells_.resize(16);
        SetKikan(99, datecore::encodeDate(y, 1, 1), datecore::encodeDate(y, 12, 31), datecore::encodeDate(y, 1, 1));
        break;
    case KikanKind::Bar12:
        cells_.resize(12);
        edno_ = 11;
        lastUsable_ = 11;
        SetKikan(99, datecore::encodeDate(y, 1, 1), datecore::encodeDate(y, 12, 31), datecore::encodeDate(y, 1, 1));
        break;
    case KikanKind::Bar4:
        cells_.resize(4);
        btnCnt_ = 4;
        stno_ = 0;
        edno_ = 3;
        lastUsable_ = 3;
        lastNo_ = 3;
        for (int i = 0; i < 4; ++i) cells_[i].text = std::to_string(i + 1);
        RepaintCells();
        break;
    }
}

int KikanBarModel::columns() const {
    switch (kind_) {
    case KikanKind::Bar16: return 16;
    case KikanKind::Bar12: return 12;
    case KikanKind::Bar4: return btnCnt_;
    }
    return 16;
}

TDateTime KikanBarModel::closingDate(int months, TDateTime date) {
    if (!validClosingDay(closingDay_)) {
        if (onBeep) onBeep();
        return date;
    }
    return GetShimebiDate(months, closingDay_, date);
}

int KikanBarModel::cellOf(TDateTime from, TDateTime date) {
    int y1, m1, d1, y2, m2, d2;
    datecore::decodeDate(closingDate(0, from), y1, m1, d1);
    datecore::decodeDate(closingDate(0, date), y2, m2, d2);
    const int e = (y2 * 12 + m2) - (y1 * 12 + m1);
    switch (kind_) {
    case KikanKind::Bar16:
        // Months past the twelfth have no cell: they fold onto the last
        // month cell instead of running past the bar.
        if (e >= 0 && e <= 14) return std::min(e + e / 3, kLastMonthCell16);
        return 15;
    case KikanKind::Bar12:
        return e >= 0 && e <= 11 ? e : 11;
    case KikanKind::Bar4: {
        const int m = e >= 0 && e <= 11 ? e : 11;
        return btnCnt_ == 2 ? (m < 6 ? 0 : 1) : m / 3;
    }
    }
    return 0;
}

void KikanBarModel::SetKikan(int closingDay, TDateTime fiscalStart, TDateTime fiscalEnd, TDateTime entryStart) {
    closingDay_ = closingDay;
    fiscalStart_ = fiscalStart;
    fiscalEnd_ = fiscalEnd;
    entryStart_ = entryStart;

    if (kind_ == KikanKind::Bar4) {
        const int n = btnCnt_;
        for (int i = 0; i < cellCount(); ++i) {
            cells_[i].visible = i < n;
            cells_[i].enabled = false;
            cells_[i].back = clBtnFace;
            cells_[i].font = clWindowText;
        }
        stno_ = cellOf(fiscalStart, entryStart);
        edno_ = std::max(stno_, cellOf(fiscalStart, fiscalEnd));
        for (int i = stno_; i <= edno_ && i < n; ++i) cells_[i].enabled = true;
        if (!kikanMove_) edno_ = stno_;
        // Cells before the entry start are closed: the left moves stop there.
        firstUsable_ = stno_;
        anchor_ = stno_;
        current_ = edno_;
        RepaintCells();
        return;
    }

    const bool bar16 = kind_ == KikanKind::Bar16;
    int c = cellOf(fiscalStart, fiscalEnd);
    if (bar16) c = std::min(c, kLastMonthCell16);
    if (bar16) {
        lastUsable_ = c + (kessan_ ? 1 : 0);
        lastNo_ = c + 1;
    } else {
        lastUsable_ = c;
        lastNo_ = c;
    }
    firstUsable_ = std::min(cellOf(fiscalStart, entryStart), lastUsable_);
    stno_ = firstUsable_;
    edno_ = kikanMove_ ? lastUsable_ : stno_;

    for (auto& cell : cells_) cell = KikanCell{"", -1, true, true, backColor_, fontColor_};
    for (int i = 0; i < firstUsable_; ++i) {
        cells_[i].enabled = false;
        cells_[i].back = clBtnFace;
        cells_[i].font = clWindowText;
    }
    if (bar16) {
        for (int j = 0; j <= c + 1; ++j) {
            const TDateTime date = closingDate(j - j / 4, fiscalStart);
            KikanCell& cell = cells_[j];
            if (j == c + 1) {
                cell.text = "決";
                cell.periodNo = 15;
            } else if (j % 4 == 3) {
                cell.periodNo = j;
                cell.text = "・";
            } else {
                cell.periodNo = j;
                cell.text = std::to_string(monthOf(date));
            }
        }
        const int firstClosed = kessan_ ? c + 2 : c + 1;
        for (int i = firstClosed; i < 16; ++i) {
            cells_[i].enabled = false;
            cells_[i].text.clear();
            cells_[i].back = clBtnFace;
            cells_[i].font = clWindowText;
        }
    } else {
        for (int j = 0; j < 12; ++j) {
            cells_[j].periodNo = kMonthPeriod12[j];
            if (j <= c) {
                cells_[j].text = std::to_string(monthOf(closingDate(j, fiscalStart)));
            } else {
                cells_[j].enabled = false;
                cells_[j].back = clBtnFace;
                cells_[j].font = clWindowText;
            }
        }
    }
    anchor_ = stno_;
    current_ = edno_;
    RepaintCells();
}

void KikanBarModel::paintIdle(int i) {
    cells_[i].back = clBtnFace;
    cells_[i].font = clWindowText;
    if (kind_ != KikanKind::Bar4 && kakuteiMode_ && i <= kakuteiMNo_ - 1) {
        cells_[i].back = kakuteiBack_;
        cells_[i].font = kakuteiFont_;
    }
}

void KikanBarModel::RepaintCells() {
    for (int i = 0; i < cellCount(); ++i) {
        const bool inRange = i >= stno_ && i <= edno_;
        if (enabled_) {
            if (inRange) {
                cells_[i].back = backColor_;
                cells_[i].font = fontColor_;
            } else {
                paintIdle(i);
            }
        } else {
            cells_[i].back = inRange ? disabelColor_ : clBtnFace;
            cells_[i].font = clBarGrayText;
        }
    }
}

void KikanBarModel::paintRange() {
    const int lo = std::min(anchor_, current_), hi = std::max(anchor_, current_);
    for (int i = 0; i < cellCount(); ++i) {
        if (i >= lo && i <= hi) {
            cells_[i].back = backColor_;
            cells_[i].font = fontColor_;
        } else {
            paintIdle(i);
        }
    }
}

void KikanBarModel::setColour(TColor& field, TColor value) {
    if (field == value) return;
    field = value;
    RepaintCells();
}

void KikanBarModel::setStno(int v) {
    if (v == stno_) return;
    if (kind_ == KikanKind::Bar12) {
        const int a = std::clamp(v, 0, lastUsable_), b = std::clamp(edno_, 0, lastUsable_);
        stno_ = std::min(a, b);
        edno_ = std::max(a, b);
        anchor_ = stno_;
        current_ = edno_;
    } else {
        stno_ = v;
    }
    RepaintCells();
}

void KikanBarModel::setEdno(int v) {
    if (v == edno_) return;
    if (kind_ == KikanKind::Bar12) {
        const int a = std::clamp(stno_, 0, lastUsable_), b = std::clamp(v, 0, lastUsable_);
        stno_ = std::min(a, b);
        edno_ = std::max(a, b);
        anchor_ = stno_;
        current_ = edno_;
    } else if (kind_ == KikanKind::Bar16) {
        edno_ = std::min(v, lastNo_);
    } else {
        edno_ = v;
    }
    RepaintCells();
}

void KikanBarModel::setKikanMove(bool on) {
    if (on == kikanMove_) return;
    kikanMove_ = on;
    if (!on) edno_ = stno_;
    RepaintCells();
}

void KikanBarModel::setKESSAN(bool on) {
    if (kind_ != KikanKind::Bar16 || on == kessan_) return;
    kessan_ = on;
    if (!on) {
        if (lastUsable_ >= 0 && lastUsable_ < cellCount()) {
            KikanCell& cell = cells_[lastUsable_];
            cell.enabled = false;
            cell.text.clear();
            cell.back = clBtnFace;
            cell.font = clWindowText;
        }
        --lastUsable_;
    } else if (lastUsable_ + 1 < cellCount()) {
        ++lastUsable_;
        cells_[lastUsable_].enabled = true;
        cells_[lastUsable_].text = "決";
    }
}

void KikanBarModel::setBtnCnt(int n) {
    if (kind_ != KikanKind::Bar4 || (n != 2 && n != 4) || n == btnCnt_) return;
    btnCnt_ = n;
    if (n == 2) {
        cells_[0].text = "上";
        cells_[1].text = "下";
        for (int i = 2; i < 4; ++i) {
            cells_[i].text.clear();
            cells_[i].visible = false;
        }
        stno_ = 0;
        edno_ = 1;
    } else {
        for (int i = 0; i < 4; ++i) {
            cells_[i].text = std::to_string(i + 1);
            cells_[i].visible = true;
        }
        stno_ = 0;
        edno_ = 3;
    }
    lastUsable_ = n - 1;
    RepaintCells();
}

void KikanBarModel::setKakuteiMode(bool on) {
    if (on == kakuteiMode_) return;
    kakuteiMode_ = on;
    RepaintCells();
}

void KikanBarModel::setKakuteiMNo(int n) {
    if (n == kakuteiMNo_) return;
    kakuteiMNo_ = n;
    RepaintCells();
}

void KikanBarModel::setBarEnabled(bool on) {
    enabled_ = on;
    RepaintCells();
}

int KikanBarModel::monthNoOf(int index) const {
    switch (kind_) {
    case KikanKind::Bar16:
        return index >= 0 && index <= 15 ? cells_[index].periodNo : index;
    case KikanKind::Bar12:
        return index >= 0 && index <= 11 ? kMonthPeriod12[index] : index;
    case KikanKind::Bar4:
        return index;
    }
    return index;
}

void KikanBarModel::mouseDown(int cell, bool left) {
    if (!left || cell < 0 || cell >= cellCount() || !cells_[cell].enabled) return;
    if (cell > lastUsable_) {
        anchor_ = stno_;
        current_ = edno_;
        return;
    }
    anchor_ = current_ = cell;
    dragging_ = true;
    for (int i = 0; i < cellCount(); ++i) paintIdle(i);
    cells_[cell].back = backColor_;
    cells_[cell].font = fontColor_;
}

void KikanBarModel::mouseMove(int cell) {
    if (!kikanMove_ || !dragging_) return;
    if (cell < 0 || cell >= cellCount() || !cells_[cell].enabled) return;
    current_ = cell;
    paintRange();
}

bool KikanBarModel::mouseUp(bool left) {
    if (!left) return false;
    dragging_ = false;
    stno_ = std::min(anchor_, current_);
    edno_ = std::max(anchor_, current_);
    RepaintCells();
    return true;
}

void KikanBarModel::keyLeft(bool shiftOnly) {
    if (kikanMove_ && shiftOnly) {
        if (current_ > firstUsable_) --current_;
        stno_ = anchor_;
        edno_ = current_;
        paintRange();
    } else {
        if (anchor_ > firstUsable_) --anchor_;
        current_ = anchor_;
        paintRange();
        stno_ = anchor_;
        edno_ = current_;
    }
}

void KikanBarModel::keyRight(bool shiftOnly) {
    if (kikanMove_ && shiftOnly) {
        if (current_ < lastUsable_) ++current_;
        stno_ = anchor_;
        edno_ = current_;
        paintRange();
    } else {
        if (anchor_ < lastUsable_) ++anchor_;
        current_ = anchor_;
        paintRange();
        stno_ = anchor_;
        edno_ = current_;
    }
}

void KikanBarModel::shiftReleased() {
    stno_ = std::min(anchor_, current_);
    edno_ = std::max(anchor_, current_);
    RepaintCells();
}

bool KikanBarModel::enterPressed() {
    // Only the 16-cell bar settles the owed release here; the others raise
    // it again when the focus leaves.
    if (kind_ == KikanKind::Bar16) KBDMOUSE = false;
    return true;
}

bool KikanBarModel::focusLeft() {
    if (!KBDMOUSE) return false;
    KBDMOUSE = false;
    return true;
}

int KikanBarModel::snappedWidth(int width) const {
    const int w = std::max(0, (width - 8) / 16);
    return 16 * w + 8;
}

std::vector<QRect> KikanBarModel::layout(int width, int height) const {
    const int n = columns();
    const int w = std::max(0, (width - 8) / n);
    const int h = std::max(0, height - 6);
    int spare = width - (n * w + 8);
    std::vector<QRect> rects;
    int extra = 0;
    for (int i = 0; i < n; ++i) {
        int cw = w;
        if (spare > 0) {
            ++cw;
            --spare;
        }
        rects.emplace_back(4 + i * w + extra, 3, cw, h);
        if (cw > w) ++extra;
    }
    return rects;
}

// ---- widget ----

namespace {

QColor qcolor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

TDateTime todayDate() {
    const QDate d = QDate::currentDate();
    return datecore::encodeDate(d.year(), d.month(), d.day());
}

} // namespace

TxKikanPanel::TxKikanPanel(KikanKind kind, QWidget* parent) : QFrame(parent), model_(kind, todayDate()) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    model_.onBeep = [] { QApplication::beep(); };
    for (int i = 0; i < model_.cellCount(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("No%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        cellWidgets_.push_back(label);
    }
    designSize_ = QSize(kind == KikanKind::Bar4 ? 80 : 242, 22);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    resize(designSize_);
}

void TxKikanPanel::refresh() {
    rects_ = model_.layout(width(), height());
    for (int i = 0; i < model_.cellCount(); ++i) {
        const KikanCell& c = model_.cell(i);
        QLabel* label = cellWidgets_[i];
        if (i < static_cast<int>(rects_.size())) label->setGeometry(rects_[i]);
        label->setText(QString::fromStdString(c.text));
        label->setVisible(c.visible && i < static_cast<int>(rects_.size()));
        label->setEnabled(c.enabled && model_.barEnabled());
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, qcolor(c.back));
        pal.setColor(QPalette::WindowText, qcolor(c.font));
        pal.setColor(QPalette::Disabled, QPalette::WindowText, c.enabled ? qcolor(c.font) : qcolor(clBarGrayText));
        pal.setColor(QPalette::Disabled, QPalette::Window, qcolor(c.back));
        label->setPalette(pal);
        label->setFont(font());
    }
    update();
}

void TxKikanPanel::SetKikan(int closingDay, TDateTime fiscalStart, TDateTime fiscalEnd, TDateTime entryStart) {
    model_.SetKikan(closingDay, fiscalStart, fiscalEnd, entryStart);
    refresh();
}

void TxKikanPanel::setStno(int v) {
    model_.setStno(v);
    refresh();
}

void TxKikanPanel::setEdno(int v) {
    model_.setEdno(v);
    refresh();
}

void TxKikanPanel::setKikanMove(bool on) {
    model_.setKikanMove(on);
    refresh();
}

int TxKikanPanel::cellAt(const QPoint& p, bool anyRow) const {
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
        const QRect& r = rects_[i];
        if (p.x() >= r.left() && p.x() <= r.right() && (anyRow || (p.y() >= r.top() && p.y() <= r.bottom())))
            return i;
    }
    return -1;
}

void TxKikanPanel::mousePressEvent(QMouseEvent* e) {
    const int cell = cellAt(e->position().toPoint(), false);
    if (cell < 0 || !model_.cell(cell).enabled) return;
    pressed_ = true;
    if (e->button() == Qt::LeftButton) setFocus(Qt::MouseFocusReason);
    model_.mouseDown(cell, e->button() == Qt::LeftButton);
    refresh();
    if (OnMouseDown) OnMouseDown();
}

void TxKikanPanel::mouseMoveEvent(QMouseEvent* e) {
    if (!hasFocus()) return;
    const int cell = cellAt(e->position().toPoint(), true);
    if (cell < 0) return;
    model_.mouseMove(cell);
    refresh();
}

void TxKikanPanel::mouseReleaseEvent(QMouseEvent* e) {
    if (!pressed_) return;
    pressed_ = false;
    if (model_.mouseUp(e->button() == Qt::LeftButton)) {
        refresh();
        if (OnMouseUp) OnMouseUp();
    }
}

void TxKikanPanel::mouseDoubleClickEvent(QMouseEvent* e) {
    if (cellAt(e->position().toPoint(), false) >= 0 && OnDblClick) OnDblClick();
}

bool TxKikanPanel::event(QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Left || k->key() == Qt::Key_Right) model_.KBDMOUSE = true;
    }
    return QFrame::event(e);
}

void TxKikanPanel::keyPressEvent(QKeyEvent* e) {
    const bool shiftOnly = e->modifiers() == Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_Left:
        model_.keyLeft(shiftOnly);
        refresh();
        return;
    case Qt::Key_Right:
        model_.keyRight(shiftOnly);
        refresh();
        return;
    case Qt::Key_Up:
        focusNextPrevChild(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (model_.enterPressed() && OnMouseUp) OnMouseUp();
        focusNextPrevChild(true);
        return;
    default:
        QFrame::keyPressEvent(e);
    }
}

void TxKikanPanel::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Shift) {
        model_.shiftReleased();
        refresh();
        return;
    }
    QFrame::keyReleaseEvent(e);
}

void TxKikanPanel::focusInEvent(QFocusEvent* e) {
    QFrame::focusInEvent(e);
    model_.focusEntered();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qcolor(clBarGrayText));
    setPalette(pal);
    setMouseTracking(true);
}

void TxKikanPanel::focusOutEvent(QFocusEvent* e) {
    QFrame::focusOutEvent(e);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, qcolor(clBtnFace));
    setPalette(pal);
    setMouseTracking(false);
    if (model_.focusLeft() && OnMouseUp) OnMouseUp();
}

void TxKikanPanel::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    if (model_.kind() == KikanKind::Bar16) {
        const int snapped = model_.snappedWidth(width());
        if (snapped != width()) {
            resize(snapped, height());
            return;
        }
    }
    refresh();
}

void TxKikanPanel::changeEvent(QEvent* e) {
    QFrame::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        model_.setBarEnabled(isEnabled());
        refresh();
    } else if (e->type() == QEvent::FontChange) {
        refresh();
    }
}

TxKikanPanel16::TxKikanPanel16(QWidget* parent) : TxKikanPanel(KikanKind::Bar16, parent) {
    setObjectName(QStringLiteral("KikanPanel16"));
    refresh();
}

void TxKikanPanel16::setKESSAN(bool on) {
    model_.setKESSAN(on);
    refresh();
}

TxKikanPanel12::TxKikanPanel12(QWidget* parent) : TxKikanPanel(KikanKind::Bar12, parent) {
    setObjectName(QStringLiteral("KikanPanel12"));
    refresh();
}

TxKikanPanel4::TxKikanPanel4(QWidget* parent) : TxKikanPanel(KikanKind::Bar4, parent) {
    setObjectName(QStringLiteral("KikanPanel4"));
    refresh();
}

void TxKikanPanel4::setBtnCnt(int n) {
    model_.setBtnCnt(n);
    refresh();
}
