#pragma once
// A button: the characters of its current state, its hit area, and the state machine that
// mouse input drives. Actions of a transition run in the timeline holding the button.
#include <memory>
#include <utility>
#include <vector>

#include "model/Button.h"
#include "player/DisplayObject.h"
#include "player/PointerPhase.h"

namespace swf {

class ButtonInstance final : public DisplayObject {
public:
    using Phase = PointerPhase;

    ButtonInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const ButtonDef> def);

    const ButtonDef& def() const { return *def_; }
    Phase phase() const { return phase_; }
    // The record state shown in a phase (Up, Over or Down).
    static ButtonState shownState(Phase phase);
    // Moves to `next`: swaps the shown characters, queues the actions whose condition is this
    // transition and reports the transition's sound to the host. A button that lets go of a
    // press while disabled changes state `quietly`: no actions, no sound.
    void transition(Phase next, bool quietly = false);

    bool scriptable() const override { return true; }

    void emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const override;
    // Against the shapes of the hit state only, exactly.
    bool hitTestLocal(double x, double y) const override;
    // Around the characters of the state shown.
    Rect localBounds() const override;
    void removed() override;
    // The instances of the state shown, lowest depth first (they tick with the level).
    std::vector<DisplayObject*> shownParts() const;
    ~ButtonInstance() override;
    void placementChanged() override;
    ButtonInstance* asButton() override { return this; }

private:
    using Part = std::pair<const ButtonRecord*, std::shared_ptr<DisplayObject>>;
    // Instances of the records shown in `state`; `live` ones belong to the parent's timeline
    // (their actions run), the hit area's do not.
    std::vector<Part> build(ButtonState state, bool live);
    void adopt(DisplayObject& child);
    static void release(DisplayObject& child);

    std::shared_ptr<const ButtonDef> def_;
    Phase phase_ = Phase::Idle;
    std::vector<Part> shown_;
    std::vector<Part> hitArea_;
};

// The file's condition bit for a transition between two phases (0 when none exists).
uint16_t buttonCondition(ButtonInstance::Phase from, ButtonInstance::Phase to);

}  // namespace swf
