#include "storage/draft_file.h"

#include <gtest/gtest.h>

namespace orvasel::draft_file {
namespace {

TEST(DraftFile, ADraftComesBackAsItWasAndACutOrForeignFileIsNoDraft)
{
    // Any text, line breaks and lengths written in it included, and a note whose file did not exist.
    const Draft drafts[] = {
        {"/Musique/Song.cpr.info", "Mix\u202F: 3\r\nnote 12\nfin", "C:\\Audio\\mix.wav",
         std::string("v1\r\nEOF\r\n\0\xFF", 11), 1796000000000, "5eb1"},
        {"C:\\\\Song.cpr.info", "", "", std::nullopt, 0, ""},
    };
    for (const Draft& draft : drafts) {
        const std::string bytes = serialize(draft);
        EXPECT_EQ(parse(bytes), draft);
        for (std::size_t length = 0; length < bytes.size(); ++length)
            EXPECT_FALSE(parse(bytes.substr(0, length))) << length;
        EXPECT_FALSE(parse(bytes + "x"));
    }
    EXPECT_FALSE(parse("rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n"));
    EXPECT_FALSE(parse("Orvasel brouillon 1\nfichier 99999999999999999999\n"));
}

}  // namespace
}  // namespace orvasel::draft_file
