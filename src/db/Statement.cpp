#include "db/Statement.h"

#include "db/Attachment.h"
#include "db/FbApi.h"
#include "db/Transaction.h"
#include "platform/TextCodec.h"

#include <ibase.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace Firebird;

namespace db {

namespace {

constexpr unsigned kCharsetNone = 0;
constexpr unsigned kCharsetOctets = 1;
constexpr int kIscDateOffset = 15018; // ISC dates count days from 1858-11-17
constexpr int kIscTimeUnits = 10000;  // ISC times count 1/10000 s
constexpr int kErrMalformedString = 335544849;
constexpr int kErrTransliteration = 335544565;
constexpr int kErrArithOverflow = 335544779;

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

// Where the part of a statement that may hold parameters ends: DDL carries
// PSQL bodies whose :names are variables, so it has none; EXECUTE BLOCK has
// them in its header, before the AS of its body.
std::size_t paramScanEnd(std::string_view sql) {
    std::vector<std::pair<std::string, std::size_t>> words; // top-level words and their offsets
    std::size_t i = 0;
    int depth = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) ++i;
        else if (sql.substr(i, 2) == "--") {
            const auto nl = sql.find('\n', i);
            i = nl == std::string_view::npos ? sql.size() : nl + 1;
        } else if (sql.substr(i, 2) == "/*") {
            const auto end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
        } else if (c == '\'' || c == '"') {
            i = quotedEnd(sql, i);
        } else if (isIdentChar(c)) {
            std::size_t j = i;
            while (j < sql.size() && isIdentChar(sql[j])) ++j;
            if (depth == 0) words.emplace_back(upper(sql.substr(i, j - i)), i);
            i = j;
            if (words.size() == 1) {
                const std::string& w = words[0].first;
                if (w == "CREATE" || w == "ALTER" || w == "RECREATE" || w == "DROP" || w == "DECLARE") return 0;
            }
            if (words.size() == 2 && !(words[0].first == "EXECUTE" && words[1].first == "BLOCK")) return sql.size();
            if (words.size() > 2 && words.back().first == "AS") return words.back().second;
        } else {
            if (c == '(') ++depth;
            else if (c == ')') --depth;
            ++i;
        }
    }
    return sql.size();
}

ParsedSql parseStatement(std::string_view sql) {
    const std::size_t end = paramScanEnd(sql);
    ParsedSql r = parseNamedParams(sql.substr(0, end));
    r.sql.append(sql.substr(end));
    return r;
}

