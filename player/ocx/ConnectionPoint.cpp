#include "player/ocx/ConnectionPoint.h"

#include <olectl.h>

#include <algorithm>

namespace vm::flash {

ConnectionPoint::ConnectionPoint(IUnknown& owner, IConnectionPointContainer& container, REFIID iid,
                                 bool alsoAsDispatch)
    : owner_(owner), container_(container), iid_(iid), alsoAsDispatch_(alsoAsDispatch) {}

ConnectionPoint::~ConnectionPoint() = default;

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    TComPtr<IUnknown> answered;
    HRESULT hr = sink->QueryInterface(iid_, answered.PutVoid());
    if (FAILED(hr) && alsoAsDispatch_) hr = sink->QueryInterface(IID_IDispatch, answered.PutVoid());
    if (FAILED(hr) || !answered) return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, std::move(answered)});
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const Sink& s) { return s.cookie == cookie; });
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    // Released after it left the list: its release may call back into us.
    TComPtr<IUnknown> leaving = std::move(it->sink);
    sinks_.erase(it);
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

std::vector<TComPtr<IUnknown>> ConnectionPoint::Sinks() const {
    std::vector<TComPtr<IUnknown>> copy;
    for (const Sink& s : sinks_) copy.push_back(s.sink);
    return copy;
}

bool ConnectionPoint::Empty() const { return sinks_.empty(); }

} // namespace vm::flash
