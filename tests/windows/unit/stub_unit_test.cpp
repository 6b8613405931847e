// The stub's own code in-process, where a behaviour is cheaper to reach than
// through a whole run: damaged records, copy modes, stored attributes and
// times, placement and the install log's keys.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/damaged_records.h"
#include "harness/harness.h"
#include "package/extract_record.h"
#include "package/install_placement.h"
#include "package/lzhuf_decoder.h"
#include "package/package_check.h"
#include "package/record_format.h"
#include "script/script.h"
#include "text/text_buffers.h"
#include "platform/platform.h"

namespace {

// Records the message boxes the code shows and answers them with `answer`.
std::vector<std::string> g_shown;
int g_answer = IDOK;
int RecordMessage(const char* text, const char* caption, unsigned) {
    g_shown.push_back(std::string(caption) + ": " + text);
    return g_answer;
}

class StubUnit : public testing::Test {
protected:
    void SetUp() override {
        g_shown.clear();
        g_answer = IDOK;
        kq::g_message_box_hook = RecordMessage;
    }
    void TearDown() override {
        kq::g_message_box_hook = nullptr;
        kq::g_integrity = nullptr;
        (void)kq::SaveInstallLog(script_.c_str());
        if (module_ != nullptr) FreeLibrary(module_);
        if (!HasFailure()) kqh::RemoveTree(folder_);
    }

    // Writes stub + records as a program file of its own (the extractor keeps
    // its file open) and loads it, so that the extractor finds "its own" file
    // through the module handle.
    void WriteProgram(const std::string& records, bool whole = false) {
        if (module_ != nullptr) FreeLibrary(module_);
        const std::string path = folder_ + "\\setup" + std::to_string(++programs_) + ".exe";
        kqh::WriteBytes(path, whole ? records : kqh::StubBytes() + records);
        module_ = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(module_, nullptr);
    }
    int Extract(const std::string& path, int mode) {
        char destination[256] = {};
        path.copy(destination, sizeof destination - 1);
        return kq::ExtractRecord(module_, destination, mode);
    }

