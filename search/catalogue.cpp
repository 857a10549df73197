#include "search/catalogue.h"

#include "storage/text.h"

#include <algorithm>

namespace orvasel::search {

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

bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

Catalogue::Catalogue(Filter filter, ExportChecker& checker, List list)
    : filter_(filter), checker_(checker), list_(std::move(list))
{
}

void Catalogue::offer(Found&& found, file_io::ReadStatus file, const info_file::Contents& contents)
{
    if (file == file_io::ReadStatus::Unreadable) {
        if (filter_ == Filter::AllProjects)
            list_(std::move(found), ExportState::Unchecked);
        return;
    }
    const bool withoutExport = isBlank(contents.exportPath);
    const bool kept = filter_ == Filter::AllProjects || (filter_ == Filter::ExportMissing && !withoutExport)
                      || (filter_ == Filter::WithoutExport && withoutExport)
                      || (filter_ == Filter::WithoutNote && isBlank(contents.note));
    if (!kept)
        return;
    if (withoutExport) {
        list_(std::move(found), ExportState::None);
        return;
    }
    // The path as the user typed it, in the file system's own characters.
    awaiting_.emplace(checker_.ask(text::cp1252ToUtf8(contents.exportPath)), std::move(found));
}

void Catalogue::collect()
{
    checker_.collect([this](std::size_t ticket, ExportState state) { answered(ticket, state); });
}

void Catalogue::finish(const std::function<bool()>& stop)
{
    checker_.finish([this](std::size_t ticket, ExportState state) { answered(ticket, state); }, stop);
}

void Catalogue::answered(std::size_t ticket, ExportState state)
{
    const auto awaiting = awaiting_.find(ticket);
    if (awaiting == awaiting_.end())
        return;
    Found found = std::move(awaiting->second);
    awaiting_.erase(awaiting);
    if (state == ExportState::Unchecked)
        ++unchecked_;
    // Only a file known to be gone is lost: one not checked may well be there.
    if (filter_ != Filter::ExportMissing || state == ExportState::Missing)
        list_(std::move(found), state);
}

}  // namespace orvasel::search
