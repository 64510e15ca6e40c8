#include "app/WizardLogic.h"

#include "accdb/AppInfo.h"
#include "accdb/DateText.h"
#include "app/AppMessage.h"
#include "app/ComRendo.h"
#include "app/ProcessForm.h"
#include "app/Startup.h"
#include "app/XMLSaveDoc.h"
#include "app/hj19.h"
#include "platform/AppEvents.h"
#include "platform/CallerLink.h"
#include "platform/Folders.h"

#include <cstdio>

using platform::pkError;
using platform::pkInformation;
using platform::pkWarning;

namespace {

std::string fmtOne(const char* format, const std::string& a) {
    std::string f(format);
    auto p = f.find("%s");
    return p == std::string::npos ? f : f.substr(0, p) + a + f.substr(p + 2);
}

std::string fmtTwo(const char* format, const std::string& a, const std::string& b) {
    std::string f(format);
    auto p = f.find("%s");
    if (p == std::string::npos)
        return f;
    std::string first = f.substr(0, p) + a;
    return first + fmtOne(f.substr(p + 2).c_str(), b);
}

std::string folderOf(const std::string& path) {
    auto p = path.rfind('/');
    return p == std::string::npos ? std::string() : path.substr(0, p);
}

std::string withDelimiter(std::string s) {
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

} // namespace

TWizardLogic::TWizardLogic(IWizardDataModule& dm, ILogon& logon, ISharedData& shared, ICloudShare& cloud,
                           IWizardView& view, ExporterFactory makeExporter)
    : dm_(dm), logon_(logon), view_(view), makeExporter_(std::move(makeExporter)), opener_(dm, shared, cloud, view) {}

TWizardLogic::~TWizardLogic() = default;

void TWizardLogic::notifyCaller() {
    if (callerDisabled_) {
        platform::setCallerEnabled(CallerWnd, true);
        callerDisabled_ = false;
    }
    if (CallerWnd != 0 && !posted_) {
        posted_ = true;
        platform::postToCaller(CallerWnd, CallerMsg, CallerParam, ResultCode);
    }
}

void TWizardLogic::AbortStart() {
    ResultCode = 2;
    notifyCaller();
}

bool TWizardLogic::FormCreate(const std::vector<std::string>& args, const std::string& exePath) {
    MenuRequestHook = NullMenuRequest;
    ProcessLauncherHook = ExecProcessForm;
    DataVerifyHook = DataVerifyProc;

    SystemDrive = "/";
    ResultCode = 2;
    Pages = {"page1", "page2", "page3", "page4", "page5", "page6", "page7", "page8", "page9", "page10"};

    TCallerArgs caller = ParseCallerArgs(args);
    if (caller.kind == TCallerArgs::Invalid) {
        app::showBox(pkError, "不正な引数が渡されました。\r\rアプリケーションを強制終了します。");
        return false;
    }
    if (caller.kind == TCallerArgs::Caller) {
        CallerWnd = caller.Wnd;
        CallerMsg = caller.Msg;
        CallerParam = caller.Param;
        CallerFile = caller.File;
        if (CallerWnd != 0) {
            platform::setCallerEnabled(CallerWnd, false);
            callerDisabled_ = true;
        }
        std::erase(Pages, "page4");
    }

    int r = LoadAppInfo(exePath, AppInfo);
    if (r != 1) {
        const char* text = r == 0 ? "アプリケーションの設定ファイル(AppInfo.ini)が見つかりませんでした。\r"
                                    "アプリケーションを強制終了します。"
                           : r == -1 ? "アプリケーションの設定ファイル(AppInfo.ini)の値を参照できませんでした。\r"
                                       "アプリケーションを強制終了します。"
                                     : "アプリケーションの設定ファイル(AppInfo.ini)を参照できませんでした。\r"
                                       "アプリケーションを強制終了します。";
        app::showBox(pkError, text);
        AbortStart();
        return false;
    }
    if (AppInfo.OEM == "SorvindData")
        OemEdition = 1;
    ApplyAppInfo();

    try {
        exporter_ = makeExporter_(static_cast<int>(CallerParam), CallerFile, caller.kind == TCallerArgs::Caller);
    } catch (const std::exception&) {
        exporter_.reset();
    }
    if (!exporter_ || exporter_->ProgramTitle.empty()) {
        app::showBox(pkError, "起動情報の初期化に失敗しました。アプリケーションを強制終了します。");
        AbortStart();
        return false;
    }
    if (!VersionAtLeast(exporter_->ProductVersion, exporter_->RequiredVersion)) {
        app::showBox(pkError, "このアプリケーションはインストールされている「" + AppInfo.AppTitle +
                                  "」のバージョンに対応していません。\rバージョン:" + exporter_->RequiredVersion +
                                  "以降をインストールしてください。\r\rアプリケーションを強制終了します。");
        AbortStart();
        return false;
    }
    opener_.RequiredVersion = exporter_->RequiredVersion;
    opener_.DataVerMajor = std::to_string(VersionMajorOf(exporter_->RequiredVersion));

    DocFolder = platform::documentsFolder();
    opener_.LastDataDir.clear();
    opener_.DataChosen = false;
    Caption = exporter_->Caption;

    const std::string& source = exporter_->ProductName;
    const std::string& target = exporter_->ProgramTitle;
    Memo1a = CallerWnd != 0 || caller.kind == TCallerArgs::Caller
                 ? fmtTwo("『%s』から『%s』へデータの連動を行います。", source, target)
                 : fmtTwo("『%s』から『%s』へデータを連動させるための中間ファイルを作成します。", source, target);
    Memo1b = {fmtOne("『%s』が起動している場合は終了してください。", source), "", "",
              "作成を始めるには[次へ]をクリックしてください。"};
    Label2a = "連動元となる対象データを「データ選択を開く」ボタンを押して指定します。";
    if (caller.kind != TCallerArgs::Caller)
        Label4a = fmtOne("連動先となる『%s』で使用する中間ファイルを指定します。", target);

    for (const char* p : {"page6", "page7", "page8", "page9", "page3", "page10"})
        std::erase(Pages, std::string(p));
    view_.SetFileEditText(exporter_->ExportFile);
    return true;
}

bool TWizardLogic::FirstShow() {
    SystemDef.AppLabel = "ゾルテ連動コンポーネント";
    LogonBoxReady = logon_.Prepare();
    LoggedOn = LogonBoxReady && logon_.Execute();
    if (!LoggedOn) {
        dm_.DefDisconnect();
        platform::requestTerminate();
        return false;
    }
    if (dm_.GetSysDef()) {
        dm_.LoadGengo();
        return true;
    }
    if (LoggedOn)
        dm_.DeleteLogonInfo();
    platform::requestTerminate();
    return false;
}

bool TWizardLogic::ValidateDataPage() {
    if (SystemDef.DataDir.empty() || opener_.DataRows.empty()) {
        app::showBox(pkWarning, "会計データの選択が行われていません。\r「データ選択を開く」ボタンを押して選択して下さい。");
        view_.FocusDataButton();
        return false;
    }
    const TOpenDataInfo& i = opener_.Info;
    exporter_->KomonsakiName = i.Shougou;
    exporter_->FiscalYearNo = i.Nendo;
    exporter_->FiscalStart = i.Kishu;
    exporter_->FiscalEnd = i.Kimatu;
    exporter_->ClosingDay = i.Sime;
    return true;
}

std::string TWizardLogic::TargetFile(const std::string& typed) const {
    if (typed.find('/') != std::string::npos)
        return typed;
    return withDelimiter(DocFolder) + typed;
}

void TWizardLogic::BuildSummary() {
    SummaryLines.clear();
    SummaryLines.push_back("【連動元情報】");
    SummaryLines.push_back(" 会社名        : " + exporter_->KomonsakiName);
    if (exporter_->FiscalYearNo <= 0)
        SummaryLines.push_back(" 会計年度      : - 期");
    else
        SummaryLines.push_back(" 会計年度      : " + std::to_string(exporter_->FiscalYearNo) + " 期");
    std::string from, to;
    FormatDateKanji("yyyy年m月d日", 1, from, exporter_->FiscalStart);
    FormatDateKanji("yyyy年m月d日", 1, to, exporter_->FiscalEnd);
    SummaryLines.push_back(" 会計期間      : " + from + " ～ " + to);
    if (CallerWnd == 0 && std::find(Pages.begin(), Pages.end(), "page4") != Pages.end()) {
        std::string typed = view_.FileEditText();
        exporter_->ExportFile = TargetFile(typed);
        SummaryLines.push_back("");
        SummaryLines.push_back("【中間ファイル】");
        SummaryLines.push_back(" " + exporter_->ExportFile);
    }
    view_.SummaryChanged();
}

bool TWizardLogic::NextClicking(const std::string& page) {
    if (page == "page2") {
        if (!ValidateDataPage())
            return false;
        if (std::find(Pages.begin(), Pages.end(), "page4") == Pages.end())
            BuildSummary();
        return true;
    }
    if (page == "page4") {
        std::string typed = view_.FileEditText();
        if (typed.empty() || typed.back() == '/') {
            app::showBox(pkWarning, "中間ﾌｧｲﾙが指定されていません。\r指定してから[次へ]をｸﾘｯｸしてください。\r");
            view_.SetNextCaption("次へ(&N) >");
            return false;
        }
        if (platform::systemMajorVersion() >= 6 &&
            withDelimiter(SystemDrive) == withDelimiter(folderOf(TargetFile(typed)))) {
            app::showBox(pkWarning, "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(" + SystemDrive +
                                        ")直下にﾌｧｲﾙは指定できません。\r別のﾄﾞﾗｲﾌﾞまたはﾌｫﾙﾀﾞを指定してから[次へ]をｸﾘｯｸしてください。\r");
            view_.SetNextCaption("次へ(&N) >");
            return false;
        }
        BuildSummary();
        return true;
    }
    return true;
}

void TWizardLogic::PageChanged(const std::string& page) {
    if (page == "page2" && opener_.DataRows.empty())
        view_.FocusDataButton();
}

int TWizardLogic::ExportData() {
    int r = 4;
    TXmlSaveDoc doc("1.0", "Shift_JIS", "");
    auto* hojin = dynamic_cast<THojinZeiGenkaDataExport*>(exporter_.get());
    std::unique_ptr<SisanReader> reader;
    // The exporter lets go of the reader before it is freed, however this
    // step ends.
    struct Detach {
        THojinZeiGenkaDataExport* h;
        ~Detach() {
            if (h)
                h->setReader(nullptr);
        }
    } detach{hojin};
    try {
        if (hojin) {
            reader = dm_.MakeSisanReader(opener_.Info);
            hojin->setReader(reader.get());
        }
        exporter_->SetHeaderNode(doc);
        exporter_->SetBasicNode(doc);
        exporter_->Export(doc);
        doc.SaveToFile(exporter_->ExportFile);
        r = 1;
    } catch (const EDataExportError& e) {
        view_.StopProgressAnimation();
        std::string text = std::string(e.what()) + "\r" + e.Detail + "\r";
        if (e.Code == 16 || e.Code == 6) {
            app::showBox(pkInformation, text);
            r = 3;
        } else {
            app::showBox(pkError, text);
            r = 4;
        }
    }
    return r;
}

void TWizardLogic::FinishClicked() {
    view_.ShowProgress("連動データの作成中", "連動データの作成中です…");
    // The hourglass stays while the file is written and goes before the
    // outcome is shown; it never outlives this step, whatever leaves it.
    class BusyCursor {
    public:
        explicit BusyCursor(IWizardView& v) : v_(v) { v_.SetBusyCursor(true); }
        ~BusyCursor() { end(); }
        BusyCursor(const BusyCursor&) = delete;
        BusyCursor& operator=(const BusyCursor&) = delete;
        void end() {
            if (on_) {
                on_ = false;
                v_.SetBusyCursor(false);
            }
        }

    private:
        IWizardView& v_;
        bool on_ = true;
    } busy(view_);
    int r = 4;
    std::string exceptionText;
    bool failed = false;
    try {
        r = ExportData();
    } catch (const std::exception& e) {
        failed = true;
        exceptionText = e.what();
    } catch (...) {
        failed = true;
    }
    view_.CloseProgress();
    busy.end();
    if (!failed && r == 1) {
        if (CallerWnd == 0)
            app::showBox(pkInformation, "中間ファイルが作成されました。\r");
        ResultCode = 0;
        view_.CloseForm();
    } else if (!failed && r == 3) {
        ResultCode = 1;
    } else {
        app::showBox(pkError, "中間ファイルの作成に失敗しました。\r");
        ResultCode = 2;
        if (failed && !exceptionText.empty())
            app::showBox(pkError, exceptionText);
        view_.CloseForm();
    }
}

void TWizardLogic::CancelClicked() {
    int answer = app::showBox(pkInformation,
                              "[キャンセル]ボタンが押されました。\r連動データの作成ウィザードを終了してもよろしいですか？\r",
                              platform::mbYes | platform::mbNo);
    if (answer == platform::mrYes) {
        ResultCode = 1;
        view_.CloseForm();
    }
}

void TWizardLogic::WMClose() { ResultCode = 1; }

void TWizardLogic::CloseData() {
    std::string dir = SystemDef.DataDir;
    dir.erase(0, dir.find_first_not_of(' '));
    if (opener_.DataConnected && !dir.empty()) {
        int s = LogonMode != 0 ? 1 : opener_.ExecCloudShare(1, "APP_CLOSE");
        if (!dm_.DatIsConnected())
            dm_.AccDatConnected(SystemDef.HostName, SystemDef.DataDir, false);
        if (dm_.DatIsConnected())
            dm_.AccDatDisconnect("", 1, 1);
        opener_.DataConnected = false;
        if (LogonMode == 0 && s == 1)
            opener_.SendSharedData();
    }
    if (LoggedOn) {
        if (!dm_.DefIsConnected())
            dm_.AccDefConnected(SystemDef.HostName);
        dm_.DeleteLogonInfo();
        dm_.DefDisconnect();
    }
    LoggedOn = false;
}

void TWizardLogic::FormDestroy() {
    exporter_.reset();
    MenuRequestHook = nullptr;
    ProcessLauncherHook = nullptr;
    DataVerifyHook = nullptr;
    notifyCaller();
}
