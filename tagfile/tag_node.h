#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// One attribute of a tag as written: name="value" or name='value'.
struct TagAttribute {
    std::string name; // at most 127 bytes of cp932
    std::string value; // cp932, without the quotes
};

// One tag or run of text of a configuration file. After the reader has paired
// start and end tags, a tree holds elements (start tags with their children),
// single tags and text nodes; end tags are consumed by the pairing. Nodes are
// values: copying a node copies its whole subtree.
struct TagNode {
    enum class Kind { Start, End, Single, Text };

    Kind kind = Kind::Text;
    std::string name; // tag name, at most 127 bytes; empty for text
    std::vector<TagAttribute> attributes;
    std::string text; // the text of a text node
    std::vector<TagNode> children;
    int line = 0; // line of the node's first character, from 1
    int column = 0; // byte offset of that character in its line, from 1
    int index = 0; // running number in file order

    bool isText() const { return kind == Kind::Text; }

    // The first attribute of that name, or null.
    const TagAttribute* attribute(const std::string& attributeName) const;
};

// An attribute as the configuration writers write it, name="value". A value
// that holds a double quote (read from single quotes) is written in single
// quotes, so that the file reads back as it was.
std::string attributeText(std::string_view name, std::string_view value);

} // namespace tavik
