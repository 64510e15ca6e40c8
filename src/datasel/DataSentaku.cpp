#include "datasel/DataSentaku.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "accdb/AccRecord.h"
#include "accdb/DataInfomation.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "datasel/DataListFilter.h"
#include "datasel/DataListKensaku.h"
#include "datasel/DataSentakuList.h"
#include "datasel/KensakuJyokenStore.h"
#include "db/FbError.h"
#include "dbupdate/DbUpdateList.h"
#include "platform/IniFile.h"
#include "platform/Prompt.h"
#include "ui/AnimeProgress.h"
#include "ui/Base64.h"
#include "ui/MessageBox.h"
#include "ui/MessageDlg2.h"
#include "ui/PlButton.h"

namespace datasel {

namespace {

const char* const kSyoriTypeRange = "処理タイプに範囲外の値が設定されました。";
const char* const kBadFolder = "データフォルダパスが不正です。\r処理を中止します。";
const char* const kNoData = "このフォルダには財務データがありません。\r";

bool toInt(const std::string& text, std::int32_t& value)
{
    try {
        std::size_t used = 0;
        const long v = std::stol(text, &used, 10);
        if (used != text.size())
            return false;
        value = static_cast<std::int32_t>(v);
        return true;
    } catch (...) {
        return false;
    }
}

std::string lower(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string noTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void showPlain(int kind, const std::string& text, platform::MsgButtons buttons = platform::mbYes)
{
    platform::PromptMessage m;
    m.source = "TDataSentakuBox";
    m.kind = kind;
    m.setText(text);
    m.buttons = buttons;
    platform::prompt().show(m);
}

// Information box of data management (one OK button).
void showInfo(const std::string& text)
{
    TMessage2InfoRec info;
    InitMessage2Info(2, info);
    std::size_t start = 0;
    for (int i = 0; i < 10; ++i) {
        const auto cr = text.find('\r', start);
        info.Lines[static_cast<std::size_t>(i)].Text = text.substr(start, cr == std::string::npos ? cr : cr - start);
        if (cr == std::string::npos)
            break;
        start = cr + 1;
    }
    ShowMessageBox2(info);
}

} // namespace

// ---------------------------------------------------------------------------
// Launch parameters

void ReadDataSentakuParams(const std::vector<std::string>& lines, std::int32_t opCode, TDataSentakuLaunch& p)
{
    auto value = [&](const char* key, bool& found) { return ProcessParam(lines, key, &found); };
    bool found = false;
    std::string v = value("SyoriType", found);
    std::int32_t n = 0;
    if (found && toInt(v, n)) {
        if (n > 5)
            throw std::runtime_error(kSyoriTypeRange);
        if (n >= 0)
            p.SyoriType = static_cast<std::uint8_t>(n);
    }
    v = value("FormStyle", found);
    n = 0;
    if (found && !toInt(v, n))
        n = -1;
    p.FormStyle = n == 0   ? TDataSentakuFormStyle::MdiChild
                  : n == 1 ? TDataSentakuFormStyle::MdiForm
                  : n == 2 ? TDataSentakuFormStyle::Normal
                           : TDataSentakuFormStyle::StayOnTop;
    TDataKensakuRec& c = p.LaunchConditions;
    c = TDataKensakuRec{};
    c.OPCODE = opCode;
    value("JyokenSet", found);
    if (found) {
        c.JYOKENUSE = 1;
        std::int32_t t = 0;
        c.DATATYPE = toInt(value("DataType", found), t) ? t : 0;
        t = 0;
        c.CODETYPE = toInt(value("CodeType", found), t) ? t : 0;
        v = value("DataVer", found);
        if (found) {
            c.DATAVER = v;
            c.VerMatch = 0;
        }
        v = value("DataVerMajor", found);
        if (found) {
            c.DATAVER = v;
            c.DataVerTo.clear();
            c.VerMatch = 1;
        }
        v = value("DataVerMore", found);
        if (found) {
            c.DATAVER = v;
            c.DataVerTo.clear();
            c.VerMatch = 2;
        }
        if (value("ManualFree", found) == "1" && found)
            p.ManualFree = true;
    }
    if (p.SyoriType == 5) {
        p.OnlySaRestore = 0;
        p.OnlySaBackupPath.clear();
        v = value("OnlySA_Syori", found);
        if (found && v == "Restore")
            p.OnlySaRestore = 1;
        v = value("OnlySA_BackupPath", found);
        if (found)
            p.OnlySaBackupPath = v;
    }
}

// ---------------------------------------------------------------------------
// Function-key captions

const std::string& BareCaption(int key)
{
    static const std::array<std::string, 10> bare = {"ESC:", "F1:", "F2:", "F3:", "F4:",
                                                     "F5:",  "F6:", "F7:", "F8:", "F12:"};
    return bare[static_cast<std::size_t>(std::clamp(key, 0, 9))];
}

bool IsBareCaption(int key, const std::string& caption) { return caption == BareCaption(key); }

TFKeyState SetFKeyCaptions(const TFKeyInput& in)
{
    TFKeyState s;
    auto& c = s.Captions;
    auto bare = [&](int k) { c[static_cast<std::size_t>(k)] = BareCaption(k); };
    // 1. start values
    c = {"ESC:ｷｬﾝｾﾙ", "F1:ヘルプ", "F2:コピー", "F3:新規作成", "F4:割当解除",
         "F5:ﾃﾞｰﾀ削除", "F6:保存", "F7:復元", "F8:印刷", "F12:選択"};
    const bool server = in.ConnectKind == 1 || in.ConnectKind == 2;
    if (server)
        c[fkF4] = "F4:領域追加";
    if (in.SyoriType == 2 || in.SyoriType == 4)
        bare(fkF3);
    // 2. the row
    const TDataListRec& r = in.Row;
    bool haveRow = false;
    if (in.GridActive && in.HasRow) {
        haveRow = true;
        s.RowState = 1;
        if (in.PasteMode == 1) {
            s.RowState = 2;
            c[fkF2] = "F2:貼り付け";
            s.PasteHint = true;
        }
    }
    if (haveRow) {
        const bool named = !r.ENTTEXT.empty();
        const bool freeArea = (IsParentGassan(r.GASSAN) && r.ENTTEXT == "空き領域") || r.ENTTEXT == "新しい領域";
        // 3. cloud data
        if (in.CloudUsable && r.CLOUD == 1)
            bare(fkF3);
        // 4. server kinds
        if (server) {
            if (named) {
                c[fkF3] = in.ConnectKind == 1 ? "F3:持ち出し" : "F3:";
            } else {
                if (in.PasteMode != 1)
                    bare(fkF2);
                bare(fkF5);
                bare(fkF6);
            }
        }
        // 5. stand-alone, shared data
        if (in.ConnectKind == 0 && r.NETDRIVE != 0) {
            if (r.KYOYULOCK == 0) {
                bare(fkF2);
                bare(fkF3);
                bare(fkF5);
                bare(fkF7);
                if (r.GASSAN == kChildGassan) {
                    bare(fkF2);
                    bare(fkF4);
                    bare(fkF5);
                }
                if (in.LogonMode == 0 && in.AutoShareBoxVisible && in.AutoShare == 0)
                    bare(fkF12);
                else if (in.LogonMode == 2 || in.LogonMode == 3)
                    bare(fkF12);
            } else {
                bare(fkF3);
                bare(fkF4);
                bare(fkF5);
                if (freeArea) {
                    c[fkF3] = "F3:新規作成";
                    c[fkF4] = "F4:割当解除";
                }
                if (r.GASSAN == 1)
                    c[fkF3] = "F3:分散追加";
                else if (r.GASSAN == kChildGassan && in.ParentGassan == 1)
                    c[fkF5] = "F5:ﾃﾞｰﾀ削除";
            }
        }
        // 6. stand-alone, local data
        if (in.ConnectKind == 0 && r.NETDRIVE == 0) {
            bare(fkF4);
            if (named) {
                bare(fkF3);
                if (r.GASSAN == 1)
                    c[fkF3] = "F3:分散追加";
                else if (r.GASSAN == kChildGassan && in.ParentGassan == 2)
                    bare(fkF5);
            } else {
                if (in.PasteMode != 1)
                    bare(fkF2);
                bare(fkF5);
                bare(fkF6);
            }
        }
    }
    // 8. share and cloud buttons
    if (s.RowState == 1) {
        if (!in.AutoShareChecked) {
            const bool freeArea = r.ENTTEXT == "空き領域" || r.ENTTEXT == "新しい領域";
            if (r.NETDRIVE == 0) {
                s.ShareDownEnabled = r.ENTTEXT.empty();
                s.ShareUpEnabled = false;
            } else if (!r.ENTTEXT.empty() && !freeArea) {
                s.ShareDownEnabled = r.KYOYULOCK == 0;
                s.ShareUpEnabled = r.KYOYULOCK == 1;
            }
        }
        s.CloudEnabled = true;
        if (r.DATA_STATUS != 0) {
            bare(fkF2);
            bare(fkF3);
            bare(fkF4);
            bare(fkF6);
            bare(fkF12);
            s.ShareUpEnabled = false;
            s.CloudEnabled = false;
        }
        if (r.VER_MAJOR == 0)
            s.CloudEnabled = false;
    } else {
        s.ShareDownEnabled = s.ShareUpEnabled = false;
        s.CloudEnabled = s.RowState == 2;
    }
    // 9. a disabled grid or panel
    if (!in.GridEnabled || !in.PanelEnabled) {
        s.RowState = 0;
        bare(fkF8);
        bare(fkF12);
    }
    // 10. logon modes
    if (in.LogonMode == 2) {
        s.ShareButtonsHidden = s.AutoShareBoxHidden = true;
        if (haveRow && r.NETDRIVE != 0)
            bare(fkF3);
        bare(fkF4);
        bare(fkF6);
        bare(fkF7);
    } else if (in.LogonMode == 3) {
        s.ShareButtonsHidden = s.AutoShareBoxHidden = s.SearchButtonsHidden = s.CloudHidden = true;
        if (haveRow && (r.NETDRIVE != 0 || r.GASSAN == 1))
            bare(fkF3);
        bare(fkF4);
    }
    // 11. no usable row
    if (s.RowState == 0)
        for (int k = fkF2; k <= fkF7; ++k)
            bare(k);
    // 12. modes
    if (in.SyoriType == 3) {
        for (int k = fkF1; k <= fkF8; ++k)
            bare(k);
        s.SearchButtonsDisabled = true;
    } else if (in.SyoriType == 4) {
        for (int k : {fkF1, fkF2, fkF3, fkF6, fkF7, fkF8})
            bare(k);
    } else if (in.SyoriType == 5) {
        for (int k = fkF1; k <= fkF8; ++k)
            bare(k);
    }
    return s;
}

// ---------------------------------------------------------------------------
// Incremental search

std::string IncSerchCharOfKey(int vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 96 && vk <= 105)
        return std::string(1, static_cast<char>('0' + vk - 96));
    if (vk >= 106 && vk <= 111) {
        static const char pad[] = "*+,-./";
        return std::string(1, pad[vk - 106]);
    }
    if ((vk >= 186 && vk <= 187) || (vk >= 192 && vk <= 224))
        return std::string(1, static_cast<char>(vk - 128));
    if (vk >= 188 && vk <= 191)
        return std::string(1, static_cast<char>(vk - 144));
    if (vk >= 225 && vk <= 226)
        return std::string(1, static_cast<char>(vk - 134));
    return {};
}

int IncSerchFind(const std::vector<std::string>& codes, int current, const std::string& text)
{
    const int n = static_cast<int>(codes.size());
    if (n == 0 || text.empty())
        return -1;
    const std::string want = lower(text);
    auto matches = [&](int i) { return lower(codes[static_cast<std::size_t>(i)].substr(0, want.size())) == want; };
    for (int i = current + 1; i < n; ++i)
        if (matches(i))
            return i;
    for (int i = 0; i <= std::min(current, n - 1); ++i)
        if (matches(i))
            return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Rows

std::string RowDataPath(const TDataListRec& row, const std::string& systemFolder)
{
    const std::string pas = noTrailingSlash(ToSlashPath(row.PASNAME));
    if (row.NETDRIVE != 1)
        return pas;
    char rec[16];
    std::snprintf(rec, sizeof rec, "%.4d", row.REC);
    const std::string base = noTrailingSlash(systemFolder) + "/" + rec;
    if (IsParentGassan(row.GASSAN))
        return base;
    const auto slash = pas.rfind('/');
    return base + "/" + (slash == std::string::npos ? pas : pas.substr(slash + 1));
}

std::uint8_t KyoyuStateOf(const TDataListRec& row)
{
    if (row.NETDRIVE != 1)
        return 0;
    return row.KYOYULOCK == 1 ? 2 : 1;
}

std::vector<std::string> ChildFoldersToRemove(const TDataSentakuRec& parent, const std::string& folder)
{
    std::vector<std::string> out;
    const std::string base = noTrailingSlash(ToSlashPath(folder));
    if (TrimZen(base).empty())
        return out;
    auto add = [&](const std::string& p) {
        if (std::find(out.begin(), out.end(), p) == out.end())
            out.push_back(p);
    };
    for (const auto& child : parent.Children) {
        const std::string pas = noTrailingSlash(ToSlashPath(child.PASNAME));
        const auto slash = pas.rfind('/');
        const std::string name = slash == std::string::npos ? pas : pas.substr(slash + 1);
        if (name.empty())
            continue;
        std::error_code ec;
        if (std::filesystem::is_directory(base + "/" + name, ec))
            add(base + "/" + name);
    }
    std::error_code ec;
    std::filesystem::directory_iterator it(base, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code e2;
        if (it->is_directory(e2) && std::filesystem::exists(it->path() / DataFile, e2))
            add(base + "/" + it->path().filename().string());
    }
    return out;
}

std::string GridPathText(const std::string& pasName, const std::string& baseFolder)
{
    const std::string base = noTrailingSlash(ToSlashPath(baseFolder));
    if (base.empty())
        return pasName;
    std::string out;
    const std::string upBase = UpperAscii(base);
    const std::string up = UpperAscii(pasName);
    std::size_t i = 0;
    while (i < pasName.size()) {
        if (up.compare(i, upBase.size(), upBase) == 0) {
            out += "~";
            i += upBase.size();
        } else {
            out += pasName[i++];
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Hints

namespace {
const char* const kGrid0 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。\r\n空白行は選択できません。［F3］で新規にﾃﾞｰﾀを作成するか、又は［F7］で作成済みのﾃﾞｰﾀを復元してください。\r\n選択ﾃﾞｰﾀを削除する場合は［F5］、ﾌﾗｯｼｭﾒﾓﾘなどのﾒﾃﾞｨｱに保存する場合は［F6］を押します。\r\n共有ﾃﾞｰﾀを処理する場合は［共有取得］、取得した共有ﾃﾞｰﾀを他のｵﾍﾟﾚｰﾀが使えるようにする場合は［共有保管］をｸﾘｯｸします。";
const char* const kGrid0m2 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。\r\n［F7］で作成済みのﾃﾞｰﾀを復元してください。\r\n選択ﾃﾞｰﾀを削除する場合は［F5］、ﾌﾗｯｼｭﾒﾓﾘなどのﾒﾃﾞｨｱに保存する場合は［F6］を押します。\r\n共有ﾃﾞｰﾀを処理する場合は［共有取得］、取得した共有ﾃﾞｰﾀを他のｵﾍﾟﾚｰﾀが使えるようにする場合は［共有保管］をｸﾘｯｸします。";
const char* const kGridM4 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で空いている行を選択します。\r\n";
const char* const kGrid1 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。\r\n空白行は選択できません。";
const char* const kGrid1m2 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。\r\n";
const char* const kGrid2 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。\r\n空白行は選択できません。［F3］で新規にﾃﾞｰﾀを作成するか、又は［F7］で作成済みのﾃﾞｰﾀを復元してください。\r\n選択ﾃﾞｰﾀを削除する場合は［F5］を、ﾌﾗｯｼｭﾒﾓﾘなどのﾒﾃﾞｨｱに保存する場合は［F6］を押します。";
const char* const kGrid2m2 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。\r\n［F7］で作成済みのﾃﾞｰﾀを復元してください。\r\n選択ﾃﾞｰﾀを削除する場合は［F5］を、ﾌﾗｯｼｭﾒﾓﾘなどのﾒﾃﾞｨｱに保存する場合は［F6］を押します。";
const char* const kGridLogon2 =
    "［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。|［ENTER］又はﾀﾞﾌﾞﾙｸﾘｯｸ又は［F12］で選択します。\r\n空白行は選択できません。［F3］で新規にﾃﾞｰﾀを作成してください。\r\n選択ﾃﾞｰﾀを削除する場合は［F5］を押します。";
const char* const kHintAuto =
    "ﾁｪｯｸを入れると取得・保管ﾎﾞﾀﾝを使わずに共有ﾃﾞｰﾀを処理できます。空白行に共有ﾃﾞｰﾀを割り当てる場合やLANから切り離してﾃﾞｰﾀ持ち出す場合はﾁｪｯｸを外してください。|";
const char* const kHintUp =
    "選択した共有ﾃﾞｰﾀを他のPCで使用可能にします。保管を行うと［共有］欄にｱｲｺﾝが付きます。|";
const char* const kHintDown =
    "空白行を選択してｸﾘｯｸすると［共有ﾃﾞｰﾀの選択］画面が開きます。共有ﾃﾞｰﾀ行を選択してｸﾘｯｸすると選択可能になります。（［共有］欄のｱｲｺﾝが外れます。）|";
const char* const kHintSearchCancel =
    "検索状態を解除します。|";
const char* const kHintSearch =
    "［検索条件の設定］画面を開きます。一定条件に該当するﾃﾞｰﾀを抽出表示する場合に使用します。|";
const char* const kHintInfo =
    "「ﾃﾞｰﾀの詳細情報」画面を開きます。入力済み仕訳件数や部門・本支店の設定状況など、選択ﾃﾞｰﾀの基本情報を表示します。|「ﾃﾞｰﾀの詳細情報」画面を開きます。入力済み仕訳件数や部門・本支店の設定状況など、選択ﾃﾞｰﾀの基本情報を表示します。\r\nﾃﾞｰﾀ選択画面におけるﾃﾞｰﾀの表示名を変更することも可能です。";
const char* const kHintUpdate =
    "ﾃﾞｰﾀﾘｽﾄを更新します。［F5：ﾃﾞｰﾀ削除］や［F7：復元］などの機能を使わずに移行したﾃﾞｰﾀを再表示します。|ﾃﾞｰﾀﾘｽﾄを更新します。入力済み仕訳件数や部門・本支店の設定状況など、選択ﾃﾞｰﾀの基本情報を表示します。\r\nﾃﾞｰﾀ選択画面におけるﾃﾞｰﾀの表示名を変更することも可能です。";
const char* const kHintUpdate2 =
    "ﾃﾞｰﾀﾘｽﾄを更新します。［F5：ﾃﾞｰﾀ削除］などの機能を使わずに移行したﾃﾞｰﾀを再表示します。|ﾃﾞｰﾀﾘｽﾄを更新します。入力済み仕訳件数や部門・本支店の設定状況など、選択ﾃﾞｰﾀの基本情報を表示します。\r\nﾃﾞｰﾀ選択画面におけるﾃﾞｰﾀの表示名を変更することも可能です。";
const char* const kHintPlace =
    "データの場所を選択します。|データの場所をドロップダウンリストより選択します。選択された場所のデータリストが表示されます。";
const char* const kHintPlaceSet =
    "データの場所を設定します。|データの場所を設定する画面が開きます。";
} // namespace

const char* const kPasteGridHint = "貼り付け先を選択して［F2］を押します。|貼り付け先を選択して［F2］を押します。\r\nｺﾋﾟｰ処理を中断する場合は［ESC］を押します。";

std::string DataSentakuGridHint(std::uint8_t kind, std::uint8_t mode, std::uint8_t logonMode)
{
    if (logonMode == 2)
        return kGridLogon2;
    const bool choose = mode == 0 || mode == 1 || mode == 3;
    if (mode == 4 && kind <= 2)
        return kGridM4;
    switch (kind) {
    case 0: return choose ? kGrid0 : mode == 2 ? kGrid0m2 : "";
    case 1: return choose ? kGrid1 : mode == 2 ? kGrid1m2 : "";
    case 2: return choose ? kGrid2 : mode == 2 ? kGrid2m2 : "";
    default: return "";
    }
}

// ---------------------------------------------------------------------------
// Services

std::function<bool()> PutSysDefProc;

db::Attachment* TDataSentakuServices::SystemDatabase() { return DM ? &DM->IBDatabaseDEF : nullptr; }
db::Transaction* TDataSentakuServices::SystemTransaction() { return DM ? &DM->IBTransactionDEF : nullptr; }

bool TDataSentakuServices::FileExists(const std::string& path, std::uint8_t kind)
{
    if (DM)
        return DM->FExist(path, kind);
    std::error_code ec;
    return kind == 0 && std::filesystem::is_regular_file(path, ec);
}

bool TDataSentakuServices::RemoveDir(const std::string& path, std::uint8_t kind)
{
    if (DM)
        return DM->RmDir(path, kind, false);
    std::error_code ec;
    return kind == 0 && std::filesystem::remove_all(path, ec) > 0 && !ec;
}

void TDataSentakuServices::DeleteLocalFile(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

void TDataSentakuServices::GetDataStatus(const std::string& folder, TDataInfomationRec& rec)
{
    TDataInfomation info;
    info.ConnectKind = ConnectKind;
    info.GetDataStatus(folder, rec);
}

bool TDataSentakuServices::ReadDataInfo(const std::string& folder, TDataInfomationRec& rec)
{
    if (!DM)
        return false;
    TDataInfomation info;
    info.ConnectKind = ConnectKind;
    return info.ReadDataInfo(folder, rec);
}

void TDataSentakuServices::WriteIniFile(const std::string& folder, const std::string& section,
                                        const TDataInfomationRec& rec)
{
    TDataInfomation info;
    info.ConnectKind = ConnectKind;
    info.WriteIniFile(folder, section, rec);
}

void TDataSentakuServices::SetDataStatus(const std::string& folder, std::uint8_t status)
{
    TDataInfomation info;
    info.ConnectKind = ConnectKind;
    info.SetDataStatus(folder, status);
}

int TDataSentakuServices::CallDataVerify(const std::string& host, const std::string& folder, int silent, int force)
{
    return DM ? DM->CallDataVerify(host, folder, silent, force) : 1;
}

bool TDataSentakuServices::IsCloudShareUse(bool forSend) { return DM ? DM->IsCloudShareUse(forSend) : false; }
bool TDataSentakuServices::DataConnected() { return DM && DM->IBDatabaseDAT.connected(); }

bool TDataSentakuServices::ReconnectData(const std::string& host, const std::string& folder)
{
    return DM && DM->fnAccDatConnected(host, folder, 0);
}

bool TDataSentakuServices::PutSysDef()
{
    if (PutSysDefProc)
        return PutSysDefProc();
    return DM ? DM->fnPutSysDef() : false;
}
void TDataSentakuServices::OpenHelp(const std::string& page) { OpenHtmlHelp(page); }

// ---------------------------------------------------------------------------
// Checks

std::uint8_t TDataSentakuChecks::CheckDataStatus(const std::string& folder, bool reportMissing, bool showRefusal)
{
    const bool server = ConnectKind == 1 || ConnectKind == 2;
    if (!svc_.FileExists(folder + "/" + DataFile, ConnectKind)) {
        if (reportMissing) {
            showPlain(platform::pkWarning, kNoData);
            return 0;
        }
        return 1;
    }
    svc_.GetDataStatus(folder, StatusRec);
    const std::uint8_t s = StatusRec.STATUS;
    const bool acceptable = ConnectKind == 0 ? s == 1 : server ? (s == 1 || s == 2) : false;
    if (s == 0 || s == 10 || !showRefusal || acceptable)
        return s;
    TMessageInfoRec info;
    InitMessageInfo(info);
    info.Kind = 1;
    info.Caption = "選択データの状態";
    char text[512];
    std::snprintf(text, sizeof text, "このデータは%sのため処理が行えません。",
                  TDataSentakuListCtl::GetDataStatusText(s).c_str());
    info.Text = text;
    if (s == 2)
        info.Text += std::string("\r") + "前回、異常終了した場合は情報ボタンを押してデータの状態を回復して下さい。";
    info.TextColor = 255;
    const std::int64_t base = static_cast<std::int64_t>(SystemDef.GroupId) * 10000;
    const long long code = base != 0 ? StatusRec.OPCODE % base : StatusRec.OPCODE;
    info.Lines = {"【データフォルダ】", "\u3000" + folder, "", "【オペレータ】",
                  "\u3000" + std::to_string(code), "", "【オペレータ名】", "\u3000" + StatusRec.OPERATOR};
    ShowMessageBox(info);
    return s;
}

std::int32_t TDataSentakuChecks::CheckDataFolder(const std::string& folder)
{
    if (TrimZen(folder).empty()) {
        if (SyoriType == 3)
            return -2;
        throw std::runtime_error(kBadFolder);
    }
    const std::string file = folder + "/" + DataFile;
    const bool choose = SyoriType == 0 || SyoriType == 1 || SyoriType == 3;
    if (ConnectKind == 0) {
        std::uint8_t st = 1;
        if (choose)
            st = CheckDataStatus(folder, true, true);
        else if (SyoriType == 2 || SyoriType == 4)
            st = CheckDataStatus(folder, false, false);
        if (st == 1)
            return svc_.FileExists(file, 0) ? 1 : 0;
        return SystemDef.DataDamaged == 1 ? -3 : -1;
    }
    if (ConnectKind == 1 || ConnectKind == 2) {
        if (choose) {
            const std::uint8_t st = CheckDataStatus(folder, true, true);
            if (st != 1 && st != 2)
                return SystemDef.DataDamaged == 1 ? -3 : -1;
            if (svc_.FileExists(file, ConnectKind))
                return 1;
            showPlain(platform::pkWarning, kNoData);
            return -1;
        }
        if (SyoriType == 2 || SyoriType == 4)
            return svc_.FileExists(file, ConnectKind) ? 1 : 0;
        return -1;
    }
    showPlain(platform::pkError, "製品タイプ不整合のためデータを起動できませんでした。\r");
    return -1;
}

} // namespace datasel

// ---------------------------------------------------------------------------
// The dialog

using namespace datasel;

namespace {

QColor bgr(std::uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

// Pictures of the grid: blank, lock or in-use, shared; no cloud, cloud.
const char* const kLockPic = "■";
const char* const kSharePic = "◆";
const char* const kCloudPic = "○";

const char* const kNotReady = "データリストが応答状態ではないので処理は行えません。";

std::string fmtNendo(int nendo)
{
    return std::to_string(nendo) + " 期";
}

// The status file caches what the data database says of the data set: its
// update prohibition and read-only flag and its details.
void writeStatusCache(IDataSentakuServices& svc, const std::string& folder, const TDataInfomationRec& info)
{
    try {
        platform::IniFile ini(DataStatusFilePath(folder));
        ini.writeInteger("DATASTS", "UPDATE_LOCK", info.UPDATE_LOCK);
        ini.writeInteger("DATASTS", "READ_ONLY", info.READ_ONLY);
        svc.WriteIniFile(folder, "DATAINFO", info);
    } catch (const std::exception&) {
        // only a cache of the database; the row still refreshes
    }
}

// The operator's login code within the group.
std::int64_t loginCode(std::int64_t opCode)
{
    const std::int64_t base = static_cast<std::int64_t>(SystemDef.GroupId) * 10000;
    return base != 0 ? opCode % base : opCode;
}

} // namespace

std::function<int(TDataSentakuBox&)> TDataSentakuBox::ModalRunner;
std::function<std::shared_ptr<IDataSentakuServices>()> TDataSentakuBox::ServicesFactory;

std::unique_ptr<TProcessComponent> TDataSentakuBox::Create()
{
    return std::make_unique<TDataSentakuBox>();
}

void RegisterDataSentakuBox() { RegisterProcessForm(&TDataSentakuBox::Create, "VqDataSenkaku"); }

namespace {
struct Registrar {
    Registrar() { RegisterDataSentakuBox(); }
} registrar;
} // namespace

TDataSentakuBox::TDataSentakuBox(QWidget* parent, std::shared_ptr<IDataSentakuServices> services)
    : TBSDI(parent, bsDialog), svc_(std::move(services))
{
    if (!svc_)
        svc_ = ServicesFactory ? ServicesFactory() : std::make_shared<TDataSentakuServices>();
    setObjectName(QStringLiteral("DataSentakuBox"));
    resize(1000, 600);
    auto* top = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    pnlDataMan = new QWidget(this);
    auto* placeLay = new QHBoxLayout(pnlDataMan);
    placeLay->setContentsMargins(0, 0, 0, 0);
    placeLay->addWidget(new QLabel(QStringLiteral("データの場所:"), pnlDataMan));
    cmbDataMan = new QComboBox(pnlDataMan);
    btnDataMan = new QPushButton(QStringLiteral("設定"), pnlDataMan);
    placeLay->addWidget(cmbDataMan);
    placeLay->addWidget(btnDataMan);
    bar->addWidget(pnlDataMan);
    bar->addStretch();
    cboxKyoyuDataAuto = new QCheckBox(QStringLiteral("共有データの取得と保管を自動化する"), this);
    btnKyoyuDataDown = new QPushButton(QStringLiteral("共有取得"), this);
    btnKyoyuDataUp = new QPushButton(QStringLiteral("共有保管"), this);
    btnCloudShare = new QPushButton(QStringLiteral("ｸﾗｳﾄﾞ"), this);
    btnSearchCancel = new QPushButton(QStringLiteral("検索解除"), this);
    btnSearch = new QPushButton(QStringLiteral("検索"), this);
    btnDataInfo = new QPushButton(QStringLiteral("情報"), this);
    btnListUpdate = new QPushButton(QStringLiteral("更新"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{cboxKyoyuDataAuto, btnKyoyuDataDown, btnKyoyuDataUp,
                                                      btnCloudShare, btnSearchCancel, btnSearch, btnDataInfo,
                                                      btnListUpdate})
        bar->addWidget(w);
    top->addLayout(bar);
    txtIncSerch = new QLineEdit(this);
    txtIncSerch->setMaxLength(8);
    txtIncSerch->setReadOnly(true);
    txtIncSerch->hide();
    PerfectGrid1 = new QTableView(this);
    GridModel = new QStandardItemModel(0, colCount, PerfectGrid1);
    PerfectGrid1->setModel(GridModel);
    PerfectGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    PerfectGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    PerfectGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PerfectGrid1->installEventFilter(this);
    top->addWidget(PerfectGrid1, 1);
    HintArea = new QPlainTextEdit(this);
    HintArea->setReadOnly(true);
    HintArea->setMaximumHeight(70);
    HintArea->setFocusPolicy(Qt::NoFocus);
    top->addWidget(HintArea);
    pnlBottom = new QWidget(this);
    auto* keys = new QHBoxLayout(pnlBottom);
    for (int k = 0; k < 10; ++k) {
        auto* b = new TxPlButton(pnlBottom);
        b->setObjectName(QString::fromStdString(k == fkEsc ? "ESC" : k == fkF12 ? "F12" : "F" + std::to_string(k)));
        b->setMinimumSize(85, 30);
        b->setFocusPolicy(Qt::NoFocus);
        keys->addWidget(b);
        FKeys[static_cast<std::size_t>(k)] = b;
    }
    top->addWidget(pnlBottom);
    IncSerchTimer = new QTimer(this);
    IncSerchTimer->setSingleShot(true);
    connect(IncSerchTimer, &QTimer::timeout, this, [this] { IncSerchTimerTimer(); });
    const std::array<void (TDataSentakuBox::*)(), 10> handlers = {
        &TDataSentakuBox::ESCClick, &TDataSentakuBox::F1Click, &TDataSentakuBox::F2Click, &TDataSentakuBox::F3Click,
        &TDataSentakuBox::F4Click,  &TDataSentakuBox::F5Click, &TDataSentakuBox::F6Click, &TDataSentakuBox::F7Click,
        &TDataSentakuBox::F8Click,  &TDataSentakuBox::F12Click};
    for (int k = 0; k < 10; ++k)
        connect(FKeys[static_cast<std::size_t>(k)], &TxPlButton::clicked, this,
                [this, h = handlers[static_cast<std::size_t>(k)]] { (this->*h)(); });
    connect(PerfectGrid1, &QTableView::doubleClicked, this, [this](const QModelIndex& ix) {
        if (ix.isValid() && RowCount() > 0)
            F12Click();
    });
    connect(PerfectGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int col) { GridHeaderClick(col); });
    connect(PerfectGrid1, &QTableView::clicked, this, [this](const QModelIndex& ix) {
        if (ix.isValid())
            GridCellClick(ix.row(), ix.column());
    });
    connect(PerfectGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now, const QModelIndex& before) {
                if (before.isValid())
                    paintRow(before.row());
                if (now.isValid())
                    paintRow(now.row());
                SetFKeyCaptions();
            });
    connect(btnSearch, &QPushButton::clicked, this, [this] { btnSearchClick(); });
    connect(btnSearchCancel, &QPushButton::clicked, this, [this] { btnSearchCancelClick(); });
    connect(btnListUpdate, &QPushButton::clicked, this, [this] { btnListUpdateClick(); });
    connect(btnDataInfo, &QPushButton::clicked, this, [this] { btnDataInfoClick(); });
    F12Button = FKeys[fkF12];
    try {
        FormCreate();
    } catch (const std::exception& e) {
        reportError(e);
    }
}

TDataSentakuBox::~TDataSentakuBox() = default;

void TDataSentakuBox::reportError(const std::exception& e)
{
    if (dynamic_cast<const db::FbError*>(&e))
        return; // reported where it happened
    showPlain(platform::pkError, e.what(), platform::mbOK);
}

void TDataSentakuBox::FormCreate()
{
    TBSDI::FormCreate();
    MenuNotify = false;
    SaveFormSize = false;
    KeepAlive = true; // the launcher or the caller frees the form
    HintMemo = HintArea;
    SyoriType = 0;
    PasteMode = 0;
    SortDesc = 0;
    SortCol = -1;
    LocateOnShow = 1;
    EscCancelled = 0;
    DataPlace = SystemDef.Settings.DataPlace;
    checks_ = std::make_unique<TDataSentakuChecks>(*svc_);
    checks_->ConnectKind = ConnectKind;
    dbUpdate_ = std::make_unique<TDbUpdateState>();
    db::Transaction* tx = svc_->SystemTransaction();
    db::Attachment* att = svc_->SystemDatabase();
    if (!tx || !att)
        throw std::runtime_error("システムデータベースに接続されていません。");
    listCtl_ = std::make_unique<TDataSentakuListCtl>(*tx);
    listCtl_->ConnectKind = ConnectKind;
    store_ = std::make_unique<TKensakuJyokenStore>(*att);
    // By connection kind.
    if (ConnectKind == 0) {
        setWindowTitle(QStringLiteral("データ選択"));
        oddRowColor_ = 0xE1F0FF;
        focusColor_ = 0x246BFF;
        pnlDataMan->hide();
    } else if (ConnectKind == 1 || ConnectKind == 2) {
        setWindowTitle(QString::fromStdString(ConnectKind == 1 ? "データ選択（サーバー）" : "データ選択"));
        oddRowColor_ = 0xFFF0E1;
        focusColor_ = 0x804000;
        btnKyoyuDataDown->hide();
        btnKyoyuDataUp->hide();
        cboxKyoyuDataAuto->hide();
        pnlDataMan->show();
    }
    // Grid columns.
    static const std::array<const char*, colCount> headers = {
        "No", "コード", "ｸﾗｳﾄﾞ", "データ名  ", "会計年度", "会計期間", "データフォルダ", "バージョン", "", "",
        "鍵", "共有", "バージョン", "データ更新", "合算区分", "", "", "データステータス", "ｸﾗｳﾄﾞ", "参照専用ﾞ"};
    for (int c = 0; c < colCount; ++c)
        GridModel->setHeaderData(c, Qt::Horizontal, QString::fromUtf8(headers[static_cast<std::size_t>(c)]));
    const bool cloud = svc_->IsCloudShareUse(false);
    const bool server = ConnectKind == 1 || ConnectKind == 2;
    std::array<int, colCount> widths{};
    widths[colNo] = 40;
    widths[colCode] = 70;
    widths[colCloud] = cloud ? 40 : 0;
    widths[colNendo] = 80;
    widths[colKikan] = 180;
    widths[colFolder] = 200;
    widths[colVer] = 90;
    if (ConnectKind <= 2) {
        widths[colLockPic] = server ? 32 : 0;
        widths[colSharePic] = ConnectKind == 0 ? 32 : 0;
        GridModel->setHeaderData(colLockPic, Qt::Horizontal, server ? QStringLiteral("鍵") : QString());
        GridModel->setHeaderData(colSharePic, Qt::Horizontal, ConnectKind == 0 ? QStringLiteral("共有") : QString());
    }
    widths[colName] = 280 - widths[colCloud] - std::max(widths[colLockPic], widths[colSharePic]);
    if (!cloud)
        btnCloudShare->hide();
    for (int c = 0; c < colCount; ++c) {
        PerfectGrid1->setColumnHidden(c, widths[static_cast<std::size_t>(c)] == 0);
        if (widths[static_cast<std::size_t>(c)] > 0)
            PerfectGrid1->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    }
    InitOK = true;
}

bool TDataSentakuBox::ReleaseToSelf()
{
    if (!Launch.ManualFree)
        setAttribute(Qt::WA_DeleteOnClose);
    return !Launch.ManualFree;
}

// ---- launch

void TDataSentakuBox::SetSyoriType(std::int32_t value)
{
    if (value > 5)
        throw std::runtime_error(kSyoriTypeRange);
    SyoriType = static_cast<std::uint8_t>(value);
    if (checks_)
        checks_->SyoriType = SyoriType;
}

void TDataSentakuBox::SetParams(const std::vector<std::string>& params)
{
    Params = params;
    Launch.SyoriType = SyoriType;
    ReadDataSentakuParams(params, SystemDef.OpCode, Launch);
    SetSyoriType(Launch.SyoriType);
    Qt::WindowFlags f = windowFlags();
    f.setFlag(Qt::WindowStaysOnTopHint, Launch.FormStyle == TDataSentakuFormStyle::StayOnTop);
    setWindowFlags(f);
}

int TDataSentakuBox::Execute(std::uint8_t modal)
{
    if (modal != 1) {
        show();
        return 1;
    }
    if (MenuRequestHook && MenuRequestHook(10, std::string()) > 0) {
        showPlain(platform::pkWarning,
                  "メニュー以外の処理が開いています。\r全ての処理を閉じてから処理を実行してください。");
        return -1;
    }
    if (!InitOK) {
        showPlain(platform::pkError,
                  ui::ss(windowTitle()) + "画面の初期化に失敗しました。\r処理を終了します。");
        return -1;
    }
    SetFormPosition(0, 0, 0, 0, 3);
    try {
        PrepareMode();
    } catch (const std::exception& e) {
        reportError(e);
        return -1;
    }
    setModalResult(0);
    if (ModalRunner)
        return ModalRunner(*this);
    return ShowModal();
}

void TDataSentakuBox::PrepareMode()
{
    switch (SyoriType) {
    case 2:
        SystemDef.DataPaths.clear();
        MenuNotify = false;
        btnCloudShare->hide();
        if (ConnectKind == 0) {
            SavedAutoShare = SystemDef.Settings.KyoyuAuto;
            SystemDef.Settings.KyoyuAuto = 0;
        }
        break;
    case 3:
    case 4: btnCloudShare->hide(); break;
    case 5:
        SystemDef.DataPaths.clear();
        MenuNotify = false;
        break;
    default: break;
    }
    LoadList();
    Reposition = false;
}

// ---- list

void TDataSentakuBox::LoadList()
{
    SetHints();
    if (ConnectKind == 1 || ConnectKind == 2) {
        // The places come from the data-place dialog; until it stands the
        // combo holds the standard place only.
        if (cmbDataMan->count() == 0)
            cmbDataMan->addItem(QStringLiteral("標準"), 0);
        int ix = cmbDataMan->findData(DataPlace);
        if (ix < 0) {
            DataPlace = 0;
            ix = cmbDataMan->findData(0);
        }
        cmbDataMan->setCurrentIndex(std::max(ix, 0));
        DataPlace = cmbDataMan->currentData().toInt();
    }
    store_->ErrorReporter = listCtl_->ErrorReporter;
    StoredConditions = TDataKensakuRec{};
    StoredConditions.OPCODE = SystemDef.OpCode;
    StoredConditions.LISTTYPE = 0;
    store_->SelectRecord(StoredConditions);
    ActiveConditions = StoredConditions;
    if (ActiveConditions.JYOKENUSE == 0) {
        ActiveConditions.DATATYPE = ActiveConditions.CODETYPE = ActiveConditions.TANTO = 0;
        ActiveConditions.DATACODE.clear();
        ActiveConditions.DATANAME.clear();
        ActiveConditions.DATAVER.clear();
        ActiveConditions.SEIHINNAME.clear();
    }
    if (Launch.LaunchConditions.JYOKENUSE == 1) {
        TDataKensakuRec launch = Launch.LaunchConditions;
        launch.SORTCOL = ActiveConditions.SORTCOL;
        launch.SORTTYPE = ActiveConditions.SORTTYPE;
        ActiveConditions = launch;
    }
    btnSearchCancel->setEnabled(ActiveConditions.JYOKENUSE == 1);
    SortCol = ActiveConditions.SORTCOL;
    SortDesc = ActiveConditions.SORTTYPE != 0 ? 1 : 0;
    if (ReadList() == 0)
        return;
    FillGrid(-1);
    cboxKyoyuDataAuto->blockSignals(true);
    cboxKyoyuDataAuto->setChecked(SystemDef.Settings.KyoyuAuto == 1);
    cboxKyoyuDataAuto->blockSignals(false);
    EntryDataFolder = SystemDef.DataDir;
    EscCancelled = 0;
}

std::int32_t TDataSentakuBox::ReadList()
{
    listCtl_->ConnectKind = ConnectKind;
    listCtl_->SetDataPlaceRec(DataPlace);
    listCtl_->Execute(0, SortKeyOfGridColumn(SortCol), "", SortDesc);
    Rows = listCtl_->Rows;
    ChildRows = listCtl_->ChildRows;
    DispIndex = BuildDisplayIndex(Rows, ActiveConditions);
    return static_cast<std::int32_t>(Rows.size());
}

void TDataSentakuBox::FillGrid(std::int32_t index)
{
    if (index < 0) {
        GridModel->removeRows(0, GridModel->rowCount());
        static const std::array<std::pair<int, const char*>, 7> heads = {
            {{colNo, "No"}, {colCode, "コード"}, {colName, "データ名  "}, {colNendo, "会計年度"},
             {colKikan, "会計期間"}, {colFolder, "データフォルダ"}, {colVer, "バージョン"}}};
        for (const auto& [c, t] : heads) {
            QString text = QString::fromUtf8(t);
            if (c == SortCol)
                text += SortDesc ? QStringLiteral("▼") : QStringLiteral("▲");
            GridModel->setHeaderData(c, Qt::Horizontal, text);
        }
        if (ConnectKind == 0)
            GridModel->setHeaderData(colSharePic, Qt::Horizontal, QStringLiteral("共有"));
        else if (ConnectKind <= 2)
            GridModel->setHeaderData(colLockPic, Qt::Horizontal, QStringLiteral("鍵"));
        const int n = std::min<int>(static_cast<int>(DispIndex.size()), 32700);
        GridRowCount = 0;
        for (int i = 0; i < n; ++i) {
            FillGrid(i);
            ++GridRowCount;
        }
        if (GridModel->rowCount() > 0)
            SetCurrentRow(0);
        SetFKeyCaptions();
        return;
    }
    if (index >= static_cast<int>(DispIndex.size()))
        return;
    const int p = GridRowCount;
    const int parentIndex = DispIndex[static_cast<std::size_t>(index)];
    if (parentIndex < 0 || parentIndex >= static_cast<int>(Rows.size()))
        return;
    TDataSentakuRec& parent = Rows[static_cast<std::size_t>(parentIndex)];
    if (!IsParentGassan(parent.GASSAN)) {
        // Not shown: the row inserted for it stays free for the next one.
        --GridRowCount;
        return;
    }
    if (p >= GridModel->rowCount())
        GridModel->insertRows(GridModel->rowCount(), p - GridModel->rowCount() + 1);
    fillRow(p, parent);
    GridModel->setData(GridModel->index(p, colParent), parentIndex);
    auto showShare = [this](int r, std::uint8_t st) {
        if (st == 1) {
            GridModel->setData(GridModel->index(r, colShare), 0);
            GridModel->setData(GridModel->index(r, colSharePic), QString::fromUtf8(kSharePic));
        } else if (st == 2) {
            GridModel->setData(GridModel->index(r, colShare), 1);
            GridModel->setData(GridModel->index(r, colSharePic), QString());
        }
    };
    showShare(p, KyoyuStateOf(parent));
    // Child rows left from an earlier filling.
    while (p + 1 < GridModel->rowCount() && CellInt(p + 1, colParent) == parentIndex &&
           CellInt(p + 1, colGassan) == kChildGassan && CellInt(p + 1, colChild) >= 0 &&
           !CellText(p + 1, colGassan).empty())
        GridModel->removeRow(p + 1);
    TDataSentakuListCtl::SetChildDisplayNames(parent);
    if (!parent.Children.empty()) {
        GridModel->insertRows(p + 1, static_cast<int>(parent.Children.size()));
        for (std::size_t k = 0; k < parent.Children.size(); ++k) {
            ++GridRowCount;
            const int r = GridRowCount;
            fillRow(r, parent.Children[k]);
            GridModel->setData(GridModel->index(r, colNo), QString());
            GridModel->setData(GridModel->index(r, colParent), parentIndex);
            GridModel->setData(GridModel->index(r, colChild), static_cast<int>(k));
            showShare(r, KyoyuStateOf(parent.Children[k]));
        }
    }
}

void TDataSentakuBox::fillRow(int r, const TDataListRec& rec)
{
    auto set = [&](int c, const QVariant& v) { GridModel->setData(GridModel->index(r, c), v); };
    auto text = [&](int c, const std::string& s) { set(c, QString::fromStdString(s)); };
    set(colNo, rec.REC);
    GridModel->setHeaderData(r, Qt::Vertical, rec.REC);
    text(colCode, rec.DATACODE);
    text(colName, rec.DispName);
    text(colFolder, GridPathText(rec.PASNAME, SystemDef.BaseDir));
    text(colVer, rec.VER_TEXT);
    set(colLock, rec.DATALOCK);
    set(colLockPic, rec.DATALOCK != 0 ? QString::fromUtf8(kLockPic) : QString());
    set(colShare, 0);
    set(colSharePic, QString());
    char ver[48];
    std::snprintf(ver, sizeof ver, "%d.%d.%d", rec.VER_MAJOR, rec.VER_MINOR1, rec.VER_MINOR2);
    text(colVerText, ver);
    set(colUpdate, rec.UPDATE_LOCK);
    set(colGassan, static_cast<int>(rec.GASSAN));
    set(colParent, 0);
    set(colChild, 0);
    set(colStatus, static_cast<int>(rec.DATA_STATUS));
    set(colCloudVal, static_cast<int>(rec.CLOUD));
    set(colCloud, rec.CLOUD == 1 ? QString::fromUtf8(kCloudPic) : QString());
    set(colReadOnly, rec.READ_ONLY);
    if (!rec.ENTTEXT.empty() && rec.ENTTEXT != "空き領域" && rec.ENTTEXT != "新しい領域") {
        text(colNendo, fmtNendo(rec.NENDO));
        text(colKikan, rec.KikanText);
    } else {
        text(colNendo, "");
        text(colKikan, "\uFF5E");
    }
    IsDbUpdateNeeded(r, true);
    paintRow(r);
}

std::uint32_t TDataSentakuBox::RowBackColor(int r) const
{
    if (CellInt(r, colStatus) == 1)
        return kRed;
    return (r % 2 == 1) ? oddRowColor_ : kWhite;
}

std::uint32_t TDataSentakuBox::RowTextColor(int r) const
{
    auto* self = const_cast<TDataSentakuBox*>(this);
    if (self->IsDbUpdateNeeded(r, false))
        return kGrey;
    if (r == CurrentRow() && CellInt(r, colStatus) != 1)
        return focusColor_;
    return kBlack;
}

void TDataSentakuBox::paintRow(int r)
{
    if (r < 0 || r >= GridModel->rowCount())
        return;
    const QColor back = bgr(RowBackColor(r));
    const QColor fore = bgr(RowTextColor(r));
    for (int c = 0; c < colCount; ++c) {
        GridModel->setData(GridModel->index(r, c), back, Qt::BackgroundRole);
        GridModel->setData(GridModel->index(r, c), fore, Qt::ForegroundRole);
    }
}

// ---- cells and rows

int TDataSentakuBox::RowCount() const { return GridModel->rowCount(); }

int TDataSentakuBox::CurrentRow() const
{
    const QModelIndex ix = PerfectGrid1->currentIndex();
    return ix.isValid() ? ix.row() : -1;
}

void TDataSentakuBox::SetCurrentRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    PerfectGrid1->setCurrentIndex(GridModel->index(row, colCode));
    PerfectGrid1->scrollTo(GridModel->index(row, colCode));
}

std::string TDataSentakuBox::CellText(int row, int col) const
{
    if (row < 0 || row >= GridModel->rowCount())
        return {};
    return GridModel->data(GridModel->index(row, col)).toString().toStdString();
}

int TDataSentakuBox::CellInt(int row, int col) const
{
    if (row < 0 || row >= GridModel->rowCount())
        return 0;
    return GridModel->data(GridModel->index(row, col)).toInt();
}

TDataListRec* TDataSentakuBox::GetRowRecord(int row)
{
    if (row < 0 || row >= RowCount())
        return nullptr;
    const int pi = CellInt(row, colParent);
    if (pi < 0 || pi >= static_cast<int>(Rows.size()))
        return nullptr;
    TDataSentakuRec& parent = Rows[static_cast<std::size_t>(pi)];
    if (IsParentGassan(CellInt(row, colGassan)))
        return &parent;
    const int ci = CellInt(row, colChild);
    if (ci < 0 || ci >= static_cast<int>(parent.Children.size()))
        return nullptr;
    return &parent.Children[static_cast<std::size_t>(ci)];
}

std::string TDataSentakuBox::GetRowDataPath(int row)
{
    const TDataListRec* r = GetRowRecord(row);
    return r ? RowDataPath(*r, SystemDef.SysDir) : std::string();
}

int TDataSentakuBox::GetParentGridRow(int row)
{
    if (IsParentGassan(CellInt(row, colGassan)))
        return row;
    const int pi = CellInt(row, colParent);
    for (int q = 0; q < RowCount(); ++q)
        if (CellInt(q, colParent) == pi && CellInt(q, colChild) == 0 && IsParentGassan(CellInt(q, colGassan)))
            return q;
    return row;
}

std::uint8_t TDataSentakuBox::GetKyoyuState(int fromGrid, int index)
{
    if (fromGrid == 0) {
        const TDataListRec* r = GetRowRecord(index);
        return r ? KyoyuStateOf(*r) : 0;
    }
    if (index < 0 || index >= static_cast<int>(Rows.size()))
        return 0;
    return KyoyuStateOf(Rows[static_cast<std::size_t>(index)]);
}

int TDataSentakuBox::GetDisplayIndex(int row)
{
    const int pi = CellInt(row, colParent);
    if (!btnSearchCancel->isEnabled() && SyoriType != 3)
        return pi;
    const auto it = std::find(DispIndex.begin(), DispIndex.end(), pi);
    return it == DispIndex.end() ? 0 : static_cast<int>(it - DispIndex.begin());
}

bool TDataSentakuBox::IsDbUpdateNeeded(int row, bool recheck)
{
    if (CellText(row, colVerText).empty())
        return false;
    bool flag = CellInt(row, colUpdate) == 1;
    if (recheck && flag) {
        dbUpdate_->SetDbUpdateList(1, CellText(row, colVerText));
        flag = dbUpdate_->UpdateNeeded;
        GridModel->setData(GridModel->index(row, colUpdate), flag ? 1 : 0);
    }
    return flag;
}

void TDataSentakuBox::SetDataStatus(const std::string& folder, std::uint8_t status)
{
    svc_->SetDataStatus(folder, status);
}

std::uint8_t TDataSentakuBox::CheckDataStatus(const std::string& folder, bool reportMissing, bool showRefusal)
{
    checks_->SyoriType = SyoriType;
    checks_->ConnectKind = ConnectKind;
    return checks_->CheckDataStatus(folder, reportMissing, showRefusal);
}

std::int32_t TDataSentakuBox::CheckDataFolder(const std::string& folder)
{
    checks_->SyoriType = SyoriType;
    checks_->ConnectKind = ConnectKind;
    return checks_->CheckDataFolder(folder);
}

void TDataSentakuBox::FillRowFromInfo(TDataListRec& row, std::uint8_t clear, const TDataInfomationRec& info)
{
    if (clear == 1) {
        row.ROWNO = 0;
        row.GROUPID = SystemDef.GroupId;
        row.DATACODE.clear();
        row.ENTTEXT.clear();
        row.SHOUGOU.clear();
        row.KikanText.clear();
        row.NENDO = 1;
        row.KISHU = row.KIMATU = 0;
        row.DATATYPE = row.CODETYPE = row.TANTOU = row.DATALOCK = row.KYOYULOCK = 0;
        row.VER_MAJOR = row.VER_MINOR1 = row.VER_MINOR2 = 0;
        row.UPDATE_LOCK = 0;
        row.GASSAN = 0;
        row.CLOUD = 0;
        row.READ_ONLY = 0;
        row.VER_TEXT.clear();
        if (row.NETDRIVE == 1) {
            row.ENTTEXT = "空き領域";
            row.KYOYULOCK = 1;
        }
        row.DispName = row.ENTTEXT;
        return;
    }
    // The list takes the row name it has, not the one the data set keeps.
    TDataInfomationRec li = info;
    li.DATALISTNAME = row.ENTTEXT;
    const std::int32_t rec = row.REC, rowNo = row.ROWNO, net = row.NETDRIVE;
    const std::string pas = row.PASNAME, local = row.LocalPath;
    const std::uint8_t gassan = row.GASSAN;
    listCtl_->SetDataListRecFromInfo(li, row);
    row.GASSAN = rowNo > 0 ? kChildGassan : (info.GASSANKBN <= 2 ? info.GASSANKBN : gassan);
    row.REC = rec;
    row.ROWNO = rowNo;
    row.NETDRIVE = net;
    row.PASNAME = pas;
    row.LocalPath = local;
}

void TDataSentakuBox::SaveRow(const TDataListRec& row)
{
    if (TrimZen(row.PASNAME).empty())
        throw std::runtime_error(kBadFolder);
    listCtl_->UpdateDataListRecord(row, false, true);
}

void TDataSentakuBox::RenumberChildNames(int row)
{
    const int pi = CellInt(row, colParent);
    if (pi >= 0 && pi < static_cast<int>(Rows.size()))
        TDataSentakuListCtl::SetChildDisplayNames(Rows[static_cast<std::size_t>(pi)]);
}

void TDataSentakuBox::ClearChildRows(int row, bool withFolders)
{
    const int pi = CellInt(row, colParent);
    if (pi < 0 || pi >= static_cast<int>(Rows.size()))
        return;
    TDataSentakuRec& parent = Rows[static_cast<std::size_t>(pi)];
    if (!withFolders) {
        TDataSentakuListCtl::RemoveChildRow(parent, CellInt(row, colChild));
        return;
    }
    // Only the registered children's folders and sub-folders that hold a
    // data database go: other folders under the data belong to the user.
    std::vector<std::string> folders;
    if (IsChildOwnerGassan(parent.GASSAN)) {
        listCtl_->DeleteDataListChildRecord(parent, true);
        folders = ChildFoldersToRemove(parent, parent.PASNAME);
        if (parent.NETDRIVE == 1 && parent.KYOYULOCK == 1) {
            const auto local = ChildFoldersToRemove(parent, RowDataPath(parent, SystemDef.SysDir));
            folders.insert(folders.end(), local.begin(), local.end());
        }
    }
    parent.ChildCount = 0;
    parent.Children.clear();
    for (const auto& f : folders)
        svc_->RemoveDir(f, ConnectKind);
}

void TDataSentakuBox::ReloadChildRows(int row)
{
    TDataListRec* rec = GetRowRecord(row);
    if (!rec || rec->GASSAN == kChildGassan)
        return;
    if (!(rec->NETDRIVE == 0 || (rec->NETDRIVE == 1 && rec->KYOYULOCK == 1)))
        return;
    auto& parent = static_cast<TDataSentakuRec&>(*rec);
    for (const auto& c : parent.Children)
        if (c.DATA_STATUS == 1) {
            GridModel->setData(GridModel->index(row, colStatus), 1);
            paintRow(row);
            return;
        }
    parent.ChildCount = 0;
    parent.Children.clear();
    listCtl_->DeleteDataListChildRecord(parent, true);
    if (!IsChildOwnerGassan(parent.GASSAN))
        return;
    const std::string local = RowDataPath(parent, SystemDef.SysDir);
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(local, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec))
            names.push_back(it->path().filename().string());
    int i = 0;
    for (const auto& n : names) {
        const std::string childLocal = local + "/" + n;
        ++i;
        if (!svc_->FileExists(childLocal + "/" + DataFile, 0))
            continue;
        TDataListRec child;
        listCtl_->InitDataListRecord(child, noTrailingSlash(parent.PASNAME) + "/" + n);
        child.REC = parent.REC;
        child.ROWNO = i;
        child.NETDRIVE = parent.NETDRIVE;
        child.KYOYULOCK = parent.KYOYULOCK;
        child.GASSAN = kChildGassan;
        TDataInfomationRec info;
        if (svc_->ReadDataInfo(childLocal, info)) {
            FillRowFromInfo(child, 0, info);
            child.GASSAN = kChildGassan;
            writeStatusCache(*svc_, childLocal, info);
        } else {
            svc_->GetDataStatus(childLocal, info);
            FillRowFromInfo(child, 0, info);
            child.GASSAN = kChildGassan;
            if (child.ENTTEXT.empty()) {
                child.ENTTEXT = "破損データ";
                child.SHOUGOU = parent.SHOUGOU;
                child.NENDO = parent.NENDO;
                child.KISHU = parent.KISHU;
                child.KIMATU = parent.KIMATU;
                child.KikanText = parent.KikanText;
                child.DATATYPE = parent.DATATYPE;
                child.CODETYPE = parent.CODETYPE;
                child.TANTOU = parent.TANTOU;
                child.VER_MAJOR = parent.VER_MAJOR;
                child.VER_MINOR1 = parent.VER_MINOR1;
                child.VER_MINOR2 = parent.VER_MINOR2;
                child.VER_TEXT = parent.VER_TEXT;
                child.DispName = parent.ENTTEXT;
            }
            child.DATA_STATUS = 1;
        }
        listCtl_->UpdateDataListChildRecord(child, true);
        parent.Children.push_back(child);
        ++parent.ChildCount;
    }
}

void TDataSentakuBox::ReloadAndLocate(int topRow, const TDataListRec& rec)
{
    ReadList();
    FillGrid(-1);
    if (topRow < 0 || topRow > 32699)
        topRow = 0;
    if (RowCount() > 0 && topRow < RowCount())
        PerfectGrid1->scrollTo(GridModel->index(topRow, colCode), QAbstractItemView::PositionAtTop);
    const std::string want = UpperAscii(GridPathText(rec.PASNAME, SystemDef.BaseDir));
    for (int r = 0; r < RowCount(); ++r)
        if (CellInt(r, colNo) == rec.REC && !CellText(r, colNo).empty() &&
            (rec.PASNAME.empty() || UpperAscii(CellText(r, colFolder)) == want)) {
            SetCurrentRow(r);
            return;
        }
    SetCurrentRow(CurrentRow());
}

void TDataSentakuBox::DataListRefresh(int row)
{
    if (row < 0) {
        auto progressText = [this](const std::string& text) {
            if (refreshProgress_)
                refreshProgress_->SetInfoLabel(QString::fromStdString(text));
        };
        if (ConnectKind == 1 || ConnectKind == 2) {
            // Other operators change the server's list: read it anew first.
            progressText("データリストの更新中…");
            try {
                const int cur = CurrentRow();
                const int pi = cur >= 0 ? CellInt(cur, colParent) : 0;
                TDataListRec keep;
                if (pi >= 0 && pi < static_cast<int>(Rows.size()))
                    keep = Rows[static_cast<std::size_t>(pi)];
                const int top = PerfectGrid1->rowAt(0);
                listCtl_->RenumberRec();
                ReloadAndLocate(top, keep);
            } catch (const std::exception& e) {
                if (listCtl_->ErrorReporter)
                    listCtl_->ErrorReporter(e, "TDataSentakuBox.DataListRefresh", "データリストの更新に失敗しました。");
            }
        }
        for (int q = 0; q < RowCount(); ++q) {
            if (refreshProgress_ && refreshProgress_->Cancelled())
                break;
            char text[128];
            std::snprintf(text, sizeof text, "データリスト（%d行目）の更新中…", q + 1);
            progressText(text);
            DataListRefresh(q);
            QCoreApplication::processEvents();
        }
        return;
    }
    TDataListRec* rec = GetRowRecord(row);
    if (!rec)
        return;
    if (rec->DATA_STATUS == 1) {
        GridModel->setData(GridModel->index(row, colStatus), 1);
        paintRow(row);
        return;
    }
    const std::string path = GetRowDataPath(row);
    const std::string file = path + "/" + DataFile;
    int parentRow = row;
    if (rec->GASSAN == kChildGassan)
        parentRow = GetParentGridRow(row);
    else if (!IsParentGassan(rec->GASSAN))
        return;
    const int disp = GetDisplayIndex(parentRow);
    auto redraw = [&] {
        const int keep = CurrentRow();
        GridRowCount = parentRow;
        FillGrid(disp);
        if (keep >= 0 && keep < RowCount())
            SetCurrentRow(keep);
        SetFKeyCaptions();
    };
    const bool named = !CellText(row, colName).empty();
    if (ConnectKind == 1 || ConnectKind == 2) {
        if (svc_->FileExists(file, ConnectKind)) {
            TDataInfomationRec info;
            svc_->GetDataStatus(path, info);
            FillRowFromInfo(*rec, 0, info);
            listCtl_->UpdateDataListRecord(*rec, false, true);
        } else if (named) {
            TDataInfomationRec none;
            auto& parent = *GetRowRecord(parentRow);
            FillRowFromInfo(parent, 1, none);
            listCtl_->UpdateDataListRecord(parent, false, true);
        }
        redraw();
        return;
    }
    if (svc_->FileExists(file, 0)) {
        TDataInfomationRec info;
        svc_->GetDataStatus(path, info);
        if (svc_->ReadDataInfo(path, info)) {
            writeStatusCache(*svc_, path, info);
            FillRowFromInfo(*rec, 0, info);
            listCtl_->UpdateDataListRecord(*rec, false, true);
            ReloadChildRows(row);
        } else if (SystemDef.DataDamaged == 1) {
            rec->DATA_STATUS = 1;
        }
        redraw();
        return;
    }
    if (rec->NETDRIVE == 0 && std::filesystem::exists(DataStatusFilePath(path)))
        svc_->DeleteLocalFile(DataStatusFilePath(path));
    if (named) {
        if (rec->GASSAN == kChildGassan) {
            ClearChildRows(row, false);
        } else {
            TDataInfomationRec none;
            FillRowFromInfo(*rec, 1, none);
            auto& parent = static_cast<TDataSentakuRec&>(*rec);
            parent.ChildCount = 0;
            parent.Children.clear();
            listCtl_->UpdateDataListRecord(parent, false, true);
        }
    }
    redraw();
}

// ---- captions and hints

std::string TDataSentakuBox::Caption(int key) const { return captions_[static_cast<std::size_t>(key)]; }

void TDataSentakuBox::SetFKeyCaptions()
{
    TFKeyInput in;
    in.ConnectKind = ConnectKind;
    in.LogonMode = LogonMode;
    in.SyoriType = SyoriType;
    in.GridActive = focusWidget() == PerfectGrid1;
    const int row = CurrentRow();
    in.HasRow = row >= 0 && row < RowCount();
    in.PasteMode = PasteMode;
    if (in.HasRow) {
        if (const TDataListRec* r = GetRowRecord(row))
            in.Row = *r;
        const int pi = CellInt(row, colParent);
        if (pi >= 0 && pi < static_cast<int>(Rows.size()))
            in.ParentGassan = Rows[static_cast<std::size_t>(pi)].GASSAN;
    }
    in.CloudUsable = svc_->IsCloudShareUse(false);
    in.AutoShareBoxVisible = !cboxKyoyuDataAuto->isHidden();
    in.AutoShareChecked = cboxKyoyuDataAuto->isChecked();
    in.AutoShare = SystemDef.Settings.KyoyuAuto;
    in.GridEnabled = PerfectGrid1->isEnabled() && gridEnabled_;
    in.PanelEnabled = pnlBottom->isEnabled();
    if (in.GridActive)
        SetHints();
    const TFKeyState s = datasel::SetFKeyCaptions(in);
    RowState = s.RowState;
    if (s.PasteHint)
        TBSDI::setHint(PerfectGrid1, kPasteGridHint);
    btnKyoyuDataDown->setEnabled(s.ShareDownEnabled);
    btnKyoyuDataUp->setEnabled(s.ShareUpEnabled);
    btnCloudShare->setEnabled(s.CloudEnabled);
    if (s.ShareButtonsHidden) {
        btnKyoyuDataDown->hide();
        btnKyoyuDataUp->hide();
    }
    if (s.AutoShareBoxHidden)
        cboxKyoyuDataAuto->hide();
    if (s.SearchButtonsHidden) {
        btnSearch->hide();
        btnSearchCancel->hide();
    }
    if (s.CloudHidden)
        btnCloudShare->hide();
    if (s.SearchButtonsDisabled) {
        btnSearch->setEnabled(false);
        btnSearchCancel->setEnabled(false);
    }
    if (focusWidget() == PerfectGrid1)
        ShowHintText(PerfectGrid1, HintArea);
    captions_ = s.Captions;
    // The printout of the list is not available yet.
    FKeys[fkF8]->setEnabled(false);
    for (int k = 0; k < 10; ++k)
        FKeys[static_cast<std::size_t>(k)]->CaptionA()->SetCaption(
            QString::fromStdString(captions_[static_cast<std::size_t>(k)]));
}

void TDataSentakuBox::SetHints()
{
    setHint(cboxKyoyuDataAuto, kHintAuto);
    setHint(btnKyoyuDataUp, kHintUp);
    setHint(btnKyoyuDataDown, kHintDown);
    setHint(btnSearchCancel, kHintSearchCancel);
    setHint(btnSearch, kHintSearch);
    setHint(btnDataInfo, kHintInfo);
    setHint(btnListUpdate, LogonMode == 2 ? kHintUpdate2 : kHintUpdate);
    setHint(cmbDataMan, kHintPlace);
    setHint(btnDataMan, kHintPlaceSet);
    if (SyoriType != 5 || LogonMode == 2)
        setHint(PerfectGrid1, DataSentakuGridHint(ConnectKind, SyoriType, LogonMode));
}

// ---- showing, focus and keys

void TDataSentakuBox::CMShowingChanged(bool showing)
{
    TBSDI::CMShowingChanged(showing);
    if (!showing)
        return;
    if (!InitOK) {
        ReportFailedInit();
        return;
    }
    if (isVisible()) {
        if (LocateOnShow == 1)
            LocateCurrentData();
        PerfectGrid1->setFocus();
        SetFKeyCaptions();
    }
}

void TDataSentakuBox::CMFocusChanged()
{
    SetFKeyCaptions();
    TBSDI::CMFocusChanged();
}

void TDataSentakuBox::LocateCurrentData()
{
    EntryDataFolder = SystemDef.DataDir;
    const std::string want = datasel::lower(noTrailingSlash(EntryDataFolder));
    for (int r = 0; r < RowCount(); ++r)
        if (!want.empty() && datasel::lower(GetRowDataPath(r)) == want) {
            SetCurrentRow(r);
            break;
        }
}

void TDataSentakuBox::FormKeyUp(int& key, Qt::KeyboardModifiers shift)
{
    switch (key) {
    case Qt::Key_Escape:
        ESCClick();
        key = 0;
        break;
    case Qt::Key_F1: F1Click(); break;
    case Qt::Key_F2: F2Click(); break;
    case Qt::Key_F3: F3Click(); break;
    case Qt::Key_F4: F4Click(); break;
    case Qt::Key_F5: F5Click(); break;
    case Qt::Key_F6: F6Click(); break;
    case Qt::Key_F7: F7Click(); break;
    case Qt::Key_F8: F8Click(); break;
    case Qt::Key_F12:
        F12Click();
        key = 0;
        break;
    default: break;
    }
    if (key != 0)
        TBSDI::FormKeyUp(key, shift);
}

bool TDataSentakuBox::eventFilter(QObject* o, QEvent* e)
{
    if (o == PerfectGrid1 && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            if (RowCount() > 0 && CurrentRow() >= 0)
                F12Click();
            return true;
        }
        if (RowCount() > 0 && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            int vk = 0;
            const int k = ke->key();
            if ((ke->modifiers() & Qt::KeypadModifier) && k >= Qt::Key_0 && k <= Qt::Key_9)
                vk = 96 + (k - Qt::Key_0);
            else if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z))
                vk = k;
            std::string ch = vk ? IncSerchCharOfKey(vk) : std::string();
            if (ch.empty() && !vk && ke->text().size() == 1) {
                const char c = ke->text().at(0).toLatin1();
                if (std::ispunct(static_cast<unsigned char>(c)))
                    ch = std::string(1, c);
            }
            if (!ch.empty()) {
                IncSerchText += ch;
                if (IncSerchText.size() <= 8) {
                    const QRect g = PerfectGrid1->geometry();
                    txtIncSerch->move(g.left() + 4 + g.width() / 10, g.top() - 12);
                    txtIncSerch->setText(QString::fromStdString(IncSerchText));
                    txtIncSerch->show();
                    txtIncSerch->raise();
                    int interval = IncSerchTimer->isActive() ? IncSerchTimer->interval() : 0;
                    if (interval < 2000)
                        interval += 500;
                    interval = std::min(interval, 1000);
                    IncSerchTimer->start(interval);
                }
                return true;
            }
        }
    }
    return TBSDI::eventFilter(o, e);
}

