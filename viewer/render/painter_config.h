#pragma once

#include "viewer/render/target_style.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class MessageSink;
struct ChildRule;
struct TagName;

// How the species of a map are painted: ten style slots (the k-th species of
// a map takes slot k), the offset between coinciding marks of overlaid
// species, and the font of letter marks. Read from and written to the painter
// configuration file ("Painter.cfg").
struct PainterConfig {
    static constexpr int SlotCount = 10;
    static constexpr std::size_t FaceNameLimit = 63; // bytes
    static constexpr double MaxSize = 99.0; // largest mark and font size the file may give

    int overlapShiftX = 0; // pixels
    int overlapShiftY = 0; // pixels
    double fontSize = 0.0; // points
    bool bold = false;
    bool italic = false;
    std::string faceName = "Century";
    std::uint8_t characterSet = 0; // has no meaning on this platform; kept 0
    std::array<TargetStyle, SlotCount> slots{};
    int slotCount = 0; // target elements read, 0 to 10
    bool held = false; // false until a file gave a configuration

    // Reads a painter configuration file (cp932 path); parse errors and
    // schema findings are shown through the sink. The configuration is built
    // from the tree after schema findings; missing attributes leave zeros.
    // False on a parse error, when the only top-level node is not a "painter"
    // element, or with more than ten targets; this object is unchanged then.
    // A painter element without children succeeds and holds no configuration.
    bool load(std::string_view path, MessageSink& sink);

    // Writes the configuration with all ten slots, one tag per line with CR
    // LF line ends, replacing the file whole. True also when no configuration
    // is held (nothing is written); false when the file cannot be written.
    bool save(std::string_view path, std::string* errorText = nullptr) const;

    // The file text save() writes.
    std::string text() const;

    // The style of the i-th species of a map, i from 0 (clamped to 0 to 9).
    const TargetStyle& slot(int i) const;

    // "R,G,B": the first three comma-separated parts as decimal integers,
    // each kept in its low 8 bits; missing parts are 0.
    static Colour parseColor(std::string_view text);

    static const std::vector<TagName>& tagTable();
    static const std::vector<ChildRule>& schema();
};

} // namespace tavik
