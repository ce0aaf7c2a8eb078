// Our Flash control driven through its COM interfaces only, in the tests' own container: late
// binding by name and by dispatch id, properties with their variant types, a movie fetched
// through the container's bind host with the events a real control raises, drawing that gives
// the engine's own pixels (both qualities, into a DIB section and into a plain bitmap), only
// changed rectangles invalidated, the context menu, hostile movies, and every reference given
// back so the server may unload.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "MiniContainer.h"
#include "OcxServer.h"
#include "PlaybackTestSupport.h"
#include "decode/Decoder.h"
#include "player/Player.h"
#include "player/ocx/FlashControl.h"

namespace vm::test {
namespace {

using flash::test::Bytes;
using flash::test::ChildMovie;
using flash::test::LoadsFromItsFolderMovie;
using flash::test::ContainerCallsMovie;
using flash::test::KeyListenerMovie;
using flash::test::MovingBoxMovie;

// A folder of movies for the container's bind host, removed afterwards.
class MovieFolder {
public:
    MovieFolder() {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::filesystem::path(base) / ("velmora-ocx-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(path_);
    }
    ~MovieFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(path_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::wstring Path() const { return path_.wstring(); }

private:
    std::filesystem::path path_;
};

// A one-frame movie with a triangle (its slanted edge tells Low from High) and a box, on a
// 200 x 100 stage, stopped.
std::vector<uint8_t> StillMovie() {
    auto movie = swfw::Movie::pixels(6, 200, 100, 12);
    movie.backgroundColor({255, 255, 255, 255});
    swfw::ShapeBuilder triangle;
    triangle.fill1(triangle.addSolidFill({0, 90, 200, 255}))
        .moveTo(20 * 20, 10 * 20).lineTo(120 * 20, 10 * 20).lineTo(20 * 20, 90 * 20).lineTo(20 * 20, 10 * 20);
    const uint16_t t = movie.defineShape(triangle);
    const uint16_t box = flash::test::DefineBox(movie, 30, 30, {200, 20, 20, 255});
    movie.place(swfw::Placement{.depth = 1, .character = t});
    movie.place(swfw::Placement{.depth = 2, .character = box, .matrix = flash::test::At(150, 50)});
    movie.showFrame();
    return Bytes(movie);
}

BSTR Bstr(const wchar_t* text) { return SysAllocString(text); }

struct ScopedBstr {
    BSTR value = nullptr;
    ~ScopedBstr() { SysFreeString(value); }
    std::wstring Text() const { return value ? std::wstring(value, SysStringLen(value)) : std::wstring(); }
};

class OcxControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        server = std::make_unique<OcxServer>();
        ASSERT_TRUE(server->Loaded());
    }
    void TearDown() override {
        if (container) container->Close();
        container.reset();
        flash.Reset();
        control.Reset();
        // Everything given back: the server may be unloaded now.
        EXPECT_EQ(server->CanUnloadNow(), S_OK);
        server.reset();
        OleUninitialize();
    }

    TComPtr<IUnknown> Create() {
        TComPtr<IClassFactory> factory;
        EXPECT_EQ(server->GetClassObject(CLSID_ShockwaveFlash, IID_IClassFactory, factory.PutVoid()), S_OK);
        TComPtr<IUnknown> object;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.PutVoid()), S_OK);
        return object;
    }
    // The control embedded in a width x height container serving `folder`.
    IShockwaveFlash& Embedded(int width = 200, int height = 100) {
        control = Create();
        container = std::make_unique<MiniContainer>(width, height, folder.Path());
        EXPECT_EQ(container->Embed(control.Get()), S_OK);
        flash = container->Flash();
        return *flash.Get();
    }
    HRESULT LoadMovie(const std::string& name, const std::vector<uint8_t>& bytes) {
        folder.Write(name, bytes);
        BSTR url = Bstr(std::wstring(name.begin(), name.end()).c_str());
        HRESULT hr = flash->put_Movie(url);
        SysFreeString(url);
        return hr;
    }

