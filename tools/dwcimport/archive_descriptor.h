#pragma once

#include "tools/dwcimport/delimited_reader.h"
#include "tools/dwcimport/term_columns.h"

#include <string>
#include <string_view>

namespace tavik {

// What a Darwin Core Archive's descriptor (meta.xml) says of its core file:
// where it is, how its text is laid out, and which column holds which term.
struct ArchiveDescriptor {
    std::string coreLocation; // path of the core file inside the archive (UTF-8)
    std::string metadataLocation; // the archive's metadata document (EML), empty when none is named
    TextLayout layout;
    long headerLines = 0; // lines at the start of the core file that hold no record
    TermColumns columns;

    // Reads a descriptor. The core must hold occurrences in UTF-8 and name
    // its file; the field indexes are 0-based columns of that file. False
    // with the reason in `error`.
    static bool parse(std::string_view xml, ArchiveDescriptor& descriptor, std::string& error);
};

} // namespace tavik
