// The LZHUF decoder against our packer and against an independent reference encoder.
#include <gtest/gtest.h>

#include "Lzh.h"
#include "LzhEncoder.h"
#include "LzhReferenceEncoder.h"
#include "SkinTestData.h"

namespace velmora::skin {
namespace {

using testing::ReferenceLzhEncoder;
using testing::ReferenceMode;

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

void expectRoundTrip(const std::vector<uint8_t>& data) {
    const std::vector<uint8_t> stream = packLzh(data);
    const std::vector<uint8_t> back = unpackLzh(stream, data.size());
    ASSERT_EQ(back.size(), data.size());
    EXPECT_TRUE(back == data) << "first difference at " << (std::mismatch(back.begin(), back.end(), data.begin()).first - back.begin());
}

TEST(LzhRoundTrip, PackedBytesUnpackBitExactly) {
    expectRoundTrip({});
    expectRoundTrip({0x41});
    expectRoundTrip(bytesOf("    "));  // only the spaces the ring starts with
    expectRoundTrip(testing::randomBytes(70000, 1));
    expectRoundTrip(testing::englishText(200000, 2));
    expectRoundTrip(testing::runs(100000, 3));
    expectRoundTrip(std::vector<uint8_t>(5000, 0));
}

TEST(LzhRoundTrip, OneMegabyteOfMixedData) {
    std::vector<uint8_t> data = testing::englishText(400000, 4);
    const std::vector<uint8_t> noise = testing::randomBytes(300000, 5);
    const std::vector<uint8_t> flat = testing::runs(348576, 6);
    data.insert(data.end(), noise.begin(), noise.end());
    data.insert(data.end(), flat.begin(), flat.end());
    ASSERT_EQ(data.size(), 1u << 20);
    expectRoundTrip(data);
}

TEST(LzhRoundTrip, RepetitiveDataCompresses) {
    const std::vector<uint8_t> text = testing::englishText(100000, 7);
    EXPECT_LT(packLzh(text).size(), text.size() / 3);
    EXPECT_LT(packLzh(std::vector<uint8_t>(100000, 0xFF)).size(), 3000u);
}

TEST(LzhDecoder, ReadsTheReferenceEncodersLiteralStreams) {
    // 40000 literals pass the point where the root's count reaches 0x8000 and the tree rebuilds.
    ReferenceLzhEncoder reference;
    const std::vector<uint8_t> data = testing::randomBytes(40000, 8);
    const std::vector<uint8_t> stream = reference.encode(data, ReferenceMode::LiteralsOnly);
    EXPECT_TRUE(unpackLzh(stream, data.size()) == data);
}

TEST(LzhDecoder, ReadsTheReferenceEncodersMatchStreams) {
    // Exhaustive matches reach every ring position: the initial spaces, the never-written tail
    // (not used: it is zero), overlapping copies and the full 4096-byte distance.
    ReferenceLzhEncoder reference;
    std::vector<uint8_t> data = bytesOf("       header       ");
    const std::vector<uint8_t> text = testing::englishText(6000, 9);
    const std::vector<uint8_t> noise = testing::randomBytes(4096, 10);
    data.insert(data.end(), text.begin(), text.end());
    data.insert(data.end(), noise.begin(), noise.end());
    data.insert(data.end(), noise.begin(), noise.begin() + 500);  // exactly one ring back
    data.insert(data.end(), 300, 'x');
    const std::vector<uint8_t> stream = reference.encode(data, ReferenceMode::LongestMatch);
    EXPECT_LT(stream.size(), data.size() * 2 / 3);
    EXPECT_TRUE(unpackLzh(stream, data.size()) == data);
}

TEST(LzhDecoder, PackerAgreesBitForBitWithTheReferenceWhenNothingMatches) {
    // Distinct bytes (no space) hold no repeated three-byte string: both encoders emit literals.
    std::vector<uint8_t> data;
    for (int b = 255; b >= 0; --b) {
        if (b != ' ') data.push_back(static_cast<uint8_t>(b));
    }
    ReferenceLzhEncoder reference;
    EXPECT_EQ(packLzh(data), reference.encode(data, ReferenceMode::LiteralsOnly));
}

TEST(LzhDecoder, StopsAtTheDeclaredSizeEvenInsideAMatch) {
    const std::vector<uint8_t> data(1000, 'q');
    const std::vector<uint8_t> stream = packLzh(data);
    EXPECT_EQ(unpackLzh(stream, 10), std::vector<uint8_t>(10, 'q'));
    EXPECT_TRUE(unpackLzh(stream, 0).empty());
}

TEST(LzhDecoder, InputPastItsEndReadsAsZeroBits) {
    const std::vector<uint8_t> data = testing::englishText(20000, 11);
    const std::vector<uint8_t> stream = packLzh(data);
    const std::vector<uint8_t> half(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(stream.size() / 2));
    std::vector<uint8_t> padded = half;
    padded.resize(stream.size() * 4, 0);

    const std::vector<uint8_t> fromHalf = unpackLzh(half, data.size());
    ASSERT_EQ(fromHalf.size(), data.size());
    EXPECT_EQ(fromHalf, unpackLzh(padded, data.size()));
    // What the half held decodes as before.
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 5000, fromHalf.begin()));
    // No input at all still yields the declared size.
    EXPECT_EQ(unpackLzh({}, 100).size(), 100u);
}

TEST(LzhDecoder, CallbacksSeeOneByteAtATimeAndNothingAfterTheEnd) {
    const std::vector<uint8_t> data = testing::runs(3000, 12);
    const std::vector<uint8_t> stream = packLzh(data);
    size_t next = 0, readsPastEnd = 0;
    std::vector<uint8_t> out;
    TLZH().Unpack(
        [&]() -> int {
            if (next < stream.size()) return stream[next++];
            ++readsPastEnd;
            return -1;
        },
        [&](uint8_t b) { out.push_back(b); }, data.size());
    EXPECT_EQ(out, data);
    EXPECT_LE(next, stream.size());
    EXPECT_LE(readsPastEnd, 2u);  // at most the zero padding of the last code
}

TEST(LzhDecoder, CallbackFailuresPassThrough) {
    EXPECT_THROW(TLZH().Unpack([] { return 0; }, [](uint8_t) { throw std::runtime_error("disk full"); }, 1),
                 std::runtime_error);
}

}  // namespace
}  // namespace velmora::skin
