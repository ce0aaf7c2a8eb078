// The URL puller over urlmon's URL monikers, on real files.
#include <gtest/gtest.h>

#include <fstream>

#include "BindStatusRecorder.h"
#include "GuiTest.h"
#include "flashhost/BindDelivery.h"
#include "flashhost/UrlPuller.h"

using namespace vm;
using namespace vm::test;

namespace {

class TTempFile {
public:
    TTempFile(const std::string& name, const std::string& content) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "velmora loading " + std::to_string(GetCurrentProcessId()) + " " + name;
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TTempFile() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Bytes of every value, and more than one read buffer of the recorder.
std::string SampleMovie() {
    std::string bytes = "FWS";
    for (int i = 0; i < 10000; ++i) bytes += static_cast<char>(i % 256);
    return bytes;
}

} // namespace

TEST(UrlPuller, DeliversEveryByteOfALocalFileToTheCallback) {
    TComApartment apartment;
    TTempFile file("movie.swf", SampleMovie());
    TBindStatusRecorder recorder;
    EXPECT_EQ(DefaultUrlPuller().Pull(file.Path(), &recorder), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return recorder.stopped; }, 10000));
    EXPECT_EQ(recorder.stopResult, S_OK);
    EXPECT_EQ(recorder.bytes, SampleMovie());
    auto names = recorder.CallNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "OnStartBinding");
    EXPECT_EQ(names.back(), "OnStopBinding");
}

TEST(UrlPuller, MissingFileFailsAndDeliversNothing) {
    TComApartment apartment;
    TTempFile folderMarker("marker", "");
    std::string missing = folderMarker.Path() + " not there.swf";
    TBindStatusRecorder recorder;
    HRESULT hr = DefaultUrlPuller().Pull(missing, &recorder);
    if (SUCCEEDED(hr)) ASSERT_TRUE(PumpUntil([&] { return recorder.stopped; }, 10000));
    EXPECT_TRUE(FAILED(hr) || FAILED(recorder.stopResult));
    for (const std::string& name : recorder.CallNames()) EXPECT_NE(name, "OnDataAvailable");
    EXPECT_TRUE(recorder.bytes.empty());
}

TEST(UrlPuller, BindOfAPathTargetFeedsTheControlsCallback) {
    TComApartment apartment;
    TTempFile file("settings.xml", "<settings volume=\"50\"/>");
    TBindStatusRecorder recorder;
    TComPtr<IBindCtx> context = BindContextHolding(&recorder);
    TBindSources sources;
    sources.puller = &DefaultUrlPuller();
    std::string target = file.Path();
    for (char& c : target)
        if (c == '\\') c = '/';
    std::wstring bindTarget = AnsiToWide(target);
    EXPECT_EQ(BindTargetToStorage(context.Get(), bindTarget, sources), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return recorder.stopped; }, 10000));
    EXPECT_EQ(recorder.bytes, "<settings volume=\"50\"/>");

    TBindStatusRecorder missingRecorder;
    TComPtr<IBindCtx> missingContext = BindContextHolding(&missingRecorder);
    std::wstring missingTarget = AnsiToWide(target + ".gone");
    EXPECT_EQ(BindTargetToStorage(missingContext.Get(), missingTarget, sources), E_FAIL);
    EXPECT_TRUE(missingRecorder.bytes.empty());
}
