#pragma once

#include "tagfile/tag_node.h"
#include "tagfile/tag_reader.h"
#include "tagfile/tag_schema.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class MessageSink;

// What a configuration file gave: its tree, and whether it parsed and passed
// its schema.
struct TagFileContent {
    TagStatus status = TagStatus::Ok; // of the parse
    bool valid = false; // parsed, and no schema findings
    std::vector<TagNode> nodes; // top level; empty when the parse failed
    bool parsed() const { return status == TagStatus::Ok; }
};

// The titles a file type shows its findings under (cp932).
struct TagFileTitles {
    Cp932Text parseError; // when the file does not parse
    Cp932Text load; // when it parses but breaks its schema
};

// Reads a configuration file the way every configuration reader does: parse
// errors are shown in one message under the parse-error title and give no
// tree; schema findings are shown in one message under the load title, and
// the tree is returned all the same so that the reader builds what it can.
// Each message begins with the path and the title on its first line.
TagFileContent readTagFile(std::string_view path, const std::vector<TagName>& tagTable,
    const std::vector<ChildRule>& schema, const TagFileTitles& titles, MessageSink& sink);

// The lines a parse error record adds to a message: "line: L   column: C   token \n message\n".
Cp932Text tagErrorLines(const std::vector<TagError>& errors);

} // namespace tavik