template <class T>
T rd(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void wr(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

std::int64_t pow10i(int n) {
    std::int64_t r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

// v * 10^fromScale expressed at toScale (scales as the server gives them:
// negative = digits after the point). Rounds half away from zero.
std::int64_t rescale(std::int64_t v, int fromScale, int toScale) {
    if (fromScale == toScale) return v;
    if (fromScale > toScale) {
        const int n = fromScale - toScale;
        if (n > 18) throwLayerError(kErrArithOverflow, "numeric value out of range");
        std::int64_t r;
        if (__builtin_mul_overflow(v, pow10i(n), &r))
            throwLayerError(kErrArithOverflow, "numeric value out of range");
        return r;
    }
    const int n = toScale - fromScale;
    if (n > 18) return 0;
    const std::int64_t div = pow10i(n);
    std::int64_t q = v / div;
    const std::int64_t rem = v % div;
    if (rem * 2 >= div) ++q;
    else if (-rem * 2 >= div) --q;
    return q;
}

std::string formatScaled(std::int64_t v, int scale) {
    if (scale >= 0) {
        std::string s = std::to_string(v);
        if (v != 0) s.append(static_cast<std::size_t>(scale), '0');
        return s;
    }
    const int digits = -scale;
    const bool neg = v < 0;
    // Magnitude as unsigned so that INT64_MIN formats too.
    unsigned long long mag = neg ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    std::string s = std::to_string(mag);
    if (static_cast<int>(s.size()) <= digits) s.insert(0, static_cast<std::size_t>(digits + 1 - static_cast<int>(s.size())), '0');
    s.insert(s.size() - static_cast<std::size_t>(digits), ".");
    return neg ? "-" + s : s;
}

std::string_view trimView(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// Exact decimal text to a scaled integer at `scale` (negative).
std::int64_t parseScaled(std::string_view text, int scale) {
    std::string_view s = trimView(text);
    bool neg = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        neg = s.front() == '-';
        s.remove_prefix(1);
    }
    const int digits = -scale;
    std::int64_t v = 0;
    int frac = -1;
    bool any = false;
    int roundDigit = -1;
    for (char c : s) {
        if (c == '.' && frac < 0) {
            frac = 0;
            continue;
        }
        if (c < '0' || c > '9') throwLayerError(kErrConversion, "conversion error from string \"" + std::string(text) + "\"");
        any = true;
        if (frac >= digits) {
            if (roundDigit < 0) roundDigit = c - '0';
            continue;
        }
        if (__builtin_mul_overflow(v, 10, &v) || __builtin_add_overflow(v, c - '0', &v))
            throwLayerError(kErrArithOverflow, "numeric value out of range");
        if (frac >= 0) ++frac;
    }
    if (!any) throwLayerError(kErrConversion, "conversion error from string \"" + std::string(text) + "\"");
    for (int f = std::max(frac, 0); f < digits; ++f)
        if (__builtin_mul_overflow(v, 10, &v)) throwLayerError(kErrArithOverflow, "numeric value out of range");
    if (roundDigit >= 5) ++v;
    return neg ? -v : v;
}

bool isTextType(unsigned t) { return t == SQL_TEXT || t == SQL_VARYING; }

// CHAR values come padded to their full byte length.
std::string_view stripPadding(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string cp932ToUtf8(std::string_view bytes) {
    std::string out;
    if (!platform::tryFromCp932(bytes, out))
        throwLayerError(kErrMalformedString, "malformed string: text from the database is not CP932");
    return out;
}

std::string utf8ToCp932(std::string_view utf8) {
    std::string out;
    if (!platform::tryToCp932(utf8, out))
        throwLayerError(kErrTransliteration, "cannot transliterate character to CP932: \"" + std::string(utf8) + "\"");
    return out;
}

int iscDate(const Date& d) { return d.toSerial() + kIscDateOffset; }
Date fromIscDate(int v) { return Date::fromSerial(v - kIscDateOffset); }
unsigned iscTime(const Time& t) {
    return static_cast<unsigned>(((t.h * 60 + t.mi) * 60 + t.s) * kIscTimeUnits + t.ms * (kIscTimeUnits / 1000));
}
Time fromIscTime(unsigned v) { return Time::fromMsecs(static_cast<int>(v / (kIscTimeUnits / 1000))); }

} // namespace

// ---------------------------------------------------------------- parsing

std::size_t quotedEnd(std::string_view sql, std::size_t open) {
    const std::size_t n = sql.size();
    const char q = sql[open];
    std::size_t j = open + 1;
    while (j < n) {
        if (sql[j] == q) {
            if (j + 1 < n && sql[j + 1] == q) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return n;
}

ParsedSql parseNamedParams(std::string_view sql) {
    ParsedSql r;
    r.sql.reserve(sql.size());
    std::size_t i = 0;
    const std::size_t n = sql.size();
    auto copyUntil = [&](std::size_t end) {
        r.sql.append(sql.substr(i, end - i));
        i = end;
    };
    while (i < n) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            copyUntil(quotedEnd(sql, i));
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            const auto nl = sql.find('\n', i);
            copyUntil(nl == std::string_view::npos ? n : nl);
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const auto end = sql.find("*/", i + 2);
            copyUntil(end == std::string_view::npos ? n : end + 2);
        } else if (c == ':' && i + 1 < n && isIdentStart(sql[i + 1])) {
            std::size_t j = i + 1;
            while (j < n && isIdentChar(sql[j])) ++j;
            r.names.push_back(upper(sql.substr(i + 1, j - i - 1)));
            r.sql += '?';
            i = j;
        } else if (c == '?') {
            r.names.emplace_back();
            r.sql += '?';
            ++i;
        } else {
            r.sql += c;
            ++i;
        }
    }
    return r;
}

// ---------------------------------------------------------------- Field

bool Field::isNull() const { return s_->isNull(index_); }
std::string Field::asString() const { return s_->asString(index_); }
int Field::asInt() const { return s_->asInt(index_); }
std::int64_t Field::asInt64() const { return s_->asInt64(index_); }
std::int64_t Field::asMoney() const { return s_->asMoney(index_); }
double Field::asDouble() const { return s_->asDouble(index_); }
bool Field::asBool() const { return s_->asBool(index_); }
Date Field::asDate() const { return s_->asDate(index_); }
Time Field::asTime() const { return s_->asTime(index_); }
DateTime Field::asDateTime() const { return s_->asDateTime(index_); }
std::string Field::asBytes() const { return s_->asBytes(index_); }

// ---------------------------------------------------------------- Statement

Statement::Statement(Transaction& tx, std::string_view sql, bool paramCheck)
    : Statement(tx.attachment(), tx, sql, paramCheck) {}

Statement::Statement(Attachment& att, Transaction& tx, std::string_view sql, bool paramCheck)
    : tx_(&tx), att_(&att), fetchStatus_(master()->getStatus()) {
    att_->statements_.push_back(this);
    if (!sql.empty()) prepare(sql, paramCheck);
}

Statement::~Statement() {
    release();
    fetchStatus_->dispose();
    if (att_) {
        auto& list = att_->statements_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

Attachment& Statement::attachment() const {
    if (!att_) throwLayerError(kErrDsqlError, "database not attached");
    return *att_;
}

void Statement::orphan() noexcept {
    release();
    auto& list = att_->statements_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    att_ = nullptr;
}

void Statement::release() noexcept {
    close();
    const bool sameConnection = att_ && att_->connected() && att_->generation() == preparedGeneration_;
    if (stmt_) {
        Status st;
        try {
            if (sameConnection) stmt_->free(&st);
            else stmt_->release();
        } catch (const FbException&) {
            stmt_->release();
        }
        stmt_ = nullptr;
    }
    for (IMessageMetadata** m : {&inMeta_, &sendMeta_, &outMeta_}) {
        if (*m) (*m)->release();
        *m = nullptr;
    }
    sendSignature_.clear();
    columns_.clear();
    hasRow_ = false;
    singletonPending_ = false;
}

void Statement::prepare(std::string_view sql, bool paramCheck) {
    release();
    sqlUtf8_ = std::string(sql);
    paramCheck_ = paramCheck;
    positionNames_.clear();
    params_.clear();
    positionParam_.clear();
    if (paramCheck_) {
        ParsedSql parsed = parseStatement(sql);
        positionNames_ = std::move(parsed.names);
        for (const std::string& name : positionNames_) {
            auto it = std::find_if(params_.begin(), params_.end(), [&](const Param& p) { return p.name == name; });
            if (name.empty() || it == params_.end()) {
                params_.push_back(Param{});
                params_.back().name = name;
                positionParam_.push_back(static_cast<int>(params_.size()) - 1);
            } else {
                positionParam_.push_back(static_cast<int>(it - params_.begin()));
            }
        }
    }
}

void Statement::prepareNow() { ensurePrepared(); }

void Statement::ensurePrepared() {
    Attachment& att = attachment();
    if (!att.connected()) throwLayerError(kErrDsqlError, "database not attached");
    if (stmt_ && preparedGeneration_ == att.generation()) return;
    if (stmt_) {
        // Prepared on an earlier connection: keep the parameter values.
        std::vector<Param> keep = params_;
        release();
        params_ = std::move(keep);
    }
    if (!tx_->active()) throwLayerError(kErrDsqlError, "transaction is not active");
    const std::string text = paramCheck_ ? parseStatement(sqlUtf8_).sql : sqlUtf8_;
    const std::string wire = utf8ToCp932(text);
    Status st;
    fbCall([&] {
        stmt_ = att.handle()->prepare(&st, tx_->handle(), static_cast<unsigned>(wire.size()), wire.c_str(), 3,
                                      IStatement::PREPARE_PREFETCH_METADATA);
        preparedGeneration_ = att.generation();
        switch (stmt_->getType(&st)) {
        case isc_info_sql_stmt_select: type_ = StatementType::Select; break;
        case isc_info_sql_stmt_select_for_upd: type_ = StatementType::SelectForUpdate; break;
        case isc_info_sql_stmt_insert: type_ = StatementType::Insert; break;
        case isc_info_sql_stmt_update: type_ = StatementType::Update; break;
        case isc_info_sql_stmt_delete: type_ = StatementType::Delete; break;
        case isc_info_sql_stmt_ddl: type_ = StatementType::Ddl; break;
        case isc_info_sql_stmt_exec_procedure: type_ = StatementType::ExecProcedure; break;
        default: type_ = StatementType::Other; break;
        }
        inMeta_ = stmt_->getInputMetadata(&st);
        outMeta_ = stmt_->getOutputMetadata(&st);
        const unsigned inCount = inMeta_->getCount(&st);
        if (inCount != positionNames_.size()) {
            if (paramCheck_ || !positionNames_.empty())
                throwLayerError(kErrDsqlError, "parameter count mismatch in: " + sqlUtf8_);
            // Unchecked SQL with '?': unnamed parameters, NULL.
            for (unsigned k = 0; k < inCount; ++k) {
                positionNames_.emplace_back();
                params_.push_back(Param{});
                positionParam_.push_back(static_cast<int>(params_.size()) - 1);
            }
        }
        const unsigned outCount = outMeta_->getCount(&st);
        columns_.resize(outCount);
        for (unsigned k = 0; k < outCount; ++k) {
            Column& c = columns_[k];
            const char* alias = outMeta_->getAlias(&st, k);
            c.name = serverTextToUtf8(alias ? alias : "");
            c.upperName = upper(c.name);
            c.type = outMeta_->getType(&st, k) & ~1u;
            c.subType = outMeta_->getSubType(&st, k);
            c.scale = outMeta_->getScale(&st, k);
            c.length = outMeta_->getLength(&st, k);
            c.charset = outMeta_->getCharSet(&st, k);
            c.offset = outMeta_->getOffset(&st, k);
            c.nullOffset = outMeta_->getNullOffset(&st, k);
            c.nullable = outMeta_->isNullable(&st, k);
        }
        outBuf_.assign(outMeta_->getMessageLength(&st), 0);
    });
}

// ---- parameters

Statement::Param& Statement::paramByName(std::string_view name) {
    const std::string key = upper(name);
    for (Param& p : params_)
        if (!p.name.empty() && p.name == key) return p;
    throwLayerError(kErrDsqlError, "no parameter :" + key + " in: " + sqlUtf8_);
}

bool Statement::hasParam(std::string_view name) const {
    const std::string key = upper(name);
    return std::any_of(params_.begin(), params_.end(), [&](const Param& p) { return !p.name.empty() && p.name == key; });
}

std::vector<std::string> Statement::paramNames() const {
    std::vector<std::string> r;
    for (const Param& p : params_)
        if (!p.name.empty()) r.push_back(p.name);
    return r;
}

void Statement::clearParams() {
    for (Param& p : params_) {
        const std::string name = std::move(p.name);
        p = Param{};
        p.name = name;
    }
}

namespace {
void reset(Statement::Param& p, Statement::Param::Kind kind) {
    p.kind = kind;
    p.i = p.i2 = 0;
    p.scale = 0;
    p.d = 0;
    p.bytes.clear();
}
} // namespace

void Statement::setNull(std::string_view name) { reset(paramByName(name), Param::Kind::Null); }

void Statement::setString(std::string_view name, std::string_view utf8) {
    Param& p = paramByName(name);
    std::string bytes = utf8ToCp932(utf8);
    reset(p, Param::Kind::Text);
    p.bytes = std::move(bytes);
}

void Statement::setBytes(std::string_view name, std::string_view bytes) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Text);
    p.bytes = std::string(bytes);
}

void Statement::setInt(std::string_view name, std::int32_t v) { setScaled(name, v, 0); }
void Statement::setInt64(std::string_view name, std::int64_t v) { setScaled(name, v, 0); }
void Statement::setMoney(std::string_view name, std::int64_t v) { setScaled(name, v, 4); }

void Statement::setScaled(std::string_view name, std::int64_t v, int scale) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Int);
    p.i = v;
    p.scale = -scale;
}

void Statement::setDouble(std::string_view name, double v) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Double);
    p.d = v;
}

