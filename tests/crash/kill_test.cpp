// Saves killed at random moments, a few hundred times: a child process saves a note over and over,
// each save a new content, and after each kill the file must hold exactly the save the child had
// begun or the one before it. Never a mix, a cut, or an empty file.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

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

// Each version differs from the one before in its bytes and in its size, up to a few hundred kilobytes.
std::string contentOf(std::uint32_t version)
{
    return std::string(version * 7919u % 400000u, char('a' + version % 26)) + " " + std::to_string(version);
}

// The child logs each version before it saves it, stops at a failed save (the parent could not tell
// what to expect then) and gives up after 20 s, so that it never outlives a test that went wrong.
[[noreturn]] void saveForever(const std::string& folder, std::uint32_t version)
{
    std::ofstream log(folder + "/log");
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < end; ++version) {
        log << version << std::endl;
        if (!file_io::writeFileAtomically(folder + "/Chanson.cpr.info", contentOf(version)).ok)
            std::_Exit(4);
    }
    std::_Exit(5);
}

const char* selfPath = nullptr;

// Starts a saving child, lets it run through `meanwhile`, then kills it without warning as a crash or
// a power cut would. 0 when it was killed while saving; else -1 when it could not start, or the code it
// had already stopped with on its own (4: a save failed, 5: its 20 s were over).
#ifdef _WIN32
int killedWhileSaving(const std::string& folder, std::uint32_t version, const std::function<void()>& meanwhile)
{
    std::string command = std::string("\"") + selfPath + "\" --saver \"" + folder + "\" " + std::to_string(version);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Wine, busy with the other tests, now and then refuses to start a process: it is tried again.
    bool started = false;
    for (int attempt = 0; attempt < 10 && !started; ++attempt) {
        started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        if (!started)
            Sleep(100);
    }
    if (!started)
        return -1;
    meanwhile();
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process.hProcess, &code) && code == STILL_ACTIVE;
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return running ? 0 : static_cast<int>(code);
}
#else
int killedWhileSaving(const std::string& folder, std::uint32_t version, const std::function<void()>& meanwhile)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0)
        saveForever(folder, version);
    meanwhile();
    ::kill(child, SIGKILL);
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return -1;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? 0 : WEXITSTATUS(status);
}
#endif

TEST(KillDuringSave, EveryKillLeavesTheFormerOrTheNewContentWhole)
{
    const fs::path root = fs::temp_directory_path() / ("orvasel-kill-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(root));
    const std::string note = (root / "Chanson.cpr.info").string();
    std::uint32_t current = 1;  // the version the file holds now
    ASSERT_TRUE(file_io::writeFileAtomically(note, contentOf(current)).ok);
    std::mt19937 random(std::random_device{}());
    int landedMidSave = 0;  // kills after which the file kept its former content though a save had begun
    for (int round = 0; round < 300; ++round) {
        fs::remove(root / "log");
        // The kill lands a random moment after the first save began: starting a process can take
        // longer than the whole window, under Wine above all.
        ASSERT_EQ(killedWhileSaving(root.string(), current + 1, [&] {
            std::error_code none;
            for (int wait = 0; wait < 20000 && !(fs::file_size(root / "log", none) > 0 && !none); ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        }), 0) << "the saver did not start (-1), or stopped on its own (4: a save failed, 5: 20 s)";
        std::uint32_t begun = 0;
        for (std::ifstream log(root / "log"); log >> begun;) {}
        // Each child starts from the version the file holds, so the one before `begun` is `begun - 1`.
        const std::string bytes = file_io::readWholeFile(note).bytes;
        current = bytes == contentOf(begun) ? begun : begun - 1;
        ASSERT_TRUE(begun > 0 && bytes == contentOf(current)) << "after kill " << round << ", begun " << begun;
        landedMidSave += current != begun;
    }
    EXPECT_GT(landedMidSave, 0) << "no kill landed during a save: the test proved nothing";
    fs::remove_all(root);
}

}  // namespace
}  // namespace orvasel

// The same program is the saver when started with --saver <folder> <first version>.
int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--saver")
        orvasel::saveForever(argv[2], static_cast<std::uint32_t>(std::stoul(argv[3])));
    orvasel::selfPath = argv[0];
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
