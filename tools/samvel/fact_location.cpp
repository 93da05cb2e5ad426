#include "tools/samvel/fact_location.h"

#include "common/text_helpers.h"

#include <charconv>
#include <cstring>

namespace tavik {

FactLocation::FactLocation()
{
    std::memset(key_, 0, sizeof key_);
    key_[0] = static_cast<unsigned char>(Kind::None);
}

FactLocation FactLocation::area(std::int32_t code)
{
    FactLocation location;
    location.key_[0] = static_cast<unsigned char>(Kind::Area);
    // Offset so that byte order is numeric order for every signed value.
    auto value = static_cast<std::uint32_t>(code) ^ 0x80000000u;
    for (int i = 0; i < 4; ++i)
        location.key_[1 + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
    return location;
}

FactLocation FactLocation::grid(std::string_view meshText)
{
    FactLocation location;
    location.key_[0] = static_cast<unsigned char>(Kind::Mesh);
    meshText = cutText(meshText, meshBytes);
    std::memcpy(location.key_ + meshAt, meshText.data(), meshText.size());
    return location;
}

FactLocation FactLocation::coordinates(std::string_view latitudeText, std::string_view longitudeText)
{
    FactLocation location;
    location.key_[0] = static_cast<unsigned char>(Kind::Coordinates);
    latitudeText = cutText(latitudeText, latitudeBytes);
    longitudeText = cutText(longitudeText, longitudeBytes);
    std::memcpy(location.key_ + latitudeAt, latitudeText.data(), latitudeText.size());
    std::memcpy(location.key_ + longitudeAt, longitudeText.data(), longitudeText.size());
    return location;
}

std::string_view FactLocation::textAt(size_t at, size_t maxBytes) const
{
    const char* text = reinterpret_cast<const char*>(key_ + at);
    return std::string_view(text, ::strnlen(text, maxBytes));
}

std::int32_t FactLocation::areaCode() const
{
    if (kind() != Kind::Area)
        return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | key_[1 + i];
    return static_cast<std::int32_t>(value ^ 0x80000000u);
}

std::string_view FactLocation::mesh() const { return kind() == Kind::Mesh ? textAt(meshAt, meshBytes) : ""; }

std::string_view FactLocation::latitude() const
{
    return kind() == Kind::Coordinates ? textAt(latitudeAt, latitudeBytes) : "";
}

std::string_view FactLocation::longitude() const
{
    return kind() == Kind::Coordinates ? textAt(longitudeAt, longitudeBytes) : "";
}

void FactLocation::appendText(std::string& out) const
{
    switch (kind()) {
    case Kind::Area: {
        char digits[16];
        auto result = std::to_chars(digits, digits + sizeof digits, areaCode());
        out.append(digits, result.ptr);
        break;
    }
    case Kind::Mesh:
        out += mesh();
        break;
    case Kind::Coordinates:
        out += latitude();
        out += longitude();
        break;
    case Kind::None:
        break;
    }
}

} // namespace tavik
