// The codec against the reference encoder's vectors, and its edge behaviour:
// zero-filled input past the end, whole last matches, tree rebuilds.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "package/lzhuf_decoder.h"
#include "package/lzhuf_encoder.h"
#include "package/package_reader.h"
#include "package/record_format.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), {}};
}

// Records the piece sizes the decoder hands to its sink.
struct PieceRecorder {
    std::vector<uint32_t> pieces;
    std::vector<uint8_t> bytes;
    kq::lzhuf::OutputSink Sink() {
        return {this, [](void* context, const uint8_t* data, uint32_t count) {
                    auto* self = static_cast<PieceRecorder*>(context);
                    self->pieces.push_back(count);
                    self->bytes.insert(self->bytes.end(), data, data + count);
                }};
    }
};

PieceRecorder DecodeWithPieces(const std::vector<uint8_t>& reference_file) {
    PieceRecorder recorder;
    auto workspace = std::make_unique<kq::lzhuf::DecoderWorkspace>();
    kq::lzhuf::DecodeStream(reference_file.data() + 4, static_cast<uint32_t>(reference_file.size() - 4),
                            kq::ReadU32(reference_file.data()), *workspace, recorder.Sink());
    return recorder;
}

class ReferenceVectors : public testing::TestWithParam<std::string> {};

TEST_P(ReferenceVectors, DecodeToOriginalAndEncodeToReferenceBytes) {
    const std::string base = std::string(KQ_TEST_DATA) + "/lzhuf/" + GetParam();
    const auto original = ReadFile(base + ".bin");
    const auto compressed = ReadFile(base + ".lzh");
    EXPECT_EQ(kq::DecodeReferenceStream(compressed), original);
    EXPECT_EQ(kq::lzhuf::Encode(original), compressed);
}

INSTANTIATE_TEST_SUITE_P(Lzhuf, ReferenceVectors,
                         testing::Values("empty", "one_byte", "spaces_4096", "text_345", "exact_4095",
                                         "exact_8191", "leading_spaces", "text_70k", "rebuild_200k",
                                         "random_64k", "zeros_64k", "synth_binary_100k"));

TEST(LzhufDecoder, WritesPiecesOf4095ThenTheRemainder) {
    const std::string dir = std::string(KQ_TEST_DATA) + "/lzhuf/";
    EXPECT_EQ(DecodeWithPieces(ReadFile(dir + "empty.lzh")).pieces, (std::vector<uint32_t>{0}));
    EXPECT_EQ(DecodeWithPieces(ReadFile(dir + "text_345.lzh")).pieces, (std::vector<uint32_t>{345}));
    EXPECT_EQ(DecodeWithPieces(ReadFile(dir + "exact_4095.lzh")).pieces, (std::vector<uint32_t>{4095, 0}));
    EXPECT_EQ(DecodeWithPieces(ReadFile(dir + "exact_8191.lzh")).pieces,
              (std::vector<uint32_t>{4095, 4095, 1}));
}

TEST(LzhufDecoder, StreamCutShortDecodesToFullSizeWithZeroBits) {
    auto compressed = ReadFile(std::string(KQ_TEST_DATA) + "/lzhuf/text_70k.lzh");
    const auto original = ReadFile(std::string(KQ_TEST_DATA) + "/lzhuf/text_70k.bin");
    compressed.resize(compressed.size() / 2);
    const auto decoded = kq::DecodeReferenceStream(compressed);
    ASSERT_GE(decoded.size(), original.size());
    // The first part still decodes faithfully; the tail is whatever zero bits give.
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 1000, decoded.begin()));
    // Same result as explicitly appending zero bytes: nothing past the end is read.
    auto padded = compressed;
    padded.resize(compressed.size() + 200000, 0);
    EXPECT_EQ(kq::DecodeReferenceStream(padded), decoded);
}