void Statement::setBool(std::string_view name, bool v) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Bool);
    p.i = v ? 1 : 0;
}

void Statement::setDate(std::string_view name, const Date& v) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Date);
    p.i = iscDate(v);
}

void Statement::setTime(std::string_view name, const Time& v) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Time);
    p.i = iscTime(v);
}

void Statement::setDateTime(std::string_view name, const DateTime& v) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Timestamp);
    p.i = iscDate(v.date);
    p.i2 = iscTime(v.time);
}

void Statement::setBlobText(std::string_view name, std::string_view utf8) {
    Param& p = paramByName(name);
    std::string bytes = utf8ToCp932(utf8);
    reset(p, Param::Kind::Blob);
    p.bytes = std::move(bytes);
}

void Statement::setBlobBytes(std::string_view name, std::string_view bytes) {
    Param& p = paramByName(name);
    reset(p, Param::Kind::Blob);
    p.bytes = std::string(bytes);
}

// ---- running

namespace {
struct Slot {
    unsigned type, length, charset;
    int subType, scale;
};
} // namespace

void Statement::buildInputMessage() {
    const unsigned count = static_cast<unsigned>(positionNames_.size());
    if (count == 0) return;
    Status st;
    std::vector<Slot> slots(count);
    std::string sig;
    fbCall([&] {
        for (unsigned k = 0; k < count; ++k) {
            const Param& p = params_[static_cast<std::size_t>(positionParam_[k])];
            Slot orig{inMeta_->getType(&st, k) & ~1u, inMeta_->getLength(&st, k), inMeta_->getCharSet(&st, k),
                      inMeta_->getSubType(&st, k), inMeta_->getScale(&st, k)};
            Slot s = orig;
            Param::Kind kind = p.kind;
            if (kind == Param::Kind::Blob && orig.type != SQL_BLOB) kind = Param::Kind::Text;
            switch (kind) {
            case Param::Kind::Null: break;
            case Param::Kind::Text:
                if (orig.type == SQL_BLOB) break;
                if (isTextType(orig.type)) {
                    s = {SQL_VARYING, std::max<unsigned>(orig.length, static_cast<unsigned>(p.bytes.size())), orig.charset, 0, 0};
                } else {
                    const unsigned len = (static_cast<unsigned>(p.bytes.size()) / 64 + 1) * 64;
                    s = {SQL_VARYING, len, kCharsetNone, 0, 0};
                }
                if (s.length > 32765) throwLayerError(kErrDsqlError, "text parameter too long: :" + p.name);
                break;
            case Param::Kind::Int: s = {SQL_INT64, 8, 0, 0, p.scale}; break;
            case Param::Kind::Double: s = {SQL_DOUBLE, 8, 0, 0, 0}; break;
            case Param::Kind::Bool: s = {SQL_BOOLEAN, 1, 0, 0, 0}; break;
            case Param::Kind::Date: s = {SQL_TYPE_DATE, 4, 0, 0, 0}; break;
            case Param::Kind::Time: s = {SQL_TYPE_TIME, 4, 0, 0, 0}; break;
            case Param::Kind::Timestamp: s = {SQL_TIMESTAMP, 8, 0, 0, 0}; break;
            case Param::Kind::Blob: break; // orig is a blob
            }
            slots[k] = s;
            char buf[64];
            std::snprintf(buf, sizeof buf, "%u/%u/%u/%d/%d;", s.type, s.length, s.charset, s.subType, s.scale);
            sig += buf;
        }
        if (!sendMeta_ || sig != sendSignature_) {
            IMetadataBuilder* b = inMeta_->getBuilder(&st);
            try {
                for (unsigned k = 0; k < count; ++k) {
                    b->setType(&st, k, slots[k].type | 1u);
                    b->setSubType(&st, k, slots[k].subType);
                    b->setLength(&st, k, slots[k].length);
                    b->setScale(&st, k, slots[k].scale);
                    b->setCharSet(&st, k, slots[k].charset);
                }
                IMessageMetadata* m = b->getMetadata(&st);
                b->release();
                b = nullptr;
                if (sendMeta_) sendMeta_->release();
                sendMeta_ = m;
            } catch (...) {
                if (b) b->release();
                throw;
            }
            sendSignature_ = sig;
            inBuf_.assign(sendMeta_->getMessageLength(&st), 0);
        }
        // Blobs are created once per parameter even when its name repeats.
        std::vector<ISC_QUAD> blobIds(params_.size());
        std::vector<bool> blobMade(params_.size(), false);
        for (unsigned k = 0; k < count; ++k) {
            const std::size_t pi = static_cast<std::size_t>(positionParam_[k]);
            const Param& p = params_[pi];
            unsigned char* data = inBuf_.data() + sendMeta_->getOffset(&st, k);
            const bool isNull = p.kind == Param::Kind::Null;
            wr<short>(inBuf_.data() + sendMeta_->getNullOffset(&st, k), isNull ? -1 : 0);
            if (isNull) continue;
            switch (slots[k].type) {
            case SQL_VARYING:
                wr<unsigned short>(data, static_cast<unsigned short>(p.bytes.size()));
                std::memcpy(data + 2, p.bytes.data(), p.bytes.size());
                break;
            case SQL_INT64: wr<std::int64_t>(data, p.i); break;
            case SQL_DOUBLE: wr<double>(data, p.d); break;
            case SQL_BOOLEAN: wr<unsigned char>(data, p.i ? 1 : 0); break;
            case SQL_TYPE_DATE: wr<ISC_DATE>(data, static_cast<ISC_DATE>(p.i)); break;
            case SQL_TYPE_TIME: wr<ISC_TIME>(data, static_cast<ISC_TIME>(p.i)); break;
            case SQL_TIMESTAMP: {
                ISC_TIMESTAMP ts{static_cast<ISC_DATE>(p.i), static_cast<ISC_TIME>(p.i2)};
                wr<ISC_TIMESTAMP>(data, ts);
                break;
            }
            case SQL_BLOB: {
                if (!blobMade[pi]) {
                    ISC_QUAD id{};
                    IBlob* blob = att_->handle()->createBlob(&st, tx_->handle(), &id, 0, nullptr);
                    try {
                        for (std::size_t pos = 0; pos < p.bytes.size(); pos += 32768) {
                            const std::size_t len = std::min<std::size_t>(32768, p.bytes.size() - pos);
                            blob->putSegment(&st, static_cast<unsigned>(len), p.bytes.data() + pos);
                        }
                        blob->close(&st);
                    } catch (...) {
                        blob->release();
                        throw;
                    }
                    blobIds[pi] = id;
                    blobMade[pi] = true;
                }
                wr<ISC_QUAD>(data, blobIds[pi]);
                break;
            }
            default:
                throwLayerError(kErrDsqlError, "unsupported parameter type for :" + p.name);
            }
        }
    });
}

