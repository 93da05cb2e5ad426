#pragma once

#include "tools/samvel/fact_location.h"
#include "tools/samvel/record_pool.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class CsvWriter;
struct ToolError;

// Everything samvel will write: for every species of the species table, in
// code order, its distribution records (points) and its literature records,
// held in arrival order in two block pools until the merge.
class FactStore {
public:
    // A species may gather any number of records; only the pools are bounded.
    enum class AddResult {
        Added,
        PoolFull, // the pool cannot grow
    };

    // speciesCodes: the species table's codes, ascending and distinct.
    explicit FactStore(const std::vector<std::int64_t>& speciesCodes);

    size_t speciesCount() const { return species_.size(); }
    std::int64_t speciesCode(size_t species) const { return species_[species].code; }

    // reliability: the letter, or 0 for none.
    AddResult addPoint(size_t species, const FactLocation& location, char reliability);
    // code: a literature code of at most 27 bytes.
    AddResult addLiterature(size_t species, const FactLocation& location, std::string_view code);

    // Merges each species' points (one point per location, reliabilities
    // merged) and writes the distribution table: one line per species with
    // the code and a location-reliability pair per point, however many.
    // path (the table's, cp932) names the table in messages.
    bool writeDistribution(CsvWriter& writer, std::string_view path, ToolError& error);

    // Merges each species' literature records (one per location and code)
    // and writes the species-literature table: one line per record (code,
    // location, literature code), or the code alone for a species without any.
    bool writeSpeciesLiterature(CsvWriter& writer, std::string_view path, ToolError& error);

    // The message for a record that was not added because a pool is full (cp932).
    static Cp932Text poolFullMessage();

    // The reliability kept when a duplicate with `later` meets the run head
    // holding `head`.
    static char mergedReliability(char head, char later);

private:
    struct PointRecord {
        FactLocation location;
        char reliability = 0;
        std::uint32_t species = 0; // position in species_
    };
    struct LiteratureRecord {
        FactLocation location;
        char code[28] = {}; // zero-padded
        std::uint32_t species = 0;
    };
    struct SpeciesEntry {
        std::int64_t code = 0;
    };

    // A pool's record numbers grouped by species, each species' in arrival
    // order: species s owns numbers[offsets[s]] to numbers[offsets[s + 1]].
    // Four bytes a record instead of a second copy of the pool.
    template <typename Record> struct SpeciesGroups {
        std::vector<std::uint32_t> numbers;
        std::vector<std::uint32_t> offsets;

        // Copies species s' records, in arrival order, into records (reused
        // from species to species, so each sort runs on a small warm buffer).
        void gather(const RecordPool<Record>& pool, size_t s, std::vector<Record>& records) const;
    };
    template <typename Record> SpeciesGroups<Record> groupBySpecies(const RecordPool<Record>& pool) const;

    template <typename Record> AddResult append(RecordPool<Record>& pool, size_t species, std::uint32_t& number);

    std::vector<SpeciesEntry> species_;
    RecordPool<PointRecord> points_;
    RecordPool<LiteratureRecord> literature_;
};

} // namespace tavik
