// The packaging tool: stored names, record metadata, build/list/extract through
// the library, and exit codes and messages of the command itself.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "file_io.h"
#include "package/package_reader.h"
#include "package/record_format.h"
#include "package_writer.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string ReadText(const fs::path& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out) << path;
}

void WriteText(const fs::path& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> FakeStub(size_t size = kq::kStubLength) {
    std::vector<uint8_t> stub(size);
    for (size_t i = 0; i < size; ++i) stub[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
    return stub;
}

std::vector<uint8_t> RandomBytes(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng() % 7 == 0 ? rng() : 'a' + rng() % 4);
    return bytes;
}

// Local wall-clock time as a time_t.
std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

void SetMtime(const fs::path& path, std::time_t time) {
    const timespec times[2] = {{time, 0}, {time, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Every file under `root`, relative, so tests can tell nothing else was left.
std::vector<std::string> FilesUnder(const fs::path& root) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) names.push_back(fs::relative(entry.path(), root).generic_string());
    std::sort(names.begin(), names.end());
    return names;
}

class Kqpack : public testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("kqpack_test_" + std::to_string(::getpid()) + "_" +
                                            std::to_string(counter++) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "in");
        WriteBytes(dir_ / "in/stub.bin", FakeStub());
        WriteText(dir_ / "in/setup.inf", ScriptFor(0));
        WriteText(dir_ / "in/license.txt", "You may use this.\r\n");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // A sound setup script for `files` files, so that the build's check passes.
    static std::string ScriptFor(size_t files) {
        return "[Install]\r\nAppName=Example\r\nDefDir=Example\r\nFileNum=" + std::to_string(files) + "\r\n";
    }

    kqpack::BuildOptions Options(std::vector<std::string> files) const {
        WriteText(dir_ / "in/setup.inf", ScriptFor(files.size()));
        kqpack::BuildOptions options;
        options.stub = dir_ / "in/stub.bin";
        options.script = dir_ / "in/setup.inf";
        options.license = dir_ / "in/license.txt";
        options.output = dir_ / "out/setup.exe";
        options.base_dir = dir_ / "in/files";
        options.files = std::move(files);
        fs::create_directories(dir_ / "out");
        return options;
    }

    // Builds out/setup.exe from a few varied files.
    void BuildSample() {
        WriteBytes(dir_ / "in/files/data/random.bin", RandomBytes(70000, 1));
        WriteText(dir_ / "in/files/readme.txt", std::string(5000, ' ') + "text after spaces");
        WriteBytes(dir_ / "in/files/empty.dat", {});
        kqpack::BuildPackage(Options({"data/random.bin", "readme.txt", "empty.dat"}));
    }

    struct Run {
        int exit_code;
        std::string out;
        std::string err;
    };

    Run RunKqpack(const std::string& args) const {
        const fs::path out = dir_ / "stdout.txt";
        const fs::path err = dir_ / "stderr.txt";
        const std::string command =
            std::string("'") + KQ_KQPACK + "' " + args + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status)) << command;
        Run run{WEXITSTATUS(status), ReadText(out), ReadText(err)};
        fs::remove(out);
        fs::remove(err);
        return run;
    }

    std::string Quoted(const fs::path& path) const { return "'" + path.string() + "'"; }

    fs::path dir_;
};

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

TEST(StoredName, UsesBackslashesAndDropsDotAndEmptyComponents) {
    EXPECT_EQ(kqpack::StoredNameFor("readme.txt"), "readme.txt");
    EXPECT_EQ(kqpack::StoredNameFor("sub/dir/a.txt"), "sub\\dir\\a.txt");
    EXPECT_EQ(kqpack::StoredNameFor("./sub//a.txt"), "sub\\a.txt");
    EXPECT_EQ(kqpack::StoredNameFor("sub\\a.txt"), "sub\\a.txt");
}

TEST(StoredName, RefusesNamesThatCouldLeaveTheTargetFolder) {
    for (const char* name : {"/etc/passwd", "\\Windows\\x.dll", "C:x.txt", "c:\\x.txt", "../x", "a/../../x",
                             "a\\..\\x", "..", "", ".", "sub/", "sub/."}) {
        EXPECT_THROW(kqpack::StoredNameFor(name), kqpack::InputError) << name;
    }
    // Dots inside a component are an ordinary name.
    EXPECT_EQ(kqpack::StoredNameFor("a/..b/c..."), "a\\..b\\c...");
}

