#include "ImageTransforms.h"

#include <algorithm>

namespace velmora::skin {

PixelImage mirrored(const PixelImage& image) {
    PixelImage out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) std::reverse_copy(image.row(y), image.row(y) + image.width(), out.row(y));
    return out;
}

PixelImage flipped(const PixelImage& image) {
    PixelImage out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::copy(image.row(y), image.row(y) + image.width(), out.row(image.height() - 1 - y));
    return out;
}

PixelImage rotatedClockwise(const PixelImage& image) {
    PixelImage out(image.height(), image.width());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) out.at(image.height() - 1 - y, x) = image.at(x, y);
    return out;
}

PixelImage rotatedCounterClockwise(const PixelImage& image) {
    PixelImage out(image.height(), image.width());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) out.at(y, image.width() - 1 - x) = image.at(x, y);
    return out;
}

void replaceMagenta(PixelImage& image, Colour colour) {
    const Pixel replacement = pixelOf(resolveColour(colour, {}));
    const Pixel magenta = pixelOf(kMagenta);
    for (int y = 0; y < image.height(); ++y) {
        Pixel* line = image.row(y);
        for (int x = 0; x < image.width(); ++x) line[x] = sameColour(line[x], magenta) ? replacement : line[x] | kOpaqueBlack;
    }
}

}  // namespace velmora::skin
