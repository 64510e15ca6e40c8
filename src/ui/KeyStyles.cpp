#include "ui/KeyStyles.h"

#include "platform/TextCodec.h"
#include "ui/AmountEdit.h"
#include "ui/UiCommon.h"

#include <QAbstractItemView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTimer>

namespace ui {

namespace {
bool has(TKeyStyles styles, TKeyStyle s) { return (styles & ks(s)) != 0; }
bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
constexpr Qt::KeyboardModifiers kShiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
} // namespace

FocusMove enterMove(KeyControl control, TKeyStyles styles, const KeyState& state) {
    if (!has(styles, ksEnter) || !state.onForm) return FocusMove::None;
    if (control == KeyControl::ComboBox && state.listDropped) return FocusMove::None;
    return FocusMove::Next;
}

FocusMove arrowMove(KeyControl control, TKeyStyles styles, int qtKey, Qt::KeyboardModifiers mods,
                    const KeyState& state) {
    if (mods & kShiftCtrlAlt) return FocusMove::None;
    if (!state.onForm) return FocusMove::None;
    if (control == KeyControl::ComboBox && state.listDropped) return FocusMove::None;
    const bool allSelected = state.selLength == state.textLength;
    switch (qtKey) {
    case Qt::Key_Up:
        return has(styles, ksUp) ? FocusMove::Previous : FocusMove::None;
    case Qt::Key_Down:
        return has(styles, ksDown) ? FocusMove::Next : FocusMove::None;
    case Qt::Key_Left:
        if (!has(styles, ksLeft)) return FocusMove::None;
        if (control == KeyControl::Edit && !(state.caret == 0 && (state.selLength == 0 || allSelected)))
            return FocusMove::None;
        return FocusMove::Previous;
    case Qt::Key_Right:
        if (!has(styles, ksRight)) return FocusMove::None;
        if (control == KeyControl::Edit && !allSelected) return FocusMove::None;
        return FocusMove::Next;
    default:
        return FocusMove::None;
    }
}

QString comboCodePart(const QString& text, int keyLen, const QString& keyTerm) {
    if (keyLen <= 0) return {};
    int p = keyTerm.isEmpty() ? -1 : text.indexOf(keyTerm);
    QString code = (p >= 0 && p < keyLen) ? text.left(p) : text.left(keyLen);
    return code.trimmed();
}

// Applies a decision: true when the key was used for a focus move.
static bool apply(QWidget* w, FocusMove m) {
    if (m == FocusMove::None) return false;
    moveFocus(w, m == FocusMove::Next);
    return true;
}

static KeyState plainState(QWidget* w) {
    KeyState s;
    s.onForm = !w->isWindow();
    return s;
}

} // namespace ui

using ui::FocusMove;
using ui::KeyControl;

TxCheckBox::TxCheckBox(QWidget* parent) : QCheckBox(parent) {}

void TxCheckBox::keyPressEvent(QKeyEvent* e) {
    const auto st = ui::plainState(this);
    if (ui::isEnter(e->key())) {
        if (keyStyles_ & ks(ksEnter)) {
            ui::apply(this, ui::enterMove(KeyControl::CheckBox, keyStyles_, st));
            e->accept();
            return;
        }
        e->ignore(); // reaches the form's default button
        return;
    }
    if (ui::apply(this, ui::arrowMove(KeyControl::CheckBox, keyStyles_, e->key(), e->modifiers(), st))) {
        e->accept();
        return;
    }
    QCheckBox::keyPressEvent(e);
}

TxRadioButton::TxRadioButton(QWidget* parent) : QRadioButton(parent) {}

void TxRadioButton::keyPressEvent(QKeyEvent* e) {
    const auto st = ui::plainState(this);
    if (ui::isEnter(e->key())) {
        if (keyStyles_ & ks(ksEnter)) {
            ui::apply(this, ui::enterMove(KeyControl::RadioButton, keyStyles_, st));
            e->accept();
            return;
        }
        e->ignore();
        return;
    }
    if (ui::apply(this, ui::arrowMove(KeyControl::RadioButton, keyStyles_, e->key(), e->modifiers(), st))) {
        e->accept();
        return;
    }
    QRadioButton::keyPressEvent(e);
}

TxMaskEdit::TxMaskEdit(QWidget* parent) : QLineEdit(parent) {}

