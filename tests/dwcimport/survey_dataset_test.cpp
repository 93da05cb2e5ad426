// Sampling-event datasets (an Event core with an Occurrence extension),
// ranks by date, and the citation GBIF asks for a download.
#include "tests/dwcimport/dwc_import_run.h"

#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/download_citation.h"
#include "tools/dwcimport/event_index.h"
#include "tools/dwcimport/year_ranks.h"

#include "platform/cp932.h"

namespace tavik {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(DwcEventIndex, EventsAreFoundByIdTheFirstOfAnIdKeptWithinTheBudget)
{
    std::vector<std::string_view> header = {"eventID", "decimalLatitude", "decimalLongitude", "eventDate", "locality"};
    TermColumns columns = TermColumns::fromHeader(header);
    EventIndex index;
    std::vector<std::vector<std::string_view>> events = {{"e1", "35.5", "139.5", "2003-06-01", "park"},
        {"e2", "", "", "1990", ""}, {"e1", "1", "2", "", ""}, {"", "34", "135", "", ""}};
    for (const auto& event : events)
        ASSERT_EQ(index.add(event[0], columns, event), EventIndex::Added::Ok);
    index.finish();
    EXPECT_EQ(index.size(), 3u);
    EXPECT_EQ(index.duplicates(), 1);
    EventValues values;
    ASSERT_TRUE(index.find("e1", values));
    EXPECT_EQ(values[static_cast<size_t>(OccurrenceTerm::DecimalLatitude)], "35.5");
    EXPECT_EQ(values[static_cast<size_t>(OccurrenceTerm::EventDate)], "2003-06-01");
    ASSERT_TRUE(index.find("e2", values));
    EXPECT_EQ(values[static_cast<size_t>(OccurrenceTerm::DecimalLatitude)], "");
    EXPECT_EQ(values[static_cast<size_t>(OccurrenceTerm::EventDate)], "1990");
    EXPECT_FALSE(index.find("e3", values));
    EXPECT_FALSE(index.find("e", values));

