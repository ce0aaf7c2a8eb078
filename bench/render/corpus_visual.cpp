// Renders corpus movies that come with an expected stage image and reports how far our
// pixels are from it: pixels off by more than the test's tolerance, and the largest error.
// A diagnostic, not a test: most expected images come from another renderer, checked by eye.
//   corpus_visual <test folder> [frames] [tolerance] [our.png] [low]
//   corpus_visual <movie.swf> [frames] [our.png]     (no comparison: renders the stage)
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "decode/Decoder.h"
#include "decode/PngDecoder.h"
#include "player/Host.h"
#include "player/Player.h"
#include "render/PixelMath.h"

using namespace swf;

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writePng(const std::string& path, int w, int h, const std::vector<Pixel>& pixels) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(w) * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgba c = render::unpremultiply(pixels[static_cast<size_t>(y) * w + x]);
            row[x * 4] = c.r, row[x * 4 + 1] = c.g, row[x * 4 + 2] = c.b, row[x * 4 + 3] = c.a;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return true;
}

// The first integer after `"key":` in meta.json, or `fallback`.
int metaNumber(const std::string& meta, const std::string& key, int fallback) {
    size_t at = meta.find("\"" + key + "\"");
    if (at == std::string::npos) return fallback;
    at = meta.find(':', at);
    return at == std::string::npos ? fallback : std::atoi(meta.c_str() + at + 1);
}

int renderOnly(int argc, char** argv) {
    std::vector<uint8_t> swfBytes = readFile(argv[1]);
    DecodeResult decoded = decodeMovie(swfBytes);
    if (!decoded) {
        std::printf("%s: not decoded: %s\n", argv[1], decoded.error.message.c_str());
        return 1;
    }
    const Rect& stage = decoded.movie->header.frameSize;
    const int w = std::clamp(stage.width() / 20, 1, 4096), h = std::clamp(stage.height() / 20, 1, 4096);
    NullHost host;
    Player player(decoded.movie, host);
    const int frames = argc > 2 ? std::atoi(argv[2]) : 1;
    for (int i = 1; i < frames; ++i) player.advance();
    std::vector<Pixel> ours(static_cast<size_t>(w) * h, 0);
    player.render({ours.data(), w, h, w * 4}, Player::showAll(stage, w, h), render::Quality::High, true);
    std::printf("%s: %dx%d rendered after %d frames\n", argv[1], w, h, frames);
    if (argc > 3) writePng(argv[3], w, h, ours);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: corpus_visual <test folder> [frames] [tolerance] [our.png]\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (dir.size() > 4 && dir.compare(dir.size() - 4, 4, ".swf") == 0) return renderOnly(argc, argv);
    std::vector<uint8_t> metaBytes = readFile(dir + "/meta.json");
    const std::string meta(metaBytes.begin(), metaBytes.end());
    auto given = [&](int i) { return argc > i && argv[i][0] != '\0'; };
    const int frames = given(2) ? std::atoi(argv[2]) : metaNumber(meta, "num_frames", metaNumber(meta, "num_ticks", 1));
    const int tolerance = given(3) ? std::atoi(argv[3]) : metaNumber(meta, "tolerance", 0);

    std::vector<uint8_t> swfBytes = readFile(dir + "/test.swf");
    DecodeResult decoded = decodeMovie(swfBytes);
    if (!decoded) {
        std::printf("%s: not decoded: %s\n", dir.c_str(), decoded.error.message.c_str());
        return 1;
    }
    ImageResult expected = decodePng(readFile(dir + "/output.expected.png"));
    if (!expected.error.empty()) {
        std::printf("%s: no expected image: %s\n", dir.c_str(), expected.error.c_str());
        return 1;
    }
    const int w = static_cast<int>(expected.image.width), h = static_cast<int>(expected.image.height);

    NullHost host;
    Player player(decoded.movie, host);
    for (int i = 1; i < frames; ++i) player.advance();
    std::vector<Pixel> ours(static_cast<size_t>(w) * h, 0);
    const Rect& stage = decoded.movie->header.frameSize;
    Matrix stageToPixel = Matrix::translate(-stage.xMin / 20.0, -stage.yMin / 20.0) * Matrix::scale(0.05, 0.05);
    const bool low = argc > 5 && std::string(argv[5]) == "low";
    player.render({ours.data(), w, h, w * 4}, stageToPixel, low ? render::Quality::Low : render::Quality::High, true);

    int off = 0, worst = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        Rgba a = render::unpremultiply(ours[i]), b = render::unpremultiply(expected.image.pixels[i]);
        int d = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b), std::abs(a.a - b.a)});
        worst = std::max(worst, d);
        off += d > tolerance;
    }
    std::printf("%-60s %4dx%-4d frames %3d  off>%d: %6d px (%5.2f%%)  worst %3d\n", dir.c_str(), w, h, frames,
                tolerance, off, 100.0 * off / ours.size(), worst);
    if (argc > 4) writePng(argv[4], w, h, ours);
    return 0;
}