void Statement::execute() {
    close();
    ensurePrepared();
    if (!tx_->active()) throwLayerError(kErrDsqlError, "transaction is not active");
    buildInputMessage();
    IMessageMetadata* inMeta = positionNames_.empty() ? nullptr : sendMeta_;
    void* inBuf = positionNames_.empty() ? nullptr : inBuf_.data();
    Status st;
    fbCall([&] {
        if (stmt_->getFlags(&st) & IStatement::FLAG_HAS_CURSOR) {
            cursor_ = stmt_->openCursor(&st, tx_->handle(), inMeta, inBuf, outMeta_, 0);
        } else if (!columns_.empty()) {
            stmt_->execute(&st, tx_->handle(), inMeta, inBuf, outMeta_, outBuf_.data());
            hasRow_ = true;
            singletonPending_ = true;
        } else {
            stmt_->execute(&st, tx_->handle(), inMeta, inBuf, nullptr, nullptr);
        }
    });
}

bool Statement::fetch() {
    if (singletonPending_) {
        singletonPending_ = false;
        return true;
    }
    if (!cursor_) {
        hasRow_ = false;
        return false;
    }
    ThrowStatusWrapper st(fetchStatus_);
    const int rc = fbCall([&] { return cursor_->fetchNext(&st, outBuf_.data()); });
    if (rc == IStatus::RESULT_OK) {
        hasRow_ = true;
        return true;
    }
    close();
    return false;
}

