#pragma once
// TxWizard turns a stack of pages into a wizard: it takes over two buttons
// of the form as Back and Next, steps one page at a time, shows the finish
// caption on the last page and asks the form before every step forward.
// The stepping rules live in TxWizardModel.
#include <QStackedWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;

// The stepping rules on plain state: the widget copies the page count and
// index in before a press and applies what changed afterwards.
class TxWizardModel {
public:
    std::string NextButtonCap = "次へ(&N) >";
    std::string NextButtonFinCap = "完了(&F)";
    std::string BackButtonCap = "< 戻る(&B)";
    std::vector<std::string> HeaderCaption;
    std::vector<std::string> InfoCaption;

    // State the widget mirrors.
    int pageCount = 0;
    int pageIndex = 0;
    std::string nextCaption;
    bool backVisible = false;
    std::optional<std::string> header; // set when the header label is to change
    std::optional<std::string> info;

    struct NextResult {
        bool allowed = true;
        bool final = false;
    };
    // A Next press; allowChange is what the form's OnNextClicking said.
    NextResult next(bool allowChange, bool hasNextButton = true);
    void back();
    // Next caption for a freshly assigned Next button.
    std::string initialNextCaption() const { return pageCount == 1 ? NextButtonFinCap : NextButtonCap; }

private:
    void showCaptionsFor(int index);
};

class TxWizard : public QStackedWidget {
    Q_OBJECT
public:
    explicit TxWizard(QWidget* parent = nullptr);

    TxWizardModel& model() { return model_; }
    QString NextButtonCap() const;
    void SetNextButtonCap(const QString& s) { model_.NextButtonCap = s.toStdString(); }
    QString NextButtonFinCap() const;
    void SetNextButtonFinCap(const QString& s) { model_.NextButtonFinCap = s.toStdString(); }
    QString BackButtonCap() const;
    void SetBackButtonCap(const QString& s) { model_.BackButtonCap = s.toStdString(); }

    QAbstractButton* NextButton() const { return next_; }
    void SetNextButton(QAbstractButton* b);
    QAbstractButton* BackButton() const { return back_; }
    void SetBackButton(QAbstractButton* b);
    QLabel* LblHeader() const { return header_; }
    void SetLblHeader(QLabel* l);
    QLabel* LblInfo() const { return info_; }
    void SetLblInfo(QLabel* l);
    void SetHeaderCaption(const std::vector<std::string>& lines) { model_.HeaderCaption = lines; }
    void SetInfoCaption(const std::vector<std::string>& lines) { model_.InfoCaption = lines; }

    int PageIndex() const { return currentIndex(); }
    void SetPageIndex(int i) { setCurrentIndex(i); }

    std::function<void(QObject* sender)> OnBackClick;
    std::function<void(QObject* sender, bool finalState)> OnNextClick;
    std::function<void(QObject* sender, bool finalState, bool& allowChange)> OnNextClicking;

    void NextClick();
    void BackClick();

private:
    void apply();
    TxWizardModel model_;
    QAbstractButton* next_ = nullptr;
    QAbstractButton* back_ = nullptr;
    QLabel* header_ = nullptr;
    QLabel* info_ = nullptr;
};
