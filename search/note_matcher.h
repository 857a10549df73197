#pragma once
// Whether a project's information file holds the text searched for, and the line to show for it.
// Texts are code page 1252 bytes, as the information file holds them.
#include "storage/info_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvasel::search {

class NoteMatcher {
public:
    // An empty text matches every project, showing the first line of its note.
    explicit NoteMatcher(std::string_view query);

    bool matchesEverything() const { return query_.empty(); }

    // The first line of the note that holds the text, else the exported-audio path when it holds
    // it; nothing when neither does. Letter case and accents are ignored. The line comes without
    // its line end, cut to the part around the text found (see excerpt).
    std::optional<std::string> match(const info_file::Contents& contents);
    // Whether the text holds the text searched for, letter case and accents aside.
    bool holds(std::string_view cp1252);

private:
    std::string query_;   // folded
    std::string folded_;  // scratch space, kept from one project to the next
};

// Whether a text holds nothing but blanks and line ends: such a note or export path counts as none.
bool isBlank(std::string_view text);

// A line of the note as read back, without its line end (LF, or CR LF).
std::string_view withoutLineEnd(std::string_view line);

// A result shows this many characters of its line at most: a note of one long line (or a file
// that is no note at all) would otherwise fill the table with megabytes.
inline constexpr std::size_t kLongestShownLine = 200;

// The line, or when it is longer than kLongestShownLine, that many of its characters around the
// hit (which starts at hit), with "…" (code page 1252) where it was cut.
std::string excerpt(std::string_view line, std::size_t hit);

}  // namespace orvasel::search
