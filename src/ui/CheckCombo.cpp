#include "ui/CheckCombo.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

// ---- model ----

void CheckComboModel::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (sorted_) std::sort(items_.begin(), items_.end());
    checked_.assign(items_.size(), false);
    selection_.clear();
    count_ = 0;
}

void CheckComboModel::setSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_) setItems(items_);
}

bool CheckComboModel::isChecked(int index) const {
    return index >= 0 && index < static_cast<int>(checked_.size()) && checked_[index];
}

void CheckComboModel::clickCheck(int index, bool checkedNow) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    const std::string& text = items_[index];
    checked_[index] = checkedNow;
    const auto found = std::find(selection_.begin(), selection_.end(), text);
    if (checkedNow) {
        if (!multiSelect_) {
            for (std::size_t i = 0; i < checked_.size(); ++i)
                if (static_cast<int>(i) != index) checked_[i] = false;
            selection_.clear();
            count_ = 0;
        }
        if (std::find(selection_.begin(), selection_.end(), text) == selection_.end()) {
            selection_.push_back(text);
            ++count_;
        }
    } else if (found != selection_.end()) {
        selection_.erase(found);
        --count_;
    }
}

bool CheckComboModel::selectAll() {
    if (!multiSelect_) return false;
    checked_.assign(items_.size(), true);
    selection_ = items_;
    count_ = static_cast<int>(items_.size());
    return true;
}

void CheckComboModel::deselectAll() {
    checked_.assign(items_.size(), false);
    selection_.clear();
    count_ = 0;
}

static std::string joinComma(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) {
        if (!out.empty()) out += ',';
        out += p;
    }
    return out;
}

std::string CheckComboModel::selectionText() const { return joinComma(selection_); }

std::string CheckComboModel::displayText() const {
    if (DispStyle == dsItems) {
        if (selection_.empty()) return EmptyValue;
        if (!SortDisplay) return selectionText();
        std::vector<std::string> inOrder;
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (checked_[i]) inOrder.push_back(items_[i]);
        return joinComma(inOrder);
    }
    if (count_ == 0) return EmptyValue;
    if (count_ == 1) return selectionText();
    std::string out = KensuValueFormat;
    const auto at = out.find("%d");
    if (at != std::string::npos) out.replace(at, 2, std::to_string(count_));
    return out;
}

void CheckComboModel::setDropDownLines(int lines) {
    if (lines >= 1 && lines <= 20) dropDownLines_ = lines;
}

int CheckComboModel::visibleLines() const {
    const int n = static_cast<int>(items_.size());
    int lines = columns_ < 2 ? std::min(dropDownLines_, n) : n / columns_ + 1;
    return std::clamp(lines, 1, 20);
}

QRect CheckComboModel::dropDownRect(const QRect& control, int itemHeight, int dropDownWidth, int screenBottom) const {
    const int width = std::max(control.width(), dropDownWidth);
    const int height = itemHeight * visibleLines() + 4;
    int top = control.bottom() + 1;
    if (top + height > screenBottom - 20) top = control.top() - height;
    return QRect(control.left(), top, width, height);
}

bool CheckComboModel::requestOpen() {
    const bool consumed = closedOverButton_;
    closedOverButton_ = false;
    return !items_.empty() && !consumed;
}

// ---- widget ----

namespace {

QPixmap buttonPixmap(TxCheckedComboBox::ButtonState s) {
    QPixmap pm(16, 16);
    QColor face, mark(40, 40, 60);
    switch (s) {
    case TxCheckedComboBox::bsNormal: face = QColor(196, 222, 250); break;
    case TxCheckedComboBox::bsHot: face = QColor(224, 238, 252); break;
    case TxCheckedComboBox::bsPress: face = QColor(120, 170, 230); break;
    case TxCheckedComboBox::bsGray: face = QColor(210, 210, 210); mark = QColor(150, 150, 150); break;
    }
    pm.fill(face);
    QPainter p(&pm);
    p.setPen(QPen(mark, 2));
    p.drawLine(4, 6, 8, 10);
    p.drawLine(8, 10, 12, 6);
    return pm;
}

} // namespace

