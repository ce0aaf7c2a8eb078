// Renderer throughput at the product's stage size. Every figure is printed next to the cost
// of filling the same buffer once, measured in the same run, so the ratios stay comparable
// across machines: a frame should cost at most about 8 plain fills.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "model/Shape.h"
#include "render/Renderer.h"

using namespace swf;
using namespace swf::render;

namespace {

constexpr int kWidth = 1024, kHeight = 718;
constexpr int kTwips = kTwipsPerPixel;

// Seconds per call of `work`, best of a few rounds of `repeat` calls each.
double secondsPer(int repeat, const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeat; ++i) work();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeat;
        best = std::min(best, s);
    }
    return best;
}

Path circle(double cx, double cy, double r, uint32_t fill1, uint32_t line = 0) {
    Path p;
    p.fill1 = fill1;
    p.line = line;
    auto pt = [&](double a, double k) {
        return Point{static_cast<int32_t>((cx + k * r * std::cos(a)) * kTwips), static_cast<int32_t>((cy + k * r * std::sin(a)) * kTwips)};
    };
    const double step = std::numbers::pi / 4;
    p.start = pt(0, 1);
    for (int i = 0; i < 8; ++i) p.segments.push_back({pt(step * (i + 0.5), 1 / std::cos(step / 2)), pt(step * (i + 1), 1), true});
    return p;
}

Path rect(double x0, double y0, double x1, double y1, uint32_t fill1) {
    Path p;
    p.fill1 = fill1;
    p.start = {int32_t(x0 * kTwips), int32_t(y0 * kTwips)};
    p.segments = {{{}, {int32_t(x1 * kTwips), int32_t(y0 * kTwips)}, false},
                  {{}, {int32_t(x1 * kTwips), int32_t(y1 * kTwips)}, false},
                  {{}, {int32_t(x0 * kTwips), int32_t(y1 * kTwips)}, false},
                  {{}, {int32_t(x0 * kTwips), int32_t(y0 * kTwips)}, false}};
    return p;
}

ShapeDef withBounds(ShapeDef s) {
    s.bounds = s.edgeBounds = {-100000, 100000, -100000, 100000};
    return s;
}

FillStyle solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    FillStyle f;
    f.color = {r, g, b, a};
    return f;
}

FillStyle linearGradient() {
    FillStyle f;
    f.kind = FillKind::LinearGradient;
    double scale = kWidth * kTwips / 32768.0;
    f.matrix = {scale, scale * 0.2, 0, scale, kWidth * kTwips / 2.0, kHeight * kTwips / 2.0};
    f.gradient.stops = {{0, {20, 40, 160, 255}}, {128, {240, 200, 80, 255}}, {255, {30, 120, 60, 255}}};
    return f;
}

FillStyle bitmapFill(bool smooth, bool rotated = true) {
    FillStyle f;
    f.kind = smooth ? FillKind::RepeatingBitmap : FillKind::RepeatingBitmapHard;
    f.bitmapId = 1;
    f.matrix = rotated ? Matrix{1.7 * kTwips, 0.3 * kTwips, -0.3 * kTwips, 1.7 * kTwips, 0, 0} : Matrix::scale(1.7 * kTwips, 1.7 * kTwips);
    return f;
}

// Something like a busy cartoon frame: a backdrop, a gradient sky, a textured ground, dozens
// of outlined curved characters and translucent overlays.
std::vector<ShapeDef> typicalFrame() {
    std::vector<ShapeDef> frame;
    frame.push_back(withBounds({.fills = {linearGradient()}, .paths = {rect(0, 0, kWidth, kHeight * 0.6, 1)}}));
    frame.push_back(withBounds({.fills = {bitmapFill(true)}, .paths = {rect(0, kHeight * 0.6, kWidth, kHeight, 1)}}));
    LineStyle outline;
    outline.width = 2 * kTwips;
    outline.color = {20, 20, 20, 255};
    for (int i = 0; i < 60; ++i) {
        double x = 40 + (i * 97) % (kWidth - 80), y = 40 + (i * 53) % (kHeight - 80), r = 12 + (i * 7) % 50;
        ShapeDef s;
        s.fills = {solid(uint8_t(i * 40), uint8_t(255 - i * 3), uint8_t(i * 17), i % 5 == 0 ? 160 : 255)};
        s.lines = {outline};
        s.paths = {circle(x, y, r, 1, 1), circle(x + r * 0.3, y - r * 0.2, r * 0.3, 1, 1)};
        frame.push_back(withBounds(s));
    }
    frame.push_back(withBounds({.fills = {solid(255, 255, 255, 60)}, .paths = {rect(100, 80, 700, 500, 1)}}));
    return frame;
}

