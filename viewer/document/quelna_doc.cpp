#include "viewer/document/quelna_doc.h"

#include "viewer/settings/phyletic_table.h"

#include <algorithm>

namespace tavik {
namespace {

// Groups that force a page break when they differ: by name or by group
// alias 1, byte for byte.
bool sameGroup(const PhyleticRecord& a, const PhyleticRecord& b) { return a.name == b.name && a.alias1 == b.alias1; }

} // namespace

void CQuelnaDoc::setSpecies(std::vector<SpeciesRecord> species, const PhyleticTable& groups)
{
    species_ = std::move(species);
    overlay_ = false;
    viewCount_ = speciesCount();
    currentView_ = 1;
    paginate(groups);
}

void CQuelnaDoc::setOverlaySpecies(std::vector<SpeciesRecord> species)
{
    species_ = std::move(species);
    overlay_ = true;
    viewCount_ = 1;
    currentView_ = 1;
    pages_.assign(species_.size(), 1);
    pageCount_ = 1;
}

const SpeciesRecord* CQuelnaDoc::currentSpecies() const
{
    if (species_.empty())
        return nullptr;
    size_t index = overlay_ ? 0 : static_cast<size_t>(std::clamp(currentView_, 1, speciesCount()) - 1);
    return &species_[index];
}

void CQuelnaDoc::setCurrentView(int view) { currentView_ = std::clamp(view, 1, std::max(1, viewCount_)); }

void CQuelnaDoc::paginate(const PhyleticTable& groups)
{
    pages_.assign(species_.size(), 1);
    pageCount_ = 1;
    if (overlay_ || species_.empty())
        return;
    const int mapsPerPage = std::max(1, printForm_.rows.value * printForm_.columns.value);
    const int level = printForm_.pagingLevel.value;
    auto groupOf = [&](const SpeciesRecord& species) {
        return level >= 1 ? groups.groupAtLevel(species.phyleticCode, level) : nullptr;
    };
    int mapsOnPage = 0;
    const PhyleticRecord* previous = groupOf(species_[0]);
    for (size_t i = 1; i < species_.size(); ++i) {
        ++mapsOnPage;
        const PhyleticRecord* group = groupOf(species_[i]);
        if (group && previous && !sameGroup(*group, *previous)) {
            ++pageCount_;
            mapsOnPage = 0;
        }
        previous = group;
        if (mapsOnPage >= mapsPerPage) {
            ++pageCount_;
            mapsOnPage = 0;
        }
        pages_[i] = pageCount_;
    }
}

int CQuelnaDoc::firstSpeciesOnPage(int page) const
{
    auto at = std::find(pages_.begin(), pages_.end(), page);
    return at == pages_.end() ? -1 : static_cast<int>(at - pages_.begin());
}

} // namespace tavik
