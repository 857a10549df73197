// The catalogue: the filters and the export's state over real files, a volume that does not
// answer, and the CSV list on bytes.
#include "search/catalogue.h"
#include "search/csv_export.h"
#include "search/project_index.h"

#include <sqlite3.h>

#include "support/files.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace orvasel::search {
namespace {

namespace fs = std::filesystem;
using orvasel::testing::utf8;
using orvasel::testing::writeFile;
using file_probe::Presence;

std::string read(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(root); }
    void TearDown() override { fs::remove_all(root); }

    const fs::path root = fs::temp_directory_path() / ("orvasel-catalogue-" + std::to_string(std::random_device{}()));
};

using Listed = std::set<std::pair<std::string, ExportState>>;  // project (and the plugin that found it), export state

const fs::path kSample = fs::path(ORVASEL_SAMPLES_DIR) / "cubase" / "Example Project (Cubase 13).cpr";

// Makes the file's time that long before now.
void age(const fs::path& path, std::chrono::seconds before)
{
    fs::last_write_time(path, fs::file_time_type::clock::now() - before);
}

TEST_F(CatalogueTest, FiltersKeepTheProjectsTheTextFoundByTheirNoteTheirPluginsAndTheirExportOnTheDisk)
{
    writeFile(root / "mix fini.wav", "RIFF");
    fs::create_directories(root / "Exports.wav");  // a folder is not an export
    const std::string present = utf8(root / "mix fini.wav"), gone = utf8(root / "Ancien disque" / "mix.wav");
    // Exports a little and much older than their projects (saved now).
    writeFile(root / "vieux.wav", "RIFF");
    writeFile(root / "juste.wav", "RIFF");
    age(root / "vieux.wav", std::chrono::seconds(120));
    age(root / "juste.wav", std::chrono::seconds(30));
    // Each project and its information file (none when empty); exports as the user typed them.
    const std::map<std::string, std::string> projects = {
        {"Fini.cpr", "basse propre\r\nEOF\r\n" + present + "\r\n"},
        {"Perdu.cpr", "refaire la BASSE\r\nEOF\r\n" + gone + "\r\n"},
        {"Dossier.cpr", "basse\r\nEOF\r\n" + utf8(root / "Exports.wav") + "\r\n"},
        {"Sans export.cpr", "voix\r\nEOF\r\n  \r\n"},
        {"Vide.cpr", " \t\r\n\r\nEOF\r\n" + present + "\r\n"},
        {"Sans fichier.cpr", ""},
        {"Relatif.cpr", "basse\r\nEOF\r\nmix.wav\r\n"},  // not a full path: where it is cannot be known
        {"Illisible.cpr", ""},
        {"Ancien mix.cpr", "refait\r\nEOF\r\n" + utf8(root / "vieux.wav") + "\r\n"},
        {"Juste.cpr", "refait\r\nEOF\r\n" + utf8(root / "juste.wav") + "\r\n"},
        {"Synth.cpr", "rien \xE0 voir\r\nEOF\r\n\r\n"},  // a real project, with its plugins
    };
    for (const auto& [name, bytes] : projects) {
        const fs::path folder = root / "Album" / (name.size() % 2 ? "2019" : "");
        fs::create_directories(folder);
        if (name == "Synth.cpr")
            fs::copy_file(kSample, folder / name);
        else
            writeFile(folder / name, "cubase");
        if (!bytes.empty())
            writeFile(folder / (name + ".info"), bytes);
        if (name == "Illisible.cpr")
            fs::create_directories(folder / (name + ".info"));
    }

    const auto E = [](const char* project, ExportState state) { return std::pair<std::string, ExportState>(project, state); };
    using S = ExportState;
    const std::tuple<Filter, std::string, Listed, std::size_t> cases[] = {  // ..., exports not checked
        {Filter::AllProjects, "", {E("Fini.cpr", S::Present), E("Perdu.cpr", S::Missing), E("Dossier.cpr", S::Missing),
                                   E("Sans export.cpr", S::None), E("Vide.cpr", S::Present), E("Sans fichier.cpr", S::None),
                                   E("Relatif.cpr", S::Unchecked), E("Illisible.cpr", S::Unchecked),
                                   E("Ancien mix.cpr", S::Stale), E("Juste.cpr", S::Present), E("Synth.cpr", S::None)}, 1},
        {Filter::ExportMissing, "", {E("Perdu.cpr", S::Missing), E("Dossier.cpr", S::Missing)}, 1},
        {Filter::ExportStale, "", {E("Ancien mix.cpr", S::Stale)}, 1},
        {Filter::WithoutExport, "", {E("Sans export.cpr", S::None), E("Sans fichier.cpr", S::None), E("Synth.cpr", S::None)}, 0},
        {Filter::WithoutNote, "", {E("Vide.cpr", S::Present), E("Sans fichier.cpr", S::None)}, 0},
        {Filter::AllProjects, "basse", {E("Fini.cpr", S::Present), E("Perdu.cpr", S::Missing), E("Dossier.cpr", S::Missing),
                                        E("Relatif.cpr", S::Unchecked)}, 1},
        {Filter::ExportMissing, "basse", {E("Perdu.cpr", S::Missing), E("Dossier.cpr", S::Missing)}, 1},
        {Filter::ExportMissing, "propre", {}, 0},
        {Filter::WithoutNote, "fini", {E("Vide.cpr", S::Present)}, 0},  // found by its export path
        {Filter::AllProjects, "OMNISPHERE", {E("Synth.cpr / Omnisphere", S::None)}, 0},  // by a plugin it uses
        {Filter::WithoutNote, "omnisphere", {}, 0},
    };
    for (const auto& [filter, query, expected, unchecked] : cases) {
        ExportChecker checker;
        NoteMatcher matcher(query);
        Listed listed;
        SearchListener listener;
        listener.found = [&](Found&& found) {
            listed.insert({found.project + (found.plugin.empty() ? "" : " / " + found.plugin), found.exportState});
        };
        const std::atomic<bool> stop{false};
        const Tally tally = searchCatalogue({utf8(root)}, matcher, {filter}, checker, stop, listener);
        EXPECT_EQ(listed, expected) << labelOf(filter) << " + " << query;
        EXPECT_EQ(tally.uncheckedExports, unchecked) << labelOf(filter) << " + " << query;
    }
}

