#pragma once
// RAII for GDI handles: objects deleted with DeleteObject, device contexts released or deleted,
// and a scope guard for SelectObject that puts the previous object back.
#include <windows.h>

#include <utility>

namespace vm {

template <class H> class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H handle) : h_(handle) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(TGdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& o) noexcept { if (this != &o) { Reset(); h_ = std::exchange(o.h_, nullptr); } return *this; }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset(H h = nullptr) { if (h_) DeleteObject(h_); h_ = h; }
    H Release() { return std::exchange(h_, nullptr); }
private:
    H h_ = nullptr;
};

using TFontHandle = TGdiObject<HFONT>;
using TPenHandle = TGdiObject<HPEN>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TRegionHandle = TGdiObject<HRGN>;

// A memory device context (CreateCompatibleDC), deleted on destruction.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~TMemoryDC() { if (dc_) DeleteDC(dc_); }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Get() const { return dc_; }
private:
    HDC dc_;
};

// GetDC/GetWindowDC released with ReleaseDC.
class TWindowDC {
public:
    explicit TWindowDC(HWND wnd, bool wholeWindow = false)
        : wnd_(wnd), dc_(wholeWindow ? GetWindowDC(wnd) : GetDC(wnd)) {}
    ~TWindowDC() { if (dc_) ReleaseDC(wnd_, dc_); }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return dc_; }
private:
    HWND wnd_;
    HDC dc_;
};

class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~TSelectObject() { if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC/RestoreDC around clipping and origin changes.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~TSavedDC() { if (id_) RestoreDC(dc_, id_); }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;
private:
    HDC dc_;
    int id_;
};

} // namespace vm
