#include "app/OpenData.h"

#include "accdb/DateText.h"
#include "app/AppMessage.h"
#include "app/VersionCheck.h"
#include "platform/AppEvents.h"
#include "ui/MessageDlg2.h"

#include <filesystem>
#include <functional>

namespace {

const char* const kReopen = "データ選択画面を開き、別のデータを選択しますか？";
const char* const kConnectFailed = "データの接続に失敗しました。";

void richInfo(const std::vector<std::string>& lines) {
    TMessage2InfoRec info;
    InitMessage2Info(2, info);
    for (size_t i = 0; i < lines.size() && i < info.Lines.size(); ++i)
        info.Lines[i].Text = lines[i];
    ShowMessageBox2(info);
}

// Runs the job with the progress dialog shown and closes it in every case.
template <typename F>
auto withProgress(IWizardView& view, const std::string& caption, const std::string& infoText, F job) {
    view.ShowProgress(caption, infoText);
    struct Closer {
        IWizardView& v;
        ~Closer() { v.CloseProgress(); }
    } closer{view};
    return job();
}

} // namespace

bool TDataOpener::askReopen(const std::vector<std::string>& lines) {
    TMessage2InfoRec info;
    InitMessage2Info(3, info);
    for (size_t i = 0; i < lines.size() && i < info.Lines.size(); ++i)
        info.Lines[i].Text = lines[i];
    return ShowMessageBox2(info) == platform::mrOk;
}

void TDataOpener::disconnectData() {
    if (dm_.DatIsConnected())
        dm_.AccDatDisconnect(SystemDef.DataDir, 1, 0);
    DataConnected = false;
}

std::string TDataOpener::SelectionParams(int SyoriType) const {
    return "SyoriType=" + std::to_string(SyoriType) + "\rJyokenSet=1\rDataType=" + std::to_string(-13) +
           "\rCodeType=" + std::to_string(0) + "\rDataVerMajor=" + DataVerMajor;
}

std::vector<std::string> TDataOpener::RowsOf(const TOpenDataInfo& info) {
    std::vector<std::string> rows;
    if (info.CodeTypeName.empty())
        rows.push_back("データ区分=" + info.DataTypeName);
    else
        rows.push_back("データ区分=" + info.DataTypeName + "／" + info.CodeTypeName);
    rows.push_back(std::string(info.DataType == 1 || info.DataType == 3 ? "会社名=" : "データ名=") + info.Shougou);
    rows.push_back("会計年度=" + std::to_string(info.Nendo) + "期");
    std::string kikan;
    FormatKikanText(info.Kishu, info.Kimatu, kikan);
    rows.push_back("会計期間=" + kikan);
    return rows;
}

void TDataOpener::DataSentakuClick() {
    if (OpenDataSet(3, true)) {
        DataRows = RowsOf(Info);
        view_.DataRowsChanged();
    }
    if (DataConnected && !SystemDef.DataDir.empty())
        return;
    DataRows.clear();
    view_.DataRowsChanged();
    if (dm_.DatIsConnected())
        dm_.AccDatDisconnect(SystemDef.DataDir, 1, 0);
    DataConnected = false;
}

bool TDataOpener::checks() {
    struct Check {
        std::function<bool()> pass;
        std::vector<std::string> lines;
    };
    const Check list[] = {
        {[&] {
             SystemDef.DataVersionText = dm_.GetDataBaseVer();
             return VersionAtLeast(SystemDef.DataVersionText, RequiredVersion);
         },
         {"このプログラムで処理できるデータバージョンに達していません。",
          "データバージョン:" + RequiredVersion + "以降のデータを選択して下さい。", kReopen}},
        {[&] { return dm_.CheckDataPassword(); },
         {"このデータに設定されている「パスワード」と一致しませんでした。", kReopen}},
        {[&] { return dm_.ExistsOpeDefSisetu(); }, {"このデータを扱う権限がありません。", kReopen}},
        {[&] { return dm_.HasAllSitenKengen(SystemDef.OpCode); },
         {"このデータを扱う権限が不足しています。（支店毎の処理権限をすべて有していない）", kReopen}},
    };
    for (const Check& c : list) {
        if (!c.pass()) {
            bool again = askReopen(c.lines);
            disconnectData();
            if (!again)
                throw false;
            return false;
        }
    }
    return true;
}

bool TDataOpener::OpenDataSet(int SyoriType, bool /*Launch*/) {
    SystemDef.DataVersionText.clear();
    bool found = false;
    bool ok = false;
    bool leave = false;
    while (!found && !leave) {
        if (LogonMode == 0 && DataChosen && !found) {
            disconnectData();
            ReleaseSharedData();
        }
        // Choose a data set that can be connected and taken.
        for (;;) {
            int a = ProcessLauncherHook ? ProcessLauncherHook("VqDataSenkaku", 1, SelectionParams(SyoriType)) : -1;
            if (a == 1) {
                ok = true;
            } else if (DataChosen) {
                ok = true;
                SystemDef.DataDir = LastDataDir;
            } else {
                ok = false;
                LastDataDir.clear();
                SystemDef.DataDir.clear();
            }
            if (SystemDef.DataDir.empty()) {
                leave = true;
                break;
            }
            DataConnected = dm_.AccDatConnected(SystemDef.HostName, SystemDef.DataDir, true);
            if (DataConnected)
                found = dm_.GetAccInfo(Info);
            if (found) {
                found = false;
                if (AcquireSharedData() > 0)
                    break;
                SystemDef.DataDir = LastDataDir;
                continue;
            }
            // A data set marked in use must be free again before another
            // one is connected.
            disconnectData();
            if (!askReopen({kConnectFailed, kReopen})) {
                ok = false;
                leave = true;
                break;
            }
        }
        if (leave)
            break;
        DataChosen = true;
        try {
            withProgress(view_, "接続中", "会計データに接続中です…", [&] {
                DataConnected = dm_.AccDatConnected(SystemDef.HostName, SystemDef.DataDir, true);
                if (!DataConnected) {
                    found = false;
                    if (!askReopen({kConnectFailed, kReopen}))
                        throw false;
                    return 0;
                }
                LastDataDir = SystemDef.DataDir;
                found = dm_.GetAccInfo(Info);
                if (!found) {
                    bool again = askReopen({kConnectFailed, kReopen});
                    disconnectData();
                    if (!again)
                        throw false;
                    return 0;
                }
                found = checks();
                return 0;
            });
        } catch (bool) {
            ok = false;
            found = false;
            leave = true;
        }
    }
    if (LogonMode == 0 && !ok && DataChosen)
        ReleaseSharedData();
    return ok;
}

