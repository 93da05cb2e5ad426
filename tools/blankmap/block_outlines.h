#pragma once

#include <QPoint>
#include <QRect>

#include <string>
#include <vector>

namespace tavik {

// The outline polygon of a block whose rectangle `rect` lies under the
// rectangles `above` (blocks drawn after it): the part of `rect` that none of
// them covers, as the vertices of one polygon in pixel corners (a rectangle
// from (l, t) to (r + 1, b + 1) for pixels l..r, t..b), clockwise on the
// image. Empty, with `error` (UTF-8), when nothing is left, or what is left
// falls apart, has a hole, or needs more than `maxVertices` vertices.
std::vector<QPoint> blockOutline(
    const QRect& rect, const std::vector<QRect>& above, int maxVertices, std::string& error);

} // namespace tavik
