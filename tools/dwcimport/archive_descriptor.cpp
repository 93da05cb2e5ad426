#include "tools/dwcimport/archive_descriptor.h"

#include <pugixml.hpp>

#include <cctype>
#include <charconv>

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
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool readIndex(std::string_view text, long& index)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    return error == std::errc() && end == text.data() + text.size() && index >= 0;
}

} // namespace

bool ArchiveDescriptor::parse(std::string_view xml, ArchiveDescriptor& descriptor, std::string& error)
{
    pugi::xml_document document;
    pugi::xml_parse_result parsed
        = document.load_buffer(xml.data(), xml.size(), pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol);
    if (!parsed) {
        error = "not well-formed XML at byte " + std::to_string(parsed.offset) + ": " + parsed.description();
        return false;
    }
    pugi::xml_node archive = document.document_element();
    if (localName(archive) != "archive") {
        error = "the root element is <" + std::string(archive.name()) + ">, not <archive>";
        return false;
    }
    descriptor = {};
    descriptor.metadataLocation = archive.attribute("metadata").value();
    pugi::xml_node core = child(archive, "core");
    if (!core) {
        error = "no <core> element";
        return false;
    }
    std::string rowType = core.attribute("rowType").value();
    std::string_view rowName = rowType;
    rowName.remove_prefix(std::min(rowName.size(), rowName.find_last_of("/#") + 1));
    if (lower(rowName) != "occurrence") {
        error = "the core holds " + (rowType.empty() ? std::string("no rowType") : rowType)
            + ", not occurrences (http://rs.tdwg.org/dwc/terms/Occurrence)";
        return false;
    }
    std::string encoding = lower(core.attribute("encoding").value());
    if (!encoding.empty() && encoding != "utf-8" && encoding != "utf8") {
        error = std::string("the core file is in ") + core.attribute("encoding").value()
            + "; dwcimport reads UTF-8 (convert the file with iconv first)";
        return false;
    }

    // An attribute left out takes the Darwin Core text defaults: comma,
    // line feed, double quote. One given empty (fieldsEnclosedBy="") is empty.
    auto layoutAttribute = [&core](const char* name, const char* fallback) {
        pugi::xml_attribute attribute = core.attribute(name);
        return unescape(attribute ? attribute.value() : fallback);
    };
    std::string fields = layoutAttribute("fieldsTerminatedBy", ",");
    std::string lines = layoutAttribute("linesTerminatedBy", "\\n");
    std::string enclosure = layoutAttribute("fieldsEnclosedBy", "\"");
    if (fields.size() != 1 || enclosure.size() > 1 || (lines != "\n" && lines != "\r\n" && lines != "\r")) {
        error = "fieldsTerminatedBy must be one character, fieldsEnclosedBy at most one, and linesTerminatedBy "
                "a line feed, a carriage return or both";
        return false;
    }
    descriptor.layout.delimiter = fields[0];
    descriptor.layout.quote = enclosure.empty() ? '\0' : enclosure[0];
    descriptor.layout.lineEnd = lines == "\r" ? '\r' : '\n';
    descriptor.headerLines = core.attribute("ignoreHeaderLines").as_int(0);
    if (descriptor.headerLines < 0)
        descriptor.headerLines = 0;

    pugi::xml_node location = child(child(core, "files"), "location");
    descriptor.coreLocation = location.text().get();
    if (descriptor.coreLocation.empty()) {
        error = "the core names no file (<files><location>)";
        return false;
    }
    for (pugi::xml_node field : core.children()) {
        if (field.type() != pugi::node_element || localName(field) != "field")
            continue;
        std::optional<OccurrenceTerm> term = occurrenceTermOf(field.attribute("term").value());
        if (!term)
            continue;
        if (pugi::xml_attribute index = field.attribute("index")) {
            long column = 0;
            if (!readIndex(index.value(), column)) {
                error = std::string("the field ") + field.attribute("term").value() + " has the index \""
                    + index.value() + "\", not a column number";
                return false;
            }
            descriptor.columns.setColumn(*term, static_cast<size_t>(column));
        }
        if (pugi::xml_attribute value = field.attribute("default"))
            descriptor.columns.setDefault(*term, value.value());
    }
    return true;
}

} // namespace tavik
