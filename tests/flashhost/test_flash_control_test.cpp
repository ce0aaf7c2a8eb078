// The test Flash control is the yardstick of every host test: these check the parts of it whose
// faults would make host tests pass or fail wrongly (class registration under Wine, reference
// accounting, the order of site callbacks and event arguments, the property store, drawing and
// the download path).
#include <gtest/gtest.h>

#include <olectl.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TestFlashControl.h"
#include "framework/ComPtr.h"

namespace vm::test {
namespace {

const HWND kSiteWindow = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4242));
const RECT kContextPosition{10, 20, 110, 70};

// A container site just big enough to drive the control: it answers every site call the
// control makes with fixed values, logs their names and counts its references.
class MinimalSite final : public IOleClientSite,
                          public IOleInPlaceSiteWindowless,
                          public IServiceProvider,
                          public IBindHost {
public:
    long refs = 1;
    std::vector<std::string> calls;
    bool answersBindHost = true;
    HRESULT createMonikerResult = S_OK;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleInPlaceSiteEx) ||
                 IsEqualIID(iid, IID_IOleInPlaceSiteWindowless) || IsEqualIID(iid, IID_IOleWindow))
            *out = static_cast<IOleInPlaceSiteWindowless*>(this);
        else if (IsEqualIID(iid, IID_IServiceProvider))
            *out = static_cast<IServiceProvider*>(this);
        else if (IsEqualIID(iid, IID_IBindHost) && answersBindHost)
            *out = static_cast<IBindHost*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** m) override { *m = nullptr; return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite, IOleInPlaceSiteEx, IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override { *w = kSiteWindow; return Log("GetWindow"); }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return Log("CanInPlaceActivate"); }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return Log("OnInPlaceActivate"); }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO) override
    {
        *frame = nullptr;
        *document = nullptr;
        *position = kContextPosition;
        *clip = RECT{0, 0, 32767, 32767};
        return Log("GetWindowContext");
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return Log("OnInPlaceDeactivate"); }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL*, DWORD flags) override
    {
        return Log(flags & ACTIVATE_WINDOWLESS ? "OnInPlaceActivateEx(windowless)" : "OnInPlaceActivateEx");
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return Log("OnInPlaceDeactivateEx"); }
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return Log("CanWindowlessActivate"); }
    HRESULT STDMETHODCALLTYPE GetCapture() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetFocus() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC* dc) override { *dc = nullptr; return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT, BOOL) override { return Log("InvalidateRect"); }
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override { return Log("InvalidateRgn"); }
    HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* r) override { *r = 0; return S_OK; }

    // IServiceProvider: every service is the site itself, as in the host.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID, REFIID iid, void** out) override
    {
        calls.push_back("QueryService");
        return QueryInterface(iid, out);
    }

    // IBindHost: a URL moniker from urlmon, which reads local files.
    HRESULT STDMETHODCALLTYPE CreateMoniker(LPOLESTR name, IBindCtx*, IMoniker** moniker, DWORD) override
    {
        calls.push_back("CreateMoniker");
        *moniker = nullptr;
        if (createMonikerResult != S_OK) return createMonikerResult;
        using Create = HRESULT(WINAPI*)(IMoniker*, LPCWSTR, IMoniker**);
        auto create = reinterpret_cast<Create>(
            reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"urlmon.dll"), "CreateURLMoniker")));
        return create ? create(nullptr, name, moniker) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE MonikerBindToStorage(IMoniker*, IBindCtx*, IBindStatusCallback*, REFIID, void** o) override
    {
        *o = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MonikerBindToObject(IMoniker*, IBindCtx*, IBindStatusCallback*, REFIID, void** o) override
    {
        *o = nullptr;
        return E_NOTIMPL;
    }

private:
    HRESULT Log(const char* name)
    {
        calls.push_back(name);
        return S_OK;
    }
};

