// Reading the open data set's basic settings into AccInf.
#include <cstdio>
#include <stdexcept>

#include "accdb/AccFunction.h"
#include "accdb/AccInf.h"
#include "accdb/AccRecord.h"
#include "accdb/AccReg.h"
#include "accdb/DataModule.h"
#include "accdb/EasyCode.h"
#include "accdb/Gengo.h"
#include "accdb/IBErrorReport.h"
#include "accdb/ZeiCode.h"

namespace {

const char* const kDataTypeError = "このプログラムでは、該当のデータタイプを処理することが出来ません。";
const char* const kCodeTypeError = "このプログラムでは、該当のコードタイプを処理することが出来ません。";
const char* const kReadText = "基本情報の取得に失敗しました。\r";
const char* const kKihon = "基本設定";

std::string withNumber(const char* text, const char* fmt, int value) {
    char buf[48];
    std::snprintf(buf, sizeof buf, fmt, value);
    return std::string(text) + buf;
}

// The operator's per-branch serial flag, once the operator settings carry it.
template <class S>
int sitenSerialOf(const S& s) {
    if constexpr (requires { s.SitenSerial; })
        return s.SitenSerial;
    else
        return 0;
}

int regInt(const std::string& group, const std::string& key, const std::string& def = "0") {
    return funcGetAccReg(group, key, "整数", def).asInt();
}
std::string regText(const std::string& group, const std::string& key, const std::string& def = "") {
    return funcGetAccReg(group, key, "文字", def).asText();
}
std::uint8_t regFlag(const std::string& key, const std::string& def) {
    return funcGetAccReg(kKihon, key, "論理", def).asBool() ? 1 : 0;
}

} // namespace

bool DataReadOnlyFlag = false;

void fnGetDataTypeName(int DataType, std::string& Name) {
    switch (DataType) {
    case 1: Name = "法人"; return;
    case 2: Name = "個人"; return;
    case 3: Name = "医療法人"; return;
    default: throw std::runtime_error(withNumber(kDataTypeError, "(DataType=%d)", DataType));
    }
}

void fnGetCodeTypeName(int DataType, int CodeType, std::string& Name, bool WithDataType) {
    std::string typeName;
    fnGetDataTypeName(DataType, typeName);
    std::string codeName;
    bool allowed = false;
    if (DataType == 2) {
        static const char* const kNames[] = {"一般", "不動産", "クリニック", "農業"};
        allowed = CodeType >= 1 && CodeType <= 4;
        if (allowed) codeName = kNames[CodeType - 1];
    } else {
        allowed = CodeType == 1;
    }
    if (!allowed) throw std::runtime_error(withNumber(kCodeTypeError, "(CodeType=%d)", CodeType));
    if (WithDataType)
        Name = codeName.empty() ? typeName : typeName + "／" + codeName;
    else
        Name = codeName;
}

