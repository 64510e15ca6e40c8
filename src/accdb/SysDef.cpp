// Operator settings: SYSDEF row, SYSREG keys and the logged-on users table.
#include "accdb/SysDef.h"

#include <QFont>
#include <QFontDatabase>

#include <string_view>
#include <vector>

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"

namespace {

std::string moneyText(std::int64_t v) {
    const bool neg = v < 0;
    const std::uint64_t a = neg ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
    std::string s = std::to_string(a / 10000);
    std::uint64_t frac = a % 10000;
    if (frac != 0) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (!f.empty() && f.back() == '0') f.pop_back();
        s += "." + f;
    }
    return neg ? "-" + s : s;
}

// One SYSDEF column and its settings member.
struct Column {
    const char* name;
    int TSysDefSettings::*i;
    std::string TSysDefSettings::*s;
};
using S = TSysDefSettings;
// Every column after DataDir, in table order.
const std::vector<Column>& columns() {
    static const std::vector<Column> cols = {
        {"PrinterName", nullptr, &S::PrinterName}, {"MFLeft", &S::MFLeft, nullptr},
        {"MFTop", &S::MFTop, nullptr}, {"MFWidth", &S::MFWidth, nullptr},
        {"MFHeight", &S::MFHeight, nullptr}, {"LastMenu", &S::LastMenu, nullptr},
        {"FontName", nullptr, &S::FontName}, {"FontSize", &S::FontSize, nullptr},
        {"FontStyle", &S::FontStyle, nullptr}, {"FontCharSet", &S::FontCharSet, nullptr},
        {"FontHeight", &S::FontHeight, nullptr}, {"GridResize", &S::GridResize, nullptr},
        {"ShowHint", &S::ShowHint, nullptr}, {"GridMaxRow", &S::GridMaxRow, nullptr},
        {"GridRsiz", &S::GridRsiz, nullptr}, {"ClientColor", &S::ClientColor, nullptr},
        {"ClientColor1", &S::ClientColor1, nullptr}, {"ClientColor2", &S::ClientColor2, nullptr},
        {"ClientColor3", &S::ClientColor3, nullptr}, {"ForeColor", &S::ForeColor, nullptr},
        {"BorderColor", &S::BorderColor, nullptr}, {"ActiveColor", &S::ActiveColor, nullptr},
        {"ThruBorderColor", &S::ThruBorderColor, nullptr}, {"ColHeaderColor", &S::ColHeaderColor, nullptr},
        {"FixedTopColor", &S::FixedTopColor, nullptr}, {"RowHeaderColor", &S::RowHeaderColor, nullptr},
        {"FixedLeftColor", &S::FixedLeftColor, nullptr}, {"TotalColor", &S::TotalColor, nullptr},
        {"NetColor1", &S::NetColor1, nullptr}, {"NetColor2", &S::NetColor2, nullptr},
        {"PLineColor1", &S::PLineColor1, nullptr}, {"PLineColor2", &S::PLineColor2, nullptr},
        {"PreviewZOOM", &S::PreviewZOOM, nullptr}, {"PanelColor", &S::PanelColor, nullptr},
        {"PanelBackColor", &S::PanelBackColor, nullptr}, {"MenuPrintSw", &S::MenuPrintSw, nullptr},
        {"HojWait", &S::HojWait, nullptr}, {"DicSwitch", &S::DicSwitch, nullptr},
        {"DicTekAuto", &S::DicTekAuto, nullptr}, {"DicTorAuto", &S::DicTorAuto, nullptr},
        {"DicUsednt", &S::DicUsednt, nullptr}, {"DicType", &S::DicType, nullptr},
        {"DicNum1", &S::DicNum1, nullptr}, {"DicNum2", &S::DicNum2, nullptr},
        {"DicSortType", &S::DicSortType, nullptr}, {"ColHeaderGradColor1", &S::ColHeaderGradColor1, nullptr},
        {"ColHeaderGradColor2", &S::ColHeaderGradColor2, nullptr}, {"ShowDataSentaku", &S::ShowDataSentaku, nullptr},
        {"ZenkaiDrive", nullptr, &S::ZenkaiDrive}, {"UserPrint", &S::UserPrint, nullptr},
        {"SwkTotal", &S::SwkTotal, nullptr}, {"SwkLine", &S::SwkLine, nullptr},
        {"KingakuPlus", &S::KingakuPlus, nullptr}, {"ZeroPrint", &S::ZeroPrint, nullptr},
        {"SankakuPlus", &S::SankakuPlus, nullptr}, {"TEK_AUTOUP", &S::TEK_AUTOUP, nullptr},
        {"TOR_AUTOUP", &S::TOR_AUTOUP, nullptr}, {"Reserve1", &S::Reserve1, nullptr},
        {"Reserve2", &S::Reserve2, nullptr}, {"Reserve3", &S::Reserve3, nullptr},
        {"Reserve4", &S::Reserve4, nullptr}, {"Reserve5", &S::Reserve5, nullptr},
    };
    return cols;
}

