// Relative paths from the package and the uninstall log that would leave the
// install folder: every form of a ".." part, and none of the ordinary names.
#include <gtest/gtest.h>

#include <cstring>

#include "startup/relative_path.h"

namespace {

TEST(RelativePath, DotDotPartsInAnyPlaceAndSpellingClimbOut) {
    for (const char* path : {"..", "..\\escape.txt", "sub\\..\\..\\escape.txt", "sub/../../escape.txt", "a\\..",
                             "... \\x", ".. \\x", " ..\\x", "a\\....\\b", "../x"})
        EXPECT_TRUE(kq::ClimbsOutOfItsFolder(path, std::strlen(path))) << path;
}

TEST(RelativePath, OrdinaryNamesStayInside) {
    for (const char* path : {"", "f.dat", "sub\\deep\\f.dat", ".\\f.dat", "..f", "f..", "a..b\\c", ".hidden\\x",
                             "sub\\", "\\f.dat", "x\\ \\y"})
        EXPECT_FALSE(kq::ClimbsOutOfItsFolder(path, std::strlen(path))) << path;
}

TEST(RelativePath, OnlyTheGivenLengthCounts) {
    // A stored name has no terminator: what follows it is not part of it.
    EXPECT_FALSE(kq::ClimbsOutOfItsFolder("sub\\..", 4));
    EXPECT_TRUE(kq::ClimbsOutOfItsFolder("sub\\..", 6));
}

}  // namespace
