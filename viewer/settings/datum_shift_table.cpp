#include "viewer/settings/datum_shift_table.h"

#include "platform/text_numbers.h"
#include "viewer/settings/csv_line_reader.h"

#include <algorithm>

namespace tavik {
namespace {

constexpr size_t kColumns = 4; // columns of a datum-shift row that are read

} // namespace

DatumShiftStatus DatumShiftTable::load(std::string_view path, int capacity)
{
    rows_.clear();
    fault_ = {};
    CsvLineReader reader;
    if (!reader.open(path))
        return DatumShiftStatus::CannotOpen;
    DatumShiftStatus status = DatumShiftStatus::Ok;
    for (;;) {
        const CsvStatus line = reader.nextLine();
        if (line == CsvStatus::EndOfFile)
            break;
        if (!reader.holdsRow(line, kColumns)) {
            fault_ = {line, reader.lineNumber()};
            status = DatumShiftStatus::FaultyLine;
            break;
        }
        if (reader.fieldCount() == 0)
            continue;
        if (static_cast<int>(rows_.size()) >= capacity) {
            status = DatumShiftStatus::Overflow;
            break;
        }
        DatumShiftRecord record;
        record.squareCode = parseInteger(reader.field(0));
        if (record.squareCode < 1) {
            status = DatumShiftStatus::BadSquareCode;
            break;
        }
        record.latitudeShift = parseReal(reader.field(2)) / 3600.0;
        record.longitudeShift = parseReal(reader.field(3)) / 3600.0;
        rows_.push_back(record);
    }
    std::stable_sort(rows_.begin(), rows_.end(),
        [](const DatumShiftRecord& a, const DatumShiftRecord& b) { return a.squareCode < b.squareCode; });
    return status;
}

const DatumShiftRecord* DatumShiftTable::find(std::int32_t squareCode) const
{
    auto it = std::lower_bound(rows_.begin(), rows_.end(), squareCode,
        [](const DatumShiftRecord& r, std::int32_t wanted) { return r.squareCode < wanted; });
    return it == rows_.end() || it->squareCode != squareCode ? nullptr : &*it;
}

} // namespace tavik
