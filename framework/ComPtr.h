#pragma once
// An owning COM interface pointer: releases what it holds when it is reset, reassigned or
// destroyed. Interface ids come from __uuidof, so T needs mingw's __CRT_UUID_DECL (every system
// interface has one).
#include <unknwn.h>

#include <utility>

namespace vm {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Shares `raw`: takes a reference of its own.
    explicit ComPtr(T* raw) : ptr_(raw) { if (ptr_) ptr_->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.ptr_) {}
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(ComPtr other) noexcept { std::swap(ptr_, other.ptr_); return *this; }

    // Takes over a reference the caller already owns (an out parameter's result).
    static ComPtr Adopt(T* raw) { ComPtr p; p.ptr_ = raw; return p; }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

    // Releases what is held and gives the slot to a function that fills an out parameter.
    T** put() { reset(); return &ptr_; }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    void reset() { if (T* p = std::exchange(ptr_, nullptr)) p->Release(); }
    // Hands the reference to the caller, who must release it.
    T* detach() { return std::exchange(ptr_, nullptr); }

    // QueryInterface for U; an empty pointer when the object does not answer it.
    template <class U>
    ComPtr<U> as() const
    {
        ComPtr<U> result;
        if (ptr_) ptr_->QueryInterface(__uuidof(U), result.putVoid());
        return result;
    }

private:
    T* ptr_ = nullptr;
};

} // namespace vm
