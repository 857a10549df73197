#pragma once
// Wildcard search of one folder, entry by entry, as the system's file search gives them:
// names matched against the pattern without regard to letter case, hidden files included.
// Qt-free: the pattern and the names are UTF-8 (wide characters on Windows, inside).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace orvasel {

inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
// A symbolic link or a junction: a walk through the folders does not follow it.
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

// The longest pattern the search takes, in UTF-16 units as Windows counts them, the terminating
// zero excluded.
inline constexpr std::size_t kMaxPatternLength = 259;

struct SearchEntry {
    std::uint32_t attributes = 0;
    std::string name;
};

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

    // True when the folder is there but could not be read (permission, I/O error, a path too long),
    // as opposed to a folder that is missing or holds no match.
    bool unreadable() const { return unreadable_; }

private:
    struct Handle;
    Handle* handle_ = nullptr;
    bool unreadable_ = false;
};

}  // namespace orvasel
