#include "viewer/session/display_order.h"

#include <algorithm>
#include <utility>

namespace tavik {

DisplayOrder::DisplayOrder(std::vector<SpeciesRecord> species, NameMode mode)
    : species_(std::move(species))
    , mode_(mode)
{
}

std::vector<std::string> DisplayOrder::labels() const
{
    std::vector<std::string> labels;
    labels.reserve(species_.size());
    for (const SpeciesRecord& species : species_)
        labels.push_back(speciesName(species, mode_));
    return labels;
}

void DisplayOrder::select(int position) { selected_ = std::clamp(position, 0, std::max(0, count() - 1)); }

void DisplayOrder::move(int d)
{
    if (count() < 2)
        return;
    const int target = std::clamp(selected_ - d, 0, count() - 1);
    std::swap(species_[static_cast<size_t>(selected_)], species_[static_cast<size_t>(target)]);
    selected_ = target;
}

} // namespace tavik
