#include "ui/DateEdit.h"

#include "platform/Prompt.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

TDateTime D(int y, int m, int d) { return datecore::encodeDate(y, m, d); }
TDateTime DT(int y, int m, int d, int h, int mi, int s) {
    TDateTime t = 0;
    datecore::tryEncodeTime(h, mi, s, 0, t);
    return D(y, m, d) + t;
}

TGengoArray threeEras() {
    return {{"令和", "R", D(2019, 5, 1), 2019}, {"平成", "H", D(1989, 1, 8), 1989}, {"昭和", "S", D(1926, 12, 25), 1926}};
}

DateEditModel makeModel() {
    DateEditModel m([] { return D(2024, 6, 1); });
    m.SetWarekiTable(threeEras());
    return m;
}

struct Entry {
    const char* era;
    const char* year;
    const char* month;
    const char* day;
    const char* ampm = "";
    const char* hour = "";
    const char* minute = "";
    const char* second = "";
};

void enter(DateEditModel& m, const Entry& e) {
    m.setText(dpEra, e.era);
    m.setText(dpYear, e.year);
    m.setText(dpMonth, e.month);
    m.setText(dpDay, e.day);
    m.setText(dpAmpm, e.ampm);
    m.setText(dpHour, e.hour);
    m.setText(dpMinute, e.minute);
    m.setText(dpSecond, e.second);
}

TEST(DateEditModel, CommitsEntries) {
    struct Case {
        const char* name;
        TTavrinExDateEditStyle style;
        TTavrinExRekiSet gengo;
        TTavrinExYeardigitSet digits;
        bool ampm;
        Entry entry;
        TDateTime expected;
    } cases[] = {
        {"last day of 平成", desYearMonthDay, rsWareki, yddigit4, false, {"平成", "31", "4", "30"}, D(2019, 4, 30)},
        {"first day of 令和", desYearMonthDay, rsWareki, yddigit4, false, {"令和", "1", "5", "1"}, D(2019, 5, 1)},
        {"Gregorian item", desYearMonthDay, rsBoth, yddigit4, false, {"西暦", "2024", "2", "29"}, D(2024, 2, 29)},
        {"two-digit year", desYearMonthDay, rsSeireki, yddigit2, false, {"西暦", "99", "1", "2"}, D(2099, 1, 2)},
        {"year and month", desYearMonth, rsSeireki, yddigit4, false, {"西暦", "2024", "2", ""}, D(2024, 2, 1)},
        {"year only", desYear, rsBoth, yddigit4, false, {"令和", "6", "", ""}, D(2024, 1, 1)},
        {"afternoon", desYearMonthDayHMS, rsSeireki, yddigit4, true,
         {"西暦", "2024", "3", "1", "午後", "1", "2", "3"}, DT(2024, 3, 1, 13, 2, 3)},
        {"24-hour clock", desYearMonthDayHM, rsSeireki, yddigit4, false,
         {"西暦", "2024", "3", "1", "", "23", "59"}, DT(2024, 3, 1, 23, 59, 0)},
        {"time only takes today", desHourMinute, rsWareki, yddigit4, false, {"", "", "", "", "", "9", "30"},
         DT(2024, 6, 1, 9, 30, 0)},
    };
    for (const auto& c : cases) {
        DateEditModel m = makeModel();
        m.EditStyle = c.style;
        m.EditAmpm = c.ampm;
        m.Yeardigit = c.digits;
        m.setGengoValue(c.gengo);
        enter(m, c.entry);
        const auto f = m.ValidateEntry();
        EXPECT_FALSE(f) << c.name << ": " << f.message;
        EXPECT_DOUBLE_EQ(m.value(), c.expected) << c.name;
    }
}

