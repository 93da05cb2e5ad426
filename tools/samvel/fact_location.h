#pragma once

#include "platform/byte_compare.h"
#include "tools/samvel/coordinate.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavik {

// Where a record of the fact tables lies: an area code, a latitude and
// longitude (their texts as entered, hemisphere letter first), or a grid
// square (mesh) text "JP" and digits. Exactly one is set.
//
// The location is held as one 32-byte key whose byte order is the merge
// order: the kind first (area, mesh, coordinates, none), then the area code
// big-endian, or the mesh text, or the latitude text and the longitude text,
// each padded with zero bytes. Sorting compares keys in memcmp order, and
// millions of records cost no allocation.
class FactLocation {
public:
    static constexpr size_t meshBytes = 15;

    enum class Kind : unsigned char { Area = 0, Mesh = 1, Coordinates = 2, None = 3 };

    FactLocation();

    static FactLocation area(std::int32_t code);
    static FactLocation grid(std::string_view meshText); // cut to meshBytes
    // Stored coordinate texts (see storedCoordinate), cut to their sizes.
    static FactLocation coordinates(std::string_view latitudeText, std::string_view longitudeText);

    Kind kind() const { return static_cast<Kind>(key_[0]); }
    std::int32_t areaCode() const; // 0 unless an area
    std::string_view mesh() const; // empty unless a grid square
    std::string_view latitude() const; // empty unless coordinates
    std::string_view longitude() const;

    // The location field of the fact tables: the area code in decimal, the
    // mesh text, or the latitude text followed by the longitude text.
    void appendText(std::string& out) const;

    // Merge order: area codes ascending, then mesh texts, then latitude and
    // longitude texts, byte-wise; locations without any last. <0, 0 or >0.
    friend int compareLocations(const FactLocation& a, const FactLocation& b)
    {
        return compareBigEndianWords(a.key_, b.key_, sizeof a.key_);
    }

private:
    static constexpr size_t latitudeAt = 1;
    static constexpr size_t longitudeAt = latitudeAt + latitudeBytes + 1;
    static constexpr size_t meshAt = 1;

    std::string_view textAt(size_t at, size_t maxBytes) const;

    unsigned char key_[32];
};

// True when b is a duplicate of the run head a: the same area code, mesh
// text, or latitude and longitude texts (a location without any is never one).
inline bool sameLocation(const FactLocation& a, const FactLocation& b)
{
    return a.kind() != FactLocation::Kind::None && compareLocations(a, b) == 0;
}

} // namespace tavik
