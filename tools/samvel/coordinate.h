#pragma once

#include "platform/cp932_text.h"

#include <string>
#include <string_view>

namespace tavik {

enum class CoordinateAxis { Latitude, Longitude };

// Result of checking a coordinate text; the numbers are those of the messages.
enum class CoordinateError {
    None = 0,
    Empty = 1, // "データ無し"
    BadOrder = 2, // a mark or a hemisphere sign out of place
    MinutesTwice = 3,
    SecondsTwice = 4,
    BadBlank = 5, // a blank after a digit of the group being written
    BadLatitudeCharacter = 6,
    BadLongitudeCharacter = 7,
    LatitudeRange = 8, // degrees above 90
    LongitudeRange = 9, // degrees above 180
    MinutesRange = 10, // 60 minutes or more
    SecondsRange = 11, // 60 seconds or more
};

// Checks a latitude or longitude written as degrees, minutes (') and seconds
// ("), with "." between degrees and minutes or as a decimal point, and an
// optional hemisphere sign first (N, S, + or - for latitudes; E, W, + or -
// for longitudes). The import keeps the text, so only the verdict is returned.
CoordinateError checkCoordinate(std::string_view text, CoordinateAxis axis);

// "<row> 行目: <text>  <error text>" (cp932), with the valid range for the
// range errors.
Cp932Text coordinateErrorMessage(long row, std::string_view text, CoordinateError error);

// The text as stored in the fact tables: always beginning with a hemisphere
// letter ("-" becomes S or W, "+" N or E, none gets N or E put in front), cut
// to 14 bytes (latitude) or 15 bytes (longitude).
std::string storedCoordinate(std::string_view text, CoordinateAxis axis);

// Checks a latitude and then a longitude; at the first fault leaves its
// message (as coordinateErrorMessage gives it) and returns false.
bool checkCoordinatePair(std::string_view latitude, std::string_view longitude, long row, Cp932Text& message);

// A coordinates location of a fact table ("N35.5E139.5", "E139.5N35.5",
// "N35.5,E139.5") as samvel stores it again: the latitude and longitude
// texts, each cut to its bytes, checked and stored (storedCoordinate). False,
// with the message of the first fault, when either is faulty.
bool readCoordinateLocation(
    std::string_view text, long row, std::string& latitude, std::string& longitude, Cp932Text& message);

// Bytes a stored coordinate keeps.
constexpr size_t latitudeBytes = 14;
constexpr size_t longitudeBytes = 15;

} // namespace tavik
