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

} // namespace

std::string quotedForReport(std::string_view cp932, std::size_t maxBytes)
{
    const std::string ellipsis = cp932Literal("…");
    std::string out;
    for (std::size_t i = 0; i < cp932.size();) {
        auto c = static_cast<unsigned char>(cp932[i]);
        std::size_t length = isCp932LeadByte(c) && i + 1 < cp932.size() ? 2 : 1;
        std::string piece = isControl(c) ? escaped(c) : std::string(cp932.substr(i, length));
        if (out.size() + piece.size() > maxBytes)
            return out + ellipsis;
        out += piece;
        i += length;
    }
    return out;
}

std::string withControlsEscaped(std::string_view cp932)
{
    std::string out;
    out.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        auto c = static_cast<unsigned char>(cp932[i]);
        if (isCp932LeadByte(c) && i + 1 < cp932.size()) {
            out += cp932.substr(i, 2);
            ++i;
        } else if (isControl(c) && c != '\n') {
            out += escaped(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace tavik
