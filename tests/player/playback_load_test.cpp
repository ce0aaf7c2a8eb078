// Loading movies: good ones show their first frame, bad bytes leave the playback empty with a
// reason and never crash; requests from the movie reach the owner as wide strings.
#include <gtest/gtest.h>

#include "PlaybackTestSupport.h"

using namespace vm::flash;
using namespace vm::flash::test;

namespace {

TEST(PlaybackLoad, GoodMovieShowsItsFirstFrame) {
    RecordingOwner owner;
    MoviePlayback playback(owner);
    std::string error = "stale";
    const auto bytes = MovingBoxMovie(4, 24).bytes(swfw::Compression::Zlib);
    ASSERT_TRUE(playback.Load(bytes, error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(playback.LoadError(), "");
    EXPECT_TRUE(playback.HasMovie());
    EXPECT_EQ(playback.FrameNum(), 0);
    EXPECT_EQ(playback.TotalFrames(), 4);
    EXPECT_DOUBLE_EQ(playback.FrameRate(), 24);
    EXPECT_TRUE(playback.Playing());
    EXPECT_GE(owner.stateChanges, 1);
    EXPECT_GE(owner.wholeInvalidations, 1);
}

TEST(PlaybackLoad, BadBytesLeaveThePlaybackEmptyWithAReason) {
    const auto good = MovingBoxMovie(3).bytes(swfw::Compression::Zlib);
    std::vector<uint8_t> lzma = good;
    lzma[0] = 'Z';
    std::vector<uint8_t> corrupt(good.begin(), good.begin() + 8);
    corrupt.resize(good.size(), 0xA5);  // a CWS header over a stream that is not zlib
    std::vector<uint8_t> truncated(good.begin(), good.begin() + 5);
    std::vector<uint8_t> notSwf{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    std::vector<uint8_t> empty;

    for (const std::vector<uint8_t>* bytes : {&lzma, &corrupt, &truncated, &notSwf, &empty}) {
        RecordingOwner owner;
        MoviePlayback playback(owner);
        std::string error;
        ASSERT_TRUE(playback.Load(good, error));
        EXPECT_FALSE(playback.Load(*bytes, error)) << bytes->size();
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(playback.LoadError(), error);
        EXPECT_FALSE(playback.HasMovie());
        EXPECT_EQ(playback.FrameNum(), -1);
        EXPECT_EQ(playback.TotalFrames(), 0);
        Dib dib(20, 20);
        RECT bounds{0, 0, 20, 20};
        EXPECT_FALSE(playback.Draw(dib.Dc(), bounds));
        EXPECT_FALSE(playback.MouseDown(5, 5));
        playback.Rewind();  // commands on an empty playback do nothing
        EXPECT_EQ(playback.FrameNum(), -1);
    }
}

TEST(PlaybackLoad, FSCommandsAndUrlsReachTheOwnerAsWideText) {
    auto movie = swfw::Movie::pixels(6, 100, 100, 12);
    movie.doAction(swfw::Actions().fsCommand("say", "h\xC3\xA9llo").getUrl("http://example.org/a", "_blank"));
    movie.showFrame();
    RecordingOwner owner;
    MoviePlayback playback(owner);
    std::string error;
    ASSERT_TRUE(playback.Load(movie.bytes(), error)) << error;
    ASSERT_EQ(owner.commands.size(), 1u);
    EXPECT_EQ(owner.commands[0].first, L"say");
    EXPECT_EQ(owner.commands[0].second, L"h\u00E9llo");
    ASSERT_EQ(owner.urls.size(), 1u);
    EXPECT_EQ(owner.urls[0].first, L"http://example.org/a");
    EXPECT_EQ(owner.urls[0].second, L"_blank");
}

TEST(PlaybackLoad, TheContainerReadsAndWritesTheMoviesVariables) {
    RecordingOwner owner;
    MoviePlayback playback(owner);
    EXPECT_FALSE(playback.SetVariable(L"name", L"value"));  // no movie, nothing to reach
    EXPECT_FALSE(playback.GetVariable(L"name"));
    std::string error;
    ASSERT_TRUE(playback.Load(ContainerCallsMovie().bytes(), error)) << error;
    EXPECT_EQ(playback.GetVariable(L"greeting"), L"h\u00E9");
    EXPECT_EQ(playback.GetVariable(L"/:greeting"), L"h\u00E9");
    EXPECT_FALSE(playback.GetVariable(L"nothing"));
    EXPECT_TRUE(playback.SetVariable(L"greeting", L"\u00FCber \u4E16"));
    EXPECT_EQ(playback.GetVariable(L"_root.greeting"), L"\u00FCber \u4E16");
    EXPECT_TRUE(playback.SetVariable(L"empty", L""));
    EXPECT_EQ(playback.GetVariable(L"empty"), L"");  // there, and empty
}

TEST(PlaybackLoad, CallsCrossBetweenTheMovieAndTheContainer) {
    RecordingOwner owner;
    owner.externalAnswer = L"<string>fine &amp; \u00E9</string>";
    MoviePlayback playback(owner);
    EXPECT_FALSE(playback.CallFunction(L"<invoke name=\"twice\"/>"));
    std::string error;
    ASSERT_TRUE(playback.Load(ContainerCallsMovie().bytes(), error)) << error;
    ASSERT_EQ(owner.externalRequests.size(), 1u);
    EXPECT_EQ(owner.externalRequests[0],
              L"<invoke name=\"askHost\" returntype=\"xml\"><arguments><number>7</number></arguments></invoke>");
    EXPECT_EQ(playback.GetVariable(L"answer"), L"fine & \u00E9");
    EXPECT_EQ(playback.CallFunction(L"<invoke name=\"twice\" returntype=\"xml\"><arguments><string>\u00E9!</string>"
                                    L"</arguments></invoke>"),
              L"<string>\u00E9!\u00E9!</string>");
    EXPECT_EQ(playback.CallFunction(L"<invoke name=\"twice\" returntype=\"xml\"><arguments><number>4</number>"
                                    L"</arguments></invoke>"),
              L"<number>8</number>");
    EXPECT_FALSE(playback.CallFunction(L"<invoke name=\"thrice\" returntype=\"xml\"/>"));
    EXPECT_FALSE(playback.CallFunction(L"<invoke name=\"twice\"><arguments><string>cut"));
}

TEST(PlaybackLoad, AnOwnerAskedDuringTheFirstFrameReachesTheMovieAlready) {
    RecordingOwner owner;
    MoviePlayback playback(owner);
    std::optional<std::wstring> doubled, greeting;
    owner.onExternalCall = [&](const std::wstring&) {
        doubled = playback.CallFunction(
            L"<invoke name=\"twice\" returntype=\"xml\"><arguments><number>4</number></arguments></invoke>");
        greeting = playback.GetVariable(L"greeting");
        return std::optional<std::wstring>(L"<string>ok</string>");
    };
    std::string error;
    ASSERT_TRUE(playback.Load(ContainerCallsMovie().bytes(), error)) << error;
    EXPECT_EQ(doubled, L"<number>8</number>");
    EXPECT_EQ(greeting, L"h\u00E9");
    EXPECT_EQ(playback.GetVariable(L"answer"), L"ok");
}

TEST(PlaybackLoad, WhatTheMoviesScriptsLoadIsAskedOfTheOwnerByTheNameTheMovieGave) {
    RecordingOwner owner;
    const std::string vars = "greeting=hello";
    owner.files[L"vars.txt"] = std::vector<std::uint8_t>(vars.begin(), vars.end());
    owner.files[L"child.swf"] = ChildMovie().bytes();
    owner.files[L"form.txt"] = {'x', '=', '1'};
    MoviePlayback playback(owner);
    std::string error;
    ASSERT_TRUE(playback.Load(LoadsFromItsFolderMovie().bytes(), error)) << error;
    playback.AdvanceFrames(2);
    EXPECT_EQ(playback.GetVariable(L"greeting"), L"hello");
    EXPECT_EQ(playback.GetVariable(L"fromChild"), L"yes");   // the child played in level 1
    // Sending a form is not reading the file of that name.
    EXPECT_EQ(owner.fetched, (std::vector<std::wstring>{L"vars.txt", L"child.swf"}));
    EXPECT_FALSE(playback.GetVariable(L"x"));
}

TEST(PlaybackLoad, AFileTheOwnerCannotGiveFailsOnlyThatLoad) {
    RecordingOwner owner;
    owner.files[L"child.swf"] = ChildMovie().bytes();
    MoviePlayback playback(owner);
    std::string error;
    ASSERT_TRUE(playback.Load(LoadsFromItsFolderMovie().bytes(), error)) << error;
    playback.AdvanceFrames(2);
    EXPECT_FALSE(playback.GetVariable(L"greeting"));
    EXPECT_EQ(playback.GetVariable(L"fromChild"), L"yes");
    EXPECT_TRUE(playback.HasMovie());
}

} // namespace
