// Movies written as files, decoded and played: the whole road from bytes to pixels, with
// exact pixel values where the geometry is pixel-aligned and drawn without anti-aliasing.
#include <gtest/gtest.h>

#include "Movie.h"
#include "decode/Decoder.h"
#include "player/Player.h"

namespace swf {
namespace {

using swfw::Actions;
using swfw::Placement;
using swfw::ShapeBuilder;

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255};
constexpr Pixel kRedPx = 0xFFFF0000, kGreenPx = 0xFF00FF00, kBluePx = 0xFF0000FF, kWhitePx = 0xFFFFFFFF;

uint16_t square(swfw::Movie& m, int x, int y, int size, Rgba color) {
    ShapeBuilder s;
    s.fill1(s.addSolidFill(color)).rectangle(x * 20, y * 20, size * 20, size * 20);
    return m.defineShape(s);
}

class RecordingHost : public Host {
public:
    void fsCommand(const std::string& command, const std::string& args) override { commands.push_back(command + ":" + args); }
    std::vector<std::string> commands;
};

// Decodes the written file and plays it; pixels are read at stage scale 1:1.
struct Played {
    Played(const swfw::Movie& movie, Host& host, swfw::Compression compression = swfw::Compression::None) {
        std::vector<uint8_t> bytes = movie.bytes(compression);
        DecodeResult r = decodeMovie(bytes);
        if (!r) throw std::runtime_error("decode failed: " + r.error.message);
        player = std::make_unique<Player>(r.movie, host);
        render();
    }
    void render() {
        pixels.assign(100 * 100, 0x12345678 & 0x7F7F7F7F);
        player->render({pixels.data(), 100, 100, 400}, Matrix::scale(0.05, 0.05), render::Quality::Low, true);
    }
    Pixel at(int x, int y) const { return pixels[size_t(y) * 100 + x]; }
    std::unique_ptr<Player> player;
    std::vector<Pixel> pixels;
};

TEST(WrittenMovies, TimelineOfPlaceMoveRemoveAndLoop) {
    auto movie = swfw::Movie::pixels(3, 100, 100, 12);
    movie.backgroundColor(kWhite);
    uint16_t red = square(movie, 0, 0, 10, kRed);
    uint16_t blue = square(movie, 0, 0, 10, kBlue);
    movie.placeObject(red, 1, Matrix::translate(200, 200)).showFrame();
    Placement move;
    move.depth = 1;
    move.move = true;
    move.matrix = Matrix::translate(1000, 200);
    movie.place(move).placeObject(blue, 2, Matrix::translate(400, 1000)).showFrame();
    movie.remove(1).showFrame();

    NullHost host;
    Played p(movie, host, swfw::Compression::Zlib);
    EXPECT_EQ(p.at(15, 15), kRedPx);
    EXPECT_EQ(p.at(55, 15), kWhitePx);
    p.player->advance();
    p.render();
    EXPECT_EQ(p.at(15, 15), kWhitePx);
    EXPECT_EQ(p.at(55, 15), kRedPx);
    EXPECT_EQ(p.at(25, 55), kBluePx);
    p.player->advance();
    p.render();
    EXPECT_EQ(p.at(55, 15), kWhitePx);
    EXPECT_EQ(p.at(25, 55), kBluePx);
    p.player->advance();  // loops: frame 1 again
    p.render();
    EXPECT_EQ(p.at(15, 15), kRedPx);
    EXPECT_EQ(p.at(25, 55), kWhitePx);
}

TEST(WrittenMovies, FrameActionsStopAndJumpToALabel) {
    auto movie = swfw::Movie::pixels(3, 100, 100, 12);
    uint16_t red = square(movie, 0, 0, 100, kRed);
    uint16_t green = square(movie, 0, 0, 100, kGreen);
    movie.doAction(Actions().gotoLabel("green").play()).showFrame();
    movie.placeObject(red, 1).showFrame();
    movie.frameLabel("green").placeObject(green, 2).doAction(Actions().stop().fsCommand("reached", "green")).showFrame();
    movie.remove(2).showFrame();

    RecordingHost host;
    Played p(movie, host);
    for (int i = 0; i < 5; ++i) p.player->advance();
    p.render();
    EXPECT_EQ(p.at(50, 50), kGreenPx) << "frame 2's red square was placed on the way";
    EXPECT_EQ(host.commands, (std::vector<std::string>{"reached:green"}));
}

TEST(WrittenMovies, ClipLayerMasksTheLayersBelowItsClipDepth) {
    auto movie = swfw::Movie::pixels(6, 100, 100, 12);
    movie.backgroundColor(kWhite);
    uint16_t mask = square(movie, 0, 0, 50, kBlue);
    uint16_t red = square(movie, 0, 0, 100, kRed);
    uint16_t green = square(movie, 80, 80, 10, kGreen);
    Placement clip;
    clip.depth = 1;
    clip.character = mask;
    clip.clipDepth = 2;
    movie.place(clip);
    Placement under;
    under.depth = 2;
    under.character = red;
    movie.place(under);
    Placement above;
    above.depth = 3;
    above.character = green;
    movie.place(above).showFrame();
    NullHost host;
    Played p(movie, host);
    EXPECT_EQ(p.at(25, 25), kRedPx);
    EXPECT_EQ(p.at(75, 25), kWhitePx) << "masked off; the mask itself is not drawn";
    EXPECT_EQ(p.at(85, 85), kGreenPx);
}

TEST(WrittenMovies, DefineButtonReleaseActionAndColourTransform) {
    auto movie = swfw::Movie::pixels(3, 100, 100, 12);
    movie.backgroundColor(kWhite);
    uint16_t up = square(movie, 0, 0, 40, kRed);
    uint16_t over = square(movie, 0, 0, 40, kGreen);
    swfw::Button button;
    swfw::ButtonRecord upRecord;
    upRecord.up = upRecord.hitTest = true;
    upRecord.character = up;
    swfw::ButtonRecord overRecord;
    overRecord.over = overRecord.down = true;
    overRecord.character = over;
    overRecord.depth = 2;
    button.records = {upRecord, overRecord};
    button.onRelease = Actions().fsCommand("clicked", "yes");
    uint16_t id = movie.defineButton(button);
    movie.buttonColorTransform(id, ColorTransform{256, 256, 256, 256, 0, 0, 255, 0});  // adds blue
    movie.placeObject(id, 1, Matrix::translate(200, 200)).showFrame();

    RecordingHost host;
    Played p(movie, host);
    EXPECT_EQ(p.at(20, 20), 0xFFFF00FFu) << "red plus the button's blue";
    p.player->mouseMove(20, 20);
    p.render();
    EXPECT_EQ(p.at(20, 20), 0xFF00FFFFu) << "over state: green plus blue";
    p.player->mouseDown(20, 20);
    p.player->mouseUp(20, 20);
    EXPECT_EQ(host.commands, (std::vector<std::string>{"clicked:yes"}));
    p.player->mouseDown(80, 80);
    p.player->mouseUp(80, 80);
    EXPECT_EQ(host.commands.size(), 1u) << "a click beside it does nothing";
}

TEST(WrittenMovies, DefineButton2ConditionActionsFire) {
    auto movie = swfw::Movie::pixels(6, 100, 100, 12);
    uint16_t shape = square(movie, 0, 0, 40, kRed);
    swfw::Button button;
    swfw::ButtonRecord record;
    record.up = record.over = record.down = record.hitTest = true;
    record.character = shape;
    button.records = {record};
    button.actions = {{swfw::ButtonCondition::IdleToOverUp, Actions().fsCommand("over", "")},
                      {swfw::ButtonCondition::OverUpToOverDown, Actions().fsCommand("press", "")},
                      {swfw::ButtonCondition::OverDownToOverUp, Actions().fsCommand("release", "")},
                      {swfw::ButtonCondition::OverUpToIdle, Actions().fsCommand("out", "")}};
    movie.placeObject(movie.defineButton2(button), 1).showFrame();
    RecordingHost host;
    Played p(movie, host);
    p.player->mouseMove(10, 10);
    p.player->mouseDown(10, 10);
    p.player->mouseUp(10, 10);
    p.player->mouseMove(90, 90);
    EXPECT_EQ(host.commands, (std::vector<std::string>{"over:", "press:", "release:", "out:"}));
}

TEST(WrittenMovies, SpriteAnimatesInsideTheRootAndRewindsWithIt) {
    auto movie = swfw::Movie::pixels(3, 100, 100, 12);
    movie.backgroundColor(kWhite);
    uint16_t red = square(movie, 0, 0, 10, kRed);
    swfw::Sprite sprite;
    sprite.placeObject(red, 1).showFrame();
    Placement step;
    step.depth = 1;
    step.move = true;
    step.matrix = Matrix::translate(400, 0);
    sprite.place(step).showFrame();
    uint16_t spriteId = movie.defineSprite(sprite);
    movie.placeObject(spriteId, 1, Matrix::translate(0, 800)).showFrame().showFrame().showFrame();
    NullHost host;
    Played p(movie, host);
    EXPECT_EQ(p.at(5, 45), kRedPx);
    p.player->advance();
    p.render();
    EXPECT_EQ(p.at(5, 45), kWhitePx);
    EXPECT_EQ(p.at(25, 45), kRedPx) << "the sprite moved on with its parent";
}

}  // namespace
}  // namespace swf
