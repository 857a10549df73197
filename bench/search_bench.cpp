// Searching the notes of a tree of 10,000 project folders (each a project, its ~1 KiB note and an
// Audio folder of 5 files), side by side with "grep -rli" for the same word over the same tree,
// warm cache. The word is in 1% of the notes. Also the overview (no text: every project), and the
// time until the first result is in the search window's table.
#include "forms/search/results_model.h"
#include "forms/search/search_window.h"
#include "search/tree_search.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;

constexpr int kProjects = 10'000;
constexpr int kWithWord = kProjects / 100;
constexpr const char* kWord = "xylophone";

fs::path tree;

void makeTree()
{
    const char* words[] = {"refaire", "les", "voix", "basse", "trop", "forte", "au", "refrain", "mixage",
                           "tempo", "120", "guitare", "reprendre", "\xE9t\xE9", "couplet", "pont", "caisse",
                           "claire", "compresseur", "chanteuse", "prise", "deux", "batterie", "\xE0", "revoir"};
    std::mt19937 random(12345);
    const std::string cubase(2048, '\x07');
    const std::string audio(1024, '\x11');
    for (int i = 0; i < kProjects; ++i) {
        const std::string name = "Morceau " + std::to_string((i * 7919) % kProjects);
        const fs::path folder = tree / name;
        fs::create_directories(folder / "Audio");
        std::ofstream(folder / (name + ".cpr"), std::ios::binary) << cubase;
        std::string note;
        while (note.size() < 1000) {
            for (int w = 0; w < 10; ++w)
                note += std::string(words[random() % std::size(words)]) + ' ';
            if (note.size() > 500 && i % (kProjects / kWithWord) == 0 && note.find(kWord) == std::string::npos)
                note += kWord;
            note += "\r\n";
        }
        std::ofstream(folder / (name + ".cpr.info"), std::ios::binary)
            << note << "EOF\r\nD:\\Exports\\" << name << ".wav\r\n";
        for (int take = 1; take <= 5; ++take)
            std::ofstream(folder / "Audio" / ("Prise " + std::to_string(take) + ".wav"), std::ios::binary) << audio;
    }
}

std::size_t searchAll(const std::string& query, bool stopAtFirst)
{
    orvasel::search::NoteMatcher matcher(query);
    std::atomic<bool> stop{false};
    std::size_t found = 0;
    orvasel::search::SearchListener listener;
    listener.found = [&](orvasel::search::Found&&) {
        ++found;
        if (stopAtFirst)
            stop = true;
    };
    orvasel::search::searchTrees({tree.string()}, matcher, stop, listener);
    return found;
}

void GrepRli(benchmark::State& state)
{
    const std::string command = "grep -rli " + std::string(kWord) + " '" + tree.string() + "' | wc -l > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("grep failed");
}

void SearchWord(benchmark::State& state)
{
    for (auto _ : state)
        if (searchAll(kWord, false) != kWithWord)
            state.SkipWithError("the search did not find every note with the word");
}

void Overview(benchmark::State& state)
{
    for (auto _ : state)
        if (searchAll("", false) != kProjects)
            state.SkipWithError("the overview did not list every project");
}

// From the click on "Rechercher" to the first row in the table, through the worker and the
// window's event queue.
void FirstResultInWindow(benchmark::State& state)
{
    orvasel::SearchWindow window(nullptr, {[] { return QString::fromStdString(tree.string()); },
                                           [] { return QStringList(); }, [](const QString&, const QString&) {}});
    window.folderEdit->setText(QString::fromStdString(tree.string()));
    window.queryEdit->setText(QString::fromLatin1(kWord));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        window.startSearch();
        while (window.results->rowCount() == 0 && window.searching())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        window.stopSearch();
    }
}

BENCHMARK(GrepRli)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(SearchWord)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Overview)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(FirstResultInWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    tree = fs::temp_directory_path() / ("orvasel-search-bench-" + std::to_string(std::random_device{}()));
    makeTree();
    searchAll("", false);  // warm cache, for every contender alike

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(tree);
    return 0;
}
