// The store behind the movies' local shared objects: files round-trip, are replaced whole,
// removed by an empty write, bounded in size, and no name a movie gives leaves the folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "player/ocx/LocalDataStore.h"

using vm::flash::LocalDataStore;

namespace {

class LocalData : public ::testing::Test {
protected:
    LocalData() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        folder = std::filesystem::path(base) / (L"velmora-sol-" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::remove_all(folder);
    }
    ~LocalData() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder;
};

TEST_F(LocalData, FilesRoundTripAreReplacedWholeAndAnEmptyWriteRemovesThem) {
    LocalDataStore store(folder);
    EXPECT_FALSE(store.Read("localhost/scores").has_value());
    ASSERT_TRUE(store.Write("localhost/scores", {1, 2, 3}));
    EXPECT_EQ(store.Read("localhost/scores"), (std::vector<std::uint8_t>{1, 2, 3}));
    ASSERT_TRUE(store.Write("localhost/scores", {9}));
    EXPECT_EQ(store.Read("localhost/scores"), (std::vector<std::uint8_t>{9}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no half-written file left";
    ASSERT_TRUE(store.Write("localhost/scores", {}));
    EXPECT_FALSE(store.Read("localhost/scores").has_value());
}

TEST_F(LocalData, NamesStayInsideTheFolderAndSizesAreBounded) {
    LocalDataStore store(folder);
    for (const char* key : {"localhost/../../escape", "..\\..\\escape", "C:\\Windows\\x", "a/b/./c"}) {
        std::filesystem::path file = store.FileFor(key);
        EXPECT_EQ(file.parent_path(), folder) << key;
        EXPECT_EQ(file.filename().wstring().find(L".."), std::wstring::npos) << key;
    }
    EXPECT_NE(store.FileFor("a/b"), store.FileFor("a_b")) << "different names, different files";
    // Long keys (a movie's whole path) get short names that still tell them apart.
    const std::string deep = "localhost/C:/" + std::string(300, 'x') + "/game.swf/";
    EXPECT_NE(store.FileFor(deep + "save"), store.FileFor(deep + "best"));
    EXPECT_LE(store.FileFor(deep + "save").filename().wstring().size(), 204u);
    ASSERT_TRUE(store.Write(deep + "save", {1}));
    EXPECT_EQ(store.Read(deep + "save"), (std::vector<std::uint8_t>{1}));
    EXPECT_FALSE(store.Read(deep + "best").has_value());
    EXPECT_FALSE(store.Write("big", std::vector<std::uint8_t>(LocalDataStore::kMaxFileBytes + 1, 7)));
    EXPECT_TRUE(store.Write("big", std::vector<std::uint8_t>(LocalDataStore::kMaxFileBytes, 7)));
    EXPECT_FALSE(LocalDataStore::UserFolder().empty());
}

} // namespace
