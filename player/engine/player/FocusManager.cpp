#include "player/FocusManager.h"

#include <algorithm>
#include <optional>
#include <string>

#include "avm1/Vm.h"
#include "player/ButtonInstance.h"
#include "player/EditTextInstance.h"
#include "player/MovieClip.h"
#include "player/PlayerContext.h"

namespace swf {

namespace {

// Handlers that make a clip act as a button: such a clip is tabbable without tabEnabled.
constexpr const char* kButtonHandlers[] = {"onPress",   "onRelease", "onReleaseOutside", "onRollOver",
                                           "onRollOut", "onDragOver", "onDragOut"};

// A script-set boolean property: nullopt while unset (undefined or null).
std::optional<bool> scriptFlag(avm1::Vm& vm, avm1::Object* obj, const char* name) {
    avm1::Value v = vm.get(obj, name);
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    return vm.toBoolean(v);
}

// The tabIndex a script gave, if any. -1 is how the runtime stores "none", so it counts as
// unset too (a field given -1 leaves the custom order).
std::optional<int32_t> tabIndexOf(avm1::Vm& vm, avm1::Object* obj) {
    avm1::Value v = vm.get(obj, "tabIndex");
    if (v.isUndefined() || v.isNull()) return std::nullopt;
    int32_t index = vm.toInt32(v);
    if (index == -1) return std::nullopt;
    return index;
}

bool editable(const DisplayObject& instance) {
    auto* field = dynamic_cast<const EditTextInstance*>(&instance);
    return field && !field->def().readOnly;
}

Rect stageBounds(const DisplayObject& instance) {
    Matrix toStage = instance.matrix;
    for (const MovieClip* p = instance.parent; p; p = p->parent) toStage = p->matrix * toStage;
    Rect local = instance.localBounds();
    if (local.empty()) {
        // Nothing drawn: where it stands is its origin.
        int32_t x = static_cast<int32_t>(toStage.tx), y = static_cast<int32_t>(toStage.ty);
        return {x, x, y, y};
    }
    return toStage.mapped(local);
}

struct Candidate {
    DisplayObject* instance;
    std::optional<int32_t> tabIndex;
};

// Depth-first through the display list, parents before their children and lower depths
// first: the order ties keep.
void collectTabbable(avm1::Vm& vm, MovieClip& clip, std::vector<Candidate>& out) {
    for (const auto& [depth, child] : clip.children()) {
        if (!child->visible || !child->scriptable()) continue;
        avm1::Object* obj = vm.stageObject(child.get());
        std::optional<bool> enabled = scriptFlag(vm, obj, "tabEnabled");
        std::optional<int32_t> index = tabIndexOf(vm, obj);
        if (MovieClip* inner = child->asClip()) {
            bool tabbable = enabled.value_or(index.has_value() || actsAsButton(vm, obj));
            if (tabbable) out.push_back({child.get(), index});
            if (scriptFlag(vm, obj, "tabChildren").value_or(true)) collectTabbable(vm, *inner, out);
        } else if (child->asButton()) {
            if (enabled.value_or(true) && scriptFlag(vm, obj, "enabled").value_or(true)) out.push_back({child.get(), index});
        } else if (editable(*child)) {
            if (enabled.value_or(true)) out.push_back({child.get(), index});
        }
    }
}

}  // namespace

bool actsAsButton(avm1::Vm& vm, avm1::Object* obj) {
    for (const char* name : kButtonHandlers)
        if (vm.has(obj, name)) return true;
    return false;
}

namespace {
bool holds(const MovieClip& clip, const DisplayObject& instance) {
    for (const auto& [depth, child] : clip.children()) {
        if (child.get() == &instance) return true;
        if (const MovieClip* inner = child->asClip(); inner && holds(*inner, instance)) return true;
    }
    return false;
}
}  // namespace

bool onStageNow(const DisplayObject& instance) {
    // Searched from the levels down: an instance kept alive past the clip it stood in (by a
    // queued call) has a parent link that may no longer point anywhere.
    for (const auto& [number, level] : instance.context().levels())
        if (level.get() == &instance || holds(*level, instance)) return true;
    return false;
}

DisplayObject* FocusManager::current() const {
    auto held = focus_.lock();
    if (!held || !onStageNow(*held)) return nullptr;
    return held.get();
}

bool FocusManager::canTakeFocus(DisplayObject& instance) const {
    if (!onStageNow(instance)) return false;
    // Buttons and text fields; a video has an object but never the focus.
    if (!instance.asClip()) return instance.asButton() || dynamic_cast<EditTextInstance*>(&instance);
    avm1::Vm& vm = context_.scriptMachine();
    avm1::Object* obj = vm.stageObject(&instance);
    if (scriptFlag(vm, obj, "focusEnabled").value_or(false)) return true;
    return scriptFlag(vm, obj, "tabEnabled").value_or(actsAsButton(vm, obj));
}

void FocusManager::set(DisplayObject* next, Cause cause) {
    // The handlers run below may remove either instance from the stage.
    std::shared_ptr<DisplayObject> holdNext = next ? next->shared_from_this() : nullptr;
    deliverLoss();
    DisplayObject* previous = current();
    std::shared_ptr<DisplayObject> holdPrevious = previous ? previous->shared_from_this() : nullptr;
    if (previous == next) {
        // A script giving the focus again still makes the holder roll out and back over.
        if (cause == Cause::Script && next) highlight(next, next);
        return;
    }
    focus_ = next ? next->weak_from_this() : std::weak_ptr<DisplayObject>();
    if (auto* field = dynamic_cast<EditTextInstance*>(previous)) field->clearSelection();
    if (cause == Cause::Script) {
        // Queued before the focus events run: a handler that moves the focus on queues its
        // own highlight after this one.
        highlight(previous, next);
        tellChange(previous, next);
    } else {
        highlight(previous, next);
        context_.runQueuedActions();  // Tab: the highlight moves before the focus events
        tellChange(previous, next);
    }
    // A field taking the focus has all its text selected, once the focus events are told
    // (they still read no selection).
    if (auto* field = dynamic_cast<EditTextInstance*>(next); field && current() == next) field->selectAll();
}

void FocusManager::highlight(DisplayObject* from, DisplayObject* to) {
    // Clips and buttons show the focus as a pointer over them would; text fields do not.
    auto roll = [&](DisplayObject* instance, bool over) {
        if (!instance || !(instance->asClip() || instance->asButton())) return;
        if (ButtonInstance* button = instance->asButton(); button && button->parent) {
            uint16_t condition = over ? IdleToOverUp : OverUpToIdle;
            for (const ButtonAction& action : button->def().actions)
                if ((action.conditions & condition) && action.keyCode == 0)
                    context_.queueActions(*button->parent, action.actions);
        }
        context_.queueHandler(*instance, over ? "onRollOver" : "onRollOut");
    };
    roll(from, false);
    roll(to, true);
}

void FocusManager::instanceLeaving(DisplayObject& leaving) {
    auto held = focus_.lock();
    if (!held) return;
    const DisplayObject* at = held.get();
    while (at && at != &leaving) at = at->parent;
    if (!at) return;
    focus_.reset();
    lost_.clear();
    for (DisplayObject* d = held.get(); d; d = d == &leaving ? nullptr : d->parent) lost_.push_back(d->shared_from_this());
    lossPending_ = true;
}

void FocusManager::deliverLoss() {
    if (!lossPending_) return;
    lossPending_ = false;
    std::vector<std::shared_ptr<DisplayObject>> chain = std::move(lost_);
    lost_.clear();
    DisplayObject* lost = chain.empty() ? nullptr : chain.front().get();
    avm1::Vm& vm = context_.scriptMachine();
    if (avm1::Object* selection = vm.get(vm.global, "Selection").object())
        vm.broadcastFrom(selection, "onSetFocus", {lost ? avm1::Value(vm.stageObject(lost)) : avm1::Value::null(),
                                                   avm1::Value::null()});
}

void FocusManager::tellChange(DisplayObject* from, DisplayObject* to) {
    avm1::Vm& vm = context_.scriptMachine();
    auto asValue = [&](DisplayObject* d) { return d ? avm1::Value(vm.stageObject(d)) : avm1::Value::null(); };
    auto callHandler = [&](DisplayObject* target, const char* name, avm1::Value argument) {
        if (!target) return;
        avm1::Object* obj = vm.stageObject(target);
        avm1::Value fn = vm.get(obj, name);
        if (fn.object() && fn.object()->asFunction()) vm.call(fn, avm1::Value(obj), {argument});
    };
    vm.runGuardedAction([&] {
        callHandler(from, "onKillFocus", asValue(to));
        callHandler(to, "onSetFocus", asValue(from));
    });
    if (avm1::Object* selection = vm.get(vm.global, "Selection").object())
        vm.broadcastFrom(selection, "onSetFocus", {asValue(from), asValue(to)});
}

std::vector<DisplayObject*> FocusManager::tabOrder() const {
    avm1::Vm& vm = context_.scriptMachine();
    std::vector<Candidate> candidates;
    for (const auto& [number, level] : context_.levels())
        if (scriptFlag(vm, vm.stageObject(level.get()), "tabChildren").value_or(true)) collectTabbable(vm, *level, candidates);
    bool custom = std::any_of(candidates.begin(), candidates.end(), [](const Candidate& c) { return c.tabIndex.has_value(); });
    std::vector<DisplayObject*> order;
    if (custom) {
        // Only what has an index takes part, lowest first; equal indexes keep the list's order.
        std::erase_if(candidates, [](const Candidate& c) { return !c.tabIndex; });
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return *a.tabIndex < *b.tabIndex; });
    } else {
        // Reading order: top to bottom, then left to right.
        std::vector<std::pair<Rect, Candidate>> placed;
        for (const Candidate& c : candidates) placed.emplace_back(stageBounds(*c.instance), c);
        std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
            if (a.first.yMin != b.first.yMin) return a.first.yMin < b.first.yMin;
            return a.first.xMin < b.first.xMin;
        });
        for (size_t i = 0; i < placed.size(); ++i) candidates[i] = placed[i].second;
    }
    for (const Candidate& c : candidates) order.push_back(c.instance);
    return order;
}

void FocusManager::tab(bool backwards) {
    std::vector<DisplayObject*> order = tabOrder();
    if (order.empty()) return;
    DisplayObject* now = current();
    auto at = std::find(order.begin(), order.end(), now);
    size_t next;
    if (at == order.end()) next = backwards ? order.size() - 1 : 0;
    else {
        size_t i = static_cast<size_t>(at - order.begin());
        next = backwards ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
    }
    set(order[next], Cause::Tab);
}

}  // namespace swf
