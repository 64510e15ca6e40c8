#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/CallerLink.h"
#include "support/TempDir.h"

using namespace platform;

TEST(CallerLinkTest, NoticesReachTheListener) {
    testsupport::TempDir dir;
    setenv("ZR_RUNTIME_DIR", dir.str().c_str(), 1);
    {
        CallerListener caller(4242);
        ASSERT_TRUE(caller.ok());
        EXPECT_TRUE(setCallerEnabled(4242, false));
        EXPECT_TRUE(postToCaller(4242, 0x8001, 0, 2));
        EXPECT_TRUE(setCallerEnabled(4242, true));

        auto n = caller.receive(1000);
        ASSERT_TRUE(n);
        EXPECT_EQ(n->kind, CallerNotice::Disable);
        n = caller.receive(1000);
        ASSERT_TRUE(n);
        EXPECT_EQ(n->kind, CallerNotice::Post);
        EXPECT_EQ(n->message, 0x8001u);
        EXPECT_EQ(n->wParam, 0);
        EXPECT_EQ(n->lParam, 2);
        n = caller.receive(1000);
        ASSERT_TRUE(n);
        EXPECT_EQ(n->kind, CallerNotice::Enable);
        EXPECT_FALSE(caller.receive(10));
    }
    // The caller has gone: sending reports it, nothing more.
    EXPECT_FALSE(postToCaller(4242, 1, 0, 0));
    EXPECT_FALSE(setCallerEnabled(0, true));
    unsetenv("ZR_RUNTIME_DIR");
}

TEST(CallerLinkTest, ParsesOnlyWellFormedNotices) {
    EXPECT_TRUE(parseCallerNotice("post 1 -2 3"));
    for (const char* bad : {"", "post", "post 1 2", "post 1 2 3 4", "post -1 0 0", "Enable", "post a b c"})
        EXPECT_FALSE(parseCallerNotice(bad)) << bad;
}
