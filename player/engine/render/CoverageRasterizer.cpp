#include "render/CoverageRasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace swf::render {

namespace {
constexpr int kSubpixel = 256;  // fixed-point steps per pixel in anti-aliased mode
constexpr uint8_t kInCell = 1, kInRow = 2;
}  // namespace

void CoverageRasterizer::reset(const PixelRect& clip, bool antiAliased) {
    // Keeps every distance across the clip, in 1/256 pixels, within 32 bits.
    constexpr int kMaxExtent = 1 << 22;
    clip_ = clip;
    clip_.right = static_cast<int>(std::min<int64_t>(clip_.right, int64_t{clip_.left} + kMaxExtent));
    clip_.bottom = static_cast<int>(std::min<int64_t>(clip_.bottom, int64_t{clip_.top} + kMaxExtent));
    antiAliased_ = antiAliased;
    styleLimit_ = 1;
    cells_.clear();
    firstRow_ = INT32_MAX;
    lastRow_ = INT32_MIN;
}

void CoverageRasterizer::addLine(double x0, double y0, double x1, double y1, uint32_t fill0, uint32_t fill1) {
    if (fill0 == fill1) return;  // the same style on both sides: the edge changes nothing
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
    if (y0 == y1 || clip_.empty()) return;
    const double top = clip_.top, bottom = clip_.bottom;
    if (std::max(y0, y1) <= top || std::min(y0, y1) >= bottom) return;
    auto xAtY = [&](double y) { return x0 + (y - y0) * (x1 - x0) / (y1 - y0); };
    double cx0 = x0, cy0 = y0, cx1 = x1, cy1 = y1;
    if (cy0 < top) { cx0 = xAtY(top); cy0 = top; }
    else if (cy0 > bottom) { cx0 = xAtY(bottom); cy0 = bottom; }
    if (cy1 < top) { cx1 = xAtY(top); cy1 = top; }
    else if (cy1 > bottom) { cx1 = xAtY(bottom); cy1 = bottom; }
    styleLimit_ = std::max({styleLimit_, fill0 + 1, fill1 + 1});
    addClippedLine(cx0, cy0, cx1, cy1, fill0, fill1);
}

// Splits the edge at the clip's left and right sides: what lies left still decides the
// winding inside, so it becomes a vertical edge on the left side; what lies right cannot
// affect a visible pixel.
void CoverageRasterizer::addClippedLine(double x0, double y0, double x1, double y1, uint32_t fill0, uint32_t fill1) {
    if (y0 == y1) return;
    const double left = clip_.left, right = clip_.right;
    if (x0 >= right && x1 >= right) return;
    if (x0 <= left && x1 <= left) x0 = x1 = left;
    auto yAtX = [&](double x) { return y0 + (x - x0) * (y1 - y0) / (x1 - x0); };
    if ((x0 < left) != (x1 < left) && x0 != x1) {
        double y = yAtX(left);
        addClippedLine(x0, y0, left, y, fill0, fill1);
        addClippedLine(left, y, x1, y1, fill0, fill1);
        return;
    }
    if ((x0 > right) != (x1 > right) && x0 != x1) {
        double y = yAtX(right);
        addClippedLine(x0, y0, right, y, fill0, fill1);
        addClippedLine(right, y, x1, y1, fill0, fill1);
        return;
    }
    const int64_t qx0 = std::llround(x0 * kSubpixel), qy0 = std::llround(y0 * kSubpixel);
    const int64_t qx1 = std::llround(x1 * kSubpixel), qy1 = std::llround(y1 * kSubpixel);
    if (antiAliased_) addAntiAliasedLine(qx0, qy0, qx1, qy1, fill0, fill1);
    else addAliasedLine(qx0, qy0, qx1, qy1, fill0, fill1);
}

