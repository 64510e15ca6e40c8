#pragma once
// TMojiBunkatu cuts one line of text into items: comma-separated lines,
// dotted version numbers ("14.0.0"), '/'-separated paths, and fixed-width
// pieces for fixed-width output fields. TStringList2 is the string list
// whose delimited-text parsing keeps blanks inside items and can trim them.
#include <string>
#include <string_view>
#include <vector>

class TStringList2 {
public:
    std::vector<std::string> Strings;
    char Delimiter = ',';
    char QuoteChar = '"';
    bool TrimItems = false;

    // Delimiter ',' and quote '"', then SetDelimitedText2.
    void SetCommaText2(std::string_view Text);
    // Replaces the lines by the items of Text: an item ends only at the
    // delimiter or a control character (blanks belong to it); a quoted item
    // runs to its closing quote, a doubled quote standing for one; only
    // control characters are skipped between items; a delimiter at the end
    // adds an empty item.
    void SetDelimitedText2(std::string_view Text);
};

// The standard delimited-text parsing of a string list: as above, except
// that a blank also ends an item and blanks are skipped between items.
std::vector<std::string> ParseDelimitedText(std::string_view Text, char Delimiter, char QuoteChar = '"');

class TMojiBunkatu {
public:
    char Delimiter = ',';
    std::vector<std::string> Items;
    int Count = 0;
    // 0: standard parsing; 1: TStringList2 parsing with trimmed items.
    unsigned char Mode = 0;

    // Replaces the items by those of Text; always at least one item.
    void Split(std::string_view Text);
    // Replaces the items by pieces of at most Width CP932 bytes, never
    // splitting a character; always at least one item.
    void SplitByLength(std::string_view Text, int Width);
    // The item at Index, "" outside 0..Count-1.
    std::string GetItem(int Index) const;
    void Clear();
};
