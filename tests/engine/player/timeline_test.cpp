#include <gtest/gtest.h>

#include "MovieFixture.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf {
namespace {

using namespace swf::testing;
using Strings = std::vector<std::string>;

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kGreen{0, 255, 0, 255};

// Character ids at the depths of the root, in depth order.
std::vector<std::pair<uint16_t, uint16_t>> rootLayout(const Player& p) {
    std::vector<std::pair<uint16_t, uint16_t>> out;
    for (const auto& [depth, child] : p.root().children()) out.emplace_back(depth, child->characterId());
    return out;
}

using Layout = std::vector<std::pair<uint16_t, uint16_t>>;

TEST(Timeline, PlaceMoveReplaceRemoveFollowThePlaceObjectRules) {
    PlaceObject replace;
    replace.version = 2;
    replace.depth = 1;
    replace.move = true;
    replace.characterId = 2;  // a new character, no matrix: the old transform stays
    PlaceObject v1 = place(3, 1, 50, 50);
    v1.version = 1;
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kRed)).define(2, rectShape(0, 0, 10, 10, kBlue));
    b.frame({place(1, 1, 5, 5)})
        .frame({moveTo(1, 20, 30)})
        .frame({replace, v1})
        .frame({RemoveObject{1, std::nullopt}, moveTo(7, 1, 1)});  // a move onto an empty depth places nothing
    NullHost host;
    Player p(b.build(), host);

    ASSERT_EQ(rootLayout(p), (Layout{{1, 1}}));
    DisplayObject* first = p.root().childAt(1);
    EXPECT_EQ(first->matrix, Matrix::translate(100, 100));

    p.advance();
    EXPECT_EQ(p.root().childAt(1), first) << "a move keeps the instance";
    EXPECT_EQ(first->matrix, Matrix::translate(400, 600));

    p.advance();
    EXPECT_EQ(rootLayout(p), (Layout{{1, 2}, {3, 1}}));
    EXPECT_EQ(p.root().childAt(1)->matrix, Matrix::translate(400, 600));

    p.advance();
    EXPECT_EQ(rootLayout(p), (Layout{{3, 1}}));
}

TEST(Timeline, LoopsToTheFirstFrameAndRunsItsActionsAgain) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kRed));
    b.frame({place(1, 1), actions(fsCommand("first"))}).frame({RemoveObject{1, {}}}).frame({});
    RecordingHost host;
    Player p(b.build(), host);
    for (int i = 0; i < 3; ++i) p.advance();
    EXPECT_EQ(p.root().currentFrame(), 0u);
    EXPECT_EQ(rootLayout(p), (Layout{{1, 1}})) << "the rewound display list shows frame 1 again";
    EXPECT_EQ(host.events, (Strings{"fs first", "fs first"}));
}

TEST(Timeline, AOneFrameMovieDoesNotRepeatItsActions) {
    MovieBuilder b;
    b.frame({actions(fsCommand("once"))});
    RecordingHost host;
    Player p(b.build(), host);
    for (int i = 0; i < 5; ++i) p.advance();
    EXPECT_EQ(host.events, (Strings{"fs once"}));
}

TEST(Timeline, GoingBackKeepsInstancesThatPersistAndRestoresRemovedOnes) {
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {});
    MovieBuilder::addFrame(sprite->timeline, {});
    MovieBuilder::addFrame(sprite->timeline, {});
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kRed)).define(2, rectShape(0, 0, 10, 10, kBlue)).define(5, sprite);
    b.frame({place(1, 5), place(2, 1, 1, 1), place(4, 2)})
        .frame({moveTo(2, 30, 30), RemoveObject{4, {}}, place(3, 2)})
        .frame({actions(join({gotoFrameBytes(0)}))});
    NullHost host;
    Player p(b.build(), host);
    DisplayObject* spriteInstance = p.root().childAt(1);
    DisplayObject* shapeInstance = p.root().childAt(2);
    p.advance();
    p.advance();  // frame 3 sends the movie back to frame 1 and stops it
    EXPECT_EQ(p.root().currentFrame(), 0u);
    EXPECT_FALSE(p.root().playing());
    EXPECT_EQ(rootLayout(p), (Layout{{1, 5}, {2, 1}, {4, 2}}));
    EXPECT_EQ(p.root().childAt(1), spriteInstance) << "the sprite placed in frame 1 lives on";
    EXPECT_EQ(p.root().childAt(2), shapeInstance);
    EXPECT_EQ(shapeInstance->matrix, Matrix::translate(20, 20)) << "frame 1's transform is restored";
    EXPECT_EQ(p.root().childAt(1)->asClip()->currentFrame(), 2u) << "the kept sprite was not restarted";
}

