#include "app/AppMessage.h"

namespace app {

int showBox(platform::PromptKind kind, const std::string& text, platform::MsgButtons buttons) {
    platform::PromptMessage m;
    m.source = "MessageDlg";
    m.kind = kind;
    m.buttons = buttons;
    m.setText(text);
    return platform::prompt().show(m);
}

} // namespace app
