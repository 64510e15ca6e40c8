#include "dbupdate/DbUpdateList.h"

#include <map>
#include <tuple>

#include "accdb/IBErrorReport.h"
#include "db/FbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"

namespace {

using Key = std::tuple<std::uint8_t, std::int32_t, std::int32_t, std::int32_t>;

std::map<Key, TDbUpdateProc>& procRegistry()
{
    static std::map<Key, TDbUpdateProc> registry;
    return registry;
}

struct StepText {
    std::int32_t major, minor1, minor2;
    std::int32_t backup;
    // A title or description may be built from the product title: the
    // product title goes in front of `title` when titleWithProduct, and
    // between descPrefix and `desc` when descWithProduct.
    bool titleWithProduct;
    const char* title;
    bool descWithProduct;
    const char* descPrefix;
    const char* desc;
};

constexpr const char* kOemTitle = "機能強化および不具合修正";
constexpr const char* kOemDesc = "１）機能強化および不具合の修正（詳しくはＨＰで確認ください）";

// System database steps, ascending.
const StepText kSystemSteps[] = {
    {0, 3, 1, 1, false, "共有サーバー機能の追加", false, "", "共有サーバー機能を追加します。"},
    {0, 3, 2, 0, false, "電子帳簿用ユーザーの追加", false, "", "電子帳簿用ユーザーを追加します。"},
    {0, 3, 3, 0, false, "経営ミルダユーザーの追加", false, "", "経営ミルダユーザーを追加します。"},
    {1, 0, 1, 0, false, "データリスト上のデータフォルダ名を大文字に統一", false, "",
     "データリスト上のデータフォルダ名が大文字と小文字の混在表記のため全て大文字に統一します。"},
    {3, 0, 0, 0, false, "旧バージョンデータの更新を禁止する機能を追加", false, "",
     "旧バージョンデータの更新を設定により禁止することが可能になります。"},
    {3, 0, 5, 0, false, "データ合算機能の追加", false, "", "データの合算処理が可能になります。"},
    {3, 0, 7, 0, false, "処理コントロールデータの改修", false, "",
     "処理レベルによる処理コントロールのデータ関連性を改修します。"},
    {4, 0, 0, 1, false, "データ選択に会社コード列を追加 他", false, "",
     "１）データ選択で会社コードをキーとした検索機能が利用可能となります。\r"
     "２）コード体系保存件数が20件へ拡張となります。"},
    {4, 0, 2, 1, false, "データ選択でデータの破損検証", false, "",
     "１）データ選択でデータの破損を検証する機能が追加されます。"},
    {5, 0, 0, 1, false, "Ｃ／Ｓ版でフォルダ毎にデータを管理する機能を追加", false, "",
     "１）Ｃ／Ｓ版でフォルダ毎にデータを管理する機能を追加する。"},
    {7, 0, 0, 0, true, "１５のデータ形式に変換", true, "１）", "１５のデータ形式に変換する。"},
    {7, 0, 4, 0, false, "消費税・特定課税仕入れ に対応", false, "", "１）特定課税仕入れの取引 に対応します。"},
    {8, 0, 0, 1, false, "マイナンバー制度に対応", false, "", "１）マイナンバー制度に対応しました。"},
    {8, 0, 2, 1, false, "メニューの起動管理方法を変更", false, "", "１）メニューの起動管理方法を変更しました。"},
    {9, 0, 4, 1, false, "仕訳帳、元帳の入力方法の管理項目を変更", false, "",
     "１）仕訳帳、元帳の入力方法の管理項目を変更しました。"},
    {10, 0, 4, 1, false, "オペレータの種類に承認者を追加", false, "", "１）オペレータの種類に承認者を追加しました。"},
    {11, 0, 1, 1, false, "新元号対応 他", false, "",
     "１）新元号「令和」を追加しました。\r２）クラウドシェア機能を追加しました。"},
    {12, 0, 0, 1, false, "仕訳入力の禁止設定", false, "",
     "１）仕訳入力を禁止にする設定を追加しました。※対象製品：タヴリン財務"},
};

// Data database steps, ascending.
const StepText kDataSteps[] = {
    {0, 1, 1, 1, false, "減価償却処理を追加　他", false, "",
     "1)減価償却処理用のテーブルを作成します。\r2)３期比較経営分析用のプロシジャーを作成します。"},
    {0, 1, 2, 1, false, "当座残高調整表を追加", false, "", "当座残高調整表用のプロシジャーを作成します。"},
    {0, 1, 3, 1, false, "監査処理機能を追加", false, "", "監査処理用のテーブルを作成します。"},
    {0, 1, 4, 1, false, "キャッシュ・フロー計算書を追加", false, "", "キャッシュ・フロー計算書用のテーブルを作成します。"},
    {0, 1, 5, 1, false, "ページ辞書機能の仕様変更 他", false, "",
     "1)補助または部門を削除したときに、削除対象の補助または部門がページ辞書仕訳に使用されていた場合に削除されないように仕様を変更しました。\r"
     "2)決算書の注記表「タイトルと会計期間を印刷する」のフィールドを追加しました。\r"
     "3)青色申告書用テーブルを作成します。"},
    {0, 2, 0, 0, false, "タヴリン財務０９評価版 Ver0.2.0", false, "", "タヴリン財務０９評価版 Ver0.2.0データへ更新します。"},
    {0, 2, 1, 1, false, "過年度残高の修復 ", false, "", "過年度残高を修復します。"},
    {0, 2, 2, 1, false, "科目マスタの構造変更 他", false, "",
     "1)科目マスタの構造を変更します。\r2)キャッシュフロー項目を再作成します。\r"
     "3)青色申告決算書で上書入力に対応します。\r4)内訳書用テーブルを作成します。"},
    {0, 3, 0, 0, false, "タヴリン財務０９評価版 Ver0.3.0", false, "", "タヴリン財務０９評価版 Ver0.3.0データへ更新します。"},
    {0, 3, 1, 1, false, "３期比較集計プログラムの更新 他", false, "",
     "３期比較集計プログラムを更新します。\r基本情報に通信フォルダー列を追加します。"},
    {0, 3, 2, 0, false, "電子帳簿用ユーザーの追加", false, "", "電子帳簿用ユーザーを追加します。"},
    {0, 3, 3, 1, false, "経営ミルダ機能の追加 他", false, "",
     "比較経営分析表の初期値を設定します。\r元入金の繰り入れ計算を更新します。"},
    {0, 3, 4, 1, false, "特定科目コード取得プログラムの変更 他", false, "",
     "特定科目コード取得プログラムを変更します。\r試算表用の当座資産分類コードを変更します。"},
    {0, 4, 0, 0, false, "タヴリン財務０９評価版 Ver0.4.0", false, "", "タヴリン財務０９評価版 Ver0.4.0データへ更新します。"},
    {0, 4, 1, 1, false, "監査処理項目の変更", false, "", "監査処理の規定項目を変更します。"},
    {1, 0, 0, 1, false, "タヴリン財務０９ Ver1.0.0", false, "", "タヴリン財務０９ Ver1.0.0データへ更新します。"},
    {1, 0, 1, 1, false, "財務分析で期中開始データが適正に集計されない不具合を修正 他", false, "",
     "１）財務分析で期中開始データが適正に集計されるように修正します。\r"
     "２）比較経営分析の科目内訳表示範囲を修正します。（経営ミルダ）"},
    {1, 0, 2, 1, false, "コンバートデータの減価償却資産の修復 他", false, "",
     "１）コンバートデータの減価償却資産を修復します。\r"
     "２）前期末残高が正しいか評価し、異常があった場合は修復します。"},
    {1, 0, 3, 1, false, "本・支店管理データの予算または過年度残高を調整 他", false, "",
     "１）本・支店管理データの予算または過年度残高を調整します。\r"
     "２）定形試算表の共通部門集計を適正に処理出来るように修正します。"},
    {1, 0, 5, 1, false, "合計残高試算表の集計項目名称の変更機能を追加", false, "",
     "１）合計残高試算表の集計項目名称の変更機能を追加します。"},
    {2, 0, 0, 1, false, "タヴリン財務１０のデータ形式に変換", false, "", "１）タヴリン財務１０のデータ形式に変換します。"},
    {2, 0, 4, 1, false, "出納帳スペシャル機能の追加", false, "", "１）出納帳スペシャル機能を追加します。"},
    {3, 0, 0, 1, false, "タヴリン財務１１のデータ形式に変換", false, "", "１）タヴリン財務１１のデータ形式に変換します。"},
    {3, 0, 1, 1, false, "仕訳更新プログラムの改修", false, "", "１）仕訳の更新プログラムを改修します。"},
    {3, 0, 3, 1, false, "科目設定プログラムの改修 他", false, "",
     "１）医療法人用の科目設定の更新プログラムを改修します。\r２）医療法人用の残高集計プログラムを改修します。"},
    {3, 0, 4, 1, false, "現金出納帳の送受信処理の改修", false, "", "１）現金出納帳の送受信処理の更新プログラムを改修します。"},
    {3, 0, 6, 1, false, "医療法人データの既定科目数の増加 他", false, "", "１）医療法人データの既定の科目数を増やします。"},
    {3, 0, 7, 1, false, "医療法人データの施設グループ集計を追加 他", false, "",
     "１）医療法人データの施設グループ集計を追加します。\r２）窓口日報の参照キーを変更します。\r"
     "３）支店比較パターンの保持情報を変更します。"},
    {4, 0, 0, 1, true, "１２のデータ形式に変換", true, "１）",
     "１２のデータ形式に変換します。\r２）過年度残高集計処理を高速化します。"},
    {4, 0, 2, 1, false, "消費税の仕入税額控除制度における追加要件に対応 他", false, "",
     "１）消費税の仕入税額控除制度における追加要件に対応します。\r"
     "２）還付申告書への「消費税の還付申告に関する明細書」に対応します。\r"
     "３）減価償却制度の平成23年12月改正に対応します。"},
    {5, 0, 0, 1, true, "１３のデータ形式に変換", true, "１）", "１３のデータ形式に変換します。\r"},
    {5, 0, 2, 1, false, "法人・個人データの日報入力に対応 他", false, "", "１）法人・個人データの日報入力に対応します。"},
    {5, 0, 5, 1, false, "法人決算書の手形相殺機能に対応", false, "", "１）法人決算書の手形相殺機能に対応します。"},
    {6, 0, 0, 1, true, "１４のデータ形式に変換 他", true, "１）",
     "１４のデータ形式に変換します。\r２）過年度残高に税込・税抜額の記録が可能になります。\r"
     "３）法人・個人データの製造原価報告書に外注費ブロックを追加します。"},
    {6, 1, 0, 1, true, "１４ 消費税改正版のデータ形式に変換 他", false, "", "１）２０１４年４月の消費税改正 に対応します。\r"},
    {6, 1, 3, 1, false, "仕訳変更時の並び順の調整 他", false, "",
     "１）決算同日仕訳変更時の並び順を調整します。\r"
     "２）定形試算表の販売費及び一般管理費の集計項目名称（縦）の入力文字数を拡張します。"},
    {7, 0, 0, 1, true, "１５のデータ形式に変換 他", true, "１）",
     "１５のデータ形式に変換します。\r２）「個人／農業」体系を新たに追加し、青色申告決算書（農業所得用）を作成します。"},
    {7, 0, 2, 1, false, "簡易課税制度のみなし仕入率の見直し", false, "", "１）簡易課税制度のみなし仕入率の見直しに対応します。\r"},
    {7, 0, 3, 1, false, "医療法人データの決算書レイアウトを変更", false, "", "１）医療法人データの決算書レイアウトを変更しました。\r"},
    {7, 0, 4, 1, false, "消費税・特定課税仕入れ に対応", false, "", "１）消費税申告書・付表の新様式に対応します。\r"},
    {8, 0, 0, 1, true, "１６のデータ形式に変換 他", true, "１）",
     "１６のデータ形式に変換する。\r２）マイナンバー制度に対応する。"},
    {8, 0, 2, 1, false, "予算管理機能強化", false, "", "１）法人データの予算管理を強化します。"},
    {8, 0, 3, 1, false, "個人データの予算管理機能強化 他", false, "",
     "１）個人データの予算管理を強化します。\r２）決算書の個別注記表項目を「法人税のゾルテ」へ連動可能にします。"},
    {9, 0, 0, 1, true, "１７のデータ形式に変換", true, "１）", "１７のデータ形式に変換する。"},
    {9, 0, 1, 1, false, "補助の削除処理障害に対応", false, "", "１）補助の削除処理が適正におこなえるように対応します。"},
    {9, 0, 2, 1, false, "仕訳帳の法人全体参照時の機能強化 他", false, "",
     "１）仕訳帳の法人全体参照時に仕訳登録や他支店への訂正が可能となります。\r"
     "２）総勘定元帳の法人全体参照時に仕訳登録や他支店への訂正が可能となります。\r"
     "３）仕訳モニターで法人全体の参照が可能となります。"},
    {9, 0, 3, 1, false, "法人全体試算表の科目内訳の取得方法を変更 他", false, "",
     "１）法人全体試算表の科目内訳の取得方法を変更しました。"},
    {9, 0, 4, 1, false, "中期予算作成時の実績額の調整機能 他", false, "",
     "１）中期予算作成時に実績額の調整が可能となります。\r２）汎用仕訳データのインポートが可能となります。\r"
     "３）フリーウェイ仕訳データのインポートが可能となります。\r４）ページ辞書からの仕訳追加時にグループ化し登録します。"},
    {9, 0, 5, 1, false, "中期予算作成の一括調整機能の不具合修正", false, "",
     "１）中期予算作成の実績調整の一括調整機能の不具合を修正しました。"},
    {10, 0, 0, 1, false, "試算表、分析表の印刷で出力科目の設定機能を追加 他", false, "",
     "１）試算表、分析表の印刷で出力する科目が設定可能となりました。\r"
     "２）法人決算書の製造原価報告書に当期製造費用行を追加しました。\r"
     "３）繰越残高調整で前期データの内訳書を移行する機能を追加しました。\r"
     "４）総勘定元帳の印刷時に総計行の出力の有無が選択可能となりました。"},
    {10, 0, 1, 1, false, "「取引明細ファイルのインポート」の追加 他", false, "",
     "１）取引明細ファイルのインポートを日常処理に追加しました。\r２）返済予定表を拡張機能に追加しました。\r"
     "３）法人事業概況書の新様式に対応しました。（平成30年4月1日以後終了事業分）\r"
     "４）資金繰実績表の機能を強化しました。（内訳の表示、印刷 他）\r"
     "５）他社仕訳データのインポートで「ソリマチ会計王」に対応しました。\r"
     "６）他社仕訳データのインポートで「エプソン財務応援」に対応しました。"},
    {10, 0, 3, 1, false, "「医療法人用決算届の新様式」に対応 他", false, "",
     "１）医療法人用決算届の新様式に対応しました。\r２）取引明細ファイルのインポートのマッピング項目を強化しました。\r"},
    {10, 0, 4, 1, false, "仕訳の承認機能の追加 他", false, "",
     "１）日常処理に仕訳の承認機能を追加しました。\r２）取引明細ファイルのインポートのマッピング項目を強化しました。\r"},
    {10, 0, 5, 1, false, "過去仕訳の検索時の不具合修正", false, "", "１）過去仕訳の検索時の不具合を修正しました。\r"},
    {11, 0, 0, 1, false, "取引明細ファイルのインポートの強化 他", false, "",
     "１）取引明細ファイルのインポートで設定条件に応じた仕訳が作成可能となりました。\r"
     "２）取引明細ファイルのインポートで割り当てのない取引でも設定に応じて仕訳が作成可能となりました。\r"
     "３）取引明細ファイルのインポートで全銀協規定フォーマット（改行なし）に対応しました。\r"
     "４）総合比較損益計算書で棚卸の洗替設定が可能となりました。"},
    {11, 0, 1, 1, false, "「NEVRiSA」データ送信の追加 他", false, "",
     "１）「NEVRiSA」へ過去データ、仕訳データが送信できるようになりました。\r"
     "２）クラウドシェア機能を追加しました。\r"
     "３）科目内訳書の新様式（平成31年4月以降終了事業年度）に対応しました。\r"
     "４）月次監査報告書の仕訳重複の確認で対象項目が選択できるようになりました。\r"
     "５）仕訳帳、元帳で選択行の合計金額が確認できるようになりました。。"},
    {11, 1, 0, 1, false, "１９ 消費税改正版のデータ形式に変換", false, "", "１）２０１９年１０月の消費税改正 に対応しました。"},
    {12, 0, 0, 1, false, "販売管理ファイルの取り込み対応 他", false, "",
     "１）取引明細ファイルのインポートで販売管理ファイルの取り込みが可能となりました。\r"
     "２）青色申告決算書（一般用）の税制改正に対応しました。"},
    {13, 0, 0, 1, false, "青色申告決算書の改正 他", false, "",
     "１）青色申告決算書の青色申告特別控除額の改正に対応しました。\r"
     "２）取引明細ファイルのインポートの現金出納帳の取り込み設定を改善しました。\r"
     "３）他社仕訳データのインポートでＯＢＣ勘定奉行の取り込みに対応しました。\r"
     "４）消費税申告書内で金額割合を求める計算式を見直しました。\r"
     "（他、詳しくはＨＰで確認ください）"},
    {13, 0, 3, 1, false, "「振替入力」画面を作成 他", false, "",
     "１）振替伝票形式の入力画面を新たに作成しました。\r"
     "２）一括入力画面の金額入力時に税額を即時に計算する様に変更しました。\r"
     "３）仕訳帳、元帳の印刷で行見出しの年情報の出力形式を変更しました。\r"
     "（他、詳しくはＨＰで確認ください）"},
    {14, 0, 0, 1, false, "摘要下段の文字制限を全角２０文字へ拡張 他", false, "",
     "１）摘要下段の文字制限を全角２０文字へ拡張しました。\r"
     "２）一括入力辞書の登録可能な分類数を100分類へ拡張しました。\r"
     "３）日報入力の登録可能な摘要数を100摘要へ拡張しました。\r"
     "４）部門データに限り、日報入力で摘要の表示非表示が設定可能となりました。\r"
     "（他、詳しくはＨＰで確認ください）"},
};

bool isVersion(const StepText& s, int a, int b, int c)
{
    return s.major == a && s.minor1 == b && s.minor2 == c;
}

// The distributor editions replace or extend some texts.
void applyEditionTexts(std::uint8_t kind, const StepText& s, TDbUpdateListRec& e)
{
    if (kind == 0) {
        if (isVersion(s, 7, 0, 0)) {
            e.Title = "個別原価管理機能の追加";
            e.Description = "１）個別原価管理機能を追加する。";
        } else if (isVersion(s, 10, 0, 4) || isVersion(s, 11, 0, 1) || isVersion(s, 12, 0, 0)) {
            e.Title = kOemTitle;
            e.Description = kOemDesc;
        }
        return;
    }
    if (isVersion(s, 7, 0, 0)) {
        e.Description += "\r３）個別原価管理機能を新たに追加します。";
    } else if (isVersion(s, 7, 0, 3)) {
        e.Title = "消費税試算表の仕訳帳ジャンプ機能の仕様変更";
        e.Description = "１）消費税試算表の仕訳帳ジャンプ機能の仕様を変更しました。\r";
    } else if (isVersion(s, 8, 0, 2)) {
        e.Title = "不具合修正";
        e.Description = "１）不具合を修正（詳しくはＨＰで確認ください）";
    } else if (TDbVersionTriple{s.major, s.minor1, s.minor2} >= TDbVersionTriple{8, 0, 3}) {
        e.Title = kOemTitle;
        e.Description = kOemDesc;
    }
}

void fillEntry(std::uint8_t kind, const StepText& s, const TDbUpdateTextSettings& settings, TDbUpdateListRec& e)
{
    e.Major = s.major;
    e.Minor1 = s.minor1;
    e.Minor2 = s.minor2;
    e.NeedBackup = s.backup;
    e.Title = s.titleWithProduct ? settings.ProductTitle + s.title : std::string(s.title);
    e.Description = s.descWithProduct ? std::string(s.descPrefix) + settings.ProductTitle + s.desc
                                      : std::string(s.descPrefix) + s.desc;
    if (settings.OemEdition == 1 || settings.OemEdition == 2)
        applyEditionTexts(kind, s, e);
    auto& reg = procRegistry();
    auto it = reg.find(Key{kind, s.major, s.minor1, s.minor2});
    e.UpdateProc = it != reg.end() ? it->second : TDbUpdateProc{};
}

template <std::size_t N>
TArrayDbUpdateListRec makeList(std::uint8_t kind, const StepText (&steps)[N], const TDbUpdateTextSettings& settings)
{
    TArrayDbUpdateListRec list(N);
    for (std::size_t i = 0; i < N; ++i)
        fillEntry(kind, steps[i], settings, list[i]);
    return list;
}

// Delphi-style StrToIntDef: optional blanks in front, a sign, decimal digits.
std::int32_t strToIntDef(const std::string& text, std::int32_t def)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size())
        return def;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return def;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL)
            return def;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return def;
    return static_cast<std::int32_t>(value);
}

} // namespace

