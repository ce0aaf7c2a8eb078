// conformance --corpus DIR [--floor FILE | --write-floor FILE] [--verbose] [--dump DIR]
// Plays the third-party corpus and prints, per collection, how many movies decode, how many
// reference images are matched (and how many of those come from movies without DoAction),
// and whether the real-world movies run 60+ frames. With --floor the run fails when any
// figure falls below the one recorded there; --write-floor records the current figures.
// --dump writes, for every reference missed, what was rendered and a map of the outliers.
// Our own reference scenes (one per fill, stroke, mask and colour-transform kind, judged
// against pictures worked out from their geometry) run with the corpus and count with it.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "FloorFile.h"
#include "CorpusCase.h"
#include "DeviceFontFiles.h"
#include "ReferenceScenes.h"
#include "StageCapture.h"
#include "decode/Decoder.h"
#include "player/Player.h"

namespace fs = std::filesystem;
using namespace swf;
using namespace swf::tools;

namespace {

constexpr int kRealWorldFrames = 600;
// Memory a real-world movie may gain between its 100th and its last frame; more counts as
// growing without bound (a leak, or a script that keeps allocating).
constexpr long kRealWorldGrowthLimitKb = 64 * 1024;
constexpr unsigned kSecondsPerMovie = 60;  // a movie still running after this is a hang

// Stops early on fscommand("quit"), as the corpus's own harness does.
class CorpusHost : public DeviceFontHost {
public:
    void fsCommand(const std::string& command, const std::string&) override {
        if (command == "quit") quit = true;
    }
    bool quit = false;
};

struct Tally {
    int movies = 0, decoded = 0, movies8 = 0, decoded8 = 0;
    int images = 0, matched = 0, imagesNoAction = 0, matchedNoAction = 0;
    int images8 = 0, matched8 = 0;
    int imagesNoAction8 = 0, matchedNoAction8 = 0;  // movies of SWF 8 or lower without DoAction
    int ran = 0;
};

// The references were taken at the movie's own size, one stage pixel per pixel with the stage's
// corner at the origin; a stage of 101.3 x 25.3 pixels gives a 101 x 25 image, not one scaled by
// 0.988 and centred, which would move every one-pixel line.
Matrix referenceView(const Rect& stage, int width, int height) {
    const bool ownSize = std::abs(stage.width() / double(kTwipsPerPixel) - width) < 1 &&
                         std::abs(stage.height() / double(kTwipsPerPixel) - height) < 1;
    if (!ownSize) return Player::showAll(stage, width, height);
    const double scale = 1.0 / kTwipsPerPixel;
    return {scale, 0, 0, scale, -stage.xMin * scale, -stage.yMin * scale};
}

RgbaImage capture(Player& player, int width, int height, bool lowQuality) {
    std::vector<Pixel> pixels(size_t(width) * height, 0);
    render::Target target{pixels.data(), width, height, width * 4};
    player.render(target, referenceView(player.movie().header.frameSize, width, height),
                  lowQuality ? render::Quality::Low : render::Quality::High, true);
    return toRgba(pixels, width, height);
}

void feedInput(Player& player, const std::vector<InputEvent>& input, size_t& next) {
    for (; next < input.size(); ++next) {
        const InputEvent& e = input[next];
        if (e.kind == InputEvent::Kind::Wait) {
            ++next;
            return;
        }
        const Player::MouseButton button = e.button == "Right"    ? Player::MouseButton::Right
                                           : e.button == "Middle" ? Player::MouseButton::Middle
                                                                  : Player::MouseButton::Left;
        if (e.kind == InputEvent::Kind::MouseMove) player.mouseMove(e.x, e.y);
        else if (e.kind == InputEvent::Kind::MouseDown) player.mouseDown(e.x, e.y, button);
        else if (e.kind == InputEvent::Kind::MouseUp) player.mouseUp(e.x, e.y, button);
    }
}

// Where --dump writes the rendered image and a difference map of every reference missed.
fs::path gDumpDir;

void dumpMiss(const CorpusCase& c, const ExpectedImage& image, const RgbaImage& actual, const RgbaImage& expected) {
    std::string stem = c.dir.filename().string() + "." + image.name;
    writePng((gDumpDir / (stem + ".actual.png")).string(), actual);
    if (actual.width != expected.width || actual.height != expected.height) return;
    RgbaImage diff = actual;
    int tolerance = image.checks.empty() ? 0 : image.checks.front().tolerance;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x) {
            const uint8_t* a = actual.at(x, y);
            const uint8_t* e = expected.at(x, y);
            bool out = false;
            for (int k = 0; k < 4; ++k) out |= std::abs(int(a[k]) - int(e[k])) > tolerance;
            uint8_t* d = diff.at(x, y);
            d[0] = out ? 255 : a[0] / 4;
            d[1] = d[2] = out ? 0 : a[0] / 4;
            d[3] = 255;
        }
    writePng((gDumpDir / (stem + ".diff.png")).string(), diff);
}

