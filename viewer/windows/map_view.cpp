#include "viewer/windows/map_view.h"

#include "platform/message_sink.h"
#include "viewer/basemap/qt_text.h"
#include "viewer/document/print_page.h"
#include "viewer/document/quelna_doc.h"
#include "viewer/render/map_view_painter.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/document_list.h"
#include "viewer/session/renderer_cache.h"
#include "viewer/session/workspace.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace tavik {

// The scrolling area's contents: paints through its view.
class MapCanvas : public QWidget {
public:
    explicit MapCanvas(MapView& view)
        : view_(view)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        view_.paintCanvas(painter);
    }

private:
    MapView& view_;
};

namespace {

// The species a view names: the current one, or an overlay's first ten.
MapViewContent contentOf(const CQuelnaDoc& document, const QImage& map)
{
    MapViewContent content;
    content.map = &map;
    content.overlay = document.isOverlay();
    if (document.isOverlay()) {
        for (size_t k = 0; k < document.species().size() && k < 10; ++k)
            content.species.push_back(&document.species()[k]);
    } else if (const SpeciesRecord* species = document.currentSpecies()) {
        content.species.push_back(species);
    }
    return content;
}

} // namespace

MapView::MapView(const CQuelnaDoc& document, Workspace& workspace, const DocumentList& documents,
    RendererCache& renderers, QWidget* parent)
    : QScrollArea(parent)
    , document_(&document)
    , workspace_(workspace)
    , documents_(documents)
    , renderers_(renderers)
    , canvas_(new MapCanvas(*this))
    , screen_(std::make_unique<ScreenMetrics>())
{
    setWidget(canvas_);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Base);
    refresh();
}

MapView::~MapView() = default;

const ScreenMetrics& MapView::screenMetrics() const { return *screen_; }

void MapView::markStale()
{
    stale_ = true;
    refresh();
}

void MapView::detach()
{
    document_ = nullptr;
    canvas_->update();
}

bool MapView::drawsNothing() const
{
    return !document_ || documents_.drawingSuppressed() || document_->speciesCount() == 0;
}

void MapView::ensureRendered()
{
    if (!stale_ && revision_ == workspace_.revision() && !map_.isNull())
        return;
    std::vector<std::int64_t> codes;
    for (const SpeciesRecord* species : contentOf(*document_, map_).species)
        codes.push_back(species->code);
    markScale_ = tavik::markScale(workspace_.settings(), *canvas_);
    MessageLog raised;
    map_ = renderers_.renderer().render(codes, markScale_, raised);
    stale_ = false;
    revision_ = workspace_.revision();
    ++renderCount_;
    // A message box shown from inside a paint would paint again under it;
    // the main window shows the message once this drawing is done. The
    // signal goes out from the event queue: the first map is drawn while the
    // view is made, before anyone can have connected to it.
    for (const Message& message : raised.messages) {
        const QByteArray text = cp932Bytes(message.text);
        QMetaObject::invokeMethod(
            this, [this, text] { Q_EMIT messageRaised(text); }, Qt::QueuedConnection);
    }
}

void MapView::refresh()
{
    const QSize base = workspace_.baseImage().image.size();
    QSize size(base.width() + 17, base.height() + 42);
    if (!drawsNothing()) {
        ensureRendered();
        // The view's fonts measured as on the screen: an image of the
        // canvas's dots per inch.
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(qRound(canvas_->logicalDpiX() / 0.0254));
        probe.setDotsPerMeterY(qRound(canvas_->logicalDpiY() / 0.0254));
        QPainter painter(&probe);
        const MapViewContent content = contentOf(*document_, map_);
        const PainterConfig& config = workspace_.painter();
        size = mapViewSize(content, workspace_.settings(), config, markScale_, painter);
        // Captions of three names (or a name on two lines) push the map
        // further down than the area of the map plus 42 pixels allows; the
        // area grows so that the whole map can be scrolled into view.
        const QPoint origin = tavik::mapOrigin(content, workspace_.settings(), painter);
        size.setHeight(std::max(size.height(), origin.y() + map_.height() + 7));
    }
    viewSize_ = size;
    zoomed_ = QImage();
    canvas_->resize(QSize(qRound(size.width() * zoom_), qRound(size.height() * zoom_)));
    canvas_->update();
}

void MapView::setZoom(double zoom)
{
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    // The part of the map in the middle of the window stays there.
    const QPointF middle(horizontalScrollBar()->value() + viewport()->width() / 2.0,
        verticalScrollBar()->value() + viewport()->height() / 2.0);
    const QSize before = canvas_->size();
    refresh();
    if (before.width() > 0 && before.height() > 0) {
        const double sx = canvas_->width() / static_cast<double>(before.width());
        const double sy = canvas_->height() / static_cast<double>(before.height());
        horizontalScrollBar()->setValue(qRound(middle.x() * sx - viewport()->width() / 2.0));
        verticalScrollBar()->setValue(qRound(middle.y() * sy - viewport()->height() / 2.0));
    }
}

void MapView::zoomIn() { setZoom(zoom_ * kZoomStep); }

void MapView::zoomOut() { setZoom(zoom_ / kZoomStep); }

void MapView::zoomToWindow()
{
    if (viewSize_.isEmpty())
        return;
    const QSize room = viewport()->size();
    setZoom(std::min(room.width() / static_cast<double>(viewSize_.width()),
        room.height() / static_cast<double>(viewSize_.height())));
}

void MapView::wheelEvent(QWheelEvent* event)
{
    // Ctrl and the wheel zoom, as in other map and picture viewers.
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() > 0)
            zoomIn();
        else if (event->angleDelta().y() < 0)
            zoomOut();
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

void MapView::paintCanvas(QPainter& painter)
{
    if (zoom_ == 1.0 || drawsNothing()) {
        paintView(painter);
        return;
    }
    // A zoomed view is the view at its own size, shrunk or enlarged
    // smoothly (averaged when shrunk, so that thin lines stay whole): only
    // the picture changes, never the map that is saved or printed.
    if (zoomed_.isNull() || stale_ || revision_ != workspace_.revision()) {
        QImage view(viewSize_, QImage::Format_RGB32);
        view.setDotsPerMeterX(qRound(canvas_->logicalDpiX() / 0.0254));
        view.setDotsPerMeterY(qRound(canvas_->logicalDpiY() / 0.0254));
        {
            QPainter viewPainter(&view);
            paintView(viewPainter);
        }
        zoomed_ = view.scaled(canvas_->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    painter.drawImage(QPoint(), zoomed_);
}

void MapView::paintView(QPainter& painter)
{
    painter.fillRect(QRect(QPoint(), viewSize_.expandedTo(canvas_->size())), Qt::white);
    if (drawsNothing())
        return;
    if (!screenRecorded_) {
        screen_->dpiX = canvas_->logicalDpiX();
        screen_->dpiY = canvas_->logicalDpiY();
        screen_->digitFactor = tavik::markScale(workspace_.settings(), *canvas_);
        screenRecorded_ = true;
    }
    if (stale_ || revision_ != workspace_.revision() || map_.isNull()) {
        // Out of date without a refresh (add-ins loaded since): the area is
        // sized anew once this drawing is done, which paints again.
        ensureRendered();
        QMetaObject::invokeMethod(this, &MapView::refresh, Qt::QueuedConnection);
    }
    const MapViewContent content = contentOf(*document_, map_);
    origin_ = tavik::mapOrigin(content, workspace_.settings(), painter);
    paintMapView(painter, content, workspace_.settings(), workspace_.painter(), markScale_);
}

QImage MapView::contents() { return canvas_->grab().toImage(); }

} // namespace tavik
