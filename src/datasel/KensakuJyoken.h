#pragma once
// The search conditions of a data list as the search dialog edits them:
// the choices of data kind, person in charge and data version, the hints,
// and the conversions between the dialog's choices and the stored values.
// The widget shows this model; storage of the conditions is
// TKensakuJyokenStore (KensakuJyokenStore.h).
#include <cstdint>
#include <string>
#include <vector>

#include "datasel/DataListRec.h"

namespace datasel {

struct TDataKbnChoice {
    const char* Text;
    std::int32_t DataType;
    std::int32_t CodeType;
};
// The data-kind choices in list order; index 0 is "選択なし".
const std::vector<TDataKbnChoice>& DataKbnChoices();
// The choice of a stored pair; 0 for a pair not in the list.
std::int32_t DataKbnIndexOf(std::int32_t dataType, std::int32_t codeType);

// Stored SORTCOL to the grid column of the data list and back.
std::int32_t GridColumnOfSortCol(std::int32_t stored);
std::int32_t SortColOfGridColumn(std::int32_t gridColumn);

// One person-in-charge choice (item 0: "選択なし" with code 0).
struct TTantoChoice {
    std::int32_t OpCode = 0;
    std::string Text;
};
// One data-version choice (item 0: "選択なし").
struct TDataVerChoice {
    std::int32_t Major = 0;
    std::int32_t Minor1 = 0;
    std::string TypeName;
};

// Hints of the dialog's controls ("short|long").
struct TKensakuHints {
    static const char* const DataKbn;
    static const char* const Code;
    static const char* const ListName;
    static const char* const Tanto;
    static const char* const DataVer;
    static const char* const Yukou;
    static const char* const Ok;
    static const char* const Cancel;
};

// The rules of the search-condition dialog, apart from its widgets.
class TDataListKensakuModel {
public:
    static constexpr const char* Caption = "検索条件の設定";
    static constexpr std::size_t CodeMaxLength = 8;
    static constexpr std::size_t ListNameMaxLength = 40;

    std::int32_t ListType = 0;
    std::uint8_t Mode = 0;
    TDataKensakuRec Rec;
    std::vector<TTantoChoice> TantoChoices{{0, "選択なし"}};
    std::vector<TDataVerChoice> DataVerChoices{{0, 0, "選択なし"}};

    // The controls' values.
    std::int32_t DataKbnIndex = 0;
    std::string CodeText;
    std::string ListNameText;
    std::int32_t TantoIndex = 0;
    std::int32_t DataVerIndex = 0;
    bool Yukou = false;

    // OPCODE and LISTTYPE set, everything else cleared.
    void InitKensakuRec(TDataKensakuRec& rec, std::int32_t opCode) const;
    // Stores the mode and shows Rec in the controls.
    void SetMode(std::uint8_t value);
    // Takes the controls into Rec (the OK button).
    void TakeControls();
};

} // namespace datasel
