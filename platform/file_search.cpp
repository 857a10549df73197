#include "platform/file_search.h"

#include "platform/file_io.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#endif

namespace orvasel {

bool leadsElsewhere(const SearchEntry& entry)
{
    constexpr std::uint32_t kNameSurrogate = 0x20000000;
    return (entry.attributes & kAttributeReparsePoint) && (entry.reparseTag == 0 || (entry.reparseTag & kNameSurrogate));
}

bool contentNotOnDisk(const SearchEntry& entry)
{
    return entry.attributes & (kAttributeOffline | kAttributeRecallOnOpen | kAttributeRecallOnDataAccess);
}

std::optional<std::string> utf8FromUtf16(std::u16string_view name)
{
    std::string utf8;
    utf8.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t code = name[i];
        if (code >= 0xD800 && code <= 0xDFFF) {
            const bool pair = code <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF;
            if (!pair)
                return std::nullopt;
            code = 0x10000 + ((code - 0xD800) << 10) + (name[++i] - 0xDC00);
        }
        if (code < 0x80) {
            utf8 += char(code);
        } else if (code < 0x800) {
            utf8 += char(0xC0 | code >> 6);
            utf8 += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += char(0xE0 | code >> 12);
            utf8 += char(0x80 | (code >> 6 & 0x3F));
            utf8 += char(0x80 | (code & 0x3F));
        } else {
            utf8 += char(0xF0 | code >> 18);
            utf8 += char(0x80 | (code >> 12 & 0x3F));
            utf8 += char(0x80 | (code >> 6 & 0x3F));
            utf8 += char(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

std::optional<SearchEntry> FileSearch::next()
{
    SearchEntry entry;
    if (!next(entry))
        return std::nullopt;
    return entry;
}

#ifdef _WIN32

struct FileSearch::Handle {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // data holds an entry not yet handed out
};

FileSearch::FileSearch(const std::string& pattern)
{
    if (file_io::utf16Length(pattern) > kMaxPatternLength) {
        unreadable_ = true;
        return;
    }
    const auto wide = file_io::nativePath(pattern);
    if (!wide)
        return;
    handle_ = new Handle;
    // Without the short names, and in larger reads: a folder of a network share comes in fewer
    // round trips.
    handle_->find = FindFirstFileExW(wide->c_str(), FindExInfoBasic, &handle_->data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    handle_->pending = handle_->find != INVALID_HANDLE_VALUE;
    if (!handle_->pending) {
        const DWORD error = GetLastError();
        missing_ = error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY || error == ERROR_INVALID_NAME;
        unreadable_ = !missing_ && error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES;
    }
}

FileSearch::~FileSearch()
{
    if (handle_ && handle_->find != INVALID_HANDLE_VALUE)
        FindClose(handle_->find);
    delete handle_;
}

bool FileSearch::next(SearchEntry& entry)
{
    if (!handle_ || handle_->find == INVALID_HANDLE_VALUE)
        return false;
    for (;;) {
        if (!handle_->pending && !FindNextFileW(handle_->find, &handle_->data))
            return false;
        handle_->pending = false;
        auto name = utf8FromUtf16(reinterpret_cast<const char16_t*>(handle_->data.cFileName));
        if (!name)
            continue;  // no name of ours would reach it, nor tell it from its look-alikes
        entry.attributes = handle_->data.dwFileAttributes;
        // The tag travels in a reserved field, set only for a reparse point.
        entry.reparseTag = entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT ? handle_->data.dwReserved0 : 0;
        entry.name = std::move(*name);
        return true;
    }
}

#else

struct FileSearch::Handle {
    DIR* dir = nullptr;
    std::string folder;
    std::string namePattern;
    std::string suffix;  // for a pattern "*<suffix>" without other wildcards, such as "*.cpr"
};

namespace {

bool endsWithIgnoringCase(const char* name, const std::string& suffix)
{
    const std::size_t length = std::strlen(name);
    return length >= suffix.size() && strncasecmp(name + length - suffix.size(), suffix.c_str(), suffix.size()) == 0;
}

bool matches(const std::string& pattern, const std::string& suffix, const char* name)
{
    if (!suffix.empty())
        return endsWithIgnoringCase(name, suffix);
    return fnmatch(pattern.c_str(), name, FNM_CASEFOLD) == 0;
}

}  // namespace

FileSearch::FileSearch(const std::string& pattern)
{
    if (file_io::utf16Length(pattern) > kMaxPatternLength) {
        unreadable_ = true;
        return;
    }
    const std::size_t cut = pattern.rfind('/') + 1;  // 0 when there is no folder
    handle_ = new Handle;
    handle_->folder = pattern.substr(0, cut);
    handle_->namePattern = pattern.substr(cut);
    // Most searches are "*.cpr": a suffix compare spares fnmatch on every entry of the folder.
    const std::string rest = handle_->namePattern.substr(std::min<std::size_t>(1, handle_->namePattern.size()));
    if (handle_->namePattern.starts_with('*') && !rest.empty() && rest.find_first_of("*?[\\") == std::string::npos)
        handle_->suffix = rest;
    handle_->dir = opendir(handle_->folder.empty() ? "." : handle_->folder.c_str());
    missing_ = !handle_->dir && (errno == ENOENT || errno == ENOTDIR);
    unreadable_ = !handle_->dir && !missing_;
}

FileSearch::~FileSearch()
{
    if (handle_ && handle_->dir)
        closedir(handle_->dir);
    delete handle_;
}

bool FileSearch::next(SearchEntry& entry)
{
    if (!handle_ || !handle_->dir)
        return false;
    while (const dirent* found = readdir(handle_->dir)) {
        if (!matches(handle_->namePattern, handle_->suffix, found->d_name))
            continue;
        entry.attributes = found->d_name[0] == '.' ? kAttributeHidden : 0;
        entry.reparseTag = 0;
        entry.name = found->d_name;
        bool directory = found->d_type == DT_DIR;
        bool link = found->d_type == DT_LNK;
        if (found->d_type == DT_UNKNOWN || link) {
            const std::string path = handle_->folder + found->d_name;
            struct stat info {};
            link = link || (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode));
            directory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        if (link) {
            entry.attributes |= kAttributeReparsePoint;
            entry.reparseTag = kReparseTagSymbolicLink;
        }
        if (directory)
            entry.attributes |= kAttributeDirectory;
        return true;
    }
    return false;
}

#endif

}  // namespace orvasel
