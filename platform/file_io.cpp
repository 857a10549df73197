#include "platform/file_io.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace orvasel::file_io {

std::size_t utf16Length(std::string_view utf8) {
    std::size_t length = 0;
    for (const unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80) ++length;
        if (byte >= 0xF0) ++length;
    }
    return length;
}

std::string extendedLengthPath(std::string_view path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const bool onDrive = path.size() >= 3 && letter(path[0]) && path[1] == ':' && separator(path[2]);
    const bool onShare = path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]) &&
        !(path.size() >= 4 && (path[2] == '?' || path[2] == '.') && separator(path[3]));
    if ((!onDrive && !onShare) || utf16Length(path) <= kLongestPlainPath) return std::string(path);

    // The root, kept whole: "C:" or the server and share of "\\server\share".
    std::string out = onDrive ? "\\\\?\\" : "\\\\?\\UNC";
    const std::size_t rootParts = onDrive ? 1 : 2;
    std::vector<std::string_view> parts;
    std::size_t start = onDrive ? 0 : 2;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !separator(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (parts.size() > rootParts) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 || !onDrive) out += '\\';
        out += parts[i];
    }
    if (separator(path.back()) || parts.size() == rootParts) out += '\\';
    return out;
}

#ifdef _WIN32
std::optional<std::wstring> nativePath(const std::string& utf8) {
    const std::string path = extendedLengthPath(utf8);
    if (path.empty()) return std::wstring();
    const int size = static_cast<int>(path.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, out.data(), length);
    return out;
}
#endif

namespace {

// The few system calls the whole-file operations need, one set per system. Each returns the
// system's error code, 0 when it went well.

#ifdef _WIN32

using Error = DWORD;
using Handle = HANDLE;
const Handle kNoHandle = INVALID_HANDLE_VALUE;
constexpr std::string_view kSeparators = "\\/:";
constexpr Error kExists = ERROR_FILE_EXISTS;

// The system's error for a path that is not valid UTF-8.
std::wstring wide(const std::string& utf8, Error& error) {
    std::optional<std::wstring> path = nativePath(utf8);
    if (!path) error = ERROR_NO_UNICODE_TRANSLATION;
    return path ? std::move(*path) : std::wstring();
}

std::string describe(Error error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr, nullptr);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    }
    LocalFree(text);
    return out.empty() ? "Windows error " + std::to_string(error) : out;
}

bool isMissing(Error error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

Handle openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, Error& error) {
    const std::wstring name = wide(path, error);
    if (error != 0) return kNoHandle;
    const Handle handle = CreateFileW(name.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == kNoHandle) error = GetLastError();
    return handle;
}

// A folder cannot be opened this way: that fails as access denied, which counts as unreadable.
Handle openForReading(const std::string& path, Error& error) {
    return openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, error);
}

Handle createExclusive(const std::string& path, Error& error) {
    return openFile(path, GENERIC_WRITE, 0, CREATE_NEW, error);
}

Error readAll(Handle handle, std::string& bytes, std::size_t limit) {
    LARGE_INTEGER size;
    if (GetFileSizeEx(handle, &size)) bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(size.QuadPart), limit));
    char buffer[65536];
    DWORD got = 0;
    do {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit - bytes.size()));
        if (!ReadFile(handle, buffer, wanted, &got, nullptr)) return GetLastError();
        bytes.append(buffer, got);
    } while (got > 0 && bytes.size() < limit);
    return 0;
}

Error writeAllAndFlush(Handle handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) return GetLastError();
        bytes.remove_prefix(written);
    }
    return FlushFileBuffers(handle) ? 0 : GetLastError();
}

Error closeHandle(Handle handle) { return CloseHandle(handle) ? 0 : GetLastError(); }

// The new file inherits the folder's permissions, as the former one normally did.
void copyPermissions(Handle, const std::string&) {}

Error replace(const std::string& from, const std::string& to) {
    Error error = 0;
    const std::wstring wideFrom = wide(from, error);
    const std::wstring wideTo = wide(to, error);
    if (error != 0) return error;
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), flags) ? 0 : GetLastError();
}

void removeFile(const std::string& path) {
    Error error = 0;
    const std::wstring name = wide(path, error);
    if (error == 0) DeleteFileW(name.c_str());
}

// MOVEFILE_WRITE_THROUGH already waits until the replacement is on the disk.
void syncFolder(const std::string&) {}

#else

using Error = int;
using Handle = int;
constexpr Handle kNoHandle = -1;
constexpr std::string_view kSeparators = "/";
constexpr Error kExists = EEXIST;

std::string describe(Error error) { return std::strerror(error); }

bool isMissing(Error error) { return error == ENOENT || error == ENOTDIR; }

Handle openForReading(const std::string& path, Error& error) {
    // Without O_NONBLOCK a named pipe would keep the program waiting here.
    const Handle fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status;
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    } else {
        return fd;
    }
    if (fd >= 0) ::close(fd);
    return kNoHandle;
}

