// Any three settings files as the file read at start, this copy's values and the file on disk at
// close: the merge comes to an end, keeps the lists parallel and the current bookmark in range,
// loses nothing added on either side, writes what it merged back unchanged, and gives this copy's
// values when nothing changed elsewhere. The input's parts are separated by zero bytes; a part
// that is not there stands for a file that could not be read.
#include "storage/settings_merge.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace orvasel;
using settings_file::Settings;

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "settings merge: %s\n", what);
    std::abort();
}

bool contains(const std::vector<std::string>& list, const std::string& value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool hasRepeats(std::vector<std::string> list)
{
    std::sort(list.begin(), list.end());
    return std::adjacent_find(list.begin(), list.end()) != list.end();
}

// The folders of a side that its starting point did not have.
std::vector<std::string> added(const Settings& side, const Settings& base)
{
    std::vector<std::string> folders;
    for (const std::string& folder : side.folders)
        if (!contains(base.folders, folder))
            folders.push_back(folder);
    return folders;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string_view> parts;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t zero; parts.size() < 2 && (zero = input.find('\0')) != std::string_view::npos;) {
        parts.push_back(input.substr(0, zero));
        input.remove_prefix(zero + 1);
    }
    parts.push_back(input);
    const std::optional<std::string_view> start = parts.size() > 1 ? std::optional(parts[0]) : std::nullopt;
    Settings mine = settings_file::parse(parts.size() > 1 ? parts[1] : parts[0]).settings;
    if (mine.currentIndex < 0 || mine.currentIndex >= int(mine.folders.size()))
        mine.currentIndex = -1;
    const std::optional<std::string_view> disk = parts.size() > 2 ? std::optional(parts[2]) : std::nullopt;

    const Settings merged = settings_merge::merge(start, mine, disk);
    if (merged.folders.size() != merged.names.size())
        fail("the bookmark folders and names are not parallel");
    if (merged.currentIndex < -1 || merged.currentIndex >= int(merged.folders.size()))
        fail("the current bookmark lies outside the list");
    if (mine.currentIndex >= 0 && merged.currentIndex >= 0 &&
        merged.folders[std::size_t(merged.currentIndex)] != mine.folders[std::size_t(mine.currentIndex)])
        fail("the current bookmark is not this copy's");

    const Settings base = start ? settings_file::parse(*start).settings : Settings{};
    for (const std::string& folder : added(mine, base))
        if (!contains(merged.folders, folder))
            fail("a bookmark added by this copy was lost");
    if (disk) {
        const settings_file::Loaded there = settings_file::parse(*disk);
        if (there.fault == settings_file::Fault::None)
            for (const std::string& folder : added(there.settings, base))
                if (!contains(merged.folders, folder))
                    fail("a bookmark added elsewhere was lost");
    }
    if (settings_merge::merge(start, mine, start) != mine)
        fail("with nothing changed elsewhere the merge is not this copy's values");
    // With a folder stored twice, which of the two a side deleted cannot be told: only lists without
    // such folders must come back the same when merged again.
    const bool repeats = hasRepeats(base.folders) || hasRepeats(mine.folders) ||
                         (disk && hasRepeats(settings_file::parse(*disk).settings.folders));
    if (!repeats && settings_merge::merge(start, merged, disk) != merged)
        fail("merging the merged values again changed them");
    return 0;
}
