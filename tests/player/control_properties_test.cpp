// The control's stored settings: its own stream format survives a round trip and refuses what
// is not its own or is cut short, and the OBJECT tag's parameters read in from a property bag.
#include <gtest/gtest.h>

#include <objbase.h>
#include <oleauto.h>

#include <map>
#include <string>

#include "framework/ComPtr.h"
#include "player/ocx/ControlProperties.h"

namespace vm::flash {
namespace {

TComPtr<IStream> MemoryStream() {
    TComPtr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    return stream;
}

void Rewind(IStream& s) { s.Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr); }

TEST(ControlProperties, AStreamRoundTripKeepsEverySetting) {
    ControlProperties written;
    written.movie = L"C:\\movies\\a b.swf";
    written.quality2 = L"Low";
    written.scale = L"1000";
    written.salign = L"TL";
    written.wmode = L"Transparent";
    written.bgcolor = L"#102030";
    written.flashVars = L"a=1&b=2";
    written.loop = false;
    written.menu = false;
    written.profilePort = 4242;
    TComPtr<IStream> stream = MemoryStream();
    ASSERT_EQ(written.Save(*stream.Get()), S_OK);
    Rewind(*stream.Get());
    ControlProperties read;
    ASSERT_EQ(read.Load(*stream.Get()), S_OK);
    EXPECT_EQ(read.movie, written.movie);
    EXPECT_EQ(read.quality2, L"Low");
    EXPECT_EQ(read.scale, L"1000");
    EXPECT_EQ(read.salign, L"TL");
    EXPECT_EQ(read.wmode, L"Transparent");
    EXPECT_EQ(read.bgcolor, L"#102030");
    EXPECT_EQ(read.flashVars, L"a=1&b=2");
    EXPECT_FALSE(read.loop);
    EXPECT_FALSE(read.menu);
    EXPECT_TRUE(read.play);
    EXPECT_EQ(read.profilePort, 4242);
}

TEST(ControlProperties, ForeignOrCutShortStreamsAreRefusedAndChangeNothing) {
    ControlProperties written;
    written.movie = L"kept.swf";
    TComPtr<IStream> stream = MemoryStream();
    ASSERT_EQ(written.Save(*stream.Get()), S_OK);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    for (ULONGLONG cut : {ULONGLONG{0}, ULONGLONG{3}, ULONGLONG{9}, stat.cbSize.QuadPart - 1}) {
        ULARGE_INTEGER size;
        size.QuadPart = cut;
        TComPtr<IStream> shortened = MemoryStream();
        Rewind(*stream.Get());
        stream->CopyTo(shortened.Get(), size, nullptr, nullptr);
        Rewind(*shortened.Get());
        ControlProperties read;
        read.movie = L"before";
        EXPECT_EQ(read.Load(*shortened.Get()), E_FAIL) << "cut at " << cut;
        EXPECT_EQ(read.movie, L"before");
    }
    // A huge text length is damage, not a reason to allocate gigabytes.
    TComPtr<IStream> hostile = MemoryStream();
    const std::uint32_t header[] = {0x4C465356, 1, 0x7FFFFFFF};
    hostile->Write(header, sizeof header, nullptr);
    Rewind(*hostile.Get());
    ControlProperties read;
    EXPECT_EQ(read.Load(*hostile.Get()), E_FAIL);
}

// A property bag of texts, as a container fills it from an OBJECT tag.
class TextBag final : public IPropertyBag {
public:
    std::map<std::wstring, std::wstring> values;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyBag) { *out = this; return S_OK; }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        auto it = values.find(name);
        if (it == values.end()) return E_INVALIDARG;
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(it->second.c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
        values[name] = value->vt == VT_BSTR && value->bstrVal ? value->bstrVal : L"";
        return S_OK;
    }
};

TEST(ControlProperties, ObjectTagParametersAreReadByNameAndMissingOnesKeepTheirValues) {
    TextBag bag;
    bag.values = {{L"Src", L"old.swf"}, {L"Movie", L"new.swf"}, {L"Quality", L"low"},
                  {L"Loop", L"false"}, {L"Menu", L"0"}, {L"Play", L"maybe"}};
    ControlProperties read;
    ASSERT_EQ(read.Load(bag, nullptr), S_OK);
    EXPECT_EQ(read.movie, L"new.swf");   // "Movie" wins over "Src"
    EXPECT_EQ(read.quality2, L"low");
    EXPECT_FALSE(read.loop);
    EXPECT_FALSE(read.menu);
    EXPECT_TRUE(read.play);              // not a truth value: the default stays
    EXPECT_EQ(read.wmode, L"Window");
    TextBag saved;
    ASSERT_EQ(read.Save(saved), S_OK);
    EXPECT_EQ(saved.values[L"Movie"], L"new.swf");
    EXPECT_EQ(saved.values[L"Loop"], L"false");
}

TEST(ControlProperties, QualityNamesAreRecognisedWithoutRegardToCase) {
    EXPECT_EQ(CanonicalQuality(L"hIgH"), L"High");
    EXPECT_EQ(CanonicalQuality(L"autolow"), L"AutoLow");
    EXPECT_EQ(CanonicalQuality(L"Best"), L"Best");
    EXPECT_EQ(CanonicalQuality(L"1000"), L"");
    EXPECT_EQ(CanonicalQuality(L""), L"");
}

}  // namespace
}  // namespace vm::flash
