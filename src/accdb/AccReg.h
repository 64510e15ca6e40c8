#pragma once
// The data set's settings store (ACCREG: group, key, type word, value text;
// ACCREG_BLOB_BINARY: pictures and memo texts) and the factories that give
// any part of the program a statement on the system or the open data
// database.
//
// A setting is read with a group, a key and a type word; the type word the
// reader passes (never the stored one) decides how the text is converted.
// A setting that does not exist is inserted with the reader's default on
// its first read. Type words: "文字" text, "論理" Boolean ("TRUE"/"FALSE"),
// "日付" date ("yyyy/mm/dd"), "整数" integer, "金額" amount, "実数" real,
// "日時" date and time ("yyyy/mm/dd hh:nn:ss"). Any other word reads as the
// text "Data Type Error" and writes NULL.
//
// The settings operations work on the data module's open data database in
// IBTransactionDAT: they start it only when it is not active and then
// commit it; inside a caller's transaction they neither commit nor roll
// back. Database errors reach the caller (after the roll-back of a
// transaction the operation started); conversions never raise.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "accdb/AccRecord.h"
#include "db/Statement.h"

// A setting's value: one of the kinds the type words give.
class TRegValue {
public:
    enum class Kind { Empty, Text, Bool, Integer, Currency, Real, Date, DateTime };

    TRegValue() = default;
    // Texts, integers and flags convert implicitly; the other kinds are
    // made with the named makers below.
    TRegValue(const std::string& text) : kind_(Kind::Text), text_(text) {}
    TRegValue(const char* text) : kind_(Kind::Text), text_(text ? text : "") {}
    TRegValue(int v) : kind_(Kind::Integer), int_(v) {}
    TRegValue(bool v) : kind_(Kind::Bool), bool_(v) {}
    TRegValue(std::nullptr_t) = delete;
    static TRegValue Text(std::string v);
    static TRegValue Bool(bool v);
    static TRegValue Integer(int v);
    static TRegValue Money(std::int64_t v);   // 1/10000 units
    static TRegValue Real(double v);
    static TRegValue Date(TDateTime v);
    static TRegValue DateTime(TDateTime v);

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }

    // Conversions between kinds: numbers and dates convert to each other,
    // texts are read the way the type words read them.
    std::string asText() const;
    bool asBool() const;
    int asInt() const;
    std::int64_t asMoney() const;
    double asReal() const;
    TDateTime asDateTime() const;

    bool operator==(const TRegValue&) const = default;

private:
    Kind kind_ = Kind::Empty;
    std::string text_;
    bool bool_ = false;
    std::int64_t int_ = 0;   // Integer, Currency
    double real_ = 0;        // Real, Date, DateTime
};

// The value of a setting; inserted with Default when missing.
TRegValue funcGetAccReg(const std::string& AGroup, const std::string& ACode, const std::string& AType,
                        const std::string& Default);
// Writes a setting (update keeps the stored type word; insert stores AType).
void funcPutAccReg(const std::string& AGroup, const std::string& ACode, const std::string& AType,
                   const TRegValue& Value);
void funcDelAccReg(const std::string& AGroup, const std::string& ACode);

// A picture ("画像", "BMP", "JPG" stored) is written to a new file in
// SystemDef.WinTempDir and its path returned; a memo ("メモ") is returned as
// text, every line ending in CR LF. Empty when there is no row or the
// stored type is none of these.
TRegValue funcGetAccRegBlob(const std::string& FGroup, const std::string& FKey, const std::string& FType);
// Pictures: Value is a file name whose contents are stored; memos: Value is
// a text stored with CR LF after every line; other types store NULL.
void funcPutAccRegBlob(const std::string& FGroup, const std::string& FKey, const std::string& FType,
                       const TRegValue& Value);

bool TextToBool(const std::string& Text);
void BoolToTrueFalseText(bool Flag, std::string& Text);

// A statement on the system database ("ACCDEF", IBTransactionDEF) or on the
// open data database (any other name; IBTransactionDAT, or the snapshot
// transaction IBTransactionDATSS when Snapshot). Null when it cannot be
// made (no data module).
std::unique_ptr<db::Statement> CreateIBQuery(const std::string& DbName, bool Snapshot = false);
std::unique_ptr<db::Statement> CreateIBSQL(const std::string& DbName, bool Snapshot = false);
