#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

namespace tavik {

// Text in cp932 bytes: what messages, labels and the tables' texts are made
// of. One is made only by a conversion (utf8ToCp932, cp932Literal,
// cp932Printf, and cp932Text / cp932Of at the Qt edge); bytes that are cp932
// already (a table's field, a path from the settings) go into a message as
// cp932Printf's arguments. The constructors are for those conversions alone
// (tests/guards/cp932_text_made.py refuses any other).
// Messages and the tools' faults hold this type, so a UTF-8 text, such as
// a system's error text or a Qt message, cannot become one unconverted.
// It reads as its bytes wherever a std::string or std::string_view is
// taken, so a table, a file or a label takes it as it is.
class Cp932Text {
public:
    Cp932Text() = default;
    explicit Cp932Text(std::string bytes)
        : bytes_(std::move(bytes))
    {
    }
    explicit Cp932Text(std::string_view bytes)
        : bytes_(bytes)
    {
    }

    const std::string& bytes() const { return bytes_; }
    const char* c_str() const { return bytes_.c_str(); }
    bool empty() const { return bytes_.empty(); }
    std::size_t size() const { return bytes_.size(); }

    operator const std::string&() const { return bytes_; }
    operator std::string_view() const { return bytes_; }

    Cp932Text& operator+=(const Cp932Text& more)
    {
        bytes_ += more.bytes_;
        return *this;
    }
    friend Cp932Text operator+(Cp932Text text, const Cp932Text& more)
    {
        text += more;
        return text;
    }
    friend bool operator==(const Cp932Text&, const Cp932Text&) = default;
    // Compares the bytes with bytes of any kind: a comparison moves no text.
    friend bool operator==(const Cp932Text& text, std::string_view bytes) { return text.bytes_ == bytes; }

private:
    std::string bytes_;
};

// Writes the bytes as they are (test reports, diagnostics).
std::ostream& operator<<(std::ostream& stream, const Cp932Text& text);

} // namespace tavik
