#include "platform/QtHooks.h"

#include <QApplication>
#include <QFileDialog>
#include <QMetaObject>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

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

namespace {

constexpr int kEndSignals[3] = {SIGTERM, SIGHUP, SIGINT};
// The write end of the live instance's pipe; -1 when there is none.
volatile std::sig_atomic_t endSignalFd = -1;

extern "C" void onEndSignal(int sig) {
    const int saved = errno;
    const char byte = static_cast<char>(sig);
    if (endSignalFd >= 0)
        [[maybe_unused]] auto n = ::write(endSignalFd, &byte, 1);
    errno = saved;
}

} // namespace

EndSessionSignals::EndSessionSignals(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
    if (endSignalFd >= 0)
        throw std::logic_error("end-of-session signals are already handled");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0)
        throw std::runtime_error("cannot create the signal channel");
    notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, [this] {
        char buf[16];
        bool any = false;
        while (::read(fds_[0], buf, sizeof buf) > 0)
            any = true;
        if (any && onEnd_)
            onEnd_();
    });
    endSignalFd = fds_[1];
    struct sigaction sa {};
    sa.sa_handler = onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kEndSignals[i], &sa, &old_[i]);
}

EndSessionSignals::~EndSessionSignals() {
    for (int i = 0; i < 3; ++i)
        ::sigaction(kEndSignals[i], &old_[i], nullptr);
    endSignalFd = -1;
    delete notifier_;
    ::close(fds_[0]);
    ::close(fds_[1]);
}

} // namespace platform