void TDataSentakuBox::IncSerchTimerTimer()
{
    if (focusWidget() == PerfectGrid1) {
        std::vector<std::string> codes;
        for (int r = 0; r < RowCount(); ++r)
            codes.push_back(CellText(r, colCode));
        const int found = IncSerchFind(codes, CurrentRow(), IncSerchText);
        if (found >= 0)
            SetCurrentRow(found);
    }
    IncSerchTimer->stop();
    IncSerchText.clear();
    txtIncSerch->hide();
}

void TDataSentakuBox::GridHeaderClick(int col)
{
    if (CurrentRow() < 0)
        return;
    if (!(col == 0 || col == 1 || (col >= 3 && col <= 7)))
        return;
    if (col == SortCol || (col == 0 && SortCol == -1))
        SortDesc = SortDesc ? 0 : 1;
    else
        SortDesc = 0;
    SortCol = col;
    ActiveConditions.SORTCOL = SortCol;
    ActiveConditions.SORTTYPE = SortDesc;
    // Keep the data set that was current across the re-sort.
    const TDataListRec* cur = GetRowRecord(CurrentRow());
    const std::int32_t rec = cur ? cur->REC : -1;
    const std::string pas = cur ? cur->PASNAME : std::string();
    ReadList();
    FillGrid(-1);
    for (int r = 0; r < RowCount(); ++r) {
        const TDataListRec* x = GetRowRecord(r);
        if (x && x->REC == rec && x->PASNAME == pas) {
            SetCurrentRow(r);
            break;
        }
    }
    SetFKeyCaptions();
}

