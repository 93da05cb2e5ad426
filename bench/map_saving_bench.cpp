// Map saving against its floor: copying the base image into 24-bit rows and
// compressing them, unfiltered, with libdeflate at level 1. Times are CPU
// time of the whole process (the saver's worker included). Run from a
// prepared working folder (see bench/run.sh); each benchmark reports its own
// time, the floor's time from the same iterations and their ratio. Beside
// them: the PNG encoder against the zlib path the saver used before (libpng,
// zlib level 4, Up filter) and against libpng's default settings, and the
// cost of each mark of a crowded species.
#include "imagefiles/output_rows.h"
#include "imagefiles/palette.h"
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/basemap/pixel_rows.h"
#include "viewer/render/map_saver.h"
#include "viewer/render/page_renderer.h"
#include "viewer/session/workspace.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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
    const tavik::SpeciesRecord* crowded = nullptr; // 18,000 marks
    double scale = 1.0;
    std::string out;
    bool ok = false;
};

Loaded& loaded()
{
    static Loaded* data = [] {
        auto* d = new Loaded;
        tavik::StderrMessageSink messages;
        d->ok = d->workspace.loadSettings(tavik::currentDirectory().value_or("."), messages)
            && d->workspace.loadBaseImage(messages);
        d->workspace.loadSpeciesTable(messages);
        d->workspace.loadAddins(messages);
        const char* heavy = std::getenv("TAVIK_BENCH_HEAVY");
        const char* crowded = std::getenv("TAVIK_BENCH_CROWDED");
        for (const tavik::SpeciesRecord& s : d->workspace.species().rows()) {
            if (heavy && std::to_string(s.code) == heavy)
                d->heavy = &s;
            else if (crowded && std::to_string(s.code) == crowded)
                d->crowded = &s;
            else
                d->species.push_back(&s);
        }
        QImage device(1, 1, QImage::Format_RGB32);
        d->scale = tavik::markScale(d->workspace.settings(), device);
        const char* tmp = std::getenv("TMPDIR");
        d->out = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavik-bench-maps";
        std::system(("mkdir -p '" + d->out + "'").c_str());
        return d;
    }();
    return *data;
}

// CPU time of the process so far, every thread included.
double cpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Page faults of the process so far: on a virtual machine each costs
// microseconds, and the renderer's fresh memory for every map takes hundreds.
long pageFaults()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

// The floor of one map: the base image copied into 24-bit rows, and those
// rows compressed, unfiltered, by libdeflate at level 1.
double floorSeconds(const Loaded& d)
{
    // The compressor and its output's room are made once, as the writer
    // keeps its own from map to map.
    static libdeflate_compressor* compressor = libdeflate_alloc_compressor(1);
    static std::vector<std::uint8_t> packed;
    double start = cpuSeconds();
    QImage rows = d.workspace.baseImage().image.convertToFormat(QImage::Format_RGB888);
    packed.resize(libdeflate_zlib_compress_bound(compressor, static_cast<size_t>(rows.sizeInBytes())));
    size_t size = libdeflate_zlib_compress(
        compressor, rows.constBits(), static_cast<size_t>(rows.sizeInBytes()), packed.data(), packed.size());
    benchmark::DoNotOptimize(size);
    return cpuSeconds() - start;
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
    double start = cpuSeconds();
    tavik::saveMaps(job, d.workspace.renderSources(), d.scale, progress, stop, log, threads);
    return cpuSeconds() - start;
}

void report(benchmark::State& state, double save, double floor, size_t maps)
{
    state.counters["map_ms"] = 1000.0 * save / static_cast<double>(maps);
    state.counters["floor_ms"] = 1000.0 * floor / static_cast<double>(maps);
    state.counters["ratio"] = save / floor;
}

