#pragma once
// The scriptable side of the test Flash control: IShockwaveFlash and its IDispatch. Properties
// live in a store keyed by dispatch id that keeps each value with the variant type it was given
// (a host that sends VT_I2 where VT_BOOL belongs is caught), whether they arrive through Invoke
// or through the vtable. The methods the host uses (Play, LoadMovie, SetVariable, GetVariable,
// FlashVersion, CallFunction) are recorded and answered from the script; the others are
// recorded and refused with E_NOTIMPL. IUnknown belongs to the control that derives from this.
#include <map>
#include <string>

#include "flashhost/ShockwaveFlash.h"
#include "TestCallLog.h"
#include "TestFlashScript.h"

namespace vm::test {

// An owned VARIANT.
class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&value_); }
    explicit OwnedVariant(const VARIANT& source) : OwnedVariant() { VariantCopy(&value_, const_cast<VARIANT*>(&source)); }
    OwnedVariant(const OwnedVariant& other) : OwnedVariant(other.value_) {}
    OwnedVariant& operator=(const OwnedVariant& other)
    {
        if (this != &other) VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
        return *this;
    }
    ~OwnedVariant() { VariantClear(&value_); }
    const VARIANT& get() const { return value_; }
    VARIANT* put() { VariantClear(&value_); return &value_; }

private:
    VARIANT value_;
};

class TestFlashAutomation : public IShockwaveFlash {
public:
    // The stored value of a property, null when nothing was put or seeded.
    const VARIANT* StoredProperty(DISPID id) const;
    // Seeds a property for the host to read back (kept with exactly this variant type).
    void SeedProperty(DISPID id, const VARIANT& value) { properties_[id] = OwnedVariant(value); }
    // Variables given through SetVariable.
    const std::map<std::wstring, std::wstring>& Variables() const { return variables_; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IShockwaveFlash: the methods the host calls.
    HRESULT STDMETHODCALLTYPE Play() override;
    HRESULT STDMETHODCALLTYPE LoadMovie(int layer, BSTR url) override;
    HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, BSTR value) override;
    HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE FlashVersion(long* version) override;
    HRESULT STDMETHODCALLTYPE CallFunction(BSTR request, BSTR* response) override;

