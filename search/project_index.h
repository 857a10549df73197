#pragma once
// What was read of each project file, kept between runs so that the next look at a tree need not
// read its projects again: keyed by the file's path, size and time, in an SQLite database in the
// user's cache folder. An index that is damaged, not ours, or of another format is made anew,
// never trusted; several copies of the program share one; what the trees no longer hold is
// forgotten after each whole walk of them. Any failure of the index only costs the projects'
// reading again: it is never an error of the search. Safe to use from several threads.
#include "search/project_file.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvasel::search {

class ProjectIndex {
public:
    // Opens the index at the path (UTF-8), making it (and its folder) when missing.
    explicit ProjectIndex(const std::string& path);
    ~ProjectIndex();
    ProjectIndex(const ProjectIndex&) = delete;
    ProjectIndex& operator=(const ProjectIndex&) = delete;

    // False when no index could be opened or made there: nothing is kept then.
    bool usable() const;

    // What was read of the file at the path when it had this size and time.
    std::optional<ProjectDetails> find(const std::string& path, std::uint64_t size, std::int64_t modified);
    // Keeps what was read (written with the next ones, at the latest by flush).
    void store(const std::string& path, std::uint64_t size, std::int64_t modified, const ProjectDetails& details);
    void flush();
    // After a whole walk of the tree below root (a folder text): forgets its projects not in seen.
    void forgetAllBut(const std::string& root, const std::vector<std::string>& seen);

    // How many projects it holds.
    std::size_t size();

private:
    struct Database;
    void write();  // the stores waiting, with the mutex held
    std::mutex mutex_;
    std::unique_ptr<Database> database_;
};

}  // namespace orvasel::search