TEST(LzhufDecoder, LastMatchIsCopiedWholePastTheStatedSize) {
    // 100 zero bytes encode as a literal and matches; stating a smaller size
    // that ends inside a match yields that whole match.
    const std::vector<uint8_t> zeros(100, 0);
    auto compressed = kq::lzhuf::Encode(zeros);
    compressed[0] = 2;  // the first match starts after one literal
    const auto decoded = kq::DecodeReferenceStream(compressed);
    EXPECT_GT(decoded.size(), 2u);
    EXPECT_EQ(decoded, std::vector<uint8_t>(decoded.size(), 0));
}

TEST(LzhufDecoder, SizeZeroReadsNoBitsAndWritesOnceEmpty) {
    PieceRecorder recorder;
    auto workspace = std::make_unique<kq::lzhuf::DecoderWorkspace>();
    const uint8_t garbage[] = {0xFF, 0x12, 0x34};
    kq::lzhuf::DecodeStream(garbage, sizeof garbage, 0, *workspace, recorder.Sink());
    EXPECT_EQ(recorder.pieces, (std::vector<uint32_t>{0}));
}

TEST(LzhufCodec, RoundTripsAcrossTreeRebuildsAndRingWraps) {
    // Skewed random data: many symbols, frequent rebuilds, long ring history.
    std::mt19937 rng(12345);
    std::vector<uint8_t> data(300000);
    std::geometric_distribution<int> skew(0.05);
    for (auto& b : data) b = static_cast<uint8_t>(skew(rng));
    const auto compressed = kq::lzhuf::Encode(data);
    EXPECT_EQ(kq::DecodeReferenceStream(compressed), data);
}

TEST(LzhufCodec, RoundTripsMatchesReachingIntoThePrefilledSpaces) {
    std::string text(50, ' ');
    text += "after the spaces";
    text.append(4000, ' ');
    const std::vector<uint8_t> data(text.begin(), text.end());
    EXPECT_EQ(kq::DecodeReferenceStream(kq::lzhuf::Encode(data)), data);
}

}  // namespace

namespace {

// The size bound that refuses damaged records must never refuse what an
// encoder can make: the densest streams are long runs of one byte.
TEST(DecodedSizeBound, HoldsForTheDensestEncoderOutput) {
    for (const size_t size : {size_t{1}, size_t{61}, size_t{4096}, size_t{1} << 20, size_t{3} << 20}) {
        for (const uint8_t value : {uint8_t{0}, uint8_t{' '}, uint8_t{0xFF}}) {
            const std::vector<uint8_t> run(size, value);
            const auto coded = kq::lzhuf::Encode(run);
            const auto stream_length = static_cast<uint32_t>(coded.size() - 4);
            EXPECT_LE(size, kq::MaxDecodedSize(stream_length)) << size << " bytes of " << int{value};
        }
    }
    // A two-byte pattern gives matches as long as runs do.
    std::vector<uint8_t> pattern(2 << 20);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(i & 1);
    EXPECT_LE(pattern.size(), kq::MaxDecodedSize(static_cast<uint32_t>(kq::lzhuf::Encode(pattern).size() - 4)));
}

TEST(DecodedSizeBound, RefusesASizeNoStreamOfThatLengthCouldHold) {
    // Record buffer: length, date, time, attributes, name length 1, name,
    // size, then a 10-byte stream.
    std::vector<uint8_t> buffer = {0, 0, 0, 0, 0, 0, 0, 0, 0x20, 1, 'x', 0, 0, 0, 0};
    buffer.resize(buffer.size() + 10, 0);
    auto set_size = [&](uint32_t size) {
        for (int i = 0; i < 4; ++i) buffer[11 + i] = static_cast<uint8_t>(size >> (8 * i));
    };
    kq::RecordFields fields{};
    set_size(48 * 10 + 60);
    EXPECT_EQ(kq::ParseRecordBuffer(buffer.data(), static_cast<uint32_t>(buffer.size()), fields), 1);
    set_size(48 * 10 + 61);
    EXPECT_EQ(kq::ParseRecordBuffer(buffer.data(), static_cast<uint32_t>(buffer.size()), fields), 0);
    set_size(0xFFFFFFFF);
    EXPECT_EQ(kq::ParseRecordBuffer(buffer.data(), static_cast<uint32_t>(buffer.size()), fields), 0);
}

}  // namespace
