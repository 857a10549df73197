#include "search/tree_search.h"

#include "platform/file_stream.h"
#include "search/tree_walk.h"

namespace orvasel::search {
namespace {

class LocalFile final : public InputStream {
public:
    explicit LocalFile(const std::string& path) : file_(path) {}
    bool isOpen() const { return file_.isOpen(); }
    std::ptrdiff_t read(char* into, std::size_t most) override { return file_.read(into, most); }

private:
    file_stream::InputFile file_;
};

class LocalDisk final : public Disk {
public:
    FolderState list(const std::string& folder, const std::function<bool(const SearchEntry&)>& each) override
    {
        FileSearch search(folder + "*");
        if (search.missing())
            return FolderState::Missing;
        if (search.unreadable())
            return FolderState::Unreadable;
        while (const auto entry = search.next())
            if (!each(*entry))
                break;
        return FolderState::Listed;
    }

    file_io::ReadResult readStart(const std::string& path, std::size_t limit) override
    {
        return file_io::readFileStart(path, limit);
    }

    file_probe::Probe examine(const std::string& path) override { return file_probe::probe(path); }

    std::unique_ptr<InputStream> open(const std::string& path) override
    {
        auto file = std::make_unique<LocalFile>(path);
        return file->isOpen() ? std::move(file) : nullptr;
    }
};

}  // namespace

std::shared_ptr<Disk> localDisk()
{
    static const std::shared_ptr<Disk> disk = std::make_shared<LocalDisk>();
    return disk;
}

Tally searchTrees(const std::vector<std::string>& roots, const NoteMatcher& matcher, const std::atomic<bool>& stop,
                  const SearchListener& listener, Disk& disk)
{
    Tally tally;
    TreeWalk walk(roots, matcher, stop, disk, {}, nullptr);
    const auto folderListed = [&](FolderListed&& folder) {
        if (!addToTally(tally, folder))
            return;
        for (Found& found : folder.projects)
            if (listener.found && !stop)
                listener.found(std::move(found));
        if (listener.progress && !stop)
            listener.progress(tally);
    };
    while (walk.next(folderListed, [](ProjectRead&&) {}, std::chrono::milliseconds(100))) {
    }
    tally.stopped = stop.load(std::memory_order_relaxed);
    return tally;
}

}  // namespace orvasel::search
