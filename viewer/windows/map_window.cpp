#include "viewer/windows/map_window.h"

#include "viewer/print/quelna_doc.h"
#include "viewer/session/viewer_commands.h"
#include "viewer/windows/main_window.h"
#include "viewer/windows/map_view.h"

#include <QCloseEvent>
#include <QResizeEvent>

namespace tavik {

MapWindow::MapWindow(CQuelnaDoc& document, MainWindow& mainWindow)
    : document_(&document)
    , mainWindow_(mainWindow)
    , view_(new MapView(document, mainWindow.workspace(), mainWindow.documents(), mainWindow.renderers()))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view_);
    retitle();
}

MapWindow::~MapWindow() = default;

void MapWindow::retitle()
{
    if (document_)
        setWindowTitle(QString::fromStdString(mapWindowTitle(*document_)));
}

void MapWindow::detach()
{
    document_ = nullptr;
    view_->detach();
}

void MapWindow::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    if (!isMaximized() && !isMinimized() && !isShaded())
        mainWindow_.mapWindowResized(event->size());
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
