#pragma once
// TOleVariant: a VARIANT that clears itself. Copies are deep (VariantCopy).
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace vm {

class TOleVariant {
public:
    TOleVariant() { VariantInit(&v_); }   // the payload is zeroed too: see v_
    TOleVariant(const TOleVariant& o) : TOleVariant() { VariantCopy(&v_, const_cast<VARIANT*>(&o.v_)); }
    TOleVariant(TOleVariant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    ~TOleVariant() { VariantClear(&v_); }
    TOleVariant& operator=(TOleVariant o) noexcept { std::swap(v_, o.v_); return *this; }

    static TOleVariant Int(LONG value) { TOleVariant r; r.v_.vt = VT_I4; r.v_.lVal = value; return r; }
    // VT_BOOL as COM wants it: -1 for true.
    static TOleVariant Bool(bool value) { TOleVariant r; r.v_.vt = VT_BOOL; r.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; return r; }
    // VT_BSTR; an empty text travels as a null string pointer, which COM reads as "".
    static TOleVariant String(const std::wstring& value) {
        TOleVariant r;
        r.v_.vt = VT_BSTR;
        r.v_.bstrVal = value.empty() ? nullptr : SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return r;
    }
    static TOleVariant Dispatch(IDispatch* value) {
        TOleVariant r;
        r.v_.vt = VT_DISPATCH;
        r.v_.pdispVal = value;
        if (value) value->AddRef();
        return r;
    }

    VARIANT* Get() { return &v_; }
    const VARIANT* Get() const { return &v_; }
    VARTYPE Type() const { return v_.vt; }
    bool Empty() const { return v_.vt == VT_EMPTY; }
    const VARIANT& operator*() const { return v_; }
    const VARIANT* operator->() const { return &v_; }
    void Clear() { VariantClear(&v_); }

private:
    // Zeroed so that a typed read of an empty result gives 0, false or null, never stack noise.
    VARIANT v_{};
};

// An event argument or property value as an integer: converted the way COM converts it (so a
// VT_I2 or a numeric string is read right), 0 when it cannot be.
inline LONG VariantToInteger(const VARIANT& value) {
    VARIANT converted;
    VariantInit(&converted);
    LONG result = 0;
    if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4))) result = converted.lVal;
    VariantClear(&converted);
    return result;
}

} // namespace vm