// Each project listed with its export's state once its project file was read, and the export
// found for it (relative to its folder).
using Final = std::map<std::string, std::pair<ExportState, std::string>>;

Final catalogueOf(const fs::path& root, const CatalogueOptions& options, ExportChecker& checker)
{
    Final listed;
    std::map<std::size_t, std::pair<std::string, std::string>> projects;  // id -> folder, project
    const auto foundExport = [&](std::size_t id, const std::string& path) {
        const auto& [folder, project] = projects[id];
        auto& [state, relative] = listed[project];
        if (!path.empty())
            state = ExportState::ToNote, relative = path.substr(folder.size());
    };
    SearchListener listener;
    listener.found = [&](Found&& one) {
        projects[one.id] = {one.folder, one.project};
        listed[one.project] = {one.exportState, ""};
        foundExport(one.id, one.foundExport);
    };
    listener.detailed = [&](Detailed&& one) { foundExport(one.id, one.foundExport); };
    const std::atomic<bool> stop{false};
    searchCatalogue({utf8(root)}, NoteMatcher(""), options, checker, stop, listener);
    return listed;
}

TEST_F(CatalogueTest, AnExportNeverNotedIsFoundInMixdownFirstThenBesideItsProjectTheNewestNamedAfterIt)
{
    using namespace std::chrono_literals;
    // Each file (a trailing '/' makes a folder) and its age.
    const std::pair<std::string, std::chrono::seconds> files[] = {
        {"Song/Song.cpr", 0s}, {"Song/Mixdown/Song.wav", 3h}, {"Song/Mixdown/SONG (2).mp3", 1h},
        {"Song/Mixdown/Other.wav", 10min}, {"Song/Mixdown/Song.txt", 0s}, {"Song/Mixdown/Song.flac/", 0s},
        {"Song/Song final.wav", 1min}, {"Song/Audio/Song.wav", 0s},
        {"Solo/Solo.cpr", 0s}, {"Solo/solo take.aiff", 2h}, {"Solo/SOLO.ogg", 1h}, {"Solo/Solo.txt", 0s},
        {"Solo/Audio/Solo.wav", 0s}, {"Solo/Edits/Solo.wav", 0s}, {"Solo/Auto Saves/Solo.wav", 0s},
        {"Noted/Noted.cpr", 0s}, {"Noted/Mixdown/Noted.wav", 0s}, {"Rien/Rien.cpr", 0s}, {"Rien/Mixdown/Autre.wav", 0s},
    };
    for (const auto& [name, before] : files) {
        if (name.ends_with('/')) {
            fs::create_directories(root / name);
            continue;
        }
        writeFile(root / name, "RIFF");
        age(root / name, before);
    }
    writeFile(root / "Noted" / "Noted.cpr.info", "EOF\r\n" + utf8(root / "Noted" / "Mixdown" / "Noted.wav") + "\r\n");
    ExportChecker checker;
    const std::string mixdown = std::string("Mixdown") + kSeparator;
    EXPECT_EQ(catalogueOf(root, {}, checker), (Final{{"Song.cpr", {ExportState::ToNote, mixdown + "SONG (2).mp3"}},
                                                      {"Solo.cpr", {ExportState::ToNote, "SOLO.ogg"}},
                                                      {"Noted.cpr", {ExportState::Present, ""}},
                                                      {"Rien.cpr", {ExportState::None, ""}}}));
}

