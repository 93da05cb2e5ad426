#include "viewer/session/preview_pages.h"

#include "viewer/session/print_snapshot.h"

#include <algorithm>

namespace tavik {

PreviewPages::PreviewPages(std::shared_ptr<const PrintSnapshot> snapshot, CQuelnaDoc document, PreviewPaper paper,
    MessageSink& faults, Ready ready, size_t keep)
    : snapshot_(std::move(snapshot))
    , document_(std::move(document))
    , paper_(paper)
    , faults_(faults)
    , ready_(std::move(ready))
    , keep_(std::max<size_t>(1, keep))
    , worker_([this] { work(); })
{
}

PreviewPages::~PreviewPages()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    asked_.notify_all();
    worker_.join();
}

QImage PreviewPages::page(int number, double dpi)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto same = [&](int page, double pageDpi) { return page == number && pageDpi == dpi; };
    auto drawn = std::find_if(drawn_.begin(), drawn_.end(), [&](const Drawn& d) { return same(d.page, d.dpi); });
    if (drawn != drawn_.end()) {
        drawn_.splice(drawn_.begin(), drawn_, drawn);
        return drawn_.front().image;
    }
    wanted_.remove_if([&](const std::pair<int, double>& w) { return same(w.first, w.second); });
    wanted_.emplace_front(number, dpi);
    asked_.notify_all();
    return {};
}

size_t PreviewPages::keptCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return drawn_.size();
}

void PreviewPages::work()
{
    const PrintSources sources = snapshot_->sources(faults_);
    for (;;) {
        std::pair<int, double> next;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            asked_.wait(lock, [this] { return ending_ || !wanted_.empty(); });
            if (ending_)
                return;
            next = wanted_.front();
            wanted_.pop_front();
        }
        QImage image = previewPage(document_, next.first, sources, paper_, next.second);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            drawn_.push_front({next.first, next.second, std::move(image)});
            while (drawn_.size() > keep_)
                drawn_.pop_back();
        }
        if (ready_)
            ready_(next.first);
    }
}

} // namespace tavik