void TDataSentakuBox::GridCellClick(int row, int col)
{
    if (CurrentRow() < 0 || col != colLockPic || (ConnectKind != 1 && ConnectKind != 2))
        return;
    TDataListRec* r = GetRowRecord(row);
    if (!r || r->ENTTEXT.empty())
        return;
    const std::string folder = GetRowDataPath(row);
    try {
        const std::uint8_t st = CheckDataStatus(folder, true, false);
        if (st == 0)
            return; // no data database: already told
        const TDataInfomationRec& info = checks_->StatusRec;
        auto refuse = [&](const char* caption, const std::string& text) {
            TMessageInfoRec box;
            InitMessageInfo(box);
            box.Kind = 1;
            box.Caption = caption;
            box.Text = text;
            box.Lines = {"【データフォルダ】", "\u3000" + folder,
                         "【オペレータ】",     "\u3000" + std::to_string(loginCode(info.OPCODE)),
                         "【オペレータ名】",   "\u3000" + info.OPERATOR};
            ShowMessageBox(box);
        };
        if (st > 3) {
            char text[512];
            std::snprintf(text, sizeof text, "このデータは%sのため処理が行えません。",
                          TDataSentakuListCtl::GetDataStatusText(st).c_str());
            refuse("選択データの状態", text);
            return;
        }
        std::int32_t lock = 0;
        if (CellInt(row, colLock) != 0) {
            // Only the operator who locked the data may release it.
            if (!(info.STATUS == 3 && info.OPCODE == SystemDef.OpCode)) {
                refuse("ロックデータの状態", "このデータは違うオペレータによりロックされているため解除は行えません。");
                return;
            }
            SetDataStatus(folder, 1);
        } else {
            SetDataStatus(folder, 3);
            lock = static_cast<std::int32_t>(loginCode(SystemDef.OpCode));
        }
        r->DATALOCK = lock;
        GridModel->setData(GridModel->index(row, colLock), lock);
        GridModel->setData(GridModel->index(row, colLockPic), lock != 0 ? QString::fromUtf8(kLockPic) : QString());
        SaveRow(*r);
    } catch (const std::exception& e) {
        reportError(e);
    }
    paintRow(row);
    SetFKeyCaptions();
}

