#pragma once
// The logged-on users list ("WebMenuL"): the other operators currently
// logged on to the system database, shown before a version update that
// needs everybody else logged off.
#include "app/ProcessForm.h"

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QTableWidget;

namespace db {
class Transaction;
}

struct TLoginUserR {
    int OpeCode = 0;   // login code
    int GroupId = 0;
    std::string OpName;
};

// One LOGONUSERLIST row as the list reads it.
struct TLogonRow {
    int OpCode = 0;        // full operator code
    int OperatorCode = 0;  // login code
    int GroupId = 0;
};

class ILoginUserSource {
public:
    virtual ~ILoginUserSource() = default;
    virtual std::vector<TLogonRow> LogonRows() = 0;
    // OPNAME of the operator; false when there is no such operator.
    virtual bool OperatorName(int GroupId, int OpCode, std::string& Name) = 0;
};

// Reads the list from the system database in its transaction (started and
// committed here when none is active). A database error is reported with
// the context "TfmWebMenuL.fnDBConect_OP" and raised again.
class TDbLoginUserSource : public ILoginUserSource {
public:
    explicit TDbLoginUserSource(db::Transaction& tx) : tx_(tx) {}
    std::vector<TLogonRow> LogonRows() override;
    bool OperatorName(int GroupId, int OpCode, std::string& Name) override;

private:
    db::Transaction& tx_;
};

// Every logged-on row except the operator's own, as many as there are.
std::vector<TLoginUserR> ReadLoginUsers(ILoginUserSource& source, int ownOpCode);

// Where the form reads from; set by the program once the system database
// is there (none: the list is empty).
void SetLoginUserSource(ILoginUserSource* source);

class TfmWebMenuL : public QDialog, public TProcessComponent, public IProcessForm {
    Q_OBJECT
public:
    explicit TfmWebMenuL(QWidget* parent = nullptr);
    ~TfmWebMenuL() override;

    int Execute(std::uint8_t Modal) override;
    void SetParams(const std::vector<std::string>& Params) override;
    bool ReleaseToSelf() override;
    virtual void Setup(std::uint8_t Value);

    const std::vector<TLoginUserR>& Users() const { return users_; }
    QTableWidget* Grid() const { return grid_; }
    bool SkipProcessCheck = false;
    bool Initialized = false;
    int SyoriType = -1;
    int FormStyle = 0;

    static std::unique_ptr<TProcessComponent> Create();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void fill();
    std::vector<TLoginUserR> users_;
    std::vector<std::string> params_;
    QTableWidget* grid_;
    std::uint8_t setupValue_ = 0;
    bool readFailed_ = false;
};
