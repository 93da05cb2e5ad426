// The viewer's CSV tokenizer: results are the promised codes, fields lie
// within the line and obey the field and count limits.
#include "fuzz/fuzz_support.h"
#include "viewer/settings/csv_line_reader.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(fuzz::asText(data, size));
    std::vector<std::string_view> fields;
    CsvStatus status = CsvLineReader::splitLine(line, fields);
    switch (status) {
    case CsvStatus::Ok:
    case CsvStatus::TooManyFields:
    case CsvStatus::FieldTooLong:
        FUZZ_CHECK(fields.size() <= CsvLineReader::kMaxFields);
        for (std::string_view field : fields) {
            FUZZ_CHECK(field.size() <= CsvLineReader::kMaxFieldBytes);
            FUZZ_CHECK(field.data() >= line.data() && field.data() + field.size() <= line.data() + line.size());
        }
        break;
    case CsvStatus::MisusedQuotes:
    case CsvStatus::UnterminatedQuote:
        break;
    default:
        FUZZ_CHECK(!"unexpected status");
    }
    return 0;
}