void Statement::close() noexcept {
    hasRow_ = false;
    singletonPending_ = false;
    if (!cursor_) return;
    Status st;
    try {
        cursor_->close(&st);
    } catch (const FbException&) {
        // The transaction already ended or the connection was lost.
        cursor_->release();
    }
    cursor_ = nullptr;
}

long long Statement::rowsAffected() {
    if (!stmt_) return 0;
    Status st;
    return fbCall([&] { return static_cast<long long>(stmt_->getAffectedRecords(&st)); });
}

// ---- columns

const std::string& Statement::columnName(int index) const {
    return columns_[static_cast<std::size_t>(checkedIndex(index))].name;
}

ColumnType Statement::columnType(int index) const {
    const Column& c = columns_[static_cast<std::size_t>(checkedIndex(index))];
    switch (c.type) {
    case SQL_TEXT:
    case SQL_VARYING: return ColumnType::Text;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: return c.scale < 0 ? ColumnType::Scaled : ColumnType::Integer;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return ColumnType::Double;
    case SQL_TYPE_DATE: return ColumnType::Date;
    case SQL_TYPE_TIME: return ColumnType::Time;
    case SQL_TIMESTAMP: return ColumnType::Timestamp;
    case SQL_BLOB: return c.subType == 1 ? ColumnType::TextBlob : ColumnType::Blob;
    case SQL_BOOLEAN: return ColumnType::Boolean;
    default: return ColumnType::Other;
    }
}

