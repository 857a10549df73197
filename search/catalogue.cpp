#include "search/catalogue.h"

#include "storage/text.h"

#include <unordered_map>

namespace orvasel::search {
namespace {

// The projects the walk found, each listed once its export has been answered for.
class Catalogue {
public:
    Catalogue(Filter filter, ExportChecker& checker, const std::function<void(Found&&)>& list)
        : filter_(filter), checker_(checker), list_(list)
    {
    }

    void offer(Found&& found)
    {
        if (found.noteUnreadable || found.noteNotDownloaded) {
            if (filter_ == Filter::AllProjects) {
                found.exportState = ExportState::Unchecked;
                list(std::move(found));
            }
            return;
        }
        const bool withoutExport = isBlank(found.exportPath);
        const bool kept = filter_ == Filter::AllProjects || (filter_ == Filter::ExportMissing && !withoutExport)
                          || (filter_ == Filter::WithoutExport && withoutExport)
                          || (filter_ == Filter::WithoutNote && found.noteBlank);
        if (!kept)
            return;
        if (withoutExport) {
            found.exportState = ExportState::None;
            list(std::move(found));
            return;
        }
        // The path as the user typed it, in the file system's own characters.
        const std::size_t ticket = checker_.ask(text::cp1252ToUtf8(found.exportPath));
        awaiting_.emplace(ticket, std::move(found));
    }

    void collect()
    {
        checker_.collect([this](std::size_t ticket, ExportState state) { answered(ticket, state); });
    }

    void finish(const std::atomic<bool>& stop)
    {
        checker_.finish([this](std::size_t ticket, ExportState state) { answered(ticket, state); },
                        [&stop] { return stop.load(std::memory_order_relaxed); });
    }

    std::size_t unchecked() const { return unchecked_; }

private:
    void answered(std::size_t ticket, ExportState state)
    {
        const auto awaiting = awaiting_.find(ticket);
        if (awaiting == awaiting_.end())
            return;
        Found found = std::move(awaiting->second);
        awaiting_.erase(awaiting);
        if (state == ExportState::Unchecked)
            ++unchecked_;
        // Only a file known to be gone is lost: one not checked may well be there.
        if (filter_ != Filter::ExportMissing || state == ExportState::Missing) {
            found.exportState = state;
            list(std::move(found));
        }
    }

    void list(Found&& found)
    {
        if (list_)
            list_(std::move(found));
    }

    Filter filter_;
    ExportChecker& checker_;
    const std::function<void(Found&&)>& list_;
    std::unordered_map<std::size_t, Found> awaiting_;  // by ticket, until their export is answered for
    std::size_t unchecked_ = 0;
};

}  // namespace

std::string_view labelOf(Filter filter)
{
    switch (filter) {
    case Filter::AllProjects:
        return "Tous les projets";
    case Filter::ExportMissing:
        return "Export introuvable";
    case Filter::WithoutExport:
        return "Sans export";
    default:
        return "Sans note";
    }
}

Tally searchCatalogue(const std::vector<std::string>& roots, NoteMatcher& matcher, Filter filter,
                      ExportChecker& checker, const std::atomic<bool>& stop, const SearchListener& listener,
                      Disk& disk)
{
    Catalogue catalogue(filter, checker, listener.found);
    SearchListener walk;
    walk.found = [&](Found&& found) { catalogue.offer(std::move(found)); };
    walk.folderDone = [&](const Tally& sofar) {
        catalogue.collect();
        if (listener.folderDone) {
            Tally told = sofar;
            told.uncheckedExports = catalogue.unchecked();
            listener.folderDone(told);
        }
    };
    Tally tally = searchTrees(roots, matcher, stop, walk, disk);
    if (!tally.stopped)
        catalogue.finish(stop);
    tally.uncheckedExports = catalogue.unchecked();
    tally.stopped = stop.load(std::memory_order_relaxed);
    return tally;
}

}  // namespace orvasel::search
