#include "flashhost/sf_bitmap.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Errors.h"

using namespace vm;

namespace {
// Sets a surface's pixels to a pattern that tells every pixel apart.
void Number(TsfBitmap& surface, std::uint32_t base) {
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            surface.Pixels()[y * surface.Width() + x] = base + static_cast<std::uint32_t>(y * 256 + x);
}
std::uint32_t At(const TsfBitmap& surface, int x, int y) { return surface.Pixels()[y * surface.Width() + x]; }

// Replaces the surface's GDI calls for one test and puts the real ones back after it.
class TGdiFailure {
public:
    TGdiFailure() : saved_(SurfaceGdiCalls()) {}
    ~TGdiFailure() { SurfaceGdiCalls() = saved_; }
private:
    TsfSurfaceGdiCalls saved_;
};
} // namespace

TEST(SurfaceSize, ZeroNegativeAndSameSize) {
    TsfBitmap surface;
    EXPECT_TRUE(surface.Empty());
    EXPECT_EQ(surface.DC(), nullptr);

    surface.SetSize(-4, -3);
    ASSERT_FALSE(surface.Empty());
    EXPECT_EQ(surface.Width(), 4);
    EXPECT_EQ(surface.Height(), 3);
    Number(surface, 0xAA000000);
    const std::uint32_t* pixels = surface.Pixels();

    surface.SetSize(0, 9);
    surface.SetSize(9, 0);
    surface.SetSize(4, -3);
    EXPECT_EQ(surface.Pixels(), pixels);
    EXPECT_EQ(surface.Width(), 4);
    EXPECT_EQ(surface.Height(), 3);
    EXPECT_EQ(At(surface, 3, 2), 0xAA000203u);

    surface.SetSize(5, 3);
    EXPECT_EQ(surface.Width(), 5);
    surface.Fill(0x11223344);
    EXPECT_EQ(At(surface, 4, 2), 0x11223344u);
}

TEST(SurfaceSize, ReachesGdiAsTopDown32Bit) {
    TsfBitmap surface;
    surface.SetSize(3, 2);
    surface.Fill(0);
    surface.Pixels()[0] = 0x00FF0000;   // top-left red
    EXPECT_EQ(GetPixel(surface.DC(), 0, 0), RGB(255, 0, 0));
    SetPixel(surface.DC(), 2, 1, RGB(0, 0, 255));
    GdiFlush();
    EXPECT_EQ(At(surface, 2, 1) & 0xFFFFFF, 0x0000FFu);
}

TEST(SurfaceSize, ASizeGdiCannotHoldIsRefused) {
    TsfBitmap surface;
    surface.SetSize(2, 2);
    EXPECT_THROW(surface.SetSize(0x7FFFFFFF, 0x7FFFFFFF), EVelmoraError);
    EXPECT_TRUE(surface.Empty());
    EXPECT_THROW(surface.SetSize(-0x7FFFFFFF - 1, 3), EVelmoraError);
}

namespace {
HBITMAP WINAPI NoDIBSection(HDC, const BITMAPINFO*, UINT, void** bits, HANDLE, DWORD) {
    *bits = nullptr;
    return nullptr;
}
HDC WINAPI NoCompatibleDC(HDC) { return nullptr; }
HGDIOBJ WINAPI NoSelection(HDC, HGDIOBJ) { return HGDI_ERROR; }

struct TFailureCase {
    const char* message;
    void (*breakGdi)(TsfSurfaceGdiCalls&);
};

const TFailureCase kFailures[] = {
    {"Can't allocate the DIB handle", [](TsfSurfaceGdiCalls& gdi) { gdi.createDIBSection = NoDIBSection; }},
    {"Can't create compatible DC", [](TsfSurfaceGdiCalls& gdi) { gdi.createCompatibleDC = NoCompatibleDC; }},
    {"Can't select an object into DC", [](TsfSurfaceGdiCalls& gdi) { gdi.selectObject = NoSelection; }},
};
} // namespace

