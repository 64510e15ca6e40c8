#pragma once
// TMessageBox: a message form with a coloured main text, a scrolling area
// of further lines, an optional agreement box and OK/Cancel buttons.
// ShowModal and ShowMessageBox go through platform::prompt().
#include "platform/Prompt.h"
#include "ui/SDI.h"

#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class TxCheckBox;
class TxPlButton;

constexpr std::uint32_t kFormFontColor = 0; // "the form's font colour"

struct TMessageInfoRec {
    std::int32_t Kind = 0;
    std::uint8_t Position = 7; // 7 centred on the owner form, 4 on the screen
    std::string Caption;
    std::string Text;
    std::uint32_t TextColor = 0;
    std::vector<std::string> Lines;
    std::string CheckCaption;
};

void InitMessageInfo(TMessageInfoRec& info);
int ShowMessageBox(TMessageInfoRec& info);

class TMessageBox : public TBSDI {
    Q_OBJECT
public:
    explicit TMessageBox(QWidget* parent = nullptr);

    std::int32_t MsgKind = 0;
    std::string MsgCaption;
    std::string MsgText;
    std::uint32_t MsgColor = kFormFontColor;
    std::string CheckCaption = "同意する";

    void SetLines(const std::vector<std::string>& lines) { lines_ = lines; }
    const std::vector<std::string>& lines() const { return lines_; }
    void Setup(std::uint8_t value = 1);
    // Shows the box through the prompt and returns the modal result.
    int ShowModal();
    // The real modal loop (the Qt prompt's side).
    int runModal() { return TBSDI::ShowModal(); }
    bool agreed() const;

    platform::PromptMessage toPrompt() const;
    void setFromPrompt(const platform::PromptMessage& m);

    QLabel* lblMain;
    QPlainTextEdit* MessageArea;
    TxCheckBox* cboxAgree;
    QWidget* pnlBottom;
    TxPlButton* btnOK;
    TxPlButton* btnCancel;

    void CMShowingChanged(bool showing) override;
    void FormClose(TCloseAction& action) override;

private:
    void layoutForm(bool memo, bool agree);
    std::vector<std::string> lines_;
    std::uint8_t setupValue_ = 0;
};