// One cell per row whose pixel centre line the edge crosses, at the first pixel whose centre
// lies on or right of the crossing: a pixel is inside exactly when its centre is, and a centre
// on the edge goes to the side right of it. Ends are first put on the 1/256 px grid, as in
// anti-aliased mode, and crossings are then worked out exactly: an edge meant to pass
// through a pixel centre (from whole-twip ends) must not fall to one side or the other by
// the rounding of a division.
void CoverageRasterizer::addAliasedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t fill0, uint32_t fill1) {
    int sign = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        sign = -1;
    }
    if (y0 == y1) return;
    constexpr int64_t half = kSubpixel / 2;
    auto ceilDiv = [](int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -(-a / b); };  // b > 0
    const int firstRow = static_cast<int>(ceilDiv(y0 - half, kSubpixel));
    const int endRow = static_cast<int>(ceilDiv(y1 - half, kSubpixel));
    const int64_t rise = y1 - y0, run = x1 - x0;
    for (int row = firstRow; row < endRow; ++row) {
        const int64_t centreY = int64_t{row} * kSubpixel + half;
        // pixel = ceil((crossing - half) / kSubpixel), crossing = x0 + (centreY - y0) * run / rise
        const int64_t numerator = (x0 - half) * rise + (centreY - y0) * run;
        const int pixel = std::max(clip_.left, static_cast<int>(ceilDiv(numerator, kSubpixel * rise)));
        if (pixel < clip_.right) addCell(pixel, row, sign * kSubpixel, 0, fill0, fill1);
    }
}

// floor((first + k * step) * rise / run) for k = 0, 1, 2...: an integer lift and a carried
// remainder replace a division per step and give exactly the same values. Rows of an edge
// and cell borders within a row are walked this way; the 32-bit build has no division
// instruction for 64-bit values, so this matters there most. All quantities non-negative.
template <typename Int>
class Stepper {
public:
    Stepper(Int first, Int step, Int rise, Int run)
        : run_(run), lift_(step * rise / run), rem_(step * rise % run), value_(first * rise / run), carry_(first * rise % run) {}
    Int value() const { return value_; }
    void next() {
        value_ += lift_;
        carry_ += rem_;
        if (carry_ >= run_) {
            carry_ -= run_;
            ++value_;
        }
    }

private:
    Int run_, lift_, rem_, value_, carry_;
};

void CoverageRasterizer::addAntiAliasedLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t fill0, uint32_t fill1) {
    if (y0 == y1) return;
    int sign = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        sign = -1;
    }
    const int64_t dy = y1 - y0;
    const int64_t run = x1 >= x0 ? x1 - x0 : x0 - x1, direction = x1 >= x0 ? 1 : -1;
    const int firstRow = static_cast<int>(y0 >> 8), lastRow = static_cast<int>((y1 - 1) >> 8);
    // x where the edge leaves each row, rounded toward x0.
    Stepper<int64_t> across(int64_t{firstRow + 1} * kSubpixel - y0, kSubpixel, run, dy);
    int64_t xa = x0;
    for (int row = firstRow; row <= lastRow; ++row, across.next()) {
        const int64_t rowTop = int64_t{row} * kSubpixel;
        const int64_t ya = std::max(y0, rowTop), yb = std::min(y1, rowTop + kSubpixel);
        const int64_t xb = yb == y1 ? x1 : x0 + direction * across.value();
        addRowPiece(row, xa, static_cast<int>(ya - rowTop), xb, static_cast<int>(yb - rowTop), sign, fill0, fill1);
        xa = xb;
    }
}

