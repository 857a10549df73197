#include "storage/settings_merge.h"

#include <gtest/gtest.h>

namespace orvasel::settings_merge {
namespace {

using settings_file::Settings;
using settings_file::serialize;

// Bookmarks written "folder=name".
Settings with(std::string cubase, int index, std::vector<std::string> bookmarks, std::string player) {
    Settings settings{std::move(cubase), index, {}, {}, std::move(player)};
    for (const std::string& bookmark : bookmarks) {
        const std::size_t equals = bookmark.find('=');
        settings.folders.push_back(bookmark.substr(0, equals));
        settings.names.push_back(bookmark.substr(equals + 1));
    }
    return settings;
}

TEST(SettingsMerge, KeepsWhatEitherSideAddedOrChangedAndWhatEitherSideDeletedStaysDeleted) {
    const Settings start = with("C:\\Cubase.exe", 1, {"A\\=a", "B\\=b", "C\\=c"}, "");
    const std::string startBytes = serialize(start);
    struct Case {
        const char* what;
        std::optional<std::string> readAtStart;
        Settings mine;
        std::optional<std::string> onDisk;
        Settings merged;
    };
    const Case cases[] = {
        {"nothing changed elsewhere: this copy's values", startBytes,
         with("D:\\Cubase.exe", 2, {"A\\=a", "C\\=c", "E\\=e"}, "p.exe"), startBytes,
         with("D:\\Cubase.exe", 2, {"A\\=a", "C\\=c", "E\\=e"}, "p.exe")},
        {"added and deleted on both sides; the current bookmark follows its folder", startBytes,
         with("C:\\Cubase.exe", 2, {"A\\=a", "C\\=c", "E\\=e"}, ""),
         serialize(with("C:\\Cubase.exe", 0, {"B\\=b", "C\\=c", "F\\=f", "G\\=g"}, "")),
         with("C:\\Cubase.exe", 1, {"C\\=c", "E\\=e", "F\\=f", "G\\=g"}, "")},
        {"renamed elsewhere; added on both sides under two names: this copy's", startBytes,
         with("C:\\Cubase.exe", 1, {"A\\=a", "B\\=b", "C\\=mien", "E\\=e"}, ""),
         serialize(with("C:\\Cubase.exe", 0, {"A\\=autre", "B\\=b", "C\\=sien", "E\\=leur"}, "")),
         with("C:\\Cubase.exe", 1, {"A\\=autre", "B\\=b", "C\\=mien", "E\\=e"}, "")},
        {"paths: changed here wins, changed only elsewhere is kept", startBytes,
         with("D:\\Cubase.exe", 1, {"A\\=a", "B\\=b", "C\\=c"}, ""),
         serialize(with("E:\\Cubase.exe", 1, {"A\\=a", "B\\=b", "C\\=c"}, "q.exe")),
         with("D:\\Cubase.exe", 1, {"A\\=a", "B\\=b", "C\\=c"}, "q.exe")},
        {"the current bookmark deleted elsewhere: none current", startBytes, start,
         serialize(with("C:\\Cubase.exe", 0, {"A\\=a", "C\\=c"}, "")),
         with("C:\\Cubase.exe", -1, {"A\\=a", "C\\=c"}, "")},
        {"unreadable at start: everything on disk is kept", std::nullopt,
         with("rien", 0, {"E\\=e"}, ""), startBytes,
         with("C:\\Cubase.exe", 0, {"E\\=e", "A\\=a", "B\\=b", "C\\=c"}, "")},
        {"no file now, or a damaged one: this copy's values", startBytes,
         with("rien", -1, {"A\\=a"}, ""), std::nullopt, with("rien", -1, {"A\\=a"}, "")},
        {"a file cut short is not taken for deletions", startBytes,
         with("rien", -1, {"A\\=a", "B\\=b", "C\\=c"}, ""), startBytes.substr(0, startBytes.find("B\\")),
         with("rien", -1, {"A\\=a", "B\\=b", "C\\=c"}, "")},
        {"a folder stored twice counts twice", serialize(with("rien", -1, {"A\\=a", "A\\=a2"}, "")),
         with("rien", -1, {"A\\=a"}, ""), serialize(with("rien", -1, {"A\\=a", "A\\=a2", "A\\=a3"}, "")),
         with("rien", -1, {"A\\=a", "A\\=a3"}, "")},
    };
    for (const Case& c : cases) {
        const auto view = [](const std::optional<std::string>& bytes) {
            return bytes ? std::optional<std::string_view>(*bytes) : std::nullopt;
        };
        EXPECT_EQ(serialize(merge(view(c.readAtStart), c.mine, view(c.onDisk))), serialize(c.merged)) << c.what;
    }
}

}  // namespace
}  // namespace orvasel::settings_merge
