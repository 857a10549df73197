#include "search/note_matcher.h"

#include "search/fold.h"

#include <algorithm>

namespace orvasel::search {

bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::string_view withoutLineEnd(std::string_view line)
{
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

std::string excerpt(std::string_view line, std::size_t hit)
{
    if (line.size() <= kLongestShownLine)
        return std::string(line);
    constexpr char kEllipsis = '\x85';
    // A few words before the hit, the rest after it: the hit stays in sight in a narrow column.
    constexpr std::size_t kBefore = 40;
    const std::size_t start = std::min(hit - std::min(hit, kBefore), line.size() - kLongestShownLine);
    std::string shown;
    if (start > 0)
        shown += kEllipsis;
    shown += line.substr(start, kLongestShownLine);
    if (start + kLongestShownLine < line.size())
        shown += kEllipsis;
    return shown;
}

bool NoteMatcher::holds(std::string_view cp1252)
{
    foldInto(cp1252, folded_);
    return folded_.find(query_) != std::string::npos;
}

NoteMatcher::NoteMatcher(std::string_view query)
{
    foldInto(query, query_);
}

std::optional<std::string> NoteMatcher::match(const info_file::Contents& contents)
{
    const std::string_view note = contents.note;
    if (query_.empty())
        return excerpt(withoutLineEnd(note.substr(0, note.find('\n'))), 0);

    // The whole note is folded and searched at once; folding keeps every byte in its place, so a
    // hit falls in the same line of the note as read.
    foldInto(note, folded_);
    const std::size_t hit = folded_.find(query_);
    if (hit != std::string::npos) {
        const std::size_t previous = note.rfind('\n', hit);
        const std::size_t start = previous == std::string_view::npos ? 0 : previous + 1;
        return excerpt(withoutLineEnd(note.substr(start, note.find('\n', hit) - start)), hit - start);
    }
    foldInto(contents.exportPath, folded_);
    if (const std::size_t inPath = folded_.find(query_); inPath != std::string::npos)
        return excerpt(contents.exportPath, inPath);
    return std::nullopt;
}

}  // namespace orvasel::search
