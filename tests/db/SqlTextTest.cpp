// Pure text handling of the database layer: parameter names, script
// splitting, connection strings and calendar serials.
#include "db/Attachment.h"
#include "db/Date.h"
#include "db/SqlScript.h"
#include "db/Statement.h"

#include <gtest/gtest.h>

namespace {

struct ParamCase {
    const char* sql;
    const char* expected;
    std::vector<std::string> names;
};

TEST(NamedParams, ReplacesNamesOutsideLiteralsAndComments) {
    const ParamCase cases[] = {
        {"SELECT * FROM T WHERE A = :A AND B = :b_2", "SELECT * FROM T WHERE A = ? AND B = ?", {"A", "B_2"}},
        {"UPDATE T SET X = :V WHERE Y = :V", "UPDATE T SET X = ? WHERE Y = ?", {"V", "V"}},
        {"SELECT ':X', \"a:b\" FROM T WHERE C = :C", "SELECT ':X', \"a:b\" FROM T WHERE C = ?", {"C"}},
        {"SELECT 'it''s :X' FROM T WHERE C=:C", "SELECT 'it''s :X' FROM T WHERE C=?", {"C"}},
        {"SELECT 1 -- :NOT\nFROM T /* :NOR */ WHERE D = :D", "SELECT 1 -- :NOT\nFROM T /* :NOR */ WHERE D = ?", {"D"}},
        {"SELECT A FROM T WHERE A = ? AND B = :B", "SELECT A FROM T WHERE A = ? AND B = ?", {"", "B"}},
        {"SELECT '12:30' FROM T", "SELECT '12:30' FROM T", {}},
        {"SELECT 'unterminated :X", "SELECT 'unterminated :X", {}},
    };
    for (const auto& c : cases) {
        const db::ParsedSql r = db::parseNamedParams(c.sql);
        EXPECT_EQ(r.sql, c.expected) << c.sql;
        EXPECT_EQ(r.names, c.names) << c.sql;
    }
}

TEST(SqlScript, SplitsOnTerminatorHonouringSetTermCommentsAndLiterals) {
    const char* script =
        "/* header; with semicolon */\n"
        "CREATE TABLE A (X VARCHAR(5) DEFAULT ';');\n"
        "-- comment; here\n"
        "SET TERM ^ ;\n"
        "CREATE PROCEDURE P AS BEGIN EXIT; END^\n"
        "SET TERM ; ^\n"
        "INSERT INTO A VALUES ('a''b;');\n"
        "COMMIT;\n"
        "SELECT 1 FROM RDB$DATABASE";
    const auto st = db::splitSqlScript(script);
    ASSERT_EQ(st.size(), 5u);
    EXPECT_EQ(st[0].sql, "/* header; with semicolon */\nCREATE TABLE A (X VARCHAR(5) DEFAULT ';')");
    EXPECT_EQ(st[1].sql, "CREATE PROCEDURE P AS BEGIN EXIT; END");
    EXPECT_EQ(st[2].sql, "INSERT INTO A VALUES ('a''b;')");
    EXPECT_EQ(st[2].line, 7);
    EXPECT_EQ(st[3].sql, "COMMIT");
    EXPECT_EQ(st[4].sql, "SELECT 1 FROM RDB$DATABASE");
}

TEST(ConnectionString, PlainPathIsEmbeddedHostPrefixIsRemote) {
    struct Case {
        const char* name;
        const char* host;
        const char* path;
    } cases[] = {
        {"/data/x/tvacc.fdb", "", "/data/x/tvacc.fdb"},
        {"server:/data/x/tvacc.fdb", "server", "/data/x/tvacc.fdb"},
        {"127.0.0.1:C:\\Data\\tvacc.fdb", "127.0.0.1", "C:\\Data\\tvacc.fdb"},
        {"C:\\Data\\tvacc.fdb", "", "C:\\Data\\tvacc.fdb"},
        {"srv/3051:/db.fdb", "srv/3051", "/db.fdb"},
        {"./rel:odd.fdb", "", "./rel:odd.fdb"},
        {"/dir:with/colon.fdb", "", "/dir:with/colon.fdb"},
    };
    for (const auto& c : cases) {
        std::string host, path;
        db::splitDatabaseName(c.name, host, path);
        EXPECT_EQ(host, c.host) << c.name;
        EXPECT_EQ(path, c.path) << c.name;
        EXPECT_EQ(db::joinDatabaseName(host, path), c.name);
    }
}

TEST(DateSerial, CountsDaysFrom18991230) {
    struct Case {
        db::Date date;
        int serial;
    } cases[] = {
        {{1899, 12, 30}, 0}, {{1900, 1, 1}, 2},     {{1900, 3, 1}, 61},     {{1858, 11, 17}, -15018},
        {{2000, 2, 29}, 36585}, {{2024, 2, 29}, 45351}, {{2019, 5, 1}, 43586}, {{9999, 12, 31}, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.date.toSerial(), c.serial) << c.date.toString();
        EXPECT_EQ(db::Date::fromSerial(c.serial), c.date) << c.serial;
    }
    EXPECT_FALSE((db::Date{2023, 2, 29}).isValid());
    EXPECT_TRUE((db::Date{2024, 2, 29}).isValid());

    const db::DateTime dt{{2024, 3, 31}, {23, 59, 58, 999}};
    EXPECT_EQ(db::DateTime::fromSerial(dt.toSerial()), dt);
    EXPECT_DOUBLE_EQ((db::DateTime{{1899, 12, 31}, {12, 0, 0, 0}}).toSerial(), 1.5);
}

} // namespace