    // The movie's variable `name` as GetVariable gives it, checking its result.
    std::wstring Variable(const wchar_t* name, HRESULT expected = S_OK) {
        ScopedBstr value;
        BSTR n = Bstr(name);
        EXPECT_EQ(flash->GetVariable(n, &value.value), expected) << name;
        SysFreeString(n);
        return value.Text();
    }

    MovieFolder folder;
    std::unique_ptr<OcxServer> server;
    std::unique_ptr<MiniContainer> container;
    TComPtr<IUnknown> control;
    TComPtr<IShockwaveFlash> flash;
};

// ---- late binding and properties -------------------------------------------------------------

VARIANT Invoke(IDispatch& d, DISPID id, WORD flags, std::vector<VARIANT> args = {}, HRESULT* result = nullptr) {
    VARIANT out;
    VariantInit(&out);
    DISPID named = DISPID_PROPERTYPUT;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    HRESULT hr = d.Invoke(id, IID_NULL, 0, flags, &params, (flags & DISPATCH_PROPERTYPUT) ? nullptr : &out, nullptr, nullptr);
    if (result) *result = hr;
    return out;
}

TEST_F(OcxControl, LateBoundClientsReachPropertiesAndMethodsByNameAndById) {
    Embedded();
    TComPtr<IDispatch> dispatch = control.Query<IDispatch>();
    ASSERT_TRUE(dispatch);
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"quality2")};
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);   // names ignore case
    EXPECT_EQ(id, FlashDispId::Quality2);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchThing")};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);

    VARIANT low;
    VariantInit(&low);
    low.vt = VT_BSTR;
    low.bstrVal = Bstr(L"Low");
    HRESULT hr = E_FAIL;
    Invoke(*dispatch.Get(), FlashDispId::Quality2, DISPATCH_PROPERTYPUT, {low}, &hr);
    VariantClear(&low);
    EXPECT_EQ(hr, S_OK);
    VARIANT quality = Invoke(*dispatch.Get(), FlashDispId::Quality2, DISPATCH_PROPERTYGET, {}, &hr);
    EXPECT_EQ(hr, S_OK);
    ASSERT_EQ(quality.vt, VT_BSTR);
    EXPECT_STREQ(quality.bstrVal, L"Low");
    VariantClear(&quality);
    VARIANT version = Invoke(*dispatch.Get(), FlashDispId::FlashVersion, DISPATCH_METHOD, {}, &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(version.vt, VT_I4);
    EXPECT_EQ(version.lVal >> 16, 8);   // the SWF version the engine plays
    VARIANT loop = Invoke(*dispatch.Get(), FlashDispId::Loop, DISPATCH_PROPERTYGET, {}, &hr);
    EXPECT_EQ(loop.vt, VT_BOOL);
    EXPECT_EQ(loop.boolVal, VARIANT_TRUE);
}