// ---- function keys

void TDataSentakuBox::afterFKey()
{
    PerfectGrid1->setFocus();
    paintRow(CurrentRow());
    SetFKeyCaptions();
}

void TDataSentakuBox::ESCClick()
{
    if (!pnlBottom->isEnabled() || IsBareCaption(fkEsc, Caption(fkEsc)))
        return;
    if (PasteMode == 1) {
        PasteMode = 0;
        SetFKeyCaptions();
        return;
    }
    EscCancelled = 1;
    setModalResult(platform::mrCancel);
}

void TDataSentakuBox::F1Click()
{
    if (IsBareCaption(fkF1, Caption(fkF1)))
        return;
    svc_->OpenHelp("file01.html");
    SetFKeyCaptions();
}

// Copy, new data, assignment, delete, save, restore and print come with
// their own operations; until then the keys keep their captions and do
// nothing beyond the refresh every key makes.
void TDataSentakuBox::F2Click()
{
    if (!IsBareCaption(fkF2, Caption(fkF2)))
        afterFKey();
}
void TDataSentakuBox::F3Click()
{
    if (!IsBareCaption(fkF3, Caption(fkF3)))
        afterFKey();
}
void TDataSentakuBox::F4Click()
{
    if (!IsBareCaption(fkF4, Caption(fkF4)))
        afterFKey();
}
void TDataSentakuBox::F5Click()
{
    if (!IsBareCaption(fkF5, Caption(fkF5)))
        afterFKey();
}
void TDataSentakuBox::F6Click()
{
    if (!IsBareCaption(fkF6, Caption(fkF6)))
        afterFKey();
}
void TDataSentakuBox::F7Click()
{
    if (!IsBareCaption(fkF7, Caption(fkF7)))
        afterFKey();
}
void TDataSentakuBox::F8Click()
{
    // The printout of the list is not available yet.
}

