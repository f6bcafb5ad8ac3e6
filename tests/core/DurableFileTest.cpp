#include <gtest/gtest.h>

#include "DurableFile.h"
#include "TempDir.h"

namespace {

// What is reported written must be there whole; a failure says why and leaves no file behind.
TEST(DurableFile, WritesWholeReadsBackAndRemoves) {
    testsupport::TempDir dir;
    const std::string path = dir.File("journal");
    const std::vector<uint8_t> bytes = {0x56, 0x00, 0xFF, 0x0A};
    ASSERT_EQ(DurableFile::WriteWhole(path, bytes), "");
    EXPECT_EQ(DurableFile::ReadWhole(path), bytes);
    ASSERT_EQ(DurableFile::WriteWhole(path, {1}), "");
    EXPECT_EQ(DurableFile::ReadWhole(path), std::vector<uint8_t>{1});
    EXPECT_TRUE(DurableFile::Sync(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    EXPECT_TRUE(DurableFile::Remove(path));
    EXPECT_TRUE(DurableFile::Remove(path));
    EXPECT_EQ(DurableFile::ReadWhole(path), std::nullopt);
    EXPECT_FALSE(DurableFile::Sync(path));
    EXPECT_EQ(DurableFile::ReadWhole(dir.path().string()), std::nullopt);
    EXPECT_NE(DurableFile::WriteWhole(dir.File("none/journal"), bytes), "");
}

}  // namespace
