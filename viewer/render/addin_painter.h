#pragma once

#include <vector>

class QPainter;

namespace tavik {

struct AddinRecord;
struct MapBlock;

// Draws the add-in records into one map block with its projection; the
// painter is already clipped to the block. A block without projection draws
// none.
void drawAddins(QPainter& painter, const std::vector<AddinRecord>& records, const MapBlock& block);

} // namespace tavik