TxCheckedComboBox::TxCheckedComboBox(QWidget* parent) : QFrame(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    resize(120, 20);
    DropDownWidth = width();

    display_ = new QLabel(this);
    display_->setFrameShape(QFrame::Box);
    display_->setLineWidth(1);
    display_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    display_->setAutoFillBackground(true);
    display_->installEventFilter(this);

    button_ = new QLabel(display_);
    button_->setScaledContents(true);
    button_->setCursor(Qt::ArrowCursor);
    button_->setMouseTracking(true);
    button_->installEventFilter(this);

    popup_ = new QFrame(this, Qt::Popup | Qt::FramelessWindowHint);
    auto* lay = new QVBoxLayout(popup_);
    lay->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(popup_);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);
    lay->addWidget(list_);
    popup_->installEventFilter(this);

    menu_ = new QMenu(this);
    selectAllAction_ = menu_->addAction(QString());
    deselectAllAction_ = menu_->addAction(QString());
    connect(selectAllAction_, &QAction::triggered, this, &TxCheckedComboBox::selectAll);
    connect(deselectAllAction_, &QAction::triggered, this, &TxCheckedComboBox::deselectAll);
    connect(list_, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(list_->viewport()->mapToGlobal(at)); });
    connect(list_, &QListWidget::itemChanged, this, &TxCheckedComboBox::listItemChanged);

    setButtonState(bsNormal);
    layoutParts();
    refreshDisplay();
}

TxCheckedComboBox::~TxCheckedComboBox() = default;

void TxCheckedComboBox::setItems(const std::vector<std::string>& items) {
    model_.setItems(items);
    refreshDisplay();
    syncing_ = true;
    list_->clear();
    for (const auto& text : model_.items()) {
        auto* item = new QListWidgetItem(QString::fromStdString(text), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    syncing_ = false;
}

void TxCheckedComboBox::setSorted(bool on) {
    if (on == model_.sorted()) return;
    model_.setSorted(on);
    setItems(model_.items());
}

void TxCheckedComboBox::setColumns(int columns) {
    model_.setColumns(columns);
    if (columns >= 2) {
        list_->setFlow(QListView::TopToBottom);
        list_->setWrapping(true);
    } else {
        list_->setWrapping(false);
    }
}

void TxCheckedComboBox::setEmptyValue(const std::string& text) {
    if (text == model_.EmptyValue) return;
    model_.EmptyValue = text;
    refreshDisplay();
}

void TxCheckedComboBox::setMultiSelect(bool on) {
    model_.setMultiSelect(on);
    selectAllAction_->setEnabled(on);
}

void TxCheckedComboBox::setDispStyle(TCHBDispStyle style) {
    model_.DispStyle = style;
    refreshDisplay();
}

void TxCheckedComboBox::setSortDisplay(bool on) {
    model_.SortDisplay = on;
    refreshDisplay();
}

void TxCheckedComboBox::setKensuValueFormat(const std::string& format) {
    model_.KensuValueFormat = format;
    refreshDisplay();
}

QString TxCheckedComboBox::displayText() const { return display_->text(); }

bool TxCheckedComboBox::isDroppedDown() const { return popup_->isVisible(); }

QWidget* TxCheckedComboBox::dropDownWindow() const { return popup_; }

void TxCheckedComboBox::refreshDisplay() {
    display_->setText(QString::fromStdString(model_.displayText()));
}

void TxCheckedComboBox::syncChecks() {
    syncing_ = true;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(model_.isChecked(i) ? Qt::Checked : Qt::Unchecked);
    syncing_ = false;
}

void TxCheckedComboBox::listItemChanged(QListWidgetItem* item) {
    if (syncing_) return;
    model_.clickCheck(list_->row(item), item->checkState() == Qt::Checked);
    syncChecks();
    refreshDisplay();
    if (OnChange) OnChange();
    if (OnClickCheck) OnClickCheck();
}

void TxCheckedComboBox::selectAll() {
    if (!model_.selectAll()) return;
    syncChecks();
    refreshDisplay();
    display_->repaint();
    if (OnChange) OnChange();
}

void TxCheckedComboBox::deselectAll() {
    model_.deselectAll();
    syncChecks();
    refreshDisplay();
    if (OnChange) OnChange();
}

void TxCheckedComboBox::setButtonState(ButtonState s) {
    if (!isEnabled()) s = bsGray;
    buttonState_ = s;
    button_->setPixmap(buttonPixmap(s));
}

void TxCheckedComboBox::buttonClick() {
    setButtonState(bsPress);
    setFocus();
    if (model_.requestOpen()) {
        if (OnClick) OnClick();
        const QRect control(mapToGlobal(QPoint(0, 0)), size());
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const int screenBottom = screen ? screen->geometry().bottom() + 1 : control.bottom() + 10000;
        popup_->setFont(font());
        const int itemHeight = list_->fontMetrics().height() + 2;
        popup_->setGeometry(model_.dropDownRect(control, itemHeight, DropDownWidth, screenBottom));
        selectAllAction_->setText(QString::fromStdString(CapSelectAll));
        deselectAllAction_->setText(QString::fromStdString(CapDeSelectAll));
        selectAllAction_->setEnabled(model_.multiSelect());
        popup_->show();
        list_->setFocus();
        update();
    } else {
        setButtonState(bsNormal);
    }
    if (OnButtonClick) OnButtonClick();
}

void TxCheckedComboBox::closeList(bool moveNext, bool movePrevious) {
    popup_->hide();
    if (moveNext) focusNextPrevChild(true);
    if (movePrevious) focusNextPrevChild(false);
}

void TxCheckedComboBox::layoutParts() {
    const int side = std::max(4, height() - 4);
    display_->setGeometry(0, 0, width(), height());
    button_->setGeometry(width() - side - 2, (height() - side) / 2, side, side);
}

void TxCheckedComboBox::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    layoutParts();
}

void TxCheckedComboBox::changeEvent(QEvent* e) {
    QFrame::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        setButtonState(isEnabled() ? bsNormal : bsGray);
        display_->setEnabled(isEnabled());
        button_->setEnabled(isEnabled());
        focusOutEvent(nullptr);
    } else if (e->type() == QEvent::FontChange) {
        display_->setFont(font());
        setFixedHeight(fontMetrics().height() + 8);
        layoutParts();
    }
}

