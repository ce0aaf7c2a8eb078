// swfrender MOVIE.swf OUT.png [--frame N] [--size WxH] [--quality low|high]
// Renders the stage after the movie has played N frames (1-based; default its last frame) at
// the movie's own stage size unless --size says otherwise, and writes it as a PNG.
// Exit codes: 0 written, 1 the movie cannot be decoded or the PNG not written, 2 bad usage.
// Every failure is reported as one line on stderr.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "DeviceFontFiles.h"
#include "StageCapture.h"
#include "player/Player.h"

namespace {

constexpr int kMaxSide = 8192;

struct Options {
    std::string movie, output;
    long frame = 0;  // 0: the last frame
    int width = 0, height = 0;
    swf::render::Quality quality = swf::render::Quality::High;
};

int usage(const std::string& problem) {
    std::fprintf(stderr, "swfrender: %s (usage: swfrender MOVIE.swf OUT.png [--frame N] [--size WxH] [--quality low|high])\n",
                 problem.c_str());
    return 2;
}

bool parseInt(std::string_view text, long& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Returns an empty string when the arguments are good.
std::string parseArguments(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto value = [&](std::string_view name) -> std::string_view {
            if (i + 1 >= argc) return {};
            (void)name;
            return argv[++i];
        };
        if (arg == "--frame") {
            if (!parseInt(value(arg), o.frame) || o.frame < 1) return "--frame wants a frame number from 1";
        } else if (arg == "--size") {
            std::string_view v = value(arg);
            size_t x = v.find('x');
            long w = 0, h = 0;
            if (x == std::string_view::npos || !parseInt(v.substr(0, x), w) || !parseInt(v.substr(x + 1), h) || w < 1 ||
                h < 1 || w > kMaxSide || h > kMaxSide)
                return "--size wants WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide);
            o.width = static_cast<int>(w);
            o.height = static_cast<int>(h);
        } else if (arg == "--quality") {
            std::string_view v = value(arg);
            if (v == "low") o.quality = swf::render::Quality::Low;
            else if (v == "high") o.quality = swf::render::Quality::High;
            else return "--quality wants low or high";
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + std::string(arg);
        } else if (o.movie.empty()) {
            o.movie = arg;
        } else if (o.output.empty()) {
            o.output = arg;
        } else {
            return "too many arguments";
        }
    }
    if (o.output.empty()) return "a movie and an output file are needed";
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (std::string problem = parseArguments(argc, argv, o); !problem.empty()) return usage(problem);

    swf::tools::LoadedMovie loaded = swf::tools::loadMovie(o.movie);
    if (!loaded.movie) {
        std::fprintf(stderr, "swfrender: %s: %s\n", o.movie.c_str(), loaded.error.c_str());
        return 1;
    }
    int stageW, stageH;
    swf::tools::stagePixelSize(*loaded.movie, stageW, stageH);
    int width = o.width ? o.width : stageW, height = o.height ? o.height : stageH;
    if (width > kMaxSide || height > kMaxSide) {
        std::fprintf(stderr, "swfrender: %s: stage of %dx%d pixels is too large; give --size\n", o.movie.c_str(), width,
                     height);
        return 1;
    }

    swf::tools::DeviceFontHost host;
    swf::Player player(loaded.movie, host);
    long frames = o.frame ? o.frame : std::max<long>(1, static_cast<long>(loaded.movie->timeline.frames.size()));
    for (long f = 1; f < frames; ++f) player.advance();

    std::vector<swf::Pixel> pixels(size_t(width) * height, 0);
    swf::render::Target target{pixels.data(), width, height, width * 4};
    player.render(target, swf::Player::showAll(loaded.movie->header.frameSize, width, height), o.quality, true);

    if (std::string error = swf::tools::writePng(o.output, swf::tools::toRgba(pixels, width, height)); !error.empty()) {
        std::fprintf(stderr, "swfrender: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