void TDataSentakuBox::F12Click()
{
    setModalResult(0);
    SystemDef.DataDamaged = 0;
    const int row = CurrentRow();
    if (IsBareCaption(fkF12, Caption(fkF12)) || row < 0)
        return;
    TDataListRec* r = GetRowRecord(row);
    if (!r)
        return;
    ChosenFolder = GetRowDataPath(row);
    ChosenPasName = r->PASNAME;
    auto clear = [this] {
        ChosenFolder.clear();
        ChosenPasName.clear();
    };
    auto refreshRow = [this, row] {
        DataListRefresh(row);
        if (row < RowCount())
            SetCurrentRow(row);
    };
    try {
        if (SyoriType == 0 || SyoriType == 1 || SyoriType == 3 || SyoriType == 5) {
            if (r->NETDRIVE == 1 && r->KYOYULOCK == 0 && SystemDef.Settings.KyoyuAuto == 0) {
                showInfo("このデータは共有サーバーに保管されています。\r共有取得を実行してから選択して下さい。");
                return;
            }
            std::int32_t res;
            try {
                res = CheckDataFolder(ChosenFolder);
            } catch (const std::exception&) {
                res = -1;
                if (svc_->CallDataVerify(SystemDef.HostName, ChosenFolder, 0, 0) == 0)
                    res = -3;
            }
            if (res < 0) {
                clear();
                const bool damaged = res == -3;
                refreshRow();
                if (damaged) {
                    if (TDataListRec* again = GetRowRecord(row))
                        again->DATA_STATUS = 1;
                    GridModel->setData(GridModel->index(row, colStatus), 1);
                    paintRow(row);
                }
                return;
            }
            if (res == 0) {
                // Only mode 5 gets here; its save and restore come with the
                // backup operations.
                if (SyoriType == 5 && Launch.OnlySaRestore == 0)
                    showInfo("この場所にはデータがありません。他の場所を選んで下さい。");
                clear();
                return;
            }
            // The update-flag cell: update prohibited and an update pending.
            if ((SyoriType == 0 || SyoriType == 1) && CellInt(row, colUpdate) != 0) {
                TMessage2InfoRec info;
                InitMessage2Info(2, info);
                info.Lines[0].Text = "このデータは「データの更新」処理を行うことが禁止されています。";
                info.Lines[1].Text = "";
                info.Lines[2].Text =
                    "データを選択したい場合は、「データ選択」画面の[情報]ボタンを押し「データの詳細情報」画面を開き";
                info.Lines[3].Text = "[データの更新: 禁止する]項目のチェックを外してください。";
                info.Lines[4].Text = "または、過去バージョンのプログラムを起動し選択してください。";
                ShowMessageBox2(info);
                return;
            }
            if (SyoriType == 5) {
                if (svc_->IsCloudShareUse(false) && r->CLOUD == 1) {
                    showInfo("クラウドシェアデータのため選択できません。他の場所を選んで下さい。");
                    return;
                }
                clear();
                return;
            }
            SystemDef.DataDir = ChosenFolder;
            SystemDef.ChosenPasName = ChosenPasName;
            setModalResult(platform::mrOk);
            return;
        }
        // Modes 2 and 4: a destination.
        if (ChosenFolder == SystemDef.DataDir) {
            showInfo("このデータは現在選択中のデータです。\r他の場所を選んで下さい。");
            clear();
            return;
        }
        const std::int32_t res = CheckDataFolder(ChosenFolder);
        if (res < 0) {
            clear();
            refreshRow();
            return;
        }
        if (res == 1) {
            showInfo("選択したパスには既にデータが存在します。\r他の場所を選んで下さい。");
            clear();
            return;
        }
        if (SyoriType == 2 && ConnectKind == 0 && SystemDef.DataDir != SystemDef.ChosenPasName &&
            ChosenFolder == ChosenPasName) {
            TMessage2InfoRec info;
            InitMessage2Info(3, info);
            info.Lines[0].Text = "更新前データは共有データ領域で管理されています。";
            info.Lines[1].Text = "今回指定した保存先では他のオペレータとデータが共有できません。";
            info.Lines[2].Text = "共有の必要がなければこのメッセージを[OK]してください。";
            info.Lines[3].Text = "共有する必要がある場合は[キャンセル]し、データ選択画面右上の「共有取得」ボタン";
            info.Lines[4].Text = "より、共有データ領域をお選びください。";
            if (ShowMessageBox2(info) != platform::mrOk)
                return;
        }
        SystemDef.DataPaths = "PATH1=" + ChosenFolder + "\r" + "PATH2=" + ChosenPasName;
        setModalResult(platform::mrOk);
    } catch (const std::exception& e) {
        clear();
        reportError(e);
    }
}