void TxCheckedComboBox::focusInEvent(QFocusEvent* e) {
    if (e) QFrame::focusInEvent(e);
    QPalette pal = display_->palette();
    pal.setColor(QPalette::Window, palette().color(QPalette::Highlight));
    pal.setColor(QPalette::WindowText, Qt::white);
    display_->setPalette(pal);
}

void TxCheckedComboBox::focusOutEvent(QFocusEvent* e) {
    if (e) QFrame::focusOutEvent(e);
    if (hasFocus()) return;
    QPalette pal = display_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, isEnabled() ? palette().color(QPalette::WindowText) : QColor(Qt::gray));
    display_->setPalette(pal);
}

void TxCheckedComboBox::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F4) {
        buttonClick();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        focusNextPrevChild(true);
        return;
    }
    QFrame::keyPressEvent(e);
}

bool TxCheckedComboBox::eventFilter(QObject* watched, QEvent* e) {
    if (watched == popup_ && e->type() == QEvent::Hide) {
        const QPoint cursor = button_->mapFromGlobal(QCursor::pos());
        const QRect inside = button_->rect().adjusted(1, 1, -1, -1);
        model_.closedUp(inside.contains(cursor));
        // The press that closed the list is replayed to the button at once;
        // any later click is a new request.
        QTimer::singleShot(0, this, [this] { model_.forgetCloseClick(); });
        setButtonState(bsNormal);
        setFocus();
        if (OnCloseUp) OnCloseUp();
    } else if (watched == button_) {
        if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            buttonClick();
            return true;
        }
        if (e->type() == QEvent::Enter && !isDroppedDown()) setButtonState(bsHot);
        if (e->type() == QEvent::Leave && !isDroppedDown()) setButtonState(bsNormal);
    } else if (watched == display_ && e->type() == QEvent::MouseButtonRelease) {
        if (!hasFocus()) setFocus();
        if (OnPanelClick) OnPanelClick();
    } else if (watched == list_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool shift = k->modifiers() & Qt::ShiftModifier;
        switch (k->key()) {
        case Qt::Key_Escape: closeList(false, false); return true;
        case Qt::Key_Backtab: closeList(false, true); return true;
        case Qt::Key_Tab: closeList(!shift, shift); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!shift) {
                closeList(true, false);
                return true;
            }
            break;
        default: break;
        }
    }
    return QFrame::eventFilter(watched, e);
}
