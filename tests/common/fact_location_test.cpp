// The form of a fact table's location, with the one place the programs have
// always read it differently: which texts are grid squares in samvel's
// reading of the species-literature table.
#include "common/fact_location.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace tavik {
namespace {

TEST(FactLocation, EveryProgramReadsTheFormAlikeButForTheSquareMark)
{
    using enum LocationForm;
    struct Case {
        const char* text;
        LocationForm distribution; // and norbek's species-literature reading
        LocationForm samvelSpeciesLiterature;
    } cases[] = {
        {"JP53394512", GridSquare, GridSquare}, // what samvel writes
        {"J5339", GridSquare, GridSquare},
        {"XP5339", GridSquare, AreaCode},
        {"XJ5339", AreaCode, GridSquare},
        {"N35.30'E139.45'", Coordinates, Coordinates},
        {"E139.45'N35.30'", Coordinates, Coordinates},
        {"NP", GridSquare, Coordinates}, // the square mark is read first
        {"101", AreaCode, AreaCode},
        {"", AreaCode, AreaCode},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(locationForm(c.text, SquareMark::JFirstOrPSecond), c.distribution) << c.text;
        EXPECT_EQ(locationForm(c.text, SquareMark::JFirstOrSecond), c.samvelSpeciesLiterature) << c.text;
    }
    EXPECT_TRUE(latitudeComesFirst("S1W2"));
    EXPECT_FALSE(latitudeComesFirst("W2S1"));
}

TEST(FactLocation, TheTwoSplitsOfCoordinatesDifferOnlyWhereBothLettersOfTheOtherAxisStand)
{
    auto split = [](std::string_view text, CoordinateSplit rule) {
        const CoordinateTexts texts = splitCoordinates(text, rule);
        return std::pair(std::string(texts.first), std::string(texts.second));
    };
    using Texts = std::pair<std::string, std::string>;
    for (CoordinateSplit rule : {CoordinateSplit::AtEitherLetter, CoordinateSplit::WhereTheSecondBegins}) {
        EXPECT_EQ(split("N35.5E139.5", rule), Texts("N35.5", "E139.5"));
        EXPECT_EQ(split("N35.5,E139.5", rule), Texts("N35.5", "E139.5"));
        EXPECT_EQ(split("E139.5S35.5", rule), Texts("E139.5", "S35.5"));
        EXPECT_EQ(split("N35.5", rule), Texts("N35.5", ""));
    }
    EXPECT_EQ(split("N35W1E139", CoordinateSplit::AtEitherLetter), Texts("N35", "E139"));
    EXPECT_EQ(split("N35W1E139", CoordinateSplit::WhereTheSecondBegins), Texts("N35W1", "E139"));
}

} // namespace
} // namespace tavik
