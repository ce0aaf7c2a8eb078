// Reading stored skins: versions, names, extraction, and archives that lie about their sizes.
#include <gtest/gtest.h>

#include <optional>

#include "SkinArchiveStored.h"
#include "SkinArchiveWriter.h"
#include "SkinRead.h"
#include "SkinTestData.h"

namespace velmora::skin {
namespace {

// An archive laid out by hand, so tests can write what our writer never would.
struct RawArchive {
    uint32_t version = 70000;
    size_t versionBlock = 69;
    std::string names;
    std::vector<int32_t> sizes;
    std::vector<uint8_t> data;
    std::optional<int32_t> nameListLength;  // the real length unless set

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        auto u32 = [&](uint32_t v) {
            for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(v >> s));
        };
        u32(version);
        u32(static_cast<uint32_t>(nameListLength.value_or(static_cast<int32_t>(names.size()))));
        out.insert(out.end(), 8 + versionBlock, 0xEE);  // unused bytes: content must not matter
        out.insert(out.end(), names.begin(), names.end());
        for (int32_t s : sizes) u32(static_cast<uint32_t>(s));
        out.insert(out.end(), data.begin(), data.end());
        return out;
    }
    std::vector<uint8_t> stored() const { return packStoredSkin(bytes()); }
};

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

RawArchive twoMembers() {
    RawArchive a;
    a.names = "Buttons.BMP\r\nskin.ini\r\n";
    a.sizes = {3, 5};
    a.data = bytesOf("BMP[x]=1");
    return a;
}

struct Reading {
    bool ok = false;
    std::string error;
    std::vector<std::string> messages;
    std::vector<std::string> names;
};

Reading read(const std::vector<uint8_t>& stored) {
    Reading r;
    TSkinReader reader([&](const std::string& m) { r.messages.push_back(m); });
    r.ok = reader.ReadArchive(stored);
    r.error = reader.Error();
    for (const auto& m : reader.Members()) r.names.push_back(m.name);
    return r;
}

TEST(SkinReaderVersions, EachKnownVersionSkipsItsOwnBlock) {
    const std::pair<uint32_t, size_t> known[] = {{20000, 0}, {30000, 256}, {40000, 80}, {50000, 48}, {60000, 117}, {70000, 69}};
    for (auto [version, block] : known) {
        RawArchive a = twoMembers();
        a.version = version;
        a.versionBlock = block;
        TSkinReader reader;
        ASSERT_TRUE(reader.ReadArchive(a.stored())) << version << ": " << reader.Error();
        EXPECT_EQ(reader.ExtractByName("skin.ini"), bytesOf("[x]=1")) << version;
    }
}

TEST(SkinReaderVersions, AnOlderVersionShowsTheMessageAndFails) {
    RawArchive a = twoMembers();
    a.version = 10000;
    const Reading r = read(a.stored());
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "This is Older Skin File\rPlease update to new version !");
    EXPECT_TRUE(r.names.empty());
}

TEST(SkinReaderNames, NamesAreLowerCasedAndATrailingBreakAddsNoMember) {
    const Reading r = read(twoMembers().stored());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.names, (std::vector<std::string>{"buttons.bmp", "skin.ini"}));

    RawArchive noBreak = twoMembers();
    noBreak.names = "a\r\nb";
    EXPECT_EQ(read(noBreak.stored()).names, (std::vector<std::string>{"a", "b"}));

    RawArchive empty;
    EXPECT_TRUE(read(empty.stored()).ok);
    EXPECT_TRUE(read(empty.stored()).names.empty());
}

TEST(SkinReaderExtract, ByNameCopiesTheMemberOrGivesNothing) {
    TSkinReader reader;
    ASSERT_TRUE(reader.ReadArchive(twoMembers().stored()));
    EXPECT_EQ(reader.ExtractByName("buttons.bmp"), bytesOf("BMP"));
    EXPECT_EQ(reader.ExtractByName("BUTTONS.bmp"), bytesOf("BMP"));
    EXPECT_TRUE(reader.ExtractByName("buttons").empty());
    EXPECT_TRUE(reader.ExtractByName("missing.bmp").empty());
}

TEST(SkinReaderExtract, ByPartialNameTakesTheFirstMemberContainingTheText) {
    RawArchive a;
    a.names = "one.ini\r\ntwo.ini\r\n";
    a.sizes = {1, 1};
    a.data = bytesOf("12");
    TSkinReader reader;
    ASSERT_TRUE(reader.ReadArchive(a.stored()));
    const TSkinReader::Found found = reader.ExtractByPartialName(".ini");
    EXPECT_EQ(found.name, "one.ini");
    EXPECT_EQ(found.data, bytesOf("1"));
    EXPECT_EQ(reader.ExtractByPartialName("two").name, "two.ini");
    EXPECT_TRUE(reader.ExtractByPartialName(".bmp").name.empty());
}

TEST(SkinReaderExtract, ZeroSizedMembersAndDataAfterTheLastMember) {
    RawArchive a;
    a.names = "empty.bmp\r\nfull.bmp\r\n";
    a.sizes = {0, 2};
    a.data = bytesOf("ab-trailing-bytes-ignored");
    TSkinReader reader;
    ASSERT_TRUE(reader.ReadArchive(a.stored())) << reader.Error();
    EXPECT_TRUE(reader.ExtractByName("empty.bmp").empty());
    EXPECT_EQ(reader.ExtractByName("full.bmp"), bytesOf("ab"));
}

