#include "platform/Prompt.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Prompt, ScriptedPromptRecordsAndAnswers) {
    ScriptedPrompt sp;
    sp.answer(mrNo);
    PromptMessage m;
    m.setText("一行目\r二行目");
    m.buttons = mbYes | mbNo;
    EXPECT_EQ(prompt().show(m), mrNo);
    // Queue empty: the default slot's result.
    m.defaultButton = 1;
    EXPECT_EQ(prompt().show(m), mrNo);
    m.defaultButton = 0;
    EXPECT_EQ(prompt().show(m), mrYes);
    ASSERT_EQ(sp.messages.size(), 3u);
    EXPECT_EQ(sp.texts()[0], "一行目\r二行目");

    InputRequest in;
    EXPECT_FALSE(prompt().input(in));
    sp.answerInput("42");
    EXPECT_TRUE(prompt().input(in));
    EXPECT_EQ(in.value, "42");
}

TEST(Prompt, ButtonSlotsFollowTheStandardOrder) {
    EXPECT_EQ(buttonResults(mbCancel | mbOK | mbNo | mbYes), (std::vector<int>{mrYes, mrNo, mrOk, mrCancel}));
}
