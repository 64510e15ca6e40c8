// Statements against a real embedded database built from tests/db/sql/basic.
#include "db/Attachment.h"
#include "db/FbError.h"
#include "db/SqlScript.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "platform/TextCodec.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace {

class DbTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = fb_.makeDb("basic.fdb", testsupport::testSqlDir("db/sql/basic"));
        att_.connect(testsupport::fbParams(path_));
    }

    testsupport::FbFixture fb_;
    std::string path_;
    db::Attachment att_;
};

TEST_F(DbTest, RepeatedNamedParameterTakesOneValue) {
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement ins(tx, "INSERT INTO ITEMS (ID, NAME, BIG) VALUES (:ID, :NAME, :ID * 10)");
    for (int id : {1, 2, 3}) {
        ins.setInt("id", id);
        ins.setString("NAME", "n" + std::to_string(id));
        ins.execute();
        EXPECT_EQ(ins.rowsAffected(), 1);
    }
    db::Statement q(tx, "SELECT ID, NAME FROM ITEMS WHERE ID = :K OR BIG = :K * 10 ORDER BY ID");
    q.setInt("K", 2);
    q.execute();
    ASSERT_TRUE(q.fetch());
    EXPECT_EQ(q.asInt("ID"), 2);
    EXPECT_EQ(q.field("name").asString(), "n2");
    EXPECT_FALSE(q.fetch());
    EXPECT_TRUE(q.eof());

    // A name used both in "IS NULL" and in a comparison.
    db::Statement opt(tx, "SELECT COUNT(*) FROM ITEMS WHERE :NAME IS NULL OR NAME = :NAME");
    for (auto [name, count] : {std::pair<const char*, int>{"n1", 1}, {nullptr, 3}, {"none", 0}}) {
        if (name) opt.setString("NAME", name);
        else opt.setNull("NAME");
        opt.execute();
        ASSERT_TRUE(opt.fetch());
        EXPECT_EQ(opt.asInt(0), count) << (name ? name : "NULL");
    }

    EXPECT_THROW(q.setInt("NOPE", 1), db::FbError);
    EXPECT_TRUE(q.hasParam("k"));
    EXPECT_EQ(q.findColumn("NOPE"), -1);
}

TEST_F(DbTest, MoneyIsExactAtAnyScale) {
    struct Case {
        std::int64_t money;       // 1/10000
        std::int64_t smallBack;   // read back from NUMERIC(9,2)
        const char* text;         // CURRENCY as text
    } cases[] = {
        {123456789012345, 0, "12345678901.2345"},
        {-123456789012345, 0, "-12345678901.2345"},
        {-1, 0, "-0.0001"},
        {12345, 12300, "1.2345"},
        {12355, 12400, "1.2355"},
        {-12355, -12400, "-1.2355"},
        {999999999999999999, 0, "99999999999999.9999"},
    };
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement ins(tx, "INSERT INTO ITEMS (ID, AMOUNT, SMALLAMT) VALUES (:ID, :AMT, :SMALL)");
    int id = 0;
    for (const auto& c : cases) {
        ins.setInt("ID", ++id);
        ins.setMoney("AMT", c.money);
        if (c.smallBack) ins.setMoney("SMALL", c.money);
        else ins.setNull("SMALL");
        ins.execute();
    }
    db::Statement q(tx, "SELECT AMOUNT, SMALLAMT, CAST(AMOUNT AS VARCHAR(30)) AS T FROM ITEMS ORDER BY ID");
    q.execute();
    EXPECT_EQ(q.columnType(0), db::ColumnType::Scaled);
    EXPECT_EQ(q.columnScale(0), 4);
    EXPECT_EQ(q.columnScale(1), 2);
    for (const auto& c : cases) {
        ASSERT_TRUE(q.fetch());
        EXPECT_EQ(q.asMoney("AMOUNT"), c.money) << c.text;
        EXPECT_EQ(q.asString("AMOUNT"), c.text);
        EXPECT_EQ(q.asMoney("T"), c.money) << "from text " << c.text;
        if (c.smallBack) {
            EXPECT_EQ(q.asMoney("SMALLAMT"), c.smallBack) << c.text;
        }
    }

    // Money from a text parameter and from a scale-2 value.
    db::Statement upd(tx, "UPDATE ITEMS SET AMOUNT = :A, SMALLAMT = :S WHERE ID = 1");
    upd.setString("A", "-98765432109.8765");
    upd.setScaled("S", 12345, 2);
    upd.execute();
    db::Statement one(tx, "SELECT AMOUNT, SMALLAMT FROM ITEMS WHERE ID = 1");
    one.execute();
    ASSERT_TRUE(one.fetch());
    EXPECT_EQ(one.asMoney(0), -987654321098765);
    EXPECT_EQ(one.asMoney(1), 1234500);
    EXPECT_EQ(one.asString(1), "123.45");
}

