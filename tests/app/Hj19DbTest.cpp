// The whole conversion against real embedded data databases.
#include "app/ComRendo.h"
#include "app/XMLSaveDoc.h"
#include "app/hj19.h"

#include "accdb/Gengo.h"
#include "db/Attachment.h"
#include "db/Transaction.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"
#include "support/FbFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using testsupport::FbFixture;

namespace {

struct Asset {
    int rec;
    const char* kanri;
    int method;
    const char* meisyou;
    std::optional<std::string> syutodate;
    testsupport::FbColumns extra;
};

class ExportDb : public ::testing::Test {
protected:
    void SetUp() override {
        InitGengoTable();
        path_ = fb_.makeDataSet("0001");
        FbFixture::exec(path_, "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES ('1401', '建物附属設備工');\n"
                               "UPDATE OR INSERT INTO HOJOMST (KCODE, HCODE) VALUES ('1401', ' ') MATCHING (KCODE, HCODE);\n"
                               "INSERT INTO KAMOKUMST (KCODE, KNAME) VALUES ('1402', '機械&装置<旧>');\n"
                               "UPDATE OR INSERT INTO HOJOMST (KCODE, HCODE) VALUES ('1402', ' ') MATCHING (KCODE, HCODE);\n");
    }

    void add(const Asset& a) {
        testsupport::FbColumns cols = {{"REC", std::to_string(a.rec)}, {"SCODE", " "}, {"KANRI", a.kanri},
                                       {"KCODE", a.method == 2 ? "1402" : "1401"}, {"HCODE", " "},
                                       {"MEISYOU", a.meisyou}, {"GSHOUHOU", std::to_string(a.method)},
                                       {"SYUTODATE", a.syutodate},
                                       // no payment or receipt account
                                       {"SIHAKCODE", std::nullopt}, {"SIHAHCODE", std::nullopt},
                                       {"SYUNYUKCODE", std::nullopt}, {"SYUNYUHCODE", std::nullopt}};
        cols.insert(cols.end(), a.extra.begin(), a.extra.end());
        FbFixture::insertRow(path_, "KS_SISAN", cols);
    }

    // Runs the export as the wizard does; the file only when it succeeds.
    // Returns the error code, 0 on success.
    int exportTo(const std::string& file, int sdaiHasuu1 = 1) {
        db::Attachment att(testsupport::fbParams(path_));
        db::Transaction tx(att, db::TxKind::Concurrency);
        DbSisanReader reader(tx, hj19::MakeContext(datecore::encodeDate(2023, 4, 1), datecore::encodeDate(2024, 3, 31),
                                                   datecore::encodeDate(2023, 4, 1), 99, sdaiHasuu1));
        TComDataExportEnv env;
        env.ExePath = (fb_.dir() / "zrrendo").string();
        env.CommonAppDataDir = fb_.dir().str();
        env.StartedByCaller = true;
        THojinZeiGenkaDataExport ex(env, 0, file);
        ex.setReader(&reader);
        try {
            TXmlSaveDoc doc("1.0", "Shift_JIS", "");
            ex.SetHeaderNode(doc);
            ex.SetBasicNode(doc);
            ex.Export(doc);
            doc.SaveToFile(ex.ExportFile);
        } catch (const EDataExportError& e) {
            EXPECT_FALSE(tx.active());
            return e.Code;
        }
        EXPECT_FALSE(tx.active());
        return 0;
    }

    std::string file() const { return (fb_.dir() / "out.xml").string(); }

    FbFixture fb_;
    std::string path_;
};

// The text of a cell of row `line` of a row element.
std::string cellOf(const std::string& xml, const std::string& rowTag, int line, const std::string& suffix) {
    std::string open = "<" + rowTag + " line=\"" + std::to_string(line) + "\">";
    auto rowAt = xml.find(open);
    if (rowAt == std::string::npos)
        return "<no row>";
    auto rowEnd = xml.find("</" + rowTag + ">", rowAt);
    std::string tag = rowTag + "_" + suffix;
    auto at = xml.find("<" + tag + ">", rowAt);
    if (at == std::string::npos || at > rowEnd)
        return "<no cell>";
    at += tag.size() + 2;
    return xml.substr(at, xml.find("</" + tag + ">", at) - at);
}

} // namespace

