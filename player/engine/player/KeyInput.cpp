// Keys reaching the movie: onClipEvent(keyDown/keyUp/keyPress), Key's listeners, the handler
// of the instance holding the focus, buttons' key conditions, and Tab moving the focus.
#include <vector>

#include "avm1/Vm.h"
#include "player/ButtonInstance.h"
#include "player/MovieClip.h"
#include "player/Player.h"
#include "player/PlayerContext.h"

namespace swf {

namespace {

void collectInstances(MovieClip& clip, std::vector<MovieClip*>& clips, std::vector<ButtonInstance*>& buttons) {
    clips.push_back(&clip);
    for (const auto& [depth, child] : clip.children()) {
        if (MovieClip* inner = child->asClip()) collectInstances(*inner, clips, buttons);
        else if (ButtonInstance* button = child->asButton()) buttons.push_back(button);
    }
}

bool shown(const DisplayObject& instance) {
    for (const DisplayObject* at = &instance; at; at = at->parent)
        if (!at->visible) return false;
    return true;
}

}  // namespace

uint8_t buttonKeyCode(uint8_t code, uint16_t ascii) {
    using namespace avm1::keycode;
    switch (code) {
        case kLeft: return 1;
        case kRight: return 2;
        case kHome: return 3;
        case kEnd: return 4;
        case kInsert: return 5;
        case kDelete: return 6;
        case kBackspace: return 8;
        case kEnter: return 13;
        case kUp: return 14;
        case kDown: return 15;
        case kPageUp: return 16;
        case kPageDown: return 17;
        case kTab: return 18;
        case kEscape: return 19;
        default: break;
    }
    return ascii >= 32 && ascii < 128 ? static_cast<uint8_t>(ascii) : 0;
}

void Player::keyDown(uint8_t code, uint16_t ascii) { context_->keyEvent(true, code, ascii, buttonKeyCode(code, ascii)); }
void Player::keyUp(uint8_t code, uint16_t ascii) { context_->keyEvent(false, code, ascii, 0); }

bool PlayerContext::setFocus(DisplayObject* instance) {
    if (instance && !focus_.canTakeFocus(*instance)) return false;
    focus_.set(instance);
    return true;
}

void PlayerContext::keyEvent(bool down, uint8_t code, uint16_t ascii, uint8_t buttonKey) {
    if (!root) return;
    if (down) vm_->keyboard.press(code, ascii);
    else vm_->keyboard.release(code, ascii);
    vm_->rootClip = root;
    vm_->setVersion(movie_->header.version);

    std::vector<MovieClip*> clips;
    std::vector<ButtonInstance*> buttons;
    for (const auto& [number, level] : levels_) collectInstances(*level, clips, buttons);
    std::vector<std::shared_ptr<DisplayObject>> alive;  // scripts may remove what was collected
    for (MovieClip* clip : clips) alive.push_back(clip->shared_from_this());
    for (ButtonInstance* button : buttons) alive.push_back(button->shared_from_this());

    for (MovieClip* clip : clips) {
        queueClipActions(*clip, down ? ClipKeyDown : ClipKeyUp);
        if (down && buttonKey)
            for (const ClipAction& action : clip->clipActions)
                if ((action.events & ClipKeyPress) && action.keyCode == buttonKey)
                    queue_.push_back({clip->shared_from_this(), clip, action.actions});
    }
    runQueuedActions();

    // The focused clip or button hears the key first, then Key's listeners.
    const char* message = down ? "onKeyDown" : "onKeyUp";
    DisplayObject* focused = focus_.current();
    std::shared_ptr<DisplayObject> holdFocused = focused ? focused->shared_from_this() : nullptr;
    // Text fields hear typing through onChanged, not keys.
    if (focused && (focused->asClip() || focused->asButton())) callHandler(*focused, message, {});
    vm_->broadcast("Key", message);
    runQueuedActions();

    // Conditions for characters are met when the character arrives (textInput), after
    // the keys a dead key needed: here only the keys that type nothing.
    const bool claimed = down && buttonKey && buttonKey < 32 && pressButtonKey(buttonKey);

    // Space presses and releases the focused button, as a click would.
    if (down && code == avm1::keycode::kSpace && focused && focused->asButton() && onStageNow(*focused)) {
        ButtonInstance& button = *focused->asButton();
        for (uint16_t condition : {uint16_t{OverUpToOverDown}, uint16_t{OverDownToOverUp}}) {
            for (const ButtonAction& action : button.def().actions)
                if ((action.conditions & condition) && action.keyCode == 0 && button.parent)
                    queueActions(*button.parent, action.actions);
            runQueuedActions();
            callHandler(button, condition == OverUpToOverDown ? "onPress" : "onRelease", {});
            runQueuedActions();
        }
    }

    if (down && code == avm1::keycode::kTab && !claimed) {
        focus_.tab(vm_->keyboard.down.test(avm1::keycode::kShift));
        runQueuedActions();
    }
}

bool PlayerContext::pressButtonKey(uint8_t buttonKey) {
    std::vector<MovieClip*> clips;
    std::vector<ButtonInstance*> buttons;
    for (const auto& [number, level] : levels_) collectInstances(*level, clips, buttons);
    bool claimed = false;
    // The first shown button with the key takes it; other buttons do not hear it.
    for (ButtonInstance* button : buttons) {
        if (!button->parent || !onStageNow(*button) || !shown(*button)) continue;
        for (const ButtonAction& action : button->def().actions)
            if (action.keyCode == buttonKey) {
                queueActions(*button->parent, action.actions);
                claimed = true;
            }
        if (claimed) break;
    }
    runQueuedActions();
    return claimed;
}

void PlayerContext::queueHandler(DisplayObject& instance, const char* name) {
    if (!root) return;
    // The instance may outlive the clip it stood in by the time this runs (its parent link
    // then dangles), so nothing here trusts that link: the call first finds it on the stage.
    Pending pending{instance.shared_from_this(), root, SharedBytes(), name, Pending::Special::InstanceHandler};
    pending.offStage = true;
    queue_.push_back(std::move(pending));
}

void PlayerContext::callHandlerIfOnStage(DisplayObject& instance, const char* name) {
    if (onStageNow(instance)) callHandler(instance, name, {});
}

void PlayerContext::callHandler(DisplayObject& instance, const char* name, std::vector<avm1::Value> args) {
    vm_->runGuardedAction([&] {
        avm1::Object* obj = vm_->stageObject(&instance);
        avm1::Value fn = vm_->get(obj, name);
        if (fn.object() && fn.object()->asFunction()) vm_->call(fn, avm1::Value(obj), std::move(args));
    });
}

}  // namespace swf
