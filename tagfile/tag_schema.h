#pragma once

#include <string>
#include <vector>

namespace tavik {

struct TagRule;

// The type of an attribute value, as the schema check reads it.
enum class AttributeType {
    Integer = 1, // a whole number within minimum and maximum
    Real = 2, // a finite number within minimum and maximum
    String = 3,
    PositiveReal = 4, // a finite number above minimum (never equal to it) up to maximum
    Colour = 5, // "R,G,B": three whole numbers 0 to 255
};

// One attribute a tag may have. For numbers, minimum and maximum are decimal
// texts and an empty one is not checked. For strings, a non-empty minimum is
// the enumeration of allowed values, separated by line feeds ("true\nfalse").
struct AttributeRule {
    std::string name;
    AttributeType type = AttributeType::String;
    std::string minimum;
    std::string maximum;
    bool required = false;
};

// A tag that may appear among the children of a parent, and how often.
struct ChildRule {
    std::string name;
    int minimum = 0;
    int maximum = 1;
    const TagRule* rule = nullptr; // what the tag itself may hold; null: nothing
};

// What one tag may hold: its attributes and its children. Schemas that nest
// into themselves (a script's font element holds fonts) link rules by pointer,
// so the rules of a file type live together in one object.
struct TagRule {
    std::string name;
    std::vector<AttributeRule> attributes;
    std::vector<ChildRule> children;
};

} // namespace tavik
