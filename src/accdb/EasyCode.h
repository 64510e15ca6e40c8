#pragma once
// Scrambling of small settings values that must not be stored in clear.
//
// EasyEncode/EasyDecode: a keyed substitution over the 62 letters and digits
// A-Z, 0-9, a-z with a running key sum; the data password of newer data sets
// is stored this way (both lengths 8, key kDataPasswordKey).
//
// ExternalEncodeText/ExternalDecodeText: a keyless, reversible text encoding
// used for the My Number settings. ExternalTextService is the one entry
// point behind them (operation "160" encodes, "161" decodes); its results
// are printable ASCII of at most 255 bytes.
#include <string>
#include <string_view>

struct TEasyEncodeInfo {
    int TotalLength = 0;     // length of the scrambled text; the plain text is padded to it
    int PlainLength = 0;     // length of the meaningful plain text
    std::string Key;
    std::string PlainText;   // input of EasyEncode, output of EasyDecode
    std::string EncodedText; // output of EasyEncode, input of EasyDecode
};

inline constexpr const char* kDataPasswordKey = "dornelt";
inline constexpr int kDataPasswordLength = 8;

// Both lengths 0 and both texts empty; the key is kept.
void InitEasyEncodeInfo(TEasyEncodeInfo& info);
// PlainText (padded with "A", "B", ... up to TotalLength) -> EncodedText.
// The output ends before the first character outside the alphabet. Texts
// and keys are limited to 255 characters. Always true.
bool EasyEncode(TEasyEncodeInfo& info);
// EncodedText -> PlainText, at most PlainLength characters (the padding is
// dropped), ending before the first character outside the alphabet. Always
// true.
bool EasyDecode(TEasyEncodeInfo& info);

// The text-encoding service: text and operation code zero-terminated,
// result and work buffers of 256 bytes each. Returns 1 on success with the
// zero-terminated result in `result`; any other value is a failure.
inline constexpr int kServiceBufferSize = 256;
int ExternalTextService(const char* text, const char* opCode, char* result, char* work);

// Result is empty when the text is blank (then the service is not called)
// or when the service fails. Texts are UTF-8; the service sees CP932.
void ExternalEncodeText(std::string_view text, std::string& result);
void ExternalDecodeText(std::string_view text, std::string& result);
