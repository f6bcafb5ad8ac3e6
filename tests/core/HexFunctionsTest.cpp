#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "HexFunctions.h"
#include "TempDir.h"

using namespace HexFunctions;

namespace {

// Sixteen known bytes: 00 0A FF, a pointer B4 D7 25, then 08 A0 1F and counting bytes.
const std::string kBytes =
    std::string("\x00\x0A\xFF\xB4\xD7\x25\x08\xA0\x1F\x10\x11\x12\x13\x14\x15\x7F", 16);

// Root may write any file whatever its mode, so as root the call runs in a child process that has become the
// user "nobody" first. Nothing when that user cannot be taken on.
std::optional<bool> AsUnprivilegedUser(const std::function<bool()>& call) {
    if (::geteuid() != 0) return call();
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(call() ? 1 : 0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 2) {
        return std::nullopt;
    }
    return WEXITSTATUS(status) == 1;
}

class HexFunctionsFile : public ::testing::Test {
protected:
    TempDir dir;
    std::string rom = dir.Write("rom.gba", kBytes);
};

// ReadHexBytes

struct ReadCase {
    int32_t offset;
    int32_t count;
    std::string expected;
};

class ReadHexBytesRange : public HexFunctionsFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadHexBytesRange, GivesTwoUpperCaseDigitsPerByte) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadHexBytes(rom, c.offset, c.count), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ReadHexBytesRange,
    ::testing::Values(ReadCase{0, 3, "000AFF"},  // 00, 0A and FF keep two digits
                      ReadCase{3, 3, "B4D725"},  // the low three bytes of a pointer
                      ReadCase{6, 3, "08A01F"},  // the example of the spec
                      ReadCase{0, 16, "000AFFB4D72508A01F1011121314157F"},  //
                      ReadCase{0, 0, ""}, ReadCase{5, 0, ""}, ReadCase{0, -1, ""}, ReadCase{0, INT32_MIN, ""},
                      ReadCase{15, 1, "7F"},        // a count of 1 gives exactly two characters
                      ReadCase{14, 4, "157FFFFF"},  // past the end reads as unwritten space
                      ReadCase{16, 2, "FFFF"}, ReadCase{1000, 3, "FFFFFF"},
                      ReadCase{-2, 4, "FFFF000A"},  // before the start too
                      ReadCase{-5, 3, "FFFFFF"}, ReadCase{-1, 18, "FF000AFFB4D72508A01F1011121314157FFF"},
                      ReadCase{INT32_MIN, 2, "FFFF"},
                      ReadCase{INT32_MAX, 3, "FFFFFF"}));  // offset + count passes 32 bits

TEST_F(HexFunctionsFile, ReadHexBytesOfAMissingFileReadsZeros) {
    EXPECT_EQ(ReadHexBytes(dir.File("missing.gba"), 0, 3), "000000");
    EXPECT_EQ(ReadHexBytes(dir.File("missing.gba"), 0, 0), "");
}

TEST_F(HexFunctionsFile, ReadHexBytesOfAFolderReadsZeros) {
    EXPECT_EQ(ReadHexBytes(dir.path().string(), 0, 2), "0000");
}

TEST_F(HexFunctionsFile, ReadHexBytesSeesEveryByteValue) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string file = dir.Write("all.bin", all);
    const std::string text = ReadHexBytes(file, 0, 256);
    ASSERT_EQ(text.size(), 512u);
    const char* digits = "0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(text[2 * b], digits[b >> 4]) << b;
        EXPECT_EQ(text[2 * b + 1], digits[b & 15]) << b;
    }
}

// ReadGameCode

TEST_F(HexFunctionsFile, ReadGameCodeKeepsTheFourCharactersAsStored) {
    std::string header(kHeaderSize, '\0');
    header.replace(kGameCodeOffset, 4, "ABCD");
    EXPECT_EQ(ReadGameCode(dir.Write("upper.gba", header)), "ABCD");
    header.replace(kGameCodeOffset, 4, "bPrE");
    EXPECT_EQ(ReadGameCode(dir.Write("mixed.gba", header)), "bPrE");
    header.replace(kGameCodeOffset, 4, std::string(" \0\xFFx", 4));
    EXPECT_EQ(ReadGameCode(dir.Write("odd.gba", header)), std::string(" \0\xFFx", 4));
}

TEST_F(HexFunctionsFile, ReadGameCodeNeedsTheWholeCode) {
    std::string header(0xB0, 'Q');
    EXPECT_EQ(ReadGameCode(dir.Write("exact.gba", header)), "QQQQ");
    header.pop_back();
    EXPECT_EQ(ReadGameCode(dir.Write("short.gba", header)), std::nullopt);
    EXPECT_EQ(ReadGameCode(dir.Write("empty.gba", "")), std::nullopt);
    EXPECT_EQ(ReadGameCode(dir.File("missing.gba")), std::nullopt);
    EXPECT_EQ(ReadGameCode(dir.path().string()), std::nullopt);
}

// WriteHexByte

struct WriteCase {
    std::string text;
    unsigned char byte;
};

