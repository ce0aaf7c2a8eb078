#pragma once
// A TrueType file built byte by byte, small enough that every outline point is known:
//   units per em 1000, ascent 800, descent 200, line gap 90
//   glyph 1 'A' 'b'  a 500-unit square (one flag repeated for its four points)
//   glyph 2 'B' 'a'  on (0,0), off (100,200), off (300,200), on (400,0)
//   glyph 3 'C'      glyph 1 at half size moved by (600,0): a composite
//   glyph 4 'D'      a composite that contains itself
//   glyph 5 'E'      four off-curve points only
// Advances 500, 600, 700 for glyphs 0..2; glyphs 3..5 share the last one. 'a' and 'b' are
// mapped through the glyph-id array of a format 4 map, 'A'..'E' through its delta; the
// format 12 variant maps 'A'..'E' and U+1F600 (to glyph 2) instead.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace swf::testing {

class BigEndianBytes {
public:
    BigEndianBytes& u8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); return *this; }
    BigEndianBytes& u16(uint32_t v) { return u8(v >> 8).u8(v); }
    BigEndianBytes& u32(uint32_t v) { return u16(v >> 16).u16(v); }
    BigEndianBytes& tag(const char* t) { for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(t[i])); return *this; }
    BigEndianBytes& zeros(size_t n) { bytes.insert(bytes.end(), n, 0); return *this; }
    BigEndianBytes& append(const std::vector<uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); return *this; }
    std::vector<uint8_t> bytes;
};

struct TinyPoint { int x, y; bool onCurve; };

// One simple glyph, encoded as a font editor would: short coordinates where they fit,
// "same as before" for zero deltas, runs of equal flags repeated.
inline std::vector<uint8_t> simpleGlyph(const std::vector<std::vector<TinyPoint>>& contours) {
    std::vector<TinyPoint> pts;
    std::vector<uint16_t> ends;
    for (const auto& c : contours) {
        pts.insert(pts.end(), c.begin(), c.end());
        ends.push_back(static_cast<uint16_t>(pts.size() - 1));
    }
    std::vector<uint8_t> flags, xs, ys;
    int px = 0, py = 0;
    auto encode = [](int d, uint8_t shortBit, uint8_t sameBit, uint8_t& flag, std::vector<uint8_t>& out) {
        if (d == 0) flag |= sameBit;
        else if (std::abs(d) < 256) {
            flag |= shortBit | (d > 0 ? sameBit : 0);
            out.push_back(static_cast<uint8_t>(std::abs(d)));
        } else {
            out.push_back(static_cast<uint8_t>(d >> 8));
            out.push_back(static_cast<uint8_t>(d));
        }
    };
    for (const TinyPoint& p : pts) {
        uint8_t flag = p.onCurve ? 1 : 0;
        encode(p.x - px, 0x02, 0x10, flag, xs);
        encode(p.y - py, 0x04, 0x20, flag, ys);
        px = p.x, py = p.y;
        flags.push_back(flag);
    }
    BigEndianBytes g;
    g.u16(contours.size()).zeros(8);  // the bounding box is not read
    for (uint16_t e : ends) g.u16(e);
    g.u16(0);  // no instructions
    for (size_t i = 0; i < flags.size();) {
        size_t run = 1;
        while (i + run < flags.size() && flags[i + run] == flags[i] && run < 256) ++run;
        if (run > 1) g.u8(flags[i] | 0x08).u8(run - 1);
        else g.u8(flags[i]);
        i += run;
    }
    g.append(xs).append(ys);
    return g.bytes;
}

inline std::vector<uint8_t> tinyTrueType(bool format12 = false) {
    std::vector<std::vector<uint8_t>> glyphs(6);
    glyphs[1] = simpleGlyph({{{0, 0, true}, {0, 500, true}, {500, 500, true}, {500, 0, true}}});
    glyphs[2] = simpleGlyph({{{0, 0, true}, {100, 200, false}, {300, 200, false}, {400, 0, true}}});
    // Composite: words, offsets, one scale of 0.5 (8192 in 2.14).
    glyphs[3] = BigEndianBytes().u16(0xFFFF).zeros(8).u16(0x0001 | 0x0002 | 0x0008).u16(1).u16(600).u16(0).u16(8192).bytes;
    glyphs[4] = BigEndianBytes().u16(0xFFFF).zeros(8).u16(0x0001 | 0x0002).u16(4).u16(0).u16(0).bytes;
    glyphs[5] = simpleGlyph({{{0, 100, false}, {100, 200, false}, {200, 100, false}, {100, 0, false}}});

    BigEndianBytes glyf, loca;
    for (auto& g : glyphs) {
        if (g.size() % 2) g.push_back(0);
        loca.u16(glyf.bytes.size() / 2);
        glyf.append(g);
    }
    loca.u16(glyf.bytes.size() / 2);

    BigEndianBytes head;
    head.u32(0x00010000).u32(0).u32(0).u32(0x5F0F3CF5).u16(0).u16(1000).zeros(16).zeros(8).u16(0).u16(8).u16(2)
        .u16(0) /* short loca */.u16(0);
    BigEndianBytes hhea;
    hhea.u32(0x00010000).u16(800).u16(static_cast<uint16_t>(-200)).u16(90).zeros(24).u16(3);
    BigEndianBytes maxp;
    maxp.u32(0x00005000).u16(glyphs.size());
    BigEndianBytes hmtx;
    hmtx.u16(500).u16(0).u16(600).u16(0).u16(700).u16(0).u16(0).u16(0).u16(0);  // then 3 bare side bearings

    BigEndianBytes sub;
    if (format12) {
        sub.u16(12).u16(0).u32(16 + 2 * 12).u32(0).u32(2);
        sub.u32('A').u32('E').u32(1);
        sub.u32(0x1F600).u32(0x1F600).u32(2);
    } else {
        // Segments: 'A'..'E' by delta, 'a'..'b' through the glyph-id array, the 0xFFFF end.
        const int segments = 3;
        sub.u16(4).u16(16 + segments * 8 + 4).u16(0).u16(segments * 2).u16(4).u16(1).u16(2);
        sub.u16('E').u16('b').u16(0xFFFF).u16(0);
        sub.u16('A').u16('a').u16(0xFFFF);
        sub.u16(static_cast<uint16_t>(1 - 'A')).u16(0).u16(1);
        sub.u16(0).u16(4).u16(0);  // 'a'..'b': from this field, 4 bytes on to the array
        sub.u16(2).u16(1);
    }
    BigEndianBytes cmap;
    cmap.u16(0).u16(1).u16(3).u16(format12 ? 10 : 1).u32(12).append(sub.bytes);

    struct Table { const char* tag; std::vector<uint8_t> bytes; };
    std::vector<Table> tables = {{"cmap", cmap.bytes}, {"glyf", glyf.bytes}, {"head", head.bytes}, {"hhea", hhea.bytes},
                                 {"hmtx", hmtx.bytes}, {"loca", loca.bytes}, {"maxp", maxp.bytes}};
    BigEndianBytes file;
    file.u32(0x00010000).u16(tables.size()).u16(0).u16(0).u16(0);
    size_t offset = 12 + tables.size() * 16;
    for (auto& t : tables) {
        while (t.bytes.size() % 4) t.bytes.push_back(0);
        file.tag(t.tag).u32(0).u32(offset).u32(t.bytes.size());
        offset += t.bytes.size();
    }
    for (auto& t : tables) file.append(t.bytes);
    return file.bytes;
}

}  // namespace swf::testing
