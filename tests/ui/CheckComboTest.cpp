#include "ui/CheckCombo.h"

#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

CheckComboModel abc() {
    CheckComboModel m;
    m.setItems({"A", "B", "C"});
    return m;
}

TEST(CheckComboModel, SelectionKeepsCheckOrderAndDisplayFollowsStyle) {
    CheckComboModel m = abc();
    EXPECT_EQ(m.displayText(), "未選択");
    m.clickCheck(2, true);
    EXPECT_EQ(m.displayText(), "C");
    m.clickCheck(0, true);
    EXPECT_EQ(m.selectionText(), "C,A");
    EXPECT_EQ(m.displayText(), "2件選択");
    m.DispStyle = dsItems;
    EXPECT_EQ(m.displayText(), "C,A");
    m.SortDisplay = true;
    EXPECT_EQ(m.displayText(), "A,C");
    m.clickCheck(2, false);
    EXPECT_EQ(m.selectionText(), "A");
    EXPECT_EQ(m.checkedCount(), 1);
    m.clickCheck(1, false); // unchecking an unchecked item changes nothing
    EXPECT_EQ(m.checkedCount(), 1);
}

TEST(CheckComboModel, SingleSelectAndSelectAll) {
    CheckComboModel m = abc();
    m.setMultiSelect(false);
    m.clickCheck(0, true);
    m.clickCheck(1, true);
    EXPECT_FALSE(m.isChecked(0));
    EXPECT_EQ(m.displayText(), "B");
    EXPECT_FALSE(m.selectAll());
    EXPECT_EQ(m.checkedCount(), 1);

    m.setMultiSelect(true);
    EXPECT_TRUE(m.selectAll());
    EXPECT_EQ(m.selectionText(), "A,B,C");
    EXPECT_EQ(m.displayText(), "3件選択");
    m.deselectAll();
    EXPECT_EQ(m.displayText(), "未選択");
    m.clickCheck(1, true);
    m.setItems({"X", "Y"});
    EXPECT_EQ(m.displayText(), "未選択");
    EXPECT_EQ(m.checkedCount(), 0);
}

TEST(CheckComboModel, VisibleLines) {
    struct Case {
        int items, columns, lines, expected;
    } cases[] = {{30, 0, 15, 15}, {3, 0, 15, 3}, {10, 3, 15, 4}, {0, 0, 15, 1}, {100, 2, 15, 20}};
    for (const auto& c : cases) {
        CheckComboModel m;
        m.setItems(std::vector<std::string>(c.items, "x"));
        m.setColumns(c.columns);
        m.setDropDownLines(c.lines);
        EXPECT_EQ(m.visibleLines(), c.expected) << c.items << " items, " << c.columns << " columns";
    }
    CheckComboModel m;
    m.setDropDownLines(25);
    m.setDropDownLines(0);
    EXPECT_EQ(m.dropDownLines(), 15);
}

TEST(CheckComboModel, ListOpensAboveNearTheScreenBottomAndIgnoresTheClosingClick) {
    CheckComboModel m = abc();
    const QRect control(10, 100, 120, 20);
    EXPECT_EQ(m.dropDownRect(control, 16, 200, 1000), QRect(10, 120, 200, 52));
    EXPECT_EQ(m.dropDownRect(control, 16, 0, 180), QRect(10, 48, 120, 52));

    EXPECT_TRUE(m.requestOpen());
    m.closedUp(true);
    EXPECT_FALSE(m.requestOpen()); // the click that closed the list
    EXPECT_TRUE(m.requestOpen());
    m.closedUp(true);
    m.forgetCloseClick();
    EXPECT_TRUE(m.requestOpen());
    m.setItems({});
    EXPECT_FALSE(m.requestOpen());
}

TEST(TxCheckedComboBox, ChecksInTheListUpdateTheDisplayAndRaiseEvents) {
    TxCheckedComboBox box;
    box.setItems({"A", "B", "C"});
    int changes = 0, clickChecks = 0;
    box.OnChange = [&] { ++changes; };
    box.OnClickCheck = [&] { ++clickChecks; };
    box.show();
    box.buttonClick();
    ASSERT_TRUE(box.isDroppedDown());
    box.checkList()->item(2)->setCheckState(Qt::Checked);
    box.checkList()->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(box.displayText(), QString("2件選択"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clickChecks, 2);
    box.deselectAll();
    EXPECT_EQ(box.displayText(), QString("未選択"));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(box.checkList()->item(2)->checkState(), Qt::Unchecked);

    box.setMultiSelect(false);
    box.checkList()->item(0)->setCheckState(Qt::Checked);
    box.checkList()->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(box.checkList()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(box.displayText(), QString("B"));

    QTest::keyClick(box.checkList(), Qt::Key_Escape);
    EXPECT_FALSE(box.isDroppedDown());
}

} // namespace

namespace {

TEST(TxCheckedComboBox, KeysAndMenuCaptions) {
    QWidget form;
    auto* box = new TxCheckedComboBox(&form);
    box->setItems({"A", "B"});
    int buttonClicks = 0;
    box->OnButtonClick = [&] { ++buttonClicks; };
    form.show();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F4);
    EXPECT_TRUE(box->isDroppedDown());
    EXPECT_EQ(buttonClicks, 1);
    box->selectAll();
    EXPECT_EQ(box->displayText(), QString("2件選択"));
    box->setItems({"X"}); // new items reset the selection
    EXPECT_EQ(box->displayText(), QString("未選択"));
    box->setEmptyValue("なし");
    EXPECT_EQ(box->displayText(), QString("なし"));
}

} // namespace
