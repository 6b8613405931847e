// The LZHUF codec against the vectors of the 1988 reference encoder: encoding
// gives its bytes, decoding the original. (The fuzz targets compare the
// decoder's output pieces with a plain decoder, these vectors among their seeds.)
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/deep_code_input.h"
#include "common/plain_lzhuf.h"
#include "package/lzhuf_encoder.h"
#include "package/package_reader.h"

namespace {

std::vector<uint8_t> ReadVector(const std::string& name) {
    std::ifstream in(std::string(KQ_TEST_DATA) + "/lzhuf/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), {}};
}

class LzhufVectors : public testing::TestWithParam<const char*> {};

TEST_P(LzhufVectors, EncodeToTheReferenceBytesAndDecodeToTheOriginal) {
    const std::vector<uint8_t> original = ReadVector(std::string(GetParam()) + ".bin");
    const std::vector<uint8_t> coded = ReadVector(std::string(GetParam()) + ".lzh");
    EXPECT_EQ(kq::lzhuf::Encode(original), coded);
    EXPECT_EQ(kq::DecodeReferenceStream(coded), original);
}

INSTANTIATE_TEST_SUITE_P(Reference, LzhufVectors,
                         testing::Values("empty", "one_byte", "spaces_4096", "text_345", "exact_4095", "exact_8191",
                                         "leading_spaces", "text_70k", "rebuild_200k", "random_64k", "zeros_64k",
                                         "synth_binary_100k"));

// The reference encoder kept 16 bits of a code, so deeper codes came out cut
// and the stream decoded to garbage.
TEST(LongCodes, ComeOutWholeAndDecodeToTheInput) {
    const std::vector<uint8_t> input = kqtest::DeepCodeInput();
    const std::vector<uint8_t> coded = kq::lzhuf::Encode(input);
    EXPECT_GT(plain_lzhuf::Decode(coded.data() + 4, coded.size() - 4, static_cast<uint32_t>(input.size())).longest_code,
              16u);
    EXPECT_TRUE(kq::DecodeReferenceStream(coded) == input);
}

// The bound that refuses damaged records must hold for the densest streams an
// encoder makes: long runs give a 60-byte match per 10 bits.
TEST(DecodedSizeBound, HoldsForTheDensestEncoderOutput) {
    std::vector<uint8_t> pattern(1 << 20, 0);
    for (size_t i = 0; i < pattern.size(); i += 2) pattern[i] = 1;
    for (const std::vector<uint8_t>& input : {std::vector<uint8_t>(1 << 20, 0), std::vector<uint8_t>(61, ' '), pattern})
        EXPECT_LE(input.size(), kq::MaxDecodedSize(static_cast<uint32_t>(kq::lzhuf::Encode(input).size() - 4)));
}

}  // namespace
