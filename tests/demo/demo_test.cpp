// The demo (scripts/demo.sh) on the Japan sample database, with the programs
// of this build: every species gets a map that shows its records where they
// lie, norbek writes a literature page for each, and the overlay map and the
// atlas are written.
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "tests/support/process_run.h"
#include "tests/support/test_folder.h"
#include "viewer/render/flood_fill.h"
#include "viewer/render/grid_square.h"
#include "viewer/session/workspace.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace tavik {
namespace {

// Runs scripts/demo.sh with the programs of this build into `out`.
test::ProcessResult runDemo(const std::string& out)
{
    test::ProcessCall call(TAVIK_SOURCE_DIR "/scripts/demo.sh", {TAVIK_BIN, out});
    call.mergeOutput = true;
    return test::runProcess(call);
}

QRgb rgb(const Colour& colour) { return qRgb(colour.r, colour.g, colour.b); }

// The fields of each line of a CSV file (quoted fields with doubled quotes).
std::vector<std::vector<std::string>> csvRows(const std::string& path)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(test::readBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += line[++i];
            else if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                fields.emplace_back();
            else
                fields.back() += c;
        }
        rows.push_back(fields);
    }
    return rows;
}

// True when a pixel of the colour lies within `radius` pixels of `at`.
bool near(const QImage& image, QPoint at, int radius, QRgb colour)
{
    for (int y = at.y() - radius; y <= at.y() + radius; ++y)
        for (int x = at.x() - radius; x <= at.x() + radius; ++x)
            if (image.valid(x, y) && image.pixel(x, y) == colour)
                return true;
    return false;
}

class DemoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new test::TestFolder("demo");
        run = new test::ProcessResult(runDemo(folder->file("demo")));
    }
    static void TearDownTestSuite()
    {
        delete run;
        delete folder;
    }
    static std::string demo(const std::string& name) { return folder->file("demo/" + name); }

    static test::TestFolder* folder;
    static test::ProcessResult* run;
};
test::TestFolder* DemoTest::folder = nullptr;
test::ProcessResult* DemoTest::run = nullptr;

TEST_F(DemoTest, RunsTwiceAndSaysWhereTheResultsAre)
{
    ASSERT_EQ(run->status, 0) << run->out;
    EXPECT_NE(run->out.find("Results in " + folder->file("demo") + ":"), std::string::npos) << run->out;
    // A second run starts again from a fresh copy.
    const test::ProcessResult again = runDemo(folder->file("demo"));
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_EQ(again.out, run->out);
}

