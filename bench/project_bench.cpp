// The catalogue with what is inside each project:
// - 2,000 projects, each a copy of a real Cubase 13 project (800 KB) with its note: the first look
//   (versions and plugins read, a new index) beside reading every project file once with cat, in
//   turn in each iteration; cold (the files' pages dropped from the page cache before each of the
//   two, with posix_fadvise: the folders' entries stay cached) and warm;
// - the same tree looked at again, the index warm, beside the catalogue without project details;
// - 100,000 rows with their details, in the search window's table, sorted by each column both ways:
//   the longest a sort holds the window;
// - the peak memory of the whole process while the catalogue of 10,000 projects (smaller files
//   made here, with a dozen plugin records each) is listed into the window's table.
#include "forms/search/results_model.h"
#include "bench/timing.h"
#include "search/catalogue.h"

#include <QApplication>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using orvasel::bench::median;
using orvasel::bench::millisecondsOf;

constexpr int kRealProjects = 2'000;
constexpr int kManyProjects = 10'000;
constexpr int kRows = 100'000;

fs::path work;
fs::path realTree;   // kRealProjects copies of the real project
fs::path manyTree;   // kManyProjects smaller projects

std::string utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

void put(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string noteNaming(const fs::path& exported)
{
    return "refaire les voix au refrain\r\nbasse trop forte\r\nEOF\r\n" + utf8(exported) + "\r\n";
}

// Records as Cubase writes them: a name is a 4-byte big-endian length and the zero-terminated text.
std::string be32(std::uint64_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}
std::string name(const std::string& text)
{
    return be32(text.size() + 1) + text + '\0';
}
std::string value(const std::string& text)
{
    return std::string("\0\x08", 2) + be32(text.size() + 4) + text + std::string("\0\xEF\xBB\xBF", 4);
}

// A project of about 24 KB: the application record near its start, a dozen plugins spread through it.
std::string smallProject(std::mt19937& random)
{
    const char* plugins[] = {"Omnisphere", "Hive", "Sylenth1", "StudioEQ", "TrackComp", "Elephant", "Serum",
                             "Kontakt", "Massive", "Diva", "ValhallaRoom", "Pro-Q 3", "Decapitator", "Ozone 10"};
    std::string body = std::string(9, '\x01') + name("PAppVersion") + std::string("\0\x02\0\0\0\x52", 6) + name("Cubase")
                       + name("Version 13.0.10") + name("Oct 10 2023") + std::string("\0\0\x01\x90", 4) + name("WIN64");
    for (int i = 0; i < 12; ++i) {
        body += std::string(1800, '\x03');
        body += name("Plugin UID") + std::string("\0\x02\0\x06\0\0\0\x01", 8) + name("GUID")
                + value("565354" + std::to_string(random())) + name("Plugin Name")
                + value(plugins[random() % std::size(plugins)]) + name("Audio Input Count") + std::string(10, '\0');
    }
    const std::string root = "NUNDROOT" + std::string(64, '\x01');
    return "RIFF" + be32(root.size() + body.size()) + root + body;
}

void makeTrees()
{
    const fs::path sample = ORVASEL_SAMPLES_DIR "/cubase/Example Project (Cubase 13).cpr";
    for (int i = 0; i < kRealProjects; ++i) {
        const std::string song = "Chanson " + std::to_string(i);
        const fs::path folder = realTree / ("Artiste " + std::to_string(i / 20)) / song;
        fs::create_directories(folder / "Mixdown");
        fs::copy_file(sample, folder / (song + ".cpr"));
        put(folder / "Mixdown" / (song + ".wav"), "RIFF");
        put(folder / (song + ".cpr.info"), noteNaming(folder / "Mixdown" / (song + ".wav")));
    }
    std::mt19937 random(24);
    for (int i = 0; i < kManyProjects; ++i) {
        const std::string song = "Morceau " + std::to_string(i);
        const fs::path folder = manyTree / ("Artiste " + std::to_string(i / 50)) / song;
        fs::create_directories(folder / "Mixdown");
        put(folder / (song + ".cpr"), smallProject(random));
        put(folder / "Mixdown" / (song + ".wav"), "RIFF");
        if (i % 2 == 0)  // half of them noted; the others' export is found beside them
            put(folder / (song + ".cpr.info"), noteNaming(folder / "Mixdown" / (song + ".wav")));
    }
}

// Every project file's pages out of the page cache: the next read comes from the disk.
void dropFromCache(const fs::path& tree)
{
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        if (entry.path().extension() != ".cpr")
            continue;
        const int file = ::open(entry.path().c_str(), O_RDONLY);
        if (file < 0)
            continue;
        ::fdatasync(file);
        ::posix_fadvise(file, 0, 0, POSIX_FADV_DONTNEED);
        ::close(file);
    }
}

