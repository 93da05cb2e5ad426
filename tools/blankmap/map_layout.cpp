#include "tools/blankmap/map_layout.h"

#include "common/table_columns.h"
#include "imagefiles/palette.h"
#include "platform/cp932.h"
#include "platform/report_text.h"
#include "tools/blankmap/json_file.h"
#include "viewer/basemap/projection.h"

#include <algorithm>
#include <cmath>

namespace tavik {

using nlohmann::json;

namespace {

// Kilometres on the ground per sphere radius of the Lambert plane.
constexpr double kSphereRadiusKm = 6365.0;

// Thrown inside this file only, with the key at fault and what is wrong. The
// message shows the key in quotes and the text right after it, so the text
// begins with its particle ("は整数ではありません"); a text that names its
// keys itself comes with an empty key.
struct LayoutError {
    std::string key;
    std::string text;
};

class Reader {
public:
    Reader(const json& object, std::string path)
        : object_(object)
        , path_(std::move(path))
    {
    }

    bool has(const char* key) const { return object_.contains(key); }

    double number(const char* key, double minimum, double maximum) const
    {
        const json& value = at(key);
        if (!value.is_number())
            fail(key, "は数値ではありません");
        double number = value.get<double>();
        if (!(number >= minimum && number <= maximum))
            fail(key, "は " + text(minimum) + " から " + text(maximum) + " までにしてください");
        return number;
    }
    double number(const char* key, double minimum, double maximum, double absent) const
    {
        return has(key) ? number(key, minimum, maximum) : absent;
    }
    int integer(const char* key, int minimum, int maximum) const
    {
        const json& value = at(key);
        if (!value.is_number_integer())
            fail(key, "は整数ではありません");
        std::int64_t number = value.get<std::int64_t>();
        if (number < minimum || number > maximum)
            fail(key, "は " + std::to_string(minimum) + " から " + std::to_string(maximum) + " までにしてください");
        return static_cast<int>(number);
    }
    std::string string(const char* key, const std::string& absent) const
    {
        if (!has(key))
            return absent;
        if (!object_[key].is_string())
            fail(key, "は文字列ではありません");
        return object_[key].get<std::string>();
    }
    bool flag(const char* key, bool absent) const
    {
        if (!has(key))
            return absent;
        if (!object_[key].is_boolean())
            fail(key, "は true か false にしてください");
        return object_[key].get<bool>();
    }
    std::vector<double> numbers(const char* key, std::size_t count) const
    {
        const json& value = at(key);
        if (!value.is_array() || value.size() != count)
            fail(key, "は数値 " + std::to_string(count) + " 個のリストにしてください");
        std::vector<double> numbers;
        for (const json& item : value) {
            if (!item.is_number())
                fail(key, "は数値 " + std::to_string(count) + " 個のリストにしてください");
            numbers.push_back(item.get<double>());
        }
        return numbers;
    }
    Colour colour(const char* key, const Colour& absent) const
    {
        if (!has(key))
            return absent;
        std::vector<double> parts = numbers(key, 3);
        for (double part : parts) {
            if (part != std::floor(part) || part < 0 || part > 255)
                fail(key, "は [赤, 緑, 青] を 0 から 255 までの整数にしてください");
        }
        Colour colour{static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
            static_cast<std::uint8_t>(parts[2])};
        // The base map carries the standard palette, so that maps saved with
        // 8 bits keep its colours exactly.
        for (const Colour& entry : standardPalette()) {
            if (entry == colour)
                return colour;
        }
        fail(key,
            "は標準パレットの色ではありません (赤と緑は 0, 32, 64, 96, 128, 160, 192, 255、青は 0, 64, 128, 255 "
            "のどれかです)");
        return colour;
    }
    const json& at(const char* key) const
    {
        if (!has(key))
            fail(key, "がありません");
        return object_[key];
    }
    [[noreturn]] void fail(const std::string& key, const std::string& text) const
    {
        throw LayoutError{path_.empty() ? key : path_ + "." + key, text};
    }
    static std::string text(double value)
    {
        std::string text = std::to_string(value);
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
        return text;
    }

private:
    const json& object_;
    std::string path_;
};

void readProjection(const Reader& reader, const std::string& kind, LayoutBlock& block)
{
    const bool lambert = kind == "lambert-e-a";
    if (!lambert && kind != "transverse-mercator")
        reader.fail("projection", "は \"lambert-e-a\" か \"transverse-mercator\" にしてください");
    MapBlock& map = block.block;
    map.kind = lambert ? ProjectionKind::LambertEqualArea : ProjectionKind::TransverseMercator;
    ProjectionParameters& p = lambert ? map.lambert : map.transverseMercator;
    p.lon0 = reader.number("lon0", -180, 180);
    p.lat0 = lambert ? reader.number("lat0", -90, 90) : 0.0;
    p.rotation = reader.number("rotation", -359.9, 359.9, 0.0) * RadiansPerDegree;
    if (reader.has("magnification") == reader.has("km-per-pixel"))
        reader.fail("magnification", "と \"km-per-pixel\" のどちらか一方だけを指定してください");
    if (reader.has("magnification")) {
        p.magnification = reader.number("magnification", 1e-12, 999999999);
    } else {
        // Lambert planes are in sphere radii, transverse Mercator planes in metres.
        const double kilometres = reader.number("km-per-pixel", 1e-6, 1e6);
        p.magnification = lambert ? kSphereRadiusKm / kilometres : 1.0 / (kilometres * 1000.0);
    }
    if (reader.has("anchor") == (reader.has("shift-x") || reader.has("shift-y")))
        reader.fail("anchor", "か、\"shift-x\" と \"shift-y\" の組か、どちらか一方だけを指定してください");
    if (reader.has("anchor")) {
        // [longitude, latitude, x, y]: the shifts that put that point on pixel (x, y).
        std::vector<double> anchor = reader.numbers("anchor", 4);
        MapBlock unshifted = map;
        ProjectionParameters& u = lambert ? unshifted.lambert : unshifted.transverseMercator;
        u.shiftX = u.shiftY = 0.0;
        const QPointF at = unshifted.imagePosition(anchor[0], anchor[1]);
        if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
            reader.fail("anchor", "の点はこの投影法で地図に置けません");
        p.shiftX = (anchor[2] - at.x()) / p.magnification;
        p.shiftY = (anchor[3] - at.y()) / p.magnification;
    } else {
        const double limit = lambert ? 1.0 : 10000000.0;
        p.shiftX = reader.number("shift-x", -limit, limit);
        p.shiftY = reader.number("shift-y", -limit, limit);
    }
}

LayoutBlock readBlock(const json& object, const std::string& path, const MapLayout& layout)
{
    if (!object.is_object())
        throw LayoutError{path, "は JSON のオブジェクトではありません"};
    Reader reader(object, path);
    LayoutBlock block;
    const std::string comment = reader.string("comment", "");
    if (comment.find('"') != std::string::npos || comment.find('\n') != std::string::npos)
        reader.fail("comment", "には二重引用符 (\") も改行も使えません");
    block.block.comment = utf8ToCp932(comment);
    readProjection(reader, reader.string("projection", ""), block);

    std::vector<double> rect = reader.numbers("rect", 4);
    for (double value : rect) {
        if (value != std::floor(value))
            reader.fail("rect", "は [左, 上, 右, 下] を整数のピクセルで指定してください");
    }
    block.rect = QRect(QPoint(static_cast<int>(rect[0]), static_cast<int>(rect[1])),
        QPoint(static_cast<int>(rect[2]) - 1, static_cast<int>(rect[3]) - 1));
    if (rect[0] < 0 || rect[1] < 0 || rect[2] > layout.width || rect[3] > layout.height || rect[0] >= rect[2]
        || rect[1] >= rect[3])
        reader.fail("rect", "は [左, 上, 右, 下] を画像の中に、右は左より、下は上より大きく指定してください");

    std::vector<double> select = reader.numbers("select", 4);
    block.select = {select[0], select[1], select[2], select[3]};
    if (!(block.select.west < block.select.east && block.select.south < block.select.north))
        reader.fail("select", "は [西, 南, 東, 北] を、西は東より、南は北より小さく指定してください");
    block.frame = reader.flag("frame", false);
    return block;
}

void readLayout(const json& root, MapLayout& layout)
{
    if (!root.is_object())
        throw LayoutError{"", "レイアウトが JSON のオブジェクトではありません"};
    Reader reader(root, "");
    const std::string comment = reader.string("comment", "");
    if (comment.find('"') != std::string::npos || comment.find('\n') != std::string::npos)
        reader.fail("comment", "には二重引用符 (\") も改行も使えません");
    layout.comment = utf8ToCp932(comment);
    layout.width = reader.integer("width", 1, 32767);
    layout.height = reader.integer("height", 1, 32767);
    if (static_cast<std::int64_t>(layout.width) * layout.height > MapLayout::MaxPixels)
        reader.fail("height",
            "と \"width\" を掛けると " + std::to_string(static_cast<std::int64_t>(layout.width) * layout.height)
                + " ピクセルになります。白地図は " + std::to_string(MapLayout::MaxPixels) + " ピクセルまでです");
    layout.sea = reader.colour("sea", layout.sea);
    layout.land = reader.colour("land", layout.land);
    layout.boundary = reader.colour("boundary", layout.boundary);
    if (layout.sea == layout.land || layout.sea == layout.boundary || layout.land == layout.boundary)
        throw LayoutError{"", "\"sea\"、\"land\"、\"boundary\" は 3 つとも違う色にしてください"};
    layout.fill = reader.flag("fill", true);

    layout.properties.code = reader.string("code", "code");
    if (reader.has("label")) {
        const json& label = root["label"];
        if (!label.is_array() || label.size() != 2 || !label[0].is_string() || !label[1].is_string())
            reader.fail("label", "は [緯度のプロパティ, 経度のプロパティ] にしてください");
        layout.properties.labelLatitude = label[0].get<std::string>();
        layout.properties.labelLongitude = label[1].get<std::string>();
    }
    if (reader.has("columns")) {
        const json& columns = root["columns"];
        if (!columns.is_object())
            reader.fail("columns", "は {\"列番号\": \"プロパティ名\", ...} のオブジェクトにしてください");
        for (const auto& [key, value] : columns.items()) {
            int column = -1;
            if (!key.empty() && key.size() < 3
                && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
                column = std::stoi(key);
            // Columns 0 and 4 to 8 are the code, the point and the fill flag that blankmap writes itself.
            // The key may be any text: the message shows a short one.
            // The columns blankmap fills itself (the code, the point, the
            // fill mark) take no property.
            const auto filled = [](int c) {
                return c == static_cast<int>(areaColumn::code)
                    || (c >= static_cast<int>(areaColumn::latitude) && c <= static_cast<int>(areaColumn::fill));
            };
            if (column < 0 || column >= static_cast<int>(areaColumn::count) || filled(column))
                reader.fail("columns." + quotedForReportUtf8(key),
                    "は名前の列ではありません。列番号は 1 から 3 か 9 から 13 にしてください");
            if (!value.is_string())
                reader.fail("columns." + key, "はプロパティ名 (文字列) にしてください");
            layout.properties.columns[column] = value.get<std::string>();
        }
    }

    const json& blocks = reader.at("blocks");
    if (!blocks.is_array() || blocks.empty() || blocks.size() > 100)
        reader.fail("blocks", "は 1 個から 100 個までのブロックのリストにしてください");
    for (std::size_t i = 0; i < blocks.size(); ++i)
        layout.blocks.push_back(readBlock(blocks[i], "blocks[" + std::to_string(i) + "]", layout));
}

} // namespace

bool readMapLayout(std::string_view path, MapLayout& layout, BlankMapError& error)
{
    json root;
    if (!readJsonFile(path, maxLayoutBytes, root, error))
        return false;
    layout = MapLayout{};
    try {
        readLayout(root, layout);
    } catch (const LayoutError& failure) {
        return error.set(displayPath(path), (failure.key.empty() ? "" : "\"" + failure.key + "\" ") + failure.text);
    } catch (const json::exception& failure) {
        return error.set(displayPath(path), std::string("値を読めません (") + failure.what() + ")");
    }
    return true;
}

} // namespace tavik
