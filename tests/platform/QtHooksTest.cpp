#include <gtest/gtest.h>

#include <QTimer>

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
