#pragma once
// The prompt the program installs at start: it shows the suite's real
// windows modally (the rich message box, the memo message box, the
// one-value input dialog). Tests never install it.
#include "platform/Prompt.h"

namespace ui {

class QtPrompt : public platform::Prompt {
public:
    int show(platform::PromptMessage& message) override;
    bool input(platform::InputRequest& request) override;
};

// Installs one Qt prompt for the rest of the program's life and maps the
// suite's font names onto the installed Japanese fonts.
void installQtPrompt();

} // namespace ui
