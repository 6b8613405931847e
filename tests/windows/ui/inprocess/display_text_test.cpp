// Boundaries of the two small rules behind the texts: display texts cut at
// their area, and which directory labels may become the install folder.
#include <gtest/gtest.h>

#include <string>

#include "ui/directory_browser.h"
#include "ui/display_text.h"

namespace {

TEST(DisplayText, PiecesAreJoinedAndCutAtTheAreasLastCharacter) {
    char area[8];
    const char* const fits[] = {"ab", "cd", "efg"};
    kq::ComposeCut(area, fits);
    EXPECT_STREQ(area, "abcdefg");
    const char* const too_long[] = {"abc", "defgh", "ijk"};
    kq::ComposeCut(area, too_long);
    EXPECT_STREQ(area, "abcdefg");
    char one[1];
    const char* const anything[] = {"x"};
    kq::ComposeCut(one, anything);
    EXPECT_STREQ(one, "");
}

TEST(DisplayText, AppendCutTellsWhetherAllOfItFitted) {
    char area[6] = "abc";
    EXPECT_EQ(kq::AppendCut(area, sizeof area, "de"), 1);
    EXPECT_EQ(kq::AppendCut(area, sizeof area, "f"), 0);
    EXPECT_STREQ(area, "abcde");
    EXPECT_EQ(kq::AppendCut(area, sizeof area, ""), 1);
}

TEST(DirectoryLabel, OnlyAWholeShortPathIsUsable) {
    const auto usable = [](const std::string& label) {
        return kq::IsUsableDirectoryLabel(label.c_str(), label.size());
    };
    EXPECT_TRUE(usable("c:\\work\\chosen"));
    EXPECT_TRUE(usable("c:\\a..b"));
    EXPECT_FALSE(usable(""));
    EXPECT_FALSE(usable("c:\\users\\...\\chosen"));
    EXPECT_FALSE(usable("c:\\program fi..."));
    EXPECT_TRUE(usable("c:\\" + std::string(252, 'd')));   // 255 characters: fits the folder buffer
    EXPECT_FALSE(usable("c:\\" + std::string(253, 'd')));  // 256: may have been cut, does not fit
}

}  // namespace
