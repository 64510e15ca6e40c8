#include "ui/AmountEdit.h"

#include "platform/TextCodec.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <algorithm>

namespace amount {

namespace {

QString stripLeadingZeros(QString s) {
    int i = 0;
    while (i + 1 < s.size() && s[i] == QLatin1Char('0')) ++i;
    s.remove(0, i);
    return s.isEmpty() ? QStringLiteral("0") : s;
}

QString stripTrailingZeros(QString s) {
    while (!s.isEmpty() && s.back() == QLatin1Char('0')) s.chop(1);
    return s;
}

// Rounds to `places` fraction digits, half away from zero; the fraction
// comes back exactly `places` long.
void roundTo(QString& whole, QString& fraction, int places) {
    if (fraction.size() <= places) {
        fraction = fraction.leftJustified(places, QLatin1Char('0'));
        return;
    }
    const bool up = fraction[places] >= QLatin1Char('5');
    QString digits = whole + fraction.left(places);
    if (up) {
        int i = digits.size() - 1;
        for (; i >= 0; --i) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) digits.prepend(QLatin1Char('1'));
    }
    whole = stripLeadingZeros(digits.left(digits.size() - places));
    fraction = digits.right(places);
}

QString groupThousands(const QString& digits) {
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

QStringList splitSections(const QString& pattern) {
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            current += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            current += c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

QString formatSection(const QString& section, const Decimal& value, bool withMinus) {
    // Literal text before the first and after the last placeholder; the
    // placeholders in between decide digits, grouping and decimals.
    QString prefix, suffix;
    int minInt = 0, minFrac = 0, maxFrac = 0;
    bool thousands = false, inFraction = false, seenPlaceholder = false;
    QChar quote;
    QString pendingLiteral;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            else pendingLiteral += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            continue;
        }
        const bool digit = c == QLatin1Char('0') || c == QLatin1Char('#');
        if (digit || c == QLatin1Char('.') || (c == QLatin1Char(',') && seenPlaceholder)) {
            if (!seenPlaceholder) prefix = pendingLiteral;
            else suffix.clear();
            pendingLiteral.clear();
            seenPlaceholder = true;
            if (c == QLatin1Char('.')) {
                inFraction = true;
            } else if (c == QLatin1Char(',')) {
                if (!inFraction) thousands = true;
            } else if (inFraction) {
                ++maxFrac;
                if (c == QLatin1Char('0')) minFrac = maxFrac;
            } else if (c == QLatin1Char('0')) {
                ++minInt;
            }
            continue;
        }
        pendingLiteral += c;
    }
    if (!seenPlaceholder) return pendingLiteral;
    suffix = pendingLiteral;

    QString whole = value.whole, fraction = value.fraction;
    roundTo(whole, fraction, maxFrac);
    while (fraction.size() > minFrac && fraction.back() == QLatin1Char('0')) fraction.chop(1);
    QString intDigits = whole == QLatin1String("0") ? QString() : whole;
    if (intDigits.size() < minInt) intDigits = intDigits.rightJustified(minInt, QLatin1Char('0'));
    if (thousands) intDigits = groupThousands(intDigits);
    QString number = intDigits;
    if (!fraction.isEmpty()) number += QLatin1Char('.') + fraction;
    const bool zero = whole == QLatin1String("0") && stripTrailingZeros(fraction).isEmpty();
    if (withMinus && value.negative && !zero) number.prepend(QLatin1Char('-'));
    return prefix + number + suffix;
}

} // namespace

bool parseDecimal(const QString& input, Decimal& out) {
    const QString text = input.trimmed();
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    QString whole, fraction;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) whole += text[i++];
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) fraction += text[i++];
    }
    if (i != text.size() || (whole.isEmpty() && fraction.isEmpty())) return false;
    out.negative = negative;
    out.whole = stripLeadingZeros(whole);
    out.fraction = stripTrailingZeros(fraction);
    if (out.isZero()) out.negative = false;
    return true;
}

Decimal valueOf(const QString& text) {
    QString plain = text;
    plain.remove(QLatin1Char(','));
    Decimal d;
    if (!parseDecimal(plain, d)) return Decimal{};
    return d;
}

