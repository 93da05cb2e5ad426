#include "viewer/session/addin_load_job.h"

#include "platform/message_sink.h"
#include "viewer/session/workspace.h"

namespace tavik {

AddinLoadJob::AddinLoadJob(Workspace& workspace)
    : workspace_(workspace)
{
}

AddinLoadJob::~AddinLoadJob()
{
    if (worker_.joinable()) {
        workspace_.addins.requestStop();
        worker_.join();
    }
}

bool AddinLoadJob::needed() const { return !started_ && !workspace_.settings.addinMap.empty(); }

void AddinLoadJob::start()
{
    if (started_)
        return;
    started_ = true;
    // The worker writes only the overlays and its own result; the interface
    // thread reads the result after joining it.
    worker_ = std::thread([this] {
        result_ = workspace_.addins.load(workspace_.settings.addinMap, workspace_.settings.startupDirectory);
    });
}

std::string AddinLoadJob::statusText() const { return workspace_.addins.statusText(); }

bool AddinLoadJob::finished() const { return !started_ || workspace_.addins.finished(); }

void AddinLoadJob::cancel() { workspace_.addins.requestStop(); }

bool AddinLoadJob::finish(MessageSink& messages)
{
    if (worker_.joinable())
        worker_.join();
    workspace_.markChanged();
    if (!result_)
        messages.stop("", workspace_.addins.errorText());
    return result_;
}

} // namespace tavik
