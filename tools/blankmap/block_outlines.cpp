#include "tools/blankmap/block_outlines.h"

#include <algorithm>
#include <map>
#include <set>

namespace tavik {

std::vector<QPoint> blockOutline(
    const QRect& rect, const std::vector<QRect>& above, int maxVertices, std::string& error)
{
    // The rectangles' edges divide `rect` into a coarse grid of cells, each
    // wholly covered or wholly left.
    std::set<int> xSet{rect.left(), rect.right() + 1}, ySet{rect.top(), rect.bottom() + 1};
    std::vector<QRect> cuts;
    for (const QRect& other : above) {
        QRect cut = other.intersected(rect);
        if (cut.isEmpty())
            continue;
        cuts.push_back(cut);
        xSet.insert({cut.left(), cut.right() + 1});
        ySet.insert({cut.top(), cut.bottom() + 1});
    }
    const std::vector<int> xs(xSet.begin(), xSet.end()), ys(ySet.begin(), ySet.end());
    const int columns = static_cast<int>(xs.size()) - 1, rows = static_cast<int>(ys.size()) - 1;
    auto left = [&](int column, int row) {
        if (column < 0 || row < 0 || column >= columns || row >= rows)
            return false;
        const QPoint corner(xs[column], ys[row]);
        return std::none_of(cuts.begin(), cuts.end(), [&](const QRect& cut) { return cut.contains(corner); });
    };

    // Boundary edges between a left cell and a covered (or outer) one, each
    // directed so that the left cells lie on its right-hand side on the image
    // (y grows downwards): the loop they form runs clockwise.
    std::map<std::pair<int, int>, std::vector<std::pair<int, int>>> next; // grid corner -> following corners
    int cells = 0, edges = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (!left(column, row))
                continue;
            ++cells;
            auto add = [&](int c0, int r0, int c1, int r1) {
                next[{c0, r0}].push_back({c1, r1});
                ++edges;
            };
            if (!left(column, row - 1))
                add(column, row, column + 1, row);
            if (!left(column + 1, row))
                add(column + 1, row, column + 1, row + 1);
            if (!left(column, row + 1))
                add(column + 1, row + 1, column, row + 1);
            if (!left(column - 1, row))
                add(column, row + 1, column, row);
        }
    }
    if (cells == 0) {
        error = "後のブロックに全体が覆われています";
        return {};
    }
    for (const auto& [corner, following] : next) {
        if (following.size() != 1) {
            error = "後のブロックに覆われずに残る部分が、角で接しています";
            return {};
        }
    }
    std::vector<std::pair<int, int>> loop;
    std::pair<int, int> corner = next.begin()->first;
    do {
        loop.push_back(corner);
        corner = next[corner].front();
    } while (corner != loop.front() && static_cast<int>(loop.size()) <= edges);
    if (static_cast<int>(loop.size()) != edges) {
        error = "後のブロックに覆われずに残る部分が、離ればなれになるか、穴があいています";
        return {};
    }

    // Only the corners where the outline turns are vertices.
    std::vector<QPoint> outline;
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto& before = loop[(i + n - 1) % n];
        const auto& at = loop[i];
        const auto& after = loop[(i + 1) % n];
        const bool straight = (before.first == at.first && at.first == after.first)
            || (before.second == at.second && at.second == after.second);
        if (!straight)
            outline.emplace_back(xs[at.first], ys[at.second]);
    }
    // Start at the top-left corner, as one would write it down.
    auto first = std::min_element(outline.begin(), outline.end(),
        [](const QPoint& a, const QPoint& b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    std::rotate(outline.begin(), first, outline.end());
    if (static_cast<int>(outline.size()) > maxVertices) {
        error = "輪郭の頂点が " + std::to_string(outline.size()) + " 個になります。頂点は "
            + std::to_string(maxVertices) + " 個までです";
        return {};
    }
    return outline;
}

} // namespace tavik
