// Project files, folder globs, the packaged script's generated keys, and the
// commands built on them: build from a project, check, list --json.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "file_globs.h"
#include "file_io.h"
#include "package/package_reader.h"
#include "package/record_format.h"
#include "package_json.h"
#include "package_writer.h"
#include "project_build.h"
#include "project_file.h"
#include "script_rewrite.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

template <typename F>
std::string InputErrorOf(F&& f) {
    try {
        f();
    } catch (const kqpack::InputError& e) {
        return e.message;
    }
    ADD_FAILURE() << "no InputError thrown";
    return {};
}

class Project : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("kqproject_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteText(dir_ / "stub.bin", std::string(kq::kStubLength, 'S'));
        WriteText(dir_ / "setup.inf", "; the author's comment\r\n[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\n\r\n"
                                      "[Links]\r\nlinka=bin\\app.exe\r\nlinkfilea=Demo.lnk\r\n");
        WriteText(dir_ / "license.txt", "Terms\r\n");
        WriteText(dir_ / "files/bin/app.exe", "program");
        WriteText(dir_ / "files/doc/b.txt", "b");
        WriteText(dir_ / "files/doc/a.txt", "a");
        WriteText(dir_ / "files/doc/deep/c.txt", "c");
        WriteText(dir_ / "files/doc/.hidden.txt", "hidden");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path WriteProject(const std::string& files, const std::string& extra = "") const {
        const fs::path file = dir_ / "demo.kqp";
        WriteText(file, "[Project]\nstub=stub.bin\nscript=setup.inf\nlicense=license.txt\noutput=out/demo.exe\n"
                        "root=files\n" + extra + "\n[Files]\n" + files);
        return file;
    }

    struct Run {
        int exit_code;
        std::string out;
        std::string err;
    };

    Run RunKqpack(const std::string& args) const {
        const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        const std::string command =
            "cd '" + dir_.string() + "' && '" + KQ_KQPACK + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status)) << command;
        return {WEXITSTATUS(status), ReadText(out), ReadText(err)};
    }

    fs::path dir_;
};

TEST(FileGlobs, MatchWithinNamesAndAcrossFolders) {
    EXPECT_TRUE(kqpack::GlobMatches("*.txt", "a.txt"));
    EXPECT_FALSE(kqpack::GlobMatches("*.txt", "doc/a.txt"));
    EXPECT_TRUE(kqpack::GlobMatches("doc/?.txt", "doc/a.txt"));
    EXPECT_TRUE(kqpack::GlobMatches("**/*.txt", "a.txt"));
    EXPECT_TRUE(kqpack::GlobMatches("**/*.txt", "doc/deep/c.txt"));
    EXPECT_TRUE(kqpack::GlobMatches("doc/**", "doc/deep/c.txt"));
    EXPECT_TRUE(kqpack::GlobMatches("doc/**/c.txt", "doc/c.txt"));
    EXPECT_TRUE(kqpack::GlobMatches("a*b*c", "axxbyybzc"));
    EXPECT_FALSE(kqpack::GlobMatches("a*b*c", "axxbyyb"));
    // Hidden names only where the pattern names them.
    EXPECT_FALSE(kqpack::GlobMatches("doc/*", "doc/.hidden.txt"));
    EXPECT_FALSE(kqpack::GlobMatches("**/c.txt", ".git/c.txt"));
    EXPECT_TRUE(kqpack::GlobMatches("doc/.*", "doc/.hidden.txt"));
}

TEST(FileGlobs, InstallOrderPutsSubfolderFilesBeforeAFoldersOwn) {
    std::vector<std::string> paths = {"b.txt", "doc/z.txt", "doc/en/b.txt", "a.txt", "doc/de/x/y.txt", "doc/a.txt"};
    std::sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) { return kqpack::InstallOrderLess(a, b); });
    EXPECT_EQ(paths, (std::vector<std::string>{"doc/de/x/y.txt", "doc/en/b.txt", "doc/a.txt", "doc/z.txt", "a.txt",
                                               "b.txt"}));
}