TEST_F(OcxControl, PropertiesRoundTripWithTheGenuineMeanings) {
    IShockwaveFlash& f = Embedded();
    ScopedBstr text;
    // Any scale text but the three other modes keeps showing all: the playback window's "1000".
    BSTR thousand = Bstr(L"1000");
    EXPECT_EQ(f.put_Scale(thousand), S_OK);
    SysFreeString(thousand);
    ASSERT_EQ(f.get_Scale(&text.value), S_OK);
    EXPECT_EQ(text.Text(), L"1000");
    int mode = -1;
    EXPECT_EQ(f.get_ScaleMode(&mode), S_OK);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(f.put_ScaleMode(2), S_OK);
    ScopedBstr scale;
    f.get_Scale(&scale.value);
    EXPECT_EQ(scale.Text(), L"ExactFit");
    // Alignment letters and bits are two views of one setting.
    BSTR tl = Bstr(L"tl");
    f.put_SAlign(tl);
    SysFreeString(tl);
    EXPECT_EQ(f.get_AlignMode(&mode), S_OK);
    EXPECT_EQ(mode, 1 | 4);
    // Colours: the number and the text.
    EXPECT_EQ(f.put_BackgroundColor(0x102030), S_OK);
    ScopedBstr colour;
    f.get_BGColor(&colour.value);
    EXPECT_EQ(colour.Text(), L"#102030");
    long number = 0;
    f.get_BackgroundColor(&number);
    EXPECT_EQ(number, 0x102030);
    // Quality by number and by name; an unknown name changes nothing.
    EXPECT_EQ(f.put_Quality(0), S_OK);
    ScopedBstr q;
    f.get_Quality2(&q.value);
    EXPECT_EQ(q.Text(), L"Low");
    BSTR bogus = Bstr(L"Shiny");
    EXPECT_EQ(f.put_Quality2(bogus), S_OK);
    SysFreeString(bogus);
    ScopedBstr same;
    f.get_Quality2(&same.value);
    EXPECT_EQ(same.Text(), L"Low");
    EXPECT_EQ(f.put_Quality(7), E_INVALIDARG);
    VARIANT_BOOL on = VARIANT_FALSE;
    EXPECT_EQ(f.put_Loop(VARIANT_FALSE), S_OK);
    f.get_Loop(&on);
    EXPECT_EQ(on, VARIANT_FALSE);
    // A call to a function nobody registered fails; a request that is no call is refused.
    ScopedBstr reply;
    BSTR call = Bstr(L"<invoke name=\"f\" returntype=\"xml\"><arguments></arguments></invoke>");
    EXPECT_EQ(f.CallFunction(call, &reply.value), E_FAIL);
    SysFreeString(call);
    BSTR junk = Bstr(L"hello");
    EXPECT_EQ(f.CallFunction(junk, &reply.value), E_INVALIDARG);
    SysFreeString(junk);
}

// ---- loading and events ----------------------------------------------------------------------

TEST_F(OcxControl, AMovieArrivesThroughTheBindHostWithTheEventsARealControlRaises) {
    IShockwaveFlash& f = Embedded();
    ASSERT_EQ(LoadMovie("moving.swf", Bytes(MovingBoxMovie(8))), S_OK);
    ASSERT_FALSE(container->requestedNames.empty());
    EXPECT_EQ(container->requestedNames.back(), L"moving.swf");
    long frames = 0, state = -1, percent = 0;
    EXPECT_EQ(f.get_TotalFrames(&frames), S_OK);
    EXPECT_EQ(frames, 8);
    f.get_ReadyState(&state);
    EXPECT_EQ(state, 4);
    f.PercentLoaded(&percent);
    EXPECT_EQ(percent, 100);
    std::vector<std::wstring> states;
    for (const auto& e : container->events)
        if (e.id == FlashEventId::OnReadyStateChange) states.push_back(e.arguments.at(0));
    EXPECT_EQ(states, (std::vector<std::wstring>{L"0", L"3", L"4"}));
    bool progress = false;
    for (const auto& e : container->events) progress |= e.id == FlashEventId::OnProgress && e.arguments.at(0) == L"100";
    EXPECT_TRUE(progress);
    EXPECT_FALSE(container->changedProperties.empty());
    // The movie's red box is on the container's surface.
    EXPECT_EQ(container->Pixel(25, 45), 0xC80000u);
}

TEST_F(OcxControl, AMovieThatCannotBeDecodedLeavesTheControlEmptyWithItsReason) {
    IShockwaveFlash& f = Embedded();
    std::vector<uint8_t> bytes = Bytes(MovingBoxMovie(3));
    bytes.resize(6);   // cut short inside the header
    LoadMovie("cut.swf", bytes);
    long state = -1, frames = -1;
    f.get_ReadyState(&state);
    EXPECT_EQ(state, 1);
    f.get_TotalFrames(&frames);
    EXPECT_EQ(frames, 0);
    ScopedBstr reason;
    BSTR name = Bstr(L"$loadError");
    EXPECT_EQ(f.GetVariable(name, &reason.value), S_OK);
    SysFreeString(name);
    EXPECT_FALSE(reason.Text().empty());
    // A missing file: the same, and nothing crashes.
    BSTR missing = Bstr(L"nothing-here.swf");
    f.put_Movie(missing);
    SysFreeString(missing);
    f.get_ReadyState(&state);
    EXPECT_EQ(state, 1);
}

