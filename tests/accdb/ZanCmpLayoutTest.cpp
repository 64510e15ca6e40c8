#include "accdb/ZanCmpLayout.h"

#include <gtest/gtest.h>

namespace {

struct ZanFixture : ::testing::Test {
    void TearDown() override {
        SetZanCmpLayout(0);
        LoadSikinguriKoumoku(0);
    }
};

} // namespace

TEST_F(ZanFixture, SwitchingKindsLeavesNoTrace) {
    SetZanCmpLayout(0);
    EXPECT_EQ(ZanClosingCodes[7], "6200");
    EXPECT_EQ(ZanSpecialCodes[61], "5510");
    SetZanCmpLayout(1);
    struct { int index; const char* code; } medicalClosing[] = {
        {0, "5790"}, {7, "6950"}, {8, "7110"}, {9, "7180"}, {10, "7210"}, {13, "8110"},
        {15, "8210"}, {17, "8300"}, {19, "9280"}, {20, "9900"}};
    for (const auto& c : medicalClosing) EXPECT_EQ(ZanClosingCodes[c.index], c.code) << c.index;
    EXPECT_EQ(ZanSpecialCodes[61], "****");
    EXPECT_EQ(ZanSpecialCodes[59], "9600");
    SetZanCmpLayout(2);  // anything but 1 is the general layout
    EXPECT_EQ(ZanClosingCodes[7], "6200");
    EXPECT_EQ(ZanClosingCodes[17], "8290");
    EXPECT_EQ(ZanSpecialCodes[61], "5510");
    EXPECT_EQ(ZanSpecialCodes[59], "8400");
    EXPECT_EQ(ZanSpecialCodes[1], "****");
    EXPECT_EQ(ZanSummaryCodes[63], "5700");
    EXPECT_EQ(ZanSummaryCodes[64], "5780");
}

TEST_F(ZanFixture, LineMapsAtTheirSegmentBorders) {
    struct { int index, general, medical; } cases[] = {
        {0, 1, 1}, {1, 1, 1}, {25, 13, 13}, {26, 14, 0}, {28, 15, 14}, {43, 22, 17},
        {44, 0, 18}, {47, 23, 21}, {56, 27, 24}, {57, 0, 25}, {63, 0, 31}, {64, 28, 32},
        {65, 28, 32}, {66, 29, 0}, {68, 30, 0}, {80, 36, 0}, {81, 36, 32}, {83, 37, 33},
        {84, 38, 0}, {85, 38, 42}, {86, 0, 34}, {94, 0, 42}, {95, 39, 43}, {106, 44, 48},
        {107, 0, 48}, {108, 45, 0}, {109, 45, 0}, {110, 0, 49}, {112, 0, 51}, {114, 0, 53},
    };
    SetZanCmpLayout(0);
    for (const auto& c : cases) EXPECT_EQ(ZanLineMap[c.index], c.general) << c.index;
    SetZanCmpLayout(1);
    for (const auto& c : cases) EXPECT_EQ(ZanLineMap[c.index], c.medical) << c.index;
}

TEST_F(ZanFixture, CashFlowItems) {
    struct { int kind; std::size_t count; std::size_t row; const char* code; const char* name; const char* label; } cases[] = {
        {0, 39, 0, "0", "－", ""},
        {0, 39, 8, "18", "その他の収入", "（経常収支）"},
        {0, 39, 37, "47", "その他の支出", "（財務収支）"},
        {0, 39, 38, "99", "流動性現預金", ""},
        {2, 39, 1, "11", "現金売上", ""},
        {1, 38, 1, "11", "窓口収入", ""},
        {1, 38, 36, "46", "その他の支出", "（財務収支）"},
        {1, 38, 37, "99", "流動性現預金", ""},
    };
    for (const auto& c : cases) {
        LoadSikinguriKoumoku(static_cast<std::uint8_t>(c.kind));
        ASSERT_EQ(SikinguriKoumoku.size(), c.count) << c.kind;
        const auto& item = SikinguriKoumoku[c.row];
        EXPECT_EQ(item.Code, c.code);
        EXPECT_EQ(item.Name, c.name);
        EXPECT_EQ(item.Label, c.label);
    }
}

TEST(ZanCmpLayoutTest, IryouEntityKind) {
    EXPECT_TRUE(IsIryouEntityKind("医療法人"));
    EXPECT_TRUE(IsIryouEntityKind("個人(クリニック)"));
    EXPECT_FALSE(IsIryouEntityKind("医療法人 "));
    EXPECT_FALSE(IsIryouEntityKind("個人（クリニック）"));
    EXPECT_FALSE(IsIryouEntityKind("法人"));
}
