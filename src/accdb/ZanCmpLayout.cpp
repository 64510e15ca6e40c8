#include "accdb/ZanCmpLayout.h"

#include <algorithm>

namespace {

using LineMap = std::array<std::int32_t, kZanLineCount>;

constexpr const char* kSummary[kZanSummaryCount] = {
    "1100", "1130", "1180", "1200", "1280", "1300", "1310", "1380", "1390", "1400", "1410",
    "1580", "1600", "1680", "1700", "1710", "1780", "1790", "1800", "1880", "1900", "2100",
    "2180", "2200", "2280", "2300", "2380", "2800", "3100", "3150", "3200", "3220", "3270",
    "3280", "3300", "3380", "3320", "3330", "3340", "3400", "3410", "3480", "3500", "3580",
    "3600", "3680", "3800", "3900", "4100", "4110", "4800", "5100", "5200", "5210", "5250",
    "5300", "5400", "5510", "5520", "5530", "5580", "5600", "5680", "5700", "5780",
};

constexpr const char* kClosingGeneral[kZanClosingCount] = {
    "5790", "5810", "5820", "5880", "5900", "6100", "6180", "6200", "7100", "7180", "7200",
    "7280", "7300", "8100", "8180", "8200", "8280", "8290", "8300", "8400", "9900",
};

// Entries of the closing codes that differ for a medical corporation.
constexpr struct { int index; const char* code; } kClosingMedical[] = {
    {7, "6950"}, {8, "7110"}, {10, "7210"}, {13, "8110"}, {15, "8210"}, {17, "8300"}, {19, "9280"},
};

constexpr const char* kSpecialMedical[kZanSpecialCount] = {
    "5688",
    // 1-11
    "3450", "3460", "3470", "4115", "4180", "4215", "4280", "4315", "4380", "4480", "6110",
    // 12-19
    "6110", "6120", "6180", "6130", "6210", "6180", "6220", "6210",
    // 20-43
    "6230", "6280", "6280", "6310", "6310", "6380", "6380", "6410", "6410", "6480", "6480", "6510",
    "6510", "6580", "6580", "6610", "6610", "6680", "6680", "6710", "6710", "6780", "6780", "6810",
    // 44-49
    "6810", "6880", "6880", "6900", "6950", "8300",
    // 50-54
    "9280", "9380", "9480", "9580", "9600",
    // 55-62
    "1900", "2800", "3800", "3900", "9600", "7300", kZanNoCode, kZanNoCode,
};

std::array<std::string, kZanSpecialCount> generalSpecial() {
    std::array<std::string, kZanSpecialCount> s;
    s.fill(kZanNoCode);
    s[0] = "5688";
    s[55] = "1900";
    s[56] = "2800";
    s[57] = "3800";
    s[58] = "3900";
    s[59] = "8400";
    s[60] = "7300";
    s[61] = "5510";
    s[62] = "5820";
    return s;
}

// Appends a, a, a+1, a+1, ..., b, b.
void pairs(std::vector<std::int32_t>& v, int a, int b) {
    for (int i = a; i <= b; ++i) {
        v.push_back(i);
        v.push_back(i);
    }
}

void zeros(std::vector<std::int32_t>& v, int n) { v.insert(v.end(), n, 0); }

LineMap toMap(const std::vector<std::int32_t>& v) {
    LineMap m{};
    std::copy_n(v.begin(), std::min<std::size_t>(v.size(), m.size()), m.begin());
    return m;
}

LineMap generalLines() {
    std::vector<std::int32_t> v;
    pairs(v, 1, 22);
    zeros(v, 3);
    pairs(v, 23, 27);
    zeros(v, 7);
    pairs(v, 28, 38);
    zeros(v, 9);
    pairs(v, 39, 44);
    v.insert(v.end(), {0, 45, 45});
    zeros(v, 5);
    return toMap(v);
}

LineMap medicalLines() {
    std::vector<std::int32_t> v;
    pairs(v, 1, 13);
    v.insert(v.end(), {0, 0, 14, 14, 15, 15, 0, 0, 0, 0, 16, 16, 0, 0, 0, 0, 17, 17, 18, 19, 20,
                       21, 21, 22, 22, 0, 0, 23, 23, 24, 24, 25, 26, 27, 28, 29, 30, 31, 32, 32});
    zeros(v, 15);
    v.insert(v.end(), {32, 33, 33, 0, 42, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 43, 44,
                       44, 45, 45, 46, 46, 47, 47, 0, 48, 48, 0, 0, 49, 50, 51, 52, 53});
    return toMap(v);
}

template <std::size_t N>
std::array<std::string, N> toStrings(const char* const (&codes)[N]) {
    std::array<std::string, N> a;
    for (std::size_t i = 0; i < N; ++i) a[i] = codes[i];
    return a;
}

const std::vector<TSikinguriKoumoku> kSikinGeneral = {
    {"0", "－", ""},
    {"11", "現金売上", ""},
    {"12", "売掛金回収", ""},
    {"13", "受取手形期日落", ""},
    {"14", "未収入金", ""},
    {"15", "前受金", ""},
    {"16", "受取利息・配当金", ""},
    {"17", "その他営業外収入", ""},
    {"18", "その他の収入", "（経常収支）"},
    {"19", "現金仕入", ""},
    {"20", "買掛金支払", ""},
    {"21", "支払手形決済", ""},
    {"22", "未払金・未払費用", ""},
    {"23", "前渡金", ""},
    {"24", "材料費", ""},
    {"25", "製造経費", ""},
    {"26", "人件費", ""},
    {"27", "販売費・一般管理費", ""},
    {"28", "支払利息割引料", ""},
    {"29", "その他営業外支出", ""},
    {"30", "その他の支出", "（経常収支）"},
    {"31", "固定資産売却", ""},
    {"32", "その他の収入", "（設備等収支）"},
    {"33", "固定資産購入", ""},
    {"34", "投資等支出", ""},
    {"35", "法人税等", ""},
    {"36", "その他の支出", "（設備等収支）"},
    {"37", "手形割引", ""},
    {"38", "短期借入金", ""},
    {"39", "長期借入金", ""},
    {"40", "定期性預金取崩", ""},
    {"41", "貸付金等回収", ""},
    {"42", "その他の収入", "（財務収支）"},
    {"43", "短期借入金返済", ""},
    {"44", "長期借入金返済", ""},
    {"45", "定期性預金預入", ""},
    {"46", "貸付金等", ""},
    {"47", "その他の支出", "（財務収支）"},
    {"99", "流動性現預金", ""},
};

const std::vector<TSikinguriKoumoku> kSikinMedical = {
    {"0", "－", ""},
    {"11", "窓口収入", ""},
    {"12", "医業未収金回収", ""},
    {"13", "未収金", ""},
    {"14", "前受金", ""},
    {"15", "受取利息・配当金", ""},
    {"16", "その他医業外収入", ""},
    {"17", "その他の収入", "（経常収支）"},
    {"18", "給与費", ""},
    {"19", "材料費", ""},
    {"20", "委託費", ""},
    {"21", "設備関係費", ""},
    {"22", "研究研修費", ""},
    {"23", "経費", ""},
    {"24", "買掛金支払", ""},
    {"25", "支払手形決済", ""},
    {"26", "未払金・未払費用", ""},
    {"27", "前渡金", ""},
    {"28", "支払利息割引料", ""},
    {"29", "その他医業外支出", ""},
    {"30", "その他の支出", "（経常収支）"},
    {"31", "固定資産売却", ""},
    {"32", "その他の収入", "（設備等収支）"},
    {"33", "固定資産購入", ""},
    {"34", "投資等支出", ""},
    {"35", "その他の支出", "（設備等収支）"},
    {"36", "短期借入金", ""},
    {"37", "長期借入金", ""},
    {"38", "定期性預金取崩", ""},
    {"39", "貸付金等回収", ""},
    {"40", "その他の収入", "（財務収支）"},
    {"41", "短期借入金返済", ""},
    {"42", "長期借入金返済", ""},
    {"43", "定期性預金預入", ""},
    {"44", "貸付金等", ""},
    {"45", "法人税等", ""},
    {"46", "その他の支出", "（財務収支）"},
    {"99", "流動性現預金", ""},
};

} // namespace

