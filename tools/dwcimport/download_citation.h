#pragma once

#include <string>
#include <string_view>

namespace tavik {

// How a download is cited: GBIF cites each download by a DOI, and writes the
// citation into the archive's metadata document (EML). It becomes the
// suggested row of the literature table when the user names no literature.
struct DownloadCitation {
    std::string text; // the citation as the metadata gives it (UTF-8), or empty
    std::string doi; // "10.15468/dl.abc123", or empty
    std::string key; // GBIF's download key ("0001234-240101120000000"), or empty
    std::string year; // year of publication, or empty

    // Reads the citation of an EML document: its <citation> (GBIF puts the
    // download's under additionalMetadata), else one made of the dataset's
    // title, publication date and DOI.
    static DownloadCitation fromEml(std::string_view xml);

    // What a data file's name says: a GBIF simple download is named by its
    // download key ("0001234-240101120000000.csv").
    static DownloadCitation fromDataFileName(std::string_view name);

    // A row for the literature table (cp932, without its line end): code,
    // author, year, title; the code is "GBIF-" and the DOI's last part, or
    // "GBIF" and the key, cut to the 27 bytes a literature code may hold.
    std::string literatureRow() const;
};

} // namespace tavik