    std::string folder_ = kqh::FreshFolder("unit");
    std::string script_ = folder_ + "\\Uninstal.inf";
    HMODULE module_ = nullptr;
    int programs_ = 0;
};

TEST_F(StubUnit, DamagedRecordIsAFileErrorAndWritesNothing) {
    for (const kqtest::DamagedPackage& damaged : kqtest::DamagedPackages()) {
        SCOPED_TRACE(damaged.name);
        g_shown.clear();
        WriteProgram(damaged.package);
        ASSERT_EQ(Extract(script_, kq::kFirstRecord), 1);
        ASSERT_EQ(Extract(folder_ + "\\licence.txt", kq::kWriteNext), 1);
        EXPECT_EQ(Extract(folder_ + "\\file.bin", kq::kWriteNext), 0);
        EXPECT_EQ(g_shown, std::vector<std::string>{"Setup: File Error!"});
        EXPECT_FALSE(kqh::Exists(folder_ + "\\file.bin"));
    }
}

// A package with an integrity record, damaged or cut short anywhere, is
// refused before anything is staged, with one message. A sound one is read
// whole, every byte after the stub reported for the progress line.
uint64_t g_reported;
TEST_F(StubUnit, SpoiledPackageIsRefusedBeforeAnything) {
    const std::string sound = kqtest::WithIntegrityRecord(kqh::StubBytes(), {{"a"}, {"b"}});
    WriteProgram(sound, true);
    g_reported = 0;
    kq::g_piece_written = [](const uint8_t*, uint32_t, uint32_t bytes) { g_reported += bytes; };
    EXPECT_EQ(kq::CheckOwnPackage(module_), 1);
    kq::g_piece_written = nullptr;
    EXPECT_EQ(g_reported, sound.size() - kq::kStubLength);
    for (const kqtest::DamagedPackage& spoiled : kqtest::SpoiledPrograms(kqh::StubBytes())) {
        SCOPED_TRACE(spoiled.name);
        WriteProgram(spoiled.package, true);
        g_shown.clear();
        EXPECT_EQ(kq::CheckOwnPackage(module_), 0);
        EXPECT_EQ(g_shown, std::vector<std::string>{"Setup: The setup file is damaged or incomplete.\n\n"
                                                    "Please obtain a new copy of the setup program."});
    }
}

// Each file's decoded bytes must have the CRC the integrity record lists,
// or the file in place stays as it was.
TEST_F(StubUnit, FileThatDecodesToOtherBytesReplacesNothing) {
    WriteProgram(kqtest::WithIntegrityRecord(kqh::StubBytes(), {{"zero", "0"}, {"f.txt", "new"}}), true);
    ASSERT_EQ(kq::CheckOwnPackage(module_), 1);
    // As if the decoder went wrong: the CRC listed for record 1's bytes no longer matches them.
    const_cast<uint8_t*>(kq::g_integrity->payload)[12 + 8 * 1] ^= 1;
    kqh::WriteBytes(folder_ + "\\f.txt", "old");
    ASSERT_EQ(Extract(folder_ + "\\zero", kq::kFirstRecord), 1);
    EXPECT_EQ(Extract(folder_ + "\\f.txt", kq::kWriteNext), 0);
    EXPECT_EQ(g_shown, std::vector<std::string>{"Setup: File Error!"});
    EXPECT_EQ(kqh::ReadBytes(folder_ + "\\f.txt"), "old");
}

// A stream that copies from the part of the ring buffer it never wrote (stated
// size 16, one literal and a long match): it must read what the reference
// decoder reads there, zeros, whatever memory the process used before.
TEST_F(StubUnit, DecoderReadsZerosWhereTheStreamWroteNothing) {
    const std::string stream("\x10\0\0\0\xff\xff\xff\xff\xff\xff\xff\0", 12);
    std::string record = kqtest::EncodeRecord({.name = "r"}).substr(0, 15) + stream;  // 14 header bytes and the name
    const auto length = static_cast<uint32_t>(record.size());
    for (int i = 0; i < 4; ++i) record[4 + static_cast<size_t>(i)] = static_cast<char>(length >> (8 * i));
    WriteProgram(record);
    // Leave memory of the decoder's size dirty, as a long-running process would.
    void* dirty = HeapAlloc(GetProcessHeap(), 0, sizeof(kq::lzhuf::DecoderWorkspace));
    memset(dirty, 0xA5, sizeof(kq::lzhuf::DecoderWorkspace));
    HeapFree(GetProcessHeap(), 0, dirty);
    ASSERT_EQ(Extract(folder_ + "\\r.bin", kq::kFirstRecord), 1);
    EXPECT_EQ(kqh::ReadBytes(folder_ + "\\r.bin"), "s" + std::string(59, '\0') + " ");
}

struct CopyModeCase {
    int mode;
    int answer;
    bool replaced;
    bool asked;
};

TEST_F(StubUnit, CopyModesDecideOverAnExistingFile) {
    const CopyModeCase cases[] = {{kq::kWriteNext, IDOK, true, false},
                                  {kq::kAskBeforeReplace, IDYES, true, true},
                                  {kq::kAskBeforeReplace, IDNO, false, true},
                                  {kq::kKeepExisting, IDOK, false, false}};
    WriteProgram(kqtest::EncodeRecord({.name = "zero", .contents = "0"}) +
                 kqtest::EncodeRecord({.name = "f.txt", .contents = "new"}));
    const std::string path = folder_ + "\\f.txt";
    for (const CopyModeCase& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.answer);
        kqh::WriteBytes(path, "old");
        ASSERT_EQ(Extract(folder_ + "\\zero", kq::kFirstRecord), 1);
        g_shown.clear();
        g_answer = c.answer;
        EXPECT_EQ(Extract(path, c.mode), 1);
        EXPECT_EQ(kqh::ReadBytes(path), c.replaced ? "new" : "old");
        EXPECT_EQ(g_shown, c.asked ? std::vector<std::string>{path + ": File exists.  Overwrite?"}
                                   : std::vector<std::string>{});
    }
}

