#include "app/hj19.h"

#include "accdb/Gengo.h"

#include <gtest/gtest.h>

using namespace hj19;
using namespace std::chrono;

namespace {

Money yen(std::int64_t y) { return y * Yen; }
Date ymd(int y, unsigned m, unsigned d) { return Date{year{y}, month{m}, day{d}}; }

Context fiscal2023() {
    InitGengoTable();
    Context c;
    c.KISHU = ymd(2023, 4, 1);
    c.KIMATU = ymd(2024, 3, 31);
    c.periodMonths = 11;
    c.inputMonths = 0;
    c.SDAI_HASUU1 = 1;
    c.toWareki = WarekiOf;
    return c;
}

// Cell text by suffix.
std::string cell(int list, const std::vector<std::string>& cells, const std::string& suffix) {
    const auto& tags = CellTags(list);
    std::string tag = std::string(RowTag(list, 0)) + "_" + suffix;
    for (std::size_t i = 0; i < tags.size(); ++i)
        if (tags[i] == tag)
            return cells.at(i);
    ADD_FAILURE() << "no cell " << tag;
    return {};
}

using Expect = std::vector<std::pair<const char*, const char*>>;

void expectCells(int list, const SisanRow& row, const Context& ctx, const Expect& want) {
    auto cells = CellsOf(list, row, ctx);
    ASSERT_EQ(cells.size(), CellTags(list).size());
    for (auto& [suffix, text] : want)
        EXPECT_EQ(cell(list, cells, suffix), text) << "list " << list << " cell " << suffix;
}

} // namespace

TEST(Hj19Rules, Rounding) {
    struct Case { int mode; Money in; Money out; };
    for (auto c : {Case{0, 125000, yen(12)}, Case{2, 125000, yen(13)}, Case{1, 125000, yen(13)},
                   Case{0, -125000, yen(-12)}, Case{2, -125000, yen(-13)}, Case{1, -125000, yen(-13)},
                   Case{0, 124000, yen(12)}, Case{2, 124000, yen(13)}, Case{1, 124000, yen(12)},
                   Case{2, 1000001, yen(101)}, Case{2, -1, yen(-1)}, Case{3, 125000, yen(13)}})
        EXPECT_EQ(HasuuSyori(c.mode, c.in), c.out) << c.mode << " " << c.in;
}

TEST(Hj19Rules, AmountAndRateTexts) {
    struct Case { std::string got; const char* want; };
    for (auto c : {Case{Amt(0), ""}, Case{Amt(4999), ""}, Case{Amt(5000), "1"}, Case{Amt(-15000), "-2"},
                   Case{Amt(yen(1234567)), "1234567"}, Case{Amt0(0), "0"}, Case{Amt0(-4999), "0"},
                   Case{Rate3(1000), "0.100"}, Case{Rate3(835), "0.084"}, Case{Rate3(10000), "1.000"},
                   Case{Rate3(0), "0.000"}, Case{Rate5(2789), "0.02789"}, Case{Rate5(0), "0.00000"},
                   Case{Amt(Fifth(yen(1000001))), "50000"}, Case{Amt(Tenth(yen(1000009))), "100000"},
                   Case{Amt(Fifth(-yen(1000001))), "-50000"}})
        EXPECT_EQ(c.got, c.want);
}

