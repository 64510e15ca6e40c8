#include "ui/DateEdit.h"

#include "platform/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

const char* const kMsgAllBlank = "入力欄が全て空白です．　　";
const char* const kMsgSomeBlank = "空白の入力欄があります．　　";
const char* const kMsgTime11 = "時刻の入力可能な値は11時59分59秒までです．　　";
const char* const kMsgTime23 = "時刻の入力可能な値は23時59分59秒までです．　　";
const char* const kMsgBadTime = "時刻が正しくありません．　　";
const char* const kMsgBadDate = "日付が正しくありません（変換できません）．　　";
const char* const kMsgBefore1873 = "1873年01月01日(明治6年01月01日)より前の日付は処理できません．　　";
const char* const kMsgEra2999 = "2999年以降は元号に変換できません．　　";
const char* const kMsgBadValue = "日付または時刻が正しくありません．　　";
const char* const kMsgBadSet = "正しくない日付時刻型の値がセットされました．　　";
const char* const kSeireki = "西暦";

// 1 January 2101: the newest era counts as ending there.
const TDateTime kEraHorizon = 73051;
// 1 January 0001 and 31 December 9999.
const TDateTime kFirstDay = -693593;
const TDateTime kLastDay = 2958465;

bool parseNumber(const std::string& s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    out = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// A date-time from a day and a time of day (days before 30 December 1899
// carry their time as a positive fraction below the day).
TDateTime combine(TDateTime day, TDateTime time) { return day >= 0 ? day + time : day - time; }

TDateTime timePart(TDateTime v) { return std::fabs(v - std::trunc(v)); }

} // namespace

DateEditModel::DateEditModel(std::function<TDateTime()> now) : now_(std::move(now)) {}

TDateTime DateEditModel::today() const {
    if (now_) return datecore::dateOf(now_());
    const QDate d = QDate::currentDate();
    return datecore::encodeDate(d.year(), d.month(), d.day());
}

void DateEditModel::setEditGengo(bool on) {
    EditGengo = on;
    if (!on) gengo_ = rsSeireki;
}

void DateEditModel::setMinDate(TDateTime d) {
    minDate_ = d == 0 ? kEmptyValue : d;
    rebuildEras();
}

void DateEditModel::setMaxDate(TDateTime d) {
    maxDate_ = d == 0 ? kEmptyValue : d;
    rebuildEras();
}

void DateEditModel::SetWarekiTable(const TGengoArray& table) {
    UseWarekiTable = true;
    table_ = table;
    rebuildEras();
}

void DateEditModel::rebuildEras() {
    filtered_.clear();
    if (table_.empty()) return;
    const int n = static_cast<int>(table_.size());
    int last = n - 1;
    if (minDate_ != kEmptyValue) {
        for (int i = 0; i < n; ++i) {
            const TDateTime end = i == 0 ? kEraHorizon : table_[i - 1].StartDate;
            if (table_[i].StartDate <= minDate_ && end > minDate_) {
                last = i;
                break;
            }
        }
    }
    int first = 0;
    if (maxDate_ != kEmptyValue && maxDate_ < kEraHorizon) {
        for (int i = 0; i < n; ++i) {
            if (table_[i].StartDate <= maxDate_) {
                first = i;
                break;
            }
        }
    }
    if (first > last) {
        first = 0;
        last = n - 1;
    }
    filtered_.assign(table_.begin() + first, table_.begin() + last + 1);
}

const TGengoArray& DateEditModel::eraList() const {
    // Without a table of its own the control takes the program's era table.
    if (UseWarekiTable && !table_.empty()) return filtered_;
    return GengoTable;
}

std::vector<std::string> DateEditModel::eraItems() const {
    std::vector<std::string> items;
    if (gengo_ != rsWareki) items.push_back(kSeireki);
    for (const auto& g : eraList()) {
        if (g.Name.empty()) break;
        items.push_back(g.Name);
    }
    return items;
}

const std::vector<std::string>& DateEditModel::ampmItems() {
    static const std::vector<std::string> items{"午前", "午後"};
    return items;
}

int DateEditModel::yearDigits() const { return Yeardigit == yddigit4 && gengo_ != rsWareki ? 4 : 2; }

