#include "WinSkinBitmaps.h"

#include <cstring>

#include "framework/Errors.h"

namespace vm {

using velmora::skin::PixelImage;

TBitmapHandle MakeTopDownDib(int width, int height, velmora::skin::Pixel*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0));
    if (!bitmap || !memory) RaiseLastOSError("Creating a skin bitmap");
    bits = static_cast<velmora::skin::Pixel*>(memory);
    return bitmap;
}

TBitmapHandle MakeSkinBitmap(const PixelImage& image) {
    if (image.empty()) return {};
    velmora::skin::Pixel* bits = nullptr;
    TBitmapHandle bitmap = MakeTopDownDib(image.width(), image.height(), bits);
    std::memcpy(bits, image.pixels().data(), image.pixels().size() * sizeof(velmora::skin::Pixel));
    GdiFlush();
    return bitmap;
}

void TSkinBitmaps::Add(const PixelImage& image) {
    if (!image.empty()) bitmaps_[&image] = MakeSkinBitmap(image);
}

void TSkinBitmaps::Build(const velmora::skin::SkinModel& m) {
    bitmaps_.clear();
    const auto addElement = [this](const velmora::skin::TDataSkinObject* e) {
        if (!e) return;
        Add(e->Image);
        if (const auto* border = dynamic_cast<const velmora::skin::TDataSkinBorder*>(e)) Add(border->SecondImage);
        if (const auto* button = dynamic_cast<const velmora::skin::TDataSkinButton*>(e)) {
            Add(button->CheckImage);
            Add(button->RadioImage);
        }
    };
    for (const velmora::skin::TDataSkinObject* e : m.Elements()) addElement(e);
}

HBITMAP TSkinBitmaps::Of(const PixelImage& image) const {
    const auto found = bitmaps_.find(&image);
    return found == bitmaps_.end() ? nullptr : found->second.Get();
}

}  // namespace vm
