// The record extractor on real files: the record walk, damaged records, the
// existence check, directories, attributes, stored times and the stub copy.
#include <gtest/gtest.h>
#include <windows.h>

#include "package/extract_record.h"
#include "package/record_format.h"
#include "support/message_recorder.h"
#include "support/test_package.h"
#include "support/wine_paths.h"

namespace {

using kq::ExtractRecord;
using kqtest::FileExists;
using kqtest::MessageRecorder;
using kqtest::ReadBytes;
using kqtest::TestProgramFile;
using kqtest::TestRecord;

// A caller-owned 256-byte destination buffer, as the program hands it over.
struct Destination {
    char text[256] = {};
    explicit Destination(const std::string& path) { path.copy(text, sizeof text - 1); }
};

int Extract(const TestProgramFile& program, const std::string& path, int mode, const std::string& script = "") {
    Destination destination(path);
    return ExtractRecord(program.module(), destination.text, mode, script.c_str());
}

TestRecord Record(const std::string& name, const std::string& contents) {
    TestRecord record;
    record.stored_name = name;
    record.contents = contents;
    return record;
}

SYSTEMTIME LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    SYSTEMTIME time{};
    FileTimeToSystemTime(&data.ftLastWriteTime, &time);
    return time;
}

class PackageExtraction : public testing::Test {
protected:
    std::string folder_ = kqtest::MakeScratchFolder("extract");
    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
};

TEST_F(PackageExtraction, ModesZeroThenOneWalkRecordsInPackageOrder) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "[Install]\r\n"), Record("License.txt", "licence"),
                                            Record("first.txt", "record two"), Record("second.txt", "record three")});
    MessageRecorder messages;
    ASSERT_EQ(Extract(program, Path("script.inf"), 0), 1);
    EXPECT_EQ(kq::g_record_cursor, program.RecordOffset(1));
    ASSERT_EQ(Extract(program, Path("licence.txt"), 1), 1);
    ASSERT_EQ(Extract(program, Path("two.txt"), 1), 1);
    EXPECT_EQ(ReadBytes(Path("script.inf")), "[Install]\r\n");
    EXPECT_EQ(ReadBytes(Path("licence.txt")), "licence");
    EXPECT_EQ(ReadBytes(Path("two.txt")), "record two");

    // Mode 0 starts over from the first record.
    ASSERT_EQ(Extract(program, Path("again.inf"), 0), 1);
    EXPECT_EQ(ReadBytes(Path("again.inf")), "[Install]\r\n");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PackageExtraction, EndOfPackageReturnsZeroSilently) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "x")});
    MessageRecorder messages;
    ASSERT_EQ(Extract(program, Path("a"), 0), 1);
    EXPECT_EQ(Extract(program, Path("b"), 1), 0);
    EXPECT_FALSE(FileExists(Path("b")));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PackageExtraction, StubWithoutPackageReturnsZeroSilently) {
    const TestProgramFile program(folder_, {});
    MessageRecorder messages;
    EXPECT_EQ(Extract(program, Path("a"), 0), 0);
    EXPECT_FALSE(FileExists(Path("a")));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PackageExtraction, DamagedRecordLengthsShowFileErrorAndWriteNothing) {
    struct Case {
        const char* what;
        uint32_t length;
    };
    for (const Case& c : {Case{"zero", 0u}, Case{"shorter than its header", 17u}, Case{"past the end", 100000u},
                          Case{"near 4 GiB", 0xFFFFFFF0u}}) {
        SCOPED_TRACE(c.what);
        TestRecord damaged = Record("damaged.txt", "contents");
        damaged.override_length = true;
        damaged.record_length = c.length;
        const TestProgramFile program(folder_, {Record("kqsetup.inf", "x"), damaged});
        MessageRecorder messages;
        ASSERT_EQ(Extract(program, Path("script"), 0), 1);
        const uint32_t cursor = kq::g_record_cursor;
        EXPECT_EQ(Extract(program, Path("damaged.txt"), 1), 0);
        EXPECT_EQ(kq::g_record_cursor, cursor);
        EXPECT_FALSE(FileExists(Path("damaged.txt")));
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, "File Error!");
        EXPECT_EQ(messages.shown()[0].caption, "Setup");
        EXPECT_EQ(messages.shown()[0].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
    }
}

