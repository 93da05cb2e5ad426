#pragma once

#include <cstddef>

// The columns of the database's tables, numbered from 0. Every program
// reads and writes the tables by these names, so a column is placed once.
namespace tavik {

// species.csv
namespace speciesColumn {
inline constexpr std::size_t code = 0;
inline constexpr std::size_t scientificName = 1;
inline constexpr std::size_t author = 2;
inline constexpr std::size_t year = 3;
inline constexpr std::size_t parenthesis = 4; // "C": the author and year are printed in parentheses
inline constexpr std::size_t phyleticCode = 5;
inline constexpr std::size_t groupName = 6;
inline constexpr std::size_t alias1 = 7;
inline constexpr std::size_t groupAlias1 = 8;
inline constexpr std::size_t alias2 = 9;
inline constexpr std::size_t groupAlias2 = 10;
inline constexpr std::size_t count = 11;
} // namespace speciesColumn

// phyletic.csv
namespace phyleticColumn {
inline constexpr std::size_t code = 0;
inline constexpr std::size_t name = 1;
inline constexpr std::size_t parentCode = 2;
inline constexpr std::size_t alias1 = 3;
inline constexpr std::size_t alias2 = 4;
inline constexpr std::size_t count = 5;
} // namespace phyleticColumn

// area.csv (columns 1 and 2 are read by no program)
namespace areaColumn {
inline constexpr std::size_t code = 0;
inline constexpr std::size_t name = 3;
inline constexpr std::size_t latitude = 4;
inline constexpr std::size_t longitude = 5;
inline constexpr std::size_t x = 6; // pixels on the base image
inline constexpr std::size_t y = 7;
inline constexpr std::size_t fill = 8; // "F": the area's region is filled
inline constexpr std::size_t alias1 = 9;
inline constexpr std::size_t alias2 = 10;
inline constexpr std::size_t furtherName = 11;
inline constexpr std::size_t largeRegion = 12;
inline constexpr std::size_t smallRegion = 13;
inline constexpr std::size_t count = 14;
} // namespace areaColumn

// litera.csv
namespace literatureColumn {
inline constexpr std::size_t code = 0;
inline constexpr std::size_t author = 1;
inline constexpr std::size_t year = 2;
inline constexpr std::size_t title = 3;
inline constexpr std::size_t bookCode = 4;
inline constexpr std::size_t firstParticular = 5; // three: 5, 6 and 7
inline constexpr std::size_t note = 8; // kept, not printed
inline constexpr std::size_t author1 = 9;
inline constexpr std::size_t title1 = 10;
inline constexpr std::size_t author2 = 11;
inline constexpr std::size_t title2 = 12;
} // namespace literatureColumn

// book.csv
namespace bookColumn {
inline constexpr std::size_t code = 0;
inline constexpr std::size_t title = 1;
inline constexpr std::size_t title1 = 2;
inline constexpr std::size_t title2 = 3;
} // namespace bookColumn

} // namespace tavik
