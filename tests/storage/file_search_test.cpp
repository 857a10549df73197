// The folder search, on real folders: natively, and cross-compiled for Windows under Wine.
#include "platform/file_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <tuple>

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
    // A folder far beyond the 260 characters Windows takes as they are.
    const std::string deep = folder + std::string(150, 'd') + kSeparator + std::string(150, 'e') + kSeparator;
    fs::create_directories(root / std::string(150, 'd') / std::string(150, 'e') / "far.cpr");
    enum State { Listed, Missing, Unreadable };
    const std::tuple<std::string, Found, State> cases[] = {
        {folder + "*.cpr", all, Listed}, {folder + "曲*", {{"曲 № 2.cpr", 0}}, Listed},
        {deep + "*.cpr", {{"far.cpr", kAttributeDirectory}}, Listed}, {folder + "*.wav", {}, Listed},
        {folder + "gone" + kSeparator + "*", {}, Missing}, {folder + "alpha.cpr" + kSeparator + "*.cpr", {}, Missing},
        {folder + std::string(kMaxPatternLength, '*'), {}, Unreadable}, {folder + "*.cpr\xFF", {}, Listed},  // not UTF-8
    };
    for (const auto& [pattern, expected, state] : cases) {
        Found found;
        FileSearch search(pattern);
        while (auto entry = search.next())
            found[entry->name] = entry->attributes & (kAttributeDirectory | kAttributeHidden);
        EXPECT_EQ(found, expected) << pattern;
        EXPECT_EQ(search.missing() ? Missing : search.unreadable() ? Unreadable : Listed, state) << pattern;
    }
#ifdef _WIN32
    // Two names that differ only in a lone surrogate would both come out as U+FFFD: neither is found,
    // the other projects are. (Wine may refuse to make such a name at all.)
    const std::wstring loneSurrogates[] = {root.wstring() + L"\\A\xD800.cpr", root.wstring() + L"\\A\xD801.cpr"};
    int made = 0;
    for (const std::wstring& name : loneSurrogates) {
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        made += file != INVALID_HANDLE_VALUE;
        CloseHandle(file);
    }
    if (made > 0) {
        Found found;
        FileSearch search(folder + "*.cpr");
        while (auto entry = search.next())
            found[entry->name] = entry->attributes & (kAttributeDirectory | kAttributeHidden);
        EXPECT_EQ(found, all);
        for (const std::wstring& name : loneSurrogates)
            DeleteFileW(name.c_str());
    }
#endif
    fs::rename(root / std::string(150, 'd'), root / "d");  // the runtime's own removal stops at 260 characters
    fs::remove_all(root);
}

// Names as Windows gives them: every one that converts back to the same units, and none else.
TEST(FileSearch, NamesInUtf16BecomeUtf8OnlyWhenNothingIsLost)
{
    const std::pair<std::u16string, std::optional<std::string>> cases[] = {
        {u"Beta.cpr", "Beta.cpr"},
        {u"\u00C9t\u00E9 \u66F2.cpr", "\xC3\x89t\xC3\xA9 \xE6\x9B\xB2.cpr"},
        {u"\U0001F3B5.cpr", "\xF0\x9F\x8E\xB5.cpr"},  // a pair of surrogates
        {u"", ""},
        {u"A\xD800.cpr", std::nullopt},  // a first half alone
        {u"A\xDC00.cpr", std::nullopt},  // a second half alone
        {u"A\xD800", std::nullopt},      // a first half at the end
        {u"\xD800\xD800\xDC00", std::nullopt},
    };
    for (const auto& [utf16, utf8] : cases)
        EXPECT_EQ(utf8FromUtf16(utf16), utf8) << utf16.size();
}

// What a walk through the folders does with an entry, from its attributes and reparse tag.
TEST(FileSearch, OnlyNameSurrogatesLeadElsewhereAndOnlyFilesWithoutLocalContentAreOnline)
{
    constexpr std::uint32_t folder = kAttributeDirectory, reparse = kAttributeReparsePoint, archive = 0x20;
    constexpr std::uint32_t pinned = 0x80000, unpinned = 0x100000, sparse = 0x200;
    struct Case {
        const char* what;
        std::uint32_t attributes, tag;
        bool elsewhere, notOnDisk;
    };
    const Case cases[] = {
        {"plain folder", folder, 0, false, false},
        {"junction", folder | reparse, kReparseTagMountPoint, true, false},
        {"mount point of a volume", folder | reparse, kReparseTagMountPoint, true, false},
        {"symbolic link to a folder", folder | reparse, kReparseTagSymbolicLink, true, false},
        {"WSL symbolic link", reparse, 0xA000001D, true, false},
        {"reparse point whose tag is not given", folder | reparse, 0, true, false},
        {"OneDrive folder", folder | reparse, kReparseTagCloud, false, false},
        {"OneDrive folder, its list online", folder | reparse | kAttributeRecallOnOpen, 0x9000701A, false, true},
        {"OneDrive file kept on this computer", archive | reparse | pinned, 0x9000601A, false, false},
        {"OneDrive file downloaded once", archive | reparse, kReparseTagCloud, false, false},
        {"OneDrive file online only", archive | reparse | sparse | unpinned | kAttributeRecallOnDataAccess, 0x9000701A,
         false, true},
        {"file of another cloud, online only", archive | kAttributeRecallOnOpen, 0, false, true},
        {"file moved to archive storage", archive | kAttributeOffline, 0, false, true},
        {"deduplicated file", archive | reparse | sparse, 0x80000013, false, false},
    };
    for (const Case& c : cases) {
        const SearchEntry entry{c.attributes, c.tag, "x"};
        EXPECT_EQ(std::pair(leadsElsewhere(entry), contentNotOnDisk(entry)), std::pair(c.elsewhere, c.notOnDisk)) << c.what;
    }
}

}  // namespace
}  // namespace orvasel