TEST_F(OcxControl, ContainerAndMovieCallEachOtherAndShareVariables) {
    IShockwaveFlash& f = Embedded();
    auto answerWith = [&](const wchar_t* text) {
        BSTR answer = Bstr(text);
        EXPECT_EQ(f.SetReturnValue(answer), S_OK);
        SysFreeString(answer);
    };
    container->onEvent = [&](const MiniContainer::Event& event) {
        if (event.id == FlashEventId::FlashCall) answerWith(L"<string>from the container</string>");
    };
    ASSERT_EQ(LoadMovie("calls.swf", Bytes(ContainerCallsMovie())), S_OK);
    int flashCalls = 0;
    for (const auto& e : container->events) {
        if (e.id != FlashEventId::FlashCall) continue;
        ++flashCalls;
        EXPECT_EQ(e.arguments.at(0),
                  L"<invoke name=\"askHost\" returntype=\"xml\"><arguments><number>7</number></arguments></invoke>");
    }
    EXPECT_EQ(flashCalls, 1);
    // The container calls relay(5); the movie asks the container, whose handler calls into
    // the movie again before it answers, as handlers do: each call keeps its own answer.
    std::wstring nested;
    container->onEvent = [&](const MiniContainer::Event& event) {
        if (event.id != FlashEventId::FlashCall) return;
        ScopedBstr reply;
        BSTR inner = Bstr(L"<invoke name=\"twice\" returntype=\"xml\"><arguments><number>21</number></arguments></invoke>");
        EXPECT_EQ(f.CallFunction(inner, &reply.value), S_OK);
        SysFreeString(inner);
        nested = reply.Text();
        answerWith(L"<number>9</number>");
    };
    ScopedBstr relayed;
    BSTR relay = Bstr(L"<invoke name=\"relay\" returntype=\"xml\"><arguments><number>5</number></arguments></invoke>");
    EXPECT_EQ(f.CallFunction(relay, &relayed.value), S_OK);
    SysFreeString(relay);
    EXPECT_EQ(relayed.Text(), L"<number>9</number>");
    EXPECT_EQ(nested, L"<number>42</number>");
    EXPECT_EQ(container->events.back().arguments.at(0),
              L"<invoke name=\"askHost\" returntype=\"xml\"><arguments><number>5</number></arguments></invoke>");
    container->onEvent = nullptr;
    auto variable = [&](const wchar_t* name, HRESULT expected) { return Variable(name, expected); };
    EXPECT_EQ(variable(L"answer", S_OK), L"from the container");
    EXPECT_EQ(variable(L"greeting", S_OK), L"h\u00E9");
    variable(L"nothing", E_FAIL);
    BSTR name = Bstr(L"greeting"), value = Bstr(L"set by the container");
    EXPECT_EQ(f.SetVariable(name, value), S_OK);
    SysFreeString(name);
    SysFreeString(value);
    EXPECT_EQ(variable(L"greeting", S_OK), L"set by the container");
    // Calls from the container: an offered function answers; any other name fails.
    ScopedBstr reply;
    BSTR call = Bstr(L"<invoke name=\"twice\" returntype=\"xml\"><arguments><string>ab</string></arguments></invoke>");
    EXPECT_EQ(f.CallFunction(call, &reply.value), S_OK);
    SysFreeString(call);
    EXPECT_EQ(reply.Text(), L"<string>abab</string>");
    ScopedBstr none;
    BSTR unknown = Bstr(L"<invoke name=\"thrice\" returntype=\"xml\"><arguments></arguments></invoke>");
    EXPECT_EQ(f.CallFunction(unknown, &none.value), E_FAIL);
    SysFreeString(unknown);
    // A movie that asks with nobody answering gets null: a handler that gives no value.
    container->onEvent = nullptr;
    ASSERT_EQ(LoadMovie("calls2.swf", Bytes(ContainerCallsMovie())), S_OK);
    EXPECT_EQ(variable(L"answer", S_OK), L"null");
}