void catEveryProject(benchmark::State& state)
{
    const std::string command = "find '" + utf8(realTree) + "' -name '*.cpr' -print0 | xargs -0 cat >/dev/null";
    if (std::system(command.c_str()) != 0)
        state.SkipWithError("cat failed");
}

struct Listed {
    std::size_t found = 0, detailed = 0, versions = 0;
};

// The catalogue of the tree as the search window runs it, every project listed, into the table when given.
Listed catalogue(const fs::path& tree, bool readProjects, orvasel::search::ProjectIndex* index,
                 orvasel::ResultsModel* table = nullptr)
{
    const orvasel::search::NoteMatcher matcher("");
    const std::atomic<bool> stop{false};
    Listed listed;
    orvasel::search::SearchListener listener;
    listener.found = [&](orvasel::search::Found&& found) {
        ++listed.found;
        if (found.details)
            ++listed.detailed;
        if (found.details && found.details->pluginsKnown)
            ++listed.versions;
        if (table)
            table->add({orvasel::resultOf(std::move(found))});
    };
    listener.detailed = [&](orvasel::search::Detailed&& detailed) {
        ++listed.detailed;
        if (detailed.details.pluginsKnown)
            ++listed.versions;
        if (table)
            table->update({orvasel::updateOf(std::move(detailed))});
    };
    orvasel::search::ExportChecker checker;
    orvasel::search::CatalogueOptions options;
    options.readProjects = readProjects;
    options.index = index;
    orvasel::search::searchCatalogue({utf8(tree)}, matcher, options, checker, stop, listener);
    return listed;
}

bool everyProjectRead(const Listed& listed, int projects)
{
    return listed.found == std::size_t(projects) && listed.detailed == std::size_t(projects)
           && listed.versions == std::size_t(projects);
}

// Each iteration: cat, then the first look with a new index, cold, then the two again warm.
void FirstLookBesideCat(benchmark::State& state)
{
    std::vector<double> catCold, lookCold, catWarm, lookWarm;
    int run = 0;
    for (auto _ : state) {
        const auto firstLook = [&] {
            orvasel::search::ProjectIndex index(utf8(work / ("first-" + std::to_string(run++) + ".sqlite")));
            if (!everyProjectRead(catalogue(realTree, true, &index), kRealProjects))
                state.SkipWithError("not every project was read");
        };
        dropFromCache(realTree);
        catCold.push_back(millisecondsOf([&] { catEveryProject(state); }));
        dropFromCache(realTree);
        lookCold.push_back(millisecondsOf(firstLook));
        catWarm.push_back(millisecondsOf([&] { catEveryProject(state); }));
        lookWarm.push_back(millisecondsOf(firstLook));
        state.SetIterationTime(lookWarm.back() / 1e3);
    }
    state.counters["cat_cold_ms"] = median(catCold);
    state.counters["look_cold_ms"] = median(lookCold);
    state.counters["cold_ratio"] = median(lookCold) / median(catCold);
    state.counters["cat_warm_ms"] = median(catWarm);
    state.counters["look_warm_ms"] = median(lookWarm);
    state.counters["warm_ratio"] = median(lookWarm) / median(catWarm);
}

// Each iteration: the catalogue without project details, then the second look (index warm).
void SecondLookBesideWithoutDetails(benchmark::State& state)
{
    orvasel::search::ProjectIndex index(utf8(work / "second.sqlite"));
    catalogue(realTree, true, &index);  // the first look, which fills the index
    std::vector<double> without, second;
    for (auto _ : state) {
        without.push_back(millisecondsOf([&] {
            if (catalogue(realTree, false, nullptr).found != std::size_t(kRealProjects))
                state.SkipWithError("not every project was listed");
        }));
        second.push_back(millisecondsOf([&] {
            if (!everyProjectRead(catalogue(realTree, true, &index), kRealProjects))
                state.SkipWithError("not every project was told from the index");
        }));
        state.SetIterationTime(second.back() / 1e3);
    }
    state.counters["without_details_ms"] = median(without);
    state.counters["second_look_ms"] = median(second);
    state.counters["ratio"] = median(second) / median(without);
}

