#pragma once
// The suite's input controls that move the focus with Enter and the arrow
// keys. The decision which key moves where lives in plain functions; the
// controls only feed them the key and their state.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <cstdint>
#include <string>

class QTimer;

enum TKeyStyle : std::uint8_t { ksEnter = 0, ksLeft = 1, ksUp = 2, ksRight = 3, ksDown = 4 };
// Set of TKeyStyle as a byte: ksEnter 1, ksLeft 2, ksUp 4, ksRight 8, ksDown 16.
using TKeyStyles = std::uint8_t;
constexpr TKeyStyles ks(TKeyStyle s) { return static_cast<TKeyStyles>(1u << s); }
constexpr TKeyStyles kDefaultKeyStyles = ks(ksEnter) | ks(ksUp);
constexpr TKeyStyles keyStylesFrom(int bits) { return static_cast<TKeyStyles>(bits & 0x1F); }

enum TAutoNextCtl : std::uint8_t { acMaxLength = 0, acTabKey = 1, acDownKey = 2, acSendEnter = 3 };
using TAutoNextCtls = std::uint8_t;
constexpr TAutoNextCtls ac(TAutoNextCtl c) { return static_cast<TAutoNextCtls>(1u << c); }

enum TCursorPos : std::uint8_t { cpAllSel, cpLeft, cpRight };

namespace ui {

enum class KeyControl { CheckBox, RadioButton, MaskEdit, Edit, ComboBox };
enum class FocusMove { None, Next, Previous };

// What a control knows about itself when a key arrives.
struct KeyState {
    bool onForm = true;      // the control sits on a form (not a window of its own)
    int caret = 0;           // edit: caret position
    int selLength = 0;       // edit: selected characters
    int textLength = 0;      // edit: characters of the text
    bool listDropped = false; // combo box: the list is open
};

// Enter: where the focus goes (None: the key takes its ordinary path).
FocusMove enterMove(KeyControl control, TKeyStyles styles, const KeyState& state);
// An arrow key (Qt::Key_Left/Up/Right/Down) with modifiers.
FocusMove arrowMove(KeyControl control, TKeyStyles styles, int qtKey, Qt::KeyboardModifiers mods,
                    const KeyState& state);

// Code part of a combo box text: the text before KeyTerm when it starts
// within the first keyLen characters, else the first keyLen characters; trimmed.
QString comboCodePart(const QString& text, int keyLen, const QString& keyTerm);

} // namespace ui

class TxCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TxCheckBox(QWidget* parent = nullptr);
    TKeyStyles KeyStyles() const { return keyStyles_; }
    void SetKeyStyles(int bits) { keyStyles_ = keyStylesFrom(bits); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TKeyStyles keyStyles_ = kDefaultKeyStyles;
};

class TxRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TxRadioButton(QWidget* parent = nullptr);
    TKeyStyles KeyStyles() const { return keyStyles_; }
    void SetKeyStyles(int bits) { keyStyles_ = keyStylesFrom(bits); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TKeyStyles keyStyles_ = kDefaultKeyStyles;
};

class TxMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TxMaskEdit(QWidget* parent = nullptr);
    TKeyStyles KeyStyles() const { return keyStyles_; }
    void SetKeyStyles(int bits) { keyStyles_ = keyStylesFrom(bits); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TKeyStyles keyStyles_ = kDefaultKeyStyles;
};

// IME modes of the input controls; imDisable also guards paste.
enum TImeMode : std::uint8_t { imDisable, imClose, imOpen, imDontCare };

class TxEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TxEdit(QWidget* parent = nullptr);
    TKeyStyles KeyStyles() const { return keyStyles_; }
    void SetKeyStyles(int bits) { keyStyles_ = keyStylesFrom(bits); }
    TCursorPos CursorPos = cpAllSel;
    bool KillPaste = true;
    TImeMode ImeMode = imDontCare;

    // Currency and whole-number views of the text: 0 on write leaves the
    // text alone, 0 on read when the text is not a number.
    double Curr() const;
    void SetCurr(double v);
    long long Long() const;
    void SetLong(long long v);

    // Paste and the context menu are refused while this holds.
    bool pasteBlocked() const { return KillPaste && ImeMode == imDisable; }

    // The reading typed since the control was entered (collected while
    // KanaSw is on), as half-width katakana; reading it also turns the
    // collected reading into katakana.
    bool KanaSw = false;
    QString kana();
    void setKana(const QString& k) {
        if (!k.isEmpty()) reading_ = k;
    }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    TKeyStyles keyStyles_ = kDefaultKeyStyles;
    QString reading_;
    QString lastPreedit_;
};

class TxComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TxComboBox(QWidget* parent = nullptr);
    TKeyStyles KeyStyles() const { return keyStyles_; }
    void SetKeyStyles(int bits) { keyStyles_ = keyStylesFrom(bits); }
    int DropDownWidth = 0;
    int KeyLen = 0;
    QString KeyTerm = QStringLiteral(":");

    // Selects an index by program; 0 or more also becomes the last valid choice.
    void SetItemIndex(int index);
    int lastValidChoice() const { return lastValid_; }
    bool listDropped() const { return dropped_; }

    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void onTextEdited(const QString& text);
    TKeyStyles keyStyles_ = kDefaultKeyStyles;
    int lastValid_ = -1;
    bool dropped_ = false;
};

// Function-key panel button: its object name ("ESC", "F1" … "F10") tells
// the owner which key it stands for; a left click writes that number into
// the owner's "Tag" property.
class TxPFbtn : public QFrame {
    Q_OBJECT
public:
    explicit TxPFbtn(QWidget* parent = nullptr);
    bool lowered() const { return frameShadow() == QFrame::Sunken; }
    // Key number of a name: ESC 0, F1..F10 1..10, -1 for any other name.
    static int keyNumber(const QString& name);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QTimer* timer_;
};
