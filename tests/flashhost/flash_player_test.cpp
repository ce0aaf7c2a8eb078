// The Flash player control as the playback window uses it: a new player's state, properties
// reaching their dispatch ids with the right variant types, commands, movies loaded by path,
// stream and list and fetched back through the bind host (hostile URLs included), and
// FSCommands that reach the application only from the message loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "HostFixture.h"
#include "flashhost/FlashList.h"
#include "flashhost/MovieUrls.h"
#include "flashhost/OleErrors.h"
#include "flashhost/StreamTokens.h"
#include "framework/MemoryStream.h"

namespace vm::test {
namespace {

using FlashPlayer = HostFixture;

std::vector<BYTE> MovieBytes(char tag, std::size_t size) {
    std::vector<BYTE> bytes{'F', 'W', 'S', 6};
    while (bytes.size() < size) bytes.push_back(static_cast<BYTE>(tag + bytes.size() % 7));
    return bytes;
}

// A movie file in a fresh folder, removed with the object.
struct MovieFile {
    std::filesystem::path folder, path;
    std::vector<BYTE> bytes;
    explicit MovieFile(const std::string& name, char tag = 'a') : bytes(MovieBytes(tag, 3000)) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::filesystem::path(temp) / ("velmora-player-" + std::to_string(GetCurrentProcessId()) + "-" + name);
        std::filesystem::create_directories(folder);
        path = folder / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    ~MovieFile() { std::error_code ignored; std::filesystem::remove_all(folder, ignored); }
    std::wstring WindowsPath() const { return path.wstring(); }
};

const VARIANT* Stored(TestFlashControl& flash, DISPID id) { return flash.StoredProperty(id); }

TEST_F(FlashPlayer, ANewPlayerHoldsTransparentModeAndItsOwnDefaults) {
    TsfFlashPlayer& player = AddPlayer();
    const VARIANT* wmode = Stored(Flash(), FlashDispId::WMode);
    ASSERT_NE(wmode, nullptr);
    EXPECT_EQ(wmode->vt, VT_BSTR);
    EXPECT_STREQ(wmode->bstrVal, L"Transparent");
    EXPECT_EQ(player.Volume(), 100);
    EXPECT_FALSE(player.VolumeControl());
    EXPECT_EQ(player.FlashIndex(), -1);
    EXPECT_EQ(player.FLVPlaybackSkin(), TsfFLVSkins::flvclearskin);
    EXPECT_FALSE(player.IsFLV());
    EXPECT_EQ(player.Movie(), L"");
}

TEST_F(FlashPlayer, TypedPropertiesTravelWithTheirVariantTypes) {
    TsfFlashPlayer& player = AddPlayer();
    TestFlashControl& flash = Flash();
    player.SetLoop(true);
    ASSERT_NE(Stored(flash, FlashDispId::Loop), nullptr);
    EXPECT_EQ(Stored(flash, FlashDispId::Loop)->vt, VT_BOOL);
    EXPECT_EQ(Stored(flash, FlashDispId::Loop)->boolVal, -1);   // COM's true, not 1
    EXPECT_TRUE(player.Loop());
    player.SetIntegerProperty(FlashDispId::ScaleMode, 3);
    EXPECT_EQ(Stored(flash, FlashDispId::ScaleMode)->vt, VT_I4);
    EXPECT_EQ(player.IntegerProperty(FlashDispId::ScaleMode), 3);
    player.SetStringProperty(FlashDispId::Base, L"");
    EXPECT_EQ(Stored(flash, FlashDispId::Base)->vt, VT_BSTR);
    EXPECT_EQ(flash.Calls().Last("Invoke")->handle, 0u);   // empty travels as a null string
    player.SetProperty("Quality2", TValue::Text("High"));
    EXPECT_EQ(player.Quality2(), L"High");
    EXPECT_EQ(player.GetProperty("Scale").AsText(), "");
    EXPECT_EQ(flash.Calls().Last("Invoke")->number, FlashDispId::Scale);
}

TEST_F(FlashPlayer, AFailingPropertyRaisesTheObjectsOwnDescription) {
    TsfFlashPlayer& player = AddPlayer();
    Flash().Script().invokeFailures[FlashDispId::Quality2] = {DISP_E_EXCEPTION, L"Quality refused"};
    try {
        player.SetQuality2(L"Best");
        FAIL() << "a failed put must raise";
    } catch (const EOleException& e) {
        EXPECT_STREQ(e.what(), "Quality refused");
    }
    Flash().Script().invokeFailures[FlashDispId::Scale] = {E_INVALIDARG, L""};
    EXPECT_THROW(player.Scale(), EOleError);
}

TEST_F(FlashPlayer, CommandsGoThroughTheControlsInterface) {
    TsfFlashPlayer& player = AddPlayer();
    TestFlashControl& flash = Flash();
    player.Play();
    EXPECT_EQ(flash.Calls().Count("Play"), 1);
    player.SetVariable(L"volume", L"");
    ASSERT_EQ(flash.Variables().count(L"volume"), 1u);
    EXPECT_EQ(flash.Variables().at(L"volume"), L"");
    // Before version 8 there is no external call: nothing is asked, the answer is empty.
    flash.Script().flashVersion = 7L << 16;
    EXPECT_EQ(player.CallFunction(L"<invoke name=\"f\"/>"), L"");
    EXPECT_EQ(flash.Calls().Count("CallFunction"), 0);
    flash.Script().flashVersion = 8L << 16;
    EXPECT_EQ(player.CallFunction(L"<invoke name=\"f\"/>"), L"<string>ok</string>");
    EXPECT_EQ(flash.Calls().Count("CallFunction"), 1);
}

TEST_F(FlashPlayer, AMovieByPathIsLoadedOnceAndItsBytesArriveThroughTheBindHost) {
    MovieFile movie("clip.swf");
    TsfFlashPlayer& player = AddPlayer();
    TestFlashControl& flash = Flash();
    player.SetMovie(movie.WindowsPath());
    player.SetMovie(movie.WindowsPath());   // the same text again loads nothing
    EXPECT_EQ(flash.Calls().Count("LoadMovie"), 1);
    EXPECT_EQ(flash.Calls().Last("LoadMovie")->text, std::wstring(kDummyHostPrefixW) + movie.WindowsPath());
    ASSERT_EQ(flash.Downloads().size(), 1u);
    const TestDownload& download = *flash.Downloads().back();
    EXPECT_TRUE(download.Stopped());
    EXPECT_EQ(download.StopResult(), S_OK);
    EXPECT_EQ(download.Bytes(), movie.bytes);
    EXPECT_EQ(player.Movie(), movie.WindowsPath());
    EXPECT_EQ(player.BindTarget(), L"");   // consumed by the bind
    std::string folder = movie.folder.string() + "\\";
    EXPECT_EQ(player.BaseFolder(), folder);
}

TEST_F(FlashPlayer, ASecondMovieResetsTheListIndexBeforeLoading) {
    MovieFile first("one.swf", 'a'), second("two.swf", 'q');
    TsfFlashPlayer& player = AddPlayer();
    auto* list = new TsfFlashList(form.get());
    list->Flashs().Add();
    player.SetFlashList(list);
    player.SetFlashIndex(0);
    EXPECT_EQ(player.FlashIndex(), 0);
    int indexAtLoad = 99;
    Flash().OnCall = [&](const FlashCall& call) { if (call.name == "LoadMovie") indexAtLoad = player.FlashIndex(); };
    player.SetMovie(second.WindowsPath());
    Flash().OnCall = nullptr;
    EXPECT_EQ(indexAtLoad, -1);
    EXPECT_EQ(Flash().Downloads().back()->Bytes(), second.bytes);
}

TEST_F(FlashPlayer, AMovieFromAStreamIsServedOnlyWhileTheStreamLives) {
    TsfFlashPlayer& player = AddPlayer();
    TestFlashControl& flash = Flash();
    auto stream = std::make_unique<TMemoryStream>();
    std::vector<BYTE> bytes = MovieBytes('s', 1200);
    stream->Write(bytes.data(), bytes.size());
    player.LoadMovieFromStream(0, *stream);
    const std::wstring url = flash.Calls().Last("LoadMovie")->text;
    EXPECT_EQ(url.rfind(std::wstring(kDummyHostPrefixW) + L"<stream>", 0), 0u);
    ASSERT_EQ(flash.Downloads().size(), 1u);
    EXPECT_EQ(flash.Downloads().back()->Bytes(), bytes);
    EXPECT_EQ(player.Movie(), L"");
    // The movie asks for the same URL after the caller freed the stream: nothing is delivered.
    stream.reset();
    EXPECT_EQ(flash.Fetch(url), E_FAIL);
    EXPECT_TRUE(flash.Downloads().back()->Bytes().empty());
}

TEST_F(FlashPlayer, HostileUrlsAreRefusedWithoutReadingAnything) {
    TsfFlashPlayer& player = AddPlayer();
    TestFlashControl& flash = Flash();
    const std::wstring host(kDummyHostPrefixW);
    // A token nobody was given, a malformed one, and a list target with no list.
    EXPECT_EQ(flash.Fetch(host + L"<stream>0000BEEF.swf"), E_FAIL);
    EXPECT_EQ(flash.Fetch(host + L"<stream>../../x.swf"), E_FAIL);
    EXPECT_EQ(flash.Fetch(host + L"<astream>FFFFFFFF.swf"), E_FAIL);
    for (const auto& d : flash.Downloads()) EXPECT_TRUE(d->Bytes().empty());
    // An over-long URL is left to the control, never looked at by the player.
    const std::size_t before = flash.Downloads().size();
    EXPECT_EQ(flash.Fetch(host + std::wstring(40000, L'a') + L".swf"), S_OK);
    EXPECT_EQ(flash.Downloads().size(), before);
    EXPECT_EQ(flash.Calls().Last("SelfFetch")->text.size(), host.size() + 40004);
    // A missing absolute file under the dummy host leaves no target: the bind finds nothing.
    EXPECT_NE(flash.Fetch(host + L"C:/velmora-missing/nothing.swf"), S_OK);
    EXPECT_TRUE(flash.Downloads().back()->Bytes().empty());
    EXPECT_EQ(player.BindTarget(), L"");
    // A kind of file the player does not serve goes to the control itself.
    EXPECT_EQ(flash.Fetch(L"picture.gif"), S_OK);
    EXPECT_EQ(flash.Calls().Last("SelfFetch")->text, L"picture.gif");
}

TEST_F(FlashPlayer, TheListIndexIsClampedAndPlaysThatItem) {
    TsfFlashPlayer& player = AddPlayer();
    auto* list = new TsfFlashList(form.get());
    std::vector<std::vector<BYTE>> movies;
    for (char tag : {'x', 'y', 'z'}) {
        movies.push_back(MovieBytes(tag, 500));
        list->Flashs().Add().Stream().Write(movies.back().data(), movies.back().size());
    }
    player.SetFlashList(list);
    player.SetFlashIndex(-1);
    EXPECT_EQ(Flash().Calls().Count("LoadMovie"), 0);
    player.SetFlashIndex(7);
    EXPECT_EQ(player.FlashIndex(), 2);
    ASSERT_EQ(Flash().Downloads().size(), 1u);
    EXPECT_EQ(Flash().Downloads().back()->Bytes(), movies[2]);
    // Removing the list forgets it and keeps the index.
    delete list;
    EXPECT_EQ(player.FlashList(), nullptr);
    EXPECT_EQ(player.FlashIndex(), 2);
}

TEST_F(FlashPlayer, AnFSCommandReachesTheApplicationOnlyAfterTheControlsCallback) {
    TsfFlashPlayer& player = AddPlayer();
    std::vector<std::pair<std::wstring, std::wstring>> received;
    player.OnHandleFSCommand = [&](TComponent* sender, const std::wstring& command, const std::wstring& args) {
        EXPECT_EQ(sender, &player);
        received.emplace_back(command, args);
    };
    ASSERT_EQ(Flash().RaiseFSCommand(L"a", L"1"), S_OK);
    ASSERT_EQ(Flash().RaiseFSCommand(L"b", L"2"), S_OK);
    EXPECT_TRUE(received.empty());   // nothing ran inside the control's event
    EXPECT_EQ(player.PendingCommand(), L"b");
    ASSERT_TRUE(PumpUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[0], std::make_pair(std::wstring(L"b"), std::wstring(L"2")));
    EXPECT_EQ(received[1], std::make_pair(std::wstring(), std::wstring()));
}

TEST_F(FlashPlayer, AnFSCommandForAPlayerFreedMeanwhileIsDropped) {
    TsfFlashPlayer* player = &AddPlayer();
    bool called = false;
    player->OnHandleFSCommand = [&](TComponent*, const std::wstring&, const std::wstring&) { called = true; };
    ASSERT_EQ(Flash().RaiseFSCommand(L"quit", L""), S_OK);
    DestroyPlayerAndExpectNoLeaks(player);
    PumpPending();
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace vm::test

namespace vm::test {
namespace {

TEST_F(FlashPlayer, APlayerReadFromAWindowDefinitionStoresWithoutLoading) {
    RegisterFlashHostClasses();
    const std::string text =
        "object Host: TForm\n"
        "  object FlashList1: TsfFlashList\n"
        "  end\n"
        "  object Player1: TsfFlashPlayer\n"
        "    Left = 4\n"
        "    Top = 6\n"
        "    Width = 120\n"
        "    Height = 90\n"
        "    Transparent = False\n"
        "    DisableFlashPopup = True\n"
        "    Movie = 'C:\\stored.swf'\n"
        "    FlashList = FlashList1\n"
        "    ControlData = {0102030405}\n"
        "  end\n"
        "end\n";
    TForm host(nullptr);
    ApplyWindowDefinition(host, ParseWindowDefinition(text, "HOST"), "HOST");
    auto& player = host.Component<TsfFlashPlayer>("Player1");
    EXPECT_FALSE(player.Transparent());
    EXPECT_TRUE(player.DisableFlashPopup());
    EXPECT_EQ(player.Movie(), L"C:\\stored.swf");
    EXPECT_EQ(Flash().Calls().Count("LoadMovie"), 0);   // a stored movie is not loaded
    EXPECT_EQ(player.FlashList(), &host.Component<TsfFlashList>("FlashList1"));
    // The stored state stays held, unread by the running object, and is written back as it came.
    EXPECT_EQ(Flash().Calls().Count("Load"), 0);
    EXPECT_EQ(player.GetProperty("ControlData").AsBinary(), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(player.Width(), 120);
}

}  // namespace
}  // namespace vm::test
