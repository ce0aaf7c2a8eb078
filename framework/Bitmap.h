#pragma once
// TBitmap: a 32-bit top-down DIB section with its own memory device context; pixels are
// 0xAARRGGBB. Loads BMP files of every depth and compression the system decodes, after
// checking the headers against the data actually present.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Canvas.h"
#include "framework/GdiObject.h"
#include "framework/Graphic.h"

namespace vm {

class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    ~TBitmap() override;

    std::string ClassName() const override { return "TBitmap"; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Reallocates; contents become black (zero). Raises EOutOfResources on failure.
    void SetSize(int width, int height);

    HDC DC() const { return dc_ ? dc_->Get() : nullptr; }
    HBITMAP Handle() const { return bitmap_.Get(); }
    TCanvas& Canvas();                        // valid while the size stays
    std::uint32_t* ScanLine(int y);           // GdiFlush()es first
    const std::uint32_t* ScanLine(int y) const;
    std::uint32_t Pixel(int x, int y) const { return ScanLine(y)[x]; }
    void SetPixel(int x, int y, std::uint32_t argb) { ScanLine(y)[x] = argb; }

    void LoadFromStream(TStream& stream) override;     // a BMP file
    void SaveToStream(TStream& stream) const override; // a 32-bit BMP file
    void Draw(TCanvas& canvas, const RECT& rect) const override;

private:
    int width_ = 0, height_ = 0;
    std::uint32_t* bits_ = nullptr;
    std::unique_ptr<TMemoryDC> dc_;
    TBitmapHandle bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
    void Free();
};

} // namespace vm