TEST_F(DbTest, NullColumnsReadAsNullAndNeutralValues) {
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement ins(tx, "INSERT INTO ITEMS (ID, NAME, AMOUNT, DAYV, NOTE) VALUES (1, :N, :A, :D, :B)");
    ins.setString("N", "x");
    ins.setNull("N"); // the last set wins
    ins.execute();    // unset :A, :D, :B are NULL
    db::Statement q(tx, "SELECT NAME, AMOUNT, RATE, DAYV, STAMP, NOTE, ID FROM ITEMS");
    q.execute();
    ASSERT_TRUE(q.fetch());
    for (int c = 0; c < 6; ++c) EXPECT_TRUE(q.isNull(c)) << q.columnName(c);
    EXPECT_FALSE(q.isNull("ID"));
    EXPECT_EQ(q.asString("NAME"), "");
    EXPECT_EQ(q.asMoney("AMOUNT"), 0);
    EXPECT_EQ(q.asDouble("RATE"), 0.0);
    EXPECT_TRUE(q.asDate("DAYV").isNull());
    EXPECT_TRUE(q.asDateTime("STAMP").isNull());
    EXPECT_EQ(q.asString("NOTE"), "");
}

TEST_F(DbTest, TypedValuesRoundTrip) {
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement ins(tx,
                      "INSERT INTO ITEMS (ID, FIXED, RATE, BIG, DAYV, STAMP) VALUES (1, :F, :R, :B, :D, :S)");
    ins.setString("F", "ab");
    ins.setDouble("R", 0.1 + 0.2);
    ins.setInt64("B", -9007199254740993LL);
    ins.setDate("D", {2019, 4, 30});
    ins.setDateTime("S", {{2024, 2, 29}, {23, 59, 58, 123}});
    ins.execute();
    db::Statement q(tx, "SELECT FIXED, RATE, BIG, DAYV, STAMP FROM ITEMS");
    q.execute();
    ASSERT_TRUE(q.fetch());
    EXPECT_EQ(q.asString("FIXED"), "ab"); // CHAR padding is not part of the value
    EXPECT_EQ(q.asDouble("RATE"), 0.1 + 0.2);
    EXPECT_EQ(q.asInt64("BIG"), -9007199254740993LL);
    EXPECT_EQ(q.asDate("DAYV"), (db::Date{2019, 4, 30}));
    EXPECT_EQ(q.asDateTime("STAMP"), (db::DateTime{{2024, 2, 29}, {23, 59, 58, 123}}));
    EXPECT_EQ(q.asString("DAYV"), "2019/04/30");
    EXPECT_EQ(q.columnType(0), db::ColumnType::Text);
    EXPECT_EQ(q.columnSize(0), 6);
    EXPECT_EQ(q.columnType(1), db::ColumnType::Double);
    EXPECT_EQ(q.columnType(2), db::ColumnType::Integer);
    EXPECT_EQ(q.columnType(4), db::ColumnType::Timestamp);
    EXPECT_THROW(q.asInt("BIG"), db::FbError);
}

