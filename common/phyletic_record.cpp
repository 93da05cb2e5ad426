#include "common/phyletic_record.h"

#include "common/csv_reader.h"
#include "common/table_columns.h"

namespace tavik {

PhyleticRecord PhyleticRecord::read(const CsvReader& reader, TableTexts texts)
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

} // namespace tavik
