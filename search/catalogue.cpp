#include "search/catalogue.h"

#include "search/tree_walk.h"
#include "storage/text.h"

#include <unordered_map>
#include <unordered_set>

namespace orvasel::search {
namespace {

// The projects the walk found, each listed once its export has been answered for, and its details
// handed on once its project file is read.
class Catalogue {
public:
    Catalogue(const CatalogueOptions& options, bool everything, ExportChecker& checker, const SearchListener& listener,
              Tally& tally)
        : options_(options), everything_(everything), checker_(checker), listener_(listener), tally_(tally)
    {
    }

    void offer(FolderListed&& folder, TreeWalk& walk)
    {
        std::vector<ProjectToRead> reads;
        for (std::size_t i = 0; i < folder.projects.size(); ++i) {
            Found& found = folder.projects[i];
            seen_.push_back(found.folder + found.project);
            if (!keptBeforeChecks(found))
                continue;
            const bool matched = folder.matched[i];
            // A project whose note does not hold the text may still be found by its plugins.
            if (!matched && (everything_ || !options_.readProjects))
                continue;
            if (options_.readProjects) {
                const bool noteRead = !found.noteUnreadable && !found.noteNotDownloaded;
                reads.push_back({found.id, found.project, found.projectFile, found.projectNotDownloaded, !matched,
                                 noteRead && isBlank(found.exportPath)});
                ++tally_.projectsToRead;
            }
            if (matched)
                list(std::move(found));
            else
                waiting_.emplace(found.id, Waiting{std::move(found), false});
        }
        walk.read(folder, std::move(reads));
    }

    void read(ProjectRead&& read)
    {
        ++tally_.projectsRead;
        if (const auto waiting = waiting_.find(read.id); waiting != waiting_.end()) {
            Found& found = waiting->second.found;
            found.details = std::move(read.details);
            found.foundExport = std::move(read.foundExport);
            if (waiting->second.forExport)
                return;  // its export is being checked: it goes with its details
            Found listed = std::move(found);
            waiting_.erase(waiting);
            if (read.plugin.empty())
                return;  // neither its note nor its plugins hold the text
            listed.plugin = std::move(read.plugin);
            list(std::move(listed));
        } else if (listed_.contains(read.id) && listener_.detailed) {
            listener_.detailed({read.id, std::move(read.details), std::move(read.foundExport)});
        }
    }

    void collect()
    {
        checker_.collect([this](std::size_t ticket, ExportState state, std::int64_t modified) {
            answered(ticket, state, modified);
        });
    }

    void finish(const std::atomic<bool>& stop)
    {
        checker_.finish([this](std::size_t ticket, ExportState state,
                               std::int64_t modified) { answered(ticket, state, modified); },
                        [&stop] { return stop.load(std::memory_order_relaxed); });
    }

    std::size_t unchecked() const { return unchecked_; }
    const std::vector<std::string>& seen() const { return seen_; }

private:
    // What the note tells already: a project the filter keeps only when its export is answered
    // for passes too.
    bool keptBeforeChecks(const Found& found) const
    {
        if (found.noteUnreadable || found.noteNotDownloaded)
            return options_.filter == Filter::AllProjects;
        const bool withoutExport = isBlank(found.exportPath);
        switch (options_.filter) {
        case Filter::AllProjects:
            return true;
        case Filter::ExportMissing:
        case Filter::ExportStale:
            return !withoutExport;
        case Filter::WithoutExport:
            return withoutExport;
        default:
            return found.noteBlank;
        }
    }

    void list(Found&& found)
    {
        if (found.noteUnreadable || found.noteNotDownloaded) {
            found.exportState = ExportState::Unchecked;
            show(std::move(found));
            return;
        }
        if (isBlank(found.exportPath)) {
            found.exportState = found.foundExport.empty() ? ExportState::None : ExportState::ToNote;
            show(std::move(found));
            return;
        }
        // The path as the user typed it, in the file system's own characters.
        const std::size_t ticket = checker_.ask(text::cp1252ToUtf8(found.exportPath));
        tickets_.emplace(ticket, found.id);
        const std::size_t id = found.id;
        waiting_.insert_or_assign(id, Waiting{std::move(found), true});
    }

