// Map saving against its floor: copying the base image and encoding it with
// libpng at its fastest settings that still pack flat areas (level 1, no
// filter, run-length strategy). Run from a prepared working folder (see
// bench/run.sh); each benchmark reports its own time, the floor's time from
// the same iterations and their ratio.
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/basemap/image_files.h"
#include "viewer/basemap/palette.h"
#include "viewer/render/map_saver.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/workspace.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using tavik::Workspace;

struct Loaded {
    Workspace workspace;
    std::vector<const tavik::SpeciesRecord*> species; // the sample's, without the heavy one
    const tavik::SpeciesRecord* heavy = nullptr;
    double scale = 1.0;
    std::string out;
    bool ok = false;
};

Loaded& loaded()
{
    static Loaded* data = [] {
        auto* d = new Loaded;
        tavik::StderrMessageSink messages;
        d->ok = d->workspace.loadSettings(tavik::currentDirectory(), messages) && d->workspace.loadBaseImage(messages);
        d->workspace.loadSpeciesTable(messages);
        d->workspace.loadAddins(messages);
        const char* heavy = std::getenv("TAVIK_BENCH_HEAVY");
        for (const tavik::SpeciesRecord& s : d->workspace.species.rows()) {
            if (heavy && std::to_string(s.code) == heavy)
                d->heavy = &s;
            else
                d->species.push_back(&s);
        }
        QImage device(1, 1, QImage::Format_RGB32);
        d->scale = tavik::markScale(d->workspace.settings, device);
        const char* tmp = std::getenv("TMPDIR");
        d->out = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavik-bench-maps";
        std::system(("mkdir -p '" + d->out + "'").c_str());
        return d;
    }();
    return *data;
}

double floorSeconds(const Loaded& d)
{
    Clock::time_point start = Clock::now();
    QImage copy = d.workspace.baseImage.image.copy();
    QImage rows = copy.convertToFormat(QImage::Format_BGR888);
    tavik::PngCompression fastest{1, tavik::PngStrategy::Rle, tavik::PngFilter::None};
    tavik::writePng(d.out + "/floor.png", "floor", tavik::pixelRows(rows), 24, tavik::standardPalette(), fastest);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Saves the maps of the species in one batch on one worker, as
// `tavik --save` does.
double saveSeconds(const Loaded& d, const std::vector<const tavik::SpeciesRecord*>& species, int depth,
    const char* extension, unsigned threads = 1)
{
    tavik::SaveJob job;
    job.path = d.out + "/map_%C" + extension;
    job.depth = depth;
    job.species = species;
    tavik::SaveProgress progress;
    std::atomic<bool> stop{false};
    tavik::MessageLog log;
    Clock::time_point start = Clock::now();
    tavik::saveMaps(job, d.workspace.renderSources(), d.scale, progress, stop, log, threads);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(benchmark::State& state, double save, double floor, size_t maps)
{
    state.counters["map_ms"] = 1000.0 * save / static_cast<double>(maps);
    state.counters["floor_ms"] = 1000.0 * floor / static_cast<double>(maps);
    state.counters["ratio"] = save / floor;
}

// Each iteration saves the maps of every sample species (or the heavy one
// 32 times) in one batch; times are per map.
void BM_SaveMap(benchmark::State& state, int depth, const char* extension, bool heavy)
{
    Loaded& d = loaded();
    if (!d.ok || d.species.empty() || (heavy && !d.heavy)) {
        state.SkipWithError("no prepared working folder (run bench/run.sh)");
        return;
    }
    std::vector<const tavik::SpeciesRecord*> batch = d.species;
    if (heavy)
        batch.assign(d.species.size(), d.heavy);
    double save = 0, floor = 0;
    size_t maps = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < batch.size(); ++i)
            floor += floorSeconds(d);
        save += saveSeconds(d, batch, depth, extension);
        maps += batch.size();
    }
    report(state, save, floor, maps);
}
BENCHMARK_CAPTURE(BM_SaveMap, png24, 24, ".png", false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_SaveMap, png8, 8, ".png", false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_SaveMap, bmp24, 24, ".bmp", false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_SaveMap, bmp8, 8, ".bmp", false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_SaveMap, heavy_png24, 24, ".png", true)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_SaveMap, heavy_png8, 8, ".png", true)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The PNG encoder settings the saver uses against libpng's defaults (level 6,
// filtered strategy, adaptive filters), on a rendered map: time and size.
void BM_PngSettings(benchmark::State& state)
{
    Loaded& d = loaded();
    if (!d.ok || d.species.empty()) {
        state.SkipWithError("no prepared working folder (run bench/run.sh)");
        return;
    }
    tavik::MessageLog log;
    QImage map = tavik::PageRenderer(d.workspace.renderSources()).render({d.species[0]->code}, d.scale, log);
    QImage rows = map.convertToFormat(QImage::Format_BGR888);
    const tavik::PngCompression defaults{6, tavik::PngStrategy::Filtered, tavik::PngFilter::Adaptive};
    const tavik::PngCompression chosen{};
    auto encode = [&](const tavik::PngCompression& settings, const std::string& name, double& seconds) {
        Clock::time_point start = Clock::now();
        tavik::writePng(d.out + "/" + name, "bench", tavik::pixelRows(rows), 24, tavik::standardPalette(), settings);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        std::FILE* file = std::fopen((d.out + "/" + name).c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        long size = std::ftell(file);
        std::fclose(file);
        return size;
    };
    double defaultSeconds = 0, chosenSeconds = 0;
    long defaultSize = 0, chosenSize = 0;
    size_t runs = 0;
    for (auto _ : state) {
        defaultSize = encode(defaults, "defaults.png", defaultSeconds);
        chosenSize = encode(chosen, "chosen.png", chosenSeconds);
        ++runs;
    }
    state.counters["default_ms"] = 1000.0 * defaultSeconds / static_cast<double>(runs);
    state.counters["chosen_ms"] = 1000.0 * chosenSeconds / static_cast<double>(runs);
    state.counters["default_kB"] = static_cast<double>(defaultSize) / 1000.0;
    state.counters["chosen_kB"] = static_cast<double>(chosenSize) / 1000.0;
    state.counters["size_ratio"] = static_cast<double>(chosenSize) / static_cast<double>(defaultSize);
}
BENCHMARK(BM_PngSettings)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A batch of maps (the sample's species over and over) on one worker and on
// one worker per core; the floor is the one-worker time.
void BM_SaveBatch(benchmark::State& state)
{
    Loaded& d = loaded();
    if (!d.ok || d.species.empty()) {
        state.SkipWithError("no prepared working folder (run bench/run.sh)");
        return;
    }
    const size_t count = static_cast<size_t>(state.range(0));
    tavik::SaveJob job;
    job.path = d.out + "/batch_%C.png";
    for (size_t i = 0; i < count; ++i)
        job.species.push_back(d.species[i % d.species.size()]);
    auto run = [&](unsigned threads) {
        tavik::SaveProgress progress;
        std::atomic<bool> stop{false};
        tavik::MessageLog log;
        Clock::time_point start = Clock::now();
        tavik::saveMaps(job, d.workspace.renderSources(), d.scale, progress, stop, log, threads);
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    double one = 0, all = 0;
    unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (auto _ : state) {
        one += run(1);
        all += run(cores);
    }
    state.counters["one_worker_s"] = one;
    state.counters["all_cores_s"] = all;
    state.counters["cores"] = cores;
    state.counters["speed_up"] = one / all;
}
BENCHMARK(BM_SaveBatch)->Arg(2000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