    // IShockwaveFlash: properties, all through the store.
    HRESULT STDMETHODCALLTYPE get_ReadyState(long* v) override { return Get(FlashDispId::ReadyState, v); }
    HRESULT STDMETHODCALLTYPE get_TotalFrames(long* v) override { return Get(FlashDispId::TotalFrames, v); }
    HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* v) override { return Get(FlashDispId::Playing, v); }
    HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL v) override { return Put(FlashDispId::Playing, v); }
    HRESULT STDMETHODCALLTYPE get_Quality(int* v) override { return Get(FlashDispId::Quality, v); }
    HRESULT STDMETHODCALLTYPE put_Quality(int v) override { return Put(FlashDispId::Quality, v); }
    HRESULT STDMETHODCALLTYPE get_ScaleMode(int* v) override { return Get(FlashDispId::ScaleMode, v); }
    HRESULT STDMETHODCALLTYPE put_ScaleMode(int v) override { return Put(FlashDispId::ScaleMode, v); }
    HRESULT STDMETHODCALLTYPE get_AlignMode(int* v) override { return Get(FlashDispId::AlignMode, v); }
    HRESULT STDMETHODCALLTYPE put_AlignMode(int v) override { return Put(FlashDispId::AlignMode, v); }
    HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* v) override { return Get(FlashDispId::BackgroundColor, v); }
    HRESULT STDMETHODCALLTYPE put_BackgroundColor(long v) override { return Put(FlashDispId::BackgroundColor, v); }
    HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* v) override { return Get(FlashDispId::Loop, v); }
    HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL v) override { return Put(FlashDispId::Loop, v); }
    HRESULT STDMETHODCALLTYPE get_Movie(BSTR* v) override { return Get(FlashDispId::Movie, v); }
    HRESULT STDMETHODCALLTYPE put_Movie(BSTR v) override { return Put(FlashDispId::Movie, v); }
    HRESULT STDMETHODCALLTYPE get_FrameNum(long* v) override { return Get(FlashDispId::FrameNum, v); }
    HRESULT STDMETHODCALLTYPE put_FrameNum(long v) override { return Put(FlashDispId::FrameNum, v); }
    HRESULT STDMETHODCALLTYPE get_WMode(BSTR* v) override { return Get(FlashDispId::WMode, v); }
    HRESULT STDMETHODCALLTYPE put_WMode(BSTR v) override { return Put(FlashDispId::WMode, v); }
    HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* v) override { return Get(FlashDispId::SAlign, v); }
    HRESULT STDMETHODCALLTYPE put_SAlign(BSTR v) override { return Put(FlashDispId::SAlign, v); }
    HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* v) override { return Get(FlashDispId::Menu, v); }
    HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL v) override { return Put(FlashDispId::Menu, v); }
    HRESULT STDMETHODCALLTYPE get_Base(BSTR* v) override { return Get(FlashDispId::Base, v); }
    HRESULT STDMETHODCALLTYPE put_Base(BSTR v) override { return Put(FlashDispId::Base, v); }
    HRESULT STDMETHODCALLTYPE get_Scale(BSTR* v) override { return Get(FlashDispId::Scale, v); }
    HRESULT STDMETHODCALLTYPE put_Scale(BSTR v) override { return Put(FlashDispId::Scale, v); }
    HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* v) override { return Get(FlashDispId::DeviceFont, v); }
    HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL v) override { return Put(FlashDispId::DeviceFont, v); }
    HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* v) override { return Get(FlashDispId::EmbedMovie, v); }
    HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL v) override { return Put(FlashDispId::EmbedMovie, v); }
    HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* v) override { return Get(FlashDispId::BGColor, v); }
    HRESULT STDMETHODCALLTYPE put_BGColor(BSTR v) override { return Put(FlashDispId::BGColor, v); }
    HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* v) override { return Get(FlashDispId::Quality2, v); }
    HRESULT STDMETHODCALLTYPE put_Quality2(BSTR v) override { return Put(FlashDispId::Quality2, v); }
    HRESULT STDMETHODCALLTYPE get_SWRemote(BSTR* v) override { return Get(FlashDispId::SWRemote, v); }
    HRESULT STDMETHODCALLTYPE put_SWRemote(BSTR v) override { return Put(FlashDispId::SWRemote, v); }
    HRESULT STDMETHODCALLTYPE get_FlashVars(BSTR* v) override { return Get(FlashDispId::FlashVars, v); }
    HRESULT STDMETHODCALLTYPE put_FlashVars(BSTR v) override { return Put(FlashDispId::FlashVars, v); }
    HRESULT STDMETHODCALLTYPE get_AllowScriptAccess(BSTR* v) override { return Get(FlashDispId::AllowScriptAccess, v); }
    HRESULT STDMETHODCALLTYPE put_AllowScriptAccess(BSTR v) override { return Put(FlashDispId::AllowScriptAccess, v); }
    HRESULT STDMETHODCALLTYPE get_MovieData(BSTR* v) override { return Get(FlashDispId::MovieData, v); }
    HRESULT STDMETHODCALLTYPE put_MovieData(BSTR v) override { return Put(FlashDispId::MovieData, v); }
    HRESULT STDMETHODCALLTYPE get_InlineData(IUnknown** v) override { return Get(FlashDispId::InlineData, v); }
    HRESULT STDMETHODCALLTYPE put_InlineData(IUnknown* v) override { return Put(FlashDispId::InlineData, v); }
    HRESULT STDMETHODCALLTYPE get_SeamlessTabbing(VARIANT_BOOL* v) override { return Get(FlashDispId::SeamlessTabbing, v); }
    HRESULT STDMETHODCALLTYPE put_SeamlessTabbing(VARIANT_BOOL v) override { return Put(FlashDispId::SeamlessTabbing, v); }
    HRESULT STDMETHODCALLTYPE get_Profile(VARIANT_BOOL* v) override { return Get(FlashDispId::Profile, v); }
    HRESULT STDMETHODCALLTYPE put_Profile(VARIANT_BOOL v) override { return Put(FlashDispId::Profile, v); }
    HRESULT STDMETHODCALLTYPE get_ProfileAddress(BSTR* v) override { return Get(FlashDispId::ProfileAddress, v); }
    HRESULT STDMETHODCALLTYPE put_ProfileAddress(BSTR v) override { return Put(FlashDispId::ProfileAddress, v); }
    HRESULT STDMETHODCALLTYPE get_ProfilePort(long* v) override { return Get(FlashDispId::ProfilePort, v); }
    HRESULT STDMETHODCALLTYPE put_ProfilePort(long v) override { return Put(FlashDispId::ProfilePort, v); }
    HRESULT STDMETHODCALLTYPE get_AllowNetworking(BSTR* v) override { return Get(FlashDispId::AllowNetworking, v); }
    HRESULT STDMETHODCALLTYPE put_AllowNetworking(BSTR v) override { return Put(FlashDispId::AllowNetworking, v); }
    HRESULT STDMETHODCALLTYPE get_AllowFullScreen(BSTR* v) override { return Get(FlashDispId::AllowFullScreen, v); }
    HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR v) override { return Put(FlashDispId::AllowFullScreen, v); }
    HRESULT STDMETHODCALLTYPE get_AllowFullScreenInteractive(BSTR* v) override { return Get(FlashDispId::AllowFullScreenInteractive, v); }
    HRESULT STDMETHODCALLTYPE put_AllowFullScreenInteractive(BSTR v) override { return Put(FlashDispId::AllowFullScreenInteractive, v); }
    HRESULT STDMETHODCALLTYPE get_IsDependent(VARIANT_BOOL* v) override { return Get(FlashDispId::IsDependent, v); }
    HRESULT STDMETHODCALLTYPE put_IsDependent(VARIANT_BOOL v) override { return Put(FlashDispId::IsDependent, v); }
    HRESULT STDMETHODCALLTYPE get_BrowserZoom(BSTR* v) override { return Get(FlashDispId::BrowserZoom, v); }
    HRESULT STDMETHODCALLTYPE put_BrowserZoom(BSTR v) override { return Put(FlashDispId::BrowserZoom, v); }

    // IShockwaveFlash: methods the host never calls; recorded and refused.
    HRESULT STDMETHODCALLTYPE SetZoomRect(long, long, long, long) override { return Refuse("SetZoomRect"); }
    HRESULT STDMETHODCALLTYPE Zoom(int) override { return Refuse("Zoom"); }
    HRESULT STDMETHODCALLTYPE Pan(long, long, int) override { return Refuse("Pan"); }
    HRESULT STDMETHODCALLTYPE Stop() override { return Refuse("Stop"); }
    HRESULT STDMETHODCALLTYPE Back() override { return Refuse("Back"); }
    HRESULT STDMETHODCALLTYPE Forward() override { return Refuse("Forward"); }
    HRESULT STDMETHODCALLTYPE Rewind() override { return Refuse("Rewind"); }
    HRESULT STDMETHODCALLTYPE StopPlay() override { return Refuse("StopPlay"); }
    HRESULT STDMETHODCALLTYPE GotoFrame(long) override { return Refuse("GotoFrame"); }
    HRESULT STDMETHODCALLTYPE CurrentFrame(long*) override { return Refuse("CurrentFrame"); }
    HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL*) override { return Refuse("IsPlaying"); }
    HRESULT STDMETHODCALLTYPE PercentLoaded(long*) override { return Refuse("PercentLoaded"); }
    HRESULT STDMETHODCALLTYPE FrameLoaded(long, VARIANT_BOOL*) override { return Refuse("FrameLoaded"); }
    HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR, long) override { return Refuse("TGotoFrame"); }
    HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR, BSTR) override { return Refuse("TGotoLabel"); }
    HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR, long*) override { return Refuse("TCurrentFrame"); }
    HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR, BSTR*) override { return Refuse("TCurrentLabel"); }
    HRESULT STDMETHODCALLTYPE TPlay(BSTR) override { return Refuse("TPlay"); }
    HRESULT STDMETHODCALLTYPE TStopPlay(BSTR) override { return Refuse("TStopPlay"); }
    HRESULT STDMETHODCALLTYPE TSetProperty(BSTR, int, BSTR) override { return Refuse("TSetProperty"); }
    HRESULT STDMETHODCALLTYPE TGetProperty(BSTR, int, BSTR*) override { return Refuse("TGetProperty"); }
    HRESULT STDMETHODCALLTYPE TCallFrame(BSTR, int) override { return Refuse("TCallFrame"); }
    HRESULT STDMETHODCALLTYPE TCallLabel(BSTR, BSTR) override { return Refuse("TCallLabel"); }
    HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR, int, double) override { return Refuse("TSetPropertyNum"); }
    HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR, int, double*) override { return Refuse("TGetPropertyNum"); }
    HRESULT STDMETHODCALLTYPE TGetPropertyAsNumber(BSTR, int, double*) override { return Refuse("TGetPropertyAsNumber"); }
    HRESULT STDMETHODCALLTYPE EnforceLocalSecurity() override { return Refuse("EnforceLocalSecurity"); }
    HRESULT STDMETHODCALLTYPE SetReturnValue(BSTR) override { return Refuse("SetReturnValue"); }
    HRESULT STDMETHODCALLTYPE DisableLocalSecurity() override { return Refuse("DisableLocalSecurity"); }

