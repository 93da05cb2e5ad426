#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tavik {

// The fault that ends a blankmap run: the file at fault as messages name it
// (displayPath; empty when none applies) and the message, both UTF-8. The
// program prints them as every tool prints its fault, on two lines
// (printReport).
struct BlankMapError {
    std::string file;
    std::string message;

    // Sets both and returns false, so readers can `return error.set(...)`.
    bool set(std::string_view atFile, std::string text)
    {
        file.assign(atFile);
        message = std::move(text);
        return false;
    }
};

} // namespace tavik
