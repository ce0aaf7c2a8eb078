#include "decode/Mp3File.h"

#include <cmath>
#include <optional>

#include "core/Utf8.h"

namespace swf {

namespace {

uint32_t syncSafe(const uint8_t* p) {
    return (uint32_t{p[0] & 0x7Fu} << 21) | (uint32_t{p[1] & 0x7Fu} << 14) | (uint32_t{p[2] & 0x7Fu} << 7) | (p[3] & 0x7Fu);
}
uint32_t bigEndian(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

// One string of a frame in its encoding (0 Latin-1, 1 UTF-16 with a byte-order mark,
// 2 UTF-16 big-endian, 3 UTF-8), up to its terminator; `pos` moves past the terminator.
std::string readString(std::span<const uint8_t> body, size_t& pos, uint8_t encoding) {
    std::string out;
    if (encoding == 1 || encoding == 2) {
        bool little = false;
        if (encoding == 1 && pos + 1 < body.size()) {
            if (body[pos] == 0xFF && body[pos + 1] == 0xFE) little = true, pos += 2;
            else if (body[pos] == 0xFE && body[pos + 1] == 0xFF) pos += 2;
        }
        uint32_t pendingHigh = 0;
        while (pos + 1 < body.size()) {
            uint32_t unit = little ? (body[pos] | (body[pos + 1] << 8)) : ((body[pos] << 8) | body[pos + 1]);
            pos += 2;
            if (unit == 0) return out;
            if (unit >= 0xD800 && unit < 0xDC00) {
                pendingHigh = unit;
                continue;
            }
            if (unit >= 0xDC00 && unit < 0xE000 && pendingHigh) {
                appendUtf8(out, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
            } else {
                appendUtf8(out, unit);
            }
            pendingHigh = 0;
        }
        pos = body.size();
        return out;
    }
    while (pos < body.size()) {
        uint8_t b = body[pos++];
        if (b == 0) return out;
        if (encoding == 3) out += static_cast<char>(b);
        else appendUtf8(out, b);
    }
    return out;
}

// Text frames ("T..."; the user-defined TXXX reads as its value) and comments (language and
// description skipped). Other frames (links, pictures) carry no text a script sees.
std::optional<std::string> frameText(const std::string& id, std::span<const uint8_t> body) {
    if (body.empty()) return std::nullopt;
    const uint8_t encoding = body[0];
    size_t pos = 1;
    if (id == "COMM" || id == "COM") {
        if (body.size() < 4) return std::nullopt;
        pos = 4;
        readString(body, pos, encoding);  // the description
        return readString(body, pos, encoding);
    }
    if (id.empty() || id[0] != 'T') return std::nullopt;
    if (id == "TXXX" || id == "TXX") readString(body, pos, encoding);
    return readString(body, pos, encoding);
}

// The tag's frames; returns the offset where the audio starts.
size_t readTag(std::span<const uint8_t> data, Mp3File& file) {
    if (data.size() < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
    const uint8_t major = data[3];
    const uint8_t flags = data[5];
    const size_t tagEnd = std::min<size_t>(data.size(), 10 + size_t{syncSafe(&data[6])});
    file.hasTag = true;
    size_t pos = 10;
    if ((flags & 0x40) && major >= 3 && pos + 4 <= tagEnd) {  // an extended header
        size_t extended = major == 3 ? bigEndian(&data[pos], 4) + 4 : syncSafe(&data[pos]);
        pos += extended;
    }
    const size_t idLength = major == 2 ? 3 : 4;
    const size_t headerLength = major == 2 ? 6 : 10;
    while (pos + headerLength <= tagEnd && data[pos] != 0) {
        std::string id(reinterpret_cast<const char*>(&data[pos]), idLength);
        size_t size = major == 2 ? bigEndian(&data[pos + 3], 3)
                      : major == 3 ? bigEndian(&data[pos + 4], 4)
                                   : syncSafe(&data[pos + 4]);
        pos += headerLength;
        if (size > tagEnd - pos) break;
        if (auto text = frameText(id, data.subspan(pos, size))) file.tagFrames.push_back({id, *text});
        pos += size;
    }
    return std::min<size_t>(data.size(), 10 + size_t{syncSafe(&data[6])} + ((flags & 0x10) && major >= 4 ? 10 : 0));
}

struct FrameHeader {
    uint32_t samples = 0;
    uint32_t sampleRate = 0;
    size_t length = 0;
};

// An MPEG audio frame header (MPEG 1, 2 and 2.5, layers I-III), or nothing.
std::optional<FrameHeader> readHeader(const uint8_t* p) {
    const uint32_t h = bigEndian(p, 4);
    if ((h >> 21) != 0x7FF) return std::nullopt;
    const uint32_t version = (h >> 19) & 3, layerBits = (h >> 17) & 3, bitrateIndex = (h >> 12) & 15,
                   rateIndex = (h >> 10) & 3, padding = (h >> 9) & 1;
    if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return std::nullopt;
    const bool mpeg1 = version == 3;
    const int layer = 4 - static_cast<int>(layerBits);
    static constexpr uint16_t kBitrates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG 1 layer I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG 1 layer II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG 1 layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG 2 layer I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG 2 layers II, III
    };
    static constexpr uint32_t kRates[3] = {44100, 48000, 32000};
    const int table = mpeg1 ? layer - 1 : layer == 1 ? 3 : 4;
    const uint32_t bitrate = kBitrates[table][bitrateIndex] * 1000u;
    const uint32_t rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    FrameHeader f;
    f.sampleRate = rate;
    if (layer == 1) {
        f.samples = 384;
        f.length = (12 * bitrate / rate + padding) * 4;
    } else if (layer == 2 || mpeg1) {
        f.samples = 1152;
        f.length = 144 * bitrate / rate + padding;
    } else {
        f.samples = 576;
        f.length = 72 * bitrate / rate + padding;
    }
    return f;
}

}  // namespace

double Mp3File::durationMillis() const {
    return sampleRate ? std::round(static_cast<double>(samples) * 1000 / sampleRate) : 0;
}

Mp3File readMp3File(std::span<const uint8_t> bytes) {
    Mp3File file;
    size_t pos = readTag(bytes, file);
    // Frame by frame; after anything that is no header, search on for the next one.
    while (pos + 4 <= bytes.size()) {
        std::optional<FrameHeader> f = readHeader(&bytes[pos]);
        if (!f || f->length < 4 || f->length > bytes.size() - pos) {
            ++pos;
            continue;
        }
        if (!file.sampleRate) file.sampleRate = f->sampleRate;
        file.samples += f->samples;
        pos += f->length;
    }
    return file;
}

}  // namespace swf
