// Pointer input: what under the pointer takes mouse input (a button, a clip a script gave
// button handlers, a selectable text field), the press and release state machine buttons and
// such clips share, the mouse events every clip hears, and clicks moving the keyboard focus.
#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "avm1/Vm.h"
#include "player/ButtonInstance.h"
#include "player/EditTextInstance.h"
#include "player/FocusManager.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/PlayerContext.h"

namespace swf {

namespace {

using Phase = PointerPhase;

// The handler a clip or a button object hears for a change of state. A menu item pressed by
// dragging onto it, or let go by dragging off, hears the drag events too.
const char* handlerFor(uint16_t condition) {
    switch (condition) {
        case IdleToOverUp: return "onRollOver";
        case OverUpToIdle: return "onRollOut";
        case OverUpToOverDown: return "onPress";
        case OverDownToOverUp: return "onRelease";
        case OverDownToOutDown: return "onDragOut";
        case OutDownToOverDown: return "onDragOver";
        case OutDownToIdle: return "onReleaseOutside";
        case IdleToOverDown: return "onDragOver";
        case OverDownToIdle: return "onDragOut";
        default: return nullptr;
    }
}

// The onClipEvent bit of the same change: a clip's on(press), on(release)... handlers.
uint32_t clipEventFor(uint16_t condition) {
    switch (condition) {
        case IdleToOverUp: return ClipRollOver;
        case OverUpToIdle: return ClipRollOut;
        case OverUpToOverDown: return ClipPress;
        case OverDownToOverUp: return ClipRelease;
        case OverDownToOutDown: case OverDownToIdle: return ClipDragOut;
        case OutDownToOverDown: case IdleToOverDown: return ClipDragOver;
        case OutDownToIdle: return ClipReleaseOutside;
        default: return 0;
    }
}

constexpr uint32_t kButtonClipEvents =
    ClipPress | ClipRelease | ClipReleaseOutside | ClipRollOver | ClipRollOut | ClipDragOver | ClipDragOut;

// Whether the instance's `enabled` lets it take mouse input. Only a value a script set that
// reads false turns it off: the corpus shows a press after `enabled = undefined`.
bool enabledForMouse(avm1::Vm& vm, DisplayObject& instance) {
    bool enabled = true;
    // A getter may run, or the prototype chain loop: the lookup runs under the script guards.
    vm.runGuardedAction([&] {
        avm1::Value v = vm.get(vm.stageObject(&instance), "enabled");
        enabled = v.isUndefined() || v.isNull() || vm.toBoolean(v);
    });
    return enabled;
}

struct PointerHit {
    DisplayObject* target = nullptr;
    bool field = false;  // a selectable text field, which a click gives the focus
    bool link = false;   // linked text in a field, which a click follows
    double localX = 0, localY = 0;  // the point in a field's own coordinates
};

// The topmost instance taking mouse input at a point. Shapes, static text and clips without
// button handlers let the pointer through to what lies below; so do disabled buttons.
class Picker {
public:
    explicit Picker(avm1::Vm& vm) : vm_(vm) {}

    // Each lookup runs under the script guards on its own, so one clip whose prototype chain
    // loops does not hide the rest of the stage; scripts they run (a getter on `enabled`) may
    // change the display list, so the walk holds what it visits.
    PointerHit at(const PlayerContext& context, double x, double y) {
        PointerHit hit;
        std::vector<std::shared_ptr<MovieClip>> levels;
        for (const auto& [number, level] : context.levels()) levels.push_back(level);
        for (auto it = levels.rbegin(); it != levels.rend() && !hit.target; ++it)
            if ((*it)->visible) {
                double lx, ly;
                (*it)->matrix.inverted().apply(x, y, lx, ly);
                hit = inside(**it, lx, ly, 0);
            }
        return hit;
    }

