#include "platform/file_probe.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/file_io.h"
#else
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#endif

namespace orvasel::file_probe {

#ifdef _WIN32

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// FILETIME counts 100-nanosecond steps since 1601.
std::int64_t nanosecondsSince1970(const FILETIME& time)
{
    const std::int64_t steps = std::int64_t((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    constexpr std::int64_t kStepsFrom1601To1970 = 116'444'736'000'000'000;
    return (steps - kStepsFrom1601To1970) * 100;
}

}  // namespace

Probe probe(const std::string& path)
{
    // In the extended form when long, as every file call here.
    const std::optional<std::wstring> wide = file_io::nativePath(path);
    if (!wide)
        return {Presence::Missing};  // not a name the system could hold
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return {Presence::Missing};
        return {Presence::File, (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                nanosecondsSince1970(data.ftLastWriteTime)};
    }
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NET_NAME:  // the server answered: it has no such share
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        return {Presence::Missing};
    default:  // refused, not ready, server unreachable: nothing is known of the file
        return {Presence::Unknown};
    }
}

std::vector<Mount> mounts()
{
    return {};
}

Volume volumeOf(const std::string& path, const std::vector<Mount>&)
{
    std::string text = path;
    std::replace(text.begin(), text.end(), '/', '\\');
    if (text.starts_with("\\\\?\\UNC\\"))
        text.erase(2, 6);
    else if (text.starts_with("\\\\?\\") || text.starts_with("\\\\.\\"))
        text.erase(0, 4);
    Volume volume;
    if (text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' && text[2] == '\\') {
        volume.name = text.substr(0, 2);
    } else if (text.starts_with("\\\\")) {
        // "\\server\share\...": the server and the share name the volume.
        const std::size_t serverEnd = text.find('\\', 2);
        if (serverEnd != std::string::npos && serverEnd > 2) {
            const std::size_t shareEnd = std::min(text.find('\\', serverEnd + 1), text.size());
            if (shareEnd > serverEnd + 1)
                volume = {text.substr(0, shareEnd), true};
        }
    }
    std::transform(volume.name.begin(), volume.name.end(), volume.name.begin(), lower);
    return volume;
}

bool remoteDrive(const std::string& volume)
{
    if (volume.size() != 2 || volume[1] != ':')
        return false;
    const wchar_t root[] = {wchar_t(static_cast<unsigned char>(volume[0])), L':', L'\\', 0};
    return GetDriveTypeW(root) == DRIVE_REMOTE;
}

#else

namespace {

// A mount point as the table writes it: a space is "\040", a backslash "\134" and so on.
std::string unescaped(const std::string& field)
{
    const auto octal = [&](std::size_t i) { return field[i] >= '0' && field[i] <= '7'; };
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i >= 4 && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            text += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// File systems whose files may lie on another machine: network file systems, automounters (which
// reach a server at the first look), and user-space file systems (sshfs, rclone, GNOME's shares...),
// whose back end is anyone's guess. A disk's own file system in user space (NTFS, exFAT) is "fuseblk".
bool remoteType(std::string_view type)
{
    constexpr std::string_view kRemote[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph",
                                            "glusterfs", "9p", "lustre", "davfs", "autofs", "fuse", "sshfs"};
    return type.starts_with("fuse.") || std::find(std::begin(kRemote), std::end(kRemote), type) != std::end(kRemote);
}

// The path without "." and ".." steps or doubled separators, so that "/home/../mnt/nas" is known for
// what it reaches.
std::string cleaned(std::string_view path)
{
    std::vector<std::string_view> steps;
    while (!path.empty()) {
        const std::size_t end = std::min(path.find('/'), path.size());
        const std::string_view step = path.substr(0, end);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        path.remove_prefix(std::min(end + 1, path.size()));
    }
    std::string text;
    for (const std::string_view step : steps)
        text.append("/").append(step);
    return text.empty() ? "/" : text;
}

}  // namespace

Probe probe(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return {Presence::Missing};
        return {Presence::File, std::uint64_t(status.st_size),
                std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
    }
    return {errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? Presence::Missing : Presence::Unknown};
}

std::vector<Mount> mounts()
{
    std::vector<Mount> found;
#ifdef __linux__
    // Each line: device, mount point, type, options...
    std::ifstream table("/proc/self/mounts");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string device, escaped, type;
        if (!(fields >> device >> escaped >> type))
            continue;
        found.push_back({unescaped(escaped), type});
    }
#endif
    return found;
}

Volume volumeOf(const std::string& path, const std::vector<Mount>& mounts)
{
    if (!path.starts_with('/'))
        return {};
    const std::string clean = cleaned(path);
    Volume volume{"/"};
    for (const Mount& mount : mounts) {
        const std::string& point = mount.point;
        const bool holds = clean.starts_with(point) && (clean.size() == point.size() || clean[point.size()] == '/' || point == "/");
        if (holds && point.size() >= volume.name.size())
            volume = {point, remoteType(mount.type)};
    }
    return volume;
}

bool remoteDrive(const std::string&)
{
    return false;
}

#endif

}  // namespace orvasel::file_probe
