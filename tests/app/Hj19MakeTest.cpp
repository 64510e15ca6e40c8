#include "app/ComRendo.h"
#include "app/XMLSaveDoc.h"
#include "app/hj19.h"

#include "accdb/Gengo.h"
#include "db/FbError.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using namespace hj19;
using namespace std::chrono;

namespace {

Date ymd(int y, unsigned m, unsigned d) { return Date{year{y}, month{m}, day{d}}; }

// Serves rows by the method named in the statement's condition line.
class FakeReader : public SisanReader {
public:
    std::map<int, std::vector<SisanRow>> byMethod;
    std::vector<std::vector<std::string>> statements;
    std::optional<std::pair<Date, Date>> lastKikan;
    bool inTx = false;
    int starts = 0, commits = 0;
    int failOnMethod = 0;

    bool InTransaction() override { return inTx; }
    void StartTransaction() override { inTx = true; ++starts; }
    void Commit() override { inTx = false; ++commits; }
    void Select(const std::vector<std::string>& lines, const std::optional<std::pair<Date, Date>>& kikan,
                const std::function<void(const SisanRow&)>& onRow) override {
        EXPECT_TRUE(inTx);
        statements.push_back(lines);
        std::string cond = lines.at(2);
        int method = cond[cond.find('=') + 1] - '0';
        if (kikan)
            lastKikan = kikan;
        if (method == failOnMethod)
            throw db::FbError("connection lost", 335544721, -902);
        for (const auto& r : byMethod[method])
            onRow(r);
    }
    Context Settings() override {
        InitGengoTable();
        Context c;
        c.KISHU = ymd(2023, 4, 1);
        c.KIMATU = ymd(2024, 3, 31);
        c.periodMonths = 11;
        c.SDAI_HASUU1 = 2;
        c.toWareki = WarekiOf;
        return c;
    }
};

SisanRow asset(int rec, const char* name, Money kisokin, bool dated = true) {
    SisanRow r;
    r.REC = rec;
    r.KNAME = "器具備品";
    r.MEISYOU = name;
    if (dated)
        r.SYUTODATE = ymd(2020, 6, 1);
    r.TAIYOUYY = 4;
    r.SYUTOKIN = kisokin;
    r.KISOKIN = kisokin;
    return r;
}

std::string makeDoc(FakeReader& reader, int& result) {
    testsupport::TempDir dir;
    TXmlSaveDoc doc("1.0", "Shift_JIS", "");
    doc.CreateRoot("REPORT", "");
    THojinZeiGenka19DataMake maker(reader);
    result = maker.Make(doc);
    doc.SaveToFile((dir / "x.xml").string());
    return platform::fromCp932(testsupport::readFileBytes(dir / "x.xml"));
}

std::size_t count(const std::string& s, const std::string& what) {
    std::size_t n = 0;
    for (auto p = s.find(what); p != std::string::npos; p = s.find(what, p + 1))
        ++n;
    return n;
}

} // namespace

TEST(Hj19Make, SectionsInFileOrderRowsNumberedPerList) {
    platform::ScriptedPrompt prompt;
    FakeReader reader;
    for (int m = 1; m <= 6; ++m)
        reader.byMethod[m] = {asset(m * 10 + 1, "一", 3000000), asset(m * 10 + 2, "二", 6000000)};
    reader.byMethod[7] = {asset(99, "対象外", 1)};
    int result = 0;
    std::string xml = makeDoc(reader, result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(reader.starts, 1);
    EXPECT_EQ(reader.commits, 1);

    // Read in file order, one snapshot: methods 1, 2, 6, 3, 5, 4; list 5
    // with the fiscal year.
    std::vector<std::string> conds;
    for (auto& s : reader.statements)
        conds.push_back(s.at(2));
    EXPECT_EQ(conds, (std::vector<std::string>{"WHERE KS.GSHOUHOU=1", "WHERE KS.GSHOUHOU=2", "WHERE KS.GSHOUHOU=6",
                                               "WHERE KS.GSHOUHOU=3", "WHERE (KS.GSHOUHOU=5)", "WHERE KS.GSHOUHOU=4"}));
    ASSERT_TRUE(reader.lastKikan);
    EXPECT_EQ(reader.lastKikan->first, ymd(2023, 4, 1));
    EXPECT_EQ(reader.lastKikan->second, ymd(2024, 3, 31));

    // File order: lists 1, 2, 3 (method 6), 4 (3), 5, 6 (4).
    std::vector<std::size_t> at;
    for (const char* s : {"<HJK160119>", "<HJK160219>", "<HJK160419>", "<HJK160619>", "<HJK160719>", "<HJK160819>"})
        at.push_back(xml.find(s));
    for (std::size_t i = 0; i < at.size(); ++i) {
        ASSERT_NE(at[i], std::string::npos) << i;
        if (i) {
            EXPECT_LT(at[i - 1], at[i]);
        }
    }
    EXPECT_EQ(count(xml, "<TEIGAKU_MEISAI_19 line=\"1\">"), 1u);
    EXPECT_EQ(count(xml, "<SHOUGAKU_MEISAI line=\"2\">"), 1u);
    EXPECT_EQ(count(xml, "<TEIGAKU_MEISAI_19_"), 2 * 61u);
    EXPECT_EQ(count(xml, "<TEIRITU_MEISAI_19_"), 2 * 69u);
    EXPECT_EQ(count(xml, "<LEASE_MEISAI_"), 2 * 60u);
    EXPECT_NE(xml.find("</LEASE_MEISAI><LEASE_OTHER><LEASE_BIKOU_UP></LEASE_BIKOU_UP><LEASE_BIKOU_DW></LEASE_BIKOU_DW>"
                       "</LEASE_OTHER></HJK160419>"),
              std::string::npos);
    EXPECT_NE(xml.find("<IKKATU_TOUKI><IKKATU_TOUKI_0200>900</IKKATU_TOUKI_0200><IKKATU_TOUKI_0300>12"
                       "</IKKATU_TOUKI_0300><IKKATU_TOUKI_0400>300</IKKATU_TOUKI_0400>"),
              std::string::npos);
    EXPECT_EQ(xml.find("対象外"), std::string::npos);
}

TEST(Hj19Make, NothingListedGivesEmptyDataAndResult3) {
    platform::ScriptedPrompt prompt;
    FakeReader reader;
    reader.inTx = true; // a caller's transaction is left to the caller
    int result = 0;
    std::string xml = makeDoc(reader, result);
    EXPECT_EQ(result, 3);
    EXPECT_NE(xml.find("<REPORT><DATA/></REPORT>"), std::string::npos);
    EXPECT_EQ(reader.starts, 0);
    EXPECT_EQ(reader.commits, 0);
}

TEST(Hj19Make, ReadingFailuresShowTheirBoxAndWriteNothing) {
    struct Case { int failMethod; int undatedMethod; const char* text; };
    for (auto c : {Case{0, 2, "例外エラー\r取得年月が設定されていません。"},
                   Case{0, 5, "例外エラー\r取得年月が設定されていません。"},
                   Case{3, 0, "ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\rconnection lost"}}) {
        platform::ScriptedPrompt prompt;
        FakeReader reader;
        reader.byMethod[1] = {asset(1, "一", 10000)};
        reader.failOnMethod = c.failMethod;
        if (c.undatedMethod)
            reader.byMethod[c.undatedMethod] = {asset(2, "日付なし", 10000, false)};
        int result = 0;
        std::string xml = makeDoc(reader, result);
        EXPECT_EQ(result, 16);
        EXPECT_EQ(xml.find("<DATA"), std::string::npos);
        EXPECT_EQ(reader.commits, 1);
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].text(), c.text);
        EXPECT_EQ(prompt.messages[0].buttons, platform::mbOK);
        EXPECT_EQ(prompt.messages[0].kind, platform::pkError);
    }
    // List 6 reads no date.
    platform::ScriptedPrompt prompt;
    FakeReader reader;
    reader.byMethod[4] = {asset(2, "日付なし", 10000, false)};
    int result = 0;
    makeDoc(reader, result);
    EXPECT_EQ(result, 1);
}