#ifdef _WIN32
constexpr const char* kChosenShare = "\\\\nas\\musique\\Projets\\";  // a bookmark's folder
constexpr const char* kOnChosenShare = "\\\\nas\\musique\\mix.wav";
constexpr const char* kStrangers[] = {"\\\\stranger\\share\\x.wav", "//stranger/share/x.wav", "\\\\stranger@80\\dav\\x.wav",
                                      "\\\\?\\UNC\\stranger\\share\\x.wav"};
#else
constexpr const char* kChosenShare = "/mnt/nas/Projets/";
constexpr const char* kOnChosenShare = "/mnt/nas/mix.wav";
constexpr const char* kStrangers[] = {"/net/stranger/share/x.wav", "/mnt/../net/stranger/x.wav", "/home/moi/ssh/x.wav"};
#endif

TEST_F(CatalogueTest, NoExportOnAnotherMachineIsCheckedUnlessTheUserLooksThere)
{
    writeFile(root / "local.wav", "RIFF");
    std::vector<std::string> exports = {utf8(root / "local.wav"), kOnChosenShare};
    exports.insert(exports.end(), std::begin(kStrangers), std::end(kStrangers));
    for (std::size_t i = 0; i < exports.size(); ++i) {
        const std::string project = "p" + std::to_string(i) + ".cpr";
        writeFile(root / project, "cubase");
        writeFile(root / (project + ".info"), "x\r\nEOF\r\n" + exports[i] + "\r\n");
    }
    // The system's own rules for volumes, over the mounts of a machine with shares; every check recorded.
    const std::vector<file_probe::Mount> mounts = {{"/", "ext4"}, {"/mnt/nas", "nfs"}, {"/net", "autofs"},
                                                   {"/home/moi/ssh", "fuse.sshfs"}};
    std::mutex mutex;
    std::set<std::string> touched;
    ExportChecker::FileSystem fileSystem{[&](const std::string& path) {
                                             const std::lock_guard lock(mutex);
                                             touched.insert(path);
                                             return file_probe::probe(utf8(root / "local.wav"));
                                         },
                                         [&](const std::string& path) { return file_probe::volumeOf(path, mounts); }};
    ExportChecker checker(fileSystem, kExportCheckLimit, {utf8(root), kChosenShare});
    const Final listed = catalogueOf(root, {Filter::AllProjects, false}, checker);
    EXPECT_EQ(touched, (std::set<std::string>{exports[0], exports[1]}));
    for (std::size_t i = 0; i < exports.size(); ++i)
        EXPECT_EQ(listed.at("p" + std::to_string(i) + ".cpr").first, i < 2 ? ExportState::Present : ExportState::Unchecked)
            << exports[i];
}

