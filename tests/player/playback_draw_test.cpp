// Drawing the frame into device contexts: the pixels must be the engine's own render of that
// frame and size, placed where the DC's origins say, cut by its clip, and pixels the movie
// does not cover must keep their value.
#include <gtest/gtest.h>

#include "PlaybackTestSupport.h"
#include "player/Player.h"
#include "decode/Decoder.h"

using namespace vm::flash;
using namespace vm::flash::test;

namespace {

constexpr int kViewW = 160, kViewH = 120;
constexpr uint32_t kSentinel = 0xFF123456;  // opaque, so GDI and the engine agree on it

// Overlapping fills with curves, translucency and edges between pixels.
std::vector<uint8_t> DrawingMovie() {
    auto movie = swfw::Movie::pixels(8, 80, 60, 12);
    movie.backgroundColor({30, 60, 200, 255});
    const uint16_t box = DefineBox(movie, 30, 17, {220, 20, 20, 255});
    swfw::ShapeBuilder ellipse;
    ellipse.fill1(ellipse.addSolidFill({20, 220, 60, 140})).ellipse(500, 400, 330, 210);
    const uint16_t blob = movie.defineShape(ellipse, 3);
    movie.place({.depth = 1, .character = box, .matrix = swf::Matrix{0.9, 0.3, -0.3, 0.9, 173, 151}});
    movie.place({.depth = 2, .character = blob, .matrix = At(3.3, 1.7)});
    movie.showFrame();
    return movie.bytes();
}

// The engine's own render of the first frame at the view size, over `background`. The
// rasteriser splits edges at the clip's sides, which can move an edge pixel by a level (a
// whole pixel for aliased edges through pixel centres), so a clipped draw is compared with
// the engine's render under the same clip.
std::vector<uint32_t> EngineRender(const std::vector<uint8_t>& bytes, swf::render::Quality quality, bool opaque,
                                   uint32_t background, swf::render::PixelRect clip = {0, 0, kViewW, kViewH}) {
    auto decoded = swf::decodeMovie(bytes);
    swf::NullHost host;
    swf::Player player(decoded.movie, host);
    std::vector<uint32_t> pixels(static_cast<size_t>(kViewW) * kViewH, background);
    swf::render::Target target{pixels.data(), kViewW, kViewH, kViewW * 4, clip};
    player.render(target, swf::Player::showAll(decoded.movie->header.frameSize, kViewW, kViewH), quality, opaque);
    return pixels;
}

struct Case {
    RenderQuality quality;
    swf::render::Quality engineQuality;
    bool transparent;
};
const Case kCases[] = {{RenderQuality::High, swf::render::Quality::High, false},
                       {RenderQuality::High, swf::render::Quality::High, true},
                       {RenderQuality::Low, swf::render::Quality::Low, false},
                       {RenderQuality::Low, swf::render::Quality::Low, true}};

TEST(PlaybackDraw, IntoATopDownDibHonouringOriginsAndClip) {
    const auto bytes = DrawingMovie();
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "quality " << static_cast<int>(c.quality) << " transparent " << c.transparent);
        RecordingOwner owner;
        MoviePlayback playback(owner);
        std::string error;
        ASSERT_TRUE(playback.Load(bytes, error));
        playback.SetViewSize(kViewW, kViewH);
        playback.SetQuality(c.quality);
        playback.SetTransparent(c.transparent);