// Each record of a species shows on its map: an area's region takes the fill
// colour of the record's rank, a point has a mark of the rank's mark colour
// beside it, a grid square the fill colour in it.
TEST_F(DemoTest, EverySpeciesGetsAMapShowingItsRecords)
{
    ASSERT_EQ(run->status, 0) << run->out;
    Workspace workspace;
    MessageLog log;
    ASSERT_TRUE(workspace.loadSettings(utf8ToCp932(demo("")), log)) << log.utf8Texts().front();
    workspace.loadSpeciesTable(log);
    ASSERT_TRUE(workspace.loadBaseImage(log));
    ASSERT_EQ(workspace.species().rows().size(), 32u);
    const QImage& base = workspace.baseImage().image;
    const TargetStyle& slot = workspace.painter().slot(0);
    const std::vector<MapBlock>& blocks = workspace.blankMap().blocks();
    std::vector<QImage> clips;
    for (const MapBlock& block : blocks)
        clips.push_back(block.clipMask(base.size()));
    auto inBlock = [&](std::size_t b, QPoint pixel) {
        return base.rect().contains(pixel) && clips[b].constScanLine(pixel.y())[pixel.x()] != 0;
    };

    int areas = 0, points = 0, squares = 0;
    for (const SpeciesRecord& species : workspace.species().rows()) {
        const std::string name = cp932ToUtf8(species.scientificName);
        const QImage map
            = QImage(QString::fromStdString(demo("maps/" + name + ".png"))).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(map.isNull()) << name;
        ASSERT_EQ(map.size(), base.size()) << name;
        RecordSet set;
        ASSERT_TRUE(workspace.distribution().readSpeciesRecords(species.code, workspace.settings(), set, log)) << name;
        EXPECT_GE(set.records.size(), 8u) << name;
        for (const DistributionRecord& record : set.records) {
            const RankColors& colours = slot.ranks[record.rank];
            for (std::size_t b = 0; b < blocks.size(); ++b) {
                if (record.kind == LocationKind::Area) {
                    const AreaRecord* area = workspace.areas().find(record.areaCode);
                    ASSERT_NE(area, nullptr) << name << ": area " << record.areaCode;
                    const QPoint seed = blocks[b].project(area->longitude, area->latitude);
                    if (!inBlock(b, seed))
                        continue;
                    // The region as the base map has it, and the fill colour in it.
                    QImage region = base;
                    floodFill(region, seed, qRgb(1, 2, 3), &clips[b]);
                    int filled = 0;
                    for (int y = 0; y < base.height(); ++y)
                        for (int x = 0; x < base.width(); ++x)
                            filled += region.pixel(x, y) == qRgb(1, 2, 3) && map.pixel(x, y) == rgb(colours.fill);
                    EXPECT_GT(filled, 0) << name << ": area " << record.areaCode;
                    ++areas;
                } else if (record.kind == LocationKind::Coordinates) {
                    const QPoint pixel = blocks[b].project(record.longitude, record.latitude);
                    if (!inBlock(b, pixel))
                        continue;
                    // Records lie on land: the base map has land or a boundary there, not sea.
                    EXPECT_NE(base.pixel(pixel), qRgb(192, 255, 255))
                        << name << ": point at " << pixel.x() << "," << pixel.y();
                    EXPECT_TRUE(near(map, pixel, 3, rgb(colours.mark)))
                        << name << ": point at " << pixel.x() << "," << pixel.y();
                    ++points;
                } else if (std::optional<GridSquare> square = gridSquareOf(record)) {
                    // Squares are on the Japanese datum: shifted as the table says.
                    const DatumShiftRecord* shift
                        = workspace.datumShifts().find(record.firstLatitude * 100 + record.firstLongitude);
                    ASSERT_NE(shift, nullptr) << name;
                    const double south = square->latitude + shift->latitudeShift;
                    const double west = square->longitude + shift->longitudeShift;
                    const QPoint corner = blocks[b].project(west, south);
                    const QPoint opposite
                        = blocks[b].project(west + square->longitudeExtent, south + square->latitudeExtent);
                    if (!inBlock(b, corner))
                        continue;
                    // Marks of other records may lie over part of it.
                    const QRect box = QRect(corner, opposite).normalized();
                    EXPECT_TRUE(near(map, box.center(), std::max(box.width(), box.height()) / 2, rgb(colours.fill)))
                        << name << ": square at " << corner.x() << "," << corner.y();
                    // Squares were drawn from points on land: land lies in or beside each.
                    EXPECT_TRUE(
                        near(base, box.center(), std::max(box.width(), box.height()) / 2 + 1, qRgb(255, 255, 255)))
                        << name << ": square at " << corner.x() << "," << corner.y() << " lies in the sea";
                    ++squares;
                }
            }
        }
    }
    // Each kind of record was seen many times over.
    EXPECT_GT(areas, 150);
    EXPECT_GT(points, 100);
    EXPECT_GT(squares, 100);

    const QImage overlay(QString::fromStdString(demo("maps/overlay.png")));
    ASSERT_FALSE(overlay.isNull());
    EXPECT_EQ(overlay.size(), base.size());
    EXPECT_NE(overlay.convertToFormat(QImage::Format_RGB32), base);
}

