// Listing a large folder through the real project list (search, fill, sort), next to a bare
// scan of the same folder: the listing should stay within a few times the scan.
#include "app/application.h"
#include "forms/main/TForm1.h"
#include "forms/main/state.h"
#include "platform/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <dirent.h>

namespace {

constexpr int kEntries = 50'000;
constexpr int kProjects = 10'000;

QString folderText;

void fillFolder(const QString& folder)
{
    // Names in no particular order and of mixed case, as a real folder has them.
    for (int i = 0; i < kEntries; ++i) {
        const bool project = i % (kEntries / kProjects) == 0;
        const QString name = QStringLiteral("%1 Morceau %2%3")
                                 .arg(QChar(i % 2 ? 'a' + i % 26 : 'A' + i % 26))
                                 .arg((i * 7919) % kEntries)
                                 .arg(project ? (i % 3 ? ".cpr" : ".CPR") : ".wav");
        QFile file(folder + name);
        file.open(QIODevice::WriteOnly);
    }
}

void BareScan(benchmark::State& state)
{
    const QByteArray folder = folderText.toUtf8();
    for (auto _ : state) {
        int entries = 0;
        DIR* dir = opendir(folder.constData());
        while (readdir(dir))
            ++entries;
        closedir(dir);
        benchmark::DoNotOptimize(entries);
    }
}

void Listing(benchmark::State& state)
{
    for (auto _ : state) {
        CurrentFolder = folderText;
        Form1->Button3Click(Form1);
        if (Form1->ListBox2->count() != kProjects)
            state.SkipWithError("the listing did not find every project");
    }
}

BENCHMARK(BareScan)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Listing)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    orvasel::Application application(argc, argv);
    QTemporaryDir programDir;
    QTemporaryDir work;
    orvasel::program::overrideProgramFolder(programDir.path() + QLatin1Char('/'));
    folderText = work.path() + QLatin1Char('/');
    fillFolder(folderText);
    orvasel::CreateWindows();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    orvasel::DestroyWindows();
    return 0;
}