int TDataOpener::ReleaseSharedData() {
    int result = 1;
    try {
        disconnectData();
        if (ExecCloudShare(1, "") <= 0)
            result = -921;
        else if (SendSharedData() <= 0)
            result = -911;
    } catch (...) {
        disconnectData();
        platform::waitMs(100);
        throw;
    }
    disconnectData();
    platform::waitMs(100);
    return result;
}

int TDataOpener::AcquireSharedData() {
    int result = 1;
    try {
        // The shared and the cloud copy replace the data set's files: it
        // must not be attached while they are received.
        disconnectData();
        if (ReceiveSharedData(SystemDef.Settings.KyoyuAuto != 0) <= 0)
            result = -912;
        else if (ExecCloudShare(0, "") <= 0)
            result = -922;
    } catch (...) {
        disconnectData();
        platform::waitMs(100);
        throw;
    }
    disconnectData();
    platform::waitMs(100);
    return result;
}

int TDataOpener::ReceiveSharedData(bool Force) {
    if (LogonMode != 0 || ConnectKind != 0 || SystemDef.DataDir.empty())
        return 1;
    std::string share;
    int lock = 0, net = 0;
    if (!shared_.ConvLocalPathToSharePath(SystemDef.DataDir, share, lock, net)) {
        richInfo({"共有データパスの変換に失敗しました。データ選択画面を開きます。"});
        return 0;
    }
    if (net != 1 || lock != 0)
        return 1;
    if (!Force) {
        richInfo({"このデータは共有取得が行われていません。データ選択画面を開きます。"});
        return 0;
    }
    int r = 0;
    try {
        r = withProgress(view_, "共有データ受信中", "共有データから受信中…",
                         [&] { return shared_.KyoyuDataDown(SystemDef.DataDir); });
    } catch (const std::exception& e) {
        view_.StopProgressAnimation();
        app::showBox(platform::pkWarning, e.what());
        return 0;
    }
    std::error_code ec;
    if (r == 0 || (r == 1 && !std::filesystem::exists(SystemDef.DataDir + "/" + DataFile, ec))) {
        richInfo({"共有サーバーが起動していない、接続が切断されている または "
                  "共有サーバー上のデータ領域が削除された可能性があります。",
                  "共有データパス: " + share});
        return 0;
    }
    if (r == 1) {
        if (!dm_.AccDatConnected(SystemDef.HostName, SystemDef.DataDir, false)) {
            richInfo({"このデータは破損している可能性があり、基本情報が取得できませんでした。"});
            return 0;
        }
        dm_.GetAccInfo(Info);
        dm_.AccDatDisconnect(SystemDef.DataDir, 0, 0);
    }
    return r;
}

int TDataOpener::SendSharedData() {
    if (LogonMode != 0 || ConnectKind != 0 || SystemDef.DataDir.empty())
        return 1;
    if (SystemDef.DataDamaged == 1)
        return 0;
    if (SystemDef.Settings.KyoyuAuto == 0)
        return 1;
    std::string share;
    int lock = 0, net = 0;
    if (!shared_.ConvLocalPathToSharePath(SystemDef.DataDir, share, lock, net)) {
        richInfo({"共有データパスの変換に失敗しました。共有データの自動保管は行えませんでした。"});
        return 0;
    }
    if (!(net == 1 && lock == 1))
        return 1;
    try {
        return withProgress(view_, "共有データ送信中", "共有データへ送信中…", [&] {
            for (const std::string& folder : shared_.LocalFolders(SystemDef.DataDir)) {
                if (!shared_.VerifyFolder(SystemDef.HostName, folder)) {
                    view_.StopProgressAnimation();
                    richInfo({"合算・分散データに破損したデータが存在するため、共有データの自動保管を中止します。",
                              "データのバックアップを行っている場合は、適正な方法で破損前の状態へ戻して下さい。"});
                    return 0;
                }
            }
            return shared_.KyoyuDataUp(SystemDef.DataDir);
        });
    } catch (const std::exception& e) {
        view_.StopProgressAnimation();
        app::showBox(platform::pkWarning, e.what());
        return 0;
    }
}

int TDataOpener::ExecCloudShare(int Direction, const std::string& /*Reason*/) {
    if (OemEdition != 0 || ConnectKind == 2)
        return 1;
    if (Direction != 0 && Direction != 1)
        return 1;
    if (LogonMode != 0 || Info.Cloud <= 0)
        return 1;
    int r = Direction == 0 ? cloud_.CloudShareReceive(SystemDef.DataDir, 1, 0)
                           : cloud_.CloudShareSend(SystemDef.DataDir, "", 1);
    return (r >= 1 && r <= 9) ? -1 : 1;
}
