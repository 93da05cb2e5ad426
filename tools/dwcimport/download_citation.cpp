#include "tools/dwcimport/download_citation.h"

#include "common/csv_writer.h"
#include "platform/cp932.h"
#include "tools/dwcimport/byte_source.h"
#include "tools/dwcimport/eml_scanner.h"

#include <array>
#include <cctype>
#include <cstring>
#include <vector>

namespace tavik {
namespace {

constexpr size_t literatureCodeBytes = 27;

// The DOI in a text: from "10." to the next blank ("https://doi.org/10.x/y" gives "10.x/y").
std::string doiIn(std::string_view text)
{
    size_t start = text.find("10.");
    while (start != std::string_view::npos && start > 0 && text[start - 1] != '/' && text[start - 1] != ' '
        && text[start - 1] != ':')
        start = text.find("10.", start + 1);
    if (start == std::string_view::npos || text.find('/', start) == std::string_view::npos)
        return "";
    size_t end = text.find_first_of(" \t\n", start);
    std::string doi(text.substr(start, end == std::string_view::npos ? end : end - start));
    while (!doi.empty() && (doi.back() == '.' || doi.back() == ','))
        doi.pop_back();
    return doi;
}

bool isDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// A GBIF download key: digits, a hyphen, digits ("0001234-240101120000000").
bool isDownloadKey(std::string_view text)
{
    size_t hyphen = text.find('-');
    return hyphen != std::string_view::npos && isDigits(text.substr(0, hyphen)) && isDigits(text.substr(hyphen + 1));
}

// The characters a literature code made from a download keeps: ASCII letters,
// digits, '-', '.' and '_'. A DOI or key may hold anything (a comma or a quote
// would make the table quote the code, a space would be trimmed away).
std::string codeCharacters(std::string_view text)
{
    std::string kept;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_')
            kept += c;
    return kept;
}

} // namespace

DownloadCitation DownloadCitation::fromEml(ByteSource& source, size_t maxBytes)
{
    EmlScanner scanner;
    std::vector<char> block(size_t{1} << 16);
    for (size_t read = 0; read < maxBytes && !scanner.done();) {
        long count = source.read(block.data(), std::min(block.size(), maxBytes - read));
        if (count <= 0)
            break;
        read += static_cast<size_t>(count);
        scanner.feed(std::string_view(block.data(), static_cast<size_t>(count)));
    }
    return fromScanned(scanner);
}

DownloadCitation DownloadCitation::fromEml(std::string_view xml)
{
    EmlScanner scanner;
    scanner.feed(xml);
    return fromScanned(scanner);
}

DownloadCitation DownloadCitation::fromScanned(const EmlScanner& eml)
{
    DownloadCitation citation;
    if (eml.pubDate.size() >= 4 && isDigits(std::string_view(eml.pubDate).substr(0, 4)))
        citation.year = eml.pubDate.substr(0, 4);
    citation.text = eml.citation;
    citation.doi = doiIn(eml.citationIdentifier);
    if (citation.doi.empty())
        citation.doi = doiIn(citation.text);
    for (const std::string& identifier : eml.identifiers) {
        if (citation.doi.empty())
            citation.doi = doiIn(identifier);
        if (citation.key.empty() && isDownloadKey(identifier))
            citation.key = identifier;
    }
    if (citation.doi.empty())
        citation.doi = doiIn(eml.packageId);
    // The title GBIF gives a download: "GBIF Occurrence Download 0001234-240101120000000".
    constexpr std::string_view downloadTitle = "GBIF Occurrence Download";
    if (citation.key.empty() && eml.title.starts_with(downloadTitle)) {
        std::string_view rest = std::string_view(eml.title).substr(downloadTitle.size());
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        if (isDownloadKey(rest))
            citation.key = rest;
    }
    bool download = citation.doi.starts_with("10.15468/dl.") || !citation.key.empty();
    // "GBIF.org (12 May 2024) ...": the year in the parentheses.
    size_t open = citation.text.find('(');
    size_t close = citation.text.find(')', open == std::string::npos ? 0 : open);
    if (citation.year.empty() && open != std::string::npos && close != std::string::npos && close >= open + 5
        && isDigits(std::string_view(citation.text).substr(close - 4, 4)))
        citation.year = citation.text.substr(close - 4, 4);
    if (download && !citation.text.starts_with("GBIF.org")) {
        // GBIF asks for this citation of a download; a document that does not
        // carry it (or carries another, a constituent dataset's) gets it made
        // of the download's own date, DOI and key.
        std::string date = !eml.pubDate.empty() ? eml.pubDate : keyDate(citation.key);
        if (citation.year.empty() || !eml.pubDate.empty())
            citation.year = date.substr(0, std::min<size_t>(4, date.size()));
        citation.text = "GBIF.org " + (date.empty() ? std::string() : "(" + writtenDate(date) + ") ")
            + "GBIF Occurrence Download " + (citation.doi.empty() ? citation.key : "https://doi.org/" + citation.doi);
    }
    if (citation.text.empty() && !eml.title.empty()) {
        citation.text = eml.title;
        if (!eml.pubDate.empty())
            citation.text += " (" + eml.pubDate + ")";
        if (!citation.doi.empty())
            citation.text += " https://doi.org/" + citation.doi;
    }
    return citation;
}

// The date a GBIF download key was made, "2024-01-01" of
// "0001234-240101120000000" (yyMMddHHmmssSSS after the hyphen), or empty.
std::string DownloadCitation::keyDate(std::string_view key)
{
    size_t hyphen = key.find('-');
    std::string_view stamp = hyphen == std::string_view::npos ? "" : key.substr(hyphen + 1);
    if (stamp.size() < 6 || !isDigits(stamp.substr(0, 6)))
        return "";
    int month = (stamp[2] - '0') * 10 + (stamp[3] - '0');
    int day = (stamp[4] - '0') * 10 + (stamp[5] - '0');
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return "";
    return "20" + std::string(stamp.substr(0, 2)) + "-" + std::string(stamp.substr(2, 2)) + "-"
        + std::string(stamp.substr(4, 2));
}

// A date as GBIF's citations write it: "12 May 2024" of "2024-05-12"; the
// text as it is when it is no such date.
std::string DownloadCitation::writtenDate(std::string_view date)
{
    static constexpr std::array<const char*, 12> months = {"January", "February", "March", "April", "May", "June",
        "July", "August", "September", "October", "November", "December"};
    if (date.size() < 10 || !isDigits(date.substr(0, 4)) || date[4] != '-' || !isDigits(date.substr(5, 2))
        || date[7] != '-' || !isDigits(date.substr(8, 2)))
        return std::string(date);
    int month = (date[5] - '0') * 10 + (date[6] - '0');
    int day = (date[8] - '0') * 10 + (date[9] - '0');
    if (month < 1 || month > 12 || day < 1)
        return std::string(date);
    return std::to_string(day) + " " + months[static_cast<size_t>(month - 1)] + " " + std::string(date.substr(0, 4));
}

DownloadCitation DownloadCitation::fromDataFileName(std::string_view name)
{
    DownloadCitation citation;
    size_t slash = name.find_last_of('/');
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    std::string_view stem = name.substr(0, name.find('.'));
    if (isDownloadKey(stem)) {
        citation.key = stem;
        std::string date = keyDate(citation.key);
        citation.year = date.substr(0, 4);
        citation.text = "GBIF.org " + (date.empty() ? std::string() : "(" + writtenDate(date) + ") ")
            + "GBIF Occurrence Download " + citation.key;
    }
    return citation;
}

std::string DownloadCitation::literatureRow() const
{
    std::string code;
    if (std::string suffix = codeCharacters(doi.substr(doi.find_last_of('/') + 1)); !suffix.empty())
        code = "GBIF-" + suffix;
    else if (std::string digits = codeCharacters(key); !digits.empty())
        code = "GBIF" + digits;
    else
        code = "GBIF-download";
    code.resize(std::min(code.size(), literatureCodeBytes));

    // "GBIF.org (12 May 2024) GBIF Occurrence Download https://doi.org/..."
    // splits into its author, the date and the title.
    bool fromGbif = text.empty() || text.rfind("GBIF.org", 0) == 0;
    std::string author = fromGbif ? "GBIF.org" : "";
    std::string title = text;
    if (fromGbif) {
        size_t close = text.find(')');
        size_t start = close != std::string::npos && text.find('(') < close ? close + 1 : 8;
        title = text.substr(std::min(start, text.size()));
        while (!title.empty() && title.front() == ' ')
            title.erase(0, 1);
    }
    if (title.empty())
        title = "GBIF Occurrence Download";
    std::string row;
    CsvWriter::appendField(row, code, true);
    CsvWriter::appendField(row, author, false);
    CsvWriter::appendField(row, year, false);
    // The literature table keeps 255 bytes of a title.
    CsvWriter::appendField(row, cutCp932(utf8ToCp932(title), 255), false);
    return row;
}

} // namespace tavik
