#include "TestConnectionPoint.h"

#include "TestFlashControl.h"

#include <olectl.h>

namespace vm::test {

TestConnectionPoint::TestConnectionPoint(TestFlashControl& owner, const IID& iid, const std::string& name)
    : owner_(owner), iid_(iid), name_(name), facetName_("IConnectionPoint(" + name + ")")
{
}

void TestConnectionPoint::ForEachSink(const std::function<void(IUnknown*)>& call) const
{
    // A copy: a sink may unadvise from inside the call.
    std::vector<IUnknown*> current;
    for (const auto& sink : sinks_) current.push_back(sink.reference.get());
    for (IUnknown* sink : current) call(sink);
}

void TestConnectionPoint::ReleaseSinks()
{
    auto sinks = std::move(sinks_);
    sinks_.clear();
    for (auto& sink : sinks) sink.reference.Reset();
}

HRESULT STDMETHODCALLTYPE TestConnectionPoint::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint)) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TestConnectionPoint::AddRef() { return owner_.AddRefAs(facetName_.c_str()); }
ULONG STDMETHODCALLTYPE TestConnectionPoint::Release() { return owner_.ReleaseAs(facetName_.c_str()); }

HRESULT STDMETHODCALLTYPE TestConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container) return E_POINTER;
    *container = owner_.Container();
    (*container)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (cookie) *cookie = 0;
    HRESULT hr = owner_.Record(FlashCall("Advise").Text(std::wstring(name_.begin(), name_.end())));
    if (FAILED(hr)) return hr;
    if (!sink || !cookie) return E_POINTER;
    void* answer = nullptr;
    if (FAILED(sink->QueryInterface(iid_, &answer)) || !answer) return CONNECT_E_CANNOTCONNECT;
    Sink entry{nextCookie_++, SiteReference<IUnknown>(owner_.SiteLedger(), "sink " + name_)};
    entry.reference.Adopt(static_cast<IUnknown*>(answer));
    *cookie = entry.cookie;
    sinks_.push_back(std::move(entry));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestConnectionPoint::Unadvise(DWORD cookie)
{
    HRESULT hr = owner_.Record(FlashCall("Unadvise").Number(static_cast<long>(cookie)).Text(std::wstring(name_.begin(), name_.end())));
    if (FAILED(hr)) return hr;
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie != cookie) continue;
        Sink removed = std::move(*it);
        sinks_.erase(it);
        removed.reference.Reset();  // after the erase: releasing may re-enter this point
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE TestConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

} // namespace vm::test
