#include "tools/dwcimport/archive_descriptor.h"

#include "platform/ascii_case.h"
#include "platform/report_text.h"

#include <pugixml.hpp>

#include <charconv>
#include <map>
#include <set>

namespace tavik {
namespace {

// The local name of an element ("core" of "dwca:core").
std::string_view localName(const pugi::xml_node& node)
{
    std::string_view name = node.name();
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child(const pugi::xml_node& node, std::string_view name)
{
    for (pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element && localName(c) == name)
            return c;
    return {};
}

// A delimiter attribute as descriptors write them: "\t", "\n", "\r\n" as
// backslash escapes or as the characters themselves.
std::string unescape(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char next = text[++i];
            out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string lower(std::string_view text)
{
    std::string out;
    for (char c : text)
        out += asciiLower(c);
    return out;
}

// The name of a term after its namespace: "decimalLatitude" of
// "http://rs.tdwg.org/dwc/terms/decimalLatitude" or "dwc:decimalLatitude".
std::string_view termLocalName(std::string_view term)
{
    while (!term.empty() && (term.back() == ' ' || term.back() == '\r'))
        term.remove_suffix(1);
    while (!term.empty() && term.front() == ' ')
        term.remove_prefix(1);
    size_t cut = term.find_last_of("/#:");
    return cut == std::string_view::npos ? term : term.substr(cut + 1);
}

bool readIndex(std::string_view text, size_t& index)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    return error == std::errc() && end == text.data() + text.size() && index < (size_t{1} << 20);
}

std::string quoted(std::string_view text) { return "\"" + quotedForReportUtf8(text) + "\""; }

bool readFile(const pugi::xml_node& node, ArchiveFile& file, std::string& error)
{
    file = {};
    std::string rowType = node.attribute("rowType").value();
    std::string_view rowName = rowType;
    rowName.remove_prefix(std::min(rowName.size(), rowName.find_last_of("/#") + 1));
    file.rowType = lower(rowName);
    file.encoding = node.attribute("encoding").value();

    // An attribute left out takes the Darwin Core text defaults: comma,
    // line feed, double quote. One given empty (fieldsEnclosedBy="") is empty.
    auto layoutAttribute = [&node](const char* name, const char* fallback) {
        pugi::xml_attribute attribute = node.attribute(name);
        return unescape(attribute ? attribute.value() : fallback);
    };
    std::string fields = layoutAttribute("fieldsTerminatedBy", ",");
    std::string lines = layoutAttribute("linesTerminatedBy", "\\n");
    std::string enclosure = layoutAttribute("fieldsEnclosedBy", "\"");
    if (fields.size() != 1 || enclosure.size() > 1 || (lines != "\n" && lines != "\r\n" && lines != "\r")) {
        error = "fieldsTerminatedBy は 1 文字、fieldsEnclosedBy は 1 文字以下、linesTerminatedBy は改行 (\\n, "
                "\\r\\n, \\r) でなければなりません.";
        return false;
    }
    file.layout.delimiter = fields[0];
    file.layout.quote = enclosure.empty() ? '\0' : enclosure[0];
    file.layout.lineEnd = lines == "\r" ? '\r' : '\n';
    file.headerLines = std::max(0, node.attribute("ignoreHeaderLines").as_int(0));

    file.location = child(child(node, "files"), "location").text().get();
    if (file.location.empty()) {
        error = "<" + std::string(rowName) + "> の <files><location> にファイル名がありません.";
        return false;
    }
    if (!isLocationInside(file.location)) {
        error = "<location> の " + quoted(file.location) + " はアーカイブの外を指しています: 読みません.";
        return false;
    }

    std::map<size_t, std::string> byColumn;
    std::set<std::string> terms;
    for (pugi::xml_node field : node.children()) {
        if (field.type() != pugi::node_element)
            continue;
        std::string_view element = localName(field);
        std::string indexText = field.attribute("index").value();
        size_t column = 0;
        bool hasIndex = field.attribute("index") != nullptr;
        if (hasIndex && !readIndex(indexText, column)) {
            error = std::string(element) + " " + quoted(field.attribute("term").value()) + " の index "
                + quoted(indexText) + " は列の番号ではありません.";
            return false;
        }
        if (element == "id" || element == "coreid") {
            if (hasIndex) {
                file.keyColumn = column;
                file.columnCount = std::max(file.columnCount, column + 1);
            }
            continue;
        }
        if (element != "field")
            continue;
        std::string term = field.attribute("term").value();
        std::string_view name = termLocalName(term);
        if (!terms.insert(term).second) {
            error = "項目 " + quoted(term) + " が二度記述されています: どちらの列を読むか決められません.";
            return false;
        }
        std::optional<OccurrenceTerm> read = occurrenceTermOf(term);
        if (read && file.columns.has(*read)) {
            error = "項目 " + std::string(occurrenceTermName(*read)) + " が二度記述されています (" + quoted(term)
                + "): どちらの列を読むか決められません.";
            return false;
        }
        if (hasIndex) {
            if (auto [at, added] = byColumn.emplace(column, term); !added) {
                error = "列 " + std::to_string(column) + " に二つの項目 (" + quoted(at->second) + " と " + quoted(term)
                    + ") が割り当てられています.";
                return false;
            }
            file.columnCount = std::max(file.columnCount, column + 1);
            file.namedColumns.emplace_back(column, std::string(name));
            if (read)
                file.columns.setColumn(*read, column);
        }
        if (pugi::xml_attribute value = field.attribute("default"); value && read)
            file.columns.setDefault(*read, value.value());
    }
    return true;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) { return equalsIgnoringAsciiCase(a, b); }

} // namespace

bool isLocationInside(std::string_view location)
{
    if (location.empty() || location.front() == '/' || location.front() == '\\'
        || (location.size() >= 2 && location[1] == ':'))
        return false;
    for (size_t start = 0; start <= location.size();) {
        size_t stop = std::min(location.find_first_of("/\\", start), location.size());
        if (location.substr(start, stop - start) == "..")
            return false;
        start = stop + 1;
    }
    return true;
}

bool ArchiveFile::checkHeader(const std::vector<std::string_view>& header, std::string& error) const
{
    for (const auto& [column, name] : namedColumns) {
        if (column >= header.size()) {
            error = "meta.xml の項目 " + name + " の列 " + std::to_string(column) + " (0 から数えて) が " + location
                + " にありません: 見出しの列は " + std::to_string(header.size())
                + " 個です. meta.xml の index が違っています.";
            return false;
        }
        std::string_view heading = termLocalName(header[column]);
        if (equalsIgnoringCase(heading, name))
            continue;
        for (const auto& [otherColumn, otherName] : namedColumns) {
            if (otherColumn != column && equalsIgnoringCase(heading, otherName)) {
                error = "meta.xml では列 " + std::to_string(column) + " (0 から数えて) が " + name + " ですが、"
                    + location + " の見出しでは " + quotedForReportUtf8(header[column])
                    + " です. meta.xml の index が違っています.";
                return false;
            }
        }
    }
    return true;
}

bool ArchiveFile::checkFirstRecord(const std::vector<std::string_view>& fields, std::string& error) const
{
    if (fields.size() >= columnCount)
        return true;
    for (const auto& [column, name] : namedColumns) {
        if (column >= fields.size()) {
            error = "meta.xml の項目 " + name + " の列 " + std::to_string(column) + " (0 から数えて) が " + location
                + " の最初の記録にありません: 列は " + std::to_string(fields.size())
                + " 個です. meta.xml の index が違っています.";
            return false;
        }
    }
    error = "meta.xml の id の列 " + std::to_string(columnCount - 1) + " が " + location + " の最初の記録にありません.";
    return false;
}

bool ArchiveDescriptor::parse(std::string_view xml, ArchiveDescriptor& descriptor, std::string& error)
{
    pugi::xml_document document;
    pugi::xml_parse_result parsed
        = document.load_buffer(xml.data(), xml.size(), pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol);
    if (!parsed) {
        error = "XML として読めません (" + std::to_string(parsed.offset) + " バイト目: " + parsed.description() + ").";
        return false;
    }
    pugi::xml_node archive = document.document_element();
    if (localName(archive) != "archive") {
        error = "最上位の要素が <archive> でなく <" + quotedForReportUtf8(archive.name()) + "> です.";
        return false;
    }
    descriptor = {};
    descriptor.metadataLocation = archive.attribute("metadata").value();
    if (!descriptor.metadataLocation.empty() && !isLocationInside(descriptor.metadataLocation)) {
        error = "metadata の " + quoted(descriptor.metadataLocation) + " はアーカイブの外を指しています: 読みません.";
        return false;
    }
    pugi::xml_node core = child(archive, "core");
    if (!core) {
        error = "<core> 要素がありません.";
        return false;
    }
    if (!readFile(core, descriptor.core, error))
        return false;
    const std::string& coreType = descriptor.core.rowType;
    if (coreType == "occurrence")
        return true;
    if (coreType != "event") {
        std::string rowType = core.attribute("rowType").value();
        error = "コアが出現記録 (http://rs.tdwg.org/dwc/terms/Occurrence) でなく "
            + (rowType.empty() ? std::string("rowType のないもの") : quotedForReportUtf8(rowType))
            + " です: 出現記録のアーカイブではありません.";
        return false;
    }
    // A sampling-event dataset: the occurrences are an extension, each naming
    // its event by the core's id.
    for (pugi::xml_node extension : archive.children()) {
        if (extension.type() != pugi::node_element || localName(extension) != "extension")
            continue;
        ArchiveFile file;
        if (!readFile(extension, file, error))
            return false;
        if (file.rowType != "occurrence")
            continue;
        if (descriptor.occurrenceExtension) {
            error = "出現記録 (Occurrence) の拡張が二つあります: どちらを読むか決められません.";
            return false;
        }
        descriptor.occurrenceExtension = std::move(file);
    }
    if (!descriptor.occurrenceExtension) {
        error = "イベント (Event) のコアに出現記録 (Occurrence) の拡張がありません: 読む記録がありません.";
        return false;
    }
    if (!descriptor.core.keyColumn || !descriptor.occurrenceExtension->keyColumn) {
        error = "イベントのコアの <id index> か出現記録の拡張の <coreid index> がありません: 記録をイベントに結び付けら"
                "れません.";
        return false;
    }
    return true;
}

} // namespace tavik
