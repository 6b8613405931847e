// The kqpack command as a user runs it: one fixture starts the built binary in
// a scratch folder (in a time zone east of UTC, so local time shows) and
// captures its exit code, stdout and stderr.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "common/damaged_records.h"
#include "package/record_format.h"
#include "packing/package_writer.h"

namespace fs = std::filesystem;

namespace {

class KqpackCli : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kqpack_" + std::to_string(::getpid()) + "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "out");
        Write("stub.bin", "MZ" + std::string(kq::kStubLength - 2, 'S'));
        Write("setup.inf", "[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\nFileNum=1\r\n");
        Write("license.txt", "Terms\r\n");
        Write("files/app.exe", "program");
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Write(const std::string& name, const std::string& bytes) const {
        fs::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const fs::path& path) const {
        std::ifstream in(dir_ / path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Every file below `folder` with its contents: what a command left.
    std::map<std::string, std::string> Tree(const std::string& folder = ".") const {
        std::map<std::string, std::string> tree;
        for (const auto& entry : fs::recursive_directory_iterator(dir_ / folder))
            if (entry.is_regular_file()) tree[fs::relative(entry.path(), dir_ / folder).string()] = Read(entry.path());
        return tree;
    }
    // A wall-clock time of the command's zone, UTC+5:30, as a file's time.
    void SetTime(const std::string& name, int year, int month, int day, int hour, int minute, int second) const {
        std::tm tm{second, minute, hour, day, month - 1, year - 1900, 0, 0, 0, 0, nullptr};
        const timespec times[2] = {{::timegm(&tm) - 19800, 0}, {::timegm(&tm) - 19800, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir_ / name).c_str(), times, 0), 0);
    }
    // A project file: its [Files] lines start at line 9.
    void WriteProject(const std::string& name, const std::string& files, const std::string& script = "setup.inf") const {
        Write(name, "[Project]\nstub=stub.bin\nscript=" + script +
                        "\nlicense=license.txt\noutput=out/demo.exe\nroot=files\n\n[Files]\n" + files);
    }
    // A setup program whose records the tool's own record writer makes.
    std::string Program(const std::vector<std::pair<std::string, std::string>>& records) const {
        std::string program = Read("stub.bin");
        for (const auto& [name, text] : records) {
            const std::vector<uint8_t> r = kqpack::MakeRecord({name, {text.begin(), text.end()}, {0x21, 0}, 0x20});
            program.append(r.begin(), r.end());
        }
        return program;
    }

    struct Result { int exit_code; std::string out, err; };
    Result Kqpack(const std::string& args, const std::string& environment = "TZ=KQT-5:30") const {
        const std::string out = dir_.string() + ".out", err = dir_.string() + ".err";
        const int status = std::system(("cd '" + dir_.string() + "' && " + environment + " '" KQ_KQPACK "' " + args +
                                        " >'" + out + "' 2>'" + err + "'").c_str());
        EXPECT_TRUE(WIFEXITED(status)) << args;
        Result result{WEXITSTATUS(status), Read(out), Read(err)};
        fs::remove(out);
        fs::remove(err);
        return result;
    }

    fs::path dir_;
};

const std::string kBuild = "build --stub stub.bin --script setup.inf --license license.txt -o out/setup.exe -C files ";

