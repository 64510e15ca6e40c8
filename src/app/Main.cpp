#include "app/Main.h"

#include "accdb/AccRecord.h"
#include "ui/AnimeProgress.h"
#include "ui/UiCommon.h"
#include "ui/xWizard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

using ui::qs;

TForm1::TForm1(IWizardDataModule& dm, ILogon& logon, ISharedData& shared, ICloudShare& cloud,
               TWizardLogic::ExporterFactory makeExporter, QWidget* parent)
    : QWidget(parent) {
    logic_ = std::make_unique<TWizardLogic>(dm, logon, shared, cloud, *this, std::move(makeExporter));
    setFixedSize(771, 543);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(ui::suiteFont(13));

    Wizard1 = new TxWizard(this);
    Wizard1->setGeometry(1, 1, 769, 489);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setGeometry(8, 494, 755, 2);
    Button1 = new QPushButton(this);
    Button2 = new QPushButton(this);
    btnCancel = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    Button1->setGeometry(440, 505, 100, 27);
    Button2->setGeometry(545, 505, 100, 27);
    btnCancel->setGeometry(660, 505, 100, 27);
    progress_ = new TxAnimeProgressDialog(this);
    buildPages();

    connect(btnCancel, &QPushButton::clicked, this, [this] { logic_->CancelClicked(); });
    connect(btnDataSentaku, &QPushButton::clicked, this, [this] { logic_->Opener().DataSentakuClick(); });
    connect(BitBtn4a, &QPushButton::clicked, this, [this] { BitBtn4aClick(); });
    Wizard1->OnNextClicking = [this](QObject*, bool, bool& allow) { allow = logic_->NextClicking(CurrentPage()); };
    Wizard1->OnNextClick = [this](QObject*, bool finalState) {
        if (finalState)
            logic_->FinishClicked();
    };
    connect(Wizard1, &QStackedWidget::currentChanged, this, [this](int) { logic_->PageChanged(CurrentPage()); });
}

TForm1::~TForm1() {
    SetBusyCursor(false);
    logic_->FormDestroy();
    delete SystemDef.Font1;
    delete SystemDef.Font2;
    SystemDef.Font1 = nullptr;
    SystemDef.Font2 = nullptr;
}

void TForm1::buildPages() {
    auto addPage = [this](const std::string& name) {
        auto* w = new QWidget;
        pageWidgets_.push_back(w);
        pageNames_.push_back(name);
        return w;
    };
    {
        QWidget* p = addPage("page1");
        auto* l = new QVBoxLayout(p);
        memo1a_ = new QPlainTextEdit(p);
        memo1a_->setReadOnly(true);
        memo1a_->setFixedHeight(40);
        memo1b_ = new QPlainTextEdit(p);
        memo1b_->setReadOnly(true);
        l->addWidget(memo1a_);
        l->addWidget(memo1b_);
    }
    {
        QWidget* p = addPage("page2");
        auto* l = new QVBoxLayout(p);
        label2a_ = new QLabel(p);
        btnDataSentaku = new QPushButton(QString::fromUtf8("データ選択を開く"), p);
        listDataInfo = new QTableWidget(0, 2, p);
        listDataInfo->setColumnWidth(0, 150);
        listDataInfo->setColumnWidth(1, 261);
        listDataInfo->horizontalHeader()->hide();
        listDataInfo->verticalHeader()->hide();
        listDataInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
        listDataInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
        l->addWidget(label2a_);
        l->addWidget(btnDataSentaku, 0, Qt::AlignLeft);
        l->addWidget(listDataInfo);
        l->addWidget(new QLabel(
            QString::fromUtf8("対象のデータが正しく指定されているか確認し、[次へ]をクリックしてください。"), p));
    }
    {
        QWidget* p = addPage("page4");
        auto* l = new QVBoxLayout(p);
        label4a_ = new QLabel(p);
        auto* group = new QGroupBox(QString::fromUtf8("中間ﾌｧｲﾙ"), p);
        auto* gl = new QHBoxLayout(group);
        Edit4a = new QLineEdit(group);
        BitBtn4a = new QPushButton(QString::fromUtf8("参照"), group);
        gl->addWidget(Edit4a);
        gl->addWidget(BitBtn4a);
        l->addWidget(label4a_);
        l->addWidget(group);
        l->addWidget(new QLabel(
            QString::fromUtf8("中間ファイル名が正しく指定されているか確認し、[次へ]をクリックしてください。"), p));
        l->addStretch();
    }
    {
        QWidget* p = addPage("page5");
        auto* l = new QVBoxLayout(p);
        auto* memo5a = new QPlainTextEdit(p);
        memo5a->setReadOnly(true);
        memo5a->setFixedHeight(44);
        memo5a->setPlainText(QString::fromUtf8(
            "以上で設定が完了しました。\n内容を確認し、よろしければ[完了]をクリックしてください。"));
        Memo5b = new QPlainTextEdit(p);
        Memo5b->setReadOnly(true);
        // The summary lines are padded with spaces so that their colons
        // line up: a fixed-width face keeps them in columns.
        Memo5b->setFont(ui::suiteFixedFont(12));
        Memo5b->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        l->addWidget(memo5a);
        l->addWidget(Memo5b);
    }
}

