#include "tools/samvel/fact_store.h"

#include "common/csv_writer.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "platform/cp932.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tavik {
namespace {

void appendCode(std::string& line, std::int64_t code)
{
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, code);
    line.append(digits, result.ptr);
}

bool writeError(std::string_view path, ToolError& error)
{
    std::string where(path);
    return error.set(path, cp932Printf("%s を書き込めませんでした.", where.c_str()));
}

} // namespace

FactStore::FactStore(const std::vector<std::int64_t>& speciesCodes)
{
    species_.resize(speciesCodes.size());
    for (size_t i = 0; i < speciesCodes.size(); ++i)
        species_[i].code = speciesCodes[i];
}

template <typename Record>
FactStore::AddResult FactStore::append(RecordPool<Record>& pool, size_t species, std::uint32_t& number)
{
    number = pool.add();
    if (number == RecordPool<Record>::none)
        return AddResult::PoolFull;
    pool[number].species = static_cast<std::uint32_t>(species);
    return AddResult::Added;
}

template <typename Record>
FactStore::SpeciesGroups<Record> FactStore::groupBySpecies(const RecordPool<Record>& pool) const
{
    SpeciesGroups<Record> groups;
    std::vector<std::uint32_t>& offsets = groups.offsets;
    offsets.assign(species_.size() + 1, 0);
    for (std::uint32_t n = 0; n < pool.size(); ++n)
        ++offsets[pool[n].species + 1];
    for (size_t s = 1; s < offsets.size(); ++s)
        offsets[s] += offsets[s - 1];
    std::vector<std::uint32_t> next(offsets.begin(), offsets.end() - 1);
    groups.numbers.resize(pool.size());
    for (std::uint32_t n = 0; n < pool.size(); ++n)
        groups.numbers[next[pool[n].species]++] = n;
    return groups;
}

template <typename Record>
void FactStore::SpeciesGroups<Record>::gather(
    const RecordPool<Record>& pool, size_t s, std::vector<Record>& records) const
{
    records.clear();
    for (std::uint32_t k = offsets[s]; k < offsets[s + 1]; ++k)
        records.push_back(pool[numbers[k]]);
}

FactStore::AddResult FactStore::addPoint(size_t species, const FactLocation& location, char reliability)
{
    std::uint32_t number = 0;
    AddResult result = append(points_, species, number);
    if (result == AddResult::Added) {
        PointRecord& point = points_[number];
        point.location = location;
        point.reliability = reliability;
    }
    return result;
}

FactStore::AddResult FactStore::addLiterature(size_t species, const FactLocation& location, std::string_view code)
{
    std::uint32_t number = 0;
    AddResult result = append(literature_, species, number);
    if (result == AddResult::Added) {
        LiteratureRecord& record = literature_[number];
        record.location = location;
        code = cutText(code, sizeof record.code - 1);
        std::memcpy(record.code, code.data(), code.size());
        record.code[code.size()] = '\0';
    }
    return result;
}

Cp932Text FactStore::poolFullMessage() { return cp932Literal("コンピュータのメモリが足りません."); }

char FactStore::mergedReliability(char head, char later)
{
    bool headIsBC = head == 'B' || head == 'C';
    if (later == 'A' && headIsBC)
        return 'A';
    if (later == 'B' && head == 'C')
        return 'B';
    if (later == 'Z' && (head == 'A' || headIsBC))
        return 'Z';
    return head;
}

bool FactStore::writeDistribution(CsvWriter& writer, std::string_view path, ToolError& error)
{
    const SpeciesGroups<PointRecord> groups = groupBySpecies(points_);
    std::vector<PointRecord> sorted;
    std::string line, location;
    for (size_t s = 0; s < species_.size(); ++s) {
        const SpeciesEntry& entry = species_[s];
        groups.gather(points_, s, sorted);
        // A stable sort keeps equal points in arrival order, so "later" in
        // the reliability merge means later in the tables read.
        std::stable_sort(sorted.begin(), sorted.end(),
            [](const PointRecord& a, const PointRecord& b) { return compareLocations(a.location, b.location) < 0; });

        line.clear();
        appendCode(line, entry.code);
        for (size_t i = 0; i < sorted.size();) {
            const PointRecord& head = sorted[i];
            char reliability = head.reliability;
            for (++i; i < sorted.size() && sameLocation(head.location, sorted[i].location); ++i)
                reliability = mergedReliability(reliability, sorted[i].reliability);
            line += ',';
            location.clear();
            head.location.appendText(location);
            CsvWriter::appendField(line, location, true);
            line += ',';
            if (static_cast<unsigned char>(reliability) > ' ')
                CsvWriter::appendField(line, std::string_view(&reliability, 1), true);
        }
        if (!writer.putLine(line))
            return writeError(path, error);
    }
    return writer.flush() || writeError(path, error);
}

bool FactStore::writeSpeciesLiterature(CsvWriter& writer, std::string_view path, ToolError& error)
{
    const SpeciesGroups<LiteratureRecord> groups = groupBySpecies(literature_);
    std::vector<LiteratureRecord> sorted;
    std::string location;
    for (size_t s = 0; s < species_.size(); ++s) {
        const SpeciesEntry& entry = species_[s];
        groups.gather(literature_, s, sorted);
        std::stable_sort(sorted.begin(), sorted.end(), [](const LiteratureRecord& a, const LiteratureRecord& b) {
            if (int order = compareLocations(a.location, b.location))
                return order < 0;
            // Codes are padded with zero bytes, so this is their text order.
            return std::memcmp(a.code, b.code, sizeof a.code) < 0;
        });

        char code[24];
        std::string_view codeText(
            code, static_cast<size_t>(std::to_chars(code, code + sizeof code, entry.code).ptr - code));
        if (sorted.empty()) {
            writer.putField(codeText);
            if (!writer.endLine())
                return writeError(path, error);
            continue;
        }
        const LiteratureRecord* head = nullptr;
        for (const LiteratureRecord& record : sorted) {
            if (head && sameLocation(head->location, record.location) && head->code[0] != '\0'
                && std::strcmp(head->code, record.code) == 0)
                continue;
            head = &record;
            location.clear();
            record.location.appendText(location);
            writer.putField(codeText);
            writer.putField(location);
            writer.putField(record.code);
            if (!writer.endLine())
                return writeError(path, error);
        }
    }
    return writer.flush() || writeError(path, error);
}

} // namespace tavik
