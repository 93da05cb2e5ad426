#include "tools/dwcimport/event_index.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace tavik {
namespace {

// Bytes of a value kept: more is never a coordinate, a date or a place name.
constexpr size_t maxValueBytes = 4096;

// An event is stored as its id's length (4 bytes) and bytes, then for each
// inherited term the value's length (2 bytes) and bytes.
void putLength(char*& at, size_t length, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i)
        *at++ = static_cast<char>((length >> (8 * i)) & 0xFF);
}

size_t takeLength(const char*& at, size_t bytes)
{
    size_t length = 0;
    for (size_t i = 0; i < bytes; ++i)
        length |= static_cast<size_t>(static_cast<unsigned char>(*at++)) << (8 * i);
    return length;
}

std::uint64_t hashOf(std::string_view id) { return std::hash<std::string_view>{}(id); }

} // namespace

EventIndex::EventIndex(size_t budgetBytes)
    : budget_(budgetBytes)
{
}

EventIndex::~EventIndex() = default;

size_t EventIndex::bytes() const { return chunks_.size() * chunkBytes + entries_.capacity() * sizeof(Entry); }

char* EventIndex::allocate(size_t size, Entry& entry)
{
    if (chunkUsed_ + size > chunkBytes) {
        if (bytes() + chunkBytes > budget_)
            return nullptr;
        chunks_.push_back(std::make_unique<char[]>(chunkBytes));
        chunkUsed_ = 0;
    }
    entry.chunk = static_cast<std::uint32_t>(chunks_.size() - 1);
    entry.offset = static_cast<std::uint32_t>(chunkUsed_);
    chunkUsed_ += size;
    return chunks_.back().get() + entry.offset;
}

EventIndex::Added EventIndex::add(
    std::string_view id, const TermColumns& columns, const std::vector<std::string_view>& fields)
{
    if (id.size() > maxIdBytes)
        return Added::IdTooLong;
    std::array<std::string_view, inheritedTerms.size()> values;
    size_t size = 4 + id.size();
    for (size_t i = 0; i < inheritedTerms.size(); ++i) {
        values[i] = columns.value(inheritedTerms[i], fields).substr(0, maxValueBytes);
        size += 2 + values[i].size();
    }
    if (entries_.size() == entries_.capacity()) {
        size_t grown = std::max<size_t>(1024, entries_.capacity() * 2);
        if (chunks_.size() * chunkBytes + grown * sizeof(Entry) > budget_)
            return Added::OverBudget;
        entries_.reserve(grown);
    }
    Entry entry{hashOf(id), 0, 0};
    char* at = allocate(size, entry);
    if (!at)
        return Added::OverBudget;
    putLength(at, id.size(), 4);
    std::memcpy(at, id.data(), id.size());
    at += id.size();
    for (std::string_view value : values) {
        putLength(at, value.size(), 2);
        std::memcpy(at, value.data(), value.size());
        at += value.size();
    }
    entries_.push_back(entry);
    return Added::Ok;
}

std::string_view EventIndex::idOf(const Entry& entry) const
{
    const char* at = chunks_[entry.chunk].get() + entry.offset;
    size_t length = takeLength(at, 4);
    return {at, length};
}

void EventIndex::finish()
{
    // Entries are in file order: a stable sort keeps the first of an id first.
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.hash < b.hash; });
    auto out = entries_.begin();
    for (auto run = entries_.begin(); run != entries_.end();) {
        auto runEnd = std::find_if(run, entries_.end(), [&](const Entry& e) { return e.hash != run->hash; });
        auto keptStart = out;
        for (auto e = run; e != runEnd; ++e) {
            Entry current = *e;
            std::string_view id = idOf(current);
            if (std::any_of(keptStart, out, [&](const Entry& kept) { return idOf(kept) == id; }))
                ++duplicates_;
            else
                *out++ = current;
        }
        run = runEnd;
    }
    entries_.erase(out, entries_.end());
}

bool EventIndex::find(std::string_view id, EventValues& values) const
{
    std::uint64_t hash = hashOf(id);
    auto at = std::lower_bound(
        entries_.begin(), entries_.end(), hash, [](const Entry& e, std::uint64_t h) { return e.hash < h; });
    for (; at != entries_.end() && at->hash == hash; ++at) {
        const char* data = chunks_[at->chunk].get() + at->offset;
        size_t idLength = takeLength(data, 4);
        if (std::string_view(data, idLength) != id)
            continue;
        data += idLength;
        values.fill({});
        for (OccurrenceTerm term : inheritedTerms) {
            size_t length = takeLength(data, 2);
            values[static_cast<size_t>(term)] = std::string_view(data, length);
            data += length;
        }
        return true;
    }
    return false;
}

} // namespace tavik
