#pragma once

#include <QMdiSubWindow>

#include <memory>

namespace tavik {

class CQuelnaDoc;
class MapView;
class MainWindow;

// A map window: an MDI child showing one document in its map view. Its title
// is set by the paging commands; a size the user gives it by dragging its
// frame (in the normal state) is kept as ChildFrameWidth and ChildFrameHeight,
// never one that tiling or the main window's own size forces on it.
class MapWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    MapWindow(CQuelnaDoc& document, MainWindow& mainWindow);
    ~MapWindow() override;

    // Null once the window has let its document go (while it closes).
    CQuelnaDoc* document() const { return document_; }
    MapView& view() const { return *view_; }

    // Sets the title from the document's current view.
    void retitle();

    // Lets the document go: the window draws nothing more and closes.
    void detach();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CQuelnaDoc* document_;
    MainWindow& mainWindow_;
    MapView* view_; // owned by the window
    bool userDrags_ = false; // a mouse button is down on the frame
};

} // namespace tavik
