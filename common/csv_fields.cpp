#include "common/csv_fields.h"

namespace tavik {

std::size_t collapseDoubledQuotes(char* field, std::size_t length, LeadByteRule isLeadByte)
{
    std::size_t to = 0;
    for (std::size_t from = 0; from < length;) {
        const auto c = static_cast<unsigned char>(field[from]);
        if (isLeadByte(c) && from + 1 < length) {
            field[to++] = field[from++];
            field[to++] = field[from++];
        } else if (c == '"' && from + 1 < length && field[from + 1] == '"') {
            field[to++] = '"';
            from += 2;
        } else {
            field[to++] = field[from++];
        }
    }
    return to;
}

} // namespace tavik
