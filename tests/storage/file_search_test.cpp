// The folder search, on real folders: natively, and cross-compiled for Windows under Wine.
#include "platform/file_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvasel {
namespace {

namespace fs = std::filesystem;
constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

TEST(FileSearch, FindsWhatWindowsFindsWithFoldersAndHiddenFilesMarked)
{
    const fs::path root = fs::temp_directory_path() / ("orvasel-search-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(root));
    const std::u8string rootText = root.u8string();
    const std::string folder = std::string(rootText.begin(), rootText.end()) + kSeparator;  // as the program has it
    for (const std::string name : {"alpha.cpr", "LOUD.CPR", "notes.txt", "alpha.cpr.info", ".secret.cpr", "曲 № 2.cpr",
                                   "\xF0\x9F\x8E\xB5 beat.cpr"})
        std::ofstream(root / std::u8string(name.begin(), name.end())) << "x";
    fs::create_directory(root / "Old.cpr");
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesW((root / ".secret.cpr").c_str(), FILE_ATTRIBUTE_HIDDEN));
#endif
    using Found = std::map<std::string, std::uint32_t>;  // each name with its folder and hidden marks
    const Found all{{"LOUD.CPR", 0}, {"Old.cpr", kAttributeDirectory}, {"alpha.cpr", 0},
                    {".secret.cpr", kAttributeHidden}, {"曲 № 2.cpr", 0}, {"\xF0\x9F\x8E\xB5 beat.cpr", 0}};
    // Stars match the empty text: the longest patterns would find their files but for their length.
    const std::string stars(kMaxPatternLength - folder.size() - 4, '*');
    const std::pair<std::string, Found> cases[] = {
        {folder + "*.cpr", all}, {folder + "曲*", {{"曲 № 2.cpr", 0}}},
        {folder + stars + ".cpr", all}, {folder + "*" + stars + ".cpr", {}},  // 259 units, then 260
        {folder + "alpha.cpr" + kSeparator + "*.cpr", {}}, {folder + "*.cpr\xFF", {}},  // the last is not UTF-8
    };
    for (const auto& [pattern, expected] : cases) {
        Found found;
        FileSearch search(pattern);
        while (auto entry = search.next())
            found[entry->name] = entry->attributes & (kAttributeDirectory | kAttributeHidden);
        EXPECT_EQ(found, expected) << pattern;
    }
    fs::remove_all(root);
}

}  // namespace
}  // namespace orvasel
