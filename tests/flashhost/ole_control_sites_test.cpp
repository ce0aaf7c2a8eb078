// What the hosted object learns from its sites: one identity behind every interface, services
// answered as interfaces, window requests refused, the window context, ambient properties,
// coordinates, capture, events into handler slots, and property-change notifications.
#include <gtest/gtest.h>

#include <olectl.h>
#include <servprov.h>

#include "HostFixture.h"
#include "flashhost/OleErrors.h"

namespace vm::test {
namespace {

using Sites = HostFixture;

OwnedVariant IntArg(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return OwnedVariant(v);
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

template <class I> TComPtr<I> QueryFrom(IUnknown* from) {
    TComPtr<I> out;
    from->QueryInterface(__uuidof(I), out.PutVoid());
    return out;
}

TEST_F(Sites, EveryEntryAnswersTheSameInterfacesAndOneIdentity) {
    AddPlayer();
    IOleClientSite* site = Flash().ClientSite();
    ASSERT_NE(site, nullptr);
    TComPtr<IUnknown> identity = QueryFrom<IUnknown>(site);
    for (IUnknown* entry : {static_cast<IUnknown*>(QueryFrom<IOleInPlaceSite>(site).Get()),
                            static_cast<IUnknown*>(QueryFrom<IOleInPlaceFrame>(site).Get()),
                            static_cast<IUnknown*>(QueryFrom<IMoniker>(site).Get()),
                            static_cast<IUnknown*>(QueryFrom<IBindHost>(site).Get())}) {
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(QueryFrom<IUnknown>(entry).Get(), identity.Get());
        EXPECT_NE(QueryFrom<IOleControlSite>(entry).Get(), nullptr);
    }
    // IOleInPlaceSiteEx is only part of the windowless site, never answered by its own id.
    EXPECT_EQ(QueryFrom<IOleInPlaceSiteEx>(site).Get(), nullptr);
    EXPECT_EQ(QueryFrom<IOleContainer>(site).Get(), nullptr);
}

TEST_F(Sites, RenamingOrReparentingTellsTheObjectItsAmbientsChanged) {
    TsfFlashPlayer& player = AddPlayer();
    player.SetName("Stage");
    EXPECT_EQ(Flash().Calls().Last("OnAmbientPropertyChange")->number, DISPID_AMBIENT_DISPLAYNAME);
    player.SetParent(form.get());
    EXPECT_EQ(Flash().Calls().Last("OnAmbientPropertyChange")->number, DISPID_UNKNOWN);
}

TEST_F(Sites, QueryServiceAnswersAnyServiceIdAsQueryInterface) {
    AddPlayer();
    TComPtr<IServiceProvider> services = QueryFrom<IServiceProvider>(Flash().ClientSite());
    ASSERT_TRUE(services);
    for (REFGUID service : {IID_IBindHost, IID_IUnknown, CLSID_NULL, IID_IStream}) {
        TComPtr<IBindHost> viaService;
        EXPECT_EQ(services->QueryService(service, IID_IBindHost, viaService.PutVoid()), S_OK);
        EXPECT_EQ(viaService.Get(), QueryFrom<IBindHost>(Flash().ClientSite()).Get());
        TComPtr<IStream> none;
        EXPECT_EQ(services->QueryService(service, IID_IStream, none.PutVoid()), E_NOINTERFACE);
        EXPECT_FALSE(none);
    }
}

TEST_F(Sites, WindowRequestsAreRefusedAndTheContextHasNoFrameWindow) {
    AddPlayer(20, 10, 200, 150);
    IOleClientSite* site = Flash().ClientSite();
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(QueryFrom<IOleInPlaceSite>(site)->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
    window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(QueryFrom<IOleInPlaceSiteWindowless>(site)->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
    window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(QueryFrom<IOleInPlaceUIWindow>(site)->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);

    const FlashCall* context = Flash().Calls().First("Site.GetWindowContext");
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->handle, 0u);   // no frame window
    EXPECT_TRUE(SameRect(*context->clip, RECT{0, 0, 32767, 32767}));
}

TEST_F(Sites, AmbientPropertiesAnswerGetsOnlyAndTheirValues) {
    TsfFlashPlayer& player = AddPlayer();
    player.SetName("Movie1");
    player.SetColor(clRed);
    TestFlashControl& flash = Flash();
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(flash.ReadAmbient(DISPID_AMBIENT_BACKCOLOR, &v), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, static_cast<LONG>(clRed));
    VariantClear(&v);
    ASSERT_EQ(flash.ReadAmbient(DISPID_AMBIENT_DISPLAYNAME, &v), S_OK);
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_STREQ(v.bstrVal, L"Movie1");
    VariantClear(&v);
    ASSERT_EQ(flash.ReadAmbient(DISPID_AMBIENT_USERMODE, &v), S_OK);
    EXPECT_EQ(v.vt, VT_BOOL);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);
    VariantClear(&v);
    ASSERT_EQ(flash.ReadAmbient(DISPID_AMBIENT_UIDEAD, &v), S_OK);
    EXPECT_EQ(v.boolVal, VARIANT_FALSE);
    VariantClear(&v);
    ASSERT_EQ(flash.ReadAmbient(DISPID_AMBIENT_FONT, &v), S_OK);
    ASSERT_EQ(v.vt, VT_DISPATCH);
    EXPECT_TRUE(QueryFrom<IFont>(v.pdispVal));
    VariantClear(&v);
    EXPECT_EQ(flash.ReadAmbient(DISPID_AMBIENT_PALETTE, &v), DISP_E_MEMBERNOTFOUND);

    // A method call, a put, or a get without a result are not ambient reads.
    TComPtr<IDispatch> ambient = QueryFrom<IDispatch>(flash.ClientSite());
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYPUT, &none, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    UINT count = 5;
    EXPECT_EQ(ambient->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST_F(Sites, TransformCoordsConvertsAtTheScreenResolution) {
    AddPlayer();
    TComPtr<IOleControlSite> site = QueryFrom<IOleControlSite>(Flash().ClientSite());
    POINTL himetric{2540, 5080};
    POINTF container{};
    ASSERT_EQ(site->TransformCoords(&himetric, &container, XFORMCOORDS_HIMETRICTOCONTAINER), S_OK);
    EXPECT_FLOAT_EQ(container.x, 96.0f);   // Wine's screen: 96 pixels per inch
    EXPECT_FLOAT_EQ(container.y, 192.0f);
    container = POINTF{48.0f, 1.0f};
    ASSERT_EQ(site->TransformCoords(&himetric, &container, XFORMCOORDS_CONTAINERTOHIMETRIC), S_OK);
    EXPECT_EQ(himetric.x, 1270);
    EXPECT_EQ(himetric.y, 26);   // 26.458 rounds to nearest
}

TEST_F(Sites, CaptureIsRememberedOnlyForAControlWithAParentWindow) {
    TsfFlashPlayer& player = AddPlayer();
    IOleInPlaceSiteWindowless* site = Flash().WindowlessSite();
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->GetCapture(), S_FALSE);
    EXPECT_EQ(site->SetCapture(TRUE), S_OK);
    EXPECT_EQ(site->GetCapture(), S_OK);
    EXPECT_EQ(site->SetCapture(FALSE), S_OK);
    EXPECT_EQ(site->GetCapture(), S_FALSE);
    RECT adjusted{};
    EXPECT_EQ(site->AdjustRect(&adjusted), S_OK);
    EXPECT_TRUE(SameRect(adjusted, RECT{0, 0, player.Width(), player.Height()}));
}

TEST_F(Sites, DefaultWindowMessageHandlingDoesNotReenterTheObject) {
    TsfFlashPlayer& player = AddPlayer();
    TestFlashControl& flash = Flash();
    // An object that answers a message by asking for the default handling: the control runs
    // its own handling and must not offer the message to the object once more.
    int asked = 0;
    flash.OnCall = [&](const FlashCall& call) {
        if (call.name != "OnWindowMessage" || call.number != static_cast<long>(WM_MOUSEMOVE)) return;
        if (++asked > 5) return;   // keeps a faulty host from hanging the test
        LRESULT result = 0;
        flash.WindowlessSite()->OnDefWindowMessage(WM_MOUSEMOVE, call.wParam, call.lParam, &result);
    };
    int moves = 0;
    player.OnMouseMove = [&](TComponent*, TShiftState, int, int) { ++moves; };
    player.Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    flash.OnCall = nullptr;
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(moves, 2);   // once from the default handling, once from the message itself
}

TEST_F(Sites, EventsReachTheirHandlerSlotsWithTheirArgumentsInOrder) {
    TsfFlashPlayer& player = AddPlayer();
    int state = -1, percent = -1;
    std::wstring request;
    player.OnReadyStateChange = [&](TComponent* sender, int s) { EXPECT_EQ(sender, &player); state = s; };
    player.OnProgress = [&](TComponent*, int p) { percent = p; };
    player.OnFlashCall = [&](TComponent*, const std::wstring& r) { request = r; };
    EXPECT_EQ(Flash().RaiseReadyStateChange(3), S_OK);
    EXPECT_EQ(Flash().RaiseProgress(42), S_OK);
    EXPECT_EQ(Flash().RaiseFlashCall(L"<invoke name=\"hello\"/>"), S_OK);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(percent, 42);
    EXPECT_EQ(request, L"<invoke name=\"hello\"/>");
}

TEST_F(Sites, EventsWithoutASlotOrHandlerAndShortStockEventsAreIgnored) {
    TsfFlashPlayer& player = AddPlayer();
    EXPECT_EQ(Flash().RaiseEvent(4242, {}), S_OK);                 // not in the description
    EXPECT_EQ(Flash().RaiseProgress(10), S_OK);                    // no handler assigned
    int downs = 0;
    player.OnMouseDown = [&](TComponent*, TMouseButton button, TShiftState shift, int x, int y) {
        ++downs;
        EXPECT_EQ(button, TMouseButton::mbRight);
        EXPECT_EQ(shift, ssRight | ssCtrl);
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 9);
    };
    std::vector<OwnedVariant> three{IntArg(2), IntArg(2), IntArg(7)};
    EXPECT_EQ(Flash().RaiseEvent(DISPID_MOUSEDOWN, three), S_OK);
    EXPECT_EQ(downs, 0);
    std::vector<OwnedVariant> four{IntArg(2), IntArg(2), IntArg(7), IntArg(9)};
    EXPECT_EQ(Flash().RaiseEvent(DISPID_MOUSEDOWN, four), S_OK);
    EXPECT_EQ(downs, 1);
}

TEST_F(Sites, AnErrorInAHandlerGoesToTheErrorBoxAndTheEventStillSucceeds) {
    TsfFlashPlayer& player = AddPlayer();
    TMessageBoxRecorder boxes;
    player.OnProgress = [&](TComponent*, int) { throw EVelmoraError("handler failed"); };
    EXPECT_EQ(Flash().RaiseProgress(50), S_OK);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "handler failed");
}

TEST_F(Sites, AStockPropertyChangeIsCopiedOnceWithoutEchoingBack) {
    TsfFlashPlayer& player = AddPlayer();
    VARIANT red;
    VariantInit(&red);
    red.vt = VT_I4;
    red.lVal = static_cast<LONG>(clRed);
    player.WriteProperty(DISPID_BACKCOLOR, red);
    EXPECT_EQ(Flash().NotifyPropertyChanged(DISPID_BACKCOLOR), S_OK);
    EXPECT_EQ(player.Color(), clRed);
    // A property the container does not mirror changes nothing and still answers S_OK.
    EXPECT_EQ(Flash().NotifyPropertyChanged(FlashDispId::Quality2), S_OK);
    EXPECT_EQ(Flash().RequestPropertyEdit(DISPID_BACKCOLOR), S_OK);
}

}  // namespace
}  // namespace vm::test
