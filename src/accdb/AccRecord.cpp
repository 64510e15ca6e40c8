#include "accdb/AccRecord.h"

TSystemDef SystemDef;

TMenuRequestHook MenuRequestHook;
TMenuNotifyHook MenuNotifyHook;
TFormActivateHook FormActivateHook;
TMenuStatusHook MenuStatusHook;
TMenuDataHook MenuDataHook;
TProcessLauncherHook ProcessLauncherHook;
TDataVerifyHook DataVerifyHook;

std::uint8_t LogonMode = 0;
std::uint8_t ConnectKind = 0;
std::uint8_t TerminalKind = 0;
std::uint8_t OemEdition = 0;
std::uint8_t DbLostFlag = 0;

TVersionRec AccDataVer;
TVersionRec CashBookDataVer;
TVersionRec WebDumpAccVer;

const TFormatSettings FormatSettings{};

int FrameExtraOf(int frameHeight) { return frameHeight <= 4 ? 0 : 2 * (frameHeight - 4); }

int NullMenuRequest(int, const std::string&) { return 0; }

const std::array<const char*, 10> ExclusiveMessages = {
    "他のユーザーが実行中です。《書込が制限されます。》",
    "他のユーザーが実行中です。",
    "他のユーザーがログインしています。,,（排他アクセスが必要です）",
    "実行中の処理画面を閉じてください。",
    "マスターの同時編集はできません。,,（実行中のジョブがみつかりました）",
    "", "", "", "", "",
};
const std::array<const char*, 4> TerminalNames = {"", "GO-Global", "RDS", "XenDesktop"};
const std::array<const char*, 13> FunctionKeyLabels = {
    "ESC:", "F1:", "F2:", "F3:", "F4:", "F5:", "F6:", "F7:", "F8:", "F9:", "F10:", "F11:", "F12:",
};
const std::array<const char*, 3> TaxMarks = {"込", "抜", "－"};
const std::array<const char*, 3> TaxKindNames = {"税込", "税抜", "税外"};
const char* const NoSelectionText = "選択なし";
const std::array<std::array<const char*, 2>, 2> SortMarks = {{{"▲", "▼"}, {"⊿", "▼"}}};
const std::array<const char*, 4> FontNames = {"ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック"};
const std::array<const char*, 6> DataTypeLabels = {
    "法人", "個人(一般)", "個人(不動産)", "医療法人", "個人(クリニック)", "個人(農業)",
};
const std::array<const char*, 3> WholeCompanyLabels = {"法人全体", "総体", "法人全体"};
const std::array<const char*, 5> MedicalDeptLabels = {
    "法人全体", "病院・診療所", "老人保健施設", "指定訪問看護", "その他の事業",
};
const char* const AllDeptLabel = "全部門合計";
const std::array<std::array<const char*, 2>, 2> TaxLabels = {{{"税込", "税抜"}, {"（税込）", "（税抜）"}}};
const std::array<const char*, 4> DebitCreditMarks = {"借＋", "借－", "貸＋", "貸－"};
const std::array<const char*, 2> DebitCreditNames = {"借方", "貸方"};
const std::array<const char*, 6> BusinessKindNames = {
    "第一種事業", "第二種事業", "第三種事業", "第四種事業", "第五種事業", "第六種事業",
};

std::string MakerName;
std::string MakerUrl;
std::string SinceYears;
std::string AppName;
std::string HomeDir;
std::string ShareDir;
std::string ServerDir;
std::string ServerTempDir;
std::string DataDefFile;
std::string DataFile;
std::string DataBackupFile;
std::string DataInitFile11;
std::string DataInitFile21;
std::string DataInitFile22;
std::string DataInitFile23;
std::string DataInitFile31;
std::string DataInitFile24;
std::string DataBackupFile2;
std::string DataIniFile;
std::string ZUziduDirName;
std::string MirdovaHomeDir;
std::string CashBookDirName;
std::string CashBookBackupFile;
int DataListCnt = 120;

const std::array<std::uint32_t, 5> DefColors = {0xDBDBDB, 0xFFFFFF, 0xDBDBDB, 0xFFFFFF, 0xFFFFFF};
std::uint32_t DefStyleColor1 = 0xE1F0FF;
std::uint32_t DefStyleColor2 = 0x8EC7FF;
std::uint32_t DefStyleColor3 = 0x246BFF;

namespace {

void setBuiltInNames() {
    MakerName = "brevan";
    MakerUrl = "https://www.example.com/";
    SinceYears = "2009-2012";
    AppName = "tvzaimu";
    HomeDir = "brevan/tavrinzaimu";
    ShareDir = "tavrinzaimu";
    ServerDir = "/tavrinzaimu/data";
    ServerTempDir = "/tavrinzaimu/temp";
    DataDefFile = "tvaccdef.fdb";
    DataFile = "tvacc.fdb";
    DataBackupFile = "tvacc.fbk";
    DataInitFile11 = "acc11.gbk";
    DataInitFile21 = "acc21.gbk";
    DataInitFile22 = "acc22.gbk";
    DataInitFile23 = "acc23.gbk";
    DataInitFile31 = "acc31.gbk";
    DataInitFile24 = "acc24.gbk";
    DataBackupFile2 = "tvacc.fbk";
    DataIniFile = "tvacc.ini";
    ZUziduDirName = "tvqview";
    MirdovaHomeDir = "brevan/Mirdova";
    CashBookDirName = "cb_data";
    CashBookBackupFile = "tvcashbook.fbk";
    DataListCnt = 120;
    DefStyleColor1 = 0xE1F0FF;
    DefStyleColor2 = 0x8EC7FF;
    DefStyleColor3 = 0x246BFF;
}

// Runs before main: the name table holds its built-in values from the start.
const bool namesReady = (setBuiltInNames(), true);

} // namespace

void ResetAccRecordGlobals() {
    SystemDef = TSystemDef{};
    MenuRequestHook = nullptr;
    MenuNotifyHook = nullptr;
    FormActivateHook = nullptr;
    MenuStatusHook = nullptr;
    MenuDataHook = nullptr;
    ProcessLauncherHook = nullptr;
    DataVerifyHook = nullptr;
    LogonMode = ConnectKind = TerminalKind = OemEdition = DbLostFlag = 0;
    AccDataVer = CashBookDataVer = WebDumpAccVer = TVersionRec{};
    setBuiltInNames();
    (void)namesReady;
}
