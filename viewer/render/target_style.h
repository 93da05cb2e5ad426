#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// A colour as configuration files write it, "R,G,B".
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The shape of a mark: 1 to 9 drawn figures, 10 to 35 the letters "A" to "Z",
// 36 to 61 the letters "a" to "z". Code 0 (no shape given) is drawn as a cross.
namespace MarkShape {
inline constexpr std::uint8_t Cross = 1;
inline constexpr std::uint8_t Triangle = 2;
inline constexpr std::uint8_t FilledTriangle = 3;
inline constexpr std::uint8_t ReversedTriangle = 4;
inline constexpr std::uint8_t FilledReversedTriangle = 5;
inline constexpr std::uint8_t Square = 6;
inline constexpr std::uint8_t FilledSquare = 7;
inline constexpr std::uint8_t Circle = 8;
inline constexpr std::uint8_t FilledCircle = 9;
inline constexpr std::uint8_t FirstCapital = 10; // "A"
inline constexpr std::uint8_t FirstSmall = 36; // "a"
inline constexpr std::uint8_t Last = 61; // "z"

// The name of a shape in the painter configuration; "cross" for 0 and for
// codes that name no shape.
std::string name(std::uint8_t code);

// The code of a shape name (exact bytes), or nothing for an unknown name.
std::optional<std::uint8_t> code(std::string_view name);
} // namespace MarkShape

// The colours of marks and filled areas for one rank.
struct RankColors {
    Rgb mark;
    Rgb fill;
    bool operator==(const RankColors&) const = default;
};

// How the k-th species of a map is painted.
struct TargetStyle {
    static constexpr std::size_t CommentLimit = 126; // bytes

    std::string comment;
    std::uint8_t shape = 0; // MarkShape code
    std::uint8_t thickness = 0; // pen width in pixels, 0 to 20
    float size = 0.0f; // mark size, 0 to 99 (turned into pixels by the renderer)
    std::array<RankColors, 4> ranks{}; // by rank: 0 A, 1 B, 2 C, 3 Z
    bool operator==(const TargetStyle&) const = default;
};

} // namespace tavik
