// The whole-file operations' system calls on Linux and the other POSIX systems.
#ifndef _WIN32
#include "platform/native_files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace orvasel::native {

bool isMissing(Error error) { return error == ENOENT || error == ENOTDIR; }

bool isPassing(Error error) { return error == EINTR || error == EAGAIN || error == EBUSY; }

std::string describe(Error error)
{
    if (std::string own = describeOwn(error); !own.empty())
        return own;
    // The C library speaks English under the "C" locale: the user's words for the usual reasons.
    switch (error) {
    case ENOSPC: return "le disque est plein";
    case EDQUOT: return "le quota du disque est atteint";
    case EACCES:
    case EPERM: return "accès refusé";
    case EROFS: return "le disque est en lecture seule";
    case EBUSY:
    case ETXTBSY:
    case EAGAIN: return "le fichier est utilisé par un autre programme";
    case ENOENT: return "le fichier ou son dossier n'existe pas";
    case ENOTDIR: return "un élément du chemin n'est pas un dossier";
    case EISDIR: return "un dossier porte ce nom";
    case ELOOP: return "trop de liens symboliques sur le chemin";
    case ENAMETOOLONG: return "le nom ou le chemin est trop long";
    case EIO: return "erreur d'entrée-sortie du disque";
    case EEXIST: return "un fichier porte déjà ce nom";
    case ENXIO:
    case ENODEV: return "le périphérique est absent";
    case ETIMEDOUT:
    case EHOSTDOWN:
    case EHOSTUNREACH: return "le disque réseau ne répond pas";
    case ESTALE: return "le fichier a changé sur le disque réseau";
    case EMFILE:
    case ENFILE: return "trop de fichiers ouverts";
    case EINVAL: return "nom ou opération non valide pour ce disque";
    default: return "erreur du système n° " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

Error inspect(const std::string& path, Target& target)
{
    struct stat status {};
    target = {};
    if (::lstat(path.c_str(), &status) != 0)
        return isMissing(errno) ? 0 : errno;
    if (S_ISLNK(status.st_mode))
        target.kind = Target::Kind::Link;
    else if (S_ISDIR(status.st_mode))
        target.kind = Target::Kind::Folder;
    else if (S_ISREG(status.st_mode))
        target.kind = Target::Kind::File;
    else
        target.kind = Target::Kind::Other;
    // No write permission for anyone: the owner marked the file read-only. The administrator
    // passes every permission check, so the bits are read as they stand, and access() is asked too.
    target.readOnly = target.kind == Target::Kind::File &&
        ((status.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES));
    return 0;
}

Handle openForReading(const std::string& path, Error& error)
{
    // Looked at before it is opened: opening a device may already act on it.
    Target target;
    if ((error = inspect(path, target)) != 0)
        return kNoHandle;
    switch (target.kind) {
    case Target::Kind::Missing: error = ENOENT; return kNoHandle;
    case Target::Kind::Link: error = kIsLink; return kNoHandle;
    case Target::Kind::Folder: error = kIsFolder; return kNoHandle;
    case Target::Kind::Other: error = kNotAFile; return kNoHandle;
    case Target::Kind::File: break;
    }
    // Without O_NONBLOCK a pipe put there since would keep the program waiting here.
    const Handle fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    struct stat status {};
    if (fd < 0)
        error = errno == ELOOP ? kIsLink : errno;
    else if (::fstat(fd, &status) != 0)
        error = errno;
    else if (!S_ISREG(status.st_mode))
        error = S_ISDIR(status.st_mode) ? kIsFolder : kNotAFile;
    else
        return fd;
    if (fd >= 0)
        ::close(fd);
    return kNoHandle;
}

// 0644, less the umask, as the system does for any file it creates. O_EXCL never follows a link.
Handle createExclusive(const std::string& path, Error& error)
{
    const Handle fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        error = errno == EEXIST ? kAlreadyExists : errno;
    return fd;
}

Error readAll(Handle fd, std::string& bytes, std::size_t limit)
{
    struct stat status {};
    if (::fstat(fd, &status) == 0)
        bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(status.st_size), limit));
    char buffer[65536];
    while (bytes.size() < limit) {
        const ssize_t got = ::read(fd, buffer, std::min<std::size_t>(sizeof buffer, limit - bytes.size()));
        if (got == 0)
            return 0;
        if (got > 0)
            bytes.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

Error writeAllAndFlush(Handle fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0)
            bytes.remove_prefix(static_cast<std::size_t>(written));
        else if (written < 0 && errno != EINTR)
            return errno;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

Error closeHandle(Handle fd) { return ::close(fd) == 0 ? 0 : errno; }

// The permission bits of the file replaced. Best effort: a file system without permission bits
// must not stop a save.
void copyPermissions(Handle fd, const std::string& target)
{
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        (void)::fchmod(fd, status.st_mode & 07777);
}

Error replaceExisting(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

Error moveToNewName(const std::string& from, const std::string& to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno == EEXIST)
        return kAlreadyExists;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    // A file system without the no-replace move: a second name that cannot replace, then the first goes.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno == EEXIST ? kAlreadyExists : errno;
    ::unlink(from.c_str());
    return 0;
}

void removeFile(const std::string& path) { ::unlink(path.c_str()); }

// Best effort: the new content is in place already, and some file systems refuse to sync a folder.
void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

std::string fileBehindLink(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;  // a link to nothing: the saved file takes its place
    std::string resolved(real);
    std::free(real);
    return resolved;
}

}  // namespace orvasel::native
#endif
