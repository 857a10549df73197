// Any bytes as a project file: reading comes to an end without a memory fault, tells the same
// whatever pieces the bytes come in, and tells only what it may: names that are text, each once,
// in order, and plugins only for a file that is a whole project.
#include "search/project_file.h"

#include "storage/text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace orvasel::search;

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "project file: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the size of the pieces; the rest is the file.
    const std::size_t piece = 1 + data[0] % 61;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    const ProjectDetails whole = readProject(bytes);
    ProjectReader reader(piece);
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        reader.feed(bytes.substr(at, piece));
    if (reader.finish() != whole)
        fail("the pieces told otherwise than the whole");

    if (!whole.isProject && (whole.pluginsKnown || !whole.application.empty()))
        fail("a file that is no project told something");
    if (!whole.pluginsKnown && !whole.plugins.empty())
        fail("plugins told while not known");
    if (!std::is_sorted(whole.plugins.begin(), whole.plugins.end())
        || std::adjacent_find(whole.plugins.begin(), whole.plugins.end()) != whole.plugins.end())
        fail("plugins not in order, or repeated");
    for (const std::string& text : whole.plugins)
        if (text.empty() || !orvasel::text::isUtf8(text))
            fail("a plugin name that is no text");
    for (const std::string* text : {&whole.application, &whole.version, &whole.releaseDate, &whole.architecture})
        if (!orvasel::text::isUtf8(*text))
            fail("a version text that is no text");
    if ((versionLabel(whole) == "?") != (whole.application.empty() || whole.version.empty()))
        fail("a version label for an unknown version");
    return 0;
}
