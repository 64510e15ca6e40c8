#pragma once
// The suite's standard message box: a request record, a catalogue of
// numbered messages, the layout rules of the box and its window.
// ShowMessageBox2 hands the request to platform::prompt(), which shows the
// window (or, in tests, answers from a script).
#include "platform/Prompt.h"
#include "ui/UiCommon.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QFrame;
class TxCheckBox;

struct TMessage2CaptionRec {
    std::string Text;
    std::uint32_t Color = 0; // 0x00BBGGRR, 0 = black
    std::string URL;
};

struct TMessage2InfoRec {
    std::int32_t MessageId = 0;
    std::uint8_t Kind = 0;
    platform::MsgButtons Buttons = platform::mbOK;
    std::array<std::string, 3> ButtonCaption;
    std::int32_t DefaultButton = 0;
    std::string Title;
    std::array<TMessage2CaptionRec, 10> Lines;
    std::int32_t AgreeMode = 0;
    std::string AgreeCaption;
    bool Agreed = false;
};

constexpr std::uint32_t clRedColor = 0x0000FF;
constexpr std::uint32_t clBlueColor = 0xFF0000;
constexpr std::uint32_t clPurpleColor = 0x800080;

void InitMessage2Info(std::uint8_t kind, TMessage2InfoRec& info);
// Replaces info by catalogue entry id (an unknown id gives an empty information box).
void SetMessage2Catalogue(std::int32_t id, TMessage2InfoRec& info);
// Shows the box modally through the prompt; writes the final tick into
// info.Agreed and returns the modal result (mrCancel for Esc or the close box).
int ShowMessageBox2(TMessage2InfoRec& info);

// Conversions between the request and the prompt's message.
platform::PromptMessage toPromptMessage(const TMessage2InfoRec& info);
TMessage2InfoRec fromPromptMessage(const platform::PromptMessage& m);

// Standard caption of a dialog button ("はい(&Y)", ...).
std::string standardButtonCaption(platform::MsgButton b);

// The box's layout, worked out from a request in design pixels.
struct TMessageBox2Layout {
    struct Label {
        std::string text;
        std::uint32_t color = 0;
        std::string url;
        int left = 80, top = 0, width = 0;
    };
    struct Slot {
        bool visible = false;
        std::string caption;
        int result = 0;
        int left = 0, top = 3, width = 75, height = 25;
        bool enabled = true;
    };
    int kind = 4;
    int iconSize = 41;
    std::array<Label, 10> labels;
    std::array<Slot, 3> buttonSlots;
    int clientWidth = 500, clientHeight = 335;
    bool agreeVisible = false;
    bool agreeChecked = false;
    int agreeMode = 0;
    std::string agreeCaption;
    int focusSlot = -1;      // slot that takes the focus on showing, -1 none
    bool focusAgree = false; // the agreement box takes the focus instead
};

// textWidth measures a text in the form's font; ppi is the form's
// resolution; outerWidth(clientWidth) gives the form's outer width.
TMessageBox2Layout layoutMessageBox2(const TMessage2InfoRec& info,
                                     const std::function<int(const std::string&)>& textWidth, int ppi = 96,
                                     int frameWidth = 0);

// What Ctrl+C puts on the clipboard.
std::string messageBox2ClipboardText(const TMessage2InfoRec& info);

// The box's window. Callers normally use ShowMessageBox2; a caller that
// makes the form itself sets Info, calls Setup and shows it.
class TMessageBox2 : public QDialog, public ui::ModalForm {
    Q_OBJECT
public:
    explicit TMessageBox2(QWidget* parent = nullptr);
    ~TMessageBox2() override;

    TMessage2InfoRec Info;
    void SetMessageId(std::int32_t id) { SetMessage2Catalogue(id, Info); }
    void Setup(std::uint8_t value = 1);
    // Runs the real modal loop (used by the Qt prompt only).
    int runModal();
    bool agreed() const;

    void setModalResult(int result) override;
    int modalResult() const override { return modalResult_; }

    const TMessageBox2Layout& layout() const { return layout_; }
    QPushButton* button(int slot) const { return buttons_[static_cast<size_t>(slot)]; }
    QLabel* label(int i) const { return labels_[static_cast<size_t>(i)]; }
    TxCheckBox* agreeBox() const { return agree_; }
    QLabel* icon() const { return image_; }
    QWidget* agreePanel() const { return pnlAgree_; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void copyToClipboard();
    TMessageBox2Layout layout_;
    int modalResult_ = 0;
    QWidget* pnlClient_;
    QWidget* pnlAgree_;
    QWidget* pnlBottom_;
    QLabel* image_;
    std::array<QLabel*, 10> labels_{};
    std::array<QPushButton*, 3> buttons_{};
    TxCheckBox* agree_;
};
