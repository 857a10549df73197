// Saves killed at random moments. A child process saves a note and the settings over and over,
// each save a new content; the test kills it at a random moment, a few hundred times, and after
// each kill both files must hold exactly the content of a save: the one the child had started,
// or the one before it. Never a mix of the two, a cut, or an empty file.
#include "platform/file_io.h"
#include "storage/info_file.h"
#include "storage/settings_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

namespace orvasel {
namespace {

namespace fs = std::filesystem;

enum FileIndex : std::uint32_t { kNote, kSettings, kFileCount };

// The bytes of save number `version` of a file: every version differs from the others in its
// bytes and, mostly, in its size (up to a few hundred kilobytes, so that kills land mid-write).
std::string contentOf(std::uint32_t file, std::uint32_t version)
{
    const std::string tag = std::to_string(version);
    if (file == kNote) {
        std::string editor;
        const std::size_t lines = (version * 7919u) % 6000u;
        for (std::size_t i = 0; i < lines; ++i)
            editor += "Version " + tag + ", ligne " + std::to_string(i) + " : refrain \xe0 reprendre\r\n";
        editor += "Fin " + tag;
        return info_file::serialize(editor, "D:\\Exports\\mix " + tag + ".wav");
    }
    settings_file::Settings settings;
    for (std::uint32_t i = 0; i < version % 200u; ++i) {
        settings.folders.push_back("D:\\Projets\\" + tag + "\\" + std::to_string(i) + "\\");
        settings.names.push_back("Signet " + std::to_string(i));
    }
    settings.playerPath = "C:\\Lecteur\\lecteur " + tag + ".exe";
    return settings_file::serialize(settings);
}

struct Announcement { std::uint32_t file, version; };

// The child: before each save it announces the file and the version through the pipe, then saves.
[[noreturn]] void saveForever(int announcements, const std::string (&paths)[kFileCount], std::uint32_t version)
{
    alarm(20);  // never outlives a test that went wrong
    for (;; ++version) {
        for (std::uint32_t file = 0; file < kFileCount; ++file) {
            const Announcement next{file, version};
            if (write(announcements, &next, sizeof next) != sizeof next)
                _exit(3);
            // A save that fails leaves the former content by design, but then this test could not
            // tell which content to expect: stop, and let the parent report it.
            if (!file_io::writeFileAtomically(paths[file], contentOf(file, version)).ok)
                _exit(4);
        }
    }
}

TEST(KillDuringSave, EveryKillLeavesTheFormerOrTheNewContentWhole)
{
    const fs::path folder = fs::temp_directory_path() / ("orvasel-kill-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(folder));
    const std::string paths[kFileCount] = {(folder / "Chanson.cpr.info").string(), (folder / "Orvasel.you").string()};

    // What each file holds now, and what it may hold after the next kill.
    std::uint32_t current[kFileCount] = {1, 1};
    for (std::uint32_t file = 0; file < kFileCount; ++file)
        ASSERT_TRUE(file_io::writeFileAtomically(paths[file], contentOf(file, 1)).ok);

    std::mt19937 random(std::random_device{}());
    std::uint32_t nextVersion = 2;
    int landedMidSave = 0;  // kills after which a file kept its former content though its save had begun

    for (int kill = 0; kill < 300; ++kill) {
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            saveForever(pipeEnds[1], paths, nextVersion);
        close(pipeEnds[1]);
        usleep(useconds_t(random() % 30000));  // microseconds
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped on its own, status " << status;

        // For each file: the version of the save the child last began, and the one before it.
        std::uint32_t former[kFileCount] = {current[0], current[1]};
        std::uint32_t begun[kFileCount] = {current[0], current[1]};
        Announcement announcement{};
        while (read(pipeEnds[0], &announcement, sizeof announcement) == sizeof announcement) {
            former[announcement.file] = begun[announcement.file];
            begun[announcement.file] = announcement.version;
            nextVersion = announcement.version + 1;
        }
        close(pipeEnds[0]);

        for (std::uint32_t file = 0; file < kFileCount; ++file) {
            const std::string bytes = file_io::readWholeFile(paths[file]).bytes;
            current[file] = begun[file];
            if (bytes != contentOf(file, begun[file])) {
                ASSERT_TRUE(bytes == contentOf(file, former[file])) << paths[file] << " after kill " << kill
                    << " holds neither version " << former[file] << " nor " << begun[file];
                current[file] = former[file];
                ++landedMidSave;
            }
        }
    }

    EXPECT_GT(landedMidSave, 0) << "no kill landed during a save: the test proved nothing";
    fs::remove_all(folder);
}

}  // namespace
}  // namespace orvasel
