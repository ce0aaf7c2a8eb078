// Any bytes through decode, timeline advance, actions, pointer input and rendering: what
// opening an untrusted movie in the catalogue does.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "decode/Decoder.h"
#include "player/Host.h"
#include "player/Player.h"

namespace {

// Small enough to keep each run fast, large enough for edges, strokes and bitmaps to matter.
constexpr int kWidth = 64, kHeight = 48;
constexpr int kFrames = 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    swf::DecodeResult result = swf::decodeMovie(std::span<const uint8_t>(data, size));
    if (!result) return 0;
    swf::NullHost host;
    swf::Player player(result.movie, host);
    std::vector<swf::Pixel> pixels(kWidth * kHeight);
    swf::render::Target target{pixels.data(), kWidth, kHeight, kWidth * 4};
    swf::Matrix view = swf::Player::showAll(result.movie->header.frameSize, kWidth, kHeight);
    for (int frame = 0; frame < kFrames; ++frame) {
        // Sweep the pointer over the stage and click, so buttons change state and run actions.
        double x = (frame * 7) % kWidth, y = (frame * 5) % kHeight;
        player.mouseMove(x, y);
        if (frame % 3 == 0) player.mouseDown(x, y);
        if (frame % 3 == 1) player.mouseUp(x, y);
        player.advance();
        player.changedRect(view);
        player.render(target, view, frame % 2 ? swf::render::Quality::Low : swf::render::Quality::High, frame == 0);
    }
    return 0;
}
