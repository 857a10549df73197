#pragma once
// The search as a catalogue of the projects: which ones have an export that is no longer there,
// which have no export or no note yet. A filter keeps some of the projects the text found, and
// each project listed goes with the state of its export, checked without holding up the walk.
#include "search/export_check.h"
#include "search/tree_search.h"

#include <string_view>

namespace orvasel::search {

enum class Filter {
    AllProjects,
    ExportMissing,   // an export path is set and no file is there
    WithoutExport,   // no export path
    WithoutNote,     // no information file, or a note of nothing but blanks
};
inline constexpr Filter kFilters[] = {Filter::AllProjects, Filter::ExportMissing, Filter::WithoutExport,
                                      Filter::WithoutNote};

// "Tous les projets", "Export introuvable", "Sans export", "Sans note" (UTF-8).
std::string_view labelOf(Filter filter);

// The walk of searchTrees with the filter on the way: each project the text found and the filter
// keeps, its export's state told. A note that could not be read (unreadable, or online only) tells
// nothing: its project is kept by "Tous les projets" alone, its export not checked. Exports are
// checked while the walk goes on; after it, the last answers are waited for no longer than one
// check's time limit. The tally counts the exports that could not be checked.
Tally searchCatalogue(const std::vector<std::string>& roots, NoteMatcher& matcher, Filter filter,
                      ExportChecker& checker, const std::atomic<bool>& stop, const SearchListener& listener,
                      Disk& disk = *localDisk());

}  // namespace orvasel::search
