#pragma once
// TJPEGImage: a JPEG picture decoded with libjpeg into a TBitmap. Corrupt or truncated data
// raises EInvalidGraphic with libjpeg's own description of the problem.
#include <vector>

#include "framework/Bitmap.h"

namespace vm {

class TJPEGImage : public TGraphic {
public:
    std::string ClassName() const override { return "TJPEGImage"; }
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;   // the original file bytes
    void Draw(TCanvas& canvas, const RECT& rect) const override { bitmap_.Draw(canvas, rect); }
    const TBitmap& Bitmap() const { return bitmap_; }

private:
    TBitmap bitmap_;
    std::vector<unsigned char> data_;
};

} // namespace vm