    bool actsAsButton(MovieClip& clip) {
        // A level is never a button, whatever handlers it has (root_button_mode).
        if (clip.level >= 0) return false;
        // Button events its parent's timeline gave it make it one too (ruffle-shumway nested-button).
        for (const ClipAction& action : clip.clipActions)
            if (action.events & kButtonClipEvents) return true;
        if (!clip.scriptObject) return false;
        bool acts = false;
        vm_.runGuardedAction([&] { acts = swf::actsAsButton(vm_, clip.scriptObject); });
        return acts;
    }

private:
    // `x`, `y` in the clip's own coordinates.
    PointerHit inside(MovieClip& clip, double x, double y, int nesting) {
        if (nesting > PlayerContext::kMaxNesting) return {};
        std::vector<std::shared_ptr<DisplayObject>> children;
        std::vector<DisplayObject*> masks;
        for (const auto& [depth, child] : clip.children()) {
            children.push_back(child);
            if (child->clipDepth > 0) masks.push_back(child.get());
        }
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            DisplayObject& child = **it;
            if (child.clipDepth > 0 || !child.visible || maskedOut(masks, child, x, y)) continue;
            double lx, ly;
            child.matrix.inverted().apply(x, y, lx, ly);
            if (ButtonInstance* button = child.asButton()) {
                if (button->hitTestLocal(lx, ly) && enabledForMouse(vm_, *button)) return {button, false};
            } else if (MovieClip* inner = child.asClip()) {
                if (actsAsButton(*inner) && enabledForMouse(vm_, *inner)) {
                    if (hitsArea(*inner, lx, ly)) return {inner, false};
                    continue;
                }
                PointerHit hit = inside(*inner, lx, ly, nesting + 1);
                if (hit.target) return hit;
            } else if (auto* field = dynamic_cast<EditTextInstance*>(&child)) {
                if (!field->hitTestLocal(lx, ly)) continue;
                const bool link = field->linkAt(lx, ly) != nullptr;
                // Text that cannot be selected still takes clicks on its links.
                if (!field->settings().noSelect || link) return {field, !field->settings().noSelect, link, lx, ly};
            }
        }
        return {};
    }

    // A clip's hitArea, when a script named another clip for it, stands in for what the clip
    // draws.
    bool hitsArea(MovieClip& clip, double x, double y) {
        DisplayObject* areaClip = nullptr;
        vm_.runGuardedAction([&] {
            avm1::Object* area = vm_.get(clip.scriptObject, "hitArea").object();
            areaClip = area ? area->displayObject() : nullptr;
        });
        if (!areaClip || areaClip == &clip || !areaClip->asClip()) return clip.hitTestLocal(x, y);
        // The area may stand anywhere on the stage: the point goes there by way of the stage.
        double sx = x, sy = y;
        for (const DisplayObject* at = &clip; at; at = at->parent) at->matrix.apply(sx, sy, sx, sy);
        Matrix toArea;
        for (const DisplayObject* at = areaClip; at; at = at->parent) toArea = at->matrix * toArea;
        double ax, ay;
        toArea.inverted().apply(sx, sy, ax, ay);
        return areaClip->hitTestLocal(ax, ay);
    }

    // Under a mask layer, only what the mask covers takes the pointer.
    static bool maskedOut(const std::vector<DisplayObject*>& masks, const DisplayObject& child, double x, double y) {
        for (const DisplayObject* mask : masks)
            if (mask->depth < child.depth && child.depth <= mask->clipDepth && !mask->hitTest(x, y)) return true;
        return false;
    }

    avm1::Vm& vm_;
};

// The instance as a button or a clip acting as one, while it still stands on the stage.
DisplayObject* asLiveTarget(const std::weak_ptr<DisplayObject>& weak) {
    auto strong = weak.lock();
    if (!strong || !strong->parent || !onStageNow(*strong)) return nullptr;
    return strong.get();
}

PointerPhase phaseOf(DisplayObject& target) {
    if (ButtonInstance* button = target.asButton()) return button->phase();
    if (MovieClip* clip = target.asClip()) return clip->buttonPhase;
    return Phase::Idle;
}

// A clip acting as a button shows the frame labelled for its state, when it has one, and stays
// there, as a button shows its up, over and down characters.
void showStateFrame(MovieClip& clip, Phase phase) {
    const char* label = phase == Phase::Idle ? "_up" : phase == Phase::OverDown ? "_down" : "_over";
    if (clip.frameOfLabel(label) < 0) return;
    clip.gotoLabel(label);
    clip.stop();
}

bool isMenu(DisplayObject& target, avm1::Vm& vm) {
    if (ButtonInstance* button = target.asButton()) return button->def().trackAsMenu;
    bool menu = false;
    vm.runGuardedAction([&] {
        avm1::Value v = vm.get(vm.stageObject(&target), "trackAsMenu");
        menu = !v.isUndefined() && vm.toBoolean(v);
    });
    return menu;
}

}  // namespace

