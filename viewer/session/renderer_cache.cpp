#include "viewer/session/renderer_cache.h"

#include "viewer/render/page_renderer.h"
#include "viewer/session/workspace.h"

namespace tavik {

RendererCache::RendererCache(const Workspace& workspace)
    : workspace_(workspace)
{
}

RendererCache::~RendererCache() = default;

const PageRenderer& RendererCache::renderer()
{
    if (!renderer_ || revision_ != workspace_.revision()) {
        renderer_ = std::make_unique<PageRenderer>(workspace_.renderSources());
        revision_ = workspace_.revision();
    }
    return *renderer_;
}

} // namespace tavik