// Each iteration saves the maps of every sample species (or the heavy one
// 32 times) in one batch; times are per map, CPU time of the whole process.
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
    long floorFaults = 0, saveFaults = 0;
    size_t maps = 0;
    for (auto _ : state) {
        long faults = pageFaults();
        for (size_t i = 0; i < batch.size(); ++i)
            floor += floorSeconds(d);
        floorFaults += pageFaults() - faults;
        faults = pageFaults();
        save += saveSeconds(d, batch, depth, extension);
        saveFaults += pageFaults() - faults;
        maps += batch.size();
    }
    report(state, save, floor, maps);
    state.counters["floor_faults"] = static_cast<double>(floorFaults) / static_cast<double>(maps);
    state.counters["map_faults"] = static_cast<double>(saveFaults) / static_cast<double>(maps);
}
// Goal for PNG: at most 1.3 times the floor.
BENCHMARK_CAPTURE(BM_SaveMap, png24, 24, ".png", false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_SaveMap, png8, 8, ".png", false)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK_CAPTURE(BM_SaveMap, bmp24, 24, ".bmp", false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_SaveMap, bmp8, 8, ".bmp", false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_SaveMap, heavy_png24, 24, ".png", true)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_SaveMap, heavy_png8, 8, ".png", true)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// PNG through libpng with zlib: the saver's former path (level 4, default
// strategy, Up filter) and libpng's defaults (level 6, filtered strategy,
// every filter for RGB rows, none for palette rows). Rows as writePng takes
// them; returns the file's size, 0 on failure.
long writeWithLibpng(const std::string& path, const QImage& rows, int depth, bool defaults)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return 0;
    }
    png_init_io(png, file);
    const bool rgb = depth == 24;
    png_set_IHDR(png, info, static_cast<png_uint_32>(rows.width()), static_cast<png_uint_32>(rows.height()), 8,
        rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    if (!defaults) {
        png_set_compression_level(png, 4);
        png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    }
    std::vector<png_color> colours;
    for (const tavik::Colour& c : tavik::standardPalette())
        colours.push_back({c.r, c.g, c.b});
    if (!rgb)
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    png_write_info(png, info);
    for (int y = 0; y < rows.height(); ++y)
        png_write_row(png, rows.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    long size = std::ftell(file);
    std::fclose(file);
    return size;
}

long fileSize(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    return size;
}

// The PNG encoder on rendered maps (the first eight sample species), 24 or 8
// bits: writePng's time and size against the former zlib path and against
// libpng's defaults. Goal: at most 1.15 times the size of libpng's defaults.
void BM_PngEncoding(benchmark::State& state, int depth)
{
    Loaded& d = loaded();
    if (!d.ok || d.species.empty()) {
        state.SkipWithError("no prepared working folder (run bench/run.sh)");
        return;
    }
    // The rows each path takes: writePng blue, green, red (or palette
    // indices), libpng red, green, blue (or the same indices).
    std::vector<QImage> ours, theirs;
    const tavik::Palette palette = tavik::standardPalette();
    for (size_t i = 0; i < std::min<size_t>(8, d.species.size()); ++i) {
        tavik::MessageLog log;
        QImage map = tavik::PageRenderer(d.workspace.renderSources()).render({d.species[i]->code}, d.scale, log);
        ours.push_back(map.convertToFormat(QImage::Format_BGR888));
        if (depth == 24) {
            theirs.push_back(map.convertToFormat(QImage::Format_RGB888));
            continue;
        }
        // Palette indices as the saver makes them.
        tavik::OutputRows output(tavik::pixelRows(ours.back()), 8, palette);
        QImage indices(map.size(), QImage::Format_Indexed8);
        for (int y = 0; y < map.height(); ++y)
            std::copy_n(output.row(y), map.width(), indices.scanLine(y));
        theirs.push_back(indices);
        ours.back() = indices;
    }
    double chosenSeconds = 0, formerSeconds = 0, defaultSeconds = 0;
    long chosenSize = 0, formerSize = 0, defaultSize = 0;
    size_t runs = 0;
    for (auto _ : state) {
        chosenSize = formerSize = defaultSize = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            double start = cpuSeconds();
            tavik::writePng(d.out + "/chosen.png", "bench", tavik::pixelRows(ours[i]), depth, tavik::standardPalette());
            chosenSeconds += cpuSeconds() - start;
            chosenSize += fileSize(d.out + "/chosen.png");
            start = cpuSeconds();
            formerSize += writeWithLibpng(d.out + "/former.png", theirs[i], depth, false);
            formerSeconds += cpuSeconds() - start;
            start = cpuSeconds();
            defaultSize += writeWithLibpng(d.out + "/defaults.png", theirs[i], depth, true);
            defaultSeconds += cpuSeconds() - start;
            ++runs;
        }
    }
    const double n = static_cast<double>(runs), maps = static_cast<double>(ours.size());
    state.counters["chosen_ms"] = 1000.0 * chosenSeconds / n;
    state.counters["zlib4_ms"] = 1000.0 * formerSeconds / n;
    state.counters["default_ms"] = 1000.0 * defaultSeconds / n;
    state.counters["chosen_kB"] = static_cast<double>(chosenSize) / maps / 1000.0;
    state.counters["zlib4_kB"] = static_cast<double>(formerSize) / maps / 1000.0;
    state.counters["default_kB"] = static_cast<double>(defaultSize) / maps / 1000.0;
    state.counters["size_ratio"] = static_cast<double>(chosenSize) / static_cast<double>(defaultSize);
}
BENCHMARK_CAPTURE(BM_PngEncoding, png24, 24)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_PngEncoding, png8, 8)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The crowded species (18,000 marks) against the empty map: rendering time
// per record above the empty map's. Goal: at most 0.5 µs a record.
void BM_CrowdedSpecies(benchmark::State& state)
{
    Loaded& d = loaded();
    if (!d.ok || !d.crowded) {
        state.SkipWithError("no prepared working folder (run bench/run.sh)");
        return;
    }
    tavik::PageRenderer renderer(d.workspace.renderSources());
    tavik::RecordSet records;
    tavik::MessageLog log;
    d.workspace.distribution().readSpeciesRecords(d.crowded->code, d.workspace.settings(), records, log);
    double crowded = 0, empty = 0;
    long crowdedFaults = 0, emptyFaults = 0;
    size_t runs = 0;
    for (auto _ : state) {
        double start = cpuSeconds();
        long faults = pageFaults();
        QImage map = renderer.render({}, d.scale, log);
        empty += cpuSeconds() - start;
        // One map at a time, as the saver holds them.
        emptyFaults += pageFaults() - faults;
        map = QImage();
        start = cpuSeconds();
        faults = pageFaults();
        map = renderer.render({d.crowded->code}, d.scale, log);
        crowded += cpuSeconds() - start;
        crowdedFaults += pageFaults() - faults;
        benchmark::DoNotOptimize(map);
        ++runs;
    }
    const double n = static_cast<double>(runs), count = static_cast<double>(records.records.size());
    state.counters["records"] = count;
    state.counters["empty_ms"] = 1000.0 * empty / n;
    state.counters["crowded_ms"] = 1000.0 * crowded / n;
    state.counters["us_per_record"] = 1e6 * (crowded - empty) / n / count;
    state.counters["empty_faults"] = static_cast<double>(emptyFaults) / n;
    state.counters["crowded_faults"] = static_cast<double>(crowdedFaults) / n;
}
BENCHMARK(BM_CrowdedSpecies)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A batch of maps (the sample's species over and over) on one worker and on
// one worker per core; the floor is the one-worker time. Wall-clock time, so
// the figure only means something on an otherwise idle machine: the load
// average before the run is reported beside it. Goal: 1.7 times faster on 2.
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
    double load[1] = {0};
    ::getloadavg(load, 1);
    unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (auto _ : state) {
        one += run(1);
        all += run(cores);
    }
    state.counters["one_worker_s"] = one;
    state.counters["all_cores_s"] = all;
    state.counters["cores"] = cores;
    state.counters["load_1min"] = load[0];
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
