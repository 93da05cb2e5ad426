#include "tools/dwcimport/eml_scanner.h"

#include "platform/utf8_text.h"

#include <cctype>
#include <cstdlib>

namespace tavik {
namespace {

constexpr size_t maxTextBytes = 4096;
constexpr size_t maxMarkupBytes = size_t{1} << 20;
constexpr size_t maxDepth = 64;

std::string_view localName(std::string_view name)
{
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string unescaped(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - i > 10) {
            out += text[i];
            continue;
        }
        std::string_view entity = text.substr(i + 1, semicolon - i - 1);
        unsigned long code = 0;
        if (entity == "lt")
            code = '<';
        else if (entity == "gt")
            code = '>';
        else if (entity == "amp")
            code = '&';
        else if (entity == "quot")
            code = '"';
        else if (entity == "apos")
            code = '\'';
        else if (entity.size() > 1 && entity[0] == '#')
            code = entity[1] == 'x' || entity[1] == 'X'
                ? std::strtoul(std::string(entity.substr(2)).c_str(), nullptr, 16)
                : std::strtoul(std::string(entity.substr(1)).c_str(), nullptr, 10);
        if (code == 0 || code > 0x10FFFF) {
            out += text[i];
            continue;
        }
        appendUtf8(out, static_cast<std::uint32_t>(code));
        i = semicolon;
    }
    return out;
}

// The value of an attribute in a start tag, entities replaced.
std::string attribute(std::string_view tag, std::string_view name)
{
    for (size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
        char before = tag[at - 1];
        if (before != ' ' && before != '\t' && before != '\n' && before != '\r')
            continue;
        size_t equals = tag.find_first_not_of(" \t\r\n", at + name.size());
        if (equals == std::string_view::npos || tag[equals] != '=')
            continue;
        size_t open = tag.find_first_not_of(" \t\r\n", equals + 1);
        if (open == std::string_view::npos || (tag[open] != '"' && tag[open] != '\''))
            continue;
        size_t close = tag.find(tag[open], open + 1);
        if (close == std::string_view::npos)
            return "";
        return unescaped(tag.substr(open + 1, close - open - 1));
    }
    return "";
}

// The text with runs of blanks and control characters made one space.
std::string plainText(std::string_view text)
{
    std::string out;
    bool blank = false;
    for (char c : text) {
        // Control characters too: a citation is shown and written into a table.
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) {
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

} // namespace

void EmlScanner::feed(std::string_view bytes)
{
    pending_.append(bytes);
    size_t at = 0;
    while (at < pending_.size() && !done()) {
        if (pending_[at] != '<') {
            size_t open = pending_.find('<', at);
            if (open == std::string::npos) {
                // An entity cut by the end of the bytes waits for the rest.
                size_t amp = pending_.rfind('&');
                bool cut = amp != std::string::npos && amp >= at && pending_.find(';', amp) == std::string::npos
                    && pending_.size() - amp < 12;
                open = cut ? amp : pending_.size();
                text(std::string_view(pending_).substr(at, open - at));
                at = open;
                break;
            }
            text(std::string_view(pending_).substr(at, open - at));
            at = open;
            continue;
        }
        size_t end = markupEnd(at);
        if (end == std::string::npos) {
            // Markup longer than any real tag: no document worth reading.
            if (pending_.size() - at > maxMarkupBytes)
                failed_ = true;
            break;
        }
        markup(std::string_view(pending_).substr(at, end - at));
        at = end;
    }
    pending_.erase(0, at);
}

// Where the markup that starts at `at` ends (one past its '>'), or npos
// when the bytes so far do not hold its end.
size_t EmlScanner::markupEnd(size_t at) const
{
    std::string_view rest = std::string_view(pending_).substr(at);
    auto after = [&](std::string_view close, size_t from) {
        size_t found = rest.find(close, from);
        return found == std::string_view::npos ? std::string::npos : at + found + close.size();
    };
    if (rest.starts_with("<!--"))
        return after("-->", 4);
    if (rest.starts_with("<![CDATA["))
        return after("]]>", 9);
    if (rest.starts_with("<?"))
        return after("?>", 2);
    if (rest.size() < 9)
        return std::string::npos; // "<!--" or "<![CDATA[" may yet come
    if (rest.starts_with("<!")) {
        size_t subset = rest.find('[');
        size_t close = rest.find('>');
        return subset != std::string_view::npos && subset < close ? after("]>", subset) : after(">", 2);
    }
    char quote = 0;
    for (size_t i = 1; i < rest.size(); ++i) {
        if (quote) {
            if (rest[i] == quote)
                quote = 0;
        } else if (rest[i] == '"' || rest[i] == '\'') {
            quote = rest[i];
        } else if (rest[i] == '>') {
            return at + i + 1;
        }
    }
    return std::string::npos;
}

void EmlScanner::text(std::string_view bytes)
{
    if (capture_ == Capture::None)
        return;
    if (latin1_) {
        std::string converted;
        for (char c : bytes)
            appendUtf8(converted, static_cast<unsigned char>(c));
        captured_ += unescaped(converted);
    } else {
        captured_ += unescaped(bytes);
    }
    if (captured_.size() > maxTextBytes)
        captured_.resize(maxTextBytes);
}

void EmlScanner::markup(std::string_view tag)
{
    if (tag.starts_with("<![CDATA[")) {
        if (capture_ != Capture::None)
            captured_ += tag.substr(9, tag.size() - 12);
        return;
    }
    if (tag.starts_with("<?xml")) {
        std::string encoding = attribute(tag, "encoding");
        for (char& c : encoding)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        latin1_ = encoding == "iso-8859-1" || encoding == "latin1" || encoding == "windows-1252";
        return;
    }
    if (tag.starts_with("<!") || tag.starts_with("<?"))
        return;
    if (tag.starts_with("</")) {
        if (depth_ > 0)
            --depth_;
        if (path_.size() > depth_)
            path_.resize(depth_);
        if (capture_ != Capture::None && depth_ < captureDepth_)
            endCapture();
        return;
    }
    size_t nameEnd = tag.find_first_of(" \t\r\n/>", 1);
    std::string_view name = localName(tag.substr(1, nameEnd - 1));
    bool empty = tag.size() >= 2 && tag[tag.size() - 2] == '/';
    if (depth_ == 0 && !rootSeen_) {
        rootSeen_ = true;
        packageId = attribute(tag, "packageId");
    }
    std::string_view parent = path_.empty() ? "" : std::string_view(path_.back());
    std::string_view grandparent = path_.size() < 2 ? "" : std::string_view(path_[path_.size() - 2]);
    if (capture_ == Capture::None && !empty) {
        bool inDataset = parent == "dataset" && path_.size() == 2;
        if (inDataset && name == "title" && title.empty())
            startCapture(Capture::Title);
        else if (inDataset && name == "pubDate" && pubDate.empty())
            startCapture(Capture::PubDate);
        else if (inDataset && name == "alternateIdentifier" && identifiers.size() < 16)
            startCapture(Capture::Identifier);
        else if (name == "citation" && parent != "bibliography" && grandparent != "bibliography"
            && (parent == "gbif" || citation.empty())) {
            startCapture(Capture::Citation);
            captureIsGbif_ = parent == "gbif";
            pendingIdentifier_ = attribute(tag, "identifier");
        }
    }
    if (empty)
        return;
    ++depth_;
    if (path_.size() < maxDepth)
        path_.emplace_back(name);
}

void EmlScanner::startCapture(Capture capture)
{
    capture_ = capture;
    captureDepth_ = depth_ + 1;
    captured_.clear();
}

void EmlScanner::endCapture()
{
    std::string value = plainText(captured_);
    switch (capture_) {
    case Capture::Title:
        title = value;
        break;
    case Capture::PubDate:
        pubDate = value;
        break;
    case Capture::Identifier:
        identifiers.push_back(value);
        break;
    case Capture::Citation:
        if (!value.empty()) {
            citation = value;
            citationIdentifier = pendingIdentifier_;
            gbifCitation = captureIsGbif_;
        }
        break;
    case Capture::None:
        break;
    }
    capture_ = Capture::None;
}

} // namespace tavik
