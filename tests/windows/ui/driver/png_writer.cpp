// A PNG writer without a compression library: the image data goes into the
// zlib stream as stored (uncompressed) deflate blocks, which every reader
// accepts. Files are large but the code is short.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

#include "screen_capture.h"

namespace kqgui {
namespace {

uint32_t Crc32(const std::string& bytes) {
    static uint32_t table[256];
    if (table[1] == 0) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes) {
    uint32_t a = 1;
    uint32_t b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutU32(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutU32(out, Crc32(typed));
}

std::string StoredZlibStream(const std::string& raw) {
    std::string stream = "\x78\x01";
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        stream.push_back(last ? 1 : 0);
        stream.push_back(static_cast<char>(length & 0xFF));
        stream.push_back(static_cast<char>(length >> 8));
        stream.push_back(static_cast<char>(~length & 0xFF));
        stream.push_back(static_cast<char>((~length >> 8) & 0xFF));
        stream.append(raw, offset, length);
        offset += length;
    } while (offset < raw.size());
    PutU32(stream, Adler32(raw));
    return stream;
}

}  // namespace

bool WritePng(const Screenshot& shot, const std::string& path) {
    std::string raw;
    raw.reserve(static_cast<size_t>(shot.height) * (static_cast<size_t>(shot.width) * 3 + 1));
    for (int y = 0; y < shot.height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t pixel = shot.pixels[static_cast<size_t>(y) * static_cast<size_t>(shot.width) +
                                               static_cast<size_t>(x)];
            raw.push_back(static_cast<char>((pixel >> 16) & 0xFF));
            raw.push_back(static_cast<char>((pixel >> 8) & 0xFF));
            raw.push_back(static_cast<char>(pixel & 0xFF));
        }
    }
    std::string header;
    PutU32(header, static_cast<uint32_t>(shot.width));
    PutU32(header, static_cast<uint32_t>(shot.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, deflate, no filter choice, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlibStream(raw));
    PutChunk(png, "IEND", "");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(png.data(), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out);
}

}  // namespace kqgui
