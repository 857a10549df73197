#pragma once
// Wildcard search of one folder, entry by entry, as the system's file search gives them:
// names matched against the pattern without regard to letter case, hidden files included.
#include <QString>
#include <cstdint>
#include <optional>

namespace orvasel {

inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;

// The longest pattern the search takes, the terminating zero excluded.
inline constexpr qsizetype kMaxPatternLength = 259;

struct SearchEntry {
    std::uint32_t attributes = 0;
    QString name;
};

class FileSearch {
public:
    // Pattern: a folder text followed by a wildcard name, such as "D:\Projets\*.cpr".
    // A search that cannot start (no match, missing or unreadable folder) finds nothing.
    explicit FileSearch(const QString& pattern);
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
