#pragma once
// TForm1: the converter wizard's window. It lays out the pages and hands
// every decision to TWizardLogic.
#include "app/WizardLogic.h"

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class TxAnimeProgressDialog;
class TxWizard;

class TForm1 : public QWidget, public IWizardView {
    Q_OBJECT
public:
    TForm1(IWizardDataModule& dm, ILogon& logon, ISharedData& shared, ICloudShare& cloud,
           TWizardLogic::ExporterFactory makeExporter, QWidget* parent = nullptr);
    ~TForm1() override;

    // Form creation with the program's arguments; false: end at once.
    bool FormCreate(const std::vector<std::string>& args, const std::string& exePath);

    TWizardLogic& Logic() { return *logic_; }

    // IWizardView
    void ShowProgress(const std::string& Caption, const std::string& Info) override;
    void StopProgressAnimation() override;
    void CloseProgress() override;
    void SetBusyCursor(bool Busy) override;
    void FocusDataButton() override;
    void SetNextCaption(const std::string& Caption) override;
    void DataRowsChanged() override;
    void SummaryChanged() override;
    std::string FileEditText() override;
    void SetFileEditText(const std::string& Text) override;
    void CloseForm() override;

    // Controls (tests drive them).
    TxWizard* Wizard1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnDataSentaku = nullptr;
    QTableWidget* listDataInfo = nullptr;
    QLineEdit* Edit4a = nullptr;
    QPushButton* BitBtn4a = nullptr;
    QPlainTextEdit* Memo5b = nullptr;
    // The name of the page shown.
    std::string CurrentPage() const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildPages();
    void BitBtn4aClick();
    std::unique_ptr<TWizardLogic> logic_;
    TxAnimeProgressDialog* progress_ = nullptr;
    std::vector<QWidget*> pageWidgets_;
    std::vector<std::string> pageNames_;
    QPlainTextEdit* memo1a_ = nullptr;
    QPlainTextEdit* memo1b_ = nullptr;
    QLabel* label2a_ = nullptr;
    QLabel* label4a_ = nullptr;
    bool busyCursor_ = false;
    bool closingByRules_ = false;
    bool shown_ = false;
    bool destroyed_ = false;
};
