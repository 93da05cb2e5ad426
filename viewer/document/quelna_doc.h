#pragma once

#include "viewer/print/print_form.h"
#include "viewer/settings/species_table.h"

#include <vector>

namespace tavik {

class PhyleticTable;

// The document of one map window: the species whose maps the user pages
// through one at a time, or an overlay of species drawn on one map, and the
// print pages they fall on under the document's print form.
//
// The document keeps its own copy of the print form. The form list is
// replaced as a whole when the print form editor saves, which would leave a
// reference dangling; the windows give every document the new current form
// (setPrintForm, then paginate) after the editor closes, as they would move a
// reference.
class CQuelnaDoc {
public:
    // Replaces the species list with copies, in display order: an ordinary
    // document with one view per species, the first shown; pagination is
    // computed under the document's print form.
    void setSpecies(std::vector<SpeciesRecord> species, const PhyleticTable& groups);

    // The same for an overlay document: one view, one print page holding
    // every species in one map.
    void setOverlaySpecies(std::vector<SpeciesRecord> species);

    // The species at the current view (the first species of an overlay), or
    // null for a document without species.
    const SpeciesRecord* currentSpecies() const;

    // Shows the view of a 1-based index, kept between 1 and the view count.
    void setCurrentView(int view);

    // Recomputes the print page of every species from the print form's rows,
    // columns and paging level: a page holds rows x columns maps, and with a
    // paging level of 1 or more a species whose group at that level differs
    // from the previous species' group starts a new page. An overlay keeps
    // its single page.
    void paginate(const PhyleticTable& groups);

    void setPrintForm(const PrintForm& form) { printForm_ = form; }
    const PrintForm& printForm() const { return printForm_; }

    const std::vector<SpeciesRecord>& species() const { return species_; }
    int speciesCount() const { return static_cast<int>(species_.size()); }
    int viewCount() const { return viewCount_; }
    int currentView() const { return currentView_; }
    bool isOverlay() const { return overlay_; }

    // The print page (from 1) of the species at an index (from 0).
    int pageOf(int index) const { return pages_[static_cast<size_t>(index)]; }
    // Number of print pages; 1 also for a document without species.
    int pageCount() const { return pageCount_; }

    // The index (from 0) of the first species on a page, or -1 when no
    // species falls on it.
    int firstSpeciesOnPage(int page) const;

private:
    std::vector<SpeciesRecord> species_;
    int viewCount_ = 0;
    int currentView_ = 1;
    bool overlay_ = false;
    PrintForm printForm_ = PrintForm::builtIn();
    std::vector<int> pages_;
    int pageCount_ = 1;
};

} // namespace tavik