QString currToStr(const Decimal& value) {
    QString whole = value.whole, fraction = value.fraction;
    roundTo(whole, fraction, 4);
    fraction = stripTrailingZeros(fraction);
    QString out = whole;
    if (!fraction.isEmpty()) out += QLatin1Char('.') + fraction;
    if (value.negative && out != QLatin1String("0")) out.prepend(QLatin1Char('-'));
    return out;
}

QString formatFloat(const QString& pattern, const Decimal& value) {
    const QStringList sections = splitSections(pattern);
    if (value.isZero() && sections.size() >= 3 && !sections[2].isEmpty()) return formatSection(sections[2], value, false);
    if (value.negative && sections.size() >= 2 && !sections[1].isEmpty()) return formatSection(sections[1], value, false);
    return formatSection(sections[0], value, true);
}

int commaCount(const QString& text) { return static_cast<int>(text.count(QLatin1Char(','))); }

QString toKatakana(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const ushort u = c.unicode();
        if ((u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E) c = QChar(u + 0x60);
    }
    return out;
}

QString toHalfWidth(const QString& text) {
    static const QString full = QString::fromUtf8(
        "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜");
    static const QString voiced = QString::fromUtf8("ガギグゲゴザジズゼゾダヂヅデドバビブベボヴ");
    static const QString voicedBase = QString::fromUtf8("カキクケコサシスセソタチツテトハヒフヘホウ");
    static const QString semi = QString::fromUtf8("パピプペポ");
    static const QString semiBase = QString::fromUtf8("ハヒフヘホ");
    const auto half = [&](QChar c) { return QChar(static_cast<char16_t>(0xFF61 + full.indexOf(c))); };
    QString out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (int i = voiced.indexOf(c); i >= 0) {
            out += half(voicedBase[i]);
            out += QChar(0xFF9E);
        } else if (int j = semi.indexOf(c); j >= 0) {
            out += half(semiBase[j]);
            out += QChar(0xFF9F);
        } else if (full.contains(c)) {
            out += half(c);
        } else if (u >= 0xFF01 && u <= 0xFF5E) {
            out += QChar(u - 0xFEE0);
        } else if (u == 0x3000) {
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace amount

// ---- model ----

namespace {

QChar zeroKeyChar(TZeroKey k) {
    switch (k) {
    case zkDot: return QLatin1Char('.');
    case zkPlus: return QLatin1Char('+');
    case zkMinus: return QLatin1Char('-');
    case zkAsterisk: return QLatin1Char('*');
    case zkSlash: return QLatin1Char('/');
    case zkNone: break;
    }
    return QChar();
}

bool floatStyle(TEditStyle s) { return s == esFloat || s == esFloatMinus; }
bool minusStyle(TEditStyle s) { return s == esNumericMinus || s == esFloatMinus; }

bool passesFilter(TEditStyle s, QChar c) {
    if (s == esNone) return true;
    const ushort u = c.unicode();
    if (u == 8 || u == 9 || u == 27 || (u >= '0' && u <= '9')) return true;
    if (u == '.' && floatStyle(s)) return true;
    if (u == '-' && minusStyle(s)) return true;
    return false;
}

bool zeroKeyIgnored(TZeroKey k, TEditStyle s) {
    return s == esNone || (k == zkDot && floatStyle(s)) || (k == zkMinus && minusStyle(s));
}

int lengthWithoutCommas(const QString& t) { return static_cast<int>(t.size()) - amount::commaCount(t); }

constexpr ushort kEnter = 13, kTab = 9, kBackspace = 8, kEsc = 27;

} // namespace

void AmountEditModel::setMaxLength(int n) {
    maxLength_ = std::max(0, n);
    charLimit_ = maxLength_;
}

void AmountEditModel::setComma(bool on) {
    Comma = on;
    if (!on) charLimit_ = maxLength_;
}

void AmountEditModel::setState(const QString& text, int selStart, int selLength) {
    text_ = text;
    selStart_ = std::clamp(selStart, 0, static_cast<int>(text_.size()));
    selLength_ = std::clamp(selLength, 0, static_cast<int>(text_.size()) - selStart_);
}

void AmountEditModel::setText(const QString& text) {
    text_ = text;
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
    change();
}

void AmountEditModel::applyOutputFormat() {
    if (EditStyle == esNone || OutputFormat.isEmpty() || (AllowBlank && text_.isEmpty())) return;
    text_ = amount::formatFloat(OutputFormat, amount::valueOf(text_));
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
    if (maxLength_ > 0) charLimit_ = maxLength_ + amount::commaCount(text_);
}

void AmountEditModel::change() {
    if (!(Comma && typing_)) return;
    typing_ = false;
    const int p = caret();
    const int n = static_cast<int>(text_.size());
    const int a = amount::commaCount(text_);
    applyOutputFormat();
    const int b = amount::commaCount(text_);
    int pos = p;
    if (n == 0 || b > a) pos = p + 1;
    else if (b < a) pos = p - 1;
    setCaret(std::clamp(pos, 0, static_cast<int>(text_.size())));
}

void AmountEditModel::insertText(const QString& input) {
    QString s = input;
    QString rest = text_;
    rest.remove(selStart_, selLength_);
    if (maxLength_ > 0) {
        const int room = maxLength_ - lengthWithoutCommas(rest);
        while (!s.isEmpty() && lengthWithoutCommas(s) > std::max(0, room)) s.chop(1);
    }
    const int start = selStart_;
    const int commasBefore = amount::commaCount(text_);
    text_ = rest.insert(start, s);
    selLength_ = 0;
    selStart_ = start + static_cast<int>(s.size());
    if (maxLength_ > 0) {
        const int len = Comma ? lengthWithoutCommas(text_) : static_cast<int>(text_.size());
        if (len >= maxLength_) {
            AutoNextCtls_Result |= ac(acMaxLength);
            if (AutoNextCtls & ac(acSendEnter)) AutoNextCtls_Result |= ac(acSendEnter);
        }
    }
    change();
    const int pos = start + static_cast<int>(s.size()) + amount::commaCount(text_) - commasBefore;
    setCaret(std::clamp(pos, 0, static_cast<int>(text_.size())));
}

AmountEditModel::KeyResult AmountEditModel::keyDown(int key, bool shift, bool other) {
    KeyResult r;
    if (key == 0) return r;
    const bool noMods = !shift && !other;
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const bool back = key == Qt::Key_Backtab || shift;
        if (!back && !other && (AutoNextCtls & ac(acTabKey))) break;
        if (!back && !other) r = {true, FocusStep::Next};
        else if (back && !other) r = {true, FocusStep::Previous};
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (KeyStyles & ks(ksEnter)) r = {true, FocusStep::Next};
        break;
    case Qt::Key_Up:
        if (KeyStyles & ks(ksUp)) r = {true, FocusStep::Previous};
        break;
    case Qt::Key_Down:
        if (noMods && (AutoNextCtls & ac(acDownKey))) {
            r.consumed = true;
            AutoNextCtls_Result |= ac(acDownKey) | ac(acSendEnter);
        } else if (KeyStyles & ks(ksDown)) {
            r = {true, FocusStep::Next};
        }
        break;
    case Qt::Key_Left:
        if ((KeyStyles & ks(ksLeft)) && selLength_ == 0 && caret() == 0) r = {true, FocusStep::Previous};
        break;
    case Qt::Key_Right:
        if ((KeyStyles & ks(ksRight)) && selLength_ == 0 && caret() == text_.size()) r = {true, FocusStep::Next};
        break;
    default:
        typing_ = true;
        break;
    }
    return r;
}

void AmountEditModel::standardChar(QChar ch) {
    const ushort u = ch.unicode();
    if (u == kBackspace) {
        if (selLength_ > 0) {
            text_.remove(selStart_, selLength_);
        } else if (selStart_ > 0) {
            text_.remove(selStart_ - 1, 1);
            --selStart_;
        } else {
            return;
        }
        selLength_ = 0;
        change();
        return;
    }
    if (u < 32 || u == 127) return; // Enter, Tab, Esc and other controls type nothing
    if (charLimit_ > 0 && text_.size() - selLength_ >= charLimit_) return;
    text_.remove(selStart_, selLength_);
    text_.insert(selStart_, ch);
    ++selStart_;
    selLength_ = 0;
    change();
}

AmountEditModel::KeyResult AmountEditModel::keyPress(QChar ch, bool shift) {
    KeyResult r;
    ushort u = ch.unicode();
    if (u == 0) return r;
    r.consumed = true;
    const bool tabHere = (AutoNextCtls & ac(acTabKey)) != 0;
    bool inserted = false;
    if (u == kTab && tabHere && shift) return r;
    const bool skipFilters = u == kEnter || (u == kTab && tabHere);
    if (!skipFilters) {
        // "00" and "000" keys
        if (Zero2Key != zkNone && !zeroKeyIgnored(Zero2Key, EditStyle) && ch == zeroKeyChar(Zero2Key)) {
            u = 0;
            insertText(QStringLiteral("00"));
            inserted = true;
        } else if (Zero3Key != zkNone && !zeroKeyIgnored(Zero3Key, EditStyle) && ch == zeroKeyChar(Zero3Key)) {
            u = 0;
            insertText(QStringLiteral("000"));
            inserted = true;
        }
        if (u != 0 && EditStyle != esNone) {
            if (!passesFilter(EditStyle, QChar(u))) return r;
            if (u == '-' && minusStyle(EditStyle)) {
                amount::Decimal v = amount::valueOf(text_);
                if (!v.isZero()) {
                    v.negative = !v.negative;
                    text_ = amount::currToStr(v);
                    setCaret(static_cast<int>(text_.size()));
                    change();
                    setCaret(static_cast<int>(text_.size()));
                    return r;
                }
            }
            if (u == '.' && floatStyle(EditStyle) && (text_.isEmpty() || text_.contains(QLatin1Char('.')))) return r;
        }
    }
    if (u == 0 && !inserted) return r;
    if (u == kBackspace || u == kEsc) {
        AutoNextCtls_Result = 0;
        if (u == kEsc) return r;
    } else if (u == kTab) {
        if (tabHere) AutoNextCtls_Result |= ac(acTabKey) | ac(acSendEnter);
    } else {
        if (EnterKeyNoBeep && u == kEnter) return r;
        AutoNextCtls_Result &= static_cast<TAutoNextCtls>(~(ac(acMaxLength) | ac(acSendEnter)));
        if ((AutoNextCtls & ac(acMaxLength)) && maxLength_ > 0 &&
            (1 - selLength_) + lengthWithoutCommas(text_) >= maxLength_) {
            AutoNextCtls_Result |= ac(acMaxLength);
            if (AutoNextCtls & ac(acSendEnter)) {
                AutoNextCtls_Result |= ac(acSendEnter);
            } else {
                if (u != 0) insertText(QChar(u));
                r.move = FocusStep::Next;
                return r;
            }
        }
    }
    if (u != 0) standardChar(QChar(u));
    return r;
}

FocusStep AmountEditModel::type(const QString& chars) {
    FocusStep last = FocusStep::None;
    for (QChar c : chars) {
        int key = c.unicode();
        if (c == QLatin1Char('\r')) key = Qt::Key_Return;
        else if (c == QLatin1Char('\t')) key = Qt::Key_Tab;
        else if (c.unicode() == 8) key = Qt::Key_Backspace;
        else if (c.unicode() == 27) key = Qt::Key_Escape;
        else key = QChar(c).toUpper().unicode();
        const KeyResult down = keyDown(key, false);
        if (down.move != FocusStep::None) last = down.move;
        if (down.consumed) continue;
        const KeyResult press = keyPress(c, false);
        if (press.move != FocusStep::None) last = press.move;
    }
    return last;
}

void AmountEditModel::collectKana(const QString& piece) {
    if (KanaMode == kmNone || piece.isEmpty()) return;
    Kana = amount::toKatakana(Kana + piece);
    if (KanaMode == kmHankaku) Kana = amount::toHalfWidth(Kana);
    const std::string cut = platform::cutToCp932Width(Kana.toStdString(), 1025);
    Kana = QString::fromStdString(cut);
}

void AmountEditModel::enter() {
    AutoNextCtls_Result = 0;
    if (EditStyle != esNone && !OutputFormat.isEmpty() && !Comma) {
        text_.remove(QLatin1Char(','));
        selStart_ = 0;
        selLength_ = static_cast<int>(text_.size());
    }
}

void AmountEditModel::exit() {
    applyOutputFormat();
    AutoNextCtls_Result = 0;
}

// ---- widget ----

TTavrinEdit::TTavrinEdit(QWidget* parent) : QLineEdit(parent) {}

void TTavrinEdit::pull() {
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int len = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    model_.setState(text(), start, len);
}

void TTavrinEdit::push() {
    QLineEdit::setMaxLength(model_.charLimit() > 0 ? model_.charLimit() : 32767);
    if (text() != model_.text()) QLineEdit::setText(model_.text());
    if (model_.selLength() > 0) setSelection(model_.selStart(), model_.selLength());
    else setCursorPosition(model_.caret());
}

void TTavrinEdit::setMaxLength(int n) {
    model_.setMaxLength(n);
    push();
}

void TTavrinEdit::setComma(bool on) {
    model_.setComma(on);
    push();
}

void TTavrinEdit::setAmountText(const QString& t) {
    pull();
    model_.setText(t);
    push();
}

void TTavrinEdit::move(FocusStep step) {
    if (step == FocusStep::None || !parentWidget()) return;
    focusNextPrevChild(step == FocusStep::Next);
}

void TTavrinEdit::keyPressEvent(QKeyEvent* e) {
    pull();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool other = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (KillPaste && ImeDisabled && (e->matches(QKeySequence::Paste))) return;
    const AmountEditModel::KeyResult down = model_.keyDown(e->key(), shift, other);
    if (down.consumed) {
        push();
        move(down.move);
        return;
    }
    QString typed = e->text();
    if (e->key() == Qt::Key_Backspace) typed = QString(QChar(8));
    else if (e->key() == Qt::Key_Escape) typed = QString(QChar(27));
    else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) typed = QString(QChar(13));
    else if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) typed = QString(QChar(9));
    if (typed.size() == 1 && !other) {
        if (typed[0].unicode() > 31) model_.collectKana(typed);
        const AmountEditModel::KeyResult press = model_.keyPress(typed[0], shift);
        push();
        move(press.move);
        return;
    }
    // Caret movement, Delete, clipboard keys: the edit's own handling, then
    // the change rules over what it did.
    const QString before = text();
    QLineEdit::keyPressEvent(e);
    if (text() != before) {
        pull();
        model_.setText(text());
        const int caret = model_.caret();
        push();
        setCursorPosition(caret);
    }
}

void TTavrinEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    pull();
    model_.enter();
    push();
}

void TTavrinEdit::focusOutEvent(QFocusEvent* e) {
    pull();
    model_.exit();
    push();
    QLineEdit::focusOutEvent(e);
}

void TTavrinEdit::contextMenuEvent(QContextMenuEvent* e) {
    if (KillPaste && ImeDisabled) return;
    QLineEdit::contextMenuEvent(e);
}

void TTavrinEdit::mousePressEvent(QMouseEvent* e) {
    if (KillPaste && ImeDisabled && e->button() == Qt::RightButton) return;
    QLineEdit::mousePressEvent(e);
}

bool TTavrinEdit::event(QEvent* e) {
    // Tab and Shift+Tab come to the key handler, not the focus chain.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QLineEdit::event(e);
}

namespace {
bool allKana(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (!((u >= 0x3041 && u <= 0x30FF) || (u >= 0xFF66 && u <= 0xFF9F))) return false;
    }
    return true;
}
} // namespace

void TTavrinEdit::inputMethodEvent(QInputMethodEvent* e) {
    const bool composing = !e->preeditString().isEmpty();
    if (composing && !ImeOnFlg) {
        ImeOnFlg = true;
        if (OnImeStatusChange) OnImeStatusChange();
    }
    // The input method hands over the converted text only; the reading is
    // the kana the composition held before it was converted.
    if (allKana(e->preeditString())) lastKanaPreedit_ = e->preeditString();
    if (!e->commitString().isEmpty()) {
        model_.collectKana(allKana(e->commitString()) ? e->commitString() : lastKanaPreedit_);
        lastKanaPreedit_.clear();
    }
    QLineEdit::inputMethodEvent(e);
    if (!composing && ImeOnFlg) {
        ImeOnFlg = false;
        if (OnImeStatusChange) OnImeStatusChange();
    }
}

void TTavrinEdit::setTransparent(bool on) {
    transparent_ = on;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, on ? QColor(Qt::transparent) : QGuiApplication::palette().color(QPalette::Base));
    setPalette(pal);
    setAutoFillBackground(!on);
    update();
}
