#include "viewer/session/document_list.h"

#include "viewer/document/quelna_doc.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/session/workspace.h"

#include <algorithm>

namespace tavik {

DocumentList::DocumentList(const Workspace& workspace)
    : workspace_(workspace)
{
}

DocumentList::~DocumentList() = default;

CQuelnaDoc& DocumentList::openEmpty()
{
    documents_.push_back(std::make_unique<CQuelnaDoc>());
    CQuelnaDoc& document = *documents_.back();
    document.setPrintForm(workspace_.printForms().current());
    if (observer_)
        observer_->documentOpened(document);
    return document;
}

void DocumentList::prepareOpen(CQuelnaDoc* active)
{
    drawingSuppressed_ = false;
    if (active && active->speciesCount() == 0)
        close(*active);
}

CQuelnaDoc* DocumentList::open(const std::vector<size_t>& rows, bool overlay)
{
    const auto& table = workspace_.species().rows();
    std::vector<SpeciesRecord> species;
    for (size_t row : rows) {
        if (row < table.size())
            species.push_back(table[row]);
    }
    if (species.empty())
        return nullptr;
    auto document = std::make_unique<CQuelnaDoc>();
    document->setPrintForm(workspace_.printForms().current());
    if (overlay)
        document->setOverlaySpecies(std::move(species));
    else
        document->setSpecies(std::move(species), workspace_.phyletic());
    documents_.push_back(std::move(document));
    CQuelnaDoc& opened = *documents_.back();
    if (observer_)
        observer_->documentOpened(opened);
    return &opened;
}

void DocumentList::close(CQuelnaDoc& document)
{
    auto it = std::find_if(documents_.begin(), documents_.end(), [&](const auto& d) { return d.get() == &document; });
    if (it == documents_.end())
        return;
    // Taken out of the list first, so that an observer closing the document's
    // window (which closes the document again) finds nothing left to do.
    std::unique_ptr<CQuelnaDoc> closing = std::move(*it);
    documents_.erase(it);
    if (observer_)
        observer_->documentClosing(*closing);
}

void DocumentList::turnPage(CQuelnaDoc& document, Command command)
{
    if (!commandEnabled(command, &document))
        return;
    document.setCurrentView(pagedView(document, command));
    changed(document, Change::View);
}

void DocumentList::reorder(CQuelnaDoc& document, std::vector<SpeciesRecord> species)
{
    const int view = document.currentView();
    if (document.isOverlay()) {
        document.setOverlaySpecies(std::move(species));
    } else {
        document.setSpecies(std::move(species), workspace_.phyletic());
        document.setCurrentView(view);
    }
    changed(document, Change::Species);
}

void DocumentList::takePrintForm(const PrintForm& form)
{
    for (const auto& document : documents_) {
        document->setPrintForm(form);
        document->paginate(workspace_.phyletic());
        changed(*document, Change::Species);
    }
}

void DocumentList::refreshAll()
{
    for (const auto& document : documents_)
        changed(*document, Change::Display);
}

void DocumentList::changed(CQuelnaDoc& document, Change change)
{
    if (observer_)
        observer_->documentChanged(document, change);
}

} // namespace tavik
