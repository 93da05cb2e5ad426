#include "tools/norbek/page_composer.h"

#include "platform/cp932.h"
#include "platform/paths.h"
#include "tools/norbek/norbek_settings.h"
#include "tools/norbek/norbek_tables.h"

#include <algorithm>
#include <tuple>

namespace tavik {
namespace {

std::string withBlanksAs(std::string_view name, char replacement)
{
    std::string replaced(name);
    std::replace(replaced.begin(), replaced.end(), ' ', replacement);
    return replaced;
}

// "( author year )" or "author year", as the nomenclator is written.
std::string nomenclator(const SpeciesRecord& species)
{
    const char* format = species.parenthesis ? "( %s %s )" : "%s %s";
    return cp932Printf(format, species.author.c_str(), species.year.c_str());
}

// A text of the chosen form, or the standard one when that form is empty.
const std::string& textOrStandard(
    NameForm form, const std::string& standard, const std::string& alias1, const std::string& alias2)
{
    const std::string& chosen = form == NameForm::Alias1 ? alias1 : form == NameForm::Alias2 ? alias2 : standard;
    return chosen.empty() ? standard : chosen;
}

const std::string& authorOf(const LiteratureRow& literature, NameForm form)
{
    return form == NameForm::Alias1 ? literature.author1
        : form == NameForm::Alias2  ? literature.author2
                                    : literature.author;
}

} // namespace

std::string pageName(const SpeciesRecord& species, NamingMode naming)
{
    std::vector<const std::string*> names;
    switch (naming) {
    case NamingMode::Alias1:
        names = {&species.alias1, &species.scientificName};
        break;
    case NamingMode::Alias2:
        names = {&species.alias2, &species.scientificName};
        break;
    case NamingMode::Scientific:
        names = {&species.scientificName, &species.alias1, &species.alias2};
        break;
    default:
        break;
    }
    for (const std::string* name : names)
        if (!name->empty())
            return *name;
    return std::to_string(species.code);
}

std::vector<std::string> nameCandidates(const SpeciesRecord& species, NamingMode naming)
{
    std::string code = std::to_string(species.code);
    std::vector<const std::string*> names;
    switch (naming) {
    case NamingMode::Code:
        names = {&code, &species.scientificName, &species.alias1, &species.alias2};
        break;
    case NamingMode::Alias1:
        names = {&species.alias1, &species.scientificName, &species.alias2, &code};
        break;
    case NamingMode::Alias2:
        names = {&species.alias2, &species.scientificName, &species.alias1, &code};
        break;
    default:
        names = {&species.scientificName, &species.alias1, &species.alias2, &code};
        break;
    }
    std::vector<std::string> candidates;
    auto add = [&candidates](std::string name) {
        name = fileNamePart(name);
        if (std::find(candidates.begin(), candidates.end(), name) == candidates.end())
            candidates.push_back(std::move(name));
    };
    for (const std::string* name : names) {
        if (name->empty())
            continue;
        add(*name);
        if (name->find(' ') != std::string::npos) {
            add(withBlanksAs(*name, '_'));
            add(withBlanksAs(*name, '-'));
        }
    }
    return candidates;
}

std::string gridSquareHeading(std::string_view location)
{
    std::string digits;
    for (char c : location.substr(std::min<size_t>(2, location.size())))
        if (c >= '0' && c <= '9')
            digits += c;
    std::string heading = digits.substr(0, 4);
    size_t at = 4;
    if (digits.size() > at) {
        heading += "-" + digits.substr(at, 2);
        at += 2;
    }
    if (digits.size() > at) {
        heading += digits.substr(at, 2);
        at += 2;
    }
    for (int further = 0; further < 3 && at < digits.size(); ++further, ++at) {
        heading += '-';
        heading += digits[at];
    }
    return heading;
}

std::string pointHeading(std::string_view location)
{
    bool latitudeFirst = !location.empty() && (location[0] == 'N' || location[0] == 'S');
    size_t second = location.find_first_of(latitudeFirst ? "EW" : "NS", 1);
    std::string_view first = location.substr(0, second);
    std::string_view rest = second == std::string_view::npos ? std::string_view() : location.substr(second);
    // A comma between the two, as in N35.5,E139.5, belongs to neither.
    if (!first.empty() && first.back() == ',')
        first.remove_suffix(1);
    std::string_view latitude = latitudeFirst ? first : rest;
    std::string_view longitude = latitudeFirst ? rest : first;
    return std::string(latitude) + "  " + std::string(longitude);
}

PageComposer::PageComposer(const NorbekSettings& settings, const NorbekTables& tables)
    : settings_(settings)
    , tables_(tables)
{
}

bool PageComposer::authorLess(const LiteratureRow& a, const LiteratureRow& b) const
{
    return std::tie(authorOf(a, settings_.orderBy), a.year, a.code)
        < std::tie(authorOf(b, settings_.orderBy), b.year, b.code);
}

std::string PageComposer::literatureEntry(const LiteratureRow& literature) const
{
    std::string entry;
    auto part = [&entry](const char* separator, const std::string& text) {
        if (text.empty())
            return;
        if (!entry.empty())
            entry += separator;
        entry += text;
    };
    part("", authorOf(literature, settings_.literature));
    part(", ", literature.year);
    part(", ", textOrStandard(settings_.literature, literature.title, literature.title1, literature.title2));
    if (const NorbekBook* book = tables_.findBook(literature.bookCode))
        part(",", textOrStandard(settings_.book, book->title, book->title1, book->title2));
    for (const std::string& particular : literature.particulars)
        part(",", particular);
    return entry + "\n";
}

std::string PageComposer::areaHeading(const NorbekArea& area) const
{
    std::string heading = settings_.area == NameForm::Alias1 ? area.alias1
        : settings_.area == NameForm::Alias2                 ? area.alias2
                                                             : area.name;
    bool small = settings_.smallRegion && !area.smallRegion.empty();
    bool large = settings_.largeRegion && !area.largeRegion.empty();
    if ((settings_.smallRegion || settings_.largeRegion) && (!area.smallRegion.empty() || !area.largeRegion.empty())) {
        heading += "  (";
        if (small)
            heading += area.smallRegion;
        if (large)
            heading += ",  " + area.largeRegion;
        heading += ")";
    }
    if (settings_.geoDetic && !area.latitude.empty() && !area.longitude.empty())
        heading += " (" + area.latitude + " " + area.longitude + ")";
    return heading;
}

std::string PageComposer::listHeading(std::string_view heading, PageFileType type)
{
    if (type == PageFileType::Html)
        return "<DIV CLASS=\"areaname\">" + std::string(heading) + "</DIV>";
    return std::string(heading) + "\n";
}

const std::string* PageComposer::groupName(const SpeciesRecord& species, int form) const
{
    if (!settings_.phyletic || species.phyleticCode <= 0)
        return nullptr;
    const PhyleticRecord* group = tables_.findGroup(species.phyleticCode);
    if (!group)
        return nullptr;
    return form == 1 ? &group->alias1 : form == 2 ? &group->alias2 : &group->name;
}

std::string PageComposer::headerText(const SpeciesRecord& species) const
{
    std::string text;
    for (NameForm form : settings_.species) {
        int index = static_cast<int>(form);
        text += speciesName(species, form);
        if (form == NameForm::Standard)
            text += "  " + nomenclator(species);
        if (const std::string* group = groupName(species, index))
            text += "  " + *group;
        text += "\n";
    }
    return text;
}

std::string PageComposer::headerBlock(const SpeciesRecord& species) const
{
    std::string block;
    for (NameForm form : settings_.species) {
        const std::string* group = groupName(species, static_cast<int>(form));
        switch (form) {
        case NameForm::Standard:
            block += "<DIV  CLASS=\"scientific\"><SPAN CLASS=\"scientific\">" + species.scientificName
                + "</SPAN>  <SPAN CLASS=\"nomenclator\">" + nomenclator(species) + "</SPAN>";
            if (group)
                block += "   <SPAN CLASS=\"phyletic\">" + *group + "</SPAN>";
            block += "</DIV>";
            break;
        case NameForm::Alias1:
        case NameForm::Alias2: {
            const char* css = form == NameForm::Alias1 ? "alias1" : "alias2";
            block
                += std::string("<DIV  CLASS=\"") + css + "\"><SPAN CLASS=\"" + css + "\">" + speciesName(species, form);
            if (group)
                block += "   " + *group;
            block += "</SPAN></DIV>";
            break;
        }
        }
    }
    return block + "\n";
}

std::string PageComposer::headLines(std::string_view title) const
{
    std::string head = "<HTML>\n<HEAD>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html";
    if (!settings_.htmlCharSet.empty())
        head += "; CHARSET=" + settings_.htmlCharSet;
    head += "\">\n<LINK REL=\"stylesheet\" TYPE=\"text/css\" HREF=\"_text.css\">\n<TITLE>";
    head += title;
    head += "</TITLE>\n</HEAD>\n";
    return head;
}

std::string PageComposer::bodyLine() const
{
    return cp932Printf("<BODY TEXT=\"#000000\" BGCOLOR=\"#%02X%02X%02X\" LINK=\"#0000FF\" VLINK=\"#000077\" "
                       "ALINK=\"#FF0000\">\n",
        settings_.background[0], settings_.background[1], settings_.background[2]);
}

std::string PageComposer::pageStart(const SpeciesRecord& species, std::string_view name) const
{
    return headLines(name) + bodyLine() + "<PRE>\n" + headerBlock(species) + "</PRE>\n<BR>\n";
}

std::string PageComposer::imageItem(std::string_view path)
{
    return "<DIV CLASS=\"mapimage\">\n<IMG SRC=\"" + std::string(path) + "\">\n<BR CLEAR=ALL>\n</DIV>\n<BR>\n";
}

std::string PageComposer::objectItem(std::string_view type, std::string_view path)
{
    return "<DIV CLASS=\"objects\">\n<OBJECT TYPE=\"" + std::string(type) + "\" DATA=\"" + std::string(path)
        + "\">\n</OBJECT>\n</DIV>\n<BR>\n";
}

std::string PageComposer::pageEnd(const std::string* literature) const
{
    std::string end = "<BR>\n";
    if (literature)
        end += "<p>\n<DIV CLASS=\"litHeader\"><SPAN CLASS=\"litHeader\">" + settings_.litHeader
            + "</SPAN></DIV>\n<DIV CLASS=\"literature\"><PRE>" + *literature + "</PRE></DIV>\n</p>\n";
    return end + "</BODY>\n</HTML>\n";
}

std::string PageComposer::standardIndex(const std::vector<IndexEntry>& entries) const
{
    std::string index = headLines("index") + bodyLine() + "<DIV><PRE>\n";
    for (const IndexEntry& entry : entries) {
        const SpeciesRecord& species = *entry.species;
        index += "<LI><A HREF=\"" + entry.name + ".html\">";
        for (NameForm form : settings_.species) {
            const std::string* group = groupName(species, static_cast<int>(form));
            index += speciesName(species, form);
            if (form == NameForm::Standard) {
                index += "  " + nomenclator(species);
                if (group)
                    index += "  " + *group;
            } else if (group) {
                index += "   " + *group;
            }
            index += "<BR>";
        }
        index += "</A>\n";
    }
    return index + "</PRE></DIV>\n</BODY>\n</HTML>\n";
}

std::string PageComposer::styleSheet() const
{
    std::string font = settings_.fontFamily.empty() ? "" : " font-family: " + settings_.fontFamily + ";";
    const std::string plain = " font-size: 12.0pt; font-weight: normal; font-style: normal; font-variant: normal;";
    return "div.scientific { margin-left: 0em; }\n"
           "span.scientific { font-family: \"Century\"; font-size: 12.0pt; font-weight: normal; font-style: "
           "italic; font-variant: normal; color: #800000; }\n"
           "span.nomenclator { font-family: \"Century\", Times, serif; font-size: 11.0pt; font-weight: normal; "
           "font-style: normal; font-variant: small-caps; color: #800000; }\n"
           "span.phyletic { font-family: \"Century\";"
        + plain
        + " color: #800000; }\n"
          "div.alias1 { margin-left: 0em; }\n"
          "div.alias2 { margin-left: 0em; }\n"
          "span.alias1 {"
        + font + plain + " color: #800000; }\nspan.alias2 {" + font + plain
        + " color: #800000; }\n"
          "div.mapimage { margin-left: 2em; text-align: left; }\n"
          "div.objects { margin-left: 0em; text-align: left; }\n"
          "div.litHeader { margin-left: 0em; text-align: left; }\n"
          "span.litHeader {"
        + font
        + "font-size: 12.0pt; font-weight: normal; font-style: normal; font-variant: normal; color: #000000; }\n"
          "div.literature { margin-left: 1em; text-indent: 0em;"
        + font
        + " font-size: 10.0pt; font-weight: normal; font-style: normal; font-variant: normal; color: #004000; }\n"
          "div.areaname { margin-left: -1em; text-indent: 0em;"
        + font
        + " font-size: 10.0pt; font-weight: normal; font-style: normal; font-variant: normal; color: #800000; }\n";
}

std::string templateIndex(std::string_view templateText, const std::vector<std::string>& names)
{
    static constexpr std::string_view open = "<!--", mark = "@Norbek@", close = "-->";
    std::string index;
    while (!templateText.empty()) {
        size_t newline = templateText.find('\n');
        std::string_view line = templateText.substr(0, newline);
        templateText.remove_prefix(newline == std::string_view::npos ? templateText.size() : newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        size_t opening = line.find(open);
        size_t marked = opening == std::string_view::npos ? opening : line.find(mark, opening + open.size());
        size_t closing = marked == std::string_view::npos ? marked : line.find(close, marked + mark.size());
        if (closing == std::string_view::npos) {
            index.append(line).append("\n");
            continue;
        }
        std::string_view before = line.substr(0, opening);
        std::string_view inside = line.substr(opening + open.size(), closing - opening - open.size());
        for (const std::string& name : names) {
            index.append(before);
            for (std::string_view rest = inside;;) {
                size_t at = rest.find(mark);
                index.append(rest.substr(0, at));
                if (at == std::string_view::npos)
                    break;
                index.append(name);
                rest.remove_prefix(at + mark.size());
            }
            index.append("\n");
        }
    }
    return index;
}

} // namespace tavik
