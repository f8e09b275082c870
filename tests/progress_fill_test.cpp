// The model of what a styled progress bar control draws for a position, which
// decides the positions the window layer sends.
#include <gtest/gtest.h>

#include <climits>

#include "platform/ProgressFill.h"

namespace {

using plat::DrawnFill;

TEST(ProgressFill, FillForPosition) {
    struct Case {
        const char* name;
        int inner, min, max, position, fill;
    };
    const Case cases[] = {
        {"empty", 368, 0, 2000, 0, 0},
        {"below a half pixel", 368, 0, 2000, 2, 0},    // 0.37 px
        {"a half pixel and more", 368, 0, 2000, 3, 1},  // 0.55 px
        {"half way", 368, 0, 2000, 1000, 184},
        {"full", 368, 0, 2000, 2000, 368},
        {"past the end is full", 368, 0, 2000, 2001, 368},
        {"before the start is empty", 368, 0, 2000, -5, 0},
        {"a range not from 0", 100, 100, 200, 150, 50},
        {"a range across 0, as wide as it goes", 368, INT_MIN, INT_MAX, 0, 184},
        {"fewer items than pixels", 366, 0, 10, 1, 37},  // 36.6 px
        {"no range", 368, 5, 5, 5, 0},
        {"unknown bar", 0, 0, 10, 5, 0},
        {"no overflow in wide ranges", 368, 0, INT_MAX, INT_MAX / 2, 184},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawnFill(c.inner, c.min, c.max, c.position), c.fill) << c.name;
    }
}

// The sending rule relies on this: the fill only grows as a run advances, and
// with more items than pixels every pixel is reached on the way, one at a time.
TEST(ProgressFill, GrowsStepByStepToTheFullBar) {
    constexpr int kInner = 366;
    for (int items : {1, 7, 366, 367, 2000, 65536}) {
        int before = DrawnFill(kInner, 0, items, 0);
        EXPECT_EQ(before, 0);
        int changes = 0;
        for (int p = 1; p <= items; ++p) {
            int now = DrawnFill(kInner, 0, items, p);
            ASSERT_GE(now, before) << items << " items, position " << p;
            if (items >= kInner) {
                ASSERT_LE(now - before, 1) << items << " items, position " << p;
            }
            if (now != before) ++changes;
            before = now;
        }
        EXPECT_EQ(before, kInner) << items;
        if (items >= kInner) {
            EXPECT_EQ(changes, kInner) << items;
        }
    }
}

}  // namespace
