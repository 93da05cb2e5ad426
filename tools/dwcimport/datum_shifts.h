#pragma once

#include <string_view>

namespace tavik {

class DatumShiftTable;
struct ToolError;

// Loads the database's datum-shift table (WgsJgsTable) for dwcimport, row by
// row as the viewer reads it, at most `capacity` rows (WgsJgsMax). False with
// the table path and a message in `error`.
bool loadDatumShifts(std::string_view path, int capacity, DatumShiftTable& table, ToolError& error);

} // namespace tavik
