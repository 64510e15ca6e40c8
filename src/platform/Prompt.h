#pragma once
// The one way the program shows a message or asks a question. The toolkit
// installs a Qt implementation that shows the real window; tests install a
// ScriptedPrompt that records every request and answers from a script, so
// no modal loop ever runs in a test.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Standard dialog buttons, in the order a box takes them into its slots.
enum MsgButton : std::uint16_t {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
using MsgButtons = std::uint16_t;

// Modal results.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// Icon kinds: the values of the rich message box's Kind.
enum PromptKind : int { pkWarning = 0, pkError = 1, pkInformation = 2, pkConfirmation = 3, pkNone = 4 };

struct PromptLine {
    std::string text;
    std::uint32_t color = 0; // 0x00BBGGRR, 0 = default text colour
    std::string url;         // non-empty: the line is a link
};

struct PromptMessage {
    std::string source;                // which box asked ("TMessageBox2", "TMessageBox", ...)
    int kind = pkInformation;
    std::string title;
    std::vector<PromptLine> lines;     // top to bottom; a plain text is split at CR
    MsgButtons buttons = mbOK;
    std::vector<std::string> buttonCaptions; // overrides per shown slot; empty = standard
    int defaultButton = 0;             // slot index of the focused button
    int agreeMode = 0;
    std::string agreeCaption;
    bool agreed = false;               // in: initial tick; out: tick when closed
    int messageId = 0;
    std::vector<std::string> details;  // further lines of a memo box's scrolling area

    // All line texts joined with CR, trailing empty lines dropped.
    std::string text() const;
    // Replaces the lines by the parts of a CR (or LF) separated text.
    void setText(const std::string& text);
};

struct InputRequest {
    std::string source;
    std::string title;
    std::string prompt;
    std::string value;      // in: initial value; out: the value entered
    int maxLength = 0;      // in CP932 bytes, 0 = no limit
    bool password = false;
    // The one-value input dialog's further settings.
    int mode = 0;           // 0 text, 1 password, 2 list, 3 amount, 4 date pair
    std::vector<std::string> items; // choices of mode 2
    std::string hint;
    std::uint32_t promptColor = 0;  // 0x00BBGGRR, 0 = default
    bool required = false;
    int keyFilter = 0;
    int imeMode = 3;        // 0 disabled (no paste either), 3 don't care
    double date1 = 0, date2 = 0; // in/out of mode 4, days since 1899-12-30
    double minDate1 = 0, maxDate1 = 0, minDate2 = 0, maxDate2 = 0;
};

class Prompt {
public:
    virtual ~Prompt() = default;
    // Shows the message modally and returns the modal result.
    virtual int show(PromptMessage& message) = 0;
    // Asks for one value; true when confirmed (value updated).
    virtual bool input(InputRequest& request) = 0;
};

// The prompt in force. Without an installed one a headless default records
// nothing and answers the default button (so a forgotten installation in a
// test cannot block on a window).
Prompt& prompt();
// Installs p (not owned); nullptr restores the headless default. Returns the previous one.
Prompt* setPrompt(Prompt* p);

// The result of the button in a slot of a message, as a box would lay them out.
std::vector<int> buttonResults(MsgButtons buttons);

// Test double: records every request and answers from a queue. When the
// queue is empty a message gets its default button's result and an input
// is cancelled.
class ScriptedPrompt : public Prompt {
public:
    ScriptedPrompt();
    ~ScriptedPrompt() override;
    ScriptedPrompt(const ScriptedPrompt&) = delete;
    ScriptedPrompt& operator=(const ScriptedPrompt&) = delete;

    int show(PromptMessage& message) override;
    bool input(InputRequest& request) override;

    // Queue the answer to the next message.
    void answer(int modalResult) { answers_.push_back(modalResult); }
    // Queue the answer to the next input: a value, or std::nullopt-like cancel.
    void answerInput(const std::string& value) { inputs_.push_back({true, value}); }
    void cancelInput() { inputs_.push_back({false, {}}); }
    // Called on each message before it is answered (may change message.agreed).
    std::function<void(PromptMessage&)> onShow;

    std::vector<PromptMessage> messages;
    std::vector<InputRequest> inputs;
    std::vector<std::string> texts() const;

private:
    std::deque<int> answers_;
    std::deque<std::pair<bool, std::string>> inputs_;
    Prompt* previous_;
};

} // namespace platform
