#pragma once
// One outgoing interface of the control (its events, or property-change notifications) and the
// sinks advised on it. The point is part of the control object: its IUnknown is the control's.
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "framework/ComPtr.h"

namespace vm::flash {

class ConnectionPoint final : public IConnectionPoint {
public:
    // `owner` is the control's IUnknown (and its IConnectionPointContainer); `iid` the
    // interface sinks must answer; `alsoAsDispatch` lets a sink that answers only IDispatch
    // advise (an events interface is a dispinterface).
    ConnectionPoint(IUnknown& owner, IConnectionPointContainer& container, REFIID iid, bool alsoAsDispatch);
    ~ConnectionPoint();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    const IID& Interface() const { return iid_; }
    // The sinks advised now, each with a reference of the caller's (a sink may unadvise
    // while it is being called, so callers iterate over this copy).
    std::vector<TComPtr<IUnknown>> Sinks() const;
    bool Empty() const;
    // Drops every sink (the control is going away).
    void Clear() { sinks_.clear(); }

private:
    struct Sink {
        DWORD cookie;
        TComPtr<IUnknown> sink;
    };
    IUnknown& owner_;
    IConnectionPointContainer& container_;
    IID iid_;
    bool alsoAsDispatch_;
    DWORD nextCookie_ = 1;
    std::vector<Sink> sinks_;
};

} // namespace vm::flash
