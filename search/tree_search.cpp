#include "search/tree_search.h"

#include "platform/file_io.h"
#include "platform/file_search.h"
#include "storage/info_file.h"
#include "storage/text.h"

#include <algorithm>

namespace orvasel::search {
namespace {

bool isProjectName(std::string_view name)
{
    constexpr std::string_view kExtension = ".cpr";
    if (name.size() <= kExtension.size())
        return false;
    return std::equal(kExtension.begin(), kExtension.end(), name.end() - kExtension.size(),
                      [](char wanted, char c) { return wanted == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

// Each root once and ending with its separator; a root below another one is dropped.
std::vector<std::string> distinctRoots(std::vector<std::string> roots)
{
    std::erase(roots, std::string());
    for (std::string& root : roots)
        if (root.back() != kSeparator)
            root += kSeparator;
    std::sort(roots.begin(), roots.end());
    std::vector<std::string> kept;
    for (std::string& root : roots)
        if (kept.empty() || !root.starts_with(kept.back()))
            kept.push_back(std::move(root));
    return kept;
}

class Walk {
public:
    Walk(NoteMatcher& matcher, const std::atomic<bool>& stop, const SearchListener& listener)
        : matcher_(matcher), stop_(stop), listener_(listener)
    {
    }

    Tally run(std::vector<std::string> roots)
    {
        for (std::string& root : distinctRoots(std::move(roots))) {
            pending_.push_back(std::move(root));
            while (!pending_.empty() && !stopped()) {
                const std::string folder = std::move(pending_.back());
                pending_.pop_back();
                visit(folder);
            }
        }
        tally_.stopped = stopped();
        return tally_;
    }

private:
    bool stopped() const { return stop_.load(std::memory_order_relaxed); }

    void visit(const std::string& folder)
    {
        FileSearch search(folder + "*");
        if (search.unreadable()) {
            ++tally_.unreadableFolders;
            return;
        }
        projects_.clear();
        while (const auto entry = search.next()) {
            if (stopped())
                return;
            const std::string& name = entry->name;
            if (name == "." || name == ".." || !text::isUtf8(name))
                continue;
            if (entry->attributes & kAttributeDirectory) {
                if (!(entry->attributes & kAttributeReparsePoint))
                    pending_.push_back(folder + name + kSeparator);
            } else if (isProjectName(name)) {
                projects_.push_back(name);
            }
        }
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
        const file_io::ReadResult file = file_io::readFileStart(folder + project + ".info", kLongestInfoFile);
        if (file.status == file_io::ReadStatus::Unreadable)
            ++tally_.unreadableFiles;
        // A project without an information file has an empty note, shown in the overview.
        const info_file::Contents contents =
            file.status == file_io::ReadStatus::Ok ? info_file::parse(file.bytes) : info_file::Contents{};
        if (auto line = matcher_.match(contents); line && listener_.found && !stopped())
            listener_.found(Found{folder, project, std::move(*line)});
    }

    NoteMatcher& matcher_;
    const std::atomic<bool>& stop_;
    const SearchListener& listener_;
    Tally tally_;
    std::vector<std::string> pending_;   // folders still to visit
    std::vector<std::string> projects_;  // the project files of the folder being visited
};

}  // namespace

Tally searchTrees(std::vector<std::string> roots, NoteMatcher& matcher, const std::atomic<bool>& stop,
                  const SearchListener& listener)
{
    return Walk(matcher, stop, listener).run(std::move(roots));
}

}  // namespace orvasel::search
