#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>

namespace orvasel::file_io {
namespace {

namespace fs = std::filesystem;

TEST(FileIo, AtomicWriteReplacesTheWholeContentAndAFailureLeavesEverythingAsItWas) {
    const fs::path root = fs::temp_directory_path() / ("orvasel-file-io-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(root));
    // A temporary file left behind shows in the count.
    const auto entries = [&] { return std::distance(fs::directory_iterator(root), fs::directory_iterator()); };
    const std::string target = (root / (std::string(240, 'a') + ".cpr.info")).string();  // 249 of the 255 allowed
    for (const std::string& bytes : {std::string("EOF\r\n"), std::string(300000, 'n'), std::string()}) {
        ASSERT_TRUE(writeFileAtomically(target, bytes).ok);
        const ReadResult read = readWholeFile(target);
        EXPECT_TRUE(read.status == ReadStatus::Ok && read.bytes == bytes && entries() == 1) << read.bytes.size();
    }
#ifndef _WIN32
    const fs::perms bits = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, bits);
    fs::create_symlink(target, root / "link.info");  // saved through a link, the file behind it changes
    ASSERT_TRUE(writeFileAtomically((root / "link.info").string(), "via link").ok);
    EXPECT_TRUE(fs::is_symlink(root / "link.info") && readWholeFile(target).bytes == "via link");
    EXPECT_EQ(fs::status(target).permissions(), bits);
    fs::remove(root / "link.info");
#endif
    const std::string plain = (root / "plain file").string(), folder = (root / "Song.cpr.info").string();
    ASSERT_TRUE(createNewFile(plain, "keep me").ok);
    fs::create_directories(folder + "/inside");
    for (const std::string& path : {(root / "missing folder" / "Song.cpr.info").string(), plain + "/Song.cpr.info", folder}) {
        const WriteResult result = writeFileAtomically(path, "new");
        EXPECT_TRUE(!result.ok && !result.error.empty()) << path;
    }
    EXPECT_EQ(readWholeFile((root / "missing folder" / "Song.cpr.info").string()).status, ReadStatus::Missing);
    EXPECT_FALSE(createNewFile(plain, "new").ok);
    const ReadResult unreadable = readWholeFile(folder);
    EXPECT_TRUE(unreadable.status == ReadStatus::Unreadable && !unreadable.error.empty());
    EXPECT_TRUE(readWholeFile(plain).bytes == "keep me" && fs::exists(folder + "/inside") && entries() == 3);
    fs::remove_all(root);
}

}  // namespace
}  // namespace orvasel::file_io
