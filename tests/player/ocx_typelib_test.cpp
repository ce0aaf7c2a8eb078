// The type library inside flash.ocx against flashhost/ShockwaveFlash.h: a client binding
// through the library must land on the same vtable slots, with the same types and dispatch ids,
// as one compiled against the header. The table below takes each slot's offset and parameter
// types from the header's own declarations, so only the header order is written by hand.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "OcxServer.h"
#include "flashhost/ShockwaveFlash.h"
#include "framework/ComPtr.h"

using vm::TComPtr;

namespace {

// A type as the library's type descriptions spell it.
template <class T> struct TypeName;
template <> struct TypeName<long> { static std::string Get() { return "long"; } };
template <> struct TypeName<int> { static std::string Get() { return "int"; } };
template <> struct TypeName<VARIANT_BOOL> { static std::string Get() { return "VARIANT_BOOL"; } };
template <> struct TypeName<double> { static std::string Get() { return "double"; } };
template <> struct TypeName<BSTR> { static std::string Get() { return "BSTR"; } };
template <> struct TypeName<IUnknown*> { static std::string Get() { return "IUnknown*"; } };
template <class T> struct TypeName<T*> { static std::string Get() { return TypeName<T>::Get() + "*"; } };

std::string Describe(const TYPEDESC& type)
{
    switch (type.vt) {
    case VT_I4: return "long";
    case VT_INT: return "int";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_R8: return "double";
    case VT_BSTR: return "BSTR";
    case VT_UNKNOWN: return "IUnknown*";
    case VT_HRESULT: return "HRESULT";
    case VT_VOID: return "void";
    case VT_PTR: return Describe(*type.lptdesc) + "*";
    default: return "vt" + std::to_string(type.vt);
    }
}

// GCC's pointers to members (the Itanium C++ ABI, on mingw too) hold a virtual function as one
// plus its byte offset in the vtable.
template <class Member> std::ptrdiff_t VtableOffset(Member member)
{
    static_assert(sizeof(Member) == 2 * sizeof(std::ptrdiff_t));
    std::ptrdiff_t raw[2];
    std::memcpy(raw, &member, sizeof raw);
    return (raw[0] & 1) ? raw[0] - 1 : -1;
}

struct HeaderMethod {
    std::string declared;      // get_Movie
    std::wstring name;         // Movie
    DISPID id;
    INVOKEKIND kind;
    std::ptrdiff_t offset;
    std::vector<std::string> parameters;
};

template <class... Args>
HeaderMethod Method(const std::string& declared, DISPID id, HRESULT (STDMETHODCALLTYPE IShockwaveFlash::*member)(Args...))
{
    bool property = declared.rfind("get_", 0) == 0 || declared.rfind("put_", 0) == 0;
    INVOKEKIND kind = !property ? INVOKE_FUNC : declared[0] == 'g' ? INVOKE_PROPERTYGET : INVOKE_PROPERTYPUT;
    std::string name = property ? declared.substr(4) : declared;
    return {declared, std::wstring(name.begin(), name.end()), id, kind, VtableOffset(member), {TypeName<Args>::Get()...}};
}

#define FLASH_METHOD(member, id) Method(#member, vm::FlashDispId::id, &IShockwaveFlash::member)

// IShockwaveFlash in the header's order.
const std::vector<HeaderMethod>& HeaderMethods()
{
    static const std::vector<HeaderMethod> methods = {
    FLASH_METHOD(get_ReadyState, ReadyState),
    FLASH_METHOD(get_TotalFrames, TotalFrames),
    FLASH_METHOD(get_Playing, Playing),
    FLASH_METHOD(put_Playing, Playing),
    FLASH_METHOD(get_Quality, Quality),
    FLASH_METHOD(put_Quality, Quality),
    FLASH_METHOD(get_ScaleMode, ScaleMode),
    FLASH_METHOD(put_ScaleMode, ScaleMode),
    FLASH_METHOD(get_AlignMode, AlignMode),
    FLASH_METHOD(put_AlignMode, AlignMode),
    FLASH_METHOD(get_BackgroundColor, BackgroundColor),
    FLASH_METHOD(put_BackgroundColor, BackgroundColor),
    FLASH_METHOD(get_Loop, Loop),
    FLASH_METHOD(put_Loop, Loop),
    FLASH_METHOD(get_Movie, Movie),
    FLASH_METHOD(put_Movie, Movie),
    FLASH_METHOD(get_FrameNum, FrameNum),
    FLASH_METHOD(put_FrameNum, FrameNum),
    FLASH_METHOD(SetZoomRect, SetZoomRect),
    FLASH_METHOD(Zoom, Zoom),
    FLASH_METHOD(Pan, Pan),
    FLASH_METHOD(Play, Play),
    FLASH_METHOD(Stop, Stop),
    FLASH_METHOD(Back, Back),
    FLASH_METHOD(Forward, Forward),
    FLASH_METHOD(Rewind, Rewind),
    FLASH_METHOD(StopPlay, StopPlay),
    FLASH_METHOD(GotoFrame, GotoFrame),
    FLASH_METHOD(CurrentFrame, CurrentFrame),
    FLASH_METHOD(IsPlaying, IsPlaying),
    FLASH_METHOD(PercentLoaded, PercentLoaded),
    FLASH_METHOD(FrameLoaded, FrameLoaded),
    FLASH_METHOD(FlashVersion, FlashVersion),
    FLASH_METHOD(get_WMode, WMode),
    FLASH_METHOD(put_WMode, WMode),
    FLASH_METHOD(get_SAlign, SAlign),
    FLASH_METHOD(put_SAlign, SAlign),
    FLASH_METHOD(get_Menu, Menu),
    FLASH_METHOD(put_Menu, Menu),
    FLASH_METHOD(get_Base, Base),
    FLASH_METHOD(put_Base, Base),
    FLASH_METHOD(get_Scale, Scale),
    FLASH_METHOD(put_Scale, Scale),
    FLASH_METHOD(get_DeviceFont, DeviceFont),
    FLASH_METHOD(put_DeviceFont, DeviceFont),
    FLASH_METHOD(get_EmbedMovie, EmbedMovie),
    FLASH_METHOD(put_EmbedMovie, EmbedMovie),
    FLASH_METHOD(get_BGColor, BGColor),
    FLASH_METHOD(put_BGColor, BGColor),
    FLASH_METHOD(get_Quality2, Quality2),
    FLASH_METHOD(put_Quality2, Quality2),
    FLASH_METHOD(LoadMovie, LoadMovie),
    FLASH_METHOD(TGotoFrame, TGotoFrame),
    FLASH_METHOD(TGotoLabel, TGotoLabel),
    FLASH_METHOD(TCurrentFrame, TCurrentFrame),
    FLASH_METHOD(TCurrentLabel, TCurrentLabel),
    FLASH_METHOD(TPlay, TPlay),
    FLASH_METHOD(TStopPlay, TStopPlay),
    FLASH_METHOD(SetVariable, SetVariable),
    FLASH_METHOD(GetVariable, GetVariable),
    FLASH_METHOD(TSetProperty, TSetProperty),
    FLASH_METHOD(TGetProperty, TGetProperty),
    FLASH_METHOD(TCallFrame, TCallFrame),
    FLASH_METHOD(TCallLabel, TCallLabel),
    FLASH_METHOD(TSetPropertyNum, TSetPropertyNum),
    FLASH_METHOD(TGetPropertyNum, TGetPropertyNum),
    FLASH_METHOD(TGetPropertyAsNumber, TGetPropertyAsNumber),
    FLASH_METHOD(get_SWRemote, SWRemote),
    FLASH_METHOD(put_SWRemote, SWRemote),
    FLASH_METHOD(get_FlashVars, FlashVars),
    FLASH_METHOD(put_FlashVars, FlashVars),
    FLASH_METHOD(get_AllowScriptAccess, AllowScriptAccess),
    FLASH_METHOD(put_AllowScriptAccess, AllowScriptAccess),
    FLASH_METHOD(get_MovieData, MovieData),
    FLASH_METHOD(put_MovieData, MovieData),
    FLASH_METHOD(get_InlineData, InlineData),
    FLASH_METHOD(put_InlineData, InlineData),
    FLASH_METHOD(get_SeamlessTabbing, SeamlessTabbing),
    FLASH_METHOD(put_SeamlessTabbing, SeamlessTabbing),
    FLASH_METHOD(EnforceLocalSecurity, EnforceLocalSecurity),
    FLASH_METHOD(get_Profile, Profile),
    FLASH_METHOD(put_Profile, Profile),
    FLASH_METHOD(get_ProfileAddress, ProfileAddress),
    FLASH_METHOD(put_ProfileAddress, ProfileAddress),
    FLASH_METHOD(get_ProfilePort, ProfilePort),
    FLASH_METHOD(put_ProfilePort, ProfilePort),
    FLASH_METHOD(CallFunction, CallFunction),
    FLASH_METHOD(SetReturnValue, SetReturnValue),
    FLASH_METHOD(DisableLocalSecurity, DisableLocalSecurity),
    FLASH_METHOD(get_AllowNetworking, AllowNetworking),
    FLASH_METHOD(put_AllowNetworking, AllowNetworking),
    FLASH_METHOD(get_AllowFullScreen, AllowFullScreen),
    FLASH_METHOD(put_AllowFullScreen, AllowFullScreen),
    FLASH_METHOD(get_AllowFullScreenInteractive, AllowFullScreenInteractive),
    FLASH_METHOD(put_AllowFullScreenInteractive, AllowFullScreenInteractive),
    FLASH_METHOD(get_IsDependent, IsDependent),
    FLASH_METHOD(put_IsDependent, IsDependent),
    FLASH_METHOD(get_BrowserZoom, BrowserZoom),
    FLASH_METHOD(put_BrowserZoom, BrowserZoom),
    };
    return methods;
}

#undef FLASH_METHOD

constexpr std::ptrdiff_t kSlot = sizeof(void*);
constexpr std::ptrdiff_t kDispatchSlots = 7;   // IUnknown's three and IDispatch's four

class OcxTypeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(LoadTypeLibEx(vm::test::FlashOcxPath().c_str(), REGKIND_NONE, library.Put()), S_OK);
    }

    TComPtr<ITypeInfo> InfoOf(REFGUID guid)
    {
        TComPtr<ITypeInfo> info;
        EXPECT_EQ(library->GetTypeInfoOfGuid(guid, info.Put()), S_OK);
        return info;
    }
    // The vtable side of the dual interface.
    TComPtr<ITypeInfo> VtableInfo()
    {
        TComPtr<ITypeInfo> info = InfoOf(vm::IID_IShockwaveFlash), vtable;
        HREFTYPE reference = 0;
        if (info && info->GetRefTypeOfImplType(-1, &reference) == S_OK) info->GetRefTypeInfo(reference, vtable.Put());
        return vtable ? vtable : info;
    }

    TComPtr<ITypeLib> library;
};