// The sample GBIF download goes through dwcimport, ludric and samvel: each
// row the demo keeps is a record of its species in the distribution table
// (and so on its map, as the test above checks of every record).
TEST_F(DemoTest, TheConvertedDownloadsRecordsReachTheDistributionTable)
{
    ASSERT_EQ(run->status, 0) << run->out;
    std::map<std::string, std::set<std::string>> locations; // species code -> locations
    for (const auto& row : csvRows(demo("dbase/ta_vik.csv")))
        for (std::size_t i = 1; i < row.size(); i += 2)
            locations[row[0]].insert(row[i]);
    int kept = 0, setAside = 0;
    for (const auto& row : csvRows(demo("input/gbif.csv"))) {
        ASSERT_EQ(row.size(), 9u);
        if (row[1] == "IVD") {
            ++setAside;
            continue;
        }
        std::string location = row[3];
        if (location.empty()) {
            auto hemisphere = [](const std::string& value, char plus, char minus) {
                return value[0] == '-' ? minus + value.substr(1) : plus + value;
            };
            location = hemisphere(row[6], 'N', 'S') + hemisphere(row[7], 'E', 'W');
        }
        EXPECT_EQ(locations[row[2]].count(location), 1u) << row[0] << " " << location;
        ++kept;
    }
    EXPECT_EQ(kept, 25);
    EXPECT_EQ(setAside, 2);
}

// Every species with literature gets a page under its scientific name, with
// its map and the title of every paper that records it.
TEST_F(DemoTest, NorbekWritesAPagePerSpeciesWithItsLiteratureAndMap)
{
    ASSERT_EQ(run->status, 0) << run->out;
    std::map<std::string, std::string> titles; // literature code -> title (cp932)
    for (const auto& row : csvRows(demo("dbase/litera.csv")))
        titles[row.at(0)] = row.at(3);
    std::map<std::string, std::string> names; // species code -> scientific name
    for (const auto& row : csvRows(demo("dbase/species.csv")))
        names[row.at(0)] = row.at(1);
    std::map<std::string, std::set<std::string>> cited; // species code -> literature codes
    for (const auto& row : csvRows(demo("dbase/split.csv"))) {
        for (std::size_t i = 2; i < row.size(); ++i)
            cited[row[0]].insert(row[i]);
    }
    ASSERT_EQ(cited.size(), names.size());
    for (const auto& [code, literature] : cited) {
        const std::string name = names.at(code);
        const std::string page = test::readBytes(demo("explain/" + name + ".html"));
        ASSERT_FALSE(page.empty()) << name;
        EXPECT_NE(page.find("<IMG SRC=\"../maps/" + name + ".png\">"), std::string::npos) << name;
        for (const std::string& paper : literature)
            EXPECT_NE(page.find(titles.at(paper)), std::string::npos) << name << ": " << paper;
    }
    EXPECT_TRUE(std::filesystem::exists(demo("explain/_index.html")));
}

// The atlas form puts six maps on a page and starts a page with each family:
// 9, 5, 6, 9 and 3 species make 2 + 1 + 1 + 2 + 1 pages.
// The pages of a PDF the viewer wrote; -1 when it is no PDF.
int pdfPages(const std::string& pdf)
{
    if (pdf.rfind("%PDF", 0) != 0)
        return -1;
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

TEST_F(DemoTest, TheAtlasHasAPageForEverySixSpeciesOfAFamily)
{
    ASSERT_EQ(run->status, 0) << run->out;
    EXPECT_EQ(pdfPages(test::readBytes(demo("atlas.pdf"))), 7);
    // The overlay form prints the four species on one page.
    EXPECT_EQ(pdfPages(test::readBytes(demo("overlay.pdf"))), 1);
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

// How far an image is from its reference: the mean difference of the colour
// channels over all pixels, and the share of pixels whose largest channel
// difference is above 48 (a mark moved, a line gone). A diff image marks
// each such pixel red on a faded copy of the reference.
struct ImageDifference {
    double meanChannel = 0;
    double farPixels = 0; // share 0..1
    QImage diff;
};

ImageDifference compareImages(const QImage& reference, const QImage& actual)
{
    ImageDifference result;
    const QImage a = reference.convertToFormat(QImage::Format_RGB32);
    const QImage b = actual.convertToFormat(QImage::Format_RGB32);
    result.diff = QImage(a.size(), QImage::Format_RGB32);
    double sum = 0;
    long far = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int dr = std::abs(qRed(p) - qRed(q)), dg = std::abs(qGreen(p) - qGreen(q));
            const int db = std::abs(qBlue(p) - qBlue(q));
            sum += dr + dg + db;
            const bool isFar = std::max({dr, dg, db}) > 48;
            far += isFar;
            const int faded = 192 + qGray(p) / 4;
            result.diff.setPixel(x, y, isFar ? qRgb(255, 0, 0) : qRgb(faded, faded, faded));
        }
    }
    const double pixels = static_cast<double>(a.width()) * a.height();
    result.meanChannel = sum / (3 * pixels);
    result.farPixels = static_cast<double>(far) / pixels;
    return result;
}

