#pragma once
// The search as a catalogue of the projects: what is inside each (the version that saved it, its
// plugins), which ones have an export that is no longer there or older than the project, which
// have no export or no note yet. A filter keeps some of the projects the text found, and each
// project listed goes with the state of its export, checked without holding up the walk; its
// project file is read after it is listed, so that reading projects never delays the notes.
#include "search/export_check.h"
#include "search/project_index.h"
#include "search/tree_search.h"

#include <string_view>

namespace orvasel::search {

enum class Filter {
    AllProjects,
    ExportMissing,   // an export path is set and no file is there
    ExportStale,     // the export file is older than its project by more than a minute
    WithoutExport,   // no export path
    WithoutNote,     // no information file, or a note of nothing but blanks
};
inline constexpr Filter kFilters[] = {Filter::AllProjects, Filter::ExportMissing, Filter::ExportStale,
                                      Filter::WithoutExport, Filter::WithoutNote};

// "Tous les projets", "Export introuvable", "Export antérieur au projet", "Sans export", "Sans note" (UTF-8).
std::string_view labelOf(Filter filter);

// An export counts as older than its project past this time between them: saving a project
// right after its export must not make the export look out of date.
inline constexpr std::int64_t kStaleAfterNanoseconds = 60'000'000'000;

// The state of an export as checked, told against its project file: a file there that is older
// than the project by more than kStaleAfterNanoseconds is Stale.
ExportState againstProject(ExportState checked, std::int64_t exportModified, const file_probe::Probe& project);

struct CatalogueOptions {
    Filter filter = Filter::AllProjects;
    // Each listed project's file read (its version and plugins; a project whose note does not
    // hold the text is found by its plugins' names), and for a project without an export path, an
    // export looked for beside it: in its Mixdown folder first, then in its own folder, an audio
    // file whose name begins with the project's, the newest.
    bool readProjects = true;
    ProjectIndex* index = nullptr;  // what was read of the projects before, and is kept
};

// The walk of searchTrees with the filter on the way: each project the text (or one of its
// plugins) found and the filter keeps, its export's state told; its details follow it (see
// SearchListener::detailed) unless they were read by the time it is listed. A note that could not
// be read (unreadable, or online only) tells nothing: its project is kept by "Tous les projets"
// alone, its export not checked. After the walk, the last export answers are waited for no longer
// than one check's time limit. The tally counts the exports that could not be checked. After a
// whole walk, the index forgets the projects that are no longer in the trees.
Tally searchCatalogue(const std::vector<std::string>& roots, const NoteMatcher& matcher, const CatalogueOptions& options,
                      ExportChecker& checker, const std::atomic<bool>& stop, const SearchListener& listener,
                      Disk& disk = *localDisk());

}  // namespace orvasel::search