    // Past its budget the index refuses events rather than grow.
    EventIndex small(size_t{4} << 20);
    std::string id;
    EventIndex::Added added = EventIndex::Added::Ok;
    size_t count = 0;
    while (added == EventIndex::Added::Ok && count < 1000000) {
        id = "urn:event:" + std::to_string(count) + std::string(200, 'x');
        std::vector<std::string_view> event = {id, "35.5", "139.5", "2003-06-01", ""};
        added = small.add(id, columns, event);
        count += added == EventIndex::Added::Ok;
    }
    EXPECT_EQ(added, EventIndex::Added::OverBudget);
    EXPECT_LE(small.bytes(), size_t{4} << 20);
    EXPECT_GT(count, 10000u);
    small.finish();
    EXPECT_TRUE(small.find("urn:event:9999" + std::string(200, 'x'), values));
}

TEST(DwcYearRanks, RecordsAreRankedByTheYearOfTheirDate)
{
    YearRanks ranks;
    std::string error;
    ASSERT_TRUE(YearRanks::parse("1980:B, 2000:A,*:C", ranks, error)) << error;
    EXPECT_EQ(ranks.text(), "2000:A,1980:B,*:C");
    struct Case {
        const char* eventDate;
        const char* year;
        char rank;
    } cases[] = {
        {"2003-06-01", "", 'A'},
        {"2000-01-01T09:00:00+09:00", "", 'A'},
        {"1999-12-31", "2005", 'B'}, // eventDate before year
        {"1998/2002", "", 'B'}, // an interval: its start, the earliest it may be
        {"19850601", "", 'B'},
        {"1979-05", "", 'C'},
        {"", "2010", 'A'},
        {"", "", 'C'},
        {"June 2003", "", 'C'},
        {"", "85", 'C'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ranks.rankOf(c.eventDate, c.year), c.rank) << c.eventDate << " " << c.year;
    for (const char* bad : {"2000:A", "2000:a,*:C", "20:A,*:C", "2000-A,*:C", "*:AB"}) {
        EXPECT_FALSE(YearRanks::parse(bad, ranks, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(DwcCitation, AGbifDownloadIsCitedAsGbifAsksFromItsOwnMetadata)
{
    // A download's metadata as GBIF writes it: no citation of its own, its
    // constituents' citations in the bibliography, a long abstract.
    std::string eml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- made by GBIF -->\n"
                      "<eml:eml xmlns:eml=\"eml://ecoinformatics.org/eml-2.1.1\" packageId=\"10.15468/dl.7xq2ab\">"
                      "<dataset><alternateIdentifier>10.15468/dl.7xq2ab</alternateIdentifier>"
                      "<alternateIdentifier>https://www.gbif.org/occurrence/download/0004567-230810091245214"
                      "</alternateIdentifier><title xml:lang=\"eng\">GBIF Occurrence Download 0004567-230810091245214"
                      "</title><pubDate>2023-08-11</pubDate><abstract><para>"
        + std::string(300000, 'a')
        + " &amp; more</para></abstract></dataset><additionalMetadata><metadata><gbif><bibliography>"
          "<citation identifier=\"10.1/x\">Some dataset (2020)</citation></bibliography></gbif></metadata>"
          "</additionalMetadata></eml:eml>";
    DownloadCitation citation = DownloadCitation::fromEml(eml);
    EXPECT_EQ(citation.text, "GBIF.org (11 August 2023) GBIF Occurrence Download https://doi.org/10.15468/dl.7xq2ab");
    EXPECT_EQ(citation.doi, "10.15468/dl.7xq2ab");
    EXPECT_EQ(citation.key, "0004567-230810091245214");
    EXPECT_EQ(citation.year, "2023");
    EXPECT_EQ(citation.literatureRow(),
        "GBIF-dl.7xq2ab,GBIF.org,2023,GBIF Occurrence Download https://doi.org/10.15468/dl.7xq2ab");

    // Control characters of the metadata never reach the terminal or the table.
    EXPECT_EQ(DownloadCitation::fromEml("<eml><dataset><title>Moths\x1B[2J of\tJapan</title><pubDate>2020</pubDate>"
                                        "</dataset></eml>")
                  .literatureRow(),
        "GBIF-download,,2020,Moths [2J of Japan (2020)");

    // Read in pieces of every size, entities and CDATA cut anywhere, the result is the same.
    std::string withCitation
        = "<eml packageId=\"x\"><dataset><title><![CDATA[Butterflies <of> Japan]]></title><pubDate>2021-02-03"
          "</pubDate></dataset><additionalMetadata><metadata><gbif><citation identifier=\"https://doi.org/10.5555/"
          "b.1\">Mihon T. (2021). Butterflies &amp; moths &#x2014; &lt;Japan&gt;</citation></gbif></metadata>"
          "</additionalMetadata></eml>";
    for (size_t step : {size_t{1}, size_t{5}, size_t{4096}}) {
        class Pieces : public ByteSource {
        public:
            Pieces(std::string text, size_t size)
                : text_(std::move(text))
                , size_(size)
            {
            }
            long read(char* buffer, size_t size) override
            {
                size_t count = std::min({size, size_, text_.size() - at_});
                text_.copy(buffer, count, at_);
                at_ += count;
                return static_cast<long>(count);
            }
            std::string errorText() const override { return ""; }

        private:
            std::string text_;
            size_t size_;
            size_t at_ = 0;
        } pieces(withCitation, step);
        DownloadCitation read = DownloadCitation::fromEml(pieces);
        EXPECT_EQ(read.text, "Mihon T. (2021). Butterflies & moths \xE2\x80\x94 <Japan>") << step;
        EXPECT_EQ(read.doi, "10.5555/b.1") << step;
        EXPECT_EQ(read.year, "2021") << step;
    }
}

using SurveyRun = DwcImportRun;

// A sampling-event archive: each occurrence takes the place, datum and date
// of its event where it has none of its own.
TEST_F(SurveyRun, OccurrencesTakeThePlaceAndDateOfTheirEvent)
{
    const std::string meta
        = "<archive metadata=\"eml.xml\"><core rowType=\"http://rs.tdwg.org/dwc/terms/Event\" "
          "fieldsTerminatedBy=\"\\t\" fieldsEnclosedBy=\"\" ignoreHeaderLines=\"1\"><files><location>event.txt"
          "</location></files><id index=\"0\"/><field index=\"0\" term=\"dwc:eventID\"/>"
          "<field index=\"1\" term=\"dwc:eventDate\"/><field index=\"2\" term=\"dwc:decimalLatitude\"/>"
          "<field index=\"3\" term=\"dwc:decimalLongitude\"/><field index=\"4\" term=\"dwc:geodeticDatum\"/>"
          "<field index=\"5\" term=\"dwc:stateProvince\"/></core>"
          "<extension rowType=\"http://rs.gbif.org/terms/1.0/Multimedia\"><files><location>media.txt</location>"
          "</files><coreid index=\"0\"/></extension>"
          "<extension rowType=\"http://rs.tdwg.org/dwc/terms/Occurrence\" fieldsTerminatedBy=\"\\t\" "
          "fieldsEnclosedBy=\"\" ignoreHeaderLines=\"1\"><files><location>occurrence.txt</location></files>"
          "<coreid index=\"0\"/><field index=\"1\" term=\"dwc:scientificName\"/>"
          "<field index=\"2\" term=\"dwc:occurrenceStatus\"/><field index=\"3\" term=\"dwc:decimalLatitude\"/>"
          "<field index=\"4\" term=\"dwc:decimalLongitude\"/><field index=\"5\" term=\"dwc:eventDate\"/>"
          "</extension></archive>";
    const std::string events = "eventID\teventDate\tdecimalLatitude\tdecimalLongitude\tgeodeticDatum\tstateProvince\n"
                               "transect-1\t2004-05-01\t35.5\t139.5\tWGS84\tTokyo\n"
                               "transect-2\t1985-07-10/1985-07-12\t\t\t\tKyoto\n"
                               "plot-3\t\t34.25\t135.25\tNAD27\t\n"
                               "broken\tshifted\trow\n";
    const std::string occurrences = "eventID\tscientificName\toccurrenceStatus\tdecimalLatitude\tdecimalLongitude\t"
                                    "eventDate\n"
                                    "transect-1\tPieris rapae\tpresent\t\t\t\n"
                                    "transect-1\tPapilio xuthus\tpresent\t35.75\t139.75\t1970\n"
                                    "transect-1\tPapilio machaon\tabsent\t\t\t\n"
                                    "transect-2\tPieris rapae\tpresent\t\t\t\n"
                                    "plot-3\tPieris rapae\tpresent\t\t\t\n"
                                    "nowhere\tPieris rapae\tpresent\t\t\t\n"
                                    "nowhere\tPieris rapae\tpresent\t33.5\t130.5\t\n";
    writeZip(path("survey.zip"),
        {{"meta.xml", meta}, {"event.txt", events}, {"occurrence.txt", occurrences}, {"media.txt", "x\n"}});
    Result result = run(
        "dwcimport", {"--literature", "S01", "--rank-by-year", "2000:A,1980:B,*:C", "survey.zip", "input/dl.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl.csv"),
        "Pieris rapae,,,,S01,A,35.5,139.5,\r\n" // the event's point and date
        "Papilio xuthus,,,,S01,C,35.75,139.75,\r\n" // its own point and date
        "Pieris rapae,,,26,S01,B,,,\r\n" // the event's prefecture and interval
        "Pieris rapae,,,,S01,C,33.5,130.5,\r\n"); // no event: its own point, no date
    EXPECT_TRUE(contains(result.out,
        "Darwin Core アーカイブ、イベントのコアは event.txt (3 件)、出現記録は拡張の occurrence.txt、タブ区切り"))
        << result.out;
    EXPECT_TRUE(contains(result.out, "    occurrenceStatus が absent (不在)               1\n")) << result.out;
    EXPECT_TRUE(contains(result.out, "    換算できない測地系                              1\n")) << result.out;
    EXPECT_TRUE(contains(result.out, "    座標がなく、その名の地域もない                  1\n")) << result.out;
    EXPECT_TRUE(contains(result.out,
        "調査イベント: イベント 3 件のうち、2 行が場所か日付をイベントから受け継ぎました.\n"
        "  イベントの見つからない記録 2 件"))
        << result.out;
    EXPECT_TRUE(contains(result.out, "  列の数が合わないイベント 1 件 (除きました)\n")) << result.out;
    EXPECT_TRUE(contains(result.out, "階級は basisOfRecord でなく日付で決めました (2000:A,1980:B,*:C).\n"))
        << result.out;

    // The same unpacked, with the ranks by date from tavik.ini.
    for (const auto& [name, bytes] :
        ZipFiles{{"meta.xml", meta}, {"event.txt", events}, {"occurrence.txt", occurrences}})
        writeBytes("unpacked/" + name, bytes);
    settings("", "", "[Dwc]\r\nRankByYear=2000:A,1980:B,*:C\r\n");
    result = run("dwcimport", {"--literature", "S01", "unpacked", "input/dl2.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(read("input/dl2.csv"), read("input/dl.csv"));
    result = run("dwcimport", {"--literature", "S01", "--rank-by-year", "none", "unpacked", "input/dl2.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(contains(read("input/dl2.csv"), "Pieris rapae,,,,S01,C,35.5,139.5,\r\n"));

    settings("", "", "[Dwc]\r\nRankByYear=2000:A\r\n");
    result = run("dwcimport", {"--literature", "S01", "unpacked", "input/dl2.csv"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
        "\ntavik.ini の [Dwc] RankByYear: 日付のない記録と最も古い年より前の記録の階級を *:文字 で書いて下さい "
        "(例 2000:A,1980:B,*:C).\n");
}

} // namespace
} // namespace tavik
