#pragma once

#include "common/colour.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The name of a mark shape code (MarkShape, mark_painter.h) in the painter
// configuration; "cross" for 0 and for codes that name no shape.
std::string markShapeName(int code);

// The code of a shape name (exact bytes), or nothing for an unknown name.
std::optional<int> markShapeCode(std::string_view name);

// The colours of marks and filled areas for one rank.
struct RankColors {
    Colour mark;
    Colour fill;
    friend bool operator==(const RankColors&, const RankColors&) = default;
};

// How the k-th species of a map is painted.
struct TargetStyle {
    static constexpr std::size_t CommentLimit = 126; // bytes

    std::string comment;
    std::uint8_t shape = 0; // MarkShape code; 0 (none given) draws a cross
    std::uint8_t thickness = 0; // pen width in pixels, 0 to 20
    float size = 0.0f; // mark size, 0 to 99 (turned into pixels by the renderer)
    std::array<RankColors, 4> ranks{}; // by rank: 0 A, 1 B, 2 C, 3 Z

    friend bool operator==(const TargetStyle&, const TargetStyle&) = default;
};

} // namespace tavik
