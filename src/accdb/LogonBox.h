#pragma once
// The logon dialog "ログイン": operator code, password and (in group mode)
// group number; stand-alone or client/server. It connects the system
// database, asks LOGONUSERTEST (TE_LOGONUSERTEST for a terminal connection)
// whether the operator may log on, and on success fills the operator part of
// SystemDef and closes with OK.
//
// TLogonRules holds the dialog's rules on plain fields; TLogonBox is the thin
// window. Start-up: create TLogonBox, check Initialized(), run it modally;
// a result of QDialog::Accepted is a successful logon.
#include <QDialog>

#include <memory>
#include <string>

#include "accdb/AppIniCreate.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QPushButton;
class QGroupBox;

class TLogonRules {
public:
    enum Focus { fcNone, fcOpCode, fcGroupId, fcOKBtn };

    void FormCreate();
    // The dialog becomes visible.
    void Showing();
    // Both radio buttons: the connection kind follows them.
    void btnSAClick();
    int GetConnectKind() const;
    // The logon; returns the modal result (mrNone: the dialog stays open).
    int OKBtnClick();

    bool Initialized = false;
    bool AskGroup = false;
    std::string Label1, Label2, Label3;
    bool GroupVisible = true;     // Label4 and txtGroupID
    bool GroupBox2Visible = true; // kind choice and server settings
    bool ServerSetteiEnabled = false;
    bool ShrinkHeight = false;    // the window drops the kind choice's room
    bool btnCSChecked = false;
    std::string txtOpCode, txtPassword, txtGroupID;
    Focus FocusTo = fcNone;
    TAppIniCreateBox ServerSettingsBox;

private:
    static std::string AppLabelFormat();
    bool connectSystemDb();
    void refuse(const std::string& text, Focus focus);
};

class TLogonBox : public QDialog {
public:
    explicit TLogonBox(QWidget* parent = nullptr);
    ~TLogonBox() override;

    bool Initialized() const { return rules_->Initialized; }
    TLogonRules& Rules() { return *rules_; }

    QLineEdit* OpCodeEdit() const { return opCode_; }
    QLineEdit* PasswordEdit() const { return password_; }
    QLineEdit* GroupIdEdit() const { return groupId_; }
    QRadioButton* StandAloneButton() const { return sa_; }
    QRadioButton* ClientServerButton() const { return cs_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void okClicked();
    void kindClicked();
    void fromFields();
    void applyState();

    std::unique_ptr<TLogonRules> rules_;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLineEdit* opCode_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* groupId_ = nullptr;
    QGroupBox* groupBox2_ = nullptr;
    QRadioButton* sa_ = nullptr;
    QRadioButton* cs_ = nullptr;
    QPushButton* serverSettei_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