// An event sink that answers the events interface and keeps what each Invoke carried.
class RecordingEventSink final : public IDispatch {
public:
    long refs = 1;
    bool answersEventInterface = true;
    struct Received {
        DISPID id;
        std::vector<std::wstring> textsAsSent;  // rgvarg order: the last argument first
    };
    std::vector<Received> received;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            (answersEventInterface && IsEqualIID(iid, vm::IID_ShockwaveFlashEvents)))
            *out = static_cast<IDispatch*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** t) override { *t = nullptr; return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        Received r{id, {}};
        for (UINT i = 0; i < params->cArgs; ++i) {
            const VARIANT& v = params->rgvarg[i];
            r.textsAsSent.push_back(v.vt == VT_BSTR ? std::wstring(v.bstrVal) : std::to_wstring(v.lVal));
        }
        received.push_back(r);
        return S_OK;
    }
};

class TestFlashControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        TestFlashControl::Reset();
        registration_ = std::make_unique<TestFlashControl::Registration>();
        ASSERT_EQ(registration_->Result(), S_OK);
    }
    void TearDown() override
    {
        registration_.reset();
        TestFlashControl::Reset();
        OleUninitialize();
    }

    // Created as the host creates it: CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, for IOleObject.
    TComPtr<IOleObject> Create()
    {
        TComPtr<IOleObject> object;
        HRESULT hr = CoCreateInstance(vm::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IOleObject, object.PutVoid());
        EXPECT_EQ(hr, S_OK);
        return object;
    }

    std::unique_ptr<TestFlashControl::Registration> registration_;
};

TEST_F(TestFlashControlTest, HostStyleCreationFindsTheClassRegisteredInTheProcess)
{
    TComPtr<IOleObject> object = Create();
    ASSERT_TRUE(object);
    TestFlashControl* control = TestFlashControl::LastInstance();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->ReferenceCount(), 1);

    object.Reset();
    EXPECT_TRUE(control->Destroyed());

    registration_.reset();
    IOleObject* none = nullptr;
    EXPECT_EQ(CoCreateInstance(vm::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_IOleObject, reinterpret_cast<void**>(&none)),
              REGDB_E_CLASSNOTREG);
}

TEST_F(TestFlashControlTest, ScriptedCreationFailureReachesTheCreator)
{
    TestFlashControl::Defaults().creationFailure = REGDB_E_CLASSNOTREG;
    IOleObject* object = nullptr;
    EXPECT_EQ(CoCreateInstance(vm::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_IOleObject, reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(TestFlashControl::LastInstance(), nullptr);
}

TEST_F(TestFlashControlTest, ReferencesAreBookedPerInterfaceAndTheLastReleaseLetsGoOfTheSite)
{
    MinimalSite site;
    TComPtr<IOleObject> object = Create();
    TestFlashControl& control = *TestFlashControl::LastInstance();
    TComPtr<IViewObject> view = object.Query<IViewObject>();
    TComPtr<IOleInPlaceObject> inPlace = object.Query<IOleInPlaceObject>();
    ASSERT_TRUE(view && inPlace);
    EXPECT_EQ(control.OutstandingReferences(),
              (std::map<std::string, long>{{"IOleObject", 1}, {"IViewObject", 1}, {"IOleInPlaceObject", 1}}));

    object->SetClientSite(&site);
    EXPECT_EQ(site.refs, 2);
    EXPECT_EQ(control.HeldSiteReferences(), (std::map<std::string, long>{{"IOleClientSite", 1}}));

    object.Reset();
    view.Reset();
    EXPECT_FALSE(control.Destroyed());
    inPlace.Reset();
    EXPECT_TRUE(control.Destroyed());
    EXPECT_TRUE(control.OutstandingReferences().empty());
    EXPECT_TRUE(control.HeldSiteReferences().empty());
    EXPECT_EQ(site.refs, 1);
}

TEST_F(TestFlashControlTest, RefusedInterfaceIsNotAnswered)
{
    TestFlashControl::Defaults().refusedInterfaces = {"IPersistStreamInit"};
    TComPtr<IOleObject> object = Create();
    EXPECT_FALSE(object.Query<IPersistStreamInit>());
    EXPECT_TRUE(object.Query<IOleControl>());
}

TEST_F(TestFlashControlTest, WindowlessActivationCallsTheSiteInOrderAndCloseDeactivates)
{
    MinimalSite site;
    TComPtr<IOleObject> object = Create();
    TestFlashControl& control = *TestFlashControl::LastInstance();
    object->SetClientSite(&site);
    const RECT bounds{1, 2, 3, 4};
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, &bounds), S_OK);

    EXPECT_EQ(site.calls, (std::vector<std::string>{"CanWindowlessActivate", "OnInPlaceActivateEx(windowless)",
                                                    "GetWindowContext"}));
    EXPECT_EQ(control.Calls().Names("Site."),
              (std::vector<std::string>{"Site.CanWindowlessActivate", "Site.OnInPlaceActivateEx",
                                        "Site.GetWindowContext"}));
    EXPECT_TRUE(control.WindowlessActive());
    EXPECT_TRUE(EqualRect(&control.Calls().First("DoVerb")->rect.value(), &bounds));
    const RECT position = control.InPlaceRect();
    EXPECT_TRUE(EqualRect(&position, &kContextPosition));

    object.Query<IOleInPlaceObjectWindowless>()->OnWindowMessage(WM_RBUTTONDOWN, 0, 0, nullptr);
    ASSERT_NE(control.Calls().Last("Site.GetWindow"), nullptr);
    EXPECT_EQ(control.Calls().Last("Site.GetWindow")->handle, reinterpret_cast<UINT_PTR>(kSiteWindow));

    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(site.calls.back(), "OnInPlaceDeactivate");
    EXPECT_FALSE(control.InPlaceActive());
    EXPECT_EQ(control.HeldSiteReferences(), (std::map<std::string, long>{{"IOleClientSite", 1}}));
    object->SetClientSite(nullptr);
    EXPECT_TRUE(control.HeldSiteReferences().empty());
}