void TxMaskEdit::keyPressEvent(QKeyEvent* e) {
    const auto st = ui::plainState(this);
    if (ui::isEnter(e->key()) && (keyStyles_ & ks(ksEnter))) {
        QLineEdit::keyPressEvent(e);
        ui::apply(this, ui::enterMove(KeyControl::MaskEdit, keyStyles_, st));
        e->accept();
        return;
    }
    if (ui::apply(this, ui::arrowMove(KeyControl::MaskEdit, keyStyles_, e->key(), e->modifiers(), st))) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

TxEdit::TxEdit(QWidget* parent) : QLineEdit(parent) {}

double TxEdit::Curr() const {
    bool ok = false;
    double v = text().trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

void TxEdit::SetCurr(double v) {
    if (v != 0.0) setText(QString::number(v, 'f', 4).remove(QRegularExpression(QStringLiteral("\\.?0+$"))));
}

long long TxEdit::Long() const {
    bool ok = false;
    long long v = text().trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

void TxEdit::SetLong(long long v) {
    if (v != 0) setText(QString::number(v));
}

namespace {
bool allKana(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (!((u >= 0x3041 && u <= 0x30FF) || (u >= 0xFF61 && u <= 0xFF9F))) return false;
    }
    return true;
}
} // namespace

QString TxEdit::kana() {
    reading_ = QString::fromStdString(platform::cutToCp932Width(amount::toKatakana(reading_).toStdString(), 1025));
    return QString::fromStdString(platform::cutToCp932Width(amount::toHalfWidth(reading_).toStdString(), 1025));
}

void TxEdit::inputMethodEvent(QInputMethodEvent* e) {
    // The input method hands over the converted text; the reading is the
    // kana the composition held before it was converted.
    if (KanaSw) {
        if (allKana(e->preeditString())) lastPreedit_ = e->preeditString();
        if (!e->commitString().isEmpty()) {
            reading_ += allKana(e->commitString()) ? e->commitString() : lastPreedit_;
            lastPreedit_.clear();
        }
    }
    QLineEdit::inputMethodEvent(e);
}

void TxEdit::keyPressEvent(QKeyEvent* e) {
    if (KanaSw && !e->text().isEmpty() && e->text().at(0).unicode() > 31 &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        reading_ += e->text();
    if (pasteBlocked() && (e->matches(QKeySequence::Paste) ||
                           (e->key() == Qt::Key_Insert && (e->modifiers() & Qt::ShiftModifier)))) {
        e->accept();
        return;
    }
    ui::KeyState st = ui::plainState(this);
    // With a selection the caret counts from where the selection starts
    // (after entering with everything selected the cursor sits at the end).
    st.caret = hasSelectedText() ? selectionStart() : cursorPosition();
    st.selLength = static_cast<int>(selectedText().size());
    st.textLength = static_cast<int>(text().size());
    if (ui::isEnter(e->key())) {
        if (ui::apply(this, ui::enterMove(KeyControl::Edit, keyStyles_, st))) {
            e->accept();
            return;
        }
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (ui::apply(this, ui::arrowMove(KeyControl::Edit, keyStyles_, e->key(), e->modifiers(), st))) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TxEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    reading_.clear();
    lastPreedit_.clear();
    switch (CursorPos) {
    case cpAllSel: selectAll(); break;
    case cpLeft: deselect(); setCursorPosition(0); break;
    case cpRight: deselect(); setCursorPosition(static_cast<int>(text().size())); break;
    }
}

void TxEdit::contextMenuEvent(QContextMenuEvent* e) {
    if (pasteBlocked()) return;
    QLineEdit::contextMenuEvent(e);
}

void TxEdit::mousePressEvent(QMouseEvent* e) {
    if (pasteBlocked() && e->button() != Qt::LeftButton) return; // no right-click menu, no middle-button paste
    QLineEdit::mousePressEvent(e);
}

TxComboBox::TxComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::textActivated, this, [this](const QString&) {
        if (currentIndex() >= 0) lastValid_ = currentIndex();
    });
}

void TxComboBox::SetItemIndex(int index) {
    setCurrentIndex(index);
    if (index >= 0) lastValid_ = index;
}

void TxComboBox::showPopup() {
    dropped_ = true;
    if (view() && DropDownWidth > width()) view()->setMinimumWidth(DropDownWidth);
    QComboBox::showPopup();
}

void TxComboBox::hidePopup() {
    QComboBox::hidePopup();
    dropped_ = false;
    if (KeyLen <= 0) return;
    if (currentIndex() >= 0 || lastValid_ < 0) {
        if (currentIndex() >= 0) lastValid_ = currentIndex();
        if (lastValid_ >= 0 && isEditable()) setEditText(itemText(lastValid_));
    } else {
        setCurrentIndex(lastValid_);
    }
}

void TxComboBox::onTextEdited(const QString& text) {
    if (KeyLen <= 0) return;
    const QString code = ui::comboCodePart(text, KeyLen, KeyTerm);
    if (code.isEmpty()) return;
    const ushort first = text.isEmpty() ? 0 : text.at(0).unicode();
    // A text that begins with a double-byte character keeps the current item.
    if (first >= 0x80 && !(first >= 0xFF61 && first <= 0xFF9F)) {
        if (currentIndex() >= 0) lastValid_ = currentIndex();
        return;
    }
    int found = -1;
    const int start = std::max(0, currentIndex());
    for (int i = start; i < count() && found < 0; ++i)
        if (itemText(i).startsWith(code, Qt::CaseInsensitive)) found = i;
    for (int i = 0; i < start && found < 0; ++i)
        if (itemText(i).startsWith(code, Qt::CaseInsensitive)) found = i;
    if (found >= 0) {
        lastValid_ = found;
        QSignalBlocker b(this);
        const int pos = lineEdit() ? lineEdit()->cursorPosition() : 0;
        setCurrentIndex(found);
        if (lineEdit()) {
            lineEdit()->setText(text);
            lineEdit()->setCursorPosition(pos);
        }
    } else {
        QSignalBlocker b(this);
        setCurrentIndex(-1);
        if (lineEdit()) {
            lineEdit()->setText(code);
            lineEdit()->setCursorPosition(static_cast<int>(code.size()));
        }
    }
}

void TxComboBox::keyPressEvent(QKeyEvent* e) {
    ui::KeyState st = ui::plainState(this);
    st.listDropped = dropped_;
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        const bool atStart = !lineEdit() || lineEdit()->cursorPosition() == 0 || currentText().isEmpty();
        if (dropped_ || atStart) {
            if (count() > 0) {
                setCurrentIndex(0);
                lastValid_ = 0;
                if (isEditable()) setEditText(itemText(0));
            }
            e->accept();
            return;
        }
    }
    if (ui::isEnter(e->key())) {
        if (ui::apply(this, ui::enterMove(KeyControl::ComboBox, keyStyles_, st))) {
            e->accept();
            return;
        }
    } else if (ui::apply(this, ui::arrowMove(KeyControl::ComboBox, keyStyles_, e->key(), e->modifiers(), st))) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void TxComboBox::focusInEvent(QFocusEvent* e) {
    QComboBox::focusInEvent(e);
    lastValid_ = currentIndex();
    if (lineEdit() && KeyLen > 0) {
        disconnect(lineEdit(), &QLineEdit::textEdited, this, nullptr);
        connect(lineEdit(), &QLineEdit::textEdited, this, &TxComboBox::onTextEdited);
    }
}

void TxComboBox::focusOutEvent(QFocusEvent* e) {
    if (KeyLen > 0) {
        QSignalBlocker b(this);
        setCurrentIndex(lastValid_);
        if (lastValid_ != -1 && isEditable()) setEditText(itemText(lastValid_));
    }
    QComboBox::focusOutEvent(e);
}

TxPFbtn::TxPFbtn(QWidget* parent) : QFrame(parent), timer_(new QTimer(this)) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { setFrameShadow(QFrame::Raised); });
}

int TxPFbtn::keyNumber(const QString& name) {
    if (name == QLatin1String("ESC")) return 0;
    if (name.size() >= 2 && name.at(0) == QLatin1Char('F')) {
        bool ok = false;
        int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 10 && name.mid(1) == QString::number(n)) return n;
    }
    return -1;
}

void TxPFbtn::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        setFrameShadow(QFrame::Sunken);
        repaint();
        timer_->start(200);
    }
    QFrame::mousePressEvent(e);
}

void TxPFbtn::mouseReleaseEvent(QMouseEvent* e) {
    setFrameShadow(QFrame::Raised);
    if (e->button() == Qt::LeftButton) {
        const int n = keyNumber(objectName());
        if (n >= 0 && parentWidget()) parentWidget()->window()->setProperty("Tag", n);
        emit clicked();
    }
    QFrame::mouseReleaseEvent(e);
}
