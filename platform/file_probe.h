#pragma once
// Whether a file is at a path, as the file system answers, with its size and time, and the volume
// (drive, share, mount point) that holds it, with whether that volume lies on another machine.
// The answer may take long (a sleeping drive, a share that stopped answering): whoever must not
// wait asks from a thread of its own. Qt-free; paths are UTF-8.
#include <cstdint>
#include <string>
#include <vector>

namespace orvasel::file_probe {

enum class Presence {
    File,     // a file is there
    Missing,  // nothing there, or a folder, or a drive or folder on the way that does not exist
    Unknown,  // the system could not tell (access refused, drive not ready, server unreachable)
};

struct Probe {
    Presence presence = Presence::Unknown;
    std::uint64_t size = 0;     // of a file
    std::int64_t modified = 0;  // of a file: its last change, in nanoseconds since 1970 (UTC)
};

// Blocks for as long as the file system takes.
Probe probe(const std::string& path);

// A mounted file system (Linux): where it is mounted, and its type ("ext4", "nfs4", "fuse.sshfs").
struct Mount {
    std::string point;
    std::string type;
};
// The mounts of this machine (Linux); none elsewhere, where the path itself names its volume.
std::vector<Mount> mounts();

struct Volume {
    // On Windows "c:" or "\\server\share" (letter case folded, with or without the "\\?\" prefix);
    // elsewhere the longest mount point that holds the path, else "/". Empty for a path that is
    // not a full path on this system: its place cannot be known, so it is not checked.
    std::string name;
    // On another machine, as far as the path tells: a share ("\\server\share", "//server/share",
    // "\\server@80\share"), or on Linux a network or user-space file system (NFS, SMB, sshfs, an
    // automounter...). A mapped network drive letter is told by remoteDrive.
    bool remote = false;
};
Volume volumeOf(const std::string& path, const std::vector<Mount>& mounts);

// Whether a drive letter ("z:") is mapped to a share (Windows; false elsewhere). Asks the system
// only for what it knows of its own drives: no server is contacted.
bool remoteDrive(const std::string& volume);

}  // namespace orvasel::file_probe
