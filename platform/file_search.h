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

private:
    struct Handle;
    Handle* handle_ = nullptr;
};

}  // namespace orvasel
