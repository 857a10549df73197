// The search through the notes: folding and matching on bytes, and the walk over real folder trees
// (natively, and cross-compiled for Windows under Wine).
#include "search/tree_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
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

std::optional<std::string> matchFile(const std::string& bytes, const std::string& query)
{
    NoteMatcher matcher(query);
    return matcher.match(info_file::parse(bytes));
}

TEST(NoteMatcher, IgnoresCaseAndAccentsOverTheNoteLinesAndThePathOnly)
{
    const std::string file = "Intro calme\r\nrefaire les VOIX \xE0 l'\xC9t\xE9\r\n\xC7""a sonne \x9C""uvre\r\r\n"
                             "EOFx garde\r\n\r\nEOF\r\nD:\\Exports\\final_v3.wav\r\napr\xE8s le marqueur\r\n";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"voix", "refaire les VOIX \xE0 l'\xC9t\xE9"},
        {"A L'ETE", "refaire les VOIX \xE0 l'\xC9t\xE9"},
        {"\xC9T\xC9", "refaire les VOIX \xE0 l'\xC9t\xE9"},         // "ÉTÉ" typed with its accents
        {"ca sonne \x8C", "\xC7""a sonne \x9C""uvre"},                // a line stored with CR CR LF
        {"eofx", "EOFx garde"},                                       // a line that only starts like the marker
        {"FINAL_V3", "D:\\Exports\\final_v3.wav"},                     // the exported-audio path
        {"intro", "Intro calme"},
        {"", "Intro calme"},                                          // no text: the first line
        {"apres", std::nullopt},                                      // past the marker and the path
        {"voix\r\nEOF", std::nullopt}, {"calmer", std::nullopt}, {"\xE9t\xE9s", std::nullopt},
    };
    for (const auto& [query, expected] : cases)
        EXPECT_EQ(matchFile(file, query), expected) << query;
    EXPECT_EQ(matchFile("", ""), "");
    EXPECT_EQ(matchFile("EOF\r\nmix.wav\r\n", ""), "");
    EXPECT_EQ(matchFile("EOF\r\nmix.wav\r\n", "MIX"), "mix.wav");
    const std::string binary("\x01\xFF\x00voix\xFE", 8);
    EXPECT_EQ(matchFile(binary, "VOIX"), binary);
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
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("orvasel-notes-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(root));
    }
    void TearDown() override
    {
#ifndef _WIN32
        for (const auto& entry : fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
#endif
        fs::remove_all(root);
    }

    std::string folder(const fs::path& path) const { return utf8(path) + kSeparator; }

    Tally search(const std::string& query, Results& results, std::vector<std::string> roots = {},
                 std::function<void(const Tally&)> folderDone = {})
    {
        NoteMatcher matcher(query);
        std::atomic<bool> stop{false};
        SearchListener listener;
        listener.found = [&](Found&& found) { results.insert({found.folder, found.project, found.line}); };
        listener.folderDone = std::move(folderDone);
        return searchTrees(roots.empty() ? std::vector{utf8(root)} : roots, matcher, stop, listener);
    }

    fs::path root;
};

TEST_F(TreeSearch, FindsProjectsAtAnyDepthAndReadsNoMoreThanItMust)
{
    write(root / "a.cpr", "");
    write(root / "a.cpr.info", "refaire les voix\r\nEOF\r\n\r\n");
    write(root / "x" / "y" / "z" / "Deep.CPR", "");
    write(root / "x" / "y" / "z" / "Deep.CPR.info", "Premi\xE8re ligne\r\nVoix doubl\xE9""es\r\nEOF\r\n\r\n");
    write(root / "x" / "sans note.cpr", "");
    write(root / "x" / "notes.txt", "voix");
    write(root / "x" / "song.cpr.bak", "");
    write(root / "Dossier.cpr" / "inside.cpr", "");  // a folder named like a project is walked
    write(root / "folder info.cpr", "");
    fs::create_directories(root / "folder info.cpr.info");  // there, but no file to read
    write(root / "huge.cpr", "");
    write(root / "huge.cpr.info", "t\xEAte\r\n" + std::string(kLongestInfoFile, '\x01') + "voix\r\n");

    Results all;
    const Tally tally = search("", all);
    const std::string x = folder(root / "x");
    EXPECT_EQ(all, (Results{{folder(root), "a.cpr", "refaire les voix"},
                            {folder(root / "x" / "y" / "z"), "Deep.CPR", "Premi\xE8re ligne"},
                            {x, "sans note.cpr", ""}, {folder(root / "Dossier.cpr"), "inside.cpr", ""},
                            {folder(root), "folder info.cpr", ""}, {folder(root), "huge.cpr", "t\xEAte"}}));
    EXPECT_EQ(tally.folders, 6u);
    EXPECT_EQ(tally.unreadableFolders, 0u);
    EXPECT_EQ(tally.unreadableFiles, 1u);
    EXPECT_FALSE(tally.stopped);

    Results voice;
    search("VOIX", voice, {folder(root / "x"), folder(root), utf8(root / "x" / "y")});  // the root once
    EXPECT_EQ(voice, (Results{{folder(root), "a.cpr", "refaire les voix"},
                              {folder(root / "x" / "y" / "z"), "Deep.CPR", "Voix doubl\xE9""es"}}));
}

