// The tests' own container: what it answers a control, how it serves files and records events,
// and that it gives back every reference. The control's tests rely on all of it, so it is also
// run round the Flash host tests' scriptable stand-in control.
#include <gtest/gtest.h>

#include <windows.h>
#include <urlmon.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "MiniContainer.h"
#include "TestFlashControl.h"

using vm::TComPtr;
using vm::test::MiniContainer;
using vm::test::PumpUntil;

namespace {

struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

// A folder of its own under the temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"velmora-container-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder()
    {
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    void Write(const std::wstring& name, const std::string& bytes)
    {
        std::wstring file = path_ + L"\\" + name;
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(handle);
        files_.push_back(file);
    }
    const std::wstring& Path() const { return path_; }
private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

// What a control's download callback sees.
class BindRecorder final : public IBindStatusCallback {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = (iid == IID_IUnknown || iid == IID_IBindStatusCallback) ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override
    {
        calls.push_back("start");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR) override
    {
        calls.push_back("stop");
        stopResult = result;
        stopped = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override
    {
        *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
        info->cbSize = sizeof(BINDINFO);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override
    {
        calls.push_back("data");
        if (!medium || medium->tymed != TYMED_ISTREAM) return S_OK;
        char buffer[256];
        ULONG read = 0;
        while (medium->pstm->Read(buffer, sizeof buffer, &read) == S_OK && read > 0) bytes.append(buffer, read);
        if (read > 0) bytes.append(buffer, read);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    std::vector<std::string> calls;
    std::string bytes;
    bool stopped = false;
    HRESULT stopResult = S_OK;
    ULONG references = 0;
};

TComPtr<IBindHost> BindHostOf(MiniContainer& container)
{
    TComPtr<IServiceProvider> services;
    TComPtr<IBindHost> bindHost;
    if (SUCCEEDED(container.ClientSite()->QueryInterface(IID_IServiceProvider, services.PutVoid())))
        services->QueryService(IID_IBindHost, IID_IBindHost, bindHost.PutVoid());
    return bindHost;
}

TEST(MiniContainer, BindHostServesFilesOfItsFolderToTheCallersCallback)
{
    ComApartment apartment;
    TempFolder folder;
    folder.Write(L"movie one.swf", std::string("FWS\x06 movie bytes", 16));
    MiniContainer container(64, 48, folder.Path());
    {
        TComPtr<IBindHost> bindHost = BindHostOf(container);
        ASSERT_TRUE(bindHost);
        BindRecorder recorder;
        TComPtr<IMoniker> moniker;
        ASSERT_EQ(bindHost->CreateMoniker(const_cast<LPOLESTR>(L"movie one.swf"), nullptr, moniker.Put(), 0), S_OK);
        TComPtr<IStream> stream;
        HRESULT hr = bindHost->MonikerBindToStorage(moniker.Get(), nullptr, &recorder, IID_IStream, stream.PutVoid());
        EXPECT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        ASSERT_TRUE(PumpUntil([&] { return recorder.stopped; }, 10000));
        EXPECT_EQ(recorder.stopResult, S_OK);
        EXPECT_EQ(recorder.bytes, std::string("FWS\x06 movie bytes", 16));
        ASSERT_FALSE(recorder.calls.empty());
        EXPECT_EQ(recorder.calls.front(), "start");
        EXPECT_EQ(recorder.calls.back(), "stop");

        BindRecorder missing;
        TComPtr<IMoniker> missingMoniker;
        ASSERT_EQ(bindHost->CreateMoniker(const_cast<LPOLESTR>(L"gone.swf"), nullptr, missingMoniker.Put(), 0), S_OK);
        TComPtr<IStream> nothing;
        hr = bindHost->MonikerBindToStorage(missingMoniker.Get(), nullptr, &missing, IID_IStream, nothing.PutVoid());
        if (SUCCEEDED(hr)) {
            ASSERT_TRUE(PumpUntil([&] { return missing.stopped; }, 10000));
        }
        EXPECT_TRUE(FAILED(hr) || FAILED(missing.stopResult));
        EXPECT_TRUE(missing.bytes.empty());
    }
    EXPECT_EQ(container.requestedNames, (std::vector<std::wstring>{L"movie one.swf", L"gone.swf"}));
    EXPECT_EQ(container.ReferencesHeld(), 0);
}

TEST(MiniContainer, EventSinkRecordsArgumentsInDeclarationOrder)
{
    MiniContainer container(16, 16);
    VARIANT arguments[2];
    arguments[0].vt = VT_BSTR;
    arguments[0].bstrVal = SysAllocString(L"the args");   // last argument first
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = SysAllocString(L"the command");
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    EXPECT_EQ(container.EventSink()->Invoke(vm::FlashEventId::FSCommand, IID_NULL, 0, DISPATCH_METHOD, &parameters,
                                            nullptr, nullptr, nullptr), S_OK);
    VARIANT state;
    state.vt = VT_I4;
    state.lVal = 4;
    DISPPARAMS single{&state, nullptr, 1, 0};
    container.EventSink()->Invoke(vm::FlashEventId::OnReadyStateChange, IID_NULL, 0, DISPATCH_METHOD, &single, nullptr,
                                  nullptr, nullptr);
    VariantClear(&arguments[0]);
    VariantClear(&arguments[1]);

    ASSERT_EQ(container.events.size(), 2u);
    EXPECT_EQ(container.events[0].id, vm::FlashEventId::FSCommand);
    EXPECT_EQ(container.events[0].arguments, (std::vector<std::wstring>{L"the command", L"the args"}));
    EXPECT_EQ(container.events[1].arguments, (std::vector<std::wstring>{L"4"}));
}

TEST(MiniContainer, GivesItsWindowOnlyRightAfterARightPress)
{
    MiniContainer container(16, 16);
    TComPtr<IOleInPlaceSiteWindowless> site;
    ASSERT_EQ(container.ClientSite()->QueryInterface(IID_IOleInPlaceSiteWindowless, site.PutVoid()), S_OK);
    HWND window = reinterpret_cast<HWND>(0x1);
    EXPECT_EQ(site->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
    container.Forward(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(site->GetWindow(&window), E_FAIL);
    container.Forward(WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(site->GetWindow(&window), S_OK);
    EXPECT_EQ(window, container.Window());
    EXPECT_EQ(site->GetWindow(&window), E_FAIL);
    EXPECT_EQ(container.windowsGiven, 1);
    site.Reset();
    EXPECT_EQ(container.ReferencesHeld(), 0);
}

TEST(MiniContainer, InvalidationsAreRecordedAndRepaintOnlyTheirArea)
{
    MiniContainer container(40, 30);
    EXPECT_EQ(container.Pixel(5, 5), 0xFFFFFFu);
    container.SetBackground(RGB(0x10, 0x20, 0x30));
    TComPtr<IOleInPlaceSiteWindowless> site;
    ASSERT_EQ(container.ClientSite()->QueryInterface(IID_IOleInPlaceSiteWindowless, site.PutVoid()), S_OK);
    const RECT area{10, 5, 20, 15};
    EXPECT_EQ(site->InvalidateRect(&area, FALSE), S_OK);
    EXPECT_EQ(site->InvalidateRect(nullptr, FALSE), S_OK);
    ASSERT_EQ(container.invalidations.size(), 2u);
    EXPECT_TRUE(EqualRect(&container.invalidations[0], &area));
    const RECT whole{0, 0, 40, 30};
    EXPECT_TRUE(EqualRect(&container.invalidations[1], &whole));
    EXPECT_EQ(container.Pixel(39, 29), 0x102030u);

    container.SetBackground(RGB(0xFF, 0, 0));
    site->InvalidateRect(&area, FALSE);
    EXPECT_EQ(container.Pixel(10, 5), 0xFF0000u);
    EXPECT_EQ(container.Pixel(19, 14), 0xFF0000u);
    EXPECT_EQ(container.Pixel(20, 14), 0x102030u);
    EXPECT_EQ(container.Pixel(9, 5), 0x102030u);
}

// An object with no OLE interfaces at all.
class PlainObject final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 0;
};

TEST(MiniContainer, RefusesAnObjectThatIsNoControlAndKeepsNothing)
{
    ComApartment apartment;
    PlainObject object;
    MiniContainer container(16, 16);
    EXPECT_EQ(container.Embed(&object), E_NOINTERFACE);
    EXPECT_EQ(container.Object(), nullptr);
    EXPECT_EQ(object.references, 0u);
    EXPECT_EQ(container.ReferencesHeld(), 0);
    EXPECT_EQ(container.Embed(nullptr), E_POINTER);
}

// ---- the whole container round a scriptable control (the Flash host tests' stand-in)

class MiniContainerWithControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(OleInitialize(nullptr), S_OK);
        vm::test::TestFlashControl::Reset();
        registration = std::make_unique<vm::test::TestFlashControl::Registration>();
        ASSERT_EQ(registration->Result(), S_OK);
    }
    void TearDown() override
    {
        registration.reset();
        vm::test::TestFlashControl::Reset();
        OleUninitialize();
    }
    TComPtr<IUnknown> CreateControl()
    {
        TComPtr<IUnknown> control;
        EXPECT_EQ(CoCreateInstance(vm::CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                   IID_IUnknown, control.PutVoid()), S_OK);
        return control;
    }
    std::unique_ptr<vm::test::TestFlashControl::Registration> registration;
};

TEST_F(MiniContainerWithControl, EmbedsWindowlessDrawsTransparentAndGivesEverythingBack)
{
    vm::test::TestFlashControl::Defaults().paint = vm::test::FlashScript::Paint{{2, 2, 10, 10}, RGB(0, 0, 255)};
    TempFolder folder;
    folder.Write(L"clip.swf", "FWS movie");
    MiniContainer container(40, 30, folder.Path());
    // Kept past Close: the container must let go of the control's sinks and site itself, not
    // leave that to the control's destruction.
    TComPtr<IUnknown> control = CreateControl();
    ASSERT_TRUE(control);
    ASSERT_EQ(container.Embed(control.Get()), S_OK);
    vm::test::TestFlashControl& flash = *vm::test::TestFlashControl::LastInstance();
    const vm::test::FlashCallLog& log = flash.Calls();

    // The site before InitNew, as the control's misc status asks; then in-place, windowless.
    EXPECT_LT(log.IndexOf("SetClientSite"), log.IndexOf("InitNew"));
    EXPECT_EQ(log.First("DoVerb")->number, OLEIVERB_INPLACEACTIVATE);
    EXPECT_TRUE(flash.WindowlessActive());
    EXPECT_TRUE(container.windowless);
    EXPECT_EQ(flash.EventSinkCount(), 1u);
    EXPECT_EQ(flash.PropertySinkCount(), 1u);
    ASSERT_NE(log.Last("Draw"), nullptr);
    EXPECT_EQ(log.Last("Draw")->number, DVASPECT_TRANSPARENT);
    EXPECT_EQ(container.Pixel(5, 5), 0x0000FFu);
    EXPECT_EQ(container.Pixel(20, 20), 0xFFFFFFu);

    // What the control does to its site reaches the container's records.
    flash.RaiseFSCommand(L"quit", L"now");
    ASSERT_EQ(container.events.size(), 1u);
    EXPECT_EQ(container.events[0].id, vm::FlashEventId::FSCommand);
    EXPECT_EQ(container.events[0].arguments, (std::vector<std::wstring>{L"quit", L"now"}));
    flash.NotifyPropertyChanged(vm::FlashDispId::FrameNum);
    EXPECT_EQ(container.changedProperties, (std::vector<DISPID>{vm::FlashDispId::FrameNum}));
    const RECT area{1, 1, 4, 4};
    flash.InvalidateSiteRect(&area, FALSE);
    ASSERT_FALSE(container.invalidations.empty());
    EXPECT_TRUE(EqualRect(&container.invalidations.back(), &area));
    container.Forward(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(container.windowsGiven, 1);
    ASSERT_EQ(flash.Fetch(L"clip.swf"), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return flash.Downloads().back()->Stopped(); }, 10000));
    const std::vector<BYTE>& bytes = flash.Downloads().back()->Bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "FWS movie");

    container.Close();
    EXPECT_EQ(flash.EventSinkCount(), 0u);
    EXPECT_EQ(flash.PropertySinkCount(), 0u);
    EXPECT_FALSE(flash.HasClientSite());
    EXPECT_TRUE(flash.HeldSiteReferences().empty());
    EXPECT_EQ(container.ReferencesHeld(), 0);
    EXPECT_EQ(flash.ReferenceCount(), 1);   // the test's own
    control.Reset();
    EXPECT_TRUE(flash.Destroyed());
}

TEST_F(MiniContainerWithControl, AControlWithoutEventsIsGivenBackWhole)
{
    vm::test::TestFlashControl::Defaults().missingConnectionPoints = {"Events"};
    MiniContainer container(16, 16);
    {
        TComPtr<IUnknown> control = CreateControl();
        ASSERT_TRUE(control);
        EXPECT_TRUE(FAILED(container.Embed(control.Get())));
    }
    vm::test::TestFlashControl& flash = *vm::test::TestFlashControl::LastInstance();
    EXPECT_EQ(container.Object(), nullptr);
    EXPECT_TRUE(flash.HeldSiteReferences().empty());
    EXPECT_TRUE(flash.OutstandingReferences().empty());
    EXPECT_EQ(container.ReferencesHeld(), 0);
}

} // namespace