class WriteHexByteText : public HexFunctionsFile, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteHexByteText, WritesOnlyThatByte) {
    const WriteCase& c = GetParam();
    for (int32_t offset : {0, 7, 15}) {
        dir.Write("rom.gba", kBytes);
        ASSERT_TRUE(WriteHexByte(rom, offset, c.text)) << offset;
        std::string expected = kBytes;
        expected[offset] = static_cast<char>(c.byte);
        EXPECT_EQ(Slurp(rom), expected) << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, WriteHexByteText,
                         ::testing::Values(WriteCase{"25D7B4", 0xB4},  // only the last two characters count
                                           WriteCase{"1A2B", 0x2B}, WriteCase{"A5", 0xA5},
                                           WriteCase{"a5", 0xA5}, WriteCase{"ff", 0xFF}, WriteCase{"F", 0x0F},
                                           WriteCase{"7", 0x07}, WriteCase{"", 0x00}, WriteCase{"ZZ", 0x00},
                                           WriteCase{"Z5", 0x00}, WriteCase{"5Z", 0x00}, WriteCase{"Z", 0x00},
                                           WriteCase{"12 ", 0x00}, WriteCase{"0x", 0x00},
                                           WriteCase{"00", 0x00}, WriteCase{"80", 0x80}));

TEST_F(HexFunctionsFile, WriteHexByteNeverExtendsTheFile) {
    for (int32_t offset : {16, 17, 1000, INT32_MAX, -1, INT32_MIN}) {
        EXPECT_FALSE(WriteHexByte(rom, offset, "AA")) << offset;
        EXPECT_EQ(Slurp(rom), kBytes) << offset;
    }
    EXPECT_TRUE(WriteHexByte(rom, 15, "AA"));
    EXPECT_EQ(std::filesystem::file_size(rom), kBytes.size());
}

TEST_F(HexFunctionsFile, WriteHexByteToAMissingFileCreatesNothing) {
    const std::string missing = dir.File("missing.gba");
    EXPECT_FALSE(WriteHexByte(missing, 0, "AA"));
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(WriteHexByte(dir.path().string(), 0, "AA"));
}

TEST_F(HexFunctionsFile, WriteHexByteToAReadOnlyFileChangesNothing) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    ::chmod(rom.c_str(), 0444);
    const std::string path = rom;
    const std::optional<bool> written = AsUnprivilegedUser([&] { return WriteHexByte(path, 3, "AA"); });
    if (!written) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_FALSE(*written);
    EXPECT_EQ(Slurp(rom), kBytes);
}

// ReverseHexBytes and IsOdd

struct ReverseCase {
    std::string text;
    std::string expected;
};

class ReverseHexBytesText : public ::testing::TestWithParam<ReverseCase> {};

TEST_P(ReverseHexBytesText, ReversesTheGroups) {
    EXPECT_EQ(ReverseHexBytes(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ReverseHexBytesText,
                         ::testing::Values(ReverseCase{"0123AB", "AB2301"}, ReverseCase{"B4D725", "25D7B4"},
                                           ReverseCase{"1A2", "A201"},
                                           ReverseCase{"ABC", "BC0A"},  // pads left
                                           ReverseCase{"A", "0A"}, ReverseCase{"", ""},
                                           ReverseCase{"AB", "AB"}, ReverseCase{"12345", "452301"},
                                           ReverseCase{"abcd", "cdab"}));

TEST(IsOdd, TellsOddFromEven) {
    EXPECT_FALSE(IsOdd(0));
    EXPECT_TRUE(IsOdd(1));
    EXPECT_FALSE(IsOdd(2));
    EXPECT_TRUE(IsOdd(255));
    EXPECT_TRUE(IsOdd(INT64_MAX));
    EXPECT_FALSE(IsOdd(INT64_MIN));
    EXPECT_TRUE(IsOdd(-3));
}

// RomFileSize and CanOpenForWriting

TEST_F(HexFunctionsFile, RomFileSizeOfRegularFilesOnly) {
    EXPECT_EQ(RomFileSize(rom), 16);
    EXPECT_EQ(RomFileSize(dir.Write("empty.gba", "")), 0);
    EXPECT_EQ(RomFileSize(dir.File("missing.gba")), std::nullopt);
    EXPECT_EQ(RomFileSize(dir.path().string()), std::nullopt);
}

TEST_F(HexFunctionsFile, CanOpenForWritingChangesAndCreatesNothing) {
    EXPECT_TRUE(CanOpenForWriting(rom));
    EXPECT_EQ(Slurp(rom), kBytes);
    EXPECT_FALSE(CanOpenForWriting(dir.File("missing.gba")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.gba")));
    EXPECT_FALSE(CanOpenForWriting(dir.path().string()));
}

TEST_F(HexFunctionsFile, CanOpenForWritingRefusesAReadOnlyFile) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    ::chmod(rom.c_str(), 0444);
    const std::string path = rom;
    const std::optional<bool> writable = AsUnprivilegedUser([&] { return CanOpenForWriting(path); });
    if (!writable) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_FALSE(*writable);
    EXPECT_EQ(Slurp(rom), kBytes);
}

}  // namespace
