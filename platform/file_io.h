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
    // It exists but is not read: it cannot be opened or read (permission, lock, I/O error), or it is
    // no ordinary file of its own (a folder, a device, a pipe, a link or junction leading elsewhere).
    Unreadable,
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    std::string error;  // why it was not read, in French (UTF-8)
};

// Only the file itself is read: a link or a junction under that name, a device ("COM1.cpr.info"
// on Windows is a serial port) or a pipe is never opened as the file it stands for.
ReadResult readWholeFile(const std::string& path);
// The same for at most the first limit bytes, for readers that never need more.
ReadResult readFileStart(const std::string& path, std::size_t limit);

struct WriteResult {
    bool ok = false;
    std::string error;  // why nothing was written, in French (UTF-8)
};

// A link under the target's name: the file it leads to is replaced (the user's own settings file,
// kept in a synchronised folder), or nothing is written (a note from someone else's folder).
enum class Links { Follow, Refuse };

// Writes the bytes into a temporary file in the same folder, flushes it to disk, then replaces
// the target in one step, so the target holds either its former or its new content, never a mix;
// the folder is flushed too, so that the replacement survives a power cut. A read-only target, or
// a folder under its name, is left alone and told. On any failure the temporary file is removed
// and the target is left as it was.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes, Links links = Links::Follow);

// The outcome of a replacement that depends on what the file holds.
struct ReplaceResult {
    enum class Outcome {
        Written,
        Changed,  // the file did not hold what was expected: nothing written
        Failed,   // nothing written; `error` says why
    } outcome = Outcome::Failed;
    std::string error;
};

// Replaces a note that someone else may be changing: as writeFileAtomically, refusing links, but
// only when the file still holds `expected` (still does not exist, for nothing). The comparison is
// made once the new content is on the disk, right before the replacement itself. On Windows the
// replacement keeps the file's hidden mark, and is tried again for a
// moment while a virus scanner, an indexer or a synchronisation client holds the file.
ReplaceResult replaceIfUnchanged(const std::string& path, std::string_view bytes,
                                 const std::optional<std::string>& expected);

// Removes the file (a link under that name: the link itself); nothing when there is none.
void removeFile(const std::string& path);

// Creates a new file holding the bytes, only when no file of that name exists (a link under that
// name counts as one), and flushes it and its folder to disk.
WriteResult createNewFile(const std::string& path, std::string_view bytes);

}  // namespace orvasel::file_io
