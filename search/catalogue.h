#pragma once
// The search as a catalogue of the projects: which ones have an export that is no longer there,
// which have no export or no note yet. A filter keeps some of the projects the text found, and
// each project listed goes with the state of its export, checked without holding up the walk.
#include "platform/file_io.h"
#include "search/export_check.h"
#include "search/tree_search.h"
#include "storage/info_file.h"

#include <functional>
#include <string_view>
#include <unordered_map>

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

// Whether a text holds nothing but blanks and line ends: such a note or export path counts as none.
bool isBlank(std::string_view text);

class Catalogue {
public:
    // Receives each project kept, with its export's state.
    using List = std::function<void(Found&&, ExportState)>;

    Catalogue(Filter filter, ExportChecker& checker, List list);

    // A project the text found, with its information file as read (the contents empty unless Ok).
    // An information file there but unreadable tells nothing: such a project is listed by
    // "Tous les projets" only, its export not checked.
    void offer(Found&& found, file_io::ReadStatus file, const info_file::Contents& contents);
    // Lists the projects whose export has been answered for meanwhile.
    void collect();
    // Lists the rest, waiting no longer than the time limit of the last check asked; once stop is
    // set, lists nothing more.
    void finish(const std::function<bool()>& stop);

    // Exports that could not be checked so far, their projects listed or not.
    std::size_t unchecked() const { return unchecked_; }

private:
    void answered(std::size_t ticket, ExportState state);

    Filter filter_;
    ExportChecker& checker_;
    List list_;
    std::unordered_map<std::size_t, Found> awaiting_;  // by ticket, until their export is answered for
    std::size_t unchecked_ = 0;
};

}  // namespace orvasel::search
