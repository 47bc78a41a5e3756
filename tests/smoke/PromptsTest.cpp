#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

TEST(ScriptedPrompts, AnswersInOrderAndFallsBackToCancel) {
    ScriptedPrompts p;
    p.answer(Prompts::Answer::Yes);
    EXPECT_TRUE(prompts().confirmYesNo("first"));
    EXPECT_FALSE(prompts().confirmOkCancel("second"));
    EXPECT_EQ(p.texts(), QStringList({"first", "second"}));
}
