#pragma once
// Bitmap characters. Pixels are decoded on first use and then kept: loading a movie stays
// fast, and the definition is still logically immutable (the decode runs once, thread-safe).
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "core/Geometry.h"

namespace swf {

struct Image {
    uint32_t width = 0, height = 0;
    std::vector<Pixel> pixels;  // premultiplied 0xAARRGGBB, row-major, width * height
    bool opaque = false;        // every pixel has alpha 255: it may be copied rather than blended
    uint64_t revision = 0;      // pictures scripts draw into count their changes here
};

// What decoding an image produced: pixels or a one-line reason.
struct ImageResult {
    Image image;
    std::string error;  // empty on success
};

enum class BitmapFormat : uint8_t { Jpeg, Png, Gif, Lossless };

class BitmapDef {
public:
    // Dimensions come from the payload's header, known without decoding the pixels.
    BitmapDef(BitmapFormat format, uint32_t width, uint32_t height, std::function<ImageResult()> decode)
        : format_(format), width_(width), height_(height), decode_(std::move(decode)) {}

    BitmapFormat format() const { return format_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    // The pixels, or nullptr when the payload cannot be decoded (see error()).
    const Image* image() const {
        ensureDecoded();
        return result_.error.empty() ? &result_.image : nullptr;
    }
    const std::string& error() const {
        ensureDecoded();
        return result_.error;
    }

private:
    void ensureDecoded() const {
        std::call_once(once_, [this] {
            try {
                result_ = decode_();
            } catch (const std::bad_alloc&) {
                result_ = {{}, "not enough memory to decode the bitmap"};
            }
            decode_ = nullptr;  // releases the captured payload
            const auto& px = result_.image.pixels;
            result_.image.opaque = std::all_of(px.begin(), px.end(), [](Pixel p) { return (p >> 24) == 0xFF; });
        });
    }

    BitmapFormat format_;
    uint32_t width_, height_;
    mutable std::function<ImageResult()> decode_;
    mutable std::once_flag once_;
    mutable ImageResult result_;
};

}  // namespace swf