constexpr const char* kGetText = "システム共通変数の取得に失敗しました。";
constexpr const char* kPutText = "システム共通変数の保存に失敗しました。";
constexpr const char* kGetSysDefText = "システム情報の取得に失敗しました。\rアプリケーションを終了します。";
constexpr const char* kPutSysDefText =
    "システム情報の書き込みに失敗しました。\r現在のシステム設定は保存されません。";

const char* const kTekKeys[4] = {"摘要＿辞書開く区分", "摘要＿連想開く区分", "摘要＿自動開く区分",
                                 "摘要＿入力なし区分"};
const char* const kTorKeys[4] = {"取引先＿辞書開く区分", "取引先＿連想開く区分", "取引先＿自動開く区分",
                                 "取引先＿入力なし区分"};

// Title matrix keys: part, layout, key, default.
struct TitleKey {
    int part, layout;
    const char* key;
    const char* def;
};
const TitleKey kTitleKeys[] = {
    {0, 0, "全科目ＢＳタイトル", "資産・負債・純資産"}, {1, 0, "全科目資産タイトル", "資産の部"},
    {2, 0, "全科目負債タイトル", "負債・純資産の部"},   {3, 0, "全科目ＰＬタイトル", "損益"},
    {1, 1, "定形A4資産タイトル", "資産の部"},           {2, 1, "定形A4負債タイトル", "負債・純資産の部"},
    {3, 1, "定形A4ＰＬタイトル", "損益"},               {4, 1, "定形A4販売費タイトル", "販売費・一般管理費"},
    {0, 2, "定形A3ＢＳタイトル", "資産・負債・純資産"}, {3, 2, "定形A3ＰＬタイトル", "損益"},
};

} // namespace

// ---------------------------------------------------------------- helpers

int SysRegToInt(const TSysRegValue& Value) {
    if (auto p = std::get_if<int>(&Value)) return *p;
    if (auto p = std::get_if<bool>(&Value)) return *p ? 1 : 0;
    if (auto p = std::get_if<std::int64_t>(&Value)) return static_cast<int>(*p);
    if (auto p = std::get_if<double>(&Value)) return static_cast<int>(*p);
    if (auto p = std::get_if<std::string>(&Value)) return StrToIntDef(*p, 0);
    return 0;
}

std::string SysRegToText(const TSysRegValue& Value) {
    if (auto p = std::get_if<std::string>(&Value)) return *p;
    if (auto p = std::get_if<int>(&Value)) return std::to_string(*p);
    if (auto p = std::get_if<bool>(&Value)) return *p ? "TRUE" : "FALSE";
    if (auto p = std::get_if<std::int64_t>(&Value)) return moneyText(*p);
    if (auto p = std::get_if<double>(&Value)) return DateToFmtStr(4, *p);
    return {};
}

bool StrIsTrue(const std::string& Text) { return Text == "TRUE"; }

void BoolToTrueFalse(bool Flag, std::string& Text) { Text = Flag ? "TRUE" : "FALSE"; }