// The part of an edge inside one pixel row, walked cell by cell. Each piece adds its height
// (cover) and its height times the sum of its end offsets in the cell (twice the area on its
// left side), which the sweep turns into exact coverage.
void CoverageRasterizer::addRowPiece(int row, int64_t xa, int fya, int64_t xb, int fyb, int sign, uint32_t fill0,
                                     uint32_t fill1) {
    int cell = static_cast<int>(xa >> 8);
    const int lastCell = static_cast<int>(xb >> 8);
    auto piece = [&](int x, int height, int64_t fx0, int64_t fx1) {
        addCell(x, row, sign * height, static_cast<int>(sign * height * (fx0 + fx1)), fill0, fill1);
    };
    if (cell == lastCell) {
        int64_t base = int64_t{cell} * kSubpixel;
        piece(cell, fyb - fya, xa - base, xb - base);
        return;
    }
    int64_t x = xa;
    int y = fya;
    if (xb > xa) {
        Stepper<int32_t> border(static_cast<int32_t>(int64_t{cell + 1} * kSubpixel - xa), kSubpixel, fyb - fya,
                                static_cast<int32_t>(xb - xa));
        for (; cell < lastCell; ++cell, border.next()) {
            const int yBorder = fya + border.value();
            piece(cell, yBorder - y, x - int64_t{cell} * kSubpixel, kSubpixel);
            x = int64_t{cell + 1} * kSubpixel;
            y = yBorder;
        }
        piece(cell, fyb - y, 0, xb - int64_t{cell} * kSubpixel);
    } else {
        Stepper<int32_t> border(static_cast<int32_t>(xa - int64_t{cell} * kSubpixel), kSubpixel, fyb - fya,
                                static_cast<int32_t>(xa - xb));
        for (; cell > lastCell; --cell, border.next()) {
            const int yBorder = fya + border.value();
            piece(cell, yBorder - y, x - int64_t{cell} * kSubpixel, 0);
            x = int64_t{cell} * kSubpixel;
            y = yBorder;
        }
        piece(cell, fyb - y, kSubpixel, xb - int64_t{cell} * kSubpixel);
    }
}

void CoverageRasterizer::addCell(int x, int y, int cover, int area, uint32_t fill0, uint32_t fill1) {
    if ((cover == 0 && area == 0) || x >= clip_.right) return;
    if (!cells_.empty()) {
        Cell& last = cells_.back();
        if (last.x == x && last.y == y && last.fill0 == fill0 && last.fill1 == fill1) {
            last.cover += cover;
            last.area += area;
            return;
        }
    }
    cells_.push_back({x, y, fill0, fill1, cover, area});
    firstRow_ = std::min(firstRow_, y);
    lastRow_ = std::max(lastRow_, y);
}

// Counting sort by row over the rows that have cells (a small stroke on a big target touches
// few), then by column within each row.
void CoverageRasterizer::sortCells() {
    const int rows = lastRow_ - firstRow_ + 1;
    rowStart_.assign(rows + 2, 0);
    for (const Cell& c : cells_) ++rowStart_[c.y - firstRow_ + 2];
    for (int r = 2; r < rows + 2; ++r) rowStart_[r] += rowStart_[r - 1];
    sorted_.resize(cells_.size());
    for (const Cell& c : cells_) sorted_[rowStart_[c.y - firstRow_ + 1]++] = c;
    // rowStart_[r] is now the first cell of row r.
    for (int r = 0; r < rows; ++r) {
        auto first = sorted_.begin() + rowStart_[r], last = sorted_.begin() + rowStart_[r + 1];
        std::sort(first, last, [](const Cell& a, const Cell& b) { return a.x < b.x; });
    }
}

uint32_t CoverageRasterizer::fold(FillRule rule, int64_t coverage) const {
    uint64_t c = static_cast<uint64_t>(coverage < 0 ? -coverage : coverage);
    if (rule == FillRule::NonZero) return static_cast<uint32_t>(std::min<uint64_t>(c, kSubpixel));
    c %= 2 * kSubpixel;
    return static_cast<uint32_t>(c > kSubpixel ? 2 * kSubpixel - c : c);
}

