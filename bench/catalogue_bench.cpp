// The catalogue, warm cache:
// - a tree of 10,000 project folders (each a project, its ~1 KiB note naming its export, an Audio
//   folder of 5 files; half the exports are there, half are gone): the overview by the search core
//   as it was (no export checked), the overview with every export checked, and "Export introuvable",
//   real time;
// - a list of 100,000 projects written as CSV: the bytes alone, then from the search window's table
//   to the file on the disk, written crash-safe.
#include "forms/search/results_model.h"
#include "bench/timing.h"
#include "search/catalogue.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using orvasel::bench::median;
using orvasel::bench::millisecondsOf;

constexpr int kProjects = 10'000;
constexpr int kListed = 100'000;

fs::path work;

std::string utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

void put(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void makeTree()
{
    const char* words[] = {"refaire", "les", "voix", "basse", "trop", "forte", "au", "refrain", "mixage",
                           "tempo", "120", "guitare", "reprendre", "\xE9t\xE9", "couplet", "pont", "caisse"};
    std::mt19937 random(12345);
    const fs::path exports = work / "Exports";
    fs::create_directories(exports);
    for (int i = 0; i < kProjects; ++i) {
        const std::string name = "Morceau " + std::to_string((i * 7919) % kProjects);
        const fs::path folder = work / "Projets" / name;
        fs::create_directories(folder / "Audio");
        put(folder / (name + ".cpr"), std::string(2048, '\x07'));
        std::string note;
        while (note.size() < 1000) {
            for (int w = 0; w < 10; ++w)
                note += std::string(words[random() % std::size(words)]) + ' ';
            note += "\r\n";
        }
        const fs::path audio = exports / (name + ".wav");
        if (i % 2 == 0)
            put(audio, "RIFF");
        put(folder / (name + ".cpr.info"), note + "EOF\r\n" + utf8(audio) + "\r\n");
        for (int take = 1; take <= 5; ++take)
            put(folder / "Audio" / ("Prise " + std::to_string(take) + ".wav"), std::string(1024, '\x11'));
    }
}

std::size_t overview(const std::optional<orvasel::search::Filter> filter)
{
    orvasel::search::NoteMatcher matcher("");
    const std::atomic<bool> stop{false};
    std::size_t listed = 0;
    orvasel::search::SearchListener listener;
    listener.found = [&](orvasel::search::Found&&) { ++listed; };
    const std::vector<std::string> roots{utf8(work / "Projets")};
    if (!filter) {
        orvasel::search::searchTrees(roots, matcher, stop, listener);
    } else {
        orvasel::search::ExportChecker checker;
        orvasel::search::CatalogueOptions options;
        options.filter = *filter;
        options.readProjects = false;  // as the catalogue was before it read the project files
        orvasel::search::searchCatalogue(roots, matcher, options, checker, stop, listener);
    }
    return listed;
}

// Each iteration: the overview alone, then with every export checked, then "Export introuvable",
// one after the other, so that the machine's load weighs on the three alike; the time reported is
// the filter's.
void ExportMissingBesideOverview(benchmark::State& state)
{
    using orvasel::search::Filter;
    std::vector<double> alone, checked, missing;
    for (auto _ : state) {
        alone.push_back(millisecondsOf([&] {
            if (overview(std::nullopt) != kProjects)
                state.SkipWithError("the overview did not list every project");
        }));
        checked.push_back(millisecondsOf([&] {
            if (overview(Filter::AllProjects) != kProjects)
                state.SkipWithError("the overview did not list every project");
        }));
        missing.push_back(millisecondsOf([&] {
            if (overview(Filter::ExportMissing) != kProjects / 2)
                state.SkipWithError("not every lost export was found");
        }));
        state.SetIterationTime(missing.back() / 1e3);
    }
    state.counters["overview_ms"] = median(alone);
    state.counters["checked_ms"] = median(checked);
    state.counters["missing_ms"] = median(missing);
    state.counters["missing_ratio"] = median(missing) / median(alone);
}

// Rows as a search lists them: accents, now and then a separator, a quote or a leading dash.
std::vector<orvasel::SearchResult> results()
{
    const char* lines[] = {"refaire les voix au refrain", "basse trop forte; revoir le mixage",
                           "- prise 2 : \"la bonne\"", "tempo 120, couplet à reprendre", "été 2019, version acoustique"};
    using orvasel::search::ExportState;
    const ExportState states[] = {ExportState::Present, ExportState::Missing, ExportState::None, ExportState::Unchecked};
    std::vector<orvasel::SearchResult> rows;
    rows.reserve(kListed);
    for (int i = 0; i < kListed; ++i) {
        const QString name = QStringLiteral("Morceau %1").arg(i);
        orvasel::SearchResult row = orvasel::resultOf(name + ".cpr", QStringLiteral("D:\\Musique\\Album %1\\%2\\").arg(i / 12).arg(name),
                                                      QString::fromUtf8(lines[i % std::size(lines)]));
        row.id = std::size_t(i);
        row.exportPath = "D:\\Exports\\" + name + " (mix final).wav";
        row.exportState = states[i % std::size(states)];
        rows.push_back(std::move(row));
    }
    return rows;
}

void ListBytes(benchmark::State& state)
{
    orvasel::ResultsModel table;
    table.add(results());
    const std::vector<orvasel::search::CsvRow> rows = table.csvRows();
    std::size_t size = 0;
    for (auto _ : state)
        size = orvasel::search::csvBytes(rows).size();
    state.SetBytesProcessed(std::int64_t(state.iterations() * size));
}

// As "Exporter la liste…" does it once the file is chosen.
void ListFromTheTableToTheDisk(benchmark::State& state)
{
    orvasel::ResultsModel table;
    table.add(results());
    const std::string file = utf8(work / "liste.csv");
    for (auto _ : state)
        if (!orvasel::search::writeCsv(file, table.csvRows()).ok)
            state.SkipWithError("the list could not be written");
}

BENCHMARK(ExportMissingBesideOverview)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(ListBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(ListFromTheTableToTheDisk)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    work = fs::temp_directory_path() / ("orvasel-catalogue-bench-" + std::to_string(std::random_device{}()));
    makeTree();
    overview(orvasel::search::Filter::AllProjects);  // warm cache, exports included, for every contender alike

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(work);
    return 0;
}
