#include "tagfile/tag_node.h"

namespace tavik {

const TagAttribute* TagNode::attribute(const std::string& attributeName) const
{
    for (const TagAttribute& attribute : attributes) {
        if (attribute.name == attributeName)
            return &attribute;
    }
    return nullptr;
}

std::string attributeText(std::string_view name, std::string_view value)
{
    const char quote = value.find('"') == std::string_view::npos ? '"' : '\'';
    std::string text(name);
    text += '=';
    text += quote;
    text += value;
    text += quote;
    return text;
}

} // namespace tavik