bool SysRegValueToText(const std::string& SType, const TSysRegValue& Value, std::string& Text) {
    if (SType == kRegBool) {
        bool flag = false;
        if (auto p = std::get_if<std::string>(&Value)) flag = StrIsTrue(*p);
        else flag = SysRegToInt(Value) != 0;
        BoolToTrueFalse(flag, Text);
    } else if (SType == kRegText) {
        Text = SysRegToText(Value);
    } else if (SType == kRegDate) {
        double d = 0;
        if (auto p = std::get_if<double>(&Value)) d = *p;
        else if (auto p = std::get_if<std::string>(&Value)) d = StrToDateZero(*p);
        else d = SysRegToInt(Value);
        Text = DateToFmtStr(4, d);
    } else if (SType == kRegInt) {
        Text = std::to_string(SysRegToInt(Value));
    } else if (SType == kRegMoney) {
        std::int64_t m = 0;
        if (auto p = std::get_if<std::int64_t>(&Value)) m = *p;
        else if (auto p = std::get_if<std::string>(&Value)) m = StrToKingaku(*p);
        else m = static_cast<std::int64_t>(SysRegToInt(Value)) * 10000;
        Text = moneyText(m);
    } else {
        return false;
    }
    return true;
}

TSysRegValue SysRegTextToValue(const std::string& SType, const std::string& Stored) {
    const std::string text = Stored.empty() ? std::string(" ") : Stored;
    if (SType == kRegText) return text;
    if (SType == kRegBool) return StrIsTrue(text);
    if (SType == kRegDate) return static_cast<double>(StrToDateZero(text));
    if (SType == kRegInt) return StrToIntDef(text, 0);
    if (SType == kRegMoney) return StrToKingaku(text);
    return std::string(kRegTypeError);
}

bool IsDistributorEdition() { return OemEdition == 1 || OemEdition == 2; }

void UnpackSysDefBits(TSysDefSettings& s) {
    auto bit = [](int v, int n) { return (v >> (n - 1)) & 1; };
    s.BsKaiPage = bit(s.Reserve2, 1);
    s.KahenWaku = bit(s.Reserve2, 2);
    const int r4 = s.Reserve4;
    s.KyoyuAuto = bit(r4, 1);
    s.DataListAutoUpdate = bit(r4, 2);
    s.DenpyoColumn = bit(r4, 3);
    s.SitenSerial = bit(r4, 4);
    s.ThreeWay = bit(r4, 5) ? 1 : (bit(r4, 6) ? 2 : 0);
    s.MotoLastZan = bit(r4, 7);
    s.Reserve4Bit8 = bit(r4, 8);
    s.Reserve4Bit9 = bit(r4, 9);
    s.WarekiDisp = bit(r4, 10);
    s.Hikaku3Order = bit(r4, 11);
}

void PackSysDefBits(TSysDefSettings& s) {
    auto put = [](int& v, int flag, int n) {
        if (flag == 1) v |= 1 << (n - 1);
    };
    s.Reserve2 = 0;
    put(s.Reserve2, s.BsKaiPage, 1);
    put(s.Reserve2, s.KahenWaku, 2);
    s.Reserve4 = 0;
    put(s.Reserve4, s.KyoyuAuto, 1);
    put(s.Reserve4, s.DataListAutoUpdate, 2);
    put(s.Reserve4, s.DenpyoColumn, 3);
    put(s.Reserve4, s.SitenSerial, 4);
    if (s.ThreeWay == 1) s.Reserve4 |= 1 << 4;
    else if (s.ThreeWay == 2) s.Reserve4 |= 1 << 5;
    put(s.Reserve4, s.MotoLastZan, 7);
    put(s.Reserve4, s.Reserve4Bit8, 8);
    put(s.Reserve4, s.Reserve4Bit9, 9);
    put(s.Reserve4, s.WarekiDisp, 10);
    put(s.Reserve4, s.Hikaku3Order, 11);
}

// ---------------------------------------------------------------- SYSREG