TEST(Timeline, JumpingAheadAppliesSkippedPlacementsButNotTheirActions) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kRed)).define(2, rectShape(0, 0, 10, 10, kBlue));
    b.frame({actions(join({gotoFrameBytes(3), {action::kPlay}}))})
        .frame({place(1, 1), actions(fsCommand("skipped"))})
        .frame({place(2, 2), moveTo(1, 9, 9), actions(fsCommand("skipped too"))})
        .frame({RemoveObject{2, {}}, actions(fsCommand("target"))})
        .frame({actions({action::kStop})});
    RecordingHost host;
    Player p(b.build(), host);
    EXPECT_EQ(p.root().currentFrame(), 3u);
    EXPECT_EQ(rootLayout(p), (Layout{{1, 1}}));
    EXPECT_EQ(p.root().childAt(1)->matrix, Matrix::translate(180, 180));
    EXPECT_EQ(host.events, (Strings{"fs target"}));
    EXPECT_TRUE(p.root().playing());
    p.advance();
    EXPECT_EQ(p.root().currentFrame(), 4u);
    p.advance();
    EXPECT_EQ(p.root().currentFrame(), 4u) << "stopped";
}

TEST(Timeline, LabelsNextAndPrevFrame) {
    MovieBuilder b;
    b.frame({actions(join({withStrings(action::kGotoLabel, {"END"}), withStrings(action::kGotoLabel, {"missing"})}))})
        .frame({}, {"middle"})
        .frame({actions(fsCommand("end"))}, {"end"});
    RecordingHost host;
    Player p(b.build(), host);
    EXPECT_EQ(p.root().currentFrame(), 2u) << "labels match regardless of case; an unknown one is ignored";
    EXPECT_EQ(p.root().frameOfLabel("Middle"), 1);
    EXPECT_EQ(host.events, (Strings{"fs end"}));
    p.root().prevFrame();
    EXPECT_EQ(p.root().currentFrame(), 1u);
    p.root().prevFrame();
    p.root().prevFrame();  // at the first frame: stays
    EXPECT_EQ(p.root().currentFrame(), 0u);
    p.root().nextFrame();
    EXPECT_EQ(p.root().currentFrame(), 1u);
    EXPECT_FALSE(p.root().playing());
    p.root().gotoFrame(99);  // past the end: the last frame
    EXPECT_EQ(p.root().currentFrame(), 2u);
}

TEST(Timeline, NewSpritesRunTheirFirstActionsWhereTheirPlacementStandsAndLaterOnesBefore) {
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {actions(fsCommand("child 1"))});
    MovieBuilder::addFrame(sprite->timeline, {actions(join({fsCommand("child 2"), {action::kStop}}))});
    MovieBuilder::addFrame(sprite->timeline, {actions(fsCommand("child 3"))});
    MovieBuilder b;
    b.define(5, sprite);
    // The frame's actions stand on both sides of the placement in file order.
    PlaceObject named = place(1, 5);
    named.name = "kid";
    b.frame({actions(fsCommand("root before")), named, actions(fsCommand("root after"))})
        .frame({actions(fsCommand("root 2"))})
        .frame({});
    RecordingHost host;
    Player p(b.build(), host);
    EXPECT_EQ(host.events, (Strings{"fs root before", "fs child 1", "fs root after"}));
    p.advance();
    p.advance();
    // A child already there advances before its parent moves on.
    EXPECT_EQ(host.events, (Strings{"fs root before", "fs child 1", "fs root after", "fs child 2", "fs root 2"}));
    EXPECT_EQ(p.root().clipByName("KID")->currentFrame(), 1u) << "the sprite stopped itself";
}

TEST(Timeline, SetTargetReachesAClipPlacedInTheSameFrame) {
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {});
    MovieBuilder::addFrame(sprite->timeline, {actions(fsCommand("child moved"))});
    MovieBuilder b;
    b.define(5, sprite);
    PlaceObject named = place(1, 5);
    named.name = "kid";
    b.frame({actions(join({withStrings(action::kSetTarget, {"/kid"}), gotoFrameBytes(1),
                           withStrings(action::kSetTarget, {""}), {action::kStop}})),
             named});
    RecordingHost host;
    Player p(b.build(), host);
    EXPECT_EQ(p.root().clipByName("kid")->currentFrame(), 1u);
    EXPECT_EQ(host.events, (Strings{"fs child moved"}));
}

TEST(Timeline, GotoLoopsThatNeverSettleAreCutOff) {
    MovieBuilder b;
    b.frame({actions(gotoFrameBytes(1))}).frame({actions(gotoFrameBytes(0))});
    NullHost host;
    Player p(b.build(), host);  // returns: the runaway script was stopped
    EXPECT_GT(p.actionBlocksCutOff(), 0u);
    p.advance();
    EXPECT_LE(p.root().currentFrame(), 1u);
}

TEST(Timeline, WaitForFrameSkipsOnlyInATruncatedMovie) {
    auto build = [](bool truncated) {
        MovieBuilder b;
        b.frame({actions(join({{action::kWaitForFrame, 3, 0, 1, 0, 1}, fsCommand("skipped?"), fsCommand("after")}))});
        if (!truncated) b.frame({});
        auto movie = b.build();
        const_cast<MovieDef&>(*movie).timeline.declaredFrameCount = 2;
        return movie;
    };
    RecordingHost complete, cut;
    Player a(build(false), complete);
    Player c(build(true), cut);
    EXPECT_EQ(complete.events, (Strings{"fs skipped?", "fs after"}));
    EXPECT_EQ(cut.events, (Strings{"fs after"}));
}

