#include "viewer/basemap/angle_text.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(AngleText, ReadsDegreesMinutesSecondsAndHemispheres)
{
    struct Case {
        const char* text;
        double latitude;
    };
    const Case cases[] = {
        {"N35.30", 35.3},
        {"S35.30", -35.3},
        {"35.30'", 35.5},
        {"35.30'15\"", 35.0 + 30 / 60.0 + 15 / 3600.0},
        {"35.20'30\"5", 35.0 + 20 / 60.0 + 30.5 / 3600.0},
        {" 35", 35.0},
        {"35N", InvalidAngle},
        {"35 .5", InvalidAngle},
        {"35.30'10'", InvalidAngle},
        {"", InvalidAngle},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(parseLatitudeText(c.text), c.latitude) << c.text;
    EXPECT_DOUBLE_EQ(parseLongitudeText("E135.30"), 135.3);
    EXPECT_DOUBLE_EQ(parseLongitudeText("W10"), -10.0);
    EXPECT_EQ(parseLongitudeText("N35"), InvalidAngle);
    EXPECT_EQ(parseSpanText("E1"), InvalidAngle);
}

} // namespace
} // namespace tavik