TEST_F(PackageExtraction, StoredNameRunningPastTheRecordIsAFileError) {
    // A record length that covers the header but not the name and size.
    TestRecord damaged = Record("a-rather-long-stored-name.txt", "contents");
    damaged.override_length = true;
    damaged.record_length = 20;
    const TestProgramFile program(folder_, {damaged}, std::string(64, '\0'));
    MessageRecorder messages;
    EXPECT_EQ(Extract(program, Path("out.txt"), 0), 0);
    EXPECT_FALSE(FileExists(Path("out.txt")));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "File Error!");
}

TEST_F(PackageExtraction, SizeBeyondWhatTheStreamCanHoldIsRefused) {
    TestRecord inflated = Record("huge.bin", "a small file");
    inflated.override_size = true;
    inflated.uncompressed_size = 0xFFFFFFFF;
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "x"), inflated});
    MessageRecorder messages;
    ASSERT_EQ(Extract(program, Path("script"), 0), 1);
    EXPECT_EQ(Extract(program, Path("huge.bin"), 1), 0);
    EXPECT_FALSE(FileExists(Path("huge.bin")));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "File Error!");
}

TEST_F(PackageExtraction, TruncatedStreamWithinTheBoundStillDecodesToItsSize) {
    std::string contents;
    for (int i = 0; i < 3000; ++i) contents += "row " + std::to_string(i) + "\r\n";
    TestRecord cut = Record("kqsetup.inf", contents);
    cut.stream_cut = 1000;  // about a tenth of the stream, still within the size bound
    const TestProgramFile program(folder_, {cut});
    MessageRecorder messages;
    ASSERT_EQ(Extract(program, Path("cut.txt"), 0), 1);
    const std::string decoded = ReadBytes(Path("cut.txt"));
    ASSERT_GE(decoded.size(), contents.size());
    EXPECT_EQ(decoded.substr(0, 100), contents.substr(0, 100));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PackageExtraction, ReplacingModesOverwriteWithoutAsking) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "new script"), Record("License.txt", "new")});
    kqtest::WriteBytes(Path("script"), "old contents, longer than the new ones");
    kqtest::WriteBytes(Path("licence"), "old");
    MessageRecorder messages;
    ASSERT_EQ(Extract(program, Path("script"), 0), 1);
    ASSERT_EQ(Extract(program, Path("licence"), 1), 1);
    EXPECT_EQ(ReadBytes(Path("script")), "new script");
    EXPECT_EQ(ReadBytes(Path("licence")), "new");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PackageExtraction, KeepModeSkipsAnExistingFileAndMovesOn) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "x"), Record("kept.txt", "new"),
                                            Record("next.txt", "next")});
    kqtest::WriteBytes(Path("kept.txt"), "old");
    MessageRecorder messages;
    ASSERT_EQ(Extract(program, Path("script"), 0), 1);
    EXPECT_EQ(Extract(program, Path("kept.txt"), kq::kKeepExisting), 1);
    EXPECT_EQ(ReadBytes(Path("kept.txt")), "old");
    EXPECT_EQ(kq::g_record_cursor, program.RecordOffset(2));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PackageExtraction, AskModeAsksWithTheDestinationAsCaption) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "x"), Record("a.txt", "new a"),
                                            Record("b.txt", "new b"), Record("c.txt", "new c")});
    kqtest::WriteBytes(Path("a.txt"), "old a");
    kqtest::WriteBytes(Path("b.txt"), "old b");
    MessageRecorder messages(IDNO);
    ASSERT_EQ(Extract(program, Path("script"), 0), 1);
    EXPECT_EQ(Extract(program, Path("a.txt"), kq::kAskBeforeReplace), 1);
    EXPECT_EQ(ReadBytes(Path("a.txt")), "old a");
    messages.Answer(IDYES);
    EXPECT_EQ(Extract(program, Path("b.txt"), kq::kAskBeforeReplace), 1);
    EXPECT_EQ(ReadBytes(Path("b.txt")), "new b");
    // Nothing there: nothing to ask.
    EXPECT_EQ(Extract(program, Path("c.txt"), kq::kAskBeforeReplace), 1);
    EXPECT_EQ(ReadBytes(Path("c.txt")), "new c");

    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "File exists.  Overwrite?");
    EXPECT_EQ(messages.shown()[0].caption, Path("a.txt"));
    EXPECT_EQ(messages.shown()[0].flags, static_cast<unsigned>(MB_YESNO | MB_ICONWARNING));
    EXPECT_EQ(messages.shown()[1].caption, Path("b.txt"));
}

