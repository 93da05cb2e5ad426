#include "tools/blankmap/geo_regions.h"

#include "platform/cp932.h"
#include "tools/blankmap/json_file.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace tavik {

using nlohmann::json;

namespace {

// Thrown inside this file only, to leave a deep walk with its message.
struct RegionError {
    std::string text;
};

BoundaryPoint readPosition(const json& position)
{
    if (!position.is_array() || position.size() < 2 || !position[0].is_number() || !position[1].is_number())
        throw RegionError{"a position is not [longitude, latitude]"};
    BoundaryPoint point{position[0].get<double>(), position[1].get<double>()};
    if (!std::isfinite(point.longitude) || !std::isfinite(point.latitude) || std::abs(point.longitude) > 180
        || std::abs(point.latitude) > 90)
        throw RegionError{"a position lies outside -180 to 180 degrees of longitude or -90 to 90 of latitude"};
    return point;
}

GeoPolygon readPolygon(const json& rings)
{
    if (!rings.is_array() || rings.empty())
        throw RegionError{"a polygon has no rings"};
    GeoPolygon polygon;
    for (const json& ring : rings) {
        if (!ring.is_array())
            throw RegionError{"a ring is not a list of positions"};
        std::vector<BoundaryPoint> points;
        for (const json& position : ring)
            points.push_back(readPosition(position));
        // GeoJSON repeats the first position at the end; the ring is closed anyway.
        if (points.size() > 1 && points.front().longitude == points.back().longitude
            && points.front().latitude == points.back().latitude)
            points.pop_back();
        if (points.size() < 3)
            throw RegionError{"a ring has fewer than three positions"};
        polygon.rings.push_back(std::move(points));
    }
    return polygon;
}

std::vector<GeoPolygon> readGeometry(const json& geometry)
{
    if (!geometry.is_object() || !geometry.contains("type") || !geometry.contains("coordinates"))
        throw RegionError{"no geometry with a type and coordinates"};
    const std::string type = geometry["type"].is_string() ? geometry["type"].get<std::string>() : "";
    const json& coordinates = geometry["coordinates"];
    std::vector<GeoPolygon> polygons;
    if (type == "Polygon") {
        polygons.push_back(readPolygon(coordinates));
    } else if (type == "MultiPolygon") {
        if (!coordinates.is_array() || coordinates.empty())
            throw RegionError{"a MultiPolygon without polygons"};
        for (const json& polygon : coordinates)
            polygons.push_back(readPolygon(polygon));
    } else {
        throw RegionError{"geometry type \"" + type + "\": only Polygon and MultiPolygon make regions"};
    }
    return polygons;
}

// A property as table text (UTF-8): strings as they stand, numbers in
// decimal, null and absent as empty.
std::string propertyText(const json& properties, const std::string& name)
{
    if (!properties.contains(name))
        return {};
    const json& value = properties[name];
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return std::to_string(value.get<std::int64_t>());
    if (value.is_number())
        return value.dump();
    if (value.is_boolean())
        return value.get<bool>() ? "true" : "false";
    return {};
}

std::int32_t readCode(const json& properties, const std::string& name)
{
    if (!properties.contains(name))
        throw RegionError{"no property \"" + name + "\" for the area code"};
    const json& value = properties[name];
    std::int64_t code = 0;
    if (value.is_number_integer()) {
        code = value.get<std::int64_t>();
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        if (text.empty() || text.size() > 10
            || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
            throw RegionError{"area code \"" + text + "\" is not a number"};
        code = std::stoll(text);
    } else {
        throw RegionError{"property \"" + name + "\" is not an area code"};
    }
    if (code < 1 || code > 2147483647)
        throw RegionError{"area code " + std::to_string(code) + " is not between 1 and 2147483647"};
    return static_cast<std::int32_t>(code);
}

std::optional<BoundaryPoint> readLabel(const json& properties, const RegionProperties& names)
{
    if (names.labelLatitude.empty() || names.labelLongitude.empty())
        return std::nullopt;
    auto number = [&](const std::string& name) -> std::optional<double> {
        if (!properties.contains(name) || !properties[name].is_number())
            return std::nullopt;
        return properties[name].get<double>();
    };
    std::optional<double> latitude = number(names.labelLatitude), longitude = number(names.labelLongitude);
    if (!latitude || !longitude || std::abs(*latitude) > 90 || std::abs(*longitude) > 180)
        return std::nullopt;
    return BoundaryPoint{*longitude, *latitude};
}

} // namespace

GeoBox GeoPolygon::bounds() const
{
    GeoBox box{180, 90, -180, -90};
    for (const BoundaryPoint& point : rings.front()) {
        box.west = std::min(box.west, point.longitude);
        box.east = std::max(box.east, point.longitude);
        box.south = std::min(box.south, point.latitude);
        box.north = std::max(box.north, point.latitude);
    }
    return box;
}

std::string GeoRegion::displayName() const
{
    std::string name = "area " + std::to_string(code);
    for (const auto& [column, text] : columns) {
        if (!text.empty())
            return name + " (" + cp932ToUtf8(text) + ")";
    }
    return name;
}

bool readGeoRegions(std::string_view path, const RegionProperties& properties, std::vector<GeoRegion>& regions,
    std::string& error, std::vector<std::string>& warnings)
{
    json root;
    if (!readJsonFile(path, maxBoundaryBytes, root, error))
        return false;
    const std::string file = displayPath(path);
    if (!root.is_object() || root.value("type", json()) != "FeatureCollection" || !root.contains("features")
        || !root["features"].is_array()) {
        error = file + ": not a GeoJSON FeatureCollection";
        return false;
    }
    regions.clear();
    std::set<std::int32_t> codes;
    int index = 0;
    for (const json& feature : root["features"]) {
        try {
            if (!feature.is_object())
                throw RegionError{"not a feature"};
            const json properties_ = feature.value("properties", json::object());
            if (!properties_.is_object())
                throw RegionError{"no properties"};
            GeoRegion region;
            region.feature = index;
            region.code = readCode(properties_, properties.code);
            if (!codes.insert(region.code).second)
                throw RegionError{"area code " + std::to_string(region.code) + " is given twice"};
            region.label = readLabel(properties_, properties);
            for (const auto& [column, name] : properties.columns) {
                const std::string text = propertyText(properties_, name);
                region.columns[column] = utf8ToCp932(text);
                if (cp932ToUtf8(region.columns[column]) != text) {
                    warnings.push_back(file + ": feature " + std::to_string(index) + ": property \"" + name + "\" ("
                        + text + ") holds characters that cp932 lacks; they became \"?\"");
                }
            }
            region.polygons = readGeometry(feature.value("geometry", json()));
            regions.push_back(std::move(region));
        } catch (const RegionError& failure) {
            error = file + ": feature " + std::to_string(index) + ": " + failure.text;
            return false;
        } catch (const json::exception& failure) {
            error = file + ": feature " + std::to_string(index) + ": " + failure.what();
            return false;
        }
        ++index;
    }
    if (regions.empty()) {
        error = file + ": no features";
        return false;
    }
    return true;
}

} // namespace tavik
