#include "platform/AppEvents.h"

#include <atomic>
#include <utility>

namespace platform {
namespace {
std::function<void()>& pumpSlot() {
    static std::function<void()> pump;
    return pump;
}
std::function<void()>& terminateSlot() {
    static std::function<void()> handler;
    return handler;
}
std::atomic<bool> terminateFlag{false};
} // namespace

void pumpEvents() {
    if (auto& pump = pumpSlot()) pump();
}

std::function<void()> setEventPump(std::function<void()> pump) {
    return std::exchange(pumpSlot(), std::move(pump));
}

void requestTerminate() {
    terminateFlag = true;
    if (auto& handler = terminateSlot()) handler();
}

bool terminateRequested() { return terminateFlag; }

void clearTerminateRequest() { terminateFlag = false; }

std::function<void()> setTerminateHandler(std::function<void()> handler) {
    return std::exchange(terminateSlot(), std::move(handler));
}

} // namespace platform
