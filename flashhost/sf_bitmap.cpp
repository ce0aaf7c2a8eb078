#include "flashhost/sf_bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "framework/Errors.h"

namespace vm {

TsfSurfaceGdiCalls& SurfaceGdiCalls() {
    static TsfSurfaceGdiCalls calls;
    return calls;
}

namespace {
// The largest pixel buffer a surface asks GDI for: its byte count and stride must fit the
// 32-bit sizes GDI and the row arithmetic use, in either build.
constexpr std::int64_t kMaxSurfaceBytes = 0x7FFFFFFF;

struct TSpan {
    std::int64_t left, top, right, bottom;
    bool Empty() const { return right <= left || bottom <= top; }
};
} // namespace

TsfBitmap::TsfBitmap() {
    header_.biSize = sizeof(BITMAPINFOHEADER);
    header_.biPlanes = 1;
    header_.biBitCount = 32;
    header_.biCompression = BI_RGB;
}

TsfBitmap::~TsfBitmap() { Release(); }

void TsfBitmap::Release() {
    if (dc_) SurfaceRegistry::Leave(this);
    canvas_.reset();
    dc_.reset();
    bitmap_.Reset();
    pixels_ = nullptr;
    width_ = 0;
    height_ = 0;
}

void TsfBitmap::FailSetSize(const char* message) {
    Release();
    throw EVelmoraError(message);
}

void TsfBitmap::SetSize(int width, int height) {
    const std::int64_t w = std::llabs(static_cast<long long>(width));
    const std::int64_t h = std::llabs(static_cast<long long>(height));
    if (w == 0 || h == 0) return;
    if (pixels_ && w == width_ && h == height_) return;

    Release();
    if (w * h * 4 > kMaxSurfaceBytes) FailSetSize("Can't allocate the DIB handle");

    header_.biWidth = static_cast<LONG>(w);
    header_.biHeight = -static_cast<LONG>(h);
    const TsfSurfaceGdiCalls& gdi = SurfaceGdiCalls();
    void* bits = nullptr;
    bitmap_.Reset(gdi.createDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&header_), DIB_RGB_COLORS,
                                       &bits, nullptr, 0));
    if (!bitmap_ || !bits) FailSetSize("Can't allocate the DIB handle");
    dc_.reset(gdi.createCompatibleDC(nullptr));
    if (!dc_) FailSetSize("Can't create compatible DC");
    HGDIOBJ previous = gdi.selectObject(dc_.get(), bitmap_.Get());
    if (!previous || previous == HGDI_ERROR) FailSetSize("Can't select an object into DC");

    pixels_ = static_cast<std::uint32_t*>(bits);
    width_ = static_cast<int>(w);
    height_ = static_cast<int>(h);
    SurfaceRegistry::Join(this);
}

TCanvas* TsfBitmap::Canvas() {
    if (!dc_) return nullptr;
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(dc_.get());
    return canvas_.get();
}

void TsfBitmap::Fill(std::uint32_t value) {
    if (!pixels_) return;
    GdiFlush();   // GDI may still be writing into the section
    std::fill_n(pixels_, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), value);
}

void TsfBitmap::CopyTo(TsfBitmap& destination, int x, int y, const RECT& source) const {
    if (!pixels_ || !destination.pixels_) return;
    // 64-bit arithmetic: a position near the int range must clip, not wrap around.
    const TSpan s{source.left, source.top, source.right, source.bottom};
    if (s.Empty()) return;
    const TSpan d{x, y, x + (s.right - s.left), y + (s.bottom - s.top)};
    const TSpan v{std::max<std::int64_t>(d.left, 0), std::max<std::int64_t>(d.top, 0),
                  std::min<std::int64_t>(d.right, destination.width_),
                  std::min<std::int64_t>(d.bottom, destination.height_)};
    if (v.Empty()) return;
    if (s.left < 0 || s.top < 0 || s.right > width_ || s.bottom > height_) return;

    GdiFlush();
    const std::int64_t sourceLeft = s.left + v.left - d.left;
    const std::int64_t sourceTop = s.top + v.top - d.top;
    const std::size_t rowBytes = static_cast<std::size_t>(v.right - v.left) * sizeof(std::uint32_t);
    const std::int64_t rows = v.bottom - v.top;
    // Within one surface, a copy downwards must start at the bottom row so that no row is
    // overwritten before it has been read; memmove handles the overlap inside a row.
    const bool bottomUp = &destination == this && v.top > sourceTop;
    for (std::int64_t i = 0; i < rows; ++i) {
        const std::int64_t row = bottomUp ? rows - 1 - i : i;
        const std::uint32_t* from = pixels_ + (sourceTop + row) * width_ + sourceLeft;
        std::uint32_t* to = destination.pixels_ + (v.top + row) * destination.width_ + v.left;
        std::memmove(to, from, rowBytes);
    }
}

void TsfBitmap::DrawTo(HDC dc, int x, int y) const { DrawPieceTo(dc, x, y, RECT{0, 0, width_, height_}); }

void TsfBitmap::DrawPieceTo(HDC dc, int x, int y, const RECT& piece) const {
    if (!pixels_ || !dc) return;
    RECT p;
    const RECT whole{0, 0, width_, height_};
    if (!IntersectRect(&p, &piece, &whole)) return;
    if (TsfBitmap* target = SurfaceRegistry::OwnerOf(dc)) {
        POINT origin{};
        GetWindowOrgEx(dc, &origin);
        CopyTo(*target, x + p.left - origin.x, y + p.top - origin.y, p);
        return;
    }
    const int w = p.right - p.left, h = p.bottom - p.top;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x + p.left, y + p.top, w, h, dc_.get(), p.left, p.top, w, h, SRCCOPY);
}

std::vector<TsfBitmap*>*& SurfaceRegistry::List() {
    static std::vector<TsfBitmap*>* list = nullptr;
    return list;
}

void SurfaceRegistry::Join(TsfBitmap* surface) {
    if (!List()) List() = new std::vector<TsfBitmap*>;
    if (!Contains(surface)) List()->push_back(surface);
}

void SurfaceRegistry::Leave(TsfBitmap* surface) {
    std::vector<TsfBitmap*>* list = List();
    if (!list) return;
    list->erase(std::remove(list->begin(), list->end(), surface), list->end());
    if (list->empty()) {
        delete list;
        List() = nullptr;
    }
}

bool SurfaceRegistry::Contains(const TsfBitmap* surface) {
    const std::vector<TsfBitmap*>* list = List();
    return list && std::find(list->begin(), list->end(), surface) != list->end();
}

TsfBitmap* SurfaceRegistry::OwnerOf(HDC dc) {
    const std::vector<TsfBitmap*>* list = List();
    if (!list || !dc) return nullptr;
    auto found = std::find_if(list->begin(), list->end(), [dc](const TsfBitmap* s) { return s->DC() == dc; });
    return found == list->end() ? nullptr : *found;
}

int SurfaceRegistry::Count() {
    const std::vector<TsfBitmap*>* list = List();
    return list ? static_cast<int>(list->size()) : 0;
}

std::uint32_t ColorToPixel(TColor color, std::uint8_t alpha) {
    const COLORREF rgb = ColorToRGB(color);
    return static_cast<std::uint32_t>(alpha) << 24 | static_cast<std::uint32_t>(GetRValue(rgb)) << 16 |
           static_cast<std::uint32_t>(GetGValue(rgb)) << 8 | GetBValue(rgb);
}

} // namespace vm
