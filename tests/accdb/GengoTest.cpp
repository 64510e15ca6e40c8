#include "accdb/Gengo.h"

#include <gtest/gtest.h>
#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>

using datecore::encodeDate;

namespace {

struct GengoFixture : ::testing::Test {
    void SetUp() override { InitGengoTable(); }
    void TearDown() override { InitGengoTable(); }
};

struct DateCase {
    int y, m, d;
};

TDateTime D(DateCase c) { return encodeDate(c.y, c.m, c.d); }

std::string text(TDateTime d) { return datecore::formatDateTime("yyyy/mm/dd", d); }

} // namespace

TEST(DateCoreTest, DayZeroAndRoundTrip) {
    EXPECT_EQ(encodeDate(1899, 12, 30), 0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2);
    EXPECT_EQ(encodeDate(2024, 2, 29), 45351);
    EXPECT_EQ(encodeDate(1868, 1, 1), -11686);
    TDateTime out = 0;
    EXPECT_FALSE(datecore::tryEncodeDate(2023, 2, 29, out));
    EXPECT_FALSE(datecore::tryEncodeDate(2024, 13, 1, out));
    TDateTime t = 0;
    ASSERT_TRUE(datecore::tryEncodeTime(13, 5, 9, 0, t));
    EXPECT_EQ(datecore::formatDateTime("yyyy/mm/dd hh:mm:ss", encodeDate(2024, 3, 4) + t),
              "2024/03/04 13:05:09");
    EXPECT_EQ(datecore::formatDateTime("yy年m月d日", encodeDate(2005, 3, 4)), "05年3月4日");
}