// Checks an image the demo made against its reference under
// tests/data/reference. Run with TAVIK_UPDATE_GOLDEN=1 to make the image the
// reference (look at it first). On a failure the diff image is written to
// build/reference-diffs and its path is given.
void expectLikeReference(const QImage& actual, const std::string& name, const std::string& diffFolder)
{
    const std::string reference = TAVIK_TEST_DATA "/reference/" + name + ".png";
    if (std::getenv("TAVIK_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(TAVIK_TEST_DATA "/reference");
        ASSERT_TRUE(actual.save(QString::fromStdString(reference), "PNG")) << reference;
    }
    QImage expected(QString::fromStdString(reference));
    ASSERT_FALSE(expected.isNull()) << "no reference " << reference << " (make it with TAVIK_UPDATE_GOLDEN=1)";
    ASSERT_EQ(actual.size(), expected.size()) << name;
    const ImageDifference difference = compareImages(expected, actual);
    // The same build draws the same pixels; the tolerance takes the few a
    // font version may move, never a mark (some 60 pixels).
    const bool alike = difference.meanChannel <= 0.5 && difference.farPixels <= 0.00002;
    if (!alike) {
        const std::string diffPath = diffFolder + "/" + name + ".diff.png";
        difference.diff.save(QString::fromStdString(diffPath), "PNG");
        ADD_FAILURE() << name << ": mean channel difference " << difference.meanChannel << ", "
                      << difference.farPixels * 100 << " % of pixels far off; differences in red: " << diffPath;
    }
}

// The first page of a PDF the demo printed, rendered at 40 dpi.
QImage firstPage(const std::string& pdf, const std::string& folder)
{
    const std::string stem = folder + "/page";
    test::ProcessCall call("pdftoppm", {"-r", "40", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, stem});
    const test::ProcessResult result = test::runProcess(call);
    EXPECT_EQ(result.status, 0) << result.err;
    return QImage(QString::fromStdString(stem + ".png"));
}

// A few maps and print pages compared with references drawn before: a
// change of drawing that no other test pins (a mark's shape, a line's place,
// a caption, the legend) shows here, with its diff image.
TEST_F(DemoTest, MapsAndPagesLookAsTheirReferences)
{
    ASSERT_EQ(run->status, 0) << run->out;
    // Diff images stay in the build tree after the test's folder is gone.
    const std::string diffs = (std::filesystem::path(TAVIK_BIN).parent_path() / "reference-diffs").string();
    std::filesystem::create_directories(diffs);
    for (const char* species : {"Papilio machaon", "Pieris rapae", "Choaspes benjaminii"}) {
        QImage map(QString::fromStdString(demo(std::string("maps/") + species + ".png")));
        ASSERT_FALSE(map.isNull()) << species;
        expectLikeReference(map, std::string("map ") + species, diffs);
    }
    expectLikeReference(firstPage(demo("overlay.pdf"), folder->path()), "overlay page 1", diffs);
    expectLikeReference(firstPage(demo("atlas.pdf"), folder->path()), "atlas page 1", diffs);
}

} // namespace
} // namespace tavik