bool DateEditModel::partShown(DatePart p) const {
    const int s = EditStyle;
    switch (p) {
    case dpEra: return EditGengo && s <= desYear;
    case dpYear: return s <= desYear;
    case dpMonth: return s <= desYearMonth;
    case dpDay: return s <= desYearMonthDay;
    case dpAmpm: return EditAmpm && partShown(dpHour);
    case dpHour: return s <= desYearMonthDayH || s >= desHourMinuteSecond;
    case dpMinute: return s <= desYearMonthDayHM || s == desHourMinuteSecond || s == desHourMinute;
    case dpSecond: return s == desYearMonthDayHMS || s == desHourMinuteSecond;
    case dpCount: break;
    }
    return false;
}

DatePart DateEditModel::firstPart() const {
    for (DatePart p : {dpEra, dpYear, dpAmpm, dpHour})
        if (partShown(p)) return p;
    return dpYear;
}

void DateEditModel::Clear() {
    value_ = kEmptyValue;
    empty_ = true;
    for (auto& t : texts_) t.clear();
}

TDateTime DateEditModel::clamp(TDateTime v) const {
    if (minDate_ != kEmptyValue && v < minDate_) v = minDate_;
    if (maxDate_ != kEmptyValue && v > maxDate_) v = maxDate_;
    return v;
}

void DateEditModel::DisplayValue(TDateTime v) {
    value_ = v;
    empty_ = false;
    if (partShown(dpYear) && v >= datecore::encodeDate(1873, 1, 1)) {
        int y, m, d;
        datecore::decodeDate(v, y, m, d);
        const TGengoArray& eras = eraList();
        if ((gengo_ == rsWareki || gengo_ == rsBoth) && !eras.empty() && !eras[0].Name.empty()) {
            int idx = -1;
            for (int i = 0; i < static_cast<int>(eras.size()) && !eras[i].Name.empty(); ++i) {
                idx = i;
                if (eras[i].StartDate <= v) break;
            }
            texts_[dpEra] = eras[idx].Name;
            texts_[dpYear] = std::to_string(y - eras[idx].StartYear + 1);
        } else {
            texts_[dpEra] = gengo_ == rsWareki ? std::string() : kSeireki;
            std::string year = std::to_string(y);
            if (Yeardigit == yddigit2 && year.size() > 2) year = year.substr(year.size() - 2);
            texts_[dpYear] = year;
        }
        texts_[dpMonth] = std::to_string(m);
        texts_[dpDay] = std::to_string(d);
    }
    if (partShown(dpHour)) {
        int h, mi, s, ms;
        datecore::decodeTime(v, h, mi, s, ms);
        // A value at exactly midnight leaves the time fields as they are.
        if (h || mi || s || ms) {
            if (EditAmpm) {
                texts_[dpAmpm] = h > 11 ? "午後" : "午前";
                if (h > 11) h -= 12;
            }
            texts_[dpHour] = std::to_string(h);
            texts_[dpMinute] = std::to_string(mi);
            texts_[dpSecond] = std::to_string(s);
        }
    }
}

DateEditModel::Failure DateEditModel::SetDateTime(TDateTime v) {
    if (!std::isfinite(v) || v < kFirstDay || v >= kLastDay + 1) return {kMsgBadSet, -1};
    const bool date = partShown(dpYear), time = partShown(dpHour);
    if (date && !time) v = std::trunc(v);
    else if (time && !date) v = timePart(v);
    v = clamp(v);
    if (v > 0) DisplayValue(v);
    else Clear();
    return {};
}

