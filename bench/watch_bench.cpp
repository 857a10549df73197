// The listed folder watched while the disk changes under the window: a folder of 10,000 projects in
// which a project is saved every second, the way Cubase saves (a temporary file, then a rename),
// now a new project, now an existing one again; then, for a few seconds, a save every 50 ms.
// Reports what watching costs the window's thread (CPU time against one core), how long each new
// project takes to reach the list, how many times the folder was listed again and the shortest
// time between two of those listings.
// A timed harness, not a benchmark of repetitions: the figures are rates over real seconds.
//   orvasel_bench_watch [seconds of one save a second, 30 by default]
#include "app/application.h"
#include "forms/main/TForm1.h"
#include "platform/file_io.h"
#include "platform/program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <numeric>
#include <vector>

namespace {

constexpr int kProjects = 10'000;

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QString projectName(int i)
{
    return QStringLiteral("Morceau %1.cpr").arg(i, 5, 10, QLatin1Char('0'));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    orvasel::Application application(argc, argv);
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    QTemporaryDir programDir, folderDir;
    orvasel::program::overrideProgramFolder(programDir.path() + QLatin1Char('/'));
    const QString folder = folderDir.path() + QLatin1Char('/');
    for (int i = 0; i < kProjects; ++i)
        QFile(folder + projectName(i)).open(QIODevice::WriteOnly);

    orvasel::CreateWindows();
    Form1->DirectoryListBox1->SetDirectory(folderDir.path());
    if (Form1->ListBox2->count() != kProjects) {
        std::fprintf(stderr, "the folder was not listed\n");
        return 1;
    }

    // Saves, one a second, from the window's own thread between its events: a save takes well under
    // a millisecond and is not counted in the window's time below.
    QElapsedTimer clock;
    clock.start();
    std::map<QString, qint64> awaited;  // a new project -> when it was saved
    std::vector<qint64> latencies, listings;
    double savingCpu = 0;
    int saved = 0;
    QTimer saver;
    QObject::connect(&saver, &QTimer::timeout, [&] {
        const double before = threadCpuSeconds();
        const bool fresh = saved % 2 == 0;
        const QString name = fresh ? projectName(kProjects + saved) : projectName(saved * 37 % kProjects);
        orvasel::file_io::writeFileAtomically((folder + name).toStdString(), "cubase project");
        if (fresh)
            awaited[name] = clock.elapsed();
        ++saved;
        savingCpu += threadCpuSeconds() - before;
    });
    // Runs right after the window's own handler of the same notice: the list is up to date here.
    QObject::connect(&Form1->DiskWatch1, &orvasel::DiskWatch::FolderChange, [&] {
        listings.push_back(clock.elapsed());
        for (auto it = awaited.begin(); it != awaited.end();) {
            if (Form1->ListBox2->findItems(it->first, Qt::MatchExactly).isEmpty()) {
                ++it;
                continue;
            }
            latencies.push_back(clock.elapsed() - it->second);
            it = awaited.erase(it);
        }
    });
    constexpr int kStreamSeconds = 5;
    saver.start(1000);
    double cpuBefore = threadCpuSeconds();
    QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
    QCoreApplication::exec();
    const double windowCpu = threadCpuSeconds() - cpuBefore - savingCpu;
    const int savedOnePerSecond = saved;
    const std::size_t listingsOnePerSecond = listings.size();

    savingCpu = 0;
    saver.start(50);
    cpuBefore = threadCpuSeconds();
    QTimer::singleShot(kStreamSeconds * 1000, &application, &QCoreApplication::quit);
    QCoreApplication::exec();
    const double streamCpu = threadCpuSeconds() - cpuBefore - savingCpu;
    // The last saves reach the list too.
    saver.stop();
    QTimer::singleShot(1500, &application, &QCoreApplication::quit);
    QCoreApplication::exec();

    std::sort(latencies.begin(), latencies.end());
    qint64 shortestGap = -1;
    for (std::size_t i = 1; i < listings.size(); ++i)
        if (shortestGap < 0 || listings[i] - listings[i - 1] < shortestGap)
            shortestGap = listings[i] - listings[i - 1];
    const double meanLatency =
        latencies.empty() ? 0 : double(std::accumulate(latencies.begin(), latencies.end(), qint64(0))) / double(latencies.size());
    std::printf("folder of %d projects, %d saves in %d s (half of them new projects)\n", kProjects,
                savedOnePerSecond, seconds);
    std::printf("window thread CPU while watching: %.2f %% of one core\n", 100.0 * windowCpu / seconds);
    std::printf("then %d saves in %d s: %zu listings, %.1f %% of one core\n", saved - savedOnePerSecond,
                kStreamSeconds, listings.size() - listingsOnePerSecond, 100.0 * streamCpu / kStreamSeconds);
    std::printf("new project to the list: mean %.0f ms, worst %lld ms; %zu of %d not seen\n", meanLatency,
                latencies.empty() ? -1LL : (long long)latencies.back(), awaited.size(), (saved + 1) / 2);
    std::printf("listings again: %zu, shortest gap between two: %lld ms\n", listings.size(), (long long)shortestGap);
    orvasel::DestroyWindows();
    return awaited.empty() ? 0 : 1;
}
