#include "font/TrueTypeFont.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/DecodeFailure.h"

namespace swf {

namespace {

// Composite glyphs refer to other glyphs; real fonts nest two or three deep. The limits stop
// a crafted font from recursing forever or multiplying points without end.
constexpr int kMaxCompositeDepth = 16;
constexpr size_t kMaxGlyphPoints = 1 << 16;

constexpr uint32_t tagOf(const char (&name)[5]) {
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
           uint32_t(uint8_t(name[3]));
}

std::string tagName(uint32_t tag) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(tag >> (24 - 8 * i));
    return s;
}

// Big-endian reads at explicit offsets: TrueType tables point into themselves, so random
// access reads the format more plainly than a cursor. Every read checks its bytes first.
class BigEndian {
public:
    BigEndian(std::span<const uint8_t> data, const char* what) : data_(data), what_(what) {}

    uint8_t u8(size_t at) const { return check(at, 1)[0]; }
    uint16_t u16(size_t at) const {
        const uint8_t* p = check(at, 2);
        return static_cast<uint16_t>(p[0] << 8 | p[1]);
    }
    int16_t s16(size_t at) const { return static_cast<int16_t>(u16(at)); }
    uint32_t u32(size_t at) const {
        const uint8_t* p = check(at, 4);
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    }
    size_t size() const { return data_.size(); }

private:
    const uint8_t* check(size_t at, size_t n) const {
        if (at > data_.size() || data_.size() - at < n)
            fail(std::string("truetype: ") + what_ + " ends early (reading " + std::to_string(n) + " bytes at " +
                 std::to_string(at) + " of " + std::to_string(data_.size()) + ")");
        return data_.data() + at;
    }

    std::span<const uint8_t> data_;
    const char* what_;
};

// Glyph point flags.
constexpr uint8_t kOnCurve = 0x01, kShortX = 0x02, kShortY = 0x04, kRepeat = 0x08, kSameOrPositiveX = 0x10,
                  kSameOrPositiveY = 0x20;
// Composite component flags.
constexpr uint16_t kArgsAreWords = 0x0001, kArgsAreOffsets = 0x0002, kHasScale = 0x0008, kMoreComponents = 0x0020,
                   kHasXYScale = 0x0040, kHasTwoByTwo = 0x0080, kScaledOffset = 0x0800;

double f2dot14(int16_t v) { return v / 16384.0; }

}  // namespace

TrueTypeFont::TrueTypeFont(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    BigEndian file(bytes_, "font file");
    uint32_t version = file.u32(0);
    if (version == tagOf("ttcf")) {
        if (file.u32(8) == 0) fail("truetype: font collection holds no font");
        fontStart_ = file.u32(12);
        version = file.u32(fontStart_);
    }
    if (version == tagOf("OTTO")) fail("truetype: CFF outlines are not supported");
    if (version != 0x00010000 && version != tagOf("true")) fail("truetype: not a TrueType font");
    const uint16_t count = file.u16(fontStart_ + 4);
    for (uint16_t i = 0; i < count; ++i) {
        const size_t record = fontStart_ + 12 + size_t(i) * 16;
        TableEntry entry{file.u32(record), file.u32(record + 8), file.u32(record + 12)};
        if (entry.offset > bytes_.size() || bytes_.size() - entry.offset < entry.length)
            fail("truetype: table " + tagName(entry.tag) + " lies outside the file");
        tables_.push_back(entry);
    }
    readHead();
    readMetrics();
    readLocations();
    chooseCharacterMap();
}

std::span<const uint8_t> TrueTypeFont::table(uint32_t tag, size_t minimumSize, bool required) const {
    for (const TableEntry& t : tables_)
        if (t.tag == tag) {
            if (t.length < minimumSize) fail("truetype: table " + tagName(tag) + " is too short");
            return std::span<const uint8_t>(bytes_).subspan(t.offset, t.length);
        }
    if (required) fail("truetype: table " + tagName(tag) + " is missing");
    return {};
}

