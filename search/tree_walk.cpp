#include "search/tree_walk.h"

#include "storage/info_file.h"
#include "storage/text.h"

#include <algorithm>

namespace orvasel::search {
namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool endsWithIgnoringAsciiCase(std::string_view name, std::string_view ending)
{
    return name.size() > ending.size() && equalIgnoringAsciiCase(name.substr(name.size() - ending.size()), ending);
}

constexpr std::string_view kProjectExtension = ".cpr";

bool isProjectName(std::string_view name)
{
    return endsWithIgnoringAsciiCase(name, kProjectExtension);
}

// The audio files Cubase exports.
bool isAudioName(std::string_view name)
{
    constexpr std::string_view kAudio[] = {".wav", ".aif", ".aiff", ".flac", ".mp3", ".ogg"};
    return std::any_of(std::begin(kAudio), std::end(kAudio),
                       [&](std::string_view extension) { return endsWithIgnoringAsciiCase(name, extension); });
}

// Whether the file is the project's note, as the file system finds it by name.
bool isNoteOf(std::string_view infoName, const std::string& project)
{
#ifdef _WIN32
    return equalIgnoringAsciiCase(infoName, project + ".info");
#else
    return infoName == project + ".info";
#endif
}

// A name with its letters small, as far as code page 1252 has both forms ("Été" and "ÉTÉ" alike).
std::string smallLetters(std::string_view utf8)
{
    std::string text = text::utf8ToCp1252(utf8).value_or(std::string(utf8));
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
            c = char(byte + 0x20);
    }
    return text;
}

// Whether a plugin's name (UTF-8) holds the text searched for, letter case and accents aside as in
// the notes.
bool nameHolds(NoteMatcher& matcher, const std::string& name)
{
    const std::optional<std::string> cp1252 = text::utf8ToCp1252(name);
    return matcher.holds(cp1252 ? *cp1252 : name);
}

}  // namespace

bool addToTally(Tally& tally, const FolderListed& folder)
{
    switch (folder.state) {
    case FolderState::Missing:
        // A folder gone since its parent was listed is no news; a root that is not there is.
        tally.missingRoots += folder.root;
        return false;
    case FolderState::Unreadable:
        ++tally.unreadableFolders;
        return false;
    case FolderState::Listed:
        break;
    }
    ++tally.folders;
    tally.unreadableFiles += folder.unreadableFiles;
    tally.notesNotDownloaded += folder.notesNotDownloaded;
    return true;
}

TreeWalk::TreeWalk(const std::vector<std::string>& roots, const NoteMatcher& matcher, const std::atomic<bool>& stop,
                   Disk& disk, Options options, ProjectIndex* index)
    : matcher_(matcher), stop_(stop), disk_(disk), options_(options), index_(index)
{
    // The roots by volume, in their order; each volume's threads take its first root first.
    const std::vector<file_probe::Mount> mounts = file_probe::mounts();
    std::vector<std::string> names;
    for (std::string root : roots) {
        if (root.empty())
            continue;
        if (root.back() != kSeparator)
            root += kSeparator;
        const std::string name = file_probe::volumeOf(root, mounts).name;
        const std::size_t at = std::size_t(std::find(names.begin(), names.end(), name) - names.begin());
        if (at == names.size()) {
            names.push_back(name);
            volumes_.emplace_back();
        }
        auto& folders = volumes_[at].folders;
        folders.insert(folders.begin(), {root, true});
    }
    for (Volume& volume : volumes_)
        for (int i = 0; i < kThreadsPerVolume; ++i)
            threads_.emplace_back(&TreeWalk::work, this, std::ref(volume));
}

