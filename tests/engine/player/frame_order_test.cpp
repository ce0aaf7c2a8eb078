// The order in which one frame's scripts run: clip events by their tier, frame actions by the
// tags that caused them, enterFrame and unload from the inside out.
#include <gtest/gtest.h>

#include "MovieFixture.h"
#include "player/ButtonInstance.h"
#include "player/MovieClip.h"
#include "player/Player.h"

namespace swf {
namespace {

using namespace swf::testing;
using Strings = std::vector<std::string>;

ClipAction onClipEvent(uint32_t events, const std::string& command) {
    return ClipAction{events, 0, SharedBytes(fsCommand(command))};
}

PlaceObject placeWith(uint16_t depth, uint16_t id, std::vector<ClipAction> events) {
    PlaceObject p = place(depth, id);
    p.clipActions = std::move(events);
    return p;
}

// Sprite 6 ("inner") shows one frame; sprite 5 ("outer") runs a script and then places the
// inner one with handlers for every early event.
void defineNestedSprites(MovieBuilder& b) {
    auto inner = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(inner->timeline, {actions(fsCommand("inner frame"))});
    b.define(6, inner);
    auto outer = std::make_shared<SpriteDef>();
    MovieBuilder::addFrame(outer->timeline,
                           {actions(fsCommand("outer frame")),
                            placeWith(1, 6,
                                      {onClipEvent(ClipInitialize, "inner initialize"),
                                       onClipEvent(ClipConstruct, "inner construct"), onClipEvent(ClipLoad, "inner load"),
                                       onClipEvent(ClipEnterFrame, "inner enterFrame"),
                                       onClipEvent(ClipUnload, "inner unload")})});
    b.define(5, outer);
}

PlaceObject outerPlacement() {
    return placeWith(1, 5,
                     {onClipEvent(ClipInitialize, "outer initialize"), onClipEvent(ClipConstruct, "outer construct"),
                      onClipEvent(ClipLoad, "outer load"), onClipEvent(ClipEnterFrame, "outer enterFrame"),
                      onClipEvent(ClipUnload, "outer unload")});
}

TEST(FrameOrder, InitializeThenConstructEventsRunBeforeTheFramesScriptsThenTheRestByTagOrder) {
    MovieBuilder b;
    defineNestedSprites(b);
    // The root's script stands before the placement, its second one after it.
    b.frame({actions(fsCommand("root before")), outerPlacement(), actions(fsCommand("root after"))});
    RecordingHost host;
    Player p(b.build(), host);
    EXPECT_EQ(host.events, (Strings{"fs outer initialize", "fs inner initialize", "fs outer construct",
                                    "fs inner construct", "fs root before", "fs outer load", "fs outer frame",
                                    "fs inner load", "fs inner frame", "fs root after"}));
}

TEST(FrameOrder, EnterFrameAndUnloadReachTheInnerClipsFirst) {
    MovieBuilder b;
    defineNestedSprites(b);
    b.frame({outerPlacement()})
        .frame({actions(fsCommand("root 2"))})
        .frame({RemoveObject{1, std::nullopt}, actions(fsCommand("root 3"))})
        .frame({actions({action::kStop})});
    RecordingHost host;
    Player p(b.build(), host);
    host.events.clear();
    p.advance();
    EXPECT_EQ(host.events, (Strings{"fs inner enterFrame", "fs outer enterFrame", "fs root 2"}));
    host.events.clear();
    p.advance();
    // The removal stands before the frame's script, so its unload handlers run first; the
    // enterFrame handlers the departed clips had queued no longer run (clip_events).
    EXPECT_EQ(host.events, (Strings{"fs inner unload", "fs outer unload", "fs root 3"}));
}

TEST(FrameOrder, ARemovalAfterTheFramesScriptUnloadsAfterIt) {
    MovieBuilder b;
    defineNestedSprites(b);
    b.frame({outerPlacement()}).frame({actions(fsCommand("root 2")), RemoveObject{1, std::nullopt}});
    RecordingHost host;
    Player p(b.build(), host);
    host.events.clear();
    p.advance();
    EXPECT_EQ(host.events, (Strings{"fs root 2", "fs inner unload", "fs outer unload"}));
}

TEST(FrameOrder, TheMostRecentlyPlacedClipAdvancesFirstWhateverItsDepth) {
    auto twoFrames = [](const std::string& name) {
        auto sprite = std::make_shared<SpriteDef>();
        MovieBuilder::addFrame(sprite->timeline, {actions(fsCommand(name + " 1"))});
        MovieBuilder::addFrame(sprite->timeline, {actions(fsCommand(name + " 2"))});
        return sprite;
    };
    MovieBuilder b;
    b.define(5, twoFrames("older")).define(6, twoFrames("newer"));
    b.frame({place(5, 5)}).frame({place(1, 6)}).frame({actions({action::kStop})});
    RecordingHost host;
    Player p(b.build(), host);
    p.advance();
    EXPECT_EQ(host.events, (Strings{"fs older 1", "fs older 2", "fs newer 1"}));
    host.events.clear();
    p.advance();
    EXPECT_EQ(host.events, (Strings{"fs newer 2", "fs older 1"})) << "the newer clip is below the older one";
}

TEST(FrameOrder, AClipInsideARemovedButtonRunsNoMoreOfItsFrames) {
    auto kid = std::make_shared<SpriteDef>();
    for (const char* command : {"kid 1", "kid 2", "kid 3"}) MovieBuilder::addFrame(kid->timeline, {actions(fsCommand(command))});
    auto button = std::make_shared<ButtonDef>();
    ButtonRecord record;
    record.states = ButtonUp | ButtonHitTest;
    record.characterId = 5;
    record.depth = 1;
    button->records.push_back(record);
    MovieBuilder b;
    b.define(5, kid).define(7, std::shared_ptr<const ButtonDef>(button));
    b.frame({place(1, 7)}).frame({RemoveObject{1, std::nullopt}}).frame({actions({action::kStop})});
    RecordingHost host;
    Player p(b.build(), host);
    p.advance();  // the kid moves to its second frame, then the root removes the button
    p.advance();
    EXPECT_EQ(host.events, (Strings{"fs kid 1"}));
}

}  // namespace
}  // namespace swf
