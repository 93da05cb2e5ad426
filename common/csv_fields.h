#pragma once

#include "common/text_helpers.h"
#include "platform/cp932.h"

#include <cstddef>
#include <string>

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

// How a comma-separated line is split: the same grammar for every table of
// the database (commas outside double quotes, a doubled quote inside quotes
// is one quote, a two-byte character stepped over whole, leading ASCII
// spaces of a field dropped), with the limits the readers differ in.
struct CsvFieldRules {
    std::size_t maxFieldBytes; // bytes of a field inside its quotes; more is FieldTooLong
    std::size_t maxFields; // fields taken; one more is TooManyFields
    LeadBytes leadBytes; // the viewer's reader: the code page's; the tools': 0xFD-0xFF too
};

enum class CsvFieldFault { None, FieldTooLong, TooManyFields, MisplacedQuote, UnterminatedQuote };

struct CsvFieldSplit {
    CsvFieldFault fault = CsvFieldFault::None;
    std::size_t faultStart = 0; // where the field at fault begins
};

// The result of reading one line of a table, the same for the viewer's and
// the tools' readers. The negative numbers are those the messages have
// always been keyed on.
enum class CsvStatus {
    Ok = 0, // a line is ready (it may have no fields)
    EndOfFile = -1, // the file is at its end and nothing was read
    TooManyFields = -96, // more fields than the reader keeps; the first ones are kept
    FieldTooLong = -97, // a field over the reader's bound; the fields before it are kept
    LineTooLong = -98, // a line longer than the reader or memory can hold; no field is kept
    MisplacedQuote = -99, // a second quoted section in one field
    UnterminatedQuote = -100, // the line ends inside quotes
    ReadError = -101, // reading the file failed: the line and everything after it are unknown
};

// The status of a line whose split ended with `fault`.
constexpr CsvStatus csvStatusOf(CsvFieldFault fault)
{
    switch (fault) {
    case CsvFieldFault::None:
        return CsvStatus::Ok;
    case CsvFieldFault::FieldTooLong:
        return CsvStatus::FieldTooLong;
    case CsvFieldFault::TooManyFields:
        return CsvStatus::TooManyFields;
    case CsvFieldFault::MisplacedQuote:
        return CsvStatus::MisplacedQuote;
    case CsvFieldFault::UnterminatedQuote:
        break;
    }
    return CsvStatus::UnterminatedQuote;
}

// Of a line held in memory, one trailing line feed, carriage return or
// end-of-file mark (0x1A) goes, then one more line feed or carriage return
// before it: what is left is the line's text.
inline void dropTrailingLineEnd(std::string& line)
{
    if (line.empty() || (line.back() != '\n' && line.back() != '\r' && line.back() != '\x1A'))
        return;
    line.pop_back();
    if (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
}

// Splits text[0, n) (without its line end) into fields, handing each to
// addField(start, length) in order; doubled quotes are collapsed in place.
// At FieldTooLong and TooManyFields the fields before it have been handed
// over; at a quote fault the caller drops them. An empty text has no field.
template <typename AddField>
CsvFieldSplit splitCsvFields(char* text, std::size_t n, const CsvFieldRules& rules, AddField addField)
{
    if (n == 0)
        return {};
    const LeadByteRule isLead = rules.leadBytes == LeadBytes::CodePage ? isCp932LeadByte : isToolLeadByte;
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::size_t fieldStart = 0;
    std::size_t quoteStart = none; // first byte after the opening quote
    std::size_t quoteEnd = none; // the closing quote
    bool inQuotes = false;
    bool doubled = false;
    std::size_t fields = 0;
    for (std::size_t i = 0;; ++i) {
        if (i < n) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (isLeadByte(c, rules.leadBytes)) {
                if (i + 1 < n)
                    ++i;
                continue;
            }
            if (c == '"') {
                if (inQuotes) {
                    if (i + 1 < n && text[i + 1] == '"') {
                        doubled = true;
                        ++i;
                    } else {
                        inQuotes = false;
                        quoteEnd = i;
                    }
                } else {
                    if (quoteStart != none)
                        return {CsvFieldFault::MisplacedQuote, fieldStart};
                    inQuotes = true;
                    quoteStart = i + 1;
                }
                continue;
            }
            if (c != ',' || inQuotes)
                continue;
        } else if (inQuotes) {
            return {CsvFieldFault::UnterminatedQuote, fieldStart};
        }

        // The field ends at i (a comma or the end of the line); it lies behind
        // the scan, so its doubled quotes collapse in place now.
        std::size_t start = quoteStart != none ? quoteStart : fieldStart;
        std::size_t length = quoteStart != none ? quoteEnd - quoteStart : i - fieldStart;
        if (length > rules.maxFieldBytes)
            return {CsvFieldFault::FieldTooLong, fieldStart};
        if (doubled)
            length = collapseDoubledQuotes(text + start, length, isLead);
        if (fields == rules.maxFields)
            return {CsvFieldFault::TooManyFields, fieldStart};
        while (length > 0 && text[start] == ' ') {
            ++start;
            --length;
        }
        addField(start, length);
        ++fields;
        if (i >= n)
            return {};
        fieldStart = i + 1;
        quoteStart = quoteEnd = none;
        doubled = false;
    }
}

} // namespace tavik
