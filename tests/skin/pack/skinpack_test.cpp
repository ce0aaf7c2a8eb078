// The skin packer's gathering of members: order, description last, refusals.
#include <gtest/gtest.h>

#include <fstream>

#include "SkinArchiveStored.h"
#include "SkinArchiveWriter.h"
#include "SkinPack.h"
#include "SkinRead.h"

namespace velmora::skinpack {
namespace {

namespace fs = std::filesystem;

class SkinPackFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("skinpack-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "sub");
    }
    void TearDown() override { fs::remove_all(dir_); }
    void file(const std::string& name, const std::string& content) { std::ofstream(dir_ / name, std::ios::binary) << content; }
    static std::vector<std::string> names(const std::vector<skin::SkinArchiveEntry>& entries) {
        std::vector<std::string> n;
        for (const auto& e : entries) n.push_back(e.name);
        return n;
    }
    fs::path dir_;
};

TEST_F(SkinPackFolder, FolderMembersInNameOrderWithTheDescriptionLast) {
    file("Skin.INI", "[Personality]\r\n");
    file("zeta.bmp", "Z");
    file("Alpha.bmp", "A");
    file("sub/ignored.bmp", "-");
    const auto entries = orderForArchive(collectFolder(dir_));
    EXPECT_EQ(names(entries), (std::vector<std::string>{"alpha.bmp", "zeta.bmp", "skin.ini"}));

    skin::TSkinReader reader;
    ASSERT_TRUE(reader.ReadArchive(skin::packStoredSkin(skin::writeSkinArchive(entries))));
    EXPECT_EQ(reader.ExtractByPartialName(".ini").name, "skin.ini");
}

TEST_F(SkinPackFolder, ListFilesKeepTheirOrderAndSkipCommentsAndBlanks) {
    file("b.bmp", "B");
    file("a.bmp", "A");
    file("d.ini", "");
    file("list.txt", "# members\r\nd.ini\r\n\r\nb.bmp\r\na.bmp\r\n");
    EXPECT_EQ(names(orderForArchive(collectList(dir_ / "list.txt"))), (std::vector<std::string>{"b.bmp", "a.bmp", "d.ini"}));
    file("bad.txt", "missing.bmp\n");
    EXPECT_THROW(collectList(dir_ / "bad.txt"), PackError);
}

TEST_F(SkinPackFolder, DescriptionsMissingRepeatedOrShadowedAreRefused) {
    using E = skin::SkinArchiveEntry;
    EXPECT_THROW(orderForArchive({E{"a.bmp", {}}}), PackError);
    EXPECT_THROW(orderForArchive({E{"a.ini", {}}, E{"b.ini", {}}}), PackError);
    EXPECT_THROW(orderForArchive({E{"old.ini.bmp", {}}, E{"skin.ini", {}}}), PackError);
    EXPECT_THROW(collectFolder(dir_ / "nothing-here"), PackError);
}

}  // namespace
}  // namespace velmora::skinpack
