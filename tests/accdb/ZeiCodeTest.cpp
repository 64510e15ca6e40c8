#include "accdb/ZeiCode.h"

#include "accdb/Gengo.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <limits>

using datecore::encodeDate;
using money::fromYen;

namespace {

// A data set with general taxation, half-away rounding of sales tax and
// truncation of purchase tax, data version 11.1.0 (five rates).
struct ZeiFixture : ::testing::Test {
    void SetUp() override {
        ZeiSettings = TZeiSettings{};
        ZeiSettings.KaribaraiUserCode = "1510";
        ZeiSettings.KariukeUserCode = "2510";
        ZeiSettings.SyokuchiUserCode = "9999";
        ZeiSettings.TAXU_HASUU = 1;
        ZeiSettings.TAXH_HASUU = 0;
        setVersion(11, 1, 0);
        InitGengoTable();
    }
    void TearDown() override {
        ZeiSettings = TZeiSettings{};
        ZeiRituList.clear();
        ZeiRituUseList.clear();
    }
    static void setVersion(int a, int b, int c) {
        ZeiSettings.VerMajor = a;
        ZeiSettings.VerMinor = b;
        ZeiSettings.VerRelease = c;
        InitZeiRituList();
    }
};

constexpr Currency kUnit = 1;  // 1/10000 yen

} // namespace

