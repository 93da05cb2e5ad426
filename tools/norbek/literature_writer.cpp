#include "tools/norbek/literature_writer.h"

#include "common/csv_reader.h"
#include "common/fact_location.h"
#include "common/literature_table.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/file_reading.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "platform/system_error.h"
#include "platform/text_numbers.h"
#include "tools/norbek/image_lists.h"
#include "tools/norbek/media_source.h"
#include "tools/norbek/norbek_settings.h"
#include "tools/norbek/norbek_tables.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace tavik {
namespace {

const char* const templatePath = "_indexTemplate.html";

// Bytes of the index template or of a text copied into a page: far more
// than any page needs, and a bound on what a device named as one costs.
constexpr size_t maxTextFileBytes = 16 << 20;

// Reads the index template or a text for a page whole; false, with
// "<what> (<reason>)." in error, when it cannot be.
bool readTextFile(std::string_view path, std::string& bytes, const char* what, ToolError& error)
{
    FileReadResult result = readFileBytes(path, maxTextFileBytes, bytes);
    if (result.ok())
        return true;
    return error.set(path, utf8ToCp932(std::string(what) + " (" + fileReadFailureText(result) + ")."));
}

} // namespace

// One line of the species-literature table, checked and reduced to what the
// page shows.
struct LiteratureWriter::SpeciesLine {
    long row = 0; // 1-based line number
    int species = 0; // index in the species table
    bool located = false; // the line has a location that is listed
    const NorbekArea* area = nullptr; // its area, when the location is an area
    std::string heading; // the heading of a grid square or point
    std::vector<int> literature; // indices in the literature table, in the line's order
};

// Consecutive lines of one species in the species-literature table.
struct LiteratureWriter::LineRun {
    std::int64_t offset = 0; // byte offset of the first line
    long row = 0; // its 1-based line number
    int species = 0;
    int lines = 0;
    int next = -1; // the species' next run, or -1
};

bool writeTextFile(std::string_view path, std::string_view text, ToolError& error, const Cp932Text& what)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    // Each page is replaced whole; waiting for the disk after every one of
    // thousands of pages would cost most of the run, and a lost page is
    // written again by the next run.
    FileReplacement file(path, FileReplacement::Sync::None);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    const Cp932Text message = what.empty() ? cp932Printf("%s を書けません", std::string(path).c_str()) : what;
    return error.set(file.failurePath(), message + utf8ToCp932(" (" + file.errorText() + ")."));
}

LiteratureWriter::LiteratureWriter(const NorbekSettings& settings, const NorbekTables& tables, const ImageLists& images,
    WriterOptions options, std::FILE* console)
    : settings_(settings)
    , tables_(tables)
    , images_(images)
    , options_(std::move(options))
    , console_(console)
    , composer_(settings, tables)
    , pageNames_(tables.species().size())
    , written_(tables.species().size(), false)
{
}

const std::string& LiteratureWriter::beginSpecies(int species)
{
    written_[species] = true;
    std::string& name = pageNames_[species];
    name = fileNamePart(pageName(tables_.species()[species], options_.naming));
    begun_.push_back(name);
    printCp932(console_, options_.outputDirectory + name + "\n");
    return name;
}

