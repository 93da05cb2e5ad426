#pragma once

#include <QImage>
#include <QPoint>
#include <QScrollArea>

#include <cstdint>
#include <memory>

namespace tavik {

class CQuelnaDoc;
class DocumentList;
class RendererCache;
class Workspace;
struct ScreenMetrics;

// The scrolling view of a map window. It renders the document's map once and
// keeps it: scrolling and repainting draw the kept map with its captions or
// legend; paging, a display change or a change of what maps are drawn from
// (the workspace's revision) makes it render anew.
class MapView : public QScrollArea {
    Q_OBJECT
public:
    MapView(const CQuelnaDoc& document, Workspace& workspace, const DocumentList& documents, RendererCache& renderers,
        QWidget* parent = nullptr);
    ~MapView() override;

    // The kept map is out of date: the view renders anew, sizes its
    // scrolling area (captions and an overlay's legend follow the species and
    // the display switches) and repaints.
    void markStale();

    // Sizes the scrolling area to what the view shows and repaints,
    // rendering first when the kept map is out of date.
    void refresh();

    // Stops drawing: the document is going away.
    void detach();

    // The map last rendered (null before the first drawing).
    const QImage& renderedMap() const { return map_; }
    // Where the map's top-left corner was last drawn, in pixels of the
    // scrolling area.
    QPoint mapOrigin() const { return origin_; }
    // The mark scale the view renders with (see markScale()).
    double markScale() const { return markScale_; }
    // The screen's dots per inch and digit factor, recorded when the view
    // first drew; printing scales its fonts by them.
    const ScreenMetrics& screenMetrics() const;
    // How many times the view rendered its map.
    int renderCount() const { return renderCount_; }

    // The view's contents as shown, the whole scrolling area.
    QImage contents();

    // The zoom of the view (1 is the map's own pixels): only how the view
    // shows the map, never the map saved or printed.
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    void zoomIn(); // by a quarter
    void zoomOut();
    // The zoom at which the whole map with its captions fits the window.
    void zoomToWindow();
    static constexpr double kZoomStep = 1.25;
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 4.0;

Q_SIGNALS:
    // A message raised while rendering (cp932), for the main window to show.
    void messageRaised(const QByteArray& cp932Text);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class MapCanvas;
    void paintCanvas(QPainter& painter);
    void paintView(QPainter& painter); // at the view's own size
    bool drawsNothing() const;
    void ensureRendered();

    const CQuelnaDoc* document_;
    Workspace& workspace_;
    const DocumentList& documents_;
    RendererCache& renderers_;
    QWidget* canvas_;
    QImage map_;
    bool stale_ = true;
    std::uint64_t revision_ = 0;
    QPoint origin_;
    double markScale_ = 1.0;
    std::unique_ptr<ScreenMetrics> screen_;
    bool screenRecorded_ = false;
    int renderCount_ = 0;
    double zoom_ = 1.0;
    QSize viewSize_; // the view's area at zoom 1
    QImage zoomed_; // the view drawn at zoom 1 and scaled, kept until it changes
};

} // namespace tavik