TEST_F(TreeSearch, WritesNothingAndTouchesNoFile)
{
    write(root / "p" / "one.cpr", "");
    write(root / "p" / "two.cpr", "");
    write(root / "p" / "two.cpr.info", "note\r\nEOF\r\nmix.wav\r\n");
    std::map<std::string, std::tuple<std::uintmax_t, fs::file_time_type>> before;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        before[utf8(entry.path())] = {entry.is_regular_file() ? entry.file_size() : 0, entry.last_write_time()};
    Results results;
    search("", results);
    search("mix", results);
    std::map<std::string, std::tuple<std::uintmax_t, fs::file_time_type>> after;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        after[utf8(entry.path())] = {entry.is_regular_file() ? entry.file_size() : 0, entry.last_write_time()};
    EXPECT_EQ(after, before);
    EXPECT_EQ(results.size(), 3u);
}

TEST_F(TreeSearch, AFolderRemovedDuringTheWalkIsSkipped)
{
    write(root / "gone" / "deeper" / "lost.cpr", "");
    write(root / "kept" / "here.cpr", "");
    Results results;
    const Tally tally = search("", results, {}, [&](const Tally& sofar) {
        if (sofar.folders == 1)
            fs::remove_all(root / "gone");
    });
    EXPECT_EQ(results, (Results{{folder(root / "kept"), "here.cpr", ""}}));
    EXPECT_EQ(tally.unreadableFolders, 0u);
}

TEST_F(TreeSearch, AStoppedSearchEndsAtOnceAndReportsNothingMore)
{
    for (int i = 0; i < 40; ++i)
        write(root / ("song " + std::to_string(i)) / "song.cpr", "");
    NoteMatcher matcher("");
    std::atomic<bool> stop{false};
    int found = 0;
    SearchListener listener;
    listener.found = [&](Found&&) {
        ++found;
        stop = true;  // as the window does when the user stops
    };
    const Tally tally = searchTrees({utf8(root)}, matcher, stop, listener);
    EXPECT_EQ(found, 1);
    EXPECT_TRUE(tally.stopped);
    EXPECT_LT(tally.folders, 5u);
}

TEST_F(TreeSearch, LinksAndJunctionsToFoldersAreNotFollowed)
{
    write(root / "in" / "real.cpr", "");
    write(root / "elsewhere" / "linked.cpr", "");
    if (!linkFolder(root, root / "in" / "loop") || !linkFolder(root / "elsewhere", root / "in" / "link"))
        GTEST_SKIP() << "this system makes no folder links";
    Results results;
    const Tally tally = search("", results, {folder(root / "in")});
    EXPECT_EQ(results, (Results{{folder(root / "in"), "real.cpr", ""}}));
    EXPECT_EQ(tally.folders, 1u);
}

#ifndef _WIN32
TEST_F(TreeSearch, UnreadableFoldersAndForeignNamesAreLeftOut)
{
    write(root / "in" / "real.cpr", "");
    fs::create_symlink(root / "in" / "real.cpr", root / "in" / "alias.cpr");  // a project through a link is one
    write(root / "bad\xFF" / "hidden.cpr", "");
    write(root / "in" / "bad\xFE.cpr", "");
    // A folder whose search pattern is longer than the system takes.
    write(root / std::string(240, 'L') / "far.cpr", "");
    const bool privileged = ::geteuid() == 0;  // reads every folder whatever its permissions
    write(root / "locked" / "secret.cpr", "");
    fs::permissions(root / "locked", fs::perms::none);

    Results results;
    const Tally tally = search("", results, {folder(root / "in"), folder(root / "locked")});
    Results expected{{folder(root / "in"), "real.cpr", ""}, {folder(root / "in"), "alias.cpr", ""}};
    if (privileged)
        expected.insert({folder(root / "locked"), "secret.cpr", ""});
    EXPECT_EQ(results, expected);
    EXPECT_EQ(tally.unreadableFolders, privileged ? 0u : 1u);

    Results whole;
    const Tally wholeTally = search("", whole);
    EXPECT_EQ(whole, expected);
    EXPECT_EQ(wholeTally.unreadableFolders, privileged ? 1u : 2u);  // the long one, and the locked one
}
#endif

}  // namespace
}  // namespace orvasel::search
