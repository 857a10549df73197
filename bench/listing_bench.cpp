// What a click on "Rafraichir" costs the user, paid by the real program: the orvasel binary started
// on a virtual display with a bookmark on a large folder, its button clicked from outside as a mouse
// clicks it (xdotool, through the X server's test extension), then closed with a close request as a
// window manager sends it. A click's cost is the program's processor time over its clicks less that
// of a run without clicks over as long a time, divided by the clicks, both counted from the window
// shown and idle; every line of the program takes part (the busy cursor, the lists, the repaint, the
// folder watch...). In the same run, in turn with the program,
// the floor: a bare readdir of the same folder keeping the .cpr names and sorting them.
// Also the program's peak memory (maximum resident set) and its start-up to the main window shown.
// Folders of 10,000, 50,000 and 200,000 entries, one in five of them a project.
//   orvasel_bench_listing PROGRAM [--entries N,N,...] [--runs R] [--clicks-cost MS]
// Needs Xvfb and xdotool; medians over R pairs of runs (5 by default).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <strings.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kProjectEvery = 5;
// "Rafraichir", in the main window's own coordinates: its middle.
constexpr int kButtonX = 192 + 105 / 2;
constexpr int kButtonY = 8 + 25 / 2;

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "orvasel_bench_listing: %s\n", why.c_str());
    std::exit(1);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A folder of this many entries: names in no particular order and of mixed case, as a real folder
// has them; one in five a project.
void makeFolder(const fs::path& folder, int entries)
{
    fs::create_directories(folder);
    for (int i = 0; i < entries; ++i) {
        const bool project = i % kProjectEvery == 0;
        const char first = char(i % 2 ? 'a' + i % 26 : 'A' + i % 26);
        const std::string name = std::string(1, first) + " Morceau " + std::to_string((i * 7919) % entries) +
                                 (project ? (i % 3 ? ".cpr" : ".CPR") : ".wav");
        const int file = open((folder / name).c_str(), O_WRONLY | O_CREAT, 0644);
        if (file < 0)
            fail("cannot create " + (folder / name).string());
        close(file);
    }
}

bool isProject(const char* name)
{
    const std::size_t length = std::strlen(name);
    return length >= 4 && strcasecmp(name + length - 4, ".cpr") == 0;
}

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The floor, in processor seconds: what any listing of the folder has to do.
double bareScanAndSort(const fs::path& folder, std::size_t projects)
{
    const double before = threadCpuSeconds();
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = readdir(dir))
        if (isProject(entry->d_name))
            names.emplace_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    const double spent = threadCpuSeconds() - before;
    if (names.size() != projects)
        fail("the bare scan found " + std::to_string(names.size()) + " projects");
    return spent;
}

// The processor time the process has had so far, to the nanosecond: the sum over its threads.
double processCpuSeconds(pid_t pid)
{
    double total = 0;
    std::error_code error;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream stat(task.path() / "schedstat");
        unsigned long long nanoseconds = 0;
        if (stat >> nanoseconds)
            total += double(nanoseconds) / 1e9;
    }
    return total;
}

// Until the process has stopped working: less than a millisecond of processor time in 100 ms (the
// caret's blinking costs less than that).
void waitUntilIdle(pid_t pid)
{
    double last = processCpuSeconds(pid);
    for (int quiet = 0; quiet < 10;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const double now = processCpuSeconds(pid);
        quiet = now - last < 0.0001 ? quiet + 1 : 0;
        last = now;
    }
}

// quiet: its error output is dropped (Xvfb tells of every display number it finds taken).
pid_t spawn(const std::vector<std::string>& arguments, bool quiet = false)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        fail("cannot start " + arguments[0]);
    return pid;
}

