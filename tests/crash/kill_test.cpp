// Saves killed at random moments. A child process saves a note and the settings over and over,
// each save a new content; the test kills it at a random moment, a few hundred times, and after
// each kill both files must hold exactly the content of a save: the one the child had started,
// or the one before it. Never a mix of the two, a cut, or an empty file.
#include "platform/file_io.h"
#include "storage/info_file.h"
#include "storage/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// The child: before each save it announces the file and the version on its output, then saves.
// It gives up after 20 s, so that it never outlives a test that went wrong.
[[noreturn]] void saveForever(const std::string (&paths)[kFileCount], std::uint32_t version)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (; std::chrono::steady_clock::now() < deadline; ++version) {
        for (std::uint32_t file = 0; file < kFileCount; ++file) {
            const Announcement next{file, version};
#ifdef _WIN32
            DWORD written = 0;
            if (!WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), &next, sizeof next, &written, nullptr) || written != sizeof next)
                ExitProcess(3);
#else
            if (write(STDOUT_FILENO, &next, sizeof next) != sizeof next)
                _exit(3);
#endif
            // A save that fails leaves the former content by design, but then this test could not
            // tell which content to expect: stop, and let the parent report it.
            if (!file_io::writeFileAtomically(paths[file], contentOf(file, version)).ok)
                std::_Exit(4);
        }
    }
    std::_Exit(5);
}

// A saving child process, killed without warning as a crash or a power cut would stop it.
class Saver {
public:
    Saver(const char* self, const std::string (&paths)[kFileCount], std::uint32_t version)
    {
#ifdef _WIN32
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE childEnd = nullptr;
        if (!CreatePipe(&output_, &childEnd, &inherit, 0))
            return;
        SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = childEnd;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::string command = std::string("\"") + self + "\" --saver \"" + paths[kNote] + "\" \"" + paths[kSettings]
            + "\" " + std::to_string(version);
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
            process_ = process.hProcess;
            CloseHandle(process.hThread);
        }
        CloseHandle(childEnd);
#else
        (void)self;
        int ends[2];
        if (pipe(ends) != 0)
            return;
        child_ = fork();
        if (child_ == 0) {
            close(ends[0]);
            dup2(ends[1], STDOUT_FILENO);
            close(ends[1]);
            saveForever(paths, version);
        }
        close(ends[1]);
        output_ = ends[0];
#endif
    }
    ~Saver()
    {
#ifdef _WIN32
        if (output_) CloseHandle(output_);
        if (process_) CloseHandle(process_);
#else
        if (output_ >= 0) close(output_);
#endif
    }
    bool started() const
    {
#ifdef _WIN32
        return process_ != nullptr;
#else
        return child_ > 0;
#endif
    }
    // The next announcement; false once the child is gone and all were read.
    bool next(Announcement& announcement)
    {
#ifdef _WIN32
        DWORD got = 0;
        return ReadFile(output_, &announcement, sizeof announcement, &got, nullptr) && got == sizeof announcement;
#else
        return read(output_, &announcement, sizeof announcement) == sizeof announcement;
#endif
    }
    // Kills the child; true when it was still running, as it should be.
    bool kill()
    {
#ifdef _WIN32
        DWORD code = 0;
        const bool running = GetExitCodeProcess(process_, &code) && code == STILL_ACTIVE;
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, INFINITE);
        return running;
#else
        ::kill(child_, SIGKILL);
        int status = 0;
        return waitpid(child_, &status, 0) == child_ && WIFSIGNALED(status);
#endif
    }

private:
#ifdef _WIN32
    HANDLE output_ = nullptr;
    HANDLE process_ = nullptr;
#else
    int output_ = -1;
    pid_t child_ = -1;
#endif
};

const char* selfPath = nullptr;

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
        Saver saver(selfPath, paths, nextVersion);
        ASSERT_TRUE(saver.started());
        // For each file: the version of the save the child last began, and the one before it.
        std::uint32_t former[kFileCount] = {current[0], current[1]};
        std::uint32_t begun[kFileCount] = {current[0], current[1]};
        const auto note = [&](const Announcement& announcement) {
            former[announcement.file] = begun[announcement.file];
            begun[announcement.file] = announcement.version;
            nextVersion = announcement.version + 1;
        };
        // The kill lands a random moment after the first save began (starting a process can take
        // longer than the whole window, under Wine above all).
        Announcement announcement{};
        ASSERT_TRUE(saver.next(announcement)) << "the saver did not start saving";
        note(announcement);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        ASSERT_TRUE(saver.kill()) << "the saver stopped on its own";
        while (saver.next(announcement))
            note(announcement);

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

// The same program is the saver when started with --saver <note> <settings> <first version>.
int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--saver") {
        const std::string paths[orvasel::kFileCount] = {argv[2], argv[3]};
        orvasel::saveForever(paths, static_cast<std::uint32_t>(std::stoul(argv[4])));
    }
    orvasel::selfPath = argv[0];
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
