#pragma once
// The script side of a movie clip: its display properties (_x, _alpha, ...) and named
// children read as properties, its own variables as ordinary slots. The clip may leave the
// stage while scripts still hold the object; it then reads as an empty object.
#include <array>
#include <memory>
#include <string>

#include "avm1/Function.h"
#include "avm1/Object.h"
#include "player/Host.h"

namespace swf {
class DisplayObject;
class MovieClip;
}

namespace swf::avm1 {

class ClipObject final : public Object {
public:
    ClipObject(Object* proto, std::weak_ptr<DisplayObject> clip)
        : Object(proto), clip_(std::move(clip)), held_(clip_.lock().get()) {}

    MovieClip* clip() const;
    ClipObject* asClip() override { return this; }
    DisplayObject* displayObject() const override;
    const char* typeName() const override { return "movieclip"; }
    bool getSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool setSpecial(Vm& vm, const std::string& name, const Value& value) override;
    void trailingNames(std::vector<std::string>& names) override;

private:
    bool specialPath(Vm& vm, MovieClip* mc, const std::string& name, Value& out);
    std::weak_ptr<DisplayObject> clip_;
    // What clip_ points to, read only while clip_ has not expired: every variable of a
    // timeline asks for its clip, and locking the weak pointer each time cost a sixth of a
    // script calling methods.
    DisplayObject* held_;
};

// loadVariables: the text at `url` becomes variables of `into` once the frame's scripts are
// done; with GET or POST the variables of `from` go along.
void loadClipVariables(Vm& vm, Object* into, MovieClip* from, const std::string& url, UrlMethod method);

// getURL aimed at a level ("_level2") or, with `clipTarget`, at a clip path: loads (or with
// an empty URL unloads) a movie there and returns true; false for a window target.
bool requestMovieLoad(Vm& vm, MovieClip* from, const std::string& url, const std::string& target, UrlMethod method,
                      bool clipTarget);
// The number of "_levelN" (any case), or -1.
int32_t levelNumber(const std::string& name);

// GetProperty / SetProperty by index (0 _x ... 21 _ymouse), of clips and of the buttons and
// text fields scripts reach (frame properties are the clip's only).
Value getClipProperty(Vm& vm, DisplayObject* clip, int index);
void setClipProperty(Vm& vm, DisplayObject* clip, int index, const Value& value);
// The index of a display property name ("_x" is 0), or -1.
int displayPropertyIndex(const std::string& name);
// "_level0.a.b", as a clip converts to a string.
std::string dotPath(const DisplayObject* clip);
// "/a/b" ("/" for the root), as _target reads.
std::string slashPath(const DisplayObject* clip);

// getBounds, getRect, localToGlobal, globalToLocal and hitTest on the clip prototype.
void installClipGeometry(Vm& vm, Object* clipProto);
// lineStyle, beginFill, beginGradientFill, moveTo, lineTo, curveTo, endFill and clear.
void installClipDrawing(Vm& vm, Object* clipProto);
// startDrag and stopDrag.
void installClipDragging(Vm& vm, Object* clipProto);
// The StartDrag action: `target` (a clip or its path from `from`) follows the pointer, inside
// `bounds` (left, top, right, bottom in pixels) when given.
void startDragByAction(Vm& vm, MovieClip* from, const Value& target, bool lockCenter,
                       const std::array<Value, 4>* bounds);

// duplicateMovieClip: a copy of `clip` beside it, named `name` at display-list depth `depth`;
// null when the clip has no parent or the depth cannot be taken.
MovieClip* duplicateClip(MovieClip* clip, const std::string& name, int32_t depth);
// The CloneSprite action: a clip is duplicated as above; a text field, button or video comes
// back as a fresh instance of its character keeping only the original's transform and
// colour (a field a script made, having no character, as an empty input field). Anything
// else, or an instance without a parent, is not copied.
DisplayObject* cloneInstance(Vm& vm, DisplayObject* instance, const std::string& name, int32_t depth);
// removeMovieClip: only clips at script depths (0 and up) go.
void removeScriptedClip(MovieClip* clip);

// getDepth of clips, buttons and text fields.
Value getDepth(Vm& vm, NativeCall& call);

// The script face of a button or text field: its display properties, its path as its text.
class StageObject final : public Object {
public:
    StageObject(Object* proto, std::weak_ptr<DisplayObject> instance) : Object(proto), instance_(std::move(instance)) {}
    DisplayObject* instance() const { return instance_.lock().get(); }
    DisplayObject* displayObject() const override { return instance(); }
    bool getSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool setSpecial(Vm& vm, const std::string& name, const Value& value) override;

private:
    std::weak_ptr<DisplayObject> instance_;
};
// A target path in slash ("/a/b", "../c") or dot ("_root.a.b", "_parent.c") form.
MovieClip* resolveClipPath(Vm& vm, MovieClip* from, const std::string& path);
// The same path naming any stage object: a clip, a button or a text field.
DisplayObject* resolveStagePath(Vm& vm, MovieClip* from, const std::string& path);

}  // namespace swf::avm1
