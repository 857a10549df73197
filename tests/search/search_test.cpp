// The search through the notes: folding and matching on bytes, and the walk over real folder trees
// (natively, and cross-compiled for Windows under Wine).
#include "search/catalogue.h"

#include "support/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvasel::search {
namespace {

namespace fs = std::filesystem;
using orvasel::testing::utf8;
using orvasel::testing::writeFile;

std::string a(std::size_t count) { return std::string(count, 'a'); }
std::string b(std::size_t count) { return std::string(count, 'b'); }

TEST(NoteMatcher, IgnoresCaseAndAccentsOverTheNoteLinesAndThePathOnly)
{
    const std::string note = "Intro calme\r\nrefaire les VOIX \xE0 l'\xC9t\xE9\r\n\xC7""a sonne \x9C""uvre\r\r\n"
                             "EOF\r\nD:\\Exports\\final_v3.wav\r\napr\xE8s le marqueur\r\n";
    const std::tuple<std::string, std::string, std::optional<std::string>> cases[] = {
        {note, "A L'\xC9T\xC9", "refaire les VOIX \xE0 l'\xC9t\xE9"},  // accents folded on both sides
        {note, "ca sonne \x8C", "\xC7""a sonne \x9C""uvre"},         // a line stored with CR CR LF
        {note, "FINAL_V3", "D:\\Exports\\final_v3.wav"},              // the exported-audio path
        {note, "", "Intro calme"},                                   // no text: the first line
        {note, "apres", std::nullopt},                               // past the marker and the path
        {"EOF\r\nmix.wav\r\n", "", ""},                            // no note: its empty line, not the path
        {std::string("\x01\xFF\x00voix\xFE", 8), "VOIX", std::string("\x01\xFF\x00voix\xFE", 8)},  // not a note
        // Long lines show 200 characters around the hit, from a little before it, "…" where cut.
        {a(500000) + "Cible" + b(500000) + "\r\nEOF\r\n\r\n", "cible", "\x85" + a(40) + "Cible" + b(155) + "\x85"},
        {"Cible" + b(300) + "\r\nEOF\r\n\r\n", "cible", "Cible" + b(195) + "\x85"},
        {a(300) + "Cible\r\nEOF\r\n\r\n", "cible", "\x85" + a(195) + "Cible"},
        {a(300) + "\r\nEOF\r\n\r\n", "", a(200) + "\x85"},
        {a(1000) + "\r\nEOF\r\nD:\\" + b(900) + "\\final.wav\r\n", "FINAL", "\x85" + b(190) + "\\final.wav"},
    };
    for (const auto& [file, query, expected] : cases)
        EXPECT_EQ(NoteMatcher(query).match(info_file::parse(file)), expected) << query;
}

std::string folder(const fs::path& path) { return utf8(path) + kSeparator; }

bool linkFolder(const fs::path& target, const fs::path& link)
{
#ifdef _WIN32
    // The runtime's own links are not implemented there; the system's are.
    return CreateSymbolicLinkW(link.c_str(), target.c_str(),
                               SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
#else
    std::error_code failed;
    fs::create_directory_symlink(target, link, failed);
    return !failed;
#endif
}

using Results = std::set<std::tuple<std::string, std::string, std::string>>;  // folder, project, line

class TreeSearch : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(root); }
    Tally search(const std::string& query, std::vector<std::string> roots = {}, Disk& disk = *localDisk())
    {
        NoteMatcher matcher(query);
        results.clear();
        notDownloaded.clear();
        listener.found = [&](Found&& found) {
            if (found.noteNotDownloaded)
                notDownloaded.insert(found.project);
            results.insert({found.folder, found.project, found.line});
        };
        return searchTrees(roots.empty() ? std::vector{utf8(root)} : roots, matcher, stop, listener, disk);
    }

    const fs::path root = fs::temp_directory_path() / ("orvasel-notes-" + std::to_string(std::random_device{}()));
    Results results;
    std::set<std::string> notDownloaded;  // the projects found whose note is online only
    std::atomic<bool> stop{false};
    SearchListener listener;
};

