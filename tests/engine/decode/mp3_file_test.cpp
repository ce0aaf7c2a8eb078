// What an MP3 file tells without decoding: its length from the frame headers, the text of
// its ID3v2 tag, and nothing read past the data however the file is damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/Mp3File.h"

namespace swf {
namespace {

using Bytes = std::vector<uint8_t>;

// One MPEG 1 layer III frame, 128 kbit/s at 44.1 kHz: 417 bytes, 1152 samples.
void appendFrame(Bytes& out) {
    const uint8_t header[] = {0xFF, 0xFB, 0x90, 0x00};
    out.insert(out.end(), header, header + 4);
    out.resize(out.size() + 413, 0x55);
}

// An ID3 2.3 frame: id, 32-bit size, two flag bytes, body.
void appendTagFrame(Bytes& out, const std::string& id, const Bytes& body) {
    out.insert(out.end(), id.begin(), id.end());
    const uint32_t n = static_cast<uint32_t>(body.size());
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<uint8_t>(n >> shift));
    out.push_back(0);
    out.push_back(0);
    out.insert(out.end(), body.begin(), body.end());
}

Bytes tag(const Bytes& frames, uint32_t declaredSize = 0) {
    const uint32_t n = declaredSize ? declaredSize : static_cast<uint32_t>(frames.size());
    Bytes out = {'I', 'D', '3', 3, 0, 0,
                 static_cast<uint8_t>((n >> 21) & 0x7F), static_cast<uint8_t>((n >> 14) & 0x7F),
                 static_cast<uint8_t>((n >> 7) & 0x7F), static_cast<uint8_t>(n & 0x7F)};
    out.insert(out.end(), frames.begin(), frames.end());
    return out;
}

Bytes latin1(const std::string& s) {
    Bytes b{0};
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

TEST(Mp3File, LengthCountsTheFramesAndSkipsWhatIsNoFrame) {
    Bytes file;
    for (int i = 0; i < 40; ++i) appendFrame(file);
    Mp3File plain = readMp3File(file);
    EXPECT_FALSE(plain.hasTag);
    EXPECT_EQ(plain.samples, 40u * 1152);
    EXPECT_EQ(plain.sampleRate, 44100u);
    EXPECT_EQ(plain.durationMillis(), 1045);  // 1044.9 rounds up

    // Junk between frames and a last frame cut short do not count.
    Bytes damaged;
    appendFrame(damaged);
    damaged.insert(damaged.end(), {0x12, 0xFF, 0x00, 0x34});
    appendFrame(damaged);
    damaged.insert(damaged.end(), {0xFF, 0xFB, 0x90, 0x00, 1, 2, 3});
    EXPECT_EQ(readMp3File(damaged).samples, 2u * 1152);

    EXPECT_EQ(readMp3File(Bytes{}).durationMillis(), 0);
    EXPECT_EQ(readMp3File(Bytes{0xFF, 0xFF, 0xFF}).sampleRate, 0u);
}

TEST(Mp3File, TagTextInEachEncodingAndCommentsWithoutTheirDescription) {
    Bytes frames;
    appendTagFrame(frames, "TPE1", latin1("Caf\xE9"));
    appendTagFrame(frames, "TIT2", {1, 0xFF, 0xFE, 'H', 0, 'i', 0, 0x3D, 0xD8, 0x00, 0xDE});  // UTF-16, a pair
    appendTagFrame(frames, "TALB", {2, 0, 'A', 0, 'b'});                                     // UTF-16 big-endian
    appendTagFrame(frames, "COMM", {0, 'e', 'n', 'g', 'd', 'e', 's', 'c', 0, 'n', 'o', 't', 'e'});
    appendTagFrame(frames, "WOAR", latin1("http://example.com"));  // a link: no text
    appendTagFrame(frames, "TYER", latin1("1999"));
    Bytes file = tag(frames);
    appendFrame(file);
    Mp3File f = readMp3File(file);
    ASSERT_TRUE(f.hasTag);
    ASSERT_EQ(f.tagFrames.size(), 5u);
    EXPECT_EQ(f.tagFrames[0].text, "Caf\xC3\xA9");
    EXPECT_EQ(f.tagFrames[1].text, "Hi\xF0\x9F\x98\x80");
    EXPECT_EQ(f.tagFrames[2].text, "Ab");
    EXPECT_EQ(f.tagFrames[3].id, "COMM");
    EXPECT_EQ(f.tagFrames[3].text, "note");
    EXPECT_EQ(f.tagFrames[4].id, "TYER");
    EXPECT_EQ(f.samples, 1152u);  // the audio starts after the tag
}

TEST(Mp3File, ATagClaimingMoreThanTheFileHoldsStopsAtItsEnd) {
    Bytes frames;
    appendTagFrame(frames, "TIT2", latin1("kept"));
    appendTagFrame(frames, "TALB", latin1("cut"));
    frames.resize(frames.size() - 2);  // the second frame's body runs past the data
    Mp3File f = readMp3File(tag(frames, 100000));
    ASSERT_EQ(f.tagFrames.size(), 1u);
    EXPECT_EQ(f.tagFrames[0].text, "kept");
    EXPECT_EQ(f.samples, 0u);
}

}  // namespace
}  // namespace swf
