// Decompression of movie bodies: what a stream claims does not decide what is allocated, a
// cut stream keeps what arrived, and the cap holds against a bomb.
#include <gtest/gtest.h>

#include <zlib.h>

#include <vector>

#include "core/Inflate.h"

namespace swf {
namespace {

std::vector<uint8_t> deflated(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    EXPECT_EQ(compress(out.data(), &size, data.data(), static_cast<uLong>(data.size())), Z_OK);
    out.resize(size);
    return out;
}

std::vector<uint8_t> sample(size_t n) {
    std::vector<uint8_t> data(n);
    for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 13);
    return data;
}

TEST(Inflate, AClaimedSizeBeyondWhatTheStreamCanHoldIsNotAllocated) {
    const std::vector<uint8_t> original = sample(300);
    const std::vector<uint8_t> stream = deflated(original);
    // A 200-byte movie whose header promises 16 MB, loaded over and over, once took
    // gigabytes: each kept its promised buffer.
    InflateResult whole = inflateZlib(stream, 16u << 20, 64u << 20);
    EXPECT_TRUE(whole.complete);
    EXPECT_EQ(whole.data, original);
    EXPECT_LT(whole.data.capacity(), 4096u);

    std::vector<uint8_t> cut(stream.begin(), stream.begin() + static_cast<long>(stream.size() / 2));
    InflateResult partial = inflateZlib(cut, 16u << 20, 64u << 20);
    EXPECT_FALSE(partial.complete);
    EXPECT_TRUE(partial.inputEnded);
    ASSERT_LE(partial.data.size(), original.size());
    EXPECT_TRUE(std::equal(partial.data.begin(), partial.data.end(), original.begin()));
    EXPECT_LT(partial.data.capacity(), 4096u);
}

TEST(Inflate, AStreamLargerThanItsClaimGrowsAndTheCapStopsABomb) {
    const std::vector<uint8_t> original = sample(200000);
    InflateResult grown = inflateZlib(deflated(original), 10, 1u << 20);  // the claim is too small
    EXPECT_TRUE(grown.complete);
    EXPECT_EQ(grown.data, original);

    const std::vector<uint8_t> zeros(4u << 20, 0);
    InflateResult capped = inflateZlib(deflated(zeros), 0, 64u << 10);
    EXPECT_FALSE(capped.complete);
    EXPECT_FALSE(capped.inputEnded);
    EXPECT_EQ(capped.data.size(), 64u << 10);
    EXPECT_NE(capped.error.find("exceeds"), std::string::npos);
}

}  // namespace
}  // namespace swf
