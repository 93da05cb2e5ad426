#include "viewer/settings/area_table.h"

#include "common/angle_text.h"
#include "common/table_columns.h"
#include "common/table_rows.h"
#include "common/text_helpers.h"
#include "platform/text_numbers.h"

#include <algorithm>
#include <limits>

namespace tavik {
namespace {

// The columns an area row is read up to: the viewer reads none after the fill mark.
constexpr size_t kColumns = areaColumn::fill + 1;

// Pixel coordinates are 16-bit; larger values are held at the limit.
std::int16_t pixel(std::string_view text)
{
    int value = parseInteger(text);
    return static_cast<std::int16_t>(std::clamp(
        value, int{std::numeric_limits<std::int16_t>::min()}, int{std::numeric_limits<std::int16_t>::max()}));
}

} // namespace

AreaTableStatus AreaTable::load(std::string_view path, int capacity)
{
    rows_.clear();
    const TableRowsRead read = readTableRows(path, kColumns, fault_, [&](const CsvReader& reader) {
        if (static_cast<int>(rows_.size()) >= capacity)
            return false;
        AreaRecord area;
        area.code = areaCode(reader.field(areaColumn::code));
        area.latitude = parseLatitude(reader.field(areaColumn::latitude));
        area.longitude = parseLongitude(reader.field(areaColumn::longitude));
        area.x = pixel(reader.field(areaColumn::x));
        area.y = pixel(reader.field(areaColumn::y));
        area.fill = reader.field(areaColumn::fill).starts_with('F');
        area.row = static_cast<int>(rows_.size());
        rows_.push_back(area);
        return true;
    });
    switch (read) {
    case TableRowsRead::CannotOpen:
        return AreaTableStatus::CannotOpen;
    case TableRowsRead::FaultyLine:
        return AreaTableStatus::FaultyLine;
    case TableRowsRead::Stopped:
        return AreaTableStatus::Overflow;
    case TableRowsRead::Done:
        break;
    }
    return AreaTableStatus::Ok;
}

const AreaRecord* AreaTable::find(std::int32_t code) const
{
    auto it = std::find_if(rows_.begin(), rows_.end(), [&](const AreaRecord& a) { return a.code == code; });
    return it == rows_.end() ? nullptr : &*it;
}

} // namespace tavik
