#include "viewer/session/save_run.h"

#include <sys/resource.h>
#include <unistd.h>

namespace tavik {

SaveRun::SaveRun(SaveJob job, RenderSources sources, double markScale)
    : job_(std::move(job))
    , sources_(std::move(sources))
    , markScale_(markScale)
{
    // The job points at the species table's rows; the run keeps its own.
    species_.reserve(job_.species.size());
    for (const SpeciesRecord* species : job_.species)
        species_.push_back(*species);
    for (size_t i = 0; i < species_.size(); ++i)
        job_.species[i] = &species_[i];
}

SaveRun::~SaveRun()
{
    cancel();
    if (worker_.joinable())
        worker_.join();
}

void SaveRun::start(MessageSink& messages, unsigned threads)
{
    worker_ = std::thread([this, &messages, threads] { work(messages, threads); });
}

void SaveRun::work(MessageSink& messages, unsigned threads)
{
    // The lowest priority, so that the windows stay responsive; the
    // rendering threads saveMaps starts inherit it.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
    result_.store(saveMaps(job_, sources_, markScale_, progress_, stop_, messages, threads));
    // The end of the run closes the progress dialog as a cancel does.
    stop_.store(true);
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    ended_.notify_all();
}

bool SaveRun::finished() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
}

void SaveRun::wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    ended_.wait(lock, [this] { return finished_; });
}

bool SaveRun::waitFor(std::chrono::milliseconds time)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return ended_.wait_for(lock, time, [this] { return finished_; });
}

} // namespace tavik
