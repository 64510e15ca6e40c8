#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "datasel/DataListKensaku.h"
#include "db/Attachment.h"
#include "support/FbFixture.h"
#include "ui/KeyStyles.h"
#include "ui/PlButton.h"

using testsupport::FbFixture;

namespace {

TEST(DataListKensakuBox, ShowsStoredConditionsAndTakesTheChoice)
{
    FbFixture fb;
    const auto path = fb.makeSystemDb();
    db::Attachment att(testsupport::fbParams(path));
    SystemDef.OpCode = 10003;
    TDataListKensakuBox box(att, {{10012, "0012 担当"}}, {{13, 5, "タヴリン財務１９"}});
    box.SetListType(0);
    EXPECT_EQ(box.windowTitle().toStdString(), "検索条件の設定");
    EXPECT_EQ(box.cmbDataKbn->count(), 7);
    EXPECT_EQ(box.cmbTanto->itemText(0).toStdString(), "選択なし");

    // First opening: the row is created, everything cleared.
    box.InitKensakuRec(box.Rec());
    ASSERT_TRUE(box.SelectRecord(box.Rec()));
    box.SetMode(1);
    EXPECT_EQ(box.cmbDataKbn->currentIndex(), 0);
    EXPECT_FALSE(box.cboxYukou->isChecked());

    box.cmbDataKbn->setCurrentIndex(6);
    box.txtCode->setText("ab");
    box.cmbTanto->setCurrentIndex(1);
    box.cmbDataVer->setCurrentIndex(1);
    box.btnOKClick();
    EXPECT_EQ(box.modalResult(), 1);
    EXPECT_EQ(box.Rec().DATATYPE, 2);
    EXPECT_EQ(box.Rec().CODETYPE, 4);
    EXPECT_EQ(box.Rec().TANTO, 10012);
    EXPECT_EQ(box.Rec().DATAVER, "13.5");
    EXPECT_EQ(box.Rec().JYOKENUSE, 0);
    ASSERT_TRUE(box.UpdateRecord(box.Rec()));

    // The next opening shows the stored choice again.
    TDataListKensakuBox again(att, {{10012, "0012 担当"}}, {{13, 5, "タヴリン財務１９"}});
    again.InitKensakuRec(again.Rec());
    ASSERT_TRUE(again.SelectRecord(again.Rec()));
    again.SetMode(1);
    EXPECT_EQ(again.cmbDataKbn->currentText().toStdString(), "個人(農業)");
    EXPECT_EQ(again.cmbTanto->currentIndex(), 1);
    EXPECT_EQ(again.cmbDataVer->currentIndex(), 1);
    EXPECT_EQ(again.txtCode->text().toStdString(), "ab");
    EXPECT_EQ(TBSDI::hintOf(again.txtCode), datasel::TKensakuHints::Code);
    SystemDef.OpCode = 0;
}

} // namespace

TEST(DataListKensakuBox, ChoicesComeFromTheGroupsOperatorsAndTheKnownVersions)
{
    FbFixture fb;
    const auto path = fb.makeSystemDb();
    FbFixture::exec(path, "INSERT INTO USERGROUP (GROUPID, GROUPNAME) VALUES (20000, 'other');\n"
                          "INSERT INTO OPERATOR (GROUPID, OPCODE, OPNAME, JOBLEVEL) VALUES (10000, 12, '佐藤', 9);\n"
                          "INSERT INTO OPERATOR (GROUPID, OPCODE, OPNAME, JOBLEVEL) VALUES (10000, 11, '鈴木', 9);\n"
                          "INSERT INTO OPERATOR (GROUPID, OPCODE, OPNAME, JOBLEVEL) VALUES (20000, 13, '他社', 9);\n");
    db::Attachment att(testsupport::fbParams(path));
    DM = std::make_unique<TDM>(); // the operator list belongs to the data module
    auto tanto = datasel::ReadTantoChoices(att, 10000);
    DM.reset();
    ASSERT_EQ(tanto.size(), 2u); // the system user (code 1) and the other group are left out
    EXPECT_EQ(tanto[0].OpCode, 11);
    EXPECT_EQ(tanto[0].Text, "11:鈴木");
    EXPECT_EQ(tanto[1].OpCode, 12);

    auto versions = datasel::ReadDataVerChoices();
    ASSERT_FALSE(versions.empty());
    EXPECT_EQ(versions[0].TypeName, "09版");

    // A stored person and version are shown again, so OK keeps them.
    TDataListKensakuBox box(att, tanto, versions);
    box.Rec().TANTO = 12;
    box.Rec().SEIHINNAME = "10版";
    box.SetMode(1);
    EXPECT_EQ(box.cmbTanto->currentText().toStdString(), "12:佐藤");
    EXPECT_EQ(box.cmbDataVer->currentText().toStdString(), "10版");
    box.btnOKClick();
    EXPECT_EQ(box.Rec().TANTO, 12);
    EXPECT_EQ(box.Rec().DATAVER, "2.0");
    EXPECT_EQ(box.Rec().SEIHINNAME, "10版");
}