void Player::changePhase(DisplayObject& target, PointerPhase next, bool quietly) {
    PointerPhase from = phaseOf(target);
    if (from == next) return;
    uint16_t condition = buttonCondition(from, next);
    if (ButtonInstance* button = target.asButton()) button->transition(next, quietly);
    else if (MovieClip* clip = target.asClip()) {
        clip->buttonPhase = next;
        showStateFrame(*clip, next);
    }
    if (quietly) return;
    // A button's own actions for the change come first (a clip's on() handlers), then its
    // object's handler.
    if (MovieClip* clip = target.asClip())
        if (uint32_t event = clipEventFor(condition)) context_->queueClipActions(*clip, event);
    if (const char* handler = handlerFor(condition)) context_->queueHandler(target, handler);
}

void Player::updatePointer() {
    avm1::Vm& vm = context_->scriptMachine();
    Picker picker(vm);
    PointerHit hit = pointerInside_ ? picker.at(*context_, pointerX_, pointerY_) : PointerHit{};
    DisplayObject* under = hit.field || hit.link ? nullptr : hit.target;
    DisplayObject* pressed = asLiveTarget(pressed_);
    if (!pressed) pressed_.reset();
    // A disabled press stays as it is until the mouse button comes up.
    if (pressed && enabledForMouse(vm, *pressed)) {
        if (isMenu(*pressed, vm) && under != pressed) {
            changePhase(*pressed, Phase::Idle);  // a menu item lets go as soon as it is left
            pressed_.reset();
            pressed = nullptr;
        } else {
            changePhase(*pressed, under == pressed ? Phase::OverDown : Phase::OutDown);
        }
    }
    if (!pressed) {
        DisplayObject* hovered = asLiveTarget(hovered_);
        // Something disabled keeps the state it had: enabled again under a still pointer, it
        // hears nothing new.
        if (hovered && hovered != under && enabledForMouse(vm, *hovered)) changePhase(*hovered, Phase::Idle);
        hovered_.reset();
        if (under) {
            hovered_ = under->weak_from_this();
            if (!buttonDown_) {
                changePhase(*under, Phase::OverUp);
            } else if (isMenu(*under, vm) && phaseOf(*under) == Phase::Idle) {
                changePhase(*under, Phase::OverDown);  // dragging onto a menu item presses it
                pressed_ = hovered_;
            }
        }
    }
    settle();
}

void Player::mouseMove(double x, double y) {
    bool moved = !pointerInside_ || pointerX_ != x * kTwipsPerPixel || pointerY_ != y * kTwipsPerPixel;
    pointerX_ = x * kTwipsPerPixel;
    pointerY_ = y * kTwipsPerPixel;
    context_->pointerX = pointerX_;
    context_->pointerY = pointerY_;
    pointerInside_ = true;
    context_->updateDrag();
    updatePointer();
    if (moved) context_->mouseEvent("onMouseMove");
}

namespace {
uint8_t keyCodeOf(Player::MouseButton button) {
    switch (button) {
        case Player::MouseButton::Left: return 1;
        case Player::MouseButton::Right: return 2;
        case Player::MouseButton::Middle: return 4;
    }
    return 1;
}
}  // namespace

