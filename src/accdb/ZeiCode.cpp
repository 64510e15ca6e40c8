#include "accdb/ZeiCode.h"

#include "accdb/AccFunction.h"
#include "accdb/DateText.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"

#include <cstdio>
#include <map>

TZeiSettings ZeiSettings;
std::vector<TZeiRituRec> ZeiRituList;
std::vector<TZeiRituRec> ZeiRituUseList;
int ZeiRituLow = 0;
int ZeiRituHigh = 0;

namespace {

struct CodeInfo {
    std::string className;
    std::string description; // padded to 24 bytes
    int kind;
    int taxUH;
    int taxDC;
};

constexpr std::size_t kDescriptionWidth = 24;

std::string padDescription(const std::string& words) {
    const std::size_t w = platform::cp932Width(words);
    return w >= kDescriptionWidth ? words : words + std::string(kDescriptionWidth - w, ' ');
}

const char* const kFullDigits[] = {"１", "２", "３", "４", "５", "６"};

// Non-taxable details 20, 30, 40, 50 of the sales-like series.
const char* const kNonTaxable[] = {"免税売上", "非課税売上", "非課税売上（有価証券）", "非課税売上（輸出等）"};

std::map<int, CodeInfo> buildCodes() {
    std::map<int, CodeInfo> m;
    auto add = [&m](int code, const char* cls, const std::string& words, int kind, int uh, int dc) {
        m[code] = CodeInfo{cls, padDescription(words), kind, uh, dc};
    };
    auto classes = [&](int base, const char* cls, const char* word, int uh, int dc) {
        for (int i = 1; i <= 6; ++i)
            add(base + i, cls, std::string("第") + kFullDigits[i - 1] + "種" + word, 2, uh, dc);
    };
    auto nonTaxable = [&](int series, const char* cls, int dc) {
        for (int i = 0; i < 4; ++i) add(series * 100 + 20 + i * 10, cls, kNonTaxable[i], 0, 0, dc);
    };
    auto triple = [&](int base, const char* cls, const char* a, const char* b, const char* c, int uh, int dc) {
        add(base + 1, cls, a, 0, uh, dc);
        add(base + 2, cls, b, 0, uh, dc);
        add(base + 3, cls, c, 0, uh, dc);
    };

    add(110, "売上", "課税売上", 1, 1, 3);
    classes(110, "売上", "課税売上", 1, 3);
    nonTaxable(1, "売上", 3);
    add(210, "貸倒回収", "課税売上", 0, 1, 3);
    nonTaxable(2, "貸倒回収", 3);
    add(310, "返還", "課税売上", 1, 1, 1);
    classes(310, "返還", "課税返還", 1, 1);
    nonTaxable(3, "返還", 1);
    add(410, "貸倒", "課税売上", 0, 1, 1);
    nonTaxable(4, "貸倒", 1);

    triple(510, "仕入", "課税売上対応課税仕入", "共通売上対応課税仕入", "非課売上対応課税仕入", 2, 1);
    triple(520, "仕入", "課税売上対応課税輸入", "共通売上対応課税輸入", "非課売上対応課税輸入", 2, 1);
    triple(530, "仕入", "課税売上対応調整（棚卸）", "共通売上対応調整（棚卸）", "非課税売上対調整（棚卸）", 2, 1);
    add(540, "仕入", "非課税仕入", 0, 0, 1);
    triple(550, "仕入", "課税売上対応特定課税仕入", "共通売上対応特定課税仕入", "非課売上対応特定課税仕入", 2, 1);
    triple(560, "仕入", "課税売上対応課税仕入返還", "共通売上対応課税仕入返還", "非課売上対応課税仕入返還", 2, 3);
    triple(570, "仕入", "課税売上対応課税輸入返還", "共通売上対応課税輸入返還", "非課売上対応課税輸入返還", 2, 3);
    triple(580, "仕入", "課税売上対応特定仕入返還", "共通売上対応特定仕入返還", "非課売上対応特定仕入返還", 2, 3);

    add(610, "仮受", "売上", 1, 0, 3);
    classes(610, "仮受", "課税売上", 0, 3);
    add(620, "仮受", "貸倒回収", 0, 0, 3);
    add(630, "仮受", "返還", 1, 0, 1);
    classes(630, "仮受", "課税返還", 0, 1);
    add(640, "仮受", "貸倒", 0, 0, 1);

    triple(710, "仮払", "課税売上対応課税仕入", "共通売上対応課税仕入", "非課売上対応課税仕入", 0, 1);
    triple(720, "仮払", "課税売上対応課税輸入", "共通売上対応課税輸入", "非課売上対応課税輸入", 0, 1);
    triple(723, "仮払", "課税売上対応課税輸入(国)", "共通売上対応課税輸入(国)", "非課売上対応課税輸入(国)", 0, 1);
    triple(730, "仮払", "課税売上対応調整（棚卸）", "共通売上対応調整（棚卸）", "非課売上対応調整（棚卸）", 0, 1);
    triple(760, "仮払", "課税売上対応課税仕入返還", "共通売上対応課税仕入返還", "非課売上対応課税仕入返還", 0, 3);
    triple(770, "仮払", "課税売上対応課税輸入返還", "共通売上対応課税輸入返還", "非課売上対応課税輸入返還", 0, 3);
    triple(773, "仮払", "課税売対課税輸入返還(国)", "共通売対課税輸入返還(国)", "非課売対課税輸入返還(国)", 0, 3);

    add(810, "課税対象外", "課税対象外・不課税", 0, 0, 0);
    add(910, "区分未定", "区分未定　　　　　　", 0, 0, 0);
    return m;
}

const std::map<int, CodeInfo>& codes() {
    static const std::map<int, CodeInfo> m = buildCodes();
    return m;
}

bool inRange(int code, int lo, int hi) { return code >= lo && code <= hi; }

bool isOutsideOrUndecided(int code) { return code == kZeiCodeOutside || code == kZeiCodeUndecided; }

} // namespace