TEST(GengoTest, IncMonthClampTable) {
    struct Case { int months; DateCase from, want; } cases[] = {
        {1, {2024, 1, 31}, {2024, 2, 29}},
        {1, {2023, 1, 31}, {2023, 2, 28}},
        {-1, {2023, 3, 31}, {2023, 2, 28}},
        {12, {2024, 2, 29}, {2025, 2, 28}},
        {1, {2023, 12, 15}, {2024, 1, 15}},
        {-12, {2024, 1, 10}, {2023, 1, 10}},
        {-13, {2024, 1, 10}, {2022, 12, 10}},
        {3, {2023, 5, 31}, {2023, 8, 31}},
        {1, {2023, 5, 31}, {2023, 6, 30}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(IncMonthClamp(c.months, D(c.from))), text(D(c.want)))
            << c.months << " from " << text(D(c.from));
    // The time of day is dropped.
    EXPECT_EQ(IncMonthClamp(0, D({2024, 1, 31}) + 0.75), D({2024, 1, 31}));
}

TEST(GengoTest, GetShimebiDateTable) {
    struct Case { int months, closing; DateCase from, want; } cases[] = {
        {0, 99, {2024, 2, 10}, {2024, 2, 29}},
        {0, 99, {2023, 2, 10}, {2023, 2, 28}},
        {0, 20, {2024, 3, 25}, {2024, 4, 20}},
        {0, 20, {2024, 3, 20}, {2024, 3, 20}},
        {0, 20, {2024, 12, 21}, {2025, 1, 20}},
        {-1, 20, {2024, 3, 21}, {2024, 3, 20}},
        {2, 99, {2024, 1, 31}, {2024, 3, 31}},
        {0, 31, {2024, 3, 25}, {2024, 3, 25}},
        {0, 0, {2024, 3, 25}, {2024, 3, 25}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(GetShimebiDate(c.months, c.closing, D(c.from))), text(D(c.want)))
            << c.months << "," << c.closing << " from " << text(D(c.from));
    // An invalid closing day returns the date itself, time included.
    EXPECT_EQ(GetShimebiDate(0, 31, D({2024, 3, 25}) + 0.5), D({2024, 3, 25}) + 0.5);
}

TEST(GengoTest, MonthsBetweenAndCells) {
    EXPECT_EQ(MonthsBetween(99, D({2023, 4, 1}), D({2024, 3, 31})), 11);
    EXPECT_EQ(MonthsBetween(20, D({2024, 1, 21}), D({2024, 2, 20})), 0);
    EXPECT_EQ(MonthsBetween(20, D({2024, 1, 20}), D({2024, 1, 21})), 1);
    EXPECT_EQ(MonthsBetween(99, D({2024, 3, 31}), D({2023, 4, 1})), -11);

    const TDateTime start = D({2023, 4, 1}), end = D({2024, 3, 31});
    struct Case { int withSettlement; DateCase d1; TDateTime d2; int want; } cases[] = {
        {0, {2023, 6, 15}, end, 3},
        {1, {2023, 6, 15}, end, 4},
        {1, {2023, 5, 15}, end, 2},
        {0, {2023, 4, 1}, end, 1},
        {0, {2023, 7, 1}, end, 5},
        {1, {2023, 12, 31}, end, 12},
        {0, {2024, 3, 31}, end, 15},
        {1, {2024, 3, 31}, end, 16},
        {0, {2023, 3, 31}, end, -1},
        {0, {2024, 4, 1}, D({2024, 4, 1}), -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetKikanCellNo(99, c.withSettlement, start, D(c.d1), c.d2), c.want)
            << c.withSettlement << " " << text(D(c.d1));
    // The earlier of the two dates counts.
    EXPECT_EQ(GetKikanCellNo(99, 0, start, end, D({2023, 8, 1})), 6);

    const int want[] = {0, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0};
    for (int m = 0; m <= 13; ++m) EXPECT_EQ(MonthToKikanIndex(m), want[m]) << m;
}

TEST_F(GengoFixture, DateToWarekiTable) {
    struct Case { DateCase date; const char* name; const char* letter; int year; } cases[] = {
        {{2019, 4, 30}, "平成", "H", 31},
        {{2019, 5, 1}, "令和", "R", 1},
        {{1989, 1, 7}, "昭和", "S", 64},
        {{1989, 1, 8}, "平成", "H", 1},
        {{1926, 12, 24}, "大正", "T", 15},
        {{1912, 7, 30}, "大正", "T", 1},
        {{1868, 1, 1}, "明治", "M", 1},
        {{1867, 12, 31}, "明治", "M", 0},
        {{1800, 6, 1}, "明治", "M", -67},
        {{1899, 12, 31}, "明治", "M", 32},
    };
    for (const auto& c : cases) {
        TWarekiRec w;
        DateToWareki(w, D(c.date));
        EXPECT_EQ(w.Name, c.name) << text(D(c.date));
        EXPECT_EQ(w.Letter, c.letter) << text(D(c.date));
        EXPECT_EQ(w.Year, c.year) << text(D(c.date));
        EXPECT_EQ(w.Month, c.date.m);
        EXPECT_EQ(w.Day, c.date.d);
    }
    TWarekiRec w;
    DateToWareki(w, 0);  // no date
    EXPECT_EQ(w.Name, "");
    EXPECT_EQ(w.Year, 1899);
    // A time of day on the era's first day is in the era.
    DateToWareki(w, D({2019, 5, 1}) + 0.25);
    EXPECT_EQ(w.Letter, "R");
}

TEST_F(GengoFixture, EmptyOrDatabaseTable) {
    GengoTable.clear();
    TWarekiRec w;
    DateToWareki(w, D({2019, 5, 1}));
    EXPECT_EQ(w.Name, "");
    EXPECT_EQ(w.Year, 2019);

    SetGengoTableRows({});
    EXPECT_EQ(GengoTable.size(), 5u);
    EXPECT_EQ(GengoTable[0].Letter, "R");
    EXPECT_EQ(GengoTable[4].StartYear, 1868);

    SetGengoTableRows({{"新元", "X", D({2030, 1, 1}), 2030}, {"令和", "R", D({2019, 5, 1}), 2019}});
    DateToWareki(w, D({2031, 2, 3}));
    EXPECT_EQ(w.Name, "新元");
    EXPECT_EQ(w.Year, 2);
}

// Every day from 1873 (the first year of the Gregorian calendar in Japan) to
// 2100 against the platform's Japanese calendar.
TEST_F(GengoFixture, AgreesWithIcuJapaneseCalendar) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale("ja_JP@calendar=japanese");
    std::unique_ptr<icu::Calendar> cal(
        icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), locale, status));
    ASSERT_TRUE(U_SUCCESS(status));
    icu::SimpleDateFormat eraFormat(icu::UnicodeString(u"GGGG"), locale, status);
    ASSERT_TRUE(U_SUCCESS(status));
    eraFormat.setTimeZone(*icu::TimeZone::getGMT());
    std::map<int32_t, std::string> eraNames;

    const auto t0 = std::chrono::steady_clock::now();
    const int first = datecore::dayNumber(encodeDate(1873, 1, 1));
    const int last = datecore::dayNumber(encodeDate(2100, 12, 31));
    int mismatches = 0;
    for (int day = first; day <= last && mismatches < 5; ++day) {
        if (day == 0) continue;  // the zero date stands for "no date"
        const UDate instant = (static_cast<UDate>(day) - 25569.0) * 86400000.0;
        cal->setTime(instant, status);
        const int32_t era = cal->get(UCAL_ERA, status);
        const int32_t year = cal->get(UCAL_YEAR, status);
        const int32_t month = cal->get(UCAL_MONTH, status) + 1;
        const int32_t dom = cal->get(UCAL_DATE, status);
        ASSERT_TRUE(U_SUCCESS(status));
        auto it = eraNames.find(era);
        if (it == eraNames.end()) {
            icu::UnicodeString u;
            eraFormat.format(instant, u);
            std::string name;
            u.toUTF8String(name);
            it = eraNames.emplace(era, name).first;
        }
        TWarekiRec w;
        DateToWareki(w, day);
        if (w.Name != it->second || w.Year != year || w.Month != month || w.Day != dom) {
            ++mismatches;
            ADD_FAILURE() << text(day) << ": " << w.Name << w.Year << " vs " << it->second << year;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(eraNames.size(), 5u);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}
