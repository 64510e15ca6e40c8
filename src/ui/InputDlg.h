#pragma once
// TInputDlgBox: asks the operator for one value: a text, a password, a
// choice from a list, an amount or a pair of dates. ShowModal goes through
// platform::prompt(); the Qt prompt shows this form for real.
#include "platform/Prompt.h"
#include "ui/KeyStyles.h"
#include "ui/SDI.h"

#include <cstdint>
#include <string>
#include <vector>

class TTavrinEdit;
class TTavrinExDateEdit;
class QLabel;
class QPlainTextEdit;
class TxPlButton;

namespace inputdlg {

// Key filter of the text input: whether a typed character passes.
bool keyPasses(int filter, char32_t ch);

// What OK does with the entered text.
struct OkDecision {
    bool accept = true;
    std::string refusal; // information shown when not accepted
    std::string value;   // the value taken over when accepted
};
OkDecision okDecision(int mode, bool required, const std::string& text);

} // namespace inputdlg

class TInputDlgBox : public TBSDI {
    Q_OBJECT
public:
    explicit TInputDlgBox(QWidget* parent = nullptr);
    ~TInputDlgBox() override;

    std::int32_t InputMode = 0;
    std::string InputCaption;
    std::string LabelText;
    std::uint32_t LabelColor = 0;
    std::string InputValue;
    double Date1 = 0, Date2 = 0;
    double MinDate1 = 0, MaxDate1 = 0, MinDate2 = 0, MaxDate2 = 0;
    std::string InputHint;
    std::int32_t InputMaxLength = 0;
    TImeMode InputImeMode = imDontCare;
    bool Required = false;
    std::vector<std::string> Items;

    std::int32_t KeyFilter() const { return keyFilter_; }
    void SetKeyFilter(std::int32_t kind) { keyFilter_ = kind; }
    void Setup(std::uint8_t value = 1);
    // Asks through the prompt; mrOk with the value taken over, else mrCancel.
    int ShowModal();
    int runModal() { return TBSDI::ShowModal(); }

    platform::InputRequest toRequest() const;
    void setFromRequest(const platform::InputRequest& r);
    void writeBack(platform::InputRequest& r) const;

    QLabel* lblMain;
    QWidget* pnlText;
    TxEdit* txtInput;
    TxCheckBox* btnFuseji;
    QWidget* pnlCombo;
    TxComboBox* cmbInput;
    QWidget* pnlKingaku;
    TTavrinEdit* txtKingaku;
    QWidget* pnlDate;
    TTavrinExDateEdit* txtHizuke1;
    TTavrinExDateEdit* txtHizuke2;
    QWidget* pnlBottom;
    QPlainTextEdit* HintArea;
    TxPlButton* btnOK;
    TxPlButton* btnCancel;

    void btnOKClick();
    void CMShowingChanged(bool showing) override;
    void FormClose(TCloseAction& action) override;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    int effectiveMode() const { return InputMode >= 0 && InputMode <= 4 ? InputMode : 0; }
    std::int32_t keyFilter_ = 0;
};
