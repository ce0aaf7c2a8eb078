#include "player/Drawing.h"

#include <algorithm>

namespace swf {

void Drawing::lineStyle(std::optional<LineStyle> line) {
    if (line) {
        shape_.lines.push_back(*line);
        line_ = static_cast<uint32_t>(shape_.lines.size());
    } else {
        line_ = 0;
    }
    pathOpen_ = false;
    ++version_;
}

void Drawing::beginFill(const FillStyle& fill) {
    endFill();
    shape_.fills.push_back(fill);
    fill_ = static_cast<uint32_t>(shape_.fills.size());
    fillStart_ = pen_;
    pathOpen_ = false;
    ++version_;
}

void Drawing::endFill() {
    if (!fill_) return;
    // The closing edge is not stroked.
    if (fillStart_ && !(pen_ == *fillStart_)) {
        uint32_t line = line_;
        line_ = 0;
        pathOpen_ = false;
        lineTo(*fillStart_);
        line_ = line;
    }
    fill_ = 0;
    fillStart_.reset();
    pathOpen_ = false;
    ++version_;
}

void Drawing::moveTo(Point to) {
    // Moving inside a fill closes the region drawn so far; the same fill goes on from there.
    if (fill_) {
        FillStyle style = shape_.fills[fill_ - 1];
        endFill();
        pen_ = to;
        beginFill(style);
    }
    pen_ = to;
    pathOpen_ = false;
    ++version_;
}

void Drawing::lineTo(Point to) { addSegment({{}, to, false}); }

void Drawing::curveTo(Point control, Point to) { addSegment({control, to, true}); }

void Drawing::clear() {
    shape_ = {};
    shape_.bounds = shape_.edgeBounds = Rect::none();
    pen_ = {};
    fill_ = line_ = 0;
    fillStart_.reset();
    pathOpen_ = false;
    ++version_;
}

void Drawing::startPath() {
    Path p;
    p.fill1 = fill_;
    p.line = line_;
    p.start = pen_;
    shape_.paths.push_back(p);
    pathOpen_ = true;
    grow(pen_, line_);
}

void Drawing::addSegment(const Segment& s) {
    if (!fill_ && !line_) {  // nothing to draw: the pen just moves
        pen_ = s.to;
        return;
    }
    if (!pathOpen_) startPath();
    shape_.paths.back().segments.push_back(s);
    if (s.curved) grow(s.control, line_);
    grow(s.to, line_);
    pen_ = s.to;
    ++version_;
}

// Bounds take in every point and, for stroked edges, half the stroke.
void Drawing::grow(Point p, uint32_t lineIndex) {
    int32_t half = lineIndex ? std::max<int32_t>(shape_.lines[lineIndex - 1].width / 2, 10) : 0;
    shape_.bounds = shape_.bounds.united({p.x - half, p.x + half, p.y - half, p.y + half});
    shape_.edgeBounds = shape_.edgeBounds.united({p.x, p.x, p.y, p.y});
}

}  // namespace swf
