#pragma once
// Plain value records through which the suite's code passes journal
// entries, accounts and small results around. They carry no behaviour, are
// created zero-filled (texts empty) and copied by value. Records that
// mirror table rows of the data database name their fields after the
// columns; fields no code of this program touches have neutral names.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "accdb/AccRecord.h"
#include "accdb/Money.h"

// One side of a journal entry: the debit side mirrors the SIWAKE columns
// without prefix, the credit side those with the prefix R_.
struct TSwkBalance {
    std::string KGROUP;     // account group
    std::string USERCODE;   // account code as the user sees it (KAMOKUMST)
    std::string HCODE;      // sub-account code
    std::string BCODE;      // department code
    std::string KNAME;
    std::string HNAME;
    std::string BNAME;
    int TAXCODE = 0;        // consumption-tax code
    int TAXUH = 0;          // 1 taxable sales, 2 taxable purchases, 0 other
    int TAXDC = 0;          // 3 credit-natured, 1 debit-natured, 0 neither
    Currency NUK = 0;       // amount without tax
    Currency ZEI = 0;       // tax amount
    Currency RIT = 0;       // tax rate in percent (0 when no tax applies)
    int SIKIN = 0;          // cash-flow item code
    int RateKey = 0;        // the side's tax-rate code, set from the account
};

// A journal entry (one SIWAKE row).
struct TSWKREC {
    std::string Text;       // not a SIWAKE column
    int REC = 0;
    int SITREC = 0;
    int SWKREC = 0;
    int SWKNO = 0;
    int DELFLG = 0;
    int TAISHAKU = 0;
    TDateTime HIZUKE = 0;
    int MNUM = 0;
    int KESSAN = 0;
    int SDAYNUM = 0;
    int MDAYNUM = 0;
    int DNUM = 0;
    int SNUM = 0;
    std::string SCODE;
    TSwkBalance Debit;
    TSwkBalance Credit;     // R_ columns
    Currency KINGAKU = 0;
    Currency ZEIGAKU = 0;
    int ZEIRITUNO = 0;
    int AUTCALCU = 0;       // 0 = amounts as entered
    int TAXCALCU = 0;       // 0 tax included, 1 tax excluded, 2 no tax calculation
    int OLDRATE = 0;        // the entry's tax-rate code
    int TEKCODE = 0;
    std::string TEKTEXT;
    int TORCODE = 0;
    std::string TORTEXT;
    int FUSEN1 = 0;
    int FUSEN2 = 0;
    int FUSEN3 = 0;
    int FUSEN4 = 0;
    int FUSEN5 = 0;
    TDateTime CTIME = 0;
    std::string COMMENT;
    std::string AO_COMMENT;
    std::string LINKKEY;
    int LINKKUB = 0;
    int LINKREC = 0;
    int LOCALFLG = 0;
    int RESERVE1 = 0;
    int RESERVE2 = 0;
    TDateTime RTIME = 0;
    int OPCODE = 0;
    TDateTime SHONIN_HIZUKE = 0;
    int SHONIN_OPCODE = 0;
    std::string SHONIN_NAME;
};

// An account (KAMOKUMST).
struct TKMKREC {
    std::string KCODE;
    std::string USERCODE;
    int REC = 0;
    std::string GROUPM1;
    std::string GROUPM2;
    std::array<std::string, 3> Texts;
    std::string KNAME;
    int BLDAC = 0;
    int DAC = 0;
    int DELFLG = 0;
    int TAX_LCODE = 0;
    int TAX_RCODE = 0;
    int FUN_LCODE = 0;
    int FUN_RCODE = 0;
    std::string HOJOSW;     // stored trimmed
    std::string BPFLG;
    std::string KEIHKUBU;   // stored trimmed
    int EXT1_KS = 0;
    int EXT1_A4 = 0;
    int EXT1_A3 = 0;
    std::array<int, 4> Values{};
    int ZEIRITUKBN = 0;     // data version 11.1.0 and later only, else 0
};

// A sub-account (HOJOMST).
struct THOJREC {
    std::string KCODE;
    std::string HCODE;
    std::string Text;
    std::string HNAME;
    int H_REC = 0;
    int H_TAX_LCODE = 0;
    int H_TAX_RCODE = 0;
    int H_ZEIRITUKBN = 0;   // data version 11.1.0 and later only, else 0
};

// A department.
struct TBUMREC {
    std::string BCODE;
    std::string BNAME;
    std::array<int, 4> Values{};
};

// One account of a facility's KAMOKU_SZ row with its sub-account and
// department.
struct TKamokuRec {
    TKMKREC Kamoku;
    THOJREC Hojo;
    TBUMREC Bumon;
    std::uint8_t HojoUse = 0;    // a sub-account is in use
    std::uint8_t BumonUse = 0;   // a department is in use
};

// A facility.
struct TSISREC {
    std::string SCODE;
    std::string SNAME;
};

// A sub-account breakdown line.
struct THOJOUTIWAKE {
    std::string HCODE;
    std::string HNAME;
};

// A balance line.
struct TBALANCE {
    TSISREC Sisetu;
    TBUMREC Bumon;
    TKMKREC Kamoku;
    THOJREC Hojo;
    std::vector<THOJOUTIWAKE> Utiwake;
};

// A sort key and its position.
struct TQSORT {
    std::string Key;
    int Index = 0;
};

// Error record of the backup worker.
struct TErrInfomation {
    bool IsError = false;
    std::string ProcName;
    int Code = 0;
    std::string Message;
    std::string Detail;
};

struct TKamokuCodeRec {
    std::array<std::string, 4> Texts;
    std::array<int, 4> Values{};
};

// An entry of a constant code/name list.
struct TComListRec_s {
    std::string Code;
    std::string Name;
};

// One step of the cash-book import.
struct TVeltanoSyoriInfo {
    std::string Text;
    std::uint8_t Status = 0;     // 1 done, 3 stopped
    int Result = 0;
    std::string Message;
};
using TVeltanoSyoriLog = std::vector<TVeltanoSyoriInfo>;

// A journal-update entry (16 bytes in the stored form).
struct TSWKUPREC {
    std::array<std::uint8_t, 16> Bytes{};
};
using TSWKUPLIST = std::vector<TSWKUPREC>;
extern TSWKUPLIST SwkUpList;
