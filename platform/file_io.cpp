#include "platform/file_io.h"

#include "platform/native_files.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

namespace orvasel::native {

std::string describeOwn(Error error) {
    switch (error) {
    case kIsLink: return "c'est un lien vers un autre emplacement, qu'Orvasel ne suit pas";
    case kNotAFile: return "ce n'est pas un fichier ordinaire";
    case kIsFolder: return "un dossier porte ce nom";
    case kReadOnly: return "le fichier est en lecture seule";
    case kReservedName: return "ce nom désigne un périphérique de Windows";
    case kAlreadyExists: return "un fichier porte déjà ce nom";
    default: return {};
    }
}

}  // namespace orvasel::native

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

using namespace native;

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

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of(kSeparators) + 1); }

// Why the file under that name must not be replaced, if it must not; 0 when it may.
Error refusal(const Target& target, Links links) {
    switch (target.kind) {
    case Target::Kind::Folder: return kIsFolder;
    case Target::Kind::Other: return kNotAFile;
    case Target::Kind::Link: return links == Links::Refuse ? kIsLink : 0;
    case Target::Kind::File: return target.readOnly ? kReadOnly : 0;
    case Target::Kind::Missing: return 0;
    }
    return 0;
}

// The new content, written and on the disk beside the target, under a name of its own.
struct Staged {
    std::string path;
    Error error = 0;
};

Staged stage(const std::string& target, std::string_view bytes) {
    const std::size_t nameStart = target.find_last_of(kSeparators) + 1;  // 0 when there is none
    Staged staged;
    Handle handle = kNoHandle;
    for (int attempt = 0; attempt < 100 && handle == kNoHandle; ++attempt) {
        staged.error = 0;
        staged.path = temporaryName(target.substr(0, nameStart), target.substr(nameStart));
        handle = createExclusive(staged.path, staged.error);
        if (staged.error != kAlreadyExists) break;
    }
    if (handle == kNoHandle) return staged;
    copyPermissions(handle, target);
    staged.error = fill(handle, staged.path, bytes);
    return staged;
}

// Puts the staged file in the target's place (only where no file is, when it is not `existing`).
// On Windows, a virus scanner, an indexer or a
// synchronisation client that holds the file for a moment is waited for, a second at most.
Error putInPlace(const std::string& staged, const std::string& target, bool existing) {
    Error error = 0;
    for (int wait = 10;; wait *= 2) {
        error = existing ? replaceExisting(staged, target) : moveToNewName(staged, target);
        if (error == 0 || !isPassing(error) || wait > 640) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
    if (error != 0) removeFile(staged);
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

WriteResult writeFileAtomically(const std::string& named, std::string_view bytes, Links links) {
    Target target;
    if (const Error error = inspect(named, target); error != 0) return failure(error);
    if (const Error error = refusal(target, links); error != 0) return failure(error);
    // A link followed: its file is replaced, and the link keeps pointing at it.
    const std::string path = target.kind == Target::Kind::Link ? fileBehindLink(named) : named;
    if (path != named) {
        if (const Error error = inspect(path, target); error != 0) return failure(error);
        if (const Error error = refusal(target, links); error != 0) return failure(error);
    }
    const Staged staged = stage(path, bytes);
    if (staged.error != 0) return failure(staged.error);
    if (const Error error = putInPlace(staged.path, path, true); error != 0) return failure(error);
    syncFolder(folderOf(path));
    return {true, {}};
}

ReplaceResult replaceIfUnchanged(const std::string& path, std::string_view bytes,
                                 const std::optional<std::string>& expected) {
    ReplaceResult result;
    const auto failed = [&result](Error error) {
        result.outcome = ReplaceResult::Outcome::Failed;
        result.error = describe(error);
        return result;
    };
    Target target;
    if (const Error error = inspect(path, target); error != 0) return failed(error);
    if (const Error error = refusal(target, Links::Refuse); error != 0) return failed(error);
    const Staged staged = stage(path, bytes);
    if (staged.error != 0) return failed(staged.error);

    // The last look, once the new content is on the disk: what is there now is what was expected.
    const ReadResult now = readFileStart(path, expected ? expected->size() + 1 : 0);
    const bool missing = now.status == ReadStatus::Missing;
    if (now.status == ReadStatus::Unreadable || missing != !expected || (!missing && now.bytes != *expected)) {
        removeFile(staged.path);
        if (now.status == ReadStatus::Unreadable) {
            result.outcome = ReplaceResult::Outcome::Failed;
            result.error = now.error;
            return result;
        }
        result.outcome = ReplaceResult::Outcome::Changed;
        return result;
    }
    const Error error = putInPlace(staged.path, path, !missing);
    if (error == kAlreadyExists) {
        // Created under that name at the last moment.
        result.outcome = ReplaceResult::Outcome::Changed;
        return result;
    }
    if (error != 0) return failed(error);
    syncFolder(folderOf(path));
    result.outcome = ReplaceResult::Outcome::Written;
    return result;
}

void removeFile(const std::string& path) { native::removeFile(path); }

WriteResult createNewFile(const std::string& path, std::string_view bytes) {
    Error error = 0;
    const Handle handle = createExclusive(path, error);
    if (handle == kNoHandle) return failure(error);
    error = fill(handle, path, bytes);
    if (error != 0) return failure(error);
    syncFolder(folderOf(path));
    return {true, {}};
}

}  // namespace orvasel::file_io
