#include "ui/Base64.h"

#include <gtest/gtest.h>

namespace {

struct Pair {
    std::string plain;
    std::string encoded;
};

TEST(Base64, EncodesAndDecodesBackTheSameBytes) {
    const Pair cases[] = {
        {"", ""},
        {"a", "YQ=="},
        {"ab", "YWI="},
        {"abc", "YWJj"},
        {"abcd", "YWJjZA=="},
        {std::string("\0\xff\x10", 3), "AP8Q"},
        {"\x82\xa0\x82\xa2", "gqCCog=="}, // CP932 bytes pass through as bytes
    };
    TxPzConv conv;
    for (const auto& c : cases) {
        std::string out = "stale";
        conv.EncodeBase64(c.plain, out);
        EXPECT_EQ(out, c.encoded) << c.plain;
        conv.DecodeBase64(c.encoded, out);
        EXPECT_EQ(out, c.plain) << c.encoded;
    }
}

TEST(Base64, DecodingIsLenient) {
    const Pair cases[] = {
        {"", "YWJ"},                                 // incomplete group: nothing
        {"abc", "YWJjZA"},                           // trailing partial group ignored
        {std::string("\0\0\0", 3), "AAAA"},          // zero bytes are kept
        {std::string("a\0", 2), "YQA="},             // zero second byte kept
        {std::string("\0\0\0", 3), "****"},          // outside the alphabet counts 0
        {"a\x19", "YQ=Z"},                           // "=" third drops the second byte only
    };
    TxPzConv conv;
    for (const auto& c : cases) {
        std::string out = "stale";
        conv.DecodeBase64(c.encoded, out);
        EXPECT_EQ(out, c.plain) << c.encoded;
    }
}

TEST(HtmlHelp, PagePathByEditionAndKind) {
    struct Case {
        std::string page;
        int kind;
        int edition;
        std::string path;
    } cases[] = {
        {"olm.html", 0, 0, "/opt/h/olm.html"},
        {"a.html", 0, 0, "/opt/h/olm.files/a.html"},
        {"a.html", 2, 0, "/opt/h/olm.files/a.html"},
        {"a.html", 3, 0, "/opt/h/csbolm.files/a.html"},
        {"csbolm.html", 3, 2, "/opt/h/csbolm.html"},
        {"olm.html", 0, 1, "/opt/h/zaimu/olm.html"},
        {"a.html", 0, 2, "/opt/h/zaimu/olm.files/a.html"},
        {"ecbolm.html", 1, 1, "/opt/h/ecbolm.html"},
        {"a.html", 1, 1, "/opt/h/ecbolm.files/a.html"},
        {"mdvolm.html", 2, 1, "/opt/h/mirdova/mdvolm.html"},
        {"a.html", 2, 2, "/opt/h/mirdova/mdvolm.files/a.html"},
        {"a.html", 3, 1, "/opt/h/csbolm.files/a.html"},
        {"a.html", 4, 0, ""},
        {"", 0, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HtmlHelpPath(c.page, {"/opt/h", c.kind, c.edition}), c.path) << c.page << " " << c.kind << " " << c.edition;
}

TEST(HtmlHelp, OpensThroughTheHookAndNothingForAnEmptyPage) {
    std::vector<std::string> opened;
    const auto previous = setHelpOpener([&](const std::string& p) { opened.push_back(p); return 0; });
    const auto previousWhere = setHelpLocationProvider([] { return HelpLocation{"/opt/h/", 3, 0}; });
    EXPECT_EQ(OpenHtmlHelp(""), 0);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(OpenHtmlHelp("x.html"), 0);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "/opt/h/csbolm.files/x.html");
    setHelpOpener([](const std::string&) { return kHelpOpenFailed; });
    EXPECT_EQ(OpenHtmlHelp("x.html"), kHelpOpenFailed);
    setHelpOpener(previous);
    setHelpLocationProvider(previousWhere);
}

} // namespace

#include "accdb/AccRecord.h"

namespace {

TEST(HtmlHelp, DefaultLocationIsTheSettingsRecord) {
    std::string opened;
    const auto previous = setHelpOpener([&](const std::string& p) { opened = p; return 0; });
    const std::string helpDir = SystemDef.HelpDir;
    const auto mode = LogonMode, edition = OemEdition;
    SystemDef.HelpDir = "/inst/help";
    LogonMode = 2;
    OemEdition = 1;
    OpenHtmlHelp("mdvolm.html");
    EXPECT_EQ(opened, "/inst/help/mirdova/mdvolm.html");
    SystemDef.HelpDir = helpDir;
    LogonMode = mode;
    OemEdition = edition;
    setHelpOpener(previous);
}

} // namespace
