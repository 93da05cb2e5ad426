// The three angle-text parsers and the import's coordinate parser: no crash,
// a finite value or the invalid-angle value, an error code of the list; and
// a text the import accepts is stored as one the maps read.
#include "common/angle_text.h"
#include "fuzz/fuzz_support.h"
#include "tools/samvel/coordinate.h"

#include <cmath>

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text = fuzz::asText(data, size);
    for (AngleKind kind : {AngleKind::Latitude, AngleKind::Longitude, AngleKind::Span}) {
        double value = parseAngle(text, kind);
        FUZZ_CHECK(value == kInvalidAngle || std::isfinite(value));
    }
    for (CoordinateAxis axis : {CoordinateAxis::Latitude, CoordinateAxis::Longitude}) {
        CoordinateError error = checkCoordinate(text, axis);
        FUZZ_CHECK(static_cast<int>(error) >= 0 && static_cast<int>(error) <= 11);
        if (error == CoordinateError::None) {
            const AngleKind kind = axis == CoordinateAxis::Latitude ? AngleKind::Latitude : AngleKind::Longitude;
            FUZZ_CHECK(parseAngle(storedCoordinate(text, axis), kind) != kInvalidAngle);
        } else
            FUZZ_CHECK(!coordinateErrorMessage(1, text, error).empty());
    }
    return 0;
}
