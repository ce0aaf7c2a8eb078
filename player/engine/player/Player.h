#pragma once
// One playing movie: time, pointer input and drawing of the whole stage. The embedding
// program (the COM control, swfrender, tests) drives it:
//   advance() once per frame interval, mouse*() as input arrives, changedRect() to learn
//   what needs redrawing, render() to draw it.
#include <memory>
#include <string>

#include "model/Movie.h"
#include "player/DrawList.h"
#include "player/Host.h"
#include "player/PointerPhase.h"
#include "player/TextCommand.h"
#include "render/Renderer.h"

namespace swf::avm1 {
struct Limits;
class Vm;
}

namespace swf {

class ButtonInstance;
class DisplayObject;
class EditTextInstance;
class MovieClip;
class PlayerContext;

class Player {
public:
    // Shows the movie's first frame (its actions have run when this returns). `scriptLimits`
    // replaces the script machine's limits (tests and fuzzers make them small).
    // `url` is where the movie came from, as its scripts read it (_url) and as its stored
    // data is kept apart from other movies'; empty when unknown.
    Player(std::shared_ptr<const MovieDef> movie, Host& host, const avm1::Limits* scriptLimits = nullptr,
           std::string url = {});
    // The same, without showing the first frame: an owner that must hold the player before
    // its first scripts can call back into it (through the host) calls start() itself.
    struct Unstarted {};
    Player(Unstarted, std::shared_ptr<const MovieDef> movie, Host& host, const avm1::Limits* scriptLimits = nullptr,
           std::string url = {});
    // Shows the first frame; once (later calls do nothing).
    void start();
    ~Player();
    // The movie is closing: scripts' last work (shared objects not yet flushed are written).
    // Once only; the destructor does it if the owner has not.
    void endMovie();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    const MovieDef& movie() const;
    MovieClip& root();
    const MovieClip& root() const;

    // One frame interval: timelines move on, then the actions the frame queued run.
    void advance();
    // The embedder's goto: the main timeline jumps to `frame` (0-based, clamped to the movie)
    // and stops; the target frame's actions have run when this returns.
    void gotoFrame(uint32_t frame);
    // Action blocks dropped because the movie kept queueing more of them (a runaway loop).
    uint64_t actionBlocksCutOff() const;
    // The movie's script machine (tools and tests call into it directly).
    avm1::Vm& scriptMachine();

    // Pointer input in stage pixels (1 stage pixel = 20 twips, origin at the stage's corner)
    // (PointerInput.cpp). Only the left button clicks; the others are keys scripts can ask
    // about (Key.isDown(2) right, 4 middle).
    enum class MouseButton : uint8_t { Left, Right, Middle };
    void mouseMove(double x, double y);
    void mouseDown(double x, double y, MouseButton button = MouseButton::Left);
    void mouseUp(double x, double y, MouseButton button = MouseButton::Left);
    void mouseLeave();
    // The window lost the keyboard: whatever held the focus loses it.
    void focusLost();
    // Keyboard input: `code` is the key as scripts see it (Key.getCode), `ascii` the
    // character it types (0 for none). Buttons' conditions for keys that type nothing (Tab,
    // arrows, Enter...) are met here; the character itself arrives through textInput.
    void keyDown(uint8_t code, uint16_t ascii);
    void keyUp(uint8_t code, uint16_t ascii);
    // A character typed, after its key went down (the character a dead key composes, or
    // one a key typed with no key code of its own): a button whose key condition names it
    // takes it, else the focused input field.
    void textInput(char32_t character);
    // An editing command for the focused text field (paste, copy, cut, select all, Enter...).
    void textCommand(TextCommand command);
    // The container's calls into the movie (HostCalls.cpp). Variables are named as the main
    // timeline's frame actions name them ("score", "/clip:score", "_root.clip.score"); a
    // variable no script set reads as nothing. callFunction runs a function the movie
    // registered with ExternalInterface.addCallback: `request` and the answer are in the
    // container's XML call format; nothing when no such function is registered.
    void setVariable(const std::string& name, const std::string& value);
    std::optional<std::string> getVariable(const std::string& name);
    std::optional<std::string> callFunction(const std::string& request);
    // The button under the pointer or being pressed, if any.
    ButtonInstance* activeButton() const;

    // The colour of the stage behind everything (SetBackgroundColor; white if none).
    Rgba backgroundColor() const;
    // The quality a render call asks for, flipped while the movie has toggled it.
    render::Quality effectiveQuality(render::Quality requested) const;

    // The stage as drawing commands, first drawn first.
    DrawList drawList() const;

    // Draws the stage into `target`; stageToPixel maps stage twips to target pixels. Pixels
    // the movie does not cover keep their value, unless `opaque` paints the background
    // colour first.
    void render(const render::Target& target, const Matrix& stageToPixel, render::Quality quality, bool opaque);

    // Pixels that would change if the stage were rendered now with `stageToPixel`, compared
    // with the last render(): everything the first time, or when the transform or the
    // background changed.
    render::PixelRect changedRect(const Matrix& stageToPixel) const;

    // A matrix that shows the whole stage in a width x height pixel area, scaled uniformly
    // and centred (the runtime's default "show all" mode).
    static Matrix showAll(const Rect& stage, int width, int height);

private:
    struct Drawn {
        DrawItem item;
        render::PixelRect bounds;
    };
    void updatePointer();
    // Moves a button, or a clip acting as one, to `next`: its actions and handler for the
    // change run after the scripts queued before them. `quietly`: no event at all.
    void changePhase(DisplayObject& target, PointerPhase next, bool quietly = false);
    // A click on linked text at (x, y) in the field's own twips.
    void followLink(EditTextInstance& field, double x, double y);
    void settle();
    render::PixelRect stagePixels(const Matrix& stageToPixel) const;

    std::unique_ptr<PlayerContext> context_;
    bool movieEnded_ = false;
    std::shared_ptr<MovieClip> root_;
    render::Renderer renderer_;
    render::BitmapResolver bitmaps_;
    const Dictionary* mainDictionary_ = nullptr;
    bool started_ = false;
    const Dictionary* drawingDictionary_ = nullptr;
    const Image* drawingPicture_ = nullptr;  // the item being drawn shows a script's picture
    std::vector<std::vector<Pixel>> layerPool_;  // group buffers, kept between frames

    // Pointer state: what the pointer is over and what the left button pressed (a button, or a
    // clip acting as one).
    double pointerX_ = 0, pointerY_ = 0;  // twips
    bool pointerInside_ = false, buttonDown_ = false;
    std::weak_ptr<DisplayObject> hovered_, pressed_;

    // What the last render drew.
    std::vector<Drawn> lastDrawn_;
    Matrix lastStageToPixel_;
    Rgba lastBackground_;
    bool rendered_ = false;
};

}  // namespace swf
