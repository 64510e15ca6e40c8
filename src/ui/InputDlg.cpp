#include "ui/InputDlg.h"

#include "accdb/AccFunction.h"
#include "accdb/Gengo.h"
#include "ui/AmountEdit.h"
#include "ui/DateEdit.h"
#include "ui/PlButton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <tuple>

namespace inputdlg {

bool keyPasses(int filter, char32_t ch) {
    if (ch == U'\r' || ch == U'\n') return true; // Enter always passes
    const bool digit = ch >= U'0' && ch <= U'9';
    const bool letter = (ch >= U'A' && ch <= U'Z') || (ch >= U'a' && ch <= U'z');
    const bool back = ch == 0x08;
    switch (filter) {
    case 10: return back || digit || ch == U'-' || ch == U'.';
    case 20: return back || letter;
    case 30: return back || digit || letter;
    case 40: {
        static const char32_t refused[] = {U'"', U'*', U',', U'/', U':', U';', U'<', U'>', U'?', U'\\', U'|'};
        for (char32_t r : refused)
            if (ch == r) return false;
        return true;
    }
    default: return true;
    }
}

OkDecision okDecision(int mode, bool required, const std::string& text) {
    OkDecision d;
    switch (mode) {
    case 2:
        if (required && DelAllSpace(text).empty()) {
            d.accept = false;
            d.refusal = "入力または選択してから[OK]ボタンを押して下さい。";
        }
        d.value = text;
        break;
    case 3: {
        const QString t = QString::fromStdString(text).trimmed();
        d.value = t.isEmpty() ? "0" : text;
        break;
    }
    case 4:
        break;
    default:
        if (required && DelAllSpace(text).empty()) {
            d.accept = false;
            d.refusal = "入力してから[OK]ボタンを押して下さい。";
        }
        d.value = text;
        break;
    }
    return d;
}

} // namespace inputdlg

namespace {
constexpr int kWidth = 427, kHeight = 251;
}

TInputDlgBox::TInputDlgBox(QWidget* parent) : TBSDI(parent, bsDialog) {
    setObjectName(QStringLiteral("InputDlgBox"));
    setFixedSize(kWidth, kHeight);
    auto* pnlClient = new QWidget(this);
    pnlClient->setGeometry(0, 0, kWidth, kHeight - 80);
    lblMain = new QLabel(pnlClient);
    lblMain->setWordWrap(true);
    lblMain->setGeometry(24, 16, 380, 60);
    lblMain->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    const QRect panel(24, 84, 380, 70);

    pnlText = new QWidget(pnlClient);
    pnlText->setGeometry(panel);
    txtInput = new TxEdit(pnlText);
    txtInput->setObjectName(QStringLiteral("txtInput"));
    txtInput->SetKeyStyles(ks(ksEnter));
    txtInput->setGeometry(0, 4, 380, 24);
    txtInput->installEventFilter(this);
    btnFuseji = new TxCheckBox(pnlText);
    btnFuseji->setText(QString::fromUtf8("伏字にせず入力"));
    btnFuseji->setGeometry(0, 34, 200, 22);
    connect(btnFuseji, &QCheckBox::toggled, this, [this](bool on) {
        txtInput->setEchoMode(on ? QLineEdit::Normal : QLineEdit::Password);
    });

    pnlCombo = new QWidget(pnlClient);
    cmbInput = new TxComboBox(pnlCombo);
    cmbInput->setEditable(true);
    cmbInput->setMaxVisibleItems(16);
    cmbInput->KeyTerm = QStringLiteral(":");
    cmbInput->setGeometry(0, 4, 380, 24);

    pnlKingaku = new QWidget(pnlClient);
    txtKingaku = new TTavrinEdit(pnlKingaku);
    txtKingaku->setEditStyle(esNumericMinus);
    txtKingaku->setComma(true);
    txtKingaku->setOutputFormat(QStringLiteral("#,##0"));
    txtKingaku->setMaxLength(11);
    txtKingaku->setAlignment(Qt::AlignRight);
    txtKingaku->setZero3Key(zkDot);
    txtKingaku->setKeyStyles(ks(ksEnter) | ks(ksUp));
    txtKingaku->setAutoNextCtls(0);
    txtKingaku->ImeDisabled = true;
    txtKingaku->setGeometry(0, 4, 200, 24);
    auto* yen = new QLabel(QString::fromUtf8("円"), pnlKingaku);
    yen->setGeometry(206, 8, 20, 16);

    pnlDate = new QWidget(pnlClient);
    auto* from = new QLabel(QString::fromUtf8("(自)"), pnlDate);
    from->setGeometry(0, 8, 30, 16);
    txtHizuke1 = new TTavrinExDateEdit(pnlDate);
    txtHizuke1->setEditStyle(desYearMonthDay);
    txtHizuke1->setYeardigit(yddigit4);
    txtHizuke1->setGeometry(34, 4, 150, 24);
    auto* to = new QLabel(QString::fromUtf8("(至)"), pnlDate);
    to->setGeometry(190, 8, 30, 16);
    txtHizuke2 = new TTavrinExDateEdit(pnlDate);
    txtHizuke2->setEditStyle(desYearMonthDay);
    txtHizuke2->setYeardigit(yddigit4);
    txtHizuke2->setGeometry(224, 4, 150, 24);

    pnlBottom = new QWidget(this);
    pnlBottom->setGeometry(0, kHeight - 80, kWidth, 80);
    HintArea = new QPlainTextEdit(pnlBottom);
    HintArea->setReadOnly(true);
    HintArea->setFocusPolicy(Qt::NoFocus);
    HintArea->setGeometry(8, 4, kWidth - 16, 36);
    btnOK = new TxPlButton(pnlBottom);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->CaptionA()->SetCaption(QStringLiteral("OK"));
    btnOK->setGeometry(kWidth - 16 - 90 - 8 - 90, 46, 90, 26);
    btnCancel = new TxPlButton(pnlBottom);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->CaptionA()->SetCaption(QString::fromUtf8("キャンセル"));
    btnCancel->ModalResult = platform::mrCancel;
    btnCancel->setGeometry(kWidth - 16 - 90, 46, 90, 26);
    connect(btnOK, &TxPlButton::clicked, this, [this] { btnOKClick(); });

    FormCreate();
    HintMemo = HintArea;
    MenuNotify = false;
    NoProcessCheck = false;
    SaveFormSize = false;
    ActivateValue = 0;
    F12Button = btnOK;
    InitOK = true;
}

