#include "storage/info_file.h"

#include "storage/text.h"

#include <algorithm>

namespace orvasel::info_file {

namespace {

constexpr std::size_t kLineBuffer = 1000;
constexpr std::string_view kMarkerLine = "EOF\n";

// Whether the last piece of a note's last line, as the reader cuts a long line, is the marker.
bool lastLineReadsAsMarker(std::string_view lastLine) {
    if (!lastLine.ends_with("EOF")) return false;
    const std::string stored = std::string(lastLine) + "\r\n";
    text::LineReader reader(stored, kLineBuffer);
    std::optional<std::string> piece;
    while (auto next = reader.next()) piece = std::move(next);
    return piece == kMarkerLine;
}

}  // namespace

Contents parse(std::string_view bytes) {
    Contents contents;
    text::LineReader reader(bytes, kLineBuffer);
    while (auto line = reader.next()) {
        if (*line == kMarkerLine) {
            contents.markerFound = true;
            break;
        }
        // A bare line end is dropped: it is the one that a save puts before the marker.
        if (line->size() >= 2) contents.note += *line;
    }
    // A file cut before its marker: its last line gets the line end it lost, or a save would join it
    // to the marker it writes (a last line "EOF" would become the marker, and the note would lose it).
    if (!contents.markerFound) {
        if (!contents.note.empty() && contents.note.back() != '\n') contents.note += '\n';
        return contents;
    }

    auto field = reader.next();
    if (field && field->size() >= 2 && !field->starts_with("EO")) {
        if (field->back() == '\n') field->pop_back();
        contents.exportPath = std::move(*field);
    }
    return contents;
}

std::string serialize(std::string_view editorText, std::string_view exportPath) {
    std::string written;
    written.reserve(editorText.size() + exportPath.size() + 8);
    written.append(editorText);
    // A last line "EOF" (or a long one whose last 999-character piece is "EOF") would meet the line
    // end that opens the marker and be read as the marker itself, taking the real one for the
    // exported-audio path: it gets the line break a reload gives it anyway, so that the note and
    // the path both come back.
    const std::size_t lastLine = editorText.rfind('\n') + 1;  // 0 when there is one line
    if (lastLineReadsAsMarker(editorText.substr(lastLine))) written.append("\r\n");
    written.append("\nEOF\n").append(exportPath).append("\n");
    return text::toTextMode(written);
}

std::optional<std::string> withExportPath(std::string_view bytes, std::string_view exportPath) {
    if (exportPath.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
    const std::string_view original = bytes;
    text::LineReader reader(bytes, kLineBuffer);
    std::size_t markerEnd = std::string_view::npos;
    while (auto line = reader.next()) {
        if (*line == kMarkerLine) {
            markerEnd = reader.consumed();
            break;
        }
    }
    std::string written;
    if (markerEnd == std::string_view::npos) {
        written.assign(bytes);
        if (!written.empty() && written.back() != '\n') written += "\r\n";
        written += text::toTextMode(kMarkerLine);
        markerEnd = written.size();
        bytes = {};
    } else {
        written.assign(bytes.substr(0, markerEnd));
    }
    const std::size_t fieldEnd = std::min(bytes.find('\n', markerEnd), bytes.size());
    written.append(exportPath).append("\r\n");
    if (fieldEnd < bytes.size()) written.append(bytes.substr(fieldEnd + 1));
    // Read back as the program reads it: the same note, this path.
    const Contents before = parse(original);
    const Contents after = parse(written);
    if (!after.markerFound || after.exportPath != exportPath || after.note != before.note) return std::nullopt;
    return written;
}

std::string markerOnly() { return text::toTextMode(kMarkerLine); }

std::string editorText(std::string_view note) {
    std::string out;
    out.reserve(note.size() + note.size() / 16);
    for (std::size_t i = 0; i < note.size(); ++i) {
        if (note[i] == '\n' && (i == 0 || note[i - 1] != '\r')) out += '\r';
        out += note[i];
    }
    return out;
}

}  // namespace orvasel::info_file
