#pragma once
// Whole-file reads and crash-safe whole-file writes. Qt-free, so that the storage code and
// its tests build for Windows too. Paths are UTF-8 (converted to wide characters on Windows).
#include <optional>
#include <string>
#include <string_view>

namespace orvasel::file_io {

// The length Windows sees: one unit per character, two for one beyond the 16-bit range.
std::size_t utf16Length(std::string_view utf8);

// Windows opens a path of up to 259 characters as it is given, and creates a folder of up to 247.
// Beyond that the path goes in the extended form, which the system takes up to 32,767 units long:
// "C:\..." becomes "\\?\C:\...", "\\serveur\partage\..." becomes "\\?\UNC\serveur\partage\...".
// That form skips the system's own clean-up, so the path is cleaned here: '/' becomes '\',
// doubled separators and "." go, ".." takes the folder before it away. Shorter paths, relative
// ones and paths already in a device or extended form come back as they are.
inline constexpr std::size_t kLongestPlainPath = 247;
std::string extendedLengthPath(std::string_view utf8);

#ifdef _WIN32
// The path as the wide-character file functions take it, in the extended form when it is long;
// nothing when it is not valid UTF-8.
std::optional<std::wstring> nativePath(const std::string& utf8);
#endif

enum class ReadStatus {
    Ok,
    Missing,     // no such file (a path through a missing folder included)
    Unreadable,  // it exists but cannot be opened or read (permission, lock, I/O error, a folder)
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    std::string error;  // the system's reason when not Ok, in UTF-8
};

ReadResult readWholeFile(const std::string& path);
// The same for at most the first limit bytes, for readers that never need more.
ReadResult readFileStart(const std::string& path, std::size_t limit);

struct WriteResult {
    bool ok = false;
    std::string error;  // the system's reason when not ok, in UTF-8
};

// Writes the bytes into a temporary file in the same folder, flushes it to disk, then replaces
// the target in one step, so the target holds either its former or its new content, never a mix.
// On any failure the temporary file is removed and the target is left as it was.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

// Creates a new file holding the bytes, only when no file of that name exists.
WriteResult createNewFile(const std::string& path, std::string_view bytes);

}  // namespace orvasel::file_io
