#pragma once

#include "tools/dwcimport/term_columns.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tavik {

// The values an occurrence takes from its event: text by term, empty for the
// terms an event does not give.
using EventValues = std::array<std::string_view, occurrenceTermCount>;

// The events of a sampling-event dataset (an archive with an Event core), by
// their id, holding what an occurrence of the event takes from it where it
// has none of its own: the coordinates with their datum and uncertainty, the
// state or province and county, and the date. The events are read once,
// before the occurrences; each takes the bytes of its id and those values
// (each cut to 4 KiB) and 16 bytes of index, so a million events of usual
// size take some 100 MB. The index never holds more than its budget (while
// its list grows, the list's old copy adds at most a third more for a moment):
// an archive with more events is refused rather than read into all memory.
class EventIndex {
public:
    static constexpr size_t defaultBudgetBytes = size_t{256} << 20;
    // The longest event id kept, in bytes.
    static constexpr size_t maxIdBytes = size_t{16} << 10;

    // The terms an occurrence takes from its event.
    static constexpr std::array<OccurrenceTerm, 8> inheritedTerms = {OccurrenceTerm::DecimalLatitude,
        OccurrenceTerm::DecimalLongitude, OccurrenceTerm::GeodeticDatum, OccurrenceTerm::CoordinateUncertaintyInMeters,
        OccurrenceTerm::StateProvince, OccurrenceTerm::County, OccurrenceTerm::EventDate, OccurrenceTerm::Year};

    enum class Added { Ok, OverBudget, IdTooLong };

    explicit EventIndex(size_t budgetBytes = defaultBudgetBytes);
    ~EventIndex();
    EventIndex(const EventIndex&) = delete;
    EventIndex& operator=(const EventIndex&) = delete;

    // Adds the event of an id with its values (found through columns).
    Added add(std::string_view id, const TermColumns& columns, const std::vector<std::string_view>& fields);

    // Makes the events found; call once, after the last add. Of events that
    // share an id the first is kept.
    void finish();

    // The values of the event of an id; false when there is none.
    bool find(std::string_view id, EventValues& values) const;

    size_t size() const { return entries_.size(); }
    // Events whose id an earlier event had already.
    long duplicates() const { return duplicates_; }
    // Bytes the index holds.
    size_t bytes() const;
    size_t budgetBytes() const { return budget_; }

private:
    struct Entry {
        std::uint64_t hash;
        std::uint32_t chunk;
        std::uint32_t offset;
    };
    static constexpr size_t chunkBytes = size_t{1} << 20;

    std::string_view idOf(const Entry& entry) const;
    char* allocate(size_t size, Entry& entry);

    size_t budget_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    size_t chunkUsed_ = chunkBytes;
    std::vector<Entry> entries_;
    long duplicates_ = 0;
};

} // namespace tavik
