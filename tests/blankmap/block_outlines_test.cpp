#include "tools/blankmap/block_outlines.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// A rectangle of pixels l..r, t..b from its corners (l, t) and (r + 1, b + 1).
QRect pixels(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

TEST(BlockOutline, IsTheRectangleLessTheBlocksOverIt)
{
    struct Case {
        const char* what;
        std::vector<QRect> above;
        std::vector<QPoint> outline;
    } cases[] = {
        {"nothing over it", {}, {{0, 0}, {100, 0}, {100, 80}, {0, 80}}},
        {"a block elsewhere", {pixels(200, 0, 300, 50)}, {{0, 0}, {100, 0}, {100, 80}, {0, 80}}},
        {"an inset at the top-left corner", {pixels(0, 0, 40, 30)},
            {{40, 0}, {100, 0}, {100, 80}, {0, 80}, {0, 30}, {40, 30}}},
        {"an inset reaching beyond the corner", {pixels(-10, -10, 40, 30)},
            {{40, 0}, {100, 0}, {100, 80}, {0, 80}, {0, 30}, {40, 30}}},
        {"a strip along the bottom", {pixels(0, 60, 100, 80)}, {{0, 0}, {100, 0}, {100, 60}, {0, 60}}},
        {"two insets", {pixels(0, 0, 40, 30), pixels(70, 50, 100, 80)},
            {{40, 0}, {100, 0}, {100, 50}, {70, 50}, {70, 80}, {0, 80}, {0, 30}, {40, 30}}},
        {"a bite out of one side", {pixels(30, 60, 50, 80)},
            {{0, 0}, {100, 0}, {100, 80}, {50, 80}, {50, 60}, {30, 60}, {30, 80}, {0, 80}}},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(blockOutline(pixels(0, 0, 100, 80), c.above, 64, error), c.outline) << c.what << ": " << error;
    }
}

TEST(BlockOutline, RefusesWhatOnePolygonCannotOutline)
{
    struct Case {
        const char* what;
        std::vector<QRect> above;
        int maxVertices;
        const char* error;
    } cases[] = {
        {"covered whole", {pixels(-5, -5, 105, 85)}, 64, "後のブロックに全体が覆われています"},
        {"a hole", {pixels(40, 30, 60, 50)}, 64, "離ればなれになるか、穴があいています"},
        {"cut in two", {pixels(40, -5, 60, 85)}, 64, "離ればなれになるか、穴があいています"},
        {"parts meeting at a corner", {pixels(0, 0, 50, 40), pixels(50, 40, 100, 80)}, 64, "角で接しています"},
        {"too many vertices", {pixels(0, 0, 40, 30)}, 5, "輪郭の頂点が 6 個になります。頂点は 5 個までです"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_TRUE(blockOutline(pixels(0, 0, 100, 80), c.above, c.maxVertices, error).empty()) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
}

} // namespace
} // namespace tavik
