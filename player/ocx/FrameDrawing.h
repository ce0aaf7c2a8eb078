#pragma once
// Puts a rendered frame onto a device context. A 32-bit top-down DIB section selected in the DC
// is drawn into directly (the fast path: no copy, no blend); anything else (other bitmaps,
// printers, metafiles) gets the frame rendered into a buffer of our own, transparent where the
// movie draws nothing, and alpha-blended on, so uncovered pixels stay as they were either way.
#include <windows.h>

#include <functional>
#include <memory>

#include "framework/GdiObject.h"
#include "render/Renderer.h"

namespace vm::flash {

class FrameDrawing {
public:
    // Renders into a target whose pixel (0, 0) is the top-left corner of the bounds; it must
    // touch no pixel outside target.clip.
    using RenderFunction = std::function<void(const swf::render::Target&)>;

    // Returns false when the DC cannot take the frame (no buffer, a failed blend).
    bool Draw(HDC dc, const RECT& bounds, const RenderFunction& render);

    // Which path the last Draw took (for tests).
    bool LastDrawWasDirect() const { return lastDirect_; }

private:
    enum class Direct { Done, NotApplicable, Failed };
    Direct DrawIntoDibSection(HDC dc, const RECT& bounds, const RenderFunction& render);
    bool DrawThroughGdi(HDC dc, const RECT& bounds, const RenderFunction& render);
    bool EnsureBuffer(int width, int height);
    // Asked once per bitmap: the answer costs a row read back from GDI.
    bool IsTopDown(HDC dc, HBITMAP bitmap, const DIBSECTION& dib);

    struct KnownDib {
        HBITMAP bitmap = nullptr;
        void* bits = nullptr;
        LONG width = 0, height = 0;
        friend bool operator==(const KnownDib&, const KnownDib&) = default;
    };
    KnownDib knownDib_;
    bool knownTopDown_ = false;

    // The bitmap outlives the DC it is selected into: a selected bitmap cannot be deleted.
    TBitmapHandle buffer_;
    std::unique_ptr<TMemoryDC> bufferDC_;
    HGDIOBJ bufferDefaultBitmap_ = nullptr;
    swf::Pixel* bufferBits_ = nullptr;
    int bufferWidth_ = 0, bufferHeight_ = 0;
    bool lastDirect_ = false;
};

} // namespace vm::flash
