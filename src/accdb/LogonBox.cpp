// The logon dialog.
#include "accdb/LogonBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "accdb/AccFunction.h"
#include "accdb/AccRecord.h"
#include "accdb/AppInfo.h"
#include "accdb/DataModule.h"
#include "accdb/IBErrorReport.h"
#include "platform/Prompt.h"
#include "ui/KeyStyles.h"
#include "ui/MessageDlg2.h"

namespace {

constexpr const char* kWrongCode = "コードまたはパスワードが違います。\r正しいコードまたはパスワードを入力して下さい。";
constexpr const char* kLoginFailed = "ログイン処理に失敗しました。以下の理由が考えられます。";
constexpr const char* kDefConnectFailed = "財務システムデータベースの接続処理に失敗しました。";

void errorBox(const std::string& text) {
    platform::PromptMessage m;
    m.source = "TLogonBox";
    m.kind = platform::pkError;
    m.setText(text);
    m.buttons = platform::mbOK;
    platform::prompt().show(m);
}

} // namespace

void TLogonRules::FormCreate() {
    Initialized = false;
    AskGroup = ConnectKind == 2 && SystemDef.GroupMode;
    Label1 = AppLabelFormat();
    Label3.clear();
    if (SystemDef.GroupMode) {
        Label2 = "グループ、オペレータコードとパスワードを入力して下さい。";
    } else {
        Label2 = "オペレータコードとパスワードを入力して下さい。";
        GroupVisible = false;
    }
    btnCSChecked = ServerSettingsBox.ReadConnectKind() != 0;
    btnSAClick();
    if (ConnectKind == 2 || OemEdition == 2) {
        GroupBox2Visible = false;
        btnCSChecked = false;
        btnSAClick();
        ShrinkHeight = true;
    }
    Initialized = true;
}

std::string TLogonRules::AppLabelFormat() { return SystemDef.AppLabel + " を利用するには"; }

void TLogonRules::Showing() {
    ServerSetteiEnabled = btnCSChecked;
    FocusTo = SystemDef.GroupMode ? fcGroupId : fcOpCode;
}

void TLogonRules::btnSAClick() {
    if (ConnectKind == 2) return;
    ConnectKind = btnCSChecked ? 1 : 0;
    ServerSetteiEnabled = btnCSChecked;
}

int TLogonRules::GetConnectKind() const {
    if (ConnectKind > 1) return ConnectKind == 2 ? 2 : 0;
    return btnCSChecked ? 1 : 0;
}

void TLogonRules::refuse(const std::string& text, Focus focus) {
    errorBox(text);
    if (focus != fcNone) FocusTo = focus;
}

bool TLogonRules::connectSystemDb() {
    try {
        DM->IBDatabaseDEF.disconnect();
        DM->fnAccDefConnected(SystemDef.HostName, 0);
        return true;
    } catch (const db::FbError& e) {
        TMessage2InfoRec info;
        InitMessage2Info(2, info);
        const int code = e.errorCode();
        if (code == kFbIoError || code == kFbNetworkLost) {
            std::vector<std::string> lines{kLoginFailed};
            if (ConnectKind == 0) {
                lines.push_back("１）データファイルが見つからない。");
                lines.push_back("２）別のプロセスがデータファイルを使用中。");
            } else if (ConnectKind == 1) {
                lines.push_back("１）サーバー上でFireBirdサービスが起動しているか確認して下さい。");
                lines.push_back("２）ログイン画面の[サーバー設定]ボタンを押して正しい情報が設定されているか確認して下さい。");
                lines.push_back("３）Windowsファイヤーウォール(市販のセキュリティソフト含む)が有効の場合は、"
                                "このアプリケーションがサーバーと通信できる状態か確認して下さい。");
            } else {
                const std::string name = TerminalKind < TerminalNames.size() ? TerminalNames[TerminalKind] : "";
                lines.push_back("１）" + name + "ソリューションが正常に動作しているか確認して下さい。");
                lines.push_back("２）サーバー上でFireBirdサービスが起動しているか確認して下さい。");
                lines.push_back("３）ログイン画面の[サーバー設定]ボタンを押して正しい情報が設定されているか確認して下さい。");
                lines.push_back("４）Windowsファイヤーウォール(市販のセキュリティソフト含む)が有効の場合は、"
                                "このアプリケーションがサーバーと通信できる状態か確認して下さい。");
            }
            for (std::size_t i = 0; i < lines.size() && i < info.Lines.size(); ++i) info.Lines[i].Text = lines[i];
        } else {
            info.Lines[0].Text = kDefConnectFailed;
            info.Lines[1].Text = "[例外内容]";
            info.Lines[2].Text = "(IBXエラーコード:" + std::to_string(code) + ") " +
                                 GetFbErrorText(code, e.sqlCode());
        }
        ShowMessageBox2(info);
    } catch (const std::exception& e) {
        TMessage2InfoRec info;
        InitMessage2Info(2, info);
        info.Lines[0].Text = kDefConnectFailed;
        info.Lines[1].Text = "[例外内容]";
        info.Lines[2].Text = e.what();
        ShowMessageBox2(info);
    }
    return false;
}