// Reads a type's attributes and gives them back when done.
class TypeAttributes {
public:
    explicit TypeAttributes(ITypeInfo* info) : info_(info) { info_->GetTypeAttr(&attributes_); }
    ~TypeAttributes() { if (attributes_) info_->ReleaseTypeAttr(attributes_); }
    TypeAttributes(const TypeAttributes&) = delete;
    TypeAttributes& operator=(const TypeAttributes&) = delete;
    const TYPEATTR* operator->() const { return attributes_; }
    explicit operator bool() const { return attributes_ != nullptr; }
private:
    ITypeInfo* info_;
    TYPEATTR* attributes_ = nullptr;
};

class FunctionDescription {
public:
    FunctionDescription(ITypeInfo* info, UINT index) : info_(info) { info_->GetFuncDesc(index, &description_); }
    ~FunctionDescription() { if (description_) info_->ReleaseFuncDesc(description_); }
    FunctionDescription(const FunctionDescription&) = delete;
    FunctionDescription& operator=(const FunctionDescription&) = delete;
    const FUNCDESC* operator->() const { return description_; }
    explicit operator bool() const { return description_ != nullptr; }
    std::vector<std::string> Parameters() const
    {
        std::vector<std::string> types;
        for (SHORT i = 0; i < description_->cParams; ++i) types.push_back(Describe(description_->lprgelemdescParam[i].tdesc));
        return types;
    }
private:
    ITypeInfo* info_;
    FUNCDESC* description_ = nullptr;
};

