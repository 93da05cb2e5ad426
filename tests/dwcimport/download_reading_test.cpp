// Reading downloads: delimited text in blocks, meta.xml, the citation of the
// metadata, columns found by term.
#include "tools/dwcimport/archive_descriptor.h"
#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/delimited_reader.h"
#include "tools/dwcimport/download_citation.h"
#include "tools/dwcimport/term_columns.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tavik {
namespace {

// Text handed out a few bytes at a time, so records straddle the reads.
class TextSource : public ByteSource {
public:
    TextSource(std::string text, size_t step)
        : text_(std::move(text))
        , step_(step)
    {
    }
    long read(char* buffer, size_t size) override
    {
        size_t count = std::min({size, step_, text_.size() - at_});
        std::memcpy(buffer, text_.data() + at_, count);
        at_ += count;
        return static_cast<long>(count);
    }
    std::string errorText() const override { return ""; }

private:
    std::string text_;
    size_t step_;
    size_t at_ = 0;
};

struct ReadResult {
    std::vector<std::vector<std::string>> records;
    std::vector<long> lines;
    std::string error;
    TextLayout layout;
};

ReadResult readAll(const std::string& text, TextLayout layout, size_t step)
{
    TextSource source(text, step);
    DelimitedReader reader(source, layout);
    ReadResult result;
    for (;;) {
        DelimitedReader::Status status = reader.next();
        if (status == DelimitedReader::Status::End)
            break;
        if (status == DelimitedReader::Status::Error) {
            result.error = "line " + std::to_string(reader.lineNumber()) + ": " + reader.errorText();
            break;
        }
        result.records.emplace_back(reader.fields().begin(), reader.fields().end());
        result.lines.push_back(reader.lineNumber());
    }
    result.layout = reader.layout();
    return result;
}

using Records = std::vector<std::vector<std::string>>;

TEST(DwcDelimitedReader, SplitsRecordsWhateverTheReadsHandOut)
{
    struct Case {
        const char* name;
        std::string text;
        TextLayout layout;
        Records records;
        std::vector<long> lines;
        char delimiter; // as found
    } cases[] = {
        {"tab, found from the header; quotes are plain text",
            "\xEF\xBB\xBFspecies\tlocality\r\nA b\t\"Mt. X\r\n\r\nC d\t\n", {},
            {{"species", "locality"}, {"A b", "\"Mt. X"}, {"C d", ""}}, {1, 2, 4}, '\t'},
        {"comma, found from the header; quoted fields with commas, quotes and line ends",
            "a,b,c\n\"x, y\",\"he said \"\"hi\"\"\",\"two\nlines\"\n1,,\"\"\n", {},
            {{"a", "b", "c"}, {"x, y", "he said \"hi\"", "two\nlines"}, {"1", "", ""}}, {1, 2, 4}, ','},
        {"the last line without its line end", "a\tb\nc\td", {}, {{"a", "b"}, {"c", "d"}}, {1, 2}, '\t'},
        {"given layout: semicolons, lines ended by CR", "a;b\rc;\"d;e\"\r", {';', '"', '\r'},
            {{"a", "b"}, {"c", "d;e"}}, {1, 2}, ';'},
    };
    for (const Case& c : cases) {
        for (size_t step : {size_t{1}, size_t{3}, size_t{1} << 20}) {
            ReadResult result = readAll(c.text, c.layout, step);
            EXPECT_EQ(result.error, "") << c.name;
            EXPECT_EQ(result.records, c.records) << c.name << ", reads of " << step;
            EXPECT_EQ(result.lines, c.lines) << c.name << ", reads of " << step;
            EXPECT_EQ(result.layout.delimiter, c.delimiter) << c.name;
        }
    }
}

TEST(DwcDelimitedReader, ReportsMalformedRecordsWithTheirLine)
{
    ReadResult open = readAll("a,b\n1,\"never\nclosed\n", {}, 2);
    EXPECT_EQ(open.records, (Records{{"a", "b"}}));
    EXPECT_EQ(open.error, "line 2: 引用符 (\") で始まる項目がファイルの終わりまで閉じていません.");

    std::string huge = "a\tb\n1\t" + std::string(DelimitedReader::maxRecordBytes, 'x') + "\n2\t3\n";
    ReadResult tooLong = readAll(huge, {}, size_t{1} << 20);
    EXPECT_EQ(tooLong.records.size(), 1u);
    EXPECT_EQ(tooLong.error, "line 2: 16 MiB を超える記録があります.");
}

TEST(DwcTermColumns, ColumnsAreFoundByTermInAnyOrderAndSpelling)
{
    std::vector<std::string_view> header = {"gbifID", "http://rs.tdwg.org/dwc/terms/decimalLongitude", "dwc:species",
        "DECIMALLATITUDE", "species", " issue ", "verbatimScientificNameAuthorship"};
    TermColumns columns = TermColumns::fromHeader(header);
    std::vector<std::string_view> record = {"1", "139.5", "Papilio xuthus", "35.5", "other", "ZERO_COORDINATE"};
    EXPECT_EQ(columns.value(OccurrenceTerm::DecimalLongitude, record), "139.5");
    EXPECT_EQ(columns.value(OccurrenceTerm::DecimalLatitude, record), "35.5");
    EXPECT_EQ(columns.value(OccurrenceTerm::Species, record), "Papilio xuthus"); // the first column of a term
    EXPECT_EQ(columns.value(OccurrenceTerm::Issue, record), "ZERO_COORDINATE");
    EXPECT_FALSE(columns.has(OccurrenceTerm::ScientificNameAuthorship));
    EXPECT_EQ(columns.value(OccurrenceTerm::Issue, {"1"}), ""); // a short record
}

constexpr const char* metaXml = R"(<?xml version="1.0"?>
<archive xmlns="http://rs.tdwg.org/dwc/text/" metadata="eml.xml">
  <core encoding="utf-8" fieldsTerminatedBy="," linesTerminatedBy="\r\n" fieldsEnclosedBy="&quot;"
        ignoreHeaderLines="2" rowType="http://rs.tdwg.org/dwc/terms/Occurrence">
    <files><location>data/occ.csv</location></files>
    <id index="0"/>
    <field index="3" term="http://rs.tdwg.org/dwc/terms/decimalLatitude"/>
    <field index="1" term="http://rs.tdwg.org/dwc/terms/decimalLongitude"/>
    <field index="2" term="http://rs.tdwg.org/dwc/terms/scientificName"/>
    <field index="4" term="http://rs.tdwg.org/dwc/terms/basisOfRecord" default="PreservedSpecimen"/>
    <field term="http://rs.tdwg.org/dwc/terms/geodeticDatum" default="Tokyo"/>
  </core>
  <extension rowType="http://rs.gbif.org/terms/1.0/Multimedia"><files><location>m.txt</location></files></extension>
</archive>)";

