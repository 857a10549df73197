// Any bytes as a path given to the file functions on Windows: converting it twice changes nothing
// more; a path of up to 247 characters, or one that is not on a drive or a share, comes back as it
// is; a longer one goes in the extended form on the same drive or server, with no '/', empty, "." or
// ".." component left after the root, still a folder if it named one, and longer than the path
// by the prefix at most (and a root's final separator).
#include "fuzz/check.h"
#include "platform/file_io.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

using namespace orvasel::file_io;
using orvasel::fuzz::check;

namespace {

bool separator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    const std::string out = extendedLengthPath(path);
    check(extendedLengthPath(out) == out, "converting twice changed the path");
    const std::string_view drivePrefix = "\\\\?\\", sharePrefix = "\\\\?\\UNC\\";
    if (out == path)
        return 0;
    check(utf16Length(path) > kLongestPlainPath, "a short path was changed");
    check(out.starts_with(drivePrefix), "a changed path is not in the extended form");
    const bool onShare = out.starts_with(sharePrefix);
    std::string_view rest = std::string_view(out).substr(onShare ? sharePrefix.size() : drivePrefix.size());
    // Only a root gains a final separator ("\\?\C:" would name the volume, not its folder).
    const bool separatorAdded = out.back() == '\\' && !separator(path.back());
    const std::size_t components = std::count(rest.begin(), rest.end(), '\\') + (out.back() == '\\' ? 0 : 1);
    check(!separatorAdded || components == (onShare ? 2 : 1), "a final separator was added after a folder");
    check(out.size() <= path.size() + (onShare ? sharePrefix.size() - 2 : drivePrefix.size()) + separatorAdded,
          "the extended form is longer than the path and its prefix");
    check(rest.find('/') == std::string_view::npos, "a '/' is left after the prefix");
    if (onShare) {
        const std::string_view server = path.substr(2, path.find_first_of("\\/", 2) - 2);
        check(server == "." || server == ".." || rest.substr(0, server.size()) == server, "the server changed");
    } else {
        check(rest.substr(0, 2) == path.substr(0, 2), "the drive changed");
    }
    check(!separator(path.back()) || out.back() == '\\', "a folder's path lost its final separator");
    for (std::size_t start = 0; start < rest.size();) {
        const std::size_t end = std::min(rest.find('\\', start), rest.size());
        const std::string_view part = rest.substr(start, end - start);
        check(!part.empty() && part != "." && part != "..", "an empty, \".\" or \"..\" component is left");
        start = end + 1;
    }
    return 0;
}
