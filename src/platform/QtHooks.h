#pragma once
// Connects the platform layer to a running Qt application: events are
// pumped with QCoreApplication::processEvents, a terminate request quits the
// main event loop after the current event, and folders are chosen with the
// system's folder dialog. The program calls this once after creating its
// QApplication; tests leave it out and script the hooks instead.
#include <csignal>
#include <functional>

class QSocketNotifier;

namespace platform {

void installQtHooks();

// The end of the session: SIGTERM (logout, shutdown, kill), SIGHUP (the
// terminal went away) and SIGINT. While an instance lives, each of them runs
// onEnd on the event loop instead of killing the process, so the program can
// end the way closing its windows ends it: the open data set is released and
// a caller still hears the result. The earlier handling comes back when the
// instance is destroyed. One instance at a time.
class EndSessionSignals {
public:
    explicit EndSessionSignals(std::function<void()> onEnd);
    ~EndSessionSignals();
    EndSessionSignals(const EndSessionSignals&) = delete;
    EndSessionSignals& operator=(const EndSessionSignals&) = delete;

private:
    std::function<void()> onEnd_;
    int fds_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction old_[3];
};

} // namespace platform
