// The check of the exports: a volume that does not answer, and the volume of a path.
#include "search/export_check.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace orvasel::search {
namespace {

using file_probe::Presence;

// A stand-in for the file system whose volume "nas" does not answer until it is let go.
struct StalledShare {
    std::mutex mutex;
    std::condition_variable released;
    bool answering = false;
    int asked = 0;  // questions that reached the share
};

TEST(ExportChecker, AShareThatDoesNotAnswerCountsAsNotCheckedAndHoldsUpNeitherTheOthersNorItsLaterChecks)
{
    const auto share = std::make_shared<StalledShare>();
    ExportChecker::FileSystem fileSystem;
    fileSystem.volumeOf = [](const std::string& path) { return path.substr(0, path.find('/', 1)); };
    fileSystem.probe = [share](const std::string& path) {
        if (path.starts_with("/nas/")) {
            std::unique_lock lock(share->mutex);
            ++share->asked;
            share->released.wait(lock, [&] { return share->answering; });
        }
        return path.ends_with("gone.wav") ? Presence::Missing : Presence::File;
    };
    std::map<std::size_t, ExportState> answers;
    const auto answer = [&](std::size_t ticket, ExportState state) { answers[ticket] = state; };
    ExportChecker checker(fileSystem, std::chrono::milliseconds(300));

    const std::size_t stalled = checker.ask("/nas/album/mix.wav");
    const std::size_t local = checker.ask("/home/mix.wav"), lost = checker.ask("/home/gone.wav");
    checker.finish(answer, [] { return false; });  // returns once the share's time is up
    EXPECT_EQ(answers, (std::map<std::size_t, ExportState>{
                           {stalled, ExportState::Unchecked}, {local, ExportState::Present}, {lost, ExportState::Missing}}));

    // Known not to answer: a later check there ends at once, without asking it again.
    answers.clear();
    const std::size_t later = checker.ask("/nas/album/other.wav");
    checker.collect(answer);
    EXPECT_EQ(answers, (std::map<std::size_t, ExportState>{{later, ExportState::Unchecked}}));
    {
        std::lock_guard lock(share->mutex);
        EXPECT_EQ(share->asked, 1);
        share->answering = true;
    }
    share->released.notify_all();

    // Once it answers again, it is asked again.
    ExportState again = ExportState::Unchecked;
    for (int tries = 0; tries < 200 && again != ExportState::Missing; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::size_t ticket = checker.ask("/nas/album/gone.wav");
        checker.finish(answer, [] { return false; });
        again = answers.at(ticket);
    }
    EXPECT_EQ(again, ExportState::Missing) << "the share was not asked again";
}

TEST(FileProbe, TheVolumeOfAPathIsItsDriveShareOrMountPointAndOnlyFullPathsHaveOne)
{
#ifdef _WIN32
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Audio\\mix.wav", "c:"}, {"d:/Exports/mix.wav", "d:"}, {"\\\\NAS\\Musique\\Album\\mix.wav", "\\\\nas\\musique"},
        {"\\\\?\\C:\\Audio\\mix.wav", "c:"}, {"\\\\?\\UNC\\nas\\musique\\mix.wav", "\\\\nas\\musique"},
        {"C:mix.wav", ""}, {"mix.wav", ""}, {"\\Audio\\mix.wav", ""}, {"\\\\nas", ""}, {"\\\\nas\\", ""}, {"", ""},
    };
    const std::vector<std::string> mounts;
#else
    const std::pair<std::string, std::string> cases[] = {
        {"/media/moi/Disque 2/mix.wav", "/media/moi/Disque 2"}, {"/media/moi/Disque 20/mix.wav", "/media/moi"},
        {"/home/moi/mix.wav", "/"}, {"C:\\Audio\\mix.wav", ""}, {"mix.wav", ""}, {"", ""},
    };
    const std::vector<std::string> mounts = {"/", "/media/moi", "/media/moi/Disque 2", "/proc"};
#endif
    for (const auto& [path, volume] : cases)
        EXPECT_EQ(file_probe::volumeOf(path, mounts), volume) << path;
}

}  // namespace
}  // namespace orvasel::search