void TrueTypeFont::readHead() {
    BigEndian head(table(tagOf("head"), 54), "head");
    unitsPerEm_ = head.u16(18);
    // The format allows 16..16384; anything else would scale glyphs to nonsense.
    if (unitsPerEm_ < 16 || unitsPerEm_ > 16384) fail("truetype: units per em " + std::to_string(unitsPerEm_));
    const int16_t locationFormat = head.s16(50);
    if (locationFormat != 0 && locationFormat != 1) fail("truetype: unknown loca format");
    longLocations_ = locationFormat == 1;
}

void TrueTypeFont::readMetrics() {
    BigEndian maxp(table(tagOf("maxp"), 6), "maxp");
    glyphCount_ = maxp.u16(4);
    BigEndian hhea(table(tagOf("hhea"), 36), "hhea");
    ascent_ = hhea.s16(4);
    descent_ = -hhea.s16(6);
    lineGap_ = hhea.s16(8);
    metricCount_ = hhea.u16(34);
    hmtx_ = table(tagOf("hmtx"), size_t(metricCount_) * 4);
    if (glyphCount_ > 0 && metricCount_ == 0) fail("truetype: no horizontal metrics");
}

void TrueTypeFont::readLocations() {
    glyf_ = table(tagOf("glyf"), 0);
    const size_t entries = size_t(glyphCount_) + 1;
    BigEndian loca(table(tagOf("loca"), entries * (longLocations_ ? 4 : 2)), "loca");
    locations_.resize(entries);
    for (size_t i = 0; i < entries; ++i)
        locations_[i] = longLocations_ ? loca.u32(i * 4) : uint32_t(loca.u16(i * 2)) * 2;
}

void TrueTypeFont::chooseCharacterMap() {
    std::span<const uint8_t> cmapBytes = table(tagOf("cmap"), 4);
    BigEndian cmap(cmapBytes, "cmap");
    // Full Unicode maps (format 12) first, then the Basic Multilingual Plane ones (format 4);
    // symbol and legacy encodings are left alone.
    int bestRank = 0;
    const uint16_t count = cmap.u16(2);
    for (uint16_t i = 0; i < count; ++i) {
        const size_t record = 4 + size_t(i) * 8;
        const uint16_t platform = cmap.u16(record), encoding = cmap.u16(record + 2);
        const uint32_t offset = cmap.u32(record + 4);
        const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        if (!unicode) continue;
        const uint16_t format = cmap.u16(offset);
        const int rank = format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank <= bestRank) continue;
        const uint32_t length = format == 12 ? cmap.u32(offset + 4) : cmap.u16(offset + 2);
        if (offset > cmapBytes.size() || cmapBytes.size() - offset < length)
            fail("truetype: cmap subtable lies outside its table");
        bestRank = rank;
        characterMap_ = cmapBytes.subspan(offset, length);
        characterMapFormat_ = format;
    }
    if (bestRank == 0) fail("truetype: no Unicode character map");
}

uint16_t TrueTypeFont::glyphIndex(uint32_t codePoint) const {
    BigEndian map(characterMap_, "cmap subtable");
    uint32_t glyph = 0;
    if (characterMapFormat_ == 12) {
        const uint32_t groups = map.u32(12);
        // Groups are sorted by start code; a binary search keeps large maps quick.
        uint32_t low = 0, high = groups;
        while (low < high) {
            const uint32_t mid = low + (high - low) / 2;
            const size_t at = 16 + size_t(mid) * 12;
            const uint32_t start = map.u32(at), end = map.u32(at + 4);
            if (codePoint < start) high = mid;
            else if (codePoint > end) low = mid + 1;
            else {
                glyph = map.u32(at + 8) + (codePoint - start);
                break;
            }
        }
    } else if (codePoint <= 0xFFFF) {
        const size_t segments = map.u16(6) / 2;
        const size_t ends = 14, starts = ends + segments * 2 + 2, deltas = starts + segments * 2,
                     rangeOffsets = deltas + segments * 2;
        for (size_t s = 0; s < segments; ++s) {
            const uint16_t end = map.u16(ends + s * 2);
            if (codePoint > end) continue;
            const uint16_t start = map.u16(starts + s * 2);
            if (codePoint < start) break;
            const uint16_t delta = map.u16(deltas + s * 2);
            const size_t rangeAt = rangeOffsets + s * 2;
            const uint16_t rangeOffset = map.u16(rangeAt);
            if (rangeOffset == 0) {
                glyph = (codePoint + delta) & 0xFFFF;
            } else {
                // The offset counts from the rangeOffset field itself into the glyph array.
                const uint16_t g = map.u16(rangeAt + rangeOffset + (codePoint - start) * 2);
                glyph = g == 0 ? 0 : (g + delta) & 0xFFFF;
            }
            break;
        }
    }
    return glyph < glyphCount_ ? static_cast<uint16_t>(glyph) : 0;
}

