// Start-up: building the distribution index of a large table against the
// floor of reading the same file once.
#include "platform/paths.h"
#include "viewer/settings/distribution_table.h"

#include <benchmark/benchmark.h>

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
                    line += ",JP" + std::to_string(5000 + random() % 1000) + std::to_string(10 + random() % 77) +
                        std::to_string(10 + random() % 89);
                    break;
                default:
                    line += ",N3" + std::to_string(random() % 10) + "." + std::to_string(random() % 60) + "E13" +
                        std::to_string(random() % 10) + "." + std::to_string(random() % 60);
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

void BM_ReadFileOnce(benchmark::State& state)
{
    std::vector<char> block(1 << 20);
    size_t total = 0;
    for (auto _ : state) {
        tavik::FilePtr file = tavik::openFile(largeTable(), "rb");
        size_t got;
        while ((got = std::fread(block.data(), 1, block.size(), file.get())) > 0)
            total += got;
    }
    benchmark::DoNotOptimize(total);
    state.SetBytesProcessed(static_cast<int64_t>(total));
}
BENCHMARK(BM_ReadFileOnce)->Unit(benchmark::kMillisecond);

void BM_BuildDistributionIndex(benchmark::State& state)
{
    tavik::DistributionTable table;
    for (auto _ : state) {
        if (table.buildIndex(largeTable(), 2000) != tavik::DistributionIndexStatus::Ok)
            state.SkipWithError("index failed");
    }
    state.counters["lines"] = static_cast<double>(table.entries().size());
}
BENCHMARK(BM_BuildDistributionIndex)->Unit(benchmark::kMillisecond);

}  // namespace
