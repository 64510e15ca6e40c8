#include "ui/QtPrompt.h"

#include "ui/InputDlg.h"
#include "ui/MessageBox.h"
#include "ui/MessageDlg2.h"
#include "ui/UiCommon.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace ui {

namespace {

// The platform's plain message dialog: any number of lines, the standard
// buttons with the suite's captions.
int showPlain(platform::PromptMessage& m) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(qs(m.title));
    box.setText(qs(m.text()).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (m.kind) {
    case platform::pkWarning: box.setIcon(QMessageBox::Warning); break;
    case platform::pkError: box.setIcon(QMessageBox::Critical); break;
    case platform::pkInformation: box.setIcon(QMessageBox::Information); break;
    case platform::pkConfirmation: box.setIcon(QMessageBox::Question); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    static const platform::MsgButton order[] = {
        platform::mbYes,   platform::mbNo,  platform::mbOK,    platform::mbCancel,   platform::mbAbort,
        platform::mbRetry, platform::mbIgnore, platform::mbAll, platform::mbNoToAll, platform::mbYesToAll,
    };
    const auto results = platform::buttonResults(m.buttons);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    size_t slot = 0;
    for (auto b : order) {
        if (!(m.buttons & b)) continue;
        std::string caption = standardButtonCaption(b);
        if (slot < m.buttonCaptions.size() && !m.buttonCaptions[slot].empty()) caption = m.buttonCaptions[slot];
        auto* pb = box.addButton(qs(caption), QMessageBox::AcceptRole);
        buttons.emplace_back(pb, results[slot]);
        if (static_cast<int>(slot) == m.defaultButton) box.setDefaultButton(static_cast<QPushButton*>(pb));
        ++slot;
    }
    if (buttons.empty()) buttons.emplace_back(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole), platform::mrOk);
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    for (auto& [b, r] : buttons)
        if (box.clickedButton() == b) return r;
    return platform::mrCancel;
}

} // namespace

int QtPrompt::show(platform::PromptMessage& message) {
    if (message.source == "TMessageBox") {
        auto box = std::make_unique<TMessageBox>(QApplication::activeWindow());
        box->KeepAlive = true;
        box->setFromPrompt(message);
        const int r = box->runModal();
        message.agreed = box->agreed();
        return r;
    }
    if (message.source != "TMessageBox2") return showPlain(message);
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
