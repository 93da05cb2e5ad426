#include "common/group_codes.h"

#include <map>
#include <set>
#include <string>
#include <utility>

namespace tavik {

GroupAssignment assignGroupCodes(
    std::span<SpeciesRecord> species, const std::vector<PhyleticRecord>& groups, size_t capacity)
{
    // Groups by their two names, the first one given winning, and the codes
    // in use: one pass over the groups instead of one per species.
    std::map<std::pair<std::string, std::string>, std::int64_t> byNames;
    std::set<std::int64_t> codes;
    for (const PhyleticRecord& group : groups) {
        byNames.emplace(std::make_pair(group.name, group.alias1), group.code);
        codes.insert(group.code);
    }
    GroupAssignment assignment;
    size_t count = groups.size();
    for (SpeciesRecord& one : species) {
        if (one.phyleticCode > 0 || (one.groupName.empty() && one.groupAlias1.empty()))
            continue;
        auto names = std::make_pair(one.groupName, one.groupAlias1);
        if (auto found = byNames.find(names); found != byNames.end()) {
            one.phyleticCode = found->second;
            continue;
        }
        if (count >= capacity) {
            assignment.full = true;
            break;
        }
        PhyleticRecord group;
        group.code = static_cast<std::int64_t>(count) + 1;
        if (codes.contains(group.code))
            group.code = *codes.rbegin() + 1;
        group.name = one.groupName;
        group.alias1 = one.groupAlias1;
        group.alias2 = one.groupAlias2;
        group.row = static_cast<int>(count);
        one.phyleticCode = group.code;
        byNames.emplace(std::move(names), group.code);
        codes.insert(group.code);
        assignment.created.push_back(std::move(group));
        ++count;
    }
    return assignment;
}

} // namespace tavik
