#include "viewer/settings/phyletic_table.h"

#include "common/table_columns.h"
#include "common/table_rows.h"
#include "common/text_helpers.h"
#include "platform/cp932.h"

#include <algorithm>

namespace tavik {
PhyleticTableStatus PhyleticTable::load(std::string_view path, int capacity)
{
    rows_.clear();
    fault_ = {};
    capacity_ = std::max(0, capacity);
    CsvReader reader(CsvReader::viewerTables);
    if (!reader.open(path)) {
        sortByCode();
        return PhyleticTableStatus::CannotOpen;
    }
    while (!full()) {
        const CsvReader::Row row = reader.nextRow(phyleticColumn::count);
        if (row == CsvReader::Row::End)
            break;
        if (row == CsvReader::Row::Fault) {
            fault_ = reader.rowFault();
            sortByCode();
            return PhyleticTableStatus::FaultyLine;
        }
        PhyleticRecord record = PhyleticRecord::read(reader, TableTexts::AsWritten);
        record.row = static_cast<int>(rows_.size());
        rows_.push_back(std::move(record));
    }
    sortByCode();
    return PhyleticTableStatus::Ok;
}

bool PhyleticTable::append(PhyleticRecord record)
{
    if (full())
        return false;
    record.row = static_cast<int>(rows_.size());
    std::int64_t code = record.code;
    rows_.push_back(std::move(record));
    // Keep the look-up list sorted so that later look-ups see the new group.
    auto at = std::upper_bound(byCode_.begin(), byCode_.end(), code,
        [&](std::int64_t wanted, size_t index) { return wanted < rows_[index].code; });
    byCode_.insert(at, rows_.size() - 1);
    return true;
}

void PhyleticTable::sortByCode()
{
    byCode_.resize(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i)
        byCode_[i] = i;
    std::stable_sort(byCode_.begin(), byCode_.end(), [&](size_t a, size_t b) { return rows_[a].code < rows_[b].code; });
}

const PhyleticRecord* PhyleticTable::find(std::int64_t code) const
{
    auto it = std::lower_bound(byCode_.begin(), byCode_.end(), code,
        [&](size_t index, std::int64_t wanted) { return rows_[index].code < wanted; });
    if (it == byCode_.end() || rows_[*it].code != code)
        return nullptr;
    return &rows_[*it];
}

const PhyleticRecord* PhyleticTable::groupAtLevel(std::int64_t code, int level) const
{
    const PhyleticRecord* group = find(code);
    for (int step = 1; group && step < level; ++step)
        group = find(group->parentCode);
    return group;
}

} // namespace tavik
