#include "viewer/render/draw_item.h"

#include <algorithm>
#include <tuple>

namespace tavik {

void sortForFanOut(std::vector<DrawItem>& items)
{
    std::stable_sort(items.begin(), items.end(), [](const DrawItem& a, const DrawItem& b) {
        return std::tuple(a.type, a.position.x(), a.position.y(), a.slot)
            < std::tuple(b.type, b.position.x(), b.position.y(), b.slot);
    });
}

void fanOutMarks(std::vector<DrawItem>& items, const QPoint& shift)
{
    bool inGroup = false;
    QPoint groupStart;
    int k = 0;
    for (DrawItem& item : items) {
        if (item.type != DrawItem::Type::Mark)
            continue;
        if (inGroup && item.position == groupStart) {
            ++k;
            item.position += k * shift;
        } else {
            inGroup = true;
            groupStart = item.position;
            k = 0;
        }
    }
}

void sortForDrawing(std::vector<DrawItem>& items)
{
    std::stable_sort(items.begin(), items.end(), [](const DrawItem& a, const DrawItem& b) {
        if (a.type != b.type)
            return a.type < b.type;
        if (a.type == DrawItem::Type::Mark)
            return std::tuple(a.slot, a.position.x(), a.position.y())
                < std::tuple(b.slot, b.position.x(), b.position.y());
        return std::tuple(a.position.x(), a.position.y(), a.slot) < std::tuple(b.position.x(), b.position.y(), b.slot);
    });
}

} // namespace tavik
