#pragma once
// A connection point of the test Flash control. Advise keeps the sink's answer to the point's
// interface (a sink that does not answer it is refused with CONNECT_E_CANNOTCONNECT, as a
// real control does); the point shares the control's lifetime and books its references under
// "IConnectionPoint(<name>)".
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "ReferenceLedger.h"

namespace vm::test {

class TestFlashControl;

class TestConnectionPoint final : public IConnectionPoint {
public:
    TestConnectionPoint(TestFlashControl& owner, const IID& iid, const std::string& name);

    // Calls `call` with each advised sink (already of the point's interface), in advise order.
    void ForEachSink(const std::function<void(IUnknown*)>& call) const;
    size_t SinkCount() const { return sinks_.size(); }
    // Lets go of every sink, as a control does when it is destroyed.
    void ReleaseSinks();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    struct Sink {
        DWORD cookie;
        SiteReference<IUnknown> reference;
    };

    TestFlashControl& owner_;
    IID iid_;
    std::string name_;       // "IPropertyNotifySink" or "Events"
    std::string facetName_;  // "IConnectionPoint(<name>)"
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

} // namespace vm::test
