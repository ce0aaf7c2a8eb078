#include "ShapeBuilder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace swfw {
namespace {

void include(swf::Rect& r, double x, double y, double margin) {
    swf::Rect p{static_cast<int32_t>(std::floor(x - margin)), static_cast<int32_t>(std::ceil(x + margin)),
                static_cast<int32_t>(std::floor(y - margin)), static_cast<int32_t>(std::ceil(y + margin))};
    r = r.united(p);
}

// Extreme of one coordinate of a quadratic curve, if it lies strictly inside the curve.
std::optional<double> quadraticExtreme(double p0, double c, double p1) {
    double denominator = p0 - 2 * c + p1;
    if (denominator == 0) return std::nullopt;
    double t = (p0 - c) / denominator;
    if (t <= 0 || t >= 1) return std::nullopt;
    return (1 - t) * (1 - t) * p0 + 2 * (1 - t) * t * c + t * t * p1;
}

}  // namespace

uint32_t ShapeBuilder::addFill(const swf::FillStyle& fill) {
    groups_.back().fills.push_back(fill);
    return static_cast<uint32_t>(groups_.back().fills.size());
}

uint32_t ShapeBuilder::addLine(const swf::LineStyle& line) {
    groups_.back().lines.push_back(line);
    return static_cast<uint32_t>(groups_.back().lines.size());
}

uint32_t ShapeBuilder::addSolidFill(swf::Rgba color) {
    swf::FillStyle fill;
    fill.color = color;
    return addFill(fill);
}

uint32_t ShapeBuilder::addSolidLine(uint16_t width, swf::Rgba color) {
    swf::LineStyle line;
    line.width = width;
    line.color = color;
    return addLine(line);
}

ShapeRecord& ShapeBuilder::pendingStyleChange() {
    if (records_.empty() || records_.back().kind != ShapeRecord::Kind::StyleChange)
        records_.push_back(ShapeRecord{});
    return records_.back();
}

ShapeBuilder& ShapeBuilder::newStyles() {
    groups_.emplace_back();
    // The new arrays must be announced before any index into them; a pending change that
    // already names styles of the old group gets its own record.
    if (!records_.empty() && records_.back().kind == ShapeRecord::Kind::StyleChange && !records_.back().newStyles &&
        (records_.back().fill0 || records_.back().fill1 || records_.back().line || records_.back().moveTo))
        records_.push_back(ShapeRecord{});
    pendingStyleChange().newStyles = true;
    currentLine_ = 0;
    return *this;
}

ShapeBuilder& ShapeBuilder::fill0(uint32_t index) {
    if (index > groups_.back().fills.size())
        throw std::out_of_range("fill style " + std::to_string(index) + " is not defined in this style group");
    pendingStyleChange().fill0 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::fill1(uint32_t index) {
    if (index > groups_.back().fills.size())
        throw std::out_of_range("fill style " + std::to_string(index) + " is not defined in this style group");
    pendingStyleChange().fill1 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::line(uint32_t index) {
    if (index > groups_.back().lines.size())
        throw std::out_of_range("line style " + std::to_string(index) + " is not defined in this style group");
    pendingStyleChange().line = index;
    currentLine_ = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::moveTo(int32_t x, int32_t y) {
    pendingStyleChange().moveTo = swf::Point{x, y};
    pen_ = {x, y};
    return *this;
}

void ShapeBuilder::addEdge(ShapeRecord edge) {
    uint16_t width = currentLine_ ? groups_.back().lines[currentLine_ - 1].width : 0;
    edgeHalfWidths_.push_back(static_cast<uint16_t>((width + 1) / 2));
    pen_ = edge.to;
    records_.push_back(edge);
}

ShapeBuilder& ShapeBuilder::lineTo(int32_t x, int32_t y) {
    ShapeRecord edge;
    edge.kind = ShapeRecord::Kind::Straight;
    edge.to = {x, y};
    addEdge(edge);
    return *this;
}

ShapeBuilder& ShapeBuilder::curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
    ShapeRecord edge;
    edge.kind = ShapeRecord::Kind::Curved;
    edge.control = {cx, cy};
    edge.to = {x, y};
    addEdge(edge);
    return *this;
}

ShapeBuilder& ShapeBuilder::rectangle(int32_t x, int32_t y, int32_t width, int32_t height) {
    return moveTo(x, y).lineTo(x + width, y).lineTo(x + width, y + height).lineTo(x, y + height).lineTo(x, y);
}

ShapeBuilder& ShapeBuilder::ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
    // Eight quadratic arcs of 45 degrees; control points sit on the tangents' intersection.
    constexpr double kPi = 3.14159265358979323846;
    const double controlScale = 1 / std::cos(kPi / 8);
    auto at = [&](double angle, double scale, int32_t& x, int32_t& y) {
        x = cx + static_cast<int32_t>(std::lround(rx * scale * std::cos(angle)));
        y = cy + static_cast<int32_t>(std::lround(ry * scale * std::sin(angle)));
    };
    int32_t x, y;
    at(0, 1, x, y);
    moveTo(x, y);
    for (int i = 0; i < 8; ++i) {
        int32_t qx, qy, px, py;
        at((2 * i + 1) * kPi / 8, controlScale, qx, qy);
        at((i + 1) * kPi / 4, 1, px, py);
        curveTo(qx, qy, px, py);
    }
    return *this;
}

swf::Rect ShapeBuilder::edgeBounds() const {
    swf::Rect r = swf::Rect::none();
    swf::Point pen;
    for (const ShapeRecord& rec : records_) {
        if (rec.kind == ShapeRecord::Kind::StyleChange) {
            if (rec.moveTo) pen = *rec.moveTo;
            continue;
        }
        include(r, pen.x, pen.y, 0);
        include(r, rec.to.x, rec.to.y, 0);
        if (rec.kind == ShapeRecord::Kind::Curved) {
            if (auto ex = quadraticExtreme(pen.x, rec.control.x, rec.to.x)) include(r, *ex, pen.y, 0);
            if (auto ey = quadraticExtreme(pen.y, rec.control.y, rec.to.y)) include(r, pen.x, *ey, 0);
        }
        pen = rec.to;
    }
    return r.empty() ? swf::Rect{} : r;
}

swf::Rect ShapeBuilder::strokeBounds() const {
    swf::Rect r = edgeBounds();
    swf::Point pen;
    size_t edge = 0;
    for (const ShapeRecord& rec : records_) {
        if (rec.kind == ShapeRecord::Kind::StyleChange) {
            if (rec.moveTo) pen = *rec.moveTo;
            continue;
        }
        double margin = edgeHalfWidths_[edge++];
        if (margin > 0) {
            include(r, pen.x, pen.y, margin);
            include(r, rec.to.x, rec.to.y, margin);
            if (rec.kind == ShapeRecord::Kind::Curved) {
                // The control point bounds the curve; a stroked curve stays within it plus the margin.
                include(r, rec.control.x, rec.control.y, margin);
            }
        }
        pen = rec.to;
    }
    return r;
}

}  // namespace swfw
