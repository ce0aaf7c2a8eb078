#pragma once
// One movie playing inside our Flash control, with no COM in sight: the engine's player, the
// frame clock on the GUI thread, the view (scale mode, alignment, zoom and pan, quality,
// background), drawing into a device context, pointer input, and the commands of the
// control's context menu. The COM object (FlashControl) owns one and forwards to it; tests
// drive it directly.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "player/ocx/KeyboardInput.h"

namespace vm::flash {

// What the playback asks of the control that owns it. Called on the GUI thread, from inside
// the playback's own calls (a frame tick, input, a load).
class PlaybackOwner {
public:
    virtual ~PlaybackOwner() = default;
    // The picture changed inside `rect` (control coordinates, relative to the view's top-left
    // corner); null: everything.
    virtual void Invalidate(const RECT* rect) = 0;
    // getURL("FSCommand:...") and fscommand() from the movie.
    virtual void FSCommand(const std::wstring& command, const std::wstring& args) = 0;
    // getURL of anything else: the control decides what to do (load a layer, open a window).
    virtual void GetUrl(const std::wstring& url, const std::wstring& target) = 0;
    // The frame number changed, a movie finished loading, or playback started or stopped:
    // the control raises its property-change notifications from here.
    virtual void StateChanged() = 0;
    // ExternalInterface.call from the movie: `request` in the container's XML call format
    // ("<invoke name=...>"). The answer is the container's value in the same format, or
    // nothing when it gave none. The container may call into the movie before it answers.
    virtual std::optional<std::wstring> ExternalCall(const std::wstring& request) = 0;
    // A file the movie's scripts load (loadMovie, loadVariables, XML, LoadVars, sounds), the
    // URL as the movie gave it. Answered at once: nothing when it cannot be had now.
    virtual std::optional<std::vector<std::uint8_t>> Fetch(const std::wstring& url) = 0;
};

enum class ScaleMode { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };
// Alignment bits, as the control's AlignMode property holds them.
enum AlignBits : int { alignLeft = 1, alignRight = 2, alignTop = 4, alignBottom = 8 };
enum class RenderQuality { Low = 0, High = 1, AutoLow = 2, AutoHigh = 3, Medium = 4, Best = 5 };

class MoviePlayback final : public KeyboardTarget {
public:
    explicit MoviePlayback(PlaybackOwner& owner);
    ~MoviePlayback();
    MoviePlayback(const MoviePlayback&) = delete;
    MoviePlayback& operator=(const MoviePlayback&) = delete;

    // Decodes and shows the movie's first frame; starts playing when Playing is set (the
    // default). A movie that cannot be decoded leaves the playback empty and returns false
    // with the reason in `error` (never throws for bad bytes). `url` is where the movie came
    // from (UTF-8): its scripts read it, and its stored data is filed under it.
    bool Load(std::span<const std::uint8_t> bytes, std::string& error, const std::string& url = {});
    void Unload();
    bool HasMovie() const;
    // The reason the last load failed ("" after a successful one).
    const std::string& LoadError() const;

    // The control's rectangle on its container (the in-place rectangle): the view fits the
    // movie into it. Drawing and input use coordinates relative to its top-left corner.
    void SetViewSize(int width, int height);

    // Timeline.
    void Play();
    void Stop();
    bool Playing() const;
    void SetPlaying(bool playing);
    bool Loop() const;
    void SetLoop(bool loop);
    void Rewind();             // to frame 0, stopped
    void Back();               // one frame back, stopped
    void Forward();            // one frame on, stopped
    void GotoFrame(int frame); // 0-based; clamped to the movie; stops
    int FrameNum() const;      // 0-based current frame of the main timeline; -1 without a movie
    int TotalFrames() const;
    double FrameRate() const;  // frames per second of the loaded movie (0 without one)
    // The movie's stage in pixels (false without a movie).
    bool StageSize(long& width, long& height) const;

    // View.
    ScaleMode Scale() const;
    void SetScale(ScaleMode mode);
    int AlignMode() const;
    void SetAlignMode(int bits);
    // Zoom(percent): 0 shows the whole movie again; other values zoom in (<100) or out (>100)
    // around the view's centre, as the control's Zoom method does.
    void Zoom(int percent);
    // Pan(x, y, mode): mode 0 in pixels, 1 in percent of the view.
    void Pan(int x, int y, int mode);
    RenderQuality Quality() const;
    void SetQuality(RenderQuality quality);
    // -1: the movie's own background colour; otherwise 0x00RRGGBB.
    int BackgroundColor() const;
    void SetBackgroundColor(int rgb);
    // Transparent: pixels the movie does not cover stay untouched; otherwise the background
    // colour fills the view first.
    bool Transparent() const;
    void SetTransparent(bool transparent);

    // Draws the current frame into `dc` at `bounds` (logical coordinates of `dc`). Into a 32-bit
    // top-down DIB section selected in `dc` the engine renders straight into its pixels,
    // honouring the window/viewport origin and the clip box; any other DC gets the frame through
    // GDI (AlphaBlend of a premultiplied buffer), leaving uncovered pixels untouched.
    // Returns false when there is nothing to draw.
    bool Draw(HDC dc, const RECT& bounds);

    // Pointer input in view coordinates. Returns true when the movie used the event (a button
    // reacted); HandCursor() says whether the pointer is over an active button.
    bool MouseMove(int x, int y);
    bool MouseDown(int x, int y);
    bool MouseUp(int x, int y);
    void MouseLeave();
    bool HandCursor() const;

    // Keyboard input (KeyboardInput translates the window's messages into these), and the
    // keyboard going elsewhere: whatever held the focus in the movie loses it.
    void KeyDown(std::uint8_t code, char32_t character) override;
    void KeyUp(std::uint8_t code, char32_t character) override;
    void TypeCharacter(char32_t character) override;
    void EditText(swf::TextCommand command) override;
    void FocusLost();

    // The frame clock: a message-only window's timer on the GUI thread that advances the movie
    // at its frame rate, catching up on late ticks so no frame is lost to drift (at most a few
    // frames per tick, then it resynchronises), and invalidates only what changed.
    // Frames advanced since the movie loaded (for tests and the benchmark).
    std::uint64_t FramesAdvanced() const;
    // Advances `frames` frames now, exactly as that many due frames of the clock would (for
    // the benchmark, which cannot wait for real time).
    void AdvanceFrames(int frames);

    // The container's calls into the movie. Variables are named as scripts name them (a
    // plain name on the main timeline, or a path: "clip.name", "/clip:name"); a variable
    // that is not there reads as nothing, and so does anything without a movie. CallFunction
    // runs a function the movie offered through ExternalInterface.addCallback: `request` and
    // the answer are in the container's XML call format; nothing when no such function is
    // offered. Scripts they start run to the end (and stop at the script limits) before they
    // return, and the frame and play state they change reach the owner as after any input.
    bool SetVariable(const std::wstring& name, const std::wstring& value);
    std::optional<std::wstring> GetVariable(const std::wstring& name);
    std::optional<std::wstring> CallFunction(const std::wstring& request);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vm::flash
