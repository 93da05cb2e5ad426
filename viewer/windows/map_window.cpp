#include "viewer/windows/map_window.h"

#include "viewer/basemap/qt_text.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/map_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QResizeEvent>

namespace tavik {

MapWindow::MapWindow(CQuelnaDoc& document, MainWindow& mainWindow)
    : document_(&document)
    , mainWindow_(mainWindow)
    , view_(new MapView(document, mainWindow.workspace(), mainWindow.documents(), mainWindow.renderers()))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view_);
    // The window's own menu binds Ctrl+W (and Ctrl+F4) to closing it, which
    // made the main window's 閉じる shortcut ambiguous, so that neither ran:
    // the menu's entries keep their commands without shortcuts.
    if (QMenu* menu = systemMenu())
        for (QAction* entry : menu->actions())
            entry->setShortcuts({});
    retitle();
}

MapWindow::~MapWindow() = default;

void MapWindow::retitle()
{
    if (document_)
        setWindowTitle(qtext(mapWindowTitle(*document_)));
}

void MapWindow::detach()
{
    document_ = nullptr;
    view_->detach();
}

void MapWindow::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    if (userDrags_ && !isMaximized() && !isMinimized() && !isShaded())
        mainWindow_.mapWindowResized(event->size());
}

void MapWindow::mousePressEvent(QMouseEvent* event)
{
    userDrags_ = true;
    QMdiSubWindow::mousePressEvent(event);
}

void MapWindow::mouseReleaseEvent(QMouseEvent* event)
{
    QMdiSubWindow::mouseReleaseEvent(event);
    userDrags_ = false;
}

void MapWindow::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted() && document_) {
        CQuelnaDoc* document = document_;
        detach();
        mainWindow_.mapWindowClosed(*document);
    }
}

} // namespace tavik