LiteratureWriter::LineRead LiteratureWriter::readSpeciesLine(
    CsvReader& reader, SpeciesLine& line, ToolError& error) const
{
    const std::string& path = settings_.tables.spLitDb;
    CsvStatus status = reader.nextLine();
    if (status == CsvStatus::EndOfFile)
        return LineRead::End;
    long row = reader.lineNumber();
    auto fault = [&](const std::string& file, const Cp932Text& message) {
        error.set(file, message);
        return LineRead::Fault;
    };
    if (status != CsvStatus::Ok)
        return fault(path, norbekSyntaxMessage(status, row, reader.errorText()));
    if (reader.fieldCount() == 0)
        return fault(path, cp932Printf("%ld 行目: 種コードがありません", row));
    line = SpeciesLine();
    line.row = row;
    long long code = tableCode(reader.field(0));
    line.species = tables_.findSpecies(code);
    if (line.species < 0 && tables_.isSpeciesBeyondCapacity(code))
        return fault(settings_.tables.speciesTable,
            cp932Printf("種テーブルの種数が多すぎます.上限は %d 種です.", settings_.tables.speciesMax));
    if (line.species < 0)
        return fault(path, cp932Printf("%ld 行目: 種コード[%lld]は種テーブルに登録されていません", row, code));

    if (!reader.hasField(1))
        return LineRead::Line;
    std::string location(trimmedText(reader.field(1)));
    const LocationForm form = locationForm(location, SquareMark::JFirstOrPSecond);
    const bool gridSquare = form == LocationForm::GridSquare;
    const bool point = form == LocationForm::Coordinates;
    // Without -geo grid squares and points and their literature are passed over.
    if ((gridSquare || point) && !options_.geo)
        return LineRead::Line;
    if (gridSquare) {
        line.heading = gridSquareHeading(location);
    } else if (point) {
        line.heading = pointHeading(location);
    } else {
        line.area = tables_.findArea(parseInteger(location));
        if (!line.area)
            return fault(path,
                cp932Printf("%ld 行目: 地域コード[%s]は地域テーブルに登録されていません.", row,
                    quotedForReport(location).c_str()));
    }
    line.located = true;
    for (size_t i = 2; i < reader.fieldCount(); ++i) {
        std::string literatureCode(LiteratureTable::codeOf(reader.field(i)));
        if (literatureCode.empty())
            continue;
        int literature = tables_.findLiterature(literatureCode);
        if (literature < 0)
            return fault(path,
                cp932Printf("%ld 行目: 文献コード[%s]は文献テーブルに登録されていません.", row,
                    quotedForReport(literatureCode).c_str()));
        line.literature.push_back(literature);
    }
    return LineRead::Line;
}

bool LiteratureWriter::checkSpeciesLiterature(CsvReader& reader, std::vector<LineRun>& runs, std::vector<int>& firstRun,
    std::vector<int>& lastRun, ToolError& error) const
{
    SpeciesLine line;
    for (;;) {
        switch (readSpeciesLine(reader, line, error)) {
        case LineRead::End:
            return true;
        case LineRead::Fault:
            return false;
        case LineRead::Line:
            break;
        }
        // A sorted table makes one run per species; each time the table
        // comes back to a species it makes one more.
        if (!runs.empty() && runs.back().species == line.species) {
            ++runs.back().lines;
            continue;
        }
        const int run = static_cast<int>(runs.size());
        runs.push_back({reader.lineOffset(), line.row, line.species, 1, -1});
        if (lastRun[line.species] < 0)
            firstRun[line.species] = run;
        else
            runs[lastRun[line.species]].next = run;
        lastRun[line.species] = run;
    }
}

bool LiteratureWriter::readSpeciesRuns(CsvReader& reader, int species, const std::vector<LineRun>& runs, int firstRun,
    std::vector<SpeciesLine>& lines, ToolError& error) const
{
    const std::string& path = settings_.tables.spLitDb;
    lines.clear();
    for (int r = firstRun; r >= 0; r = runs[r].next) {
        const LineRun& run = runs[r];
        // Runs that follow each other in the file are read on without a seek.
        if (reader.nextOffset() != run.offset && !reader.seek(run.offset, run.row))
            return error.set(path, cp932Literal("種別文献テーブルが読めませんでした."));
        for (int i = 0; i < run.lines; ++i) {
            SpeciesLine& line = lines.emplace_back();
            LineRead read = readSpeciesLine(reader, line, error);
            if (read == LineRead::Fault)
                return false;
            // The table was checked whole; a line that differs now was
            // changed by someone else while the pages were being written.
            if (read == LineRead::End || line.species != species)
                return error.set(
                    path, cp932Printf("%ld 行目: 書き出し中に種別文献テーブルが変更されました", run.row + i));
        }
    }
    return true;
}

bool LiteratureWriter::writePagesWithLiterature(ToolError& error)
{
    const std::string& path = settings_.tables.spLitDb;
    CsvReader reader;
    if (!reader.open(path))
        return error.set(path,
            norbekOpenMessage(
                reader.openResult(), "種別文献テーブルが見つかりません.", "種別文献テーブルが読めませんでした."));
    const size_t speciesCount = tables_.species().size();
    std::vector<LineRun> runs;
    std::vector<int> firstRun(speciesCount, -1), lastRun(speciesCount, -1);
    if (!checkSpeciesLiterature(reader, runs, firstRun, lastRun, error))
        return false;
    orderLiterature();
    // Pages are written in species order; the lines of one species make one
    // page even where the table does not keep them together, and within a
    // species the table's order holds.
    std::vector<SpeciesLine> lines;
    for (size_t i = 0; i < speciesCount; ++i) {
        if (firstRun[i] < 0)
            continue;
        const int species = static_cast<int>(i);
        if (!readSpeciesRuns(reader, species, runs, firstRun[i], lines, error))
            return false;
        beginSpecies(species);
        const std::string text = literatureText(species, lines.data(), lines.data() + lines.size());
        if (!writeLiteraturePage(species, text, error))
            return false;
    }
    return finish(error);
}

