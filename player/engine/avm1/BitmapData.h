#pragma once
// The pixels behind a BitmapData object: premultiplied 0xAARRGGBB like every picture the
// renderer draws, shared so a clip showing the picture draws what scripts last wrote. Their
// bytes count toward the machine's budget for pictures while the object lives.
#include <cstdint>
#include <memory>
#include <vector>

#include "avm1/Vm.h"
#include "model/Bitmap.h"

namespace swf::avm1 {

class BitmapDataState final : public NativeState {
public:
    // The runtime's size rules: up to 2880 a side before version 10, then up to 8191 a side
    // and 16,777,215 pixels.
    static bool sizeAllowed(int32_t width, int32_t height, int swfVersion) {
        if (width <= 0 || height <= 0) return false;
        if (swfVersion < 10) return width <= 2880 && height <= 2880;
        return width <= 8191 && height <= 8191 && int64_t(width) * height <= 16'777'215;
    }
    // Null when the movie's pictures would pass the budget.
    static std::unique_ptr<BitmapDataState> make(Vm& vm, uint32_t width, uint32_t height, bool transparent) {
        size_t bytes = size_t(width) * height * sizeof(Pixel);
        if (*vm.liveBitmapBytes + bytes > vm.limits().maxLiveBitmapBytes) return nullptr;
        return std::unique_ptr<BitmapDataState>(new BitmapDataState(vm.liveBitmapBytes, width, height, transparent));
    }
    ~BitmapDataState() override { dispose(); }

    int32_t width() const { return int32_t(image_->width); }
    int32_t height() const { return int32_t(image_->height); }
    bool transparent() const { return transparent_; }
    bool disposed() const { return image_->pixels.empty(); }
    bool contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }
    // Outside the picture reads as transparent black.
    Pixel at(int64_t x, int64_t y) const { return contains(x, y) ? image_->pixels[size_t(y) * width() + size_t(x)] : 0; }
    // Writable pixels: taking them counts as a change the screen must show.
    Pixel& pixel(int32_t x, int32_t y) {
        ++image_->revision;
        return image_->pixels[size_t(y) * width() + size_t(x)];
    }
    std::vector<Pixel>& pixels() {
        ++image_->revision;
        return image_->pixels;
    }
    std::shared_ptr<const Image> image() const { return image_; }

    // The pixels go at once; clips showing the picture show nothing from then on.
    void dispose() {
        if (disposed()) return;
        *budget_ -= image_->pixels.size() * sizeof(Pixel);
        image_->pixels = {};
        image_->width = image_->height = 0;
        ++image_->revision;
    }

private:
    BitmapDataState(std::shared_ptr<size_t> budget, uint32_t width, uint32_t height, bool transparent)
        : budget_(std::move(budget)), image_(std::make_shared<Image>()), transparent_(transparent) {
        image_->width = width;
        image_->height = height;
        image_->pixels.assign(size_t(width) * height, 0);
        *budget_ += image_->pixels.size() * sizeof(Pixel);
    }

    std::shared_ptr<size_t> budget_;
    std::shared_ptr<Image> image_;
    bool transparent_;
};

}  // namespace swf::avm1
