#pragma once
// The suite settings file (SystemDef.SuiteIniFile) and the data-server
// settings dialog "データサーバーの設定".
//
// TAppIniCreateBox holds the file's reader and writer and the dialog's rules
// on plain fields; TAppIniCreateForm is the thin window over it.
//
// File: [APPLICATION] TOP, LEFT, WIDTH, HEIGHT, CONNECT; one section per
// connection kind, LOCAL (0), SERVER (1), SBC (2), with HOSTNAME, GOGLOBAL,
// GROUP, SYSDIR, USER, PASSWORD.
//
// Paths are kept exactly as typed: a folder of the system database is used
// to open files, and letter case matters on this platform. The server's data
// folder takes the place of the old drive choice plus fixed folder.
#include <QDialog>

#include <memory>
#include <string>

class QLineEdit;
class QLabel;
class QPushButton;

class TAppIniCreateBox {
public:
    TAppIniCreateBox() { FormCreate(); }
    virtual ~TAppIniCreateBox() = default;

    // ---- the file
    bool WriteAppIni(int Reset);
    void WriteConnectKind(int Kind);
    int ReadConnectKind();
    int ReadConnectSection(int Kind);
    int LoadConnectSettings(int Kind);
    // Section name of a connection kind (any other kind: LOCAL).
    static const char* SectionOf(int Kind);

    // ---- dialog rules
    void FormCreate();
    // The dialog becomes visible: fields from the file's ShowKind section.
    void Showing();
    // OK: checks, then the file is written. True when the dialog may close
    // with OK (refusals have been shown).
    bool OKBtnClick();
    // The computer browse dialog; the chosen name goes to txtHostName.
    void btnCompShowClick();

    bool Initialized = false;
    bool StandAloneMode = false;
    int ShowKind = 1;
    std::string ErrorText;

    // Field contents.
    std::string Label1, Label2;
    std::string txtHostName;
    std::string txtDataPath;   // the server's data folder (the system database's folder)
    std::string txtUserName;
    std::string txtPassWord;
};

class TAppIniCreateForm : public QDialog {
public:
    explicit TAppIniCreateForm(QWidget* parent = nullptr);
    ~TAppIniCreateForm() override;

    TAppIniCreateBox& Rules() { return *rules_; }
    QLineEdit* HostEdit() const { return host_; }
    QLineEdit* DataPathEdit() const { return path_; }
    QPushButton* OkButton() const { return ok_; }

protected:
    void showEvent(QShowEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void okClicked();
    void toFields();
    void fromFields();

    std::unique_ptr<TAppIniCreateBox> rules_;
    QLineEdit* host_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* pass_ = nullptr;
    QPushButton* ok_ = nullptr;
};
