// dwcimport's readers: a download's text decoded (the encoding stated or not,
// by the first byte) and split into records (the layout chosen by the first
// byte, or found from the header), every record mapped through the columns
// of its header; the same bytes as meta.xml and EML.
#include "fuzz/fuzz_support.h"
#include "tools/dwcimport/archive_descriptor.h"
#include "tools/dwcimport/area_name_index.h"
#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/decoding_source.h"
#include "tools/dwcimport/delimited_reader.h"
#include "tools/dwcimport/download_citation.h"
#include "tools/dwcimport/occurrence_mapper.h"
#include "tools/dwcimport/term_columns.h"

#include <algorithm>
#include <cstring>

using namespace tavik;

namespace {

// The input handed out in reads of a size the input chooses.
class BytesSource : public ByteSource {
public:
    BytesSource(std::string_view bytes, size_t step)
        : bytes_(bytes)
        , step_(step)
    {
    }
    long read(char* buffer, size_t size) override
    {
        size_t count = std::min({size, step_, bytes_.size()});
        std::memcpy(buffer, bytes_.data(), count);
        bytes_.remove_prefix(count);
        return static_cast<long>(count);
    }
    std::string errorText() const override { return ""; }

private:
    std::string_view bytes_;
    size_t step_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text = fuzz::asText(data, size);
    if (text.empty())
        return 0;
    const TextLayout layouts[] = {{}, {'\t', 0, '\n'}, {',', '"', '\n'}, {';', '\'', '\r'}};
    TextLayout layout = layouts[static_cast<unsigned char>(text[0]) % 4];
    BytesSource source(text.substr(1), 1 + static_cast<unsigned char>(text[0]) / 4 % 7 * 1000);
    const std::optional<TextEncoding> encodings[]
        = {std::nullopt, TextEncoding::Cp932, TextEncoding::Utf16LittleEndian, TextEncoding::Latin1};
    DecodingSource decoder(source, encodings[static_cast<unsigned char>(text[0]) / 32 % 4]);
    DelimitedReader reader(decoder, layout);

    AreaNameIndex areas;
    areas.add("Tokyo", 13);
    OccurrenceMapper::Rules rules;
    rules.maxUncertainty = 1000;
    rules.grid = static_cast<unsigned char>(text[0]) % 3 == 0 ? std::optional(GridOrder::Eighth) : std::nullopt;
    rules.refusedIssues = {"ZERO_COORDINATE"};
    OccurrenceMapper mapper(rules, areas, nullptr);
    TermColumns columns;
    bool header = true;
    for (int records = 0; records < 100000; ++records) {
        DelimitedReader::Status status = reader.next();
        if (status != DelimitedReader::Status::Record)
            break;
        FUZZ_CHECK(!reader.fields().empty());
        if (header) {
            columns = TermColumns::fromHeader(reader.fields());
            header = false;
            continue;
        }
        InputRow row;
        if (!mapper.map(columns, reader.fields(), row)) {
            FUZZ_CHECK(!row.name.empty());
            FUZZ_CHECK(!row.area.empty() || !row.grid.empty() || (!row.latitude.empty() && !row.longitude.empty()));
            FUZZ_CHECK(row.latitude.size() <= 13 && row.longitude.size() <= 14 && row.grid.size() <= 11);
        }
    }

    ArchiveDescriptor descriptor;
    std::string error;
    if (ArchiveDescriptor::parse(text, descriptor, error))
        FUZZ_CHECK(!descriptor.occurrences().location.empty() && isLocationInside(descriptor.occurrences().location));
    DownloadCitation citation = DownloadCitation::fromEml(text);
    FUZZ_CHECK(citation.literatureRow().rfind("GBIF", 0) == 0);
    return 0;
}