// The stored attribute byte survives as the file's attributes (Wine keeps no
// hidden bit on its files), on a new file and on one that replaces another,
// and the stored time, the build machine's local time, is its last-write
// time in local time.
TEST_F(StubUnit, StoredAttributesAndTimeReachTheFile) {
    WriteProgram(kqtest::EncodeRecord({.name = "a", .contents = "x", .attributes = 0x21}) +
                 kqtest::EncodeRecord({.name = "b", .contents = "x", .dos_date = (2023 - 1980) << 9 | 12 << 5 | 31,
                                    .dos_time = 21 << 11 | 15 << 5 | 2}) +
                 kqtest::EncodeRecord({.name = "c", .contents = "new", .attributes = 0x21}));
    kqh::WriteBytes(folder_ + "\\c.txt", "old");
    ASSERT_EQ(Extract(folder_ + "\\a.txt", kq::kFirstRecord), 1);
    ASSERT_EQ(Extract(folder_ + "\\b.txt", kq::kWriteNext), 1);
    ASSERT_EQ(Extract(folder_ + "\\c.txt", kq::kWriteNext), 1);
    for (const char* name : {"\\a.txt", "\\c.txt"})
        EXPECT_EQ(GetFileAttributesA((folder_ + name).c_str()), DWORD{FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY})
            << name;
    EXPECT_EQ(kqh::ReadBytes(folder_ + "\\c.txt"), "new");
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA((folder_ + "\\b.txt").c_str(), GetFileExInfoStandard, &data));
    FILETIME local{};
    SYSTEMTIME time{};
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    EXPECT_EQ(std::to_string(time.wYear) + "-" + std::to_string(time.wMonth) + "-" + std::to_string(time.wDay) +
                  " " + std::to_string(time.wHour) + ":" + std::to_string(time.wMinute) + ":" +
                  std::to_string(time.wSecond),
              "2023-12-31 21:15:4");
    for (const char* name : {"\\a.txt", "\\c.txt"}) SetFileAttributesA((folder_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(StubUnit, PlacementRefusesNamesThatLeaveOrEmptyTheLogOrDoNotFit) {
    struct Refused {
        const char* why;
        std::string name;
        std::string log;
    };
    const Refused cases[] = {{"climbs", "..\\evil.txt", ""},
                             {"climbs deeper", "sub\\..\\..\\evil.txt", ""},
                             {"absolute", "\\evil.txt", ""},
                             {"too long", std::string(120, 'd') + "\\" + std::string(130, 'f'), ""}};
    ASSERT_TRUE(kq::OpenInstallLog(script_.c_str()));
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.why);
        char destination[256] = {};
        (folder_ + "\\P").copy(destination, sizeof destination - 1);
        int copy_mode = 0;
        char key[kq::kKeyNameSize];
        EXPECT_EQ(kq::PlaceRecord(reinterpret_cast<const uint8_t*>(c.name.data()),
                                  static_cast<uint32_t>(c.name.size()), destination, copy_mode, key),
                  0);
        EXPECT_EQ(destination, folder_ + "\\P");
        EXPECT_EQ(kq::g_install_log.uninstall.length, 0u) << "recorded something";
    }
}

// A destination that cannot be replaced, and the user cancels: what stands
// there is not the installer's, so the log must not list it for deletion.
TEST_F(StubUnit, CancelledWriteLogsTheDestinationAsNotOurs) {
    WriteProgram(kqtest::EncodeRecord({.name = "zero", .contents = "0"}) +
                 kqtest::EncodeRecord({.name = "f.txt", .contents = "new"}));
    const std::string path = folder_ + "\\P\\f.txt";
    ASSERT_TRUE(CreateDirectoryA((folder_ + "\\P").c_str(), nullptr) && CreateDirectoryA(path.c_str(), nullptr));
    ASSERT_EQ(Extract(folder_ + "\\zero", kq::kFirstRecord), 1);
    g_answer = IDCANCEL;
    ASSERT_TRUE(kq::OpenInstallLog(script_.c_str()));
    EXPECT_EQ(Extract(folder_ + "\\P", kq::kInstallPlaced), 0);
    EXPECT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(kq::FindValue(kq::g_install_log.uninstall, "filea"), kq::kNotOverwrittenMark + path);
}

