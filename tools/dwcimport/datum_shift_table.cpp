#include "tools/dwcimport/datum_shift_table.h"

#include "common/csv_reader.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"
#include "platform/text_numbers.h"
#include "tools/dwcimport/grid_square.h"
#include "tools/dwcimport/report_text.h"

#include <algorithm>
#include <cmath>

namespace tavik {
namespace {

std::int64_t secondsToUnits(double seconds)
{
    return std::llround(seconds / 3600.0 * static_cast<double>(GeoPoint::unitsPerDegree));
}

} // namespace

bool DatumShiftTable::load(std::string_view path, int capacity, ToolError& error)
{
    rows_.clear();
    CsvReader reader;
    bool read = readToolTableRows(reader, path, "測地系変換テーブル", error, [&] {
        if (reader.fieldCount() == 0 || trimmedText(reader.field(0)).empty())
            return true;
        if (static_cast<long>(rows_.size()) >= capacity)
            return error.set(path,
                cp932Printf(
                    "測地系変換テーブルの行が多すぎます.上限は %d 行です (tavik.ini の [Capacity] の WgsJgsMax).",
                    capacity));
        int code = parseInteger(trimmedText(reader.field(0)));
        if (code < 1)
            return error.set(path,
                cp932Printf("%ld 行目: メッシュコード [%s] が 1 次メッシュのコードではありません.", reader.lineNumber(),
                    utf8ToCp932(shownText(cp932ToUtf8(reader.field(0)))).c_str()));
        add(code, parseReal(trimmedText(reader.field(2))), parseReal(trimmedText(reader.field(3))));
        return true;
    });
    std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) { return a.code < b.code; });
    return read;
}

void DatumShiftTable::add(int firstOrderCode, double latitudeSeconds, double longitudeSeconds)
{
    Row row{firstOrderCode, secondsToUnits(latitudeSeconds), secondsToUnits(longitudeSeconds)};
    auto at
        = std::lower_bound(rows_.begin(), rows_.end(), row.code, [](const Row& r, int code) { return r.code < code; });
    // The viewer's binary search finds one of equal codes; the first row of a code is kept here.
    if (at == rows_.end() || at->code != row.code)
        rows_.insert(at, row);
}

const DatumShiftTable::Row* DatumShiftTable::find(const GeoPoint& point) const
{
    std::optional<int> code = firstOrderCode(point);
    if (!code)
        return nullptr;
    auto at = std::lower_bound(rows_.begin(), rows_.end(), *code, [](const Row& r, int c) { return r.code < c; });
    return at != rows_.end() && at->code == *code ? &*at : nullptr;
}

GeoPoint DatumShiftTable::tokyoToWorld(const GeoPoint& point) const
{
    const Row* row = find(point);
    if (!row)
        return point;
    return {point.latitude + row->latitude, point.longitude + row->longitude};
}

GeoPoint DatumShiftTable::worldToTokyo(const GeoPoint& point) const
{
    // The shift is some 10 seconds, and a first-order square 40 minutes:
    // undoing the shift of the point's square lands in the right square
    // except within a shift of its edge, where one more step settles it.
    GeoPoint tokyo = point;
    for (int step = 0; step < 2; ++step) {
        const Row* row = find(tokyo);
        if (!row)
            return step == 0 ? point : tokyo;
        tokyo = {point.latitude - row->latitude, point.longitude - row->longitude};
    }
    return tokyo;
}

} // namespace tavik
