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
#else
#include <unistd.h>
#endif

namespace orvasel::search {
namespace {

namespace fs = std::filesystem;

TEST(NoteMatcher, IgnoresCaseAndAccentsOverTheNoteLinesAndThePathOnly)
{
    const std::string note = "Intro calme\r\nrefaire les VOIX \xE0 l'\xC9t\xE9\r\n\xC7""a sonne \x9C""uvre\r\r\n"
                             "EOFx garde\r\n\r\nEOF\r\nD:\\Exports\\final_v3.wav\r\napr\xE8s le marqueur\r\n";
    const std::tuple<std::string, std::string, std::optional<std::string>> cases[] = {
        {note, "A L'ETE", "refaire les VOIX \xE0 l'\xC9t\xE9"},
        {note, "\xC9T\xC9", "refaire les VOIX \xE0 l'\xC9t\xE9"},  // "ÉTÉ" typed with its accents
        {note, "ca sonne \x8C", "\xC7""a sonne \x9C""uvre"},         // a line stored with CR CR LF
        {note, "eofx", "EOFx garde"},                                // a line that only starts like the marker
        {note, "FINAL_V3", "D:\\Exports\\final_v3.wav"},              // the exported-audio path
        {note, "", "Intro calme"},                                   // no text: the first line
        {note, "apres", std::nullopt},                               // past the marker and the path
        {"EOF\r\nmix.wav\r\n", "", ""},                            // no note: its empty line, not the path
        {std::string("\x01\xFF\x00voix\xFE", 8), "VOIX", std::string("\x01\xFF\x00voix\xFE", 8)},  // not a note
    };
    for (const auto& [file, query, expected] : cases)
        EXPECT_EQ(NoteMatcher(query).match(info_file::parse(file)), expected) << query;
}

std::string utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

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
    void SetUp() override { ASSERT_TRUE(fs::create_directory(root)); }
    void TearDown() override
    {
#ifndef _WIN32
        fs::permissions(root / "locked", fs::perms::owner_all, fs::perm_options::add, ignored);
#endif
        fs::remove_all(root);
    }

    std::string folder(const fs::path& path) const { return utf8(path) + kSeparator; }

    // Every project found goes into results; onFound and folderDone act meanwhile, as the user may.
    Tally search(const std::string& query, std::vector<std::string> roots = {})
    {
        NoteMatcher matcher(query);
        SearchListener listener;
        listener.found = [&](Found&& found) {
            results.insert({found.folder, found.project, found.line});
            if (onFound)
                onFound();
        };
        listener.folderDone = folderDone;
        return searchTrees(roots.empty() ? std::vector{utf8(root)} : roots, matcher, stop, listener);
    }

    const fs::path root = fs::temp_directory_path() / ("orvasel-notes-" + std::to_string(std::random_device{}()));
    std::error_code ignored;
    Results results;
    std::atomic<bool> stop{false};
    std::function<void()> onFound;
    std::function<void(const Tally&)> folderDone;
};

TEST_F(TreeSearch, FindsProjectsAtAnyDepthAndReadsNoMoreThanItMust)
{
    write(root / "a.cpr", "");
    write(root / "a.cpr.info", "refaire les voix\r\nEOF\r\n\r\n");
    write(root / "x" / "y" / "z" / "Deep.CPR", "");
    write(root / "x" / "y" / "z" / "Deep.CPR.info", "Premi\xE8re ligne\r\nVoix doubl\xE9""es\r\nEOF\r\n\r\n");
    write(root / "x" / "sans note.cpr", "");
    write(root / "x" / "song.cpr.bak", "voix");
    write(root / "Dossier.cpr" / "inside.cpr", "");  // a folder named like a project is walked
    write(root / "folder info.cpr", "");
    fs::create_directories(root / "folder info.cpr.info");  // there, but no file to read
    write(root / "huge.cpr", "");
    write(root / "huge.cpr.info", "t\xEAte\r\n" + std::string(kLongestInfoFile, '\x01') + "voix\r\n");

    const Tally tally = search("");
    EXPECT_EQ(results, (Results{{folder(root), "a.cpr", "refaire les voix"},
                                {folder(root / "x" / "y" / "z"), "Deep.CPR", "Premi\xE8re ligne"},
                                {folder(root / "x"), "sans note.cpr", ""}, {folder(root), "huge.cpr", "t\xEAte"},
                                {folder(root / "Dossier.cpr"), "inside.cpr", ""}, {folder(root), "folder info.cpr", ""}}));
    EXPECT_EQ(std::tuple(tally.folders, tally.unreadableFolders, tally.unreadableFiles, tally.stopped),
              std::tuple(6u, 0u, 1u, false));

    results.clear();
    search("VOIX", {folder(root / "x"), folder(root), utf8(root / "x" / "y")});  // the root once
    EXPECT_EQ(results, (Results{{folder(root), "a.cpr", "refaire les voix"},
                                {folder(root / "x" / "y" / "z"), "Deep.CPR", "Voix doubl\xE9""es"}}));
}

TEST_F(TreeSearch, AStoppedSearchEndsAtOnceAndAVanishedFolderIsSkipped)
{
    for (int i = 0; i < 40; ++i)
        write(root / ("song " + std::to_string(i)) / "song.cpr", "");
    onFound = [&] { stop = true; };  // as the window does when the user stops
    const Tally stopped = search("");
    EXPECT_TRUE(results.size() == 1u && stopped.stopped && stopped.folders < 5u) << stopped.folders;

    write(root / "gone" / "deeper" / "lost.cpr", "");
    stop = false;
    onFound = {};
    results.clear();
    folderDone = [&](const Tally& sofar) { if (sofar.folders == 1) fs::remove_all(root / "gone"); };
    EXPECT_EQ(search("", {folder(root / "gone"), folder(root / "song 1")}).unreadableFolders, 0u);
    EXPECT_EQ(results, (Results{{folder(root / "song 1"), "song.cpr", ""}}));
}

// Links and junctions to folders are not followed; elsewhere, unreadable folders are counted and
// names that are not UTF-8 left out.
TEST_F(TreeSearch, LinksAndUnreadableFoldersAreLeftOut)
{
    write(root / "in" / "real.cpr", "");
    write(root / "elsewhere" / "linked.cpr", "");
    if (!linkFolder(root, root / "in" / "loop") || !linkFolder(root / "elsewhere", root / "in" / "link"))
        GTEST_SKIP() << "this system makes no folder links";
    Results expected{{folder(root / "in"), "real.cpr", ""}, {folder(root / "elsewhere"), "linked.cpr", ""}};
    std::size_t unreadable = 0;
#ifndef _WIN32
    fs::create_symlink(root / "in" / "real.cpr", root / "in" / "alias.cpr");  // a project through a link is one
    expected.insert({folder(root / "in"), "alias.cpr", ""});
    write(root / "bad\xFF" / "hidden.cpr", "");
    write(root / "in" / "bad\xFE.cpr", "");
    write(root / std::string(240, 'L') / "far.cpr", "");  // its search pattern is longer than the system takes
    write(root / "locked" / "secret.cpr", "");
    fs::permissions(root / "locked", fs::perms::none);
    unreadable = 1;
    if (::geteuid() == 0)  // reads every folder whatever its permissions
        expected.insert({folder(root / "locked"), "secret.cpr", ""});
    else
        ++unreadable;
#endif
    EXPECT_EQ(search("").unreadableFolders, unreadable);
    EXPECT_EQ(results, expected);
}

}  // namespace
}  // namespace orvasel::search
