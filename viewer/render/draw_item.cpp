#include "viewer/render/draw_item.h"

#include "platform/huge_pages.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <tuple>
#include <utility>

namespace tavik {

namespace {

// What an item sorts by: four numbers compared in turn.
using SortFields = std::array<std::int64_t, 4>;

// Puts item order[i] in place i: gathered into room the thread keeps (fresh
// memory costs a page fault for every 4 kB of it) and copied back, which
// reads the items in the new order but writes them in turn, where following
// the permutation's cycles would write all over a crowded map's items.
void applyOrder(std::span<DrawItem> items, const std::vector<std::uint32_t>& order)
{
    thread_local std::vector<DrawItem> gathered;
    gathered.clear();
    gathered.reserve(items.size());
    preferHugePages(gathered);
    for (std::uint32_t from : order)
        gathered.push_back(items[from]);
    std::copy(gathered.begin(), gathered.end(), items.begin());
}

// Sorts the words by their low `bits` bits, least significant digit first.
void radixSort(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& other, int bits)
{
    constexpr int kDigitBits = 11;
    constexpr size_t kBuckets = size_t(1) << kDigitBits;
    other.reserve(keys.size());
    preferHugePages(other);
    other.resize(keys.size());
    std::vector<std::uint32_t> counts(kBuckets);
    for (int shift = 0; shift < bits; shift += kDigitBits) {
        std::fill(counts.begin(), counts.end(), 0u);
        for (std::uint64_t key : keys)
            ++counts[(key >> shift) & (kBuckets - 1)];
        std::uint32_t start = 0;
        for (std::uint32_t& count : counts)
            start += std::exchange(count, start);
        for (std::uint64_t key : keys)
            other[counts[(key >> shift) & (kBuckets - 1)]++] = key;
        keys.swap(other);
    }
}

// Sorts the items by their fields, equal items keeping their order. Rather
// than merge-sorting the items themselves, it sorts small keys and then moves
// each item once: when the fields' ranges (on a map, a few thousand pixels)
// and the item's index fit in 64 bits together, one packed word an item;
// otherwise the items' indices, comparing their fields.
template <typename FieldsOf> void sortItems(std::span<DrawItem> items, FieldsOf fieldsOf)
{
    const size_t n = items.size();
    if (n < 2)
        return;
    SortFields low = fieldsOf(items[0]), high = low;
    for (const DrawItem& item : items) {
        const SortFields fields = fieldsOf(item);
        for (size_t f = 0; f < 4; ++f) {
            low[f] = std::min(low[f], fields[f]);
            high[f] = std::max(high[f], fields[f]);
        }
    }
    const int indexWidth = static_cast<int>(std::bit_width(n - 1));
    std::array<int, 4> widths{};
    int total = indexWidth;
    for (size_t f = 0; f < 4; ++f) {
        widths[f] = static_cast<int>(std::bit_width(static_cast<std::uint64_t>(high[f] - low[f])));
        total += widths[f];
    }
    // Room kept by each thread for the next sort: fresh memory costs a page
    // fault for every 4 kB of it.
    thread_local std::vector<std::uint64_t> keys, other;
    thread_local std::vector<std::uint32_t> order;
    order.reserve(n);
    preferHugePages(order);
    order.resize(n);
    if (total <= 64) {
        keys.reserve(n);
        preferHugePages(keys);
        keys.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const SortFields fields = fieldsOf(items[i]);
            std::uint64_t key = 0;
            for (size_t f = 0; f < 4; ++f)
                key = (widths[f] ? key << widths[f] : key) | static_cast<std::uint64_t>(fields[f] - low[f]);
            keys[i] = (indexWidth ? key << indexWidth : key) | i;
        }
        radixSort(keys, other, total);
        const std::uint64_t mask = (std::uint64_t(1) << indexWidth) - 1;
        for (size_t i = 0; i < n; ++i)
            order[i] = static_cast<std::uint32_t>(keys[i] & mask);
    } else {
        for (size_t i = 0; i < n; ++i)
            order[i] = static_cast<std::uint32_t>(i);
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return std::tuple(fieldsOf(items[a]), a) < std::tuple(fieldsOf(items[b]), b);
        });
    }
    applyOrder(items, order);
}

// Type, x, y, slot.
SortFields byPlace(const DrawItem& item)
{
    return {static_cast<std::int64_t>(item.type), item.position.x(), item.position.y(), item.slot};
}

} // namespace

void sortForFanOut(std::vector<DrawItem>& items) { sortItems(items, byPlace); }

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
    // Fills and squares keep the fan-out order, which is theirs for drawing;
    // only the marks, last, take theirs.
    auto marks = std::partition_point(
        items.begin(), items.end(), [](const DrawItem& item) { return item.type != DrawItem::Type::Mark; });
    sortItems(std::span<DrawItem>(marks, items.end()), [](const DrawItem& item) -> SortFields {
        // Slot, x, y.
        return {item.slot, item.position.x(), item.position.y(), 0};
    });
}

} // namespace tavik
