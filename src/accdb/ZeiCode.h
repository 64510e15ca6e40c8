#pragma once
// Consumption-tax vocabulary and arithmetic of journal entries: the meaning
// of every three-digit tax code, the checks that tie tax codes to the
// suspense-tax and sundry accounts, whole-yen rounding of tax, the tax-rate
// lists and the tax amounts of one journal entry.
//
// Tax codes are series * 100 + detail: 1 sales, 2 recovery of bad debts,
// 3 sales returns, 4 bad debts, 5 purchases, 6 suspense tax received,
// 7 suspense tax paid, 810 outside the tax, 910 not yet classified. Details
// 11-16 of series 1, 3 and 6 carry the simplified-taxation business class.
#include "accdb/DateCore.h"
#include "accdb/Money.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The open data set's tax settings that the calculations read. The data-set
// loader fills it from the basic settings each time a data set is opened.
struct TZeiSettings {
    int TAXKANNI = 0;     // 1 simplified taxation, 0 general taxation
    int TAXJIGYOU = 0;    // business class 1..6 of simplified taxation
    int TAXU_HASUU = 0;   // rounding mode of tax on sales (RoundZeigaku)
    int TAXH_HASUU = 0;   // rounding mode of tax on purchases
    std::string KaribaraiUserCode; // user code of the account 仮払消費税
    std::string KariukeUserCode;   // user code of the account 仮受消費税
    std::string SyokuchiUserCode;  // user code of the sundry account 諸口
    // Tax rates in use: 3%, 5%, 8%, reduced 8%, 10% (the rates' order).
    std::array<std::uint8_t, 5> RatesInUse{0, 0, 1, 1, 1};
    // Data version of the data set (major, minor, release).
    int VerMajor = 0, VerMinor = 0, VerRelease = 0;
};
extern TZeiSettings ZeiSettings;

// ---- tax codes -------------------------------------------------------------

inline constexpr int kZeiCodeOutside = 810;   // 課税対象外
inline constexpr int kZeiCodeUndecided = 910; // 区分未定

// Adapts a code to the taxation method: simplified taxation adds the
// business class to the base codes 110, 310, 610, 630; general taxation
// takes the class codes back to their base. Returns the new code.
int NormalizeZeiCode(int& code);

// Class name, 24-byte description and the flags of a code. Kind: 1 base
// code taking a business class, 2 code with a business class, 0 other;
// TaxUH: 1 taxable sales, 2 taxable purchases, 0 other; TaxDC: 3
// credit-natured, 1 debit-natured, 0 neither. False (class "Error") for an
// unknown code.
bool GetZeiCodeInfo(int code, std::string& className, std::string& description, int& kind,
                    int& taxUH, int& taxDC);

bool CheckZeiCodeByKamoku(std::string& message, const std::string& account, int code);
bool CheckKariZeiAiteCode(std::string& message, const std::string& account, int& code);
bool CheckSyokuchiZeiCode(std::string& message, const std::string& account, int& code);
// Specified taxable purchases: 551-553 and 581-583.
bool IsTokuteiShiireCode(int code);
// 1 accepted, 0 refused (message set). The first allowed date appears in
// the message as the operator's era-display setting (or eraDisplay) says.
int CheckTokuteiShiireCode(std::string& message, int& code, int rateCode, TDateTime date);
int CheckTokuteiShiireCode(std::string& message, int& code, int rateCode, TDateTime date,
                           bool eraDisplay);

// Whole yen: mode 0 cuts the fraction, mode 2 moves any fraction away from
// zero, any other mode rounds halves away from zero.
Currency RoundZeigaku(int mode, Currency amount);

// ---- tax rates ---------------------------------------------------------------

struct TZeiRituRec {
    std::string Name;       // "10%", "8*%", "8%", "5%", "3%"
    Currency Rate = 0;      // percent
    std::int32_t Code = 0;  // rate code of journals; 0 the newest standard rate of the list
    std::int32_t Order = 0; // 3% 0, 5% 1, 8% 2, reduced 8% 3, 10% 4
    std::string StartDate;  // "yyyy/mm/dd"
    std::int32_t Version = 0;
    std::int32_t SplitFlag = 0;
    std::uint8_t Current = 0;
    std::uint8_t Standard = 0;
    std::int32_t InUseIndex = 0;
    std::uint8_t InUse = 0;
};

extern std::vector<TZeiRituRec> ZeiRituList;     // read by the rate lookups
extern std::vector<TZeiRituRec> ZeiRituUseList;  // same entries, in-use from the settings
extern int ZeiRituLow;
extern int ZeiRituHigh;

// Five rates for data version 11.1.0 and later, else three.
void InitZeiRituList();
// Rate in percent of a rate code (the first entry's rate for an unknown
// code). The date is not used.
Currency GetZeiRitu(int rateCode, TDateTime date);
// The rate code in force on a date, keeping a reduced rate and a rate that
// had already started.
int GetZeiRituKey(int rateCode, TDateTime date);

// ---- journal tax -------------------------------------------------------------

// One side of a journal entry as far as the tax calculation goes (the
// debit side or the R_ columns of a SIWAKE row).
struct TZeiSide {
    std::string USERCODE;
    int TAXCODE = 0;
    int TAXUH = 0;
    int TAXDC = 0;
    Currency NUK = 0; // amount without tax
    Currency ZEI = 0; // tax amount
    Currency RIT = 0; // rate in percent, 0 when no tax applies
    int RateKey = 0;  // the side's tax-rate code
};

// A journal entry as far as the tax calculation goes.
struct TZeiJournal {
    TDateTime HIZUKE = 0;
    Currency KINGAKU = 0;
    Currency ZEIGAKU = 0;
    int AUTCALCU = 0; // 0 amounts as entered
    int TAXCALCU = 0; // 0 tax included, 1 tax excluded, 2 no tax calculation
    int OLDRATE = 0;  // the entry's tax-rate code
    TZeiSide Debit;
    TZeiSide Credit;
};

// Tax flags, amount without tax, tax and rate of one side. False (after the
// error box) when the tax cannot be calculated.
bool CalcZeigakuSide(TZeiJournal& journal, TZeiSide& side);
// Both sides, the entry's rate code and tax amount.
bool CalcSiwakeZeigaku(TZeiJournal& journal);
