#pragma once

#include "viewer/document/print_page.h"
#include "viewer/render/page_renderer.h"

#include <memory>

namespace tavik {

class MessageSink;
class PhyleticTable;
class Workspace;

// Everything a print, a PDF or a preview draws from, frozen when it starts:
// the render sources, the group table the scripts name, one renderer and the
// screen metrics. A window that changes the painter or the settings meanwhile
// changes only the next print, and the pages may be drawn on a worker thread.
class PrintSnapshot {
public:
    PrintSnapshot(const Workspace& workspace, const ScreenMetrics& screen);
    ~PrintSnapshot();
    PrintSnapshot(const PrintSnapshot&) = delete;
    PrintSnapshot& operator=(const PrintSnapshot&) = delete;

    // What printed pages are drawn from; it refers into this snapshot, which
    // must outlive it. Faulty distribution lines of the maps are reported to
    // `messages` (from the thread that draws).
    PrintSources sources(MessageSink& messages) const;

    const Settings& settings() const { return *render_.settings; }

private:
    RenderSources render_;
    std::shared_ptr<const PhyleticTable> groups_;
    std::unique_ptr<const PageRenderer> renderer_;
    ScreenMetrics screen_;
};

} // namespace tavik