// Adds `n` reference images, or one match, to every count the case belongs to.
void countImages(Tally& t, const CorpusCase& c, int n) {
    const bool v8 = c.swfVersion <= 8, noAction = !c.hasDoAction;
    t.images += n;
    if (v8) t.images8 += n;
    if (noAction) t.imagesNoAction += n;
    if (v8 && noAction) t.imagesNoAction8 += n;
}
void countMatch(Tally& t, const CorpusCase& c) {
    const bool v8 = c.swfVersion <= 8, noAction = !c.hasDoAction;
    ++t.matched;
    if (v8) ++t.matched8;
    if (noAction) ++t.matchedNoAction;
    if (v8 && noAction) ++t.matchedNoAction8;
}

bool carriesDoAction(const Timeline& timeline) {
    for (const Frame& frame : timeline.frames)
        for (const ControlTag& tag : frame.tags)
            if (std::holds_alternative<DoAction>(tag)) return true;
    return false;
}

// The corpus's own count looks at the main timeline only; a DoAction inside a sprite is a
// script all the same.
bool carriesDoAction(const MovieDef& movie) {
    if (carriesDoAction(movie.timeline)) return true;
    for (const auto& [id, character] : movie.dictionary.all())
        if (auto* sprite = std::get_if<std::shared_ptr<const SpriteDef>>(&character))
            if (*sprite && carriesDoAction((*sprite)->timeline)) return true;
    return false;
}

void runCase(CorpusCase c, Tally& t, bool verbose) {
    ++t.movies;
    bool v8 = c.swfVersion <= 8;
    if (v8) ++t.movies8;
    alarm(kSecondsPerMovie);
    LoadedMovie loaded = loadMovie(c.movie.string());
    if (!loaded.movie) {
        if (verbose) std::printf("  undecoded %s: %s\n", c.dir.string().c_str(), loaded.error.c_str());
        countImages(t, c, static_cast<int>(c.images.size()));
        return;
    }
    ++t.decoded;
    if (v8) ++t.decoded8;
    c.hasDoAction = c.hasDoAction || carriesDoAction(*loaded.movie);

    std::map<std::string, RgbaImage> expected;
    for (const ExpectedImage& image : c.images) {
        RgbaImage png;
        if (std::string error = readPng(image.file.string(), png); error.empty()) expected[image.name] = std::move(png);
        else std::fprintf(stderr, "conformance: %s\n", error.c_str());
    }
    std::map<std::string, RgbaImage> captured;
    auto captureDue = [&](Player& player, int frame, bool last) {
        for (const ExpectedImage& image : c.images) {
            bool due = image.trigger ? image.trigger == frame : last;
            auto e = expected.find(image.name);
            if (due && e != expected.end() && !captured.count(image.name))
                captured[image.name] = capture(player, e->second.width, e->second.height, c.lowQuality);
        }
    };

    CorpusHost host;
    Player player(loaded.movie, host);
    size_t nextInput = 0;
    int frame = 1;
    for (;; ++frame) {
        captureDue(player, frame, false);
        if (frame >= c.frames || host.quit) break;
        feedInput(player, c.input, nextInput);
        player.advance();
    }
    captureDue(player, frame, true);
    alarm(0);
    ++t.ran;

    for (const ExpectedImage& image : c.images) {
        countImages(t, c, 1);
        auto e = expected.find(image.name);
        auto a = captured.find(image.name);
        if (e == expected.end() || a == captured.end()) continue;
        ComparisonResult r = compareImages(a->second, e->second, image.checks);
        if (!r.matches && !gDumpDir.empty()) dumpMiss(c, image, a->second, e->second);
        if (r.matches) countMatch(t, c);
        if (verbose)
            std::printf("  %s %s/%s v%d%s outliers %ld\n", r.matches ? "match" : "MISS ", c.dir.filename().string().c_str(),
                        image.name.c_str(), c.swfVersion, c.hasDoAction ? "" : " no-DoAction", r.worstOutliers);
    }
}

