// The model of what a styled progress bar control draws for a position, which
// decides the positions the window layer sends.
#include <gtest/gtest.h>

#include <climits>

#include "platform/ProgressFill.h"

namespace {

using plat::DrawnFill;
using plat::ProgressBarLook;

TEST(ProgressFill, FillForPosition) {
    struct Case {
        const char* name;
        ProgressBarLook look;
        int min, max, position, fill;
    };
    const Case cases[] = {
        {"empty", {368, 1}, 0, 2000, 0, 0},
        {"below a half pixel", {368, 1}, 0, 2000, 2, 0},    // 0.37 px
        {"a half pixel and more", {368, 1}, 0, 2000, 3, 1},  // 0.55 px
        {"half way", {368, 1}, 0, 2000, 1000, 184},
        {"full", {368, 1}, 0, 2000, 2000, 368},
        {"past the end is full", {368, 1}, 0, 2000, 2001, 368},
        {"before the start is empty", {368, 1}, 0, 2000, -5, 0},
        {"a range not from 0", {100, 1}, 100, 200, 150, 50},
        {"rounded up to a whole block", {366, 14}, 0, 10, 1, 42},  // 36.6 px
        {"a block edge stays", {366, 14}, 0, 366, 28, 28},
        {"the last block is cut", {366, 14}, 0, 10, 10, 366},
        {"no range", {368, 1}, 5, 5, 5, 0},
        {"unknown drawing", {0, 1}, 0, 10, 5, 0},
        {"no overflow in wide ranges", {368, 1}, 0, INT_MAX, INT_MAX / 2, 184},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawnFill(c.look, c.min, c.max, c.position), c.fill) << c.name;
    }
}

// The sending rule relies on this: the fill only grows as a run advances,
// and every pixel of a per-pixel bar is reached on the way.
TEST(ProgressFill, GrowsStepByStepToTheFullBar) {
    for (int items : {1, 7, 366, 367, 2000, 65536}) {
        const ProgressBarLook look{366, 1};
        int before = DrawnFill(look, 0, items, 0);
        EXPECT_EQ(before, 0);
        int changes = 0;
        for (int p = 1; p <= items; ++p) {
            int now = DrawnFill(look, 0, items, p);
            ASSERT_GE(now, before) << items << " items, position " << p;
            if (items >= look.inner) {
                ASSERT_LE(now - before, 1) << items << " items, position " << p;
            }
            if (now != before) ++changes;
            before = now;
        }
        EXPECT_EQ(before, 366) << items;
        if (items >= 366) {
            EXPECT_EQ(changes, 366) << items;
        }
    }
}

TEST(ProgressFill, MulDivRoundsHalfUp) {
    EXPECT_EQ(plat::MulDivRounded(1, 1, 2), 1);
    EXPECT_EQ(plat::MulDivRounded(1, 1, 3), 0);
    EXPECT_EQ(plat::MulDivRounded(2, 1, 3), 1);
    EXPECT_EQ(plat::MulDivRounded(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(plat::MulDivRounded(5, 7, 0), 0);
}

}  // namespace
