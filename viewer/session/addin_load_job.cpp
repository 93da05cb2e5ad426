#include "viewer/session/addin_load_job.h"

#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "viewer/session/workspace.h"

#include <chrono>

namespace tavik {

AddinLoadJob::AddinLoadJob(Workspace& workspace, Loader loader)
    : workspace_(workspace)
    , loader_(std::move(loader))
{
    if (!loader_)
        loader_ = [](AddinOverlays& overlays, const std::string& addinMap, const std::string& startupDirectory) {
            return overlays.load(addinMap, startupDirectory);
        };
}

AddinLoadJob::~AddinLoadJob()
{
    if (!worker_.joinable())
        return;
    load_->overlays.requestStop();
    // A worker stuck in a read after a cancel is not waited for: it holds
    // its own overlays and touches nothing of the viewer's.
    if (cancelled_ && !load_->ended.load())
        worker_.detach();
    else
        worker_.join();
}

bool AddinLoadJob::needed() const { return !load_ && !workspace_.settings().addinMap.empty(); }

void AddinLoadJob::start()
{
    if (load_)
        return;
    load_ = std::make_shared<Load>();
    worker_ = std::thread([load = load_, loader = loader_, addinMap = workspace_.settings().addinMap,
                              folder = workspace_.settings().startupDirectory] {
        load->result = loader(load->overlays, addinMap, folder);
        load->ended.store(true);
    });
}

std::string AddinLoadJob::statusText() const { return load_ ? load_->overlays.statusText() : std::string(); }

bool AddinLoadJob::finished() const { return !load_ || load_->ended.load(); }

void AddinLoadJob::cancel()
{
    cancelled_ = true;
    if (load_)
        load_->overlays.requestStop();
}

bool AddinLoadJob::finish(MessageSink& messages)
{
    if (!load_)
        return true;
    // A cancelled worker stops at its next line, at once; one that has not
    // within a second is stuck in a read.
    for (int waited = 0; cancelled_ && !load_->ended.load() && waited < 100; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!load_->ended.load() && cancelled_) {
        // The loader does not answer (its file never gives its bytes): the
        // maps are drawn without add-ins.
        worker_.detach();
        messages.stop(cp932Literal("Addin の読み込みを中止しました。地図は Addin なしで描きます。"));
        return false;
    }
    if (worker_.joinable())
        worker_.join();
    workspace_.takeAddins(load_->overlays);
    if (!load_->result)
        messages.stop(workspace_.addins().errorText());
    return load_->result;
}

} // namespace tavik