// 0644, less the umask, as the system does for any file it creates.
Handle createExclusive(const std::string& path, Error& error) {
    const Handle fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) error = errno;
    return fd;
}

Error readAll(Handle fd, std::string& bytes, std::size_t limit) {
    struct stat status;
    if (::fstat(fd, &status) == 0) bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(status.st_size), limit));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, std::min<std::size_t>(sizeof buffer, limit - bytes.size()));
        if (got == 0) return 0;
        if (got > 0) {
            bytes.append(buffer, static_cast<std::size_t>(got));
        } else if (errno != EINTR) {
            return errno;
        }
    }
}

Error writeAllAndFlush(Handle fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && errno != EINTR) {
            return errno;
        }
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

Error closeHandle(Handle fd) { return ::close(fd) == 0 ? 0 : errno; }

// The replacement keeps the permission bits of the file it replaces. Best effort: a file
// system without permission bits must not stop a save.
void copyPermissions(Handle fd, const std::string& target) {
    struct stat status;
    if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        (void)::fchmod(fd, status.st_mode & 07777);
}

Error replace(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void removeFile(const std::string& path) { ::unlink(path.c_str()); }

// Makes the rename itself durable. Best effort: the new content is in place already, and some
// file systems refuse to sync a folder.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

#endif

WriteResult failure(Error error) { return {false, describe(error)}; }

// A name no one else uses, for a temporary file: ".<name>.XXXXXX" beside the target. A long
// name loses its last characters there, so that the temporary path is never longer than the
// target's and any target the system accepts has a temporary file it accepts too.
std::string temporaryName(const std::string& folder, const std::string& name) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    // Fresh entropy for every name: a generator seeded once would hand a forked process, or two
    // processes seeded alike, the same names, each colliding with the other's leftovers.
    std::random_device device;
    std::uint64_t bits = (std::uint64_t(device()) << 32) ^ device() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::size_t kept = name.size() > 16 ? name.size() - 8 : name.size();
    while (kept < name.size() && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80) --kept;
    std::string temp = folder + "." + name.substr(0, kept) + ".";
    for (int i = 0; i < 6; ++i, bits /= kLetters.size()) temp += kLetters[bits % kLetters.size()];
    return temp;
}

// Writes the bytes into the new file behind the handle and closes it; removes the file when
// anything failed.
Error fill(Handle handle, const std::string& path, std::string_view bytes) {
    Error error = writeAllAndFlush(handle, bytes);
    const Error closing = closeHandle(handle);
    if (error == 0) error = closing;
    if (error != 0) removeFile(path);
    return error;
}

}  // namespace

ReadResult readWholeFile(const std::string& path) { return readFileStart(path, std::string::npos); }

ReadResult readFileStart(const std::string& path, std::size_t limit) {
    ReadResult result;
    Error error = 0;
    const Handle handle = openForReading(path, error);
    if (handle == kNoHandle) {
        result.status = isMissing(error) ? ReadStatus::Missing : ReadStatus::Unreadable;
        result.error = describe(error);
        return result;
    }
    error = readAll(handle, result.bytes, limit);
    closeHandle(handle);
    if (error != 0) {
        result.status = ReadStatus::Unreadable;
        result.bytes.clear();
        result.error = describe(error);
        return result;
    }
    result.status = ReadStatus::Ok;
    return result;
}

#ifndef _WIN32
// A link keeps pointing at the file it names: the save replaces the file behind it, not the link.
std::string fileBehindLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;  // a link to nothing: the saved file takes its place
    std::string resolved(real);
    std::free(real);
    return resolved;
}
#endif

WriteResult writeFileAtomically(const std::string& named, std::string_view bytes) {
#ifdef _WIN32
    const std::string& path = named;
#else
    const std::string path = fileBehindLink(named);
#endif
    const std::size_t nameStart = path.find_last_of(kSeparators) + 1;  // 0 when there is none
    const std::string folder = path.substr(0, nameStart);
    const std::string name = path.substr(nameStart);

    Error error = 0;
    std::string temp;
    Handle handle = kNoHandle;
    for (int attempt = 0; attempt < 100 && handle == kNoHandle; ++attempt) {
        error = 0;
        temp = temporaryName(folder, name);
        handle = createExclusive(temp, error);
        if (error != kExists) break;
    }
    if (handle == kNoHandle) return failure(error);

    copyPermissions(handle, path);
    error = fill(handle, temp, bytes);
    if (error == 0) {
        error = replace(temp, path);
        if (error != 0) removeFile(temp);
    }
    if (error != 0) return failure(error);
    syncFolder(folder);
    return {true, {}};
}

WriteResult createNewFile(const std::string& path, std::string_view bytes) {
    Error error = 0;
    const Handle handle = createExclusive(path, error);
    if (handle == kNoHandle) return failure(error);
    error = fill(handle, path, bytes);
    if (error != 0) return failure(error);
    return {true, {}};
}

}  // namespace orvasel::file_io
