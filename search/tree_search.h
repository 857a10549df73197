#pragma once
// The search through the notes of whole folder trees: every folder below each root, to any depth,
// every project file there, its information file read and matched. Nothing is ever written.
// Paths are UTF-8 folder texts ending with the separator, as the program carries them.
//
// Folders are read by a few threads for each volume of the roots, so that a network share that
// takes a millisecond per request is not a thousand times slower than a local disk; what they find
// is handed to the listener on the caller's thread, one at a time.
#include "platform/file_io.h"
#include "platform/file_probe.h"
#include "platform/file_search.h"
#include "search/export_check.h"
#include "search/note_matcher.h"
#include "search/project_file.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvasel::search {

struct Found {
    std::size_t id = 0;   // the project's number in its search, given again with its details
    std::string folder;   // the project's folder text
    std::string project;  // the project file's name
    std::string line;     // the line to show, code page 1252
    std::string plugin;   // found by this plugin's name (UTF-8), not by the note
    bool noteNotDownloaded = false;  // its note is online only: not read, the line is empty
    bool noteUnreadable = false;     // its information file is there but could not be read
    bool noteBlank = true;           // no information file, or a note of nothing but blanks
    std::string exportPath;          // the exported-audio path as stored, code page 1252
    ExportState exportState = ExportState::None;  // told by the catalogue, which checks it
    file_probe::Probe projectFile;   // the project file's size and time, when the catalogue asks
    bool projectNotDownloaded = false;       // the project file itself is online only: never read
    std::optional<ProjectDetails> details;   // read by the time it is listed (the catalogue)
    std::string foundExport;  // for a project without an export path, an export found beside it (UTF-8)
};

// What was read of a project listed before its file was: its details, and an export found for it.
struct Detailed {
    std::size_t id = 0;
    ProjectDetails details;   // all unknown when the file could not be read
    std::string foundExport;  // UTF-8; empty when none
};

struct Tally {
    std::size_t folders = 0;            // folders listed so far
    std::size_t unreadableFolders = 0;
    std::size_t unreadableFiles = 0;    // information files there but not readable
    std::size_t notesNotDownloaded = 0; // information files online only (OneDrive), not read
    std::size_t missingRoots = 0;       // roots that are no folder at all
    std::size_t uncheckedExports = 0;   // exports whose presence could not be checked (catalogue)
    std::size_t projectsToRead = 0;     // project files found whose details are read (catalogue)
    std::size_t projectsRead = 0;       // of them, read so far
    bool stopped = false;               // the search was stopped before its end
};

struct SearchListener {
    std::function<void(Found&&)> found;
    std::function<void(Detailed&&)> detailed;      // the catalogue: details of a project found before
    // After each folder, and as projects are read, with the tally so far.
    std::function<void(const Tally&)> progress;
};

enum class FolderState { Listed, Missing, Unreadable };

// A file read from its start, piece by piece: how many bytes went into into (0 at its end, below 0
// on a failure).
class InputStream {
public:
    virtual ~InputStream() = default;
    virtual std::ptrdiff_t read(char* into, std::size_t most) = 0;
};

// What the walk asks of the disk. The computer's own goes through the file search and the file
// reads; tests put a stand-in there (a share that stops answering, OneDrive's files). Asked from
// several threads at once.
class Disk {
public:
    virtual ~Disk() = default;
    // Hands each entry of the folder to each, until it returns false.
    virtual FolderState list(const std::string& folder, const std::function<bool(const SearchEntry&)>& each) = 0;
    virtual file_io::ReadResult readStart(const std::string& path, std::size_t limit) = 0;
    // A file's size and time.
    virtual file_probe::Probe examine(const std::string& path) = 0;
    // A regular file to read whole; none when there is none to read.
    virtual std::unique_ptr<InputStream> open(const std::string& path) = 0;
};

// The computer's own disk.
std::shared_ptr<Disk> localDisk();

// An information file is read up to this size: a note is never this long, and a file that is
// not a note (binary, huge) costs no more than this.
inline constexpr std::size_t kLongestInfoFile = 1 << 20;

// Threads that read the folders and files of one volume.
inline constexpr int kThreadsPerVolume = 4;

// The separator of the folder texts.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Walks the trees below the roots; the caller gives each tree once. Links, junctions and mount
// points are not followed; cloud folders are. Names that are not valid UTF-8 are left out. Notes
// whose content is not on the disk are counted, not read. Setting stop ends the walk at the next
// entry; nothing is reported after that.
Tally searchTrees(const std::vector<std::string>& roots, const NoteMatcher& matcher, const std::atomic<bool>& stop,
                  const SearchListener& listener, Disk& disk = *localDisk());

}  // namespace orvasel::search