int TLogonRules::OKBtnClick() {
    const int kind = GetConnectKind();
    int read = 0;
    try {
        read = ServerSettingsBox.ReadConnectSection(kind);
    } catch (const std::exception&) {
        read = 0;
    }
    if (read != 1) {
        refuse("iniファイルよりデータベース情報の取得に失敗しました。", fcNone);
        return platform::mrNone;
    }
    if (SystemDef.GroupMode) {
        SystemDef.GroupId = StrToIntDef(txtGroupID, 0);
        if (SystemDef.GroupId > 99999) SystemDef.GroupId = 0;
    }
    const int enteredCode = StrToIntDef(txtOpCode, 0);
    // Codes 0 to 9 never reach the database.
    if (enteredCode < 10) {
        refuse(kWrongCode, fcOpCode);
        return platform::mrNone;
    }
    if (ConnectKind == 1 || ConnectKind == 2) {
        const std::string advice = ConnectKind == 1 ? "[サーバー設定]ボタンを押して正しい情報を入力して下さい。"
                                                    : "[データサーバーの設定]を起動し正しい情報を入力して下さい。";
        if (SystemDef.HostName.empty()) {
            refuse("データサーバーのコンピュータ名が設定されていません。\r" + advice, fcNone);
            return platform::mrNone;
        }
        if (SystemDef.SysDir.empty()) {
            refuse("データサーバー上のデータパスが設定されていません。\r" + advice, fcNone);
            return platform::mrNone;
        }
    }
    if (!connectSystemDb()) return platform::mrNone;

    db::Transaction& tx = DM->IBTransactionDEF;
    const std::string failText = "ログイン処理に失敗しました。\r" + SystemDef.AppLabel + "を終了します。";
    try {
        if (!tx.active()) tx.start();
        SystemDef.OpCode = 0;
        int num = 0, loginCode = 0, jobLevel = 0;
        {
            const char* proc = ConnectKind == 2 ? "TE_LOGONUSERTEST" : "LOGONUSERTEST";
            db::Statement q(tx, std::string("SELECT NUM,LOGINCODE,JOBLEVEL FROM ") + proc +
                                    "(:PCNAME,:GROUPID,:OPCODE,:APPVERSION,:PASWORD)");
            q.setString("PCNAME", ConnectKind == 2 ? SystemDef.ClientName : SystemDef.PcName);
            q.setInt("GROUPID", SystemDef.GroupId);
            q.setInt("OPCODE", enteredCode);
            q.setInt("APPVERSION", 2);
            q.setString("PASWORD", txtPassword);
            q.execute();
            if (q.fetch()) {
                num = q.asInt("NUM");
                loginCode = q.asInt("LOGINCODE");
                jobLevel = q.asInt("JOBLEVEL");
            } else {
                num = -100; // no answer: nothing to admit
            }
            q.close();
        }
        tx.commit();
        switch (num) {
        case -3:
            refuse("指定したユーザーは既にシステムへログインしているため、ログインできませんでした。", fcNone);
            return platform::mrNone;
        case -1: refuse(kWrongCode, fcOpCode); return platform::mrNone;
        case 0:
        case 1: break;
        default: return platform::mrNone;
        }

        SystemDef.OpCode = SystemDef.GroupId * 10000 + loginCode;
        SystemDef.OpName.clear();
        int jimusho = 0;
        {
            db::TxScope scope(tx);
            try {
                db::Statement q(tx, "SELECT OPNAME,JIMUSHO,OKINIIRI FROM OPERATOR\nWHERE GROUPID=:GROUPID\n"
                                    "AND OPCODE=:OPCODE");
                q.setInt("GROUPID", SystemDef.GroupId);
                q.setInt("OPCODE", loginCode);
                q.execute();
                while (q.fetch()) {
                    SystemDef.OpName = q.asString("OPNAME");
                    jimusho = q.asInt("JIMUSHO");
                }
                scope.commit();
            } catch (const std::exception&) {
                SystemDef.OpName.clear();
                jimusho = 0;
                scope.rollback();
            }
        }
        SystemDef.JobLevel = jobLevel;
        SystemDef.AllRights = jimusho == 1;
        SystemDef.LoginCode = loginCode;
        SystemDef.MyNumberAdmin = false;
        SystemDef.MyNumberApprover = false;
        {
            db::TxScope scope(tx);
            try {
                db::Statement q(tx, "SELECT MYNUMBER_ADM,SHONIN FROM OPERATOR\n"
                                    "WHERE (GROUPID=:GROUPID) AND (OPCODE=:OPCODE)");
                q.setInt("GROUPID", SystemDef.GroupId);
                q.setInt("OPCODE", loginCode);
                q.execute();
                while (q.fetch()) {
                    SystemDef.MyNumberAdmin = q.asInt(0) == 1;
                    SystemDef.MyNumberApprover = q.asInt(1) == 1;
                }
                scope.commit();
            } catch (const std::exception&) {
                SystemDef.MyNumberAdmin = false;
                SystemDef.MyNumberApprover = false;
                try {
                    scope.commit();
                } catch (const std::exception&) {
                }
            }
        }
        SystemDef.ServerTempPath.clear();
        // No drive letters here: the server's temporary folder is a path of its own.
        if (ConnectKind == 1 || ConnectKind == 2) SystemDef.ServerTempPath = AppInfo.ServerTempDir;
        if (OemEdition == 2) {
            SystemDef.JobLevel = 0;
            SystemDef.AllRights = false;
        }
        ServerSettingsBox.WriteConnectKind(kind);
        return platform::mrOk;
    } catch (const db::FbError& e) {
        tx.rollbackNoThrow();
        IBErrorReport(e, "TLogonBox.OKBtnClick", "", true);
        errorBox(failText);
    } catch (const std::exception& e) {
        tx.rollbackNoThrow();
        ErrorDetailMsg(failText, e.what());
    }
    return platform::mrCancel;
}

