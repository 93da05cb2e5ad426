#pragma once

#include "platform/cp932_text.h"

#include <optional>
#include <string>
#include <vector>

namespace tavik {

// How each page is named, which also orders the name candidates of images.
enum class NamingMode { None, Scientific, Alias1, Alias2, Code };

// One list of literature a page may hold.
enum class LiteratureList { ByArea, AllAreas };

enum class PageFileType { Html, Text };

// norbek [-sci|-alias1|-alias2|-code] [-area] [-allarea] [-geo] [-txt|-html] [-template] OutputPath
struct NorbekCommandLine {
    NamingMode naming = NamingMode::None; // the last naming option wins
    std::vector<LiteratureList> lists; // in the order given, each kind once, at most two
    bool geo = false; // also list literature of grid squares and latitude-longitude points
    std::optional<PageFileType> fileType; // unset: the DefaultFileType setting
    bool templateIndex = false; // make the index page from "_indexTemplate.html"
    std::string outputPath; // cp932; empty: the current directory
    std::string badOption; // cp932; an unknown option, which stops the run
    Cp932Text pathFault; // the message of an output folder named with no cp932 form

    // Takes the arguments (UTF-8, without the program name) left to right; the
    // first argument that is not an option is the output path, later ones are
    // ignored.
    static NorbekCommandLine parse(const std::vector<std::string>& arguments);

    bool wants(LiteratureList list) const;
    // True when the all-areas list comes first on the page (-allarea before -area).
    bool allAreasFirst() const;

    // The usage text (cp932), one line per line.
    static std::string usage();
};

} // namespace tavik
