#include "app/LoginUsers.h"

#include "accdb/AccRecord.h"
#include "accdb/IBErrorReport.h"
#include "app/AppMessage.h"
#include "db/FbError.h"
#include "db/Statement.h"
#include "db/Transaction.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

ILoginUserSource* loginSource = nullptr;

struct Registrar {
    Registrar() { RegisterProcessForm(&TfmWebMenuL::Create, "WebMenuL"); }
} registrar;

} // namespace

void SetLoginUserSource(ILoginUserSource* source) { loginSource = source; }

std::vector<TLogonRow> TDbLoginUserSource::LogonRows() {
    std::vector<TLogonRow> rows;
    db::TxScope scope(tx_);
    try {
        db::Statement q(tx_, "SELECT * FROM LOGONUSERLIST ");
        q.execute();
        while (q.fetch())
            rows.push_back({q.asInt("OPCODE"), q.asInt("OPERATORCODE"), q.asInt("GROUPID")});
        q.close();
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TfmWebMenuL.fnDBConect_OP", "", false);
        scope.commit();
        throw;
    }
    return rows;
}

bool TDbLoginUserSource::OperatorName(int GroupId, int OpCode, std::string& Name) {
    db::TxScope scope(tx_);
    bool found = false;
    try {
        db::Statement q(tx_, "SELECT * FROM OPERATOR WHERE GROUPID =:GROUPID and OPCODE =:OPCODE ");
        q.setInt("GROUPID", GroupId);
        q.setInt("OPCODE", OpCode);
        q.execute();
        if (q.fetch()) {
            Name = q.asString("OPNAME");
            found = true;
        }
        q.close();
        scope.commit();
    } catch (const db::FbError& e) {
        IBErrorReport(e, "TfmWebMenuL.fnDBConect_OP", "", false);
        scope.commit();
        throw;
    }
    return found;
}

std::vector<TLoginUserR> ReadLoginUsers(ILoginUserSource& source, int ownOpCode) {
    std::vector<TLoginUserR> users;
    for (const TLogonRow& r : source.LogonRows())
        if (r.OpCode != ownOpCode)
            users.push_back({r.OperatorCode, r.GroupId, {}});
    for (TLoginUserR& u : users)
        source.OperatorName(u.GroupId, u.OpeCode, u.OpName);
    return users;
}

std::unique_ptr<TProcessComponent> TfmWebMenuL::Create() { return std::make_unique<TfmWebMenuL>(); }

TfmWebMenuL::TfmWebMenuL(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("ログインユーザー"));
    setFixedSize(357, 361);
    auto* layout = new QVBoxLayout(this);
    grid_ = new QTableWidget(0, 3, this);
    grid_->setHorizontalHeaderLabels({"No", QString::fromUtf8("コード"), QString::fromUtf8("オペレータ名")});
    grid_->setColumnWidth(0, 50);
    grid_->setColumnWidth(1, 70);
    grid_->setColumnWidth(2, 154);
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(grid_);
    auto* hint = new QPlainTextEdit(this);
    hint->setReadOnly(true);
    hint->setPlainText(QString::fromUtf8("他のオペレーターがタヴリン財務を利用中のため、バ\nージョンアップができません。\n"
                                         "他のオペレータの利用がない状態で、管理者権限に\nて、バージョンアップを実行してください。"));
    hint->setFixedHeight(72);
    layout->addWidget(hint);
    auto* close = new QPushButton(QString::fromUtf8("F12:閉じる"), this);
    connect(close, &QPushButton::clicked, this, [this] { done(Accepted); });
    layout->addWidget(close, 0, Qt::AlignRight);
    try {
        if (loginSource)
            users_ = ReadLoginUsers(*loginSource, SystemDef.OpCode);
    } catch (...) {
        readFailed_ = true;
    }
    Initialized = !readFailed_;
}

TfmWebMenuL::~TfmWebMenuL() = default;

bool TfmWebMenuL::ReleaseToSelf() {
    setAttribute(Qt::WA_DeleteOnClose);
    return true;
}

void TfmWebMenuL::SetParams(const std::vector<std::string>& Params) {
    params_ = Params;
    bool found = false;
    std::string v = ProcessParam(Params, "SyoriType", &found);
    if (found) {
        try {
            int t = std::stoi(v);
            if (t != -1)
                SyoriType = t;
        } catch (...) {
        }
    }
    v = ProcessParam(Params, "FormStyle", &found);
    FormStyle = 0;
    if (found) {
        try {
            FormStyle = std::stoi(v);
        } catch (...) {
            FormStyle = 0;
        }
    }
}

void TfmWebMenuL::Setup(std::uint8_t Value) { setupValue_ = Value; }

void TfmWebMenuL::fill() {
    grid_->setRowCount(static_cast<int>(users_.size()));
    for (int i = 0; i < static_cast<int>(users_.size()); ++i) {
        const TLoginUserR& u = users_[static_cast<size_t>(i)];
        grid_->setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        grid_->setItem(i, 1, new QTableWidgetItem(QString::number(u.OpeCode)));
        grid_->setItem(i, 2, new QTableWidgetItem(QString::fromStdString(u.OpName)));
    }
}

void TfmWebMenuL::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (users_.empty()) {
        QTimer::singleShot(0, this, [this] { reject(); });
        return;
    }
    fill();
}

void TfmWebMenuL::keyPressEvent(QKeyEvent* e) {
    // Esc has no action on this list (it closes with its button or F12);
    // a dialog would otherwise close on it.
    if (e->key() == Qt::Key_Escape || e->matches(QKeySequence::Cancel)) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfmWebMenuL::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F12) {
        done(Accepted);
        return;
    }
    if (e->key() == Qt::Key_Escape)
        return;
    QDialog::keyReleaseEvent(e);
}

int TfmWebMenuL::Execute(std::uint8_t Modal) {
    if (Modal != 1) {
        fill();
        show();
        return 1;
    }
    if (!SkipProcessCheck && MenuRequestHook && MenuRequestHook(10, "") > 0) {
        app::showBox(platform::pkWarning,
                     "メニュー以外の処理が開いています。\r全ての処理を閉じてから処理を実行してください。");
    } else if (Initialized) {
        Setup(1);
        fill();
        if (!users_.empty())
            exec();
    } else {
        app::showBox(platform::pkError,
                     windowTitle().toStdString() + "画面の初期化に失敗しました。\r処理を終了します。");
    }
    return users_.empty() ? 0 : 1;
}
