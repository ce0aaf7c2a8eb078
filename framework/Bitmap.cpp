#include "framework/Bitmap.h"

#include <cstring>

#include "framework/Errors.h"
#include "framework/Stream.h"

namespace vm {

namespace {
constexpr int kMaxSide = 32768;
constexpr std::int64_t kMaxPixels = 1 << 26;   // 256 MB of 32-bit pixels; more is corruption here

std::uint32_t ReadU32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24); }
std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
} // namespace

TBitmap::~TBitmap() { Free(); }

void TBitmap::Free() {
    canvas_.reset();
    if (dc_ && oldBitmap_) SelectObject(dc_->Get(), oldBitmap_);
    oldBitmap_ = nullptr;
    bitmap_.Reset();
    dc_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<std::int64_t>(width) * height > kMaxPixels)
        throw EInvalidGraphic("Bitmap size " + std::to_string(width) + " x " + std::to_string(height) + " is not supported");
    Free();
    if (width == 0 || height == 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down: row 0 first in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) RaiseLastOSError("Cannot create a bitmap of " + std::to_string(width) + " x " + std::to_string(height));
    auto dc = std::make_unique<TMemoryDC>();
    if (!dc->Get()) RaiseLastOSError("Cannot create a device context");
    oldBitmap_ = SelectObject(dc->Get(), bitmap.Get());
    bitmap_ = std::move(bitmap);
    dc_ = std::move(dc);
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

TCanvas& TBitmap::Canvas() {
    if (!dc_) throw EInvalidOperation("An empty bitmap has no canvas");
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(dc_->Get());
    return *canvas_;
}

std::uint32_t* TBitmap::ScanLine(int y) {
    if (!bits_ || y < 0 || y >= height_) throw EInvalidOperation("Scan line " + std::to_string(y) + " out of range");
    GdiFlush();
    return bits_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

const std::uint32_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

void TBitmap::LoadFromStream(TStream& stream) {
    std::string file = stream.ReadAll();
    const auto* p = reinterpret_cast<const std::uint8_t*>(file.data());
    const std::size_t size = file.size();
    if (size < 14 + 12 || p[0] != 'B' || p[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid (no BMP header)");
    std::uint32_t offBits = ReadU32(p + 10);
    std::uint32_t headerSize = ReadU32(p + 14);
    if (headerSize != 12 && (headerSize < 40 || headerSize > 124)) throw EInvalidGraphic("Bitmap image is not valid (unknown header size)");
    if (14 + headerSize > size) throw EInvalidGraphic("Bitmap image is not valid (truncated header)");
    std::int64_t width, height;
    unsigned bitCount, compression = BI_RGB;
    std::uint32_t colorsUsed = 0, sizeImage = 0;
    if (headerSize == 12) {
        width = ReadU16(p + 18);
        height = static_cast<std::int16_t>(ReadU16(p + 20));
        bitCount = ReadU16(p + 24);
    } else {
        width = static_cast<std::int32_t>(ReadU32(p + 18));
        height = static_cast<std::int32_t>(ReadU32(p + 22));
        bitCount = ReadU16(p + 28);
        compression = ReadU32(p + 30);
        sizeImage = ReadU32(p + 34);
        colorsUsed = ReadU32(p + 46);
    }
    std::int64_t absHeight = height < 0 ? -height : height;
    if (width <= 0 || absHeight == 0 || width > kMaxSide || absHeight > kMaxSide || width * absHeight > kMaxPixels)
        throw EInvalidGraphic("Bitmap image is not valid (size " + std::to_string(width) + " x " + std::to_string(height) + ")");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw EInvalidGraphic("Bitmap image is not valid (" + std::to_string(bitCount) + " bits per pixel)");
    bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (compression != BI_RGB && compression != BI_BITFIELDS && !rle)
        throw EInvalidGraphic("Bitmap image uses an unsupported compression");
    if ((compression == BI_RLE8 && bitCount != 8) || (compression == BI_RLE4 && bitCount != 4) || (rle && height < 0))
        throw EInvalidGraphic("Bitmap image is not valid (compression does not match its format)");
    std::uint64_t paletteEntries = bitCount <= 8 ? (colorsUsed ? colorsUsed : (1u << bitCount)) : 0;
    if (paletteEntries > 256) throw EInvalidGraphic("Bitmap image is not valid (palette too large)");
    std::uint64_t headerEnd = 14 + static_cast<std::uint64_t>(headerSize) + (compression == BI_BITFIELDS && headerSize == 40 ? 12 : 0) +
                              paletteEntries * (headerSize == 12 ? 3 : 4);
    if (offBits < 14 + headerSize || offBits > size || headerEnd > size)
        throw EInvalidGraphic("Bitmap image is not valid (pixel data offset out of range)");
    std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
    std::uint64_t needed = rle ? sizeImage : stride * static_cast<std::uint64_t>(absHeight);
    if (needed > size - offBits) throw EInvalidGraphic("Bitmap image is not valid (pixel data truncated)");

    // The header and palette are copied so GDI never reads past what the file holds.
    std::vector<std::uint8_t> info(p + 14, p + std::min<std::uint64_t>(offBits, size));
    info.resize(std::max<std::size_t>(info.size(), sizeof(BITMAPINFOHEADER) + 256 * 4), 0);
    SetSize(static_cast<int>(width), static_cast<int>(absHeight));
    int lines = StretchDIBits(DC(), 0, 0, width_, height_, 0, 0, width_, height_, p + offBits,
                              reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
    if (lines == 0 || lines == static_cast<int>(GDI_ERROR)) {
        Free();
        throw EInvalidGraphic("Bitmap image is not valid (the pixel data cannot be decoded)");
    }
    GdiFlush();
    for (std::size_t i = 0, n = static_cast<std::size_t>(width_) * height_; i < n; ++i) bits_[i] |= 0xFF000000u;
}

void TBitmap::SaveToStream(TStream& stream) const {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    std::uint32_t pixelBytes = static_cast<std::uint32_t>(width_) * height_ * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = -height_;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixelBytes;
    stream.WriteBuffer(&file, sizeof file);
    stream.WriteBuffer(&info, sizeof info);
    if (pixelBytes) {
        GdiFlush();
        stream.WriteBuffer(bits_, pixelBytes);
    }
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) const {
    if (!dc_) return;
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    if (w == width_ && h == height_) {
        BitBlt(canvas.Handle(), rect.left, rect.top, w, h, dc_->Get(), 0, 0, SRCCOPY);
        return;
    }
    int oldMode = SetStretchBltMode(canvas.Handle(), HALFTONE);
    POINT oldOrigin;
    SetBrushOrgEx(canvas.Handle(), 0, 0, &oldOrigin);
    StretchBlt(canvas.Handle(), rect.left, rect.top, w, h, dc_->Get(), 0, 0, width_, height_, SRCCOPY);
    SetBrushOrgEx(canvas.Handle(), oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(canvas.Handle(), oldMode);
}

} // namespace vm