protected:
    TestFlashAutomation() = default;
    ~TestFlashAutomation() = default;

    // Hooks into the control: record a call (the scripted failure for its name comes back),
    // the current script, and the start of a movie download.
    virtual HRESULT Record(FlashCall call) = 0;
    virtual FlashScript& CurrentScript() = 0;
    virtual void MovieRequested(const std::wstring& url) = 0;

private:
    HRESULT InvokeMethod(DISPID id, DISPPARAMS* params, VARIANT* result, UINT* argumentError);

    HRESULT Get(DISPID id, long* out);
    HRESULT Get(DISPID id, int* out);
    HRESULT Get(DISPID id, VARIANT_BOOL* out);
    HRESULT Get(DISPID id, BSTR* out);
    HRESULT Get(DISPID id, IUnknown** out);
    HRESULT GetAs(DISPID id, VARTYPE type, VARIANT* out);
    HRESULT Put(DISPID id, long value);
    HRESULT Put(DISPID id, int value) { return Put(id, static_cast<long>(value)); }
    HRESULT Put(DISPID id, VARIANT_BOOL value);
    HRESULT Put(DISPID id, BSTR value);
    HRESULT Put(DISPID id, IUnknown* value);
    HRESULT Refuse(const char* name);

    std::map<DISPID, OwnedVariant> properties_;
    std::map<std::wstring, std::wstring> variables_;
};

} // namespace vm::test