TEST_F(TreeSearch, FindsProjectsAtAnyDepthButNotThroughLinksAndReadsNoMoreThanItMust)
{
    writeFile(root / "a.cpr.info", "refaire les voix\r\nEOF\r\n\r\n");
    for (const fs::path& project : {root / "a.cpr", root / "x" / "y" / "z" / "Deep.CPR", root / "x" / "sans note.cpr",
                                   root / "Dossier.cpr" / "inside.cpr", root / "folder info.cpr", root / "huge.cpr"})
        writeFile(project, "");  // a folder named like a project is walked
    fs::create_directories(root / "folder info.cpr.info");  // there, but no file to read
    writeFile(root / "huge.cpr.info", "t\xEAte\r\n" + std::string(kLongestInfoFile, '\x01') + "voix\r\n");
    // Links and junctions to folders are not followed; unreadable folders are counted, names not UTF-8 left out.
    ASSERT_TRUE(linkFolder(root, root / "x" / "loop") && linkFolder(root / "x" / "y", root / "link"));
    writeFile(root / std::string(240, 'L') / "far.cpr", "");  // its search pattern is past 260 characters
#ifndef _WIN32
    writeFile(root / "bad\xFF" / "hidden.cpr", "");
    writeFile(root / "x" / "bad\xFE.cpr", "");
#endif

    const Tally tally = search("");
    EXPECT_EQ(results, (Results{{folder(root), "a.cpr", "refaire les voix"}, {folder(root / "x" / "y" / "z"), "Deep.CPR", ""},
                                {folder(root / "x"), "sans note.cpr", ""}, {folder(root), "huge.cpr", "t\xEAte"},
                                {folder(root / "Dossier.cpr"), "inside.cpr", ""}, {folder(root), "folder info.cpr", ""},
                                {folder(root / std::string(240, 'L')), "far.cpr", ""}}));
    EXPECT_EQ(std::tuple(tally.folders, tally.unreadableFolders, tally.unreadableFiles), std::tuple(7u, 0u, 1u));
    search("VOIX");  // the huge file is read no further than a note can reach
    EXPECT_EQ(results, (Results{{folder(root), "a.cpr", "refaire les voix"}}));
    fs::rename(root / std::string(240, 'L'), root / "L");  // the runtime's own removal stops at 260 characters
}

// The computer's disk, with a folder removed as soon as its parent has been listed.
class VanishingDisk final : public Disk {
public:
    VanishingDisk(std::string parent, fs::path gone) : parent_(std::move(parent)), gone_(std::move(gone)) {}
    FolderState list(const std::string& folder, const std::function<bool(const SearchEntry&)>& each) override
    {
        const FolderState state = localDisk()->list(folder, each);
        if (folder == parent_)
            fs::remove_all(gone_);
        return state;
    }
    file_io::ReadResult readStart(const std::string& path, std::size_t limit) override
    {
        return localDisk()->readStart(path, limit);
    }
    file_probe::Probe examine(const std::string& path) override { return localDisk()->examine(path); }
    std::unique_ptr<InputStream> open(const std::string& path) override { return localDisk()->open(path); }

private:
    std::string parent_;
    fs::path gone_;
};

TEST_F(TreeSearch, AVanishedFolderIsSkippedAndAStoppedSearchEndsAtOnce)
{
    for (int i = 0; i < 40; ++i)
        writeFile(root / ("song " + std::to_string(i)) / "song.cpr", "");
    writeFile(root / "gone" / "deeper" / "lost.cpr", "");
    VanishingDisk vanishing(folder(root / "gone"), root / "gone" / "deeper");
    EXPECT_EQ(search("", {folder(root / "gone"), folder(root / "song 1")}, vanishing).unreadableFolders, 0u);
    EXPECT_EQ(results, (Results{{folder(root / "song 1"), "song.cpr", ""}}));

    listener.progress = [&](const Tally&) { stop = true; };  // as the window does when the user stops
    const Tally stopped = search("");
    EXPECT_TRUE(results.empty() && stopped.stopped && stopped.folders == 1u) << stopped.folders;
}

// A disk as OneDrive shows it under Files On-Demand: every folder and file a cloud reparse point,
// some notes and projects online only. It records what is read (from the walk's several threads).
class CloudDisk final : public Disk {
public:
    std::map<std::string, std::vector<SearchEntry>> folders;  // folder text -> its entries
    std::map<std::string, std::string> files;                  // path -> content
    std::vector<std::string> read;
    std::mutex mutex;