// ---------------------------------------------------------------- window

TLogonBox::TLogonBox(QWidget* parent) : QDialog(parent), rules_(std::make_unique<TLogonRules>()) {
    setWindowTitle(QString::fromUtf8("ログイン"));
    setFont(QFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 9));
    auto* v = new QVBoxLayout(this);
    label1_ = new QLabel(this);
    label2_ = new QLabel(this);
    label3_ = new QLabel(this);
    v->addWidget(label1_);
    v->addWidget(label2_);
    v->addWidget(label3_);

    auto* box1 = new QGroupBox(this);
    auto* g = new QGridLayout(box1);
    auto* opCode = new TxEdit(box1);
    opCode->SetKeyStyles(ks(ksEnter));
    opCode->ImeMode = imClose;
    opCode_ = opCode;
    opCode_->setMaxLength(9);
    opCode_->setToolTip(QString::fromUtf8("オペレータコードを入力します。"));
    auto* password = new TxEdit(box1);
    password->SetKeyStyles(ks(ksUp));
    password->ImeMode = imClose;
    password_ = password;
    password_->setMaxLength(16);
    password_->setEchoMode(QLineEdit::Password);
    password_->setToolTip(QString::fromUtf8("パスワードを入力します。"));
    password_->installEventFilter(this);
    auto* groupId = new TxEdit(box1);
    groupId->ImeMode = imClose;
    groupId_ = groupId;
    groupId_->setMaxLength(16);
    groupId_->setEchoMode(QLineEdit::Password);
    label4_ = new QLabel(QString::fromUtf8("グループ:"), box1);
    g->addWidget(label4_, 0, 0);
    g->addWidget(groupId_, 0, 1);
    g->addWidget(new QLabel(QString::fromUtf8("コード:"), box1), 1, 0);
    g->addWidget(opCode_, 1, 1);
    g->addWidget(new QLabel(QString::fromUtf8("パスワード:"), box1), 2, 0);
    g->addWidget(password_, 2, 1);
    v->addWidget(box1);

    groupBox2_ = new QGroupBox(this);
    auto* h2 = new QHBoxLayout(groupBox2_);
    auto* sa = new TxRadioButton(groupBox2_);
    sa->setText(QString::fromUtf8("スタンドアロン"));
    sa->SetKeyStyles(ks(ksEnter));
    sa_ = sa;
    sa_->setToolTip(QString::fromUtf8("このコンピュータで管理しているデータを処理します。"));
    auto* cs = new TxRadioButton(groupBox2_);
    cs->setText(QString::fromUtf8("クライアント(C/S)"));
    cs->SetKeyStyles(ks(ksEnter));
    cs_ = cs;
    cs_->setToolTip(QString::fromUtf8("ネットワークに接続して、サーバーで管理しているデータを処理します。"));
    serverSettei_ = new QPushButton(QString::fromUtf8("サーバー設定"), groupBox2_);
    serverSettei_->setToolTip(QString::fromUtf8("データサーバーの情報を設定します。"));
    serverSettei_->setFocusPolicy(Qt::NoFocus);
    h2->addWidget(sa_);
    h2->addWidget(cs_);
    h2->addWidget(serverSettei_);
    v->addWidget(groupBox2_);

    auto* h = new QHBoxLayout;
    ok_ = new QPushButton("OK", this);
    cancel_ = new QPushButton(QString::fromUtf8("キャンセル"), this);
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    h->addStretch();
    h->addWidget(ok_);
    h->addWidget(cancel_);
    v->addLayout(h);

    rules_->FormCreate();
    label1_->setText(QString::fromStdString(rules_->Label1));
    label2_->setText(QString::fromStdString(rules_->Label2));
    label3_->setText(QString::fromStdString(rules_->Label3));
    label4_->setVisible(rules_->GroupVisible);
    groupId_->setVisible(rules_->GroupVisible);
    groupBox2_->setVisible(rules_->GroupBox2Visible);
    (rules_->btnCSChecked ? cs_ : sa_)->setChecked(true);

    connect(sa_, &QRadioButton::clicked, this, [this] { kindClicked(); });
    connect(cs_, &QRadioButton::clicked, this, [this] { kindClicked(); });
    connect(ok_, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    connect(serverSettei_, &QPushButton::clicked, this, [this] {
        if (!rules_->ServerSettingsBox.Initialized) return;
        TAppIniCreateForm form(this);
        form.exec();
    });
}