TEST_F(KqpackCli, BuildPackagesFilesThatListAndExtractUnchanged) {
    std::string bulk;
    for (unsigned i = 0; bulk.size() < 9000; ++i) bulk += std::to_string(i * 2654435761u);  // more than one 4095-byte piece
    Write("files/data/bulk.bin", bulk);
    Write("files/readme.txt", "Read me.\r\n");
    Write("files/old.dat", "");
    Write("files/future.dat", "x");
    Write("setup.inf", "[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\nCompReg=Demo\r\nFileNum=4\r\n"
                       "[Links]\r\nlinka=readme.txt\r\nlinkfilea=Read me.lnk\r\n");
    SetTime("files/readme.txt", 1999, 12, 31, 23, 59, 59);
    SetTime("files/old.dat", 1975, 6, 1, 12, 0, 0);
    SetTime("files/future.dat", 2150, 6, 1, 12, 0, 0);
    for (const char* read_only : {"files/readme.txt", "setup.inf", "license.txt"})
        fs::permissions(dir_ / read_only, fs::perms::owner_read | fs::perms::group_read);

    Result run = Kqpack(kBuild + "data/bulk.bin readme.txt old.dat future.dat");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err.rfind("kqpack: wrote out/setup.exe: 4 files, ", 0), 0u) << run.err;
    // The stub as it is, but for the mark of a package with an integrity record.
    EXPECT_EQ(Read("out/setup.exe").substr(0, kq::kStubLength), Read("stub.bin").replace(0x28, 4, "KQI1"));
    EXPECT_EQ(Kqpack("verify out/setup.exe").exit_code, 0);
    EXPECT_NE(fs::status(dir_ / "out/setup.exe").permissions() & fs::perms::owner_exec, fs::perms::none);

    // Local wall-clock time, odd seconds dropped, clamped to the DOS years;
    // read-only where nobody may write the file, but never the script and
    // the licence, which the installer stages and writes to.
    run = Kqpack("list out/setup.exe");
    for (const char* line : {"  1999-12-31  23:59:58  AR    readme.txt\n", "  1980-01-01  00:00:00  A     old.dat\n",
                             "  2107-12-31  23:59:58  A     future.dat\n", "  data\\bulk.bin\n", "\n6 records, ",
                             "  A     kqsetup.inf\n", "  A     License.txt\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << " in\n" << run.out;

    ASSERT_EQ(Kqpack("extract out/setup.exe x").exit_code, 0);
    std::map<std::string, std::string> expected = Tree("files");
    expected.erase("app.exe");
    expected["kqsetup.inf"] = Read("setup.inf");
    expected["License.txt"] = Read("license.txt");
    EXPECT_TRUE(Tree("x") == expected);
}

TEST_F(KqpackCli, FailedCommandsExitOneAndChangeNothing) {
    Write("short.bin", std::string(kq::kStubLength - 1, 'S'));
    Write("bad.inf", "[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\nFileNum=2\r\n");
    Write("warn.inf", "[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\nFileNum=1\r\nDesk=1\r\n");
    Write("out/setup.exe", "previous output");
    Write("short.lzh", "abc");
    Write("huge.lzh", "\xFF\xFF\xFF\xFF");
    Write("damaged.exe", Read("stub.bin") + kqtest::DamagedPackages().front().package);
    Write("evil.exe", Program({{"kqsetup.inf", "[Install]\r\n"}, {"License.txt", "Terms\r\n"}, {"..\\evil.txt", "evil"}}));
    WriteProject("mode.kqp", "app.exe = sometimes\n");
    WriteProject("none.kqp", "*.none\n");
    WriteProject("twice.kqp", "app.exe\napp.exe\n");
    WriteProject("up.kqp", "../setup.inf\n");
    Write("key.kqp", "[Project]\nstubb=stub.bin\n");
    WriteProject("warn.kqp", "app.exe\n", "warn.inf");
    // FileNum is added to the packaged script; findings keep the author's line numbers.
    Write("lines.inf", "[Install]\nDefDir=Demo\n\n[Links]\nlinka=app.exe\nlinkfilea=A\n");
    WriteProject("lines.kqp", "app.exe\n", "lines.inf");
    const std::string damaged = "kqpack: damaged.exe: damaged package: record 2 at offset ";

    const std::pair<std::string, std::string> rows[] = {
        {"build --stub short.bin --script setup.inf --license license.txt -o out/setup.exe -C files app.exe",
         "kqpack: short.bin: a stub is exactly 43008 bytes, this one is 43007\n"},
        {kBuild + "../outside.txt", "kqpack: ../outside.txt: names with '..' cannot be stored\n"},
        {kBuild + "missing.txt", "kqpack: files/missing.txt: not a readable regular file\n"},
        {"build --stub stub.bin --script bad.inf --license license.txt -o out/setup.exe -C files app.exe",
         "bad.inf:4: error: [Install] FileNum: 2, but only 1 file is packaged"},
        {"build --strict --stub stub.bin --script warn.inf --license license.txt -o out/setup.exe -C files app.exe",
         "kqpack: warn.inf: 0 errors, 1 warning (--strict); no package written\n"},
        {"build mode.kqp", "mode.kqp:9: error: 'sometimes' is not a copy mode"},
        {"build none.kqp", "none.kqp:9: error: *.none: matches no file"},
        {"build twice.kqp", "twice.kqp:10: error: app.exe is listed twice"},
        {"build up.kqp", "up.kqp:9: error: ../setup.inf: '..'"},
        {"check key.kqp", "key.kqp:2: error: [Project] has no key 'stubb'"},
        {"build --strict warn.kqp", "kqpack: warn.kqp: 0 errors, 1 warning (--strict); no package written\n"},
        {"build lines.kqp", "lines.inf:1: error: [Install] AppName"},
        {"build lines.kqp", "lines.inf:6: warning: [Links] linkfilea"},
        {"list damaged.exe", damaged},
        {"list --json damaged.exe", damaged},
        {"extract damaged.exe x", damaged},
        {"check damaged.exe", damaged},
        {"list no-such.exe", "kqpack: no-such.exe: No such file or directory\n"},
        {"list files", "kqpack: files: "},  // a folder opens like a file and fails only when read
        {"lzhuf -d short.lzh out/x", "kqpack: short.lzh: shorter than the 4-byte size field\n"},
        {"lzhuf -d huge.lzh out/x", "kqpack: huge.lzh: states 4294967295 bytes, more than its code could hold"},
        {"extract evil.exe x", "kqpack: record 2: \"..\\evil.txt\": refusing to extract: it holds '..'"},
        {"lzhuf -e setup.inf nowhere/x.lzh", "kqpack: nowhere/x.lzh: "},  // the output as given, not a temporary
    };
    for (const auto& [args, message] : rows) {
        const std::map<std::string, std::string> before = Tree();
        const Result run = Kqpack(args);
        EXPECT_EQ(run.exit_code, 1) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(("\n" + run.err).find("\n" + message), std::string::npos) << args << ": " << run.err;
        EXPECT_TRUE(Tree() == before) << args;
    }
}

TEST_F(KqpackCli, CheckExitsOneOnlyForErrorsOrStrictWarnings) {
    Write("warn.inf", "[Install]\nAppName=A\nDefDir=A\nFileNum=1\nDesk=1\n");
    Write("lf.txt", "Terms\r\nmore\n");
    Write("setup.exe", Program({{"kqsetup.inf", "[Install]\r\nAppName=A\r\nDefDir=A\r\nFileNum=1\r\n"},
                                {"License.txt", "Terms\r\n"}, {"a.txt", "a"}, {"..\\b.txt", "b"}}));
    // Record 2 states 40 bytes more than its code holds: the walk accepts it,
    // decoding it does not.
    std::string cut = Program({{"kqsetup.inf", "[Install]\r\nAppName=A\r\nDefDir=A\r\nFileNum=1\r\n"},
                               {"License.txt", "Terms\r\n"}, {"a.txt", "Some text to code."}});
    cut[cut.rfind("a.txt") + 5] += 40;  // the size field follows the name
    Write("cut.exe", cut);
    // The findings, then the summary, on one stream.
    struct Row { const char* args; int exit_code; const char* summary; const char* finding; };
    const Row rows[] = {
        {"check setup.inf app.exe", 0, "setup.inf: 0 errors, 0 warnings\n", ""},
        {"check -C files setup.inf app.exe nope.exe", 1, "setup.inf: 2 errors", "nope.exe: error: not a file under files"},
        {"check warn.inf app.exe", 0, "warn.inf: 0 errors, 1 warning\n", "warn.inf:5: warning: [Install] Desk: asks"},
        {"check --strict warn.inf app.exe", 1, "warn.inf: 0 errors, 1 warning; check failed\n", "warn.inf:5: warning:"},
        {"check setup.inf a.exe b.exe", 1, "setup.inf: 1 error, 0 warnings; check failed\n",
         "setup.inf:4: error: [Install] FileNum: 1, but 2 files are packaged"},
        {"check --license lf.txt setup.inf app.exe", 0, "setup.inf: 0 errors, 1 warning\n", "lf.txt:2: warning: line ends are a bare LF"},
        {"check setup.exe", 1, "setup.exe: 2 errors, 0 warnings; check failed\n",
         "setup.exe[kqsetup.inf]:4: error: [Install] FileNum: 1, but 2 files are packaged"},
        {"check setup.exe", 1, "setup.exe: 2 errors", "setup.exe[record 3]: error: \"..\\b.txt\": cannot be installed"},
        {"check cut.exe", 1, "cut.exe: 1 error", "cut.exe[record 2]: error: \"a.txt\": damaged: its code ends before"},
    };
    // A stored name cannot send the terminal escape sequences.
    Write("esc.exe", Program({{"kqsetup.inf", "[Install]\r\n"}, {"License.txt", "T\r\n"}, {"a\x1B[2Jb.txt", "x"}}));
    EXPECT_NE(Kqpack("list esc.exe").out.find("  a\\x1B[2Jb.txt\n"), std::string::npos);
    for (const Row& row : rows) {
        const Result run = Kqpack(row.args);
        EXPECT_EQ(run.exit_code, row.exit_code) << row.args;
        EXPECT_EQ(run.err.find(row.summary), run.err.rfind('\n', run.err.size() - 2) + 1) << row.args << ": " << run.err;
        EXPECT_NE(run.err.find(row.finding), std::string::npos) << row.args << ": " << run.err;
    }
}

TEST_F(KqpackCli, ProjectBuildsItsFilesInOrderWithGeneratedKeys) {
    const std::string author = "; the author's comment\r\n[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\nCompReg=Demo\r\n\r\n"
                               "[Links]\r\nlinka=bin\\app.exe\r\nlinkfilea=Demo.lnk\r\n";
    Write("setup.inf", author);
    for (const char* name : {"bin/app.exe", "doc/b.txt", "doc/a.txt", "doc/deep/c.txt", "doc/.hidden.txt"})
        Write(std::string("files/") + name, name);
    // doc/b.txt keeps its first place; a subfolder's files go before a folder's own.
    WriteProject("demo.kqp", "bin/app.exe = keep ; the program\ndoc/b.txt # first\ndoc = ask\n");
    Result run = Kqpack("build --quiet demo.kqp");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Read("setup.inf"), author);

    run = Kqpack("list --json out/demo.exe");
    size_t at = 0;
    for (const char* part : {"\"file_num\": 4,", "\"bin\\\\app.exe\"", "\"filea\", \"copy_mode\": 3}", "\"doc\\\\b.txt\"",
                             "\"fileb\", \"copy_mode\": 1}", "\"doc\\\\deep\\\\c.txt\"", "\"filec\", \"copy_mode\": 2}",
                             "\"doc\\\\a.txt\"", "\"filed\", \"copy_mode\": 2}"}) {
        at = run.out.find(part, at);
        ASSERT_NE(at, std::string::npos) << part << " in order in\n" << run.out;
    }
    EXPECT_EQ(run.out.find(".hidden"), std::string::npos);

    // The author's lines stay in place; FileNum and [Copymode] are written in.
    ASSERT_EQ(Kqpack("extract out/demo.exe x").exit_code, 0);
    EXPECT_EQ(Read("x/kqsetup.inf"), "; the author's comment\r\n[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\nCompReg=Demo\r\nFileNum=4\r\n\r\n"
                                     "[Links]\r\nlinka=bin\\app.exe\r\nlinkfilea=Demo.lnk\r\n\r\n"
                                     "[Copymode]\r\nfilea=3\r\nfileb=1\r\nfilec=2\r\nfiled=2\r\n");
    // The same inputs give the same bytes.
    ASSERT_EQ(Kqpack("build demo.kqp -o again.exe").exit_code, 0);
    EXPECT_TRUE(Read("again.exe") == Read("out/demo.exe"));
}

