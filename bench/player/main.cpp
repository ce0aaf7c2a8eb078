// bench_player [--samples DIR] [--corpus DIR] [--corpus-frames N]
// For each movie and quality: plays every frame of the root timeline (one loop), rendering
// each at 1024x718 with the movie scaled to fit, and reports frames per second and the
// render-to-fill ratio: time to render one frame over the time to fill the same buffer once
// (the cheapest thing a frame can cost), both measured in this run as CPU time of one core.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "DeviceFontFiles.h"
#include "StageCapture.h"
#include "player/Player.h"

namespace fs = std::filesystem;
using namespace swf;

// Time this thread spent on a core: the machine is shared, and wall time would count the
// other processes' turns as ours.
struct Clock {
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec + t.tv_nsec * 1e-9;
    }
};

namespace {

constexpr int kWidth = 1024, kHeight = 718;

// Fills the whole buffer with one colour, many times; the cost of one fill.
double fillSeconds(std::vector<Pixel>& buffer) {
    const int repeats = 200;
    auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) {
        std::fill(buffer.begin(), buffer.end(), 0xFF000000u | static_cast<Pixel>(i));
        asm volatile("" : : "r"(buffer.data()) : "memory");  // keep the fills
    }
    return (Clock::now() - start) / repeats;
}

struct Measure {
    int frames = 0;
    double seconds = 0;
};

Measure play(const std::shared_ptr<const MovieDef>& movie, render::Quality quality, int maxFrames,
             std::vector<Pixel>& buffer) {
    static tools::DeviceFontHost host;  // one for the run: font files are read once
    Player player(movie, host);
    render::Target target{buffer.data(), kWidth, kHeight, kWidth * 4};
    Matrix view = Player::showAll(movie->header.frameSize, kWidth, kHeight);
    int frames = std::clamp(static_cast<int>(movie->timeline.frames.size()), 1, maxFrames);
    Measure m;
    auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        if (f > 0) player.advance();
        player.render(target, view, quality, true);
    }
    m.seconds = Clock::now() - start;
    m.frames = frames;
    return m;
}

std::vector<fs::path> moviesUnder(const fs::path& root) {
    std::vector<fs::path> out;
    std::error_code ec;
    if (!fs::is_directory(root, ec)) return out;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file() && it->path().extension() == ".swf") out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

struct Totals {
    int movies = 0, frames = 0;
    double seconds = 0;
};

void report(const char* label, const Totals& t, double fill) {
    if (t.frames == 0) return;
    double perFrame = t.seconds / t.frames;
    std::printf("%-44s %6d frames %9.1f fps  ratio %6.2f\n", label, t.frames, 1 / perFrame, perFrame / fill);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path samples = VELMORA_SAMPLES, corpus = VELMORA_CORPUS;
    int corpusFrames = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--samples") samples = argv[i + 1];
        else if (a == "--corpus") corpus = argv[i + 1];
        else if (a == "--corpus-frames") corpusFrames = std::max(1, std::atoi(argv[i + 1]));
    }
    std::vector<Pixel> buffer(size_t(kWidth) * kHeight);
    double fill = fillSeconds(buffer);
    std::printf("buffer %dx%d; one fill takes %.3f ms (the ratio's unit)\n\n", kWidth, kHeight, fill * 1000);

    for (render::Quality quality : {render::Quality::High, render::Quality::Low}) {
        const char* q = quality == render::Quality::High ? "High" : "Low";
        std::printf("== %s quality: samples (%s)\n", q, samples.string().c_str());
        Totals all;
        for (const fs::path& path : moviesUnder(samples)) {
            tools::LoadedMovie loaded = tools::loadMovie(path.string());
            if (!loaded.movie) {
                std::printf("%-44s cannot decode: %s\n", path.filename().string().c_str(), loaded.error.c_str());
                continue;
            }
            Measure m = play(loaded.movie, quality, 100000, buffer);
            Totals one{1, m.frames, m.seconds};
            report(path.filename().string().c_str(), one, fill);
            ++all.movies;
            all.frames += m.frames;
            all.seconds += m.seconds;
        }
        report("all samples", all, fill);

        Totals corpusAll;
        int skipped = 0;
        for (const fs::path& path : moviesUnder(corpus)) {
            tools::LoadedMovie loaded = tools::loadMovie(path.string());
            if (!loaded.movie) {
                ++skipped;
                continue;
            }
            Measure m = play(loaded.movie, quality, corpusFrames, buffer);
            ++corpusAll.movies;
            corpusAll.frames += m.frames;
            corpusAll.seconds += m.seconds;
        }
        std::printf("-- corpus (%s): %d movies, up to %d frames each, %d not decoded\n", corpus.string().c_str(),
                    corpusAll.movies, corpusFrames, skipped);
        report("all corpus movies", corpusAll, fill);
        std::printf("\n");
    }
    return 0;
}
