#include "platform/file_search.h"

#include "platform/paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <fnmatch.h>
#include <sys/stat.h>
#endif

namespace orvasel {

#ifdef _WIN32

struct FileSearch::Handle {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // data holds an entry not yet handed out
};

FileSearch::FileSearch(const QString& pattern)
{
    if (pattern.size() > kMaxPatternLength)
        return;
    auto* handle = new Handle;
    handle->find = FindFirstFileW(reinterpret_cast<LPCWSTR>(pattern.utf16()), &handle->data);
    handle->pending = handle->find != INVALID_HANDLE_VALUE;
    handle_ = handle;
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
    return SearchEntry{handle_->data.dwFileAttributes,
                       QString::fromWCharArray(handle_->data.cFileName)};
}

#else

struct FileSearch::Handle {
    DIR* dir = nullptr;
    QByteArray folder;
    QByteArray namePattern;
    QByteArray suffix;  // for a pattern "*<suffix>" without other wildcards, such as "*.cpr"
};

namespace {

bool endsWithIgnoringCase(const char* name, const QByteArray& suffix)
{
    const std::size_t length = std::strlen(name);
    const auto size = std::size_t(suffix.size());
    return length >= size && strncasecmp(name + length - size, suffix.constData(), size) == 0;
}

bool matches(const QByteArray& pattern, const QByteArray& suffix, const char* name)
{
    if (!suffix.isEmpty())
        return endsWithIgnoringCase(name, suffix);
    return fnmatch(pattern.constData(), name, FNM_CASEFOLD) == 0;
}

}  // namespace

FileSearch::FileSearch(const QString& pattern)
{
    if (pattern.size() > kMaxPatternLength)
        return;
    const qsizetype cut = pattern.lastIndexOf(paths::separator()) + 1;
    auto* handle = new Handle;
    handle->folder = pattern.left(cut).toUtf8();
    handle->namePattern = pattern.mid(cut).toUtf8();
    // Most searches are "*.cpr": a suffix compare spares fnmatch on every entry of the folder.
    const QByteArray rest = handle->namePattern.mid(1);
    if (handle->namePattern.startsWith('*') && !rest.isEmpty() && !rest.contains('*') && !rest.contains('?')
        && !rest.contains('[') && !rest.contains('\\'))
        handle->suffix = rest;
    handle->dir = opendir(handle->folder.isEmpty() ? "." : handle->folder.constData());
    handle_ = handle;
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
        SearchEntry found{0, QString::fromUtf8(entry->d_name)};
        if (entry->d_name[0] == '.')
            found.attributes |= kAttributeHidden;
        bool directory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info {};
            const QByteArray full = handle_->folder + entry->d_name;
            directory = stat(full.constData(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        if (directory)
            found.attributes |= kAttributeDirectory;
        return found;
    }
    return std::nullopt;
}

#endif

}  // namespace orvasel
