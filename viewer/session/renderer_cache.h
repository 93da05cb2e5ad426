#pragma once

#include <cstdint>
#include <memory>

namespace tavik {

class PageRenderer;
class Workspace;

// The page renderer the map views share, made anew when what maps are drawn
// from has changed since it was made (the workspace's revision).
class RendererCache {
public:
    explicit RendererCache(const Workspace& workspace);
    ~RendererCache();

    // A renderer of the workspace's current sources.
    const PageRenderer& renderer();

private:
    const Workspace& workspace_;
    std::unique_ptr<PageRenderer> renderer_;
    std::uint64_t revision_ = 0;
};

} // namespace tavik