TreeWalk::~TreeWalk()
{
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    workWaiting_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

bool TreeWalk::walked() const
{
    return std::all_of(volumes_.begin(), volumes_.end(),
                       [](const Volume& volume) { return volume.folders.empty() && volume.listing == 0; });
}

void TreeWalk::work(Volume& volume)
{
    NoteMatcher matcher = matcher_;  // its own, for its own scratch space
    std::vector<std::string> subfolders;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopped() || abandoned_)
            break;
        if (!volume.folders.empty()) {
            const auto [folder, root] = std::move(volume.folders.back());
            volume.folders.pop_back();
            ++volume.listing;
            lock.unlock();
            subfolders.clear();
            FolderListed listed = visit(folder, root, matcher, subfolders);
            listed.volume = std::size_t(&volume - &volumes_.front());
            lock.lock();
            --volume.listing;
            for (auto subfolder = subfolders.rbegin(); subfolder != subfolders.rend(); ++subfolder)
                volume.folders.emplace_back(std::move(*subfolder), false);
            listed_.push_back(std::move(listed));
            resultsWaiting_.notify_one();
            if (!volume.folders.empty())
                workWaiting_.notify_all();
            continue;
        }
        if (!volume.readings.empty()) {
            const Reading reading = std::move(volume.readings.front());
            volume.readings.pop_front();
            ++volume.reading;
            lock.unlock();
            readProjects(reading, matcher);
            lock.lock();
            --volume.reading;
            resultsWaiting_.notify_one();
            continue;
        }
        if (noMoreReadings_ && walked())
            break;
        workWaiting_.wait(lock);
    }
    resultsWaiting_.notify_one();
}

FolderListed TreeWalk::visit(const std::string& folder, bool root, NoteMatcher& matcher,
                             std::vector<std::string>& subfolders)
{
    FolderListed listed;
    listed.folder = folder;
    listed.root = root;
    std::vector<std::pair<std::string, bool>> projects;  // each with whether its file is online only
    std::vector<std::string> notesNotDownloaded;         // files whose content is online only
    listed.state = disk_.list(folder, [&](const SearchEntry& entry) {
        if (stopped())
            return false;
        const std::string& name = entry.name;
        if (name == "." || name == ".." || !text::isUtf8(name))
            return true;
        if (entry.attributes & kAttributeDirectory) {
            if (!leadsElsewhere(entry))
                subfolders.push_back(folder + name + kSeparator);
            if (equalIgnoringAsciiCase(name, "Mixdown"))
                listed.mixdown = name;
        } else if (isProjectName(name)) {
            projects.emplace_back(name, contentNotOnDisk(entry));
        } else if (contentNotOnDisk(entry)) {
            notesNotDownloaded.push_back(name);
        }
        if (!(entry.attributes & kAttributeDirectory) && isAudioName(name))
            listed.audioFiles.push_back(name);
        return true;
    });
    if (listed.state != FolderState::Listed || stopped()) {
        subfolders.clear();
        return listed;
    }
    for (const auto& [name, online] : projects) {
        if (stopped())
            break;
        const std::string& project = name;  // (a binding cannot be captured below)
        Found found;
        found.folder = folder;
        found.project = project;
        found.projectNotDownloaded = online;
        std::optional<std::string> line;
        const bool noteOnline = std::any_of(notesNotDownloaded.begin(), notesNotDownloaded.end(),
                                            [&](const std::string& name) { return isNoteOf(name, project); });
        if (noteOnline) {
            // Reading it would download it: it is counted, and shown only in the overview.
            ++listed.notesNotDownloaded;
            found.noteNotDownloaded = true;
            if (matcher.matchesEverything())
                line.emplace();
        } else {
            const file_io::ReadResult file = disk_.readStart(folder + project + ".info", kLongestInfoFile);
            if (file.status == file_io::ReadStatus::Unreadable)
                ++listed.unreadableFiles;
            // A project without an information file has an empty note, shown in the overview.
            info_file::Contents contents =
                file.status == file_io::ReadStatus::Ok ? info_file::parse(file.bytes) : info_file::Contents{};
            line = matcher.match(contents);
            found.noteUnreadable = file.status == file_io::ReadStatus::Unreadable;
            found.noteBlank = isBlank(contents.note);
            found.exportPath = std::move(contents.exportPath);
        }
        if (!line && !options_.everyProject)
            continue;
        found.line = line.value_or(std::string());
        if (options_.examineProjects)
            found.projectFile = disk_.examine(folder + project);
        listed.matched.push_back(line.has_value());
        listed.projects.push_back(std::move(found));
    }
    return listed;
}

void TreeWalk::read(const FolderListed& folder, std::vector<ProjectToRead> projects)
{
    if (projects.empty())
        return;
    {
        const std::lock_guard lock(mutex_);
        volumes_[folder.volume].readings.push_back({folder.folder, folder.audioFiles, folder.mixdown, std::move(projects)});
    }
    workWaiting_.notify_one();
}

