#include "tools/norbek/page_composer.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(NorbekPages, HeadingsOfGridSquaresAndPoints)
{
    struct Case {
        const char* location;
        const char* heading;
    } grid[] = {
        {"JP5339", "5339"},
        {"JP533945", "5339-45"},
        {"JP53394512", "5339-4512"},
        {"JP5339451234", "5339-4512-3-4"},
        {"JP53394512123456", "5339-4512-1-2-3"}, // at most three further digits
    },
      points[] = {
          {"N35.30'E139.45'", "N35.30'  E139.45'"},
          {"S35.5W139.5", "S35.5  W139.5"},
          {"E139.5N35.5", "N35.5  E139.5"},
          {"N35.5,E139.5", "N35.5  E139.5"},
          {"N35.5", "N35.5  "},
      };
    for (const Case& c : grid)
        EXPECT_EQ(gridSquareHeading(c.location), c.heading) << c.location;
    for (const Case& c : points)
        EXPECT_EQ(pointHeading(c.location), c.heading) << c.location;
}

} // namespace
} // namespace tavik
