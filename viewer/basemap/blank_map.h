#pragma once

#include "viewer/basemap/map_block.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class MessageSink;
struct ChildRule;
struct TagName;

// The blank-map definition of a base map: the map blocks that divide the
// image, each with its projection and outline polygon, in file order.
class BlankMap {
public:
    // Reads a definition file (cp932 path). Parse errors and schema findings
    // are shown through the sink; the blocks are built from the tree even
    // after schema findings. False when the file does not parse, its only
    // top-level node is not a "blank-map" element, or it gives no block; the
    // blocks held before stay then.
    bool load(std::string_view path, MessageSink& sink);

    // The built-in definition for a base map without definition file: one
    // block without projection and without outline.
    void setDefault();

    // Reads the definition that lies beside a base map image, or takes the
    // built-in one when there is no such file. False when the file exists but
    // does not load.
    bool loadForImage(std::string_view imagePath, MessageSink& sink);

    // The definition file of a base map image: the image path with its
    // extension replaced by ".cfg".
    static std::string definitionPath(std::string_view imagePath);

    const std::vector<MapBlock>& blocks() const { return blocks_; }

    // Replaces the blocks with ones made by a program rather than read.
    void setBlocks(std::vector<MapBlock> blocks) { blocks_ = std::move(blocks); }

    // The definition file of the blocks, as a program that makes base maps
    // writes it: one tag per line, tab indentation, CR LF line ends, the
    // comment (cp932) on the blank-map element. Reals are written in the
    // shortest fixed notation that reads back to the same value, so that the
    // file gives the same projections; the rotation in degrees.
    std::string text(std::string_view comment = {}) const;

    static const std::vector<TagName>& tagTable();
    static const std::vector<ChildRule>& schema();

private:
    std::vector<MapBlock> blocks_;
};

} // namespace tavik
