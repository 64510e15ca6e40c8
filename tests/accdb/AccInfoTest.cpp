#include "DataModuleSupport.h"

#include "accdb/AccReg.h"
#include "accdb/DateCore.h"
#include "accdb/EasyCode.h"
#include "accdb/ZeiCode.h"
#include "app/ComRendo.h"
#include "app/ExportAccInf.h"

using testsupport::FbFixture;

namespace {

std::string allText(const platform::PromptMessage& m) {
    std::string t = m.text();
    for (const auto& d : m.details) t += "\n" + d;
    return t;
}

std::string encodedPassword(const std::string& plain) {
    TEasyEncodeInfo info;
    info.TotalLength = kDataPasswordLength;
    info.PlainLength = kDataPasswordLength;
    info.Key = kDataPasswordKey;
    info.PlainText = plain;
    EasyEncode(info);
    return info.EncodedText;
}

class AccInfoTest : public DataModuleTest {
protected:
    void TearDown() override {
        // The reader hands its tax settings to the tax calculations.
        ZeiSettings = TZeiSettings{};
        ZeiRituList.clear();
        ZeiRituUseList.clear();
        DataModuleTest::TearDown();
    }
    // A data set with its ACCDEF1 row (given columns) and the system
    // accounts; connected in the data module.
    void open(const std::string& accdef1Columns, const std::string& accdef1Values, const std::string& extra = "") {
        dbPath = fb.makeDataSet("data");
        FbFixture::exec(dbPath, "INSERT INTO KAMOKUMST (KCODE, KNAME, USERCODE) VALUES ('1111', '現金', '100');\n"
                                "INSERT INTO KAMOKUMST (KCODE, KNAME, USERCODE) VALUES ('1190', '仮払消費税', '190');\n"
                                "INSERT INTO KAMOKUMST (KCODE, KNAME, USERCODE) VALUES ('2190', '仮受消費税', '290');\n"
                                "INSERT INTO KAMOKUMST (KCODE, KNAME, USERCODE) VALUES ('9999', '諸口', '999');\n"
                                "INSERT INTO KAMOKUMST (KCODE, KNAME, USERCODE) VALUES ('1160', '受取手形', '160');\n"
                                "INSERT INTO KAMOKUMST (KCODE, KNAME, USERCODE) VALUES ('9000', '不明', '900');\n"
                                "DELETE FROM ACCDEF2;\n"
                                "INSERT INTO ACCDEF2 (KCODE, KNAME) VALUES ('1111', '現金');\n"
                                "INSERT INTO ACCDEF2 (KCODE, KNAME) VALUES ('1190', '仮払消費税');\n"
                                "INSERT INTO ACCDEF2 (KCODE, KNAME) VALUES ('2190', '仮受消費税');\n"
                                "INSERT INTO ACCDEF2 (KCODE, KNAME) VALUES ('9999', '諸口');\n"
                                "INSERT INTO ACCDEF2 (KCODE, KNAME) VALUES ('1160', '受取手形');\n" +
                                    extra);
        if (!accdef1Columns.empty())
            FbFixture::exec(dbPath, "INSERT INTO ACCDEF1 (REC, " + accdef1Columns + ") VALUES (1, " + accdef1Values +
                                        ");");
        ASSERT_TRUE(DM->fnAccDatConnected("", fb.path("data").string(), 0));
    }
    std::string dbPath;
};

} // namespace

