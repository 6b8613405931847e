// Program files for extractor tests: the real x86_64 stub followed by package
// records made here, loaded as a module so that the extractor finds its
// "own" file through the module handle, as it does in the shipped program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kqtest {

struct TestRecord {
    std::string stored_name = "file.txt";
    std::string contents;
    uint16_t dos_date = (2024 - 1980) << 9 | 6 << 5 | 15;  // 2024-06-15
    uint16_t dos_time = 10 << 11 | 30 << 5;                // 10:30:00
    uint8_t attributes = 0x20;
    // When set, replaces the record length field as written.
    bool override_length = false;
    uint32_t record_length = 0;
    // When set, replaces the uncompressed size field as written.
    bool override_size = false;
    uint32_t uncompressed_size = 0;
    // When nonzero, the stream is cut to this many bytes (record length too).
    size_t stream_cut = 0;
};

std::string EncodeRecord(const TestRecord& record);

// The x86_64 stub image, exactly 43008 bytes.
std::string StubBytes();

class TestProgramFile {
public:
    // Writes stub + records as `folder`\setup.exe and loads it as a module.
    TestProgramFile(const std::string& folder, const std::vector<TestRecord>& records,
                    const std::string& trailing_bytes = "");
    ~TestProgramFile();
    TestProgramFile(const TestProgramFile&) = delete;
    TestProgramFile& operator=(const TestProgramFile&) = delete;

    HINSTANCE module() const { return module_; }
    const std::string& path() const { return path_; }
    // Offset of record `index` in the file.
    uint32_t RecordOffset(size_t index) const { return offsets_.at(index); }

private:
    std::string path_;
    std::vector<uint32_t> offsets_;
    HINSTANCE module_ = nullptr;
};

}  // namespace kqtest