// Every hostile archive fails with a reason and leaves the reader empty.
void expectRefused(const std::vector<uint8_t>& stored, const std::string& reasonPart) {
    const Reading r = read(stored);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(reasonPart), std::string::npos) << r.error;
    EXPECT_TRUE(r.names.empty());
    EXPECT_TRUE(r.messages.empty()) << "only an unknown version is shown to the user";
}

TEST(SkinReaderHostile, SizesThatRunPastTheDataAreRefused) {
    RawArchive longNames = twoMembers();
    longNames.nameListLength = 100000;
    expectRefused(longNames.stored(), "name list");

    RawArchive negativeNames = twoMembers();
    negativeNames.nameListLength = -5;
    negativeNames.names.clear();
    expectRefused(negativeNames.stored(), "negative name-list length");

    RawArchive manyNames = twoMembers();
    manyNames.names = std::string(4000, 'n');
    for (int i = 0; i < 1000; ++i) manyNames.names += "\r\nn";
    manyNames.sizes.clear();
    manyNames.data.clear();
    expectRefused(manyNames.stored(), "sizes of 1001 members");

    RawArchive bigMember = twoMembers();
    bigMember.sizes = {3, 6};
    expectRefused(bigMember.stored(), "\"skin.ini\" (6 bytes) runs past");

    RawArchive hugeMember = twoMembers();
    hugeMember.sizes = {0x7FFFFFFF, 5};
    expectRefused(hugeMember.stored(), "runs past");

    RawArchive negativeMember = twoMembers();
    negativeMember.sizes = {-1, 5};
    expectRefused(negativeMember.stored(), "negative size");

    expectRefused(packStoredSkin(std::vector<uint8_t>(15, 0)), "shorter than the 16-byte header");
}

TEST(SkinReaderHostile, StoredSkinsThatCannotHoldTheirSizeAreRefused) {
    expectRefused({}, "too short");
    expectRefused({1, 0, 0}, "too short");
    // An unpacked size of 4 GB from 10 bytes: refused before anything is allocated.
    expectRefused({0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "cannot come from 10 compressed bytes");
    // Any size at all from an empty stream.
    expectRefused({1, 0, 0, 0}, "cannot come from 0");
}

TEST(StoredSkinBound, TheBestCompressionOurPackerReachesStaysInsideTheBound) {
    // Long runs of one byte are the format's best case: 60-byte matches with short codes.
    for (size_t n : {size_t(1000), size_t(100000), size_t(3000000)}) {
        const std::vector<uint8_t> zeros(n, 0);
        const std::vector<uint8_t> stored = packStoredSkin(zeros);
        EXPECT_LE(n, maxUnpackedSize(stored.size() - 4)) << n;
        EXPECT_EQ(unpackStoredSkin(stored), zeros);
    }
}

TEST(SkinArchiveWriting, WrittenArchivesReadBackAfterPacking) {
    std::vector<SkinArchiveEntry> entries = {{"Frame.BMP", testing::randomBytes(5000, 20)},
                                             {"empty.bmp", {}},
                                             {"skin.ini", bytesOf("[Personality]\r\nLeft=frame.bmp\r\n")}};
    const std::vector<uint8_t> archive = writeSkinArchive(entries);
    EXPECT_EQ(archive[0] | archive[1] << 8 | archive[2] << 16, 70000);
    EXPECT_TRUE(std::all_of(archive.begin() + 8, archive.begin() + 16 + 69, [](uint8_t b) { return b == 0; }));

    TSkinReader reader;
    ASSERT_TRUE(reader.ReadArchive(packStoredSkin(archive))) << reader.Error();
    EXPECT_EQ(reader.Version(), 70000u);
    ASSERT_EQ(reader.Members().size(), 3u);
    EXPECT_EQ(reader.ExtractByName("frame.bmp"), entries[0].data);
    EXPECT_EQ(reader.ExtractByPartialName(".ini").data, entries[2].data);
}

TEST(SkinArchiveWriting, NamesTheReaderCouldNotGiveBackAreRefused) {
    EXPECT_THROW(writeSkinArchive({{"", {}}}), SkinArchiveError);
    EXPECT_THROW(writeSkinArchive({{"a\r\nb", {}}}), SkinArchiveError);
    EXPECT_THROW(writeSkinArchive({{"A.bmp", {}}, {"a.BMP", {}}}), SkinArchiveError);
}

TEST(SkinStreamProperty, CountThenBytesAndNothingForACountOfZeroOrLess) {
    const std::vector<uint8_t> stored = {9, 8, 7};
    const std::vector<uint8_t> property = writeSkinStreamProperty(stored);
    EXPECT_EQ(property, (std::vector<uint8_t>{3, 0, 0, 0, 9, 8, 7}));
    EXPECT_EQ(readSkinStreamProperty(property), stored);
    EXPECT_EQ(writeSkinStreamProperty({}), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_TRUE(readSkinStreamProperty(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}).empty());
    EXPECT_THROW(readSkinStreamProperty(std::vector<uint8_t>{4, 0, 0, 0, 1}), SkinArchiveError);
}

}  // namespace
}  // namespace velmora::skin