    FolderState list(const std::string& folder, const std::function<bool(const SearchEntry&)>& each) override
    {
        if (folder == std::string("Illisible") + kSeparator)
            return FolderState::Unreadable;
        const auto listed = folders.find(folder);
        if (listed == folders.end())
            return FolderState::Missing;
        for (const SearchEntry& entry : listed->second)
            if (!each(entry))
                break;
        return FolderState::Listed;
    }
    file_io::ReadResult readStart(const std::string& path, std::size_t) override
    {
        const std::lock_guard lock(mutex);
        read.push_back(path);
        const auto file = files.find(path);
        return file == files.end() ? file_io::ReadResult{} : file_io::ReadResult{file_io::ReadStatus::Ok, file->second, {}};
    }
    file_probe::Probe examine(const std::string&) override { return {file_probe::Presence::File, 6, 0}; }
    std::unique_ptr<InputStream> open(const std::string& path) override
    {
        readStart(path, 0);
        return nullptr;
    }
};

TEST_F(TreeSearch, CloudFoldersAreWalkedOnlineOnlyNotesCountedAndNotReadLinksLeftAlone)
{
    const std::uint32_t cloudFolder = kAttributeDirectory | kAttributeReparsePoint | kAttributeRecallOnOpen;
    const std::uint32_t local = 0x20 | kAttributeReparsePoint | 0x80000;  // pinned: kept on this computer
    const std::uint32_t online = 0x20 | kAttributeReparsePoint | 0x100000 | kAttributeRecallOnDataAccess;
    const std::string top = std::string("OneDrive") + kSeparator, year = top + "2024" + kSeparator;
    CloudDisk disk;
    disk.folders[top] = {{cloudFolder, 0x9000701A, "2024"}, {kAttributeDirectory | kAttributeReparsePoint, kReparseTagMountPoint, "Jonction"},
                         {kAttributeDirectory | kAttributeReparsePoint, kReparseTagSymbolicLink, "Lien"},
                         {local, 0x9000601A, "Song.cpr"}, {local, 0x9000601A, "Song.cpr.info"}};
    disk.folders[year] = {{online, 0x9000701A, "Ballade.cpr"}, {online, 0x9000701A, "Ballade.cpr.info"},
                          {local, 0x9000601A, "Rock.cpr"}, {local, 0x9000601A, "Rock.cpr.info"}, {online, 0x9000701A, "Slow.cpr"}};
    for (const char* elsewhere : {"Jonction", "Lien"})
        disk.folders[top + elsewhere + kSeparator] = {{0x20, 0, "Piege.cpr"}};
    disk.files = {{top + "Song.cpr.info", "voix\r\nEOF\r\n\r\n"}, {year + "Rock.cpr.info", "rock\r\nEOF\r\nvoix.wav\r\n"},
                  {year + "Ballade.cpr.info", "voix\r\nEOF\r\n\r\n"}};

    Tally tally = search("VOIX", {top, std::string("Absent") + kSeparator, std::string("Illisible") + kSeparator}, disk);
    EXPECT_EQ(results, (Results{{top, "Song.cpr", "voix"}, {year, "Rock.cpr", "voix.wav"}}));
    EXPECT_EQ(std::tuple(tally.folders, tally.notesNotDownloaded, tally.missingRoots, tally.unreadableFolders),
              std::tuple(2u, 1u, 1u, 1u));
    tally = search("", {top}, disk);  // the overview lists it, unread
    EXPECT_EQ(results.size(), 4u);
    EXPECT_EQ(notDownloaded, std::set<std::string>{"Ballade.cpr"});
    // The catalogue reads the project files, but not those online only either.
    ExportChecker checker;
    EXPECT_EQ(searchCatalogue({top}, NoteMatcher(""), {}, checker, stop, {}, disk).projectsToRead, 4u);
    EXPECT_NE(std::find(disk.read.begin(), disk.read.end(), year + "Rock.cpr"), disk.read.end());
    for (const std::string& path : disk.read)  // neither the online note or project, nor what lies behind a link
        EXPECT_TRUE(path.find("Piege") == std::string::npos && path.find("Ballade") == std::string::npos
                    && path != year + "Slow.cpr") << path;
}

}  // namespace
}  // namespace orvasel::search