DateEditModel::Failure DateEditModel::ValidateEntry() {
    // 1. Texts; hidden parts take fixed values.
    if (!EditGengo) texts_[dpEra].clear();
    for (auto& t : texts_) t = trim(t);
    const DatePart fields[] = {dpYear, dpMonth, dpDay, dpHour, dpMinute, dpSecond};
    bool allEmpty = true;
    for (DatePart p : fields)
        if (partShown(p) && !texts_[p].empty()) allEmpty = false;
    if (!partShown(dpMonth)) texts_[dpMonth] = "1";
    if (!partShown(dpDay)) texts_[dpDay] = "1";
    if (!partShown(dpHour)) texts_[dpHour] = "0";
    if (!partShown(dpMinute)) texts_[dpMinute] = "0";
    if (!partShown(dpSecond)) texts_[dpSecond] = "0";
    if (!partShown(dpAmpm)) texts_[dpAmpm] = "AM";

    // 2. All empty.
    if (allEmpty) {
        empty_ = true;
        if (!CanEmpty) return {kMsgAllBlank, -1};
        Clear();
        return {};
    }
    // 3. Some empty.
    for (int p = 0; p < dpCount; ++p)
        if (partShown(static_cast<DatePart>(p)) && texts_[p].empty()) return {kMsgSomeBlank, p};

    // 4. Year.
    int year = 0, month = 1, day = 1;
    if (partShown(dpYear)) {
        int n = 0;
        if (EditGengo) {
            const auto items = eraItems();
            const auto it = std::find(items.begin(), items.end(), texts_[dpEra]);
            if (it != items.end()) n = static_cast<int>(it - items.begin());
        }
        if (gengo_ == rsWareki) ++n;
        int entered = 0;
        if (!parseNumber(texts_[dpYear], entered)) return {kMsgBadDate, dpYear};
        if (n == 0) {
            year = entered;
            if (Yeardigit == yddigit2) {
                int cy, cm, cd;
                datecore::decodeDate(today(), cy, cm, cd);
                year += cy / 100 * 100;
            }
        } else {
            const TGengoArray& eras = eraList();
            if (n > static_cast<int>(eras.size())) return {kMsgBadDate, dpYear};
            year = entered + eras[n - 1].StartYear - 1;
        }
        if (!parseNumber(texts_[dpMonth], month) || !parseNumber(texts_[dpDay], day)) return {kMsgBadDate, dpYear};
    }

    // 5. Time.
    TDateTime time = 0;
    if (partShown(dpHour)) {
        const auto& ampm = ampmItems();
        const int sel = texts_[dpAmpm] == ampm[0] ? 0 : texts_[dpAmpm] == ampm[1] ? 1 : -1;
        const char* rangeMsg = sel >= 0 ? kMsgTime11 : kMsgTime23;
        int h = 0, mi = 0, s = 0;
        if (!parseNumber(texts_[dpHour], h)) return {kMsgBadTime, EditAmpm ? dpAmpm : dpHour};
        if (h > (sel >= 0 ? 11 : 23)) return {rangeMsg, dpHour};
        if (!parseNumber(texts_[dpMinute], mi) || !parseNumber(texts_[dpSecond], s))
            return {kMsgBadTime, EditAmpm ? dpAmpm : dpHour};
        if (mi > 59 || s > 59) return {rangeMsg, dpMinute};
        if (sel == 1) h += 12;
        if (!datecore::tryEncodeTime(h, mi, s, 0, time)) return {kMsgBadTime, EditAmpm ? dpAmpm : dpHour};
    }

    // 6. Date.
    TDateTime date = 0;
    if (partShown(dpYear)) {
        if (!datecore::tryEncodeDate(year, month, day, date)) return {kMsgBadDate, dpYear};
        if (year < 1873) return {kMsgBefore1873, dpYear};
        if (year >= 2999 && (gengo_ == rsWareki || gengo_ == rsBoth)) return {kMsgEra2999, dpYear};
    } else {
        date = maxDate_ != kEmptyValue ? std::trunc(maxDate_) : today();
    }

    // 7. Commit.
    const TDateTime v = clamp(combine(date, time));
    if (!std::isfinite(v)) return {kMsgBadValue, -1};
    DisplayValue(v);
    return {};
}

