#include <gtest/gtest.h>

#include "MovieFixture.h"
#include "player/ButtonInstance.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/ShapeHitTest.h"

namespace swf {
namespace {

using namespace swf::testing;
using Strings = std::vector<std::string>;
using Phase = ButtonInstance::Phase;

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kGreen{0, 255, 0, 255};

ButtonRecord record(uint8_t states, uint16_t id, uint16_t depth = 1) {
    ButtonRecord r;
    r.states = states;
    r.characterId = id;
    r.depth = depth;
    return r;
}

ButtonAction onCondition(uint16_t conditions, std::vector<uint8_t> bytes) {
    ButtonAction a;
    a.conditions = conditions;
    a.actions = SharedBytes(std::move(bytes));
    return a;
}

// A stage with one button at (20, 20): red when up, green when over, blue when down; its hit
// area is a right triangle of 40 px whose hypotenuse runs from (60, 20) to (20, 60).
struct ButtonStage : ::testing::Test {
    void SetUp() override {
        auto button = std::make_shared<ButtonDef>();
        button->version = 2;
        button->records = {record(ButtonUp, 1), record(ButtonOver, 2), record(ButtonDown, 3), record(ButtonHitTest, 4)};
        button->records[1].colorTransform = ColorTransform{256, 256, 256, 256, 10, 0, 0, 0};
        button->actions = {onCondition(OverDownToOverUp, fsCommand("release")),
                           onCondition(IdleToOverUp | OverUpToIdle, fsCommand("hover")),
                           onCondition(OutDownToIdle, fsCommand("release outside")),
                           onCondition(OverUpToOverDown, {action::kStop})};
        ButtonSound click;
        click.soundId = 42;
        button->sounds[2] = click;
        MovieBuilder b;
        b.define(1, rectShape(0, 0, 40, 40, kRed))
            .define(2, rectShape(0, 0, 40, 40, kGreen))
            .define(3, rectShape(0, 0, 40, 40, kBlue))
            .define(4, triangleShape(0, 0, 40, kRed))
            .define(10, std::shared_ptr<const ButtonDef>(button));
        b.frame({place(1, 10, 20, 20)}).frame({}).frame({});
        player = std::make_unique<Player>(b.build(), host);
        this->button = player->root().childAt(1)->asButton();
        ASSERT_NE(this->button, nullptr);
    }
    uint16_t shownCharacter() const {
        DrawList list = player->drawList();
        return list.size() == 1 ? static_cast<uint16_t>(list[0].shape->fills[0].color.g ? 2 : list[0].shape->fills[0].color.b ? 3 : 1) : 0;
    }
    RecordingHost host;
    std::unique_ptr<Player> player;
    ButtonInstance* button = nullptr;
};

TEST_F(ButtonStage, HitTestUsesTheHitShapeNotItsBounds) {
    player->mouseMove(25, 25);
    EXPECT_EQ(button->phase(), Phase::OverUp);
    player->mouseMove(55, 55);  // inside the bounding box, outside the triangle
    EXPECT_EQ(button->phase(), Phase::Idle);
    EXPECT_EQ(player->activeButton(), nullptr);
    player->mouseMove(15, 25);  // left of the button
    EXPECT_EQ(button->phase(), Phase::Idle);
}

TEST_F(ButtonStage, ClickRunsTheReleaseActionAndShowsEachState) {
    EXPECT_EQ(shownCharacter(), 1);
    player->mouseMove(25, 25);
    EXPECT_EQ(shownCharacter(), 2);
    EXPECT_EQ(player->drawList()[0].colorTransform.rAdd, 10) << "the record's colour transform applies";
    player->mouseDown(25, 25);
    EXPECT_EQ(button->phase(), Phase::OverDown);
    EXPECT_EQ(shownCharacter(), 3);
    EXPECT_FALSE(player->root().playing()) << "the press action ran in the button's timeline";
    player->mouseUp(25, 25);
    EXPECT_EQ(button->phase(), Phase::OverUp);
    EXPECT_EQ(host.events, (Strings{"fs hover", "sound 42", "fs release"}));
}

TEST_F(ButtonStage, ReleasingOutsideIsNotAClick) {
    player->mouseMove(25, 25);
    player->mouseDown(25, 25);
    player->mouseMove(90, 90);
    EXPECT_EQ(button->phase(), Phase::OutDown);
    player->mouseMove(26, 26);
    EXPECT_EQ(button->phase(), Phase::OverDown) << "coming back while pressed";
    player->mouseMove(90, 90);
    player->mouseUp(90, 90);
    EXPECT_EQ(button->phase(), Phase::Idle);
    EXPECT_EQ(host.events, (Strings{"fs hover", "sound 42", "fs release outside"}));
}

TEST_F(ButtonStage, PressingElsewhereAndDraggingOnDoesNotPress) {
    player->mouseDown(90, 90);
    player->mouseMove(25, 25);
    EXPECT_EQ(button->phase(), Phase::Idle);
    player->mouseUp(25, 25);
    EXPECT_EQ(button->phase(), Phase::OverUp) << "the pointer is over it once the mouse button is up";
    player->mouseLeave();
    EXPECT_EQ(button->phase(), Phase::Idle);
    EXPECT_EQ(host.events, (Strings{"fs hover", "fs hover"}));
}

TEST(ClipButtonEvents, AClipWithOnPressAndReleaseHandlersActsAsAButtonInsideNestedClips) {
    auto inner = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(inner->timeline, {place(1, 1, 20, 20)});
    PlaceObject handled = place(1, 5);
    for (auto [event, command] : {std::pair{ClipPress, "press"}, {ClipRelease, "release"}, {ClipRollOut, "out"}})
        handled.clipActions.push_back(ClipAction{event, 0, SharedBytes(fsCommand(command))});
    auto outer = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(outer->timeline, {handled});
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 20, 20, kRed)).define(5, inner).define(6, outer);
    b.frame({place(1, 6)});
    RecordingHost host;
    Player p(b.build(), host);
    p.mouseMove(5, 5);  // beside it: nothing
    p.mouseDown(5, 5);
    p.mouseUp(5, 5);
    EXPECT_TRUE(host.events.empty());
    p.mouseMove(30, 30);
    p.mouseDown(30, 30);
    p.mouseUp(30, 30);
    p.mouseMove(5, 5);
    EXPECT_EQ(host.events, (Strings{"fs press", "fs release", "fs out"}));
}

