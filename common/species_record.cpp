#include "common/species_record.h"

#include "common/csv_reader.h"
#include "common/table_columns.h"

namespace tavik {

SpeciesRecord SpeciesRecord::read(const CsvReader& reader, TableTexts texts)
{
    auto text = [&](size_t column, size_t maxBytes) { return tableText(reader.field(column), maxBytes, texts); };
    SpeciesRecord record;
    record.code = tableCode(reader.field(speciesColumn::code));
    record.scientificName = text(speciesColumn::scientificName, nameBytes);
    record.author = text(speciesColumn::author, authorBytes);
    record.year = text(speciesColumn::year, yearBytes);
    record.parenthesis = text(speciesColumn::parenthesis, nameBytes).starts_with('C');
    record.phyleticCode = tableCode(reader.field(speciesColumn::phyleticCode));
    record.groupName = text(speciesColumn::groupName, nameBytes);
    record.alias1 = text(speciesColumn::alias1, nameBytes);
    record.groupAlias1 = text(speciesColumn::groupAlias1, nameBytes);
    record.alias2 = text(speciesColumn::alias2, nameBytes);
    record.groupAlias2 = text(speciesColumn::groupAlias2, nameBytes);
    return record;
}

} // namespace tavik