TEST_F(PackageExtraction, CreatesEveryDirectoryOnTheWay) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "deep contents")});
    ASSERT_EQ(Extract(program, Path("P\\sub\\deep\\f.dat"), 0), 1);
    EXPECT_EQ(ReadBytes(Path("P\\sub\\deep\\f.dat")), "deep contents");
}

TEST_F(PackageExtraction, PlacedRecordsGoUnderTheInstallFolderByStoredName) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "x"), Record("License.txt", "l"),
                                            Record("sub\\deep\\f.dat", "placed")});
    ASSERT_EQ(Extract(program, Path("script"), 0), 1);
    ASSERT_EQ(Extract(program, Path("licence"), 1), 1);
    Destination destination(Path("App"));
    ASSERT_EQ(ExtractRecord(program.module(), destination.text, kq::kInstallPlaced, Path("script").c_str()), 1);
    // The caller's buffer now names the installed file.
    EXPECT_EQ(std::string(destination.text), Path("App\\sub\\deep\\f.dat"));
    EXPECT_EQ(ReadBytes(Path("App\\sub\\deep\\f.dat")), "placed");
}

TEST_F(PackageExtraction, SetsAttributesFromTheStoredByte) {
    struct Case {
        uint8_t stored;
        DWORD expected;
    };
    for (const Case& c : {Case{0x20, FILE_ATTRIBUTE_ARCHIVE},
                          Case{0x21, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
                          Case{0x27, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN |
                                         FILE_ATTRIBUTE_READONLY},
                          Case{0x00, FILE_ATTRIBUTE_NORMAL}, Case{0x10, FILE_ATTRIBUTE_NORMAL}}) {
        SCOPED_TRACE(static_cast<int>(c.stored));
        TestRecord record = Record("kqsetup.inf", "attributes");
        record.attributes = c.stored;
        const TestProgramFile program(folder_, {record});
        const std::string path = Path("attr" + std::to_string(c.stored));
        ASSERT_EQ(Extract(program, path, 0), 1);
        const DWORD actual = GetFileAttributesA(path.c_str());
        if (c.expected == FILE_ATTRIBUTE_NORMAL) {
            // Wine reports every plain file as archive; Windows says normal.
            EXPECT_TRUE(actual == FILE_ATTRIBUTE_NORMAL || actual == FILE_ATTRIBUTE_ARCHIVE) << actual;
        } else {
            EXPECT_EQ(actual, c.expected);
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(PackageExtraction, LastWriteTimeIsTheStoredTimeSixHoursOn) {
    TestRecord afternoon = Record("kqsetup.inf", "t");
    afternoon.dos_date = (2003 - 1980) << 9 | 4 << 5 | 9;  // 2003-04-09
    afternoon.dos_time = 16 << 11 | 6 << 5 | 1;             // 16:06:02
    TestRecord evening = Record("late.txt", "t");
    evening.dos_date = (1999 - 1980) << 9 | 12 << 5 | 31;  // 1999-12-31
    evening.dos_time = 20 << 11 | 15 << 5;                 // 20:15:00
    const TestProgramFile program(folder_, {afternoon, evening});
    ASSERT_EQ(Extract(program, Path("afternoon"), 0), 1);
    ASSERT_EQ(Extract(program, Path("evening"), 1), 1);

    const SYSTEMTIME a = LastWriteTime(Path("afternoon"));
    EXPECT_EQ(a.wYear, 2003);
    EXPECT_EQ(a.wMonth, 4);
    EXPECT_EQ(a.wDay, 9);
    EXPECT_EQ(a.wHour, 22);
    EXPECT_EQ(a.wMinute, 6);
    EXPECT_EQ(a.wSecond, 2);
    // Past midnight the date moves on rather than the time being lost.
    const SYSTEMTIME e = LastWriteTime(Path("evening"));
    EXPECT_EQ(e.wYear, 2000);
    EXPECT_EQ(e.wMonth, 1);
    EXPECT_EQ(e.wDay, 1);
    EXPECT_EQ(e.wHour, 2);
    EXPECT_EQ(e.wMinute, 15);
}

TEST_F(PackageExtraction, EmptyRecordWritesAnEmptyFile) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "")});
    kqtest::WriteBytes(Path("empty"), "previous");
    ASSERT_EQ(Extract(program, Path("empty"), 0), 1);
    EXPECT_TRUE(FileExists(Path("empty")));
    EXPECT_EQ(ReadBytes(Path("empty")), "");
}

