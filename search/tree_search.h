#pragma once
// The search through the notes of whole folder trees: every folder below each root, to any depth,
// every project file there, its information file read and matched. Nothing is ever written.
// Paths are UTF-8 folder texts ending with the separator, as the program carries them.
#include "search/note_matcher.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace orvasel::search {

struct Found {
    std::string folder;   // the project's folder text
    std::string project;  // the project file's name
    std::string line;     // the line to show, code page 1252
};

struct Tally {
    std::size_t folders = 0;            // folders listed so far
    std::size_t unreadableFolders = 0;
    std::size_t unreadableFiles = 0;    // information files there but not readable
    bool stopped = false;               // the search was stopped before its end
};

struct SearchListener {
    std::function<void(Found&&)> found;
    std::function<void(const Tally&)> folderDone;  // after each folder, with the tally so far
};

// An information file is read up to this size: a note is never this long, and a file that is
// not a note (binary, huge) costs no more than this.
inline constexpr std::size_t kLongestInfoFile = 1 << 20;

// The separator of the folder texts.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Walks the trees below the roots in turn (a root inside another is walked once, with the other).
// Links and junctions to folders are not followed; names that are not valid UTF-8 are left out.
// Setting stop ends the walk at the next entry; nothing is reported after that.
Tally searchTrees(std::vector<std::string> roots, NoteMatcher& matcher, const std::atomic<bool>& stop,
                  const SearchListener& listener);

}  // namespace orvasel::search
