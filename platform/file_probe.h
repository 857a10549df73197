#pragma once
// Whether a file is at a path, as the file system answers, and the volume (drive, share, mount
// point) that holds it. The answer may take long (a sleeping drive, a share that stopped
// answering): whoever must not wait asks from a thread of its own. Qt-free; paths are UTF-8.
#include <string>
#include <vector>

namespace orvasel::file_probe {

enum class Presence {
    File,     // a file is there
    Missing,  // nothing there, or a folder, or a drive or folder on the way that does not exist
    Unknown,  // the system could not tell (access refused, drive not ready, server unreachable)
};

// Blocks for as long as the file system takes.
Presence probe(const std::string& path);

// The mount points of this machine (Linux); none elsewhere, where the path itself names its volume.
std::vector<std::string> mountPoints();

// The volume holding a full path: on Windows "c:" or "\\server\share" (letter case folded, with or
// without the "\\?\" prefix); elsewhere the longest mount point that holds it, else "/". Empty for
// a path that is not a full path on this system: its place cannot be known, so it is not checked.
std::string volumeOf(const std::string& path, const std::vector<std::string>& mountPoints);

}  // namespace orvasel::file_probe