// The log value of a kept file: an uninstaller that deletes every listed
// value as a path, as older ones do, fails on it and the file stays.
TEST_F(StubUnit, KeptFileValueDeletesNothingAsAPath) {
    const std::string file = folder_ + "\\readme.txt";
    kqh::WriteBytes(file, "the user's");
    ASSERT_TRUE(kq::OpenInstallLog(script_.c_str()));
    for (int copy_mode : {kq::kCopyModeAsk, kq::kCopyModeKeep}) {
        kq::RecordKeptFile("filea", file.c_str(), copy_mode);
        const std::string value = kq::FindValue(kq::g_install_log.uninstall, "filea");
        EXPECT_NE(value.find(file), std::string::npos) << value;
        EXPECT_FALSE(DeleteFileA(value.c_str())) << value;
        EXPECT_EQ(kqh::ReadBytes(file), "the user's");
    }
}

// Keys the author wrote stay: placement takes free keys only, names keys
// past '~' by number and reads the older letter form too (copy mode "3" of
// key 32, taken key 31), and records each folder once, parents first, a
// name with '=' in it too.
TEST_F(StubUnit, PlacementNumbersKeysPastTheLettersAndRecordsEachFolderOnce) {
    std::string script = "[Copymode]\r\nfile\x80=\"3\"\r\n[Uninstall]\r\nfileb=author\r\n";
    for (char c = 'c'; c <= '~'; ++c) script += "file" + std::string(1, c) + "=x\r\n";
    kqh::WriteBytes(script_, script + "file\x7F=x\r\n");
    ASSERT_TRUE(kq::OpenInstallLog(script_.c_str()));
    std::vector<std::string> keys;
    for (const char* name : {"a\\b\\1", "a\\b\\2", "a\\c\\3", "4", "a\\b\\5", "x=1\\6", "x\\7"}) {
        char destination[256] = "C:\\P";
        int mode = 0;
        char key[kq::kKeyNameSize];
        ASSERT_TRUE(kq::PlaceRecord(reinterpret_cast<const uint8_t*>(name), static_cast<uint32_t>(strlen(name)),
                                    destination, mode, key));
        keys.push_back(key + std::string("=") + destination + " mode " + std::to_string(mode));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"filea=C:\\P\\a\\b\\1 mode 1", "file32=C:\\P\\a\\b\\2 mode 3",
                                              "file33=C:\\P\\a\\c\\3 mode 1", "file34=C:\\P\\4 mode 1",
                                              "file35=C:\\P\\a\\b\\5 mode 1", "file36=C:\\P\\x=1\\6 mode 1",
                                              "file37=C:\\P\\x\\7 mode 1"}));
    std::string dires;
    for (unsigned n = 1; const char* folder = kq::FindSequenceValue(kq::g_install_log.uninstall, "dire", n); ++n)
        dires += std::string(folder) + ";";
    EXPECT_EQ(dires, "a;a\\b;a\\c;x=1;x;");
}

// The section written at once is the file that key-by-key writes give:
// a key set again keeps its place and its spelling, an empty one is set in
// place, a name written twice is its first occurrence, new keys go last.
TEST_F(StubUnit, SectionWrittenAtOnceIsTheFileOfKeyByKeyWrites) {
    const std::string start = "[Install]\r\nAppName=A\r\n[Uninstall]\r\nDir=old\r\nfileb=\r\nx=1\r\nx=2\r\n[Links]\r\nlinka=l\r\n";
    const std::string long_value(300, 'v');
    const std::pair<const char*, const char*> writes[] = {{"filea", "C:\\a"}, {"fileb", "C:\\b"}, {"X", "3"},
                                                          {"dir", "C:\\P"}, {"file31", long_value.c_str()},
                                                          {"filea", "<kept> C:\\a"}};
    const std::string by_key = folder_ + "\\by_key.inf";
    kqh::WriteBytes(by_key, start);
    kqh::WriteBytes(script_, start);
    kq::SectionImage image;
    ASSERT_TRUE(kq::LoadSection(image, "Uninstall", script_.c_str()));
    for (const auto& [key, value] : writes) {
        WritePrivateProfileStringA("Uninstall", key, value, by_key.c_str());
        ASSERT_TRUE(kq::SetValue(image, key, value));
    }
    kq::SaveSection(image, "Uninstall", script_.c_str());
    kq::ReleaseSection(image);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, by_key.c_str());
    EXPECT_EQ(kqh::ReadBytes(script_), kqh::ReadBytes(by_key));
}

}  // namespace
