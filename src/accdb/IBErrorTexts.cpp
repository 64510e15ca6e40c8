// Japanese explanations of the database server's status codes.
#include <algorithm>
#include <iterator>

#include "accdb/IBErrorReport.h"

namespace {

struct FbErrorText {
    int code;
    const char* text;
};

// Sorted by code.
constexpr FbErrorText kTexts[] = {
    {335544333, "（isc 内部のソフトウェア一貫性チェック）"},
    {335544336, "（デッドロック：変更できません。）"},
    {335544344, "（ファイルの入出力エラーが発生しました）"},
    {335544345, "（NO WAIT トランザクションのロックが衝突しています）"},
    {335544347, "（他のテーブルが参照しています。『列の値で検査エラーが発生しました』）"},
    {335544349, "（指定のコード（索引）は既に登録されています。『索引は重複値を格納できません』）"},
    {335544352, "（アクセスは許可されていません）"},
    {335544375, "（データベースが使用できません）"},
    {335544384, "（内部エラー）"},
    {335544450, " "},
    {335544466, "（他のテーブルが参照しているか？ 又は、マスターが登録されていません。,『キーの追加・削除・変更はできません』）"},
    {335544472, "（ユーザー名とパスワードが定義されていません。）"},
    {335544665, "（同じコードが登録されています。「PRIMARY KEY またはUNIQUE KEY 制約に違反」）"},
    {335544788, "（操作を実行することができません。データベースのSYSDBAか所有者のどちらかでなければなりません。）"},
    {336330766, "（データベースの上書きはできません。）"},
    {336330817, "（ディレクトリ名・データーベスに全角文字は使用できません。）"},
};

} // namespace

std::string GetFbErrorText(int IBErrorCode, int SQLCode) {
    // Two rows hold only for one SQLCODE.
    if (IBErrorCode == 335544788 && SQLCode != -901) return " ";
    if (IBErrorCode == 336330817 && SQLCode != -902) return " ";
    auto it = std::lower_bound(std::begin(kTexts), std::end(kTexts), IBErrorCode,
                               [](const FbErrorText& row, int code) { return row.code < code; });
    if (it == std::end(kTexts) || it->code != IBErrorCode) return " ";
    return it->text;
}
