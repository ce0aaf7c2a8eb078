// Which URLs the player serves to the Flash control and which target it records for them.
#include <gtest/gtest.h>

#include <set>

#include "flashhost/MovieUrls.h"
#include "framework/Text.h"

using namespace vm;

namespace {

const std::wstring kPrefix(kDummyHostPrefixW);

// A program in C:\prog\ with a few files, resources and (optionally) list items; every lookup
// is counted so a test can see that a refused URL touched nothing.
struct TFakeWorld {
    std::set<std::string> files{"c:\\prog\\movie.swf", "c:\\prog\\config.xml", "d:\\movies\\m.swf",
                                "c:\\a b\\c.swf"};
    std::set<std::string> resources{"FLVPLAYBACK"};
    std::set<std::string> listItems;   // upper-cased names
    bool listAttached = false;
    int lookups = 0;

    TMovieUrlContext Context() {
        TMovieUrlContext context;
        context.programFolder = "C:\\prog\\";
        if (listAttached)
            context.listHasItem = [this](const std::string& name) { ++lookups; return listItems.count(UpperCase(name)) > 0; };
        context.resourceExists = [this](const std::string& name) { ++lookups; return resources.count(UpperCase(name)) > 0; };
        context.fileExists = [this](const std::string& path) { ++lookups; return files.count(LowerCase(path)) > 0; };
        return context;
    }
};

struct TDecision {
    HRESULT result;
    std::wstring target;
};

TDecision Choose(TFakeWorld& world, const std::wstring& url, std::wstring target = L"") {
    HRESULT result = ChooseBindTarget(url, world.Context(), target);
    return {result, target};
}

} // namespace

TEST(UrlHelpers, DecodeLowersThenReplacesEachEscapeOnceInOrder) {
    EXPECT_EQ(DecodeUrlEscapes("A%3F%3Db%26C%20%2D%2FZ"), "a?=b&c -/z");
    // An inserted character never joins the text after it into a new escape.
    EXPECT_EQ(DecodeUrlEscapes("%%3d3f"), "%=3f");
    EXPECT_EQ(DecodeUrlEscapes("%41"), "%41");
}

TEST(UrlHelpers, LocalPathDropsTheSchemeAndQueryAndUsesWindowsSeparators) {
    EXPECT_EQ(LocalPathOfUrl("file://C|/a%20b/c.swf"), "c:\\a b\\c.swf");
    EXPECT_EQ(LocalPathOfUrl("file:///C:/x/y.swf?a=1&b=2"), "c:\\x\\y.swf");
    EXPECT_EQ(LocalPathOfUrl("/dir/name.xml&x"), "dir\\name.xml");
}

TEST(UrlHelpers, MovieFileNameIsTheLastNameWithoutQuery) {
    EXPECT_EQ(MovieFileName("http://velmora.invalid/dir/Intro.SWF?x=1/y"), "intro.swf");
    EXPECT_EQ(MovieFileName("a:b|c\\d.swf&q"), "d.swf");
    EXPECT_EQ(MovieFileName("plain.swf"), "plain.swf");
    EXPECT_EQ(StripExtension("flvplayback.swf"), "flvplayback");
    EXPECT_EQ(StripExtension("a.b.c"), "a.b");
    EXPECT_EQ(StripExtension("none"), "none");
}

TEST(ChooseBindTarget, LeadingDotSlashIsIgnored) {
    TFakeWorld world;
    EXPECT_EQ(Choose(world, L"./movie.swf").target, L"C:/prog/movie.swf");
    EXPECT_EQ(Choose(world, L"movie.swf").target, L"C:/prog/movie.swf");
    EXPECT_EQ(Choose(world, kPrefix + L"./d:\\movies\\m.swf").target, L"d:/movies/m.swf");
}

TEST(ChooseBindTarget, UrlsNamingNoServedKindAreDeclinedUntouched) {
    TFakeWorld world;
    for (const wchar_t* url : {L"picture.gif", L"MOVIE.SWF", L"C:\\windows\\win.ini", L"http://example.com/"}) {
        TDecision d = Choose(world, url, L"kept\\target");
        EXPECT_EQ(d.result, E_NOTIMPL) << WideToAnsi(url);
        EXPECT_EQ(d.target, L"kept\\target") << WideToAnsi(url);
    }
    EXPECT_EQ(world.lookups, 0);
    // The skin extension is the one marker in both cases; the video site is served as it is.
    EXPECT_EQ(Choose(world, L"skins/Steel.ADF").target, L"skins/Steel.ADF");
    TDecision video = Choose(world, L"http://www.youtube.com/watch?v=abc");
    EXPECT_EQ(video.result, S_OK);
    EXPECT_EQ(video.target, L"http://www.youtube.com/watch?v=abc");
}

TEST(ChooseBindTarget, EmbeddedMoviesComeFromResourcesByNameWithoutExtension) {
    TFakeWorld world;
    TDecision d = Choose(world, L"flvplayback.swf");
    EXPECT_EQ(d.result, S_OK);
    EXPECT_EQ(d.target, L"<res>flvplayback.swf");
    // Under the dummy host the name carries the host, which no resource has.
    EXPECT_EQ(Choose(world, kPrefix + L"flvplayback.swf").target, L"flvplayback.swf");
}