int NormalizeZeiCode(int& code) {
    if (ZeiSettings.TAXKANNI == 1) {
        if (code == 110 || code == 310 || code == 610 || code == 630) code += ZeiSettings.TAXJIGYOU;
    } else {
        for (int base : {110, 310, 610, 630})
            if (inRange(code, base + 1, base + 6)) code = base;
    }
    return code;
}

bool GetZeiCodeInfo(int code, std::string& className, std::string& description, int& kind,
                    int& taxUH, int& taxDC) {
    const auto it = codes().find(code);
    if (it == codes().end()) {
        className = "Error               ";
        description = " ";
        kind = 9;
        taxUH = 0;
        taxDC = 0;
        return false;
    }
    className = it->second.className;
    description = it->second.description;
    kind = it->second.kind;
    taxUH = it->second.taxUH;
    taxDC = it->second.taxDC;
    return true;
}

bool CheckZeiCodeByKamoku(std::string& message, const std::string& account, int code) {
    message.clear();
    if (account == ZeiSettings.KaribaraiUserCode) {
        if (inRange(code, 711, 713) || inRange(code, 721, 726) || inRange(code, 731, 733) ||
            inRange(code, 761, 763) || inRange(code, 771, 776) || isOutsideOrUndecided(code))
            return true;
        message = "仮払消費税の税コードは[700番台,810,910]を使用してください。";
        return false;
    }
    if (inRange(code, 700, 799)) {
        message = "税コードが[700番台]は、科目に仮払消費税を使用してください。";
        return false;
    }
    if (account != ZeiSettings.KariukeUserCode) {
        if (inRange(code, 600, 699)) {
            message = "税コードが[600番台]は、科目に仮受消費税を使用してください。";
            return false;
        }
        return true;
    }
    const char* const kWrongKariuke = "仮受消費税の税コードは[600番台,810,910]を使用してください。";
    const bool always = code == 620 || code == 640 || isOutsideOrUndecided(code);
    const bool classCode = inRange(code, 611, 616) || inRange(code, 631, 636);
    const bool baseCode = code == 610 || code == 630;
    if (ZeiSettings.TAXKANNI == 0) {
        if (always || baseCode) return true;
        if (classCode) {
            message = "注意：原則課税が選択されています。";
            return true;
        }
        message = kWrongKariuke;
        return false;
    }
    if (ZeiSettings.TAXKANNI == 1) {
        if (always || classCode) return true;
        if (baseCode) {
            message = "注意：簡易課税が選択されています。";
            return true;
        }
        message = kWrongKariuke;
        return false;
    }
    return true;
}

bool CheckKariZeiAiteCode(std::string& message, const std::string& account, int& code) {
    message.clear();
    if ((account == ZeiSettings.KaribaraiUserCode || account == ZeiSettings.KariukeUserCode) &&
        !isOutsideOrUndecided(code)) {
        message = "仮受消費税、仮払消費税の相手税コードは[810,910]を使用してください。";
        code = kZeiCodeOutside;
        return false;
    }
    return true;
}

