// The viewer's CSV tokenizer: results are the promised codes, fields lie
// within the line and obey the field and count limits. The same bytes as a
// file: the distribution index finds a line wherever the reader does, and a
// line read through its indexed offset is the line read in turn.
#include "common/table_rows.h"
#include "fuzz/fuzz_support.h"
#include "platform/message_sink.h"
#include "viewer/settings/distribution_table.h"

using namespace tavik;

namespace {

void checkFields(CsvStatus status, const std::vector<std::string_view>& fields, const std::string& line)
{
    switch (status) {
    case CsvStatus::Ok:
    case CsvStatus::TooManyFields:
    case CsvStatus::FieldTooLong:
        FUZZ_CHECK(fields.size() <= CsvReader::viewerFields);
        for (std::string_view field : fields) {
            FUZZ_CHECK(field.size() <= CsvReader::viewerFieldBytes);
            FUZZ_CHECK(field.data() >= line.data() && field.data() + field.size() <= line.data() + line.size());
        }
        break;
    case CsvStatus::MisplacedQuote:
    case CsvStatus::UnterminatedQuote:
        break;
    default:
        FUZZ_CHECK(!"unexpected status");
    }
}

// The status and fields of the reader's current line.
std::pair<CsvStatus, std::vector<std::string>> current(CsvStatus status, const CsvReader& reader)
{
    std::vector<std::string> fields;
    for (size_t i = 0; i < reader.fieldCount(); ++i)
        fields.emplace_back(reader.field(i));
    return {status, fields};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(fuzz::asText(data, size));
    std::vector<std::string_view> fields;
    checkFields(splitViewerLine(line, fields), fields, line);

    std::string path = fuzz::inputFile(fuzz::asText(data, size));
    CsvReader reader(CsvReader::viewerTables);
    FUZZ_CHECK(reader.open(path));
    std::vector<std::pair<CsvStatus, std::vector<std::string>>> lines;
    for (CsvStatus status; (status = reader.nextLine()) != CsvStatus::EndOfFile && lines.size() < 100000;)
        lines.push_back(current(status, reader));
    DistributionTable table;
    FUZZ_CHECK(table.buildIndex(path, 1 << 20) == DistributionIndexStatus::Ok);
    FUZZ_CHECK(table.entries().size() == lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(reader.seek(table.entries()[i].offset, static_cast<long>(i) + 1));
        CsvStatus status = reader.nextLine();
        FUZZ_CHECK(current(status, reader) == lines[i]);
    }
    return 0;
}