TEST(Hj19Rules, NamesAreCutInShiftJisBytes) {
    struct Case { const char* in; const char* name16; std::vector<std::string> pieces; };
    for (auto c : {Case{"", "                ", {""}},
                   Case{"建物附属設備工事", "建物附属設備工事", {"建物附属設備工事"}},
                   Case{"ab建物附属設備", "ab建物附属設備  ", {"ab建物附属設備"}},
                   Case{"a建物附属設備工事等", "a建物附属設備工 ", {"a建物附属設備工", "事等"}},
                   Case{"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP", {"ABCDEFGHIJKLMNOP", "QRST"}},
                   Case{"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁ", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ", {"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ", "ﾁ"}}}) {
        EXPECT_EQ(Name16(c.in), c.name16) << c.in;
        EXPECT_EQ(Split16(c.in), c.pieces) << c.in;
    }
}

TEST(Hj19Rules, RateTables) {
    struct Case { int life; Teiritu r250; Teiritu r200; };
    for (auto c : {Case{3, {1000, 2789}, {1000, 11089}}, Case{10, {334, 4448}, {250, 6552}},
                   Case{50, {53, 1072}, {42, 1440}}, Case{100, {26, 546}, {20, 742}},
                   Case{0, {0, 0}, {0, 0}}, Case{1, {0, 0}, {0, 0}}, Case{101, {0, 0}, {0, 0}},
                   Case{-1, {0, 0}, {0, 0}}, Case{100000, {0, 0}, {0, 0}}}) {
        EXPECT_EQ(Rate250(c.life).revised, c.r250.revised) << c.life;
        EXPECT_EQ(Rate250(c.life).guarantee, c.r250.guarantee) << c.life;
        EXPECT_EQ(Rate200(c.life).revised, c.r200.revised) << c.life;
        EXPECT_EQ(Rate200(c.life).guarantee, c.r200.guarantee) << c.life;
    }
}

TEST(Hj19Rules, TagTablesInFileOrder) {
    const std::size_t counts[] = {61, 69, 60, 17, 15, 15};
    for (int list = 1; list <= ListCount; ++list)
        EXPECT_EQ(CellTags(list).size(), counts[list - 1]) << list;
    EXPECT_EQ(TotalTags().size(), 9u);
    const auto& t2 = CellTags(2);
    auto pos = [&](const char* s) { return std::find(t2.begin(), t2.end(), std::string("TEIRITU_MEISAI_19_") + s) - t2.begin(); };
    EXPECT_EQ(pos("2510") + 1, pos("2500"));
    EXPECT_EQ(pos("2610") + 1, pos("2600"));
    EXPECT_EQ(CellTags(5).front(), "SHOUGAKU_MEISAI_0110");
}

TEST(Hj19Rules, RateTableChoiceOfList2) {
    struct Case { Date acquired; int t250; int t200; Date kimatu; bool uses200; };
    for (auto c : {Case{ymd(2012, 5, 1), 0, 0, ymd(2024, 3, 31), true},
                   Case{ymd(2012, 4, 1), 0, 0, ymd(2024, 3, 31), true},
                   Case{ymd(2012, 3, 31), 0, 0, ymd(2024, 3, 31), false},
                   Case{ymd(2012, 5, 1), 1, 0, ymd(2024, 3, 31), false},
                   Case{ymd(2010, 5, 1), 0, 1, ymd(2024, 3, 31), true},
                   Case{ymd(2010, 5, 1), 1, 1, ymd(2024, 3, 31), true},
                   Case{ymd(2007, 4, 1), 0, 1, ymd(2007, 3, 31), false}}) {
        Context ctx = fiscal2023();
        ctx.KIMATU = c.kimatu;
        SisanRow r;
        r.SYUTODATE = c.acquired;
        r.TEIRITU250 = c.t250;
        r.TEIRITU200 = c.t200;
        EXPECT_EQ(Uses200(r, ctx), c.uses200) << static_cast<int>(c.acquired.year()) << " " << c.t250 << c.t200;
    }
}

TEST(Hj19Cells, List1CaseAInAndOutsideTheFivePercentStageAndCaseB) {
    Context ctx = fiscal2023();
    SisanRow r;
    r.KNAME = "建物附属設備工"; // 14 bytes
    r.MEISYOU = "空調設備";
    r.SYUTODATE = ymd(2007, 3, 1);
    r.TAIYOUYY = 15;
    r.SYOUKIKANSTR = 1;
    r.SYOUKIKANEND = 12;
    r.SYUTOKIN = yen(1000000);
    r.SYOURITU = 1420;
    r.FUTUSYOUKIN = yen(10000);
    r.SYOUKINKEI = yen(10000);
    r.MATUMISYOUKIN = yen(30000);
    // Fifth 50000 >= 10000 + 30000: in the stage.
    expectCells(1, r, ctx,
                {{"ZOKUSEI", "2"}, {"0100", "建物附属設備工  "}, {"0200", ""}, {"0300", "空調設備        "},
                 {"0410", "平成"}, {"0420", "19"}, {"0430", "3"}, {"0440", "1"}, {"0510", "平成"}, {"0520", "19"},
                 {"0530", "3"}, {"0540", "12"}, {"0550", "12"}, {"0600", "15"}, {"0700", "1000000"},
                 {"0900", "1000000"}, {"1000", "30000"}, {"1300", "30000"}, {"1400", "10000"}, {"1600", "40000"},
                 {"1700", "100000"}, {"1800", "50000"}, {"1900", ""}, {"2000", ""}, {"2100", ""}, {"2220", ""},
                 {"2310", ""}, {"2320", ""}, {"2400", "10000"}, {"2500", ""}, {"2600", ""}, {"2900", ""},
                 {"3000", "10000"}, {"3400", "10000"}, {"3500", "10000"}, {"4700", ""}});
    r.MATUMISYOUKIN = yen(100000); // 110000 > 50000: outside the stage
    expectCells(1, r, ctx,
                {{"1700", "100000"}, {"1800", "50000"}, {"1900", "900000"}, {"2000", "0.142"}, {"2100", "10000"},
                 {"2220", ""}, {"2310", "(21)+(22)"}, {"2320", "10000"}, {"2400", ""}, {"2500", ""}});
    // Before 2007 the stage does not exist, whatever the amounts.
    Context old = ctx;
    old.KISHU = ymd(2006, 4, 1);
    old.KIMATU = ymd(2007, 3, 31);
    r.MATUMISYOUKIN = yen(30000);
    expectCells(1, r, old, {{"2310", "(21)+(22)"}, {"2400", ""}});

    r.SYUTODATE = ymd(2019, 5, 1);
    r.KISOKIN = yen(800000);
    r.SYOURITU = 670;
    r.WARISYOUKIN = yen(1234);
    r.SYOUKINKEI = 0;
    expectCells(1, r, ctx,
                {{"0410", "令和"}, {"0420", "1"}, {"0430", "5"}, {"0440", "1"}, {"1400", ""}, {"1700", ""},
                 {"1800", ""}, {"1900", ""}, {"2400", ""}, {"2500", "800000"}, {"2600", "0.067"},
                 {"2700", "10000"}, {"2820", "1234"}, {"2900", "0"}, {"3000", "0"}, {"3400", "0"}, {"3500", "0"}});
    r.SYUTODATE = ymd(2019, 4, 30);
    expectCells(1, r, ctx, {{"0410", "平成"}, {"0420", "31"}});
}

TEST(Hj19Cells, List2SwitchesTo200PercentAndRevisedRate) {
    Context ctx = fiscal2023();
    SisanRow r;
    r.KNAME = "機械装置";
    r.MEISYOU = "旋盤";
    r.TAIYOUYY = 10;
    r.SYOUKIKANSTR = 1;
    r.SYOUKIKANEND = 12;
    r.SYUTOKIN = yen(1000000);
    r.KISOKIN = yen(300000);
    r.SYOURITU = 2000;
    r.FUTUSYOUKIN = yen(65536);
    r.SYOUKINKEI = yen(65536);
    r.MATUMISYOUKIN = yen(234464);
    r.KAITEISYUTOKUKAGAKU = yen(262144);
    r.KAITEISYUTOKUKAGAKU_INPUT = yen(262000);

    // 200% table: guarantee 65520 > computed 60000, switched.
    r.SYUTODATE = ymd(2012, 5, 1);
    expectCells(2, r, ctx,
                {{"ZOKUSEI", "2"}, {"0450", "0"}, {"0910", ""}, {"1800", "300000"}, {"1900", ""}, {"2500", "0.200"},
                 {"2510", ""}, {"2600", "60000"}, {"2610", ""}, {"2700", "0.06552"}, {"2800", "65520"},
                 {"2900", "262144"}, {"3000", "0.250"}, {"3100", "65536"}, {"3220", ""}, {"3300", "65536"},
                 {"3400", "65536"}, {"3800", "65536"}, {"3900", "65536"}});
    r.ISINPKAITEISYUTOKUKAGAKU = 1;
    expectCells(2, r, ctx, {{"2900", "262000"}});

    // 250% table: guarantee 44480 < computed 75000 (rate 0.250), no switch.
    r.SYUTODATE = ymd(2010, 5, 1);
    r.SYOURITU = 2500;
    expectCells(2, r, ctx,
                {{"2500", "0.250"}, {"2600", "75000"}, {"2700", "0.04448"}, {"2800", "44480"}, {"2900", ""},
                 {"3000", ""}, {"3100", ""}, {"3300", "65536"}});

    // Asked for the 200% rates on a 2010 asset: the guarantee is on the
    // adjusted acquisition value.
    r.TEIRITU200 = 1;
    r.SYUTOKUKAGAKUCHOSEI = yen(900000);
    r.SYOURITU = 2000;
    r.KISOKIN = yen(250000);
    expectCells(2, r, ctx,
                {{"0910", "100000"}, {"2600", "50000"}, {"2700", "0.06552"}, {"2800", "58968"}, {"3000", "0.250"}});

    // Case A: the old five-percent rules.
    r = SisanRow{};
    r.SYUTODATE = ymd(2000, 1, 10);
    r.SYUTOKIN = yen(1000000);
    r.SYOURITU = 1420;
    r.SYOUKINKEI = yen(20000);
    r.MATUMISYOUKIN = yen(100000);
    r.TEIRITU250 = 1;
    expectCells(2, r, ctx,
                {{"0450", "1"}, {"1900", "50000"}, {"2000", "0.142"}, {"2310", "(21)+(22)"}, {"2320", "20000"},
                 {"2400", ""}, {"2500", ""}, {"2700", ""}, {"2800", ""}, {"3300", ""}});
}

TEST(Hj19Cells, List2LifeOutsideTheTablesUsesZeroRates) {
    Context ctx = fiscal2023();
    SisanRow r;
    r.SYUTODATE = ymd(2015, 1, 1);
    r.SYUTOKIN = yen(1000000);
    r.KISOKIN = yen(500000);
    r.SYOURITU = 100;
    for (int life : {0, 1, 101, 5000, -3}) {
        r.TAIYOUYY = life;
        expectCells(2, r, ctx, {{"2700", "0.00000"}, {"2800", ""}, {"2900", ""}, {"3000", ""}});
    }
}

TEST(Hj19Cells, Lists3To6) {
    Context ctx = fiscal2023();
    SisanRow r;
    r.KNAME = "リース資産";
    r.MEISYOU = "複合機リース契約分その他";
    r.SYUTODATE = ymd(2023, 10, 1);
    r.TAIYOUYY = 5;
    r.SYOUKIKANSTR = 7;
    r.SYOUKIKANEND = 12;
    r.SYUTOKIN = yen(600000);
    r.ZANKAHOSYOUGAKU = yen(100000);
    r.FUTUSYOUKIN = yen(50000);
    r.KISOKIN = yen(180000);
    r.SYOUKINKEI = yen(30000);
    expectCells(3, r, ctx,
                {{"ZOKUSEI", "1"}, {"0100", "リース資産      "}, {"0300", "複合機リース契約"}, {"0410", "令和"},
                 {"0420", "5"}, {"0430", "10"}, {"0440", "1"}, {"0530", "10"}, {"1700", "600000"},
                 {"1800", "100000"}, {"1900", "500000"}, {"2420", "5"}, {"2500", "6"}, {"2600", "50000"},
                 {"4300", ""}});
    expectCells(4, r, ctx,
                {{"ZOKUSEI", "1"}, {"0110", "リース資産      "}, {"0130", "複合機リース契約"}, {"0210", "令和"},
                 {"0220", "5"}, {"0230", "10"}, {"0300", "180000"}, {"0400", "60"}, {"0500", "6"},
                 {"0600", "30000"}, {"0700", "30000"}, {"1200", ""}});
    expectCells(5, r, ctx,
                {{"0110", "リース資産"}, {"0120", ""}, {"0310", "複合機リース契約"}, {"0320", "分その他"},
                 {"0410", "令和"}, {"0420", "5"}, {"0430", "10"}, {"0500", "600000"}, {"0600", ""},
                 {"0700", "600000"}});
    r.SYUTODATE.reset(); // list 6 reads no date
    expectCells(6, r, ctx, {{"0110", ""}, {"0200", "180000"}, {"0300", "6"}, {"0400", "30000"}, {"0500", "30000"}});
}

TEST(Hj19Cells, List6TotalsByRoundingMode) {
    struct Case { Money total; int mode; const char* third; };
    for (auto c : {Case{yen(900), 1, "300"}, Case{yen(1000), 0, "333"}, Case{yen(1000), 1, "333"},
                   Case{yen(1000), 2, "334"}, Case{yen(1001), 0, "333"}, Case{yen(1001), 1, "334"},
                   Case{yen(1001), 2, "334"}, Case{0, 1, ""}}) {
        auto cells = TotalCells(c.total, c.mode);
        ASSERT_EQ(cells.size(), 9u);
        EXPECT_EQ(cells[0], c.total ? std::to_string(c.total / Yen) : "");
        EXPECT_EQ(cells[1], "12");
        EXPECT_EQ(cells[2], c.third) << c.total << " mode " << c.mode;
        EXPECT_EQ(cells[3], c.third);
        for (int i = 4; i < 9; ++i)
            EXPECT_EQ(cells[static_cast<std::size_t>(i)], "");
    }
}
