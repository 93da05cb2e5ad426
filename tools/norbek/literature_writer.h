#pragma once

#include "platform/cp932_text.h"
#include "tools/norbek/norbek_command_line.h"
#include "tools/norbek/page_composer.h"

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class CsvReader;
class ImageLists;
struct NorbekArea;
class NorbekTables;
struct NorbekSettings;
struct ToolError;

// What one run writes and where.
struct WriterOptions {
    NamingMode naming = NamingMode::Scientific;
    PageFileType fileType = PageFileType::Html;
    bool byArea = false; // the by-area list is requested
    bool allAreas = false; // the all-areas list is requested
    bool allAreasFirst = false; // -allarea came before -area
    bool geo = false; // grid squares and points are listed too
    bool templateIndex = false;
    std::string outputDirectory; // ends in a separator, or empty for the current folder (cp932)
};

// Writes the pages of the species: with literature, one page per species of
// the species-literature table; without, one page per species of the species
// table. Then the index and, in HTML mode, the style sheet. Each file is
// written whole or not at all; files written before a fault remain.
//
// The species-literature table is read twice: once to check every line, so
// that a fault anywhere writes no page, noting where each species' lines lie;
// then species by species, holding the lines of one species only.
class LiteratureWriter {
public:
    // Page lines and reports of missing media go to `console`.
    LiteratureWriter(const NorbekSettings& settings, const NorbekTables& tables, const ImageLists& images,
        WriterOptions options, std::FILE* console);

    bool writePagesWithLiterature(ToolError& error);
    bool writePagesWithoutLiterature(ToolError& error);

private:
    struct SpeciesLine;
    struct LineRun;
    enum class LineRead { Line, End, Fault };

    // Reads and checks the next line of the species-literature table.
    LineRead readSpeciesLine(CsvReader& reader, SpeciesLine& line, ToolError& error) const;
    // Checks the whole table and notes the runs of each species' lines.
    bool checkSpeciesLiterature(CsvReader& reader, std::vector<LineRun>& runs, std::vector<int>& firstRun,
        std::vector<int>& lastRun, ToolError& error) const;
    // Reads again the lines of one species from its runs, in table order.
    bool readSpeciesRuns(CsvReader& reader, int species, const std::vector<LineRun>& runs, int firstRun,
        std::vector<SpeciesLine>& lines, ToolError& error) const;
    // Begins a species: marks it written and prints its page's path.
    const std::string& beginSpecies(int species);
    // Makes every literature row's entry and its place in the author order,
    // once a run.
    void orderLiterature();
    // The heading of a located line: its area's, or its grid square's or point's.
    const std::string& headingOf(const SpeciesLine& line);
    // The literature section of one species' page from its lines [first, end):
    // the list by area and the list for all areas, as the options ask.
    std::string literatureText(int species, const SpeciesLine* first, const SpeciesLine* end);
    // Writes the page of a species with literature: an HTML page, or the
    // ".hdr" and ".lit" files in text mode.
    bool writeLiteraturePage(int species, const std::string& text, ToolError& error);
    bool writeHtmlPage(int species, const std::string* literature, ToolError& error);
    bool insertMedia(int species, std::string& page, ToolError& error) const;
    bool insertSource(
        std::string_view source, const std::vector<std::string>& candidates, std::string& page, ToolError& error) const;
    bool writeIndex(ToolError& error) const;
    bool finish(ToolError& error) const;
    void reportOverwrittenPages() const;

    const NorbekSettings& settings_;
    const NorbekTables& tables_;
    const ImageLists& images_;
    WriterOptions options_;
    std::FILE* console_;
    PageComposer composer_;
    std::vector<std::string> pageNames_; // file-name form of each species' page name, once begun
    std::vector<bool> written_; // by species
    std::vector<std::string> begun_; // page names in the order begun

    // Made by orderLiterature, by literature row: its entry, its place in the
    // author order, and the species that last cited it.
    std::vector<std::string> entries_;
    std::vector<int> authorRank_;
    std::vector<int> citedBy_;
    std::map<const NorbekArea*, std::string> areaHeadings_;
};

// Writes text (cp932, "\n" line ends) as a whole file with CR LF line ends.
// False when it cannot be written, and the old file, if any, is kept; error
// then names the file, or the folder where no file can be made, and says
// why: "<what> (<reason>).", where `what` defaults to "<path> を書けません".
bool writeTextFile(std::string_view path, std::string_view text, ToolError& error, const Cp932Text& what = {});

} // namespace tavik
