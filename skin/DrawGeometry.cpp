#include "DrawGeometry.h"

#include <algorithm>

namespace velmora::skin {

namespace {

BlitKind copyOrStretch(const Rect& source, const Rect& dest) {
    return source.width() == dest.width() && source.height() == dest.height() ? BlitKind::Copy : BlitKind::Stretch;
}

void add(BlitPlan& plan, const Rect& source, const Rect& dest, BlitKind kind) {
    if (source.empty() || dest.empty()) return;
    plan.push_back({source, dest, kind});
}

void addScaled(BlitPlan& plan, const Rect& source, const Rect& dest) { add(plan, source, dest, copyOrStretch(source, dest)); }

// Cuts a same-size copy to `bounds`, moving its source along with its destination.
void addCopyWithin(BlitPlan& plan, const Rect& source, const Rect& dest, const Rect& bounds) {
    const Rect kept = intersect(dest, bounds);
    if (kept.empty()) return;
    const int dx = source.left - dest.left, dy = source.top - dest.top;
    add(plan, {kept.left + dx, kept.top + dy, kept.right + dx, kept.bottom + dy}, kept, BlitKind::Copy);
}

struct Caps {
    int left = 0, right = 0;
};

// Negative caps count as 0; caps wider than the cell are cut so both fit in it.
Caps capsWithin(int cellWidth, int left, int right) {
    Caps caps;
    caps.left = std::clamp(left, 0, cellWidth);
    caps.right = std::clamp(right, 0, cellWidth - caps.left);
    return caps;
}

}  // namespace

Rect intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.empty()) return {};
    return r;
}

Rect frameCell(int imageWidth, int imageHeight, int frameCount, int frame, FrameLayout layout) {
    const int count = std::max(frameCount, 1);
    const int index = std::clamp(frame, 1, count) - 1;
    if (layout == FrameLayout::SideBySide) {
        const int w = std::max(imageWidth, 0) / count;
        return {index * w, 0, index * w + w, std::max(imageHeight, 0)};
    }
    const int h = std::max(imageHeight, 0) / count;
    return {0, index * h, std::max(imageWidth, 0), index * h + h};
}

BlitPlan nineSlicePlan(const Rect& cell, Margins m, CentreFill centre, const Rect& dest) {
    BlitPlan plan;
    if (cell.empty() || dest.empty()) return plan;
    const Caps horizontal = capsWithin(cell.width(), m.left, m.right);
    const Caps vertical = capsWithin(cell.height(), m.top, m.bottom);
    int left = horizontal.left, right = horizontal.right, top = vertical.left, bottom = vertical.right;
    if (dest.width() < left + right) left = right = 0;
    if (dest.height() < top + bottom) top = bottom = 0;

    const int sx0 = cell.left, sx1 = cell.left + left, sx2 = cell.right - right, sx3 = cell.right;
    const int sy0 = cell.top, sy1 = cell.top + top, sy2 = cell.bottom - bottom, sy3 = cell.bottom;
    const int dx0 = dest.left, dx1 = dest.left + left, dx2 = dest.right - right, dx3 = dest.right;
    const int dy0 = dest.top, dy1 = dest.top + top, dy2 = dest.bottom - bottom, dy3 = dest.bottom;

    if (left > 0 && top > 0) add(plan, {sx0, sy0, sx1, sy1}, {dx0, dy0, dx1, dy1}, BlitKind::Copy);
    if (left > 0 && bottom > 0) add(plan, {sx0, sy2, sx1, sy3}, {dx0, dy2, dx1, dy3}, BlitKind::Copy);
    if (right > 0 && top > 0) add(plan, {sx2, sy0, sx3, sy1}, {dx2, dy0, dx3, dy1}, BlitKind::Copy);
    addScaled(plan, {sx0, sy1, sx1, sy2}, {dx0, dy1, dx1, dy2});
    addScaled(plan, {sx1, sy0, sx2, sy1}, {dx1, dy0, dx2, dy1});
    const Rect centreSource{sx1, sy1, sx2, sy2}, centreDest{dx1, dy1, dx2, dy2};
    if (centre == CentreFill::Tile)
        add(plan, centreSource, centreDest, BlitKind::Tile);
    else
        addScaled(plan, centreSource, centreDest);
    if (right > 0 && bottom > 0) add(plan, {sx2, sy2, sx3, sy3}, {dx2, dy2, dx3, dy3}, BlitKind::Copy);
    addScaled(plan, {sx2, sy1, sx3, sy2}, {dx2, dy1, dx3, dy2});
    addScaled(plan, {sx1, sy2, sx2, sy3}, {dx1, dy2, dx2, dy3});
    return plan;
}