// Rows as a catalogue lists them: every column different from row to row.
std::vector<orvasel::SearchResult> detailedRows()
{
    const char* lines[] = {"refaire les voix au refrain", "basse trop forte; revoir le mixage", "plugin : Omnisphere",
                           "tempo 120, couplet à reprendre", "été 2019, version acoustique"};
    const char* versions[] = {"Version 13.0.10", "Version 12.0.70", "Version 14.0.5", "Version 10.5.20"};
    const char* plugins[] = {"Omnisphere", "Hive", "Sylenth1", "StudioEQ", "TrackComp", "Elephant", "Serum", "Kontakt"};
    using orvasel::search::ExportState;
    const ExportState states[] = {ExportState::Present, ExportState::Missing, ExportState::None,
                                  ExportState::Stale, ExportState::ToNote, ExportState::Unchecked};
    std::mt19937 random(100);
    std::vector<orvasel::SearchResult> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        orvasel::search::Found found;
        found.id = std::size_t(i);
        const std::string song = "Morceau " + std::to_string((i * 7919) % kRows);
        found.folder = "D:\\Musique\\Album " + std::to_string(random() % 5000) + "\\" + song + "\\";
        found.project = song + ".cpr";
        found.line = lines[random() % std::size(lines)];
        found.exportState = states[random() % std::size(states)];
        if (found.exportState != ExportState::None && found.exportState != ExportState::ToNote)
            found.exportPath = "D:\\Exports\\" + song + ".wav";
        found.projectFile = {orvasel::file_probe::Presence::File, 800'000,
                             1'600'000'000'000'000'000 + std::int64_t(random() % 200'000'000) * 1'000'000'000};
        orvasel::search::ProjectDetails details;
        details.isProject = true;
        details.application = "Cubase";
        details.version = versions[random() % std::size(versions)];
        details.releaseDate = "Oct 10 2023";
        details.architecture = "WIN64";
        details.pluginsKnown = random() % 10 != 0;
        if (details.pluginsKnown)
            for (std::size_t p = random() % std::size(plugins); p < std::size(plugins); ++p)
                details.plugins.emplace_back(plugins[p]);
        found.details = std::move(details);
        rows.push_back(orvasel::resultOf(std::move(found)));
    }
    return rows;
}

// Each iteration: every column, ascending then descending, in a table shown by a view; the time
// reported is the longest sort's, the counters each column's longest.
void SortByEveryColumn(benchmark::State& state)
{
    orvasel::ResultsModel table;
    table.add(detailedRows());
    QTableView view;
    view.setModel(&table);
    view.resize(1000, 600);
    std::vector<double> longest(orvasel::ResultColumnCount, 0.0);
    for (auto _ : state) {
        double iteration = 0;
        for (int column = 0; column < orvasel::ResultColumnCount; ++column)
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                const double ms = millisecondsOf([&] { table.sort(column, order); });
                longest[std::size_t(column)] = std::max(longest[std::size_t(column)], ms);
                iteration = std::max(iteration, ms);
            }
        if (table.rowCount() != kRows)
            state.SkipWithError("rows were lost");
        state.SetIterationTime(iteration / 1e3);
    }
    for (int column = 0; column < orvasel::ResultColumnCount; ++column)
        state.counters[orvasel::headerOf(column).toStdString() + "_ms"] = longest[std::size_t(column)];
}

std::int64_t peakKibibytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6));
    return -1;
}

// The peak of the whole process (Qt included), from the start of the catalogue: the peak is reset
// before it (Linux: "5" into clear_refs).
void PeakMemoryOfTenThousand(benchmark::State& state)
{
    std::int64_t peak = 0;
    int run = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        orvasel::search::ProjectIndex index(utf8(work / ("many-" + std::to_string(run++) + ".sqlite")));
        orvasel::ResultsModel table;
        if (!everyProjectRead(catalogue(manyTree, true, &index, &table), kManyProjects))
            state.SkipWithError("not every project was read");
        peak = std::max(peak, peakKibibytes());
    }
    state.counters["peak_MiB"] = double(peak) / 1024;
}

// The memory first, before the other runs raise the process's size.
BENCHMARK(PeakMemoryOfTenThousand)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FirstLookBesideCat)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(SecondLookBesideWithoutDetails)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(SortByEveryColumn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    work = fs::temp_directory_path() / ("orvasel-project-bench-" + std::to_string(std::random_device{}()));
    realTree = work / "Projets";
    manyTree = work / "Beaucoup";
    makeTrees();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(work);
    return 0;
}
