#include "ui/QtPrompt.h"

#include "ui/InputDlg.h"
#include "ui/MessageBox.h"
#include "ui/MessageDlg2.h"
#include "ui/UiCommon.h"

#include <QApplication>
#include <memory>

namespace ui {

int QtPrompt::show(platform::PromptMessage& message) {
    if (message.source == "TMessageBox") {
        auto box = std::make_unique<TMessageBox>(QApplication::activeWindow());
        box->KeepAlive = true;
        box->setFromPrompt(message);
        const int r = box->runModal();
        message.agreed = box->agreed();
        return r;
    }
    auto box = std::make_unique<TMessageBox2>(QApplication::activeWindow());
    box->Info = fromPromptMessage(message);
    box->Setup(1);
    const int r = box->runModal();
    message.agreed = box->agreed();
    return r == 0 ? platform::mrCancel : r;
}

bool QtPrompt::input(platform::InputRequest& request) {
    auto dlg = std::make_unique<TInputDlgBox>(QApplication::activeWindow());
    dlg->KeepAlive = true;
    dlg->setFromRequest(request);
    const int r = dlg->runModal();
    if (r != platform::mrOk) return false;
    dlg->writeBack(request);
    return true;
}

void installQtPrompt() {
    installJapaneseFonts();
    static QtPrompt prompt;
    platform::setPrompt(&prompt);
}

} // namespace ui