void CoverageRasterizer::sweep(FillRule rule, SpanSink& sink) {
    if (cells_.empty() || clip_.empty()) return;
    sortCells();
    winding_.assign(styleLimit_, 0);
    cellArea_.assign(styleLimit_, 0);
    cellCover_.assign(styleLimit_, 0);
    touched_.assign(styleLimit_, 0);
    auto insertActive = [&](uint32_t style) {
        auto at = std::lower_bound(active_.begin(), active_.end(), style, std::greater<>());
        if (at == active_.end() || *at != style) active_.insert(at, style);
    };
    auto removeActive = [&](uint32_t style) {
        auto at = std::lower_bound(active_.begin(), active_.end(), style, std::greater<>());
        if (at != active_.end() && *at == style) active_.erase(at);
    };
    auto flushRun = [&](int y) {
        if (!run_.empty()) sink.coverageRun(y, runX0_, runStyle_, run_.data(), static_cast<int>(run_.size()));
        run_.clear();
    };
    auto emitSpan = [&](int y, int x0, int x1) {
        flushRun(y);
        out_.clear();
        for (uint32_t s : active_) {
            uint32_t c = fold(rule, winding_[s]);
            if (c) out_.push_back({s, c});
        }
        if (!out_.empty()) sink.span(y, x0, x1, out_.data(), static_cast<int>(out_.size()));
    };

    for (int r = 0; r <= lastRow_ - firstRow_; ++r) {
        uint32_t i = rowStart_[r];
        const uint32_t end = rowStart_[r + 1];
        if (i == end) continue;
        const int y = firstRow_ + r;
        active_.clear();
        rowStyles_.clear();
        int spanStart = clip_.left;
        while (i < end) {
            const int x = sorted_[i].x;
            if (x > spanStart && !active_.empty()) emitSpan(y, spanStart, x);
            cellStyles_.clear();
            for (; i < end && sorted_[i].x == x; ++i) {
                const Cell& c = sorted_[i];
                auto add = [&](uint32_t style, int sign) {
                    if (style == 0) return;
                    if (!(touched_[style] & kInCell)) {
                        if (!(touched_[style] & kInRow)) rowStyles_.push_back(style);
                        touched_[style] |= kInCell | kInRow;
                        cellStyles_.push_back(style);
                    }
                    cellArea_[style] += sign * (int64_t{c.cover} * 2 * kSubpixel - c.area);
                    cellCover_[style] += sign * c.cover;
                };
                add(c.fill0, 1);
                add(c.fill1, -1);
            }
            // The cell's own pixel: styles only passing through keep their span coverage.
            out_.clear();
            for (uint32_t s : active_) {
                if (touched_[s] & kInCell) continue;
                uint32_t cov = fold(rule, winding_[s]);
                if (cov) out_.push_back({s, cov});
            }
            for (uint32_t s : cellStyles_) {
                int64_t twice = winding_[s] * 2 * kSubpixel + cellArea_[s];
                int64_t rounded = twice >= 0 ? (twice + kSubpixel) >> 9 : -((-twice + kSubpixel) >> 9);
                uint32_t cov = fold(rule, rounded);
                if (cov) out_.push_back({s, cov});
            }
            if (out_.size() == 1) {
                const bool continues = !run_.empty() && runStyle_ == out_[0].style &&
                                       runX0_ + static_cast<int>(run_.size()) == x;
                if (!continues) {
                    flushRun(y);
                    runX0_ = x;
                    runStyle_ = out_[0].style;
                }
                run_.push_back(static_cast<uint16_t>(out_[0].coverage));
            } else if (!out_.empty()) {
                flushRun(y);
                std::sort(out_.begin(), out_.end(), [](auto& a, auto& b) { return a.style > b.style; });
                sink.span(y, x, x + 1, out_.data(), static_cast<int>(out_.size()));
            }
            for (uint32_t s : cellStyles_) {
                winding_[s] += cellCover_[s];
                cellArea_[s] = cellCover_[s] = 0;
                touched_[s] &= ~kInCell;
                if (fold(rule, winding_[s])) insertActive(s);
                else removeActive(s);
            }
            spanStart = x + 1;
        }
        if (!active_.empty() && spanStart < clip_.right) emitSpan(y, spanStart, clip_.right);
        flushRun(y);
        for (uint32_t s : rowStyles_) {
            winding_[s] = 0;
            touched_[s] = 0;
        }
    }
}

}  // namespace swf::render
