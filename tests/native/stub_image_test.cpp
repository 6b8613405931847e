// Static checks of the shipped 32-bit stub: a PE32 GUI image for i386 of
// exactly the stub length, importing from the system's known DLLs only (the
// loader takes those from the system folder whatever the search path).
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "package/record_format.h"

namespace {

struct PeImage {
    std::vector<uint8_t> bytes;
    uint32_t U32(size_t at) const { return at + 4 <= bytes.size() ? kq::ReadU32(&bytes[at]) : 0; }
    uint16_t U16(size_t at) const { return static_cast<uint16_t>(U32(at) & 0xFFFF); }
    size_t Pe() const { return U32(0x3C); }
    size_t OptionalHeader() const { return Pe() + 24; }
    // File offset of a relative virtual address, through the section table.
    size_t FileOffsetOf(uint32_t rva) const {
        for (unsigned i = 0; i < U16(Pe() + 6); ++i) {
            const size_t s = OptionalHeader() + U16(Pe() + 20) + 40 * i;
            if (rva >= U32(s + 12) && rva < U32(s + 12) + U32(s + 16)) return U32(s + 20) + (rva - U32(s + 12));
        }
        return bytes.size();
    }
};

PeImage ShippedStub() {
    std::ifstream in(KQ_SHIPPED_STUB, std::ios::binary);
    EXPECT_TRUE(in) << "build the i686 stub first: " << KQ_SHIPPED_STUB;
    return {{std::istreambuf_iterator<char>(in), {}}};
}

TEST(ShippedStub, IsAPe32GuiImageForI386OfExactlyTheStubLength) {
    const PeImage image = ShippedStub();
    ASSERT_EQ(image.bytes.size(), kq::kStubLength);
    EXPECT_EQ(image.U16(0), 0x5A4D);                       // "MZ"
    EXPECT_EQ(image.U32(image.Pe()), 0x00004550u);         // "PE\0\0"
    EXPECT_EQ(image.U16(image.Pe() + 4), 0x014C);          // i386
    EXPECT_EQ(image.U16(image.OptionalHeader()), 0x010B);  // PE32
    EXPECT_EQ(image.U16(image.OptionalHeader() + 68), 2);  // Windows GUI
}

TEST(ShippedStub, ImportsFromKnownSystemDllsOnly) {
    const PeImage image = ShippedStub();
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll"};
    std::set<std::string> imported;
    for (size_t d = image.FileOffsetOf(image.U32(image.OptionalHeader() + 104)); image.U32(d + 12) != 0; d += 20) {
        std::string name;
        for (size_t at = image.FileOffsetOf(image.U32(d + 12)); at < image.bytes.size() && image.bytes[at] != 0; ++at)
            name += static_cast<char>(std::tolower(image.bytes[at]));
        imported.insert(name);
    }
    EXPECT_TRUE(imported.count("kernel32.dll"));
    for (const std::string& name : imported) EXPECT_TRUE(allowed.count(name)) << "imports " << name;
}

}  // namespace