BlitPlan threePartRepeatedPlan(const Rect& cell, int leftCap, int rightCap, const Rect& dest) {
    if (cell.empty() || dest.empty()) return {};
    const Caps caps = capsWithin(cell.width(), leftCap, rightCap);
    const int middle = cell.width() - caps.left - caps.right;
    if (middle <= 0) return wholePlan(cell, dest);

    BlitPlan plan;
    // Pieces keep their widths; only the height follows the destination.
    auto piece = [&](int sourceLeft, int width, int destLeft) {
        addScaled(plan, {sourceLeft, cell.top, sourceLeft + width, cell.bottom},
                  {destLeft, dest.top, destLeft + width, dest.bottom});
    };
    const int leftWidth = std::min(caps.left, dest.width());
    piece(cell.left, leftWidth, dest.left);
    const int rightStart = std::max(dest.left, dest.right - caps.right);
    for (int x = dest.left + leftWidth; x < rightStart;) {
        const int width = std::min(middle, rightStart - x);
        piece(cell.left + caps.left, width, x);
        x += width;
    }
    const int rightWidth = dest.right - rightStart;
    piece(cell.right - rightWidth, rightWidth, rightStart);
    return plan;
}

BlitPlan threePartStretchedPlan(const Rect& cell, int leftCap, int rightCap, const Rect& dest) {
    if (cell.empty() || dest.empty()) return {};
    const Caps caps = capsWithin(cell.width(), leftCap, rightCap);
    if (dest.width() < cell.width() || cell.width() - caps.left - caps.right <= 0) return wholePlan(cell, dest);
    BlitPlan plan;
    addScaled(plan, {cell.left, cell.top, cell.left + caps.left, cell.bottom},
              {dest.left, dest.top, dest.left + caps.left, dest.bottom});
    addScaled(plan, {cell.left + caps.left, cell.top, cell.right - caps.right, cell.bottom},
              {dest.left + caps.left, dest.top, dest.right - caps.right, dest.bottom});
    addScaled(plan, {cell.right - caps.right, cell.top, cell.right, cell.bottom},
              {dest.right - caps.right, dest.top, dest.right, dest.bottom});
    return plan;
}

BlitPlan centredPlan(const Rect& cell, const Rect& dest) {
    BlitPlan plan;
    if (cell.empty() || dest.empty()) return plan;
    const int x = dest.left + (dest.width() - cell.width()) / 2;
    const int y = dest.top + (dest.height() - cell.height()) / 2;
    addCopyWithin(plan, cell, {x, y, x + cell.width(), y + cell.height()}, dest);
    return plan;
}

BlitPlan wholePlan(const Rect& cell, const Rect& dest) {
    BlitPlan plan;
    addScaled(plan, cell, dest);
    return plan;
}

std::vector<Blit> tilesOf(const Blit& tile) {
    std::vector<Blit> copies;
    const int w = tile.source.width(), h = tile.source.height();
    if (w <= 0 || h <= 0 || tile.dest.empty()) return copies;
    for (int y = tile.dest.top; y < tile.dest.bottom; y += h) {
        for (int x = tile.dest.left; x < tile.dest.right; x += w) {
            const int cw = std::min(w, tile.dest.right - x), ch = std::min(h, tile.dest.bottom - y);
            copies.push_back({{tile.source.left, tile.source.top, tile.source.left + cw, tile.source.top + ch},
                              {x, y, x + cw, y + ch},
                              BlitKind::Copy});
        }
    }
    return copies;
}

}  // namespace velmora::skin
