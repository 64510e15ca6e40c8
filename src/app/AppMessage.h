#pragma once
// The program's standard boxes (information, warning, error, question),
// shown through the prompt. Texts use CR between lines.
#include "platform/Prompt.h"

#include <string>

namespace app {

int showBox(platform::PromptKind kind, const std::string& text, platform::MsgButtons buttons = platform::mbOK);

} // namespace app
