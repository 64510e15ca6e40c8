#include "ui/MessageDlg2.h"

#include "ui/KeyStyles.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <cmath>

using namespace platform;

namespace {

struct StdButton {
    MsgButton button;
    const char* caption;
    int result;
};

// The order in which the buttons are taken into the box's three buttonSlots.
const StdButton kStdButtons[] = {
    {mbYes, "はい(&Y)", mrYes},
    {mbNo, "いいえ(&N)", mrNo},
    {mbOK, "OK(&O)", mrOk},
    {mbCancel, "ｷｬﾝｾﾙ(&C)", mrCancel},
    {mbAbort, "中断(&A)", mrAbort},
    {mbRetry, "再試行(&R)", mrRetry},
    {mbIgnore, "無視(&I)", mrIgnore},
    {mbAll, "すべて(&A)", mrAll},
    {mbNoToAll, "すべていいえ", mrNoToAll},
    {mbYesToAll, "すべてはい", mrYesToAll},
    {mbHelp, "ヘルプ(&H)", mrNone},
};

struct CatalogueLine {
    int index;
    const char* text;
    bool red;
};

struct CatalogueEntry {
    std::int32_t id;
    std::uint8_t kind;
    MsgButtons buttons;
    const char* title;
    std::vector<CatalogueLine> lines;
};

const char* const kUtiwake0 = "選択行の内訳を削除します、よろしいですか？";
const char* const kUtiwake2 = "一時的に内訳書より削除したい場合は、残高を0円に訂正して印刷方法の[0円の明細を省略する]にチェックを";
const char* const kUtiwake3 = "入れてください。";

const std::vector<CatalogueEntry>& catalogue() {
    static const std::vector<CatalogueEntry> entries = {
        {0x1010, 3, mbOK | mbCancel, "確認",
         {{0, "このデータはお使いのプログラムより新しいプログラムでデータ更新が行われています。", false},
          {1, "データを使用するにはプログラムのバージョンアップが必要となります。", false},
          {2, "続行してもよろしいですか？", false},
          {3, "（ウィルス対策ソフトをご利用中の場合は、該当ソフトを終了してください。）", false}}},
        {0x1011, 2, mbOK, "情報",
         {{0, "このデータは「データの更新」処理を行うことが禁止されています。", false},
          {1, "データを選択したい場合は、「データ選択」画面の[情報]ボタンを押し「データの詳細情報」画面を開き", false},
          {2, "[データの更新: 禁止する]項目のチェックを外してください。", false},
          {3, "または、過去バージョンのプログラムを起動し選択してください。", false}}},
        {0x1012, 2, mbOK, "情報",
         {{0, "このデータは「仕訳の入力」が禁止されています。", false},
          {1, "仕訳を入力するには、「データ選択」画面の[情報]ボタンを押し「データの詳細情報」画面を開き", false},
          {2, "[仕訳の入力: 禁止する]項目のチェックを外してください。", false}}},
        {0x1020, 2, mbOK, "情報",
         {{0, "このデータは現金出納帳システムと通信しています。マスター情報の変更は、事前に現金出納帳システムから", false},
          {1, "送られた最新のデータを受信し、現金出納帳システム側の処理をストップさせてから行ってください。", false},
          {2, "マスター情報の変更後には必ず「現金出納帳マスター送信」を実行してください。", false}}},
        {0x1030, 3, mbOK, "エラー",
         {{0, "データ使用後検証の結果、このデータは破損している恐れがあります。", false},
          {1, "データのバックアップを行っている場合は、適正な方法で破損前の状態へ戻して下さい。", false},
          {2, "ご不明な点がございましたら、お問い合わせ先をご確認の上ご連絡下さい。", false}}},
        {0x2014, 2, mbOK, "情報",
         {{0, "過年度明細の取り込みが行われていません。", false},
          {1, "このデータに対して過年度明細を取り込むには以下の方法があります。", false},
          {2, "１）「過年度残高登録」の[仕訳取込]より過年度明細を取り込みます。", false},
          {3, "２）「繰越残高調整」で過年度明細を繰り越します。（前期のみ）", false}}},
        {0x10001010, 2, mbOK, "情報",
         {{0, "振替形式で作成された仕訳のため、訂正・削除を行うことはできません。", false}}},
        {0x10001011, 2, mbOK, "情報",
         {{0, "この仕訳は他処理で作成された自動仕訳のため、自科目訂正を行うことはできません。", false}}},
        {0x10001012, 2, mbOK, "情報",
         {{0, "振替形式で作成された仕訳が含まれているため、訂正・削除を行うことはできません。", false}}},
        {0x10002010, 3, mbOK | mbCancel, "確認",
         {{0, "会計データと連動する項目を「上書き入力」に切り替えます。", false}, {1, "よろしいですか？", false}}},
        {0x10002011, 3, mbOK | mbCancel, "確認",
         {{0, "会計データと連動する項目を「自動取得」に切り替えます。", false},
          {1, "よろしいですか？", false},
          {2, "注意）上書き入力した項目は、会計データの集計値により書き換えられます。", true}}},
        {0x10003010, 3, mbOK | mbCancel, "内訳書の削除",
         {{0, kUtiwake0, false},
          {1, "注意）削除を行うと、内訳に記述してある名称などの情報は科目情報を取り込んでも記述されません。", true},
          {2, kUtiwake2, true},
          {3, kUtiwake3, true}}},
        {0x10003011, 3, mbOK | mbCancel, "内訳書の削除",
         {{0, kUtiwake0, false},
          {1, "注意）削除を行うと、内訳に記述してある金融機関名などの情報は科目情報を取り込んでも記述されません。", true},
          {2, kUtiwake2, true},
          {3, kUtiwake3, true}}},
        {0x10003012, 3, mbOK | mbCancel, "内訳書の削除",
         {{0, kUtiwake0, false},
          {1, "注意）削除を行うと、内訳に記述してある借入先などの情報は科目情報を取り込んでも記述されません。", true},
          {2, kUtiwake2, true},
          {3, kUtiwake3, true}}},
        {0x10004010, 2, mbOK, "情報",
         {{0, "「基本設定」の「消費税＞一括税抜処理区分」に[処理する]が選択されているため、消費税処理区分を[税込]へは変更出来ません。",
           false}}},
    };
    return entries;
}

constexpr int kLabelLeft = 80;
constexpr int kLabelTopStep = 24;
constexpr int kBottomHeight = 38;
constexpr int kAgreeHeight = 32;
constexpr int kClientPanelHeight = 335 - kBottomHeight - kAgreeHeight;

bool blank(const std::string& s) {
    return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

void InitMessage2Info(std::uint8_t kind, TMessage2InfoRec& info) {
    info = TMessage2InfoRec{};
    switch (kind) {
    case 0: info.Kind = 0; info.Buttons = mbOK; info.Title = "警告"; break;
    case 1: info.Kind = 1; info.Buttons = mbOK; info.Title = "エラー"; break;
    case 2: info.Kind = 2; info.Buttons = mbOK; info.Title = "情報"; break;
    case 3: info.Kind = 3; info.Buttons = mbOK | mbCancel; info.Title = "確認"; break;
    default: info.Kind = 4; info.Buttons = mbOK; info.Title.clear(); break;
    }
}

void SetMessage2Catalogue(std::int32_t id, TMessage2InfoRec& info) {
    if (id == 0) return;
    InitMessage2Info(2, info);
    for (const auto& e : catalogue()) {
        if (e.id != id) continue;
        info.Kind = e.kind;
        info.Buttons = e.buttons;
        info.Title = e.title;
        for (const auto& l : e.lines) {
            info.Lines[static_cast<size_t>(l.index)].Text = l.text;
            info.Lines[static_cast<size_t>(l.index)].Color = l.red ? clRedColor : 0;
        }
        info.MessageId = id;
        return;
    }
}

std::string standardButtonCaption(MsgButton b) {
    for (const auto& s : kStdButtons)
        if (s.button == b) return s.caption;
    return {};
}

PromptMessage toPromptMessage(const TMessage2InfoRec& info) {
    PromptMessage m;
    m.source = "TMessageBox2";
    m.kind = info.Kind;
    m.title = info.Title;
    size_t last = info.Lines.size();
    while (last > 0 && info.Lines[last - 1].Text.empty() && info.Lines[last - 1].URL.empty() &&
           info.Lines[last - 1].Color == 0)
        --last;
    for (size_t i = 0; i < last; ++i)
        m.lines.push_back({info.Lines[i].Text, info.Lines[i].Color, info.Lines[i].URL});
    m.buttons = info.Buttons;
    size_t lastCap = info.ButtonCaption.size();
    while (lastCap > 0 && info.ButtonCaption[lastCap - 1].empty()) --lastCap;
    m.buttonCaptions.assign(info.ButtonCaption.begin(), info.ButtonCaption.begin() + static_cast<long>(lastCap));
    m.defaultButton = info.DefaultButton;
    m.agreeMode = info.AgreeMode;
    m.agreeCaption = info.AgreeCaption;
    m.agreed = info.Agreed;
    m.messageId = info.MessageId;
    return m;
}

TMessage2InfoRec fromPromptMessage(const PromptMessage& m) {
    TMessage2InfoRec info;
    info.MessageId = m.messageId;
    info.Kind = static_cast<std::uint8_t>(m.kind);
    info.Buttons = m.buttons;
    for (size_t i = 0; i < info.ButtonCaption.size() && i < m.buttonCaptions.size(); ++i)
        info.ButtonCaption[i] = m.buttonCaptions[i];
    info.DefaultButton = m.defaultButton;
    info.Title = m.title;
    for (size_t i = 0; i < info.Lines.size() && i < m.lines.size(); ++i)
        info.Lines[i] = {m.lines[i].text, m.lines[i].color, m.lines[i].url};
    info.AgreeMode = m.agreeMode;
    info.AgreeCaption = m.agreeCaption;
    info.Agreed = m.agreed;
    return info;
}

int ShowMessageBox2(TMessage2InfoRec& info) {
    TMessage2InfoRec shown = info;
    if (shown.MessageId != 0) SetMessage2Catalogue(shown.MessageId, shown);
    PromptMessage m = toPromptMessage(shown);
    const int result = prompt().show(m);
    info.Agreed = m.agreed;
    return result;
}

TMessageBox2Layout layoutMessageBox2(const TMessage2InfoRec& info,
                                     const std::function<int(const std::string&)>& textWidth, int ppi,
                                     int frameWidth) {
    TMessageBox2Layout l;
    l.kind = info.Kind <= 3 ? info.Kind : 4;
    l.iconSize = ui::scaleByDpi(41, ppi, 96);

    int w = ui::scaleByDpi(500, ppi, 96);
    int n = 0;
    for (size_t i = 0; i < l.labels.size(); ++i) {
        auto& lab = l.labels[i];
        lab.text = info.Lines[i].Text;
        lab.color = info.Lines[i].Color;
        lab.url = info.Lines[i].URL;
        if (!lab.url.empty()) lab.color = clBlueColor;
        lab.left = kLabelLeft;
        lab.top = kLabelTopStep * static_cast<int>(i + 1);
        lab.width = lab.text.empty() ? 0 : textWidth(lab.text);
        if (lab.left + lab.width > w) w = lab.left + lab.width;
        if (!lab.text.empty()) ++n;
    }
    l.clientWidth = w + ui::scaleByDpi(30, ppi, 96);

    // The text area ends one line below the last counted line; nine lines
    // end where a tenth label would start.
    int h;
    if (n <= 1) h = kLabelTopStep * 3;
    else if (n <= 9) h = kLabelTopStep * (n + 2);
    else h = kClientPanelHeight;
    l.clientHeight = kBottomHeight + h;

    size_t slot = 0;
    for (const auto& s : kStdButtons) {
        if (!(info.Buttons & s.button) || slot >= l.buttonSlots.size()) continue;
        auto& b = l.buttonSlots[slot];
        b.visible = true;
        b.caption = s.caption;
        b.result = s.result;
        if (!info.ButtonCaption[slot].empty()) {
            b.caption = info.ButtonCaption[slot];
            const int wanted = static_cast<int>(std::trunc(1.3 * textWidth(b.caption)));
            if (wanted > b.width) b.width = wanted;
        }
        ++slot;
    }
    const int f = l.clientWidth + frameWidth;
    const int g = ui::scaleByDpi(10, ppi, 96);
    if (slot == 1) {
        l.buttonSlots[0].left = (f - l.buttonSlots[0].width) / 2;
    } else if (slot == 2) {
        const int mid = f / 2;
        l.buttonSlots[0].left = mid - g - l.buttonSlots[0].width;
        l.buttonSlots[1].left = mid + g;
    } else if (slot == 3) {
        l.buttonSlots[1].left = (f - l.buttonSlots[1].width) / 2;
        l.buttonSlots[0].left = l.buttonSlots[1].left - g - l.buttonSlots[0].width;
        l.buttonSlots[2].left = l.buttonSlots[1].left + l.buttonSlots[1].width + g;
    }

    l.agreeMode = info.AgreeMode;
    l.agreeCaption = info.AgreeCaption;
    if (blank(l.agreeCaption)) l.agreeMode = 0;
    if (l.agreeMode != 0) {
        l.agreeVisible = true;
        l.agreeChecked = info.Agreed;
        if (l.agreeMode == 1) l.buttonSlots[0].enabled = l.agreeChecked;
        l.clientHeight += kAgreeHeight;
    }

    if (l.agreeMode == 1) {
        l.focusAgree = true;
    } else if (info.DefaultButton >= 0 && info.DefaultButton < 3) {
        const auto& b = l.buttonSlots[static_cast<size_t>(info.DefaultButton)];
        if (b.visible && b.enabled) l.focusSlot = info.DefaultButton;
    }
    return l;
}

std::string messageBox2ClipboardText(const TMessage2InfoRec& info) {
    const std::string rule(27, '-');
    std::string out = rule + "\r\n" + info.Title + "\r\n" + rule + "\r\n";
    for (const auto& l : info.Lines) out += l.Text + "\r\n";
    return out;
}

// ---------------------------------------------------------------------------

namespace {
QString colorName(std::uint32_t bgr) {
    const QColor c(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                   static_cast<int>((bgr >> 16) & 0xFF));
    return c.name();
}

QStyle::StandardPixmap iconOf(int kind) {
    switch (kind) {
    case 0: return QStyle::SP_MessageBoxWarning;
    case 1: return QStyle::SP_MessageBoxCritical;
    case 2: return QStyle::SP_MessageBoxInformation;
    default: return QStyle::SP_MessageBoxQuestion;
    }
}
} // namespace

TMessageBox2::TMessageBox2(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFont(QApplication::font("QMessageBox"));
    ui::installJapaneseFonts();
    setFixedSize(500, 335);

    pnlClient_ = new QWidget(this);
    pnlAgree_ = new QWidget(this);
    pnlBottom_ = new QWidget(this);
    image_ = new QLabel(pnlClient_);
    image_->setGeometry(24, 16, 41, 41);
    for (int i = 0; i < 10; ++i) {
        auto* l = new QLabel(pnlClient_);
        l->setProperty("Tag", i);
        l->setGeometry(kLabelLeft, kLabelTopStep * (i + 1), 0, 16);
        l->setTextFormat(Qt::PlainText);
        l->installEventFilter(this);
        labels_[static_cast<size_t>(i)] = l;
    }
    agree_ = new TxCheckBox(pnlAgree_);
    agree_->setText(QString::fromUtf8("同意する"));
    agree_->SetKeyStyles(ks(ksEnter));
    agree_->setGeometry(82, 3, 375, 24);
    connect(agree_, &QCheckBox::toggled, this, [this](bool on) {
        if (layout_.agreeMode == 1 && buttons_[0]) buttons_[0]->setEnabled(on);
    });
    for (size_t i = 0; i < buttons_.size(); ++i) {
        auto* b = new QPushButton(pnlBottom_);
        b->setGeometry(0, 3, 75, 25);
        b->setVisible(false);
        connect(b, &QPushButton::clicked, this, [this, i] { setModalResult(layout_.buttonSlots[i].result); });
        buttons_[i] = b;
    }
}

TMessageBox2::~TMessageBox2() = default;

void TMessageBox2::Setup(std::uint8_t) {
    if (Info.MessageId != 0) SetMessageId(Info.MessageId);
    const QFontMetrics fm(font());
    layout_ = layoutMessageBox2(
        Info, [&fm](const std::string& s) { return fm.horizontalAdvance(QString::fromStdString(s)); }, 96,
        frameGeometry().width() - geometry().width());

    setWindowTitle(ui::qs(Info.Title));
    image_->setFixedSize(layout_.iconSize, layout_.iconSize);
    if (layout_.kind <= 3)
        image_->setPixmap(style()->standardIcon(iconOf(layout_.kind)).pixmap(32, 32));
    else
        image_->clear();
    for (size_t i = 0; i < labels_.size(); ++i) {
        const auto& src = layout_.labels[i];
        QLabel* l = labels_[i];
        l->setText(ui::qs(src.text));
        QFont f = font();
        f.setUnderline(!src.url.empty());
        l->setFont(f);
        l->setCursor(src.url.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
        l->setStyleSheet(QStringLiteral("color: %1").arg(colorName(src.color)));
        l->setGeometry(src.left, src.top, src.width, fontMetrics().height() + 2);
    }
    const int agreeH = layout_.agreeVisible ? kAgreeHeight : 0;
    setFixedSize(layout_.clientWidth, layout_.clientHeight);
    pnlClient_->setGeometry(0, 0, layout_.clientWidth, layout_.clientHeight - kBottomHeight - agreeH);
    pnlAgree_->setGeometry(0, layout_.clientHeight - kBottomHeight - agreeH, layout_.clientWidth, kAgreeHeight);
    pnlAgree_->setVisible(layout_.agreeVisible);
    pnlBottom_->setGeometry(0, layout_.clientHeight - kBottomHeight, layout_.clientWidth, kBottomHeight);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const auto& s = layout_.buttonSlots[i];
        QPushButton* b = buttons_[i];
        b->setVisible(s.visible);
        b->setText(ui::qs(s.caption));
        b->setGeometry(s.left, s.top, s.width, s.height);
        b->setEnabled(s.enabled);
    }
    if (layout_.agreeVisible) {
        QSignalBlocker block(agree_);
        agree_->setText(ui::qs(layout_.agreeCaption));
        agree_->setChecked(layout_.agreeChecked);
    }
    modalResult_ = 0;
    setResult(0);
}

int TMessageBox2::runModal() {
    return exec();
}

bool TMessageBox2::agreed() const {
    return layout_.agreeVisible ? agree_->isChecked() : Info.Agreed;
}

void TMessageBox2::setModalResult(int result) {
    modalResult_ = result;
    if (result != 0) done(result);
}

void TMessageBox2::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (layout_.focusAgree)
        agree_->setFocus();
    else if (layout_.focusSlot >= 0)
        buttons_[static_cast<size_t>(layout_.focusSlot)]->setFocus();
}

void TMessageBox2::closeEvent(QCloseEvent* e) {
    e->accept();
    if (modalResult_ == 0) modalResult_ = mrCancel;
    done(modalResult_);
}

void TMessageBox2::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) { // closes on release
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_C && (e->modifiers() & Qt::ControlModifier)) {
        copyToClipboard();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TMessageBox2::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && !e->isAutoRepeat()) {
        e->accept();
        modalResult_ = mrCancel;
        close();
        return;
    }
    QDialog::keyReleaseEvent(e);
}

bool TMessageBox2::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease) {
        for (size_t i = 0; i < labels_.size(); ++i) {
            if (labels_[i] != o || layout_.labels[i].url.empty()) continue;
            QDesktopServices::openUrl(QUrl(ui::qs(layout_.labels[i].url)));
            labels_[i]->setStyleSheet(QStringLiteral("color: %1").arg(colorName(clPurpleColor)));
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void TMessageBox2::copyToClipboard() {
    if (auto* cb = QGuiApplication::clipboard()) cb->setText(ui::qs(messageBox2ClipboardText(Info)));
}
