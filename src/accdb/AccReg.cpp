#include "accdb/AccReg.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "accdb/AccFunction.h"
#include "accdb/DataModule.h"
#include "accdb/DateCore.h"
#include "accdb/DateText.h"
#include "platform/TextCodec.h"

namespace fs = std::filesystem;

namespace {

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Decimal integer text (blanks around allowed); 0 when it is anything else
// or out of the 32-bit range.
int intOrZero(const std::string& text) {
    std::string_view t(text);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    return StrToIntDef(t, 0);
}

double realOrZero(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    if (b == e) return 0;
    // The stored form has a '.' whatever the locale says.
    if (text[b] == '+') ++b;
    double v = 0;
    const auto r = std::from_chars(text.data() + b, text.data() + e, v);
    if (r.ec != std::errc() || r.ptr != text.data() + e || !std::isfinite(v)) return 0;
    return v;
}

// General currency form: no thousands separators, no trailing zeros.
std::string moneyText(std::int64_t v) {
    const bool neg = v < 0;
    const unsigned long long a = neg ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    std::string s = std::to_string(a / 10000);
    unsigned frac = static_cast<unsigned>(a % 10000);
    if (frac != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", frac);
        std::string f = buf;
        while (!f.empty() && f.back() == '0') f.pop_back();
        s += "." + f;
    }
    return neg ? "-" + s : s;
}

std::string realText(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

std::string dateText(TDateTime d) { return d == 0 ? std::string() : datecore::formatDateTime("yyyy/mm/dd", d); }
std::string dateTimeText(TDateTime d) { return datecore::formatDateTime("yyyy/mm/dd hh:nn:ss", d); }

TDM& dm() {
    if (!DM) throw std::logic_error("the data module is not created");
    return *DM;
}

// CR LF after every line of a text whose lines end in CR LF, LF or CR.
std::string withCrLfLines(const std::string& text) {
    std::string out;
    std::string line;
    bool any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += line + "\r\n";
            line.clear();
            any = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
            any = true;
        }
    }
    if (any) out += line + "\r\n";
    return out;
}

// A picture file of its own for every read: two pictures read within the
// same second must not overwrite each other.
std::string newPictureFile(const std::string& ext) {
    const std::string base = SystemDef.WinTempDir + "/accreg-" +
                             datecore::formatDateTime("yyyymmddhhnnss", NowDateTime());
    std::string name = base + ext;
    std::error_code ec;
    for (int n = 1; fs::exists(name, ec); ++n) name = base + "-" + std::to_string(n) + ext;
    return name;
}

} // namespace

// ---------------------------------------------------------------- TRegValue

TRegValue TRegValue::Text(std::string v) {
    TRegValue r;
    r.kind_ = Kind::Text;
    r.text_ = std::move(v);
    return r;
}
TRegValue TRegValue::Bool(bool v) {
    TRegValue r;
    r.kind_ = Kind::Bool;
    r.bool_ = v;
    return r;
}
TRegValue TRegValue::Integer(int v) {
    TRegValue r;
    r.kind_ = Kind::Integer;
    r.int_ = v;
    return r;
}
TRegValue TRegValue::Money(std::int64_t v) {
    TRegValue r;
    r.kind_ = Kind::Currency;
    r.int_ = v;
    return r;
}
TRegValue TRegValue::Real(double v) {
    TRegValue r;
    r.kind_ = Kind::Real;
    r.real_ = v;
    return r;
}
TRegValue TRegValue::Date(TDateTime v) {
    TRegValue r;
    r.kind_ = Kind::Date;
    r.real_ = v;
    return r;
}
TRegValue TRegValue::DateTime(TDateTime v) {
    TRegValue r;
    r.kind_ = Kind::DateTime;
    r.real_ = v;
    return r;
}

std::string TRegValue::asText() const {
    switch (kind_) {
    case Kind::Empty: return {};
    case Kind::Text: return text_;
    case Kind::Bool: return bool_ ? "True" : "False";
    case Kind::Integer: return std::to_string(int_);
    case Kind::Currency: return moneyText(int_);
    case Kind::Real: return realText(real_);
    case Kind::Date: return dateText(real_);
    case Kind::DateTime: return dateTimeText(real_);
    }
    return {};
}

bool TRegValue::asBool() const {
    switch (kind_) {
    case Kind::Text: return TextToBool(text_);
    case Kind::Bool: return bool_;
    case Kind::Integer:
    case Kind::Currency: return int_ != 0;
    case Kind::Real:
    case Kind::Date:
    case Kind::DateTime: return real_ != 0;
    default: return false;
    }
}

int TRegValue::asInt() const {
    switch (kind_) {
    case Kind::Text: return intOrZero(text_);
    case Kind::Bool: return bool_ ? 1 : 0;
    case Kind::Integer: return static_cast<int>(int_);
    case Kind::Currency: return static_cast<int>(HasuuSyori(1, int_) / 10000);
    case Kind::Real:
    case Kind::Date:
    case Kind::DateTime: return static_cast<int>(std::llround(real_));
    default: return 0;
    }
}