TEST_F(TestFlashControlTest, ScriptedPlainActivationReportsThroughOnInPlaceActivate)
{
    TestFlashControl::Defaults().usesActivateEx = false;
    TestFlashControl::Defaults().windowless = false;
    MinimalSite site;
    TComPtr<IOleObject> object = Create();
    object->SetClientSite(&site);
    object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, &kContextPosition);
    EXPECT_EQ(site.calls, (std::vector<std::string>{"OnInPlaceActivate", "GetWindowContext"}));
    EXPECT_FALSE(object.Query<IOleInPlaceObjectWindowless>());
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
}

TEST_F(TestFlashControlTest, EventsReachEachSinkWithTheLastArgumentFirst)
{
    TComPtr<IOleObject> object = Create();
    TestFlashControl& control = *TestFlashControl::LastInstance();
    TComPtr<IConnectionPoint> point;
    ASSERT_EQ(object.Query<IConnectionPointContainer>()->FindConnectionPoint(vm::IID_ShockwaveFlashEvents, point.Put()), S_OK);

    RecordingEventSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_EQ(control.RaiseFSCommand(L"quit", L"now"), S_OK);
    EXPECT_EQ(control.RaiseProgress(40), S_OK);

    ASSERT_EQ(sink.received.size(), 2u);
    EXPECT_EQ(sink.received[0].id, vm::FlashEventId::FSCommand);
    EXPECT_EQ(sink.received[0].textsAsSent, (std::vector<std::wstring>{L"now", L"quit"}));
    EXPECT_EQ(sink.received[1].id, vm::FlashEventId::OnProgress);
    EXPECT_EQ(sink.received[1].textsAsSent, (std::vector<std::wstring>{L"40"}));

    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.refs, 1);
    EXPECT_TRUE(control.HeldSiteReferences().empty());

    RecordingEventSink stranger;
    stranger.answersEventInterface = false;
    EXPECT_EQ(point->Advise(&stranger, &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(stranger.refs, 1);
}

TEST_F(TestFlashControlTest, DispatchStoreKeepsTheVariantTypeItWasGiven)
{
    TComPtr<IOleObject> object = Create();
    TestFlashControl& control = *TestFlashControl::LastInstance();
    TComPtr<IDispatch> dispatch = object.Query<IDispatch>();
    TComPtr<IShockwaveFlash> flash = object.Query<IShockwaveFlash>();
    ASSERT_TRUE(dispatch && flash);

    // A boolean sent as a 16-bit integer stays a 16-bit integer in the store.
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I2;
    value.iVal = -1;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    ASSERT_EQ(dispatch->Invoke(vm::FlashDispId::Playing, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr,
                               nullptr),
              S_OK);
    ASSERT_NE(control.StoredProperty(vm::FlashDispId::Playing), nullptr);
    EXPECT_EQ(control.StoredProperty(vm::FlashDispId::Playing)->vt, VT_I2);
    EXPECT_EQ(control.Calls().Last("Invoke")->type, VT_I2);

    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(dispatch->Invoke(vm::FlashDispId::Playing, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                               nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_I2);
    VARIANT_BOOL playing = VARIANT_FALSE;
    EXPECT_EQ(flash->get_Playing(&playing), S_OK);
    EXPECT_EQ(playing, VARIANT_TRUE);

    // Through the vtable a put carries the accessor's own type, readable through Invoke.
    BSTR transparent = SysAllocString(L"Transparent");
    EXPECT_EQ(flash->put_WMode(transparent), S_OK);
    SysFreeString(transparent);
    ASSERT_EQ(dispatch->Invoke(vm::FlashDispId::WMode, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                               nullptr),
              S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_STREQ(result.bstrVal, L"Transparent");
    VariantClear(&result);

    // A string never put reads as an empty string, not as whatever the union held.
    VariantInit(&result);
    ASSERT_EQ(dispatch->Invoke(vm::FlashDispId::Quality2, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                               nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(result.bstrVal, nullptr);

    // A put without the DISPID_PROPERTYPUT named argument is refused and stores nothing.
    DISPPARAMS unnamed{&value, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(vm::FlashDispId::Scale, IID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr,
                               nullptr),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(control.StoredProperty(vm::FlashDispId::Scale), nullptr);
}

TEST_F(TestFlashControlTest, ScriptedInvokeFailureCarriesItsDescription)
{
    TestFlashControl::Defaults().invokeFailures[vm::FlashDispId::Quality2] = {DISP_E_EXCEPTION, L"no such quality"};
    TComPtr<IOleObject> object = Create();
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO exception{};
    EXPECT_EQ(object.Query<IDispatch>()->Invoke(vm::FlashDispId::Quality2, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                             &result, &exception, nullptr),
              DISP_E_EXCEPTION);
    ASSERT_NE(exception.bstrDescription, nullptr);
    EXPECT_STREQ(exception.bstrDescription, L"no such quality");
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
}

TEST_F(TestFlashControlTest, MethodsAnswerFromTheScriptThroughInvokeAndTheVtable)
{
    TestFlashControl::Defaults().flashVersion = 0x00080002;
    TestFlashControl::Defaults().fetchOnLoadMovie = false;
    TComPtr<IOleObject> object = Create();
    TestFlashControl& control = *TestFlashControl::LastInstance();

    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(object.Query<IDispatch>()->Invoke(vm::FlashDispId::FlashVersion, IID_NULL, 0,
                                             DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0x00080002);

    TComPtr<IShockwaveFlash> flash = object.Query<IShockwaveFlash>();
    BSTR request = SysAllocString(L"<invoke name=\"playflv\"/>");
    BSTR reply = nullptr;
    EXPECT_EQ(flash->CallFunction(request, &reply), S_OK);
    EXPECT_STREQ(reply, L"<string>ok</string>");
    EXPECT_EQ(control.Calls().Last("CallFunction")->text, L"<invoke name=\"playflv\"/>");
    SysFreeString(reply);

    EXPECT_EQ(flash->LoadMovie(0, request), S_OK);
    EXPECT_EQ(control.Calls().Last("LoadMovie")->number, 0);
    EXPECT_TRUE(control.Downloads().empty());
    SysFreeString(request);
}

TEST_F(TestFlashControlTest, DrawPaintsTheScriptedAreaInsideItsFrameOnly)
{
    TestFlashControl::Defaults().paint = FlashScript::Paint{RECT{2, 3, 40, 8}, RGB(255, 0, 0)};
    TComPtr<IOleObject> object = Create();

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    auto* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + 40 * 30, 0x00FFFFFF);
    auto at = [&](int x, int y) { GdiFlush(); return pixels[y * 40 + x] & 0xFFFFFF; };

    const RECTL bounds{5, 5, 25, 25};
    EXPECT_EQ(object.Query<IViewObject>()->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                                             nullptr, 0),
              S_OK);
    EXPECT_EQ(at(7, 8), 0xFF0000u);   // the area's top-left corner, moved by the bounds
    EXPECT_EQ(at(24, 12), 0xFF0000u); // the area reaches past the bounds: clipped at their edge
    EXPECT_EQ(at(25, 12), 0xFFFFFFu);
    EXPECT_EQ(at(6, 8), 0xFFFFFFu);
    EXPECT_EQ(at(7, 13), 0xFFFFFFu);

    // Without bounds it draws into its in-place rectangle.
    const RECT position{0, 0, 10, 10};
    object.Query<IOleInPlaceObject>()->SetObjectRects(&position, &position);
    object.Query<IViewObject>()->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, dc, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(at(2, 3), 0xFF0000u);
    EXPECT_EQ(at(10, 3), 0xFFFFFFu);

    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(TestFlashControlTest, FetchReadsTheHostsMonikerThroughTheCallbackRegisteredInTheBindContext)
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"tfc", 0, path);
    const std::string content = "FWS movie bytes";
    {
        std::ofstream file(path, std::ios::binary);
        file << content;
    }

    MinimalSite site;
    TComPtr<IOleObject> object = Create();
    TestFlashControl& control = *TestFlashControl::LastInstance();
    object->SetClientSite(&site);
    EXPECT_EQ(control.Fetch(path), S_OK);

    ASSERT_EQ(control.Downloads().size(), 1u);
    const TestDownload& download = *control.Downloads().back();
    EXPECT_EQ(std::string(download.Bytes().begin(), download.Bytes().end()), content);
    EXPECT_TRUE(download.Started());
    EXPECT_TRUE(download.Stopped());
    const FlashCallLog& log = control.Calls();
    EXPECT_LT(log.IndexOf("Site.QueryService"), log.IndexOf("Site.CreateMoniker"));
    EXPECT_LT(log.IndexOf("Site.CreateMoniker"), log.IndexOf("Bind.OnStartBinding"));
    EXPECT_LT(log.IndexOf("Bind.OnDataAvailable"), log.IndexOf("Bind.OnStopBinding"));

    // A URL the host leaves to the control is fetched by the control itself.
    site.createMonikerResult = E_NOTIMPL;
    EXPECT_EQ(control.Fetch(L"http://example.invalid/a.swf"), S_OK);
    EXPECT_EQ(log.Last("SelfFetch")->text, L"http://example.invalid/a.swf");

    object->SetClientSite(nullptr);
    EXPECT_TRUE(control.HeldSiteReferences().empty());
    object.Reset();
    EXPECT_TRUE(control.Destroyed());
    EXPECT_EQ(site.refs, 1);
    DeleteFileW(path);
}

TEST_F(TestFlashControlTest, PersistenceSavesTheScriptedBytesAndKeepsWhatItLoaded)
{
    TestFlashControl::Defaults().savedState = {1, 2, 3};
    TComPtr<IOleObject> object = Create();
    TestFlashControl& control = *TestFlashControl::LastInstance();
    TComPtr<IPersistStreamInit> persist = object.Query<IPersistStreamInit>();

    TComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    EXPECT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream.Get()), S_OK);
    EXPECT_EQ(control.LoadedState(), (std::vector<BYTE>{1, 2, 3}));
}

} // namespace
} // namespace vm::test
