#pragma once
// Wildcard search of one folder, entry by entry, as the system's file search gives them:
// names matched against the pattern without regard to letter case, hidden files included.
// Qt-free: the pattern and the names are UTF-8 (wide characters on Windows, inside).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvasel {

// The attribute bits of an entry, with the values Windows gives them.
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;  // its tag tells what it is
inline constexpr std::uint32_t kAttributeOffline = 0x1000;
inline constexpr std::uint32_t kAttributeRecallOnOpen = 0x40000;
inline constexpr std::uint32_t kAttributeRecallOnDataAccess = 0x400000;

// Reparse tags: the two that name another place (junctions and mount points share the first),
// and the one of OneDrive's files and folders, whose low bits vary.
inline constexpr std::uint32_t kReparseTagMountPoint = 0xA0000003;
inline constexpr std::uint32_t kReparseTagSymbolicLink = 0xA000000C;
inline constexpr std::uint32_t kReparseTagCloud = 0x9000001A;

// The longest pattern the search takes, in UTF-16 units as Windows counts them: a long one goes
// in the extended form (see file_io::extendedLengthPath), which stops at 32,767 units.
inline constexpr std::size_t kMaxPatternLength = 32'000;

struct SearchEntry {
    std::uint32_t attributes = 0;
    std::uint32_t reparseTag = 0;  // only with kAttributeReparsePoint
    std::string name;
};

// A link, a junction or a mount point: its name stands for another place, which a walk through
// the folders does not follow (it could lead back up, or to another disk). A cloud folder
// (OneDrive, ...) is a reparse point too, but its content is its own: it is walked. A reparse
// point without its tag is taken for a link.
bool leadsElsewhere(const SearchEntry& entry);

// A file whose content is not on this computer (OneDrive's "online-only" files, files moved to
// archive storage): reading it would download it first.
bool contentNotOnDisk(const SearchEntry& entry);

// A name as the wide-character file functions give it, in UTF-8; nothing when it does not convert
// back to the same units (a lone surrogate, which UTF-8 cannot hold): two such names would come
// out alike, and one would be taken for the other.
std::optional<std::string> utf8FromUtf16(std::u16string_view name);

class FileSearch {
public:
    // Pattern: a folder text followed by a wildcard name, such as "D:\Projets\*.cpr".
    // A search that cannot start (no match, missing or unreadable folder, a pattern too long or
    // not valid UTF-8) finds nothing.
    explicit FileSearch(const std::string& pattern);
    ~FileSearch();
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // The next entry, or nothing when the search has come to its end.
    std::optional<SearchEntry> next();
    // The same into an entry of the caller's, whose name keeps its room from one entry to the next:
    // false at the end.
    bool next(SearchEntry& entry);

    // True when the folder is there but could not be read (permission, I/O error, a path too long),
    // as opposed to a folder that is missing or holds no match.
    bool unreadable() const { return unreadable_; }
    // True when the folder is not there at all (or is no folder).
    bool missing() const { return missing_; }

private:
    struct Handle;
    Handle* handle_ = nullptr;
    bool unreadable_ = false;
    bool missing_ = false;
};

}  // namespace orvasel
