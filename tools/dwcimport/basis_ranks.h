#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tavik {

// The reliability rank a record gets from its basisOfRecord. By default a
// preserved specimen is A, a human or machine observation B, anything else
// (living specimens, material samples and citations, fossils, occurrences of
// no stated basis) C. The mapping is written as a list of BASIS:LETTER
// entries separated by commas, "*" standing for every basis not listed:
// "PreservedSpecimen:A,HumanObservation:C,*:Z". Bases match whether written
// as Darwin Core writes them (PreservedSpecimen) or as GBIF's downloads do
// (PRESERVED_SPECIMEN).
class BasisRanks {
public:
    BasisRanks();

    // Changes the mapping by a list of entries (UTF-8); the ones it does not
    // name stay. False with the entry at fault in `error` (UTF-8) when an
    // entry is not BASIS:LETTER with a capital letter A to Z.
    bool apply(std::string_view list, std::string& error);

    // The rank letter of a basisOfRecord value.
    char rankOf(std::string_view basisOfRecord) const;

    // The mapping as a list apply() reads, in a fixed order.
    std::string text() const;

private:
    std::map<std::string, char> ranks_; // key of a basis → letter
    char otherwise_ = 'C';
};

} // namespace tavik
