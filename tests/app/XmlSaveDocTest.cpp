#include "app/XMLSaveDoc.h"

#include "platform/TextCodec.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::readFileBytes;

namespace {

std::string saved(TXmlSaveDoc& doc, const testsupport::TempDir& dir) {
    auto path = dir / "out.xml";
    doc.SaveToFile(path.string());
    return readFileBytes(path);
}

} // namespace

TEST(XmlSaveDoc, EscapesTheFiveCharactersOnceEach) {
    struct Case { const char* in; const char* out; };
    for (auto c : {Case{"a&b<c>d", "a&amp;b&lt;c&gt;d"}, Case{"\"q\" 'a'", "&quot;q&quot; &apos;a&apos;"},
                   Case{"&amp;", "&amp;amp;"}, Case{"  株式会社　", "  株式会社　"}, Case{"", ""}})
        EXPECT_EQ(TXmlSaveDoc::Escape(c.in), c.out) << c.in;
}

TEST(XmlSaveDoc, WritesDeclarationAndTreeWithoutWhitespace) {
    testsupport::TempDir dir;
    TXmlSaveDoc doc("1.0", "Shift_JIS", "");
    auto root = doc.CreateRoot("REPORT", "");
    auto a = doc.AddNode(TXmlSaveDoc::NoNode, "A", "", "ignored");
    doc.AddTextNode(a, "T", " 名前 & <x> ", "line", "1\"");
    doc.AddTextNode(a, "E", "");
    doc.AddNode(root, "B");
    doc.AddNode(TXmlSaveDoc::NoNode, "C", "line", "2");
    std::string want = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
                       "<REPORT><A><T line=\"1&quot;\"> 名前 &amp; &lt;x&gt; </T><E></E></A><B/><C line=\"2\"/></REPORT>\r\n";
    EXPECT_EQ(saved(doc, dir), platform::toCp932(want));
}

TEST(XmlSaveDoc, StandaloneOnlyWhenGiven) {
    testsupport::TempDir dir;
    TXmlSaveDoc doc("1.0", "Shift_JIS", "yes");
    doc.CreateRoot("R", "");
    EXPECT_EQ(saved(doc, dir), "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\r\n<R/>\r\n");
}

TEST(XmlSaveDoc, TextWithoutShiftJisFormIsAnErrorNotAQuestionMark) {
    TXmlSaveDoc doc("1.0", "Shift_JIS", "");
    auto root = doc.CreateRoot("R", "");
    EXPECT_THROW(doc.AddTextNode(root, "T", "한국"), EXmlSaveError);
    EXPECT_THROW(doc.AddNode(root, "T", "a", "\xF0\x9F\x98\x80"), EXmlSaveError);
    EXPECT_THROW(doc.AddTextNode(root, "T", std::string("a\x01b")), EXmlSaveError); // not allowed in XML
    EXPECT_NO_THROW(doc.AddTextNode(root, "T", "a\tb"));
}

TEST(XmlSaveDoc, FailedSaveLeavesTheOldFileAndNoLeftovers) {
    testsupport::TempDir dir;
    auto target = dir / "keep.xml";
    testsupport::writeFileBytes(target, "old");
    {
        TXmlSaveDoc doc("1.0", "Shift_JIS", "");
        doc.CreateRoot("R", "");
        // A folder that does not exist: nothing can be created beside it.
        EXPECT_THROW(doc.SaveToFile((dir / "missing" / "x.xml").string()), EXmlSaveError);
    }
    {
        // The target is a folder: the rename fails after the data was written.
        std::filesystem::create_directory(dir / "adir");
        std::filesystem::create_directory(dir / "adir" / "sub");
        TXmlSaveDoc doc("1.0", "Shift_JIS", "");
        doc.CreateRoot("R", "");
        EXPECT_THROW(doc.SaveToFile((dir / "adir").string()), EXmlSaveError);
    }
    EXPECT_EQ(readFileBytes(target), "old");
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2); // keep.xml and adir only
}

TEST(XmlSaveDoc, ReplacingKeepsTheLinkAndThePermissions) {
    namespace fs = std::filesystem;
    testsupport::TempDir dir;
    auto real = dir / "real.xml";
    testsupport::writeFileBytes(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, dir / "link.xml");
    TXmlSaveDoc doc("1.0", "Shift_JIS", "");
    doc.CreateRoot("R", "");
    doc.SaveToFile((dir / "link.xml").string());
    EXPECT_TRUE(fs::is_symlink(dir / "link.xml"));
    EXPECT_EQ(readFileBytes(real), "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<R/>\r\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(XmlSaveDoc, ClosedElementTakesNoMoreChildren) {
    TXmlSaveDoc doc("1.0", "Shift_JIS", "");
    doc.CreateRoot("R", "");
    auto a = doc.AddNode(TXmlSaveDoc::NoNode, "A");
    doc.AddNode(TXmlSaveDoc::NoNode, "B");
    EXPECT_THROW(doc.AddNode(a, "X"), std::logic_error);
    EXPECT_THROW(doc.AddNode(TXmlSaveDoc::NoNode, "1bad"), std::invalid_argument);
}

TEST(XmlSaveDoc, RollBackForgetsWhatCameAfterTheMark) {
    // Small (still buffered) and large (already in the spool file) tails.
    for (int rows : {3, 40000}) {
        testsupport::TempDir dir;
        TXmlSaveDoc doc("1.0", "Shift_JIS", "");
        auto root = doc.CreateRoot("REPORT", "");
        auto basic = doc.AddNode(root, "BASIC");
        doc.AddTextNode(basic, "NAME", "会社");
        auto mark = doc.MarkPosition();
        auto data = doc.AddNode(root, "DATA");
        for (int i = 0; i < rows; ++i)
            doc.AddTextNode(data, "ROW", "減価償却資産の行 " + std::to_string(i));
        doc.RollBack(mark);
        // BASIC is open again, as it was at the mark.
        doc.AddTextNode(basic, "MORE", "x");
        doc.AddNode(root, "DATA");
        EXPECT_EQ(saved(doc, dir), platform::toCp932("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
                                                     "<REPORT><BASIC><NAME>会社</NAME><MORE>x</MORE></BASIC>"
                                                     "<DATA/></REPORT>\r\n"))
            << rows;
        EXPECT_THROW(doc.RollBack(mark), std::logic_error); // saved
    }
}