TLogonBox::~TLogonBox() = default;

void TLogonBox::fromFields() {
    rules_->txtOpCode = opCode_->text().toStdString();
    rules_->txtPassword = password_->text().toStdString();
    rules_->txtGroupID = groupId_->text().toStdString();
    rules_->btnCSChecked = cs_->isChecked();
}

void TLogonBox::applyState() {
    serverSettei_->setEnabled(rules_->ServerSetteiEnabled);
    switch (rules_->FocusTo) {
    case TLogonRules::fcOpCode: opCode_->setFocus(); break;
    case TLogonRules::fcGroupId: groupId_->setFocus(); break;
    case TLogonRules::fcOKBtn: ok_->setFocus(); break;
    case TLogonRules::fcNone: break;
    }
    rules_->FocusTo = TLogonRules::fcNone;
}

void TLogonBox::kindClicked() {
    fromFields();
    rules_->btnSAClick();
    applyState();
}

void TLogonBox::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Digits only in the code fields.
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
    opCode_->setValidator(digits);
    groupId_->setValidator(digits);
    fromFields();
    rules_->Showing();
    raise();
    activateWindow();
    applyState();
}

void TLogonBox::okClicked() {
    fromFields();
    const int r = rules_->OKBtnClick();
    applyState();
    if (r == platform::mrOk) done(QDialog::Accepted);
    else if (r == platform::mrCancel) done(QDialog::Rejected);
}

void TLogonBox::keyPressEvent(QKeyEvent* e) {
    // Esc does not close this dialog. Enter presses the focused button, so that
    // code, Enter, password, Enter, Enter logs on; elsewhere it moves on.
    if (e->key() == Qt::Key_Escape) return;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        QWidget* const f = focusWidget();
        if ((f == ok_ || f == cancel_) && f->isEnabled()) {
            static_cast<QPushButton*>(f)->click();
            return;
        }
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TLogonBox::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F12 && ok_->isEnabled()) {
        okClicked();
        return;
    }
    QDialog::keyReleaseEvent(e);
}

bool TLogonBox::eventFilter(QObject* o, QEvent* e) {
    if (o == password_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ok_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}
