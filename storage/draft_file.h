#pragma once
// A draft of a note being edited, kept in the user's data folder while it is not saved, so that
// neither a crash, a power cut nor the end of the session loses what was typed. Pure: bytes and
// values. The texts are UTF-8, so that a draft keeps even what an information file cannot hold.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvasel::draft_file {

struct Draft {
    std::string infoPath;    // the information file the note belongs to, as the program names it
    std::string note;        // the editor's text, lines separated by CR LF
    std::string exportPath;  // the exported-audio field's text
    // The information file's bytes as the editor loaded them, which a save of the draft compares
    // the file with; nothing when there was no file.
    std::optional<std::string> loadedBytes;
    std::int64_t changedAt = 0;  // the last change kept, in milliseconds since 1970 (UTC)
    std::string session;         // the running copy of the program that keeps it

    bool operator==(const Draft&) const = default;
};

std::string serialize(const Draft& draft);
// Nothing when the bytes are not a whole draft (cut, damaged, or of another kind).
std::optional<Draft> parse(std::string_view bytes);

}  // namespace orvasel::draft_file