void TDM::funcGetSysReg(const std::string& SCODE, const std::string& STYPE, const std::string& Default, int OpCode,
                        TSysRegValue& Value) {
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = QueryDef("SELECT STEXT FROM SYSREG WHERE OPCODE=:OPCODE AND SCODE=:SCODE ");
        q->setInt("OPCODE", OpCode);
        q->setString("SCODE", SCODE);
        q->execute();
        std::string text;
        if (q->fetch()) {
            text = q->asString(0);
            q->close();
        } else {
            q->close();
            auto ins = QueryDef("INSERT INTO SYSREG(OPCODE,SCODE,STYPE,STEXT) VALUES(:OPCODE,:SCODE,:STYPE,:STEXT )");
            ins->setInt("OPCODE", OpCode);
            ins->setString("SCODE", SCODE);
            ins->setString("STYPE", STYPE);
            ins->setString("STEXT", Default);
            ins->execute();
            text = Default;
        }
        TSysRegValue v = SysRegTextToValue(STYPE, text);
        scope.commit();
        Value = std::move(v);
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.funcGetSysReg", kGetText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kGetText, e.what());
    }
}

void TDM::funcGetSysRegOpe(const std::string& SCODE, const std::string& STYPE, const std::string& Default,
                           TSysRegValue& Value) {
    funcGetSysReg(SCODE, STYPE, Default, SystemDef.OpCode, Value);
}

void TDM::funcPutSysReg(const std::string& SCODE, const std::string& STYPE, const TSysRegValue& Value, int OpCode) {
    try {
        db::TxScope scope(IBTransactionDEF);
        auto cnt = QueryDef("SELECT COUNT(OPCODE) AS RECCNT FROM SYSREG WHERE OPCODE=:OPCODE AND SCODE=:SCODE");
        cnt->setInt("OPCODE", OpCode);
        cnt->setString("SCODE", SCODE);
        cnt->execute();
        const int count = cnt->fetch() ? cnt->asInt(0) : 0;
        cnt->close();
        auto q = QueryDef(count > 0
                              ? "UPDATE SYSREG SET STEXT=:STEXT WHERE OPCODE=:OPCODE AND SCODE=:SCODE "
                              : "INSERT INTO SYSREG(OPCODE,SCODE,STYPE,STEXT) VALUES(:OPCODE,:SCODE,:STYPE,:STEXT )");
        q->setInt("OPCODE", OpCode);
        q->setString("SCODE", SCODE);
        if (count == 0) q->setString("STYPE", STYPE);
        std::string text;
        if (SysRegValueToText(STYPE, Value, text)) q->setString("STEXT", text);
        else q->setNull("STEXT");
        q->execute();
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.funcPutSysReg", kPutText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kPutText, e.what());
    }
}

void TDM::funcPutSysRegOpe(const std::string& SCODE, const std::string& STYPE, const TSysRegValue& Value) {
    funcPutSysReg(SCODE, STYPE, Value, SystemDef.OpCode);
}

// ---------------------------------------------------------------- SYSDEF

namespace {

// Reads an integer key of the operator; Value keeps cur when the read fails.
int regInt(TDM& dm, const char* key, const std::string& def, int cur) {
    TSysRegValue v = cur;
    dm.funcGetSysRegOpe(key, kRegInt, def, v);
    return SysRegToInt(v);
}

std::string regText(TDM& dm, const char* key, const std::string& def, const std::string& cur) {
    TSysRegValue v = cur;
    dm.funcGetSysRegOpe(key, kRegText, def, v);
    return SysRegToText(v);
}

void seedKeys(TDM& dm) {
    const int op = SystemDef.OpCode;
    const int tek[4] = {1, 0, 1, 0}, tor[4] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i) dm.funcPutSysReg(kTekKeys[i], kRegInt, tek[i], op);
    for (int i = 0; i < 4; ++i) dm.funcPutSysReg(kTorKeys[i], kRegInt, tor[i], op);
    if (!IsDistributorEdition()) return;
    const int tekD[4] = {0, 1, 1, 0}, torD[4] = {1, 0, 0, 0};
    for (int i = 0; i < 4; ++i) dm.funcPutSysReg(kTekKeys[i], kRegInt, tekD[i], op);
    for (int i = 0; i < 4; ++i) dm.funcPutSysReg(kTorKeys[i], kRegInt, torD[i], op);
    const std::pair<const char*, int> more[] = {
        {"次項目移動区分", 1},       {"科目コード桁数", 0},       {"補助コード桁数", 0},
        {"部門コード桁数", 1},       {"仕訳日付フォーカス", 1},   {"元帳最終行残高出力区", 1},
        {"試算表集計出力区分", 1},   {"元帳１行出力区分", 0},     {"元帳付箋マーク出力区", 0},
        {"連想辞書抽出条件区分", 1},
    };
    for (const auto& [k, v] : more) dm.funcPutSysReg(k, kRegInt, v, op);
}