TEST(ZeiCodeTest, RoundZeigakuTable) {
    struct Case { int mode; Currency amount, want; } cases[] = {
        {1, fromYen(12) + 5000, fromYen(13)},   {1, -fromYen(12) - 5000, -fromYen(13)},
        {1, fromYen(12) + 4999, fromYen(12)},   {3, fromYen(12) + 5000, fromYen(13)},
        {0, -fromYen(12) - 9000, -fromYen(12)}, {0, fromYen(12) + 9999, fromYen(12)},
        {2, fromYen(12), fromYen(12)},          {2, -fromYen(12) - 5000, -fromYen(13)},
        {2, fromYen(12) + 3000, fromYen(13)},   {2, fromYen(100) + kUnit, fromYen(101)},
        {2, -kUnit, -fromYen(1)},               {1, 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundZeigaku(c.mode, c.amount), c.want) << c.mode << " " << c.amount;
}

TEST(ZeiCodeTest, CodeTable) {
    struct Case { int code; const char* cls; const char* words; int kind, uh, dc; bool known; } cases[] = {
        {110, "売上", "課税売上", 1, 1, 3, true},
        {113, "売上", "第３種課税売上", 2, 1, 3, true},
        {140, "売上", "非課税売上（有価証券）", 0, 0, 3, true},
        {250, "貸倒回収", "非課税売上（輸出等）", 0, 0, 3, true},
        {316, "返還", "第６種課税返還", 2, 1, 1, true},
        {410, "貸倒", "課税売上", 0, 1, 1, true},
        {533, "仕入", "非課税売上対調整（棚卸）", 0, 2, 1, true},
        {540, "仕入", "非課税仕入", 0, 0, 1, true},
        {552, "仕入", "共通売上対応特定課税仕入", 0, 2, 1, true},
        {583, "仕入", "非課売上対応特定仕入返還", 0, 2, 3, true},
        {611, "仮受", "第１種課税売上", 2, 0, 3, true},
        {630, "仮受", "返還", 1, 0, 1, true},
        {725, "仮払", "共通売上対応課税輸入(国)", 0, 0, 1, true},
        {776, "仮払", "非課売対課税輸入返還(国)", 0, 0, 3, true},
        {810, "課税対象外", "課税対象外・不課税", 0, 0, 0, true},
        {910, "区分未定", "区分未定　　　　　　", 0, 0, 0, true},
        {117, "Error               ", " ", 9, 0, 0, false},
        {0, "Error               ", " ", 9, 0, 0, false},
        {727, "Error               ", " ", 9, 0, 0, false},
    };
    for (const auto& c : cases) {
        std::string cls, desc;
        int kind = -1, uh = -1, dc = -1;
        EXPECT_EQ(GetZeiCodeInfo(c.code, cls, desc, kind, uh, dc), c.known) << c.code;
        EXPECT_EQ(cls, c.cls) << c.code;
        if (c.known) {
            EXPECT_EQ(platform::cp932Width(desc), 24u) << c.code;
            EXPECT_EQ(desc.substr(0, std::string(c.words).size()), c.words) << c.code;
        } else {
            EXPECT_EQ(desc, c.words);
        }
        EXPECT_EQ(kind, c.kind) << c.code;
        EXPECT_EQ(uh, c.uh) << c.code;
        EXPECT_EQ(dc, c.dc) << c.code;
    }
}

TEST_F(ZeiFixture, NormalizeZeiCode) {
    struct Case { int kanni, jigyou, code, want; } cases[] = {
        {1, 5, 610, 615}, {1, 5, 611, 611}, {1, 3, 110, 113}, {1, 2, 630, 632}, {1, 5, 510, 510},
        {0, 5, 615, 610}, {0, 5, 610, 610}, {0, 0, 116, 110}, {0, 0, 311, 310}, {0, 0, 636, 630},
        {0, 0, 117, 117},
    };
    for (const auto& c : cases) {
        ZeiSettings.TAXKANNI = c.kanni;
        ZeiSettings.TAXJIGYOU = c.jigyou;
        int code = c.code;
        EXPECT_EQ(NormalizeZeiCode(code), c.want) << c.kanni << " " << c.code;
        EXPECT_EQ(code, c.want);
    }
}

TEST_F(ZeiFixture, CodeAndAccountChecks) {
    const std::string kariToHarai = "仮払消費税の税コードは[700番台,810,910]を使用してください。";
    const std::string need700 = "税コードが[700番台]は、科目に仮払消費税を使用してください。";
    const std::string need600 = "税コードが[600番台]は、科目に仮受消費税を使用してください。";
    const std::string kariuke = "仮受消費税の税コードは[600番台,810,910]を使用してください。";
    struct Case { int kanni; const char* account; int code; bool ok; std::string message; } cases[] = {
        {0, "1510", 711, true, ""},     {0, "1510", 776, true, ""},    {0, "1510", 910, true, ""},
        {0, "1510", 727, false, kariToHarai}, {0, "1510", 610, false, kariToHarai},
        {0, "4000", 711, false, need700}, {0, "2510", 711, false, need700},
        {0, "4000", 610, false, need600}, {0, "4000", 110, true, ""},
        {0, "2510", 610, true, ""},     {0, "2510", 640, true, ""},
        {0, "2510", 615, true, "注意：原則課税が選択されています。"},
        {0, "2510", 110, false, kariuke},
        {1, "2510", 615, true, ""},     {1, "2510", 620, true, ""},
        {1, "2510", 630, true, "注意：簡易課税が選択されています。"},
        {1, "2510", 510, false, kariuke},
        {2, "2510", 510, true, ""},
    };
    for (const auto& c : cases) {
        ZeiSettings.TAXKANNI = c.kanni;
        std::string message = "stale";
        EXPECT_EQ(CheckZeiCodeByKamoku(message, c.account, c.code), c.ok) << c.account << " " << c.code;
        EXPECT_EQ(message, c.message) << c.account << " " << c.code;
    }

    struct Pair { bool syokuchi; const char* account; int code; bool ok; int after; } pairs[] = {
        {false, "1510", 110, false, 810}, {false, "2510", 910, true, 910}, {false, "4000", 110, true, 110},
        {true, "9999", 510, false, 810},  {true, "9999", 810, true, 810},  {true, "1510", 510, true, 510},
    };
    for (const auto& p : pairs) {
        std::string message;
        int code = p.code;
        const bool ok = p.syokuchi ? CheckSyokuchiZeiCode(message, p.account, code)
                                   : CheckKariZeiAiteCode(message, p.account, code);
        EXPECT_EQ(ok, p.ok) << p.account << " " << p.code;
        EXPECT_EQ(code, p.after);
        EXPECT_EQ(message.empty(), p.ok);
    }
}

TEST_F(ZeiFixture, TokuteiShiire) {
    const std::string dateMsgWest =
        "特定課税仕入れ用の消費税コード[551,552,553,581,582,583]では[2015/10/01]より前の取引を登録できません。";
    const std::string dateMsgEra =
        "特定課税仕入れ用の消費税コード[551,552,553,581,582,583]では[H27/10/01]より前の取引を登録できません。";
    auto rateMsg = [](const char* r) {
        return std::string("特定課税仕入れ用の消費税コード[551,552,553,581,582,583]では税率[") + r +
               "]は使用できません。";
    };
    const TDateTime before = encodeDate(2015, 9, 30), on = encodeDate(2015, 10, 1);
    struct Case { int code, rate; TDateTime date; bool era; int want; std::string message; } cases[] = {
        {510, 1, before, false, 1, ""},
        {551, 0, on, false, 1, ""},
        {583, 3, on, false, 1, ""},
        {552, 0, before, false, 0, dateMsgWest},
        {552, 0, before, true, 0, dateMsgEra},
        {551, 4, before, false, 0, rateMsg("軽減8%")},
        {581, 1, on, false, 0, rateMsg("3%")},
        {582, 2, on, false, 0, rateMsg("5%")},
    };
    for (const auto& c : cases) {
        std::string message = "stale";
        int code = c.code;
        EXPECT_EQ(CheckTokuteiShiireCode(message, code, c.rate, c.date, c.era), c.want) << c.code << " " << c.rate;
        EXPECT_EQ(message, c.message) << c.code << " " << c.rate;
    }
    EXPECT_TRUE(IsTokuteiShiireCode(553));
    EXPECT_FALSE(IsTokuteiShiireCode(554));
    EXPECT_FALSE(IsTokuteiShiireCode(561));
}

TEST_F(ZeiFixture, RateLists) {
    ASSERT_EQ(ZeiRituList.size(), 5u);
    EXPECT_EQ(ZeiRituHigh, 4);
    EXPECT_EQ(GetZeiRitu(0, 0), fromYen(10));
    EXPECT_EQ(GetZeiRitu(4, 0), fromYen(8));
    EXPECT_EQ(GetZeiRitu(77, 0), fromYen(10));

    struct Case { int code; TDateTime date; int want; } keys[] = {
        {0, encodeDate(2019, 9, 30), 3},  // 8% was in force
        {4, encodeDate(2019, 9, 30), 4},  // the reduced rate is kept
        {0, encodeDate(2019, 10, 1), 0},
        {3, encodeDate(2019, 10, 1), 3},  // a rate that had started is kept
        {2, encodeDate(2019, 10, 1), 2},
        {3, encodeDate(2000, 1, 1), 2},   // 8% had not started: 5% is in force
        {0, encodeDate(1989, 3, 31), 0},  // before every rate
    };
    for (const auto& k : keys) EXPECT_EQ(GetZeiRituKey(k.code, k.date), k.want) << k.code << " " << k.date;

    setVersion(11, 0, 5);
    ASSERT_EQ(ZeiRituList.size(), 3u);
    EXPECT_EQ(ZeiRituHigh, 2);
    EXPECT_EQ(GetZeiRitu(0, 0), fromYen(8));
    EXPECT_EQ(GetZeiRituKey(0, encodeDate(2019, 10, 1)), 0);

    // In-use bytes of the second list come from the data set.
    ZeiSettings.RatesInUse = {1, 0, 1, 0, 1};
    setVersion(14, 0, 0);
    ASSERT_EQ(ZeiRituUseList.size(), 5u);
    EXPECT_EQ(ZeiRituUseList[0].InUse, 1);  // 10%
    EXPECT_EQ(ZeiRituUseList[1].InUse, 0);  // reduced 8%
    EXPECT_EQ(ZeiRituUseList[3].InUse, 0);  // 5%
    EXPECT_EQ(ZeiRituUseList[4].InUse, 1);  // 3%
    EXPECT_EQ(ZeiRituList[1].InUse, 1);

    // An empty list is built on first use.
    ZeiRituList.clear();
    EXPECT_EQ(GetZeiRitu(0, 0), fromYen(10));
}

TEST_F(ZeiFixture, SideTaxAmounts) {
    // Sales on the credit side (TaxUH 1, half away), purchases on the debit
    // side (TaxUH 2, truncation).
    struct Case { int autcalcu, taxcalcu, taxcode; Currency kingaku, zeigaku, nuk, zei, rit; } cases[] = {
        {1, 0, 110, fromYen(1000), 0, fromYen(909), fromYen(91), fromYen(10)},
        {1, 0, 511, fromYen(1000), 0, fromYen(910), fromYen(90), fromYen(10)},
        {1, 0, 511, fromYen(1100), 0, fromYen(1000), fromYen(100), fromYen(10)},
        {1, 1, 110, fromYen(1005), 0, fromYen(1005), fromYen(101), fromYen(10)},  // 100.5
        {1, 1, 511, fromYen(1005), 0, fromYen(1005), fromYen(100), fromYen(10)},
        {1, 2, 110, fromYen(1000), 0, fromYen(1000), 0, fromYen(10)},
        {0, 0, 110, fromYen(1000), fromYen(95), fromYen(905), fromYen(95), fromYen(10)},
        {0, 1, 110, fromYen(1000), fromYen(95), fromYen(1000), fromYen(95), fromYen(10)},
        {0, 2, 110, fromYen(1000), fromYen(95), fromYen(1000), 0, fromYen(10)},
        {1, 0, 810, fromYen(1000), 0, fromYen(1000), 0, 0},
        {1, 0, 130, fromYen(1000), 0, fromYen(1000), 0, 0},
    };
    for (const auto& c : cases) {
        TZeiJournal j;
        j.HIZUKE = encodeDate(2024, 4, 1);
        j.KINGAKU = c.kingaku;
        j.ZEIGAKU = c.zeigaku;
        j.AUTCALCU = c.autcalcu;
        j.TAXCALCU = c.taxcalcu;
        TZeiSide s;
        s.USERCODE = "4000";
        s.TAXCODE = c.taxcode;
        s.NUK = s.ZEI = s.RIT = 77;
        EXPECT_TRUE(CalcZeigakuSide(j, s));
        EXPECT_EQ(s.NUK, c.nuk) << c.taxcode << " " << c.autcalcu << "/" << c.taxcalcu;
        EXPECT_EQ(s.ZEI, c.zei) << c.taxcode << " " << c.autcalcu << "/" << c.taxcalcu;
        EXPECT_EQ(s.RIT, c.rit) << c.taxcode << " " << c.autcalcu << "/" << c.taxcalcu;
    }

    // A suspense-tax account carries the rate but no tax of its own; with
    // 810 not even the rate.
    TZeiJournal j;
    j.KINGAKU = fromYen(100);
    j.AUTCALCU = 1;
    TZeiSide s;
    s.USERCODE = "1510";
    s.TAXCODE = 711;
    CalcZeigakuSide(j, s);
    EXPECT_EQ(s.NUK, fromYen(100));
    EXPECT_EQ(s.ZEI, 0);
    EXPECT_EQ(s.RIT, fromYen(10));
    EXPECT_EQ(s.TAXDC, 1);
    s.TAXCODE = 810;
    CalcZeigakuSide(j, s);
    EXPECT_EQ(s.RIT, 0);

    // The side's own rate key wins over the entry's.
    TZeiSide reduced;
    reduced.TAXCODE = 110;
    reduced.RateKey = 4;
    j.TAXCALCU = 0;
    j.KINGAKU = fromYen(1080);
    CalcZeigakuSide(j, reduced);
    EXPECT_EQ(reduced.ZEI, fromYen(80));
    EXPECT_EQ(reduced.RIT, fromYen(8));

    // Half a yen exactly after the exact quotient: 1050 * 10 / 110 = 95.4545...
    // and 105 * 10 / 100 = 10.5.
    TZeiSide sale;
    sale.TAXCODE = 110;
    j.KINGAKU = fromYen(105);
    j.TAXCALCU = 1;
    CalcZeigakuSide(j, sale);
    EXPECT_EQ(sale.ZEI, fromYen(11));
}

TEST_F(ZeiFixture, WholeJournal) {
    platform::ScriptedPrompt prompt;
    auto journal = [](int debitCode, int creditCode, Currency kingaku, int taxcalcu) {
        TZeiJournal j;
        j.HIZUKE = encodeDate(2024, 4, 1);
        j.KINGAKU = kingaku;
        j.AUTCALCU = 1;
        j.TAXCALCU = taxcalcu;
        j.Debit.USERCODE = "4000";
        j.Debit.TAXCODE = debitCode;
        j.Credit.USERCODE = "1000";
        j.Credit.TAXCODE = creditCode;
        return j;
    };

    // Tax-included sale: the credit side carries the tax.
    TZeiJournal j = journal(810, 110, fromYen(1100) + 4000, 0);
    ASSERT_TRUE(CalcSiwakeZeigaku(j));
    EXPECT_EQ(j.KINGAKU, fromYen(1100));  // the amount is cut to whole yen first
    EXPECT_EQ(j.ZEIGAKU, fromYen(100));
    EXPECT_EQ(j.Credit.NUK, fromYen(1000));

    // Tax-excluded: the side without tax is raised to the other's total.
    j = journal(511, 810, fromYen(1000), 1);
    ASSERT_TRUE(CalcSiwakeZeigaku(j));
    EXPECT_EQ(j.Debit.ZEI, fromYen(100));
    EXPECT_EQ(j.Credit.NUK, fromYen(1100));
    EXPECT_EQ(j.Credit.ZEI, 0);
    EXPECT_EQ(j.ZEIGAKU, fromYen(100));

    // A specified purchase is never tax-calculated.
    j = journal(551, 810, fromYen(1000), 0);
    ASSERT_TRUE(CalcSiwakeZeigaku(j));
    EXPECT_EQ(j.TAXCALCU, 2);
    EXPECT_EQ(j.ZEIGAKU, 0);

    // Rate key of the entry.
    struct Case { int debitCode, creditCode, debitKey, creditKey, oldBefore, oldAfter; } keys[] = {
        {511, 810, 4, 0, 0, 4},  // only the debit side taxed
        {810, 110, 0, 3, 0, 3},  // only the credit side taxed
        {511, 110, 4, 4, 0, 4},  // both, same key
        {511, 110, 4, 3, 2, 2},  // both, different keys: unchanged
        {810, 810, 4, 3, 2, 2},  // neither
    };
    for (const auto& k : keys) {
        j = journal(k.debitCode, k.creditCode, fromYen(1000), 0);
        j.Debit.RateKey = k.debitKey;
        j.Credit.RateKey = k.creditKey;
        j.OLDRATE = k.oldBefore;
        ASSERT_TRUE(CalcSiwakeZeigaku(j));
        EXPECT_EQ(j.OLDRATE, k.oldAfter) << k.debitKey << "/" << k.creditKey;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ZeiFixture, UncomputableTaxIsReported) {
    platform::ScriptedPrompt prompt;
    TZeiJournal j;
    j.AUTCALCU = 1;
    j.TAXCALCU = 1;
    j.KINGAKU = std::numeric_limits<Currency>::max() / 2;
    j.Credit.TAXCODE = 110;
    ZeiRituList[0].Rate = fromYen(300);  // the product no longer fits
    EXPECT_FALSE(CalcSiwakeZeigaku(j));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text(), "仕訳の消費税額が計算できません。");
    EXPECT_EQ(prompt.messages[0].kind, platform::pkError);
}

TEST(MoneyTest, MulDivRoundsHalvesAwayFromZero) {
    struct Case { Currency a, b, c, want; bool ok; } cases[] = {
        {10, 1, 4, 3, true},    // 2.5
        {-10, 1, 4, -3, true},  // -2.5
        {10, 1, -4, -3, true},
        {9, 1, 4, 2, true},     // 2.25
        {fromYen(1000), fromYen(10), fromYen(110), 909091, true},  // 90.90909...
        {1, 1, 0, 0, false},
        {std::numeric_limits<Currency>::max(), 2, 1, 0, false},
    };
    for (const auto& c : cases) {
        Currency out = 0;
        EXPECT_EQ(money::tryMulDivRound(c.a, c.b, c.c, out), c.ok) << c.a << "*" << c.b << "/" << c.c;
        if (c.ok) {
            EXPECT_EQ(out, c.want) << c.a << "*" << c.b << "/" << c.c;
        }
    }
}
