#include "storage/settings_file.h"

#include <charconv>

#include "storage/text.h"

namespace orvasel::settings_file {

namespace {

constexpr std::string_view kFoldersEnd = "SIG";
constexpr std::string_view kNamesEnd = "EOF";

// Reads the values line by line, each without its line break. A line longer than the reader
// takes in one piece ends the reading there: its rest would otherwise pass for further lines.
class ValueReader {
public:
    explicit ValueReader(std::string_view bytes) : lines_(bytes, kMaxLineLength + 2) {}

    std::optional<std::string> next() {
        if (tooLong_) return std::nullopt;
        auto line = lines_.next();
        if (!line) return std::nullopt;
        if (line->ends_with('\n')) {
            line->pop_back();
            if (line->ends_with('\r')) line->pop_back();
        } else if (line->size() > kMaxLineLength) {
            tooLong_ = true;
            return std::nullopt;
        }
        return line;
    }

    bool tooLong() const { return tooLong_; }

private:
    text::LineReader lines_;
    bool tooLong_ = false;
};

std::optional<int> decimal(std::string_view value) {
    int number = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    if (value.empty() || error != std::errc() || stop != end) return std::nullopt;
    return number;
}

// Fills the settings in file order and returns the first fault. Values that come after the
// place where the reading ends keep their initial values.
Fault readInto(ValueReader& in, Settings& settings) {
    Fault fault = Fault::None;
    const auto endedBefore = [&](Fault missing) {
        if (fault != Fault::None) return fault;
        return in.tooLong() ? Fault::LineTooLong : missing;
    };

    auto line = in.next();
    if (!line) return endedBefore(Fault::IndexNotANumber);
    settings.cubasePath = std::move(*line);

    line = in.next();
    if (!line) return endedBefore(Fault::IndexNotANumber);
    // A bad index spoils no other line, so the bookmarks are still read.
    if (const auto index = decimal(*line))
        settings.currentIndex = *index;
    else
        fault = Fault::IndexNotANumber;

    while ((line = in.next()) && *line != kFoldersEnd) settings.folders.push_back(std::move(*line));
    if (!line) return endedBefore(Fault::EndsBeforeSig);

    while ((line = in.next()) && *line != kNamesEnd) settings.names.push_back(std::move(*line));
    if (!line) return endedBefore(Fault::EndsBeforeEof);

    line = in.next();
    if (!line) return endedBefore(Fault::EndsBeforePlayer);
    settings.playerPath = std::move(*line);
    return fault;
}

}  // namespace

Loaded parse(std::string_view bytes) {
    Loaded loaded;
    ValueReader in(bytes);
    loaded.fault = readInto(in, loaded.settings);

    // The two lists are parallel by position: a folder without a name is named by its folder,
    // a name without a folder has nothing to name.
    auto& folders = loaded.settings.folders;
    auto& names = loaded.settings.names;
    if (loaded.fault == Fault::None && names.size() != folders.size())
        loaded.fault = Fault::ListsDiffer;
    for (std::size_t i = names.size(); i < folders.size(); ++i) names.push_back(folders[i]);
    names.resize(folders.size());
    return loaded;
}

std::string serialize(const Settings& settings) {
    std::string written;
    const auto line = [&](std::string_view value) { written.append(value).append("\n"); };
    line(settings.cubasePath);
    line(std::to_string(settings.currentIndex));
    for (const auto& folder : settings.folders) line(folder);
    line(kFoldersEnd);
    for (const auto& name : settings.names) line(name);
    line(kNamesEnd);
    line(settings.playerPath);
    return text::toTextMode(written);
}

bool fitsOneLine(std::string_view value) {
    return value.size() <= kMaxLineLength && value.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace orvasel::settings_file
