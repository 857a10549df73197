// The catalogue: a list of 100,000 projects written as CSV (the bytes, then the bytes written
// crash-safe to the disk).
#include "search/csv_export.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 100'000;

// Rows as a search lists them: accents, now and then a separator, a quote or a leading dash.
std::vector<orvasel::search::CsvRow> rows()
{
    const char* lines[] = {"refaire les voix au refrain", "basse trop forte; revoir le mixage",
                           "- prise 2 : \"la bonne\"", "tempo 120, couplet à reprendre", "été 2019, version acoustique"};
    const char* states[] = {"présent", "introuvable", "—", "non vérifié"};
    std::vector<orvasel::search::CsvRow> list;
    list.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        const std::string name = "Morceau " + std::to_string(i);
        list.push_back({name + ".cpr", "D:\\Musique\\Album " + std::to_string(i / 12) + "\\" + name + "\\",
                        lines[i % std::size(lines)], "D:\\Exports\\" + name + " (mix final).wav", states[i % std::size(states)]});
    }
    return list;
}

void CsvBytes(benchmark::State& state)
{
    const auto list = rows();
    std::size_t size = 0;
    for (auto _ : state)
        size = orvasel::search::csvBytes(list).size();
    state.SetBytesProcessed(std::int64_t(state.iterations() * size));
}

void CsvWrittenToDisk(benchmark::State& state)
{
    const auto list = rows();
    const fs::path file = fs::temp_directory_path() / ("orvasel-list-" + std::to_string(std::random_device{}()) + ".csv");
    for (auto _ : state)
        if (!orvasel::search::writeCsv(file.string(), list).ok)
            state.SkipWithError("the list could not be written");
    fs::remove(file);
}

BENCHMARK(CsvBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(CsvWrittenToDisk)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
