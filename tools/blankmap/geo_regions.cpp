#include "tools/blankmap/geo_regions.h"

#include "platform/cp932.h"
#include "platform/report_text.h"
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
        throw RegionError{"位置が [経度, 緯度] になっていません"};
    BoundaryPoint point{position[0].get<double>(), position[1].get<double>()};
    if (!std::isfinite(point.longitude) || !std::isfinite(point.latitude) || std::abs(point.longitude) > 180
        || std::abs(point.latitude) > 90)
        throw RegionError{"位置が経度 -180 から 180 度、緯度 -90 から 90 度の範囲の外にあります"};
    return point;
}

GeoPolygon readPolygon(const json& rings)
{
    if (!rings.is_array() || rings.empty())
        throw RegionError{"ポリゴンに座標の輪 (リング) がありません"};
    GeoPolygon polygon;
    for (const json& ring : rings) {
        if (!ring.is_array())
            throw RegionError{"座標の輪 (リング) が位置のリストではありません"};
        std::vector<BoundaryPoint> points;
        for (const json& position : ring)
            points.push_back(readPosition(position));
        // GeoJSON repeats the first position at the end; the ring is closed anyway.
        if (points.size() > 1 && points.front().longitude == points.back().longitude
            && points.front().latitude == points.back().latitude)
            points.pop_back();
        if (points.size() < 3)
            throw RegionError{"座標の輪 (リング) の位置が 3 つ未満です"};
        polygon.rings.push_back(std::move(points));
    }
    return polygon;
}

std::vector<GeoPolygon> readGeometry(const json& geometry)
{
    if (!geometry.is_object() || !geometry.contains("type") || !geometry.contains("coordinates"))
        throw RegionError{"\"type\" と \"coordinates\" を持つ \"geometry\" がありません"};
    const std::string type = geometry["type"].is_string() ? geometry["type"].get<std::string>() : "";
    const json& coordinates = geometry["coordinates"];
    std::vector<GeoPolygon> polygons;
    if (type == "Polygon") {
        polygons.push_back(readPolygon(coordinates));
    } else if (type == "MultiPolygon") {
        if (!coordinates.is_array() || coordinates.empty())
            throw RegionError{"MultiPolygon にポリゴンがありません"};
        for (const json& polygon : coordinates)
            polygons.push_back(readPolygon(polygon));
    } else {
        throw RegionError{"geometry の type \"" + quotedForReportUtf8(type)
            + "\" では地域を作れません。Polygon か MultiPolygon にしてください"};
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
        throw RegionError{"地域コードのプロパティ \"" + name + "\" がありません"};
    const json& value = properties[name];
    std::int64_t code = 0;
    if (value.is_number_integer()) {
        code = value.get<std::int64_t>();
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        if (text.empty() || text.size() > 10
            || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
            throw RegionError{"地域コード \"" + quotedForReportUtf8(text) + "\" は数字 (10 桁まで) にしてください"};
        code = std::stoll(text);
    } else {
        throw RegionError{"プロパティ \"" + name + "\" が地域コード (整数か、数字だけの文字列) ではありません"};
    }
    if (code < 1 || code > 2147483647)
        throw RegionError{"地域コード " + std::to_string(code) + " は 1 から 2147483647 までにしてください"};
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
    std::string name = "地域コード " + std::to_string(code);
    for (const auto& [column, text] : columns) {
        if (!text.empty())
            return name + " (" + cp932ToUtf8(text) + ")";
    }
    return name;
}

bool readGeoRegions(std::string_view path, const RegionProperties& properties, std::vector<GeoRegion>& regions,
    BlankMapError& error, std::vector<std::string>& warnings)
{
    json root;
    if (!readJsonFile(path, maxBoundaryBytes, root, error))
        return false;
    const std::string file = displayPath(path);
    if (!root.is_object() || root.value("type", json()) != "FeatureCollection" || !root.contains("features")
        || !root["features"].is_array())
        return error.set(file, "GeoJSON の FeatureCollection ではありません");
    regions.clear();
    std::set<std::int32_t> codes;
    int index = 0;
    for (const json& feature : root["features"]) {
        try {
            if (!feature.is_object())
                throw RegionError{"地物 (Feature) ではありません"};
            const json properties_ = feature.value("properties", json::object());
            if (!properties_.is_object())
                throw RegionError{"\"properties\" がオブジェクトではありません"};
            GeoRegion region;
            region.feature = index;
            region.code = readCode(properties_, properties.code);
            if (!codes.insert(region.code).second)
                throw RegionError{"地域コード " + std::to_string(region.code) + " は前の地物にもあります"};
            region.label = readLabel(properties_, properties);
            for (const auto& [column, name] : properties.columns) {
                const std::string text = propertyText(properties_, name);
                region.columns[column] = utf8ToCp932(text);
                if (cp932ToUtf8(region.columns[column]) != text) {
                    warnings.push_back(file + ": 地物 " + std::to_string(index) + ": プロパティ \"" + name + "\" ("
                        + quotedForReportUtf8(text) + ") に cp932 にない文字があるので、\"?\" にしました");
                }
            }
            region.polygons = readGeometry(feature.value("geometry", json()));
            regions.push_back(std::move(region));
        } catch (const RegionError& failure) {
            return error.set(file, "地物 " + std::to_string(index) + ": " + failure.text);
        } catch (const json::exception& failure) {
            return error.set(file, "地物 " + std::to_string(index) + ": 値を読めません (" + failure.what() + ")");
        }
        ++index;
    }
    if (regions.empty())
        return error.set(file, "地物が 1 つもありません");
    return true;
}

} // namespace tavik