void LiteratureWriter::orderLiterature()
{
    const std::vector<LiteratureRow>& literature = tables_.literature();
    entries_.assign(literature.size(), std::string());
    std::vector<int> order(literature.size());
    for (size_t i = 0; i < literature.size(); ++i) {
        entries_[i] = composer_.literatureEntry(literature[i]);
        order[i] = static_cast<int>(i);
    }
    std::stable_sort(
        order.begin(), order.end(), [&](int a, int b) { return composer_.authorLess(literature[a], literature[b]); });
    authorRank_.assign(literature.size(), 0);
    for (size_t i = 0; i < order.size(); ++i)
        authorRank_[order[i]] = static_cast<int>(i);
    citedBy_.assign(literature.size(), -1);
    areaHeadings_.clear();
}

const std::string& LiteratureWriter::headingOf(const SpeciesLine& line)
{
    if (!line.area)
        return line.heading;
    // Area headings are made once an area, when first needed.
    auto [it, added] = areaHeadings_.try_emplace(line.area);
    if (added)
        it->second = composer_.areaHeading(*line.area);
    return it->second;
}

std::string LiteratureWriter::literatureText(int species, const SpeciesLine* first, const SpeciesLine* end)
{
    auto byAuthor = [this](int a, int b) { return authorRank_[a] < authorRank_[b]; };
    // The list by area: each located line's heading and its literature in
    // author order. Literature cited more than once goes once into `cited`.
    std::string byArea;
    std::vector<int> cited;
    bool firstHeading = true;
    for (const SpeciesLine* line = first; line != end; ++line) {
        if (!line->located)
            continue;
        if (options_.byArea) {
            if (!firstHeading)
                byArea += "\n";
            firstHeading = false;
            byArea += PageComposer::listHeading(headingOf(*line), options_.fileType);
        }
        std::vector<int> codes = line->literature;
        std::stable_sort(codes.begin(), codes.end(), byAuthor);
        for (int code : codes) {
            if (citedBy_[code] != species) {
                citedBy_[code] = species;
                cited.push_back(code);
            }
            if (options_.byArea)
                byArea += entries_[code];
        }
    }
    // The list for all areas: everything cited, once, in author order.
    std::string allAreas;
    if (options_.allAreas && !cited.empty()) {
        if (options_.byArea)
            allAreas = PageComposer::listHeading(settings_.allAreaHeader, options_.fileType);
        std::sort(cited.begin(), cited.end(), byAuthor);
        for (int code : cited)
            allAreas += entries_[code];
    }
    const std::string& firstList = options_.allAreasFirst ? allAreas : byArea;
    const std::string& secondList = options_.allAreasFirst ? byArea : allAreas;
    return firstList + (firstList.empty() ? "" : "\n") + secondList;
}

bool LiteratureWriter::writeLiteraturePage(int species, const std::string& text, ToolError& error)
{
    if (options_.fileType == PageFileType::Html)
        return writeHtmlPage(species, &text, error);
    // Text mode: the names in ".hdr", the literature in ".lit".
    const std::string base = options_.outputDirectory + pageNames_[species];
    if (!writeTextFile(base + ".hdr", composer_.headerText(tables_.species()[species]), error))
        return false;
    if (!settings_.otherTextFile.empty()) {
        // The extra file is for the user's own text: made empty when
        // missing, never emptied.
        std::string other = base + "." + settings_.otherTextFile;
        if (!openFile(other, "ab"))
            return error.set(other,
                cp932Printf("%s を作れません (%s).", other.c_str(), utf8ToCp932(systemErrorText(errno)).c_str()));
    }
    return writeTextFile(base + ".lit", text, error);
}

bool LiteratureWriter::writePagesWithoutLiterature(ToolError& error)
{
    for (size_t species = 0; species < tables_.species().size(); ++species) {
        beginSpecies(static_cast<int>(species));
        if (!writeHtmlPage(static_cast<int>(species), nullptr, error))
            return false;
    }
    return finish(error);
}

bool LiteratureWriter::writeHtmlPage(int species, const std::string* literature, ToolError& error)
{
    const std::string& name = pageNames_[species];
    std::string page = composer_.pageStart(tables_.species()[species], name);
    if (!insertMedia(species, page, error))
        return false;
    page += composer_.pageEnd(literature);
    return writeTextFile(options_.outputDirectory + name + ".html", page, error);
}

