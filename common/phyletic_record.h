#pragma once

#include "common/table_columns.h"
#include "common/text_helpers.h"

#include <cstdint>
#include <string>

namespace tavik {

// A row of the phyletic table (phyletic.csv): a taxonomic group, as the
// viewer and norbek read it. Texts are cp932.
struct PhyleticRecord {
    static constexpr size_t nameBytes = 63;

    std::int64_t code = 0;
    std::string name; // the group's scientific name, up to 63 bytes
    std::int64_t parentCode = 0; // 0 or negative: a top-level group
    std::string alias1; // the group's name in the alias 1 form, up to 63 bytes
    std::string alias2; // up to 63 bytes
    int row = 0; // position among the rows of the file (0-based); the loader sets it

    // The current row of `reader` (the viewer's CsvLineReader or the tools'
    // CsvReader: anything with field(index)), its texts kept as `texts` says.
    template <typename Reader> static PhyleticRecord read(const Reader& reader, TableTexts texts)
    {
        auto text = [&](size_t column) { return tableText(reader.field(column), nameBytes, texts); };
        PhyleticRecord record;
        record.code = tableCode(reader.field(phyleticColumn::code));
        record.name = text(phyleticColumn::name);
        record.parentCode = tableCode(reader.field(phyleticColumn::parentCode));
        record.alias1 = text(phyleticColumn::alias1);
        record.alias2 = text(phyleticColumn::alias2);
        return record;
    }
};

} // namespace tavik