void RegisterDbUpdateProc(std::uint8_t kind, std::int32_t major, std::int32_t minor1, std::int32_t minor2,
                          TDbUpdateProc proc)
{
    procRegistry()[Key{kind, major, minor1, minor2}] = std::move(proc);
}

bool SetDbUpdateInfo(std::uint8_t kind, std::int32_t major, std::int32_t minor1, std::int32_t minor2,
                     const TDbUpdateTextSettings& settings, TDbUpdateListRec& entry)
{
    auto find = [&](const auto& steps) -> bool {
        for (const auto& s : steps) {
            if (isVersion(s, major, minor1, minor2)) {
                fillEntry(kind, s, settings, entry);
                return true;
            }
        }
        return false;
    };
    return kind == 0 ? find(kSystemSteps) : find(kDataSteps);
}

TArrayDbUpdateListRec MakeSystemUpdateList(const TDbUpdateTextSettings& settings)
{
    return makeList(0, kSystemSteps, settings);
}

TArrayDbUpdateListRec MakeDataUpdateList(const TDbUpdateTextSettings& settings)
{
    return makeList(1, kDataSteps, settings);
}

TDbUpdateState::TDbUpdateState(const TDbUpdateTextSettings& settings)
    : SystemUpdateList(MakeSystemUpdateList(settings)), DataUpdateList(MakeDataUpdateList(settings)),
      CurrentList(&SystemUpdateList)
{
    ErrorReporter = [](const std::exception& e, const std::string& context, const std::string& text) {
        if (const auto* fb = dynamic_cast<const db::FbError*>(&e))
            IBErrorReport(*fb, context, text, true);
        else
            ErrorDetailMsg(text, e.what());
    };
}

