#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

class ByteSource;
class EmlScanner;

// How a download is cited: GBIF cites each download by a DOI, and writes the
// citation into the archive's metadata document (EML). It becomes the
// suggested row of the literature table when the user names no literature.
struct DownloadCitation {
    std::string text; // the citation as the metadata gives it (UTF-8), or empty
    std::string doi; // "10.15468/dl.abc123", or empty
    std::string key; // GBIF's download key ("0001234-240101120000000"), or empty
    std::string year; // year of publication, or empty

    // Bytes of a metadata document read at most: the citation comes within
    // the first few kilobytes of any real one.
    static constexpr size_t maxEmlBytes = size_t{64} << 20;

    // Reads the citation of an EML document as it streams from a source,
    // keeping only the few texts it needs (a few kilobytes whatever the size
    // of the document) and stopping at the citation or after maxBytes: its
    // <citation> (GBIF puts a dataset's under additionalMetadata), else one
    // made of the dataset's title, publication date and DOI. A GBIF download
    // (a DOI 10.15468/dl.…, a download key, or the title GBIF gives one) is
    // cited as GBIF asks: "GBIF.org (12 May 2024) GBIF Occurrence Download
    // https://doi.org/10.15468/dl.abc123", dated by its publication date.
    static DownloadCitation fromEml(ByteSource& source, size_t maxBytes = maxEmlBytes);
    static DownloadCitation fromEml(std::string_view xml);

    // What a data file's name says: a GBIF simple download is named by its
    // download key ("0001234-240101120000000.csv"), whose digits after the
    // hyphen begin with the date it was made (yyMMdd).
    static DownloadCitation fromDataFileName(std::string_view name);

    // A row for the literature table (cp932, without its line end): code,
    // author, year, title; the code is "GBIF-" and the DOI's last part, or
    // "GBIF" and the key, cut to the 27 bytes a literature code may hold.
    std::string literatureRow() const;

private:
    static DownloadCitation fromScanned(const EmlScanner& eml);
    // The date a GBIF download key was made ("2024-01-01"), or empty.
    static std::string keyDate(std::string_view key);
    // A date as GBIF's citations write it: "12 May 2024" of "2024-05-12".
    static std::string writtenDate(std::string_view date);
};

} // namespace tavik