TEST_F(Project, PatternsExpandInInstallOrderWithoutHiddenNames) {
    const fs::path root = dir_ / "files";
    EXPECT_EQ(kqpack::ExpandPattern(root, "doc/*.txt"), (std::vector<std::string>{"doc/a.txt", "doc/b.txt"}));
    EXPECT_EQ(kqpack::ExpandPattern(root, "doc"),
              (std::vector<std::string>{"doc/deep/c.txt", "doc/a.txt", "doc/b.txt"}));
    EXPECT_EQ(kqpack::ExpandPattern(root, "**/c.txt"), std::vector<std::string>{"doc/deep/c.txt"});
    EXPECT_EQ(kqpack::ExpandPattern(root, "doc\\.hidden.txt"), std::vector<std::string>{"doc/.hidden.txt"});
    EXPECT_TRUE(kqpack::ExpandPattern(root, "*.none").empty());
    EXPECT_NE(InputErrorOf([&] { kqpack::ExpandPattern(root, "../setup.inf"); }).find(".."), std::string::npos);
    EXPECT_NE(InputErrorOf([&] { kqpack::ExpandPattern(root, "/etc/passwd"); }).find("relative"), std::string::npos);
    EXPECT_NE(InputErrorOf([&] { kqpack::ExpandPattern(root, "nothing.txt"); }).find("no such"), std::string::npos);
}

TEST_F(Project, FilesComeInListOrderWithCopyModesAndFirstPlacesKept) {
    const kqpack::Project project =
        kqpack::LoadProject(WriteProject("bin/app.exe = keep\ndoc/b.txt\ndoc = 2\n; comment\n"));
    EXPECT_EQ(project.stub, dir_ / "stub.bin");
    EXPECT_EQ(project.root, dir_ / "files");
    const std::vector<kqpack::ProjectFile> files = kqpack::ExpandProjectFiles(project);
    std::vector<std::string> names;
    std::vector<int32_t> modes;
    for (const auto& f : files) {
        names.push_back(f.stored_name);
        modes.push_back(f.copy_mode);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"bin\\app.exe", "doc\\b.txt", "doc\\deep\\c.txt", "doc\\a.txt"}));
    EXPECT_EQ(modes, (std::vector<int32_t>{3, 1, 2, 2}));
    EXPECT_EQ(files[1].origin.line, 10u);
}

TEST_F(Project, RefusesMistakesNamingTheLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bin/app.exe = sometimes\n", "demo.kqp:9: 'sometimes' is not a copy mode"},
        {"*.none\n", "demo.kqp:9: *.none: matches no file"},
        {"bin/app.exe\nbin/app.exe\n", "demo.kqp:10: bin/app.exe is listed twice"},
        {"../setup.inf\n", "demo.kqp:9: ../setup.inf: '..'"},
    };
    for (const auto& [files, message] : cases) {
        const fs::path file = WriteProject(files);
        const std::string error = InputErrorOf([&] { kqpack::ExpandProjectFiles(kqpack::LoadProject(file)); });
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
    EXPECT_NE(InputErrorOf([&] { kqpack::LoadProject(WriteProject("", "stubb=x\n")); }).find("demo.kqp:7: [Project] has no key 'stubb'"),
              std::string::npos);
    WriteText(dir_ / "odd.kqp", "[Project]\nscript=s\nlicense=l\n[Extra]\n");
    EXPECT_NE(InputErrorOf([&] { kqpack::LoadProject(dir_ / "odd.kqp"); }).find("odd.kqp:4: unknown section [Extra]"),
              std::string::npos);
    WriteText(dir_ / "bare.kqp", "[Project]\nscript=s\n");
    EXPECT_NE(InputErrorOf([&] { kqpack::LoadProject(dir_ / "bare.kqp"); }).find("license="), std::string::npos);
}

