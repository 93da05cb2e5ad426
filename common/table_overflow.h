#pragma once

#include "platform/cp932_text.h"

#include <string>

namespace tavik {

// The message shown when a table has more rows than its capacity setting
// lets the program hold: the table overflowed, and which key of tavik.ini to
// enlarge (cp932; `table` and `capacityKey` are ASCII, "Area Table" and
// "AreaMax").
Cp932Text tableOverflowMessage(const char* table, const char* capacityKey);

} // namespace tavik
