// BindToStorage's delivery: which bytes reach the control's bind-status callback, in which
// calls, and when nothing does.
#include <gtest/gtest.h>

#include <optional>

#include "BindStatusRecorder.h"
#include "flashhost/BindDelivery.h"
#include "flashhost/StreamTokens.h"
#include "flashhost/UrlPuller.h"
#include "framework/MemoryStream.h"

using namespace vm;
using namespace vm::test;

namespace {

class TFakePuller : public TUrlPuller {
public:
    HRESULT Pull(const std::string& url, IBindStatusCallback*) override {
        urls.push_back(url);
        return result;
    }
    std::vector<std::string> urls;
    HRESULT result = S_OK;
};

std::unique_ptr<TMemoryStream> StreamOf(const std::string& text) {
    return std::make_unique<TMemoryStream>(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::string> DeliverySequence(std::size_t size) {
    return {"OnStartBinding(0, null)", "OnProgress(100, 100, 6, '')",
            "OnDataAvailable(5, " + std::to_string(size) + ", null, tymed 4, no release)",
            "OnStopBinding(00000000, '')"};
}

class BindDelivery : public ::testing::Test {
protected:
    BindDelivery() {
        sources.openResource = [this](const std::string& name) -> std::unique_ptr<TStream> {
            openedResources.push_back(name);
            return name == "FLVPLAYBACK" || name == "flvplayback" ? StreamOf("FWS-player") : nullptr;
        };
        sources.findListStream = [this](const std::string& name) -> TStream* {
            return listAttached && name == "intro.swf" ? &listItem : nullptr;
        };
        sources.streams = &tokens;
        sources.puller = &puller;
        sources.programFolder = "C:\\prog\\";
        context = BindContextHolding(&recorder);
    }

    HRESULT Bind(const std::wstring& target) {
        bindTarget = target;
        return BindTargetToStorage(context.Get(), bindTarget, sources);
    }

    TComApartment apartment;
    TBindStatusRecorder recorder;
    TComPtr<IBindCtx> context;
    TStreamTokens tokens;
    TFakePuller puller;
    TMemoryStream listItem{std::vector<std::uint8_t>{'F', 'W', 'S', '1'}};
    bool listAttached = true;
    std::vector<std::string> openedResources;
    TBindSources sources;
    std::wstring bindTarget;
};

} // namespace

TEST_F(BindDelivery, ResourceTargetDeliversTheResourceNamedWithoutExtension) {
    EXPECT_EQ(Bind(L"<res>flvplayback.swf"), S_OK);
    EXPECT_EQ(openedResources, std::vector<std::string>{"flvplayback"});
    EXPECT_EQ(recorder.calls, DeliverySequence(10));
    EXPECT_EQ(recorder.bytes, "FWS-player");
    EXPECT_EQ(bindTarget, L"");
}

TEST_F(BindDelivery, ListTargetDeliversACopyOfTheItemFromItsStart) {
    listItem.SetPosition(3);
    EXPECT_EQ(Bind(L"<list>intro.swf"), S_OK);
    EXPECT_EQ(recorder.calls, DeliverySequence(4));
    EXPECT_EQ(recorder.bytes, "FWS1");
    EXPECT_EQ(bindTarget, L"");
}

TEST_F(BindDelivery, StreamTargetDeliversACopyThatOutlivesTheOriginal) {
    recorder.keepStream = true;   // a control that reads later, at its own pace
    auto original = StreamOf("FWS-from-stream");
    std::string token = tokens.Register(*original);
    EXPECT_EQ(Bind(AnsiToWide("<stream>" + token + ".swf")), S_OK);
    EXPECT_EQ(recorder.calls, DeliverySequence(15));
    original.reset();
    ASSERT_TRUE(recorder.kept);
    recorder.ReadAll(recorder.kept.Get());
    EXPECT_EQ(recorder.bytes, "FWS-from-stream");
}

TEST_F(BindDelivery, AliasStreamTargetDeliversTheStreamItselfFromItsStart) {
    recorder.keepStream = true;
    std::optional<TMemoryStream> original;
    original.emplace(std::vector<std::uint8_t>{'v', 'o', 'l'});
    original->SetPosition(2);
    std::string token = tokens.Register(*original);
    EXPECT_EQ(Bind(AnsiToWide("<astream>" + token + ".swf")), S_OK);
    EXPECT_EQ(recorder.calls, DeliverySequence(3));
    recorder.ReadAll(recorder.kept.Get());
    EXPECT_EQ(recorder.bytes, "vol");
    EXPECT_EQ(original->Position(), 3);   // not a copy: the reads moved the stream itself

    // Once the stream is gone the adapter the control still holds refuses to touch it.
    original.reset();
    ULONG got = 1;
    char buffer[4];
    EXPECT_EQ(recorder.kept->Read(buffer, sizeof buffer, &got), E_UNEXPECTED);
    EXPECT_EQ(got, 0u);
}

TEST_F(BindDelivery, TargetsNamingNothingFailAndDeliverNothing) {
    auto freed = StreamOf("gone");
    std::string freedToken = tokens.Register(*freed);
    freed.reset();
    auto live = StreamOf("live");
    std::string liveToken = tokens.Register(*live);
    // Enough streams for a token with a letter in it, to try it in lower case.
    std::vector<TMemoryStream> more(8);
    std::string letterToken;
    for (TMemoryStream& stream : more) letterToken = tokens.Register(stream);
    ASSERT_EQ(letterToken, "0000000A");
    ASSERT_NE(tokens.Resolve(letterToken), nullptr);
    std::string lowerToken = "0000000a";

    const std::string failing[] = {
        "<list>outro.swf",                          // no item of that name
        "<res>missing.swf",                         // no such resource
        "<stream>00000999.swf",                     // never issued
        "<stream>" + freedToken + ".swf",           // its stream is gone
        "<astream>" + freedToken,
        "<stream>" + liveToken.substr(0, 5),        // too short
        "<stream>" + lowerToken + ".swf",           // not upper-case hex
        "<astream>" + std::to_string(reinterpret_cast<UINT_PTR>(live.get())),   // an address
    };
    for (const std::string& target : failing) {
        EXPECT_EQ(Bind(AnsiToWide(target)), E_FAIL) << target;
        EXPECT_EQ(bindTarget, L"") << target;
    }
    listAttached = false;
    EXPECT_EQ(Bind(L"<list>intro.swf"), E_FAIL);
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_TRUE(puller.urls.empty());
}

TEST_F(BindDelivery, NoCallbackToDeliverToFailsAndKeepsTheTarget) {
    bindTarget = L"<list>intro.swf";
    EXPECT_EQ(BindTargetToStorage(nullptr, bindTarget, sources), E_FAIL);
    EXPECT_EQ(bindTarget, L"<list>intro.swf");

    TComPtr<IBindCtx> empty = BindContextHolding(nullptr);
    EXPECT_EQ(BindTargetToStorage(empty.Get(), bindTarget, sources), E_FAIL);

    TComPtr<IStream> notACallback;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, notACallback.Put()), S_OK);
    TComPtr<IBindCtx> wrongHolder = BindContextHolding(notACallback.Get());
    EXPECT_EQ(BindTargetToStorage(wrongHolder.Get(), bindTarget, sources), E_FAIL);
    EXPECT_EQ(bindTarget, L"<list>intro.swf");
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(BindDelivery, OtherTargetsArePulledRelativeToTheLastMovieFolder) {
    EXPECT_EQ(Bind(L"C:/movies/a.swf"), S_OK);
    EXPECT_EQ(Bind(L"skins/b.xml"), S_OK);
    sources.baseFolder = "D:\\last\\";
    EXPECT_EQ(Bind(L"skins/b.xml"), S_OK);
    EXPECT_EQ(Bind(L""), S_OK);   // a target a missing file left empty
    EXPECT_EQ(puller.urls, (std::vector<std::string>{"C:/movies/a.swf", "C:\\prog\\skins/b.xml",
                                                     "D:\\last\\skins/b.xml", "D:\\last\\"}));
    EXPECT_EQ(bindTarget, L"");

    puller.result = INET_E_RESOURCE_NOT_FOUND;
    EXPECT_EQ(Bind(L"C:/movies/gone.swf"), E_FAIL);
    sources.puller = nullptr;
    EXPECT_EQ(Bind(L"C:/movies/a.swf"), E_FAIL);
    EXPECT_TRUE(recorder.calls.empty());   // the fake puller delivers nothing itself
}
