#pragma once
// Keyboard focus: which clip, button or text field keys go to, the events a change of focus
// sends (onKillFocus, onSetFocus, Selection's listeners), and the order Tab walks.
#include <memory>
#include <vector>

namespace swf::avm1 {
class Object;
class Vm;
}

namespace swf {

class DisplayObject;
class PlayerContext;

class FocusManager {
public:
    explicit FocusManager(PlayerContext& context) : context_(context) {}

    // The instance holding the focus, or null (also once it has left the stage).
    DisplayObject* current() const;
    // Whether a script may give `instance` the focus: text fields and buttons always, clips
    // that enable focus or act as buttons.
    bool canTakeFocus(DisplayObject& instance) const;
    // Moves the focus (null: nobody) and tells the old holder, the new one and Selection's
    // listeners, at once. Giving it to the holder again tells nobody. Clips and buttons
    // gaining or losing it also roll over or out: after the script that moved it, or before
    // the focus events when Tab moved it.
    enum class Cause { Script, Tab };
    void set(DisplayObject* next, Cause cause = Cause::Script);
    // Tab (or Shift+Tab): the next (previous) instance of the tab order, round the end.
    void tab(bool backwards);
    // Everything Tab reaches, in the order it reaches them.
    std::vector<DisplayObject*> tabOrder() const;
    // `leaving` is taken off the stage: if it holds the focus or contains what does, nobody
    // holds it any more. Selection's listeners hear of it at the next moment a script can
    // ask (deliverLoss): a timeline removing children is no place to run scripts.
    void instanceLeaving(DisplayObject& leaving);
    void deliverLoss();

private:
    void tellChange(DisplayObject* from, DisplayObject* to);
    void highlight(DisplayObject* from, DisplayObject* to);
    PlayerContext& context_;
    std::weak_ptr<DisplayObject> focus_;
    // The instance that lost the focus and its parents up to the one removed, kept until the
    // listeners have heard: its path must still read whole.
    std::vector<std::shared_ptr<DisplayObject>> lost_;
    bool lossPending_ = false;
};

// Whether a clip's object has a handler that makes the clip act as a button (onPress,
// onRelease, onRollOver...: present, not necessarily a function).
bool actsAsButton(avm1::Vm& vm, avm1::Object* obj);

// Whether the instance stands on the stage now (removed instances linger in scripts).
bool onStageNow(const DisplayObject& instance);

}  // namespace swf