TEST(SurfaceSize, EachGdiFailureLeavesAnEmptySurfaceThatIsSafeToUse) {
    for (const TFailureCase& failure : kFailures) {
        SCOPED_TRACE(failure.message);
        TsfBitmap surface, other;
        surface.SetSize(4, 4);
        other.SetSize(4, 4);
        other.Fill(0x12345678);
        {
            TGdiFailure restore;
            failure.breakGdi(SurfaceGdiCalls());
            try {
                surface.SetSize(8, 8);
                ADD_FAILURE() << "no error";
            } catch (const EVelmoraError& error) {
                EXPECT_EQ(std::string(error.what()), failure.message);
            }
        }
        EXPECT_TRUE(surface.Empty());
        EXPECT_EQ(surface.DC(), nullptr);
        EXPECT_EQ(surface.Canvas(), nullptr);
        EXPECT_FALSE(SurfaceRegistry::Contains(&surface));

        // Nothing may touch pixels that are gone, in either direction.
        surface.Fill(0);
        surface.CopyTo(other, 0, 0, RECT{0, 0, 4, 4});
        other.CopyTo(surface, 0, 0, RECT{0, 0, 4, 4});
        surface.DrawTo(other.DC(), 0, 0);
        other.DrawTo(surface.DC(), 0, 0);
        EXPECT_EQ(At(other, 3, 3), 0x12345678u);

        // With GDI working again the same size as before the failure is made anew.
        surface.SetSize(8, 8);
        EXPECT_FALSE(surface.Empty());
        EXPECT_TRUE(SurfaceRegistry::Contains(&surface));
    }
}

TEST(SurfaceRegistryTest, HoldsASurfaceExactlyWhileItOwnsADC) {
    const int before = SurfaceRegistry::Count();
    {
        TsfBitmap surface;
        EXPECT_FALSE(SurfaceRegistry::Contains(&surface));
        surface.SetSize(2, 2);
        EXPECT_TRUE(SurfaceRegistry::Contains(&surface));
        EXPECT_EQ(SurfaceRegistry::OwnerOf(surface.DC()), &surface);
        surface.SetSize(3, 3);   // a new DC, still registered once
        EXPECT_EQ(SurfaceRegistry::OwnerOf(surface.DC()), &surface);
        EXPECT_EQ(SurfaceRegistry::Count(), before + 1);
    }
    EXPECT_EQ(SurfaceRegistry::Count(), before);
}

TEST(SurfaceCopy, PartlyOutsideTheDestinationCopiesOnlyTheInside) {
    TsfBitmap source, target;
    source.SetSize(4, 4);
    target.SetSize(4, 4);
    Number(source, 0xFF000000);
    target.Fill(0);

    source.CopyTo(target, -1, 2, RECT{0, 0, 3, 3});   // the source's (1..2, 0..1) lands at (0..1, 2..3)
    EXPECT_EQ(At(target, 0, 2), 0xFF000001u);
    EXPECT_EQ(At(target, 1, 2), 0xFF000002u);
    EXPECT_EQ(At(target, 0, 3), 0xFF000101u);
    EXPECT_EQ(At(target, 1, 3), 0xFF000102u);
    EXPECT_EQ(At(target, 2, 2), 0u);
    EXPECT_EQ(At(target, 0, 1), 0u);

    source.CopyTo(target, 3, 3, RECT{1, 1, 4, 4});
    EXPECT_EQ(At(target, 3, 3), 0xFF000101u);
    EXPECT_EQ(At(target, 2, 3), 0u);
}

TEST(SurfaceCopy, SourceReachingOutsideOrEmptyOrFarAwayCopiesNothing) {
    TsfBitmap source, target;
    source.SetSize(4, 4);
    target.SetSize(4, 4);
    Number(source, 0xFF000000);
    target.Fill(0);
    for (RECT s : {RECT{-1, 0, 2, 2}, RECT{0, -1, 2, 2}, RECT{2, 2, 5, 3}, RECT{0, 0, 2, 5}, RECT{2, 2, 2, 4},
                   RECT{3, 1, 1, 3}})
        source.CopyTo(target, 0, 0, s);
    source.CopyTo(target, 0x7FFFFFFF, 0, RECT{0, 0, 4, 4});   // must clip, not wrap round
    source.CopyTo(target, -0x7FFFFFFF - 1, 0, RECT{0, 0, 4, 4});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(target, x, y), 0u) << x << "," << y;
}