int Statement::columnScale(int index) const {
    const Column& c = columns_[static_cast<std::size_t>(checkedIndex(index))];
    return c.scale < 0 ? -c.scale : 0;
}

int Statement::columnSize(int index) const {
    const Column& c = columns_[static_cast<std::size_t>(checkedIndex(index))];
    if (c.type != SQL_TEXT && c.type != SQL_VARYING) return static_cast<int>(c.length);
    // Most bytes per character of the character sets an attachment meets.
    unsigned bytesPerChar = 1;
    switch (c.charset) {
    case 3: bytesPerChar = 3; break;            // UNICODE_FSS
    case 4: bytesPerChar = 4; break;            // UTF8
    case 5: case 6: bytesPerChar = 2; break;    // SJIS_0208, EUCJ_0208
    default: break;
    }
    return static_cast<int>(c.length / bytesPerChar);
}

int Statement::findColumn(std::string_view name) const {
    const std::string key = upper(name);
    for (std::size_t k = 0; k < columns_.size(); ++k)
        if (columns_[k].upperName == key) return static_cast<int>(k);
    return -1;
}

int Statement::columnIndex(std::string_view name) const {
    const int k = findColumn(name);
    if (k < 0) throwLayerError(kErrDsqlError, "no column " + std::string(name) + " in: " + sqlUtf8_);
    return k;
}

int Statement::checkedIndex(int index) const {
    if (index < 0 || index >= static_cast<int>(columns_.size()))
        throwLayerError(kErrDsqlError, "column index " + std::to_string(index) + " out of range in: " + sqlUtf8_);
    return index;
}