    void answered(std::size_t ticket, ExportState state, std::int64_t modified)
    {
        const auto asked = tickets_.find(ticket);
        if (asked == tickets_.end())
            return;
        const auto waiting = waiting_.find(asked->second);
        tickets_.erase(asked);
        if (waiting == waiting_.end())
            return;
        Found found = std::move(waiting->second.found);
        waiting_.erase(waiting);
        state = againstProject(state, modified, found.projectFile);
        if (state == ExportState::Unchecked)
            ++unchecked_;
        // Only a file known to be gone, or known to be older, is kept by those filters: one not
        // checked may well be there, and up to date.
        const bool kept = options_.filter == Filter::ExportMissing ? state == ExportState::Missing
                          : options_.filter == Filter::ExportStale ? state == ExportState::Stale
                                                                   : true;
        if (kept) {
            found.exportState = state;
            show(std::move(found));
        }
    }

    void show(Found&& found)
    {
        if (options_.readProjects && !found.details)
            listed_.insert(found.id);  // its details follow
        if (listener_.found)
            listener_.found(std::move(found));
    }

    struct Waiting {
        Found found;
        bool forExport;  // its export's answer; else what its plugins say
    };

    const CatalogueOptions& options_;
    const bool everything_;  // the text is empty: every project is found by its note
    ExportChecker& checker_;
    const SearchListener& listener_;
    Tally& tally_;
    std::unordered_map<std::size_t, Waiting> waiting_;     // by id
    std::unordered_map<std::size_t, std::size_t> tickets_;  // the export checks asked, to the project's id
    std::unordered_set<std::size_t> listed_;               // listed before their project file was read
    std::vector<std::string> seen_;                        // every project file the walk found
    std::size_t unchecked_ = 0;
};

}  // namespace

ExportState againstProject(ExportState checked, std::int64_t exportModified, const file_probe::Probe& project)
{
    const bool known = project.presence == file_probe::Presence::File;
    return checked == ExportState::Present && known && project.modified - exportModified > kStaleAfterNanoseconds
               ? ExportState::Stale
               : checked;
}

std::string_view labelOf(Filter filter)
{
    switch (filter) {
    case Filter::AllProjects:
        return "Tous les projets";
    case Filter::ExportMissing:
        return "Export introuvable";
    case Filter::ExportStale:
        return "Export antérieur au projet";
    case Filter::WithoutExport:
        return "Sans export";
    default:
        return "Sans note";
    }
}

Tally searchCatalogue(const std::vector<std::string>& roots, const NoteMatcher& matcher, const CatalogueOptions& options,
                      ExportChecker& checker, const std::atomic<bool>& stop, const SearchListener& listener, Disk& disk)
{
    Tally tally;
    Catalogue catalogue(options, matcher.matchesEverything(), checker, listener, tally);
    const auto progress = [&] {
        tally.uncheckedExports = catalogue.unchecked();
        if (listener.progress && !stop)
            listener.progress(tally);
    };
    {
        TreeWalk walk(roots, matcher, stop, disk, {true, true}, options.readProjects ? options.index : nullptr);
        bool more = true;
        while (more) {
            bool any = false;
            more = walk.next(
                [&](FolderListed&& folder) {
                    any = true;
                    if (addToTally(tally, folder))
                        catalogue.offer(std::move(folder), walk);
                },
                [&](ProjectRead&& read) {
                    any = true;
                    catalogue.read(std::move(read));
                },
                std::chrono::milliseconds(10));
            catalogue.collect();
            if (any)
                progress();
        }
    }
    if (!stop)
        catalogue.finish(stop);
    tally.uncheckedExports = catalogue.unchecked();
    tally.stopped = stop.load(std::memory_order_relaxed);
    if (options.index && options.readProjects) {
        options.index->flush();
        // What the trees no longer hold, once they were seen whole.
        if (!tally.stopped && tally.unreadableFolders == 0 && tally.missingRoots == 0) {
            for (std::string root : roots) {
                if (root.empty())
                    continue;
                if (root.back() != kSeparator)
                    root += kSeparator;
                std::vector<std::string> below;
                for (const std::string& path : catalogue.seen())
                    if (path.starts_with(root))
                        below.push_back(path);
                options.index->forgetAllBut(root, below);
            }
        }
    }
    return tally;
}

}  // namespace orvasel::search
