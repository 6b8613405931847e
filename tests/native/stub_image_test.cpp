// Static checks of the shipped 32-bit stub: a PE32 GUI image for i386 of
// exactly the stub length that imports from system DLLs only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "package/record_format.h"

namespace {

std::vector<uint8_t> ReadStub() {
    std::ifstream in(KQ_SHIPPED_STUB, std::ios::binary);
    EXPECT_TRUE(in) << "build the i686 stub first: " << KQ_SHIPPED_STUB;
    return {std::istreambuf_iterator<char>(in), {}};
}

struct PeImage {
    std::vector<uint8_t> bytes;
    uint32_t pe_offset = 0;

    uint16_t U16(size_t at) const { return at + 2 <= bytes.size() ? kq::ReadU16(&bytes[at]) : 0; }
    uint32_t U32(size_t at) const { return at + 4 <= bytes.size() ? kq::ReadU32(&bytes[at]) : 0; }
    size_t OptionalHeader() const { return pe_offset + 24; }

    // File offset of a relative virtual address, through the section table.
    size_t FileOffsetOf(uint32_t rva) const {
        const size_t sections = OptionalHeader() + U16(pe_offset + 20);
        for (unsigned i = 0; i < U16(pe_offset + 6); ++i) {
            const size_t s = sections + 40 * i;
            const uint32_t virtual_address = U32(s + 12), raw_size = U32(s + 16), raw_offset = U32(s + 20);
            if (rva >= virtual_address && rva < virtual_address + raw_size) return raw_offset + (rva - virtual_address);
        }
        return bytes.size();
    }

    std::string CString(size_t at) const {
        std::string text;
        while (at < bytes.size() && bytes[at] != 0) text += static_cast<char>(bytes[at++]);
        return text;
    }
};

PeImage LoadImage() {
    PeImage image{ReadStub()};
    if (image.bytes.size() >= 64) image.pe_offset = image.U32(0x3C);
    return image;
}

TEST(ShippedStub, IsAPe32GuiImageForI386OfExactlyTheStubLength) {
    const PeImage image = LoadImage();
    ASSERT_EQ(image.bytes.size(), kq::kStubLength);
    ASSERT_EQ(image.U16(0), 0x5A4D);                                  // "MZ"
    ASSERT_EQ(image.U32(image.pe_offset), 0x00004550u);               // "PE\0\0"
    EXPECT_EQ(image.U16(image.pe_offset + 4), 0x014C);                // i386
    EXPECT_EQ(image.U16(image.OptionalHeader()), 0x010B);             // PE32
    EXPECT_EQ(image.U16(image.OptionalHeader() + 68), 2);             // Windows GUI
}

TEST(ShippedStub, ImportsFromSystemDllsOnly) {
    const PeImage image = LoadImage();
    ASSERT_EQ(image.bytes.size(), kq::kStubLength);
    const uint32_t import_rva = image.U32(image.OptionalHeader() + 96 + 8);  // data directory 1
    ASSERT_NE(import_rva, 0u);
    // Known DLLs only: the system loads these from its own folder whatever the
    // search path. The common controls and dialogs are loaded by full path.
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                           "advapi32.dll", "shell32.dll", "ole32.dll"};
    std::set<std::string> imported;
    for (size_t d = image.FileOffsetOf(import_rva);; d += 20) {
        ASSERT_LT(d + 20, image.bytes.size());
        const uint32_t name_rva = image.U32(d + 12);
        if (name_rva == 0) break;
        std::string name = image.CString(image.FileOffsetOf(name_rva));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        imported.insert(name);
    }
    EXPECT_TRUE(imported.count("kernel32.dll"));
    for (const std::string& name : imported) EXPECT_TRUE(allowed.count(name)) << "imports " << name;
    std::string list;
    for (const std::string& name : imported) list += name + " ";
    RecordProperty("imports", list);
}

}  // namespace
