#pragma once
// The operator's own settings held inside the program-wide settings record:
// one member per SYSDEF column or SYSREG value of the operator. They are
// loaded after logon (fnGetSysDef) and written back by fnPutSysDef.
#include <array>
#include <cstdint>
#include <string>

struct TSysDefSettings {
    // Shared data is taken from and returned to the file server automatically
    // when a data set is opened and closed (SYSDEF Reserve4 bit 1).
    int KyoyuAuto = 0;
    // Data verification before use: 1 = check the data (SYSREG
    // "データ破損チェック区", group-wide).
    int DataCheckMode = 1;
    // Dates shown as Japanese era dates (SYSDEF Reserve4 bit 10).
    int WarekiDisp = 0;
    // The data place: record number of the data-management folder, 0 = none
    // (SYSREG "サーバのデータの場所").
    int DataPlace = 0;

    // ---- SYSDEF columns (DataDir goes to SystemDef.DataDir)
    std::string PrinterName;
    int MFLeft = 0, MFTop = 0, MFWidth = 0, MFHeight = 0;
    int LastMenu = 0;
    std::string FontName;
    int FontSize = 0, FontStyle = 0, FontCharSet = 0, FontHeight = 0;
    int GridResize = 0, ShowHint = 0, GridMaxRow = 0, GridRsiz = 0;
    int ClientColor = 0, ClientColor1 = 0, ClientColor2 = 0, ClientColor3 = 0;
    int ForeColor = 0, BorderColor = 0, ActiveColor = 0, ThruBorderColor = 0;
    int ColHeaderColor = 0, FixedTopColor = 0, RowHeaderColor = 0, FixedLeftColor = 0;
    int TotalColor = 0;
    int NetColor1 = 0, NetColor2 = 0;
    int PLineColor1 = 0, PLineColor2 = 0;
    int PreviewZOOM = 0;
    int PanelColor = 0, PanelBackColor = 0;
    int MenuPrintSw = 0;
    int HojWait = 0;
    int DicSwitch = 0, DicTekAuto = 0, DicTorAuto = 0;
    int DicUsednt = 0, DicType = 0, DicNum1 = 0, DicNum2 = 0, DicSortType = 0;
    int ColHeaderGradColor1 = 0, ColHeaderGradColor2 = 0;
    int ShowDataSentaku = 0;
    std::string ZenkaiDrive;
    int UserPrint = 0, SwkTotal = 0;
    int SwkLine = 0;       // department reports on two lines
    int KingakuPlus = 0;   // names printed with amounts
    int ZeroPrint = 0;     // zero-balance accounts printed in statements
    int SankakuPlus = 0;   // losses shown with "△"
    int TEK_AUTOUP = 0, TOR_AUTOUP = 0;
    int Reserve1 = 0;      // tax amounts printed for reference
    int Reserve2 = 0;      // bit set, see the flags below
    int Reserve3 = 0;
    int Reserve4 = 0;      // bit set, see the flags below
    int Reserve5 = 0;
    std::string SSTR;

    // ---- Reserve2 bits
    int BsKaiPage = 0;         // bit 1: page break before liabilities in statements
    int KahenWaku = 0;         // bit 2: variable outer frame in statements
    // ---- Reserve4 bits (bit 1 KyoyuAuto and bit 10 WarekiDisp above)
    int DataListAutoUpdate = 0; // bit 2
    int DenpyoColumn = 0;       // bit 3: voucher column shown
    int SitenSerial = 0;        // bit 4: serial numbers counted per branch
    int ThreeWay = 0;           // bits 5/6: 1 when bit 5, else 2 when bit 6, else 0
    int MotoLastZan = 0;        // bit 7: last-balance line in ledgers (SYSREG overrides)
    int Reserve4Bit8 = 0;       // bit 8
    int Reserve4Bit9 = 0;       // bit 9
    int Hikaku3Order = 0;       // bit 11: year order of the three-period comparison

    // ---- SYSREG values
    int NextItemMove = 0;             // 次項目移動区分
    std::uint8_t KamokuDigits = 0;    // 科目コード桁数
    std::uint8_t HojoDigits = 0;      // 補助コード桁数
    std::uint8_t BumonDigits = 0;     // 部門コード桁数
    std::uint8_t SiwakeDateFocus = 2; // 仕訳日付フォーカス
    int MotoOneLine = 0;              // 元帳１行出力区分
    int MotoFusen = 0;                // 元帳付箋マーク出力区
    int RensoJyoken = 0;              // 連想辞書抽出条件区分
    int SisanTotal = 0;               // 試算表集計出力区分
    int MotoTitle = 0;                // 元帳タイトル出力区分
    int SisanBsKaiPage = 0;           // 試算表ＢＳ改ページ区
    int SisanTitleKind = 0;           // 試算表タイトル出力区
    int SisanKikan = 0;               // 試算表期間出力区分
    std::string SisanTitle;           // 試算表タイトル
    std::string SisanTitle2;          // ２期試算表タイトル
    // Statement titles: [part][layout]; parts balance sheet, assets,
    // liabilities and net assets, profit and loss, selling expenses;
    // layouts all accounts, fixed A4, fixed A3.
    std::array<std::array<std::string, 3>, 5> Titles;
    int TekEditMode = 0;              // 摘要項目の編集モード
    int TekInputKind = 0;             // 摘要項目の入力区分
    int TorInputKind = 0;             // 取引先項目の入力区分
    int UraKeisen = 0;                // 裏面の罫線印刷区分
    int TaxCodePrint = 1;             // 消費税コード印刷区分
    int TegataSousai = 0;             // 決算書手形相殺区分
    int HanbaiKumiire = 0;            // 決算書販売費組入区分
    int SisanRowAdjust = 0;           // 試算表行数調整区分
    int RensoCodeInput = 0;           // 連想辞書コード入力区
    int RensoOrder = 0;               // 連想辞書リスト並び順
    int MotoFusenLoaded = 0;          // set once the ledger sticky-note mark was read again
    std::array<int, 4> TekDicOpen{};  // 摘要＿辞書/連想/自動/入力なし
    std::array<int, 4> TorDicOpen{};  // 取引先＿辞書/連想/自動/入力なし
    int SisanSeizo = 0;               // 試算表製造集計行出区
    int SisanSeizoSub1 = 0;           // cleared after the manufacturing totals line is read
    int SisanSeizoSub2 = 0;

    // ---- SYSTEMINI
    std::string OfficeName, OfficeAddress, OfficeTel; // REC 10 NAME, JYUSHO, TEL
    int OfficeReserve1 = 0, OfficeReserve2 = 0, OfficeReserve3 = 0;
    int AllKengenSwitch = 0;          // REC 20 RESERVE1
};
