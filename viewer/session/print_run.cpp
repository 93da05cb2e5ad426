#include "viewer/session/print_run.h"

#include "platform/cp932.h"
#include "viewer/session/print_snapshot.h"

#include <algorithm>

namespace tavik {

PrintRun::PrintRun(std::shared_ptr<const PrintSnapshot> snapshot, CQuelnaDoc document, QPagedPaintDevice& device,
    PageRange range, MessageSink& faults, std::function<void()> abandon)
    : snapshot_(std::move(snapshot))
    , document_(std::move(document))
    , device_(device)
    , range_(range)
    , faults_(faults)
    , abandon_(std::move(abandon))
{
}

PrintRun::~PrintRun()
{
    cancel();
    wait();
}

void PrintRun::start()
{
    worker_ = std::thread([this] {
        const PrintSources sources = snapshot_->sources(faults_);
        ExportProgress progress;
        progress.onPage = [this](int page, int last, const std::string& names) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                text_ = cp932Printf("(%d/%d)  %s", page, last, names.c_str());
            }
            const int first = std::max(1, range_.first);
            percent_.store(last > first ? 100 * (page - first) / (last - first + 1) : 0);
        };
        progress.abandon = abandon_;
        result_.store(printDocument(device_, document_, sources, range_, progress, stop_));
        percent_.store(100);
        // The end of the printing closes the progress dialog as a cancel does.
        stop_.store(true);
    });
}

void PrintRun::wait()
{
    if (worker_.joinable())
        worker_.join();
}

std::string PrintRun::progressText() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

} // namespace tavik
