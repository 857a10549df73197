#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>

namespace orvasel::file_io {
namespace {

namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::create_directory(folder_)); }
    void TearDown() override { fs::remove_all(folder_); }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    // How many entries the folder holds, so that a temporary file left behind shows.
    long entries() const { return std::distance(fs::directory_iterator(folder_), fs::directory_iterator()); }

    const fs::path folder_ = fs::temp_directory_path() / ("orvasel-file-io-" + std::to_string(std::random_device{}()));
};

TEST_F(FileIo, AtomicWriteReplacesTheWholeContentUnderAnyNameTheSystemTakesAndKeepsItsPermissions) {
    const std::string target = path(std::string(240, 'a') + ".cpr.info");  // 249 of the 255 allowed
    for (const std::string& bytes : {std::string("EOF\r\n"), std::string(300000, 'n'), std::string()}) {
        ASSERT_TRUE(writeFileAtomically(target, bytes).ok);
        const ReadResult read = readWholeFile(target);
        EXPECT_TRUE(read.status == ReadStatus::Ok && read.bytes == bytes && entries() == 1) << read.bytes.size();
    }
#ifndef _WIN32
    const fs::perms bits = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, bits);
    ASSERT_TRUE(writeFileAtomically(target, "new").ok);
    EXPECT_EQ(fs::status(target).permissions(), bits);
    // Saved through a link, the file behind it changes and the link stays.
    fs::create_symlink(target, path("link.info"));
    ASSERT_TRUE(writeFileAtomically(path("link.info"), "via link").ok);
    EXPECT_TRUE(fs::is_symlink(path("link.info")) && readWholeFile(target).bytes == "via link");
#endif
}

TEST_F(FileIo, FailuresAreToldAndLeaveEverythingAsItWas) {
    const std::string plain = path("plain file");
    const std::string folder = path("Song.cpr.info");
    ASSERT_TRUE(createNewFile(plain, "keep me").ok);
    fs::create_directories(folder + "/inside");

    for (const std::string& target : {path("missing folder/Song.cpr.info"), plain + "/Song.cpr.info", folder}) {
        const WriteResult result = writeFileAtomically(target, "new");
        EXPECT_TRUE(!result.ok && !result.error.empty()) << target;
        EXPECT_EQ(readWholeFile(target + "/none").status, ReadStatus::Missing) << target;
    }
    EXPECT_FALSE(createNewFile(plain, "new").ok);
    const ReadResult unreadable = readWholeFile(folder);
    EXPECT_TRUE(unreadable.status == ReadStatus::Unreadable && !unreadable.error.empty());
    EXPECT_TRUE(readWholeFile(plain).bytes == "keep me" && fs::exists(folder + "/inside") && entries() == 2);
}

}  // namespace
}  // namespace orvasel::file_io
