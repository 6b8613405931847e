// The command-line tail: what is left after the program name and its blanks.
#include <gtest/gtest.h>

#include <string>

#include "startup/command_line.h"

namespace {

bool NoLeadBytes(unsigned char) {
    return false;
}

// Lead bytes of code page 932.
bool ShiftJisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string Tail(const char* line, kq::LeadBytePredicate lead = NoLeadBytes) {
    return kq::CommandLineTail(line, lead);
}

TEST(CommandLineTail, QuotedNameThenBlanksAndTabsGivesTheRestVerbatim) {
    EXPECT_EQ(Tail("\"C:\\Program Files\\setup.exe\"  \t \t\"D:\\my dir\\x\" /s \"q\""),
              "\"D:\\my dir\\x\" /s \"q\"");
    EXPECT_EQ(Tail("\"setup.exe\" C:\\KQ  "), "C:\\KQ  ");
    // Nothing need separate the closing quote from the rest.
    EXPECT_EQ(Tail("\"setup.exe\"/s"), "/s");
    // Every control character counts as a blank after the name.
    EXPECT_EQ(Tail("setup.exe\x01\x1f\x0d\x0a x"), "x");
}

TEST(CommandLineTail, UnquotedNameEndsAtTheFirstBlank) {
    EXPECT_EQ(Tail("setup.exe C:\\KQ \"a b\""), "C:\\KQ \"a b\"");
    EXPECT_EQ(Tail("setup.exe"), "");
    EXPECT_EQ(Tail("setup.exe   \t"), "");
    EXPECT_EQ(Tail(""), "");
    // Bytes above 0x7F are part of the name, not blanks.
    EXPECT_EQ(Tail("\xE9t\xE9\xA0.exe /x", ShiftJisLeadByte), "/x");
}

TEST(CommandLineTail, QuotedNameWithoutClosingQuoteLeavesNothing) {
    const char line[] = "\"C:\\setup.exe arg";
    const char* tail = kq::CommandLineTail(line, NoLeadBytes);
    EXPECT_EQ(tail, line + sizeof line - 1);
}

TEST(CommandLineTail, TrailByteEqualToQuoteDoesNotEndTheQuotedName) {
    // 0x81 0x22 is one double-byte character inside the name.
    EXPECT_EQ(Tail("\"C:\\\x81\"\\setup.exe\" /x", ShiftJisLeadByte), "/x");
    // Without a lead byte the same 0x22 closes the name.
    EXPECT_EQ(Tail("\"C:\\\x81\"\\setup.exe\" /x", NoLeadBytes), "\\setup.exe\" /x");
    // Lead bytes outside the quotes carry nothing.
    EXPECT_EQ(Tail("a\x81 b", ShiftJisLeadByte), "b");
}

TEST(CommandLineTail, LeadByteAtTheEndDoesNotStepOverTheTerminator) {
    // Exact-size buffers, so reading past the terminator would be caught.
    const char line[] = "\"ab\x81";
    EXPECT_EQ(kq::CommandLineTail(line, ShiftJisLeadByte), line + sizeof line - 1);
    const char lone[] = "\"\x81";
    EXPECT_EQ(kq::CommandLineTail(lone, ShiftJisLeadByte), lone + sizeof lone - 1);
}

}  // namespace