// Before the first data set is read the tables hold the general layout.
std::array<std::int32_t, kZanLineCount> ZanLineMap = generalLines();
std::array<std::string, kZanSummaryCount> ZanSummaryCodes = toStrings(kSummary);
std::array<std::string, kZanClosingCount> ZanClosingCodes = toStrings(kClosingGeneral);
std::array<std::string, kZanSpecialCount> ZanSpecialCodes = generalSpecial();
std::vector<TSikinguriKoumoku> SikinguriKoumoku;

void SetZanCmpLayout(std::uint8_t medical) {
    ZanSummaryCodes = toStrings(kSummary);
    ZanClosingCodes = toStrings(kClosingGeneral);
    if (medical == 1) {
        ZanLineMap = medicalLines();
        for (const auto& p : kClosingMedical) ZanClosingCodes[p.index] = p.code;
        ZanSpecialCodes = toStrings(kSpecialMedical);
    } else {
        ZanLineMap = generalLines();
        ZanSpecialCodes = generalSpecial();
    }
}

void LoadSikinguriKoumoku(std::uint8_t kind) {
    SikinguriKoumoku = kind == 1 ? kSikinMedical : kSikinGeneral;
}

bool IsIryouEntityKind(const std::string& kindText) {
    return kindText == "医療法人" || kindText == "個人(クリニック)";
}
