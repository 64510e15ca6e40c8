// Suite settings file and the data-server settings dialog.
#include "accdb/AppIniCreate.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "accdb/IBErrorReport.h"
#include "accdb/SysFolder.h"
#include "platform/IniFile.h"
#include "platform/Prompt.h"

namespace {

std::string upperAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return s;
}
std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return s;
}
std::string trimmed(const std::string& s) { return TrimZen(s); }

void errorBox(const std::string& text) {
    platform::PromptMessage m;
    m.source = "TAppIniCreateBox";
    m.kind = platform::pkError;
    m.setText(text);
    m.buttons = platform::mbYes;
    platform::prompt().show(m);
}

const char* yesNo(bool f) { return f ? "YES" : "NO"; }

} // namespace

const char* TAppIniCreateBox::SectionOf(int Kind) {
    switch (Kind) {
    case 1: return "SERVER";
    case 2: return "SBC";
    default: return "LOCAL";
    }
}

bool TAppIniCreateBox::WriteAppIni(int Reset) {
    platform::IniFile ini(SystemDef.SuiteIniFile);
    auto writeKind = [&](const char* sec) {
        ini.writeString(sec, "HOSTNAME", SystemDef.HostName);
        ini.writeString(sec, "GOGLOBAL", yesNo(SystemDef.GoGlobal));
        ini.writeString(sec, "GROUP", yesNo(SystemDef.GroupMode));
        ini.writeString(sec, "SYSDIR", SystemDef.SysDir);
        ini.writeString(sec, "USER", SystemDef.UserName);
        ini.writeString(sec, "PASSWORD", SystemDef.Password);
    };
    if (Reset == 1) {
        if (ConnectKind == 0) SystemDef.HostName.clear();
        ini.eraseSection("DATABASE");
        ini.eraseSection("MAINFORM");
        ini.writeString("APPLICATION", "TOP", "0");
        ini.writeString("APPLICATION", "LEFT", "0");
        ini.writeString("APPLICATION", "WIDTH", "1024");
        ini.writeString("APPLICATION", "HEIGHT", "738");
        ini.writeString("APPLICATION", "CONNECT", "0");
        writeKind("LOCAL");
        ini.writeString("SERVER", "HOSTNAME", "");
        ini.writeString("SERVER", "GOGLOBAL", "NO");
        ini.writeString("SERVER", "GROUP", "NO");
        ini.writeString("SERVER", "SYSDIR", "");
        ini.writeString("SERVER", "USER", SystemDef.UserName);
        ini.writeString("SERVER", "PASSWORD", SystemDef.Password);
    } else if (ConnectKind <= 2) {
        writeKind(SectionOf(ConnectKind));
    }
    return true;
}

void TAppIniCreateBox::WriteConnectKind(int Kind) {
    if (Kind < 3 && LogonMode == 0)
        platform::IniFile(SystemDef.SuiteIniFile).writeString("APPLICATION", "CONNECT", std::to_string(Kind));
}

int TAppIniCreateBox::ReadConnectKind() {
    if (LogonMode != 0) return 0;
    return platform::IniFile(SystemDef.SuiteIniFile).readInteger("APPLICATION", "CONNECT", 0);
}

int TAppIniCreateBox::ReadConnectSection(int Kind) {
    platform::IniFile ini(SystemDef.SuiteIniFile);
    const char* sec = SectionOf(Kind);
    SystemDef.HostName = ini.readString(sec, "HOSTNAME", "");
    SystemDef.GoGlobal = ini.readString(sec, "GOGLOBAL", "NO") == "YES";
    // The folder is used to open the database: its letter case is kept.
    SystemDef.SysDir = ini.readString(sec, "SYSDIR", "");
    SystemDef.UserName = upperAscii(ini.readString(sec, "USER", "TAVRIN"));
    SystemDef.Password = lowerAscii(ini.readString(sec, "PASSWORD", "mobrix"));
    SystemDef.GroupMode = false;
    return 1;
}

int TAppIniCreateBox::LoadConnectSettings(int Kind) {
    auto fixed = [](const std::string& sysDir) {
        SystemDef.HostName.clear();
        SystemDef.GoGlobal = false;
        SystemDef.SysDir = sysDir;
        SystemDef.UserName = "TAVRIN";
        SystemDef.Password = "mobrix";
        SystemDef.GroupMode = false;
        return 1;
    };
    switch (LogonMode) {
    case 0:
    case 2: return ReadConnectSection(Kind);
    case 1: return fixed(SystemDef.ZUziduDir + "/data");
    case 3: return fixed(SystemDef.BaseDir + "/" + CashBookDirName);
    default: return 0;
    }
}

void TAppIniCreateBox::FormCreate() {
    Initialized = false;
    StandAloneMode = false;
    ShowKind = 1;
    Label1 = "データサーバーを利用するための設定を行います。";
    Label2 = "データサーバーの情報を入力して下さい。";
    txtDataPath = ServerDir;
    txtUserName = SystemDef.UserName;
    txtPassWord = SystemDef.Password;
    Initialized = true;
}