std::int64_t TRegValue::asMoney() const {
    switch (kind_) {
    case Kind::Text: return StrToKingaku(text_);
    case Kind::Bool: return bool_ ? 10000 : 0;
    case Kind::Integer: return int_ * 10000;
    case Kind::Currency: return int_;
    case Kind::Real:
    case Kind::Date:
    case Kind::DateTime: return std::llround(real_ * 10000);
    default: return 0;
    }
}

double TRegValue::asReal() const {
    switch (kind_) {
    case Kind::Text: return realOrZero(text_);
    case Kind::Bool: return bool_ ? 1 : 0;
    case Kind::Integer: return static_cast<double>(int_);
    case Kind::Currency: return static_cast<double>(int_) / 10000.0;
    case Kind::Real:
    case Kind::Date:
    case Kind::DateTime: return real_;
    default: return 0;
    }
}

TDateTime TRegValue::asDateTime() const {
    if (kind_ == Kind::Text) return StrToDateTimeStd(text_);
    return asReal();
}

bool TextToBool(const std::string& Text) { return upperAscii(Text) == "TRUE"; }

void BoolToTrueFalseText(bool Flag, std::string& Text) { Text = Flag ? "TRUE" : "FALSE"; }

// ---------------------------------------------------------------- factories

std::unique_ptr<db::Statement> CreateIBQuery(const std::string& DbName, bool Snapshot) {
    try {
        TDM& m = dm();
        if (DbName == "ACCDEF") return std::make_unique<db::Statement>(m.IBTransactionDEF);
        return std::make_unique<db::Statement>(Snapshot ? m.IBTransactionDATSS : m.IBTransactionDAT);
    } catch (...) {
        return nullptr;
    }
}

std::unique_ptr<db::Statement> CreateIBSQL(const std::string& DbName, bool Snapshot) {
    return CreateIBQuery(DbName, Snapshot);
}

// ---------------------------------------------------------------- ACCREG

namespace {

TRegValue convertRead(const std::string& text, const std::string& type) {
    if (type == "文字") return TRegValue::Text(text);
    if (type == "論理") return TRegValue::Bool(TextToBool(text));
    if (type == "日付") return TRegValue::Date(StrToDateZero(text));
    if (type == "整数") return TRegValue::Integer(intOrZero(text));
    if (type == "金額") return TRegValue::Money(StrToKingaku(text));
    if (type == "実数") return TRegValue::Real(realOrZero(text));
    if (type == "日時") return TRegValue::DateTime(StrToDateTimeStd(text));
    return TRegValue::Text("Data Type Error");
}

// The stored text of a value for a type word; false for an unknown word.
bool convertWrite(const TRegValue& v, const std::string& type, std::string& text) {
    if (type == "文字") text = v.asText();
    else if (type == "論理") BoolToTrueFalseText(v.asBool(), text);
    else if (type == "日付") text = dateText(v.asDateTime());
    else if (type == "整数") text = std::to_string(v.asInt());
    else if (type == "金額") text = moneyText(v.asMoney());
    else if (type == "実数") text = realText(v.asReal());
    else if (type == "日時") text = dateTimeText(v.asDateTime());
    else return false;
    return true;
}

} // namespace

TRegValue funcGetAccReg(const std::string& AGroup, const std::string& ACode, const std::string& AType,
                        const std::string& Default) {
    db::TxScope scope(dm().IBTransactionDAT);
    auto q = CreateIBQuery("ACCDAT");
    if (!q) throw std::logic_error("no statement on the data database");
    q->prepare("SELECT ATYPE,ATEXT FROM ACCREG WHERE AGROUP=:AGROUP AND ACODE=:ACODE ");
    q->setString("AGROUP", AGroup);
    q->setString("ACODE", ACode);
    q->execute();
    std::string text;
    if (q->fetch()) {
        text = q->asString("ATEXT");
        q->close();
    } else {
        text = Default;
        q->close();
        q->prepare("INSERT INTO ACCREG(AGROUP,ACODE,ATYPE,ATEXT) VALUES(:AGROUP,:ACODE,:ATYPE,:ATEXT)");
        q->setString("AGROUP", AGroup);
        q->setString("ACODE", ACode);
        q->setString("ATYPE", AType);
        q->setString("ATEXT", Default);
        q->execute();
    }
    if (text.empty()) text = " ";
    TRegValue v = convertRead(text, AType);
    q.reset();
    scope.commit();
    return v;
}

