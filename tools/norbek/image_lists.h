#pragma once

#include "tools/norbek/norbek_settings.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

struct SpeciesRecord;
struct ToolError;

// An image of a species taken from an image list.
struct SpeciesImage {
    std::string path; // as written in the list (cp932), relative to the output folder
    int list = 0; // number of the list, 1 to 10
};

// The image lists of the settings (HtmlImageList1-10), each a CSV table
// whose first field is an image path. An image belongs to the species whose
// name occurs in its path; among several, the one with the longest name.
class ImageLists {
public:
    // Reads every list set in `lists` (paths relative to the output folder)
    // and hands out its images to `species` (sorted by code). False with the
    // list and the message in error.
    bool load(const std::array<std::string, NorbekSettings::imageSources>& lists, std::string_view outputDirectory,
        const std::vector<SpeciesRecord>& species, ToolError& error);

    // The images of the species at an index of the species table, in list
    // number and then in list order.
    const std::vector<SpeciesImage>& images(size_t species) const;

    // Matches one image path: the index of the species whose name of the
    // current kind (then of the other kinds in turn) occurs in it, or -1.
    // `kind` becomes the last kind tried, where the next line starts.
    int match(std::string_view path, NameForm& kind) const;

    // Prepares match() for the species without reading any list.
    void index(const std::vector<SpeciesRecord>& species);

private:
    struct Name {
        std::string name; // the name as it is
        std::string underscored; // blanks as "_" (empty when it has no blank)
        std::string hyphenated; // blanks as "-"
        int species = 0;
    };

    int matchKind(std::string_view path, const std::vector<bool>& characterStarts, NameForm kind) const;

    std::array<std::vector<Name>, 3> names_; // by kind, longest names first, then by species code
    std::vector<std::vector<SpeciesImage>> images_;
};

} // namespace tavik
