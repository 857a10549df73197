#pragma once
// Whether the exported audio of each project is still where its note says, asked of the file
// system without ever holding up the caller: every volume (drive, share, mount point) is asked from
// a thread of its own, each check is given a time limit, and a volume that has not answered within
// it is taken as not answering, so that its later checks end at once as not checked.
#include "platform/file_probe.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orvasel::search {

enum class ExportState {
    None,       // no exported-audio path
    Present,    // a file is there
    Missing,    // nothing is there
    Unchecked,  // not known: the volume did not answer in time, refused, or the path is not a full path here
};

// The state as the search window and the list show it: "—", "présent", "introuvable", "non vérifié" (UTF-8).
std::string_view labelOf(ExportState state);

// How long a check may take, from the moment it is asked, before it counts as not checked.
inline constexpr std::chrono::milliseconds kExportCheckLimit{2000};

class ExportChecker {
public:
    // How the file system is asked: the system's own, or a test's stand-in.
    struct FileSystem {
        std::function<file_probe::Presence(const std::string& path)> probe;  // may block
        std::function<std::string(const std::string& path)> volumeOf;        // empty: cannot be checked
    };
    static FileSystem system();

    using Answer = std::function<void(std::size_t ticket, ExportState state)>;

    explicit ExportChecker(FileSystem fileSystem = system(), std::chrono::milliseconds limit = kExportCheckLimit);
    // Returns at once, even while a volume does not answer: its thread is left to end by itself.
    ~ExportChecker();
    ExportChecker(const ExportChecker&) = delete;
    ExportChecker& operator=(const ExportChecker&) = delete;

    // Asks about the file at the path (UTF-8); the answer comes later under the ticket returned.
    std::size_t ask(const std::string& path);
    // Hands over the answers come in so far, and the checks whose time ran out as not checked.
    void collect(const Answer& answer);
    // Hands over every answer still to come, waiting no longer than the time limit of the last
    // check asked. Returns early, handing over nothing more, once stop is set.
    void finish(const Answer& answer, const std::function<bool()>& stop);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace orvasel::search
