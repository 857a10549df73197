#include "search/note_matcher.h"

#include "search/fold.h"

namespace orvasel::search {

std::string_view withoutLineEnd(std::string_view line)
{
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

NoteMatcher::NoteMatcher(std::string_view query)
{
    foldInto(query, query_);
}

std::optional<std::string> NoteMatcher::match(const info_file::Contents& contents)
{
    const std::string_view note = contents.note;
    if (query_.empty())
        return std::string(withoutLineEnd(note.substr(0, note.find('\n'))));

    // The whole note is folded and searched at once; folding keeps every byte in its place, so a
    // hit falls in the same line of the note as read.
    foldInto(note, folded_);
    const std::size_t hit = folded_.find(query_);
    if (hit != std::string::npos) {
        const std::size_t previous = note.rfind('\n', hit);
        const std::size_t start = previous == std::string_view::npos ? 0 : previous + 1;
        return std::string(withoutLineEnd(note.substr(start, note.find('\n', hit) - start)));
    }
    foldInto(contents.exportPath, folded_);
    if (folded_.find(query_) != std::string::npos)
        return contents.exportPath;
    return std::nullopt;
}

}  // namespace orvasel::search