TEST(Timeline, ACutMovieWaitsOnItsLastFrameInsteadOfLooping) {
    auto build = [](bool truncated) {
        MovieBuilder b;
        b.frame({actions(fsCommand("one"))}).frame({actions(fsCommand("two"))});
        auto movie = b.build();
        auto& def = const_cast<MovieDef&>(*movie);
        def.truncated = truncated;
        def.timeline.declaredFrameCount = 3;  // the third frame never arrives
        return movie;
    };
    RecordingHost complete, cut;
    Player a(build(false), complete);
    Player c(build(true), cut);
    for (int i = 0; i < 4; ++i) {
        a.advance();
        c.advance();
    }
    EXPECT_EQ(cut.events, (Strings{"fs one", "fs two"}));
    EXPECT_EQ(c.root().currentFrame(), 1u);
    EXPECT_TRUE(c.root().playing()) << "it still plays, waiting for the frames";
    // A complete file whose frame count merely disagrees keeps looping over what it has.
    EXPECT_EQ(complete.events, (Strings{"fs one", "fs two", "fs one", "fs two", "fs one"}));
}

TEST(Timeline, ASpriteWhoseFileStopsShortPlaysItsFramesOnceWhileAWholeOneLoops) {
    auto sprite = [](bool stopsAtEnd, const char* name) {
        auto s = std::make_shared<SpriteDef>();
        MovieBuilder::addFrame(s->timeline, {actions(fsCommand(std::string(name) + " 1"))});
        MovieBuilder::addFrame(s->timeline, {actions(fsCommand(std::string(name) + " 2"))});
        s->timeline.stopsAtEnd = stopsAtEnd;
        return s;
    };
    MovieBuilder b;
    b.define(5, sprite(false, "whole"));
    b.define(6, sprite(true, "cut"));
    b.frame({place(1, 5), place(2, 6)});
    RecordingHost host;
    Player p(b.build(), host);
    for (int i = 0; i < 3; ++i) p.advance();
    EXPECT_EQ(host.events, (Strings{"fs whole 1", "fs cut 1", "fs cut 2", "fs whole 2", "fs whole 1", "fs whole 2"}));
}

TEST(Timeline, StartSoundAndStopSoundsReachTheHost) {
    StartSound s;
    s.soundId = 9;
    MovieBuilder b;
    b.frame({s, actions({action::kStopSounds, action::kToggleQuality})});
    RecordingHost host;
    Player p(b.build(), host);
    EXPECT_EQ(host.events, (Strings{"sound 9", "stop sounds"}));
    EXPECT_EQ(p.effectiveQuality(render::Quality::High), render::Quality::Low);
}

TEST(Timeline, UnknownCharactersAndRemovingEmptyDepthsAreHarmless) {
    MovieBuilder b;
    b.define(1, rectShape(0, 0, 10, 10, kGreen));
    b.frame({place(1, 77), place(2, 1), RemoveObject{40, {}}}).frame({moveTo(1, 5, 5)});
    NullHost host;
    Player p(b.build(), host);
    p.advance();
    EXPECT_EQ(rootLayout(p), (Layout{{2, 1}}));
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

using namespace swf::testing;

int nestingDepth(const MovieClip& clip) {
    int deepest = 0;
    for (const auto& [depth, child] : clip.children())
        if (const MovieClip* inner = const_cast<DisplayObject&>(*child).asClip()) deepest = std::max(deepest, 1 + nestingDepth(*inner));
    return deepest;
}

TEST(Timeline, ASpriteThatPlacesItselfStopsNestingAndKeepsPlaying) {
    auto sprite = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(sprite->timeline, {place(1, 5, 1, 1)});
    MovieBuilder::addFrame(sprite->timeline, {moveTo(1, 2, 2)});
    MovieBuilder b;
    b.define(5, sprite);
    b.frame({place(1, 5)});
    NullHost host;
    Player p(b.build(), host);
    for (int i = 0; i < 50; ++i) p.advance();
    int depth = nestingDepth(p.root());
    EXPECT_GE(depth, 10);
    EXPECT_LE(depth, 64);
    EXPECT_TRUE(p.drawList().empty()) << "sprites holding only sprites draw nothing";
}

TEST(Timeline, GoingBackClearsTheTimelineDepthsOfScriptedClipsAndKeepsThoseAbove) {
    MovieBuilder b;
    b.frame({}).frame({}).frame({actions({action::kStop})});
    NullHost host;
    Player p(b.build(), host);
    MovieClip& root = p.root();
    root.createEmptyClip("low", 100);  // a script depth below 0
    root.createEmptyClip("high", MovieClip::kScriptDepthOffset + 5);
    p.advance();
    EXPECT_NE(root.clipByName("low"), nullptr) << "playing forward leaves both alone";
    root.gotoFrame(0);
    EXPECT_EQ(root.clipByName("low"), nullptr);
    EXPECT_NE(root.clipByName("high"), nullptr);
}

}  // namespace
}  // namespace swf