void loadKeys(TDM& dm) {
    TSysDefSettings& s = SystemDef.Settings;
    const bool dist = IsDistributorEdition();
    s.NextItemMove = 0;
    s.KamokuDigits = s.HojoDigits = s.BumonDigits = 0;
    s.SiwakeDateFocus = 2;
    s.MotoOneLine = s.MotoFusen = s.RensoJyoken = 0;
    if (dist) {
        s.MotoLastZan = 1;
        s.SisanTotal = 1;
        s.NextItemMove = regInt(dm, "次項目移動区分", "1", s.NextItemMove);
        s.KamokuDigits = static_cast<std::uint8_t>(regInt(dm, "科目コード桁数", "0", s.KamokuDigits));
        s.HojoDigits = static_cast<std::uint8_t>(regInt(dm, "補助コード桁数", "0", s.HojoDigits));
        s.BumonDigits = static_cast<std::uint8_t>(regInt(dm, "部門コード桁数", "1", s.BumonDigits));
        s.SiwakeDateFocus = static_cast<std::uint8_t>(regInt(dm, "仕訳日付フォーカス", "1", s.SiwakeDateFocus));
        s.MotoOneLine = regInt(dm, "元帳１行出力区分", "0", s.MotoOneLine);
        s.MotoFusen = regInt(dm, "元帳付箋マーク出力区", "0", s.MotoFusen);
        s.RensoJyoken = regInt(dm, "連想辞書抽出条件区分", "1", s.RensoJyoken);
    }
    s.MotoLastZan = regInt(dm, "元帳最終行残高出力区", std::to_string(s.MotoLastZan), s.MotoLastZan);
    s.SisanTotal = regInt(dm, "試算表集計出力区分", std::to_string(s.SisanTotal), s.SisanTotal);
    s.MotoTitle = regInt(dm, "元帳タイトル出力区分", dist ? "1" : "0", s.MotoTitle);
    s.SisanBsKaiPage = regInt(dm, "試算表ＢＳ改ページ区", dist ? "0" : "1", s.SisanBsKaiPage);
    s.SisanTitleKind = regInt(dm, "試算表タイトル出力区", dist ? "1" : "0", s.SisanTitleKind);
    s.SisanKikan = regInt(dm, "試算表期間出力区分", dist ? "1" : "0", s.SisanKikan);
    s.SisanTitle = regText(dm, "試算表タイトル", "試　算　表", s.SisanTitle);
    s.SisanTitle2 = regText(dm, "２期試算表タイトル", "２期比較試算表", s.SisanTitle2);
    auto titles = s.Titles;
    for (auto& row : s.Titles) row.fill({});
    for (const auto& t : kTitleKeys) s.Titles[t.part][t.layout] = regText(dm, t.key, t.def, titles[t.part][t.layout]);
    s.DataCheckMode = 0;
    {
        TSysRegValue v = s.DataCheckMode;
        dm.funcGetSysReg("データ破損チェック区", kRegInt, "1", SystemDef.GroupId * 10000 + 9999, v);
        s.DataCheckMode = SysRegToInt(v);
    }
    s.DataPlace = regInt(dm, "サーバのデータの場所", "0", s.DataPlace);
    s.TekEditMode = regInt(dm, "摘要項目の編集モード", "0", s.TekEditMode);
    s.TekInputKind = regInt(dm, "摘要項目の入力区分", "0", s.TekInputKind);
    s.TorInputKind = regInt(dm, "取引先項目の入力区分", "0", s.TorInputKind);
    s.UraKeisen = regInt(dm, "裏面の罫線印刷区分", "0", s.UraKeisen);
    s.TaxCodePrint = regInt(dm, "消費税コード印刷区分", "1", s.TaxCodePrint);
    if (!dist) s.TaxCodePrint = 1;
    s.TegataSousai = regInt(dm, "決算書手形相殺区分", "0", s.TegataSousai);
    s.HanbaiKumiire = regInt(dm, "決算書販売費組入区分", "0", s.HanbaiKumiire);
    s.SisanRowAdjust = regInt(dm, "試算表行数調整区分", "0", s.SisanRowAdjust);
    s.RensoCodeInput = regInt(dm, "連想辞書コード入力区", "0", s.RensoCodeInput);
    s.RensoOrder = regInt(dm, "連想辞書リスト並び順", "0", s.RensoOrder);
    s.MotoFusen = regInt(dm, "元帳付箋マーク出力区", std::to_string(s.MotoFusen), s.MotoFusen);
    s.MotoFusenLoaded = 1;
    const char* tekDef[4] = {"1", "0", "0", "0"};
    for (int i = 0; i < 4; ++i) s.TekDicOpen[i] = regInt(dm, kTekKeys[i], tekDef[i], s.TekDicOpen[i]);
    for (int i = 0; i < 4; ++i) s.TorDicOpen[i] = regInt(dm, kTorKeys[i], tekDef[i], s.TorDicOpen[i]);
    s.SisanSeizo = regInt(dm, "試算表製造集計行出区", "1", s.SisanSeizo);
    s.SisanSeizoSub1 = 0;
    s.SisanSeizoSub2 = 0;
}

