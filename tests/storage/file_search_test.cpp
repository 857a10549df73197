// The folder search, on real folders: natively, and cross-compiled for Windows under Wine.
#include "platform/file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvasel {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

fs::path fromUtf8(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

class FileSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("orvasel-search-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(folder_));
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The folder text as the program carries it: ending with the separator.
    std::string folderText() const
    {
        const std::u8string text = folder_.u8string();
        return std::string(text.begin(), text.end()) + kSeparator;
    }

    void put(const std::string& name) const { std::ofstream(folder_ / fromUtf8(name)) << "x"; }

    // Every entry found for the pattern, sorted by name.
    static std::vector<SearchEntry> find(const std::string& pattern)
    {
        std::vector<SearchEntry> found;
        FileSearch search(pattern);
        while (auto entry = search.next())
            found.push_back(*entry);
        std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
        return found;
    }

    static std::vector<std::string> names(const std::vector<SearchEntry>& entries)
    {
        std::vector<std::string> out;
        for (const auto& entry : entries)
            out.push_back(entry.name);
        return out;
    }

    fs::path folder_;
};

TEST_F(FileSearchTest, FindsProjectsInAnyLetterCaseWithFoldersAndHiddenFilesMarked)
{
    for (const char* name : {"alpha.cpr", "LOUD.CPR", "Mixed.Cpr", "notes.txt", "alpha.cpr.info", "song.cpr.bak"})
        put(name);
    fs::create_directory(folder_ / "Old.cpr");
#ifdef _WIN32
    put("secret.cpr");
    ASSERT_TRUE(SetFileAttributesW((folder_ / "secret.cpr").c_str(), FILE_ATTRIBUTE_HIDDEN));
#else
    put(".secret.cpr");
#endif
    const std::string hidden = fs::exists(folder_ / "secret.cpr") ? "secret.cpr" : ".secret.cpr";

    const std::vector<SearchEntry> found = find(folderText() + "*.cpr");
    std::vector<std::string> expected{"LOUD.CPR", "Mixed.Cpr", "Old.cpr", "alpha.cpr", hidden};
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(names(found), expected);
    for (const SearchEntry& entry : found) {
        EXPECT_EQ((entry.attributes & kAttributeDirectory) != 0, entry.name == "Old.cpr") << entry.name;
        EXPECT_EQ((entry.attributes & kAttributeHidden) != 0, entry.name == hidden) << entry.name;
    }
}

TEST_F(FileSearchTest, NamesOutsideCodePage1252ComeBackAsTheyAreInUtf8)
{
    const std::vector<std::string> unusual{"Пісня.cpr", "曲 № 2.cpr", "\xF0\x9F\x8E\xB5 beat.cpr", "déjà vu.cpr"};
    for (const std::string& name : unusual)
        put(name);
    std::vector<std::string> expected = unusual;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(find(folderText() + "*.cpr")), expected);
    EXPECT_EQ(names(find(folderText() + "曲*")), std::vector<std::string>{"曲 № 2.cpr"});
}

TEST_F(FileSearchTest, FindsNothingWhereTheSearchCannotStart)
{
    put("song.cpr");
    EXPECT_TRUE(find(folderText() + "missing" + kSeparator + "*.cpr").empty());
    EXPECT_TRUE(find(folderText() + "song.cpr" + kSeparator + "*.cpr").empty());  // through a file
    EXPECT_TRUE(find(folderText() + "*.wav").empty());
    EXPECT_TRUE(find(folderText() + "*.cpr\xFF").empty());  // not UTF-8
    EXPECT_TRUE(find("").empty());
}

TEST_F(FileSearchTest, APatternOfMoreThan259CharactersFindsNothing)
{
    put("song.cpr");
    // Stars match the empty text, so every pattern below would match "song.cpr" but for its length.
    const std::string folder = folderText();
    ASSERT_LT(folder.size(), kMaxPatternLength - 10);
    const auto pattern = [&](std::size_t length) {
        return folder + std::string(length - folder.size() - 4, '*') + ".cpr";
    };
    EXPECT_EQ(names(find(pattern(kMaxPatternLength))), std::vector<std::string>{"song.cpr"});
    EXPECT_TRUE(find(pattern(kMaxPatternLength + 1)).empty());

    // Counted as Windows counts: a character beyond 16 bits takes two units.
    const std::string note = "\xF0\x9F\x8E\xB5";  // one character, two units
    const std::string longest = folder + note + std::string(kMaxPatternLength - folder.size() - 2 - 4, '*') + ".cpr";
    put(note + "song.cpr");
    EXPECT_EQ(names(find(longest)), std::vector<std::string>{note + "song.cpr"});
    EXPECT_TRUE(find(longest.substr(0, folder.size()) + "*" + longest.substr(folder.size())).empty());
}

}  // namespace
}  // namespace orvasel
