#pragma once
// Rows of the data list (one row per data-set slot of an operator group),
// their child rows, and the search conditions of the list.
#include <cstdint>
#include <string>
#include <vector>

#include "accdb/AccRecord.h"

// Dates are day numbers counted from 30 December 1899 (the zero date of
// an empty slot), the fraction being the time of day.
using TDataListDate = TDateTime;

struct TDataListRec {
    std::int32_t REC = 0;
    std::int32_t ROWNO = 0;
    std::int32_t GROUPID = 0;
    std::string DATACODE;
    std::string ENTTEXT;
    std::string SHOUGOU;
    std::int32_t NENDO = 0;
    std::string KikanText;
    TDataListDate KISHU = 0;
    TDataListDate KIMATU = 0;
    std::int32_t NETDRIVE = 0;
    std::string PASNAME;
    std::string LocalPath;
    std::int32_t DATATYPE = 0;
    std::int32_t CODETYPE = 0;
    std::int32_t DATALOCK = 0;
    std::int32_t KYOYULOCK = 0;
    std::int32_t TANTOU = 0;
    std::int32_t VER_MAJOR = 0;
    std::int32_t VER_MINOR1 = 0;
    std::int32_t VER_MINOR2 = 0;
    std::string VER_TEXT;
    std::int32_t UPDATE_LOCK = 0;
    std::uint8_t GASSAN = 0;
    std::string DispName;
    std::uint8_t DATA_STATUS = 0;
    std::string YOBI1;
    std::string YOBI2;
    std::string YOBI3;
    std::int32_t Reserved1 = 0;
    std::string Reserved2;
    std::uint8_t CLOUD = 0;
    std::int32_t READ_ONLY = 0;
};
using TDataListArray = std::vector<TDataListRec>;

// A parent row with its child rows.
struct TDataSentakuRec : TDataListRec {
    std::int32_t ChildCount = 0;
    TDataListArray Children;
};
using TDataSentakuRecArray = std::vector<TDataSentakuRec>;
// Indexes into a TDataSentakuRecArray: the rows on display.
using TDataSentakuRecDispArray = std::vector<std::int32_t>;

// GASSAN classes: parent rows of the list tables, consolidated parents that
// own children, and child rows.
inline bool IsParentGassan(std::int32_t g) { return g == 0 || g == 1 || g == 2; }
inline bool IsChildOwnerGassan(std::int32_t g) { return g == 1 || g == 2; }
constexpr std::uint8_t kChildGassan = 10;

// Search conditions of a list, as stored per operator and list type.
struct TDataKensakuRec {
    std::int32_t OPCODE = 0;
    std::int32_t LISTTYPE = 0;
    std::int32_t JYOKENUSE = 0;
    // 0 none; > 0 a data kind; -13 corporation or medical corporation.
    std::int32_t DATATYPE = 0;
    std::int32_t CODETYPE = 0;
    std::string DATACODE;
    std::string DATANAME;
    std::int32_t TANTO = 0;
    std::string DATAVER;
    std::string DataVerTo;
    // 0 equal "%d.%d", 1 same major, 2 at or above.
    std::int32_t VerMatch = 0;
    std::string SEIHINNAME;
    std::int32_t SORTCOL = 0;
    std::int32_t SORTTYPE = 0;
    std::string Reserved1;
    std::string Reserved2;
};

// Data-kind condition meaning "corporation or medical corporation".
constexpr std::int32_t kDataTypeHoujinOrIryou = -13;