uint16_t TrueTypeFont::advanceWidth(uint16_t glyph) const {
    if (metricCount_ == 0) return 0;
    // Glyphs past the last full metric (monospaced tails) share its advance.
    const size_t entry = std::min<size_t>(glyph, metricCount_ - 1);
    return BigEndian(hmtx_, "hmtx").u16(entry * 4);
}

std::span<const uint8_t> TrueTypeFont::glyphData(uint16_t glyph) const {
    if (glyph >= glyphCount_) fail("truetype: glyph " + std::to_string(glyph) + " out of range");
    const uint32_t from = locations_[glyph], to = locations_[size_t(glyph) + 1];
    if (from > to || to > glyf_.size())
        fail("truetype: glyph " + std::to_string(glyph) + " lies outside the glyf table");
    return glyf_.subspan(from, to - from);
}

void TrueTypeFont::appendContours(uint16_t glyph, int depth, size_t& pointBudget, std::vector<Contour>& out) const {
    if (depth > kMaxCompositeDepth) fail("truetype: composite glyphs nest too deep");
    std::span<const uint8_t> data = glyphData(glyph);
    if (data.empty()) return;  // a blank glyph such as the space
    BigEndian g(data, "glyph");
    const int16_t contours = g.s16(0);
    size_t at = 10;
    if (contours >= 0) {
        std::vector<uint16_t> ends(contours);
        for (int i = 0; i < contours; ++i, at += 2) {
            ends[i] = g.u16(at);
            if (i > 0 && ends[i] < ends[i - 1]) fail("truetype: contour ends go backwards");
        }
        const size_t points = contours == 0 ? 0 : size_t(ends.back()) + 1;
        if (points > pointBudget) fail("truetype: glyph has too many points");
        pointBudget -= points;
        at += 2 + g.u16(at);  // hinting instructions are not used
        std::vector<uint8_t> flags;
        flags.reserve(points);
        while (flags.size() < points) {
            const uint8_t flag = g.u8(at++);
            flags.push_back(flag);
            if (flag & kRepeat)
                for (int n = g.u8(at++); n > 0 && flags.size() < points; --n) flags.push_back(flag);
        }
        std::vector<OutlinePoint> pts(points);
        int x = 0, y = 0;
        for (size_t i = 0; i < points; ++i) {
            if (flags[i] & kShortX) {
                const int d = g.u8(at++);
                x += (flags[i] & kSameOrPositiveX) ? d : -d;
            } else if (!(flags[i] & kSameOrPositiveX)) {
                x += g.s16(at);
                at += 2;
            }
            pts[i].x = x;
            pts[i].onCurve = flags[i] & kOnCurve;
        }
        for (size_t i = 0; i < points; ++i) {
            if (flags[i] & kShortY) {
                const int d = g.u8(at++);
                y += (flags[i] & kSameOrPositiveY) ? d : -d;
            } else if (!(flags[i] & kSameOrPositiveY)) {
                y += g.s16(at);
                at += 2;
            }
            pts[i].y = y;
        }
        size_t first = 0;
        for (uint16_t end : ends) {
            out.emplace_back(pts.begin() + first, pts.begin() + end + 1);
            first = size_t(end) + 1;
        }
        return;
    }
    // A composite: other glyphs placed by an offset and an optional 2x2 matrix.
    for (bool more = true; more;) {
        const uint16_t flags = g.u16(at), component = g.u16(at + 2);
        at += 4;
        // Each component costs from the budget too, so a glyph that lists itself many times
        // cannot fan out into an exponential walk.
        if (pointBudget == 0) fail("truetype: composite glyph has too many parts");
        --pointBudget;
        double dx = 0, dy = 0;
        if (flags & kArgsAreWords) {
            dx = g.s16(at), dy = g.s16(at + 2);
            at += 4;
        } else {
            dx = static_cast<int8_t>(g.u8(at)), dy = static_cast<int8_t>(g.u8(at + 1));
            at += 2;
        }
        // Point-matched placement (arguments naming points) is rare in real fonts: placed
        // without an offset rather than guessed.
        if (!(flags & kArgsAreOffsets)) dx = dy = 0;
        double a = 1, b = 0, c = 0, d = 1;
        if (flags & kHasScale) {
            a = d = f2dot14(g.s16(at));
            at += 2;
        } else if (flags & kHasXYScale) {
            a = f2dot14(g.s16(at)), d = f2dot14(g.s16(at + 2));
            at += 4;
        } else if (flags & kHasTwoByTwo) {
            a = f2dot14(g.s16(at)), b = f2dot14(g.s16(at + 2)), c = f2dot14(g.s16(at + 4)), d = f2dot14(g.s16(at + 6));
            at += 8;
        }
        if (flags & kScaledOffset) {
            const double ox = dx, oy = dy;
            dx = a * ox + c * oy, dy = b * ox + d * oy;
        }
        const size_t firstNew = out.size();
        appendContours(component, depth + 1, pointBudget, out);
        for (size_t k = firstNew; k < out.size(); ++k)
            for (OutlinePoint& p : out[k]) {
                const double x = p.x, y = p.y;
                p.x = a * x + c * y + dx;
                p.y = b * x + d * y + dy;
            }
        more = flags & kMoreComponents;
    }
}

