// Small text rules in tables: the command-line tail, bounded copies, paths
// that climb out of their folder, the profile reader the checker shares with
// the installer's view, and the packaging tool's stored names and globs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "check/profile_text.h"
#include "commands/package_json.h"
#include "packing/file_io.h"
#include "packing/package_writer.h"
#include "project/file_globs.h"
#include "startup/command_line.h"
#include "text/text.h"

namespace {

bool NoLeadBytes(unsigned char) { return false; }
bool ShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(CommandLineTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
    struct Row { const char* line; bool shift_jis; const char* tail; };
    const Row rows[] = {
        {"\"C:\\Program Files\\setup.exe\"  \t \t\"D:\\my dir\\x\" /s \"q\"", false, "\"D:\\my dir\\x\" /s \"q\""},
        {"\"setup.exe\"/s", false, "/s"}, {"setup.exe\x01\x1f\x0d\x0a x", false, "x"}, {"setup.exe   \t", false, ""},
        {"setup.exe C:\\KQ \"a b\"  ", false, "C:\\KQ \"a b\"  "}, {"", false, ""}, {"\xE9t\xE9\xA0.exe /x", true, "/x"},
        {"\"C:\\setup.exe arg", false, ""},  // no closing quote: all of it is the name
        // 0x81 0x22 is one character of the name, not its closing quote.
        {"\"C:\\\x81\"\\setup.exe\" /x", true, "/x"}, {"\"C:\\\x81\"\\setup.exe\" /x", false, "\\setup.exe\" /x"},
        {"a\x81 b", true, "b"}, {"\"ab\x81", true, ""}, {"\"\x81", true, ""},  // a last lead byte must not step over the end
    };
    for (const Row& row : rows) {
        const char* tail = kq::CommandLineTail(row.line, row.shift_jis ? ShiftJisLeadByte : NoLeadBytes);
        EXPECT_EQ(tail, row.line + std::strlen(row.line) - std::strlen(row.tail)) << row.line;
        EXPECT_STREQ(tail, row.tail) << row.line;
    }
}

// The installer's switches; words without '/' are ignored as they always were.
TEST(SetupSwitches, SilentFolderLogAndTheFirstUnknownSwitch) {
    struct Row { const char* tail; bool silent; const char* folder; const char* log; const char* unknown; };
    const Row rows[] = {
        {"", false, "", "", ""}, {"readme words", false, "", "", ""}, {"/S", true, "", "", ""},
        {"x /s y", true, "", "", ""}, {"/SILENT", false, "", "", "/SILENT"}, {"\"/S\"", true, "", "", ""},
        {"/S /D=C:\\My Apps\\A /S  ", true, "C:\\My Apps\\A /S", "", ""},
        {"/LOG=C:\\l.txt /d=D:\\x", false, "D:\\x", "C:\\l.txt", ""},
        {"/LOG=\"C:\\a b\\l.txt\" /S", true, "", "C:\\a b\\l.txt", ""},
        {"\"/LOG=C:\\a b\\l.txt\"", false, "", "C:\\a b\\l.txt", ""},
        {"/X /Y", false, "", "", "/X"}, {"/D", false, "", "", "/D"}, {"/LOG=", false, "", "", "/LOG="},
    };
    for (const Row& row : rows) {
        const kq::SetupSwitches s = kq::ParseSetupSwitches(row.tail);
        EXPECT_EQ(s.silent, row.silent) << row.tail;
        EXPECT_EQ(std::string(s.folder.text ? s.folder.text : "", s.folder.length), row.folder) << row.tail;
        EXPECT_EQ(std::string(s.log.text ? s.log.text : "", s.log.length), row.log) << row.tail;
        EXPECT_EQ(std::string(s.unknown.text ? s.unknown.text : "", s.unknown.length), row.unknown) << row.tail;
    }
}

TEST(BoundedText, RefusesWhatDoesNotFitAndLeavesTheBufferAlone) {
    struct Row { const char* before; size_t capacity; const char* text; size_t count; int result; const char* after; };
    const Row rows[] = {  // count 0: CopyText, SIZE_MAX: AppendText, else AppendBytes
        {"old", 8, "1234567", 0, 1, "1234567"}, {"old", 8, "12345678", 0, 0, "old"}, {"", 1, "", 0, 1, ""},
        {"x", 0, "", 0, 0, "x"}, {"C:\\KQ", 16, "\\setup.exe", SIZE_MAX, 1, "C:\\KQ\\setup.exe"},
        {"C:\\KQ", 16, "\\setup.exe!", SIZE_MAX, 0, "C:\\KQ"}, {"ab", 8, "cdefg", 5, 1, "abcdefg"},
        {"ab", 8, "cdefgh", 6, 0, "ab"}, {"ab", 8, "cd", 2, 1, "abcd"},
        {"ab", 8, "c", SIZE_MAX - 1, 0, "ab"},  // start + count would wrap round
    };
    for (const Row& row : rows) {
        char buffer[32] = {};
        std::strcpy(buffer, row.before);
        const int result = row.count == 0          ? kq::CopyText(buffer, row.capacity, row.text)
                           : row.count == SIZE_MAX ? kq::AppendText(buffer, row.capacity, row.text)
                                                   : kq::AppendBytes(buffer, row.capacity, row.text, row.count);
        EXPECT_EQ(result, row.result) << row.before << " + " << row.text;
        EXPECT_STREQ(buffer, row.after) << row.before << " + " << row.text;
    }
}

TEST(RelativePath, ClimbsOutOnlyThroughAPartOfTwoOrMoreDotsAndBlanks) {
    for (const char* path : {"..", "..\\escape.txt", "sub\\..\\..\\escape.txt", "sub/../../escape.txt", "a\\..",
                             "... \\x", ".. \\x", " ..\\x", "a\\....\\b", "../x"})
        EXPECT_TRUE(kq::ClimbsOutOfItsFolder(path, std::strlen(path))) << path;
    for (const char* path : {"", "f.dat", "sub\\deep\\f.dat", ".\\f.dat", "..f", "f..", "a..b\\c", ".hidden\\x",
                             "sub\\", "\\f.dat", "x\\ \\y", ". \\x"})
        EXPECT_FALSE(kq::ClimbsOutOfItsFolder(path, std::strlen(path))) << path;
    EXPECT_FALSE(kq::ClimbsOutOfItsFolder("sub\\..", 4));  // a stored name has no terminator: only its length counts
}

// Room within 255 characters for "\\" and the longest stored name, or
// "Uninstal.inf" when that is longer.
TEST(InstallFolder, MustBeAbsoluteAllowedAndShortEnough) {
    using kq::FolderProblem;
    const std::string c250 = "C:\\" + std::string(247, 'f');  // 250 characters
    const std::tuple<std::string, size_t, FolderProblem> rows[] = {
        {"", 0, FolderProblem::kEmpty},
        {"Apps\\App", 0, FolderProblem::kNotAbsolute},
        {"C:Apps", 0, FolderProblem::kNotAbsolute},
        {"\\Apps", 0, FolderProblem::kNotAbsolute},
        {"\\\\server\\share\\App", 0, FolderProblem::kNone},
        {"d:\\App", 0, FolderProblem::kNone},
        {"C:\\A<b", 0, FolderProblem::kBadCharacter},
        {"C:\\A:b", 0, FolderProblem::kBadCharacter},
        {"C:\\A/b", 0, FolderProblem::kBadCharacter},
        {"C:\\A\tb", 0, FolderProblem::kBadCharacter},
        {c250.substr(0, 242), 0, FolderProblem::kNone},  // + "\\Uninstal.inf" = 255
        {c250.substr(0, 243), 0, FolderProblem::kTooLong},
        {c250.substr(0, 200), 54, FolderProblem::kNone},
        {c250.substr(0, 200), 55, FolderProblem::kTooLong},
    };
    for (const auto& [folder, longest, problem] : rows)
        EXPECT_EQ(kq::InstallFolderProblem(folder.c_str(), longest), problem) << folder << " " << longest;
}

TEST(ProfileText, ReadsValuesAsTheInstallerDoes) {
    const std::string twice = "[Install]\r\nAppName=One\r\n[install]\r\nAppName=Two\r\nVerNum=2\r\n";
    const char with_nul[] = "[S]\nnul=x\0y\nafter=4";
    const std::string nul(with_nul, sizeof with_nul - 1);
    const std::tuple<std::string, const char*, const char*, std::string> rows[] = {
        {twice, "INSTALL", "appname", "One"}, {twice, "Install", "VerNum", ""},  // only the first section counts
        {"[S]\nk=first\nK=second\n", "S", "k", "first"}, {"[S]\nbare\nbare=late\n", "S", "bare", ""},
        {"  [ S ]  \n  Spaced Key  =\t v  \n", "S", "Spaced Key", "v"}, {"[S]\nq=\" x \"\n", "S", "q", " x "},
        {"[S]\ns='single'\n", "S", "s", "single"}, {"[S]\nhalf=\"open\n", "S", "half", "\"open"},
        {"[S]\ninner=\"a\"b\"\n", "S", "inner", "a\"b"}, {"[S]\rcr=1\nlf=2\r\ncrlf=3\n", "S", "crlf", "3"},
        {nul, "S", "nul", "x"}, {nul, "S", "after", "4"}, {"[A]\n[Broken\nb=1\n", "A", "b", "1"},
        {"[Links]trailing\nl=2\n", "Links", "l", "2"}, {"\xEF\xBB\xBF[Install]\nAppName=x\n", "Install", "AppName", "x"},
        {"[S]\nv=" + std::string(300, 'v') + "\n", "S", "v", std::string(254, 'v')},
    };
    for (const auto& [text, section, key, value] : rows)
        EXPECT_EQ(kqpack::ProfileText::Parse(text).ReadText(section, key), value) << text;
    const std::pair<const char*, int32_t> integers[] = {{"3abc", 3}, {"-1", -1}, {"+5", 5}, {"0x8", 8}, {"abc", 0},
                                                        {"99999999999", 1215752191}, {"", 7}};
    for (const auto& [text, value] : integers) EXPECT_EQ(kqpack::ProfileIntFromText(text, 7), value) << text;
}

TEST(StoredName, UsesBackslashesAndRefusesNamesThatCouldLeaveTheFolder) {
    const std::string longest = std::string(100, 'd') + "/" + std::string(154, 'f');
    const std::pair<std::string, std::string> rows[] = {
        {"sub/dir/a.txt", "sub\\dir\\a.txt"}, {"./sub//a.txt", "sub\\a.txt"}, {"sub\\a.txt", "sub\\a.txt"},
        {"a/..b/c...", "a\\..b\\c..."}, {"./" + longest, std::string(100, 'd') + "\\" + std::string(154, 'f')},
        {longest + "g", ""}, {"/etc/passwd", ""}, {"\\Windows\\x.dll", ""}, {"C:x.txt", ""}, {"../x", ""},
        {"a/../../x", ""}, {"a\\..\\x", ""}, {"..", ""}, {"", ""}, {".", ""}, {"sub/", ""}, {"sub/.", ""},
    };
    for (const auto& [path, stored] : rows) {
        std::string got;
        try {
            got = kqpack::StoredNameFor(path);
        } catch (const kqpack::InputError&) {
        }
        EXPECT_EQ(got, stored) << path;
    }
}

// The installer moves through its file with signed 32-bit offsets.
TEST(PackageLength, StopsAtWhatTheInstallerCanReach) {
    EXPECT_NO_THROW(kqpack::CheckProgramLength(0x7FFFFFFF, "setup.exe"));
    EXPECT_THROW(kqpack::CheckProgramLength(0x80000000, "setup.exe"), kqpack::InputError);
}

TEST(FileGlobs, MatchWithinNamesAndAcrossFoldersButNotHiddenNames) {
    const std::tuple<const char*, const char*, bool> rows[] = {
        {"*.txt", "a.txt", true}, {"*.txt", "doc/a.txt", false}, {"doc/?.txt", "doc/a.txt", true},
        {"**/*.txt", "a.txt", true}, {"**/*.txt", "doc/deep/c.txt", true}, {"doc/**", "doc/deep/c.txt", true},
        {"doc/**/c.txt", "doc/c.txt", true}, {"a*b*c", "axxbyybzc", true}, {"a*b*c", "axxbyyb", false},
        {"doc/*", "doc/.hidden.txt", false}, {"**/c.txt", ".git/c.txt", false}, {"doc/.*", "doc/.hidden.txt", true},
    };
    for (const auto& [pattern, path, match] : rows) EXPECT_EQ(kqpack::GlobMatches(pattern, path), match) << pattern << " " << path;
}

TEST(PackageJson, EscapesAnsiNamesAsUnicode) {
    EXPECT_EQ(kqpack::JsonString("caf\xE9 \x80\x81\n\\\""), "\"caf\\u00E9 \\u20AC\\u0081\\u000A\\\\\\\"\"");
}

}  // namespace
