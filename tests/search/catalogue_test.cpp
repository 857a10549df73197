// The catalogue: the filters and the export's state over real files, a volume that does not
// answer, and the CSV list on bytes.
#include "search/catalogue.h"
#include "search/csv_export.h"

#include "support/files.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

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

using Listed = std::set<std::pair<std::string, ExportState>>;  // project, export state

TEST_F(CatalogueTest, FiltersKeepTheProjectsTheTextFoundByTheirNoteAndTheirExportOnTheDisk)
{
    writeFile(root / "mix fini.wav", "RIFF");
    fs::create_directories(root / "Exports.wav");  // a folder is not an export
    const std::string present = utf8(root / "mix fini.wav"), gone = utf8(root / "Ancien disque" / "mix.wav");
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
    };
    for (const auto& [name, bytes] : projects) {
        const fs::path folder = root / "Album" / (name.size() % 2 ? "2019" : "");
        fs::create_directories(folder);
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
                                   E("Relatif.cpr", S::Unchecked), E("Illisible.cpr", S::Unchecked)}, 1},
        {Filter::ExportMissing, "", {E("Perdu.cpr", S::Missing), E("Dossier.cpr", S::Missing)}, 1},
        {Filter::WithoutExport, "", {E("Sans export.cpr", S::None), E("Sans fichier.cpr", S::None)}, 0},
        {Filter::WithoutNote, "", {E("Vide.cpr", S::Present), E("Sans fichier.cpr", S::None)}, 0},
        {Filter::AllProjects, "basse", {E("Fini.cpr", S::Present), E("Perdu.cpr", S::Missing), E("Dossier.cpr", S::Missing),
                                        E("Relatif.cpr", S::Unchecked)}, 1},
        {Filter::ExportMissing, "basse", {E("Perdu.cpr", S::Missing), E("Dossier.cpr", S::Missing)}, 1},
        {Filter::ExportMissing, "propre", {}, 0},
        {Filter::WithoutNote, "fini", {E("Vide.cpr", S::Present)}, 0},  // found by its export path
    };
    for (const auto& [filter, query, expected, unchecked] : cases) {
        ExportChecker checker;
        NoteMatcher matcher(query);
        Listed listed;
        SearchListener listener;
        listener.found = [&](Found&& found) { listed.insert({found.project, found.exportState}); };
        const std::atomic<bool> stop{false};
        const Tally tally = searchCatalogue({utf8(root)}, matcher, filter, checker, stop, listener);
        EXPECT_EQ(listed, expected) << labelOf(filter) << " + " << query;
        EXPECT_EQ(tally.uncheckedExports, unchecked) << labelOf(filter) << " + " << query;
    }
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

TEST_F(CatalogueTest, TheListIsUtf8WithAMarkSemicolonsQuotedFieldsNoFormulaAndWindowsLineEnds)
{
    const std::vector<CsvRow> rows = {
        {"Été.cpr", "D:\\Musique\\Album; B-sides\\", "refaire \"la\" basse", "C:\\Audio\\été.wav", "présent"},
        {"=HYPERLINK(\"x\").cpr", "/musique/deux\nlignes/", "+33 1 23", "@SUM(A1)", "—"},
        {"-2.cpr", "\tdossier", "\rligne", "", "non vérifié"},
    };
    const std::string expected = "\xEF\xBB\xBF"
                                 "Projet;Dossier;Ligne;Export;État de l'export\r\n"
                                 "Été.cpr;\"D:\\Musique\\Album; B-sides\\\";\"refaire \"\"la\"\" basse\";C:\\Audio\\été.wav;présent\r\n"
                                 "\"'=HYPERLINK(\"\"x\"\").cpr\";\"/musique/deux\nlignes/\";'+33 1 23;'@SUM(A1);—\r\n"
                                 "'-2.cpr;'\tdossier;\"'\rligne\";;non vérifié\r\n";
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