TEST_F(AccInfoTest, ReadsTheBasicSettings) {
    open("SHOUGOU, NENDO, KISHU, KIMATU, KAISI, SIME, KAISINO, DATATYPE, CODETYPE, SDAI_HASUU1, TAXKANNI, "
         "TAXU_HASUU, FUMEI_KCODE, BUMON, OLD_TAX_RATE1, KURIKOSI1, TAXDEFUH, PASWORD",
         "'株式会社テスト', 12, '2023-04-01', '2024-03-31', '2023-07-01', 99, 4, 1, 1, 2, 1, 2, '9000', 1, "
         "8.5, 3, 1, 'old'",
         "INSERT INTO BUMONMST (BCODE, BNAME) VALUES ('01', '営業');\n"
         "INSERT INTO BUMONMST (BCODE, BNAME) VALUES ('02', '製造');\n"
         "INSERT INTO ACCREG (AGROUP, ACODE, ATYPE, ATEXT) VALUES ('基本設定', '一括税抜処理', '整数', '1');\n"
         "INSERT INTO ACCREG (AGROUP, ACODE, ATYPE, ATEXT) VALUES ('基本設定', '使用税率5%', '論理', 'TRUE');\n"
         "INSERT INTO ACCREG (AGROUP, ACODE, ATYPE, ATEXT) VALUES ('基本設定', 'データパスワードV2', '文字', ' " +
             encodedPassword("pass1234") + " ');\n");
    ASSERT_TRUE(DM->fnGetAccInfo()) << (prompt.messages.empty() ? "" : allText(prompt.messages[0]));
    EXPECT_TRUE(prompt.messages.empty());
    const TACCINF& a = AccInf;
    EXPECT_EQ(a.SHOUGOU, "株式会社テスト");
    EXPECT_EQ(a.NENDO, 12);
    EXPECT_EQ(a.DataTypeName, "法人");
    EXPECT_EQ(a.CodeTypeName, "");
    EXPECT_EQ(a.PeriodMonths, 11);
    EXPECT_EQ(a.InputMonths, 3);
    EXPECT_EQ(a.OLD_TAX_RATE[0], 85000);
    EXPECT_EQ(a.TaxDefUH, (std::array<int, 3>{1, 3, 0}));
    EXPECT_EQ(a.BumonCount, 2);
    EXPECT_EQ(a.Iryou, 0);
    // Previous periods from KISHU when zKISHU and zzKISHU are not set.
    using datecore::encodeDate;
    EXPECT_EQ(a.KikanStart, (std::array<TDateTime, 3>{encodeDate(2023, 4, 1), encodeDate(2022, 4, 1),
                                                      encodeDate(2021, 4, 1)}));
    EXPECT_EQ(a.KikanEnd, (std::array<TDateTime, 3>{encodeDate(2024, 3, 31), encodeDate(2023, 3, 31),
                                                    encodeDate(2022, 3, 31)}));
    EXPECT_EQ(a.KikanKaisi[0], encodeDate(2023, 7, 1));
    // System accounts and the suspense account.
    EXPECT_EQ(a.SysKCode[0], "1111");
    EXPECT_EQ(a.SysUserCode[3], "999");
    EXPECT_EQ(a.SysKCode[4], "");
    EXPECT_EQ(a.TegataKCode[0], "1160");
    EXPECT_EQ(a.FumeiUserCode, "900");
    // Settings: the bulk tax-exclusive switch never stays on; the data
    // version 14 takes only the scrambled password.
    EXPECT_EQ(a.IkkatuZeinuki, 0);
    EXPECT_EQ(a.DataPassword, "pass1234");
    EXPECT_EQ(a.KobetuGenkaName, "個別原価");
    EXPECT_EQ(a.RatesInUse, (std::array<std::uint8_t, 5>{0, 1, 1, 1, 1}));
    EXPECT_EQ(a.VerMajor, 14);
    EXPECT_EQ(FbFixture::scalar(dbPath, "SELECT ATEXT FROM ACCREG WHERE ACODE='200%定率法で償却する経過措置'"), "0");
    // The tax calculations see the same settings.
    EXPECT_EQ(ZeiSettings.TAXKANNI, 1);
    EXPECT_EQ(ZeiSettings.TAXU_HASUU, 2);
    EXPECT_EQ(ZeiSettings.KaribaraiUserCode, "190");
    EXPECT_EQ(ZeiRituList.size(), 5u);
    EXPECT_FALSE(DM->IBTransactionDAT.active());

    // The exporter takes its period and company from the same record.
    const hj19::Context ctx = hj19::MakeContext(a);
    EXPECT_EQ(ctx.periodMonths, 11);
    EXPECT_EQ(ctx.inputMonths, 3);
    EXPECT_EQ(ctx.SDAI_HASUU1, 2);
    EXPECT_EQ(ctx.KIMATU, hj19::ToDate(encodeDate(2024, 3, 31)));
    TComDataExportEnv env;
    THojinZeiGenkaDataExport exporter(env, 0, "");
    TakeAccInf(exporter, a);
    EXPECT_EQ(exporter.KomonsakiName, "株式会社テスト");
    EXPECT_EQ(exporter.FiscalYearNo, 12);
    EXPECT_EQ(exporter.FiscalStart, encodeDate(2023, 4, 1));
    EXPECT_EQ(exporter.ClosingDay, 99);
}

