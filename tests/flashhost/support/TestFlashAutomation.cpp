#include "TestFlashAutomation.h"

#include <olectl.h>

#include <vector>

namespace vm::test {
namespace {

// Every property of IShockwaveFlash with the variant type its vtable accessors carry; a get of a
// property never put answers an empty value of this type.
VARTYPE PropertyType(DISPID id)
{
    switch (id) {
    case FlashDispId::ReadyState: case FlashDispId::TotalFrames: case FlashDispId::BackgroundColor:
    case FlashDispId::FrameNum: case FlashDispId::ProfilePort:
    case FlashDispId::Quality: case FlashDispId::ScaleMode: case FlashDispId::AlignMode:
    case DISPID_BACKCOLOR: case DISPID_FORECOLOR:   // stock properties, for container tests
        return VT_I4;
    case FlashDispId::Playing: case FlashDispId::Loop: case FlashDispId::Menu: case FlashDispId::DeviceFont:
    case FlashDispId::EmbedMovie: case FlashDispId::SeamlessTabbing: case FlashDispId::Profile:
    case FlashDispId::IsDependent: case DISPID_ENABLED:
        return VT_BOOL;
    case FlashDispId::Movie: case FlashDispId::WMode: case FlashDispId::SAlign: case FlashDispId::Base:
    case FlashDispId::Scale: case FlashDispId::BGColor: case FlashDispId::Quality2: case FlashDispId::SWRemote:
    case FlashDispId::FlashVars: case FlashDispId::AllowScriptAccess: case FlashDispId::MovieData:
    case FlashDispId::ProfileAddress: case FlashDispId::AllowNetworking: case FlashDispId::AllowFullScreen:
    case FlashDispId::AllowFullScreenInteractive: case FlashDispId::BrowserZoom:
        return VT_BSTR;
    case FlashDispId::InlineData:
        return VT_UNKNOWN;
    default:
        return VT_EMPTY;  // not a property
    }
}

// The zero value of a type: 0, VARIANT_FALSE, a null string, a null interface.
VARIANT EmptyOfType(VARTYPE type)
{
    VARIANT value{};
    value.vt = type;
    return value;
}

bool IsReadOnly(DISPID id) { return id == FlashDispId::ReadyState || id == FlashDispId::TotalFrames; }

// Argument i in declaration order, converted to `type` (DISPPARAMS holds them last first).
HRESULT Argument(const DISPPARAMS* params, UINT i, VARTYPE type, VARIANT* out, UINT* argumentError)
{
    if (!params || i >= params->cArgs) return DISP_E_BADPARAMCOUNT;
    VariantInit(out);
    const UINT slot = params->cArgs - 1 - i;
    HRESULT hr = VariantChangeType(out, &params->rgvarg[slot], 0, type);
    if (FAILED(hr) && argumentError) *argumentError = slot;
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

std::wstring ToWide(BSTR s) { return s ? std::wstring(s, SysStringLen(s)) : std::wstring(); }

} // namespace

const VARIANT* TestFlashAutomation::StoredProperty(DISPID id) const
{
    auto it = properties_.find(id);
    return it == properties_.end() ? nullptr : &it->second.get();
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::GetTypeInfoCount(UINT* count)
{
    if (count) *count = 0;
    return count ? S_OK : E_POINTER;
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError)
{
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const bool isProperty = PropertyType(id) != VT_EMPTY;
    const wchar_t* how = put ? ((flags & DISPATCH_PROPERTYPUTREF) ? L"putref" : L"put")
                             : (isProperty && (flags & DISPATCH_PROPERTYGET)) ? L"get" : L"method";
    FlashCall call = FlashCall("Invoke").Number(id).Text(how);
    if (put && params && params->cArgs > 0) {
        call.type = params->rgvarg[0].vt;
        // The string pointer as sent: a copy would not tell a null string from an empty one.
        if (call.type == VT_BSTR) call.handle = reinterpret_cast<UINT_PTR>(params->rgvarg[0].bstrVal);
    }
    if (HRESULT hr = Record(call); FAILED(hr)) return hr;

    auto& failures = CurrentScript().invokeFailures;
    if (auto it = failures.find(id); it != failures.end()) {
        if (!it->second.description.empty() && exception) {
            *exception = EXCEPINFO{};
            exception->bstrSource = SysAllocString(L"TestFlashControl");
            exception->bstrDescription = SysAllocString(it->second.description.c_str());
            exception->scode = it->second.result;
            return DISP_E_EXCEPTION;
        }
        return it->second.result;
    }

    if (put) {
        if (!params || params->cArgs != 1 || params->cNamedArgs != 1 ||
            params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTFOUND;
        if (!isProperty || IsReadOnly(id)) return DISP_E_MEMBERNOTFOUND;
        OwnedVariant value;
        if (HRESULT hr = VariantCopyInd(value.put(), &params->rgvarg[0]); FAILED(hr)) return hr;
        properties_[id] = value;
        return S_OK;
    }
    if (isProperty && (flags & DISPATCH_PROPERTYGET)) {
        if (!result) return E_POINTER;
        VariantInit(result);
        if (const VARIANT* stored = StoredProperty(id)) return VariantCopy(result, const_cast<VARIANT*>(stored));
        *result = EmptyOfType(PropertyType(id));  // never put
        return S_OK;
    }
    if (flags & DISPATCH_METHOD) return InvokeMethod(id, params, result, argumentError);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT TestFlashAutomation::InvokeMethod(DISPID id, DISPPARAMS* params, VARIANT* result, UINT* argumentError)
{
    const UINT count = params ? params->cArgs : 0;
    OwnedVariant first, second;
    auto takeArguments = [&](UINT expected, VARTYPE firstType, VARTYPE secondType) -> HRESULT {
        if (count != expected) return DISP_E_BADPARAMCOUNT;
        if (expected > 0) {
            if (HRESULT hr = Argument(params, 0, firstType, first.put(), argumentError); FAILED(hr)) return hr;
        }
        if (expected > 1) {
            if (HRESULT hr = Argument(params, 1, secondType, second.put(), argumentError); FAILED(hr)) return hr;
        }
        return S_OK;
    };
    auto answer = [&](VARTYPE type, auto&& call) -> HRESULT {
        VARIANT value = EmptyOfType(type);
        HRESULT hr = call(value);
        if (SUCCEEDED(hr) && result) *result = value;
        else VariantClear(&value);
        return hr;
    };

    switch (id) {
    case FlashDispId::Play:
        if (HRESULT hr = takeArguments(0, VT_EMPTY, VT_EMPTY); FAILED(hr)) return hr;
        return Play();
    case FlashDispId::LoadMovie:
        if (HRESULT hr = takeArguments(2, VT_I4, VT_BSTR); FAILED(hr)) return hr;
        return LoadMovie(static_cast<int>(first.get().lVal), second.get().bstrVal);
    case FlashDispId::SetVariable:
        if (HRESULT hr = takeArguments(2, VT_BSTR, VT_BSTR); FAILED(hr)) return hr;
        return SetVariable(first.get().bstrVal, second.get().bstrVal);
    case FlashDispId::GetVariable:
        if (HRESULT hr = takeArguments(1, VT_BSTR, VT_EMPTY); FAILED(hr)) return hr;
        return answer(VT_BSTR, [&](VARIANT& v) { return GetVariable(first.get().bstrVal, &v.bstrVal); });
    case FlashDispId::FlashVersion:
        if (HRESULT hr = takeArguments(0, VT_EMPTY, VT_EMPTY); FAILED(hr)) return hr;
        return answer(VT_I4, [&](VARIANT& v) { return FlashVersion(&v.lVal); });
    case FlashDispId::CallFunction:
        if (HRESULT hr = takeArguments(1, VT_BSTR, VT_EMPTY); FAILED(hr)) return hr;
        return answer(VT_BSTR, [&](VARIANT& v) { return CallFunction(first.get().bstrVal, &v.bstrVal); });
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::Play()
{
    return Record(FlashCall("Play"));
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::LoadMovie(int layer, BSTR url)
{
    if (HRESULT hr = Record(FlashCall("LoadMovie").Number(layer).Text(ToWide(url))); FAILED(hr)) return hr;
    if (CurrentScript().fetchOnLoadMovie) MovieRequested(ToWide(url));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::SetVariable(BSTR name, BSTR value)
{
    if (HRESULT hr = Record(FlashCall("SetVariable").Text(ToWide(name))); FAILED(hr)) return hr;
    variables_[ToWide(name)] = ToWide(value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::GetVariable(BSTR name, BSTR* value)
{
    if (!value) return E_POINTER;
    *value = nullptr;
    if (HRESULT hr = Record(FlashCall("GetVariable").Text(ToWide(name))); FAILED(hr)) return hr;
    auto it = variables_.find(ToWide(name));
    *value = SysAllocString(it == variables_.end() ? L"" : it->second.c_str());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::FlashVersion(long* version)
{
    if (!version) return E_POINTER;
    if (HRESULT hr = Record(FlashCall("FlashVersion")); FAILED(hr)) return hr;
    *version = CurrentScript().flashVersion;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestFlashAutomation::CallFunction(BSTR request, BSTR* response)
{
    if (!response) return E_POINTER;
    *response = nullptr;
    if (HRESULT hr = Record(FlashCall("CallFunction").Text(ToWide(request))); FAILED(hr)) return hr;
    *response = SysAllocString(CurrentScript().callFunctionReply.c_str());
    return S_OK;
}

HRESULT TestFlashAutomation::GetAs(DISPID id, VARTYPE type, VARIANT* out)
{
    if (HRESULT hr = Record(FlashCall("PropertyGet").Number(id)); FAILED(hr)) return hr;
    VariantInit(out);
    const VARIANT* stored = StoredProperty(id);
    if (!stored) {
        *out = EmptyOfType(type);
        return S_OK;
    }
    return VariantChangeType(out, const_cast<VARIANT*>(stored), 0, type);
}

HRESULT TestFlashAutomation::Get(DISPID id, long* out)
{
    if (!out) return E_POINTER;
    OwnedVariant v;
    HRESULT hr = GetAs(id, VT_I4, v.put());
    *out = SUCCEEDED(hr) ? v.get().lVal : 0;
    return hr;
}

HRESULT TestFlashAutomation::Get(DISPID id, int* out)
{
    long value = 0;
    HRESULT hr = out ? Get(id, &value) : E_POINTER;
    if (out) *out = static_cast<int>(value);
    return hr;
}

HRESULT TestFlashAutomation::Get(DISPID id, VARIANT_BOOL* out)
{
    if (!out) return E_POINTER;
    OwnedVariant v;
    HRESULT hr = GetAs(id, VT_BOOL, v.put());
    *out = SUCCEEDED(hr) ? v.get().boolVal : VARIANT_FALSE;
    return hr;
}

HRESULT TestFlashAutomation::Get(DISPID id, BSTR* out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    VARIANT v;
    HRESULT hr = GetAs(id, VT_BSTR, &v);
    if (SUCCEEDED(hr)) *out = v.bstrVal;  // ownership moves to the caller
    else VariantClear(&v);
    return hr;
}

HRESULT TestFlashAutomation::Get(DISPID id, IUnknown** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    VARIANT v;
    HRESULT hr = GetAs(id, VT_UNKNOWN, &v);
    if (SUCCEEDED(hr)) *out = v.punkVal;
    else VariantClear(&v);
    return hr;
}

HRESULT TestFlashAutomation::Put(DISPID id, long value)
{
    if (HRESULT hr = Record(FlashCall("PropertyPut").Number(id).Type(VT_I4)); FAILED(hr)) return hr;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    properties_[id] = OwnedVariant(v);
    return S_OK;
}

HRESULT TestFlashAutomation::Put(DISPID id, VARIANT_BOOL value)
{
    if (HRESULT hr = Record(FlashCall("PropertyPut").Number(id).Type(VT_BOOL)); FAILED(hr)) return hr;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value;
    properties_[id] = OwnedVariant(v);
    return S_OK;
}

HRESULT TestFlashAutomation::Put(DISPID id, BSTR value)
{
    if (HRESULT hr = Record(FlashCall("PropertyPut").Number(id).Text(ToWide(value)).Type(VT_BSTR)); FAILED(hr))
        return hr;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = value;  // copied by OwnedVariant, not owned here
    properties_[id] = OwnedVariant(v);
    return S_OK;
}

HRESULT TestFlashAutomation::Put(DISPID id, IUnknown* value)
{
    if (HRESULT hr = Record(FlashCall("PropertyPut").Number(id).Type(VT_UNKNOWN)); FAILED(hr)) return hr;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_UNKNOWN;
    v.punkVal = value;  // copied (AddRef) by OwnedVariant
    properties_[id] = OwnedVariant(v);
    return S_OK;
}

HRESULT TestFlashAutomation::Refuse(const char* name)
{
    HRESULT hr = Record(FlashCall(name));
    return FAILED(hr) ? hr : E_NOTIMPL;
}

} // namespace vm::test
