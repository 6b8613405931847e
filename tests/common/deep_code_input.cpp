// The tree is a Huffman tree for the symbol counts, so its depth follows the
// counts: the 300-odd symbols never seen (count 1) form a subtree about nine
// levels deep, and above it a chain of nine match lengths whose counts each
// just exceed the weight of everything two levels below, the slowest growth
// that still keeps them a chain, adds nine levels before the counts reach the
// rebuild at 0x8000. Then 16 byte values never seen before are coded.
//
// Each match length is made by copying that many bytes from the last 4000,
// from a place whose first byte does not continue the previous copy anywhere
// in the window, so the encoder finds exactly the planned match.
#include "common/deep_code_input.h"

#include <algorithm>
#include <utility>

namespace kqtest {

std::vector<uint8_t> DeepCodeInput() {
    uint32_t seed = 1;
    auto random = [&seed] { return (seed = seed * 1103515245 + 12345) >> 8; };
    constexpr unsigned kNeverSeen = 310, kChainLength = 9;
    unsigned chain[kChainLength], below = kNeverSeen, two_below = kNeverSeen;
    for (unsigned& count : chain) {
        count = two_below + 1;
        two_below = std::exchange(below, below + count);
    }
    std::vector<unsigned> lengths;  // the planned matches, 3 to 11 bytes long
    for (unsigned k = 0; k < kChainLength; ++k)
        lengths.insert(lengths.end(), chain[k] * 31800ull / (below - kNeverSeen), 3 + k);
    for (size_t i = lengths.size(); i > 1; --i) std::swap(lengths[i - 1], lengths[random() % i]);

    // Sixteen bytes below 0x80 to copy from; bytes from 0x80 up stay unseen.
    std::vector<uint8_t> out;
    for (int i = 0; i < 16; ++i) out.push_back(static_cast<uint8_t>(random() & 0x7F));
    size_t previous = 0;  // length of the last copy
    for (const unsigned length : lengths) {
        const size_t window = std::min<size_t>(out.size(), 4000);
        size_t from = 0;
        std::vector<uint8_t> continued(out.end() - static_cast<std::ptrdiff_t>(previous), out.end());
        continued.push_back(0);
        const auto start = out.end() - static_cast<std::ptrdiff_t>(std::min<size_t>(out.size(), 4096));
        for (int attempt = 0; attempt < 1000; ++attempt) {
            continued.back() = out[from = out.size() - window + random() % (window - length)];
            if (previous == 0 || std::search(start, out.end(), continued.begin(), continued.end()) == out.end()) break;
        }
        for (size_t i = 0; i < length; ++i) out.push_back(out[from + i]);
        previous = length;
    }
    for (unsigned byte = 0x80; byte < 0x90; ++byte) out.push_back(static_cast<uint8_t>(byte));
    return out;
}

}  // namespace kqtest