// ---- widget ----

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TTavrinExDateEdit::TTavrinExDateEdit(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    const char* labelTexts[6] = {"年", "月", "日", "時", "分", "秒"};
    // Created in row order so that Tab walks the parts from left to right.
    era_ = new QComboBox(this);
    parts_[dpEra] = era_;
    int label = 0;
    for (DatePart p : {dpYear, dpMonth, dpDay, dpAmpm, dpHour, dpMinute, dpSecond}) {
        if (p == dpAmpm) {
            ampm_ = new QComboBox(this);
            for (const auto& t : DateEditModel::ampmItems()) ampm_->addItem(q(t));
            ampm_->setCurrentIndex(-1);
            parts_[dpAmpm] = ampm_;
            continue;
        }
        auto* f = new QLineEdit(this);
        f->setAlignment(Qt::AlignRight);
        parts_[p] = f;
        connect(f, &QLineEdit::textEdited, this, [this, f] {
            if (OnChange) OnChange(f);
        });
        labels_[label] = new QLabel(QString::fromUtf8(labelTexts[label]), this);
        labels_[label]->setAlignment(Qt::AlignCenter);
        labels_[label]->setFrameShape(QFrame::Box);
        labels_[label]->setAutoFillBackground(true);
        QPalette pal = labels_[label]->palette();
        pal.setColor(QPalette::Window, QColor(228, 228, 228));
        labels_[label]->setPalette(pal);
        ++label;
    }
    for (QComboBox* box : {era_, ampm_}) {
        connect(box, &QComboBox::activated, this, [this, box] {
            if (OnChange) OnChange(box);
        });
    }
    for (QWidget* p : parts_) {
        p->setFocusPolicy(Qt::StrongFocus);
        p->installEventFilter(this);
    }
    refillEras();
    layoutParts();
    applyColors();
}

void TTavrinExDateEdit::paintPart(QWidget* part, const QColor& back) {
    QPalette pal = part->palette();
    pal.setColor(QPalette::Base, back);
    pal.setColor(QPalette::Button, back);
    part->setPalette(pal);
}

void TTavrinExDateEdit::applyColors() {
    const bool on = isEnabled();
    for (int p = 0; p < dpCount; ++p) {
        if (p == dpAmpm) continue;
        QWidget* w = parts_[p];
        QPalette pal = w->palette();
        const QColor back = on ? (w->hasFocus() ? focusedColor_ : color_) : disableColor_;
        const QColor text = on ? palette().color(QPalette::WindowText) : disableFontColor_;
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            pal.setColor(group, QPalette::Base, back);
            pal.setColor(group, QPalette::Button, back);
            pal.setColor(group, QPalette::Text, text);
            pal.setColor(group, QPalette::ButtonText, text);
        }
        w->setPalette(pal);
    }
}

void TTavrinExDateEdit::setColors(const QColor& color, const QColor& disableColor, const QColor& disableFontColor,
                                  const QColor& focusedColor) {
    color_ = color;
    disableColor_ = disableColor;
    disableFontColor_ = disableFontColor;
    focusedColor_ = focusedColor;
    applyColors();
}

void TTavrinExDateEdit::setLabelColor(const QColor& c) {
    for (QLabel* l : labels_) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, c);
        l->setPalette(pal);
    }
}

void TTavrinExDateEdit::setLabelText(int index, const QString& text) {
    if (index < 1 || index > 6) return;
    labels_[index - 1]->setText(text);
    layoutParts();
}

QLineEdit* TTavrinExDateEdit::field(DatePart p) const { return qobject_cast<QLineEdit*>(parts_[p]); }

void TTavrinExDateEdit::pullTexts() {
    for (int p = 0; p < dpCount; ++p) {
        if (auto* box = qobject_cast<QComboBox*>(parts_[p]))
            model_.setText(static_cast<DatePart>(p), box->currentIndex() >= 0 ? box->currentText().toStdString() : "");
        else
            model_.setText(static_cast<DatePart>(p), field(static_cast<DatePart>(p))->text().toStdString());
    }
}

void TTavrinExDateEdit::pushTexts() {
    pushing_ = true;
    for (int p = 0; p < dpCount; ++p) {
        const QString t = q(model_.text(static_cast<DatePart>(p)));
        if (auto* box = qobject_cast<QComboBox*>(parts_[p])) box->setCurrentIndex(box->findText(t));
        else field(static_cast<DatePart>(p))->setText(t);
    }
    pushing_ = false;
}

void TTavrinExDateEdit::refillEras() {
    const QString current = era_->currentIndex() >= 0 ? era_->currentText() : QString();
    era_->clear();
    for (const auto& item : model_.eraItems()) era_->addItem(q(item));
    era_->setCurrentIndex(era_->findText(current));
}

