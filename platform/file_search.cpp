#include "platform/file_search.h"

#include "platform/paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
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
};

FileSearch::FileSearch(const QString& pattern)
{
    if (pattern.size() > kMaxPatternLength)
        return;
    const qsizetype cut = pattern.lastIndexOf(paths::separator()) + 1;
    auto* handle = new Handle;
    handle->folder = pattern.left(cut).toUtf8();
    handle->namePattern = pattern.mid(cut).toUtf8();
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
        if (fnmatch(handle_->namePattern.constData(), entry->d_name, FNM_CASEFOLD) != 0)
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