TEST_F(ExportDb, EveryListWithItsCellsInOrder) {
    // List 1: two case A assets under one management number (REC order), a case B one before them.
    add({3, "A000", 1, "空調設備B", "2019-05-01",
         {{"TAIYOUYY", "15"}, {"SYOUKIKANSTR", "1"}, {"SYOUKIKANEND", "12"}, {"SYUTOKIN", "1000000"},
          {"KISOKIN", "800000"}, {"SYOURITU", "0.067"}, {"FUTUSYOUKIN", "53600"}, {"SYOUKINKEI", "53600"},
          {"MATUMISYOUKIN", "746400"}}});
    add({2, "A001", 1, "空調設備A外", "2007-03-01",
         {{"TAIYOUYY", "15"}, {"SYUTOKIN", "1000000"}, {"SYOURITU", "0.142"}, {"FUTUSYOUKIN", "20000"},
          {"SYOUKINKEI", "20000"}, {"MATUMISYOUKIN", "100000"}}});
    add({1, "A001", 1, "空調設備A内", "2007-03-01",
         {{"TAIYOUYY", "15"}, {"SYUTOKIN", "1000000"}, {"SYOUKINKEI", "10000"}, {"MATUMISYOUKIN", "30000"}}});
    // List 2: 200% with the switch, 250% without.
    add({10, "B001", 2, "旋盤", "2012-05-01",
         {{"TAIYOUYY", "10"}, {"SYUTOKIN", "1000000"}, {"KISOKIN", "300000"}, {"SYOURITU", "0.2"},
          {"FUTUSYOUKIN", "65536"}, {"SYOUKINKEI", "65536"}, {"KAITEISYUTOKUKAGAKU", "262144"}}});
    add({11, "B002", 2, "フライス盤", "2010-05-01",
         {{"TAIYOUYY", "10"}, {"SYUTOKIN", "1000000"}, {"KISOKIN", "300000"}, {"SYOURITU", "0.25"},
          {"SYOUKINKEI", "75000"}}});
    // List 3 (method 6), list 4 (method 3).
    add({30, "C001", 6, "複合機", "2023-10-01",
         {{"TAIYOUYY", "5"}, {"SYOUKIKANSTR", "7"}, {"SYOUKIKANEND", "12"}, {"SYUTOKIN", "600000"},
          {"ZANKAHOSYOUGAKU", "100000"}, {"FUTUSYOUKIN", "50000"}}});
    add({40, "D001", 3, "繰延資産", "2021-04-01",
         {{"TAIYOUYY", "5"}, {"SYOUKIKANSTR", "1"}, {"SYOUKIKANEND", "12"}, {"KISOKIN", "180000"},
          {"SYOUKINKEI", "36000"}}});
    // List 5: only the fiscal year's acquisitions.
    add({50, "E001", 5, "パソコン一式及び周辺機器", "2023-04-01", {{"SYUTOKIN", "250000"}}});
    add({51, "E002", 5, "前期のパソコン", "2023-03-31", {{"SYUTOKIN", "250000"}}});
    add({52, "E003", 5, "期末のパソコン", "2024-03-31", {{"SYUTOKIN", "150000"}}});
    // List 6 (method 4): no date needed; NULL amounts read as 0.
    add({60, "F001", 4, "一括償却資産1", std::nullopt, {{"KISOKIN", "300"}, {"SYOUKINKEI", "100"}}});
    add({61, "F002", 4, "一括償却資産2", std::nullopt, {{"KISOKIN", "600"}, {"SYOUKINKEI", "200"}}});
    add({62, "F003", 4, "一括償却資産3", std::nullopt, {{"KISOKIN", std::nullopt}}});
    // A method outside 1..6 is in no list.
    add({70, "G001", 7, "対象外資産", "2020-01-01", {{"SYUTOKIN", "1"}}});

    ASSERT_EQ(exportTo(file()), 0);
    std::string bytes = testsupport::readFileBytes(file());
    std::string xml = platform::fromCp932(bytes); // decodes as CP932
    EXPECT_EQ(std::system(("xmllint --noout '" + file() + "'").c_str()), 0);

    struct Cell { const char* row; int line; const char* suffix; const char* text; };
    const Cell cells[] = {
        {"TEIGAKU_MEISAI_19", 1, "0300", "空調設備B       "},
        {"TEIGAKU_MEISAI_19", 1, "0100", "建物附属設備工  "},
        {"TEIGAKU_MEISAI_19", 1, "0410", "令和"},
        {"TEIGAKU_MEISAI_19", 1, "0550", "12"},
        {"TEIGAKU_MEISAI_19", 1, "1700", ""},
        {"TEIGAKU_MEISAI_19", 1, "2500", "800000"},
        {"TEIGAKU_MEISAI_19", 1, "2600", "0.067"},
        {"TEIGAKU_MEISAI_19", 1, "2900", "53600"},
        {"TEIGAKU_MEISAI_19", 2, "0300", "空調設備A内     "},
        {"TEIGAKU_MEISAI_19", 2, "0420", "19"},
        {"TEIGAKU_MEISAI_19", 2, "1800", "50000"},
        {"TEIGAKU_MEISAI_19", 2, "1900", ""},
        {"TEIGAKU_MEISAI_19", 2, "2400", "10000"},
        {"TEIGAKU_MEISAI_19", 2, "0540", "1"},
        {"TEIGAKU_MEISAI_19", 3, "0300", "空調設備A外     "},
        {"TEIGAKU_MEISAI_19", 3, "1900", "900000"},
        {"TEIGAKU_MEISAI_19", 3, "2000", "0.142"},
        {"TEIGAKU_MEISAI_19", 3, "2310", "(21)+(22)"},
        {"TEIGAKU_MEISAI_19", 3, "2320", "20000"},
        {"TEIGAKU_MEISAI_19", 3, "2400", ""},
        {"TEIRITU_MEISAI_19", 1, "0100", "機械&amp;装置&lt;旧&gt;   "},
        {"TEIRITU_MEISAI_19", 1, "0450", "0"},
        {"TEIRITU_MEISAI_19", 1, "2700", "0.06552"},
        {"TEIRITU_MEISAI_19", 1, "2800", "65520"},
        {"TEIRITU_MEISAI_19", 1, "2900", "262144"},
        {"TEIRITU_MEISAI_19", 1, "3000", "0.250"},
        {"TEIRITU_MEISAI_19", 1, "3100", "65536"},
        {"TEIRITU_MEISAI_19", 2, "2700", "0.04448"},
        {"TEIRITU_MEISAI_19", 2, "2600", "75000"},
        {"TEIRITU_MEISAI_19", 2, "2900", ""},
        {"LEASE_MEISAI", 1, "1900", "500000"},
        {"LEASE_MEISAI", 1, "2500", "6"},
        {"KINTOUSHOUKYAKU_MEISAI", 1, "0400", "60"},
        {"KINTOUSHOUKYAKU_MEISAI", 1, "0600", "36000"},
        {"SHOUGAKU_MEISAI", 1, "0310", "パソコン一式及び"},
        {"SHOUGAKU_MEISAI", 1, "0320", "周辺機器"},
        {"SHOUGAKU_MEISAI", 2, "0310", "期末のパソコン"},
        {"SHOUGAKU_MEISAI", 2, "0700", "150000"},
        {"IKKATU_MEISAI", 1, "0200", "300"},
        {"IKKATU_MEISAI", 3, "0200", ""},
        {"IKKATU_MEISAI", 3, "0300", "1"},
    };
    for (const auto& c : cells)
        EXPECT_EQ(cellOf(xml, c.row, c.line, c.suffix), c.text) << c.row << " " << c.line << " " << c.suffix;
    EXPECT_EQ(cellOf(xml, "SHOUGAKU_MEISAI", 3, "0310"), "<no row>");
    EXPECT_EQ(xml.find("前期のパソコン"), std::string::npos);
    EXPECT_EQ(xml.find("対象外"), std::string::npos);
    EXPECT_NE(xml.find("<IKKATU_TOUKI><IKKATU_TOUKI_0200>900</IKKATU_TOUKI_0200><IKKATU_TOUKI_0300>12</IKKATU_TOUKI_0300>"
                       "<IKKATU_TOUKI_0400>300</IKKATU_TOUKI_0400><IKKATU_TOUKI_0500>300</IKKATU_TOUKI_0500>"
                       "<IKKATU_TOUKI_0600></IKKATU_TOUKI_0600>"),
              std::string::npos);
    // Sections in file order.
    std::size_t last = 0;
    for (const char* s : {"<SYSTEM>", "<BASIC>", "<DATA>", "<HJK160119>", "<HJK160219>", "<HJK160419>", "<LEASE_OTHER>",
                          "<HJK160619>", "<HJK160719>", "<HJK160819>", "<IKKATU_TOUKI>"}) {
        auto at = xml.find(s);
        ASSERT_NE(at, std::string::npos) << s;
        EXPECT_GT(at, last) << s;
        last = at;
    }
}

