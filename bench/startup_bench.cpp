// Start-up: building the distribution index of a large table against the
// floor of reading the same file once.
#include "platform/paths.h"
#include "viewer/settings/distribution_table.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// A distribution table of 2,000 species with 1,000 records each, made once.
const std::string& largeTable()
{
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string file = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavik-bench-ta_vik.csv";
        std::FILE* out = std::fopen(file.c_str(), "wb");
        std::mt19937 random(1);
        const char ranks[] = "ABCZ";
        for (int species = 1; species <= 2000; ++species) {
            std::string line = std::to_string(species * 10);
            for (int k = 0; k < 1000; ++k) {
                switch (random() % 3) {
                case 0:
                    line += "," + std::to_string(1 + random() % 47);
                    break;
                case 1:
                    line += ",JP" + std::to_string(5000 + random() % 1000) + std::to_string(10 + random() % 77)
                        + std::to_string(10 + random() % 89);
                    break;
                default:
                    line += ",N3" + std::to_string(random() % 10) + "." + std::to_string(random() % 60) + "E13"
                        + std::to_string(random() % 10) + "." + std::to_string(random() % 60);
                }
                line += ",";
                line += ranks[random() % 4];
            }
            line += "\r\n";
            std::fwrite(line.data(), 1, line.size(), out);
        }
        std::fclose(out);
        return file;
    }();
    return path;
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The floor: reading the table once, in 1 MiB blocks, as fast as stdio can.
double readFileOnce(const std::string& path)
{
    static std::vector<char> block(1 << 20);
    Clock::time_point start = Clock::now();
    tavik::FilePtr file = tavik::openFile(path, "rb");
    size_t total = 0, got;
    while ((got = std::fread(block.data(), 1, block.size(), file.get())) > 0)
        total += got;
    benchmark::DoNotOptimize(total);
    return secondsSince(start);
}

// Each iteration reads the table once (the floor) and builds its index
// (what start-up does), alternately, so both see the same page cache.
void BM_DistributionIndex(benchmark::State& state)
{
    const std::string& path = largeTable();
    tavik::DistributionTable table;
    double floor = 0, index = 0;
    for (auto _ : state) {
        floor += readFileOnce(path);
        Clock::time_point start = Clock::now();
        if (table.buildIndex(path, 2000) != tavik::DistributionIndexStatus::Ok)
            state.SkipWithError("index failed");
        index += secondsSince(start);
    }
    double runs = static_cast<double>(state.iterations());
    state.counters["species"] = static_cast<double>(table.entries().size());
    state.counters["read_ms"] = 1000.0 * floor / runs;
    state.counters["index_ms"] = 1000.0 * index / runs;
    state.counters["ratio"] = index / floor;
}
BENCHMARK(BM_DistributionIndex)->Unit(benchmark::kMillisecond);

} // namespace
