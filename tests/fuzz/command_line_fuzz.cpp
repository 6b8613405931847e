// Arbitrary command lines: the tail always lies within the line, and with no
// lead bytes it never starts with a blank or control character; the setup
// switches found in it lie within it too.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "startup/command_line.h"

namespace {
bool NoLeadBytes(unsigned char) { return false; }
bool HighBytesLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);  // stops at the first NUL for the parser
    for (const kq::LeadBytePredicate predicate : {NoLeadBytes, HighBytesLead}) {
        const char* tail = kq::CommandLineTail(line.c_str(), predicate);
        const size_t length = std::char_traits<char>::length(line.c_str());
        if (tail < line.c_str() || tail > line.c_str() + length) std::abort();
        const auto first = static_cast<unsigned char>(*tail);
        if (first >= 1 && first <= 0x20) std::abort();
        // Every switch's text lies within the tail.
        const kq::SetupSwitches s = kq::ParseSetupSwitches(tail);
        for (const kq::TailPiece& piece : {s.folder, s.log, s.unknown})
            if (piece.text != nullptr && (piece.text < tail || piece.text + piece.length > line.c_str() + length)) std::abort();
    }
    return 0;
}
