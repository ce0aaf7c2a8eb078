// The program's own lookups, as the player passes them on: a list attached to the player is
// found by CreateMoniker's decision and read by the bind.
#include <gtest/gtest.h>

#include "BindStatusRecorder.h"
#include "flashhost/FlashList.h"
#include "flashhost/FlashStreamFormat.h"
#include "flashhost/LoadingSources.h"
#include "flashhost/StreamTokens.h"
#include "framework/MemoryStream.h"

using namespace vm;
using namespace vm::test;

TEST(LoadingSources, AnAttachedListServesItsItemsByName) {
    TComApartment apartment;
    TsfFlashList list(nullptr);
    std::string movie = "FWS-intro";
    list.Flashs().Add().SetFlashStreamData(EncodeStoredMovie("Intro.swf", {movie.begin(), movie.end()}));

    std::wstring target;
    EXPECT_EQ(ChooseBindTarget(std::wstring(kDummyHostPrefixW) + L"INTRO.swf", ProgramUrlContext(&list), target), S_OK);
    EXPECT_EQ(target, L"<list>intro.swf");

    TBindStatusRecorder recorder;
    TComPtr<IBindCtx> context = BindContextHolding(&recorder);
    EXPECT_EQ(BindTargetToStorage(context.Get(), target, ProgramBindSources(&list, "")), S_OK);
    EXPECT_EQ(recorder.bytes, movie);

    // Without the list the same name is no list item; the bind of a stale list target fails.
    EXPECT_EQ(ChooseBindTarget(L"intro.swf", ProgramUrlContext(nullptr), target), S_OK);
    EXPECT_EQ(target, L"intro.swf");
    target = L"<list>intro.swf";
    EXPECT_EQ(BindTargetToStorage(context.Get(), target, ProgramBindSources(nullptr, "")), E_FAIL);
}

TEST(LoadingSources, StreamsRegisteredForTheProcessAreServedUntilTheyGo) {
    TComApartment apartment;
    auto stream = std::make_unique<TMemoryStream>(std::vector<std::uint8_t>{'F', 'W', 'S'});
    std::wstring url = StreamMovieUrl(ProcessStreamTokens().Register(*stream), ".swf");
    std::wstring target;
    ASSERT_EQ(ChooseBindTarget(url, ProgramUrlContext(nullptr), target), S_OK);

    TBindStatusRecorder recorder;
    TComPtr<IBindCtx> context = BindContextHolding(&recorder);
    std::wstring again = target;
    EXPECT_EQ(BindTargetToStorage(context.Get(), target, ProgramBindSources(nullptr, "")), S_OK);
    EXPECT_EQ(recorder.bytes, "FWS");

    stream.reset();
    EXPECT_EQ(BindTargetToStorage(context.Get(), again, ProgramBindSources(nullptr, "")), E_FAIL);
}
