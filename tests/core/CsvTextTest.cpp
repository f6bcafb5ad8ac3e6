#include <gtest/gtest.h>

#include "CsvText.h"
#include "Windows1252.h"

namespace {

struct Quoting {
    std::vector<std::string> cells;
    const char* record;
};

class CsvQuotingTest : public testing::TestWithParam<Quoting> {};

TEST_P(CsvQuotingTest, QuotesWhereNeededAndReadsBackTheSameCells) {
    const std::string record = CsvText::Record(GetParam().cells);
    EXPECT_EQ(record, GetParam().record);
    const CsvText::Parsed parsed = CsvText::Parse(record + record);
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.records.size(), 2u);
    EXPECT_EQ(parsed.records[1], GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CsvQuotingTest,
    testing::Values(Quoting{{"a", "b c", ""}, "a,b c,\r\n"}, Quoting{{"x,y"}, "\"x,y\"\r\n"},
                    Quoting{{"say \"hi\"", "1"}, "\"say \"\"hi\"\"\",1\r\n"},
                    Quoting{{"two\r\nlines", "lf\nonly"}, "\"two\r\nlines\",\"lf\nonly\"\r\n"},
                    Quoting{{"5:TACKLE;9:GROWL", " padded "}, "5:TACKLE;9:GROWL, padded \r\n"}));

struct Reading {
    const char* text;
    std::vector<std::vector<std::string>> records;
    const char* error;  // part of the message; empty when the text is valid
};

class CsvReadingTest : public testing::TestWithParam<Reading> {};

TEST_P(CsvReadingTest, ReadsRecordsOrSaysWhichLineIsWrong) {
    const CsvText::Parsed parsed = CsvText::Parse(GetParam().text);
    if (*GetParam().error == '\0') {
        EXPECT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.records, GetParam().records);
    } else {
        EXPECT_NE(parsed.error.find(GetParam().error), std::string::npos) << parsed.error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvReadingTest,
    testing::Values(Reading{"a,b\nc,d", {{"a", "b"}, {"c", "d"}}, ""},  // LF, no final line end
                    Reading{"a\r\n\r\n\nb\r\n", {{"a"}, {"b"}}, ""},    // empty lines skipped
                    Reading{"a,\r\n,", {{"a", ""}, {"", ""}}, ""},      // empty cells kept
                    Reading{"\"\"", {{""}}, ""},                        // an empty quoted cell
                    Reading{"a,\"b\nc\"\nd,e\"f", {}, "line 3: a quotation mark inside"},
                    Reading{"\"open\r\nstill", {}, "line 1: a quoted cell is never closed"},
                    Reading{"\"a\"b", {}, "text follows a closing quotation mark"},
                    Reading{"a\rb", {}, "a carriage return without a line feed"}));

TEST(Windows1252Test, EveryByteConvertsToUtf8AndBack) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::string utf8 = Windows1252::ToUtf8(all);
    EXPECT_EQ(Windows1252::FromUtf8(utf8), all);
    EXPECT_EQ(Windows1252::ToUtf8("A\x0B\x0C\x80\xE9"), "A\u2642\u2640\u20AC\u00E9");
    EXPECT_EQ(Windows1252::FromUtf8("\u0100"), std::nullopt);      // not in Windows-1252
    EXPECT_EQ(Windows1252::FromUtf8("\x0B"), std::nullopt);        // 11 and 12 mean the symbols
    EXPECT_EQ(Windows1252::FirstInvalidUtf8("ok\xC3"), 2u);        // cut short
    EXPECT_EQ(Windows1252::FirstInvalidUtf8("\xC0\x80"), 0u);      // overlong
    EXPECT_EQ(Windows1252::FirstInvalidUtf8("\xED\xA0\x80"), 0u);  // a surrogate
    EXPECT_EQ(Windows1252::FirstInvalidUtf8("\xF0\x9F\x98\x80"), std::nullopt);
}

}  // namespace