void applyFont() {
    const TSysDefSettings& s = SystemDef.Settings;
    if (s.FontName.empty() || !SystemDef.Font1) return;
    const QString family = QString::fromStdString(s.FontName);
    if (!QFontDatabase::families().contains(family)) return;
    QFont& f = *SystemDef.Font1;
    f.setFamily(family);
    if (s.FontSize > 0) f.setPointSize(s.FontSize);
    switch (s.FontStyle) {
    case 0: f.setBold(false); f.setItalic(false); break;
    case 1: f.setBold(true); f.setItalic(false); break;
    case 2: f.setBold(false); f.setItalic(true); break;
    case 3: f.setBold(true); f.setItalic(true); break;
    default: break;
    }
}

} // namespace

bool TDM::fnGetSysDef() {
    TSysDefSettings& s = SystemDef.Settings;
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = IBQSysDefGet("SELECT * FROM SYSDEF WHERE OPCODE=:OPCODE");
        q->setInt("OPCODE", SystemDef.OpCode);
        q->execute();
        if (!q->fetch()) {
            q->close();
            auto ins = IBQSysDefPut(
                "INSERT INTO SYSDEF(OPCODE,SankakuPlus,ColHeaderColor,ColHeaderGradColor1,ColHeaderGradColor2,\n"
                "ClientColor,ClientColor1,ClientColor2,TotalColor,ActiveColor,NetColor1,NetColor2,PLineColor1,"
                "PLineColor2,DICSWITCH,DicTekAuto,DicTorAuto)\n"
                "VALUES(:OPCODE,1,:ColHeaderColor,:ColHeaderGradColor1,:ColHeaderGradColor2,\n"
                ":ClientColor,:ClientColor1,:ClientColor2,:TotalColor,:ActiveColor,:NetColor1,:NetColor2,"
                ":PLineColor1,:PLineColor2,:DICSWITCH,:DicTekAuto,:DicTorAuto)");
            const bool dist = IsDistributorEdition();
            ins->setInt("OPCODE", SystemDef.OpCode);
            ins->setInt("ColHeaderColor", 0xDBDBDB);
            ins->setInt("ColHeaderGradColor1", 0xFFFFFF);
            ins->setInt("ColHeaderGradColor2", 0xDBDBDB);
            ins->setInt("ClientColor", 0xFFFFFF);
            ins->setInt("ClientColor1", 0xFFFFFF);
            ins->setInt("ClientColor2", static_cast<int>(DefStyleColor1));
            ins->setInt("TotalColor", static_cast<int>(DefStyleColor2));
            ins->setInt("ActiveColor", static_cast<int>(DefStyleColor3));
            ins->setInt("NetColor1", 0xD7FFD7);
            ins->setInt("NetColor2", 0xD7FFD7);
            ins->setInt("PLineColor1", 0x007900);
            ins->setInt("PLineColor2", 0x007900);
            ins->setInt("DICSWITCH", dist ? 2 : 0);
            ins->setInt("DicTekAuto", dist ? 2 : 1);
            ins->setInt("DicTorAuto", dist ? 0 : 1);
            ins->execute();
            q = IBQSysDefGet("SELECT * FROM SYSDEF WHERE OPCODE=:OPCODE");
            q->setInt("OPCODE", SystemDef.OpCode);
            q->execute();
            q->fetch();
            seedKeys(*this);
        }
        if (!q->eof()) {
            SystemDef.DataDir = q->asString("DataDir");
            for (const auto& c : columns()) {
                if (c.i) s.*c.i = q->asInt(c.name);
                else s.*c.s = q->asString(c.name);
            }
            s.SSTR = q->asString("SSTR");
        }
        q->close();
        if (s.ColHeaderGradColor1 == 0) s.ColHeaderGradColor1 = 0xFFFFFF;
        if (s.ColHeaderGradColor2 == 0) s.ColHeaderGradColor2 = 0xBBBBBB;
        UnpackSysDefBits(s);

        TSystemIniRec rec;
        rec.REC = 10;
        s.OfficeName.clear();
        s.OfficeAddress.clear();
        s.OfficeTel.clear();
        s.OfficeReserve1 = s.OfficeReserve2 = s.OfficeReserve3 = 0;
        if (GetSysIni(rec)) {
            GetTextValue(rec.SSTR, "NAME", s.OfficeName);
            GetTextValue(rec.SSTR, "JYUSHO", s.OfficeAddress);
            GetTextValue(rec.SSTR, "TEL", s.OfficeTel);
            s.OfficeReserve1 = rec.RESERVE1;
            s.OfficeReserve2 = rec.RESERVE2;
            s.OfficeReserve3 = rec.RESERVE3;
        }
        TSystemIniRec rec20;
        rec20.REC = 20;
        s.AllKengenSwitch = GetSysIni(rec20) ? rec20.RESERVE1 : 0;
        if (OemEdition == 2) s.AllKengenSwitch = 1;

        loadKeys(*this);
        fnGetSysDataBaseVer();
        applyFont();
        scope.commit();
        return true;
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnGetSysDef", kGetSysDefText, true);
    } catch (const std::exception& e) {
        ErrorDetailMsg(kGetSysDefText, e.what());
    }
    return false;
}

