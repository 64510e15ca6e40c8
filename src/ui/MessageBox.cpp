#include "ui/MessageBox.h"

#include "ui/KeyStyles.h"
#include "ui/PlButton.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {
constexpr int kDesignWidth = 504, kDesignHeight = 293;
constexpr int kMemoHeight = 156, kBottomHeight = 41;

QString colorCss(std::uint32_t bgr) {
    if (bgr == kFormFontColor) return QStringLiteral("color: palette(window-text)");
    return QStringLiteral("color: %1")
        .arg(QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                    static_cast<int>((bgr >> 16) & 0xFF))
                 .name());
}
} // namespace

void InitMessageInfo(TMessageInfoRec& info) {
    info = TMessageInfoRec{};
    info.Kind = 0;
    info.TextColor = 255;
    info.Position = 7;
}

int ShowMessageBox(TMessageInfoRec& info) {
    TMessageBox box;
    box.MsgKind = info.Kind;
    box.MsgCaption = info.Caption;
    box.MsgText = info.Text;
    box.MsgColor = info.TextColor;
    box.SetLines(info.Lines);
    box.CheckCaption = info.CheckCaption;
    box.Setup(1);
    return box.ShowModal();
}

TMessageBox::TMessageBox(QWidget* parent) : TBSDI(parent, bsDialog) {
    setObjectName(QStringLiteral("MessageBox"));
    resize(kDesignWidth, kDesignHeight);
    lblMain = new QLabel(this);
    lblMain->setWordWrap(true);
    lblMain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MessageArea = new QPlainTextEdit(this);
    MessageArea->setReadOnly(true);
    MessageArea->setFocusPolicy(Qt::NoFocus);
    MessageArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cboxAgree = new TxCheckBox(this);
    pnlBottom = new QWidget(this);
    btnOK = new TxPlButton(pnlBottom);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->CaptionA()->SetCaption(QStringLiteral("OK"));
    btnOK->ModalResult = platform::mrOk;
    btnCancel = new TxPlButton(pnlBottom);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->CaptionA()->SetCaption(QString::fromUtf8("キャンセル"));
    btnCancel->ModalResult = platform::mrCancel;
    connect(btnOK, &TxPlButton::clicked, this, [this] { setModalResult(btnOK->ModalResult); });
    connect(cboxAgree, &QCheckBox::toggled, this, [this](bool on) {
        if (MsgKind == 2) btnOK->setEnabled(on);
    });
    setTabOrder(cboxAgree, btnOK);
    setTabOrder(btnOK, btnCancel);
    layoutForm(true, false);

    FormCreate();
    MenuNotify = false;
    NoProcessCheck = false;
    SaveFormSize = false;
    ActivateValue = 0;
    F12Button = btnOK;
    InitOK = true;
}

void TMessageBox::layoutForm(bool memo, bool agree) {
    const int h = kDesignHeight - (memo ? 0 : kMemoHeight);
    setFixedSize(kDesignWidth, h);
    lblMain->setGeometry(24, 16, 445, 49);
    MessageArea->setGeometry(24, 72, 465, kMemoHeight);
    MessageArea->setVisible(memo);
    cboxAgree->setGeometry(24, h - kBottomHeight - 24, 300, 20);
    cboxAgree->setVisible(agree);
    pnlBottom->setGeometry(0, h - kBottomHeight, kDesignWidth, kBottomHeight);
    btnCancel->setGeometry(kDesignWidth - 16 - 90, 8, 90, 26);
    btnOK->setGeometry(kDesignWidth - 16 - 90 - 8 - 90, 8, 90, 26);
}

void TMessageBox::Setup(std::uint8_t value) {
    setupValue_ = value;
    const bool agree = MsgKind == 2 || MsgKind == 3;
    btnOK->setVisible(true);
    btnOK->CaptionA()->SetCaption(QStringLiteral("OK"));
    btnOK->ModalResult = platform::mrOk;
    btnCancel->setVisible(true);
    btnCancel->CaptionA()->SetCaption(QString::fromUtf8("キャンセル"));
    btnCancel->ModalResult = platform::mrCancel;
    if (MsgKind == 1) {
        btnOK->setVisible(false);
        btnCancel->CaptionA()->SetCaption(QStringLiteral("OK"));
        btnCancel->ModalResult = platform::mrOk;
    }
    setWindowTitle(ui::qs(MsgCaption));
    lblMain->setText(ui::qs(MsgText).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    lblMain->setStyleSheet(colorCss(MsgColor));
    QStringList ls;
    for (const auto& l : lines_) ls << ui::qs(l);
    MessageArea->setPlainText(ls.join(QLatin1Char('\n')));
    layoutForm(!lines_.empty(), agree);
    {
        QSignalBlocker b(cboxAgree);
        cboxAgree->setText(ui::qs(CheckCaption));
        cboxAgree->setChecked(false);
    }
    btnOK->setEnabled(MsgKind != 2);
    Reposition = false;
}

bool TMessageBox::agreed() const {
    return !cboxAgree->isHidden() && cboxAgree->isChecked();
}

platform::PromptMessage TMessageBox::toPrompt() const {
    platform::PromptMessage m;
    m.source = "TMessageBox";
    m.kind = platform::pkNone;
    m.title = MsgCaption;
    m.setText(MsgText);
    for (auto& l : m.lines) l.color = MsgColor;
    m.details = lines_;
    if (MsgKind == 1) {
        m.buttons = platform::mbOK;
        m.buttonCaptions = {"OK"};
    } else {
        m.buttons = platform::mbOK | platform::mbCancel;
        m.buttonCaptions = {"OK", "キャンセル"};
    }
    m.agreeMode = MsgKind == 2 ? 1 : MsgKind == 3 ? 2 : 0;
    m.agreeCaption = (MsgKind == 2 || MsgKind == 3) ? CheckCaption : std::string();
    return m;
}

void TMessageBox::setFromPrompt(const platform::PromptMessage& m) {
    if (m.agreeMode == 1) MsgKind = 2;
    else if (m.agreeMode != 0) MsgKind = 3;
    else if (m.buttons == platform::mbOK) MsgKind = 1;
    else MsgKind = 0;
    MsgCaption = m.title;
    MsgText = m.text();
    MsgColor = m.lines.empty() ? kFormFontColor : m.lines.front().color;
    lines_ = m.details;
    if (!m.agreeCaption.empty()) CheckCaption = m.agreeCaption;
    Setup(1);
}

int TMessageBox::ShowModal() {
    platform::PromptMessage m = toPrompt();
    const int r = platform::prompt().show(m);
    if (cboxAgree) {
        QSignalBlocker b(cboxAgree);
        cboxAgree->setChecked(m.agreed);
    }
    return r;
}

void TMessageBox::CMShowingChanged(bool showing) {
    TBSDI::CMShowingChanged(showing);
    if (!showing) return;
    if (ReportFailedInit()) return;
    repaint();
    btnCancel->setFocus();
}

void TMessageBox::FormClose(TCloseAction& action) {
    TBSDI::FormClose(action);
    action = caHide;
}
