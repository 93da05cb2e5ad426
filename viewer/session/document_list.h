#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace tavik {

class CQuelnaDoc;
enum class Command : int;
struct PrintForm;
struct SpeciesRecord;
class Workspace;

// The open documents of the viewer, one per map window, and the
// drawing-suppressed flag that keeps map views blank until the first map is
// opened. The windows observe the list: every change is reported to the
// observer, which updates the map windows.
class DocumentList {
public:
    // What changed in a document.
    enum class Change {
        View, // the current view (paging): the map is drawn anew
        Species, // the species list or its order, with the pagination
        Display, // display switches, marks or lines: the map is drawn anew
    };

    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void documentOpened(CQuelnaDoc& document) = 0;
        virtual void documentChanged(CQuelnaDoc& document, Change change) = 0;
        // Called before the document is destroyed.
        virtual void documentClosing(CQuelnaDoc& document) = 0;
    };

    explicit DocumentList(const Workspace& workspace);
    ~DocumentList();
    DocumentList(const DocumentList&) = delete;
    DocumentList& operator=(const DocumentList&) = delete;

    void setObserver(Observer* observer) { observer_ = observer; }

    // The empty document of start-up: no species, nothing drawn.
    CQuelnaDoc& openEmpty();

    // The first steps of opening a map: drawing is no longer suppressed, and
    // the active document is closed when it holds no species (the empty
    // window of start-up). `active` may be null.
    void prepareOpen(CQuelnaDoc* active);

    // Opens a document of the species at these rows of the species table, in
    // this order, under the current print form: an ordinary document paged
    // one species at a time, or an overlay of them all. Null, and nothing
    // opened, for no rows.
    CQuelnaDoc* open(const std::vector<size_t>& rows, bool overlay);

    // Closes a document (its window is closing).
    void close(CQuelnaDoc& document);

    // Carries out a paging command (top, previous, next, last) when it is
    // enabled.
    void turnPage(CQuelnaDoc& document, Command command);

    // Puts a document's species in a new order (the display order dialog)
    // and paginates anew (an overlay keeps its single page).
    void reorder(CQuelnaDoc& document, std::vector<SpeciesRecord> species);

    // Every document takes a print form; ordinary ones are paginated anew.
    void takePrintForm(const PrintForm& form);

    // Every document's map is to be drawn anew (a display switch, the marks or
    // the lines changed).
    void refreshAll();

    bool drawingSuppressed() const { return drawingSuppressed_; }
    const std::vector<std::unique_ptr<CQuelnaDoc>>& documents() const { return documents_; }

private:
    void changed(CQuelnaDoc& document, Change change);

    const Workspace& workspace_;
    Observer* observer_ = nullptr;
    std::vector<std::unique_ptr<CQuelnaDoc>> documents_;
    bool drawingSuppressed_ = true;
};

} // namespace tavik