void Player::mouseDown(double x, double y, MouseButton button) {
    mouseMove(x, y);
    context_->scriptMachine().keyboard.pressButton(keyCodeOf(button));
    if (button != MouseButton::Left) return;
    buttonDown_ = true;
    // Every clip hears of the click first, then the focus moves, then the press.
    context_->mouseEvent("onMouseDown");
    avm1::Vm& vm = context_->scriptMachine();
    PointerHit hit = Picker(vm).at(*context_, pointerX_, pointerY_);
    // A click gives the focus to the selectable text field under it, and takes it from
    // whatever held it otherwise: clips and buttons never take it from the mouse.
    context_->focusManager().set(hit.field ? hit.target : nullptr);
    // The caret goes where the field was clicked (its handlers may have moved the focus on).
    if (hit.field && context_->focusManager().current() == hit.target) {
        auto* field = static_cast<EditTextInstance*>(hit.target);
        const size_t caret = field->caretIndexAt(hit.localX, hit.localY);
        field->setSelection(caret, caret);
    }
    settle();
    if (hit.link) followLink(*static_cast<EditTextInstance*>(hit.target), hit.localX, hit.localY);
    DisplayObject* hovered = asLiveTarget(hovered_);
    if (hovered && !asLiveTarget(pressed_) && enabledForMouse(vm, *hovered)) {
        changePhase(*hovered, Phase::OverDown);
        pressed_ = hovered_;
    }
    settle();
}

// "asfunction:name,argument" calls the function the name leads to from the field's timeline,
// with the text after the first comma; any other link goes to the host as getURL would.
void Player::followLink(EditTextInstance& field, double x, double y) {
    const TextStyle* link = field.linkAt(x, y);
    if (!link || !field.parent) return;
    const std::string url = link->url, target = link->target;
    constexpr std::string_view kScheme = "asfunction:";
    if (url.size() < kScheme.size() || !std::equal(kScheme.begin(), kScheme.end(), url.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        })) {
        deliverGetUrl(context_->host(), url, target, UrlMethod::None);
        return;
    }
    const std::string call = url.substr(kScheme.size());
    const size_t comma = call.find(',');
    const std::string path = call.substr(0, comma);
    std::vector<avm1::Value> args;
    if (comma != std::string::npos) args.emplace_back(call.substr(comma + 1));
    avm1::Vm& vm = context_->scriptMachine();
    vm.runGuardedAction([&] {
        // "a.b.f": each step a member of the last, from the timeline; f runs on a.b.
        avm1::Value holder(vm.clipObject(field.parent));
        avm1::Value fn = holder;
        size_t begin = 0;
        while (begin <= path.size()) {
            const size_t dot = std::min(path.find('.', begin), path.size());
            avm1::Object* from = fn.object();
            if (!from) return;
            holder = fn;
            fn = vm.get(from, path.substr(begin, dot - begin));
            begin = dot + 1;
        }
        if (fn.object() && fn.object()->asFunction()) vm.call(fn, holder, std::move(args));
    });
    settle();
}

void Player::mouseUp(double x, double y, MouseButton button) {
    mouseMove(x, y);
    context_->scriptMachine().keyboard.releaseButton(keyCodeOf(button));
    if (button != MouseButton::Left) return;
    buttonDown_ = false;
    context_->mouseEvent("onMouseUp");
    avm1::Vm& vm = context_->scriptMachine();
    if (DisplayObject* pressed = asLiveTarget(pressed_)) {
        if (!enabledForMouse(vm, *pressed)) {
            changePhase(*pressed, Phase::Idle, true);  // disabled while held: the press just ends
            if (asLiveTarget(hovered_) == pressed) hovered_.reset();
        } else {
            bool over = Picker(vm).at(*context_, pointerX_, pointerY_).target == pressed;
            changePhase(*pressed, over ? Phase::OverUp : Phase::Idle);
            if (!over && asLiveTarget(hovered_) == pressed) hovered_.reset();
        }
    }
    pressed_.reset();
    updatePointer();
}

void Player::mouseLeave() {
    pointerInside_ = false;
    updatePointer();
}

void Player::focusLost() {
    // As Tab moves it: the holder rolls out before it hears it lost the focus.
    context_->focusManager().set(nullptr, FocusManager::Cause::Tab);
    settle();
}

ButtonInstance* Player::activeButton() const {
    if (DisplayObject* pressed = asLiveTarget(pressed_)) return pressed->asButton();
    DisplayObject* hovered = asLiveTarget(hovered_);
    return hovered ? hovered->asButton() : nullptr;
}

}  // namespace swf
