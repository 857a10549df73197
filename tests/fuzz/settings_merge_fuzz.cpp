// Any three settings files as the file read at start, this copy's values and the file on disk at
// close (parts separated by zero bytes; a missing part is a file that could not be read): the merge
// keeps the lists parallel, the current bookmark this copy's, every bookmark added on either side,
// gives this copy's values when nothing changed elsewhere, and merged again gives the same.
#include "fuzz/check.h"
#include "storage/settings_merge.h"

#include <algorithm>
#include <cstdint>
#include <set>

using namespace orvasel;
using settings_file::Settings;
using fuzz::check;

namespace {

bool keepsAdditions(const Settings& side, const Settings& base, const Settings& merged)
{
    return std::all_of(side.folders.begin(), side.folders.end(), [&](const std::string& folder) {
        return std::count(base.folders.begin(), base.folders.end(), folder) ||
               std::count(merged.folders.begin(), merged.folders.end(), folder);
    });
}

bool repeats(const std::vector<std::string>& folders)
{
    return std::set(folders.begin(), folders.end()).size() != folders.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::optional<std::string_view>> parts;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t zero; parts.size() < 2 && (zero = input.find('\0')) != std::string_view::npos;
         input.remove_prefix(zero + 1))
        parts.push_back(input.substr(0, zero));
    parts.push_back(input);
    parts.resize(3);
    const std::optional<std::string_view> start = parts[0], disk = parts[2];
    Settings mine = settings_file::parse(parts[1].value_or("")).settings;
    if (mine.currentIndex < 0 || std::size_t(mine.currentIndex) >= mine.folders.size())
        mine.currentIndex = -1;

    const Settings merged = settings_merge::merge(start, mine, disk);
    const Settings base = start ? settings_file::parse(*start).settings : Settings{};
    const settings_file::Loaded there = settings_file::parse(disk.value_or(""));
    check(merged.folders.size() == merged.names.size(), "the bookmark folders and names are not parallel");
    check(merged.currentIndex < int(merged.folders.size()), "the current bookmark lies outside the list");
    check(merged.currentIndex < 0 || merged.folders[std::size_t(merged.currentIndex)] ==
                                         mine.folders[std::size_t(mine.currentIndex)],
          "the current bookmark is not this copy's");
    check(keepsAdditions(mine, base, merged), "a bookmark added by this copy was lost");
    check(!disk || there.fault != settings_file::Fault::None || keepsAdditions(there.settings, base, merged),
          "a bookmark added elsewhere was lost");
    check(settings_merge::merge(start, mine, start) == mine, "nothing changed elsewhere, yet the merge is not this copy's");
    // With a folder stored twice, which of the two a side deleted cannot be told.
    check(repeats(base.folders) || repeats(mine.folders) || repeats(there.settings.folders) ||
              settings_merge::merge(start, merged, disk) == merged,
          "merging the merged values again changed them");
    return 0;
}