TEST(DateEditModel, RefusesEntriesWithTheirMessageAndPart) {
    struct Case {
        const char* name;
        TTavrinExDateEditStyle style;
        TTavrinExRekiSet gengo;
        bool ampm;
        bool canEmpty;
        Entry entry;
        const char* message;
        int focus;
    } cases[] = {
        {"all empty", desYearMonthDay, rsWareki, false, false, {"平成", "", "", ""}, "入力欄が全て空白です．　　", -1},
        {"day empty", desYearMonthDay, rsWareki, false, true, {"平成", "1", "2", ""}, "空白の入力欄があります．　　", dpDay},
        {"era empty", desYearMonthDay, rsWareki, false, true, {"", "1", "2", ""}, "空白の入力欄があります．　　", dpEra},
        {"afternoon 12", desYearMonthDayHM, rsSeireki, true, true, {"西暦", "2024", "1", "1", "午後", "12", "0"},
         "時刻の入力可能な値は11時59分59秒までです．　　", dpHour},
        {"hour 24", desYearMonthDayHM, rsSeireki, false, true, {"西暦", "2024", "1", "1", "", "24", "0"},
         "時刻の入力可能な値は23時59分59秒までです．　　", dpHour},
        {"minute 60", desYearMonthDayHM, rsSeireki, false, true, {"西暦", "2024", "1", "1", "", "10", "60"},
         "時刻の入力可能な値は23時59分59秒までです．　　", dpMinute},
        {"30 February", desYearMonthDay, rsSeireki, false, true, {"西暦", "2024", "2", "30"},
         "日付が正しくありません（変換できません）．　　", dpYear},
        {"before 1873", desYearMonthDay, rsSeireki, false, true, {"西暦", "1872", "12", "31"},
         "1873年01月01日(明治6年01月01日)より前の日付は処理できません．　　", dpYear},
        {"year 3000 with eras", desYearMonthDay, rsBoth, false, true, {"西暦", "3000", "1", "1"},
         "2999年以降は元号に変換できません．　　", dpYear},
    };
    for (const auto& c : cases) {
        DateEditModel m = makeModel();
        m.EditStyle = c.style;
        m.EditAmpm = c.ampm;
        m.CanEmpty = c.canEmpty;
        m.setGengoValue(c.gengo);
        enter(m, c.entry);
        const auto f = m.ValidateEntry();
        EXPECT_EQ(f.message, c.message) << c.name;
        EXPECT_EQ(f.focus, c.focus) << c.name;
    }
    DateEditModel m = makeModel(); // year 3000 is fine with Gregorian years only
    m.setGengoValue(rsSeireki);
    enter(m, {"西暦", "3000", "1", "1"});
    EXPECT_FALSE(m.ValidateEntry());
}

TEST(DateEditModel, AllEmptyIsTheEmptyValueWhenAllowed) {
    DateEditModel m = makeModel();
    enter(m, {"平成", "", "", ""});
    EXPECT_FALSE(m.ValidateEntry());
    EXPECT_TRUE(m.isEmpty());
    EXPECT_EQ(m.value(), DateEditModel::kEmptyValue);
    EXPECT_EQ(m.text(dpEra), "");
}

TEST(DateEditModel, LimitsFilterTheErasAndClampWithoutAMessage) {
    DateEditModel m = makeModel();
    m.setMinDate(D(2018, 4, 1));
    m.setMaxDate(D(2020, 3, 31));
    EXPECT_EQ(m.eraItems(), (std::vector<std::string>{"令和", "平成"}));
    enter(m, {"平成", "29", "1", "1"});
    EXPECT_FALSE(m.ValidateEntry());
    EXPECT_DOUBLE_EQ(m.value(), D(2018, 4, 1));
    EXPECT_EQ(m.text(dpEra), "平成");
    EXPECT_EQ(m.text(dpYear), "30");
    EXPECT_EQ(m.text(dpMonth), "4");

    m.setMinDate(0);
    m.setMaxDate(0);
    EXPECT_EQ(m.eraItems().size(), 3u);
    m.setMaxDate(D(1990, 1, 1));
    EXPECT_EQ(m.eraItems(), (std::vector<std::string>{"平成", "昭和"}));
    m.setGengoValue(rsBoth);
    EXPECT_EQ(m.eraItems().front(), "西暦");
}

TEST(DateEditModel, TimeOnlyStyleTakesTheDateOfMaxDate) {
    DateEditModel m = makeModel();
    m.EditStyle = desHourMinute;
    m.setMaxDate(DT(2030, 1, 2, 23, 0, 0));
    enter(m, {"", "", "", "", "", "8", "15"});
    EXPECT_FALSE(m.ValidateEntry());
    EXPECT_DOUBLE_EQ(m.value(), DT(2030, 1, 2, 8, 15, 0));
}

TEST(DateEditModel, SetDateTimeShowsTheParts) {
    DateEditModel m = makeModel();
    m.EditStyle = desYearMonthDayHMS;
    m.EditAmpm = true;
    EXPECT_FALSE(m.SetDateTime(DT(2019, 4, 30, 15, 4, 5)));
    EXPECT_EQ(m.text(dpEra), "平成");
    EXPECT_EQ(m.text(dpYear), "31");
    EXPECT_EQ(m.text(dpAmpm), "午後");
    EXPECT_EQ(m.text(dpHour), "3");
    EXPECT_EQ(m.text(dpMinute), "4");
    // Midnight shows the date and leaves the time fields as they are.
    EXPECT_FALSE(m.SetDateTime(D(2019, 5, 1)));
    EXPECT_EQ(m.text(dpEra), "令和");
    EXPECT_EQ(m.text(dpYear), "1");
    EXPECT_EQ(m.text(dpHour), "3");

    m.setGengoValue(rsSeireki);
    m.Yeardigit = yddigit2;
    m.SetDateTime(D(2007, 8, 9));
    EXPECT_EQ(m.text(dpYear), "07");

    EXPECT_EQ(m.SetDateTime(1e9).message, "正しくない日付時刻型の値がセットされました．　　");
    m.SetDateTime(0);
    EXPECT_TRUE(m.isEmpty());
}