void funcPutAccReg(const std::string& AGroup, const std::string& ACode, const std::string& AType,
                   const TRegValue& Value) {
    db::TxScope scope(dm().IBTransactionDAT);
    auto q = CreateIBQuery("ACCDAT");
    if (!q) throw std::logic_error("no statement on the data database");
    q->prepare("SELECT COUNT(AGROUP) AS RECCNT FROM ACCREG\nWHERE (AGROUP=:AGROUP) AND (ACODE=:ACODE)");
    q->setString("AGROUP", AGroup);
    q->setString("ACODE", ACode);
    q->execute();
    const int count = q->fetch() ? q->asInt(0) : 0;
    q->close();
    if (count != 0) {
        q->prepare("UPDATE ACCREG SET ATEXT=:ATEXT\nWHERE AGROUP=:AGROUP AND ACODE=:ACODE");
    } else {
        q->prepare("INSERT INTO ACCREG(AGROUP,ACODE,ATYPE,ATEXT)\nVALUES(:AGROUP,:ACODE,:ATYPE,:ATEXT)");
        q->setString("ATYPE", AType);
    }
    q->setString("AGROUP", AGroup);
    q->setString("ACODE", ACode);
    std::string text;
    if (convertWrite(Value, AType, text)) q->setString("ATEXT", text);
    else q->setNull("ATEXT");
    q->execute();
    q.reset();
    scope.commit();
}

void funcDelAccReg(const std::string& AGroup, const std::string& ACode) {
    db::TxScope scope(dm().IBTransactionDAT);
    auto q = CreateIBQuery("ACCDAT");
    if (!q) throw std::logic_error("no statement on the data database");
    q->prepare("DELETE FROM ACCREG\nWHERE (AGROUP=:AGROUP) AND (ACODE=:ACODE)");
    q->setString("AGROUP", AGroup);
    q->setString("ACODE", ACode);
    q->execute();
    q.reset();
    scope.commit();
}

TRegValue funcGetAccRegBlob(const std::string& FGroup, const std::string& FKey, const std::string& /*FType*/) {
    db::TxScope scope(dm().IBTransactionDAT);
    auto q = CreateIBQuery("ACCDAT");
    if (!q) throw std::logic_error("no statement on the data database");
    q->prepare("SELECT FGROUP,FKEY,FTYPE,FVALUE FROM ACCREG_BLOB_BINARY\nWHERE FGROUP=:FGROUP AND FKEY=:FKEY");
    q->setString("FGROUP", FGroup);
    q->setString("FKEY", FKey);
    q->execute();
    TRegValue result;
    if (q->fetch()) {
        const std::string type = q->asString("FTYPE");
        std::string ext;
        if (type == "画像" || type == "BMP") ext = ".bmp";
        else if (type == "JPG") ext = ".jpg";
        if (!ext.empty()) {
            const std::string bytes = q->asBytes("FVALUE");
            const std::string name = newPictureFile(ext);
            std::ofstream f(name, std::ios::binary | std::ios::trunc);
            f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            f.close();
            if (!f) throw std::runtime_error("cannot write " + name);
            result = TRegValue::Text(name);
        } else if (type == "メモ") {
            result = TRegValue::Text(withCrLfLines(platform::fromCp932(q->asBytes("FVALUE"))));
        }
    }
    q.reset();
    scope.commit();
    return result;
}

void funcPutAccRegBlob(const std::string& FGroup, const std::string& FKey, const std::string& FType,
                       const TRegValue& Value) {
    // A picture file is read before anything touches the database.
    std::string bytes;
    bool hasValue = false;
    if (FType == "画像" || FType == "BMP" || FType == "JPG") {
        const std::string name = Value.asText();
        std::ifstream f(name, std::ios::binary);
        if (!f) throw std::runtime_error("cannot open " + name);
        bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        hasValue = true;
    } else if (FType == "メモ") {
        bytes = platform::toCp932(withCrLfLines(Value.asText()));
        hasValue = true;
    }

    db::TxScope scope(dm().IBTransactionDAT);
    auto q = CreateIBQuery("ACCDAT");
    if (!q) throw std::logic_error("no statement on the data database");
    q->prepare("SELECT COUNT(FGROUP) AS RECCNT FROM ACCREG_BLOB_BINARY\nWHERE (FGROUP=:FGROUP) AND (FKEY=:FKEY)");
    q->setString("FGROUP", FGroup);
    q->setString("FKEY", FKey);
    q->execute();
    const int count = q->fetch() ? q->asInt(0) : 0;
    q->close();
    q->prepare(count != 0 ? "UPDATE ACCREG_BLOB_BINARY SET FTYPE=:FTYPE,FVALUE=:FVALUE\n"
                            "WHERE FGROUP=:FGROUP AND FKEY=:FKEY"
                          : "INSERT INTO ACCREG_BLOB_BINARY(FGROUP,FKEY,FTYPE,FVALUE)\n"
                            "VALUES(:FGROUP,:FKEY,:FTYPE,:FVALUE)");
    q->setString("FGROUP", FGroup);
    q->setString("FKEY", FKey);
    q->setString("FTYPE", FType);
    if (hasValue) q->setBlobBytes("FVALUE", bytes);
    else q->setNull("FVALUE");
    q->execute();
    q.reset();
    scope.commit();
}
