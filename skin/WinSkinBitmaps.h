#pragma once
// GDI bitmaps of a loaded skin: one 32-bit DIB section per element picture, owned here and
// deleted with it (or when the skin is replaced).
#include <windows.h>

#include <map>

#include "PixelImage.h"
#include "SkinModel.h"
#include "framework/GdiObject.h"

namespace vm {

// An empty top-down 32-bit DIB section; `bits` receives its pixels. Raises when GDI refuses.
TBitmapHandle MakeTopDownDib(int width, int height, velmora::skin::Pixel*& bits);
// A top-down 32-bit DIB section holding the picture's pixels; empty pictures give none.
TBitmapHandle MakeSkinBitmap(const velmora::skin::PixelImage& image);

class TSkinBitmaps {
public:
    // Makes the bitmaps of every picture of every element (old ones are deleted).
    void Build(const velmora::skin::SkinModel& model);
    void Clear() { bitmaps_.clear(); }
    // The bitmap of a picture held by the model Build() saw; nullptr for an empty or foreign one.
    HBITMAP Of(const velmora::skin::PixelImage& image) const;
    size_t Count() const { return bitmaps_.size(); }

private:
    void Add(const velmora::skin::PixelImage& image);
    std::map<const velmora::skin::PixelImage*, TBitmapHandle> bitmaps_;
};

}  // namespace vm
