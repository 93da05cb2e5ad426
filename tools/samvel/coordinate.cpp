#include "tools/samvel/coordinate.h"

#include "common/angle_text.h"
#include "common/fact_location.h"
#include "common/text_helpers.h"
#include "platform/cp932.h"
#include "platform/report_text.h"
#include "platform/text_numbers.h"

#include <utility>

namespace tavik {

CoordinateError checkCoordinate(std::string_view text, CoordinateAxis axis)
{
    if (text.empty())
        return CoordinateError::Empty;
    const bool latitude = axis == CoordinateAxis::Latitude;
    const char positive = latitude ? 'N' : 'E';
    const char negative = latitude ? 'S' : 'W';
    std::string buffer, degrees, minutes, seconds;
    bool minutesGiven = false, secondsGiven = false, markSeen = false;

    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            buffer += c;
        } else if (c == '.') {
            if (minutesGiven || secondsGiven)
                return CoordinateError::BadOrder;
            degrees = std::move(buffer);
            buffer.clear();
            markSeen = true;
        } else if (c == '\'') {
            if (minutesGiven)
                return CoordinateError::MinutesTwice;
            if (secondsGiven)
                return CoordinateError::BadOrder;
            minutes = std::move(buffer);
            buffer.clear();
            minutesGiven = markSeen = true;
        } else if (c == '"') {
            if (secondsGiven)
                return CoordinateError::SecondsTwice;
            seconds = std::move(buffer);
            buffer.clear();
            secondsGiven = markSeen = true;
        } else if (c == positive || c == negative || c == '+' || c == '-') {
            if (i != 0)
                return CoordinateError::BadOrder;
        } else if (c == ' ' || c == '\t') {
            if (!buffer.empty())
                return CoordinateError::BadBlank;
        } else {
            return latitude ? CoordinateError::BadLatitudeCharacter : CoordinateError::BadLongitudeCharacter;
        }
    }
    if (!buffer.empty()) {
        // Digits after a mark are the decimal fraction of the last unit given.
        if (!markSeen)
            degrees = buffer;
        else if (secondsGiven)
            seconds += "." + buffer;
        else if (minutesGiven)
            minutes += "." + buffer;
        else
            degrees += "." + buffer;
    }

    const double limit = latitude ? 90.0 : 180.0;
    const CoordinateError rangeError = latitude ? CoordinateError::LatitudeRange : CoordinateError::LongitudeRange;
    double d = parseReal(degrees), m = parseReal(minutes), s = parseReal(seconds);
    if (d > limit)
        return rangeError;
    if (m >= 60.0)
        return CoordinateError::MinutesRange;
    if (s >= 60.0)
        return CoordinateError::SecondsRange;
    if (d + m / 60.0 + s / 3600.0 > limit)
        return rangeError;
    // The checks above let through texts without a number ("'", "+.") or
    // with a second full stop (".09.6."), which the maps cannot read: such a
    // record would be stored and never drawn. The stored text must be an
    // angle the maps read.
    const AngleKind kind = latitude ? AngleKind::Latitude : AngleKind::Longitude;
    if (parseAngle(storedCoordinate(text, axis), kind) == kInvalidAngle)
        return CoordinateError::BadOrder;
    return CoordinateError::None;
}

bool checkCoordinatePair(std::string_view latitude, std::string_view longitude, long row, Cp932Text& message)
{
    const std::pair<std::string_view, CoordinateAxis> parts[]
        = {{latitude, CoordinateAxis::Latitude}, {longitude, CoordinateAxis::Longitude}};
    for (const auto& [text, axis] : parts) {
        CoordinateError fault = checkCoordinate(text, axis);
        if (fault != CoordinateError::None) {
            message = coordinateErrorMessage(row, text, fault);
            return false;
        }
    }
    return true;
}

Cp932Text coordinateErrorMessage(long row, std::string_view text, CoordinateError error)
{
    std::string shown = quotedForReport(text);
    const char* range = nullptr;
    const char* reason = "";
    switch (error) {
    case CoordinateError::None:
        break;
    case CoordinateError::Empty:
        reason = "データ無し";
        break;
    case CoordinateError::BadOrder:
        reason = "文字順序不正";
        break;
    case CoordinateError::MinutesTwice:
        reason = "分が重複記述されています";
        break;
    case CoordinateError::SecondsTwice:
        reason = "秒が重複記述されています";
        break;
    case CoordinateError::BadBlank:
        reason = "不正な空白が含まれています";
        break;
    case CoordinateError::BadLatitudeCharacter:
        reason = "緯度に不正な文字が含まれています";
        break;
    case CoordinateError::BadLongitudeCharacter:
        reason = "経度に不正な文字が含まれています";
        break;
    case CoordinateError::LatitudeRange:
        range = "0 <= degree <= 90";
        break;
    case CoordinateError::LongitudeRange:
        range = "0 <= degree <= 180";
        break;
    case CoordinateError::MinutesRange:
        range = "0 <= minute < 60";
        break;
    case CoordinateError::SecondsRange:
        range = "0 <= second < 60";
        break;
    }
    if (range)
        return cp932Printf(
            "%ld 行目: %s  %s   %s", row, shown.c_str(), cp932Literal("値が大きすぎます").c_str(), range);
    return cp932Printf("%ld 行目: %s  %s", row, shown.c_str(), cp932Literal(reason).c_str());
}

std::string storedCoordinate(std::string_view text, CoordinateAxis axis)
{
    const bool latitude = axis == CoordinateAxis::Latitude;
    const char positive = latitude ? 'N' : 'E';
    const char negative = latitude ? 'S' : 'W';
    std::string stored;
    if (!text.empty() && (text[0] == positive || text[0] == negative)) {
        stored.assign(text);
    } else if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        stored = text[0] == '-' ? negative : positive;
        stored.append(text.substr(1));
    } else {
        stored = positive;
        stored.append(text);
    }
    return std::string(cutText(stored, latitude ? latitudeBytes : longitudeBytes));
}

bool readCoordinateLocation(
    std::string_view text, long row, std::string& latitude, std::string& longitude, Cp932Text& message)
{
    const CoordinateTexts texts = splitCoordinates(text, CoordinateSplit::WhereTheSecondBegins);
    const bool latitudeFirst = latitudeComesFirst(text);
    std::string_view latitudeText = cutText(latitudeFirst ? texts.first : texts.second, latitudeBytes);
    std::string_view longitudeText = cutText(latitudeFirst ? texts.second : texts.first, longitudeBytes);
    if (!checkCoordinatePair(latitudeText, longitudeText, row, message))
        return false;
    latitude = storedCoordinate(latitudeText, CoordinateAxis::Latitude);
    longitude = storedCoordinate(longitudeText, CoordinateAxis::Longitude);
    return true;
}

} // namespace tavik
