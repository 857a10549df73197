#include "storage/settings_merge.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvasel::settings_merge {

namespace {

using settings_file::Settings;

// A bookmark's identity: its folder, and which of the equal folders of its list it is. The program
// never stores a folder twice, but a file written by hand may, and each copy then counts on its own.
using Key = std::pair<std::string, int>;

struct Bookmark {
    Key key;
    std::string name;
};

std::vector<Bookmark> bookmarks(const Settings& settings) {
    std::map<std::string, int> seen;
    std::vector<Bookmark> list;
    for (std::size_t i = 0; i < settings.folders.size(); ++i) {
        const std::string& folder = settings.folders[i];
        const std::string& name = i < settings.names.size() ? settings.names[i] : folder;
        list.push_back({{folder, seen[folder]++}, name});
    }
    return list;
}

std::map<Key, const Bookmark*> byKey(const std::vector<Bookmark>& list) {
    std::map<Key, const Bookmark*> index;
    for (const Bookmark& bookmark : list) index.emplace(bookmark.key, &bookmark);
    return index;
}

const Bookmark* find(const std::map<Key, const Bookmark*>& index, const Key& key) {
    const auto found = index.find(key);
    return found == index.end() ? nullptr : found->second;
}

// This copy's value when it changed it, otherwise the one on disk.
const std::string& pick(const std::string& base, const std::string& mine, const std::string& theirs) {
    return mine != base ? mine : theirs;
}

Settings readOr(std::optional<std::string_view> bytes, const Settings& otherwise) {
    if (!bytes) return otherwise;
    settings_file::Loaded loaded = settings_file::parse(*bytes);
    return loaded.fault == settings_file::Fault::None ? std::move(loaded.settings) : otherwise;
}

}  // namespace

Settings merge(std::optional<std::string_view> readAtStart, const Settings& mine, std::optional<std::string_view> onDisk) {
    // What was read at start, cut or not, is what this copy's values grew from.
    const Settings base = readAtStart ? settings_file::parse(*readAtStart).settings : Settings{};
    const Settings theirs = readOr(onDisk, base);

    const std::vector<Bookmark> baseList = bookmarks(base), mineList = bookmarks(mine), theirList = bookmarks(theirs);
    const auto inBase = byKey(baseList), inMine = byKey(mineList), inTheirs = byKey(theirList);

    Settings merged;
    merged.cubasePath = pick(base.cubasePath, mine.cubasePath, theirs.cubasePath);
    merged.playerPath = pick(base.playerPath, mine.playerPath, theirs.playerPath);
    const auto add = [&merged](const Bookmark& bookmark) {
        merged.folders.push_back(bookmark.key.first);
        merged.names.push_back(bookmark.name);
    };

    const bool mineHasCurrent = mine.currentIndex >= 0 && std::size_t(mine.currentIndex) < mineList.size();
    for (std::size_t i = 0; i < mineList.size(); ++i) {
        const Bookmark& bookmark = mineList[i];
        const Bookmark* was = find(inBase, bookmark.key);
        const Bookmark* there = find(inTheirs, bookmark.key);
        if (was && !there) continue;  // deleted elsewhere
        if (mineHasCurrent && i == std::size_t(mine.currentIndex)) merged.currentIndex = int(merged.folders.size());
        add(was && there ? Bookmark{bookmark.key, pick(was->name, bookmark.name, there->name)} : bookmark);
    }
    for (const Bookmark& bookmark : theirList)
        if (!find(inMine, bookmark.key) && !find(inBase, bookmark.key)) add(bookmark);  // added elsewhere
    return merged;
}

}  // namespace orvasel::settings_merge
