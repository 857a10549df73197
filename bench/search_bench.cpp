// The search through the notes, on two generated trees, warm cache:
// - a tree laid out as Cubase leaves it (year / artist / song folders; each song with its project,
//   its note, a .bak, Audio/ of 20 takes, Edits/, Images/, Auto Saves/ and Mixdown/): a word found
//   in 1% of the notes, beside ripgrep reading only the notes (rg -li -g '*.cpr.info'), the two
//   run in turn in each iteration; the search also folds accents, which ripgrep does not. And the
//   time from a click on "Rechercher" to the first row in the window.
// - a tree of 100,000 projects: the overview (no text: every project) by the search core alone,
//   then streamed into the search window, shown, with the longest time the window's event loop
//   was held (a 1 ms heartbeat timer's longest gap).
#include "forms/search/results_model.h"
#include "forms/search/search_window.h"
#include "search/tree_search.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kWord = "xylophone";

fs::path cubaseTree;
constexpr int kSongs = 6 * 12 * 25;  // years, artists a year, songs an artist
constexpr int kSongsWithWord = kSongs / 100;

fs::path overviewTree;
constexpr int kSongFolders = 10'000;
constexpr int kVersionsPerSong = 10;
constexpr int kOverviewProjects = kSongFolders * kVersionsPerSong;