TEST(DwcArchiveDescriptor, TheCoreFileLayoutAndColumnsComeFromMetaXml)
{
    ArchiveDescriptor descriptor;
    std::string error;
    ASSERT_TRUE(ArchiveDescriptor::parse(metaXml, descriptor, error)) << error;
    const ArchiveFile& core = descriptor.core;
    EXPECT_EQ(core.location, "data/occ.csv");
    EXPECT_EQ(descriptor.metadataLocation, "eml.xml");
    EXPECT_EQ(core.encoding, "utf-8");
    EXPECT_EQ(core.layout.delimiter, ',');
    EXPECT_EQ(core.layout.quote, '"');
    EXPECT_EQ(core.layout.lineEnd, '\n');
    EXPECT_EQ(core.headerLines, 2);
    EXPECT_EQ(core.columnCount, 5u);
    EXPECT_EQ(core.keyColumn, 0u);
    EXPECT_FALSE(descriptor.occurrenceExtension);
    std::vector<std::string_view> record = {"x", "139.1", "Papilio xuthus", "35.2", ""};
    EXPECT_EQ(core.columns.value(OccurrenceTerm::DecimalLatitude, record), "35.2");
    EXPECT_EQ(core.columns.value(OccurrenceTerm::DecimalLongitude, record), "139.1");
    EXPECT_EQ(core.columns.value(OccurrenceTerm::BasisOfRecord, record), "PreservedSpecimen");
    EXPECT_EQ(core.columns.value(OccurrenceTerm::GeodeticDatum, record), "Tokyo");

    // Attributes left out take the defaults of Darwin Core text: comma, double quote, line feed.
    ASSERT_TRUE(ArchiveDescriptor::parse("<archive><core rowType=\"Occurrence\"><files><location>o.csv</location>"
                                         "</files></core></archive>",
        descriptor, error))
        << error;
    EXPECT_EQ(descriptor.core.layout.delimiter, ',');
    EXPECT_EQ(descriptor.core.layout.quote, '"');
    EXPECT_EQ(descriptor.core.headerLines, 0);
}

