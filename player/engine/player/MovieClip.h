#pragma once
// A timeline with its display list: the main movie and every sprite instance. Frames are
// reached by replaying the control tags of the timeline onto a depth-ordered plan and then
// bringing the live display list in line with it, so playing forward, jumping ahead and
// rewinding share one set of placement rules.
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "model/ControlTags.h"
#include "player/ActionInterpreter.h"
#include "player/DisplayObject.h"

namespace swf {

class MovieClip final : public DisplayObject, public TimelineControl {
public:
    MovieClip(PlayerContext& context, uint16_t characterId, const Timeline& timeline);

    // Shows the first frame: its placements happen now, its actions are queued.
    void start();

    uint32_t currentFrame() const { return current_; }  // 0-based
    uint32_t frameCount() const;
    bool playing() const { return playing_; }
    const std::map<uint16_t, std::shared_ptr<DisplayObject>>& children() const { return children_; }
    DisplayObject* childAt(uint16_t depth) const;
    MovieClip* clipByName(std::string_view name) const;
    // Still part of the stage (removed clips keep running queued actions on nothing).
    bool onStage() const;

    // DisplayObject
    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    bool hitTestLocal(double x, double y) const override;
    void tick() override;
    void removed() override;
    MovieClip* asClip() override { return this; }

    // TimelineControl
    void play() override { playing_ = true; }
    void stop() override { playing_ = false; }
    void gotoFrame(uint32_t frame) override;
    bool gotoLabel(std::string_view label) override;
    void nextFrame() override;
    void prevFrame() override;
    uint32_t loadedFrameCount() const override { return static_cast<uint32_t>(timeline_.frames.size()); }
    TimelineControl* resolvePath(std::string_view path) override;

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
    };
    using Plan = std::map<uint16_t, Slot>;

    Plan currentPlan() const;
    void applyFrameTags(uint32_t frame, Plan& plan);
    static void applyPlace(const PlaceObject& place, uint32_t frame, Plan& plan);
    void reconcile(const Plan& plan);
    void queueFrameActions(uint32_t frame);
    // Moves to `target`, replaying placements of the frames in between (or from the first
    // frame when going backwards) and queueing the actions of `target` alone.
    void seek(uint32_t target);
    void removeChild(std::map<uint16_t, std::shared_ptr<DisplayObject>>::iterator it);

    const Timeline& timeline_;
    std::map<uint16_t, std::shared_ptr<DisplayObject>> children_;
    uint32_t current_ = 0;
    bool started_ = false;
    bool playing_ = true;
};

}  // namespace swf
