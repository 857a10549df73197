#pragma once
// The settings file "Orvasel.you": Cubase path, current bookmark index, bookmark folders,
// "SIG", bookmark names, "EOF", audio player path; one line each, CR LF after every line.
// All texts here are code page 1252 bytes.
#include <string>
#include <string_view>
#include <vector>

namespace orvasel::settings_file {

struct Settings {
    std::string cubasePath = "rien";
    int currentIndex = -1;
    std::vector<std::string> folders;
    std::vector<std::string> names;
    std::string playerPath;

    bool operator==(const Settings&) const = default;
};

enum class Fault {
    None,
    IndexNotANumber,   // line 2 is not a decimal integer in the range of int, or is missing
                       // (an empty file, a file of one line)
    EndsBeforeSig,     // no "SIG" line
    EndsBeforeEof,     // no "EOF" line after "SIG"
    EndsBeforePlayer,  // nothing after "EOF"
    LineTooLong,       // a line of more than 254 characters
    ListsDiffer,       // more folders than names or the reverse (the lists are then evened out)
};

struct Loaded {
    Settings settings;        // what was read up to the fault
    Fault fault = Fault::None;
};

// Reads the bytes; CR LF or LF end a line, a last line without a break is taken whole.
// Loading always comes to an end; on a fault it keeps what it read before it, and the two
// bookmark lists come out the same length (a folder read without its name is named by its folder,
// a name beyond the folders is dropped). Values the reading did not reach keep the values of
// the initial state above. A bad index alone stops nothing: the index stays -1 and the lines
// after it are read as usual. A line too long ends the reading where it starts. When there are
// several faults, the first one in file order is reported.
Loaded parse(std::string_view bytes);

// Writes the line table in its order, CR LF after every line.
std::string serialize(const Settings& settings);

// The longest line the reader takes in one piece.
inline constexpr std::size_t kMaxLineLength = 254;

// Whether a value fits one line of the file: at most 254 characters, no CR or LF.
bool fitsOneLine(std::string_view value);

}  // namespace orvasel::settings_file
