#pragma once

#include "platform/cp932_text.h"
#include "tagfile/tag_node.h"
#include "tagfile/tag_schema.h"

#include <string>
#include <vector>

namespace tavik {

// Checks a tree of tags against the schema of its file type and writes one
// line per finding, each with the line and column of the tag concerned. The
// count of findings is shared by the whole check: after more than MaxFindings
// the check stops at once.
class SchemaValidator {
public:
    static constexpr int MaxFindings = 10;

    // Checks sibling nodes against a schema list (the top level of a file has
    // one entry, its root tag) and appends the findings to messages.
    // True when nothing was found in this call.
    bool validate(const std::vector<TagNode>& nodes, const std::vector<ChildRule>& schema, Cp932Text& messages);

    // Findings so far in all calls on this validator.
    int findings() const { return findings_; }
    bool stopped() const { return findings_ > MaxFindings; }

private:
    void check(const std::vector<TagNode>& nodes, const std::vector<ChildRule>& schema);
    bool checkAttributes(const TagNode& node, const TagRule& rule);
    void checkValue(const TagNode& node, const TagAttribute& attribute, const AttributeRule& rule);
    void report(const Cp932Text& line);

    Cp932Text* messages_ = nullptr;
    int findings_ = 0;
};

} // namespace tavik