void runToEnd(const std::vector<std::string>& arguments)
{
    int status = 0;
    if (waitpid(spawn(arguments), &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(arguments[0] + " failed");
}

// A virtual display of our own, so that no click lands on the user's screen.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int channel[2];
        if (pipe(channel) != 0)
            fail("no pipe");
        server_ = spawn({"Xvfb", "-displayfd", std::to_string(channel[1]), "-screen", "0", "1024x768x24", "-nolisten",
                         "tcp"},
                        true);
        close(channel[1]);
        char number[16] = {};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(channel[0], &readable);
        timeval limit{20, 0};
        if (select(channel[0] + 1, &readable, nullptr, nullptr, &limit) <= 0 ||
            read(channel[0], number, sizeof number - 1) <= 0)
            fail("Xvfb did not start");
        close(channel[0]);
        name_ = ":" + std::to_string(std::atoi(number));
        setenv("DISPLAY", name_.c_str(), 1);
        display_ = XOpenDisplay(name_.c_str());
        if (!display_)
            fail("cannot open the virtual display");
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    }
    ~VirtualDisplay()
    {
        XCloseDisplay(display_);
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // The next top-level window mapped with this title; 0 after 60 s.
    Window awaitWindow(const char* title)
    {
        const auto limit = Clock::now() + std::chrono::seconds(60);
        while (Clock::now() < limit) {
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                char* name = nullptr;
                if (event.type == MapNotify && XFetchName(display_, event.xmap.window, &name) && name) {
                    const bool found = std::strcmp(name, title) == 0;
                    XFree(name);
                    if (found)
                        return event.xmap.window;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return 0;
    }

    // What a window manager sends when the user closes the window.
    void requestClose(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, window, False, NoEventMask, &event);
        XFlush(display_);
    }

private:
    pid_t server_ = 0;
    std::string name_;
    Display* display_ = nullptr;
};

struct Run {
    double cpu = 0;             // processor seconds from the window shown, idle, to the end of the clicks
    double startupCpu = 0;      // processor seconds until the main window was mapped
    double startupReal = 0;     // real seconds until then
    double clicking = 0;        // real seconds of the clicks
    double peakMiB = 0;         // maximum resident set
};

// One run of the program: started with its settings beside it, clicked, closed as the user closes
// it; the program must end with exit code 0.
Run runProgram(VirtualDisplay& display, const fs::path& program, int clicks, double idleFor)
{
    Run run;
    const auto started = Clock::now();
    const pid_t pid = spawn({program.string()});
    const Window window = display.awaitWindow("Orvasel");
    if (!window)
        fail("the main window did not appear");
    run.startupReal = std::chrono::duration<double>(Clock::now() - started).count();
    run.startupCpu = processCpuSeconds(pid);
    waitUntilIdle(pid);
    const double before = processCpuSeconds(pid);
    const auto clicksStarted = Clock::now();
    const std::string id = std::to_string(window);
    for (int i = 0; i < clicks; ++i) {
        runToEnd({"xdotool", "mousemove", "--window", id, std::to_string(kButtonX), std::to_string(kButtonY),
                  "click", "1"});
        waitUntilIdle(pid);
    }
    run.clicking = std::chrono::duration<double>(Clock::now() - clicksStarted).count();
    // A run without clicks lasts as long: the caret blinks as often in both.
    if (clicks == 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(idleFor));
        waitUntilIdle(pid);
    }
    run.cpu = processCpuSeconds(pid) - before;
    display.requestClose(window);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("the program did not end well after the close request");
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    return run;
}

// The settings file of a user whose bookmark names the folder (code page 1252, CR LF).
void writeSettings(const fs::path& program, const fs::path& folder)
{
    std::ofstream(program.parent_path() / "Orvasel.you", std::ios::binary)
        << "rien\r\n0\r\n" << folder.string() << "/\r\nSIG\r\nProjets\r\nEOF\r\n\r\n";
}

std::vector<int> parseList(const std::string& text)
{
    std::vector<int> values;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        values.push_back(std::stoi(text.substr(at, comma - at)));
        at = comma + 1;
    }
    return values;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        fail("usage: orvasel_bench_listing PROGRAM [--entries N,N,...] [--runs R] [--clicks-cost MS]");
    std::vector<int> sizes{10'000, 50'000, 200'000};
    int runs = 5;
    // The clicks of a run add up to about this much of the program's time, so that the difference
    // stands well above what varies between two starts.
    double clicksCostMs = 1500;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--entries")
            sizes = parseList(argv[i + 1]);
        else if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--clicks-cost")
            clicksCostMs = std::atof(argv[i + 1]);
        else
            fail("unknown option " + option);
    }

    char rootTemplate[] = "/tmp/orvasel-listing-XXXXXX";
    if (!mkdtemp(rootTemplate))
        fail("no temporary folder");
    const fs::path root = rootTemplate;
    // The program as installed, with its settings file beside it.
    const fs::path program = root / "Programme" / "orvasel";
    fs::create_directories(program.parent_path());
    fs::copy_file(argv[1], program);
    unsetenv("QT_QPA_PLATFORM");
    VirtualDisplay display;

    std::printf("%-9s %-9s %12s %12s %7s %7s %14s %12s %12s\n", "entries", "projects", "floor ms", "click ms",
                "ratio", "clicks", "peak MiB 0/N", "start ms", "start cpu");
    for (const int entries : sizes) {
        const fs::path folder = root / ("dossier-" + std::to_string(entries));
        makeFolder(folder, entries);
        const std::size_t projects = std::size_t(entries / kProjectEvery);
        writeSettings(program, folder);
        // A first run warms the caches; the clicks of a run add up to about the wanted cost.
        runProgram(display, program, 0, 0);
        const double floor = bareScanAndSort(folder, projects);
        const int clicks = std::clamp(int(clicksCostMs / 1000 / (1.5 * floor)), 2, 60);

        std::vector<double> floors, costs, ratios, peakStill, peakClicked, startReal, startCpu;
        for (int r = 0; r < runs; ++r) {
            const Run clicked = runProgram(display, program, clicks, 0);
            std::vector<double> scans;
            for (int s = 0; s < 5; ++s)
                scans.push_back(bareScanAndSort(folder, projects));
            const Run without = runProgram(display, program, 0, clicked.clicking);
            const double bare = median(scans);
            const double cost = (clicked.cpu - without.cpu) / clicks;
            floors.push_back(bare * 1e3);
            costs.push_back(cost * 1e3);
            ratios.push_back(cost / bare);
            peakStill.push_back(without.peakMiB);
            peakClicked.push_back(clicked.peakMiB);
            for (const Run* each : {&clicked, &without}) {
                startReal.push_back(each->startupReal * 1e3);
                startCpu.push_back(each->startupCpu * 1e3);
            }
        }
        std::printf("%-9d %-9zu %12.2f %12.2f %7.2f %7d %6.1f/%-7.1f %12.0f %12.0f\n", entries, projects,
                    median(floors), median(costs), median(ratios), clicks, median(peakStill), median(peakClicked),
                    median(startReal), median(startCpu));
        std::printf("          ratios of the %d runs:", runs);
        for (const double ratio : ratios)
            std::printf(" %.2f", ratio);
        std::printf("\n");
        std::fflush(stdout);
        fs::remove_all(folder);
    }
    double load[3] = {};
    if (getloadavg(load, 3) > 0)
        std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    fs::remove_all(root);
    return 0;
}
