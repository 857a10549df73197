#pragma once
// The few system calls the whole-file operations need, one set per system (native_files_posix.cpp,
// native_files_windows.cpp). Each returns the system's error code, or one of the program's own
// below; 0 when it went well. Internal to file_io.
#include <cstdint>
#include <string>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace orvasel::native {

#ifdef _WIN32
using Error = DWORD;
using Handle = HANDLE;
inline const Handle kNoHandle = INVALID_HANDLE_VALUE;
inline constexpr std::string_view kSeparators = "\\/:";
#else
using Error = int;
using Handle = int;
inline constexpr Handle kNoHandle = -1;
inline constexpr std::string_view kSeparators = "/";
#endif

// The program's own reasons, in the range Windows leaves to applications (bit 29), far from any errno.
inline constexpr Error kIsLink = 0x20000001;        // a link, junction or mount point under that name
inline constexpr Error kNotAFile = 0x20000002;      // a device, a pipe, a socket
inline constexpr Error kIsFolder = 0x20000003;
inline constexpr Error kReadOnly = 0x20000004;      // the file's own read-only mark
inline constexpr Error kReservedName = 0x20000005;  // "COM1", "NUL"… name devices on Windows
inline constexpr Error kAlreadyExists = 0x20000006; // a creation or a move that must not replace

// What is under a name, looked at without following a link.
struct Target {
    enum class Kind { Missing, File, Folder, Link, Other } kind = Kind::Missing;
    bool readOnly = false;
};
Error inspect(const std::string& path, Target& target);

Handle openForReading(const std::string& path, Error& error);
Handle createExclusive(const std::string& path, Error& error);
Error readAll(Handle handle, std::string& bytes, std::size_t limit);
Error writeAllAndFlush(Handle handle, std::string_view bytes);
Error closeHandle(Handle handle);
// The replacement keeps what the system lets a replacement keep of the file it replaces.
void copyPermissions(Handle handle, const std::string& target);
// Puts `from` in the place of `to` in one step, replacing the file there if there is one.
Error replaceExisting(const std::string& from, const std::string& to);
// Moves `from` to `to` only when nothing has that name (kAlreadyExists otherwise).
Error moveToNewName(const std::string& from, const std::string& to);
void removeFile(const std::string& path);
// Makes the folder's entries durable: the name of a file created or replaced in it.
void syncFolder(const std::string& folder);
// On POSIX, the file a link leads to (the path itself when it is no link).
std::string fileBehindLink(const std::string& path);
// Whether the error is a passing one, caused by another program holding the file for a moment.
bool isPassing(Error error);
bool isMissing(Error error);

// Why, in French, for the user.
std::string describe(Error error);
// The French reasons shared by both systems; nothing for an error that is not one of them.
std::string describeOwn(Error error);

}  // namespace orvasel::native