TEST_F(OcxControl, WhatTheMoviesScriptsLoadComesThroughTheContainerByTheNameTheMovieGave) {
    Embedded();
    const std::string vars = "greeting=hello&count=3";
    folder.Write("vars.txt", std::vector<std::uint8_t>(vars.begin(), vars.end()));
    folder.Write("child.swf", Bytes(ChildMovie()));
    folder.Write("form.txt", {'x', '=', '1'});
    ASSERT_EQ(LoadMovie("loads.swf", Bytes(LoadsFromItsFolderMovie())), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return Variable(L"fromChild", S_OK) == L"yes"; }, 10000));
    EXPECT_EQ(Variable(L"greeting"), L"hello");
    EXPECT_EQ(Variable(L"count"), L"3");
    const auto& names = container->requestedNames;
    EXPECT_NE(std::find(names.begin(), names.end(), L"vars.txt"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), L"child.swf"), names.end());
    // A form sent by POST is no read of the file of that name.
    EXPECT_EQ(std::find(names.begin(), names.end(), L"form.txt"), names.end());
    Variable(L"x", E_FAIL);
}

TEST_F(OcxControl, WithoutABindHostTheMoviesFilesAreReadBesideTheMovie) {
    Embedded();
    container->offersBindHost = false;
    const std::string vars = "greeting=from%20beside";
    folder.Write("vars.txt", std::vector<std::uint8_t>(vars.begin(), vars.end()));
    folder.Write("child.swf", Bytes(ChildMovie()));
    folder.Write("loads.swf", Bytes(LoadsFromItsFolderMovie()));
    BSTR url = Bstr((folder.Path() + L"\\loads.swf").c_str());
    ASSERT_EQ(flash->put_Movie(url), S_OK);
    SysFreeString(url);
    ASSERT_TRUE(PumpUntil([&] { return Variable(L"fromChild", S_OK) == L"yes"; }, 10000));
    EXPECT_EQ(Variable(L"greeting"), L"from beside");
    EXPECT_TRUE(container->requestedNames.empty());
}

