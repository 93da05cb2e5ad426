#pragma once

#include "tests/support/test_folder.h"

#include <random>
#include <string>

namespace tavik::test {

// Reference tables for the tools and an input table of `rows` rows over
// 2,000 species, in `directory` (which must exist). Species codes are filled
// in unless `withoutCodes`, which leaves them for ludric.
inline void writeLargeDatabase(
    const std::string& directory, const std::string& inputName, int rows, unsigned seed, bool withoutCodes = false)
{
    std::string species, areas, literature;
    for (int s = 1; s <= 2000; ++s)
        species += std::to_string(s * 10) + ",Species " + std::to_string(s) + ",Author,1900,,0,,Name"
            + std::to_string(s) + "\r\n";
    for (int a = 1; a <= 300; ++a)
        areas += std::to_string(1000 + a) + ",,,Area,35,139,0,0,,\r\n";
    for (int l = 1; l <= 50; ++l)
        literature += "L" + std::to_string(l) + ",Author,1990,Title " + std::to_string(l) + "\r\n";
    writeBytes(directory + "/species.csv", species);
    writeBytes(directory + "/area.csv", areas);
    writeBytes(directory + "/litera.csv", literature);
    writeBytes(directory + "/tavik.ini", "[Capacity]\r\nSpeciesMax=2000\r\nAreaMax=300\r\nLiteraMax=50\r\n");

    // Nine fields: name, flag, code, area, literature, rank, latitude,
    // longitude, grid square; half the rows name an area, half a square.
    std::mt19937 random(seed);
    std::string input;
    for (int r = 0; r < rows; ++r) {
        int s = 1 + static_cast<int>(random() % 2000);
        bool byArea = random() % 2;
        std::string area = byArea ? std::to_string(1001 + random() % 300) : "";
        std::string square = byArea ? ""
                                    : std::to_string(5000 + random() % 1000) + "-" + std::to_string(random() % 8)
                + std::to_string(random() % 8);
        input += "Species " + std::to_string(s) + ",," + (withoutCodes ? "" : std::to_string(s * 10)) + "," + area
            + ",L" + std::to_string(1 + random() % 50) + "," + "ABCZ"[random() % 4] + ",,," + square + "\r\n";
    }
    writeBytes(directory + "/" + inputName, input);
}

} // namespace tavik::test
