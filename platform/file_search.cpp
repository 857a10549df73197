#include "platform/file_search.h"

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

#ifdef _WIN32

namespace {

// Nothing when the text is not valid UTF-8.
std::optional<std::wstring> toWide(const std::string& utf8)
{
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out.data(), length);
    return out;
}

// A name holding a lone surrogate gets the replacement character there.
std::string toUtf8(const wchar_t* wide)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), length, nullptr, nullptr);
    out.pop_back();  // the terminating zero
    return out;
}

}  // namespace

struct FileSearch::Handle {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // data holds an entry not yet handed out
};

FileSearch::FileSearch(const std::string& pattern)
{
    const auto wide = toWide(pattern);
    if (!wide || wide->size() > kMaxPatternLength) {
        unreadable_ = wide.has_value();
        return;
    }
    handle_ = new Handle;
    handle_->find = FindFirstFileW(wide->c_str(), &handle_->data);
    handle_->pending = handle_->find != INVALID_HANDLE_VALUE;
    if (!handle_->pending) {
        const DWORD error = GetLastError();
        unreadable_ = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_NO_MORE_FILES
            && error != ERROR_DIRECTORY && error != ERROR_INVALID_NAME;
    }
}

FileSearch::~FileSearch()
{
    if (handle_ && handle_->find != INVALID_HANDLE_VALUE)
        FindClose(handle_->find);
    delete handle_;
}

std::optional<SearchEntry> FileSearch::next()
{
    if (!handle_ || handle_->find == INVALID_HANDLE_VALUE)
        return std::nullopt;
    if (!handle_->pending && !FindNextFileW(handle_->find, &handle_->data))
        return std::nullopt;
    handle_->pending = false;
    return SearchEntry{handle_->data.dwFileAttributes, toUtf8(handle_->data.cFileName)};
}

#else

struct FileSearch::Handle {
    DIR* dir = nullptr;
    std::string folder;
    std::string namePattern;
    std::string suffix;  // for a pattern "*<suffix>" without other wildcards, such as "*.cpr"
};

namespace {

// The length Windows would see: one unit per character, two for one beyond the 16-bit range.
std::size_t utf16Length(const std::string& utf8)
{
    std::size_t length = 0;
    for (const unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80)
            ++length;
        if (byte >= 0xF0)
            ++length;
    }
    return length;
}

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
    if (utf16Length(pattern) > kMaxPatternLength) {
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
    unreadable_ = !handle_->dir && errno != ENOENT && errno != ENOTDIR;
}

FileSearch::~FileSearch()
{
    if (handle_ && handle_->dir)
        closedir(handle_->dir);
    delete handle_;
}

std::optional<SearchEntry> FileSearch::next()
{
    if (!handle_ || !handle_->dir)
        return std::nullopt;
    while (const dirent* entry = readdir(handle_->dir)) {
        if (!matches(handle_->namePattern, handle_->suffix, entry->d_name))
            continue;
        SearchEntry found{0, entry->d_name};
        if (entry->d_name[0] == '.')
            found.attributes |= kAttributeHidden;
        bool directory = entry->d_type == DT_DIR;
        bool link = entry->d_type == DT_LNK;
        if (entry->d_type == DT_UNKNOWN || link) {
            const std::string path = handle_->folder + entry->d_name;
            struct stat info {};
            link = link || (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode));
            directory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        if (link)
            found.attributes |= kAttributeReparsePoint;
        if (directory)
            found.attributes |= kAttributeDirectory;
        return found;
    }
    return std::nullopt;
}

#endif

}  // namespace orvasel
