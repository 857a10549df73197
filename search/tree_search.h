#pragma once
// The search through the notes of whole folder trees: every folder below each root, to any depth,
// every project file there, its information file read and matched. Nothing is ever written.
// Paths are UTF-8 folder texts ending with the separator, as the program carries them.
#include "platform/file_io.h"
#include "platform/file_search.h"
#include "search/export_check.h"
#include "search/note_matcher.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvasel::search {

struct Found {
    std::string folder;   // the project's folder text
    std::string project;  // the project file's name
    std::string line;     // the line to show, code page 1252
    bool noteNotDownloaded = false;  // its note is online only: not read, the line is empty
    bool noteUnreadable = false;     // its information file is there but could not be read
    bool noteBlank = true;           // no information file, or a note of nothing but blanks
    std::string exportPath;          // the exported-audio path as stored, code page 1252
    ExportState exportState = ExportState::None;  // told by the catalogue, which checks it
};

struct Tally {
    std::size_t folders = 0;            // folders listed so far
    std::size_t unreadableFolders = 0;
    std::size_t unreadableFiles = 0;    // information files there but not readable
    std::size_t notesNotDownloaded = 0; // information files online only (OneDrive), not read
    std::size_t missingRoots = 0;       // roots that are no folder at all
    std::size_t uncheckedExports = 0;   // exports whose presence could not be checked (catalogue)
    bool stopped = false;               // the search was stopped before its end
};

struct SearchListener {
    std::function<void(Found&&)> found;
    std::function<void(const Tally&)> folderDone;  // after each folder, with the tally so far
};

enum class FolderState { Listed, Missing, Unreadable };

// What the walk asks of the disk. The computer's own goes through the file search and the
// whole-file reads; tests put a stand-in there (a share that stops answering, OneDrive's files).
class Disk {
public:
    virtual ~Disk() = default;
    // Hands each entry of the folder to each, until it returns false.
    virtual FolderState list(const std::string& folder, const std::function<bool(const SearchEntry&)>& each) = 0;
    virtual file_io::ReadResult readStart(const std::string& path, std::size_t limit) = 0;
};

// The computer's own disk.
std::shared_ptr<Disk> localDisk();

// An information file is read up to this size: a note is never this long, and a file that is
// not a note (binary, huge) costs no more than this.
inline constexpr std::size_t kLongestInfoFile = 1 << 20;

// The separator of the folder texts.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Walks the trees below the roots in turn; the caller gives each tree once. Links, junctions and
// mount points are not followed; cloud folders are. Names that are not valid UTF-8 are left out.
// Notes whose content is not on the disk are counted, not read. Setting stop ends the walk at
// the next entry; nothing is reported after that.
Tally searchTrees(const std::vector<std::string>& roots, NoteMatcher& matcher, const std::atomic<bool>& stop,
                  const SearchListener& listener, Disk& disk = *localDisk());

}  // namespace orvasel::search
