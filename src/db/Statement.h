#pragma once
// A prepared SQL statement with named parameters and typed column access.
//
// Parameters are written :NAME in the SQL (letters, digits, '_' and '$',
// case-insensitive); a name may appear several times and takes one value.
// Colons inside string literals, quoted identifiers and comments are text.
// A parameter that was never set is NULL. With paramCheck off the SQL goes
// to the server as written (for PSQL bodies whose :variables are not
// parameters); DDL (CREATE, ALTER, RECREATE, DROP, DECLARE) is never scanned
// and EXECUTE BLOCK only in its header (up to the AS of its body).
//
// Values: text is UTF-8 here and CP932 on the wire; money is an exact
// int64 of 1/10000 (the scale of NUMERIC(16,4)) whatever the column's scale;
// DOUBLE PRECISION goes as double; dates as db::Date/Time/DateTime.
//
// Getters return the neutral value (0, "", an all-zero Date) for NULL, so
// check isNull first where NULL matters. CHAR columns read without their
// trailing blanks.
//
//   db::Statement q(tx, "SELECT NAME FROM T WHERE CODE = :CODE OR PARENT = :CODE");
//   q.setInt("CODE", 3);
//   q.execute();
//   while (q.fetch()) use(q.asString("NAME"));
#include "db/Date.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Firebird {
class IStatus;
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

namespace db {

class Attachment;
class Transaction;

// The SQL with :NAMEs replaced by '?' and the name at each '?' position.
struct ParsedSql {
    std::string sql;
    std::vector<std::string> names; // upper-cased; "" for a literal '?'
};

// The index just past the quote that closes the literal or quoted
// identifier opening at `open` (a doubled quote stays inside); the text's
// size when it never closes.
std::size_t quotedEnd(std::string_view sql, std::size_t open);
ParsedSql parseNamedParams(std::string_view sql);

// What a column holds, for code that handles columns generically.
enum class ColumnType { Text, Integer, Scaled, Double, Date, Time, Timestamp, TextBlob, Blob, Boolean, Other };

enum class StatementType { Select, SelectForUpdate, Insert, Update, Delete, Ddl, ExecProcedure, Other };

class Statement;

// A column of the current row; a small view, valid while the statement is.
class Field {
public:
    Field(Statement& s, int index) : s_(&s), index_(index) {}
    bool isNull() const;
    std::string asString() const;
    int asInt() const;
    std::int64_t asInt64() const;
    std::int64_t asMoney() const;
    double asDouble() const;
    bool asBool() const;
    Date asDate() const;
    Time asTime() const;
    DateTime asDateTime() const;
    std::string asBytes() const;
    int index() const { return index_; }

private:
    Statement* s_;
    int index_;
};

class Statement {
public:
    // Binds to a transaction (and its attachment); prepares when sql is not
    // empty. The transaction must be active to prepare and execute.
    explicit Statement(Transaction& tx, std::string_view sql = {}, bool paramCheck = true);
    // On one database of a transaction over several.
    Statement(Attachment& att, Transaction& tx, std::string_view sql = {}, bool paramCheck = true);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Takes new SQL; the server prepares it at the next execute().
    void prepare(std::string_view sql, bool paramCheck = true);
    // Prepares on the server now (the transaction must be active).
    void prepareNow();
    bool prepared() const { return stmt_ != nullptr; }
    // Known once prepared.
    StatementType type() const { return type_; }
    const std::string& sql() const { return sqlUtf8_; }

    // ---- parameters (names case-insensitive; unknown names throw FbError)
    bool hasParam(std::string_view name) const;
    std::vector<std::string> paramNames() const;
    void clearParams(); // all NULL
    void setNull(std::string_view name);
    void setString(std::string_view name, std::string_view utf8);
    // Raw bytes for a CHAR/VARCHAR/BLOB parameter (CP932 text as read).
    void setBytes(std::string_view name, std::string_view bytes);
    void setInt(std::string_view name, std::int32_t v);
    void setInt64(std::string_view name, std::int64_t v);
    // v in 1/10000 units.
    void setMoney(std::string_view name, std::int64_t v);
    // v * 10^-scale, e.g. setScaled(n, 1234, 2) is 12.34.
    void setScaled(std::string_view name, std::int64_t v, int scale);
    void setDouble(std::string_view name, double v);
    void setBool(std::string_view name, bool v);
    void setDate(std::string_view name, const Date& v);
    void setTime(std::string_view name, const Time& v);
    void setDateTime(std::string_view name, const DateTime& v);
    void setBlobText(std::string_view name, std::string_view utf8);
    void setBlobBytes(std::string_view name, std::string_view bytes);

