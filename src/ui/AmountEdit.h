#pragma once
// The suite's single-line edit for amounts, numbers and names: key filters
// by edit style, the "00"/"000" keys, the minus-key sign flip, thousands
// separators while typing or after leaving, the output format on exit, and
// focus moves by Enter, Tab and the arrows. AmountEditModel holds the rules
// over a text and a selection; TTavrinEdit is the Qt edit that feeds it.
//
// Numbers are handled as decimal texts, never as floating point, so an
// amount of any length keeps every digit.
#include "ui/KeyStyles.h"

#include <QLineEdit>
#include <QString>
#include <functional>

enum TEditStyle { esNone, esNumeric, esFloat, esNumericMinus, esFloatMinus };
enum TZeroKey { zkNone, zkDot, zkPlus, zkMinus, zkAsterisk, zkSlash };
enum TKanaMode { kmNone, kmZenkaku, kmHankaku };

namespace amount {

// A number in decimal text: sign, integer digits, fraction digits (no
// leading zeros in the integer part, no trailing zeros in the fraction).
struct Decimal {
    bool negative = false;
    QString whole = QStringLiteral("0");
    QString fraction;
    bool isZero() const { return whole == QLatin1String("0") && fraction.isEmpty(); }
};

// Reads "-1234.5", "+12", ".5"; false for anything else (empty included).
bool parseDecimal(const QString& text, Decimal& out);
// The value of an edit text: commas removed, 0 when not a number.
Decimal valueOf(const QString& text);
// The shortest text of a currency value (at most four decimals): "-1200", "12.5".
QString currToStr(const Decimal& value);
// Number formatting by a pattern of "0", "#", ",", "." and literals, with up
// to three ";" sections (positive; negative; zero), rounding half away
// from zero: "#,##0" gives "1,234" for 1234 and "-1,234" for -1234.
QString formatFloat(const QString& pattern, const Decimal& value);
// Number of "," in a text.
int commaCount(const QString& text);

// Reading conversions: hiragana to katakana, and full-width katakana,
// letters and digits to their half-width forms (a voiced katakana becomes
// two half-width characters).
QString toKatakana(const QString& text);
QString toHalfWidth(const QString& text);

} // namespace amount

enum class FocusStep { None, Next, Previous };

class AmountEditModel {
public:
    TEditStyle EditStyle = esNone;
    QString OutputFormat;
    bool Comma = false;
    TZeroKey Zero2Key = zkNone;
    TZeroKey Zero3Key = zkNone;
    bool AllowBlank = false;
    bool EnterKeyNoBeep = false;
    TKeyStyles KeyStyles = ks(ksEnter);
    TAutoNextCtls AutoNextCtls = 0;
    TAutoNextCtls AutoNextCtls_Result = 0;

    // The state the edit shows.
    const QString& text() const { return text_; }
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    int caret() const { return selStart_ + selLength_; }
    // Characters the edit accepts by typing: MaxLength, plus the commas of
    // a formatted text; 0 = no limit.
    int charLimit() const { return charLimit_; }
    int maxLength() const { return maxLength_; }
    void setMaxLength(int n);
    void setComma(bool on);

    // Takes the edit's text and selection as they are (no change handling).
    void setState(const QString& text, int selStart, int selLength);
    // The text changed by program or by the edit itself: change handling.
    void setText(const QString& text);
    void setCaret(int pos) { selStart_ = pos; selLength_ = 0; }

    struct KeyResult {
        bool consumed = false;  // the key goes no further
        FocusStep move = FocusStep::None;
    };
    // A key went down (Qt key code, shift held or another modifier held).
    KeyResult keyDown(int qtKey, bool shift, bool otherModifiers = false);
    // A typed character (after keyDown): filters, inserts and edits.
    KeyResult keyPress(QChar ch, bool shift = false);
    // Types each character as a key down and a key press.
    FocusStep type(const QString& chars);

    // Reading collection: each piece is appended to Kana, which is then
    // kept in katakana (half-width for kmHankaku), at most 1025 CP932 bytes.
    TKanaMode KanaMode = kmNone;
    QString Kana;
    void collectKana(const QString& piece);

    void enter();
    void exit();
    // The output format, when the edit style and the pattern ask for it.
    void applyOutputFormat();
    // Replaces the selection by s, within MaxLength.
    void insertText(const QString& s);

private:
    void change();
    void standardChar(QChar ch);

    QString text_;
    int selStart_ = 0;
    int selLength_ = 0;
    int maxLength_ = 0;
    int charLimit_ = 0;
    bool typing_ = false;
};

class TTavrinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TTavrinEdit(QWidget* parent = nullptr);

    AmountEditModel& model() { return model_; }
    void setEditStyle(TEditStyle s) { model_.EditStyle = s; }
    void setOutputFormat(const QString& f) { model_.OutputFormat = f; }
    void setComma(bool on);
    void setMaxLength(int n);
    void setZero2Key(TZeroKey k) { model_.Zero2Key = k; }
    void setZero3Key(TZeroKey k) { model_.Zero3Key = k; }
    void setAllowBlank(bool on) { model_.AllowBlank = on; }
    void setKeyStyles(TKeyStyles s) { model_.KeyStyles = s; }
    void setAutoNextCtls(TAutoNextCtls s) { model_.AutoNextCtls = s; }
    TAutoNextCtls autoNextCtlsResult() const { return model_.AutoNextCtls_Result; }
    // Sets the text by program (change handling runs).
    void setAmountText(const QString& text);

    // With the IME disabled, paste and the context menu are refused.
    bool KillPaste = false;
    bool ImeDisabled = false;
    void setTransparent(bool on);
    bool transparent() const { return transparent_; }
    void setKanaMode(TKanaMode m) { model_.KanaMode = m; }
    const QString& kana() const { return model_.Kana; }
    void setKana(const QString& k) { model_.Kana = k; }
    // True while an input-method composition is open.
    bool ImeOnFlg = false;
    std::function<void()> OnImeStatusChange;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    void pull();
    void push();
    void move(FocusStep step);

    AmountEditModel model_;
    bool transparent_ = false;
    QString lastKanaPreedit_;
};
