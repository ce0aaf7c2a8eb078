#pragma once
// TComPtr: one counted reference to a COM interface, released when the pointer goes away or is
// reset. Taking over a reference someone already counted for us is Attach(); copying adds one.
#include <objbase.h>
#include <unknwn.h>

#include <utility>

namespace vm {

template <class I> class TComPtr {
public:
    TComPtr() = default;
    TComPtr(I* p) : p_(p) { if (p_) p_->AddRef(); }   // NOLINT: implicit, as a raw pointer converts
    TComPtr(const TComPtr& o) : TComPtr(o.p_) {}
    TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~TComPtr() { Reset(); }
    TComPtr& operator=(const TComPtr& o) { TComPtr(o).Swap(*this); return *this; }
    TComPtr& operator=(TComPtr&& o) noexcept { TComPtr(std::move(o)).Swap(*this); return *this; }

    // Takes over a reference that is already counted (an out parameter's, for instance).
    static TComPtr Attach(I* p) { TComPtr r; r.p_ = p; return r; }
    I* Detach() { return std::exchange(p_, nullptr); }
    void Reset() { if (I* p = std::exchange(p_, nullptr)) p->Release(); }
    // For out parameters: releases what is held and gives the slot to fill.
    I** Put() { Reset(); return &p_; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    I* Get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Swap(TComPtr& o) noexcept { std::swap(p_, o.p_); }

    // QueryInterface into another pointer; the HRESULT says whether it worked.
    template <class J> HRESULT As(TComPtr<J>& out) const {
        if (!p_) { out.Reset(); return E_POINTER; }
        return p_->QueryInterface(__uuidof(J), out.PutVoid());
    }
    // QueryInterface for J; an empty pointer when the object does not answer it.
    template <class J> TComPtr<J> Query() const {
        TComPtr<J> out;
        if (p_) p_->QueryInterface(__uuidof(J), out.PutVoid());
        return out;
    }
    HRESULT As(REFIID iid, void** out) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        return p_ ? p_->QueryInterface(iid, out) : E_POINTER;
    }

private:
    I* p_ = nullptr;
};

} // namespace vm