TInputDlgBox::~TInputDlgBox() = default;

void TInputDlgBox::Setup(std::uint8_t) {
    setWindowTitle(ui::qs(InputCaption));
    lblMain->setText(ui::qs(LabelText).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    if (LabelColor != 0)
        lblMain->setStyleSheet(QStringLiteral("color: %1").arg(
            QColor(static_cast<int>(LabelColor & 0xFF), static_cast<int>((LabelColor >> 8) & 0xFF),
                   static_cast<int>((LabelColor >> 16) & 0xFF))
                .name()));
    const QRect bounds = pnlText->geometry();
    for (QWidget* p : {pnlText, pnlCombo, pnlKingaku, pnlDate}) {
        p->setGeometry(bounds);
        p->setVisible(false);
    }
    const int mode = effectiveMode();
    switch (mode) {
    case 2:
        pnlCombo->setVisible(true);
        cmbInput->clear();
        for (const auto& i : Items) cmbInput->addItem(ui::qs(i));
        cmbInput->setEditText(ui::qs(InputValue));
        setHint(cmbInput, InputHint);
        if (cmbInput->lineEdit()) cmbInput->lineEdit()->setMaxLength(InputMaxLength > 0 ? InputMaxLength : 32767);
        break;
    case 3:
        pnlKingaku->setVisible(true);
        txtKingaku->setMaxLength(InputMaxLength > 0 ? InputMaxLength : 32767); // 0: no limit
        txtKingaku->setAmountText(ui::qs(InputValue));
        setHint(txtKingaku, InputHint);
        break;
    case 4:
        pnlDate->setVisible(true);
        if (GengoTable.empty()) InitGengoTable(); // before the system database's table is read
        for (auto [edit, lo, hi, value] : {std::tuple{txtHizuke1, MinDate1, MaxDate1, Date1},
                                           std::tuple{txtHizuke2, MinDate2, MaxDate2, Date2}}) {
            edit->setEditGengo(true);
            edit->setGengo(rsWareki);
            edit->SetWarekiTable(GengoTable);
            if (lo != 0) edit->setMinDate(lo);
            if (hi != 0) edit->setMaxDate(hi);
            edit->DisplayError = false; // a value outside the limits is shown empty, not refused here
            try {
                edit->SetDateTime(value);
            } catch (...) {
                edit->Clear();
            }
            edit->DisplayError = true;
            setHint(edit, InputHint);
        }
        break;
    default:
        pnlText->setVisible(true);
        txtInput->setText(ui::qs(InputValue));
        setHint(txtInput, InputHint);
        txtInput->setMaxLength(InputMaxLength > 0 ? InputMaxLength : 32767);
        txtInput->ImeMode = InputImeMode;
        txtInput->setEchoMode(QLineEdit::Normal);
        btnFuseji->setVisible(false);
        if (mode == 1) {
            Required = true;
            btnFuseji->setVisible(true);
            txtInput->setEchoMode(btnFuseji->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
        }
        break;
    }
    setHint(btnFuseji, "パスワードを伏字にせず入力します。|チェックを入れるとパスワードを伏字にしないで入力が行えます。");
    setHint(btnOK, "内容を確定します。|内容を確定します。");
    setHint(btnCancel, "画面を閉じます。|画面を閉じます。");
    Reposition = false;
}

bool TInputDlgBox::eventFilter(QObject* o, QEvent* e) {
    if (o == txtInput && e->type() == QEvent::KeyPress && keyFilter_ != 0) {
        const QString t = static_cast<QKeyEvent*>(e)->text();
        // Only typed characters are filtered: Tab, Enter, Delete and the
        // like keep their own work.
        for (const char32_t ch : t.toUcs4())
            if (ch >= 0x20 && ch != 0x7F && !inputdlg::keyPasses(keyFilter_, ch)) return true;
    }
    return TBSDI::eventFilter(o, e);
}

void TInputDlgBox::btnOKClick() {
    setModalResult(0);
    const int mode = effectiveMode();
    std::string text;
    if (mode == 2) text = ui::ss(cmbInput->currentText());
    else if (mode == 3) text = ui::ss(txtKingaku->text());
    else if (mode != 4) text = ui::ss(txtInput->text());
    const auto d = inputdlg::okDecision(mode, Required, text);
    if (!d.accept) {
        TMessage2InfoRec info;
        InitMessage2Info(2, info);
        info.Lines[0].Text = d.refusal;
        ShowMessageBox2(info);
        if (mode == 2) cmbInput->setFocus();
        else txtInput->setFocus();
        return;
    }
    if (mode == 4) {
        // A date that does not pass its edit's checks has been reported by
        // the edit; the dialog stays open.
        try {
            Date1 = txtHizuke1->GetDateTime();
            Date2 = txtHizuke2->GetDateTime();
        } catch (const ui::EAbort&) {
            return;
        }
    } else {
        InputValue = d.value;
    }
    setModalResult(platform::mrOk);
}

void TInputDlgBox::CMShowingChanged(bool showing) {
    TBSDI::CMShowingChanged(showing);
    if (!showing) return;
    if (ReportFailedInit()) return;
    repaint();
    switch (effectiveMode()) {
    case 2: cmbInput->setFocus(); break;
    case 3: txtKingaku->setFocus(); break;
    case 4: txtHizuke1->setFocus(); break;
    default: txtInput->setFocus(); break;
    }
}

void TInputDlgBox::FormClose(TCloseAction& action) {
    TBSDI::FormClose(action);
    action = caHide;
}

platform::InputRequest TInputDlgBox::toRequest() const {
    platform::InputRequest r;
    r.source = "TInputDlgBox";
    r.title = InputCaption;
    r.prompt = LabelText;
    r.value = InputValue;
    r.maxLength = InputMaxLength;
    r.mode = effectiveMode();
    r.password = r.mode == 1;
    r.items = Items;
    r.hint = InputHint;
    r.promptColor = LabelColor;
    r.required = Required || r.mode == 1;
    r.keyFilter = keyFilter_;
    r.imeMode = InputImeMode;
    r.date1 = Date1;
    r.date2 = Date2;
    r.minDate1 = MinDate1;
    r.maxDate1 = MaxDate1;
    r.minDate2 = MinDate2;
    r.maxDate2 = MaxDate2;
    return r;
}

void TInputDlgBox::setFromRequest(const platform::InputRequest& r) {
    InputCaption = r.title;
    LabelText = r.prompt;
    InputValue = r.value;
    InputMaxLength = r.maxLength;
    InputMode = (r.mode == 0 && r.password) ? 1 : r.mode;
    Items = r.items;
    InputHint = r.hint;
    LabelColor = r.promptColor;
    Required = r.required;
    keyFilter_ = r.keyFilter;
    InputImeMode = static_cast<TImeMode>(r.imeMode);
    Date1 = r.date1;
    Date2 = r.date2;
    MinDate1 = r.minDate1;
    MaxDate1 = r.maxDate1;
    MinDate2 = r.minDate2;
    MaxDate2 = r.maxDate2;
    Setup(1);
}

void TInputDlgBox::writeBack(platform::InputRequest& r) const {
    r.value = InputValue;
    r.date1 = Date1;
    r.date2 = Date2;
}

int TInputDlgBox::ShowModal() {
    platform::InputRequest r = toRequest();
    if (!platform::prompt().input(r)) return platform::mrCancel;
    InputValue = r.value;
    Date1 = r.date1;
    Date2 = r.date2;
    return platform::mrOk;
}