TEST(Hj19Make, ExportMapsResultsToErrorCodes) {
    struct Case { int result; int code; const char* message; };
    for (auto c : {Case{3, 16, "対象の減価償却資産が登録されていません。"}, Case{5, 1, "科目の集計処理に失敗しました。"},
                   Case{6, 2, "決算書項目で空の印刷名称が存在します。"}, Case{16, 7, "減価償却資産の取得に失敗しました。"}}) {
        try {
            THojinZeiGenkaDataExport::CheckMakeResult(c.result);
            ADD_FAILURE() << c.result;
        } catch (const EDataExportError& e) {
            EXPECT_EQ(e.Code, c.code);
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.Detail, "");
        }
    }
    EXPECT_NO_THROW(THojinZeiGenkaDataExport::CheckMakeResult(1));
}

TEST(Hj19Make, WholeFileValidatesAndKeepsMarkupInNames) {
    platform::ScriptedPrompt prompt;
    FakeReader reader;
    SisanRow r = asset(1, "A&B<C>\"D\"'E'12345678", 3000000);
    r.KNAME = "機械&装置";
    reader.byMethod[1] = {r};
    reader.byMethod[5] = {r};
    testsupport::TempDir dir;
    TComDataExportEnv env;
    env.ExePath = (dir / "zrrendo").string();
    env.CommonAppDataDir = dir.str();
    env.StartedByCaller = true;
    auto file = (dir / "out.xml").string();
    {
        THojinZeiGenkaDataExport ex(env, 0, file);
        ex.setReader(&reader);
        TXmlSaveDoc doc("1.0", "Shift_JIS", "");
        ex.SetHeaderNode(doc);
        ex.SetBasicNode(doc);
        ex.Export(doc);
        doc.SaveToFile(ex.ExportFile);
    }
    std::string bytes = testsupport::readFileBytes(file);
    std::string xml = platform::fromCp932(bytes);
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT><SYSTEM>", 0), 0u);
    EXPECT_NE(xml.find("<TEIGAKU_MEISAI_19_0100>機械&amp;装置       </TEIGAKU_MEISAI_19_0100>"), std::string::npos);
    EXPECT_NE(xml.find("<TEIGAKU_MEISAI_19_0300>A&amp;B&lt;C&gt;&quot;D&quot;&apos;E&apos;1234</TEIGAKU_MEISAI_19_0300>"),
              std::string::npos);
    EXPECT_NE(xml.find("<SHOUGAKU_MEISAI_0310>A&amp;B&lt;C&gt;&quot;D&quot;&apos;E&apos;1234</SHOUGAKU_MEISAI_0310>"
                       "<SHOUGAKU_MEISAI_0320>5678</SHOUGAKU_MEISAI_0320>"),
              std::string::npos);
    EXPECT_EQ(std::system(("xmllint --noout '" + file + "'").c_str()), 0);
    // The parser's own view of the text: the names come back unescaped.
    std::string out = (dir / "names.txt").string();
    ASSERT_EQ(std::system(("xmllint --xpath 'string(//TEIGAKU_MEISAI_19_0300)' --encode UTF-8 '" + file + "' > '" +
                           out + "'")
                              .c_str()),
              0);
    EXPECT_EQ(testsupport::readFileBytes(out), "A&B<C>\"D\"'E'1234\n");
}