bool TDM::fnGetAccInfo() {
    TACCINF& a = AccInf;
    try {
        if (!IBTransactionDAT.active()) IBTransactionDAT.start();
        auto q = IBQACC1("SELECT * FROM ACCDEF1");
        q->execute();
        if (!q->fetch()) throw std::runtime_error("基本設定(ACCDEF1)のレコードが見つかりませんでした。");

        // Columns that older schemas lack are taken only when present.
        auto has = [&](const char* c) { return q->findColumn(c) >= 0; };
        auto s = [&](const char* c) { return q->asString(c); };
        auto i = [&](const char* c) { return q->asInt(c); };
        auto m = [&](const char* c) { return q->asMoney(c); };
        auto d = [&](const char* c) -> TDateTime {
            return q->isNull(c) ? 0.0 : q->asDateTime(c).toSerial();
        };
        a.GROUPID = i("GROUPID");
        a.ENTTEXT = s("ENTTEXT");
        a.SERIAL = s("SERIAL");
        a.TANTOU = i("TANTOU");
        a.GYOUSHU = i("GYOUSHU");
        a.DATATYPE = i("DATATYPE");
        a.CODETYPE = i("CODETYPE");
        a.SCODE1 = s("SCODE1");
        a.SCODE2 = s("SCODE2");
        a.SKANA = s("SKANA");
        a.SHOUGOU = s("SHOUGOU");
        a.POST = s("POST");
        a.ADD1 = s("ADD1");
        a.ADD2 = s("ADD2");
        a.TEL = s("TEL");
        a.AO_ADD1 = s("AO_ADD1");
        a.AO_ADD2 = s("AO_ADD2");
        a.AO_KANA = s("AO_KANA");
        a.AO_SIMEI = s("AO_SIMEI");
        a.AO_GYOUSHU = s("AO_GYOUSHU");
        a.AO_YAGO = s("AO_YAGO");
        a.AO_KANYU = s("AO_KANYU");
        a.AO_TEL = s("AO_TEL");
        a.AO_SHOKUGYO1 = s("AO_SHOKUGYO1");
        a.AO_SHOKUGYO2 = s("AO_SHOKUGYO2");
        a.MAIL = s("MAIL");
        a.zzKISHU = d("ZZKISHU");
        a.zKISHU = d("ZKISHU");
        a.NENDO = i("NENDO");
        a.KISHU = d("KISHU");
        a.KIMATU = d("KIMATU");
        a.KAISI = d("KAISI");
        a.SIME = i("SIME");
        a.KAISINO = i("KAISINO");
        a.GENGOU_FLG = i("GENGOU_FLG");
        a.GENGOU_HOSEI = i("GENGOU_HOSEI");
        a.GENGOU_NAME = s("GENGOU_NAME");
        for (int k = 0; k < 3; ++k) a.YAKUMEI[k] = s(("YAKUMEI" + std::to_string(k + 1)).c_str());
        for (int k = 0; k < 5; ++k) {
            const std::string n = std::to_string(k + 1);
            a.OLD_TAX_RATE[k] = m(("OLD_TAX_RATE" + n).c_str());
            a.NEW_TAX_RATE[k] = m(("NEW_TAX_RATE" + n).c_str());
            a.CHG_DAYS[k] = d(("CHG_DAYS" + n).c_str());
        }
        a.KANSA_FIXDATE = d("KANSA_FIXDATE");
        a.KANSA_DATE = d("KANSA_DATE");
        a.CALCU = i("CALCU");
        a.TAXU_HASUU = i("TAXU_HASUU");
        a.TAXH_HASUU = i("TAXH_HASUU");
        a.TAXDEFUH = i("TAXDEFUH");
        a.TAXKANNI = i("TAXKANNI");
        a.TAXJIGYOU = i("TAXJIGYOU");
        a.GENKAPRINT = i("GENKAPRINT");
        a.KANSA_LOCK = i("KANSA_LOCK");
        a.TEGATADICSW = i("TEGATADICSW");
        if (has("KESSAN_KIKAN")) a.KESSAN_KIKAN = i("KESSAN_KIKAN");
        if (has("CASHFLOW_KIKAN1")) a.CASHFLOW_KIKAN1 = i("CASHFLOW_KIKAN1");
        if (has("CASHFLOW_KIKAN2")) a.CASHFLOW_KIKAN2 = i("CASHFLOW_KIKAN2");
        a.CASHFLOWSW = i("CASHFLOWSW");
        a.SDAI_HASUU1 = i("SDAI_HASUU1");
        a.SDAI_HASUU2 = i("SDAI_HASUU2");
        a.SDAI_HASUU3 = has("SDAI_HASUU3") ? i("SDAI_HASUU3") : 0;
        a.CONVERT = i("CONVERT");
        a.SHOUHYOU = i("SHOUHYOU");
        a.Reserved1 = 0;
        a.SITEN = i("SITEN");
        a.BUMON = i("BUMON");
        a.DATALOCK = i("DATALOCK");
        a.GENKA_USE = i("GENKA_USE");
        for (int k = 0; k < 5; ++k) a.GENKA_HWORD[k] = s(("GENKA_HWORD" + std::to_string(k + 1)).c_str());
        a.PASWORD = s("PASWORD");
        a.WEB_HOLDER = has("WEB_HOLDER") ? s("WEB_HOLDER") : std::string();
        a.FUMEI_KCODE = s("FUMEI_KCODE");
        if (has("GENKA_HWORD6")) a.GENKA_HWORD6 = s("GENKA_HWORD6");
        a.CLOUD_LINE = has("CLOUD_LINE") ? i("CLOUD_LINE") : 0;
        a.CLOUD_TIME = has("CLOUD_LINE") && has("CLOUD_TIME") ? d("CLOUD_TIME") : 0;
        a.READ_ONLY = has("READ_ONLY") ? i("READ_ONLY") : 0;
        const bool hasKurikosi1 = has("KURIKOSI1"), hasKurikosi2 = has("KURIKOSI2");
        const int kurikosi1 = hasKurikosi1 ? i("KURIKOSI1") : a.TAXDEFUH;
        const int kurikosi2 = hasKurikosi2 ? i("KURIKOSI2") : a.TAXDEFUH;

        fnGetDataTypeName(a.DATATYPE, a.DataTypeName);
        fnGetCodeTypeName(a.DATATYPE, a.CODETYPE, a.CodeTypeName, false);

        DataReadOnlyFlag = IsDataReadOnly();
        a.TaxDefUH = {a.TAXDEFUH, kurikosi1, kurikosi2};

        fnGetAccTotalName("5880", "PLUSNAME", a.TotalNames[0]);
        fnGetAccTotalName("5580", "PLUSNAME", a.TotalNames[1]);
        fnGetAccTotalName("5680", "PLUSNAME", a.TotalNames[2]);
        fnGetAccTotalName("5780", "PLUSNAME", a.TotalNames[3]);
        fnGetAccTotalName("5688", "PLUSNAME", a.TotalName5688);
        fnGetAccTotalName("5790", "PLUSNAME", a.TotalNames[4]);

        a.Constant1 = 1;
        a.Iryou = InitKessanLayout() ? 1 : 0;
        q->close();

        a.StartCell = MonthToKikanIndex(a.KAISINO);
        a.EndCell = GetKikanCellNo(a.SIME, 0, a.KISHU, a.KIMATU, a.KIMATU);
        a.InputMonths = MonthsBetween(a.SIME, a.KISHU, a.KAISI);
        a.PeriodMonths = MonthsBetween(a.SIME, a.KISHU, a.KIMATU);

        // System accounts (slots as in TACCINF::SysKCode).
        auto sys = [&](int slot, const char* name) { SetSystemCode(name, a.SysKCode[slot], a.SysUserCode[slot]); };
        sys(0, "現金");
        sys(1, "仮払消費税");
        sys(2, "仮受消費税");
        sys(4, "繰越利益剰余金");
        sys(3, "諸口");
        if (a.DATATYPE == 1) {
            SetSystemCode("受取手形", a.TegataKCode[0], a.TegataUserCode[0]);
            SetSystemCode("割引手形", a.TegataKCode[1], a.TegataUserCode[1]);
            SetSystemCode("裏書手形", a.TegataKCode[2], a.TegataUserCode[2]);
        }
        for (int k = 5; k <= 7; ++k) a.SysKCode[k].clear(), a.SysUserCode[k].clear();
        if (a.DATATYPE == 2) {
            sys(5, "事業主貸");
            sys(6, "事業主借");
            sys(7, "元入金");
        }
        for (int k = 8; k <= 11; ++k) a.SysKCode[k].clear(), a.SysUserCode[k].clear();
        if (a.DATATYPE == 3 && a.CODETYPE == 1) {
            sys(8, "給料");
            sys(9, "賞与");
            sys(10, "賞与引当金繰入額");
            sys(11, "退職給付費用");
            sys(4, "前期繰越利益");
        }

        GetUserCode(a.FUMEI_KCODE, a.FumeiUserCode);
        a.TusinPasword[0] = a.PASWORD;
        a.TusinHolder[0] = a.WEB_HOLDER;
        GetTusinID(1, 1);

        a.KikanStart[0] = a.KISHU;
        a.KikanStart[1] = a.zKISHU != 0 ? a.zKISHU : IncMonthClamp(-12, a.KISHU);
        a.KikanStart[2] = a.zzKISHU != 0 ? a.zzKISHU : IncMonthClamp(-12, a.KikanStart[1]);
        a.KikanEnd[0] = a.KIMATU;
        a.KikanEnd[1] = a.KISHU - 1;
        a.KikanEnd[2] = a.KikanStart[1] - 1;
        a.KikanKaisi[0] = a.KAISI;
        a.KikanKaisi[1] = a.KikanStart[1];
        a.KikanKaisi[2] = a.KikanStart[2];

        a.KakoMeisai = regInt(kKihon, "過去明細取り込み");
        try {
            a.GassanKbn = static_cast<std::uint8_t>(regInt(kKihon, "合算データ区分"));
        } catch (...) {
            a.GassanKbn = 0;
        }
        a.GassanCount = regInt(kKihon, "合算データ数");
        regInt(kKihon, "一括税抜処理");
        a.IkkatuZeinuki = 0;
        a.Reserved3 = 0;
        a.KamokuDigits = static_cast<std::uint8_t>(regInt(kKihon, "科目コード桁数"));
        a.HojoDigits = static_cast<std::uint8_t>(regInt(kKihon, "補助コード桁数"));
        a.BumonDigits = static_cast<std::uint8_t>(regInt(kKihon, "部門コード桁数"));
        // Read so that they exist; the depreciation reads them itself.
        regInt("減価償却設定", "250%定率法で償却する経過措置");
        regInt("減価償却設定", "200%定率法で償却する経過措置");
        a.PrintKikanUse = regInt(kKihon, "印刷用期間使用区分");
        a.PrintKikanStart = funcGetAccReg(kKihon, "印刷用期間（期首）", "日付", "").asDateTime();
        a.PrintKikanEnd = funcGetAccReg(kKihon, "印刷用期間（期末）", "日付", "").asDateTime();
        a.KobetuGenkaUse = regInt(kKihon, "個別原価使用区分");
        a.KobetuGenkaName = regText(kKihon, "個別原価別名", "個別原価");
        a.KobetuGenkaDigits = static_cast<std::uint8_t>(regInt(kKihon, "個別原価コード桁数"));
        a.MyNumberUse = regInt(kKihon, "＃USE");
        a.MyNumberKey = regText(kKihon, "＃KEY");
        a.MyNumberValue = regText(kKihon, "＃VALUE");
        if (!a.MyNumberKey.empty()) {
            std::string plain;
            ExternalDecodeText(a.MyNumberKey, plain);
            a.MyNumberKey = plain;
        }
        if (!a.MyNumberValue.empty()) {
            std::string plain;
            ExternalDecodeText(a.MyNumberValue, plain);
            a.MyNumberValue = plain;
        }
        a.CloudKbn = regInt("通信設定", "クラウド区分");

        a.BumonCount = 0;
        if (a.BUMON != 0) {
            auto b = IBQACC1("SELECT COUNT(BCODE) AS RECCNT FROM BUMONMST\nWHERE BCODE<>''");
            b->execute();
            if (b->fetch()) a.BumonCount = b->asInt(0);
            b->close();
        }
        a.VerMajor = a.VerMinor1 = a.VerMinor2 = 0;
        {
            auto v = IBQACC1("SELECT MAJOR,MINOR1,MINOR2 FROM ACCVERSION\nORDER BY MAJOR DESC,MINOR1 DESC,MINOR2 DESC");
            v->execute();
            if (v->fetch()) {
                a.VerMajor = v->asInt(0);
                a.VerMinor1 = v->asInt(1);
                a.VerMinor2 = v->asInt(2);
            }
            v->close();
        }
        IBTransactionDAT.commit();

        if (a.VerMajor >= 7) {
            // Newer data sets keep the password scrambled; the plain key no
            // longer counts.
            TEasyEncodeInfo info;
            InitEasyEncodeInfo(info);
            info.TotalLength = kDataPasswordLength;
            info.PlainLength = kDataPasswordLength;
            info.Key = kDataPasswordKey;
            info.EncodedText = TrimZen(regText(kKihon, "データパスワードV2"));
            a.DataPassword = EasyDecode(info) ? info.PlainText : std::string();
        } else {
            a.DataPassword = TrimZen(regText(kKihon, "データパスワード"));
        }
        a.SitenSerial = a.SITEN == 0 ? 1 : sitenSerialOf(SystemDef.Settings);
        a.RatesInUse = {regFlag("使用税率3%", "FALSE"), regFlag("使用税率5%", "FALSE"), regFlag("使用税率8%", "TRUE"),
                        1, 1};

        // The tax calculations read their settings from here.
        ZeiSettings.TAXKANNI = a.TAXKANNI;
        ZeiSettings.TAXJIGYOU = a.TAXJIGYOU;
        ZeiSettings.TAXU_HASUU = a.TAXU_HASUU;
        ZeiSettings.TAXH_HASUU = a.TAXH_HASUU;
        ZeiSettings.KaribaraiUserCode = a.SysUserCode[1];
        ZeiSettings.KariukeUserCode = a.SysUserCode[2];
        ZeiSettings.SyokuchiUserCode = a.SysUserCode[3];
        ZeiSettings.RatesInUse = a.RatesInUse;
        ZeiSettings.VerMajor = a.VerMajor;
        ZeiSettings.VerMinor = a.VerMinor1;
        ZeiSettings.VerRelease = a.VerMinor2;
        InitZeiRituList();
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetAccInfo", kReadText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kReadText, e.what());
    }
    try {
        if (IBTransactionDAT.active()) IBTransactionDAT.commit();
    } catch (...) {
        IBTransactionDAT.rollbackNoThrow();
    }
    return false;
}
