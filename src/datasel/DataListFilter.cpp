#include "datasel/DataListFilter.h"

#include <cstdio>

#include "datasel/ZenkakuMap.h"

namespace datasel {
namespace {

std::int32_t strToIntDef(const std::string& text, std::int32_t def)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size())
        return def;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9' || v > 214748364LL)
            return def;
        v = v * 10 + (text[i] - '0');
    }
    v = negative ? -v : v;
    if (v > 2147483647LL || v < -2147483648LL)
        return def;
    return static_cast<std::int32_t>(v);
}

std::string trimBlanks(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

std::string upperAscii(std::string s)
{
    for (auto& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string pair(std::int32_t a, std::int32_t b, const char* sep)
{
    return std::to_string(a) + sep + std::to_string(b);
}

} // namespace

std::string NamedRowsOrderBy(std::uint8_t sortKey, bool desc, const std::string& orderText)
{
    switch (sortKey) {
    case 0: return orderText;
    case 1: return desc ? "ORDER BY REC DESC" : "ORDER BY REC";
    case 2: return desc ? "ORDER BY ENTTEXT DESC,NENDO DESC,REC DESC" : "ORDER BY ENTTEXT,NENDO DESC,REC";
    case 3: return desc ? "ORDER BY NENDO DESC,REC DESC" : "ORDER BY NENDO,REC";
    case 4: return desc ? "ORDER BY KISHU DESC,REC DESC" : "ORDER BY KISHU,REC";
    case 5: return desc ? "ORDER BY UPPER(PASNAME) DESC,REC DESC" : "ORDER BY UPPER(PASNAME),REC";
    case 6:
        return desc ? "ORDER BY VER_MAJOR DESC,VER_MINOR1 DESC,VER_MINOR2 DESC,REC DESC"
                    : "ORDER BY VER_MAJOR,VER_MINOR1,VER_MINOR2,REC";
    case 7: return desc ? "ORDER BY DATACODE DESC,NENDO DESC,REC DESC" : "ORDER BY DATACODE,NENDO DESC,REC";
    default: return {};
    }
}

std::string FreeSlotsOrderBy(std::uint8_t sortKey, bool desc)
{
    if (sortKey == 5)
        return desc ? "ORDER BY PASNAME DESC,REC DESC" : "ORDER BY PASNAME,REC";
    return desc ? "ORDER BY REC DESC" : "ORDER BY REC";
}

std::uint8_t SortKeyOfGridColumn(std::int32_t column)
{
    switch (column) {
    case 1: return 7;
    case 3: return 2;
    case 4: return 3;
    case 5: return 4;
    case 6: return 5;
    case 7: return 6;
    default: return 1;
    }
}

bool RowMatchesConditions(const TDataListRec& row, const TDataKensakuRec& cond)
{
    std::int32_t verMajor = 0, verMinor1 = 0;
    if (!cond.DATAVER.empty()) {
        const auto dot = cond.DATAVER.find('.');
        verMajor = strToIntDef(cond.DATAVER.substr(0, dot), 0);
        if (dot != std::string::npos) {
            auto rest = cond.DATAVER.substr(dot + 1);
            verMinor1 = strToIntDef(rest.substr(0, rest.find('.')), 0);
        }
    }

    if (cond.DATATYPE > 0) {
        // Compared as the decimal texts of kind and code system.
        if (cond.CODETYPE != 0) {
            if (pair(cond.DATATYPE, cond.CODETYPE, "") != pair(row.DATATYPE, row.CODETYPE, ""))
                return false;
        } else if (pair(cond.DATATYPE, 0, "") != pair(row.DATATYPE, 0, "")) {
            return false;
        }
    } else if (cond.DATATYPE == kDataTypeHoujinOrIryou) {
        if (row.DATATYPE != 1 && row.DATATYPE != 3)
            return false;
    }

    if (!cond.DATANAME.empty()) {
        const auto want = ToFullWidthUpper(MapFullWidth(cond.DATANAME));
        const auto have = ToFullWidthUpper(MapFullWidth(row.ENTTEXT));
        if (have.find(want) == std::string::npos)
            return false;
    }

    if (cond.TANTO != 0 && row.TANTOU != cond.TANTO)
        return false;

    if (!cond.DATAVER.empty()) {
        if (cond.VerMatch == 1) {
            if (row.VER_MAJOR != verMajor)
                return false;
        } else if (cond.VerMatch == 2) {
            if (row.VER_MAJOR < verMajor || (row.VER_MAJOR == verMajor && row.VER_MINOR1 < verMinor1))
                return false;
        } else if (pair(row.VER_MAJOR, row.VER_MINOR1, ".") != cond.DATAVER) {
            return false;
        }
    }

    const auto code = trimBlanks(cond.DATACODE);
    if (!code.empty()) {
        // Prefix of the row's code, padded with blanks to the condition's length.
        std::string head = row.DATACODE.substr(0, code.size());
        head.resize(code.size(), ' ');
        if (upperAscii(code) != upperAscii(head))
            return false;
    }
    return true;
}

TDataSentakuRecDispArray BuildDisplayIndex(const TDataSentakuRecArray& rows, const TDataKensakuRec& cond)
{
    TDataSentakuRecDispArray index;
    index.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (RowMatchesConditions(rows[i], cond))
            index.push_back(static_cast<std::int32_t>(i));
    return index;
}

} // namespace datasel