struct DateEditWidget : ::testing::Test {
    void SetUp() override {
        auto* layout = new QVBoxLayout(&form);
        edit = new TTavrinExDateEdit(&form);
        next = new QLineEdit(&form);
        layout->addWidget(edit);
        layout->addWidget(next);
        edit->SetWarekiTable(threeEras());
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    QWidget form;
    TTavrinExDateEdit* edit = nullptr;
    QLineEdit* next = nullptr;
    platform::ScriptedPrompt prompt;
};

TEST_F(DateEditWidget, TypingAnEraDateCommitsAndShowsIt) {
    edit->eraBox()->setCurrentIndex(edit->eraBox()->findText("平成"));
    edit->field(dpYear)->setFocus();
    QTest::keyClicks(edit->field(dpYear), "3a1");
    EXPECT_EQ(edit->field(dpYear)->text(), "31"); // letters never reach a field
    QTest::keyClick(edit->field(dpYear), Qt::Key_Return);
    EXPECT_TRUE(edit->field(dpMonth)->hasFocus());
    QTest::keyClicks(edit->field(dpMonth), "04");
    QTest::keyClick(edit->field(dpMonth), Qt::Key_Return);
    QTest::keyClicks(edit->field(dpDay), "30");
    EXPECT_DOUBLE_EQ(edit->GetDateTime(), D(2019, 4, 30));
    EXPECT_EQ(edit->field(dpMonth)->text(), "4");
    EXPECT_TRUE(prompt.messages.empty());

    QTest::keyClick(edit->field(dpDay), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(edit->field(dpMonth)->hasFocus());
    edit->EnterNext = false;
    QTest::keyClick(edit->field(dpMonth), Qt::Key_Return);
    EXPECT_TRUE(edit->field(dpMonth)->hasFocus());
}

TEST_F(DateEditWidget, AFailedCheckShowsTheMessageAndFocusesThePart) {
    edit->eraBox()->setCurrentIndex(edit->eraBox()->findText("令和"));
    edit->field(dpYear)->setText("1");
    edit->field(dpMonth)->setText("5");
    next->setFocus();
    EXPECT_THROW(edit->GetDateTime(), ui::EAbort);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "空白の入力欄があります．　　");
    EXPECT_EQ(prompt.messages[0].title, "日付時刻入力");
    EXPECT_TRUE(edit->field(dpDay)->hasFocus());

    edit->setCanEmpty(false);
    edit->Clear();
    EXPECT_THROW(edit->GetDateTime(), ui::EAbort);
    EXPECT_EQ(prompt.messages.back().text(), "入力欄が全て空白です．　　");

    edit->setCanEmpty(true);
    EXPECT_EQ(edit->GetDateTime(), 0);
}

TEST_F(DateEditWidget, SetDateTimeAndLimits) {
    edit->SetDateTime(D(2017, 1, 1));
    EXPECT_EQ(edit->eraBox()->currentText(), "平成");
    EXPECT_EQ(edit->field(dpYear)->text(), "29");
    edit->setMinDate(D(2018, 4, 1));
    EXPECT_EQ(edit->field(dpYear)->text(), "30");
    EXPECT_EQ(edit->field(dpMonth)->text(), "4");
    edit->setMaxDate(D(2020, 3, 31));
    EXPECT_EQ(edit->eraBox()->count(), 2);

    edit->setEditStyle(desYearMonthDayHM);
    edit->setEditAmpm(true);
    EXPECT_TRUE(edit->ampmBox()->isVisibleTo(edit));
    edit->SetDateTime(DT(2019, 6, 1, 18, 5, 0));
    EXPECT_EQ(edit->ampmBox()->currentText(), "午後");
    EXPECT_EQ(edit->field(dpHour)->text(), "6");
}

} // namespace

namespace {

TEST_F(DateEditWidget, ExitCheckNamesTheFaultyPartWhenTheFocusLeaves) {
    edit->ExitCheck = true;
    edit->eraBox()->setCurrentIndex(edit->eraBox()->findText("令和"));
    edit->field(dpYear)->setFocus();
    QTest::keyClicks(edit->field(dpYear), "6");
    QTest::keyClick(edit->field(dpYear), Qt::Key_Return);
    QTest::keyClicks(edit->field(dpMonth), "13");
    QTest::keyClick(edit->field(dpMonth), Qt::Key_Return);
    QTest::keyClicks(edit->field(dpDay), "1");
    QTest::keyClick(edit->field(dpDay), Qt::Key_Return); // leaves the control
    QApplication::processEvents();
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "日付が正しくありません（変換できません）．　　");
    EXPECT_TRUE(edit->field(dpYear)->hasFocus());

    edit->field(dpMonth)->setText("12");
    next->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_DOUBLE_EQ(edit->model().value(), D(2024, 12, 1));
}

} // namespace