TEST(ButtonLifetime, AButtonRemovedWhilePressedIsForgotten) {
    auto button = std::make_shared<ButtonDef>();
    button->records = {record(ButtonUp | ButtonHitTest, 1)};
    button->actions = {onCondition(OverDownToOverUp | OutDownToIdle, fsCommand("release"))};
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 20, 20, kRed)).define(10, std::shared_ptr<const ButtonDef>(button));
    b.frame({place(1, 10)}).frame({RemoveObject{1, {}}, actions({action::kStop})});
    RecordingHost host;
    Player p(b.build(), host);
    p.mouseDown(5, 5);
    ASSERT_NE(p.activeButton(), nullptr);
    p.advance();
    EXPECT_EQ(p.activeButton(), nullptr);
    p.mouseUp(5, 5);
    EXPECT_TRUE(host.events.empty());
}

TEST(ButtonConditions, EveryTransitionHasItsFileCondition) {
    EXPECT_EQ(buttonCondition(Phase::Idle, Phase::OverUp), IdleToOverUp);
    EXPECT_EQ(buttonCondition(Phase::OverUp, Phase::Idle), OverUpToIdle);
    EXPECT_EQ(buttonCondition(Phase::OverUp, Phase::OverDown), OverUpToOverDown);
    EXPECT_EQ(buttonCondition(Phase::OverDown, Phase::OverUp), OverDownToOverUp);
    EXPECT_EQ(buttonCondition(Phase::OverDown, Phase::OutDown), OverDownToOutDown);
    EXPECT_EQ(buttonCondition(Phase::OutDown, Phase::OverDown), OutDownToOverDown);
    EXPECT_EQ(buttonCondition(Phase::OutDown, Phase::Idle), OutDownToIdle);
    EXPECT_EQ(buttonCondition(Phase::Idle, Phase::OverDown), IdleToOverDown);
    EXPECT_EQ(buttonCondition(Phase::OverDown, Phase::Idle), OverDownToIdle);
    EXPECT_EQ(buttonCondition(Phase::Idle, Phase::OutDown), 0);
}