TEST(ScriptRewrite, WritesFileNumAndCopymodeLeavingTheAuthorsLinesAlone) {
    const std::string author = "; comment\r\n[Install]\r\nAppName=A\r\nfilenum = 9\r\nDefDir=A\r\n\r\n"
                               "[Copymode]\r\n; modes\r\nfilea=3\r\nFILEC=2\r\n[Links]\r\nlinka=x\r\n";
    const kqpack::GeneratedScript out = kqpack::WriteGeneratedKeys(
        kqpack::ProfileText::Parse(author), "setup.inf", {'a', 'b'}, {8, 1},
        {{"p.kqp", 20}, {"p.kqp", 21}}, {"p.kqp", 19});
    EXPECT_EQ(out.text, "; comment\r\n[Install]\r\nAppName=A\r\nfilenum=2\r\nDefDir=A\r\n\r\n"
                        "[Copymode]\r\nfilea=8\r\nfileb=1\r\n; modes\r\n[Links]\r\nlinka=x\r\n");
    ASSERT_EQ(out.line_origins.size(), 12u);
    EXPECT_EQ(out.line_origins[3].file, "setup.inf");  // FileNum stays on the author's line
    EXPECT_EQ(out.line_origins[3].line, 4u);
    EXPECT_EQ(out.line_origins[8].file, "p.kqp");      // fileb comes from the project's line
    EXPECT_EQ(out.line_origins[8].line, 21u);
    EXPECT_EQ(out.line_origins[9].line, 8u);           // "; modes" keeps its own number
    ASSERT_EQ(out.notices.size(), 2u);
    EXPECT_EQ(kqpack::FormatFinding(out.notices[0]),
              "setup.inf:4: note: [Install] FileNum: set to 2 in the package, for the files the project lists");
    EXPECT_NE(kqpack::FormatFinding(out.notices[1]).find("setup.inf:7: warning: [Copymode]: filea, FILEC replaced"),
              std::string::npos);
}

TEST(ScriptRewrite, AddsWhatIsMissingWithTheScriptsLineBreaks) {
    const kqpack::GeneratedScript out = kqpack::WriteGeneratedKeys(
        kqpack::ProfileText::Parse("[Install]\nAppName=A\n\n[Links]\nlinka=x"), "s.inf", {'b'}, {3}, {}, {"p.kqp", 9});
    EXPECT_EQ(out.text, "[Install]\nAppName=A\nFileNum=1\n\n[Links]\nlinka=x\n\n[Copymode]\nfileb=3\n");
    EXPECT_TRUE(out.notices.empty());
    const kqpack::GeneratedScript bare =
        kqpack::WriteGeneratedKeys(kqpack::ProfileText::Parse(""), "s.inf", {}, {}, {}, {"p.kqp", 9});
    EXPECT_EQ(bare.text, "[Install]\r\nFileNum=0\r\n\r\n[Copymode]\r\n");
}

TEST_F(Project, GeneratedCopymodeKeysFollowTheAuthorsUninstallKeys) {
    WriteText(dir_ / "setup.inf", "[Install]\nAppName=Demo\nDefDir=Demo\n[Uninstall]\nfilea=C:\\old\n");
    const kqpack::PreparedProject prepared = kqpack::PrepareProject(WriteProject("bin/app.exe = keep\n"));
    EXPECT_NE(prepared.script.text.find("[Copymode]\nfileb=3\n"), std::string::npos) << prepared.script.text;
}