        for (bool clipped : {false, true}) {
            SCOPED_TRACE(clipped ? "clipped" : "whole view");
            Dib dib(300, 200);
            dib.Fill(kSentinel);
            // device = logical - window origin + viewport origin = logical + (30, 25)
            SetViewportOrgEx(dib.Dc(), 40, 30, nullptr);
            SetWindowOrgEx(dib.Dc(), 10, 5, nullptr);
            RECT visible{30, 25, 30 + kViewW, 25 + kViewH};  // device pixels the draw may touch
            if (clipped) {
                IntersectClipRect(dib.Dc(), 20, 10, 120, 100);
                visible = {50, 35, 150, 125};
            }
            const RECT bounds{0, 0, kViewW, kViewH};
            ASSERT_TRUE(playback.Draw(dib.Dc(), bounds));

            const swf::render::PixelRect clip{visible.left - 30, visible.top - 25, visible.right - 30, visible.bottom - 25};
            const auto expected = EngineRender(bytes, c.engineQuality, !c.transparent, kSentinel, clip);
            int covered = 0, mismatches = 0;
            for (int y = 0; y < dib.Height(); ++y)
                for (int x = 0; x < dib.Width(); ++x) {
                    const bool inside = x >= visible.left && x < visible.right && y >= visible.top && y < visible.bottom;
                    const uint32_t want = inside ? expected[static_cast<size_t>(y - 25) * kViewW + (x - 30)] : kSentinel;
                    if (dib.At(x, y) != want) ++mismatches;
                    if (inside && want != kSentinel) ++covered;
                }
            EXPECT_EQ(mismatches, 0);
            EXPECT_GT(covered, 2000);  // the drawn area really holds movie pixels
            // Stage pixels no shape covers: the background only when the control is opaque.
            if (c.transparent) EXPECT_EQ(dib.At(148, 123), kSentinel);
            else EXPECT_EQ(dib.At(148, 123), 0xFF1E3CC8u);
        }
    }
}

// Reads a DDB's pixels back as 0xAARRGGBB with alpha forced opaque.
std::vector<uint32_t> ReadBack(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& p : pixels) p |= 0xFF000000;
    return pixels;
}

int MaxChannelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

TEST(PlaybackDraw, ThroughGdiIntoAPlainBitmapAndABottomUpDib) {
    const auto bytes = DrawingMovie();
    HDC screen = GetDC(nullptr);
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "quality " << static_cast<int>(c.quality) << " transparent " << c.transparent);
        RecordingOwner owner;
        MoviePlayback playback(owner);
        std::string error;
        ASSERT_TRUE(playback.Load(bytes, error));
        playback.SetViewSize(kViewW, kViewH);
        playback.SetQuality(c.quality);
        playback.SetTransparent(c.transparent);
        const auto expected = EngineRender(bytes, c.engineQuality, !c.transparent, kSentinel);
        // AlphaBlend rounds translucent pixels its own way; opaque ones must match exactly.
        const int tolerance = c.transparent ? 1 : 0;

        vm::TMemoryDC dc(screen);
        vm::TBitmapHandle bitmap(CreateCompatibleBitmap(screen, 200, 150));
        ASSERT_TRUE(bitmap);
        {
            vm::TSelectObject select(dc.Get(), bitmap.Get());
            vm::TBrushHandle brush(CreateSolidBrush(RGB(0x12, 0x34, 0x56)));
            RECT all{0, 0, 200, 150};
            FillRect(dc.Get(), &all, brush.Get());
            SetWindowOrgEx(dc.Get(), -20, -10, nullptr);  // logical (0, 0) at device (20, 10)
            const RECT bounds{0, 0, kViewW, kViewH};
            ASSERT_TRUE(playback.Draw(dc.Get(), bounds));
        }
        const auto drawn = ReadBack(dc.Get(), bitmap.Get(), 200, 150);
        int mismatches = 0;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool inside = x >= 20 && x < 20 + kViewW && y >= 10 && y < 10 + kViewH;
                const uint32_t want = inside ? expected[static_cast<size_t>(y - 10) * kViewW + (x - 20)] : kSentinel;
                if (MaxChannelDifference(drawn[static_cast<size_t>(y) * 200 + x], want) > tolerance) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0) << "compatible bitmap";

        Dib bottomUp(kViewW, kViewH, true);
        bottomUp.Fill(kSentinel);
        ASSERT_TRUE(playback.Draw(bottomUp.Dc(), RECT{0, 0, kViewW, kViewH}));
        mismatches = 0;
        for (int y = 0; y < kViewH; ++y)
            for (int x = 0; x < kViewW; ++x)
                if (MaxChannelDifference(bottomUp.At(x, y), expected[static_cast<size_t>(y) * kViewW + x]) > tolerance)
                    ++mismatches;
        EXPECT_EQ(mismatches, 0) << "bottom-up DIB";
    }
    ReleaseDC(nullptr, screen);
}

} // namespace
