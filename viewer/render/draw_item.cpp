#include "viewer/render/draw_item.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <tuple>
#include <utility>

namespace tavik {

namespace {

// What an item sorts by: four numbers compared in turn.
using SortFields = std::array<std::int64_t, 4>;

// Puts item keys[i] in place i, following each cycle of the permutation
// once so that every item moves a single time. Leaves keys as 0, 1, 2, ...
void applyOrder(std::vector<DrawItem>& items, std::vector<std::uint32_t>& order)
{
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start)
            continue;
        DrawItem held = std::move(items[start]);
        size_t place = start;
        for (;;) {
            const size_t from = order[place];
            order[place] = static_cast<std::uint32_t>(place);
            if (from == start) {
                items[place] = std::move(held);
                break;
            }
            items[place] = std::move(items[from]);
            place = from;
        }
    }
}

// Sorts the words by their low `bits` bits, least significant digit first.
void radixSort(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& other, int bits)
{
    constexpr int kDigitBits = 11;
    constexpr size_t kBuckets = size_t(1) << kDigitBits;
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
template <typename FieldsOf> void sortItems(std::vector<DrawItem>& items, FieldsOf fieldsOf)
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
    order.resize(n);
    if (total <= 64) {
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
    sortItems(items, [](const DrawItem& item) -> SortFields {
        if (item.type != DrawItem::Type::Mark)
            return byPlace(item);
        // Type, slot, x, y.
        return {static_cast<std::int64_t>(item.type), item.slot, item.position.x(), item.position.y()};
    });
}

} // namespace tavik
