// Bounded copies: a text that does not fit is refused whole, never cut short.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "startup/bounded_text.h"

namespace {

TEST(CopyText, ExactFitSucceedsAndLongerIsRefusedLeavingDestAlone) {
    char dest[256];
    std::memset(dest, 'z', sizeof dest);
    const std::string fits(255, 'a');
    ASSERT_EQ(kq::CopyText(dest, sizeof dest, fits.c_str()), 1);
    EXPECT_EQ(std::string(dest), fits);

    ASSERT_EQ(kq::CopyText(dest, sizeof dest, "previous"), 1);
    const std::string too_long(256, 'b');
    EXPECT_EQ(kq::CopyText(dest, sizeof dest, too_long.c_str()), 0);
    EXPECT_STREQ(dest, "previous");

    // Even an empty text needs room for its terminator.
    char small[2] = {'x', 'y'};
    EXPECT_EQ(kq::CopyText(small, 0, ""), 0);
    EXPECT_EQ(small[0], 'x');
    EXPECT_EQ(kq::CopyText(small, 1, ""), 1);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(small[1], 'y');
}

TEST(AppendText, FillsToCapacityAndRefusesOverflowLeavingDestAlone) {
    char dest[16] = "C:\\KQ";
    EXPECT_EQ(kq::AppendText(dest, sizeof dest, "\\setup.exe!"), 0);  // would need 17 bytes
    EXPECT_STREQ(dest, "C:\\KQ");
    ASSERT_EQ(kq::AppendText(dest, sizeof dest, "\\setup.exe"), 1);  // exactly 16 bytes
    EXPECT_STREQ(dest, "C:\\KQ\\setup.exe");
    EXPECT_EQ(kq::AppendText(dest, sizeof dest, "x"), 0);
    EXPECT_EQ(kq::AppendText(dest, sizeof dest, ""), 1);
    EXPECT_STREQ(dest, "C:\\KQ\\setup.exe");
}

TEST(AppendBytes, TakesCountBytesOfAnUnterminatedSource) {
    char dest[8] = "ab";
    const char source[3] = {'c', 'd', 'e'};  // no terminator
    ASSERT_EQ(kq::AppendBytes(dest, sizeof dest, source, 2), 1);
    EXPECT_STREQ(dest, "abcd");
    ASSERT_EQ(kq::AppendBytes(dest, sizeof dest, source, 3), 1);
    EXPECT_STREQ(dest, "abcdcde");
    EXPECT_EQ(kq::AppendBytes(dest, sizeof dest, source, 1), 0);
    EXPECT_STREQ(dest, "abcdcde");
    // A count that would wrap start + count round is refused too.
    EXPECT_EQ(kq::AppendBytes(dest, sizeof dest, source, static_cast<size_t>(-1)), 0);
    EXPECT_STREQ(dest, "abcdcde");
}

}  // namespace
