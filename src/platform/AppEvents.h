#pragma once
// The application's event loop as the shared code sees it: a pump that
// processes pending events while a long operation waits, and the request to
// end the application.
//
// The Qt layer installs QCoreApplication::processEvents as the pump and a
// terminate handler that quits the event loop. Without a handler a terminate
// request is only recorded, so tests observe it and the process never exits.
#include <functional>

namespace platform {

// Processes pending events once (no-op until a pump is installed).
void pumpEvents();
// Installs the pump; an empty function removes it. Returns the previous one.
std::function<void()> setEventPump(std::function<void()> pump);

// Waits ms milliseconds on the monotonic clock, pumping events and sleeping
// 1 ms between turns, so the user interface stays alive while a caller
// polls a worker or a child process.
void waitMs(int ms);

// Asks the application to end after the current event. The request is
// recorded (terminateRequested) and the installed handler, if any, runs.
void requestTerminate();
bool terminateRequested();
// Forgets an earlier request (tests).
void clearTerminateRequest();
// Installs the terminate handler; returns the previous one.
std::function<void()> setTerminateHandler(std::function<void()> handler);

} // namespace platform