TEST_F(ExportDb, List6TotalsByTheLedgerRounding) {
    add({60, "F001", 4, "一括1", std::nullopt, {{"KISOKIN", "500"}}});
    add({61, "F002", 4, "一括2", std::nullopt, {{"KISOKIN", "501"}}});
    struct Case { int mode; const char* third; };
    for (auto c : {Case{0, "333"}, Case{1, "334"}, Case{2, "334"}}) {
        ASSERT_EQ(exportTo(file(), c.mode), 0);
        std::string xml = platform::fromCp932(testsupport::readFileBytes(file()));
        EXPECT_NE(xml.find(std::string("<IKKATU_TOUKI_0400>") + c.third + "</IKKATU_TOUKI_0400>"), std::string::npos)
            << c.mode;
    }
}

TEST_F(ExportDb, ColumnsAnOlderDataSetLacksReadAsZero) {
    FbFixture::exec(path_, "ALTER TABLE KS_SISAN DROP TEIRITU250;\nALTER TABLE KS_SISAN DROP TEIRITU200;\n"
                           "ALTER TABLE KS_SISAN DROP SYUTOKUKAGAKUCHOSEI;\n");
    add({10, "B001", 2, "旋盤", "2012-05-01", {{"TAIYOUYY", "10"}, {"SYUTOKIN", "1000000"}}});
    ASSERT_EQ(exportTo(file()), 0);
    std::string xml = platform::fromCp932(testsupport::readFileBytes(file()));
    EXPECT_EQ(cellOf(xml, "TEIRITU_MEISAI_19", 1, "0450"), "0");
    EXPECT_EQ(cellOf(xml, "TEIRITU_MEISAI_19", 1, "0910"), "");
    EXPECT_EQ(cellOf(xml, "TEIRITU_MEISAI_19", 1, "2700"), "0.06552");
}

