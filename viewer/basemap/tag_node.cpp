#include "viewer/basemap/tag_node.h"

namespace tavik {

const TagAttribute* TagNode::attribute(const std::string& attributeName) const
{
    for (const TagAttribute& attribute : attributes) {
        if (attribute.name == attributeName)
            return &attribute;
    }
    return nullptr;
}

} // namespace tavik
