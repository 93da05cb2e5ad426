#include "platform/report_text.h"

#include "platform/cp932.h"
#include "platform/utf8_text.h"

#include <cstdio>

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

// The character at text[i]: its bytes, and in `escape` the form it is shown
// in when it must not reach the terminal as it is (empty when it may).
using NextCharacter = std::size_t (*)(std::string_view text, std::size_t i, std::string& escape);

// A cp932 character. A lead byte followed by a control character is a byte
// on its own: no second byte is a control, and taken as one the control
// would pass unescaped.
std::size_t cp932Character(std::string_view text, std::size_t i, std::string& escape)
{
    const auto c = static_cast<unsigned char>(text[i]);
    escape = isControl(c) ? escaped(c) : std::string();
    return isCp932LeadByte(c) && i + 1 < text.size() && !isControl(static_cast<unsigned char>(text[i + 1])) ? 2 : 1;
}

// A UTF-8 character. The C1 controls (U+0080-U+009F; U+009B begins a
// terminal command as ESC [ does) are shown as "\u0085", and a byte that
// starts no valid sequence as "\x80".
std::size_t utf8Character(std::string_view text, std::size_t i, std::string& escape)
{
    escape.clear();
    const auto [code, length] = firstCodePoint(text.substr(i));
    if (length == 0) {
        escape = escaped(static_cast<unsigned char>(text[i]));
        return 1;
    }
    if (code < 0x80 && isControl(static_cast<unsigned char>(code))) {
        escape = escaped(static_cast<unsigned char>(code));
    } else if (code >= 0x80 && code < 0xA0) {
        char form[8];
        std::snprintf(form, sizeof form, "\\u%04X", static_cast<unsigned>(code));
        escape = form;
    }
    return length;
}

std::string quoted(std::string_view text, std::size_t maxBytes, NextCharacter next, const std::string& ellipsis)
{
    std::string out;
    std::string escape;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t bytes = next(text, i, escape);
        const std::string_view piece = escape.empty() ? text.substr(i, bytes) : std::string_view(escape);
        if (out.size() + piece.size() > maxBytes)
            return out + ellipsis;
        out += piece;
        i += bytes;
    }
    return out;
}

std::string escapedControls(std::string_view text, bool keepLineFeeds, NextCharacter next)
{
    std::string out;
    out.reserve(text.size());
    std::string escape;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t bytes = next(text, i, escape);
        if (escape.empty() || (text[i] == '\n' && keepLineFeeds))
            out += text.substr(i, bytes);
        else
            out += escape;
        i += bytes;
    }
    return out;
}

} // namespace

std::string quotedForReport(std::string_view cp932, std::size_t maxBytes)
{
    return quoted(cp932, maxBytes, cp932Character, cp932Literal("…"));
}

std::string withControlsEscaped(std::string_view cp932) { return escapedControls(cp932, true, cp932Character); }

std::string withControlsEscapedUtf8(std::string_view utf8, bool keepLineFeeds)
{
    return escapedControls(utf8, keepLineFeeds, utf8Character);
}

std::string quotedForReportUtf8(std::string_view utf8, std::size_t maxBytes)
{
    return quoted(utf8, maxBytes, utf8Character, "…");
}

void printReport(std::string_view utf8File, std::string_view utf8Message, std::FILE* stream)
{
    // A path or text from a file may hold control characters: they are
    // shown, never sent to the terminal. They are escaped in the UTF-8 text
    // that is printed, so that no byte the conversion from cp932 let through
    // escapes them.
    std::string text = withControlsEscapedUtf8(utf8File, false) + "\n" + withControlsEscapedUtf8(utf8Message) + "\n";
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

} // namespace tavik