// Sixty curved shapes, filled only or outlined only, to tell the cost of strokes apart.
std::vector<ShapeDef> circles(bool filled, bool outlined) {
    std::vector<ShapeDef> out;
    LineStyle outline;
    outline.width = 2 * kTwips;
    outline.color = {20, 20, 20, 255};
    for (int i = 0; i < 60; ++i) {
        double x = 40 + (i * 97) % (kWidth - 80), y = 40 + (i * 53) % (kHeight - 80), r = 12 + (i * 7) % 50;
        ShapeDef s;
        s.fills = {solid(uint8_t(i * 40), uint8_t(255 - i * 3), uint8_t(i * 17))};
        s.lines = {outline};
        s.paths = {circle(x, y, r, filled ? 1 : 0, outlined ? 1 : 0)};
        out.push_back(withBounds(s));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    // An optional argument keeps only the scenes whose name contains it (for profiling).
    const std::string only = argc > 1 ? argv[1] : "";
    std::vector<Pixel> buffer(static_cast<size_t>(kWidth) * kHeight);
    std::vector<Pixel> texture(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) texture[y * 64 + x] = ((x / 8 + y / 8) % 2) ? 0xFF806040 : 0xFF40A060;
    BitmapResolver bitmaps = [&](uint16_t id) { return BitmapView{64, 64, 64, texture.data(), true}; };

    Renderer renderer;
    Target target{buffer.data(), kWidth, kHeight, kWidth * 4};
    renderer.setTarget(target);
    const double pixels = double(kWidth) * kHeight;

    Pixel colour = 0xFF000000;
    const double fill = secondsPer(40, [&] { std::fill(buffer.begin(), buffer.end(), ++colour); });
    std::printf("stage %dx%d; baseline: one plain fill %.3f ms (%.0f Mpixel/s)\n\n", kWidth, kHeight, fill * 1e3,
                pixels / fill / 1e6);
    std::printf("%-34s %10s %12s %10s\n", "scene", "ms/frame", "Mpixel/s", "x fill");

    auto report = [&](const char* name, int repeat, const std::vector<ShapeDef>& shapes, Quality q) {
        if (std::string(name).find(only) == std::string::npos) return;
        DrawParams p;
        p.matrix = Matrix::scale(1.0 / kTwips, 1.0 / kTwips);
        p.bitmaps = &bitmaps;
        p.quality = q;
        double s = secondsPer(repeat, [&] {
            renderer.fillRect({0, 0, kWidth, kHeight}, 0xFFFFFFFF);
            for (const ShapeDef& shape : shapes) renderer.drawShape(shape, p);
        });
        std::printf("%-34s %10.3f %12.1f %10.2f\n", name, s * 1e3, pixels / s / 1e6, s / fill);
    };
    const ShapeDef full = withBounds({.fills = {solid(10, 200, 30)}, .paths = {rect(0, 0, kWidth, kHeight, 1)}});
    const ShapeDef glass = withBounds({.fills = {solid(10, 200, 30, 128)}, .paths = {rect(0, 0, kWidth, kHeight, 1)}});
    const ShapeDef gradient = withBounds({.fills = {linearGradient()}, .paths = {rect(0, 0, kWidth, kHeight, 1)}});
    const ShapeDef smooth = withBounds({.fills = {bitmapFill(true)}, .paths = {rect(0, 0, kWidth, kHeight, 1)}});
    const ShapeDef hard = withBounds({.fills = {bitmapFill(false)}, .paths = {rect(0, 0, kWidth, kHeight, 1)}});
    const ShapeDef upright = withBounds({.fills = {bitmapFill(true, false)}, .paths = {rect(0, 0, kWidth, kHeight, 1)}});
    const std::vector<ShapeDef> frame = typicalFrame();
    for (Quality q : {Quality::High, Quality::Low}) {
        const char* tag = q == Quality::High ? "High" : "Low";
        std::printf("-- quality %s (each scene includes the background fill)\n", tag);
        report("opaque solid, whole stage", 20, {full}, q);
        report("translucent solid, whole stage", 20, {glass}, q);
        report("linear gradient, whole stage", 10, {gradient}, q);
        report("bitmap smoothed, rotated", 10, {smooth}, q);
        report("bitmap hard, rotated", 10, {hard}, q);
        report("bitmap smoothed, upright", 10, {upright}, q);
        report("60 filled circles", 20, circles(true, false), q);
        report("60 outlined circles (2 px)", 20, circles(false, true), q);
        report("typical frame (63 shapes, strokes)", 10, frame, q);
    }
    return 0;
}