TEST(StoredName, RefusesMoreThan255Bytes) {
    const std::string longest = std::string(100, 'd') + "/" + std::string(154, 'f');
    EXPECT_EQ(kqpack::StoredNameFor(longest).size(), 255u);
    EXPECT_THROW(kqpack::StoredNameFor(longest + "g"), kqpack::InputError);
    // The limit applies to the stored form, after "./" is dropped.
    EXPECT_EQ(kqpack::StoredNameFor("./" + longest).size(), 255u);
}

// Sets the local time zone for one scope and restores the previous one.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* tz) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        had_ = std::getenv("TZ") != nullptr;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~TimeZoneScope() {
        if (had_)
            ::setenv("TZ", saved_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string saved_;
    bool had_ = false;
};

TEST(DosTimestamp, IsTheLocalWallClockTimeClampedToTheDosRange) {
    // Away from UTC, so local and universal time differ.
    const TimeZoneScope zone("KQT-5:30");
    const kq::DosTimestamp t = kqpack::DosTimestampFromTime(LocalTime(2003, 9, 14, 8, 30, 47));
    EXPECT_EQ(t.dos_date, (2003 - 1980) << 9 | 9 << 5 | 14);
    EXPECT_EQ(t.dos_time, 8 << 11 | 30 << 5 | 23);  // two-second units, odd second dropped

    const kq::DosTimestamp early = kqpack::DosTimestampFromTime(LocalTime(1975, 6, 1, 12, 0, 0));
    EXPECT_EQ(early.dos_date, 1 << 5 | 1);
    EXPECT_EQ(early.dos_time, 0);
    const kq::DosTimestamp late = kqpack::DosTimestampFromTime(LocalTime(2150, 6, 1, 12, 0, 0));
    EXPECT_EQ(late.dos_date, 127 << 9 | 12 << 5 | 31);
    EXPECT_EQ(late.dos_time, 23 << 11 | 59 << 5 | 29);
    const kq::DosTimestamp first = kqpack::DosTimestampFromTime(LocalTime(1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(first.dos_date, 1 << 5 | 1);
}

TEST_F(Kqpack, RecordsCarryArchiveAndReadOnlyFromWriteBits) {
    WriteText(dir_ / "in/rw.txt", "x");
    WriteText(dir_ / "in/ro.txt", "y");
    fs::permissions(dir_ / "in/ro.txt",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir_ / "in/rw.txt", fs::perms::owner_read | fs::perms::group_write);
    EXPECT_EQ(kqpack::DosAttributesFor(dir_ / "in/rw.txt"), 0x20);
    EXPECT_EQ(kqpack::DosAttributesFor(dir_ / "in/ro.txt"), 0x21);
}

TEST_F(Kqpack, MakeRecordLengthIsFixedFieldsPlusNamePlusStream) {
    WriteBytes(dir_ / "in/a.bin", RandomBytes(3000, 2));
    SetMtime(dir_ / "in/a.bin", LocalTime(2001, 2, 3, 4, 5, 6));
    const kqpack::RecordSource source = kqpack::LoadRecordSource(dir_ / "in/a.bin", "sub\\a.bin");
    const std::vector<uint8_t> record = kqpack::MakeRecord(source);
    ASSERT_GT(record.size(), 31u);
    EXPECT_EQ(std::string(record.begin(), record.begin() + 4), std::string("KQ1\0", 4));
    EXPECT_EQ(kq::ReadU32(record.data() + 4), record.size());
    EXPECT_EQ(kq::ReadU16(record.data() + 8), (2001 - 1980) << 9 | 2 << 5 | 3);
    EXPECT_EQ(kq::ReadU16(record.data() + 10), 4 << 11 | 5 << 5 | 3);
    EXPECT_EQ(record[12], 0x20);
    EXPECT_EQ(record[13], 9);
    EXPECT_EQ(std::string(record.begin() + 14, record.begin() + 23), "sub\\a.bin");
    EXPECT_EQ(kq::ReadU32(record.data() + 23), 3000u);
}

TEST_F(Kqpack, BuildRoundTripsThroughWalkAndDecode) {
    BuildSample();
    const std::vector<uint8_t> program = ReadBytes(dir_ / "out/setup.exe");
    ASSERT_GE(program.size(), kq::kStubLength);
    EXPECT_TRUE(std::equal(program.begin(), program.begin() + kq::kStubLength, FakeStub().begin()));

    const kq::PackageWalk walk = kq::WalkPackage(program);
    ASSERT_EQ(walk.error, "");
    ASSERT_EQ(walk.records.size(), 5u);
    const std::vector<std::pair<std::string, fs::path>> expected = {
        {"kqsetup.inf", dir_ / "in/setup.inf"},
        {"License.txt", dir_ / "in/license.txt"},
        {"data\\random.bin", dir_ / "in/files/data/random.bin"},
        {"readme.txt", dir_ / "in/files/readme.txt"},
        {"empty.dat", dir_ / "in/files/empty.dat"},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        const kq::PackageRecord& r = walk.records[i];
        EXPECT_EQ(r.stored_name, expected[i].first);
        const std::vector<uint8_t> contents = ReadBytes(expected[i].second);
        EXPECT_EQ(r.uncompressed_size, contents.size()) << r.stored_name;
        EXPECT_EQ(kq::DecodeRecordBytes(r), contents) << r.stored_name;
        EXPECT_EQ(r.record_length, 18 + r.stored_name.size() + r.stream.size());
        EXPECT_EQ(r.attributes, 0x20);
    }
}

TEST_F(Kqpack, BuildStoresModificationTimeAndReadOnly) {
    WriteText(dir_ / "in/files/ro.txt", "read only");
    SetMtime(dir_ / "in/files/ro.txt", LocalTime(1999, 12, 31, 23, 59, 59));
    fs::permissions(dir_ / "in/files/ro.txt", fs::perms::owner_read);
    kqpack::BuildPackage(Options({"ro.txt"}));
    const std::vector<uint8_t> program = ReadBytes(dir_ / "out/setup.exe");
    const kq::PackageWalk walk = kq::WalkPackage(program);
    ASSERT_EQ(walk.records.size(), 3u);
    EXPECT_EQ(walk.records[2].dos_date, (1999 - 1980) << 9 | 12 << 5 | 31);
    EXPECT_EQ(walk.records[2].dos_time, 23 << 11 | 59 << 5 | 29);
    EXPECT_EQ(walk.records[2].attributes, 0x21);
}

TEST_F(Kqpack, BuildRefusesStubOfWrongSizeAndWritesNothing) {
    for (size_t size : {size_t{0}, size_t{kq::kStubLength - 1}, size_t{kq::kStubLength + 1}}) {
        WriteBytes(dir_ / "in/stub.bin", FakeStub(size));
        const std::string message = InputErrorOf([&] { kqpack::BuildPackage(Options({})); });
        EXPECT_NE(message.find(std::to_string(size)), std::string::npos) << message;
        EXPECT_FALSE(fs::exists(dir_ / "out/setup.exe"));
        EXPECT_TRUE(fs::is_empty(dir_ / "out"));
    }
}

TEST_F(Kqpack, BuildRefusesUnstorableNamesWithoutTouchingTheOutput) {
    WriteText(dir_ / "in/files/ok.txt", "ok");
    WriteText(dir_ / "in/outside.txt", "outside");
    const std::string long_dir(130, 'd'), long_file(130, 'f');
    WriteText(dir_ / "in/files" / long_dir / long_file, "deep");
    WriteText(dir_ / "out/setup.exe", "previous output");

    const std::string absolute = (dir_ / "in/outside.txt").string();
    EXPECT_NE(InputErrorOf([&] {
                  kqpack::BuildPackage(Options({"ok.txt", absolute}));
              }).find("absolute"),
              std::string::npos);
    EXPECT_NE(InputErrorOf([&] {
                  kqpack::BuildPackage(Options({"ok.txt", "../outside.txt"}));
              }).find(".."),
              std::string::npos);
    // The name is judged before the file is looked for.
    const std::string absent = (dir_ / "in/absent.txt").string();
    EXPECT_NE(InputErrorOf([&] { kqpack::BuildPackage(Options({absent})); }).find("absolute"),
              std::string::npos);
    EXPECT_NE(InputErrorOf([&] { kqpack::BuildPackage(Options({"../absent.txt"})); }).find(".."),
              std::string::npos);
    EXPECT_NE(InputErrorOf([&] { kqpack::BuildPackage(Options({long_dir + "/" + long_file})); }).find("255"),
              std::string::npos);
    EXPECT_NE(InputErrorOf([&] {
                  kqpack::BuildPackage(Options({"ok.txt", "missing.txt"}));
              }).find("missing.txt"),
              std::string::npos);
    EXPECT_EQ(ReadText(dir_ / "out/setup.exe"), "previous output");
    EXPECT_EQ(FilesUnder(dir_ / "out"), std::vector<std::string>{"setup.exe"});
}

TEST_F(Kqpack, ExtractWritesEveryRecordWithTheSameBytes) {
    BuildSample();
    kqpack::ExtractPackage(dir_ / "out/setup.exe", dir_ / "x");
    EXPECT_EQ(FilesUnder(dir_ / "x"), (std::vector<std::string>{"License.txt", "data/random.bin", "empty.dat",
                                                                "kqsetup.inf", "readme.txt"}));
    EXPECT_EQ(ReadBytes(dir_ / "x/kqsetup.inf"), ReadBytes(dir_ / "in/setup.inf"));
    EXPECT_EQ(ReadBytes(dir_ / "x/License.txt"), ReadBytes(dir_ / "in/license.txt"));
    EXPECT_EQ(ReadBytes(dir_ / "x/data/random.bin"), ReadBytes(dir_ / "in/files/data/random.bin"));
    EXPECT_EQ(ReadBytes(dir_ / "x/readme.txt"), ReadBytes(dir_ / "in/files/readme.txt"));
    EXPECT_TRUE(ReadBytes(dir_ / "x/empty.dat").empty());
}

TEST_F(Kqpack, ExtractRefusesStoredNamesLeavingTheFolder) {
    for (const char* evil : {"..\\evil.txt", "sub\\..\\..\\evil.txt", "\\evil.txt", "C:evil.txt"}) {
        std::vector<uint8_t> program = FakeStub();
        const kqpack::RecordSource source{evil, {'b', 'a', 'd'}, {0x21, 0}, 0x20};
        const std::vector<uint8_t> record = kqpack::MakeRecord(source);
        program.insert(program.end(), record.begin(), record.end());
        WriteBytes(dir_ / "evil.exe", program);
        fs::create_directories(dir_ / "x/inner");
        const std::string message =
            InputErrorOf([&] { kqpack::ExtractPackage(dir_ / "evil.exe", dir_ / "x/inner"); });
        EXPECT_NE(message.find("record 0"), std::string::npos) << message;
        EXPECT_TRUE(FilesUnder(dir_ / "x").empty()) << evil;
    }
}

TEST_F(Kqpack, ListShowsEveryRecordAndTotals) {
    BuildSample();
    std::ostringstream out;
    kqpack::ListPackage(dir_ / "out/setup.exe", out);
    const std::string text = out.str();
    for (const char* name : {"kqsetup.inf", "License.txt", "data\\random.bin", "readme.txt", "empty.dat"})
        EXPECT_NE(text.find(name), std::string::npos) << name;
    EXPECT_NE(text.find("70000"), std::string::npos);
    const uint64_t packed = fs::file_size(dir_ / "out/setup.exe") - kq::kStubLength;
    EXPECT_NE(text.find("5 records"), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(packed) + " bytes packed"), std::string::npos) << text;
}

TEST_F(Kqpack, CliBuildListExtractSucceed) {
    WriteBytes(dir_ / "in/files/sub/a.bin", RandomBytes(9000, 3));
    WriteText(dir_ / "in/setup.inf", ScriptFor(1));
    const fs::path out = dir_ / "out/setup.exe";
    fs::create_directories(out.parent_path());
    Run run = RunKqpack("build --stub " + Quoted(dir_ / "in/stub.bin") + " --script " +
                        Quoted(dir_ / "in/setup.inf") + " --license " + Quoted(dir_ / "in/license.txt") +
                        " -o " + Quoted(out) + " -C " + Quoted(dir_ / "in/files") + " sub/a.bin");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(fs::status(out).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(FilesUnder(dir_ / "out"), std::vector<std::string>{"setup.exe"});

    run = RunKqpack("list " + Quoted(out));
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_NE(run.out.find("sub\\a.bin"), std::string::npos) << run.out;

    run = RunKqpack("extract " + Quoted(out) + " " + Quoted(dir_ / "x"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir_ / "x/sub/a.bin"), ReadBytes(dir_ / "in/files/sub/a.bin"));
}

TEST_F(Kqpack, CliListOfDamagedPackageFailsNamingRecordAndOffset) {
    BuildSample();
    const std::vector<uint8_t> good = ReadBytes(dir_ / "out/setup.exe");
    const kq::PackageWalk walk = kq::WalkPackage(good);
    ASSERT_EQ(walk.records.size(), 5u);
    const uint32_t last = walk.records[4].offset;
    const uint32_t third = walk.records[2].offset;

    struct Damage {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string where;
    };
    std::vector<Damage> cases;
    cases.push_back({"truncated last record",
                     {good.begin(), good.end() - 1},
                     "record 4 at offset " + std::to_string(last)});
    std::vector<uint8_t> zero = good;
    zero[third + 4] = zero[third + 5] = zero[third + 6] = zero[third + 7] = 0;
    cases.push_back({"length 0", zero, "record 2 at offset " + std::to_string(third)});
    std::vector<uint8_t> huge = good;
    huge[third + 4] = huge[third + 5] = huge[third + 6] = huge[third + 7] = 0xFF;
    cases.push_back({"huge length", huge, "record 2 at offset " + std::to_string(third)});

    for (const Damage& d : cases) {
        WriteBytes(dir_ / "damaged.exe", d.bytes);
        const Run run = RunKqpack("list " + Quoted(dir_ / "damaged.exe"));
        EXPECT_EQ(run.exit_code, 1) << d.what;
        EXPECT_EQ(run.out, "") << d.what;
        EXPECT_EQ(run.err.rfind("kqpack: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(d.where), std::string::npos) << d.what << ": " << run.err;

        fs::remove_all(dir_ / "x");
        EXPECT_EQ(RunKqpack("extract " + Quoted(dir_ / "damaged.exe") + " " + Quoted(dir_ / "x")).exit_code,
                  1)
            << d.what;
        EXPECT_FALSE(fs::exists(dir_ / "x")) << d.what;
    }
}

TEST_F(Kqpack, CliRefusesBadInputWithExitOne) {
    WriteBytes(dir_ / "in/stub.bin", FakeStub(kq::kStubLength - 1));
    const fs::path out = dir_ / "out/setup.exe";
    fs::create_directories(out.parent_path());
    Run run = RunKqpack("build --stub " + Quoted(dir_ / "in/stub.bin") + " --script " +
                        Quoted(dir_ / "in/setup.inf") + " --license " + Quoted(dir_ / "in/license.txt") +
                        " -o " + Quoted(out));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.rfind("kqpack: " + (dir_ / "in/stub.bin").string() + ": ", 0), 0u) << run.err;
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));

    run = RunKqpack("list " + Quoted(dir_ / "no-such.exe"));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("no-such.exe"), std::string::npos) << run.err;

    run = RunKqpack("lzhuf -d " + Quoted(dir_ / "in/stub.bin") + "x " + Quoted(dir_ / "out/x"));
    EXPECT_EQ(run.exit_code, 1);

    // The output is named as given, not by its temporary name.
    run = RunKqpack("lzhuf -e " + Quoted(dir_ / "in/setup.inf") + " " + Quoted(dir_ / "nowhere/x.lzh"));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.rfind("kqpack: " + (dir_ / "nowhere/x.lzh").string() + ": ", 0), 0u) << run.err;

    // A folder opens like a file and fails only when read.
    run = RunKqpack("list " + Quoted(dir_ / "in"));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.rfind("kqpack: " + (dir_ / "in").string() + ": ", 0), 0u) << run.err;
}

