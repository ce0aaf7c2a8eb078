#pragma once
// TsfBitmap: an off-screen 32-bit surface, a top-down DIB section selected into a memory device
// context of its own, so GDI and the hosted ActiveX object (through the DC) and direct pixel
// code (through Pixels()) work on the same memory. Pixels are 0xAARRGGBB, rows contiguous
// (stride = Width() * 4); GDI ignores the alpha byte.
//
// Every surface that owns a device context is listed in SurfaceRegistry, so that drawing a
// surface onto another surface's DC becomes row copies instead of a GDI blit.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "framework/Canvas.h"
#include "framework/Color.h"
#include "framework/GdiObject.h"

namespace vm {

// The three GDI calls that can fail while a surface is sized. Replaceable so tests can make
// each of them fail without exhausting GDI; production code never touches them.
struct TsfSurfaceGdiCalls {
    HBITMAP(WINAPI* createDIBSection)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) = ::CreateDIBSection;
    HDC(WINAPI* createCompatibleDC)(HDC) = ::CreateCompatibleDC;
    HGDIOBJ(WINAPI* selectObject)(HDC, HGDIOBJ) = ::SelectObject;
};
TsfSurfaceGdiCalls& SurfaceGdiCalls();

class TsfBitmap {
public:
    // An empty surface: no pixels, no device context, 0 x 0.
    TsfBitmap();
    ~TsfBitmap();
    TsfBitmap(const TsfBitmap&) = delete;
    TsfBitmap& operator=(const TsfBitmap&) = delete;

    // Signs are ignored; 0 for either side, or the current size again, keeps everything
    // (pixels included). New pixels are not initialised. Raises EVelmoraError when GDI
    // refuses; the surface is then empty (no pixels, no DC, 0 x 0).
    void SetSize(int width, int height);
    // Every pixel = value.
    void Fill(std::uint32_t value);
    // Copies `source` (a rectangle of this surface) to (x, y) of `destination`, clipped to the
    // destination. A source rectangle that does not lie wholly inside this surface copies
    // nothing. Copying within one surface may overlap.
    void CopyTo(TsfBitmap& destination, int x, int y, const RECT& source) const;
    // Draws the whole surface with its top-left corner at (x, y). Onto another surface's DC this
    // is a memory copy that honours the window origin set on that DC; otherwise a GDI blit.
    void DrawTo(HDC dc, int x, int y) const;
    void DrawTo(const TCanvas& canvas, int x, int y) const { DrawTo(canvas.Handle(), x, y); }
    // Draws only `piece` of the surface, where it lies when the whole is drawn at (x, y).
    void DrawPieceTo(HDC dc, int x, int y, const RECT& piece) const;

    std::uint32_t* Pixels() const { return pixels_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return pixels_ == nullptr; }
    // The memory DC with the bitmap selected, for GDI drawing into the surface; null when empty.
    HDC DC() const { return dc_.get(); }
    // A canvas over DC(), made on first use; null when the surface is empty. It is made anew
    // whenever the DC changes (every resize), so do not keep it across SetSize.
    TCanvas* Canvas();

private:
    struct TDCDeleter {
        void operator()(HDC dc) const { DeleteDC(dc); }
    };
    using TOwnedDC = std::unique_ptr<std::remove_pointer_t<HDC>, TDCDeleter>;

    void Release();
    [[noreturn]] void FailSetSize(const char* message);

    BITMAPINFOHEADER header_{};
    // Declaration order is teardown order in reverse: the canvas restores the DC's state before
    // the DC goes, and the DC (holding the bitmap selected) goes before the bitmap.
    TBitmapHandle bitmap_;
    TOwnedDC dc_;
    std::unique_ptr<TCanvas> canvas_;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The process-wide list of surfaces that own a device context. Created by the first surface
// that joins and freed when the last one leaves, so it never outlives or predeceases its
// members whatever order static objects are destroyed in.
class SurfaceRegistry {
public:
    static void Join(TsfBitmap* surface);
    static void Leave(TsfBitmap* surface);
    static bool Contains(const TsfBitmap* surface);
    // The first registered surface whose DC is `dc`, or nullptr.
    static TsfBitmap* OwnerOf(HDC dc);
    static int Count();

private:
    static std::vector<TsfBitmap*>*& List();
};

// A colour (system colours resolved to their current value) as an 0xAARRGGBB pixel.
std::uint32_t ColorToPixel(TColor color, std::uint8_t alpha);

} // namespace vm
