#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavik {

// Where a record of the fact tables lies: an area code, a latitude and
// longitude (their texts as entered, hemisphere letter first), or a grid
// square (mesh) text "JP" and digits. Exactly one is set; the texts are held
// in fixed arrays so that millions of records cost no allocation.
struct FactLocation {
    static constexpr size_t meshBytes = 15;

    std::int32_t areaCode = 0; // 0 when none
    char latitude[15] = {};    // up to 14 bytes, NUL-terminated
    char longitude[16] = {};   // up to 15 bytes
    char mesh[16] = {};        // up to 15 bytes

    // The kinds in the order the merge sorts them.
    enum class Kind { Area = 0, Mesh = 1, Coordinates = 2, None = 3 };
    Kind kind() const;

    static FactLocation area(std::int32_t code);
    static FactLocation grid(std::string_view meshText);  // cut to meshBytes
    // Stored coordinate texts (see storedCoordinate); cut to their arrays.
    static FactLocation coordinates(std::string_view latitudeText, std::string_view longitudeText);

    // The location field of the fact tables: the area code in decimal, the
    // mesh text, or the latitude text followed by the longitude text.
    void appendText(std::string& out) const;
};

// Merge order: area codes ascending, then mesh texts, then latitude and
// longitude texts, byte-wise; locations without any last. <0, 0 or >0.
int compareLocations(const FactLocation& a, const FactLocation& b);

// True when b is a duplicate of the run head a: the same area code, mesh
// text, or latitude and longitude texts (a location without any is never one).
bool sameLocation(const FactLocation& a, const FactLocation& b);

}  // namespace tavik