TEST_F(Kqpack, CliHelpAndVersionSucceedAndUsageErrorsExitTwo) {
    Run run = RunKqpack("--help");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_NE(run.out.find("kqpack build"), std::string::npos);
    EXPECT_EQ(run.err, "");
    run = RunKqpack("--version");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out.rfind("kqpack ", 0), 0u) << run.out;

    for (const char* args :
         {"", "frobnicate", "list", "list a b", "extract a", "lzhuf -x a b", "lzhuf -e a",
          "build --stub s --script i --license l a.txt", "build --stub", "build --bogus x"}) {
        run = RunKqpack(args);
        EXPECT_EQ(run.exit_code, 2) << args;
        EXPECT_EQ(run.err.rfind("kqpack: usage: ", 0), 0u) << args << ": " << run.err;
    }
}

TEST_F(Kqpack, CliLzhufMatchesTheReferenceStreams) {
    const std::string data = std::string(KQ_TEST_DATA) + "/lzhuf/";
    Run run = RunKqpack("lzhuf -e " + Quoted(data + "text_345.bin") + " " + Quoted(dir_ / "t.lzh"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir_ / "t.lzh"), ReadBytes(data + "text_345.lzh"));
    run = RunKqpack("lzhuf -d " + Quoted(data + "rebuild_200k.lzh") + " " + Quoted(dir_ / "r.bin"));
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir_ / "r.bin"), ReadBytes(data + "rebuild_200k.bin"));
}

}  // namespace
