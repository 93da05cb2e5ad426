// The tools' CSV reader over a whole file, in both of its sizes.
#include "common/csv_reader.h"
#include "fuzz/fuzz_support.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::inputFile(fuzz::asText(data, size));
    for (bool small : {false, true}) {
        CsvReader reader(small ? CsvReader::ludricTables : CsvReader::toolTables);
        FUZZ_CHECK(reader.open(path));
        for (int lines = 0; lines < 100000; ++lines) {
            CsvStatus status = reader.nextLine();
            if (status == CsvStatus::EndOfFile)
                break;
            for (size_t i = 0; i <= reader.fieldCount(); ++i)
                FUZZ_CHECK(reader.field(i).size() <= CsvReader::toolFieldBytes);
            if (status != CsvStatus::Ok)
                (void)reader.errorText();
        }
    }
    return 0;
}
