#include "platform/QtHooks.h"

#include <QApplication>
#include <QFileDialog>
#include <QMetaObject>

#include "platform/AppEvents.h"
#include "platform/Browse.h"

namespace platform {

void installQtHooks() {
    setEventPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    setTerminateHandler([] {
        if (auto* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    setFolderBrowser([](const std::string& title, const std::string& root, std::string& path) {
        QString start = QString::fromStdString(path.empty() ? root : path);
        QString chosen = QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString::fromStdString(title),
                                                           start, QFileDialog::ShowDirsOnly);
        if (chosen.isEmpty()) return false;
        path = chosen.toStdString();
        return true;
    });
}

} // namespace platform