TEST_F(OcxControl, KeysTheContainerForwardsReachTheMovieAfterAClickTakesTheKeyboard) {
    IShockwaveFlash& f = Embedded();
    ASSERT_EQ(LoadMovie("keys.swf", Bytes(KeyListenerMovie())), S_OK);
    container->Forward(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    container->Forward(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(container->focused);
    EXPECT_EQ(container->Forward(WM_KEYDOWN, 'A', 0), 0);
    container->Forward(WM_CHAR, L'a', 0);
    container->Forward(WM_KEYUP, 'A', 0);
    container->Forward(WM_KEYDOWN, VK_LEFT, 0);
    container->Forward(WM_KEYUP, VK_LEFT, 0);
    container->Forward(WM_KEYDOWN, 'Q', 0);   // its character never comes: the focus goes
    container->Forward(WM_KILLFOCUS, 0, 0);
    ScopedBstr keys;
    BSTR name = Bstr(L"keys");
    EXPECT_EQ(f.GetVariable(name, &keys.value), S_OK);
    SysFreeString(name);
    EXPECT_EQ(keys.Text(), L"65:97 37:0 81:0 ");
}

// ---- drawing -----------------------------------------------------------------------------------

std::vector<uint32_t> EngineRender(const std::vector<uint8_t>& bytes, int width, int height, swf::render::Quality quality,
                                   uint32_t background) {
    auto decoded = swf::decodeMovie(bytes);
    EXPECT_TRUE(decoded.movie);
    swf::NullHost host;
    swf::Player player(decoded.movie, host);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, background);
    swf::render::Target target{reinterpret_cast<swf::Pixel*>(pixels.data()), width, height, width * 4};
    player.render(target, swf::Player::showAll(decoded.movie->header.frameSize, width, height), quality, false);
    return pixels;
}

TEST_F(OcxControl, DrawingGivesTheEnginesOwnPixelsInBothQualitiesAndLeavesTheRestUntouched) {
    IShockwaveFlash& f = Embedded(200, 100);
    BSTR transparent = Bstr(L"Transparent");
    f.put_WMode(transparent);
    SysFreeString(transparent);
    f.put_Playing(VARIANT_FALSE);
    const std::vector<uint8_t> movie = StillMovie();
    ASSERT_EQ(LoadMovie("still.swf", movie), S_OK);
    TComPtr<IViewObject> view = control.Query<IViewObject>();
    const uint32_t untouched = 0x00010203;
    for (auto [quality, name] : {std::pair{swf::render::Quality::Low, L"Low"}, std::pair{swf::render::Quality::High, L"High"}}) {
        BSTR q = Bstr(name);
        f.put_Quality2(q);
        SysFreeString(q);
        const std::vector<uint32_t> expected = EngineRender(movie, 200, 100, quality, untouched);
        // Into a 32-bit DIB section (the engine renders into its pixels) ...
        flash::test::Dib dib(200, 100);
        dib.Fill(untouched);
        RECTL bounds{0, 0, 200, 100};
        ASSERT_EQ(view->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, dib.Dc(), &bounds, nullptr, nullptr, 0), S_OK);
        int differing = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                differing += (dib.At(x, y) & 0xFFFFFF) != (expected[y * 200 + x] & 0xFFFFFF);
        EXPECT_EQ(differing, 0) << "DIB section, quality " << static_cast<int>(quality);
        EXPECT_EQ(dib.At(190, 5) & 0xFFFFFF, untouched) << "a pixel no shape covers";
        // ... and into a plain bitmap of the screen's format, through GDI.
        TWindowDC screen(nullptr);
        TMemoryDC memory(screen.Get());
        TBitmapHandle plain(CreateCompatibleBitmap(screen.Get(), 200, 100));
        TSelectObject selected(memory.Get(), plain.Get());
        RECT all{0, 0, 200, 100};
        TBrushHandle fill(CreateSolidBrush(RGB(1, 2, 3)));   // the same background as the DIB's
        FillRect(memory.Get(), &all, fill.Get());
        ASSERT_EQ(view->Draw(DVASPECT_TRANSPARENT, -1, nullptr, nullptr, nullptr, memory.Get(), &bounds, nullptr, nullptr, 0), S_OK);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 200, -100, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint32_t> read(200 * 100);
        SelectObject(memory.Get(), GetStockObject(DEFAULT_GUI_FONT));   // harmless: keeps the bitmap readable
        GetDIBits(memory.Get(), plain.Get(), 0, 100, read.data(), &info, DIB_RGB_COLORS);
        int wrong = 0;
        for (int i = 0; i < 200 * 100; ++i) {
            const uint32_t a = read[i] & 0xFFFFFF, b = expected[i] & 0xFFFFFF;
            const bool background = b == untouched;
            if (background) { wrong += a != untouched; continue; }
            for (int shift : {0, 8, 16}) wrong += std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > 1;
        }
        EXPECT_EQ(wrong, 0) << "plain bitmap, quality " << static_cast<int>(quality) << ": pixels off by more than one level";
    }
}

TEST_F(OcxControl, OnlyWhatChangesIsInvalidatedWhileAMoviePlays) {
    IShockwaveFlash& f = Embedded(200, 100);
    ASSERT_EQ(LoadMovie("moving.swf", Bytes(MovingBoxMovie(60, 30))), S_OK);
    f.Play();
    container->invalidations.clear();
    long frame = 0;
    ASSERT_TRUE(PumpUntil([&] { f.get_FrameNum(&frame); return frame >= 6; }, 10000));
    ASSERT_FALSE(container->invalidations.empty());
    for (const RECT& r : container->invalidations) {
        const long area = (r.right - r.left) * (r.bottom - r.top);
        // The 10 x 10 box at its old and new place (5 px apart) with the engine's two pixels of
        // edge margin: far from the 20,000 pixels of the whole view.
        EXPECT_LE(area, 19 * 14) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

// ---- the context menu --------------------------------------------------------------------------

// Picks the menu item `downs` places below the first, from inside the menu's own loop.
struct MenuPicker {
    static inline int downs = 0;
    static inline bool seen = false;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (!menu) return;
        KillTimer(nullptr, id);
        seen = true;
        for (int i = 0; i < downs; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, downs < 0 ? VK_ESCAPE : VK_RETURN, 0);
    }
};

TEST_F(OcxControl, TheRightButtonOpensTheMenuWhoseCommandsDriveTheMovie) {
    IShockwaveFlash& f = Embedded(200, 100);
    f.put_Playing(VARIANT_FALSE);
    ASSERT_EQ(LoadMovie("moving.swf", Bytes(MovingBoxMovie(10))), S_OK);
    long frame = -1;
    f.get_FrameNum(&frame);
    ASSERT_EQ(frame, 0);
    // The first key down selects Zoom In; then Zoom Out, Show All, Quality, Play, Loop, Rewind
    // and Forward (the keyboard skips separators): Forward is the eighth.
    MenuPicker::downs = 8;
    MenuPicker::seen = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, MenuPicker::Tick);
    container->Forward(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 50));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(MenuPicker::seen);
    f.get_FrameNum(&frame);
    EXPECT_EQ(frame, 1);
    VARIANT_BOOL playing = VARIANT_TRUE;
    f.get_Playing(&playing);
    EXPECT_EQ(playing, VARIANT_FALSE);
}

