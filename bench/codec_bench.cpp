// Prints the native codec's decode and encode throughput on a few megabytes of
// mixed data: text, binary-like tables and random bytes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "package/lzhuf_decoder.h"
#include "package/lzhuf_encoder.h"
#include "package/record_format.h"

namespace {

std::vector<uint8_t> MakeMixedData(size_t size) {
    std::mt19937 rng(2026);
    std::vector<uint8_t> data;
    data.reserve(size);
    static const char* const kWords[] = {"install", "the ", "setup ", "folder", "program", "files ",
                                         "licence ", "windows ", "and ", "of ", "registry ", "\r\n"};
    while (data.size() < size) {
        switch (rng() % 3) {
        case 0:  // text
            for (int i = 0; i < 2000; ++i) {
                const std::string word = kWords[rng() % std::size(kWords)];
                data.insert(data.end(), word.begin(), word.end());
            }
            break;
        case 1:  // binary-like table of small integers
            for (uint32_t i = 0; i < 3000; ++i) {
                const uint32_t v = i * 16 + rng() % 4;
                for (int b = 0; b < 4; ++b) data.push_back(static_cast<uint8_t>(v >> (8 * b)));
            }
            break;
        default:  // random bytes
            for (int i = 0; i < 6000; ++i) data.push_back(static_cast<uint8_t>(rng()));
        }
    }
    data.resize(size);
    return data;
}

template <typename F>
double BestSeconds(int runs, F&& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

}  // namespace

// With an argument of "decode" or "encode" only that side is timed (the other
// still runs once to prepare its input), which keeps profiles readable.
int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    const bool time_encode = only != "decode";
    const bool time_decode = only != "encode";
    const std::vector<uint8_t> data = MakeMixedData(4 << 20);
    std::vector<uint8_t> coded;
    const double encode_s = BestSeconds(time_encode ? 3 : 1, [&] { coded = kq::lzhuf::Encode(data); });

    // The decoded bytes are checked once, outside the timed runs, so a fast
    // but wrong codec cannot report a figure.
    auto workspace = std::make_unique<kq::lzhuf::DecoderWorkspace>();
    std::vector<uint8_t> decoded;
    kq::lzhuf::OutputSink collect{&decoded, [](void* context, const uint8_t* bytes, uint32_t count) {
                                      auto* out = static_cast<std::vector<uint8_t>*>(context);
                                      out->insert(out->end(), bytes, bytes + count);
                                  }};
    kq::lzhuf::DecodeStream(coded.data() + 4, static_cast<uint32_t>(coded.size() - 4), kq::ReadU32(coded.data()),
                            *workspace, collect);
    if (decoded.size() < data.size() || !std::equal(data.begin(), data.end(), decoded.begin())) {
        std::fprintf(stderr, "round trip failed: %zu bytes decoded\n", decoded.size());
        return 1;
    }

    uint64_t sink_total = 0;
    kq::lzhuf::OutputSink sink{&sink_total, [](void* context, const uint8_t*, uint32_t count) {
                                   *static_cast<uint64_t*>(context) += count;
                               }};
    const double decode_s = BestSeconds(time_decode ? 5 : 1, [&] {
        sink_total = 0;
        kq::lzhuf::DecodeStream(coded.data() + 4, static_cast<uint32_t>(coded.size() - 4),
                                kq::ReadU32(coded.data()), *workspace, sink);
    });
    if (sink_total < data.size()) {
        std::fprintf(stderr, "decode produced %llu bytes\n", static_cast<unsigned long long>(sink_total));
        return 1;
    }
    const double mb = static_cast<double>(data.size()) / 1e6;
    std::printf("mixed input: %.2f MB, coded %.2f MB (%.1f%%)\n", mb, static_cast<double>(coded.size()) / 1e6,
                100.0 * static_cast<double>(coded.size()) / static_cast<double>(data.size()));
    if (time_decode) std::printf("decode: %7.1f MB/s\n", mb / decode_s);
    if (time_encode) std::printf("encode: %7.1f MB/s\n", mb / encode_s);
    return 0;
}
