#pragma once

#include "platform/cp932_text.h"
#include "tagfile/tag_node.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// Result codes of a parse. 0 is success; every other value is a fault, shown
// to the user with the text of tagStatusMessage().
enum class TagStatus {
    Ok = 0,
    EndOfInput = -999, // end of the input; never recorded
    Internal = -998, // the file could not be read to its end; never recorded
    CannotOpen = -997, // the file cannot be opened; never recorded
    DoubledSlash = -996, // "//"
    DoubledEquals = -995, // "=="
    MissingTagName = -994, // "<" followed by a quote or "="
    UnknownTagName = -993, // a name that is not in the tag table
    UpperCaseTagName = -992, // a name whose lower-case form is in the tag table
    StraySlash = -991, // a "/" that belongs to nothing
    StrayComma = -990, // a bare ","
    BadAttribute = -989, // a quoted value without name, or two words in a row
    MissingAttributeName = -988,
    MissingEquals = -985,
    MissingValue = -984,
    UnquotedValue = -982,
    UnterminatedQuote = -981, // a quoted value left open at the end of its line
    StrayCloseBracket = -980, // ">" outside a tag
    UnclosedTag = -979, // a tag not closed by ">" before the next "<" or the end of input
    StrayWord = -978,
    MalformedTag = -977, // a tag that fits no form, for no reason found above
    NoStartTag = -976,
    NoEndTag = -975,
    NotSingleTag = -974, // a paired name written as a single tag
    NotStartTag = -973, // a single name written as a start tag
    NotEndTag = -972, // a single name written as an end tag
    TooLarge = -971, // a line, word, text run, tag or nesting beyond the reader's limits
    EndTagOutside = -969, // an end tag beyond the end of the enclosing element
    OutOfMemory = -968,
};

// The message of a code, cp932.
Cp932Text tagStatusMessage(TagStatus status);

// How a tag name may be written.
enum class TagKind {
    Paired, // as a start tag and an end tag around an element
    Single, // only as a single tag ending in "/>"
};

struct TagName {
    std::string name;
    TagKind kind;
};

// One syntax error of a parse.
struct TagError {
    TagStatus status;
    std::string text; // the offending token, or the line up to where the error was found (at most 126 bytes)
    int line = 0; // from 1
    int column = 0; // byte offset in the line, from 1
};

// Reads the XML-like tag syntax of every configuration file into a tree of
// TagNode, with line and column of every node and error. Parsing never stops
// at the first error: after most errors the rest of the line is skipped and
// reading goes on, so that one parse reports up to ten errors.
class TagReader {
public:
    static constexpr int MaxErrors = 10;
    static constexpr std::size_t LineLimit = 65535; // bytes of one line
    static constexpr std::size_t TextLimit = 1023; // bytes of one run of text
    static constexpr std::size_t TokenLimit = 256; // bytes of one word inside a tag
    static constexpr std::size_t TokensPerTag = 128;
    static constexpr std::size_t NameLimit = 127; // bytes of a tag or attribute name
    static constexpr std::size_t ErrorTextLimit = 126;
    static constexpr int DepthLimit = 256; // levels of nested elements
    static constexpr long long kMaxFileBytes = 32LL << 20; // bytes of a configuration file

    void setTagTable(std::vector<TagName> table) { table_ = std::move(table); }

    // Parses the file at a cp932 path. Returns Ok or the code of the last
    // recorded error; CannotOpen when the path cannot be opened as a regular
    // file (a folder or a device); TooLarge, recorded, for a file over
    // kMaxFileBytes.
    TagStatus parseFile(std::string_view path);

    // Parses lines of text as an edit control holds them; a line end at the
    // end of a line is cut off.
    TagStatus parseLines(const std::vector<std::string>& lines);

    // The top-level nodes of the last parse, in file order.
    const std::vector<TagNode>& nodes() const { return nodes_; }
    std::vector<TagNode> takeNodes() { return std::move(nodes_); }

    // The first top-level node, or null when the input held none.
    const TagNode* root() const { return nodes_.empty() ? nullptr : &nodes_.front(); }

    // The recorded errors of the last parse, at most MaxErrors.
    const std::vector<TagError>& errors() const { return errors_; }

private:
    class Lexer;
    class Pairing;

    void reset();
    TagStatus parseStream(std::FILE* stream);
    void record(TagStatus status, std::string_view text, int line, int column);
    TagStatus finish(std::vector<TagNode>&& flat);
    TagStatus nameStatus(const TagNode& node) const;

    std::vector<TagName> table_;
    std::vector<TagNode> nodes_;
    std::vector<TagError> errors_;
    TagStatus lastRecorded_ = TagStatus::Ok;
};

} // namespace tavik
