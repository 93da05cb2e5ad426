#include "common/table_overflow.h"

#include "platform/cp932.h"

namespace tavik {

Cp932Text tableOverflowMessage(const char* table, const char* capacityKey)
{
    return cp932Printf("%s が溢れました\n\ntavik.ini の %s の値を増やして下さい", table, capacityKey);
}

} // namespace tavik