bool Statement::isNull(int col) const {
    const Column& c = columns_[static_cast<std::size_t>(checkedIndex(col))];
    if (!hasRow_) return true;
    if (c.type == SQL_NULL) return true;
    return c.nullable && rd<short>(outBuf_.data() + c.nullOffset) != 0;
}

std::string Statement::readBlob(int col) const {
    const Column& c = columns_[static_cast<std::size_t>(col)];
    ISC_QUAD id = rd<ISC_QUAD>(outBuf_.data() + c.offset);
    Status st;
    std::string out;
    fbCall([&] {
        IBlob* blob = att_->handle()->openBlob(&st, tx_->handle(), &id, 0, nullptr);
        try {
            char buf[32768];
            for (;;) {
                unsigned got = 0;
                const int rc = blob->getSegment(&st, sizeof buf, buf, &got);
                if (rc == IStatus::RESULT_NO_DATA) break;
                out.append(buf, got);
            }
            blob->close(&st);
        } catch (...) {
            blob->release();
            throw;
        }
    });
    return out;
}

std::string Statement::asBytes(int col) const {
    if (isNull(col)) return {};
    const Column& c = columns_[static_cast<std::size_t>(col)];
    const unsigned char* p = outBuf_.data() + c.offset;
    switch (c.type) {
    case SQL_TEXT: {
        std::string_view v(reinterpret_cast<const char*>(p), c.length);
        return std::string(c.charset == kCharsetOctets ? v : stripPadding(v));
    }
    case SQL_VARYING:
        return std::string(reinterpret_cast<const char*>(p + 2), rd<unsigned short>(p));
    case SQL_BLOB:
        return readBlob(col);
    default:
        return utf8ToCp932(asString(col));
    }
}

std::string Statement::asString(int col) const {
    if (isNull(col)) return {};
    const Column& c = columns_[static_cast<std::size_t>(col)];
    const unsigned char* p = outBuf_.data() + c.offset;
    switch (c.type) {
    case SQL_TEXT: {
        std::string_view v(reinterpret_cast<const char*>(p), c.length);
        if (c.charset == kCharsetOctets) return std::string(v);
        return cp932ToUtf8(stripPadding(v));
    }
    case SQL_VARYING: {
        std::string_view v(reinterpret_cast<const char*>(p + 2), rd<unsigned short>(p));
        if (c.charset == kCharsetOctets) return std::string(v);
        return cp932ToUtf8(v);
    }
    case SQL_SHORT: return formatScaled(rd<short>(p), c.scale);
    case SQL_LONG: return formatScaled(rd<int>(p), c.scale);
    case SQL_INT64: return formatScaled(rd<std::int64_t>(p), c.scale);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        char buf[64];
        const double d = c.type == SQL_FLOAT ? rd<float>(p) : rd<double>(p);
        const auto res = std::to_chars(buf, buf + sizeof buf, d);
        return std::string(buf, res.ptr);
    }
    case SQL_BOOLEAN: return rd<unsigned char>(p) ? "TRUE" : "FALSE";
    case SQL_TYPE_DATE: return asDate(col).toString();
    case SQL_TYPE_TIME: return asTime(col).toString();
    case SQL_TIMESTAMP: return asDateTime(col).toString();
    case SQL_BLOB: {
        std::string bytes = readBlob(col);
        if (c.subType == 1 && c.charset != kCharsetOctets) return cp932ToUtf8(bytes);
        return bytes;
    }
    default:
        throwLayerError(kErrConversion, "column " + c.name + " cannot be read as text");
    }
}

std::int64_t Statement::asMoney(int col) const {
    if (isNull(col)) return 0;
    const Column& c = columns_[static_cast<std::size_t>(col)];
    const unsigned char* p = outBuf_.data() + c.offset;
    switch (c.type) {
    case SQL_SHORT: return rescale(rd<short>(p), c.scale, -4);
    case SQL_LONG: return rescale(rd<int>(p), c.scale, -4);
    case SQL_INT64: return rescale(rd<std::int64_t>(p), c.scale, -4);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        const double d = c.type == SQL_FLOAT ? rd<float>(p) : rd<double>(p);
        const double scaled = std::round(d * 10000.0);
        if (!(std::fabs(scaled) < 9.2e18)) throwLayerError(kErrArithOverflow, "numeric value out of range");
        return static_cast<std::int64_t>(scaled);
    }
    case SQL_BOOLEAN: return rd<unsigned char>(p) ? 10000 : 0;
    default: return parseScaled(asString(col), -4);
    }
}