TEST(ButtonMenus, TrackAsMenuPressesOnDragAndLetsGoOnLeave) {
    auto menu = std::make_shared<ButtonDef>();
    menu->trackAsMenu = true;
    menu->records = {record(ButtonUp | ButtonHitTest, 1)};
    menu->actions = {onCondition(IdleToOverDown, fsCommand("drag in")), onCondition(OverDownToIdle, fsCommand("drag out")),
                     onCondition(OverDownToOverUp, fsCommand("release"))};
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 20, 20, kRed)).define(10, std::shared_ptr<const ButtonDef>(menu));
    b.frame({place(1, 10, 0, 0), place(2, 10, 50, 0)});
    RecordingHost host;
    Player p(b.build(), host);
    p.mouseDown(90, 90);
    p.mouseMove(5, 5);
    p.mouseMove(55, 5);
    p.mouseUp(55, 5);
    EXPECT_EQ(host.events, (Strings{"fs drag in", "fs drag out", "fs drag in", "fs release"}));
}

TEST(ButtonNesting, ButtonsInsideSpritesAreFoundThroughTheirTransforms) {
    auto button = std::make_shared<ButtonDef>();
    button->records = {record(ButtonUp | ButtonHitTest, 1)};
    button->actions = {onCondition(OverDownToOverUp, fsCommand("inner"))};
    auto sprite = std::make_shared<SpriteDef>();
    PlaceObject scaled = place(1, 10, 0, 0);
    scaled.matrix = Matrix::scale(2, 2);
    MovieBuilder::addFrame(sprite->timeline, {scaled});
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kRed)).define(10, std::shared_ptr<const ButtonDef>(button)).define(5, sprite);
    b.frame({place(1, 5, 50, 50)});
    RecordingHost host;
    Player p(b.build(), host);
    p.mouseDown(68, 68);  // 50 + 2 * 9
    p.mouseUp(68, 68);
    p.mouseDown(72, 72);  // beyond the scaled square
    p.mouseUp(72, 72);
    EXPECT_EQ(host.events, (Strings{"fs inner"}));
}

TEST(ButtonNesting, AButtonWhoseStatesHoldItselfIsBuiltToALimit) {
    auto button = std::make_shared<ButtonDef>();
    button->records = {record(ButtonUp | ButtonHitTest, 5), record(ButtonOver, 10)};
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {place(1, 10)});  // the sprite holds the button again
    MovieBuilder b;
    b.define(10, std::shared_ptr<const ButtonDef>(button)).define(5, sprite);
    b.frame({place(1, 10)});
    NullHost host;
    Player p(b.build(), host);  // returns: the recursion was cut
    p.mouseMove(1, 1);
    p.advance();
    EXPECT_TRUE(p.drawList().empty());
}

TEST(ShapeHitTest, CurvesHolesAndStrokes) {
    // A square with a square hole (even-odd), and a stroked line.
    auto s = rectShape(0, 0, 40, 40, kRed);
    ShapeDef shape = *s;
    Path hole;
    hole.fill1 = 1;
    hole.start = {200, 200};
    hole.segments = {{{}, {600, 200}}, {{}, {600, 600}}, {{}, {200, 600}}, {{}, {200, 200}}};
    shape.paths.push_back(hole);
    EXPECT_TRUE(shapeContains(shape, 100, 100));
    EXPECT_FALSE(shapeContains(shape, 400, 400)) << "inside the hole";

    ShapeDef line;
    LineStyle style;
    style.width = 100;
    line.lines.push_back(style);
    Path p;
    p.line = 1;
    p.start = {0, 0};
    p.segments = {{{1000, 1000}, {2000, 0}, true}};  // a curve bulging down to y = 500 at its middle
    line.paths.push_back(p);
    line.bounds = {-50, 2050, -50, 550};
    EXPECT_TRUE(shapeContains(line, 1000, 520));
    EXPECT_FALSE(shapeContains(line, 1000, 400));
    EXPECT_FALSE(shapeContains(line, 1000, 300)) << "under the curve, not on it";
}

}  // namespace
}  // namespace swf