bool LiteratureWriter::insertMedia(int species, std::string& page, ToolError& error) const
{
    bool anySource = std::any_of(settings_.imageUrls.begin(), settings_.imageUrls.end(), [](const std::string& url) {
        return !url.empty();
    }) || !images_.images(species).empty();
    if (!anySource)
        return true;
    std::vector<std::string> candidates = nameCandidates(tables_.species()[species], options_.naming);
    for (int n = 1; n <= NorbekSettings::imageSources; ++n) {
        const std::string& url = settings_.imageUrls[n - 1];
        if (!url.empty() && !insertSource(url, candidates, page, error))
            return false;
        for (const SpeciesImage& image : images_.images(species))
            if (image.list == n && !insertSource(image.path, candidates, page, error))
                return false;
    }
    return true;
}

bool LiteratureWriter::insertSource(
    std::string_view source, const std::vector<std::string>& candidates, std::string& page, ToolError& error) const
{
    MediaSource media(options_.outputDirectory, console_);
    std::optional<std::string> path = media.resolve(source, candidates);
    if (!path)
        return true;
    MediaType type = mediaTypeOf(source);
    switch (type.kind) {
    case MediaType::Image:
        page += PageComposer::imageItem(*path);
        return true;
    case MediaType::Object:
        page += PageComposer::objectItem(type.type, *path);
        return true;
    case MediaType::Text:
        break;
    }
    // A text source is copied in line by line, each line ending as the page's do.
    std::string file = options_.outputDirectory + *path, text;
    if (!readTextFile(file, text, "テキストが読めません", error))
        return false;
    for (std::string_view rest = text; !rest.empty();) {
        size_t newline = rest.find('\n');
        std::string_view line = rest.substr(0, newline);
        rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        page.append(line).append("\n");
    }
    return true;
}

bool LiteratureWriter::writeIndex(ToolError& error) const
{
    const bool html = options_.fileType == PageFileType::Html;
    if (!html && !options_.templateIndex)
        return true;
    const std::vector<SpeciesRecord>& species = tables_.species();
    std::vector<int> order;
    for (size_t i = 0; i < species.size(); ++i)
        if (written_[i])
            order.push_back(static_cast<int>(i));
    auto sortBy = [&](auto key) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(species[a]) < key(species[b]); });
    };
    switch (settings_.indexOrder) {
    case IndexOrder::None:
        sortBy([](const SpeciesRecord& s) { return s.row; });
        break;
    case IndexOrder::Code:
        break; // the species table is held in code order
    case IndexOrder::Scientific:
        sortBy([](const SpeciesRecord& s) { return std::tie(s.scientificName, s.code); });
        break;
    case IndexOrder::Alias1:
        sortBy([](const SpeciesRecord& s) { return std::tie(s.alias1, s.scientificName, s.code); });
        break;
    case IndexOrder::Alias2:
        sortBy([](const SpeciesRecord& s) { return std::tie(s.alias2, s.scientificName, s.code); });
        break;
    }

    std::string index;
    if (options_.templateIndex) {
        std::string pattern;
        if (!readTextFile(templatePath, pattern, "テンプレートを読めません", error))
            return false;
        std::vector<std::string> names;
        names.reserve(order.size());
        for (int i : order)
            names.push_back(pageNames_[i]);
        index = templateIndex(pattern, names);
    } else {
        std::vector<PageComposer::IndexEntry> entries;
        entries.reserve(order.size());
        for (int i : order)
            entries.push_back({&species[i], pageNames_[i]});
        index = composer_.standardIndex(entries);
    }
    return writeTextFile(
        options_.outputDirectory + "_index.html", index, error, cp932Literal("インデックスが書けません"));
}

bool LiteratureWriter::finish(ToolError& error) const
{
    if (!writeIndex(error))
        return false;
    if (options_.fileType == PageFileType::Html) {
        if (!writeTextFile(options_.outputDirectory + "_text.css", composer_.styleSheet(), error))
            return false;
    }
    reportOverwrittenPages();
    return true;
}

void LiteratureWriter::reportOverwrittenPages() const
{
    std::vector<std::string> names = begun_;
    std::sort(names.begin(), names.end());
    for (size_t i = 1; i < names.size(); ++i)
        if (names[i] == names[i - 1] && (i < 2 || names[i - 1] != names[i - 2]))
            printCp932(console_,
                cp932Printf("%s  %s\n", names[i].c_str(), cp932Literal("既に存在、上書きしました。").c_str()));
}

} // namespace tavik
