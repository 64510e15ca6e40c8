#include "DataModuleSupport.h"

#include <filesystem>

#include "accdb/AccReg.h"
#include "accdb/DateCore.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class AccRegTest : public DataModuleTest {
protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        dataDir = openData();
    }
    // ATYPE, ATEXT of a row ("<null>" for NULL; "<none>" when missing).
    std::pair<std::string, std::string> row(const std::string& group, const std::string& code) {
        db::TxScope scope(DM->IBTransactionDAT);
        auto q = DM->IBQACC1("SELECT ATYPE, ATEXT FROM ACCREG WHERE AGROUP = :G AND ACODE = :C");
        q->setString("G", group);
        q->setString("C", code);
        q->execute();
        if (!q->fetch()) return {"<none>", "<none>"};
        return {q->asString(0), q->isNull(1) ? "<null>" : q->asString(1)};
    }
    void putRow(const std::string& code, const std::string& type, const std::string& text) {
        testsupport::FbFixture::exec(dataDir + "/tvacc.fdb", "INSERT INTO ACCREG (AGROUP, ACODE, ATYPE, ATEXT) VALUES ('G', '" +
                                                     code + "', '" + type + "', '" + text + "');");
    }
    std::string dataDir;
};

} // namespace

TEST_F(AccRegTest, FirstReadInsertsTheDefault) {
    EXPECT_EQ(funcGetAccReg("基本設定", "合算データ数", "整数", "0"), TRegValue::Integer(0));
    EXPECT_EQ(row("基本設定", "合算データ数"), (std::pair<std::string, std::string>{"整数", "0"}));

    // An empty text reads as one blank; the row keeps the empty text.
    EXPECT_EQ(funcGetAccReg("基本設定", "メモ欄", "文字", ""), TRegValue::Text(" "));
    EXPECT_EQ(row("基本設定", "メモ欄"), (std::pair<std::string, std::string>{"文字", ""}));

    // A second read finds the row and ignores the new default.
    EXPECT_EQ(funcGetAccReg("基本設定", "合算データ数", "整数", "7"), TRegValue::Integer(0));
}

TEST_F(AccRegTest, TheReaderTypeWordDecidesTheConversion) {
    struct Case {
        const char* stored;
        const char* type;
        TRegValue expected;
    };
    putRow("a", "実数", "1.5");
    putRow("b", "論理", "true");
    putRow("c", "論理", "1");
    putRow("d", "日付", "2024/02/29");
    putRow("e", "日付", "2024/02/30");
    putRow("f", "金額", "-1234.5");
    putRow("g", "整数", "x12");
    putRow("h", "日時", "2024/01/31 12:34:56");
    const Case cases[] = {
        {"a", "整数", TRegValue::Integer(0)},
        {"a", "実数", TRegValue::Real(1.5)},
        {"a", "金額", TRegValue::Money(15000)},
        {"b", "論理", TRegValue::Bool(true)},
        {"c", "論理", TRegValue::Bool(false)},
        {"d", "日付", TRegValue::Date(datecore::encodeDate(2024, 2, 29))},
        {"e", "日付", TRegValue::Date(0)},
        {"f", "金額", TRegValue::Money(-12345000)},
        {"g", "整数", TRegValue::Integer(0)},
        {"h", "日時", TRegValue::DateTime(datecore::encodeDate(2024, 1, 31) + (12 * 3600 + 34 * 60 + 56) / 86400.0)},
        {"a", "色", TRegValue::Text("Data Type Error")},
    };
    for (const auto& c : cases) {
        const TRegValue v = funcGetAccReg("G", c.stored, c.type, "");
        EXPECT_EQ(v.kind(), c.expected.kind()) << c.stored << " " << c.type;
        if (c.expected.kind() == TRegValue::Kind::DateTime)
            EXPECT_NEAR(v.asDateTime(), c.expected.asDateTime(), 1e-6) << c.stored;
        else
            EXPECT_EQ(v, c.expected) << c.stored << " " << c.type;
    }
}

TEST_F(AccRegTest, WritesTextFormsAndKeepsTheStoredType) {
    struct Case {
        const char* code;
        const char* type;
        TRegValue value;
        const char* stored;
    };
    const Case cases[] = {
        {"t", "文字", TRegValue("abc"), "abc"},
        {"b", "論理", TRegValue::Bool(true), "TRUE"},
        {"d", "日付", TRegValue::Date(datecore::encodeDate(2025, 3, 31)), "2025/03/31"},
        {"z", "日付", TRegValue::Date(0), ""},
        {"i", "整数", -42, "-42"},
        {"j", "整数", TRegValue("12"), "12"},
        {"f", "論理", false, "FALSE"},
        {"m", "金額", TRegValue::Money(12345600), "1234.56"},
        {"n", "金額", TRegValue::Money(-50000), "-5"},
        {"r", "実数", TRegValue::Real(0.1), "0.1"},
        {"s", "日時", TRegValue::DateTime(datecore::encodeDate(2024, 1, 31) + 0.5), "2024/01/31 12:00:00"},
        {"u", "色", TRegValue("abc"), "<null>"},
    };
    for (const auto& c : cases) {
        funcPutAccReg("G", c.code, c.type, c.value);
        EXPECT_EQ(row("G", c.code).second, c.stored) << c.code;
    }
    EXPECT_EQ(funcGetAccReg("G", "z", "日付", "").asDateTime(), 0);

    funcPutAccReg("G", "i", "文字", 7);
    EXPECT_EQ(row("G", "i"), (std::pair<std::string, std::string>{"整数", "7"}));

    funcDelAccReg("G", "i");
    EXPECT_EQ(row("G", "i").first, "<none>");
}

