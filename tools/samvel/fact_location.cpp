#include "tools/samvel/fact_location.h"

#include "common/text_helpers.h"

#include <charconv>
#include <cstring>

namespace tavik {
namespace {

template <size_t N>
void copyText(char (&to)[N], std::string_view text)
{
    text = cutText(text, N - 1);
    std::memcpy(to, text.data(), text.size());
    to[text.size()] = '\0';
}

}  // namespace

FactLocation::Kind FactLocation::kind() const
{
    if (areaCode != 0)
        return Kind::Area;
    if (mesh[0] != '\0')
        return Kind::Mesh;
    if (latitude[0] != '\0')
        return Kind::Coordinates;
    return Kind::None;
}

FactLocation FactLocation::area(std::int32_t code)
{
    FactLocation location;
    location.areaCode = code;
    return location;
}

FactLocation FactLocation::grid(std::string_view meshText)
{
    FactLocation location;
    copyText(location.mesh, meshText);
    return location;
}

FactLocation FactLocation::coordinates(std::string_view latitudeText, std::string_view longitudeText)
{
    FactLocation location;
    copyText(location.latitude, latitudeText);
    copyText(location.longitude, longitudeText);
    return location;
}

void FactLocation::appendText(std::string& out) const
{
    switch (kind()) {
    case Kind::Area: {
        char digits[16];
        auto result = std::to_chars(digits, digits + sizeof digits, areaCode);
        out.append(digits, result.ptr);
        break;
    }
    case Kind::Mesh:
        out += mesh;
        break;
    case Kind::Coordinates:
        out += latitude;
        out += longitude;
        break;
    case Kind::None:
        break;
    }
}

int compareLocations(const FactLocation& a, const FactLocation& b)
{
    FactLocation::Kind kindA = a.kind(), kindB = b.kind();
    if (kindA != kindB)
        return kindA < kindB ? -1 : 1;
    switch (kindA) {
    case FactLocation::Kind::Area:
        return a.areaCode < b.areaCode ? -1 : (a.areaCode > b.areaCode ? 1 : 0);
    case FactLocation::Kind::Mesh:
        return std::strcmp(a.mesh, b.mesh);
    case FactLocation::Kind::Coordinates:
        if (int order = std::strcmp(a.latitude, b.latitude))
            return order;
        return std::strcmp(a.longitude, b.longitude);
    case FactLocation::Kind::None:
        break;
    }
    return 0;
}

bool sameLocation(const FactLocation& a, const FactLocation& b)
{
    return a.kind() != FactLocation::Kind::None && compareLocations(a, b) == 0;
}

}  // namespace tavik
