// Saves killed at random moments, a few hundred times: a child process saves a note over and over,
// each save a new content, and after each kill the file must hold exactly the save the child had
// begun or the one before it. Never a mix, a cut, or an empty file.
#include "platform/file_io.h"
#include "storage/info_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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

// Save number `version`: each differs in its bytes and mostly in its size (up to a few hundred
// kilobytes, so that kills land mid-write).
std::string contentOf(std::uint32_t version)
{
    const std::string tag = std::to_string(version);
    std::string editor;
    for (std::size_t i = 0; i < (version * 7919u) % 6000u; ++i)
        editor += "Version " + tag + ", ligne " + std::to_string(i) + " : refrain \xe0 reprendre\r\n";
    return info_file::serialize(editor + "Fin " + tag, "D:\\Exports\\mix " + tag + ".wav");
}

// The child: it logs each version (flushed) before it begins to save it. It gives up after 20 s,
// so that it never outlives a test that went wrong.
[[noreturn]] void saveForever(const std::string& folder, std::uint32_t version)
{
    std::ofstream log(folder + "/log");
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < deadline; ++version) {
        log << version << std::endl;
        // A failed save keeps the former content, but then the parent could not tell what to expect.
        if (!file_io::writeFileAtomically(folder + "/Chanson.cpr.info", contentOf(version)).ok)
            std::_Exit(4);
    }
    std::_Exit(5);
}

const char* selfPath = nullptr;

// A saving child, killed without warning as a crash or a power cut would stop it.
#ifdef _WIN32
using Child = HANDLE;
Child startSaver(const std::string& folder, std::uint32_t version)
{
    std::string command = std::string("\"") + selfPath + "\" --saver \"" + folder + "\" " + std::to_string(version);
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}
// True when the child was still running, as it should be.
bool killSaver(Child child)
{
    DWORD code = 0;
    const bool running = GetExitCodeProcess(child, &code) && code == STILL_ACTIVE;
    TerminateProcess(child, 99);
    WaitForSingleObject(child, INFINITE);
    CloseHandle(child);
    return running;
}
#else
using Child = pid_t;
Child startSaver(const std::string& folder, std::uint32_t version)
{
    const pid_t child = fork();
    if (child == 0)
        saveForever(folder, version);
    return child > 0 ? child : 0;
}
bool killSaver(Child child)
{
    ::kill(child, SIGKILL);
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFSIGNALED(status);
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
        const Child child = startSaver(root.string(), current + 1);
        ASSERT_TRUE(child);
        // The kill lands a random moment after the first save began: starting a process can take
        // longer than the whole window, under Wine above all.
        const auto logged = [&] { std::error_code none; return fs::file_size(root / "log", none) > 0 && !none; };
        for (int wait = 0; wait < 20000 && !logged(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        ASSERT_TRUE(killSaver(child)) << "the saver stopped on its own";

        std::ifstream log(root / "log");
        std::uint32_t begun = 0;
        ASSERT_TRUE(log >> begun) << "the saver did not start saving";
        while (log >> begun) {}
        // Each child starts from the version the file holds, so the one before `begun` is `begun - 1`.
        const std::string bytes = file_io::readWholeFile(note).bytes;
        current = bytes == contentOf(begun) ? begun : begun - 1;
        ASSERT_TRUE(bytes == contentOf(current)) << "after kill " << round << " the note holds neither version "
                                                 << begun - 1 << " nor " << begun;
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
