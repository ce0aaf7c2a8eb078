#pragma once
// What the playback tests share: an owner that records every call, writer-made movies, and
// 32-bit DIB sections to draw into and compare.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ActionAssembler.h"
#include "Actions.h"
#include "LoadingMovies.h"
#include "Movie.h"
#include "framework/GdiObject.h"
#include "player/ocx/MoviePlayback.h"

namespace vm::flash::test {

class RecordingOwner : public PlaybackOwner {
public:
    void Invalidate(const RECT* rect) override {
        if (rect) rects.push_back(*rect);
        else ++wholeInvalidations;
    }
    void FSCommand(const std::wstring& command, const std::wstring& args) override { commands.push_back({command, args}); }
    void GetUrl(const std::wstring& url, const std::wstring& target) override { urls.push_back({url, target}); }
    void StateChanged() override { ++stateChanges; }
    std::optional<std::wstring> ExternalCall(const std::wstring& request) override {
        externalRequests.push_back(request);
        if (onExternalCall) return onExternalCall(request);
        return externalAnswer;
    }
    // Serves `files` by the name the movie gave.
    std::optional<std::vector<std::uint8_t>> Fetch(const std::wstring& url) override {
        fetched.push_back(url);
        auto found = files.find(url);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }

    std::map<std::wstring, std::vector<std::uint8_t>> files;
    std::vector<std::wstring> fetched;
    std::vector<std::wstring> externalRequests;
    std::optional<std::wstring> externalAnswer;
    // Answers in place of externalAnswer: a container's handler, which may call the movie.
    std::function<std::optional<std::wstring>(const std::wstring&)> onExternalCall;
    std::vector<RECT> rects;
    int wholeInvalidations = 0;
    std::vector<std::pair<std::wstring, std::wstring>> commands, urls;
    int stateChanges = 0;
};

inline swf::Matrix At(double x, double y) { return swf::Matrix::translate(x * 20, y * 20); }

// A filled rectangle in pixels, as a shape of its own.
inline uint16_t DefineBox(swfw::Movie& movie, int width, int height, swf::Rgba colour) {
    swfw::ShapeBuilder shape;
    shape.fill1(shape.addSolidFill(colour)).rectangle(0, 0, width * 20, height * 20);
    return movie.defineShape(shape);
}

// `frames` frames; a 10x10 box moves 5 pixels right each frame on a 200x100 stage.
inline swfw::Movie MovingBoxMovie(int frames, double frameRate = 12, uint8_t version = 6) {
    auto movie = swfw::Movie::pixels(version, 200, 100, frameRate);
    movie.backgroundColor({255, 255, 255, 255});
    const uint16_t box = DefineBox(movie, 10, 10, {200, 0, 0, 255});
    for (int f = 0; f < frames; ++f) {
        swfw::Placement place{.depth = 1, .matrix = At(20 + 5 * f, 40)};
        if (f == 0) place.character = box;
        else place.move = true;
        movie.place(place);
        movie.showFrame();
    }
    return movie;
}

inline std::vector<uint8_t> Bytes(const swfw::Movie& movie) { return movie.bytes(); }

// A SWF 8 movie that writes each key going down as "code:ascii " into `keys` (a Key listener).
inline swfw::Movie KeyListenerMovie() {
    enum : uint8_t { GetVariable = 0x1C, SetVariable = 0x1D, SetMember = 0x4F, CallMethod = 0x52, NewObject = 0x40,
                     Add2 = 0x47, Pop = 0x17, Stop = 0x07 };
    swfw::ActionAssembler a;
    a.setVariable("keys", std::string());
    a.push({"listener", 0.0, "Object"}).op(NewObject).op(SetVariable);
    a.push({"listener"}).op(GetVariable).push({"onKeyDown"});
    a.function("", {}, [](swfw::ActionAssembler& f) {
        f.push({"keys", "keys"}).op(GetVariable);
        f.push({0.0, "Key"}).op(GetVariable).push({"getCode"}).op(CallMethod).op(Add2);
        f.push({":"}).op(Add2);
        f.push({0.0, "Key"}).op(GetVariable).push({"getAscii"}).op(CallMethod).op(Add2);
        f.push({" "}).op(Add2).op(SetVariable);
    });
    a.op(SetMember);
    a.push({"listener"}).op(GetVariable).push({1.0, "Key"}).op(GetVariable).push({"addListener"}).op(CallMethod).op(Pop);
    a.op(Stop);
    return OneFrameScriptMovie(a);
}

// A SWF 8 movie whose first frame sets `greeting` to "h\u00E9", offers two functions to the
// container (ExternalInterface.addCallback): twice(x) = x + x, and relay(x), which asks the
// container askHost(x) and returns its answer; keeps the container's answer to askHost(7)
// (ExternalInterface.call) in `answer`, and stops.
inline swfw::Movie ContainerCallsMovie() {
    enum : uint8_t { GetVariable = 0x1C, SetVariable = 0x1D, GetMember = 0x4E, CallMethod = 0x52, Add2 = 0x47,
                     Return = 0x3E, Pop = 0x17, Stop = 0x07 };
    auto externalInterface = [](swfw::ActionAssembler& a) {
        a.push({"flash"}).op(GetVariable).push({"external"}).op(GetMember).push({"ExternalInterface"}).op(GetMember);
    };
    swfw::ActionAssembler a;
    a.setVariable("greeting", std::string("h\xC3\xA9"));
    a.function("twice", {"x"}, [](swfw::ActionAssembler& f) {
        f.push({"x"}).op(GetVariable).push({"x"}).op(GetVariable).op(Add2).op(Return);
    });
    a.function("relay", {"x"}, [&](swfw::ActionAssembler& f) {
        f.push({"x"}).op(GetVariable).push({"askHost", 2.0});
        externalInterface(f);
        f.push({"call"}).op(CallMethod).op(Return);
    });
    for (const char* offered : {"twice", "relay"}) {
        a.push({offered}).op(GetVariable).push({swfw::Null{}, offered, 3.0});
        externalInterface(a);
        a.push({"addCallback"}).op(CallMethod).op(Pop);
    }
    a.push({"answer", 7.0, "askHost", 2.0});
    externalInterface(a);
    a.push({"call"}).op(CallMethod).op(SetVariable);
    a.op(Stop);
    return OneFrameScriptMovie(a);
}

// A 32-bpp DIB section, top-down unless `bottomUp`, selected into a memory DC of its own.
class Dib {
public:
    Dib(int width, int height, bool bottomUp = false) : width_(width), height_(height), bottomUp_(bottomUp) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = bottomUp ? height : -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Dib() { SelectObject(dc_.Get(), old_); }
    HDC Dc() const { return dc_.Get(); }
    void Fill(uint32_t pixel) {
        GdiFlush();
        std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, pixel);
    }
    uint32_t At(int x, int y) const {
        GdiFlush();
        const int row = bottomUp_ ? height_ - 1 - y : y;
        return bits_[static_cast<size_t>(row) * width_ + x];
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    bool bottomUp_;
    TMemoryDC dc_;
    TBitmapHandle bitmap_;
    uint32_t* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// The bounding box of pixels that differ from `untouched`; empty (right <= left) if none.
inline RECT ChangedArea(const Dib& dib, uint32_t untouched) {
    RECT r{dib.Width(), dib.Height(), 0, 0};
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            if (dib.At(x, y) != untouched) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

} // namespace vm::flash::test