bool CheckSyokuchiZeiCode(std::string& message, const std::string& account, int& code) {
    message.clear();
    if (account == ZeiSettings.SyokuchiUserCode && !isOutsideOrUndecided(code)) {
        message = "諸口の消費税コードは、[810,910]を使用してください。";
        code = kZeiCodeOutside;
        return false;
    }
    return true;
}

bool IsTokuteiShiireCode(int code) { return inRange(code, 551, 553) || inRange(code, 581, 583); }

int CheckTokuteiShiireCode(std::string& message, int& code, int rateCode, TDateTime date) {
    return CheckTokuteiShiireCode(message, code, rateCode, date, IsWarekiDisplay());
}

int CheckTokuteiShiireCode(std::string& message, int& code, int rateCode, TDateTime date,
                           bool eraDisplay) {
    message.clear();
    if (!IsTokuteiShiireCode(code)) return 1;
    const TDateTime firstDay = datecore::encodeDate(2015, 10, 1);
    int result = 1;
    if (date < firstDay) {
        std::string first;
        FormatDateEx("yyyy/mm/dd", 3, first, firstDay, eraDisplay);
        message = "特定課税仕入れ用の消費税コード[551,552,553,581,582,583]では[" + first +
                  "]より前の取引を登録できません。";
        result = 0;
    }
    const char* rateName = rateCode == 1 ? "3%" : rateCode == 2 ? "5%" : rateCode == 4 ? "軽減8%" : nullptr;
    if (rateName) {
        message = std::string("特定課税仕入れ用の消費税コード[551,552,553,581,582,583]では税率[") +
                  rateName + "]は使用できません。";
        return 0;
    }
    return result;
}

// Tax follows the suite's yen rounding rules.
Currency RoundZeigaku(int mode, Currency amount) { return HasuuSyori(mode, amount); }

// ---- tax rates ---------------------------------------------------------------

namespace {

const TZeiRituRec kFiveRates[] = {
    {"10%", money::fromYen(10), 0, 4, "2019/10/01", 11, 1, 1, 1, 4, 1},
    {"8*%", money::fromYen(8), 4, 3, "2019/10/01", 11, 1, 1, 0, 3, 1},
    {"8%", money::fromYen(8), 3, 2, "2014/04/01", 6, 1, 0, 1, 2, 1},
    {"5%", money::fromYen(5), 2, 1, "1997/04/01", 1, 0, 0, 1, 1, 1},
    {"3%", money::fromYen(3), 1, 0, "1989/04/01", 1, 0, 0, 1, 0, 1},
};

const TZeiRituRec kThreeRates[] = {
    {"8%", money::fromYen(8), 0, 2, "2014/04/01", 6, 1, 1, 1, 2, 1},
    {"5%", money::fromYen(5), 2, 1, "1997/04/01", 1, 0, 0, 1, 1, 1},
    {"3%", money::fromYen(3), 1, 0, "1989/04/01", 1, 0, 0, 1, 0, 1},
};

template <std::size_t N>
void takeRates(const TZeiRituRec (&table)[N]) {
    ZeiRituList.assign(table, table + N);
    ZeiRituUseList.assign(table, table + N);
    for (TZeiRituRec& r : ZeiRituUseList) {
        const auto i = static_cast<std::size_t>(r.InUseIndex);
        r.InUse = i < ZeiSettings.RatesInUse.size() ? ZeiSettings.RatesInUse[i] : 0;
    }
    ZeiRituLow = 0;
    ZeiRituHigh = static_cast<int>(N) - 1;
}

void ensureRates() {
    if (ZeiRituList.empty()) InitZeiRituList();
}

TDateTime startOf(const TZeiRituRec& r) { return StrToDateTimeStd(r.StartDate); }

} // namespace

void InitZeiRituList() {
    char version[48];
    std::snprintf(version, sizeof version, "%d.%d.%d", ZeiSettings.VerMajor, ZeiSettings.VerMinor,
                  ZeiSettings.VerRelease);
    if (IsVersionOrLater(version, "11.1.0")) takeRates(kFiveRates);
    else takeRates(kThreeRates);
}

Currency GetZeiRitu(int rateCode, TDateTime) {
    ensureRates();
    for (const TZeiRituRec& r : ZeiRituList)
        if (r.Code == rateCode) return r.Rate;
    return ZeiRituList.front().Rate;
}

int GetZeiRituKey(int rateCode, TDateTime date) {
    ensureRates();
    for (const TZeiRituRec& r : ZeiRituList)
        if (r.Code == rateCode && r.Standard == 0) return rateCode;
    int inForce = 0;
    for (const TZeiRituRec& r : ZeiRituList) {
        if (startOf(r) <= date) {
            inForce = r.Code;
            break;
        }
    }
    if (inForce == rateCode) return inForce;
    for (const TZeiRituRec& r : ZeiRituList)
        if (r.Code == rateCode && startOf(r) <= date) return rateCode;
    return inForce;
}

