#pragma once
// A file system kept in memory, mounted through FUSE, that remembers what reached the disk: the
// data of a file as of its last flush (fsync), the names in a folder as of the folder's last flush.
// A power cut brings every file and folder back to that, as a real disk may after one; the strict
// reading of POSIX that SQLite's crash tests and LazyFS simulate. The cut can be set to fall right
// after any step that changes the file system; the machine is dead after it (every request fails)
// until it is started again.
#include <memory>
#include <string>

namespace orvasel::testing {

class PowerCutFileSystem {
public:
    PowerCutFileSystem();
    ~PowerCutFileSystem();  // unmounts

    // Mounts it on an empty folder; false (with the reason) where FUSE is not to be had.
    bool mount(const std::string& folder, std::string& why);

    // Everything on it counts as on the disk (the state before a test step).
    void flushEverything();
    // Counts the steps that change the file system from now on, and cuts the power right after
    // the given one (0: never).
    void cutAfter(int steps);
    int stepsTaken() const;
    bool powerWasCut() const;
    // The power comes back: the file system holds what was on the disk at the cut.
    void startAgain();

    struct State;  // what the file system holds, shared with its request handlers

private:
    std::unique_ptr<State> state_;
};

}  // namespace orvasel::testing
