#pragma once

#include <cstddef>

namespace tavik {

// Tells whether a byte starts a two-byte character. The viewer's reader and
// the tools' reader draw the line differently (0xFD to 0xFF), so each passes
// its own rule.
using LeadByteRule = bool (*)(unsigned char byte);

// Undoes the doubled quotes of a quoted CSV field in place: each pair of
// double quotes becomes one. A two-byte character, by `isLeadByte`, is
// stepped over whole, so that its second byte is never taken for a quote.
// Returns the field's new length in bytes.
std::size_t collapseDoubledQuotes(char* field, std::size_t length, LeadByteRule isLeadByte);

} // namespace tavik
