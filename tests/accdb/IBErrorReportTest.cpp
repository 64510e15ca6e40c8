#include <gtest/gtest.h>

#include <filesystem>

#include "accdb/AccRecord.h"
#include "accdb/IBErrorReport.h"
#include "platform/AppEvents.h"
#include "platform/Prompt.h"
#include "platform/TextCodec.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testsupport::readFileBytes;

namespace {

class IBErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAccRecordGlobals();
        platform::clearTerminateRequest();
        SystemDef.LogDir = dir.str();
        SystemDef.PcName = "PC01";
        SystemDef.OpCode = 100001;
        SystemDef.HostName = "srv";
    }
    void TearDown() override {
        ResetAccRecordGlobals();
        IBErrorDbNameHook = nullptr;
        platform::clearTerminateRequest();
    }
    std::string log() const { return platform::fromCp932(readFileBytes(dir / "ErrFbAccess.log")); }
    std::string txt() const { return platform::fromCp932(readFileBytes(dir / "ErrFbAccess.txt")); }

    testsupport::TempDir dir;
    platform::ScriptedPrompt prompt;
};

const std::string kEnding =
    "\r\r[OK]ボタンを押すとアプリケーションの終了処理に入ります。（[OK]後、何回かメッセージが表示される場合があります）"
    "\rアプリケーションが終了しましたら再起動して下さい。\r";

} // namespace

TEST_F(IBErrorReportTest, LogsTwoLinesAndShowsDetailBox) {
    IBErrorDbNameHook = [] { return "srv:/data/tvacc.fdb"; };
    db::FbError e("lock conflict on no wait transaction", 335544345, -901);
    IBErrorReport(e, "TDM.GetSysIni", "設定の取得に失敗しました。", true);

    std::string l = log();
    auto firstEnd = l.find("\r\n");
    std::string line1 = l.substr(0, firstEnd);
    EXPECT_EQ(line1.substr(19), ",PC01,100001,AppVer=,DBName=srv:srv:/data/tvacc.fdb,DataVer=");
    EXPECT_EQ(l.substr(firstEnd + 2),
              "Error=TDM.GetSysIni [335544345] (-901) （NO WAIT トランザクションのロックが衝突しています）,"
              "lock conflict on no wait transaction\r\n");
    EXPECT_EQ(txt(), l);

    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].kind, platform::pkError);
    EXPECT_EQ(prompt.messages[0].text(),
              "設定の取得に失敗しました。\r\r[詳細情報]\rIBXエラーコード:335544345\r"
              "lock conflict on no wait transaction\r（NO WAIT トランザクションのロックが衝突しています）");
    EXPECT_FALSE(platform::terminateRequested());
    EXPECT_EQ(DbLostFlag, 0);
}

TEST_F(IBErrorReportTest, LogGrowsAndTextFileHoldsLastReport) {
    IBErrorReport(db::FbError("first", 335544336, -913), "A.B", "", true);
    IBErrorReport(db::FbError("second", 335544336, -913), "C.D", "", true);
    EXPECT_NE(log().find("Error=A.B"), std::string::npos);
    EXPECT_NE(log().find("Error=C.D"), std::string::npos);
    EXPECT_EQ(txt().find("Error=A.B"), std::string::npos);
    EXPECT_NE(txt().find("Error=C.D"), std::string::npos);
    EXPECT_TRUE(prompt.messages.empty()); // empty text: no box
}

TEST_F(IBErrorReportTest, UnknownCodeGivesBlankExplanation) {
    IBErrorReport(db::FbError("boom", 335544999, -902), "TDM.GetSysIni", "", true);
    EXPECT_NE(txt().find("Error=TDM.GetSysIni [335544999] (-902)  ,boom\r\n"), std::string::npos);
}

TEST_F(IBErrorReportTest, FatalCodesShowEndingTextAndTerminateOnce) {
    struct Case {
        int code;
        std::uint8_t connectKind;
        std::string expected;
    };
    const std::string network =
        "何らかの原因でネットワークが物理的に切断されている か Firebirdサービス(RDBMS)との通信が切断されました。";
    const std::string note = "\r※注意 共有サーバーのデータ利用時は自動保管されません。\r";
    const Case cases[] = {
        {335544333, 0, "（isc 内部のソフトウェア一貫性チェック）" + kEnding + note},
        {335544333, 1, "（isc 内部のソフトウェア一貫性チェック）" + kEnding},
        {335544721, 0, network + kEnding + note},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ResetAccRecordGlobals();
        SystemDef.LogDir = dir.str();
        platform::clearTerminateRequest();
        prompt.messages.clear();
        ConnectKind = c.connectKind;
        IBErrorReport(db::FbError("lost", c.code, -902), "TDM.X", "", false);
        ASSERT_EQ(prompt.messages.size(), 1u);
        // The box drops trailing empty lines.
        EXPECT_EQ(prompt.messages[0].text(), c.expected.substr(0, c.expected.find_last_not_of('\r') + 1));
        EXPECT_EQ(DbLostFlag, 1);
        EXPECT_TRUE(platform::terminateRequested());

        // Once lost, further reports neither log nor show anything.
        auto before = log();
        IBErrorReport(db::FbError("again", 335544345, -901), "TDM.Y", "again", true);
        EXPECT_EQ(log(), before);
        EXPECT_EQ(prompt.messages.size(), 1u);
    }
}

