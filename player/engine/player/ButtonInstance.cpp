#include "player/ButtonInstance.h"

#include <algorithm>

#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf {

using Phase = ButtonInstance::Phase;

uint16_t buttonCondition(Phase from, Phase to) {
    struct Edge { Phase from, to; uint16_t condition; };
    static constexpr Edge kEdges[] = {
        {Phase::Idle, Phase::OverUp, IdleToOverUp},          {Phase::OverUp, Phase::Idle, OverUpToIdle},
        {Phase::OverUp, Phase::OverDown, OverUpToOverDown},  {Phase::OverDown, Phase::OverUp, OverDownToOverUp},
        {Phase::OverDown, Phase::OutDown, OverDownToOutDown}, {Phase::OutDown, Phase::OverDown, OutDownToOverDown},
        {Phase::OutDown, Phase::Idle, OutDownToIdle},        {Phase::Idle, Phase::OverDown, IdleToOverDown},
        {Phase::OverDown, Phase::Idle, OverDownToIdle},
    };
    for (const Edge& e : kEdges)
        if (e.from == from && e.to == to) return e.condition;
    return 0;
}

namespace {
// Index into ButtonDef::sounds of the transition's sound, or -1.
int soundSlot(uint16_t condition) {
    switch (condition) {
        case OverUpToIdle: return 0;
        case IdleToOverUp: return 1;
        case OverUpToOverDown: return 2;
        case OverDownToOverUp: return 3;
        default: return -1;
    }
}
}  // namespace

ButtonInstance::ButtonInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const ButtonDef> def)
    : DisplayObject(context, characterId), def_(std::move(def)) {
    shown_ = build(ButtonUp, true);
    hitArea_ = build(ButtonHitTest, false);
}

ButtonState ButtonInstance::shownState(Phase phase) {
    switch (phase) {
        case Phase::Idle: return ButtonUp;
        case Phase::OverUp: return ButtonOver;
        case Phase::OverDown: return ButtonDown;
        case Phase::OutDown: return ButtonOver;  // pressed and dragged off: the runtime shows Over
    }
    return ButtonUp;
}

std::vector<ButtonInstance::Part> ButtonInstance::build(ButtonState state, bool live) {
    std::vector<const ButtonRecord*> records;
    for (const ButtonRecord& r : def_->records)
        if (r.states & state) records.push_back(&r);
    std::stable_sort(records.begin(), records.end(),
                     [](const ButtonRecord* a, const ButtonRecord* b) { return a->depth < b->depth; });
    std::vector<Part> parts;
    for (const ButtonRecord* r : records) {
        if (r->characterId == characterId()) continue;  // a button inside itself would never end
        std::shared_ptr<DisplayObject> child = context_.instantiate(r->characterId);
        if (!child) continue;
        child->depth = r->depth;
        child->matrix = r->matrix;
        child->colorTransform = r->colorTransform;
        child->blendMode = r->blendMode;
        child->filters = r->filters;
        if (live && parent) adopt(*child);
        if (MovieClip* clip = child->asClip()) clip->start();
        parts.emplace_back(r, std::move(child));
    }
    return parts;
}

void ButtonInstance::transition(Phase next, bool quietly) {
    if (next == phase_) return;
    uint16_t condition = buttonCondition(phase_, next);
    bool stateChanges = shownState(next) != shownState(phase_);
    phase_ = next;
    if (stateChanges) {
        for (auto& [record, child] : shown_) release(*child);
        shown_ = build(shownState(next), true);
    }
    if (quietly) return;
    if (int slot = soundSlot(condition); slot >= 0 && def_->sounds[slot])
        context_.startSound(def_->sounds[slot]->soundId, def_->sounds[slot]->info);
    if (condition && parent)
        for (const ButtonAction& action : def_->actions)
            if ((action.conditions & condition) && action.keyCode == 0) context_.queueActions(*parent, action.actions);
}

void ButtonInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    for (const auto& [record, child] : shown_)
        child->emitPlaced(out, toStage * child->matrix, cx * child->colorTransform);
}

bool ButtonInstance::hitTestLocal(double x, double y) const {
    for (const auto& [record, child] : hitArea_)
        if (child->hitTest(x, y)) return true;
    return false;
}

Rect ButtonInstance::localBounds() const {
    Rect out = Rect::none();
    for (const auto& [record, child] : shown_) out = out.united(child->matrix.mapped(child->localBounds()));
    return out;
}

std::vector<DisplayObject*> ButtonInstance::shownParts() const {
    std::vector<DisplayObject*> out;
    for (const auto& [record, child] : shown_) out.push_back(child.get());
    return out;
}

void ButtonInstance::placementChanged() {
    // The button learns its parent (and its own name) only once placed.
    for (auto& [record, child] : shown_) adopt(*child);
}

// What the button shows runs in the button's timeline, while its path runs through the
// button; unnamed, it takes an "instanceN" name after the button's own, as the runtime's do.
void ButtonInstance::adopt(DisplayObject& child) {
    child.parent = parent;
    child.heldByButton = this;
    if (child.name.empty() && child.scriptable()) child.name = "instance" + std::to_string(++context_.unnamedInstances);
}

// The button's parts may outlive it (a script holding one): they forget the button first.
void ButtonInstance::release(DisplayObject& child) {
    child.removed();
    child.heldByButton = nullptr;
    child.parent = nullptr;  // off the stage: its queued handlers no longer run
}

ButtonInstance::~ButtonInstance() {
    for (auto& [record, child] : shown_) child->heldByButton = nullptr;
}

void ButtonInstance::removed() {
    for (auto& [record, child] : shown_) release(*child);
    for (auto& [record, child] : hitArea_) child->removed();
}

}  // namespace swf