// ---- buttons

void TDataSentakuBox::btnSearchCancelClick()
{
    ActiveConditions.JYOKENUSE = 0;
    ActiveConditions.DATATYPE = ActiveConditions.CODETYPE = ActiveConditions.TANTO = 0;
    ActiveConditions.DATACODE.clear();
    ActiveConditions.DATANAME.clear();
    ActiveConditions.DATAVER.clear();
    ActiveConditions.SEIHINNAME.clear();
    ReadList();
    FillGrid(-1);
    btnSearchCancel->setEnabled(false);
    btnSearch->setProperty("Tag", 0);
    SetFKeyCaptions();
}

void TDataSentakuBox::btnSearchClick()
{
    db::Attachment* att = svc_->SystemDatabase();
    if (!att)
        return;
    TDataListKensakuBox box(*att, datasel::ReadTantoChoices(*att, SystemDef.GroupId), datasel::ReadDataVerChoices(), this);
    box.SetListType(0);
    box.Rec() = StoredConditions;
    box.SetMode(1);
    if (box.ShowModal() == platform::mrOk) {
        StoredConditions = box.Rec();
        store_->UpdateRecord(StoredConditions);
        ActiveConditions = StoredConditions;
        ReadList();
        FillGrid(-1);
        btnSearchCancel->setEnabled(true);
        btnSearch->setProperty("Tag", 1);
    }
    SetFKeyCaptions();
}

