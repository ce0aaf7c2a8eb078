// Stored-skin decoding speed. Every LZHUF figure is printed next to zlib's inflate of the same
// bytes in the same run, so the ratio stays comparable across machines. The skin-sized decode
// runs once per program start, on the start-up path: it should take at most 5 ms.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Lzh.h"
#include "LzhEncoder.h"
#include "SkinArchiveStored.h"
#include "SkinArchiveWriter.h"
#include "SkinModel.h"
#include "SkinRead.h"

using namespace velmora::skin;

namespace {

// Seconds per call of `work`, best of a few rounds of `repeat` calls each.
double secondsPer(int repeat, const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeat; ++i) work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeat);
    }
    return best;
}

// A 24-bit BMP with what skin art holds: flat runs, gradients, a magenta key, and a few
// hand-touched pixels. Together with the description it packs about 5:1, near the 6:1 of
// the skin the catalogue window carries (230,666 bytes in 38,437).
std::vector<uint8_t> bitmapLike(int width, int height, std::mt19937& rng) {
    std::vector<uint8_t> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    const int style = static_cast<int>(rng() % 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t r, g, bl;
            if (x < 2 || (style == 2 && (x + y) % 17 == 0)) {
                r = 255, g = 0, bl = 255;
            } else if (style == 0) {
                r = static_cast<uint8_t>(60 + y * 3), g = static_cast<uint8_t>(80 + y * 2), bl = 200;
            } else {
                r = static_cast<uint8_t>(x * 4 + (rng() % 64 == 0 ? rng() % 16 : 0)), g = static_cast<uint8_t>(y * 5), bl = 128;
            }
            b.push_back(bl), b.push_back(g), b.push_back(r);
        }
        while ((b.size() - 54) % 4) b.push_back(0);
    }
    return b;
}

std::vector<uint8_t> description() {
    std::string ini = "[Personality]\r\nSkinAuthor=Velmora\r\n";
    for (int i = 0; i < 60; ++i) {
        ini += "[Element" + std::to_string(i) + "]\r\nImage=element" + std::to_string(i) +
               ".bmp\r\nLeftWidth=4\r\nRightWidth=4\r\nTopHeight=3\r\nBottomHeight=3\r\nTrans=1\r\nTile=0\r\n"
               "NormalColour2=0 0 0\r\n";
    }
    return {ini.begin(), ini.end()};
}

std::vector<uint8_t> skinSizedArchive() {
    std::mt19937 rng(2024);
    std::vector<SkinArchiveEntry> members;
    size_t total = 0;
    for (int i = 0; total < 225000; ++i) {
        const int w = 16 + static_cast<int>(rng() % 120), h = 8 + static_cast<int>(rng() % 40);
        members.push_back({"member" + std::to_string(i) + ".bmp", bitmapLike(w, h, rng)});
        total += members.back().data.size();
    }
    members.push_back({"skin.ini", description()});
    return writeSkinArchive(members);
}

std::vector<uint8_t> text(size_t n) {
    static const char* const words[] = {"the", "skin", "of", "a", "window", "frame", "draws", "its", "caption",
                                        "and", "buttons", "with", "bitmaps", "packed", "into", "one", "archive",
                                        "that", "is", "read", "once", "at", "start"};
    std::mt19937 rng(7);
    std::vector<uint8_t> t;
    while (t.size() < n) {
        const std::string w = words[rng() % (sizeof words / sizeof *words)];
        t.insert(t.end(), w.begin(), w.end());
        t.push_back(rng() % 12 == 0 ? '\n' : ' ');
    }
    t.resize(n);
    return t;
}

void compare(const char* label, const std::vector<uint8_t>& data, int repeat) {
    const auto packStart = std::chrono::steady_clock::now();
    const std::vector<uint8_t> stored = packStoredSkin(data);
    const double packSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - packStart).count();
    if (unpackStoredSkin(stored) != data) {
        std::printf("%s: ROUND TRIP FAILED\n", label);
        return;
    }
    uLongf zsize = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> zipped(zsize);
    compress2(zipped.data(), &zsize, data.data(), static_cast<uLong>(data.size()), 9);
    zipped.resize(zsize);

    std::vector<uint8_t> sink;
    const double lzh = secondsPer(repeat, [&] { sink = unpackStoredSkin(stored); });
    const double callbacks = secondsPer(repeat, [&] {
        size_t next = 4;
        std::vector<uint8_t> out;
        out.reserve(data.size());
        TLZH().Unpack([&] { return next < stored.size() ? int(stored[next++]) : -1; }, [&](uint8_t b) { out.push_back(b); },
                      data.size());
    });
    std::vector<uint8_t> inflated(data.size());
    const double zlib = secondsPer(repeat, [&] {
        uLongf n = static_cast<uLongf>(inflated.size());
        uncompress(inflated.data(), &n, zipped.data(), static_cast<uLong>(zipped.size()));
    });
    const double mb = static_cast<double>(data.size()) / 1e6;
    std::printf("%s: %zu bytes, LZHUF %zu bytes (packed in %.0f ms), zlib -9 %zu bytes\n", label, data.size(),
                stored.size(), packSeconds * 1e3, zipped.size());
    std::printf("  LZHUF decode      %8.2f ms  %7.1f MB/s\n", lzh * 1e3, mb / lzh);
    std::printf("  LZHUF callbacks   %8.2f ms  %7.1f MB/s\n", callbacks * 1e3, mb / callbacks);
    std::printf("  zlib inflate      %8.2f ms  %7.1f MB/s  (LZHUF takes %.1fx as long)\n", zlib * 1e3, mb / zlib, lzh / zlib);
}

// The platform's answers, fixed: loading does not depend on them for speed.
class BenchSystem : public SkinSystem {
public:
    Colour systemColour(int) const override { return rgb(240, 240, 240); }
    int horizontalScrollArrowWidth() const override { return 17; }
    PixelImage builtInBitmap(std::string_view) const override { return PixelImage(16, 4); }
};

// Velmora's own stored skin, as the build packs it: the decode the program does at start.
void ourSkin(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> stored{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (stored.empty()) {
        std::printf("our stored skin: cannot read %s\n", path);
        return;
    }
    const std::vector<uint8_t> archive = unpackStoredSkin(stored);
    const double unpack = secondsPer(20, [&] { unpackStoredSkin(stored); });
    const BenchSystem system;
    bool loaded = true;
    const double load = secondsPer(20, [&] { loaded = loadStoredSkin(stored, system).loaded && loaded; });
    std::printf("our stored skin: %zu bytes, unpacks to %zu bytes\n", stored.size(), archive.size());
    std::printf("  decode (LZHUF)    %8.2f ms  (target: at most 5 ms)%s\n", unpack * 1e3, unpack * 1e3 <= 5 ? "" : "  OVER TARGET");
    std::printf("  load into model   %8.2f ms  (decode, bitmaps, elements, derived images)%s\n", load * 1e3,
                loaded ? "" : "  LOAD FAILED");
}

}  // namespace

int main() {
#ifdef VELMORA_SKIN_FILE
    ourSkin(VELMORA_SKIN_FILE);
#endif
    const std::vector<uint8_t> archive = skinSizedArchive();
    compare("skin-sized archive", archive, 20);
    {
        TSkinReader reader;
        const std::vector<uint8_t> stored = packStoredSkin(archive);
        const double read = secondsPer(20, [&] { reader.ReadArchive(stored); });
        std::printf("  TSkinReader::ReadArchive (unpack + directory) %.2f ms, %zu members\n", read * 1e3, reader.Members().size());
    }
    compare("10 MB text", text(10u << 20), 2);
    return 0;
}
