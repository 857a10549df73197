#pragma once
// What a close request writes into a settings file that other copies of the program (a second
// window, a second computer through a synchronised folder) may have rewritten since this copy read
// it: a three-way merge of this copy's values with the file as it is now, over the file as it was
// read at start. Pure: bytes and values in, values out.
#include "storage/settings_file.h"

#include <optional>
#include <string_view>

namespace orvasel::settings_merge {

// readAtStart: the bytes this copy read at start; nothing when there was no file or it could not
//   be read (the initial state then stands for it, so that nothing on disk counts as deleted).
// mine: this copy's values now.
// onDisk: the bytes in the file now; nothing when there is none. A file that does not read without
//   a fault counts as unchanged: a cut or damaged file must not pass for bookmarks deleted elsewhere.
//
// A bookmark is known by its folder. Bookmarks added on either side are kept, this copy's first in
// its order, then those added elsewhere in the file's order; bookmarks deleted on either side stay
// deleted. A name or path that this copy changed is this copy's, otherwise the file's. The current
// bookmark is this copy's, wherever it now stands (none when it was deleted elsewhere).
settings_file::Settings merge(std::optional<std::string_view> readAtStart, const settings_file::Settings& mine,
                              std::optional<std::string_view> onDisk);

}  // namespace orvasel::settings_merge