TEST_F(PackageExtraction, LargeRecordDecodesAcrossManyOutputPieces) {
    std::string contents;
    for (int i = 0; i < 20000; ++i) contents += "line " + std::to_string(i * 7919 % 1000) + "\r\n";
    const TestProgramFile program(folder_, {Record("kqsetup.inf", contents)});
    ASSERT_EQ(Extract(program, Path("large"), 0), 1);
    EXPECT_EQ(ReadBytes(Path("large")), contents);
}

TEST_F(PackageExtraction, StubCopyIsExactlyTheFirst43008Bytes) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "x")});
    const std::string stub = kqtest::StubBytes();
    MessageRecorder messages;

    // Nothing there, or a smaller file: written.
    EXPECT_EQ(Extract(program, Path("Dizizev3.exe"), kq::kWriteStub), 1);
    EXPECT_EQ(ReadBytes(Path("Dizizev3.exe")), stub);
    kqtest::WriteBytes(Path("small.exe"), std::string(kq::kStubLength, 'x'));
    EXPECT_EQ(Extract(program, Path("small.exe"), kq::kWriteStub), 1);
    EXPECT_EQ(ReadBytes(Path("small.exe")), stub);

    // A larger file is kept.
    const std::string larger(kq::kStubLength + 1, 'y');
    kqtest::WriteBytes(Path("larger.exe"), larger);
    EXPECT_EQ(Extract(program, Path("larger.exe"), kq::kWriteStub), 1);
    EXPECT_EQ(ReadBytes(Path("larger.exe")), larger);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PackageExtraction, StubCopyLeavesTheRecordCursorAlone) {
    const TestProgramFile program(folder_, {Record("kqsetup.inf", "x"), Record("License.txt", "l")});
    ASSERT_EQ(Extract(program, Path("script"), 0), 1);
    const uint32_t cursor = kq::g_record_cursor;
    ASSERT_EQ(Extract(program, Path("uninst.exe"), kq::kWriteStub), 1);
    EXPECT_EQ(kq::g_record_cursor, cursor);
    ASSERT_EQ(Extract(program, Path("licence"), 1), 1);
    EXPECT_EQ(ReadBytes(Path("licence")), "l");
}

}  // namespace