// ---- journal tax -------------------------------------------------------------

namespace {

void showCalcError() {
    platform::PromptMessage msg;
    msg.source = "TMessageBox2";
    msg.kind = platform::pkError;
    msg.buttons = platform::mbOK;
    msg.setText("仕訳の消費税額が計算できません。");
    platform::prompt().show(msg);
}

bool isSuspenseAccount(const std::string& userCode) {
    return userCode == ZeiSettings.KaribaraiUserCode || userCode == ZeiSettings.KariukeUserCode;
}

} // namespace

bool CalcZeigakuSide(TZeiJournal& journal, TZeiSide& side) {
    std::string className, description;
    int kind = 0;
    GetZeiCodeInfo(side.TAXCODE, className, description, kind, side.TAXUH, side.TAXDC);
    side.NUK = 0;
    side.ZEI = 0;
    side.RIT = 0;

    Currency rate = GetZeiRitu(journal.OLDRATE, journal.HIZUKE);
    if (side.RateKey != journal.OLDRATE) rate = GetZeiRitu(side.RateKey, journal.HIZUKE);
    if (side.TAXUH != 0) side.RIT = rate;

    const Currency amount = journal.KINGAKU;
    if (side.TAXUH == 0 || isSuspenseAccount(side.USERCODE)) {
        side.NUK = amount;
        side.ZEI = 0;
        side.RIT = isSuspenseAccount(side.USERCODE) && !isOutsideOrUndecided(side.TAXCODE) ? rate : 0;
        return true;
    }

    if (journal.AUTCALCU == 0) {
        switch (journal.TAXCALCU) {
        case 0: side.NUK = amount - journal.ZEIGAKU; side.ZEI = journal.ZEIGAKU; break;
        case 1: side.NUK = amount; side.ZEI = journal.ZEIGAKU; break;
        default: side.NUK = amount; side.ZEI = 0; break;
        }
        return true;
    }

    const int mode = side.TAXUH == 1 ? ZeiSettings.TAXU_HASUU : ZeiSettings.TAXH_HASUU;
    Currency quotient = 0;
    switch (journal.TAXCALCU) {
    case 0:  // tax included: amount * rate / (100 + rate)
        if (!money::tryMulDivRound(amount, rate, money::fromYen(100) + rate, quotient)) break;
        side.ZEI = RoundZeigaku(mode, quotient);
        side.NUK = amount - side.ZEI;
        return true;
    case 1:  // tax excluded: amount * rate / 100
        if (!money::tryMulDivRound(amount, rate, money::fromYen(100), quotient)) break;
        side.ZEI = RoundZeigaku(mode, quotient);
        side.NUK = amount;
        return true;
    default:
        side.NUK = amount;
        side.ZEI = 0;
        return true;
    }
    showCalcError();
    return false;
}

bool CalcSiwakeZeigaku(TZeiJournal& journal) {
    if (IsTokuteiShiireCode(journal.Debit.TAXCODE) || IsTokuteiShiireCode(journal.Credit.TAXCODE))
        journal.TAXCALCU = 2;
    journal.KINGAKU = RoundZeigaku(0, journal.KINGAKU);
    journal.ZEIGAKU = RoundZeigaku(0, journal.ZEIGAKU);
    if (!CalcZeigakuSide(journal, journal.Debit)) return false;
    if (!CalcZeigakuSide(journal, journal.Credit)) return false;

    const TZeiSide& d = journal.Debit;
    const TZeiSide& c = journal.Credit;
    if (d.RIT > 0 && c.RIT == 0) journal.OLDRATE = d.RateKey;
    else if (d.RIT == 0 && c.RIT > 0) journal.OLDRATE = c.RateKey;
    else if (d.RIT > 0 && c.RIT > 0 && d.RateKey == c.RateKey) journal.OLDRATE = d.RateKey;

    if (journal.TAXCALCU == 1) {
        const Currency dt = d.NUK + d.ZEI;
        const Currency ct = c.NUK + c.ZEI;
        if (dt < ct) {
            journal.Debit.NUK = ct;
            journal.Debit.ZEI = 0;
        } else if (ct < dt) {
            journal.Credit.NUK = dt;
            journal.Credit.ZEI = 0;
        }
    }
    journal.ZEIGAKU = c.ZEI >= d.ZEI ? c.ZEI : d.ZEI;
    return true;
}