// The computer's disk, counting the project files opened.
class CountingDisk final : public Disk {
public:
    std::atomic<int> opened{0};
    FolderState list(const std::string& folder, const std::function<bool(const SearchEntry&)>& each) override
    {
        return localDisk()->list(folder, each);
    }
    file_io::ReadResult readStart(const std::string& path, std::size_t limit) override
    {
        return localDisk()->readStart(path, limit);
    }
    file_probe::Probe examine(const std::string& path) override { return localDisk()->examine(path); }
    std::unique_ptr<InputStream> open(const std::string& path) override
    {
        ++opened;
        return localDisk()->open(path);
    }
};

TEST_F(CatalogueTest, TheIndexSparesTheSecondLookAnyReadingForgetsWhatIsGoneAndIsMadeAnewWhenNotOurs)
{
    const fs::path tree = root / "tree", index = root / "cache" / "Orvasel" / "projets.sqlite";
    for (const char* song : {"A", "B", "C"}) {
        fs::create_directories(tree / song);
        fs::copy_file(kSample, tree / song / "Song.cpr");
    }
    std::map<std::string, std::size_t> plugins;  // folder -> plugins told
    const auto look = [&] {
        CountingDisk disk;
        ProjectIndex kept(utf8(index));
        EXPECT_TRUE(kept.usable());
        CatalogueOptions options;
        options.index = &kept;
        SearchListener listener;
        std::map<std::size_t, std::string> folders;
        plugins.clear();
        listener.found = [&](Found&& found) {
            folders[found.id] = found.folder;
            if (found.details)
                plugins[found.folder] = found.details->plugins.size();
        };
        listener.detailed = [&](Detailed&& detailed) { plugins[folders[detailed.id]] = detailed.details.plugins.size(); };
        ExportChecker checker;
        const std::atomic<bool> stop{false};
        searchCatalogue({utf8(tree)}, NoteMatcher(""), options, checker, stop, listener, disk);
        return std::pair(int(disk.opened), kept.size());
    };
    EXPECT_EQ(look(), std::pair(3, std::size_t(3)));
    EXPECT_EQ(look(), std::pair(0, std::size_t(3)));  // nothing read again
    EXPECT_EQ(plugins.size(), 3u);
    for (const auto& [folder, count] : plugins)
        EXPECT_EQ(count, 9u) << folder;
    age(tree / "B" / "Song.cpr", std::chrono::seconds(5));  // changed since: read again
    fs::remove_all(tree / "C");
    EXPECT_EQ(look(), std::pair(1, std::size_t(2)));

    // Not a database, another program's database, another version's: made anew, empty.
    const auto markedDatabase = [&](int application, int format) {
        fs::remove(index);
        sqlite3* database = nullptr;
        ASSERT_EQ(sqlite3_open(utf8(index).c_str(), &database), SQLITE_OK);
        const std::string set = "PRAGMA application_id=" + std::to_string(application) +
                                "; PRAGMA user_version=" + std::to_string(format) + "; CREATE TABLE t(x);";
        EXPECT_EQ(sqlite3_exec(database, set.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(database);
    };
    const std::function<void()> spoil[] = {
        [&] { writeFile(index, "SQLite format 3" + std::string(4096, '\x5A')); },
        [&] { markedDatabase(0x12345678, 1); },
        [&] { markedDatabase(0x4F525653, 2); },
    };
    for (const auto& spoiled : spoil) {
        look();
        spoiled();
        EXPECT_EQ(look(), std::pair(2, std::size_t(2)));
    }
}

TEST_F(CatalogueTest, TwoCopiesOfTheProgramShareOneIndex)
{
    const std::string index = utf8(root / "projets.sqlite");
    ProjectDetails details;
    details.isProject = true;
    details.application = "Cubase";
    details.version = "Version 13.0.10";
    details.pluginsKnown = true;
    details.plugins = {"Hive", "Omnisphere"};
    ProjectIndex(index).flush();  // made once, as the first copy started makes it
    const auto fill = [&](const std::string& prefix) {
        ProjectIndex mine(index);
        for (int i = 0; i < 600; ++i)
            mine.store(prefix + std::to_string(i), std::uint64_t(i), i, details);
        mine.flush();
        return mine.usable();
    };
#ifdef _WIN32
    // Windows locks files per handle: two indexes of one process lock as two processes do.
    std::thread other([&] { fill("/b/"); });
    EXPECT_TRUE(fill("/a/"));
    other.join();
#else
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0)
        _exit(fill("/b/") ? 0 : 1);
    EXPECT_TRUE(fill("/a/"));
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
    ProjectIndex both(index);
    EXPECT_EQ(both.size(), 1200u);
    EXPECT_EQ(both.find("/b/599", 599, 599), details);
    EXPECT_EQ(both.find("/a/7", 7, 8), std::nullopt);  // another time: another file
}

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
    fileSystem.volumeOf = [](const std::string& path) { return file_probe::Volume{path.substr(0, path.find('/', 1))}; };
    fileSystem.probe = [share](const std::string& path) {
        if (path.starts_with("/nas/")) {
            std::unique_lock lock(share->mutex);
            ++share->asked;
            share->released.wait(lock, [&] { return share->answering; });
        }
        return file_probe::Probe{path.ends_with("gone.wav") ? Presence::Missing : Presence::File};
    };
    std::map<std::size_t, ExportState> answers;
    const auto answer = [&](std::size_t ticket, ExportState state, std::int64_t) { answers[ticket] = state; };
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

// Shares that answer only once let go, and a record of every path asked, with how many were being
// asked at once at most.
struct RecordingShares {
    std::mutex mutex;
    std::condition_variable released;
    bool answering = false;
    std::vector<std::string> asked;
    int now = 0, most = 0;
};

TEST(ExportChecker, AnotherMachineIsAskedOnlyWhereTheUserLooksAndByAFewThreadsInAll)
{
    const auto shares = std::make_shared<RecordingShares>();
    ExportChecker::FileSystem fileSystem;
    fileSystem.volumeOf = [](const std::string& path) {
        const std::string name = path.substr(0, path.find('/', 1));
        return file_probe::Volume{name, name != "/home"};
    };
    fileSystem.probe = [shares](const std::string& path) {
        std::unique_lock lock(shares->mutex);
        shares->asked.push_back(path);
        shares->most = std::max(shares->most, ++shares->now);
        shares->released.wait(lock, [&] { return shares->answering || path.starts_with("/home/"); });
        --shares->now;
        return file_probe::Probe{Presence::File};
    };
    // The user looks at twenty shares; a note names a twenty-first.
    std::vector<std::string> chosen;
    for (int i = 0; i < 20; ++i)
        chosen.push_back("/share" + std::to_string(i) + "/Projets/");
    ExportChecker checker(fileSystem, std::chrono::milliseconds(300), chosen);
    std::map<std::size_t, ExportState> answers;
    const auto answer = [&](std::size_t ticket, ExportState state, std::int64_t) { answers[ticket] = state; };

    const std::size_t stranger = checker.ask("/stranger/x.wav"), local = checker.ask("/home/x.wav");
    for (int i = 0; i < 20; ++i)
        checker.ask("/share" + std::to_string(i) + "/mix.wav");
    checker.finish(answer, [] { return false; });
    EXPECT_EQ(answers.at(stranger), ExportState::Unchecked);
    EXPECT_EQ(answers.at(local), ExportState::Present);
    {
        std::lock_guard lock(shares->mutex);
        EXPECT_TRUE(std::none_of(shares->asked.begin(), shares->asked.end(),
                                 [](const std::string& path) { return path.starts_with("/stranger/"); }));
        EXPECT_TRUE(shares->most >= 1 && shares->most <= kMostCheckingThreads) << shares->most;
        shares->answering = true;
    }
    shares->released.notify_all();

    // Asked for by the user, one row at a time, it is checked wherever it is.
    ExportState asked = ExportState::Unchecked;
    for (int tries = 0; tries < 200 && asked != ExportState::Present; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::size_t ticket = checker.ask("/stranger/x.wav", true);
        checker.finish(answer, [] { return false; });
        asked = answers.at(ticket);
    }
    EXPECT_EQ(asked, ExportState::Present);
}

TEST_F(CatalogueTest, TheListIsUtf8WithAMarkSemicolonsQuotedFieldsNoFormulaAndWindowsLineEnds)
{
    const std::vector<CsvRow> rows = {
        {"Été.cpr", "D:\\Musique\\Album; B-sides\\", "refaire \"la\" basse", "C:\\Audio\\été.wav", "présent",
         "Cubase 13.0.10", "07/12/2026 15:30", "2", "Hive, Omnisphere"},
        {"=HYPERLINK(\"x\").cpr", "/musique/deux\nlignes/", "+33 1 23", "@SUM(A1)", "—", "", "", "", ""},
        {"-2.cpr", "\tdossier", "\rligne", "", "non vérifié", "?", "", "?", ""},
        // What a spreadsheet splitting on another separator, or on line ends, would see a cell begin with.
        {"ok,@SUM(1)*cmd|' /C calc'!A0", "a\n=1+1", "x;-y\t+z", "\"=q", "présent", "", "", "", ""},
    };
    const std::string expected =
        "\xEF\xBB\xBF"
        "Projet;Dossier;Ligne;Export;État de l'export;Version;Modifié;Plugins;Liste des plugins\r\n"
        "Été.cpr;\"D:\\Musique\\Album; B-sides\\\";\"refaire \"\"la\"\" basse\";C:\\Audio\\été.wav;présent;"
        "Cubase 13.0.10;07/12/2026 15:30;2;\"Hive, Omnisphere\"\r\n"
        "\"'=HYPERLINK(\"\"x\"\").cpr\";\"/musique/deux\nlignes/\";'+33 1 23;'@SUM(A1);—;;;;\r\n"
        "'-2.cpr;\"'\tdossier\";\"'\rligne\";;non vérifié;?;;?;\r\n"
        "\"ok,'@SUM(1)*cmd|' /C calc'!A0\";\"a\n'=1+1\";\"x;'-y\t'+z\";\"\"\"'=q\";présent;;;;\r\n";
    EXPECT_EQ(csvBytes(rows), expected);

    // Written whole through a temporary file; a write that fails leaves nothing behind.
    const fs::path list = root / "liste.csv";
    writeFile(list, "ancienne liste");
    ASSERT_TRUE(writeCsv(utf8(list), rows).ok);
    EXPECT_EQ(read(list), expected);
    fs::create_directories(root / "dossier.csv");
    EXPECT_FALSE(writeCsv(utf8(root / "dossier.csv"), rows).ok);
    EXPECT_FALSE(writeCsv(utf8(root / "absent" / "liste.csv"), rows).ok);
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 2);

#ifndef _WIN32
    // Python's own CSV reader, as a spreadsheet splitting on ';', ',' or a tab reads it: no cell
    // begins a formula; on ';', every cell is the text given, an apostrophe before each formula start.
    const fs::path script = root / "check.py";
    writeFile(script, "import csv, sys\n"
                      "for separator in ';,\\t':\n"
                      "    with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                      "        cells = [c for row in csv.reader(f, delimiter=separator) for c in row]\n"
                      "    for c in cells:\n"
                      "        if c[:1] in ('=', '+', '-', '@', '\\t', '\\r'): sys.exit('formula: ' + repr(c))\n"
                      "        for line in c.splitlines():\n"
                      "            if line[:1] in ('=', '+', '-', '@', '\\t'): sys.exit('formula line: ' + repr(c))\n"
                      "    if separator == ';':\n"
                      "        print(len(cells))\n"
                      "        if \"ok,'@SUM(1)*cmd|' /C calc'!A0\" not in cells or \"x;'-y\\t'+z\" not in cells: sys.exit('cells')\n");
    const std::string command = "python3 '" + utf8(script) + "' '" + utf8(list) + "' > '" + utf8(root / "out") + "' 2>&1";
    if (std::system("python3 -c 'import csv' 2>/dev/null") != 0)
        GTEST_SKIP() << "no python3 to read the list back";
    EXPECT_EQ(std::system(command.c_str()), 0) << read(root / "out");
    EXPECT_EQ(read(root / "out"), "45\n");
#endif
}

