// The answer seam's guards: the unattended flag comes back as it was found,
// and a script of answers leaves nothing queued.
#include "dialogs/answerseam.h"

#include <gtest/gtest.h>

TEST(AnswerSeamGuards, TheUnattendedFlagComesBackAsFound)
{
    const bool before = vek::unattended();
    for (const bool outerValue : {false, true}) {
        {
            const vek::UnattendedScope outer(outerValue);
            EXPECT_EQ(vek::unattended(), outerValue);
            {
                const vek::UnattendedScope inner(!outerValue);
                EXPECT_EQ(vek::unattended(), !outerValue);
            }
            EXPECT_EQ(vek::unattended(), outerValue);
        }
        EXPECT_EQ(vek::unattended(), before);
    }
}

TEST(AnswerSeamGuards, AScriptLeavesNoAnswerQueued)
{
    {
        const vek::ScriptedAnswers answers{1, 2};
        EXPECT_EQ(vek::queuedanswers(), 2);
    }
    EXPECT_EQ(vek::queuedanswers(), 0);
}
