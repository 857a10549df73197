// The whole-file operations' system calls on Windows: wide-character paths, in the extended form
// when they are long.
#ifdef _WIN32
#include "platform/native_files.h"

#include "platform/file_io.h"

#include <algorithm>
#include <cwctype>
#include <optional>

namespace orvasel::native {
namespace {

// The system's error for a path that is not valid UTF-8.
std::wstring wide(const std::string& utf8, Error& error)
{
    std::optional<std::wstring> path = file_io::nativePath(utf8);
    if (!path)
        error = ERROR_NO_UNICODE_TRANSLATION;
    return path ? std::move(*path) : std::wstring();
}

// "COM1.cpr.info", "nul.txt", "Aux": names that Windows gives to a device whatever their folder
// and their extension, letter case aside, as long as the path is not in the extended form.
bool isReservedName(const std::wstring& path)
{
    const std::size_t start = path.find_last_of(L"\\/:") + 1;
    std::wstring base = path.substr(start, path.find(L'.', start) - start);
    while (!base.empty() && (base.back() == L' ' || base.back() == L'.'))
        base.pop_back();
    for (wchar_t& c : base)
        c = static_cast<wchar_t>(std::towupper(c));
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" ||
        base == L"CONOUT$")
        return true;
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0))
        return false;
    const wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

Handle openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags, Error& error)
{
    const std::wstring name = wide(path, error);
    if (error != 0)
        return kNoHandle;
    if (isReservedName(name)) {
        error = kReservedName;
        return kNoHandle;
    }
    const Handle handle = CreateFileW(name.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (handle == kNoHandle)
        error = GetLastError();
    return handle;
}

// A link, a junction, a mount point: a name that stands for another place. OneDrive's files
// online are reparse points too, but they are the file itself.
bool leadsElsewhere(Handle handle, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    // Wine may not tell the tag: a reparse point without one counts as a link.
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag))
        return true;
    return IsReparseTagNameSurrogate(tag.ReparseTag);
}

}  // namespace

bool isMissing(Error error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool isPassing(Error error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

std::string describe(Error error)
{
    if (std::string own = describeOwn(error); !own.empty())
        return own;
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "le disque est plein";
    case ERROR_ACCESS_DENIED: return "accès refusé";
    case ERROR_WRITE_PROTECT: return "le disque est protégé en écriture";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_USER_MAPPED_FILE: return "le fichier est utilisé par un autre programme";
    case ERROR_FILE_NOT_FOUND: return "le fichier n'existe pas";
    case ERROR_PATH_NOT_FOUND: return "le dossier n'existe pas";
    case ERROR_DIRECTORY: return "un dossier porte ce nom";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "un fichier porte déjà ce nom";
    case ERROR_INVALID_NAME: return "le nom n'est pas valide";
    case ERROR_FILENAME_EXCED_RANGE: return "le nom ou le chemin est trop long";
    case ERROR_NOT_READY: return "le lecteur n'est pas prêt";
    case ERROR_BAD_NETPATH:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_SEM_TIMEOUT: return "le partage réseau ne répond pas";
    case ERROR_NO_UNICODE_TRANSLATION: return "le chemin n'est pas un texte valide";
    default: break;
    }
    // Anything else in the system's own words, which are the user's language on a French Windows.
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr, nullptr);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
            out.pop_back();
    }
    LocalFree(text);
    return "erreur de Windows n° " + std::to_string(error) + (out.empty() ? std::string() : " (" + out + ")");
}

Error inspect(const std::string& path, Target& target)
{
    target = {};
    Error error = 0;
    const std::wstring name = wide(path, error);
    if (error != 0)
        return error;
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = GetLastError();
        return isMissing(error) ? 0 : error;
    }
    target.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        const Handle handle = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr);
        const bool elsewhere = handle == kNoHandle || leadsElsewhere(handle, attributes);
        if (handle != kNoHandle)
            CloseHandle(handle);
        if (elsewhere) {
            target.kind = Target::Kind::Link;
            return 0;
        }
    }
    target.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Target::Kind::Folder : Target::Kind::File;
    return 0;
}

Handle openForReading(const std::string& path, Error& error)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // Opened as the name itself first: a link is then seen, not followed.
    Handle handle = openFile(path, GENERIC_READ, share, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, error);
    if (handle == kNoHandle)
        return kNoHandle;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        error = GetLastError();
    else if (GetFileType(handle) != FILE_TYPE_DISK)
        error = kNotAFile;
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        error = kIsFolder;
    else if (leadsElsewhere(handle, info.dwFileAttributes))
        error = kIsLink;
    if (error != 0) {
        CloseHandle(handle);
        return kNoHandle;
    }
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return handle;
    // A file of OneDrive's: opened again as a file, so that its content comes down as for any program.
    CloseHandle(handle);
    return openFile(path, GENERIC_READ, share, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, error);
}

Handle createExclusive(const std::string& path, Error& error)
{
    const Handle handle = openFile(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT, error);
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
        error = kAlreadyExists;
    return handle;
}

Error readAll(Handle handle, std::string& bytes, std::size_t limit)
{
    LARGE_INTEGER size;
    if (GetFileSizeEx(handle, &size))
        bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(size.QuadPart), limit));
    char buffer[65536];
    DWORD got = 0;
    while (bytes.size() < limit) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit - bytes.size()));
        if (!ReadFile(handle, buffer, wanted, &got, nullptr))
            return GetLastError();
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    return 0;
}

Error writeAllAndFlush(Handle handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr))
            return GetLastError();
        bytes.remove_prefix(written);
    }
    return FlushFileBuffers(handle) ? 0 : GetLastError();
}

Error closeHandle(Handle handle) { return CloseHandle(handle) ? 0 : GetLastError(); }

// The replacement itself takes the replaced file's attributes and permissions.
void copyPermissions(Handle, const std::string&) {}

Error replaceExisting(const std::string& from, const std::string& to)
{
    Error error = 0;
    const std::wstring wideFrom = wide(from, error);
    const std::wstring wideTo = wide(to, error);
    if (error != 0)
        return error;
    // One rename that replaces: a kill or a power cut at any moment leaves the former note or the
    // new one. ReplaceFileW would keep more of the file's identity, but is made of several steps
    // (under Wine a kill between them left neither version). The hidden mark is kept by hand; a
    // read-only note never gets here.
    const DWORD attributes = GetFileAttributesW(wideTo.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0)
        SetFileAttributesW(wideFrom.c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return GetLastError();
}

Error moveToNewName(const std::string& from, const std::string& to)
{
    Error error = 0;
    const std::wstring wideFrom = wide(from, error);
    const std::wstring wideTo = wide(to, error);
    if (error != 0)
        return error;
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH))
        return 0;
    error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kAlreadyExists : error;
}

void removeFile(const std::string& path)
{
    Error error = 0;
    const std::wstring name = wide(path, error);
    if (error == 0)
        DeleteFileW(name.c_str());
}

// NTFS keeps the folder's entries in its journal; a move made with MOVEFILE_WRITE_THROUGH waits
// for them. Flushing the folder itself is asked for all the same where the system allows it.
void syncFolder(const std::string& folder)
{
    Error error = 0;
    const std::wstring name = wide(folder.empty() ? std::string(".") : folder, error);
    if (error != 0)
        return;
    const Handle handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == kNoHandle)
        return;
    FlushFileBuffers(handle);
    CloseHandle(handle);
}

std::string fileBehindLink(const std::string& path) { return path; }

}  // namespace orvasel::native
#endif
