#pragma once
// A timeline with its display list: the main movie and every sprite instance. Frames are
// reached by replaying the control tags of the timeline onto a depth-ordered plan and then
// bringing the live display list in line with it, so playing forward, jumping ahead and
// rewinding share one set of placement rules.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/ControlTags.h"
#include "model/Movie.h"
#include "player/ActionInterpreter.h"
#include "player/DisplayObject.h"
#include "player/Drawing.h"
#include "player/Host.h"
#include "player/PointerPhase.h"

namespace swf {

struct EditTextDef;
struct SoundDef;

class MovieClip final : public DisplayObject, public TimelineControl {
public:
    MovieClip(PlayerContext& context, uint16_t characterId, const Timeline& timeline);
    // The root of a movie (the main one, a level, a clip loaded with a movie).
    MovieClip(PlayerContext& context, std::shared_ptr<const MovieDef> movie, std::string url);

    // Shows the first frame: its placements happen now, its actions are queued.
    void start();

    uint32_t currentFrame() const { return current_; }  // 0-based
    uint32_t frameCount() const;
    bool playing() const { return playing_; }
    using Children = std::map<int32_t, std::shared_ptr<DisplayObject>>;
    const Children& children() const { return children_; }
    DisplayObject* childAt(int32_t depth) const;
    MovieClip* clipByName(std::string_view name) const;
    // The lowest child of that name of any kind: a clip, a button, a text field or a shape.
    DisplayObject* childByName(std::string_view name) const;
    // Still part of the stage (removed clips keep running queued actions on nothing).
    bool onStage() const;
    // How loud its sounds play, as scripts set it through Sound objects that target it.
    SoundTransform soundTransform;
    // What scripts drew into it, below its children.
    Drawing drawing;

    // DisplayObject
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    bool hitTestLocal(double x, double y) const override;
    // Around its children as placed.
    Rect localBounds() const override;
    // One frame passes for this clip alone: its enterFrame, then its next frame.
    void tick() override;
    // One frame passes for a level: every instance in it ticks, in the runtime's order.
    void tickLevel();
    void removed() override;
    bool scriptable() const override { return true; }
    MovieClip* asClip() override { return this; }

    // TimelineControl
    void play() override { playing_ = true; }
    void stop() override { playing_ = false; }
    void gotoFrame(uint32_t frame) override;
    bool gotoLabel(std::string_view label) override;
    void nextFrame() override;
    void prevFrame() override;
    uint32_t loadedFrameCount() const override { return static_cast<uint32_t>(timeline_->frames.size()); }
    // Every frame the file declares is there (a truncated file lacks some).
    bool fullyLoaded() const { return timeline_->frames.size() >= timeline_->declaredFrameCount; }
    bool waitsForFrames() const;

    // Movies: the main movie's root, each level and every clip a movie was loaded into
    // carry the movie they play; the clips inside take their characters, version and _root
    // from the nearest such clip above them.
    const std::shared_ptr<const MovieDef>& ownMovie() const { return ownMovie_; }
    const MovieDef& movie() const;
    MovieClip* movieRoot();
    // Tells apart each load of a movie (a definition's address may be reused by the next).
    uint64_t movieLoadSerial() const;
    // Plays `movie` from its first frame in place of what the clip showed: children,
    // timeline and frame go; the clip keeps its place, name and transform.
    void replaceMovie(std::shared_ptr<const MovieDef> movie, std::string url);
    // Shows nothing any more (unloadMovie): an empty timeline, no children, no movie.
    void clearContent();
    // Where the clip's movie came from (_url), for clips that carry one.
    const std::string& movieUrl() const { return movieUrl_; }
    // onClipEvent handlers its parent's timeline gave it.
    std::vector<ClipAction> clipActions;
    // The level this clip is the root of, or -1.
    int32_t level = -1;
    // _lockroot: scripts of the movie inside see this clip as _root.
    bool lockRoot = false;
    // Where the pointer stands towards the clip while a script makes it act as a button.
    PointerPhase buttonPhase = PointerPhase::Idle;
    // Frames of the main timeline played so far (exports become usable there).
    uint32_t movieFrameReached = 0;
    TimelineControl* resolvePath(std::string_view path) override;

    // Display-list changes scripts make. Scripted children stay where they are put until a
    // script moves or removes them; the timeline no longer places or removes them.
    // Puts `child` at `depth` under `name`, replacing whatever stood there.
    void placeScripted(std::shared_ptr<DisplayObject> child, const std::string& name, int32_t depth);
    // A new clip with no frames of its own.
    MovieClip* createEmptyClip(const std::string& name, int32_t depth);
    // The character a movie exports under `name` (ExportAssets), 0 when none: matched exactly
    // first, then without regard to case.
    uint16_t exportedCharacter(const std::string& name) const;
    // The sound a movie exports under `name` (attachSound), null when none.
    const SoundDef* exportedSound(const std::string& name) const;
    // A new text field of `def` (createTextField: no character behind it).
    DisplayObject* createTextField(const std::string& name, int32_t depth, std::shared_ptr<const EditTextDef> def);
    // A new instance of `characterId`, or null when it names nothing displayable.
    DisplayObject* attachCharacter(uint16_t characterId, const std::string& name, int32_t depth);
    // Moves `child` to `depth`, swapping with whatever stands there.
    void swapChildDepth(DisplayObject& child, int32_t depth);
    void removeScripted(DisplayObject& child);
    // One above the highest depth in use, and never below the first script depth.
    int32_t nextHighestDepth() const;
    // The depth where scripts' depth 0 lies.
    static constexpr int32_t kScriptDepthOffset = 16384;
    // An empty timeline for clips scripts create.
    static const Timeline& emptyTimeline();

    // Runs the actions of `frame` now without going there (the Call action).
    void runFrameActionsNow(uint32_t frame);
    // The 0-based frame carrying `label`, or -1.
    int frameOfLabel(std::string_view label) const;

private:
    // What the timeline says should stand at one depth.
    struct Slot {
        uint16_t characterId = 0;
        uint32_t placedFrame = 0;
        Matrix matrix;
        ColorTransform colorTransform;
        uint16_t ratio = 0;
        uint16_t clipDepth = 0;
        std::string name;
        bool visible = true;
        BlendMode blendMode = BlendMode::Normal;
        FilterList filters;
        std::vector<ClipAction> clipActions;
    };
    using Plan = std::map<uint16_t, Slot>;

    class TagOrder;

    Plan currentPlan() const;
    void applyFrameTags(uint32_t frame, Plan& plan);
    static void applyPlace(const PlaceObject& place, uint32_t frame, Plan& plan);
    void reconcile(const Plan& plan, TagOrder& order, bool rewinding);
    void queueFrameActions(uint32_t frame, TagOrder& order);
    // Queues `frame`'s actions and brings the display list in line with `plan`, what each
    // queues in the order of the frame's tags.
    void enterFrame(uint32_t frame, const Plan& plan, bool rewinding);
    // Moves to `target`, replaying placements of the frames in between (or from the first
    // frame when going backwards) and queueing the actions of `target` alone.
    void seek(uint32_t target);
    void removeChild(Children::iterator it);

    const Timeline* timeline_;
    std::shared_ptr<const MovieDef> ownMovie_;
    uint64_t movieLoadSerial_ = 0;
    std::string movieUrl_;
    Children children_;
    uint32_t current_ = 0;
    bool started_ = false;
    bool playing_ = true;
};

}  // namespace swf
