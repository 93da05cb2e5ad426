#include "common/angle_text.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(AngleText, ReadsDegreesMinutesSecondsAndHemispheres)
{
    struct Case {
        const char* text;
        AngleKind kind;
        double degrees;
    } cases[] = {
        {"N35.30", AngleKind::Latitude, 35.3},
        {"S35.30", AngleKind::Latitude, -35.3},
        {"35.30'", AngleKind::Latitude, 35.5},
        {"35.30'15\"", AngleKind::Latitude, 35.0 + 30.0 / 60 + 15.0 / 3600},
        {"35.20'30\"5", AngleKind::Latitude, 35.0 + 20.0 / 60 + 30.5 / 3600},
        {"35", AngleKind::Latitude, 35.0},
        {"-12'30", AngleKind::Latitude, -12.3 / 60},
        {" N 35.5", AngleKind::Latitude, kInvalidAngle}, // the letter must come first
        {"N 35. 5", AngleKind::Latitude, 35.5},
        {"E135.30", AngleKind::Longitude, 135.3},
        {"W10", AngleKind::Longitude, -10.0},
        {"+1.30'", AngleKind::Span, 1.5},
        {"35N", AngleKind::Latitude, kInvalidAngle},
        {"35 .5", AngleKind::Latitude, kInvalidAngle},
        {"", AngleKind::Latitude, kInvalidAngle},
        {"N", AngleKind::Latitude, kInvalidAngle},
        {"N35", AngleKind::Longitude, kInvalidAngle},
        {"E1", AngleKind::Span, kInvalidAngle},
        {"35'10'", AngleKind::Latitude, kInvalidAngle},
        {"35\"10'", AngleKind::Latitude, kInvalidAngle},
        {"35'10.5", AngleKind::Latitude, kInvalidAngle}, // a full stop after minutes
        {"35.1.2", AngleKind::Latitude, kInvalidAngle},
        {"3x5", AngleKind::Latitude, kInvalidAngle},
    };
    for (const Case& c : cases) {
        double value = parseAngle(c.text, c.kind);
        if (c.degrees == kInvalidAngle)
            EXPECT_EQ(value, kInvalidAngle) << c.text;
        else
            EXPECT_NEAR(value, c.degrees, 1e-12) << c.text;
    }
}

TEST(AngleText, HugeDigitRunsDoNotOverflow)
{
    EXPECT_EQ(parseLatitude(std::string(400, '9')), kInvalidAngle);
    EXPECT_NEAR(parseLatitude("1." + std::string(300, '0')), 1.0, 1e-12);
}

} // namespace
} // namespace tavik
