#include "ImageCompare.h"

#include <cstdlib>

namespace swf::tools {

long countOutliers(const RgbaImage& actual, const RgbaImage& expected, int tolerance) {
    long outliers = 0;
    for (size_t i = 0; i + 3 < actual.rgba.size() && i + 3 < expected.rgba.size(); i += 4) {
        for (int c = 0; c < 4; ++c) {
            if (std::abs(int(actual.rgba[i + c]) - int(expected.rgba[i + c])) > tolerance) {
                ++outliers;
                break;
            }
        }
    }
    return outliers;
}

ComparisonResult compareImages(const RgbaImage& actual, const RgbaImage& expected,
                               const std::vector<ToleranceCheck>& checks) {
    ComparisonResult result;
    result.sizeMatches = actual.width == expected.width && actual.height == expected.height;
    if (!result.sizeMatches) return result;
    result.matches = true;
    for (const ToleranceCheck& check : checks) {
        long outliers = countOutliers(actual, expected, check.tolerance);
        result.worstOutliers = outliers;
        if (outliers > check.maxOutliers) {
            result.matches = false;
            break;
        }
    }
    return result;
}

}  // namespace swf::tools
