#pragma once
// Composite date and time entry: era drop-down, year, month and day fields,
// AM/PM drop-down and hour, minute and second fields in one row.
// DateEditModel holds the part texts, the era list and the checks;
// TTavrinExDateEdit lays the parts out as Qt widgets and shows check
// failures through the prompt interface.
#include "accdb/Gengo.h"

#include <QColor>
#include <QWidget>
#include <exception>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

enum TTavrinExDateEditStyle {
    desYearMonthDayHMS,
    desYearMonthDayHM,
    desYearMonthDayH,
    desYearMonthDay,
    desYearMonth,
    desYear,
    desHourMinuteSecond,
    desHourMinute,
    desHour,
};
enum TTavrinExYeardigitSet { yddigit2, yddigit4 };
enum TTavrinExRekiSet { rsSeireki, rsWareki, rsBoth };

namespace ui {
// Stops the operation that asked for a value after its failure was shown.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "aborted"; }
};
} // namespace ui

// The parts, in the order of the row.
enum DatePart { dpEra, dpYear, dpMonth, dpDay, dpAmpm, dpHour, dpMinute, dpSecond, dpCount };

class DateEditModel {
public:
    // The value of an empty control: the day before 1 January 1873.
    static constexpr TDateTime kEmptyValue = -9860;

    explicit DateEditModel(std::function<TDateTime()> now = {});

    // ---- settings ----
    TTavrinExDateEditStyle EditStyle = desYearMonthDay;
    bool EditGengo = true;
    bool EditAmpm = false;
    TTavrinExYeardigitSet Yeardigit = yddigit4;
    bool UseWarekiTable = false;
    bool CanEmpty = true;
    TTavrinExRekiSet gengo() const { return gengo_; }
    // Stored as given while the era drop-down shows, else Gregorian.
    void setGengoValue(TTavrinExRekiSet g) { gengo_ = EditGengo ? g : rsSeireki; }
    void setEditGengo(bool on);
    TDateTime MinDate() const { return minDate_; }
    TDateTime MaxDate() const { return maxDate_; }
    // 0 stores the empty value (no limit); rebuilds the era list.
    void setMinDate(TDateTime d);
    void setMaxDate(TDateTime d);
    void SetWarekiTable(const TGengoArray& table);

    // ---- parts ----
    bool partShown(DatePart p) const;
    bool hasDateParts() const { return partShown(dpYear); }
    bool hasTimeParts() const { return partShown(dpHour); }
    // Texts of the parts; for the drop-downs the selected item's text.
    std::string text(DatePart p) const { return texts_[p]; }
    void setText(DatePart p, const std::string& t) { texts_[p] = t; }
    // Items of the era drop-down: "西暦" (unless era years only), then the eras.
    std::vector<std::string> eraItems() const;
    static const std::vector<std::string>& ampmItems();
    // The eras the drop-down offers (table mode: the filtered table).
    const TGengoArray& eraList() const;
    // Field widths in characters.
    int yearDigits() const;

    // ---- value ----
    TDateTime value() const { return value_; }
    bool isEmpty() const { return empty_; }
    void Clear();
    // Shows a value in the parts.
    void DisplayValue(TDateTime v);

    struct Failure {
        std::string message;  // empty: no failure
        int focus = -1;       // the part to focus, -1 the first part
        explicit operator bool() const { return !message.empty(); }
    };
    // Takes a value as SetDateTime does.
    Failure SetDateTime(TDateTime v);
    // Checks the parts and commits their value.
    Failure ValidateEntry();
    // The first part that takes the focus on entry.
    DatePart firstPart() const;

private:
    TDateTime clamp(TDateTime v) const;
    TDateTime today() const;
    void rebuildEras();
    bool timeShown() const { return partShown(dpHour); }

    std::function<TDateTime()> now_;
    TTavrinExRekiSet gengo_ = rsWareki;
    TDateTime minDate_ = kEmptyValue;
    TDateTime maxDate_ = kEmptyValue;
    TGengoArray table_;
    TGengoArray filtered_;
    std::string texts_[dpCount];
    TDateTime value_ = kEmptyValue;
    bool empty_ = true;
};

class TTavrinExDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit TTavrinExDateEdit(QWidget* parent = nullptr);

    DateEditModel& model() { return model_; }

    void setEditStyle(TTavrinExDateEditStyle s);
    void setEditGengo(bool on);
    void setEditAmpm(bool on);
    void setYeardigit(TTavrinExYeardigitSet d);
    void setGengo(TTavrinExRekiSet g);
    void setMinDate(TDateTime d);
    void setMaxDate(TDateTime d);
    void setCanEmpty(bool on) { model_.CanEmpty = on; }
    void SetWarekiTable(const TGengoArray& table);
    void setSpaceWidth(int w);

    bool AutoSelect = true;
    bool DropDownKey = true;
    bool EnterNext = true;
    bool ExitCheck = false;
    bool DisplayError = true;
    std::string DialogCaption = "日付時刻入力";

    // Throws ui::EAbort after showing a failure.
    void SetDateTime(TDateTime v);
    TDateTime GetDateTime();
    void Clear();

    QWidget* part(DatePart p) const { return parts_[p]; }
    QLineEdit* field(DatePart p) const;
    QComboBox* eraBox() const { return era_; }
    QComboBox* ampmBox() const { return ampm_; }

    // Part colours (background of the era drop-down and the six fields).
    void setColors(const QColor& color, const QColor& disableColor, const QColor& disableFontColor,
                   const QColor& focusedColor);
    void setLabelColor(const QColor& c);
    // Label texts by index 1 (year) to 6 (second).
    void setLabelText(int index, const QString& text);

    // Raised for the parts, with the part as sender.
    std::function<void(QWidget* part)> OnChange, OnClick;
    std::function<void(QWidget* part, int key)> OnKeyDown;
    std::function<void(QWidget* part, const QString& text)> OnKeyPress;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void pullTexts();
    void pushTexts();
    void refillEras();
    void layoutParts();
    void validateOrAbort();
    [[noreturn]] void fail(const DateEditModel::Failure& f);
    void checkOnExit();

    DateEditModel model_;
    QComboBox* era_ = nullptr;
    QComboBox* ampm_ = nullptr;
    QWidget* parts_[dpCount] = {};
    QLabel* labels_[6] = {};
    void applyColors();
    void paintPart(QWidget* part, const QColor& back);
    QColor color_{Qt::white}, disableColor_{Qt::gray}, disableFontColor_{Qt::white}, focusedColor_{Qt::white};
    int spaceWidth_ = 7;
    bool pushing_ = false;
};