TEST(SurfaceCopy, OverlappingCopyWithinOneSurfaceReadsTheOriginalPixels) {
    TsfBitmap surface;
    surface.SetSize(6, 6);
    Number(surface, 0);
    surface.CopyTo(surface, 1, 1, RECT{0, 0, 5, 5});   // down-right: rows must not read what was just written
    EXPECT_EQ(At(surface, 1, 1), 0x000u);
    EXPECT_EQ(At(surface, 5, 5), 0x404u);
    EXPECT_EQ(At(surface, 3, 2), 0x102u);
    EXPECT_EQ(At(surface, 0, 3), 0x300u);   // outside the destination: untouched

    Number(surface, 0);
    surface.CopyTo(surface, 0, 0, RECT{1, 1, 6, 6});   // up-left
    EXPECT_EQ(At(surface, 0, 0), 0x101u);
    EXPECT_EQ(At(surface, 4, 4), 0x505u);
    EXPECT_EQ(At(surface, 2, 1), 0x203u);
}

TEST(SurfaceDraw, OntoAnotherSurfaceHonoursItsWindowOrigin) {
    TsfBitmap frame, target;
    frame.SetSize(2, 2);
    target.SetSize(6, 6);
    Number(frame, 0x80000000);   // the alpha byte shows the copy did not go through GDI
    target.Fill(0);

    POINT previous;
    SetWindowOrgEx(target.DC(), -3, 1, &previous);   // logical (1, 2) falls on device (4, 1)
    frame.DrawTo(target.DC(), 1, 2);
    SetWindowOrgEx(target.DC(), previous.x, previous.y, nullptr);
    EXPECT_EQ(At(target, 4, 1), 0x80000000u);
    EXPECT_EQ(At(target, 5, 2), 0x80000101u);
    EXPECT_EQ(At(target, 1, 2), 0u);

    TCanvas* canvas = target.Canvas();
    ASSERT_NE(canvas, nullptr);
    frame.DrawTo(*canvas, 0, 0);
    EXPECT_EQ(At(target, 1, 1), 0x80000101u);
}

TEST(SurfaceDraw, OntoAPlainMemoryDCBlitsThePixels) {
    TsfBitmap frame;
    frame.SetSize(3, 2);
    Number(frame, 0x00400000);

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 5, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TBitmapHandle dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(dib);
    TMemoryDC dc;
    TSelectObject select(dc.Get(), dib.Get());
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill_n(pixels, 20, 0x00ABCDEFu);

    frame.DrawTo(dc.Get(), 2, 1);
    GdiFlush();
    EXPECT_EQ(pixels[1 * 5 + 2] & 0xFFFFFF, 0x400000u);
    EXPECT_EQ(pixels[2 * 5 + 4] & 0xFFFFFF, 0x400102u);
    EXPECT_EQ(pixels[1 * 5 + 1] & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(pixels[3 * 5 + 2] & 0xFFFFFF, 0xABCDEFu);
}

TEST(SurfaceCanvas, IsBoundToTheCurrentDC) {
    TsfBitmap surface;
    EXPECT_EQ(surface.Canvas(), nullptr);
    surface.SetSize(4, 4);
    ASSERT_NE(surface.Canvas(), nullptr);
    EXPECT_EQ(surface.Canvas()->Handle(), surface.DC());
    surface.SetSize(8, 8);
    ASSERT_NE(surface.Canvas(), nullptr);
    EXPECT_EQ(surface.Canvas()->Handle(), surface.DC());
    surface.Fill(0);
    surface.Canvas()->Brush().color = clRed;
    surface.Canvas()->FillRect(RECT{6, 6, 8, 8});
    GdiFlush();
    EXPECT_EQ(At(surface, 7, 7) & 0xFFFFFF, 0xFF0000u);
}

TEST(ColorToPixelTest, PlainAndSystemColours) {
    EXPECT_EQ(ColorToPixel(clRed, 255), 0xFFFF0000u);
    EXPECT_EQ(ColorToPixel(clBlue, 0), 0x000000FFu);
    EXPECT_EQ(ColorToPixel(0x00336699, 0x80), 0x80996633u);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(ColorToPixel(clBtnFace, 255),
              0xFF000000u | GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face));
}
