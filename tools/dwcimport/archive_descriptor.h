#pragma once

#include "tools/dwcimport/delimited_reader.h"
#include "tools/dwcimport/term_columns.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavik {

// One data file of a Darwin Core Archive as its descriptor (meta.xml) tells
// of it: the core file or an extension.
struct ArchiveFile {
    std::string rowType; // the local name of its row type, in lower case ("occurrence", "event")
    std::string location; // path of the file inside the archive (UTF-8), never leading out of it
    std::string encoding; // the encoding as meta.xml names it; empty when not named
    TextLayout layout;
    long headerLines = 0; // lines at the start of the file that hold no record
    TermColumns columns;
    std::optional<size_t> keyColumn; // the core's <id>, an extension's <coreid>
    size_t columnCount = 0; // the highest column a field names, plus one
    std::vector<std::pair<size_t, std::string>> namedColumns; // each field's column and its term's local name

    // Checks the file's header line against the columns meta.xml gives: each
    // column must be in the line, and no column may hold another field's
    // term (a shifted or wrong index). False with the reason in `error`
    // (UTF-8).
    bool checkHeader(const std::vector<std::string_view>& header, std::string& error) const;

    // Checks the first record of a file without a header line: it must hold
    // every column meta.xml names.
    bool checkFirstRecord(const std::vector<std::string_view>& fields, std::string& error) const;
};

// What a Darwin Core Archive's descriptor (meta.xml) says: the core file
// and, for a sampling-event dataset (an Event core), its extension of
// occurrences, joined to the events by the core's id.
struct ArchiveDescriptor {
    std::string metadataLocation; // the archive's metadata document (EML), empty when none is named
    ArchiveFile core;
    std::optional<ArchiveFile> occurrenceExtension; // with an Event core

    // The file whose records are occurrences.
    const ArchiveFile& occurrences() const { return occurrenceExtension ? *occurrenceExtension : core; }

    // Reads a descriptor: an Occurrence core, or an Event core with an
    // Occurrence extension. Refused (false, the reason in `error`, UTF-8):
    // other cores, a location that leads out of the archive, a column given
    // two fields, a term given twice, a field index that is no column number.
    static bool parse(std::string_view xml, ArchiveDescriptor& descriptor, std::string& error);
};

// True when a location inside an archive stays inside it: relative, and no
// ".." among its parts ("\" separates parts too).
bool isLocationInside(std::string_view location);

} // namespace tavik
