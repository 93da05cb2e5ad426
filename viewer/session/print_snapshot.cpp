#include "viewer/session/print_snapshot.h"

#include "viewer/render/painter_config.h"
#include "viewer/session/workspace.h"
#include "viewer/settings/phyletic_table.h"

namespace tavik {

PrintSnapshot::PrintSnapshot(const Workspace& workspace, const ScreenMetrics& screen)
    : render_(workspace.renderSources())
    , groups_(std::make_shared<const PhyleticTable>(workspace.phyletic()))
    , renderer_(std::make_unique<const PageRenderer>(render_))
    , screen_(screen)
{
}

PrintSnapshot::~PrintSnapshot() = default;

PrintSources PrintSnapshot::sources(MessageSink& messages) const
{
    const PageRenderer* renderer = renderer_.get();
    const double markScale = screen_.digitFactor;
    return PrintSources{{*render_.settings, *render_.painter, *groups_}, render_.baseImage.size(),
        [renderer, &messages, markScale](
            const std::vector<std::int64_t>& codes) { return renderer->render(codes, markScale, messages); },
        screen_};
}

} // namespace tavik