bool TForm1::FormCreate(const std::vector<std::string>& args, const std::string& exePath) {
    if (!logic_->FormCreate(args, exePath))
        return false;
    setWindowTitle(qs(logic_->Caption));
    memo1a_->setPlainText(qs(logic_->Memo1a));
    QStringList lines;
    for (const auto& l : logic_->Memo1b)
        lines << qs(l);
    memo1b_->setPlainText(lines.join('\n'));
    label2a_->setText(qs(logic_->Label2a));
    label4a_->setText(qs(logic_->Label4a));
    const auto& live = logic_->Pages;
    std::vector<std::string> names;
    for (size_t i = 0; i < pageNames_.size(); ++i) {
        if (std::find(live.begin(), live.end(), pageNames_[i]) != live.end()) {
            Wizard1->addWidget(pageWidgets_[i]);
            names.push_back(pageNames_[i]);
        } else {
            if (pageNames_[i] == "page4") {
                label4a_ = nullptr;
                Edit4a = nullptr;
                BitBtn4a = nullptr;
            }
            delete pageWidgets_[i];
        }
    }
    pageNames_ = names;
    pageWidgets_.clear();
    Wizard1->SetBackButton(Button1);
    Wizard1->SetNextButton(Button2);
    Wizard1->SetPageIndex(0);
    return true;
}

std::string TForm1::CurrentPage() const {
    int i = Wizard1->currentIndex();
    return i >= 0 && i < static_cast<int>(pageNames_.size()) ? pageNames_[static_cast<size_t>(i)] : std::string();
}

void TForm1::ShowProgress(const std::string& Caption, const std::string& Info) {
    progress_->SetCaption(qs(Caption));
    progress_->SetInfoLabel(qs(Info));
    progress_->SetAviFile(qs(SystemDef.ExeDir + "/progress.avi"));
    progress_->CancelBtnShow = false;
    progress_->Execute(this);
}

void TForm1::StopProgressAnimation() { progress_->Animate(false); }
void TForm1::CloseProgress() {
    if (progress_->isOpen())
        progress_->Close();
}
void TForm1::SetBusyCursor(bool Busy) {
    // One override of our own at most, so that restoring never removes a
    // cursor somebody else set.
    if (Busy == busyCursor_)
        return;
    busyCursor_ = Busy;
    if (Busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TForm1::FocusDataButton() { btnDataSentaku->setFocus(); }
void TForm1::SetNextCaption(const std::string& Caption) { Button2->setText(qs(Caption)); }

void TForm1::DataRowsChanged() {
    const auto& rows = logic_->Opener().DataRows;
    listDataInfo->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const std::string& r = rows[static_cast<size_t>(i)];
        auto eq = r.find('=');
        listDataInfo->setItem(i, 0, new QTableWidgetItem(qs(r.substr(0, eq))));
        listDataInfo->setItem(i, 1, new QTableWidgetItem(eq == std::string::npos ? QString() : qs(r.substr(eq + 1))));
    }
}

void TForm1::SummaryChanged() {
    QStringList lines;
    for (const auto& l : logic_->SummaryLines)
        lines << qs(l);
    Memo5b->setPlainText(lines.join('\n'));
}

std::string TForm1::FileEditText() { return Edit4a ? Edit4a->text().toStdString() : std::string(); }
void TForm1::SetFileEditText(const std::string& Text) {
    if (Edit4a)
        Edit4a->setText(qs(Text));
}

void TForm1::CloseForm() {
    closingByRules_ = true;
    close();
    closingByRules_ = false;
}

void TForm1::BitBtn4aClick() {
    QFileDialog dlg(this, QString::fromUtf8("中間ﾌｧｲﾙの指定"), qs(logic_->DocFolder));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters({QString::fromUtf8("中間ﾌｧｲﾙ (*.xml *.XML)"), QString::fromUtf8("すべてのﾌｧｲﾙ(*.*) (*)")});
    dlg.setDefaultSuffix("xml");
    if (QFileInfo::exists(Edit4a->text()))
        dlg.selectFile(Edit4a->text());
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        Edit4a->setText(dlg.selectedFiles().first());
}

void TForm1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!logic_->FirstShow())
            CloseForm();
    });
}

void TForm1::closeEvent(QCloseEvent* e) {
    if (!closingByRules_)
        logic_->WMClose();
    logic_->CloseData();
    e->accept();
}
