#include "accdb/MojiBunkatu.h"

#include "platform/TextCodec.h"

namespace {

bool isControl(char c) { return c >= 1 && c < ' '; }
bool isBlankOrControl(char c) { return c >= 1 && c <= ' '; }

// Reads a quoted item starting at the quote at p; p ends after the closing
// quote (or at the end when there is none).
std::string extractQuoted(std::string_view t, size_t& p, char quote) {
    std::string out;
    ++p;
    while (p < t.size()) {
        if (t[p] == quote) {
            if (p + 1 < t.size() && t[p + 1] == quote) {
                out += quote;
                p += 2;
                continue;
            }
            ++p;
            return out;
        }
        out += t[p++];
    }
    return out;
}

std::string_view untilNul(std::string_view t) {
    size_t nul = t.find('\0');
    return nul == std::string_view::npos ? t : t.substr(0, nul);
}

} // namespace

std::vector<std::string> ParseDelimitedText(std::string_view Text, char Delimiter, char QuoteChar) {
    std::string_view t = untilNul(Text);
    std::vector<std::string> out;
    size_t p = 0;
    while (p < t.size() && isBlankOrControl(t[p])) ++p;
    while (p < t.size()) {
        if (t[p] == QuoteChar) {
            out.push_back(extractQuoted(t, p, QuoteChar));
        } else {
            size_t b = p;
            while (p < t.size() && static_cast<unsigned char>(t[p]) > ' ' && t[p] != Delimiter) ++p;
            out.emplace_back(t.substr(b, p - b));
        }
        while (p < t.size() && isBlankOrControl(t[p])) ++p;
        if (p < t.size() && t[p] == Delimiter) {
            if (p + 1 == t.size()) out.emplace_back();
            do {
                ++p;
            } while (p < t.size() && isBlankOrControl(t[p]));
        }
    }
    return out;
}

void TStringList2::SetCommaText2(std::string_view Text) {
    Delimiter = ',';
    QuoteChar = '"';
    SetDelimitedText2(Text);
}

void TStringList2::SetDelimitedText2(std::string_view Text) {
    std::string_view t = untilNul(Text);
    Strings.clear();
    size_t p = 0;
    while (p < t.size() && isControl(t[p])) ++p;
    while (p < t.size()) {
        std::string item;
        if (t[p] == QuoteChar) {
            item = extractQuoted(t, p, QuoteChar);
        } else {
            size_t b = p;
            while (p < t.size() && !isControl(t[p]) && t[p] != Delimiter) ++p;
            item = std::string(t.substr(b, p - b));
        }
        if (TrimItems) {
            size_t b = 0, e = item.size();
            while (b < e && isBlankOrControl(item[b])) ++b;
            while (e > b && isBlankOrControl(item[e - 1])) --e;
            item = item.substr(b, e - b);
        }
        Strings.push_back(std::move(item));
        while (p < t.size() && isControl(t[p])) ++p;
        if (p < t.size() && t[p] == Delimiter) {
            if (p + 1 == t.size()) Strings.emplace_back();
            do {
                ++p;
            } while (p < t.size() && isControl(t[p]));
        }
    }
}

void TMojiBunkatu::Split(std::string_view Text) {
    Items.clear();
    if (Mode == 0) {
        Items = ParseDelimitedText(Text, Delimiter, '"');
    } else if (Mode == 1) {
        TStringList2 list;
        list.TrimItems = true;
        list.QuoteChar = '"';
        list.Delimiter = Delimiter;
        if (Delimiter == ',') list.SetCommaText2(Text);
        else list.SetDelimitedText2(Text);
        Items = std::move(list.Strings);
    }
    if (Items.empty()) Items.emplace_back();
    Count = static_cast<int>(Items.size());
}

void TMojiBunkatu::SplitByLength(std::string_view Text, int Width) {
    Items.clear();
    std::u32string chars = platform::toU32(Text);
    size_t i = 0;
    while (i < chars.size()) {
        std::u32string piece;
        int used = 0;
        while (i < chars.size()) {
            int w = static_cast<int>(platform::cp932CharWidth(chars[i]));
            if (used + w > Width && !piece.empty()) break; // a piece holds at least one character
            piece.push_back(chars[i++]);
            used += w;
        }
        Items.push_back(platform::fromU32(piece));
    }
    if (Items.empty()) Items.emplace_back();
    Count = static_cast<int>(Items.size());
}

std::string TMojiBunkatu::GetItem(int Index) const {
    if (Index < 0 || Index >= Count || Index >= static_cast<int>(Items.size())) return "";
    return Items[static_cast<size_t>(Index)];
}

void TMojiBunkatu::Clear() {
    Items.clear();
    Count = 0;
}