TEST_F(DbTest, Cp932TextRoundTripsByteIdentical) {
    // ① ㈱ ～ (NEC specials and the CP932 wave dash), half-width kana, kanji.
    const std::string cp932 = "\x87\x40\x87\x8A\x81\x60\xB1\xB2\x8A\xBF\x8E\xAE\x89\xEF\x8E\xD0";
    const std::string utf8 = platform::fromCp932(cp932);
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement ins(tx, "INSERT INTO ITEMS (ID, NAME, FIXED, NOTE) VALUES (:ID, :N, :F, :B)");
    ins.setInt("ID", 1);
    ins.setString("N", utf8);
    // The server checks CHAR values character by character on the way
    // out and knows no NEC specials there: only VARCHAR and BLOB keep them.
    ins.setString("F", "漢字～");
    ins.setBlobText("B", utf8);
    ins.execute();
    ins.setInt("ID", 2);
    ins.setBytes("N", cp932);
    ins.execute();

    db::Statement q(tx, "SELECT NAME, FIXED, NOTE, OCTET_LENGTH(NAME) AS LEN FROM ITEMS ORDER BY ID");
    q.execute();
    ASSERT_TRUE(q.fetch());
    EXPECT_EQ(q.asBytes("NAME"), cp932);
    EXPECT_EQ(q.asString("NAME"), utf8);
    EXPECT_EQ(q.asString("FIXED"), "漢字～");
    EXPECT_EQ(q.asBytes("NOTE"), cp932);
    EXPECT_EQ(q.asString("NOTE"), utf8);
    EXPECT_EQ(q.asInt("LEN"), 16);
    ASSERT_TRUE(q.fetch());
    EXPECT_EQ(q.asBytes("NAME"), cp932);

    // Text that has no CP932 form is refused, not replaced.
    EXPECT_THROW(ins.setString("N", "\xF0\x9F\x98\x80"), db::FbError);
}

TEST_F(DbTest, BlobsKeepEveryByte) {
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary += static_cast<char>(i * 7 % 256);
    const std::string longText(100000, 'x');
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement ins(tx, "INSERT INTO ITEMS (ID, NOTE, PIC) VALUES (1, :T, :P)");
    ins.setBlobText("T", longText);
    ins.setBlobBytes("P", binary);
    ins.execute();
    db::Statement q(tx, "SELECT NOTE, PIC FROM ITEMS");
    q.execute();
    ASSERT_TRUE(q.fetch());
    EXPECT_EQ(q.asString("NOTE"), longText);
    EXPECT_EQ(q.asBytes("PIC"), binary);
}

TEST_F(DbTest, ExecutableAndSelectableProcedures) {
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement exec(tx, "EXECUTE PROCEDURE ADD_ITEM(:ID, :NAME)");
    exec.setInt("ID", 7);
    exec.setString("NAME", "机");
    exec.execute();
    EXPECT_EQ(exec.type(), db::StatementType::ExecProcedure);
    EXPECT_EQ(exec.asInt("TOTAL"), 1); // the output row is current at once
    EXPECT_EQ(exec.asString("ECHO"), "机;");
    ASSERT_TRUE(exec.fetch()); // and the fetch loop sees it once
    EXPECT_FALSE(exec.fetch());

    db::Statement sel(tx, "SELECT I, LABEL FROM COUNT_TO(:N)");
    sel.setInt("N", 3);
    sel.execute();
    std::vector<std::string> labels;
    while (sel.fetch()) labels.push_back(sel.asString("LABEL"));
    EXPECT_EQ(labels, (std::vector<std::string>{"No.1", "No.2", "No.3"}));
}

TEST_F(DbTest, ScopeInsideCallersTransactionNeitherCommitsNorRollsBack) {
    auto routine = [](db::Transaction& tx, int id, bool fail) {
        db::TxScope scope(tx);
        db::Statement ins(tx, "INSERT INTO ITEMS (ID) VALUES (:ID)");
        ins.setInt("ID", id);
        ins.execute();
        if (fail) return; // leaves without commit
        scope.commit();
    };
    auto count = [&] { return testsupport::FbFixture::scalar(path_, "SELECT COUNT(*) FROM ITEMS"); };

    db::Transaction tx(att_);
    tx.start();
    routine(tx, 1, false);
    routine(tx, 2, true);
    EXPECT_TRUE(tx.active()); // neither ended the caller's transaction
    EXPECT_EQ(count(), "0");  // nothing committed yet
    tx.rollback();
    EXPECT_EQ(count(), "0");

    routine(tx, 3, false); // started by the routine: committed by it
    EXPECT_FALSE(tx.active());
    routine(tx, 4, true); // started and abandoned: rolled back
    EXPECT_FALSE(tx.active());
    EXPECT_EQ(count(), "1");

    tx.start();
    {
        db::Statement ins(tx, "INSERT INTO ITEMS (ID) VALUES (5)");
        ins.execute();
    }
    tx.commitRetaining();
    EXPECT_TRUE(tx.active());
    EXPECT_EQ(count(), "2");
    tx.commit();
}

