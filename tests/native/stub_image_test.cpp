// Static checks of the shipped 32-bit stub: a PE32 GUI image for i386 of
// exactly the stub length, importing from the system's known DLLs only (the
// loader takes those from the system folder whatever the search path), and
// the manifest and version information the system reads from its resources.
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
    // A resource's data in its first language, down the directory's three
    // levels (type, name, language) of 8-byte entries: id, offset of the next.
    std::string Resource(uint32_t type, uint32_t id) const {
        const size_t root = FileOffsetOf(U32(OptionalHeader() + 112));
        size_t node = root;
        for (const uint32_t key : {type, id, 0u}) {
            size_t entry = node + 16, end = entry + 8 * (U16(node + 12) + U16(node + 14));
            while (key != 0 && entry < end && U32(entry) != key) entry += 8;
            node = entry < end ? root + (U32(entry + 4) & 0x7FFFFFFF) : bytes.size();
        }
        return std::string(bytes.begin(), bytes.end()).substr(FileOffsetOf(U32(node)), U32(node + 4));
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

TEST(ShippedStub, CarriesItsManifestAndVersionInformation) {
    const PeImage image = ShippedStub();
    // The manifest, then the version information with its UTF-16 narrowed and
    // each run of NULs made one '|', so that a string reads "Key|value|".
    std::string text = image.Resource(24, 1) + "|", version = image.Resource(16, 1);  // RT_MANIFEST, RT_VERSION
    for (size_t i = 0; i < version.size(); i += 2)
        if (version[i] != 0 || text.back() != '|') text += version[i] != 0 ? version[i] : '|';
    for (const char* wanted : {"<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
                               "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
                               // Vista, 7, 8, 8.1, 10 and 11, as the system's documentation names them.
                               "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">",
                               "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                               "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                               "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "ProductName|kqsetup|", "OriginalFilename|kqstub.exe|",
                               "FileVersion|" KQ_VERSION "|", "ProductVersion|" KQ_VERSION "|"})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
    EXPECT_EQ(text.find("activeCodePage"), std::string::npos);  // the ANSI code page stays the user's
}

}  // namespace
