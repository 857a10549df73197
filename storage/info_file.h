#pragma once
// The project information file "<project>.cpr.info": the note, the marker line "EOF" and the
// exported-audio path. All texts here are code page 1252 bytes.
#include <optional>
#include <string>
#include <string_view>

namespace orvasel::info_file {

struct Contents {
    // The note as read back: every kept line with its line end as the reader delivers it
    // (LF, or CR LF for a line that was stored as CR CR LF), in file order.
    std::string note;
    std::string exportPath;   // the field line without its LF; empty when it does not qualify
    bool markerFound = false; // false when the bytes end before any marker line
};

// Reads the bytes of an information file (lines of at most 999 characters, the marker compared
// byte for byte, note lines shorter than 2 characters dropped, the field line rules).
Contents parse(std::string_view bytes);

// The bytes stored by a save: the editor's text (lines separated by CR LF), "\nEOF\n",
// the field's text and "\n", each LF written as CR LF. A last line that would read back as the
// marker ("EOF", or a long line whose last piece is "EOF") is ended by a line break first.
std::string serialize(std::string_view editorText, std::string_view exportPath);

// The bytes of an information file with its exported-audio path set, everything else kept byte
// for byte: the note and the marker as they are, the field line replaced, what follows it kept.
// A file without a marker (or no file: no bytes) gets one after its note, whose last line keeps
// a line end. Nothing when the path cannot be a field line (a line end in it, or a path the
// reader would not take back).
std::optional<std::string> withExportPath(std::string_view bytes, std::string_view exportPath);

// The file created for a project that has none: "EOF" and a line end.
std::string markerOnly();

// The note editor's text for a note as read back: each line end of the note (LF, or CR LF)
// is one line break of the editor, held as CR LF. A note that has any line thus ends with CR LF.
std::string editorText(std::string_view note);

}  // namespace orvasel::info_file