bool TDM::fnPutSysDef() {
    TSysDefSettings& s = SystemDef.Settings;
    PackSysDefBits(s);
    try {
        db::TxScope scope(IBTransactionDEF);
        std::string sql = "UPDATE SYSDEF SET\nDataDir=:DataDir,\nPrinterName=:PrinterName,\n"
                          "MFTop=:MFTop,MFLeft=:MFLeft,MFWidth=:MFWidth,MFHeight=:MFHeight,\nLastMenu=:LastMenu,\n"
                          "FontName=:FontName,FontSize=:FontSize,FontStyle=:FontStyle,FontCharset=:FontCharset,\n";
        bool further = false;
        for (const auto& c : columns()) {
            if (std::string_view(c.name) == "FontHeight") further = true;
            if (further) sql += std::string(c.name) + "=:" + c.name + ",\n";
        }
        sql += "SSTR=:SSTR\nWHERE OPCODE=:OPCODE";
        auto q = IBQSysDefPut(sql);
        q->setString("DataDir", SystemDef.DataDir);
        for (const auto& c : columns()) {
            if (c.i) q->setInt(c.name, s.*c.i);
            else q->setString(c.name, s.*c.s);
        }
        q->setString("SSTR", s.SSTR);
        q->setInt("OPCODE", SystemDef.OpCode);
        q->execute();
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.fnPutSysDef", kPutSysDefText, true);
        return false;
    } catch (const std::exception& e) {
        ErrorDetailMsg(kPutSysDefText, e.what());
        return false;
    }
    const bool dist = IsDistributorEdition();
    auto putInt = [this](const char* k, int v) { funcPutSysRegOpe(k, kRegInt, v); };
    auto putText = [this](const char* k, const std::string& v) { funcPutSysRegOpe(k, kRegText, v); };
    if (dist) {
        putInt("次項目移動区分", s.NextItemMove);
        putInt("科目コード桁数", s.KamokuDigits);
        putInt("補助コード桁数", s.HojoDigits);
        putInt("部門コード桁数", s.BumonDigits);
        putInt("仕訳日付フォーカス", s.SiwakeDateFocus);
        putInt("元帳１行出力区分", s.MotoOneLine);
        putInt("元帳付箋マーク出力区", s.MotoFusen);
        putInt("連想辞書抽出条件区分", s.RensoJyoken);
    }
    putInt("元帳最終行残高出力区", s.MotoLastZan);
    putInt("試算表集計出力区分", s.SisanTotal);
    putInt("元帳タイトル出力区分", s.MotoTitle);
    putInt("試算表ＢＳ改ページ区", s.SisanBsKaiPage);
    putInt("試算表タイトル出力区", s.SisanTitleKind);
    putInt("試算表期間出力区分", s.SisanKikan);
    putText("試算表タイトル", s.SisanTitle);
    putText("２期試算表タイトル", s.SisanTitle2);
    for (const auto& t : kTitleKeys) putText(t.key, s.Titles[t.part][t.layout]);
    putInt("サーバのデータの場所", s.DataPlace);
    putInt("摘要項目の編集モード", s.TekEditMode);
    putInt("摘要項目の入力区分", s.TekInputKind);
    putInt("取引先項目の入力区分", s.TorInputKind);
    putInt("裏面の罫線印刷区分", s.UraKeisen);
    putInt("消費税コード印刷区分", s.TaxCodePrint);
    putInt("決算書手形相殺区分", s.TegataSousai);
    putInt("決算書販売費組入区分", s.HanbaiKumiire);
    putInt("連想辞書コード入力区", s.RensoCodeInput);
    putInt("連想辞書リスト並び順", s.RensoOrder);
    putInt("元帳付箋マーク出力区", s.MotoFusen);
    for (int i = 0; i < 4; ++i) putInt(kTekKeys[i], s.TekDicOpen[i]);
    for (int i = 0; i < 4; ++i) putInt(kTorKeys[i], s.TorDicOpen[i]);
    putInt("試算表製造集計行出区", s.SisanSeizo);
    return true;
}

void TDM::DeleteLogonInfo() {
    int op = SystemDef.OpCode;
    if (LogonMode == 1 || LogonMode == 2) op = SystemDef.GroupId * 10000 + 1;
    else if (LogonMode == 3) op = SystemDef.GroupId * 10000 + 2;
    try {
        db::TxScope scope(IBTransactionDEF);
        auto q = QueryDef("DELETE FROM LOGONUSERLIST WHERE OPCODE=:OPCODE");
        q->setInt("OPCODE", op);
        q->execute();
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TDM.DeleteLogonInfo", "ログイン情報の削除に失敗しました。", true);
    } catch (const std::exception& e) {
        ErrorDetailMsg("ログイン情報の削除に失敗しました。", e.what());
    }
}
