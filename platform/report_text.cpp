#include "platform/report_text.h"

#include "platform/cp932.h"

namespace tavik {
namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The escaped form of a control character.
std::string escaped(unsigned char c)
{
    switch (c) {
    case '\t':
        return "\\t";
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    default:
        static const char digits[] = "0123456789ABCDEF";
        return {'\\', 'x', digits[c >> 4], digits[c & 0xF]};
    }
}

// Bytes of the cp932 character at text[i]. A lead byte followed by a
// control character is a byte on its own: no second byte is a control, and
// taken as one the control would pass unescaped.
std::size_t cp932Length(std::string_view text, std::size_t i)
{
    return isCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()
            && !isControl(static_cast<unsigned char>(text[i + 1]))
        ? 2
        : 1;
}

// Bytes of the UTF-8 character at text[i]: its lead byte and the
// continuation bytes that follow, so that a control character (never a
// continuation byte) is always one on its own.
std::size_t utf8Length(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t n = 1;
    while (n < length && i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

using CharacterLength = std::size_t (*)(std::string_view, std::size_t);

std::string quoted(std::string_view text, std::size_t maxBytes, CharacterLength length, const std::string& ellipsis)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        const std::size_t bytes = length(text, i);
        std::string piece = isControl(c) ? escaped(c) : std::string(text.substr(i, bytes));
        if (out.size() + piece.size() > maxBytes)
            return out + ellipsis;
        out += piece;
        i += bytes;
    }
    return out;
}

std::string escapedControls(std::string_view text, bool keepLineFeeds, CharacterLength length)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        const std::size_t bytes = length(text, i);
        if (isControl(c) && !(c == '\n' && keepLineFeeds))
            out += escaped(c);
        else
            out += text.substr(i, bytes);
        i += bytes;
    }
    return out;
}

} // namespace

std::string quotedForReport(std::string_view cp932, std::size_t maxBytes)
{
    return quoted(cp932, maxBytes, cp932Length, cp932Literal("…"));
}

std::string withControlsEscaped(std::string_view cp932) { return escapedControls(cp932, true, cp932Length); }

std::string withControlsEscapedUtf8(std::string_view utf8, bool keepLineFeeds)
{
    return escapedControls(utf8, keepLineFeeds, utf8Length);
}

std::string quotedForReportUtf8(std::string_view utf8, std::size_t maxBytes)
{
    return quoted(utf8, maxBytes, utf8Length, "…");
}

} // namespace tavik
