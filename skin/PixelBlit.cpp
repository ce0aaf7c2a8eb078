#include "PixelBlit.h"

#include <algorithm>

namespace velmora::skin {

namespace {

Rect boundsOf(const PixelImage& image) { return {0, 0, image.width(), image.height()}; }

// Nearest neighbour by pixel centres: destination pixel i of n samples source pixel
// floor((2i + 1) * m / 2n) of m, so enlargements repeat pixels evenly and reductions drop them.
int sampleOf(int i, int destLength, int sourceLength) {
    return static_cast<int>((int64_t{2} * i + 1) * sourceLength / (int64_t{2} * destLength));
}

void put(Pixel& to, Pixel from, const std::optional<Pixel>& key) {
    if (key && sameColour(from, *key)) return;
    to = from;
}

void stretch(PixelImage& target, const PixelImage& source, const Blit& blit, const std::optional<Pixel>& key) {
    const Rect& s = blit.source;
    const Rect& d = blit.dest;
    // A source reaching outside its picture is a damaged plan: draw nothing rather than guess.
    if (intersect(s, boundsOf(source)) != s) return;
    const Rect visible = intersect(d, boundsOf(target));
    for (int y = visible.top; y < visible.bottom; ++y) {
        const Pixel* from = source.row(s.top + sampleOf(y - d.top, d.height(), s.height()));
        Pixel* to = target.row(y);
        for (int x = visible.left; x < visible.right; ++x)
            put(to[x], from[s.left + sampleOf(x - d.left, d.width(), s.width())], key);
    }
}

void copy(PixelImage& target, const PixelImage& source, const Blit& blit, const std::optional<Pixel>& key) {
    // Cut the destination to the target and the source to its picture, moving both together.
    const int dx = blit.dest.left - blit.source.left, dy = blit.dest.top - blit.source.top;
    Rect s = intersect(blit.source, boundsOf(source));
    Rect d = intersect({s.left + dx, s.top + dy, s.right + dx, s.bottom + dy}, intersect(blit.dest, boundsOf(target)));
    if (s.empty() || d.empty()) return;
    for (int y = d.top; y < d.bottom; ++y) {
        const Pixel* from = source.row(y - dy);
        Pixel* to = target.row(y);
        if (!key) {
            std::copy(from + (d.left - dx), from + (d.right - dx), to + d.left);
            continue;
        }
        for (int x = d.left; x < d.right; ++x) put(to[x], from[x - dx], key);
    }
}

// Tiles keep their phase from the destination's top-left; only those reaching the target are
// copied, so a 1-pixel tile over an area mostly outside the target stays cheap.
void tile(PixelImage& target, const PixelImage& source, const Blit& blit, const std::optional<Pixel>& key) {
    const Rect visible = intersect(blit.dest, boundsOf(target));
    const int w = blit.source.width(), h = blit.source.height();
    if (visible.empty()) return;
    const int firstX = blit.dest.left + (visible.left - blit.dest.left) / w * w;
    const int firstY = blit.dest.top + (visible.top - blit.dest.top) / h * h;
    for (int y = firstY; y < visible.bottom; y += h) {
        for (int x = firstX; x < visible.right; x += w) {
            const Rect piece = intersect({x, y, x + w, y + h}, blit.dest);
            copy(target, source,
                 {{blit.source.left, blit.source.top, blit.source.left + piece.width(), blit.source.top + piece.height()},
                  piece, BlitKind::Copy},
                 key);
        }
    }
}

}  // namespace

void executeBlit(PixelImage& target, const PixelImage& source, const Blit& blit, Transparency transparency) {
    if (blit.source.empty() || blit.dest.empty()) return;
    std::optional<Pixel> key;
    if (transparency.key) key = pixelOf(*transparency.key);
    switch (blit.kind) {
    case BlitKind::Copy: copy(target, source, blit, key); break;
    case BlitKind::Stretch: stretch(target, source, blit, key); break;
    case BlitKind::Tile: tile(target, source, blit, key); break;
    }
}

void executePlan(PixelImage& target, const PixelImage& source, const BlitPlan& plan, Transparency transparency) {
    for (const Blit& blit : plan) executeBlit(target, source, blit, transparency);
}

void copyImage(PixelImage& target, const PixelImage& source, int x, int y, Transparency transparency) {
    executeBlit(target, source, {boundsOf(source), {x, y, x + source.width(), y + source.height()}, BlitKind::Copy},
                transparency);
}

void fillRect(PixelImage& target, const Rect& rect, Colour colour) {
    const Rect r = intersect(rect, boundsOf(target));
    const Pixel p = pixelOf(colour);
    for (int y = r.top; y < r.bottom; ++y) std::fill(target.row(y) + r.left, target.row(y) + r.right, p);
}

PixelImage crop(const PixelImage& source, const Rect& rect) {
    const Rect r = intersect(rect, boundsOf(source));
    PixelImage piece(r.width(), r.height());
    copyImage(piece, source, -r.left, -r.top, Transparency::opaque());
    return piece;
}

}  // namespace velmora::skin