// Plays each reference scene and compares it with the picture its geometry defines.
Tally runReferenceScenes(bool verbose) {
    Tally t;
    for (const ReferenceScene& scene : buildReferenceScenes()) {
        ++t.movies;
        ++t.images;
        ++t.imagesNoAction;
        DecodeResult decoded = decodeMovie(scene.movie);
        if (!decoded) {
            std::printf("  undecoded scene %s: %s\n", scene.name.c_str(), decoded.error.message.c_str());
            continue;
        }
        ++t.decoded;
        NullHost host;
        Player player(decoded.movie, host);
        RgbaImage actual = capture(player, scene.expected.centre.width, scene.expected.centre.height, scene.lowQuality);
        long outliers = countOutliers(actual, scene.expected, scene.tolerance);
        if (outliers == 0) ++t.matched, ++t.matchedNoAction;
        if (outliers != 0 && !gDumpDir.empty()) {
            std::string stem = scene.name;
            std::replace(stem.begin(), stem.end(), '/', '.');
            writePng((gDumpDir / (stem + ".actual.png")).string(), actual);
            writePng((gDumpDir / (stem + ".expected.png")).string(), scene.expected.centre);
        }
        if (verbose)
            std::printf("  %s %s (tolerance %d) outliers %ld\n", outliers == 0 ? "match" : "MISS ", scene.name.c_str(),
                        scene.tolerance, outliers);
    }
    return t;
}

std::vector<fs::path> findAll(const fs::path& root, const std::string& fileName, const std::string& extension = "") {
    std::vector<fs::path> out;
    std::error_code ec;
    if (!fs::exists(root, ec)) return out;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        const fs::path& p = it->path();
        if ((!fileName.empty() && p.filename() == fileName) || (!extension.empty() && p.extension() == extension))
            out.push_back(p);
    }
    std::sort(out.begin(), out.end());
    return out;
}

using floorfile::Figures;

void suiteFigures(const std::string& name, const Tally& t, Figures& f) {
    std::printf("%s: %d movies, %d decode (SWF<=8: %d of %d); %d reference images, %d match "
                "(SWF<=8: %d of %d; movies without DoAction: %d of %d)\n",
                name.c_str(), t.movies, t.decoded, t.decoded8, t.movies8, t.images, t.matched, t.matched8, t.images8,
                t.matchedNoAction, t.imagesNoAction);
    f[name + ".decoded"] = t.decoded;
    f[name + ".decoded_swf8"] = t.decoded8;
    f[name + ".images_matched"] = t.matched;
    f[name + ".images_matched_swf8"] = t.matched8;
    f[name + ".images_matched_no_doaction"] = t.matchedNoAction;
    f[name + ".images_matched_swf8_no_doaction"] = t.matchedNoAction8;
}

Tally runSuite(const fs::path& root, bool verbose) {
    Tally t;
    for (const fs::path& meta : findAll(root, "meta.json")) {
        CorpusCase c;
        if (std::string error = loadCorpusCase(meta.parent_path(), c); !error.empty()) {
            std::fprintf(stderr, "conformance: %s\n", error.c_str());
            continue;
        }
        if (!fs::exists(c.movie)) continue;
        runCase(c, t, verbose);
    }
    return t;
}

// Movies with no expectations: they decode and play `frames` frames without crash or hang.
// Resident memory of this process in KiB (0 where /proc is missing).
long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A user's pointer: sweeps the stage along a closed curve and clicks every 30 frames, so
// buttons, rollovers and mouse listeners all get their turn.
void scriptedPointer(Player& player, const Rect& stage, int frame) {
    const double w = stage.width() / double(kTwipsPerPixel), h = stage.height() / double(kTwipsPerPixel);
    const double x = w * (0.5 + 0.45 * std::sin(frame * 0.07)), y = h * (0.5 + 0.45 * std::sin(frame * 0.11));
    player.mouseMove(x, y);
    if (frame % 30 == 0) player.mouseDown(x, y);
    if (frame % 30 == 2) player.mouseUp(x, y);
}

