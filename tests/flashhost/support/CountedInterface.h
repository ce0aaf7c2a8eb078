#pragma once
// One COM interface of an object whose references are counted per interface. Each base of the
// object gets its own IUnknown methods from here, all forwarding to the owner with the
// interface's name, so the owner keeps one identity and one lifetime but knows which interface
// a reference was taken or released through.
#include <unknwn.h>

namespace vm::test {

template <class Owner, class Interface, const char* Name>
class CountedInterface : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return static_cast<Owner*>(this)->QueryOwner(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<Owner*>(this)->AddRefAs(Name); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<Owner*>(this)->ReleaseAs(Name); }
};

} // namespace vm::test
