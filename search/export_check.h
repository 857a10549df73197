#pragma once
// Whether the exported audio of each project is still where its note says, asked of the file
// system without ever holding up the caller: the volumes (drives, shares, mount points) are asked
// from a few threads shared by them all, each check is given a time limit, and a volume that has
// not answered within it is taken as not answering, so that its later checks end at once as not
// checked. Nothing on another machine is asked unless the user chose a folder there: an export
// path in a note downloaded with a project must not make the program contact the sender's server.
#include "platform/file_probe.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvasel::search {

enum class ExportState {
    None,       // no exported-audio path
    Present,    // a file is there
    Missing,    // nothing is there
    Unchecked,  // not known: the volume did not answer in time, refused, is another machine's, or
                // the path is not a full path here
    Stale,      // a file is there, older than its project by more than a minute: the mix changed since
    ToNote,     // no exported-audio path, but an export of the project was found beside it
};

// The state as the search window and the list show it: "—", "présent", "introuvable", "non vérifié",
// "antérieur au projet", "à noter" (UTF-8).
std::string_view labelOf(ExportState state);

// How long a check may take, from the moment it is asked, before it counts as not checked.
inline constexpr std::chrono::milliseconds kExportCheckLimit{2000};
// The threads that check, in the whole program, at most: a note naming a thousand shares must not
// start a thousand threads.
inline constexpr int kMostCheckingThreads = 4;

class ExportChecker {
public:
    // How the file system is asked: the system's own, or a test's stand-in.
    struct FileSystem {
        std::function<file_probe::Probe(const std::string& path)> probe;       // may block
        std::function<file_probe::Volume(const std::string& path)> volumeOf;   // no name: cannot be checked
    };
    static FileSystem system();

    // The answer under its ticket; for a file there, its time (nanoseconds since 1970).
    using Answer = std::function<void(std::size_t ticket, ExportState state, std::int64_t modified)>;

    // The volumes of the places given (the folders searched, the bookmarks) are checked even when
    // they are another machine's; no other such volume is.
    explicit ExportChecker(FileSystem fileSystem = system(), std::chrono::milliseconds limit = kExportCheckLimit,
                           const std::vector<std::string>& chosenPlaces = {});
    // Returns at once, even while a volume does not answer: its thread is left to end by itself.
    ~ExportChecker();
    ExportChecker(const ExportChecker&) = delete;
    ExportChecker& operator=(const ExportChecker&) = delete;

    // Asks about the file at the path (UTF-8); the answer comes later under the ticket returned.
    // With anywhere, the path is checked on whichever volume it names (the user asked for it).
    std::size_t ask(const std::string& path, bool anywhere = false);
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
