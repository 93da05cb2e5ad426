#include "tools/dwcimport/datum_shifts.h"

#include "common/csv_reader.h"
#include "common/datum_shift_table.h"
#include "common/tool_error.h"
#include "platform/cp932.h"

namespace tavik {
namespace {

constexpr const char* kLabel = "測地系変換テーブル";

// The reader gives no reason for a table it cannot open; opening it again
// as a tool table says whether it is missing or why it cannot be read.
bool cannotOpen(std::string_view path, ToolError& error)
{
    CsvReader probe;
    if (!openToolTable(probe, path, kLabel, error))
        return false;
    return error.set(
        "", cp932Printf("%s %s が読めませんでした.", cp932Literal(kLabel).c_str(), std::string(path).c_str()));
}

} // namespace

bool loadDatumShifts(std::string_view path, int capacity, DatumShiftTable& table, ToolError& error)
{
    switch (table.load(path, capacity)) {
    case DatumShiftStatus::Ok:
        return true;
    case DatumShiftStatus::CannotOpen:
        return cannotOpen(path, error);
    case DatumShiftStatus::Overflow:
        return error.set(path,
            cp932Printf("測地系変換テーブルの行が多すぎます.上限は %d 行です (tavik.ini の [Capacity] の WgsJgsMax).",
                capacity));
    case DatumShiftStatus::BadSquareCode:
        return error.set(
            path, cp932Printf("%ld 行目: メッシュコードが 1 次メッシュのコードではありません.", table.fault().line));
    case DatumShiftStatus::FaultyLine:
        break;
    }
    return error.set("", csvLineFaultMessage(table.fault().status, path, table.fault().line));
}

} // namespace tavik