void TDbUpdateState::SetDbVersionText(const std::string& text)
{
    DbVersion = {};
    std::vector<std::string> parts;
    std::string item;
    for (char c : text) {
        if (c == '.') {
            parts.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    parts.push_back(item);
    if (parts.size() != 3)
        return;
    DbVersion.Major = strToIntDef(parts[0], 0);
    DbVersion.Minor1 = strToIntDef(parts[1], 0);
    DbVersion.Minor2 = strToIntDef(parts[2], 0);
}

void TDbUpdateState::SetDbVersion()
{
    DbVersion = {};
    if (!VersionReader)
        return;
    try {
        DbVersion = VersionReader(UpdateKind);
    } catch (const std::exception& e) {
        // Every step then counts as pending.
        if (ErrorReporter)
            ErrorReporter(e, "TDbUpdateBox.SetDbVersion", "データベースバージョンの取得に失敗しました。");
    }
}

void TDbUpdateState::SetDbUpdateList(std::uint8_t kind, const std::string& versionText)
{
    UpdateKind = kind;
    UpdateNeeded = false;
    Succeeded = false;
    Compatibility = 0;
    FirstPending = -1;
    LastPending = -1;
    TargetVersion = {};
    BackupWeight = 0;

    CurrentList = kind == 0 ? &SystemUpdateList : &DataUpdateList;
    const auto& list = *CurrentList;
    if (!list.empty())
        TargetVersion = {list.back().Major, list.back().Minor1, list.back().Minor2};

    if (!versionText.empty())
        SetDbVersionText(versionText);
    else
        SetDbVersion();

    // 1: not newer than the program; 2: same major and minor, newer
    // revision; 0: a newer major or minor version.
    if (kind == 0) {
        Compatibility = 1;
    } else if (TargetVersion.Major > DbVersion.Major) {
        Compatibility = 1;
    } else if (TargetVersion.Major == DbVersion.Major && DbVersion.Minor1 <= TargetVersion.Minor1) {
        Compatibility = 1;
        if (DbVersion.Minor1 == TargetVersion.Minor1 && DbVersion.Minor2 > TargetVersion.Minor2)
            Compatibility = 2;
    }

    // The list is ascending: everything from the first newer step on is pending.
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& e = list[i];
        if (TDbVersionTriple{e.Major, e.Minor1, e.Minor2} > DbVersion) {
            FirstPending = static_cast<std::int32_t>(i);
            LastPending = static_cast<std::int32_t>(list.size()) - 1;
            UpdateNeeded = true;
            break;
        }
    }

    if (UpdateNeeded) {
        Rows.clear();
        for (std::int32_t i = FirstPending; i <= LastPending; ++i) {
            const auto& e = list[i];
            Rows.push_back({std::to_string(e.Major) + "." + std::to_string(e.Minor1) + "." + std::to_string(e.Minor2),
                            e.Title});
            BackupWeight += e.NeedBackup;
        }
        SelectRow(0);
    }
}

void TDbUpdateState::SelectRow(std::int32_t row)
{
    DescriptionText.clear();
    const std::int32_t index = row + FirstPending;
    if (row >= 0 && index >= 0 && CurrentList && index < static_cast<std::int32_t>(CurrentList->size()))
        DescriptionText = (*CurrentList)[index].Description;
}

std::string TDbUpdateState::TitleText() const
{
    return UpdateKind == 0 ? "システムデータの更新を行います。" : "会計データの更新を行います。";
}

std::string TDbUpdateState::WarningText1() const
{
    return UpdateKind == 0 ? "" : "バックアップを取得せずに、この処理を行うと元に戻すことが出来ません。";
}

std::string TDbUpdateState::WarningText2() const
{
    return UpdateKind == 0 ? "" : "必ずバックアップを取得後に実行することを強く推奨します。";
}

TDbVersionTriple ReadDbVersion(db::Transaction& tx, std::uint8_t kind)
{
    TDbVersionTriple v;
    const bool owns = !tx.active();
    if (owns)
        tx.start();
    try {
        db::Statement q(tx, std::string("SELECT MAJOR,MINOR1 AS MINOR,MINOR2 AS REV FROM ") +
                                (kind == 0 ? "VERSION" : "ACCVERSION") +
                                " ORDER BY MAJOR DESC,MINOR1 DESC,MINOR2 DESC");
        q.execute();
        if (q.fetch())
            v = {q.asInt("MAJOR"), q.asInt("MINOR"), q.asInt("REV")};
        q.close();
    } catch (...) {
        // The read is committed whatever happened; the caller reports.
        if (owns && tx.active())
            tx.commit();
        throw;
    }
    if (owns)
        tx.commit();
    return v;
}
