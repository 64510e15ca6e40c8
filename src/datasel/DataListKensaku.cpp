#include "datasel/DataListKensaku.h"

#include <QLabel>
#include <QPlainTextEdit>

#include "accdb/AccRecord.h"
#include "accdb/SeihinVersionList.h"
#include "accdb/UserList.h"
#include "db/Transaction.h"
#include "platform/Prompt.h"
#include "ui/KeyStyles.h"
#include "ui/PlButton.h"
#include "ui/UiCommon.h"

using datasel::TKensakuHints;

namespace {

QLabel* label(QWidget* parent, const char* text, int x, int y)
{
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setGeometry(x, y, 120, 20);
    return l;
}

} // namespace

std::vector<datasel::TTantoChoice> datasel::ReadTantoChoices(db::Attachment& systemDb, int groupId)
{
    db::Transaction tx(systemDb);
    TUserList users;
    users.SetTransaction(&tx, 0);
    users.GroupId = groupId;
    users.Execute();
    std::vector<TTantoChoice> out;
    for (int i = 0; i < users.Count; ++i)
        out.push_back({users.GetOpCode(i), users.Lines[static_cast<std::size_t>(i)]});
    return out;
}

std::vector<datasel::TDataVerChoice> datasel::ReadDataVerChoices()
{
    TSeihinVersionList versions;
    versions.Load(false);
    std::vector<TDataVerChoice> out;
    for (const auto& e : versions.Entries)
        out.push_back({e.Major, e.Minor, e.TypeName});
    return out;
}

TDataListKensakuBox::TDataListKensakuBox(db::Attachment& systemDb, const std::vector<datasel::TTantoChoice>& tanto,
                                         const std::vector<datasel::TDataVerChoice>& dataVer, QWidget* parent)
    : TBSDI(parent, bsDialog), store_(std::make_unique<datasel::TKensakuJyokenStore>(systemDb))
{
    setObjectName(QStringLiteral("DataListKensakuBox"));
    setWindowTitle(QString::fromUtf8(datasel::TDataListKensakuModel::Caption));
    setFixedSize(420, 300);

    label(this, "コード:", 16, 16);
    txtCode = new TxEdit(this);
    txtCode->setGeometry(140, 14, 120, 24);
    txtCode->setMaxLength(static_cast<int>(datasel::TDataListKensakuModel::CodeMaxLength));
    txtCode->ImeMode = imDisable;

    label(this, "データ区分:", 16, 46);
    cmbDataKbn = new TxComboBox(this);
    cmbDataKbn->setGeometry(140, 44, 200, 24);
    for (const auto& c : datasel::DataKbnChoices())
        cmbDataKbn->addItem(QString::fromUtf8(c.Text));

    label(this, "データリスト名:", 16, 76);
    txtListName = new TxEdit(this);
    txtListName->setGeometry(140, 74, 260, 24);
    txtListName->setMaxLength(static_cast<int>(datasel::TDataListKensakuModel::ListNameMaxLength));
    txtListName->ImeMode = imOpen;

    label(this, "担当者:", 16, 106);
    cmbTanto = new TxComboBox(this);
    cmbTanto->setGeometry(140, 104, 260, 24);
    model_.TantoChoices.insert(model_.TantoChoices.end(), tanto.begin(), tanto.end());
    for (const auto& t : model_.TantoChoices)
        cmbTanto->addItem(ui::qs(t.Text));

    label(this, "データバージョン:", 16, 136);
    cmbDataVer = new TxComboBox(this);
    cmbDataVer->setGeometry(140, 134, 260, 24);
    model_.DataVerChoices.insert(model_.DataVerChoices.end(), dataVer.begin(), dataVer.end());
    for (const auto& v : model_.DataVerChoices)
        cmbDataVer->addItem(ui::qs(v.TypeName));

    cboxYukou = new TxCheckBox(this);
    cboxYukou->setText(QString::fromUtf8("この検索条件を毎回有効にする"));
    cboxYukou->setGeometry(16, 166, 380, 22);

    HintArea = new QPlainTextEdit(this);
    HintArea->setReadOnly(true);
    HintArea->setFocusPolicy(Qt::NoFocus);
    HintArea->setGeometry(8, 196, 404, 44);

    btnOK = new TxPlButton(this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->CaptionA()->SetCaption(QStringLiteral("OK"));
    btnOK->setGeometry(214, 252, 90, 30);
    btnCancel = new TxPlButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->CaptionA()->SetCaption(QString::fromUtf8("キャンセル"));
    btnCancel->ModalResult = platform::mrCancel;
    btnCancel->setGeometry(314, 252, 90, 30);
    connect(btnOK, &TxPlButton::clicked, this, [this] { btnOKClick(); });

    FormCreate();
    HintMemo = HintArea;
    MenuNotify = false;
    SaveFormSize = false;
    KeepAlive = true;   // closing only hides the dialog; its owner frees it
    F12Button = btnOK;
    InitOK = true;
}

TDataListKensakuBox::~TDataListKensakuBox() = default;

void TDataListKensakuBox::InitKensakuRec(TDataKensakuRec& rec) const
{
    model_.InitKensakuRec(rec, SystemDef.OpCode);
}

void TDataListKensakuBox::SetMode(std::uint8_t value)
{
    model_.SetMode(value);
    setHint(cmbDataKbn, TKensakuHints::DataKbn);
    setHint(txtCode, TKensakuHints::Code);
    setHint(txtListName, TKensakuHints::ListName);
    setHint(cmbTanto, TKensakuHints::Tanto);
    setHint(cmbDataVer, TKensakuHints::DataVer);
    setHint(cboxYukou, TKensakuHints::Yukou);
    setHint(btnOK, TKensakuHints::Ok);
    setHint(btnCancel, TKensakuHints::Cancel);
    cmbDataKbn->setCurrentIndex(model_.DataKbnIndex);
    txtCode->setText(ui::qs(model_.CodeText));
    txtListName->setText(ui::qs(model_.ListNameText));
    cmbTanto->setCurrentIndex(model_.TantoIndex);
    cmbDataVer->setCurrentIndex(model_.DataVerIndex);
    cboxYukou->setChecked(model_.Yukou);
    Reposition = false;
}

void TDataListKensakuBox::readControls()
{
    model_.DataKbnIndex = cmbDataKbn->currentIndex();
    model_.CodeText = ui::ss(txtCode->text());
    model_.ListNameText = ui::ss(txtListName->text());
    model_.TantoIndex = cmbTanto->currentIndex();
    model_.DataVerIndex = cmbDataVer->currentIndex();
    model_.Yukou = cboxYukou->isChecked();
}

void TDataListKensakuBox::btnOKClick()
{
    readControls();
    model_.TakeControls();
    setModalResult(platform::mrOk);
}

void TDataListKensakuBox::CMShowingChanged(bool showing)
{
    TBSDI::CMShowingChanged(showing);
    if (!showing)
        return;
    if (ReportFailedInit())
        return;
    txtCode->setFocus();
}

void TDataListKensakuBox::FormClose(TCloseAction& action)
{
    TBSDI::FormClose(action);
    action = caHide;
}