TEST(FileProbe, TheVolumeOfAPathIsItsDriveShareOrMountPointAndOnlyFullPathsHaveOne)
{
    using V = file_probe::Volume;
#ifdef _WIN32
    const std::pair<std::string, V> cases[] = {
        {"C:\\Audio\\mix.wav", {"c:"}}, {"d:/Exports/mix.wav", {"d:"}},
        {"\\\\NAS\\Musique\\Album\\mix.wav", {"\\\\nas\\musique", true}}, {"//nas/musique/mix.wav", {"\\\\nas\\musique", true}},
        {"\\\\nas@80\\dav\\mix.wav", {"\\\\nas@80\\dav", true}},
        {"\\\\?\\C:\\Audio\\mix.wav", {"c:"}}, {"\\\\?\\UNC\\nas\\musique\\mix.wav", {"\\\\nas\\musique", true}},
        {"\\\\.\\pipe\\mix.wav", {}}, {"C:mix.wav", {}}, {"mix.wav", {}}, {"\\Audio\\mix.wav", {}}, {"\\\\nas", {}},
        {"\\\\nas\\", {}}, {"", {}},
    };
    const std::vector<file_probe::Mount> mounts;
#else
    const std::pair<std::string, V> cases[] = {
        {"/media/moi/Disque 2/mix.wav", {"/media/moi/Disque 2"}}, {"/media/moi/Disque 20/mix.wav", {"/media/moi"}},
        {"/home/moi/mix.wav", {"/"}}, {"/mnt/nas/Album/mix.wav", {"/mnt/nas", true}},
        {"/home/moi/../../mnt//nas/./mix.wav", {"/mnt/nas", true}}, {"/net/serveur/mix.wav", {"/net", true}},
        {"/home/moi/ssh/mix.wav", {"/home/moi/ssh", true}}, {"/media/cle/mix.wav", {"/media/cle"}},
        {"//serveur/partage/mix.wav", {"/"}},  // one folder below "/" here, as the system reads it
        {"C:\\Audio\\mix.wav", {}}, {"mix.wav", {}}, {"", {}},
    };
    const std::vector<file_probe::Mount> mounts = {{"/", "ext4"}, {"/media/moi", "vfat"}, {"/media/moi/Disque 2", "ext4"},
                                                   {"/proc", "proc"}, {"/mnt/nas", "nfs4"}, {"/net", "autofs"},
                                                   {"/home/moi/ssh", "fuse.sshfs"}, {"/media/cle", "fuseblk"}};
#endif
    for (const auto& [path, volume] : cases) {
        const V found = file_probe::volumeOf(path, mounts);
        EXPECT_EQ(std::pair(found.name, found.remote), std::pair(volume.name, volume.remote)) << path;
    }
}

}  // namespace
}  // namespace orvasel::search
