#pragma once
// Files written and removed on a thread of their own, in the order asked, so that a slow disk
// never holds up the window: the latest request for a file replaces one still waiting for it.
// Each write is crash-safe (file_io) and refuses links.
#include <chrono>
#include <memory>
#include <string>

namespace orvasel {

class BackgroundWrites {
public:
    BackgroundWrites();
    // Finishes what is waiting, for a moment at most; a disk that does not answer is left to it.
    ~BackgroundWrites();
    BackgroundWrites(const BackgroundWrites&) = delete;
    BackgroundWrites& operator=(const BackgroundWrites&) = delete;

    void write(const std::string& path, std::string bytes);
    void remove(const std::string& path);
    // Waits until everything asked so far is done; false when the time ran out first.
    bool finish(std::chrono::milliseconds within);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace orvasel
