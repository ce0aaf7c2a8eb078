#pragma once
// Compares a rendered stage with a reference image the way the corpus states its limits: a
// pixel is an outlier when any channel differs by more than the tolerance, and an image
// matches when it has no more outliers than allowed.
#include <vector>

#include "PngFile.h"

namespace swf::tools {

struct ToleranceCheck {
    int tolerance = 0;
    long maxOutliers = 0;
};

struct ComparisonResult {
    bool sizeMatches = false;
    bool matches = false;
    long worstOutliers = 0;  // outliers of the first failing check (or of the last one)
};

long countOutliers(const RgbaImage& actual, const RgbaImage& expected, int tolerance);
ComparisonResult compareImages(const RgbaImage& actual, const RgbaImage& expected,
                               const std::vector<ToleranceCheck>& checks);

}  // namespace swf::tools
