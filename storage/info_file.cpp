#include "storage/info_file.h"

#include "storage/text.h"

#include <algorithm>

namespace orvasel::info_file {

namespace {

constexpr std::size_t kLineBuffer = 1000;
constexpr std::string_view kMarkerLine = "EOF\n";

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
    written.reserve(editorText.size() + exportPath.size() + 6);
    written.append(editorText).append("\nEOF\n").append(exportPath).append("\n");
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
