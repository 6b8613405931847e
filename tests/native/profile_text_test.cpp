// The checker's INI reader must see a script exactly as the installer's
// profile functions do; these cases were observed under Wine.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "profile_text.h"

namespace {

using kqpack::ProfileText;

TEST(ProfileText, OnlyTheFirstSectionOfANameIsRead) {
    const ProfileText p = ProfileText::Parse("[Install]\r\nAppName=One\r\n[install]\r\nAppName=Two\r\nVerNum=2\r\n");
    EXPECT_EQ(p.ReadText("INSTALL", "appname"), "One");
    EXPECT_EQ(p.ReadText("Install", "VerNum"), "");
    ASSERT_EQ(p.sections().size(), 3u);
    EXPECT_EQ(p.sections()[2].line, 3u);
}

TEST(ProfileText, TheFirstKeyOfANameWinsEvenWithoutAValue) {
    const ProfileText p = ProfileText::Parse("[S]\nk=first\nK=second\nbare\nbare=late\n");
    EXPECT_EQ(p.ReadText("S", "k"), "first");
    EXPECT_EQ(p.ReadText("S", "bare"), "");
    EXPECT_FALSE(p.Has("S", "bare"));
    EXPECT_EQ(p.FindEntry("S", "K")->line, 2u);
}

TEST(ProfileText, TrimsBlanksAndDropsOnePairOfMatchingQuotes) {
    const ProfileText p = ProfileText::Parse(
        "  [ S ]  \n  Spaced Key  =\t v  \nq=\" x \"\ns='single'\nhalf=\"open\nmixed=\"a'\nempty=\"\"\ninner=\"a\"b\"\n");
    EXPECT_EQ(p.ReadText("S", "Spaced Key"), "v");
    EXPECT_EQ(p.ReadText("S", "q"), " x ");
    EXPECT_EQ(p.ReadText("S", "s"), "single");
    EXPECT_EQ(p.ReadText("S", "half"), "\"open");
    EXPECT_EQ(p.ReadText("S", "mixed"), "\"a'");
    EXPECT_FALSE(p.Has("S", "empty"));  // quotes around nothing read as missing
    EXPECT_EQ(p.ReadText("S", "inner"), "a\"b");
}

TEST(ProfileText, LinesEndAtCrLfLfOrCrAndANulEndsTheLine) {
    const std::string text = std::string("[S]\rcr=1\nlf=2\r\ncrlf=3\nnul=x") + '\0' + "y\nafter=4";
    const ProfileText p = ProfileText::Parse(text);
    EXPECT_EQ(p.ReadText("S", "cr"), "1");
    EXPECT_EQ(p.ReadText("S", "crlf"), "3");
    EXPECT_EQ(p.ReadText("S", "nul"), "x");
    EXPECT_EQ(p.ReadText("S", "after"), "4");
    EXPECT_EQ(p.FindEntry("S", "after")->line, 6u);
    EXPECT_EQ(p.lines()[0].eol, "\r");
    EXPECT_EQ(p.lines()[2].eol, "\r\n");
    EXPECT_EQ(p.lines().back().eol, "");
}

TEST(ProfileText, HeaderWithoutClosingBracketIsAKeyOfTheSectionBefore) {
    const ProfileText p = ProfileText::Parse("[A]\n[Broken\nb=1\n[Links]trailing\nl=2\n");
    EXPECT_EQ(p.ReadText("A", "b"), "1");
    EXPECT_EQ(p.FindSection("Broken"), nullptr);
    EXPECT_EQ(p.ReadText("Links", "l"), "2");
}

TEST(ProfileText, SkipsAUtf8ByteOrderMarkButRemembersIt) {
    const ProfileText p = ProfileText::Parse("\xEF\xBB\xBF[Install]\nAppName=x\n");
    EXPECT_EQ(p.ReadText("Install", "AppName"), "x");
    EXPECT_EQ(p.bom(), "\xEF\xBB\xBF");
}

TEST(ProfileText, ValuesAreReadUpTo254Characters) {
    const ProfileText p = ProfileText::Parse("[S]\nv=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(p.FindEntry("S", "v")->value.size(), 300u);
    EXPECT_EQ(p.ReadText("S", "v").size(), 254u);
}

TEST(ProfileText, IntegersReadLikeThePlatform) {
    EXPECT_EQ(kqpack::ProfileIntFromText("3abc", 7), 3);
    EXPECT_EQ(kqpack::ProfileIntFromText("-1", 7), -1);
    EXPECT_EQ(kqpack::ProfileIntFromText("+5", 7), 5);
    EXPECT_EQ(kqpack::ProfileIntFromText("0x8", 7), 8);
    EXPECT_EQ(kqpack::ProfileIntFromText("abc", 7), 0);
    EXPECT_EQ(kqpack::ProfileIntFromText("99999999999", 7), 1215752191);  // wraps at 32 bits
    EXPECT_EQ(kqpack::ProfileIntFromText("", 7), 7);
    const ProfileText p = ProfileText::Parse("[S]\nblank=   \nbare\n");
    EXPECT_EQ(p.ReadInt("S", "blank", 77), 77);
    EXPECT_EQ(p.ReadInt("S", "bare", 77), 77);
    EXPECT_EQ(p.ReadInt("S", "missing", 77), 77);
}

TEST(ProfileText, PrefersTheLineBreakMostLinesUse) {
    EXPECT_EQ(ProfileText::Parse("a\nb\nc\r\n").PreferredEol(), "\n");
    EXPECT_EQ(ProfileText::Parse("a\r\nb\r\n").PreferredEol(), "\r\n");
    EXPECT_EQ(ProfileText::Parse("").PreferredEol(), "\r\n");
}

TEST(ProfileText, AnyBytesParseAndEveryEntryLineIsInRange) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(rng() % 2000, '\0');
        for (char& c : bytes) c = "[]=\r\n \"'ab;\0\xEF\xBB\xBF\xFF"[rng() % 16];
        const ProfileText p = ProfileText::Parse(bytes);
        for (const auto& section : p.sections())
            for (const auto& entry : section.entries) ASSERT_LE(entry.line, p.lines().size());
    }
}

}  // namespace
