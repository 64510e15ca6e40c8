#include "platform/Prompt.h"

namespace platform {

std::string PromptMessage::text() const {
    size_t last = lines.size();
    while (last > 0 && lines[last - 1].text.empty()) --last;
    std::string out;
    for (size_t i = 0; i < last; ++i) {
        if (i) out += '\r';
        out += lines[i].text;
    }
    return out;
}

void PromptMessage::setText(const std::string& text) {
    lines.clear();
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back({cur, 0, {}});
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    lines.push_back({cur, 0, {}});
}

std::vector<int> buttonResults(MsgButtons buttons) {
    static const std::pair<MsgButton, int> order[] = {
        {mbYes, mrYes},       {mbNo, mrNo},         {mbOK, mrOk},           {mbCancel, mrCancel},
        {mbAbort, mrAbort},   {mbRetry, mrRetry},   {mbIgnore, mrIgnore},   {mbAll, mrAll},
        {mbNoToAll, mrNoToAll}, {mbYesToAll, mrYesToAll}, {mbHelp, mrNone},
    };
    std::vector<int> out;
    for (auto [b, r] : order)
        if (buttons & b) out.push_back(r);
    return out;
}

namespace {

class HeadlessPrompt : public Prompt {
public:
    int show(PromptMessage& m) override {
        auto r = buttonResults(m.buttons);
        if (r.empty()) return mrOk;
        size_t slot = m.defaultButton >= 0 && static_cast<size_t>(m.defaultButton) < r.size()
                          ? static_cast<size_t>(m.defaultButton) : 0;
        return r[slot];
    }
    bool input(InputRequest&) override { return false; }
};

HeadlessPrompt g_headless;
Prompt* g_prompt = nullptr;

} // namespace

Prompt& prompt() { return g_prompt ? *g_prompt : g_headless; }

Prompt* setPrompt(Prompt* p) {
    Prompt* prev = g_prompt;
    g_prompt = p;
    return prev;
}

ScriptedPrompt::ScriptedPrompt() : previous_(setPrompt(this)) {}
ScriptedPrompt::~ScriptedPrompt() {
    if (&prompt() == this) setPrompt(previous_);
}

int ScriptedPrompt::show(PromptMessage& message) {
    if (onShow) onShow(message);
    messages.push_back(message);
    if (!answers_.empty()) {
        int r = answers_.front();
        answers_.pop_front();
        return r;
    }
    return g_headless.show(message);
}

bool ScriptedPrompt::input(InputRequest& request) {
    inputs.push_back(request);
    if (inputs_.empty()) return false;
    auto [ok, value] = inputs_.front();
    inputs_.pop_front();
    if (ok) request.value = value;
    return ok;
}

std::vector<std::string> ScriptedPrompt::texts() const {
    std::vector<std::string> out;
    for (auto& m : messages) out.push_back(m.text());
    return out;
}

} // namespace platform