std::int64_t Statement::asInt64(int col) const {
    if (isNull(col)) return 0;
    const Column& c = columns_[static_cast<std::size_t>(col)];
    const unsigned char* p = outBuf_.data() + c.offset;
    switch (c.type) {
    case SQL_SHORT: return rescale(rd<short>(p), c.scale, 0);
    case SQL_LONG: return rescale(rd<int>(p), c.scale, 0);
    case SQL_INT64: return rescale(rd<std::int64_t>(p), c.scale, 0);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        const double d = std::round(c.type == SQL_FLOAT ? rd<float>(p) : rd<double>(p));
        if (!(std::fabs(d) < 9.2e18)) throwLayerError(kErrArithOverflow, "numeric value out of range");
        return static_cast<std::int64_t>(d);
    }
    case SQL_BOOLEAN: return rd<unsigned char>(p) ? 1 : 0;
    case SQL_TYPE_DATE: return asDate(col).toSerial();
    default: return parseScaled(asString(col), 0);
    }
}

int Statement::asInt(int col) const {
    const std::int64_t v = asInt64(col);
    if (v < INT32_MIN || v > INT32_MAX) throwLayerError(kErrArithOverflow, "integer value out of range");
    return static_cast<int>(v);
}

double Statement::asDouble(int col) const {
    if (isNull(col)) return 0;
    const Column& c = columns_[static_cast<std::size_t>(col)];
    const unsigned char* p = outBuf_.data() + c.offset;
    switch (c.type) {
    case SQL_FLOAT: return rd<float>(p);
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return rd<double>(p);
    case SQL_SHORT: return rd<short>(p) * std::pow(10.0, c.scale);
    case SQL_LONG: return rd<int>(p) * std::pow(10.0, c.scale);
    case SQL_INT64: return static_cast<double>(rd<std::int64_t>(p)) * std::pow(10.0, c.scale);
    case SQL_BOOLEAN: return rd<unsigned char>(p) ? 1 : 0;
    case SQL_TYPE_DATE:
    case SQL_TIMESTAMP: return asDateTime(col).toSerial();
    default: {
        const std::string s = asString(col);
        const std::string_view t = trimView(s);
        double d = 0;
        const auto res = std::from_chars(t.data(), t.data() + t.size(), d);
        if (res.ec != std::errc() || res.ptr != t.data() + t.size())
            throwLayerError(kErrConversion, "conversion error from string \"" + s + "\"");
        return d;
    }
    }
}

bool Statement::asBool(int col) const {
    if (isNull(col)) return false;
    const Column& c = columns_[static_cast<std::size_t>(col)];
    if (c.type == SQL_BOOLEAN) return rd<unsigned char>(outBuf_.data() + c.offset) != 0;
    if (isTextType(c.type)) {
        const std::string s = upper(trimView(asString(col)));
        return s == "TRUE" || s == "T" || s == "1" || s == "Y";
    }
    return asInt64(col) != 0;
}

Date Statement::asDate(int col) const {
    if (isNull(col)) return {};
    const Column& c = columns_[static_cast<std::size_t>(col)];
    const unsigned char* p = outBuf_.data() + c.offset;
    switch (c.type) {
    case SQL_TYPE_DATE: return fromIscDate(rd<ISC_DATE>(p));
    case SQL_TIMESTAMP: return fromIscDate(rd<ISC_TIMESTAMP>(p).timestamp_date);
    default: {
        const std::string s = asString(col);
        Date d;
        char sep1 = 0, sep2 = 0;
        if (std::sscanf(s.c_str(), "%d%c%d%c%d", &d.y, &sep1, &d.m, &sep2, &d.d) != 5 || !d.isValid())
            throwLayerError(kErrConversion, "conversion error from string \"" + s + "\"");
        return d;
    }
    }
}

Time Statement::asTime(int col) const {
    if (isNull(col)) return {};
    const Column& c = columns_[static_cast<std::size_t>(col)];
    const unsigned char* p = outBuf_.data() + c.offset;
    switch (c.type) {
    case SQL_TYPE_TIME: return fromIscTime(rd<ISC_TIME>(p));
    case SQL_TIMESTAMP: return fromIscTime(rd<ISC_TIMESTAMP>(p).timestamp_time);
    case SQL_TYPE_DATE: return {};
    default: throwLayerError(kErrConversion, "column " + c.name + " cannot be read as a time");
    }
}

DateTime Statement::asDateTime(int col) const {
    if (isNull(col)) return {};
    const Column& c = columns_[static_cast<std::size_t>(col)];
    switch (c.type) {
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE: return DateTime{asDate(col), asTime(col)};
    case SQL_TYPE_TIME: return DateTime{Date{}, asTime(col)};
    default: return DateTime{asDate(col), Time{}};
    }
}

} // namespace db
