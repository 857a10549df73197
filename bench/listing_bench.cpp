// Listing a large folder through the real window (search, fill, sort), next to the floor: a bare
// scan of the same folder that keeps the project names and sorts them. The listing should stay
// within 1.5 times the floor, and grow with the folder no faster than the floor does.
// Folders of 10,000, 50,000 and 200,000 entries, one in five of them a project.
#include "app/application.h"
#include "forms/main/TForm1.h"
#include "forms/main/state.h"
#include "platform/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <map>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

namespace {

constexpr int kProjectEvery = 5;

std::map<int, std::unique_ptr<QTemporaryDir>> folders;

// The folder text of a folder of this many entries, made at first use.
QString folderOf(int entries)
{
    auto& dir = folders[entries];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        const QString folder = dir->path() + QLatin1Char('/');
        // Names in no particular order and of mixed case, as a real folder has them.
        for (int i = 0; i < entries; ++i) {
            const bool project = i % kProjectEvery == 0;
            const QString name = QStringLiteral("%1 Morceau %2%3")
                                     .arg(QChar(i % 2 ? 'a' + i % 26 : 'A' + i % 26))
                                     .arg((i * 7919) % entries)
                                     .arg(project ? (i % 3 ? ".cpr" : ".CPR") : ".wav");
            QFile file(folder + name);
            file.open(QIODevice::WriteOnly);
        }
    }
    return dir->path() + QLatin1Char('/');
}

bool isProject(const char* name)
{
    const std::size_t length = std::strlen(name);
    return length >= 4 && strcasecmp(name + length - 4, ".cpr") == 0;
}

void BareScanAndSort(benchmark::State& state)
{
    const QByteArray folder = folderOf(int(state.range(0))).toUtf8();
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = opendir(folder.constData());
        while (const dirent* entry = readdir(dir))
            if (isProject(entry->d_name))
                names.emplace_back(entry->d_name);
        closedir(dir);
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
        benchmark::DoNotOptimize(names.data());
    }
}

void Listing(benchmark::State& state)
{
    const QString folder = folderOf(int(state.range(0)));
    const int projects = int(state.range(0)) / kProjectEvery;
    for (auto _ : state) {
        CurrentFolder = folder;
        Form1->Button3Click(Form1);
        if (Form1->ListBox2->count() != projects)
            state.SkipWithError("the listing did not find every project");
    }
}

BENCHMARK(BareScanAndSort)->Arg(10'000)->Arg(50'000)->Arg(200'000)->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Listing)->Arg(10'000)->Arg(50'000)->Arg(200'000)->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    orvasel::Application application(argc, argv);
    QTemporaryDir programDir;
    orvasel::program::overrideProgramFolder(programDir.path() + QLatin1Char('/'));
    orvasel::CreateWindows();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    orvasel::DestroyWindows();
    folders.clear();
    return 0;
}