std::wstring MemberName(ITypeInfo* info, MEMBERID id)
{
    BSTR name = nullptr;
    if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return {};
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
}

TEST(OcxTypeLibraryTable, ListsEveryHeaderSlotInOrder)
{
    // Consecutive offsets from the first slot after IDispatch: no method left out or moved.
    const auto& methods = HeaderMethods();
    ASSERT_EQ(methods.size(), 99u);
    for (std::size_t i = 0; i < methods.size(); ++i)
        EXPECT_EQ(methods[i].offset, (kDispatchSlots + static_cast<std::ptrdiff_t>(i)) * kSlot) << methods[i].declared;
}

TEST_F(OcxTypeLibraryTest, NamesTheLibraryAndItsThreeTypes)
{
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, vm::LIBID_ShockwaveFlashObjects));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    library->ReleaseTLibAttr(attributes);
    EXPECT_EQ(library->GetTypeInfoCount(), 3u);
    BSTR name = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"ShockwaveFlashObjects");
    SysFreeString(name);
}

TEST_F(OcxTypeLibraryTest, InterfaceIsADualOverIDispatchWithTheHeadersSlots)
{
    TComPtr<ITypeInfo> info = VtableInfo();
    ASSERT_TRUE(info);
    TypeAttributes attributes(info.Get());
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    EXPECT_EQ(attributes->cFuncs, 99);
    EXPECT_EQ(attributes->cbSizeVft, (kDispatchSlots + 99) * kSlot);

    HREFTYPE baseReference = 0;
    TComPtr<ITypeInfo> base;
    ASSERT_EQ(info->GetRefTypeOfImplType(0, &baseReference), S_OK);
    ASSERT_EQ(info->GetRefTypeInfo(baseReference, base.Put()), S_OK);
    TypeAttributes baseAttributes(base.Get());
    ASSERT_TRUE(baseAttributes);
    EXPECT_TRUE(IsEqualGUID(baseAttributes->guid, IID_IDispatch));
}

