// In-memory movies: the stored "FlashStream" form, lists in window definitions, finding items
// by name, and which item a FlashIndex plays.
#include <gtest/gtest.h>

#include "flashhost/FlashList.h"
#include "flashhost/FlashStreamFormat.h"
#include "framework/Errors.h"
#include "framework/WindowDefinition.h"

using namespace vm;

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Bytes(std::initializer_list<int> values) {
    TBytes out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

std::string Text(const TBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

void Fill(TsfFlashStream& item, const std::string& name, const std::string& movie) {
    item.SetFlashStreamData(EncodeStoredMovie(name, TBytes(movie.begin(), movie.end())));
}

// The list's stored properties as a definition text, the way a form would be written.
std::string DefinitionOf(const TsfFlashList& list) {
    TDefinitionObject object;
    object.name = list.Name();
    object.className = list.ClassName();
    object.properties.push_back({"Flashs", list.GetProperty("Flashs"), 0});
    return FormatWindowDefinition(object);
}

void ReadDefinition(TsfFlashList& list, const std::string& text) {
    ApplyWindowDefinition(list, ParseWindowDefinition(text, "FLASHLIST"), "FLASHLIST");
}

} // namespace

TEST(FlashStreamItem, NewItemIsEmptyAndStoresTheSingleByteZero) {
    TsfFlashStream item;
    EXPECT_EQ(item.FlashStore(), "(empty)");
    EXPECT_EQ(item.StoreName(), "(empty)");
    EXPECT_EQ(item.Stream().Size(), 0);
    EXPECT_EQ(item.FlashStreamData(), Bytes({0}));
}

TEST(FlashStreamItem, WritesTheCurrentFormWithNameSizeAndBytes) {
    TsfFlashStream item;
    Fill(item, "ab", "XYZ");
    EXPECT_EQ(item.FlashStreamData(), Bytes({3, 2, 0, 0, 0, 'a', 'b', 3, 0, 0, 0, 'X', 'Y', 'Z'}));
    EXPECT_EQ(item.FlashStore(), "ab");
    // FlashStore is shown and stored, but only FlashStream names the item.
    item.SetProperty("FlashStore", TValue::Text("other"));
    EXPECT_EQ(item.FlashStore(), "ab");
}

TEST(FlashStreamItem, ReadsTheOlderFormByTheLowHalfOfItsSize) {
    TsfFlashStream item;
    item.SetFlashStreamData(Bytes({2, 1, 0, 0, 0, 'n', 2, 0, 0, 0, 7, 0, 0, 0, 'h', 'i'}));
    EXPECT_EQ(item.StoreName(), "n");
    EXPECT_EQ(Text(item.Stream().Bytes()), "hi");
}

TEST(FlashStreamItem, KindZeroAndUnknownKindsLeaveTheItemAsItIs) {
    TsfFlashStream fresh;
    fresh.SetFlashStreamData(Bytes({0}));
    EXPECT_EQ(fresh.FlashStore(), "(empty)");
    EXPECT_EQ(fresh.Stream().Size(), 0);

    TsfFlashStream loaded;
    Fill(loaded, "keep.swf", "FWS");
    loaded.SetFlashStreamData(Bytes({0}));
    loaded.SetFlashStreamData(Bytes({9, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(loaded.FlashStore(), "keep.swf");
    EXPECT_EQ(Text(loaded.Stream().Bytes()), "FWS");
}

TEST(FlashStreamItem, DamagedDataIsRefusedAndTheItemKeepsItsMovie) {
    const TBytes damaged[] = {
        {},                                                   // not even a kind
        Bytes({3, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}),              // name far past the end
        Bytes({3, 1, 0, 0}),                                  // name length cut short
        Bytes({3, 1, 0, 0, 0, 'a', 2, 0}),                    // size cut short
        Bytes({3, 1, 0, 0, 0, 'a', 0xFF, 0xFF, 0xFF, 0x7F}),  // 2 GB announced, nothing there
        Bytes({3, 0, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 'c'}),    // one byte short
        Bytes({2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}),       // older form, no data
    };
    for (const TBytes& block : damaged) {
        TsfFlashStream item;
        Fill(item, "keep.swf", "FWS");
        EXPECT_THROW(item.SetFlashStreamData(block), EPropertyError) << block.size() << " bytes";
        EXPECT_EQ(item.StoreName(), "keep.swf");
        EXPECT_EQ(Text(item.Stream().Bytes()), "FWS");
    }
    try {
        DecodeStoredMovie(Bytes({3, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}));
    } catch (const EPropertyError& e) {
        EXPECT_NE(std::string(e.what()).find("name needs 4294967295 bytes but only 1"), std::string::npos) << e.what();
    }
}

TEST(FlashList, FindsTheFirstItemByNameIgnoringCase) {
    TsfFlashList list(nullptr);
    Fill(list.Flashs().Add(), "Intro.swf", "one");
    Fill(list.Flashs().Add(), "INTRO.SWF", "two");
    list.Flashs().Add();
    ASSERT_NE(list.FindByName("intro.swf"), nullptr);
    EXPECT_EQ(Text(list.FindByName("intro.swf")->Stream().Bytes()), "one");
    EXPECT_EQ(list.FindByName("outro.swf"), nullptr);
    EXPECT_EQ(list.FindByName("(EMPTY)"), &list.Flashs().Items(2));
    EXPECT_THROW(list.Flashs().Items(3), EInvalidOperation);
}

TEST(FlashList, RoundTripsThroughAWindowDefinition) {
    TsfFlashList written(nullptr);
    written.SetName("FlashList1");
    TsfFlashStream& first = written.Flashs().Add();
    Fill(first, "intro.swf", std::string("FWS\0\x01\xff", 6));
    first.SetTag(7);
    written.Flashs().Add();   // an empty item survives as one

    std::string text = DefinitionOf(written);
    EXPECT_NE(text.find("FlashStore = 'intro.swf'\n      Tag = 7\n      FlashStream = {"), std::string::npos) << text;

    TsfFlashList read(nullptr);
    ReadDefinition(read, text);
    ASSERT_EQ(read.Flashs().Count(), 2);
    EXPECT_EQ(read.Name(), "FlashList1");
    EXPECT_EQ(read.Flashs().Items(0).StoreName(), "intro.swf");
    EXPECT_EQ(read.Flashs().Items(0).Tag(), 7);
    EXPECT_EQ(read.Flashs().Items(0).Stream().Bytes(), first.Stream().Bytes());
    EXPECT_EQ(read.Flashs().Items(1).FlashStore(), "(empty)");
    EXPECT_EQ(DefinitionOf(read), text);
}

TEST(FlashList, DamagedItemInADefinitionIsReportedAndTheListKeepsItsItems) {
    TsfFlashList list(nullptr);
    Fill(list.Flashs().Add(), "kept.swf", "FWS");
    const std::string text =
        "object FlashList1: TsfFlashList\n"
        "  Flashs = <\n"
        "    item\n"
        "      FlashStream = {0301000000610100000041}\n"
        "    end\n"
        "    item\n"
        "      FlashStream = {03FFFFFFFF61}\n"
        "    end>\n"
        "end\n";
    try {
        ReadDefinition(list, text);
        FAIL() << "damaged data was read";
    } catch (const EDefinitionError& e) {
        EXPECT_EQ(e.Line(), 2);
        EXPECT_NE(std::string(e.what()).find("Flash list item 1, FlashStream"), std::string::npos) << e.what();
    }
    ASSERT_EQ(list.Flashs().Count(), 1);
    EXPECT_EQ(list.Flashs().Items(0).StoreName(), "kept.swf");
}

TEST(FlashIndexChoice, ClampsToTheLastItemAndPlaysNothingWithoutItems) {
    auto choose = [](int requested, int count) {
        TFlashIndexChoice c = ChooseFlashIndex(requested, count);
        return std::to_string(c.index) + (c.play ? " plays " + std::to_string(*c.play) : " plays nothing");
    };
    EXPECT_EQ(choose(7, 3), "2 plays 2");
    EXPECT_EQ(choose(1, 3), "1 plays 1");
    EXPECT_EQ(choose(2, 3), "2 plays 2");
    EXPECT_EQ(choose(-1, 3), "-1 plays nothing");
    EXPECT_EQ(choose(4, 0), "4 plays nothing");    // an empty list
    EXPECT_EQ(choose(4, -1), "4 plays nothing");   // no list
}
