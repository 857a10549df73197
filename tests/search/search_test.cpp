// The search through the notes: folding and matching on bytes, and the walk over real folder trees
// (natively, and cross-compiled for Windows under Wine).
#include "search/tree_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvasel::search {
namespace {

namespace fs = std::filesystem;

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
    };
    for (const auto& [file, query, expected] : cases)
        EXPECT_EQ(NoteMatcher(query).match(info_file::parse(file)), expected) << query;
}

std::string utf8(const fs::path& path) { const std::u8string text = path.u8string(); return {text.begin(), text.end()}; }
std::string folder(const fs::path& path) { return utf8(path) + kSeparator; }
void write(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

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
    Tally search(const std::string& query, std::vector<std::string> roots = {})
    {
        NoteMatcher matcher(query);
        results.clear();
        listener.found = [&](Found&& found) { results.insert({found.folder, found.project, found.line}); };
        return searchTrees(roots.empty() ? std::vector{utf8(root)} : roots, matcher, stop, listener);
    }

    const fs::path root = fs::temp_directory_path() / ("orvasel-notes-" + std::to_string(std::random_device{}()));
    Results results;
    std::atomic<bool> stop{false};
    SearchListener listener;
};

TEST_F(TreeSearch, FindsProjectsAtAnyDepthButNotThroughLinksAndReadsNoMoreThanItMust)
{
    write(root / "a.cpr.info", "refaire les voix\r\nEOF\r\n\r\n");
    for (const fs::path& project : {root / "a.cpr", root / "x" / "y" / "z" / "Deep.CPR", root / "x" / "sans note.cpr",
                                   root / "Dossier.cpr" / "inside.cpr", root / "folder info.cpr", root / "huge.cpr"})
        write(project, "");  // a folder named like a project is walked
    fs::create_directories(root / "folder info.cpr.info");  // there, but no file to read
    write(root / "huge.cpr.info", "t\xEAte\r\n" + std::string(kLongestInfoFile, '\x01') + "voix\r\n");
    // Links and junctions to folders are not followed; unreadable folders are counted, names not UTF-8 left out.
    ASSERT_TRUE(linkFolder(root, root / "x" / "loop") && linkFolder(root / "x" / "y", root / "link"));
    std::size_t unreadable = 0;
#ifndef _WIN32
    write(root / "bad\xFF" / "hidden.cpr", "");
    write(root / "x" / "bad\xFE.cpr", "");
    write(root / std::string(240, 'L') / "far.cpr", "");  // its search pattern is longer than the system takes
    unreadable = 1;
#endif

    const Tally tally = search("", {folder(root / "x"), utf8(root)});  // the root once
    EXPECT_EQ(results, (Results{{folder(root), "a.cpr", "refaire les voix"}, {folder(root / "x" / "y" / "z"), "Deep.CPR", ""},
                                {folder(root / "x"), "sans note.cpr", ""}, {folder(root), "huge.cpr", "t\xEAte"},
                                {folder(root / "Dossier.cpr"), "inside.cpr", ""}, {folder(root), "folder info.cpr", ""}}));
    EXPECT_EQ(std::tuple(tally.folders, tally.unreadableFolders, tally.unreadableFiles), std::tuple(6u, unreadable, 1u));
    search("VOIX");  // the huge file is read no further than a note can reach
    EXPECT_EQ(results, (Results{{folder(root), "a.cpr", "refaire les voix"}}));
}

TEST_F(TreeSearch, AVanishedFolderIsSkippedAndAStoppedSearchEndsAtOnce)
{
    for (int i = 0; i < 40; ++i)
        write(root / ("song " + std::to_string(i)) / "song.cpr", "");
    write(root / "gone" / "deeper" / "lost.cpr", "");
    listener.folderDone = [&](const Tally& sofar) { if (sofar.folders == 1) fs::remove_all(root / "gone"); };
    EXPECT_EQ(search("", {folder(root / "gone"), folder(root / "song 1")}).unreadableFolders, 0u);
    EXPECT_EQ(results, (Results{{folder(root / "song 1"), "song.cpr", ""}}));

    listener.folderDone = [&](const Tally&) { stop = true; };  // as the window does when the user stops
    const Tally stopped = search("");
    EXPECT_TRUE(results.empty() && stopped.stopped && stopped.folders == 1u) << stopped.folders;
}

}  // namespace
}  // namespace orvasel::search