TEST_F(OcxTypeLibraryTest, EveryMethodMatchesTheHeader)
{
    TComPtr<ITypeInfo> info = VtableInfo();
    ASSERT_TRUE(info);
    const auto& methods = HeaderMethods();
    for (UINT i = 0; i < methods.size(); ++i) {
        const HeaderMethod& expected = methods[i];
        SCOPED_TRACE(expected.declared);
        FunctionDescription function(info.Get(), i);
        ASSERT_TRUE(function);
        EXPECT_EQ(function->memid, expected.id);
        EXPECT_EQ(function->invkind, expected.kind);
        EXPECT_EQ(function->oVft, expected.offset);
        EXPECT_EQ(function->callconv, CC_STDCALL);
        EXPECT_EQ(Describe(function->elemdescFunc.tdesc), "HRESULT");
        EXPECT_EQ(function.Parameters(), expected.parameters);
        EXPECT_EQ(MemberName(info.Get(), function->memid), expected.name);
        // A pointer parameter is the result a dispatch client receives; all others go in.
        for (SHORT p = 0; p < function->cParams; ++p) {
            USHORT flags = function->lprgelemdescParam[p].paramdesc.wParamFlags;
            bool result = function->lprgelemdescParam[p].tdesc.vt == VT_PTR;
            EXPECT_EQ(flags & (PARAMFLAG_FIN | PARAMFLAG_FOUT | PARAMFLAG_FRETVAL),
                      result ? PARAMFLAG_FOUT | PARAMFLAG_FRETVAL : PARAMFLAG_FIN) << "parameter " << p;
            if (result) {
                EXPECT_EQ(p, function->cParams - 1);
            }
        }
    }
}