// SOURCE_DATE_EPOCH gives the same bytes in any time zone. An outside
// signer's certificate table leaves the package readable and verifiable; a
// signer that breaks the package gets no output written.
TEST_F(KqpackCli, ReproducibleAndSignedBuilds) {
    fs::copy_file(KQ_SHIPPED_STUB, dir_ / "real.exe");
    const std::string build = "build --stub real.exe --script setup.inf --license license.txt -C files app.exe -o ";
    EXPECT_EQ(Kqpack(build + "a.exe", "TZ=UTC SOURCE_DATE_EPOCH=1700000000").exit_code, 0);
    EXPECT_EQ(Kqpack(build + "b.exe", "TZ=KQT+9 SOURCE_DATE_EPOCH=1700000000").exit_code, 0);
    EXPECT_TRUE(Read("a.exe") == Read("b.exe"));
    ASSERT_EQ(std::system(("cd '" + dir_.string() + "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem "
                           "-out c.pem -days 2 -subj /CN=kqtest >/dev/null 2>&1").c_str()), 0);
    const std::string signer = " --sign-cmd 'osslsigncode sign -certs c.pem -key k.pem -in {in} -out {out} >/dev/null'";
    const Result run = Kqpack(build + "s.exe" + signer);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    for (const char* args : {"list s.exe", "list --json s.exe", "extract s.exe x", "check s.exe", "verify s.exe"})
        EXPECT_EQ(Kqpack(args).exit_code, 0) << args;
    EXPECT_EQ(std::system(("cd '" + dir_.string() + "' && osslsigncode verify -CAfile c.pem -in s.exe >/dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(Kqpack(build + "t.exe --sign-cmd 'cp {in} {out} && printf x >> {out}'").exit_code, 1);
    EXPECT_FALSE(fs::exists(dir_ / "t.exe"));
}

// Installed as `make install` lays it out, kqpack finds the stub itself.
TEST_F(KqpackCli, InstalledToolFindsItsStub) {
    fs::create_directories(dir_ / "prefix/bin");
    fs::create_directories(dir_ / "prefix/share/kqsetup");
    fs::copy_file(KQ_KQPACK, dir_ / "prefix/bin/kqpack");
    fs::copy_file(dir_ / "stub.bin", dir_ / "prefix/share/kqsetup/kqstub.exe");
    Write("p.kqp", "[Project]\nscript=setup.inf\nlicense=license.txt\noutput=o.exe\nroot=files\n[Files]\napp.exe\n");
    EXPECT_EQ(std::system(("cd '" + dir_.string() + "' && prefix/bin/kqpack build --quiet p.kqp").c_str()), 0);
    EXPECT_EQ(Read("o.exe").substr(0x2C, 100), Read("stub.bin").substr(0x2C, 100));  // after the integrity mark
}

TEST_F(KqpackCli, LzhufConvertsLikeTheReferenceCoder) {
    const std::string data = std::string(KQ_TEST_DATA) + "/lzhuf/";
    EXPECT_EQ(Kqpack("lzhuf -e '" + data + "text_345.bin' t.lzh").exit_code + Kqpack("lzhuf -d t.lzh t.bin").exit_code, 0);
    EXPECT_EQ(Read("t.lzh"), Read(data + "text_345.lzh"));
    EXPECT_EQ(Read("t.bin"), Read(data + "text_345.bin"));
}

TEST_F(KqpackCli, UsageErrorsExitTwo) {
    for (const char* args : {"", "frobnicate", "list", "list a b", "extract a", "lzhuf -x a b", "check --bogus x",
                             "build --stub s --script i --license l a.txt", "build --stub", "build a.kqp b.kqp",
                             "build -C x a.kqp", "try a.exe b.exe"}) {
        const Result run = Kqpack(args);
        EXPECT_EQ(run.exit_code, 2) << args;
        EXPECT_EQ(run.err.rfind("kqpack: usage: ", 0), 0u) << args << ": " << run.err;
        EXPECT_LE(std::count(run.err.begin(), run.err.end(), '\n'), 6) << args << ": short, not the whole help";
    }
}

}  // namespace
