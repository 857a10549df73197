#include "platform/file_stream.h"

#include <algorithm>
#include <array>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/file_io.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace orvasel::file_stream {

bool isDeviceName(const std::string& fileName)
{
    // The name before its first dot, blanks at its end aside, as Windows reads it.
    std::string stem = fileName.substr(0, fileName.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    std::transform(stem.begin(), stem.end(), stem.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kNames.begin(), kNames.end(), stem) != kNames.end())
        return true;
    const std::string_view numbered = stem;
    if (!(numbered.starts_with("COM") || numbered.starts_with("LPT")))
        return false;
    const std::string_view digit = numbered.substr(3);
    // "COM1" to "COM9", and the superscripts ¹ ² ³ (UTF-8) that Windows counts as digits there.
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" || digit == "\xC2\xB2"
           || digit == "\xC2\xB3";
}

#ifdef _WIN32

InputFile::InputFile(const std::string& path) : handle_(INVALID_HANDLE_VALUE)
{
    const std::size_t separator = path.find_last_of("\\/");
    if (isDeviceName(separator == std::string::npos ? path : path.substr(separator + 1)))
        return;
    const std::optional<std::wstring> name = file_io::nativePath(path);
    if (!name)
        return;
    HANDLE handle = CreateFileW(name->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information)
        || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return;
    }
    handle_ = handle;
}

InputFile::~InputFile()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
}

bool InputFile::isOpen() const
{
    return handle_ != INVALID_HANDLE_VALUE;
}

std::ptrdiff_t InputFile::read(char* into, std::size_t most)
{
    DWORD got = 0;
    if (!ReadFile(handle_, into, DWORD(std::min<std::size_t>(most, 1u << 30)), &got, nullptr))
        return -1;
    return std::ptrdiff_t(got);
}

#else

InputFile::InputFile(const std::string& path)
{
    // Without waiting: a pipe or a device would otherwise hold the open until someone writes.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return;
    }
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    descriptor_ = descriptor;
}

InputFile::~InputFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool InputFile::isOpen() const
{
    return descriptor_ >= 0;
}

std::ptrdiff_t InputFile::read(char* into, std::size_t most)
{
    for (;;) {
        const ssize_t got = ::read(descriptor_, into, most);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

#endif

}  // namespace orvasel::file_stream
