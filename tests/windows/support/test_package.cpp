// Record encoding and module loading for the extractor tests.
#include "test_package.h"

#include <gtest/gtest.h>

#include "package/lzhuf_encoder.h"
#include "package/record_format.h"
#include "wine_paths.h"

namespace kqtest {

std::string EncodeRecord(const TestRecord& record) {
    std::vector<uint8_t> coded = kq::lzhuf::Encode(
        {reinterpret_cast<const uint8_t*>(record.contents.data()), record.contents.size()});
    if (record.override_size)
        for (int i = 0; i < 4; ++i) coded[static_cast<size_t>(i)] = static_cast<uint8_t>(record.uncompressed_size >> (8 * i));
    if (record.stream_cut != 0 && record.stream_cut + 4 < coded.size()) coded.resize(record.stream_cut + 4);
    const uint32_t natural_length = static_cast<uint32_t>(14 + record.stored_name.size() + coded.size());
    const uint32_t length = record.override_length ? record.record_length : natural_length;
    std::string bytes("KQ1", 4);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(length >> (8 * i));
    bytes += static_cast<char>(record.dos_date);
    bytes += static_cast<char>(record.dos_date >> 8);
    bytes += static_cast<char>(record.dos_time);
    bytes += static_cast<char>(record.dos_time >> 8);
    bytes += static_cast<char>(record.attributes);
    bytes += static_cast<char>(record.stored_name.size());
    bytes += record.stored_name;
    bytes.append(coded.begin(), coded.end());
    return bytes;
}

std::string StubBytes() {
    const std::string stub = ReadBytes(WindowsPathOf(KQ_STUB64));
    EXPECT_EQ(stub.size(), kq::kStubLength);
    return stub;
}

TestProgramFile::TestProgramFile(const std::string& folder, const std::vector<TestRecord>& records,
                                 const std::string& trailing_bytes)
    : path_(folder + "\\setup.exe") {
    std::string bytes = StubBytes();
    for (const TestRecord& record : records) {
        offsets_.push_back(static_cast<uint32_t>(bytes.size()));
        bytes += EncodeRecord(record);
    }
    bytes += trailing_bytes;
    WriteBytes(path_, bytes);
    // Mapped but not run: only its file name matters to the extractor.
    module_ = LoadLibraryExA(path_.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    EXPECT_NE(module_, nullptr) << "cannot load " << path_ << " as a module";
}

TestProgramFile::~TestProgramFile() {
    if (module_ != nullptr) FreeLibrary(module_);
}

}  // namespace kqtest