void TreeWalk::readProjects(const Reading& reading, NoteMatcher& matcher)
{
    std::vector<SearchEntry> mixdown;  // listed once for the folder, when first needed
    bool mixdownListed = false;
    for (const ProjectToRead& project : reading.projects) {
        if (stopped())
            return;
        ProjectRead read;
        read.id = project.id;
        const std::string path = reading.folder + project.project;
        const bool known = project.file.presence == file_probe::Presence::File;
        std::optional<ProjectDetails> details;
        if (!project.notDownloaded && known && index_)
            details = index_->find(path, project.file.size, project.file.modified);
        if (!details && !project.notDownloaded) {
            if (std::unique_ptr<InputStream> file = disk_.open(path)) {
                details = readProject([&](char* into, std::size_t most) { return file->read(into, most); },
                                      [this] { return stopped(); });
                if (!details && stopped())
                    return;
                if (details && known && index_)
                    index_->store(path, project.file.size, project.file.modified, *details);
            }
        }
        read.details = details.value_or(ProjectDetails{});
        if (project.matchPlugins) {
            const auto plugin = std::find_if(read.details.plugins.begin(), read.details.plugins.end(),
                                             [&](const std::string& name) { return nameHolds(matcher, name); });
            if (plugin != read.details.plugins.end())
                read.plugin = *plugin;
        }
        if (project.lookForExport)
            read.foundExport = findExport(reading, project.project, mixdown, mixdownListed);
        const std::lock_guard lock(mutex_);
        read_.push_back(std::move(read));
        resultsWaiting_.notify_one();
    }
}

std::string TreeWalk::findExport(const Reading& reading, const std::string& project, std::vector<SearchEntry>& mixdown,
                                 bool& mixdownListed)
{
    if (!mixdownListed && !reading.mixdown.empty()) {
        disk_.list(reading.folder + reading.mixdown + kSeparator, [&](const SearchEntry& entry) {
            if (!(entry.attributes & kAttributeDirectory) && text::isUtf8(entry.name) && isAudioName(entry.name))
                mixdown.push_back(entry);
            return !stopped();
        });
    }
    mixdownListed = true;
    const std::string stem = smallLetters(std::string_view(project).substr(0, project.size() - kProjectExtension.size()));
    const auto newest = [&](const std::string& folder, const auto& names, const auto& nameOf) {
        std::string best;
        std::int64_t bestTime = 0;
        for (const auto& entry : names) {
            const std::string& name = nameOf(entry);
            if (!smallLetters(name).starts_with(stem) || stopped())
                continue;
            const file_probe::Probe probe = disk_.examine(folder + name);
            if (probe.presence == file_probe::Presence::File && (best.empty() || probe.modified > bestTime))
                best = folder + name, bestTime = probe.modified;
        }
        return best;
    };
    // The project's Mixdown folder first, where Cubase puts its exports, then its own folder.
    const std::string found = newest(reading.folder + reading.mixdown + kSeparator, mixdown,
                                     [](const SearchEntry& entry) -> const std::string& { return entry.name; });
    if (!found.empty())
        return found;
    return newest(reading.folder, reading.audioFiles, [](const std::string& name) -> const std::string& { return name; });
}

bool TreeWalk::next(const std::function<void(FolderListed&&)>& onFolder, const std::function<void(ProjectRead&&)>& onRead,
                    std::chrono::milliseconds wait)
{
    std::unique_lock lock(mutex_);
    const auto done = [&] {
        const bool reading = std::any_of(volumes_.begin(), volumes_.end(), [](const Volume& volume) {
            return !volume.readings.empty() || volume.reading > 0;
        });
        return listed_.empty() && read_.empty() && walked() && noMoreReadings_ && !reading;
    };
    resultsWaiting_.wait_for(lock, wait, [&] { return stopped() || !listed_.empty() || !read_.empty() || done(); });
    if (stopped())
        return false;
    // Handed over outside the lock: the caller may ask for reads meanwhile.
    std::deque<FolderListed> listed;
    std::deque<ProjectRead> read;
    listed.swap(listed_);
    read.swap(read_);
    lock.unlock();
    for (FolderListed& folder : listed) {
        if (stopped())
            return false;
        for (Found& found : folder.projects)
            found.id = nextId_++;
        onFolder(std::move(folder));
    }
    for (ProjectRead& one : read) {
        if (stopped())
            return false;
        onRead(std::move(one));
    }
    lock.lock();
    // Every folder handed over: the caller has asked for all the reads it will.
    if (walked() && listed_.empty() && !noMoreReadings_) {
        noMoreReadings_ = true;
        workWaiting_.notify_all();
    }
    return !done();
}

}  // namespace orvasel::search