    // ---- running
    // Runs the statement. A select opens its cursor (then fetch()); an
    // EXECUTE PROCEDURE (or a statement with RETURNING) makes its output
    // row current at once.
    void execute();
    // Advances to the next row; false at the end (the cursor is then closed).
    bool fetch();
    // True after fetch() ran out (or before any row was fetched).
    bool eof() const { return !hasRow_; }
    // Closes an open cursor; harmless when none is open.
    void close() noexcept;
    // Rows inserted, updated or deleted by the last execute().
    long long rowsAffected();

    // ---- columns of the current row (described once prepared)
    int columnCount() const { return static_cast<int>(columns_.size()); }
    // Output name (alias) of a column, UTF-8.
    const std::string& columnName(int index) const;
    ColumnType columnType(int index) const;
    // Digits after the point of a Scaled column (4 for NUMERIC(16,4)).
    int columnScale(int index) const;
    // Declared size: characters of a text column, bytes otherwise.
    int columnSize(int index) const;
    // -1 when no such column (case-insensitive).
    int findColumn(std::string_view name) const;
    // Throws FbError when no such column.
    int columnIndex(std::string_view name) const;
    Field field(int index) { return Field(*this, checkedIndex(index)); }
    Field field(std::string_view name) { return Field(*this, columnIndex(name)); }
    Field operator[](std::string_view name) { return field(name); }

    bool isNull(int col) const;
    bool isNull(std::string_view col) const { return isNull(columnIndex(col)); }
    std::string asString(int col) const;
    std::string asString(std::string_view col) const { return asString(columnIndex(col)); }
    int asInt(int col) const;
    int asInt(std::string_view col) const { return asInt(columnIndex(col)); }
    std::int64_t asInt64(int col) const;
    std::int64_t asInt64(std::string_view col) const { return asInt64(columnIndex(col)); }
    std::int64_t asMoney(int col) const;
    std::int64_t asMoney(std::string_view col) const { return asMoney(columnIndex(col)); }
    double asDouble(int col) const;
    double asDouble(std::string_view col) const { return asDouble(columnIndex(col)); }
    bool asBool(int col) const;
    bool asBool(std::string_view col) const { return asBool(columnIndex(col)); }
    Date asDate(int col) const;
    Date asDate(std::string_view col) const { return asDate(columnIndex(col)); }
    Time asTime(int col) const;
    Time asTime(std::string_view col) const { return asTime(columnIndex(col)); }
    DateTime asDateTime(int col) const;
    DateTime asDateTime(std::string_view col) const { return asDateTime(columnIndex(col)); }
    // The stored bytes: a blob's contents, a text's CP932 bytes.
    std::string asBytes(int col) const;
    std::string asBytes(std::string_view col) const { return asBytes(columnIndex(col)); }

    Transaction& transaction() const { return *tx_; }
    Attachment& attachment() const;

    // Description of an output column (internal).
    struct Column {
        std::string name, upperName;
        unsigned type = 0;
        int subType = 0;
        int scale = 0;
        unsigned length = 0;
        unsigned charset = 0;
        unsigned offset = 0;
        unsigned nullOffset = 0;
        bool nullable = true;
    };
    // A parameter value waiting for execute() (internal).
    struct Param {
        enum class Kind { Null, Text, Int, Double, Bool, Date, Time, Timestamp, Blob };
        std::string name;
        Kind kind = Kind::Null;
        std::int64_t i = 0;   // Int (with scale), Date (ISC date), Time (ISC time), Bool
        int scale = 0;        // Int: 10^scale units
        std::int64_t i2 = 0;  // Timestamp: time part
        double d = 0;
        std::string bytes;    // Text (CP932), Blob contents
    };

private:
    friend class Attachment;
    // The attachment is going away: drop the handles, keep the SQL.
    void orphan() noexcept;
    int checkedIndex(int index) const;
    Param& paramByName(std::string_view name);
    void release() noexcept;
    void ensurePrepared();
    void buildInputMessage();
    std::string readBlob(int col) const;

    Transaction* tx_;
    Attachment* att_;
    std::string sqlUtf8_;
    Firebird::IStatus* fetchStatus_ = nullptr; // reused by the fetch loop
    Firebird::IStatement* stmt_ = nullptr;
    Firebird::IResultSet* cursor_ = nullptr;
    Firebird::IMessageMetadata* inMeta_ = nullptr;   // the server's description
    Firebird::IMessageMetadata* sendMeta_ = nullptr; // what we send
    Firebird::IMessageMetadata* outMeta_ = nullptr;
    StatementType type_ = StatementType::Other;
    std::vector<std::string> positionNames_;
    std::vector<Param> params_;           // unique names
    std::vector<int> positionParam_;      // position -> params_ index
    std::vector<Column> columns_;
    std::vector<unsigned char> inBuf_, outBuf_;
    std::string sendSignature_;
    bool hasRow_ = false;
    bool singletonPending_ = false;
    unsigned long long preparedGeneration_ = 0;
    bool paramCheck_ = true;
};

} // namespace db
