#include "tools/dwcimport/download_citation.h"

#include "common/csv_writer.h"
#include "platform/cp932.h"

#include <pugixml.hpp>

#include <cctype>

namespace tavik {
namespace {

constexpr size_t literatureCodeBytes = 27;

std::string_view localName(const pugi::xml_node& node)
{
    std::string_view name = node.name();
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The first element of that local name in document order, anywhere below node.
pugi::xml_node findFirst(const pugi::xml_node& node, std::string_view name)
{
    for (pugi::xml_node c : node.children()) {
        if (c.type() != pugi::node_element)
            continue;
        if (localName(c) == name)
            return c;
        if (pugi::xml_node found = findFirst(c, name))
            return found;
    }
    return {};
}

// The element's text with runs of blanks made one space.
std::string plainText(const pugi::xml_node& node)
{
    std::string out;
    bool blank = false;
    for (char c : std::string_view(node.child_value())) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

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

DownloadCitation DownloadCitation::fromEml(std::string_view xml)
{
    DownloadCitation citation;
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size()))
        return citation;
    pugi::xml_node root = document.document_element();
    pugi::xml_node dataset = findFirst(root, "dataset");
    std::string title = plainText(findFirst(dataset, "title"));
    std::string date = plainText(findFirst(dataset, "pubDate"));
    if (date.size() >= 4 && isDigits(date.substr(0, 4)))
        citation.year = date.substr(0, 4);
    citation.text = plainText(findFirst(root, "citation"));

    citation.doi = doiIn(citation.text);
    for (pugi::xml_node c : dataset.children()) {
        if (localName(c) != "alternateIdentifier")
            continue;
        std::string identifier = plainText(c);
        if (citation.doi.empty())
            citation.doi = doiIn(identifier);
        if (citation.key.empty() && isDownloadKey(identifier))
            citation.key = identifier;
    }
    if (citation.doi.empty())
        citation.doi = doiIn(root.attribute("packageId").value());
    // "GBIF.org (12 May 2024) ...": the year in the parentheses.
    size_t open = citation.text.find('(');
    size_t close = citation.text.find(')', open == std::string::npos ? 0 : open);
    if (citation.year.empty() && open != std::string::npos && close != std::string::npos && close >= open + 5
        && isDigits(std::string_view(citation.text).substr(close - 4, 4)))
        citation.year = citation.text.substr(close - 4, 4);
    if (citation.text.empty() && !title.empty()) {
        citation.text = title;
        if (!date.empty())
            citation.text += " (" + date + ")";
        if (!citation.doi.empty())
            citation.text += " https://doi.org/" + citation.doi;
    }
    return citation;
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
        citation.text = "GBIF.org GBIF Occurrence Download " + citation.key;
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
    CsvWriter::appendField(row, utf8ToCp932(title), false);
    return row;
}

} // namespace tavik