TEST_F(Project, BuildWritesThePackageAndLeavesTheAuthorsScript) {
    const std::string author = ReadText(dir_ / "setup.inf");
    kqpack::ProjectBuildOptions options;
    options.project = WriteProject("bin/app.exe\ndoc/*.txt = ask\n");
    std::ostringstream findings;
    kqpack::BuildProject(options, findings);
    EXPECT_EQ(findings.str(), "");
    EXPECT_EQ(ReadText(dir_ / "setup.inf"), author);

    const std::string program = ReadText(dir_ / "out/demo.exe");
    const kq::PackageWalk walk =
        kq::WalkPackage(std::span(reinterpret_cast<const uint8_t*>(program.data()), program.size()));
    ASSERT_EQ(walk.error, "");
    ASSERT_EQ(walk.records.size(), 5u);
    const std::vector<uint8_t> script = kq::DecodeRecordBytes(walk.records[0]);
    EXPECT_EQ(std::string(script.begin(), script.end()),
              author.substr(0, author.find("\r\n\r\n")) + "\r\nFileNum=3\r\n" + author.substr(author.find("\r\n\r\n") + 2) +
                  "\r\n[Copymode]\r\nfilea=1\r\nfileb=2\r\nfilec=2\r\n");
    EXPECT_EQ(walk.records[3].stored_name, "doc\\a.txt");
    EXPECT_EQ(walk.records[4].stored_name, "doc\\b.txt");
}

TEST_F(Project, BuildRefusesOnErrorsAndUnderStrictOnWarningsWritingNothing) {
    kqpack::ProjectBuildOptions options;
    options.project = WriteProject("doc/a.txt\n");  // the link target bin\app.exe is not packaged
    std::ostringstream findings;
    kqpack::BuildProject(options, findings);
    EXPECT_NE(findings.str().find("setup.inf:7: warning: [Links] linka"), std::string::npos) << findings.str();
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");

    options.strict = true;
    const std::string refusal = InputErrorOf([&] { kqpack::BuildProject(options, findings); });
    EXPECT_NE(refusal.find("demo.kqp: 0 errors, 1 warning (--strict); no package written"), std::string::npos) << refusal;
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));

    // Lines after the added FileNum still carry the author's numbers.
    WriteText(dir_ / "setup.inf", "[Install]\nDefDir=Demo\n\n[Links]\nlinka=doc\\a.txt\nlinkfilea=A\n");
    options.strict = false;
    std::ostringstream errors;
    InputErrorOf([&] { kqpack::BuildProject(options, errors); });
    EXPECT_NE(errors.str().find("setup.inf:1: error: [Install] AppName"), std::string::npos) << errors.str();
    EXPECT_NE(errors.str().find("setup.inf:6: warning: [Links] linkfilea"), std::string::npos) << errors.str();
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST(ProjectExample, BuildsTwiceToTheSameBytes) {
    const fs::path example = fs::path(KQ_TEST_DATA) / "../../examples/hello/hello.kqp";
    const fs::path scratch = fs::temp_directory_path() / ("kqproject_example_" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    WriteText(scratch / "stub.bin", std::string(kq::kStubLength, 'S'));
    std::ostringstream findings;
    for (const char* name : {"one.exe", "two.exe"}) {
        kqpack::ProjectBuildOptions options{example, scratch / "stub.bin", scratch / name, true};
        kqpack::BuildProject(options, findings);
    }
    EXPECT_EQ(findings.str(), "");
    const std::string one = ReadText(scratch / "one.exe");
    EXPECT_GT(one.size(), kq::kStubLength);
    EXPECT_EQ(one, ReadText(scratch / "two.exe"));
    fs::remove_all(scratch);
}

TEST(PackageJson, EscapesAnsiNamesAsUnicode) {
    EXPECT_EQ(kqpack::JsonString("a\\b\"c"), "\"a\\\\b\\\"c\"");
    EXPECT_EQ(kqpack::JsonString("caf\xE9 \x80\x81\n"), "\"caf\\u00E9 \\u20AC\\u0081\\u000A\"");
}

TEST_F(Project, ListJsonNamesEachFilesKeyAndCopyMode) {
    kqpack::ProjectBuildOptions options;
    options.project = WriteProject("bin/app.exe = windows\ndoc/a.txt = keep\n");
    std::ostringstream findings, json;
    kqpack::BuildProject(options, findings);
    kqpack::ListPackageJson(dir_ / "out/demo.exe", json);
    const std::string text = json.str();
    EXPECT_NE(text.find("\"file_num\": 2"), std::string::npos) << text;
    EXPECT_NE(text.find("\"role\": \"licence\", \"name\": \"License.txt\""), std::string::npos);
    EXPECT_NE(text.find("\"name\": \"bin\\\\app.exe\""), std::string::npos);
    EXPECT_NE(text.find("\"uninstall_key\": \"filea\", \"copy_mode\": 8"), std::string::npos);
    EXPECT_NE(text.find("\"uninstall_key\": \"fileb\", \"copy_mode\": 3"), std::string::npos);
}

TEST_F(Project, CliCheckExitsOneOnlyForErrorsOrStrictWarnings) {
    WriteText(dir_ / "good.inf", "[Install]\nAppName=A\nDefDir=A\nFileNum=1\n");
    Run run = RunKqpack("check good.inf app.exe");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "good.inf: 0 errors, 0 warnings\n");

    WriteText(dir_ / "warn.inf", "[Install]\nAppName=A\nDefDir=A\nFileNum=1\nDesk=1\n");
    run = RunKqpack("check warn.inf app.exe");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_NE(run.err.find("warn.inf:5: warning: [Install] Desk"), std::string::npos) << run.err;
    EXPECT_EQ(RunKqpack("check --strict warn.inf app.exe").exit_code, 1);

    run = RunKqpack("check good.inf a.exe b.exe");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("good.inf:4: error: [Install] FileNum: 1, but 2 files"), std::string::npos) << run.err;
}