TEST(ChooseBindTarget, FilesBesideTheProgramAreFoundByBareNameAndUnderTheDummyHost) {
    TFakeWorld world;
    EXPECT_EQ(Choose(world, L"config.xml").target, L"C:/prog/config.xml");
    EXPECT_EQ(Choose(world, kPrefix + L"config.xml").target, L"C:/prog/config.xml");
    EXPECT_EQ(Choose(world, kPrefix + L"d:\\movies\\m.swf").target, L"d:/movies/m.swf");
}

TEST(ChooseBindTarget, MissingAbsoluteFileUnderTheDummyHostKeepsTheOldTarget) {
    TFakeWorld world;
    TDecision d = Choose(world, kPrefix + L"E:\\gone\\x.swf", L"");
    EXPECT_EQ(d.result, S_OK);
    EXPECT_EQ(d.target, L"");
    // The kept target still gets forward slashes.
    EXPECT_EQ(Choose(world, kPrefix + L"E:\\gone\\x.swf", L"old\\one").target, L"old/one");
    // A relative name under the dummy host is passed on even when nothing is found.
    EXPECT_EQ(Choose(world, kPrefix + L"sub\\clip.flv").target, L"sub/clip.flv");
}

TEST(ChooseBindTarget, FileUrlsAreTestedAsDecodedLocalPaths) {
    TFakeWorld world;
    TDecision found = Choose(world, L"file://C|/a%20b/c.swf", L"old");
    EXPECT_EQ(found.result, S_OK);
    EXPECT_EQ(found.target, L"file://C|/a%20b/c.swf");
    TDecision missing = Choose(world, L"file://C|/a%20b/gone.swf", L"old");
    EXPECT_EQ(missing.result, S_OK);
    EXPECT_EQ(missing.target, L"old");
    // The bare scheme is accepted and records nothing.
    EXPECT_EQ(Choose(world, L"file://", L"a\\b").target, L"a\\b");
}

TEST(ChooseBindTarget, ListItemsMatchTheFileNameIgnoringCaseAndQuery) {
    TFakeWorld world;
    world.listAttached = true;
    world.listItems = {"INTRO.SWF"};
    EXPECT_EQ(Choose(world, kPrefix + L"dir/Intro.swf?frame=2").target, L"<list>intro.swf");
    // A list item wins over a resource of the same name.
    world.listItems.insert("FLVPLAYBACK.SWF");
    EXPECT_EQ(Choose(world, L"flvplayback.swf").target, L"<list>flvplayback.swf");
    // Without a list the resource serves again.
    world.listAttached = false;
    EXPECT_EQ(Choose(world, L"flvplayback.swf").target, L"<res>flvplayback.swf");
}

TEST(ChooseBindTarget, OtherUrlsAreRecordedWithForwardSlashes) {
    TFakeWorld world;
    EXPECT_EQ(Choose(world, L"sub\\clip.flv").target, L"sub/clip.flv");
    EXPECT_EQ(Choose(world, L"http://host/a\\b.jpg").target, L"http://host/a/b.jpg");
}

TEST(ChooseBindTarget, OverLongOrNulCarryingUrlsAreDeclinedBeforeAnyLookup) {
    TFakeWorld world;
    std::wstring longUrl(kMaxServedUrlLength - 4, L'a');
    longUrl += L".swf";
    EXPECT_EQ(Choose(world, longUrl).result, S_OK);
    world.lookups = 0;
    TDecision tooLong = Choose(world, L"x" + longUrl, L"kept");
    EXPECT_EQ(tooLong.result, E_NOTIMPL);
    EXPECT_EQ(tooLong.target, L"kept");
    // The name tested would stop at the NUL, the name opened later would not.
    TDecision nul = Choose(world, std::wstring(L"config.xml\0.swf", 15), L"kept");
    EXPECT_EQ(nul.result, E_NOTIMPL);
    EXPECT_EQ(nul.target, L"kept");
    EXPECT_EQ(world.lookups, 0);
}

TEST(ProgramPlaces, ProgramFolderHoldsTheRunningProgram) {
    std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(FileExistsOnDisk(folder + "flashhost_tests.exe"));
    EXPECT_FALSE(FileExistsOnDisk(folder));   // a folder is not a file
    EXPECT_FALSE(FileExistsOnDisk(folder + "no such file.swf"));
    EXPECT_FALSE(ProgramResourceExists("NO_SUCH_MOVIE"));
    EXPECT_EQ(OpenProgramResource("NO_SUCH_MOVIE"), nullptr);
}

TEST(LoadMovieUrls, PathsGoBehindTheDummyHostUnlessAnOlderControlCanFetchThemItself) {
    EXPECT_EQ(MovieUrlForPath(L"C:\\movies\\a.swf", 9), kPrefix + L"C:\\movies\\a.swf");
    EXPECT_EQ(MovieUrlForPath(L"file:///C:/movies/a.swf", 9), L"file:///C:/movies/a.swf");
    EXPECT_EQ(MovieUrlForPath(L"file:///C:/movies/a.swf", 10), kPrefix + L"file:///C:/movies/a.swf");
    EXPECT_EQ(StreamMovieUrl("0000002A", ".flv"), kPrefix + L"<stream>0000002A.flv");
    EXPECT_EQ(BaseFolderOf("C:\\movies\\a.swf"), "C:\\movies\\");
    EXPECT_EQ(BaseFolderOf("C:/movies/a.swf"), "C:/movies/");
    EXPECT_EQ(BaseFolderOf("C:a.swf"), "C:");
    EXPECT_EQ(BaseFolderOf("a.swf"), "");
}
