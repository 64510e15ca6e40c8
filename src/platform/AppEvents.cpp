#include "platform/AppEvents.h"

#include <atomic>
#include <chrono>
#include <thread>
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

void waitMs(int ms) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0);
    while (clock::now() < deadline) {
        pumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
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