void TTavrinExDateEdit::layoutParts() {
    const QFontMetrics fm(font());
    const int row = fm.height() + 8;
    const int boxWidth = fm.horizontalAdvance(QStringLiteral("0000")) + 26;
    const int wide = fm.horizontalAdvance(QStringLiteral("0000")) + 20;
    const int narrow = fm.horizontalAdvance(QStringLiteral("00")) + 16;
    const auto labelWidth = [&](QLabel* l) { return fm.horizontalAdvance(l->text()) + 14; };

    for (int p = 0; p < dpCount; ++p) parts_[p]->setVisible(model_.partShown(static_cast<DatePart>(p)));
    const DatePart withLabel[6] = {dpYear, dpMonth, dpDay, dpHour, dpMinute, dpSecond};
    for (int i = 0; i < 6; ++i) labels_[i]->setVisible(model_.partShown(withLabel[i]));

    field(dpYear)->setMaxLength(model_.yearDigits());
    for (DatePart p : {dpMonth, dpDay, dpHour, dpMinute, dpSecond}) field(p)->setMaxLength(2);

    // Lays one row of [drop-down] field label field label ...; returns its right edge.
    const auto layRow = [&](QComboBox* box, bool boxShown, std::initializer_list<int> items, int x, int y) {
        int right = x;
        bool any = false;
        if (boxShown) {
            box->setGeometry(x, y, boxWidth, row);
            right = x + boxWidth;
            any = true;
        }
        bool firstField = true;
        for (int i : items) {
            const DatePart p = withLabel[i];
            if (!model_.partShown(p)) continue;
            const int w = p == dpYear && model_.yearDigits() == 4 ? wide : narrow;
            const int fx = firstField ? (any ? right - 2 : x) : right - 3;
            field(p)->setGeometry(fx, y, w, row);
            const int lw = labelWidth(labels_[i]);
            labels_[i]->setGeometry(fx + w, y, lw, row);
            right = fx + w + lw;
            firstField = false;
            any = true;
        }
        return right;
    };
    const int dateRight = layRow(era_, model_.partShown(dpEra), {0, 1, 2}, 0, 0);
    int height = row, width = dateRight;
    if (model_.hasTimeParts()) {
        int x = 0, y = 0;
        if (spaceWidth_ >= 0) {
            x = model_.hasDateParts() ? dateRight + spaceWidth_ : 0;
        } else {
            y = row - spaceWidth_;
            height = 2 * row - spaceWidth_;
        }
        width = std::max(width, layRow(ampm_, model_.partShown(dpAmpm), {3, 4, 5}, x, y));
    }
    setFixedSize(width, height);
}

void TTavrinExDateEdit::setEditStyle(TTavrinExDateEditStyle s) {
    if (s == model_.EditStyle) return;
    model_.EditStyle = s;
    layoutParts();
    Clear();
}

void TTavrinExDateEdit::setEditGengo(bool on) {
    model_.setEditGengo(on);
    refillEras();
    layoutParts();
    if (!model_.isEmpty()) {
        model_.DisplayValue(model_.value());
        pushTexts();
    }
}

void TTavrinExDateEdit::setEditAmpm(bool on) {
    model_.EditAmpm = on;
    layoutParts();
    if (!model_.isEmpty()) {
        model_.DisplayValue(model_.value());
        pushTexts();
    }
}

void TTavrinExDateEdit::setYeardigit(TTavrinExYeardigitSet d) {
    model_.Yeardigit = d;
    layoutParts();
    if (!model_.isEmpty()) {
        model_.DisplayValue(model_.value());
        pushTexts();
    }
}

void TTavrinExDateEdit::setGengo(TTavrinExRekiSet g) {
    if (g == model_.gengo()) return;
    model_.setGengoValue(g);
    refillEras();
    layoutParts();
    validateOrAbort();
}

void TTavrinExDateEdit::setMinDate(TDateTime d) {
    const TDateTime before = model_.MinDate();
    model_.setMinDate(d);
    if (model_.MinDate() == before) return;
    refillEras();
    SetDateTime(model_.value());
}

void TTavrinExDateEdit::setMaxDate(TDateTime d) {
    const TDateTime before = model_.MaxDate();
    model_.setMaxDate(d);
    if (model_.MaxDate() == before) return;
    refillEras();
    SetDateTime(model_.value());
}

