#include "search/project_file.h"

#include "storage/text.h"

#include <algorithm>
#include <cstring>

namespace orvasel::search {
namespace {

using namespace std::string_view_literals;

// The application record lies within this many bytes of the start, or of the end.
constexpr std::size_t kEdge = 64 * 1024;
// No name read is longer: a longer length is no name, and the record is not one we know.
constexpr std::size_t kLongestName = 1024;
constexpr std::size_t kLongestVersionText = 256;
// A plugin's GUID follows its "Plugin UID" within this many bytes.
constexpr std::size_t kGuidReach = 64;
// Every record read fits in this many bytes: what a scan keeps for the next never grows past it.
constexpr std::size_t kLongestRecord = 2048;

// Every plugin record's name holds this; the scan looks for it, then at what surrounds it.
constexpr std::string_view kHit = "Plugin ";
constexpr std::string_view kUidTag = "\0\0\0\x0bPlugin UID\0"sv;
constexpr std::string_view kNameTag = "\0\0\0\x0cPlugin Name\0"sv;
constexpr std::string_view kOriginalTag = "\0\0\0\x15Original Plugin Name\0"sv;
constexpr std::string_view kGuidTag = "\0\0\0\x05GUID\0"sv;
constexpr std::string_view kApplicationTag = "\0\0\0\x0cPAppVersion\0"sv;
// Where "Plugin " lies in each record name that holds it.
constexpr std::size_t kUidHit = 4, kNameHit = 4, kOriginalHit = 13;

// The parts of every mixer channel that Cubase records like plugins (input filter, equaliser,
// panner): no user chose them, no computer lacks them.
constexpr std::string_view kChannelModules[] = {
    "D56B9C6CA4F946018EED73EB83A74B58",  // Input Filter
    "297BA567D83144E1AE921DEF07B41156",  // EQ
    "44E1149EDB3E4387BDD827FEA3A39EE7",  // Standard Panner
};

std::uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t size)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

enum class Got { Value, Cut, Invalid };
struct Text {
    Got got = Got::Invalid;
    std::string_view value;
    std::size_t end = 0;  // just past the record
};

Text cutText()
{
    Text text;
    text.got = Got::Cut;
    return text;
}

// A 4-byte big-endian length, then that many bytes holding a zero-terminated text.
Text lengthPrefixed(std::string_view bytes, std::size_t at, std::size_t longest)
{
    if (bytes.size() < at || bytes.size() - at < 4)
        return cutText();
    const std::uint64_t length = bigEndian(bytes, at, 4);
    if (length == 0 || length > longest)
        return {};
    if (bytes.size() - at - 4 < length)
        return cutText();
    const std::string_view value = bytes.substr(at + 4, std::size_t(length));
    const std::size_t zero = value.find('\0');
    if (zero == std::string_view::npos)
        return {};
    return {Got::Value, value.substr(0, zero), at + 4 + std::size_t(length)};
}

// A text value after its record name: its type (8, a text), then as above.
Text textValue(std::string_view bytes, std::size_t at, std::size_t longest)
{
    if (bytes.size() < at || bytes.size() - at < 2)
        return cutText();
    if (bytes[at] != 0 || bytes[at + 1] != 8)
        return {};
    return lengthPrefixed(bytes, at + 2, longest);
}

// A name as it is shown: blanks trimmed; none when it holds control characters (it is no name). Names are UTF-8;
// one that is not is taken as the Windows code page of older versions.
std::string nameOf(std::string_view raw)
{
    const auto blank = [](char c) { return c == ' '; };
    while (!raw.empty() && blank(raw.front()))
        raw.remove_prefix(1);
    while (!raw.empty() && blank(raw.back()))
        raw.remove_suffix(1);
    if (std::any_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return {};
    return text::isUtf8(raw) ? std::string(raw) : text::cp1252ToUtf8(raw);
}

bool startsWith(std::string_view bytes, std::size_t at, std::string_view tag)
{
    return at <= bytes.size() && bytes.size() - at >= tag.size() && bytes.substr(at, tag.size()) == tag;
}

// The application record in these bytes, when one is there whole: the first that is.
bool readApplicationRecord(std::string_view bytes, ProjectDetails& details)
{
    for (std::size_t at = bytes.find(kApplicationTag); at != std::string_view::npos;
         at = bytes.find(kApplicationTag, at + 1)) {
        const Text application = lengthPrefixed(bytes, at + kApplicationTag.size() + 6, kLongestVersionText);
        if (application.got != Got::Value)
            continue;
        const Text version = lengthPrefixed(bytes, application.end, kLongestVersionText);
        if (version.got != Got::Value || nameOf(application.value).empty() || nameOf(version.value).empty())
            continue;
        details.application = nameOf(application.value);
        details.version = nameOf(version.value);
        const Text date = lengthPrefixed(bytes, version.end, kLongestVersionText);
        if (date.got != Got::Value)
            return true;
        details.releaseDate = nameOf(date.value);
        const Text architecture = lengthPrefixed(bytes, date.end + 4, kLongestVersionText);
        if (architecture.got == Got::Value)
            details.architecture = nameOf(architecture.value);
        return true;
    }
    return false;
}

// Whether projects of this version record their plugins: Cubase 4 and later (not Cubase SX or SL,
// whose numbers went up to 3).
bool recordsPlugins(const ProjectDetails& details)
{
    if (details.application.find(" SX") != std::string::npos || details.application.find(" SL") != std::string::npos)
        return false;
    std::string_view version = details.version;
    if (version.starts_with("Version "))
        version.remove_prefix(8);
    int major = 0;
    std::size_t digits = 0;
    for (; digits < version.size() && digits < 4 && version[digits] >= '0' && version[digits] <= '9'; ++digits)
        major = major * 10 + (version[digits] - '0');
    return digits > 0 && major >= 4;
}

// Whether the bytes begin as a project does; none when too few bytes tell yet. A file shorter than
// its own header says was cut short.
struct Header {
    bool complete = false;   // enough bytes to tell
    bool project = false;
    std::uint64_t length = 0;  // the file's length as its header gives it
};
Header headerOf(std::string_view head)
{
    constexpr std::string_view kRoot = "NUNDROOT";
    const bool large = head.starts_with("RIF2");
    const std::size_t lengthSize = large ? 8 : 4;
    if (head.size() < 4 + lengthSize + kRoot.size())
        return {head.size() >= 4 && !head.starts_with("RIFF") && !large, false, 0};
    if (!(large || head.starts_with("RIFF")) || head.substr(4 + lengthSize, kRoot.size()) != kRoot)
        return {true, false, 0};
    const std::uint64_t declared = bigEndian(head, 4, lengthSize);
    return {true, true, declared > UINT64_MAX - 4 - lengthSize ? UINT64_MAX : declared + 4 + lengthSize};
}

}  // namespace

std::string versionLabel(const ProjectDetails& details)
{
    if (details.application.empty() || details.version.empty())
        return "?";
    std::string_view version = details.version;
    if (version.starts_with("Version "))
        version.remove_prefix(8);
    return details.application + ' ' + std::string(version);
}

ProjectReader::ProjectReader(std::size_t chunk) : buffer_(kLongestRecord + std::max<std::size_t>(chunk, 1)) {}

std::span<char> ProjectReader::space()
{
    return {buffer_.data() + kept_, buffer_.size() - kept_};
}

void ProjectReader::taken(std::size_t count)
{
    count = std::min(count, buffer_.size() - kept_);
    const std::string_view fresh(buffer_.data() + kept_, count);
    if (head_.size() < kEdge)
        head_.append(fresh.substr(0, kEdge - head_.size()));
    total_ += count;
    if (!headHasRecord_) {
        // Kept only while the start has not shown the application record (the oldest versions).
        tail_.append(fresh);
        if (tail_.size() > 2 * kEdge)
            tail_.erase(0, tail_.size() - kEdge);
        if (!headChecked_ && head_.size() == kEdge) {
            headChecked_ = true;
            ProjectDetails found;
            headHasRecord_ = readApplicationRecord(head_, found);
            if (headHasRecord_)
                tail_ = {};
        }
    }
    const Header header = headerOf(head_);
    if (header.complete && !header.project) {
        notAProject_ = true;
        kept_ = 0;
        return;
    }
    const std::string_view bytes(buffer_.data(), kept_ + count);
    const std::size_t keep = scan(bytes, false);
    std::memmove(buffer_.data(), buffer_.data() + keep, bytes.size() - keep);
    kept_ = bytes.size() - keep;
    keptFrom_ += keep;
}

void ProjectReader::feed(std::string_view bytes)
{
    while (!bytes.empty() && wantsMore()) {
        const std::span<char> room = space();
        const std::size_t count = std::min(room.size(), bytes.size());
        std::memcpy(room.data(), bytes.data(), count);
        taken(count);
        bytes.remove_prefix(count);
    }
}

std::size_t ProjectReader::scan(std::string_view bytes, bool atEnd)
{
    const auto cut = [&](std::size_t hit) {
        // Read again from there with the bytes that follow.
        scanned_ = keptFrom_ + hit;
        return hit >= kOriginalHit ? hit - kOriginalHit : 0;
    };
    std::size_t at = std::size_t(std::max(scanned_, keptFrom_) - keptFrom_);
    for (std::size_t hit = bytes.find(kHit, at); hit != std::string_view::npos; hit = bytes.find(kHit, at)) {
        at = hit + 1;
        // Enough bytes after the hit to tell which record it is.
        if (!atEnd && bytes.size() - hit < kOriginalTag.size() - kOriginalHit)
            return cut(hit);
        if (hit >= kUidHit && startsWith(bytes, hit - kUidHit, kUidTag)) {
            const std::size_t value = hit - kUidHit + kUidTag.size();
            if (!atEnd && bytes.size() - value < kGuidReach)
                return cut(hit);
            std::string_view guid;
            std::size_t end = value;
            const std::size_t tag = bytes.substr(value, kGuidReach).find(kGuidTag);
            if (tag != std::string_view::npos) {
                const Text text = textValue(bytes, value + tag + kGuidTag.size(), kGuidReach);
                if (text.got == Got::Cut && !atEnd)
                    return cut(hit);
                if (text.got == Got::Value)
                    guid = text.value, end = text.end;
            }
            commitInstance();
            inInstance_ = true;
            guid_ = guid;
            pluginRecordSeen_ = true;
            at = end;
            continue;
        }
        const bool name = hit >= kNameHit && startsWith(bytes, hit - kNameHit, kNameTag);
        const bool original = !name && hit >= kOriginalHit && startsWith(bytes, hit - kOriginalHit, kOriginalTag);
        if (!name && !original)
            continue;
        const Text text = textValue(bytes, name ? hit - kNameHit + kNameTag.size() : hit - kOriginalHit + kOriginalTag.size(),
                                    kLongestName);
        if (text.got == Got::Cut && !atEnd)
            return cut(hit);
        pluginRecordSeen_ = true;
        const std::string shown = text.got == Got::Value ? nameOf(text.value) : std::string();
        if (shown.empty()) {
            unreadableRecord_ = true;
            continue;
        }
        at = text.end;
        if (name) {
            // A second name without a new GUID: another instance.
            if (inInstance_ && !name_.empty())
                commitInstance();
            inInstance_ = true;
            name_ = shown;
        } else {
            inInstance_ = true;
            originalName_ = shown;
        }
    }
    // A hit may still begin in the last bytes: they are scanned again with the next ones, with
    // the record name's bytes before them.
    const std::size_t resume = std::max(at, bytes.size() - std::min(bytes.size(), kHit.size() - 1));
    scanned_ = keptFrom_ + resume;
    return resume >= kOriginalHit ? resume - kOriginalHit : 0;
}

void ProjectReader::commitInstance()
{
    if (inInstance_) {
        const std::string& real = originalName_.empty() ? name_ : originalName_;
        const bool module = std::find(std::begin(kChannelModules), std::end(kChannelModules), guid_) != std::end(kChannelModules);
        if (!real.empty() && !module)
            plugins_.push_back(real);
    }
    inInstance_ = false;
    guid_.clear();
    name_.clear();
    originalName_.clear();
}

ProjectDetails ProjectReader::finish()
{
    ProjectDetails details;
    const Header header = headerOf(head_);
    if (!header.project)
        return details;
    details.isProject = true;
    scan({buffer_.data(), kept_}, true);
    commitInstance();
    if (!readApplicationRecord(head_, details))
        readApplicationRecord(std::string_view(tail_).substr(tail_.size() - std::min(tail_.size(), kEdge)), details);
    const bool whole = total_ >= header.length;
    details.pluginsKnown = whole && !unreadableRecord_ && (pluginRecordSeen_ || recordsPlugins(details));
    if (details.pluginsKnown) {
        std::sort(plugins_.begin(), plugins_.end());
        plugins_.erase(std::unique(plugins_.begin(), plugins_.end()), plugins_.end());
        details.plugins = std::move(plugins_);
    }
    return details;
}

ProjectDetails readProject(std::string_view bytes)
{
    ProjectReader reader(std::min<std::size_t>(bytes.size(), 64 * 1024));
    reader.feed(bytes);
    return reader.finish();
}

std::optional<ProjectDetails> readProject(const std::function<std::ptrdiff_t(char* into, std::size_t most)>& read,
                                          const std::function<bool()>& stop)
{
    ProjectReader reader;
    while (reader.wantsMore()) {
        if (stop())
            return std::nullopt;
        const std::span<char> room = reader.space();
        const std::ptrdiff_t count = read(room.data(), room.size());
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        reader.taken(std::size_t(count));
    }
    return reader.finish();
}

}  // namespace orvasel::search