TEST_F(OcxControl, NoMenuOpensWhenTheContainerGivesNoWindow) {
    Embedded(200, 100);
    // A press the container did not forward as a right-button press: GetWindow says no.
    MenuPicker::downs = -1;
    MenuPicker::seen = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, MenuPicker::Tick);
    TComPtr<IOleInPlaceObjectWindowless> windowless = control.Query<IOleInPlaceObjectWindowless>();
    LRESULT result = 0;
    EXPECT_EQ(windowless->OnWindowMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 50), &result), S_FALSE);
    PumpPending();
    KillTimer(nullptr, timer);
    EXPECT_FALSE(MenuPicker::seen);
}

// ---- hostile movies ----------------------------------------------------------------------------

std::vector<std::filesystem::path> HostileMovies() {
    std::vector<std::filesystem::path> found;
    const std::filesystem::path regressions = std::filesystem::path(VELMORA_SOURCE_DIR) / "tests/engine/fuzz-regressions";
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(regressions, error))
        if (entry.is_regular_file() && entry.path().extension() != ".cpp" && entry.path().extension() != ".md" &&
            entry.path().extension() != ".txt")
            found.push_back(entry.path());
    return found;
}

TEST_F(OcxControl, HostileAndTruncatedMoviesNeitherCrashNorHangTheLoop) {
    IShockwaveFlash& f = Embedded(200, 100);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> movies;
    for (const auto& path : HostileMovies()) {
        std::ifstream in(path, std::ios::binary);
        movies.push_back({path.filename().string() + ".swf", {std::istreambuf_iterator<char>(in), {}}});
    }
    ASSERT_FALSE(movies.empty()) << "the fuzz regression inputs were not found";
    // Real-world movies of the corpus, cut short in the middle.
    int realWorld = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VELMORA_CORPUS_DIR "/realworld", error)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".swf") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        bytes.resize(bytes.size() / 2);
        movies.push_back({"realworld-" + std::to_string(++realWorld) + ".swf", bytes});
    }
    EXPECT_GT(realWorld, 0) << "the corpus's real-world movies were not found";
    // Our own movies cut at several points.
    const std::vector<uint8_t> whole = Bytes(MovingBoxMovie(20));
    for (size_t cut : {size_t{9}, whole.size() / 3, whole.size() / 2, whole.size() - 3})
        movies.push_back({"cut" + std::to_string(cut) + ".swf", std::vector<uint8_t>(whole.begin(), whole.begin() + cut)});
    for (const auto& [name, bytes] : movies) {
        LoadMovie(name, bytes);
        f.Play();
        // A few frames of the message loop: a frame's work is bounded, so this returns.
        const DWORD start = GetTickCount();
        PumpUntil([&] { return GetTickCount() - start > 150; }, 5000);
        long state = -1;
        EXPECT_EQ(f.get_ReadyState(&state), S_OK) << name;
    }
}

}  // namespace
}  // namespace vm::test