TEST_F(Project, CliChecksABuiltPackageAgainstItsRecords) {
    // A package whose script says one file but that carries two.
    std::vector<uint8_t> program(kq::kStubLength, 'S');
    const std::vector<std::pair<std::string, std::string>> records = {
        {"kqsetup.inf", "[Install]\r\nAppName=A\r\nDefDir=A\r\nFileNum=1\r\n"}, {"License.txt", "Terms\r\n"},
        {"a.txt", "a"}, {"..\\b.txt", "b"}};
    for (const auto& [name, contents] : records) {
        const std::vector<uint8_t> record =
            kqpack::MakeRecord({name, std::vector<uint8_t>(contents.begin(), contents.end()), {0x21, 0}, 0x20});
        program.insert(program.end(), record.begin(), record.end());
        program[0] = 'M';
        program[1] = 'Z';
    }
    WriteText(dir_ / "setup.exe", std::string(program.begin(), program.end()));
    const Run run = RunKqpack("check setup.exe");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("setup.exe[kqsetup.inf]:4: error: [Install] FileNum: 1, but 2 files are packaged"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("setup.exe[record 3]: error: \"..\\b.txt\": cannot be installed"), std::string::npos)
        << run.err;
}

TEST_F(Project, CliBuildsFromAProjectAndEveryCommandHasHelp) {
    WriteProject("bin/app.exe\n");
    Run run = RunKqpack("build demo.kqp -o other.exe");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir_ / "other.exe"));
    EXPECT_FALSE(fs::exists(dir_ / "out/demo.exe"));
    run = RunKqpack("list --json other.exe");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out.rfind("{\n  \"stub_length\": 43008,", 0), 0u) << run.out;

    for (const char* command : {"build", "check", "list", "extract", "lzhuf"}) {
        run = RunKqpack(std::string(command) + " --help");
        EXPECT_EQ(run.exit_code, 0) << command;
        EXPECT_NE(run.out.find(std::string("kqpack ") + command), std::string::npos) << command;
    }
    run = RunKqpack("check --bogus x");
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_NE(run.err.find("kqpack check [--strict]"), std::string::npos) << "the command's own help follows";
    EXPECT_EQ(RunKqpack("build a.kqp b.kqp").exit_code, 2);
    EXPECT_EQ(RunKqpack("list --json").exit_code, 2);
}

}  // namespace