TEST_F(IBErrorReportTest, UnwritableLogStillShowsBoxAndTerminates) {
    SystemDef.LogDir = (dir / "missing" / "folder").string();
    IBErrorReport(db::FbError("lost", 335544721, -902), "TDM.X", "", true);
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_TRUE(platform::terminateRequested());
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(GetFbErrorTextTest, QuotedRowsAndSqlCodeRows) {
    struct Case {
        int code, sqlCode;
        const char* text;
    };
    const Case cases[] = {
        {335544333, -901, "（isc 内部のソフトウェア一貫性チェック）"},
        {335544665, -803, "（同じコードが登録されています。「PRIMARY KEY またはUNIQUE KEY 制約に違反」）"},
        {336330766, 0, "（データベースの上書きはできません。）"},
        {335544450, -901, " "},
        {335544721, -902, " "},
        {335544788, -901, "（操作を実行することができません。データベースのSYSDBAか所有者のどちらかでなければなりません。）"},
        {335544788, -902, " "},
        {336330817, -902, "（ディレクトリ名・データーベスに全角文字は使用できません。）"},
        {336330817, -901, " "},
    };
    for (const auto& c : cases) EXPECT_EQ(GetFbErrorText(c.code, c.sqlCode), c.text) << c.code;
}

TEST(ErrorMessageBoxTest, DetailAndCsvLines) {
    platform::ScriptedPrompt prompt;
    ErrorDetailMsg("", "", platform::pkError);
    EXPECT_TRUE(prompt.messages.empty());
    ErrorDetailMsg("main", "", platform::pkError);
    ErrorDetailMsg("", "why", platform::pkWarning);
    CsvLinesMsg("a,b//c,d", platform::pkError);
    CsvLinesMsg("", platform::pkError);
    ASSERT_EQ(prompt.messages.size(), 4u);
    EXPECT_EQ(prompt.messages[0].text(), "main");
    EXPECT_EQ(prompt.messages[1].lines.size(), 4u); // two empty lines, then the block
    EXPECT_EQ(prompt.messages[1].lines[2].text, "[詳細情報]");
    EXPECT_EQ(prompt.messages[1].kind, platform::pkWarning);
    EXPECT_EQ(prompt.messages[2].text(), "a\rb");
    EXPECT_EQ(prompt.messages[3].text(), "");
}

TEST(ErrorMessageBoxTest, CsvLinesKeepsEveryPartBeyondFiftyCommas) {
    platform::ScriptedPrompt prompt;
    std::string text;
    for (int i = 0; i < 60; ++i) text += std::to_string(i) + ",";
    text += "60";
    CsvLinesMsg(text, platform::pkError);
    ASSERT_EQ(prompt.messages.size(), 1u);
    const auto& lines = prompt.messages[0].lines;
    ASSERT_GE(lines.size(), 51u);
    EXPECT_EQ(lines[49].text, "49");
    EXPECT_EQ(lines[50].text, "50,51,52,53,54,55,56,57,58,59,60");
}

TEST(GetFbErrorTextTest, EveryTableCodeHasAParenthesisedCp932Text) {
    const std::pair<int, int> ranges[] = {
        {335544321, 335544378}, {335544380, 335544384}, {335544386, 335544386}, {335544388, 335544397},
        {335544403, 335544416}, {335544418, 335544421}, {335544424, 335544439}, {335544441, 335544447},
        {335544450, 335544467}, {335544469, 335544504}, {335544506, 335544701},
    };
    int rows = 0;
    for (auto [from, to] : ranges) {
        for (int code = from; code <= to; ++code, ++rows) {
            std::string text = GetFbErrorText(code, 0);
            if (code == 335544450) continue; // the one row whose text is a blank
            EXPECT_TRUE(text.starts_with("（") && text.ends_with("）")) << code << " " << text;
            EXPECT_TRUE(platform::isCp932Encodable(text)) << code;
        }
    }
    EXPECT_EQ(rows + 3, 368); // with 335544788, 336330766 and 336330817
    for (int gap : {335544379, 335544385, 335544387, 335544398, 335544417, 335544505, 335544702, 335544721})
        EXPECT_EQ(GetFbErrorText(gap, 0), " ") << gap;
}
