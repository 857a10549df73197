#pragma once
// The engine under the search and the catalogue: the folders of the trees read by a few threads
// for each volume of the roots, each folder's notes read and matched where it was listed, then, as
// the caller asks, its project files read (their details, from the index when it knows them) by
// the same threads, after the folders, so that reading projects never holds up the notes. What
// the threads find waits for the caller, who takes it on its own thread.
#include "search/project_index.h"
#include "search/tree_search.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace orvasel::search {

// A folder as the walk found it.
struct FolderListed {
    std::string folder;
    FolderState state = FolderState::Listed;
    bool root = false;
    std::vector<Found> projects;  // those whose note holds the text, or every one (see everyProject)
    std::vector<bool> matched;    // for each: whether its note holds the text
    std::size_t unreadableFiles = 0;
    std::size_t notesNotDownloaded = 0;
    // Where an export never noted may be: the folder's audio files, and its Mixdown folder's name.
    std::vector<std::string> audioFiles;
    std::string mixdown;
    std::size_t volume = 0;  // the walk's own: which volume's threads read its projects
};

// A project file to read, and what else to find out about its project.
struct ProjectToRead {
    std::size_t id = 0;
    std::string project;
    file_probe::Probe file;
    bool notDownloaded = false;  // online only: never read
    bool matchPlugins = false;   // its note does not hold the text: its plugins' names may
    bool lookForExport = false;  // it has no export path: one may lie beside it
};

struct ProjectRead {
    std::size_t id = 0;
    ProjectDetails details;
    std::string plugin;       // the first plugin whose name holds the text (matchPlugins), UTF-8
    std::string foundExport;  // the newest export found (lookForExport), UTF-8
};

// Counts the folder in the tally; true when it was listed (its projects then count).
bool addToTally(Tally& tally, const FolderListed& folder);

class TreeWalk {
public:
    struct Options {
        bool everyProject = false;     // hands over the projects whose note does not hold the text too
        bool examineProjects = false;  // each project file's size and time
    };
    TreeWalk(const std::vector<std::string>& roots, const NoteMatcher& matcher, const std::atomic<bool>& stop,
             Disk& disk, Options options, ProjectIndex* index);
    // Waits for its threads, which end at their next entry once stopped.
    ~TreeWalk();
    TreeWalk(const TreeWalk&) = delete;
    TreeWalk& operator=(const TreeWalk&) = delete;

    // On the caller's thread: hands over what was found, waiting for it at most wait. False once
    // the walk and every read asked for are done, or the walk was stopped.
    bool next(const std::function<void(FolderListed&&)>& onFolder, const std::function<void(ProjectRead&&)>& onRead,
              std::chrono::milliseconds wait);
    // From onFolder: the project files of that folder to read.
    void read(const FolderListed& folder, std::vector<ProjectToRead> projects);

private:
    struct Reading {
        std::string folder;
        std::vector<std::string> audioFiles;
        std::string mixdown;
        std::vector<ProjectToRead> projects;
    };
    // The folders and reads of one volume, and its threads.
    struct Volume {
        std::vector<std::pair<std::string, bool>> folders;  // to list, the last first; whether a root
        std::deque<Reading> readings;
        int listing = 0;  // folders being listed
        int reading = 0;  // readings under way
    };

    void work(Volume& volume);
    FolderListed visit(const std::string& folder, bool root, NoteMatcher& matcher, std::vector<std::string>& subfolders);
    void readProjects(const Reading& reading, NoteMatcher& matcher);
    std::string findExport(const Reading& reading, const std::string& project, std::vector<SearchEntry>& mixdown,
                           bool& mixdownListed);
    bool stopped() const { return stop_.load(std::memory_order_relaxed); }
    bool walked() const;  // with the mutex held: no folder left to list

    const NoteMatcher& matcher_;
    const std::atomic<bool>& stop_;
    Disk& disk_;
    const Options options_;
    ProjectIndex* const index_;
    std::mutex mutex_;
    std::condition_variable workWaiting_;    // for the threads
    std::condition_variable resultsWaiting_; // for the caller
    std::deque<Volume> volumes_;
    std::deque<FolderListed> listed_;        // not handed over yet
    std::deque<ProjectRead> read_;
    bool noMoreReadings_ = false;            // the caller has asked for every read it will
    bool abandoned_ = false;                 // the caller wants nothing more
    std::size_t nextId_ = 0;
    std::vector<std::thread> threads_;
};

}  // namespace orvasel::search