void TAppIniCreateBox::Showing() {
    if (StandAloneMode) {
        if (SystemDef.BaseDir.empty()) {
            ErrorText = "アプリケーションの初期化に失敗しました。\r" + AppName +
                        "を終了します。\rデータフォルダの取得に失敗しました。";
            errorBox(ErrorText);
            return;
        }
        if (!std::filesystem::exists(SystemDef.SuiteIniFile)) WriteAppIni(0);
    }
    ReadConnectSection(ShowKind);
    txtHostName = SystemDef.HostName;
    if (!SystemDef.SysDir.empty()) txtDataPath = SystemDef.SysDir;
    txtUserName = SystemDef.UserName;
    txtPassWord = SystemDef.Password;
}

bool TAppIniCreateBox::OKBtnClick() {
    SystemDef.HostName = lowerAscii(txtHostName);
    SystemDef.SysDir = txtDataPath;
    SystemDef.UserName = upperAscii(txtUserName);
    SystemDef.Password = lowerAscii(txtPassWord);
    SystemDef.GoGlobal = false;
    SystemDef.GroupMode = false;
    switch (ConnectKind) {
    case 0: SystemDef.HostName.clear(); break;
    case 1:
        if (trimmed(SystemDef.HostName).empty()) {
            errorBox("コンピュータ名が指定されていません。\r入力してください。");
            return false;
        }
        break;
    case 2:
        SystemDef.GoGlobal = true;
        if (trimmed(SystemDef.HostName).empty()) {
            errorBox("コンピュータ名が指定されていません。\r");
            return false;
        }
        break;
    default: break;
    }
    if (trimmed(SystemDef.UserName).empty()) {
        errorBox("データベースのユーザーが指定されていません。\r入力してください。");
        return false;
    }
    if (trimmed(SystemDef.Password).empty()) {
        errorBox("データベースのパスワードが指定されていません。\r入力してください。");
        return false;
    }
    WriteAppIni(0);
    return true;
}

void TAppIniCreateBox::btnCompShowClick() {
    std::string name;
    if (SelectComputerDlg("サーバーのコンピュータを選択して下さい。サーバーのコンピュータがリストに無い場合は、"
                          "[ｷｬﾝｾﾙ]を押してコンピュータ名を入力して下さい。",
                          name))
        txtHostName = name;
}

// ---------------------------------------------------------------- window

TAppIniCreateForm::TAppIniCreateForm(QWidget* parent)
    : QDialog(parent), rules_(std::make_unique<TAppIniCreateBox>()) {
    setWindowTitle(QString::fromUtf8("データサーバーの設定"));
    setFont(QFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 12));
    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QString::fromStdString(rules_->Label1), this));
    v->addWidget(new QLabel(QString::fromStdString(rules_->Label2), this));
    auto* g = new QGridLayout;
    host_ = new QLineEdit(this);
    host_->setToolTip(QString::fromUtf8("接続先のコンピューター名またはIPアドレスを入力して下さい。"));
    auto* browse = new QPushButton(QString::fromUtf8("参照"), this);
    browse->setToolTip(QString::fromUtf8("ネットワークに接続されているコンピュータを表示します。"));
    path_ = new QLineEdit(this);
    user_ = new QLineEdit(this);
    pass_ = new QLineEdit(this);
    pass_->setEchoMode(QLineEdit::Password);
    user_->hide();
    pass_->hide();
    g->addWidget(host_, 0, 0);
    g->addWidget(browse, 0, 1);
    g->addWidget(path_, 1, 0, 1, 2);
    g->addWidget(user_, 2, 0);
    g->addWidget(pass_, 3, 0);
    v->addLayout(g);
    auto* h = new QHBoxLayout;
    ok_ = new QPushButton("OK", this);
    auto* cancel = new QPushButton(QString::fromUtf8("キャンセル"), this);
    h->addStretch();
    h->addWidget(ok_);
    h->addWidget(cancel);
    v->addLayout(h);
    connect(ok_, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(browse, &QPushButton::clicked, this, [this] {
        fromFields();
        rules_->btnCompShowClick();
        toFields();
    });
    toFields();
}

TAppIniCreateForm::~TAppIniCreateForm() = default;

void TAppIniCreateForm::toFields() {
    host_->setText(QString::fromStdString(rules_->txtHostName));
    path_->setText(QString::fromStdString(rules_->txtDataPath));
    user_->setText(QString::fromStdString(rules_->txtUserName));
    pass_->setText(QString::fromStdString(rules_->txtPassWord));
}

void TAppIniCreateForm::fromFields() {
    rules_->txtHostName = host_->text().toStdString();
    rules_->txtDataPath = path_->text().toStdString();
    rules_->txtUserName = user_->text().toStdString();
    rules_->txtPassWord = pass_->text().toStdString();
}

void TAppIniCreateForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    rules_->Showing();
    toFields();
}

void TAppIniCreateForm::okClicked() {
    fromFields();
    if (rules_->OKBtnClick()) accept();
}

void TAppIniCreateForm::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    if (e->key() == Qt::Key_F12 && ok_->isEnabled()) {
        okClicked();
        return;
    }
    QDialog::keyReleaseEvent(e);
}