TEST_F(AccRegTest, InsideACallersTransactionNothingIsCommittedOrRolledBack) {
    testsupport::FbFixture::exec(dataDir + "/tvacc.fdb",
                                 "CREATE EXCEPTION E_REFUSED 'refused';\n"
                                 "SET TERM ^ ;\n"
                                 "CREATE TRIGGER ACCREG_REFUSE FOR ACCREG BEFORE INSERT AS\n"
                                 "BEGIN IF (NEW.ACODE = 'refused') THEN EXCEPTION E_REFUSED; END^\n"
                                 "SET TERM ; ^\n");
    DM->IBTransactionDAT.start();
    funcPutAccReg("G", "k", "整数", TRegValue::Integer(5));
    EXPECT_TRUE(DM->IBTransactionDAT.active());
    EXPECT_EQ(funcGetAccReg("G", "k", "整数", "0"), TRegValue::Integer(5));
    EXPECT_TRUE(DM->IBTransactionDAT.active());
    // A failing call leaves the caller's transaction to the caller.
    EXPECT_THROW(funcPutAccReg("G", "refused", "整数", TRegValue::Integer(1)), db::FbError);
    EXPECT_TRUE(DM->IBTransactionDAT.active());
    DM->IBTransactionDAT.rollback();
    EXPECT_EQ(row("G", "k").first, "<none>");

    // On its own the routine commits.
    funcPutAccReg("G", "k", "整数", TRegValue::Integer(6));
    EXPECT_FALSE(DM->IBTransactionDAT.active());
    EXPECT_EQ(row("G", "k").second, "6");
}

TEST_F(AccRegTest, MemosAndPictures) {
    funcPutAccRegBlob("G", "memo", "メモ", TRegValue("abc"));
    EXPECT_EQ(funcGetAccRegBlob("G", "memo", ""), TRegValue::Text("abc\r\n"));
    funcPutAccRegBlob("G", "memo", "メモ", TRegValue("一行目\n二行目"));
    EXPECT_EQ(funcGetAccRegBlob("G", "memo", ""), TRegValue::Text("一行目\r\n二行目\r\n"));

    const fs::path pic1 = fb.path("p1.bmp"), pic2 = fb.path("p2.bmp");
    testsupport::writeFileBytes(pic1, std::string("BM\0\x01", 4));
    testsupport::writeFileBytes(pic2, "BM-two");
    funcPutAccRegBlob("G", "pic1", "画像", TRegValue(pic1.string()));
    funcPutAccRegBlob("G", "pic2", "BMP", TRegValue(pic2.string()));
    // Read within the same second, the two pictures get files of their own.
    const std::string f1 = funcGetAccRegBlob("G", "pic1", "").asText();
    const std::string f2 = funcGetAccRegBlob("G", "pic2", "").asText();
    EXPECT_NE(f1, f2);
    EXPECT_EQ(fs::path(f1).parent_path(), fs::path(SystemDef.WinTempDir));
    EXPECT_EQ(fs::path(f1).extension(), ".bmp");
    EXPECT_EQ(testsupport::readFileBytes(f1), std::string("BM\0\x01", 4));
    EXPECT_EQ(testsupport::readFileBytes(f2), "BM-two");

    EXPECT_TRUE(funcGetAccRegBlob("G", "none", "").isEmpty());
    EXPECT_THROW(funcPutAccRegBlob("G", "pic3", "JPG", TRegValue(fb.path("missing.jpg").string())),
                 std::exception);
}

TEST_F(DataModuleTest, QueryFactoriesBindTheirTransactions) {
    auto def = CreateIBQuery("ACCDEF");
    auto dat = CreateIBSQL("ACCDAT");
    auto snap = CreateIBQuery("ACCDAT", true);
    ASSERT_TRUE(def && dat && snap);
    EXPECT_EQ(&def->transaction(), &DM->IBTransactionDEF);
    EXPECT_EQ(&dat->transaction(), &DM->IBTransactionDAT);
    EXPECT_EQ(&snap->transaction(), &DM->IBTransactionDATSS);
    def.reset();
    dat.reset();
    snap.reset();
    DM.reset();
    EXPECT_EQ(CreateIBQuery("ACCDEF"), nullptr);
}
