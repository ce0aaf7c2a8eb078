// A placeholder control object for the server tests while the real one is not in player/ocx:
// it answers IUnknown only and counts itself as a live object of the server, which is all the
// factory, lifetime and registration tests need. The build links it into flash.ocx only as long
// as no source in player/ocx defines CreateFlashControl.
#include <new>

#include "player/ocx/ServerModule.h"

namespace vm::flash {

namespace {

class StandInControl final : public IUnknown {
public:
    StandInControl() { ObjectCreated(); }
    ~StandInControl() { ObjectDestroyed(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG references_ = 1;
};

} // namespace

HRESULT CreateFlashControl(IUnknown* outer, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* control = new (std::nothrow) StandInControl;
    if (!control) return E_OUTOFMEMORY;
    HRESULT hr = control->QueryInterface(iid, out);
    control->Release();
    return hr;
}

} // namespace vm::flash