void TDataSentakuBox::btnListUpdateClick()
{
    if (!PerfectGrid1->isEnabled()) {
        showInfo(kNotReady);
        return;
    }
    platform::PromptMessage m;
    m.source = "TDataSentakuBox";
    m.kind = platform::pkConfirmation;
    m.setText(std::string("データリストの更新を行います。") + "\r" + "よろしいですか？");
    m.buttons = platform::mbYes | platform::mbNo;
    if (platform::prompt().show(m) == platform::mrYes) {
        TxAnimeProgressDialog progress;
        progress.SetCaption(QStringLiteral("更新中"));
        progress.SetInfoLabel(QStringLiteral("データリストの更新中…"));
        progress.SetAviFile(QString::fromStdString(SystemDef.ExeDir + "/progress.avi"));
        progress.CancelBtnShow = true;
        progress.Execute(this);
        refreshProgress_ = &progress;
        std::exception_ptr failure;
        try {
            DataListRefresh(-1);
        } catch (const std::exception&) {
            failure = std::current_exception();
        }
        refreshProgress_ = nullptr;
        raise();
        activateWindow();
        progress.Close();
        show();
        if (failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& e) {
                reportError(e);
            }
        }
    }
    SetFKeyCaptions();
}

void TDataSentakuBox::btnDataInfoClick()
{
    if (!PerfectGrid1->isEnabled()) {
        showInfo(kNotReady);
        return;
    }
    const int row = CurrentRow();
    TDataListRec* r = GetRowRecord(row);
    if (!r)
        return;
    if ((r->KISHU > 0 || r->KIMATU > 0) && r->DATA_STATUS != 1 &&
        svc_->CallDataVerify(SystemDef.HostName, GetRowDataPath(row), 0, 0) == 0) {
        r->DATA_STATUS = 1;
        DataListRefresh(row);
    }
    // The details dialog comes with its own operation.
    SetFKeyCaptions();
}

