#include "platform/file_probe.h"

#include <algorithm>
#include <cctype>

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

}  // namespace

Presence probe(const std::string& path)
{
    // In the extended form when long, as every file call here.
    const std::optional<std::wstring> wide = file_io::nativePath(path);
    if (!wide)
        return Presence::Missing;  // not a name the system could hold
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? Presence::Missing : Presence::File;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NET_NAME:  // the server answered: it has no such share
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        return Presence::Missing;
    default:  // refused, not ready, server unreachable: nothing is known of the file
        return Presence::Unknown;
    }
}

std::vector<std::string> mountPoints()
{
    return {};
}

std::string volumeOf(const std::string& path, const std::vector<std::string>&)
{
    std::string text = path;
    std::replace(text.begin(), text.end(), '/', '\\');
    if (text.starts_with("\\\\?\\UNC\\"))
        text.erase(2, 6);
    else if (text.starts_with("\\\\?\\") || text.starts_with("\\\\.\\"))
        text.erase(0, 4);
    std::string volume;
    if (text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' && text[2] == '\\') {
        volume = text.substr(0, 2);
    } else if (text.starts_with("\\\\")) {
        // "\\server\share\...": the server and the share name the volume.
        const std::size_t serverEnd = text.find('\\', 2);
        if (serverEnd != std::string::npos && serverEnd > 2) {
            const std::size_t shareEnd = std::min(text.find('\\', serverEnd + 1), text.size());
            if (shareEnd > serverEnd + 1)
                volume = text.substr(0, shareEnd);
        }
    }
    std::transform(volume.begin(), volume.end(), volume.begin(), lower);
    return volume;
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

}  // namespace

Presence probe(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode) ? Presence::Missing : Presence::File;
    return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? Presence::Missing : Presence::Unknown;
}

std::vector<std::string> mountPoints()
{
    std::vector<std::string> points;
#ifdef __linux__
    // Each line: device, mount point, type, options...
    std::ifstream table("/proc/self/mounts");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string device, escaped;
        if (!(fields >> device >> escaped))
            continue;
        points.push_back(unescaped(escaped));
    }
#endif
    return points;
}

std::string volumeOf(const std::string& path, const std::vector<std::string>& mountPoints)
{
    if (!path.starts_with('/'))
        return {};
    std::string volume = "/";
    for (const std::string& point : mountPoints) {
        const bool holds = path.starts_with(point) && (path.size() == point.size() || path[point.size()] == '/');
        if (holds && point.size() > volume.size())
            volume = point;
    }
    return volume;
}

#endif

}  // namespace orvasel::file_probe
