#pragma once

#include "common/phyletic_record.h"
#include "common/species_record.h"

#include <span>
#include <vector>

namespace tavik {

// The groups made for species that name a group the phyletic table lacks.
struct GroupAssignment {
    std::vector<PhyleticRecord> created; // in the order made, each with its row
    bool full = false; // a species needed a group beyond the capacity
};

// Gives each species whose group code is 0 or less, and which names a group
// (its group name or the group's alias 1), the code of the group with the
// same two names: the first such group in `groups`, or a group made for it
// from the species' group names. A new group's code is the number of groups
// once it is added; when a group already holds that code, one above the
// largest code, so that no two groups share a code. Species are taken in the
// order given (the viewer: file order; norbek: code order). Stops, with
// `full` set, at a species that needs a group beyond `capacity` groups; the
// species before it keep their codes.
GroupAssignment assignGroupCodes(
    std::span<SpeciesRecord> species, const std::vector<PhyleticRecord>& groups, size_t capacity);

} // namespace tavik