void put(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string note(std::mt19937& random, std::size_t size, bool withWord)
{
    const char* words[] = {"refaire", "les", "voix", "basse", "trop", "forte", "au", "refrain", "mixage",
                           "tempo", "120", "guitare", "reprendre", "\xE9t\xE9", "couplet", "pont", "caisse",
                           "claire", "compresseur", "chanteuse", "prise", "deux", "batterie", "\xE0", "revoir"};
    std::string text;
    while (text.size() < size) {
        for (int w = 0; w < 10; ++w)
            text += std::string(words[random() % std::size(words)]) + ' ';
        if (withWord && text.size() > size / 2 && text.find(kWord) == std::string::npos)
            text += kWord;
        text += "\r\n";
    }
    return text + "EOF\r\nD:\\Exports\\mix.wav\r\n";
}

// year / artist / song, as Cubase leaves a song's folder.
fs::path songFolder(const fs::path& tree, int song, int artistsPerYear, int songsPerArtist)
{
    const int artist = song / songsPerArtist;
    return tree / std::to_string(2010 + artist / artistsPerYear) / ("Artiste " + std::to_string(artist))
        / ("Chanson " + std::to_string((song * 7919) % 100'000));
}

void makeCubaseTree()
{
    std::mt19937 random(2024);
    const std::string project(8192, '\x07'), audio(2048, '\x11'), peak(512, '\x22');
    for (int song = 0; song < kSongs; ++song) {
        const fs::path folder = songFolder(cubaseTree, song, 12, 25);
        const std::string name = folder.filename().string();
        for (const char* sub : {"Audio", "Edits", "Images", "Auto Saves", "Mixdown"})
            fs::create_directories(folder / sub);
        put(folder / (name + ".cpr"), project);
        put(folder / (name + ".bak"), project);
        put(folder / (name + ".cpr.info"), note(random, 1000, song % (kSongs / kSongsWithWord) == 0));
        for (int take = 1; take <= 20; ++take) {
            put(folder / "Audio" / ("Voix_" + std::to_string(take) + ".wav"), audio);
            if (take <= 5)
                put(folder / "Images" / ("Voix_" + std::to_string(take) + ".peak"), peak);
        }
        for (int save = 1; save <= 3; ++save)
            put(folder / "Auto Saves" / (name + "-0" + std::to_string(save) + ".bak"), project);
        put(folder / "Mixdown" / (name + ".wav"), audio);
    }
}

void makeOverviewTree()
{
    std::mt19937 random(100'000);
    for (int song = 0; song < kSongFolders; ++song) {
        const fs::path folder = songFolder(overviewTree, song, 20, 50);
        fs::create_directories(folder);
        const std::string name = folder.filename().string();
        for (int version = 1; version <= kVersionsPerSong; ++version) {
            const std::string project = name + " v" + std::to_string(version) + ".cpr";
            put(folder / project, "");
            put(folder / (project + ".info"), note(random, 200, false));
        }
    }
}

std::string rootOf(const fs::path& tree)
{
    return tree.string() + "/";
}

std::size_t searchCore(const fs::path& tree, const std::string& query)
{
    orvasel::search::NoteMatcher matcher(query);
    std::atomic<bool> stop{false};
    std::size_t found = 0;
    orvasel::search::SearchListener listener;
    listener.found = [&](orvasel::search::Found&&) { ++found; };
    orvasel::search::searchTrees({rootOf(tree)}, matcher, stop, listener);
    return found;
}

double secondsOf(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each iteration: ripgrep, then the search; the time reported is the search's.
void WordBesideRipgrep(benchmark::State& state)
{
    const std::string ripgrep = "rg -li -g '*.cpr.info' " + std::string(kWord) + " '" + cubaseTree.string() +
        "' | wc -l | grep -qx " + std::to_string(kSongsWithWord);
    std::vector<double> ripgrepTimes, searchTimes;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (std::system(ripgrep.c_str()) != 0)
            state.SkipWithError("ripgrep is missing or did not find every note with the word");
        ripgrepTimes.push_back(secondsOf(clock));
        clock.restart();
        if (searchCore(cubaseTree, kWord) != kSongsWithWord)
            state.SkipWithError("the search did not find every note with the word");
        searchTimes.push_back(secondsOf(clock));
        state.SetIterationTime(searchTimes.back());
    }
    state.counters["ripgrep_ms"] = median(ripgrepTimes) * 1e3;
    state.counters["search_ms"] = median(searchTimes) * 1e3;
    state.counters["ratio"] = median(searchTimes) / median(ripgrepTimes);
}

orvasel::SearchWindow::Links linksTo(const fs::path& tree)
{
    return {[tree] { return QString::fromStdString(tree.string()); }, [] { return QStringList(); },
            [](const QString&, const QString&) {}};
}

// From the click on "Rechercher" to the first row in the table, through the worker and the
// window's event queue.
void FirstResultInWindow(benchmark::State& state)
{
    orvasel::SearchWindow window(nullptr, linksTo(cubaseTree));
    window.folderEdit->setText(QString::fromStdString(cubaseTree.string()));
    window.queryEdit->setText(QString::fromLatin1(kWord));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        window.startSearch();
        while (window.results->rowCount() == 0 && window.searching())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(secondsOf(clock));
        window.stopSearch();
    }
}

// Each iteration: the overview by the core alone, then in the shown window until its end; the
// time reported is the window's.
void OverviewInWindow(benchmark::State& state)
{
    orvasel::SearchWindow window(nullptr, linksTo(overviewTree));
    window.folderEdit->setText(QString::fromStdString(overviewTree.string()));
    window.queryEdit->clear();
    window.show();
    QApplication::processEvents();  // shown and painted once before any measure
    // The longest gap between two beats, in time and in the window thread's own processor time
    // (the machine is shared: the first also counts the time the thread waited for a processor).
    QElapsedTimer sinceBeat;
    double lastBeatCpu = 0, longestGap = 0, longestCpuGap = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, double(sinceBeat.nsecsElapsed()) / 1e9);
        sinceBeat.restart();
        const double cpu = threadCpuSeconds();
        longestCpuGap = std::max(longestCpuGap, cpu - lastBeatCpu);
        lastBeatCpu = cpu;
    });
    std::vector<double> coreTimes, windowTimes;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (searchCore(overviewTree, "") != kOverviewProjects)
            state.SkipWithError("the core did not list every project");
        coreTimes.push_back(secondsOf(clock));

        clock.restart();
        window.startSearch();
        sinceBeat.start();
        lastBeatCpu = threadCpuSeconds();
        heartbeat.start();
        while (window.searching())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        heartbeat.stop();
        windowTimes.push_back(secondsOf(clock));
        state.SetIterationTime(windowTimes.back());
        if (window.results->rowCount() != kOverviewProjects)
            state.SkipWithError("the window did not list every project");
    }
    state.counters["core_ms"] = median(coreTimes) * 1e3;
    state.counters["window_ms"] = median(windowTimes) * 1e3;
    state.counters["ratio"] = median(windowTimes) / median(coreTimes);
    state.counters["longest_stall_ms"] = longestGap * 1e3;
    state.counters["longest_stall_cpu_ms"] = longestCpuGap * 1e3;
}

BENCHMARK(WordBesideRipgrep)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(FirstResultInWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(OverviewInWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The trees take minutes to make: with ORVASEL_BENCH_TREES set, they are made in that folder
    // once and kept for the next runs.
    const QString kept = qEnvironmentVariable("ORVASEL_BENCH_TREES");
    const fs::path trees = kept.isEmpty()
        ? fs::temp_directory_path() / ("orvasel-search-bench-" + std::to_string(std::random_device{}()))
        : fs::path(kept.toStdString());
    cubaseTree = trees / "cubase";
    overviewTree = trees / "overview";
    if (!fs::exists(cubaseTree))
        makeCubaseTree();
    if (!fs::exists(overviewTree))
        makeOverviewTree();
    searchCore(cubaseTree, "");  // warm cache, for every contender alike
    searchCore(overviewTree, "");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (kept.isEmpty())
        fs::remove_all(trees);
    return 0;
}
