#pragma once

#include <string>
#include <vector>

namespace tavik {

struct TagSpec;

// The type of an attribute value, as the schema check reads it.
enum class AttrType { Integer = 1, Real = 2, String = 3 };

// One attribute a tag may have. For numbers, minimum and maximum are decimal
// texts and an empty one is not checked. For strings, a non-empty minimum is
// the enumeration of allowed values, separated by line feeds ("true\nfalse").
struct AttrSpec {
    std::string name;
    AttrType type = AttrType::String;
    std::string minimum;
    std::string maximum;
    bool required = false;
};

// A tag that may appear among the children of a parent, and how often.
struct ChildSpec {
    std::string name;
    int minimum = 0;
    int maximum = 1;
    const TagSpec* spec = nullptr; // what the tag itself may hold; null: nothing
};

// What one tag may hold: its attributes and its children. Schemas that nest
// into themselves (a script's font element holds fonts) link specs by pointer,
// so the specs of a file type live together in one object.
struct TagSpec {
    std::string name;
    std::vector<AttrSpec> attributes;
    std::vector<ChildSpec> children;
};

} // namespace tavik