// ---- closing

bool TDataSentakuBox::FormCloseQuery()
{
    bool canClose = true;
    int result = modalResult();
    if (result == 0)
        result = platform::mrCancel; // the window's close box
    if ((SyoriType == 1 || SyoriType == 3) && result != platform::mrOk) {
        if (SyoriType == 1 && result == platform::mrCancel && EscCancelled == 0) {
            TMessage2InfoRec info;
            InitMessage2Info(3, info);
            info.Lines[0].Text = SystemDef.AppLabel + "を終了します。よろしいですか？";
            if (ShowMessageBox2(info) != platform::mrOk) {
                setModalResult(0);
                EscCancelled = 0;
                canClose = false;
            } else {
                setModalResult(3);
            }
        } else {
            std::string candidate = noTrailingSlash(EntryDataFolder);
            std::int32_t res = -1;
            try {
                res = CheckDataFolder(candidate);
            } catch (const std::exception& e) {
                reportError(e);
                res = -1;
            }
            if (res != 1) {
                candidate.clear();
                if (SyoriType == 1) {
                    setModalResult(0);
                    canClose = false;
                }
            } else {
                SystemDef.DataDir = candidate;
                SystemDef.ChosenPasName.clear();
            }
            if (canClose && modalResult() == 0)
                setModalResult(platform::mrCancel);
        }
    }
    if (SyoriType == 2 && !svc_->DataConnected() && !SystemDef.DataDir.empty())
        svc_->ReconnectData(SystemDef.HostName, SystemDef.DataDir);
    if (!canClose)
        EscCancelled = 0;
    return canClose;
}

void TDataSentakuBox::closeEvent(QCloseEvent* e)
{
    if (isVisible() && !inCloseQuery_) {
        inCloseQuery_ = true;
        const bool can = FormCloseQuery();
        inCloseQuery_ = false;
        if (!can) {
            e->ignore();
            return;
        }
    }
    TBSDI::closeEvent(e);
}

void TDataSentakuBox::FormClose(TCloseAction& action)
{
    TBSDI::FormClose(action);
    action = caHide;
    if (PasteMode == 1)
        PasteMode = 0;
    TDataKensakuRec sort = ActiveConditions;
    sort.OPCODE = SystemDef.OpCode;
    sort.LISTTYPE = 0;
    sort.SORTCOL = std::max(SortCol, 0);
    sort.SORTTYPE = SortDesc;
    if (store_)
        store_->UpdateRecordSortField(sort);
    if (SyoriType == 5)
        return;
    SystemDef.Settings.DataPlace = (ConnectKind == 1 || ConnectKind == 2) ? DataPlace : 0;
    if (SyoriType == 2) {
        MenuNotify = false;
        if (ConnectKind == 0)
            SystemDef.Settings.KyoyuAuto = SavedAutoShare;
        return;
    }
    svc_->PutSysDef();
}
