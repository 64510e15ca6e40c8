#pragma once
// Connects the platform layer to a running Qt application: events are
// pumped with QCoreApplication::processEvents, a terminate request quits the
// main event loop after the current event, and folders are chosen with the
// system's folder dialog. The program calls this once after creating its
// QApplication; tests leave it out and script the hooks instead.
namespace platform {

void installQtHooks();

} // namespace platform
