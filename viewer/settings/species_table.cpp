#include "viewer/settings/species_table.h"

#include "common/group_codes.h"
#include "common/table_columns.h"
#include "common/table_overflow.h"
#include "common/table_rows.h"
#include "common/text_helpers.h"
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "viewer/settings/phyletic_table.h"

#include <algorithm>

namespace tavik {
const std::string& speciesName(const SpeciesRecord& species, NameMode mode)
{
    switch (mode) {
    case NameMode::Alias1Name:
        return species.alias1;
    case NameMode::Alias2Name:
        return species.alias2;
    case NameMode::ScientificName:
        break;
    }
    return species.scientificName;
}

SpeciesTable::LoadResult SpeciesTable::load(
    std::string_view path, int capacity, NameMode sortMode, MessageSink& messages)
{
    rows_.clear();
    CsvReader reader(CsvReader::viewerTables);
    if (!reader.open(path)) {
        sortByName(sortMode);
        return LoadResult::CannotOpen;
    }
    LoadResult result = LoadResult::Loaded;
    while (static_cast<int>(rows_.size()) < capacity) {
        // Fields beyond the columns read may be too long or too many: the
        // species is whole all the same. A blank line holds no species.
        const CsvReader::Row row = reader.nextRow(speciesColumn::count);
        if (row == CsvReader::Row::End)
            break;
        if (row == CsvReader::Row::Fault) {
            messages.stop(csvLineFaultMessage(reader.rowFault().status, path, reader.rowFault().line));
            result = LoadResult::FaultyLine;
            break;
        }
        SpeciesRecord record = SpeciesRecord::read(reader, TableTexts::AsWritten);
        record.row = static_cast<int>(rows_.size());
        rows_.push_back(std::move(record));
    }
    sortByName(sortMode);
    return result;
}

void SpeciesTable::sortByName(NameMode mode)
{
    byName_.resize(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        byName_[i] = i;
    std::stable_sort(byName_.begin(), byName_.end(), [&](size_t a, size_t b) {
        const std::string& x = speciesName(rows_[a], mode);
        const std::string& y = speciesName(rows_[b], mode);
        if (x.empty() != y.empty())
            return y.empty();
        return x < y; // std::string compares bytes as unsigned char
    });
}

bool SpeciesTable::assignPhyleticCodes(PhyleticTable& groups, MessageSink& messages)
{
    GroupAssignment assignment
        = assignGroupCodes(rows_, groups.rows(), static_cast<size_t>(std::max(groups.capacity(), 0)));
    for (PhyleticRecord& group : assignment.created)
        groups.append(std::move(group));
    groups.sortByCode();
    if (assignment.full)
        messages.stop(tableOverflowMessage("Phyletic Table", "PhyleticMax"));
    return !assignment.full;
}

const SpeciesRecord* SpeciesTable::find(std::int64_t code) const
{
    auto it = std::find_if(rows_.begin(), rows_.end(), [&](const SpeciesRecord& s) { return s.code == code; });
    return it == rows_.end() ? nullptr : &*it;
}

} // namespace tavik