void TTavrinExDateEdit::SetWarekiTable(const TGengoArray& table) {
    model_.SetWarekiTable(table);
    refillEras();
}

void TTavrinExDateEdit::setSpaceWidth(int w) {
    spaceWidth_ = w;
    layoutParts();
}

void TTavrinExDateEdit::fail(const DateEditModel::Failure& f) {
    if (DisplayError) {
        platform::PromptMessage m;
        m.source = "TTavrinExDateEdit";
        m.kind = platform::pkInformation;
        m.title = DialogCaption;
        m.setText(f.message);
        m.buttons = platform::mbOK;
        platform::prompt().show(m);
    }
    QWidget* target = f.focus >= 0 ? parts_[f.focus] : parts_[model_.firstPart()];
    if (isEnabled() && isVisible() && target->isVisibleTo(this) && target->isEnabled()) target->setFocus();
    throw ui::EAbort();
}

void TTavrinExDateEdit::validateOrAbort() {
    pullTexts();
    const DateEditModel::Failure f = model_.ValidateEntry();
    pushTexts();
    if (f) fail(f);
}

void TTavrinExDateEdit::SetDateTime(TDateTime v) {
    const DateEditModel::Failure f = model_.SetDateTime(v);
    if (f) fail(f);
    if (model_.isEmpty()) {
        Clear();
        return;
    }
    pushTexts();
}

TDateTime TTavrinExDateEdit::GetDateTime() {
    validateOrAbort();
    const TDateTime v = model_.value();
    return v > 0 ? v : 0;
}

void TTavrinExDateEdit::Clear() {
    model_.Clear();
    pushTexts();
}

void TTavrinExDateEdit::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    parts_[model_.firstPart()]->setFocus(e->reason());
}

void TTavrinExDateEdit::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange) layoutParts();
    if (e->type() == QEvent::EnabledChange) applyColors();
}

void TTavrinExDateEdit::checkOnExit() {
    QWidget* now = QApplication::focusWidget();
    if (now && isAncestorOf(now)) return;
    try {
        validateOrAbort();
    } catch (const ui::EAbort&) {
        // Shown and the focus put back on the part: nothing more to do.
    }
}

bool TTavrinExDateEdit::eventFilter(QObject* watched, QEvent* e) {
    auto* part = qobject_cast<QWidget*>(watched);
    if (!part || part->parentWidget() != this) return QWidget::eventFilter(watched, e);
    auto* box = qobject_cast<QComboBox*>(part);
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const int key = k->key();
        if (OnKeyDown) OnKeyDown(part, key);
        if (OnKeyPress && !k->text().isEmpty()) OnKeyPress(part, k->text());
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (box) box->hidePopup();
            if (EnterNext) {
                const bool back = k->modifiers() & Qt::ShiftModifier;
                QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                              back ? Qt::ShiftModifier : Qt::NoModifier);
                QApplication::sendEvent(part, &tab);
            }
            return true;
        }
        if (key == Qt::Key_Down && DropDownKey && box) {
            box->showPopup();
            return true;
        }
        if (key == Qt::Key_Delete && box) {
            const bool had = box->currentIndex() >= 0;
            box->setCurrentIndex(-1);
            if (had && OnChange) OnChange(box);
            return true;
        }
        const QString text = k->text();
        if (text.size() == 1 && text[0].unicode() >= 32 && !(k->modifiers() & Qt::ControlModifier)) {
            const bool digit = text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
            if (box || !digit) return true;
        }
    } else if (e->type() == QEvent::MouseButtonRelease) {
        if (OnClick) OnClick(part);
    } else if (e->type() == QEvent::FocusIn) {
        if (part != ampm_ && isEnabled()) paintPart(part, focusedColor_);
        if (auto* f = qobject_cast<QLineEdit*>(part)) {
            if (AutoSelect) QTimer::singleShot(0, f, [f] { f->selectAll(); });
            else f->setCursorPosition(0);
        }
    } else if (e->type() == QEvent::FocusOut) {
        if (part != ampm_ && isEnabled()) paintPart(part, color_);
        if (ExitCheck) QTimer::singleShot(0, this, [this] { checkOnExit(); });
    }
    return QWidget::eventFilter(watched, e);
}