TEST_F(DbTest, TransactionOverTwoDatabasesCommitsOrRollsBackBoth) {
    const std::string otherPath = fb_.makeDb("other.fdb", testsupport::testSqlDir("db/sql/basic"));
    db::Attachment other(testsupport::fbParams(otherPath));
    db::Transaction tx(att_, {&other});
    for (bool commit : {false, true}) {
        db::TxScope scope(tx);
        db::Statement a(att_, tx, "INSERT INTO ITEMS (ID) VALUES (1)");
        db::Statement b(other, tx, "INSERT INTO ITEMS (ID) VALUES (2)");
        a.execute();
        b.execute();
        if (commit) scope.commit();
    }
    EXPECT_EQ(testsupport::FbFixture::scalar(path_, "SELECT LIST(ID) FROM ITEMS"), "1");
    EXPECT_EQ(testsupport::FbFixture::scalar(otherPath, "SELECT LIST(ID) FROM ITEMS"), "2");
}

TEST_F(DbTest, TransactionKindsStartAndDisconnectEndsThem) {
    for (db::TxKind kind : {db::TxKind::ReadCommitted, db::TxKind::Concurrency, db::TxKind::Consistency}) {
        db::Transaction tx(att_, kind);
        db::TxScope scope(tx);
        db::Statement q(tx, "SELECT COUNT(*) FROM ITEMS");
        q.execute();
        ASSERT_TRUE(q.fetch());
        scope.commit();
    }
    db::Transaction tx(att_);
    tx.start();
    db::Statement q(tx, "SELECT ID FROM ITEMS");
    q.execute();
    att_.disconnect(); // rolls back the open transaction first
    EXPECT_FALSE(att_.connected());
    EXPECT_FALSE(tx.active());

    // A statement prepared on the old connection works on the new one.
    att_.connect(testsupport::fbParams(path_));
    tx.start();
    q.execute();
    EXPECT_FALSE(q.fetch());
    tx.commit();
}

TEST_F(DbTest, ScriptRunnerReportsFileAndLineAndRefusesDatabaseCommands) {
    const char* good =
        "SET SQL DIALECT 3;\n"
        "SET TERM ^ ;\n"
        "CREATE TRIGGER ITEMS_BI FOR ITEMS BEFORE INSERT AS\n"
        "BEGIN\n"
        "  IF (NEW.NAME IS NULL) THEN NEW.NAME = 'x;y';\n"
        "END^\n"
        "SET TERM ; ^\n"
        "INSERT INTO ITEMS (ID) VALUES (1);\n"
        "COMMIT;\n";
    testsupport::FbFixture::exec(path_, good);
    EXPECT_EQ(testsupport::FbFixture::scalar(path_, "SELECT NAME FROM ITEMS"), "x;y");

    try {
        db::runSqlScript(att_, "INSERT INTO ITEMS (ID) VALUES (2);\n\nINSERT INTO NOWHERE VALUES (3);\n", "bad.sql");
        ADD_FAILURE() << "bad script ran";
    } catch (const db::FbError& e) {
        EXPECT_EQ(e.message().rfind("bad.sql line 3: ", 0), 0u) << e.message();
        EXPECT_EQ(e.errorCode(), 335544569);
    }
    // Statements before the failure stay committed.
    EXPECT_EQ(testsupport::FbFixture::scalar(path_, "SELECT COUNT(*) FROM ITEMS"), "2");
    EXPECT_THROW(db::runSqlScript(att_, "CREATE DATABASE '/tmp/x.fdb';"), db::FbError);
}