namespace {

// Follows one closed TrueType contour: two off-curve points in a row imply an on-curve point
// half-way between them, and a contour may start off the curve.
template <typename Point2, typename ToPoint>
Path contourPath(const std::vector<Point2>& pts, ToPoint toPoint) {
    Path path;
    path.fill0 = 1;
    const size_t n = pts.size();
    auto mid = [](const Point2& p, const Point2& q) { return Point2{(p.x + q.x) / 2, (p.y + q.y) / 2, true}; };
    Point2 start;
    size_t first = 0, count = n;
    if (pts[0].onCurve) start = pts[0], first = 1, count = n - 1;
    else if (pts[n - 1].onCurve) start = pts[n - 1], first = 0, count = n - 1;
    else start = mid(pts[n - 1], pts[0]);
    path.start = toPoint(start);
    const Point2* control = nullptr;
    for (size_t k = 0; k < count; ++k) {
        const Point2& p = pts[(first + k) % n];
        if (p.onCurve) {
            if (control) path.segments.push_back({toPoint(*control), toPoint(p), true});
            else path.segments.push_back({{}, toPoint(p), false});
            control = nullptr;
        } else {
            if (control) path.segments.push_back({toPoint(*control), toPoint(mid(*control, p)), true});
            control = &p;
        }
    }
    if (control) path.segments.push_back({toPoint(*control), path.start, true});
    else if (path.segments.empty() || !(path.segments.back().to == path.start))
        path.segments.push_back({{}, path.start, false});
    return path;
}

}  // namespace

ShapeDef TrueTypeFont::outline(uint16_t glyph, double scale) const {
    std::vector<Contour> contours;
    size_t budget = kMaxGlyphPoints;
    appendContours(glyph, 0, budget, contours);
    ShapeDef shape;
    shape.fills.push_back(FillStyle{});  // solid black: the text colour stands in for it
    shape.nonZeroWinding = true;         // overlapping contours of one glyph stay filled
    Rect box = Rect::none();
    auto toPoint = [&](const OutlinePoint& p) {
        // Composite matrices can blow coordinates up; keep them inside what a Point holds.
        auto coordinate = [&](double v) { return static_cast<int32_t>(std::lround(std::clamp(v * scale, -1e9, 1e9))); };
        Point q{coordinate(p.x), coordinate(-p.y)};
        box = box.united({q.x, q.x, q.y, q.y});
        return q;
    };
    for (const Contour& c : contours)
        if (c.size() >= 2) shape.paths.push_back(contourPath(c, toPoint));
    shape.bounds = shape.edgeBounds = box.empty() ? Rect{} : box;
    return shape;
}

}  // namespace swf
