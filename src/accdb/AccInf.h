#pragma once
// The open data set's basic settings (one instance, AccInf): refilled by
// TDM::fnGetAccInfo each time a data set is opened and never cleared. Every
// later step reads the open data set's company, period, tax and code
// settings from here.
//
// Dates are TDateTime (0 = not set); amounts are Currency (1/10000 units).
// Members named in upper case hold the ACCDEF1 column of that name.
#include <array>
#include <cstdint>
#include <string>

#include "accdb/DateCore.h"
#include "accdb/Money.h"

struct TACCINF {
    int GROUPID = 0;
    std::string ENTTEXT;               // name shown in the data list
    std::string SERIAL;
    int TANTOU = 0;
    int GYOUSHU = 0;
    int DATATYPE = 0;                  // 1 corporation, 2 individual, 3 medical corporation
    std::string DataTypeName;
    int CODETYPE = 0;
    std::string CodeTypeName;          // without the data-type name
    int Spare1 = 0;
    int BumonCount = 0;                // departments with a code; 0 when BUMON is 0
    std::string SCODE1, SCODE2, SKANA, SHOUGOU, POST, ADD1, ADD2, TEL;
    std::string AO_ADD1, AO_ADD2, AO_KANA, AO_SIMEI, AO_GYOUSHU, AO_YAGO, AO_KANYU, AO_TEL, AO_SHOKUGYO1,
        AO_SHOKUGYO2, MAIL;
    TDateTime zzKISHU = 0;             // start of the period two years back
    TDateTime zKISHU = 0;              // start of the previous period
    int NENDO = 0;
    TDateTime KISHU = 0;
    TDateTime KIMATU = 0;
    TDateTime KAISI = 0;               // start of input
    int SIME = 0;                      // closing day 1..28, 99 month end
    int KAISINO = 0;                   // month 1..12 of the input start
    int StartCell = 0;                 // period-bar cell of KAISINO
    int EndCell = 0;                   // period-bar cell of the period end
    int InputMonths = 0;               // closing months KISHU..KAISI
    int PeriodMonths = 0;              // closing months KISHU..KIMATU
    int GENGOU_FLG = 0;
    int GENGOU_HOSEI = 0;
    std::string GENGOU_NAME;
    std::array<std::string, 3> YAKUMEI;   // YAKUMEI1..3
    std::array<Currency, 5> OLD_TAX_RATE{};
    std::array<Currency, 5> NEW_TAX_RATE{};
    std::array<TDateTime, 5> CHG_DAYS{};
    TDateTime KANSA_FIXDATE = 0;
    TDateTime KANSA_DATE = 0;
    int CALCU = 0, TAXU_HASUU = 0, TAXH_HASUU = 0, TAXDEFUH = 0, TAXKANNI = 0, TAXJIGYOU = 0, GENKAPRINT = 0,
        KANSA_LOCK = 0, TEGATADICSW = 0;
    int KESSAN_KIKAN = 0, CASHFLOW_KIKAN1 = 0, CASHFLOW_KIKAN2 = 0;   // kept when the columns are absent
    int CASHFLOWSW = 0, SDAI_HASUU1 = 0, SDAI_HASUU2 = 0;
    int SDAI_HASUU3 = 0;
    int CONVERT = 0, SHOUHYOU = 0;
    int Reserved1 = 0;
    int SITEN = 0;                     // branch management on when not 0
    int BUMON = 0;                     // department management on when not 0
    int DATALOCK = 0;
    int GENKA_USE = 0;
    std::array<std::string, 5> GENKA_HWORD;   // GENKA_HWORD1..5
    // PLUSNAME of the summary groups 5880, 5580, 5680, 5780, 5790.
    std::array<std::string, 5> TotalNames;
    std::string PASWORD;
    std::string WEB_HOLDER;
    std::array<std::string, 6> TusinPasword;  // communication passwords, slot 1 from TUSIN_ID
    std::array<std::string, 6> TusinHolder;   // communication holders, slot 1 from TUSIN_ID
    // System accounts, in this order: 現金, 仮払消費税, 仮受消費税, 諸口,
    // 繰越利益剰余金 (前期繰越利益 for a medical corporation), 事業主貸,
    // 事業主借, 元入金, 給料, 賞与, 賞与引当金繰入額, 退職給付費用.
    std::array<std::string, 12> SysKCode;
    std::array<std::string, 12> SysUserCode;
    std::string FUMEI_KCODE;           // suspense account
    std::string FumeiUserCode;
    int Constant1 = 1;
    std::uint8_t Iryou = 0;            // 1 for a medical corporation
    int Reserved2 = 0;
    std::array<TDateTime, 3> KikanStart{};   // this, previous, two years back
    std::array<TDateTime, 3> KikanEnd{};
    std::array<TDateTime, 3> KikanKaisi{};
    int KakoMeisai = 0;                // 過去明細取り込み
    std::uint8_t GassanKbn = 0;        // 合算データ区分
    int GassanCount = 0;               // 合算データ数
    std::uint8_t KamokuDigits = 0;
    std::uint8_t HojoDigits = 0;
    std::uint8_t BumonDigits = 0;
    int IkkatuZeinuki = 0;             // always 0 once read
    int Reserved3 = 0;
    std::string DataPassword;          // the data password in plain form; empty: none
    int PrintKikanUse = 0;
    TDateTime PrintKikanStart = 0;
    TDateTime PrintKikanEnd = 0;
    // 受取手形, 割引手形, 裏書手形 (corporations only).
    std::array<std::string, 3> TegataKCode;
    std::array<std::string, 3> TegataUserCode;
    // [0] TAXDEFUH, [1] KURIKOSI1, [2] KURIKOSI2 (TAXDEFUH when absent).
    std::array<int, 3> TaxDefUH{};
    std::string GENKA_HWORD6;
    std::string TotalName5688;
    int VerMajor = 0, VerMinor1 = 0, VerMinor2 = 0;   // highest ACCVERSION row
    int KobetuGenkaUse = 0;
    std::string KobetuGenkaName;
    std::uint8_t KobetuGenkaDigits = 0;
    int MyNumberUse = 0;
    std::string MyNumberKey;           // decoded
    std::string MyNumberValue;         // decoded
    int CloudKbn = 0;                  // 通信設定 / クラウド区分
    int SitenSerial = 0;               // serial numbers counted per branch
    int CLOUD_LINE = 0;
    TDateTime CLOUD_TIME = 0;
    // Tax rates in use: 3%, 5%, 8%, then two flags always 1.
    std::array<std::uint8_t, 5> RatesInUse{};
    int READ_ONLY = 0;
};

extern TACCINF AccInf;
// The open data set may only be read (TDM::IsDataReadOnly when it was read).
extern bool DataReadOnlyFlag;

// The data-type name of DATATYPE 1..3; any other value throws
// std::runtime_error ("...(DataType=%d)").
void fnGetDataTypeName(int DataType, std::string& Name);
// The code-type name (with WithDataType: the data-type name, then "／" and
// the code-type name when that is not empty). A code type the data type
// does not allow throws std::runtime_error ("...(CodeType=%d)").
void fnGetCodeTypeName(int DataType, int CodeType, std::string& Name, bool WithDataType);