TEST(DbLifetime, CreateAndDropDatabase) {
    testsupport::FbFixture fb;
    const std::string path = fb.path("made/新規.fdb").string();
    std::filesystem::create_directories(fb.path("made"));
    db::Attachment att;
    att.create(testsupport::fbParams(path));
    EXPECT_TRUE(att.connected());
    db::Transaction tx(att);
    tx.start(); // an open transaction does not stop the drop
    EXPECT_EQ(testsupport::FbFixture::scalar(path, "SELECT TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE"),
              "SJIS_0208");
    att.dropDatabase();
    EXPECT_FALSE(att.connected());
    EXPECT_FALSE(tx.active());
    EXPECT_FALSE(std::filesystem::exists(path));
    // Creating over an existing file is refused.
    db::Attachment first;
    first.create(testsupport::fbParams(path));
    first.disconnect();
    db::Attachment second;
    EXPECT_THROW(second.create(testsupport::fbParams(path)), db::FbError);
}

TEST(DbLifetime, StatementAndTransactionOutlivingTheirAttachmentFailCleanly) {
    testsupport::FbFixture fb;
    const std::string path = fb.makeDb("life.fdb", testsupport::testSqlDir("db/sql/basic"));
    auto att = std::make_unique<db::Attachment>(testsupport::fbParams(path));
    db::Transaction tx(*att);
    tx.start();
    db::Statement q(tx, "SELECT ID FROM ITEMS");
    q.execute();
    att.reset(); // rolls back, closes the cursor, leaves nothing dangling
    EXPECT_FALSE(tx.active());
    EXPECT_FALSE(q.fetch());
    EXPECT_THROW(q.execute(), db::FbError);
    EXPECT_THROW(tx.start(), db::FbError);
}

TEST_F(DbTest, ErrorsCarryCodeSqlCodeAndMessage) {
    struct Case {
        const char* sql;
        int code;
        int sqlCode;
    } cases[] = {
        {"SELEC 1 FROM RDB$DATABASE", 335544569, -104},
        {"SELECT * FROM NO_SUCH_TABLE", 335544569, -204},
        {"INSERT INTO ITEMS (ID) VALUES (NULL)", 335544347, -625},
    };
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    for (const auto& c : cases) {
        try {
            db::Statement q(tx, c.sql);
            q.execute();
            ADD_FAILURE() << c.sql;
        } catch (const db::FbError& e) {
            EXPECT_EQ(e.errorCode(), c.code) << c.sql << ": " << e.message();
            EXPECT_EQ(e.sqlCode(), c.sqlCode) << c.sql;
            EXPECT_FALSE(e.message().empty());
        }
    }
    try {
        db::Attachment missing(testsupport::fbParams(fb_.path("nowhere/tvacc.fdb").string()));
        ADD_FAILURE() << "attached to a missing file";
    } catch (const db::FbError& e) {
        EXPECT_EQ(e.errorCode(), 335544344) << e.message();
        EXPECT_NE(e.message().find("nowhere"), std::string::npos) << e.message();
    }
}

TEST_F(DbTest, FetchesManyRowsQuickly) {
    {
        db::Transaction tx(att_);
        db::TxScope scope(tx);
        db::Statement gen(tx,
                          "EXECUTE BLOCK (N INTEGER = :N) AS DECLARE I INTEGER = 0; BEGIN "
                          "WHILE (I < N) DO BEGIN "
                          "INSERT INTO ITEMS (ID, NAME, AMOUNT) VALUES (:I, '資産名称' || :I, :I * 1.5); "
                          "I = I + 1; END END");
        gen.setInt("N", 50000);
        gen.execute();
        scope.commit();
    }
    db::Transaction tx(att_);
    db::TxScope scope(tx);
    db::Statement q(tx, "SELECT ID, NAME, AMOUNT FROM ITEMS");
    const auto t0 = std::chrono::steady_clock::now();
    q.execute();
    std::size_t rows = 0, bytes = 0;
    std::int64_t sum = 0;
    while (q.fetch()) {
        ++rows;
        bytes += q.asString(1).size();
        sum += q.asMoney(2);
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(rows, 50000u);
    EXPECT_EQ(sum, 15000LL * 49999 * 50000 / 2);
    EXPECT_GT(bytes, 50000u * 12);
    EXPECT_LT(secs, 3.0);
}

} // namespace