TEST_F(ExportDb, NoAssetsOrAnUndatedAssetMakeNoFile) {
    platform::ScriptedPrompt prompt;
    EXPECT_EQ(exportTo(file()), 16);
    EXPECT_TRUE(prompt.messages.empty());
    for (int method : {1, 2, 3, 5, 6}) {
        FbFixture::exec(path_, "DELETE FROM KS_SISAN;\n");
        add({1, "A", method, "日付なし", std::nullopt, {{"SYUTOKIN", "1"}}});
        if (method == 5) // list 5 selects by date, so the undated asset is not even read
            continue;
        EXPECT_EQ(exportTo(file()), 7) << method;
        ASSERT_FALSE(prompt.messages.empty());
        EXPECT_EQ(prompt.messages.back().text(), "例外エラー\r取得年月が設定されていません。");
    }
    EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(ExportDb, WindowsCharactersKeepTheirBytes) {
    // NEC specials, an IBM extension and half-width kana, as company
    // ledgers hold them; the file carries their CP932 bytes unchanged.
    add({1, "A001", 1, "①髙ｼｽﾃﾑ㈱", "2020-04-01", {{"TAIYOUYY", "10"}, {"SYUTOKIN", "100000"}}});
    ASSERT_EQ(exportTo(file()), 0);
    const std::string bytes = testsupport::readFileBytes(file());
    EXPECT_NE(bytes.find(platform::toCp932("①髙ｼｽﾃﾑ㈱")), std::string::npos);
    for (const char* raw : {"\x87\x40", "\xBC\xBD\xC3\xD1\x87\x8A"}) // ① and ｼｽﾃﾑ㈱
        EXPECT_NE(bytes.find(raw), std::string::npos);
    // Strict Shift_JIS readers know none of these; as the CP932 it is, the
    // file is well-formed.
    std::string copy = bytes;
    copy.replace(copy.find("Shift_JIS"), 9, "CP932");
    const auto cp932File = fb_.dir() / "cp932.xml";
    testsupport::writeFileBytes(cp932File, copy);
    EXPECT_EQ(std::system(("xmllint --noout '" + cp932File.string() + "'").c_str()), 0);
}
