#include "search/tree_search.h"

#include "storage/info_file.h"
#include "storage/text.h"

#include <algorithm>

namespace orvasel::search {
namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool isProjectName(std::string_view name)
{
    constexpr std::string_view kExtension = ".cpr";
    return name.size() > kExtension.size() && equalIgnoringAsciiCase(name.substr(name.size() - kExtension.size()), kExtension);
}

// Whether the file is the project's note, as the file system finds it by name.
bool isNoteOf(std::string_view infoName, const std::string& project)
{
#ifdef _WIN32
    return equalIgnoringAsciiCase(infoName, project + ".info");
#else
    return infoName == project + ".info";
#endif
}

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
};

class Walk {
public:
    Walk(NoteMatcher& matcher, const std::atomic<bool>& stop, const SearchListener& listener, Disk& disk)
        : matcher_(matcher), stop_(stop), listener_(listener), disk_(disk)
    {
    }

    Tally run(const std::vector<std::string>& roots)
    {
        for (std::string root : roots) {
            if (root.empty())
                continue;
            if (root.back() != kSeparator)
                root += kSeparator;
            visit(root, true);
            while (!pending_.empty() && !stopped()) {
                const std::string folder = std::move(pending_.back());
                pending_.pop_back();
                visit(folder, false);
            }
        }
        tally_.stopped = stopped();
        return tally_;
    }

private:
    bool stopped() const { return stop_.load(std::memory_order_relaxed); }

    void visit(const std::string& folder, bool root)
    {
        projects_.clear();
        notesNotDownloaded_.clear();
        const FolderState state = disk_.list(folder, [&](const SearchEntry& entry) {
            if (stopped())
                return false;
            const std::string& name = entry.name;
            if (name == "." || name == ".." || !text::isUtf8(name))
                return true;
            if (entry.attributes & kAttributeDirectory) {
                if (!leadsElsewhere(entry))
                    pending_.push_back(folder + name + kSeparator);
            } else if (isProjectName(name)) {
                projects_.push_back(name);
            } else if (contentNotOnDisk(entry)) {
                notesNotDownloaded_.push_back(name);
            }
            return true;
        });
        if (state == FolderState::Missing) {
            // A folder gone since its parent was listed is no news; a root that is not there is.
            if (root)
                ++tally_.missingRoots;
            return;
        }
        if (state == FolderState::Unreadable) {
            ++tally_.unreadableFolders;
            return;
        }
        if (stopped())
            return;
        ++tally_.folders;
        for (const std::string& project : projects_) {
            if (stopped())
                return;
            read(folder, project);
        }
        if (listener_.folderDone && !stopped())
            listener_.folderDone(tally_);
    }

    void read(const std::string& folder, const std::string& project)
    {
        Found found;
        found.folder = folder;
        found.project = project;
        const bool online = std::any_of(notesNotDownloaded_.begin(), notesNotDownloaded_.end(),
                                        [&](const std::string& name) { return isNoteOf(name, project); });
        std::optional<std::string> line;
        if (online) {
            // Reading it would download it: it is counted, and shown only in the overview.
            ++tally_.notesNotDownloaded;
            found.noteNotDownloaded = true;
            if (matcher_.matchesEverything())
                line.emplace();
        } else {
            const file_io::ReadResult file = disk_.readStart(folder + project + ".info", kLongestInfoFile);
            if (file.status == file_io::ReadStatus::Unreadable)
                ++tally_.unreadableFiles;
            // A project without an information file has an empty note, shown in the overview.
            info_file::Contents contents =
                file.status == file_io::ReadStatus::Ok ? info_file::parse(file.bytes) : info_file::Contents{};
            line = matcher_.match(contents);
            found.noteUnreadable = file.status == file_io::ReadStatus::Unreadable;
            found.noteBlank = isBlank(contents.note);
            found.exportPath = std::move(contents.exportPath);
        }
        if (line && listener_.found && !stopped()) {
            found.line = std::move(*line);
            listener_.found(std::move(found));
        }
    }

    NoteMatcher& matcher_;
    const std::atomic<bool>& stop_;
    const SearchListener& listener_;
    Disk& disk_;
    Tally tally_;
    std::vector<std::string> pending_;             // folders still to visit
    std::vector<std::string> projects_;            // the project files of the folder being visited
    std::vector<std::string> notesNotDownloaded_;  // its files whose content is online only
};

}  // namespace

std::shared_ptr<Disk> localDisk()
{
    static const std::shared_ptr<Disk> disk = std::make_shared<LocalDisk>();
    return disk;
}

Tally searchTrees(const std::vector<std::string>& roots, NoteMatcher& matcher, const std::atomic<bool>& stop,
                  const SearchListener& listener, Disk& disk)
{
    return Walk(matcher, stop, listener, disk).run(roots);
}

}  // namespace orvasel::search
