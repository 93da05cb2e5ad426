#include "platform/tuning.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace tavik {

long tuningValue(const char* name, long fallback, long lowest, long highest)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    long value = 0;
    const char* end = text + std::strlen(text);
    auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value < lowest || value > highest)
        return fallback;
    return value;
}

} // namespace tavik
