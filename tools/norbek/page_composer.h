#pragma once

#include "tools/norbek/norbek_command_line.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

struct LiteratureRow;
struct NorbekArea;
struct NorbekSettings;
struct SpeciesRecord;
class NorbekTables;

// The page name of a species by naming mode (cp932, as the tables hold it):
// its Japanese name, alias 2 or scientific name, falling back to the other
// names and then to the code when empty.
std::string pageName(const SpeciesRecord& species, NamingMode naming);

// The names "*" in a media source stands for, in the order tried: by naming
// mode, empty ones left out, each name with blanks followed by its forms with
// "_" and "-" for the blanks; separators become "_" as in page file names.
std::vector<std::string> nameCandidates(const SpeciesRecord& species, NamingMode naming);

// Heading of a grid square location ("JP" and digits): 5339-4512, 5339-4512-3-4.
std::string gridSquareHeading(std::string_view location);

// Heading of a latitude-longitude location (N35.30'E139.45'): the latitude,
// two blanks and the longitude.
std::string pointHeading(std::string_view location);

// Composes the texts of the pages, the index and the style sheet (cp932, line
// ends as "\n"; they become CR LF when written).
class PageComposer {
public:
    PageComposer(const NorbekSettings& settings, const NorbekTables& tables);

    // True when `a` comes before `b` in the author order of OrderBy: author,
    // year, then code, byte-wise.
    bool authorLess(const LiteratureRow& a, const LiteratureRow& b) const;

    // One literature line: author, year, title, book title and particulars.
    std::string literatureEntry(const LiteratureRow& literature) const;

    // An area's name with its regions and its latitude and longitude.
    std::string areaHeading(const NorbekArea& area) const;

    // A heading over a list of a page's literature (an area's, a grid
    // square's, or the all-areas header): in HTML a DIV of class "areaname",
    // in text a line of its own.
    static std::string listHeading(std::string_view heading, PageFileType type);

    // The ".hdr" text of text mode: one line per name of the Species setting.
    std::string headerText(const SpeciesRecord& species) const;

    // The HTML page up to the media: head, body colours and header block.
    std::string pageStart(const SpeciesRecord& species, std::string_view name) const;
    // An image or an object (video, audio) of the page; `type` is its media type.
    static std::string imageItem(std::string_view path);
    static std::string objectItem(std::string_view type, std::string_view path);
    // What follows the media: the literature section (when `literature` is
    // set) and the end of the page.
    std::string pageEnd(const std::string* literature) const;

    struct IndexEntry {
        const SpeciesRecord* species;
        std::string name; // page name, as its file is named
    };
    std::string standardIndex(const std::vector<IndexEntry>& entries) const;

    std::string styleSheet() const;

private:
    // The group's name of the given form when PhyleticYN shows it; null when not shown.
    const std::string* groupName(const SpeciesRecord& species, int form) const;
    std::string headerBlock(const SpeciesRecord& species) const;
    std::string headLines(std::string_view title) const;
    std::string bodyLine() const;

    const NorbekSettings& settings_;
    const NorbekTables& tables_;
};

// The index made from a template: each line is copied, except that a line
// holding "<!--", then "@Norbek@", then "-->" is written once per page name,
// as the text before "<!--" and the comment's inside with "@Norbek@" replaced
// by the name; the rest of that line is dropped. Line ends become "\n".
std::string templateIndex(std::string_view templateText, const std::vector<std::string>& names);

} // namespace tavik
