#include "datasel/KensakuJyoken.h"

namespace datasel {

const std::vector<TDataKbnChoice>& DataKbnChoices()
{
    static const std::vector<TDataKbnChoice> choices = {
        {"選択なし", 0, 0},         {"法人", 1, 1},           {"個人(一般)", 2, 1},     {"個人(不動産)", 2, 2},
        {"医療法人", 3, 1},         {"個人(クリニック)", 2, 3}, {"個人(農業)", 2, 4},
    };
    return choices;
}

std::int32_t DataKbnIndexOf(std::int32_t dataType, std::int32_t codeType)
{
    const auto& c = DataKbnChoices();
    for (std::size_t i = 1; i < c.size(); ++i)
        if (c[i].DataType == dataType && c[i].CodeType == codeType)
            return static_cast<std::int32_t>(i);
    return 0;
}

namespace {
// Stored SORTCOL -> grid column.
constexpr std::int32_t kGridOfStored[] = {0, 3, 4, 5, 6, 7, 1};
} // namespace

std::int32_t GridColumnOfSortCol(std::int32_t stored)
{
    if (stored < 0 || stored >= static_cast<std::int32_t>(std::size(kGridOfStored)))
        return 0;
    return kGridOfStored[stored];
}

std::int32_t SortColOfGridColumn(std::int32_t gridColumn)
{
    for (std::int32_t s = 1; s < static_cast<std::int32_t>(std::size(kGridOfStored)); ++s)
        if (kGridOfStored[s] == gridColumn)
            return s;
    return 0;
}

const char* const TKensakuHints::DataKbn =
    "選択した区分に該当するデータを抽出して表示します。|選択した区分に該当するデータを抽出して表示します。";
const char* const TKensakuHints::Code =
    "入力したコードを前方一致（先頭一致）で抽出して表示します。|入力したコード前方一致（先頭一致）で抽出して表示します。";
const char* const TKensakuHints::ListName =
    "入力した文字を含むデータを抽出して表示します。|入力した文字を含むデータを抽出して表示します。";
const char* const TKensakuHints::Tanto =
    "選択したｵﾍﾟﾚｰﾀが担当するデータを抽出して表示します。|選択したｵﾍﾟﾚｰﾀが担当するデータを抽出して表示します。";
const char* const TKensakuHints::DataVer =
    "選択したﾊﾞｰｼﾞｮﾝのデータを抽出して表示します。| 選択したﾊﾞｰｼﾞｮﾝのデータを抽出して表示します。";
const char* const TKensakuHints::Yukou =
    "ここで設定した条件に該当するデータだけを常時表示させる場合にﾁｪｯｸします。| "
    "ここで設定した条件に該当するデータだけを常時表示させる場合にﾁｪｯｸします。";
const char* const TKensakuHints::Ok = "設定した条件に該当するデータを表示します。| 設定した条件に該当するデータを表示します。";
const char* const TKensakuHints::Cancel = "データの検索を中止します。| データの検索を中止します。";

void TDataListKensakuModel::InitKensakuRec(TDataKensakuRec& rec, std::int32_t opCode) const
{
    rec = TDataKensakuRec{};
    rec.OPCODE = opCode;
    rec.LISTTYPE = ListType;
}

void TDataListKensakuModel::SetMode(std::uint8_t value)
{
    Mode = value;
    DataKbnIndex = DataKbnIndexOf(Rec.DATATYPE, Rec.CODETYPE);
    CodeText = Rec.DATACODE;
    ListNameText = Rec.DATANAME;
    TantoIndex = 0;
    for (std::size_t i = 0; i < TantoChoices.size(); ++i)
        if (TantoChoices[i].OpCode == Rec.TANTO) {
            TantoIndex = static_cast<std::int32_t>(i);
            break;
        }
    DataVerIndex = 0;
    for (std::size_t i = 0; i < DataVerChoices.size(); ++i)
        if (DataVerChoices[i].TypeName == Rec.SEIHINNAME) {
            DataVerIndex = static_cast<std::int32_t>(i);
            break;
        }
    Yukou = Rec.JYOKENUSE != 0;
}

void TDataListKensakuModel::TakeControls()
{
    const auto& kbn = DataKbnChoices();
    const bool kbnValid = DataKbnIndex > 0 && DataKbnIndex < static_cast<std::int32_t>(kbn.size());
    Rec.DATATYPE = kbnValid ? kbn[DataKbnIndex].DataType : 0;
    Rec.CODETYPE = kbnValid ? kbn[DataKbnIndex].CodeType : 0;
    Rec.DATACODE = CodeText;
    Rec.DATANAME = ListNameText;
    const bool tantoValid = TantoIndex >= 0 && TantoIndex < static_cast<std::int32_t>(TantoChoices.size());
    Rec.TANTO = tantoValid ? TantoChoices[TantoIndex].OpCode : 0;
    Rec.DATAVER.clear();
    Rec.SEIHINNAME.clear();
    if (DataVerIndex >= 0 && DataVerIndex < static_cast<std::int32_t>(DataVerChoices.size())) {
        const auto& v = DataVerChoices[DataVerIndex];
        if (DataVerIndex > 0 && (v.Major != 0 || v.Minor1 != 0))
            Rec.DATAVER = std::to_string(v.Major) + "." + std::to_string(v.Minor1);
        Rec.SEIHINNAME = v.TypeName;
    }
    Rec.DataVerTo.clear();
    Rec.VerMatch = 0;
    Rec.JYOKENUSE = Yukou ? 1 : 0;
}

} // namespace datasel
