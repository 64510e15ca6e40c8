#include <gtest/gtest.h>

#include <QTimer>

#include <csignal>
#include <stdexcept>

#include "platform/AppEvents.h"
#include "platform/Browse.h"
#include "platform/QtHooks.h"

TEST(QtHooksTest, WaitingRunsQtEventsAndTerminateIsRecorded) {
    platform::installQtHooks();
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    platform::waitMs(20);
    EXPECT_TRUE(ran);

    platform::clearTerminateRequest();
    platform::requestTerminate(); // queued quit: no loop runs here, so nothing ends
    EXPECT_TRUE(platform::terminateRequested());
    platform::waitMs(5);

    platform::setEventPump({});
    platform::setTerminateHandler({});
    platform::setFolderBrowser({});
    platform::clearTerminateRequest();
}

TEST(QtHooksTest, EndOfSessionSignalsRunTheHandlerOnTheEventLoop) {
    platform::installQtHooks();
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    {
        int ended = 0;
        platform::EndSessionSignals endSession([&] { ++ended; });
        EXPECT_THROW(platform::EndSessionSignals([] {}), std::logic_error);
        for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
            const int was = ended;
            ASSERT_EQ(raise(sig), 0); // the process survives
            EXPECT_EQ(ended, was) << "not inside the signal handler";
            for (int i = 0; i < 100 && ended == was; ++i)
                platform::waitMs(5);
            EXPECT_EQ(ended, was + 1) << sig;
        }
    }
    struct sigaction after {};
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler) << "the earlier handling is back";
    platform::setEventPump({});
    platform::setTerminateHandler({});
    platform::setFolderBrowser({});
}