TEST(DwcArchiveDescriptor, DescriptorsThatCannotBeReadAreRefusedWithTheReason)
{
    std::string occurrence = metaXml;
    struct Case {
        std::string xml;
        const char* error;
    } cases[] = {
        {"<archive><core", "XML として読めません (13 バイト目: Error parsing start element tag)."},
        {"<meta/>", "最上位の要素が <archive> でなく <meta> です."},
        {"<archive/>", "<core> 要素がありません."},
        {"<archive><core rowType=\"http://rs.tdwg.org/dwc/terms/Taxon\"><files><location>t.txt</location></files>"
         "</core></archive>",
            "コアが出現記録 (http://rs.tdwg.org/dwc/terms/Occurrence) でなく http://rs.tdwg.org/dwc/terms/Taxon "
            "です: 出現記録のアーカイブではありません."},
        {std::string(occurrence).replace(occurrence.find("data/occ.csv"), 12, ""),
            "<Occurrence> の <files><location> にファイル名がありません."},
        {std::string(occurrence).replace(occurrence.find("index=\"3\""), 9, "index=\"x\""),
            "field \"http://rs.tdwg.org/dwc/terms/decimalLatitude\" の index \"x\" は列の番号ではありません."},
    };
    for (const Case& c : cases) {
        ArchiveDescriptor descriptor;
        std::string error;
        EXPECT_FALSE(ArchiveDescriptor::parse(c.xml, descriptor, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

TEST(DwcCitation, TheDownloadsCitationBecomesASuggestedLiteratureRow)
{
    DownloadCitation gbif = DownloadCitation::fromEml(R"(<eml:eml xmlns:eml="eml://x" packageId="10.15468/dl.abc123">
      <dataset><alternateIdentifier>0001234-240101120000000</alternateIdentifier><title>GBIF Occurrence Download</title>
      <pubDate>2024-05-12</pubDate></dataset>
      <additionalMetadata><metadata><gbif><citation identifier="10.15468/dl.abc123">GBIF.org (12 May 2024)
        GBIF Occurrence   Download https://doi.org/10.15468/dl.abc123</citation></gbif></metadata></additionalMetadata>
      </eml:eml>)");
    EXPECT_EQ(gbif.text, "GBIF.org (12 May 2024) GBIF Occurrence Download https://doi.org/10.15468/dl.abc123");
    EXPECT_EQ(gbif.doi, "10.15468/dl.abc123");
    EXPECT_EQ(gbif.key, "0001234-240101120000000");
    EXPECT_EQ(gbif.literatureRow(),
        "GBIF-dl.abc123,GBIF.org,2024,GBIF Occurrence Download https://doi.org/10.15468/dl.abc123");

    // Without a <citation>: made of the title, the date and the DOI.
    DownloadCitation plain = DownloadCitation::fromEml(R"(<eml packageId="x"><dataset>
      <alternateIdentifier>https://doi.org/10.5555/ds.1</alternateIdentifier><title>Butterflies, of Japan</title>
      <pubDate>2023-01-02</pubDate></dataset></eml>)");
    EXPECT_EQ(plain.text, "Butterflies, of Japan (2023-01-02) https://doi.org/10.5555/ds.1");
    EXPECT_EQ(
        plain.literatureRow(), "GBIF-ds.1,,2023,\"Butterflies, of Japan (2023-01-02) https://doi.org/10.5555/ds.1\"");

    DownloadCitation simple = DownloadCitation::fromDataFileName("dl/0001234-240101120000000.csv");
    EXPECT_EQ(simple.key, "0001234-240101120000000");
    EXPECT_EQ(simple.literatureRow(),
        "GBIF0001234-240101120000000,GBIF.org,2024,GBIF Occurrence Download 0001234-240101120000000");
    EXPECT_EQ(DownloadCitation::fromDataFileName("records.csv").text, "");
}

TEST(DwcCitation, ALiteratureCodeHoldsOnlyTheCharactersACodeMay)
{
    // A DOI or key from the metadata may hold a comma, a quote or a blank;
    // the code keeps letters, digits, '-', '.' and '_' and is never quoted.
    struct Case {
        const char* doi;
        const char* key;
        const char* code;
    };
    const Case cases[] = {
        {"10.1/a,\"b\"", "", "GBIF-ab"},
        {"10.1/ x y", "", "GBIF-xy"},
        {"10.1/\"", "12-34", "GBIF12-34"},
        {"10.1/,", "\",", "GBIF-download"},
        {"10.1/\x82\xa0", "", "GBIF-download"},
    };
    for (const Case& c : cases) {
        DownloadCitation citation;
        citation.doi = c.doi;
        citation.key = c.key;
        const std::string row = citation.literatureRow();
        EXPECT_EQ(row.substr(0, row.find(',')), c.code) << c.doi;
    }
}

} // namespace
} // namespace tavik
