#pragma once
// The play session of the play fuzzer: pointer sweeps and clicks, frame advances and
// renders in both qualities on a small target. The regression replay runs the very same
// session, so a saved input reproduces what the fuzzer saw.
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "avm1/Vm.h"
#include "player/Host.h"
#include "player/Player.h"

namespace swf::fuzzing {

// Small enough to keep each run fast, large enough for edges, strokes and bitmaps to matter.
constexpr int kPlayWidth = 64, kPlayHeight = 48;
constexpr int kPlayFrames = 24;

// Answers every URL with the movie's own bytes: a movie that loads anything loads itself,
// into clips and levels, as often as its scripts ask.
class SelfServingHost final : public Host {
public:
    explicit SelfServingHost(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    std::optional<std::vector<uint8_t>> fetch(const UrlRequest&) override {
        if (bytes_.empty()) return std::nullopt;
        return std::vector<uint8_t>(bytes_.begin(), bytes_.end());
    }

private:
    std::span<const uint8_t> bytes_;
};

// Plays `movie` (decoded from `bytes`) for kPlayFrames frames; `afterFrame(player, frame)`
// runs after each one and returns false to stop early.
template <class AfterFrame>
void playSession(std::shared_ptr<const MovieDef> movie, std::span<const uint8_t> bytes, AfterFrame afterFrame) {
    SelfServingHost host(bytes);
    // Scripts get a small budget: a looping script must end within the input time limit
    // even under the sanitizers (100,000 actions a frame took 10 s a session there, with
    // lookups and number printing in every action).
    avm1::Limits limits;
    limits.maxActions = 30000;
    limits.maxObjects = 100000;
    limits.maxLiveTextBytes = 16u << 20;
    limits.maxArrayGrowthPerBlock = 1u << 18;
    Player player(movie, host, &limits);
    std::vector<Pixel> pixels(kPlayWidth * kPlayHeight);
    render::Target target{pixels.data(), kPlayWidth, kPlayHeight, kPlayWidth * 4};
    Matrix view = Player::showAll(movie->header.frameSize, kPlayWidth, kPlayHeight);
    for (int frame = 0; frame < kPlayFrames; ++frame) {
        // Sweep the pointer over the stage and click, so buttons change state and run actions.
        double x = (frame * 7) % kPlayWidth, y = (frame * 5) % kPlayHeight;
        player.mouseMove(x, y);
        if (frame % 3 == 0) player.mouseDown(x, y);
        if (frame % 3 == 1) player.mouseUp(x, y);
        // And type: Tab walks the focus, Space presses a focused button, the others reach
        // key conditions and listeners.
        static constexpr std::pair<uint8_t, uint16_t> kKeys[] = {{9, 9}, {32, 32}, {65, 'a'}, {13, 13}, {37, 0}};
        const auto& [code, ascii] = kKeys[frame % 5];
        player.keyDown(code, ascii);
        // The character follows its key, as a window's character message does: it meets
        // buttons' conditions or types into a focused field (Enter breaks its line).
        if (ascii >= 32) player.textInput(ascii);
        else if (code == 13) player.textCommand(TextCommand::Enter);
        player.keyUp(code, ascii);
        player.advance();
        player.changedRect(view);
        player.render(target, view, frame % 2 ? render::Quality::Low : render::Quality::High, frame == 0);
        if (!afterFrame(player, frame)) return;
    }
}

}  // namespace swf::fuzzing