Tally runMovies(const std::vector<fs::path>& movies, int frames, bool verbose, bool withPointer = false) {
    Tally t;
    for (const fs::path& path : movies) {
        ++t.movies;
        alarm(kSecondsPerMovie);
        LoadedMovie loaded = loadMovie(path.string());
        if (!loaded.movie) {
            if (verbose) std::printf("  undecoded %s: %s\n", path.string().c_str(), loaded.error.c_str());
            continue;
        }
        ++t.decoded;
        if (loaded.movie->header.version <= 8) ++t.movies8, ++t.decoded8;
        NullHost host;
        Player player(loaded.movie, host);
        std::vector<Pixel> pixels(64 * 64);
        long settledKb = 0, lastKb = 0;
        for (int f = 1; f < frames; ++f) {
            if (withPointer) scriptedPointer(player, loaded.movie->header.frameSize, f);
            player.advance();
            if (f == 100) settledKb = residentKb();
            if (f % 20 == 0) {  // draw now and then: rendering is part of running
                render::Target target{pixels.data(), 64, 64, 64 * 4};
                player.render(target, Player::showAll(loaded.movie->header.frameSize, 64, 64), render::Quality::Low, true);
            }
        }
        alarm(0);
        lastKb = residentKb();
        const long growthKb = settledKb > 0 ? lastKb - settledKb : 0;
        if (growthKb > kRealWorldGrowthLimitKb) {
            std::printf("  %s grew by %ld KiB after its 100th frame\n", path.filename().string().c_str(), growthKb);
            continue;
        }
        ++t.ran;
        if (verbose && withPointer)
            std::printf("  ran %s for %d frames with the pointer (memory after frame 100: %+ld KiB)\n",
                        path.filename().string().c_str(), frames, growthKb);
        else if (verbose)
            std::printf("  ran %s for %d frames\n", path.filename().string().c_str(), frames);
    }
    return t;
}

int usage() {
    std::fprintf(stderr, "usage: conformance --corpus DIR [--floor FILE | --write-floor FILE] [--verbose] [--dump DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string corpus, floorFile, writeFloor;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--corpus" && i + 1 < argc) corpus = argv[++i];
        else if (a == "--floor" && i + 1 < argc) floorFile = argv[++i];
        else if (a == "--write-floor" && i + 1 < argc) writeFloor = argv[++i];
        else if (a == "--verbose") verbose = true;
        else if (a == "--dump" && i + 1 < argc) gDumpDir = argv[++i];
        else return usage();
    }
    if (corpus.empty()) return usage();
    if (!fs::is_directory(corpus)) {
        std::fprintf(stderr, "conformance: no corpus at %s\n", corpus.c_str());
        return 1;
    }

    Figures figures;
    int visualNoAction = 0, matchedNoAction = 0, visualNoAction8 = 0, matchedNoAction8 = 0;
    for (const char* suite : {"ruffle", "ruffle-shumway"}) {
        Tally t = runSuite(fs::path(corpus) / suite, verbose);
        suiteFigures(suite, t, figures);
        visualNoAction += t.imagesNoAction;
        matchedNoAction += t.matchedNoAction;
        visualNoAction8 += t.imagesNoAction8;
        matchedNoAction8 += t.matchedNoAction8;
    }
    Tally own = runReferenceScenes(verbose);
    std::printf("own reference scenes: %d scenes, %d decode, %d match their geometry\n", own.movies, own.decoded, own.matched);
    figures["own.images_matched"] = own.matched;
    // The player's scope is SWF 8 and lower; later versions only have to play as far as
    // their timeline goes, so they are counted apart.
    std::printf("visual cases without DoAction, SWF<=8 corpus and own: %d of %d match\n", matchedNoAction8 + own.matched,
                visualNoAction8 + own.images);
    std::printf("visual cases without DoAction, all corpus versions and own: %d of %d match\n",
                matchedNoAction + own.matched, visualNoAction + own.images);

    Tally ofdb = runMovies(findAll(fs::path(corpus) / "open-flash-db" / "movies", "", ".swf"), 10, verbose);
    std::printf("open-flash-db movies: %d movies, %d decode\n", ofdb.movies, ofdb.decoded);
    figures["open-flash-db.decoded"] = ofdb.decoded;

    Tally real = runMovies(findAll(fs::path(corpus) / "realworld", "", ".swf"), kRealWorldFrames, verbose, true);
    std::printf("realworld: %d movies, %d decode, %d ran %d frames with scripted mouse input without crash, hang or "
                "unbounded memory growth\n", real.movies, real.decoded,
                real.ran, kRealWorldFrames);
    figures["realworld.decoded"] = real.decoded;
    figures["realworld.ran"] = real.ran;

    return floorfile::finish("conformance", writeFloor,
                             "# Conformance figures last reached; the conformance test fails below them.\n"
                             "# Update after an improvement: build/native/tools/conformance/conformance --corpus <corpus> "
                             "--write-floor tools/conformance/floor.txt\n",
                             floorFile, figures);
}
