#include "platform/cp932.h"

#include "platform/iconv_handle.h"
#include "platform/system_error.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <vector>

namespace tavik {
namespace {

// Stops the program: a conversion the system cannot open. Any thread may
// meet it, so the process ends at once (_Exit) rather than running other
// threads' destructors; files are only ever put in place whole, so nothing
// half-written is left where a table or map was.
[[noreturn]] void stopWithoutConversion(const char* to, const char* from, int error)
{
    std::fprintf(stderr,
        "文字コードを %s から %s に変換できません (%s).\n"
        "システムの文字コード変換 (glibc の gconv モジュール) が入っているか確かめて下さい.\n",
        from, to, systemErrorText(error).c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

// One conversion descriptor per thread and direction, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from)
        : handle_(to, from)
    {
        if (!handle_.valid())
            stopWithoutConversion(to, from, errno);
    }

    // Converts text; on an invalid or unconvertible sequence appends the
    // replacement and skips what `skip` says the bad character occupies.
    template <typename Skip> std::string convert(std::string_view in, std::string_view replacement, Skip skip)
    {
        std::string out;
        iconv(handle_.get(), nullptr, nullptr, nullptr, nullptr);
        out.reserve(in.size() * 3 / 2 + 8);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(handle_.get(), &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: a character that cannot be converted.
            out.append(replacement);
            size_t bad = skip(std::string_view(src, srcLeft));
            src += bad;
            srcLeft -= bad;
            iconv(handle_.get(), nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    IconvHandle handle_;
};

bool isAscii(std::string_view text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// Bytes taken by the UTF-8 character at the start of text (at least 1).
size_t utf8SequenceLength(std::string_view text)
{
    auto lead = static_cast<unsigned char>(text[0]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    size_t n = 1;
    while (n < length && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

} // namespace

void requireConversion(const char* to, const char* from) { Converter converter(to, from); }

std::string cutCp932(std::string_view text, size_t limit)
{
    if (text.size() <= limit)
        return std::string(text);
    size_t end = 0;
    while (end < limit) {
        size_t width = isCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > limit)
            break;
        end += width;
    }
    return std::string(text.substr(0, end));
}

std::string cp932ToUtf8(std::string_view cp932)
{
    if (isAscii(cp932))
        return std::string(cp932);
    thread_local Converter converter("UTF-8", "CP932");
    return converter.convert(cp932, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

Cp932Text utf8ToCp932(std::string_view utf8)
{
    if (isAscii(utf8))
        return Cp932Text(utf8);
    thread_local Converter converter("CP932", "UTF-8");
    return Cp932Text(converter.convert(utf8, "?", utf8SequenceLength));
}

std::optional<std::string> utf8ToCp932Exact(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    thread_local Converter converter("CP932", "UTF-8");
    bool lost = false;
    std::string out = converter.convert(utf8, "", [&lost](std::string_view rest) {
        lost = true;
        return utf8SequenceLength(rest);
    });
    if (lost)
        return std::nullopt;
    return out;
}

std::optional<std::string> utf8ToCp932RoundTrip(std::string_view utf8)
{
    std::optional<std::string> cp932 = utf8ToCp932Exact(utf8);
    if (!cp932 || cp932ToUtf8(*cp932) != utf8)
        return std::nullopt;
    return cp932;
}

Cp932Text cp932Printf(const char* utf8Format, ...)
{
    std::string format = utf8ToCp932(utf8Format);
    va_list args;
    va_start(args, utf8Format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format.c_str(), copy);
    va_end(copy);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(out.data(), out.size(), format.c_str(), args);
        out.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return Cp932Text(std::move(out));
}

std::ostream& operator<<(std::ostream& stream, const Cp932Text& text) { return stream << text.bytes(); }

} // namespace tavik
