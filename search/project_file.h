#pragma once
// What a Cubase project file (.cpr) tells of itself without Cubase: the program and version that
// saved it, and the plugins it uses. Nothing of the format is documented, so every length is
// checked against what the file holds, and what cannot be read for sure is left unknown.
//
// The facts relied on: the file begins with "RIFF" (or "RIF2", whose length field is 8 bytes
// instead of 4) and "NUNDROOT". The application record, near the start of the file (or at its
// very end in the oldest versions), is the name "PAppVersion" and a zero byte, 6 bytes, then
// strings each given as a 4-byte big-endian length and that many bytes, zero-terminated: the
// application, its version, its release date, and after 4 more bytes the architecture. Each
// plugin instance has a record "Plugin UID" (its GUID) and "Plugin Name" (a length-prefixed name),
// and "Original Plugin Name" when the user renamed it: that one is its real name. Projects older
// than Cubase 4 carry no plugin records.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvasel::search {

struct ProjectDetails {
    bool isProject = false;    // begins as a Cubase project does
    std::string application;   // "Cubase", "Cubase SX", "Nuendo"...; empty when unknown (UTF-8, as all below)
    std::string version;       // "Version 13.0.10"; empty when unknown
    std::string releaseDate;   // "Oct 10 2023"
    std::string architecture;  // "WIN64", "MAC64 LE"; empty in 32-bit versions
    bool pluginsKnown = false; // false: the file cannot tell (cut short, too old, no project)
    std::vector<std::string> plugins;  // the real names, sorted, each once; empty when not known

    bool operator==(const ProjectDetails&) const = default;
};

// "Cubase 13.0.10", "Cubase SX 3.1.1"; "?" when the program or its version is unknown.
std::string versionLabel(const ProjectDetails& details);

// Reads a project file streamed through it, in bounded memory: the start and the end of the file
// for the application record, everything on the way for the plugins. The bytes go straight into
// the reader's own buffer, so that a large file is not copied on its way.
class ProjectReader {
public:
    // Reading this many bytes at a time, at most.
    explicit ProjectReader(std::size_t chunk = 512 * 1024);
    // Where the next bytes of the file go (any number of them, up to its size), then taken(count).
    std::span<char> space();
    void taken(std::size_t count);
    // The same with bytes from elsewhere, copied in.
    void feed(std::string_view bytes);
    // False once the bytes show the file is no project: nothing more of it is needed.
    bool wantsMore() const { return !notAProject_; }
    // What the bytes told, once they all went through.
    ProjectDetails finish();

private:
    std::size_t scan(std::string_view bytes, bool atEnd);
    void commitInstance();

    std::vector<char> buffer_;   // bytes not scanned to the end yet, then room for the next ones
    std::size_t kept_ = 0;       // bytes at the start of the buffer kept from the last scan
    std::uint64_t keptFrom_ = 0; // their offset in the file
    std::uint64_t scanned_ = 0;  // plugin records start at this offset of the file or later
    std::uint64_t total_ = 0;    // bytes taken
    std::string head_;           // the first bytes, where the application record is
    std::string tail_;           // the last bytes, kept while the start has not shown the record
    bool headChecked_ = false;   // the whole start was looked at
    bool headHasRecord_ = false;
    bool notAProject_ = false;
    bool pluginRecordSeen_ = false;
    bool unreadableRecord_ = false;  // a plugin record whose name could not be read
    // The plugin instance being read: its GUID, its name, its real name when renamed.
    bool inInstance_ = false;
    std::string guid_, name_, originalName_;
    std::vector<std::string> plugins_;
};

// The same over a whole file in memory.
ProjectDetails readProject(std::string_view bytes);

// Reads with read(into, most) -> bytes read (0 at the end, below 0 on a failure) until the end, or
// until stop says so; nothing when the reading failed or was stopped.
std::optional<ProjectDetails> readProject(const std::function<std::ptrdiff_t(char* into, std::size_t most)>& read,
                                          const std::function<bool()>& stop);

}  // namespace orvasel::search
