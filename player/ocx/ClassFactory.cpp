#include "player/ocx/ClassFactory.h"

#include <new>

#include "flashhost/ShockwaveFlash.h"
#include "player/ocx/ServerModule.h"

namespace vm::flash {

namespace {

class FlashClassFactory final : public IClassFactory {
public:
    FlashClassFactory() { ObjectCreated(); }
    ~FlashClassFactory() { ObjectDestroyed(); }
    FlashClassFactory(const FlashClassFactory&) = delete;
    FlashClassFactory& operator=(const FlashClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        // Nothing may escape a COM call, whatever the control's construction throws.
        try {
            return CreateFlashControl(outer, iid, out);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        flash::LockServer(lock != FALSE);
        return S_OK;
    }

private:
    LONG references_ = 1;
};

} // namespace

HRESULT GetFlashClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_ShockwaveFlash)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) FlashClassFactory;
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

} // namespace vm::flash