TEST_F(OcxTypeLibraryTest, DispatchNamesResolveToTheHeadersIds)
{
    TComPtr<ITypeInfo> info = InfoOf(vm::IID_IShockwaveFlash);
    ASSERT_TRUE(info);
    for (const HeaderMethod& method : HeaderMethods()) {
        LPOLESTR name = const_cast<LPOLESTR>(method.name.c_str());
        MEMBERID id = 0;
        EXPECT_EQ(info->GetIDsOfNames(&name, 1, &id), S_OK) << method.declared;
        EXPECT_EQ(id, method.id) << method.declared;
    }
}

TEST_F(OcxTypeLibraryTest, EventInterfaceCarriesTheFourEvents)
{
    TComPtr<ITypeInfo> info = InfoOf(vm::IID_ShockwaveFlashEvents);
    ASSERT_TRUE(info);
    TypeAttributes attributes(info.Get());
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
    ASSERT_EQ(attributes->cFuncs, 4);

    struct Event { std::wstring name; DISPID id; std::vector<std::string> parameters; };
    const std::vector<Event> events = {
        {L"OnReadyStateChange", vm::FlashEventId::OnReadyStateChange, {"long"}},
        {L"OnProgress", vm::FlashEventId::OnProgress, {"long"}},
        {L"FSCommand", vm::FlashEventId::FSCommand, {"BSTR", "BSTR"}},
        {L"FlashCall", vm::FlashEventId::FlashCall, {"BSTR"}},
    };
    for (UINT i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        FunctionDescription function(info.Get(), i);
        ASSERT_TRUE(function);
        EXPECT_EQ(function->memid, events[i].id);
        EXPECT_EQ(function->invkind, INVOKE_FUNC);
        EXPECT_EQ(function->funckind, FUNC_DISPATCH);
        EXPECT_EQ(function.Parameters(), events[i].parameters);
        EXPECT_EQ(MemberName(info.Get(), function->memid), events[i].name);
    }
}

TEST_F(OcxTypeLibraryTest, ClassOffersTheInterfaceAndSourcesTheEvents)
{
    TComPtr<ITypeInfo> info = InfoOf(vm::CLSID_ShockwaveFlash);
    ASSERT_TRUE(info);
    TypeAttributes attributes(info.Get());
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    ASSERT_EQ(attributes->cImplTypes, 2);
    EXPECT_EQ(MemberName(info.Get(), MEMBERID_NIL), L"ShockwaveFlash");

    struct Implemented { GUID id; INT flags; };
    const Implemented expected[] = {
        {vm::IID_IShockwaveFlash, IMPLTYPEFLAG_FDEFAULT},
        {vm::IID_ShockwaveFlashEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
    };
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        TComPtr<ITypeInfo> implemented;
        ASSERT_EQ(info->GetImplTypeFlags(i, &flags), S_OK);
        EXPECT_EQ(flags, expected[i].flags);
        ASSERT_EQ(info->GetRefTypeOfImplType(i, &reference), S_OK);
        ASSERT_EQ(info->GetRefTypeInfo(reference, implemented.Put()), S_OK);
        TypeAttributes implementedAttributes(implemented.Get());
        ASSERT_TRUE(implementedAttributes);
        EXPECT_TRUE(IsEqualGUID(implementedAttributes->guid, expected[i].id)) << i;
    }
}

} // namespace