TEST_F(AccInfoTest, PasswordByDataVersion) {
    struct Case {
        int major;
        std::string plain, v2, expected;
    } cases[] = {
        {6, " ｐｗ１ ", encodedPassword("pass1234"), "ｐｗ１"},   // plain key, trimmed
        {7, "plain", encodedPassword("pass1234"), "pass1234"},   // only the scrambled key counts
        {7, "plain", "", ""},                                    // nothing stored: no password
        {7, "plain", "@@@@", ""},                                // unreadable: no password
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.major);
        open("SHOUGOU", "'A'",
             "UPDATE ACCVERSION SET MAJOR=" + std::to_string(c.major) + " WHERE REC=1;\n"
             "INSERT INTO ACCREG (AGROUP, ACODE, ATYPE, ATEXT) VALUES ('基本設定', 'データパスワード', '文字', '" +
                 c.plain + "');\n"
                 "INSERT INTO ACCREG (AGROUP, ACODE, ATYPE, ATEXT) VALUES ('基本設定', 'データパスワードV2', '文字', '" +
                 c.v2 + "');\n");
        ASSERT_TRUE(DM->fnGetAccInfo());
        EXPECT_EQ(AccInf.DataPassword, c.expected);
        DM.reset();
        std::filesystem::remove_all(fb.path("data"));
        DM = std::make_unique<TDM>();
    }
}

TEST_F(AccInfoTest, FailuresAreReportedAsFailures) {
    struct Case {
        std::string columns, values, detail;
    } cases[] = {
        {"", "", "基本設定(ACCDEF1)のレコードが見つかりませんでした。"},
        {"DATATYPE, CODETYPE", "2, 5", "このプログラムでは、該当のコードタイプを処理することが出来ません。(CodeType=5)"},
        {"DATATYPE, CODETYPE", "1, 2", "このプログラムでは、該当のコードタイプを処理することが出来ません。(CodeType=2)"},
        {"DATATYPE, CODETYPE", "4, 1", "このプログラムでは、該当のデータタイプを処理することが出来ません。(DataType=4)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.detail);
        prompt.messages.clear();
        open(c.columns, c.values);
        EXPECT_FALSE(DM->fnGetAccInfo());
        ASSERT_EQ(prompt.messages.size(), 1u);
        const std::string text = allText(prompt.messages[0]);
        EXPECT_NE(text.find("基本情報の取得に失敗しました。"), std::string::npos);
        EXPECT_NE(text.find(c.detail), std::string::npos) << text;
        EXPECT_FALSE(DM->IBTransactionDAT.active());
        DM.reset();
        std::filesystem::remove_all(fb.path("data"));
        DM = std::make_unique<TDM>();
    }
}

TEST_F(AccInfoTest, OlderSchemaWithoutOptionalColumns) {
    open("SHOUGOU, TAXDEFUH", "'A', 2",
         "ALTER TABLE ACCDEF1 DROP READ_ONLY;\nALTER TABLE ACCDEF1 DROP CLOUD_LINE;\n"
         "ALTER TABLE ACCDEF1 DROP CLOUD_TIME;\nALTER TABLE ACCDEF1 DROP KESSAN_KIKAN;\n"
         "ALTER TABLE ACCDEF1 DROP KURIKOSI1;\nALTER TABLE ACCDEF1 DROP KURIKOSI2;\n"
         "ALTER TABLE ACCDEF1 DROP WEB_HOLDER;\nALTER TABLE ACCDEF1 DROP SDAI_HASUU3;\n");
    AccInf.KESSAN_KIKAN = 7;   // kept when the column is absent
    AccInf.READ_ONLY = 1;
    ASSERT_TRUE(DM->fnGetAccInfo()) << (prompt.messages.empty() ? "" : allText(prompt.messages[0]));
    EXPECT_EQ(AccInf.READ_ONLY, 0);
    EXPECT_EQ(AccInf.CLOUD_LINE, 0);
    EXPECT_EQ(AccInf.KESSAN_KIKAN, 7);
    EXPECT_EQ(AccInf.TaxDefUH, (std::array<int, 3>{2, 2, 2}));
    EXPECT_FALSE(DataReadOnlyFlag);
}
