// Reading skin descriptions: lines, sections, keys, integers.
#include <gtest/gtest.h>

#include "WinSkinIni.h"

namespace velmora::skin {
namespace {

TQuickIni iniOf(std::string_view text) {
    TQuickIni ini;
    ini.Load(text);
    return ini;
}

TEST(QuickIniLines, AnyLineEndTrimmingCommentsAndTheFirstNul) {
    std::string text = "\t[Main] \r\n; a=comment\rkey1 = one\n\n\x01key2=two\x7f\r\n[After]\r\nk=v";
    text += '\0';
    text += "\r\n[Hidden]\r\nk=x\r\n";
    const TQuickIni ini = iniOf(text);
    EXPECT_EQ(ini.ReadString("Main", "key1", "-"), "one");
    EXPECT_EQ(ini.ReadString("main", "; a", "-"), "-");
    // 0x7F is not a control character for trimming: only bytes up to the blank are.
    EXPECT_EQ(ini.ReadString("Main", "key2", "-"), "two\x7f");
    EXPECT_EQ(ini.ReadString("After", "k", "-"), "v");
    EXPECT_EQ(ini.ReadString("Hidden", "k", "-"), "-");
    std::vector<std::string> sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"Main", "After"}));
}

TEST(QuickIniLookup, CaseBlindFirstKeyWinsEmptyValueGivesDefault) {
    const TQuickIni ini = iniOf(
        "[Colours]\r\nButtonFace = 1 2 3\r\nbuttonface=9 9 9\r\nEmpty =   \r\nNoEquals\r\n a = b = c \r\n"
        "[colours]\r\nLater=1\r\n[Other]\r\nButtonFace=other\r\n");
    EXPECT_EQ(ini.ReadString("COLOURS", "BUTTONFACE", "-"), "1 2 3");
    EXPECT_EQ(ini.ReadString("Colours", "Empty", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Colours", "NoEquals", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Colours", "a", "-"), "b = c");
    // Only the first section of a name is searched, and a search stops at the next section.
    EXPECT_EQ(ini.ReadString("Colours", "Later", "-"), "-");
    EXPECT_EQ(ini.ReadString("Missing", "ButtonFace", "-"), "-");
    EXPECT_EQ(ini.ReadString("Other", "ButtonFace", "-"), "other");
}

TEST(QuickIniLookup, SectionsWithBlanksInsideTheBrackets) {
    const TQuickIni ini = iniOf("[ Spaced ]\r\nk=1\r\n[]\r\nk=2\r\n[\r\nk=3\r\n");
    std::vector<std::string> sections{"stale"};
    ini.ReadSections(&sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"Spaced", ""}));
    EXPECT_EQ(ini.ReadString(" Spaced ", "k", "-"), "1");
    EXPECT_EQ(ini.ReadString("Spaced", "k", "-"), "-");  // the bracketed text is compared whole
    EXPECT_EQ(ini.ReadString("", "k", "-"), "2");
    EXPECT_EQ(ini.ReadString("[", "k", "-"), "-");  // a lone "[" is no section line
}

TEST(QuickIniIntegers, HexDollarDecimalAndDefaults) {
    const TQuickIni ini = iniOf(
        "[N]\r\nhex=0x1F\r\nHEX=0X1f\r\ntwo=0x\r\ndollar=$1F\r\nneg=-12\r\nplus=+7\r\nword=twelve\r\n"
        "tail=12px\r\nallbits=0xFFFFFFFF\r\nwide=0x100000000\r\nbig=2147483648\r\nsmall=-2147483648\r\nnegdollar=-$10\r\n");
    auto n = [&](const char* key) { return ini.ReadInteger("N", key, 77); };
    EXPECT_EQ(n("hex"), 31);
    EXPECT_EQ(n("two"), 77);
    EXPECT_EQ(n("dollar"), 31);
    EXPECT_EQ(n("neg"), -12);
    EXPECT_EQ(n("plus"), 7);
    EXPECT_EQ(n("word"), 77);
    EXPECT_EQ(n("tail"), 77);
    EXPECT_EQ(n("allbits"), -1);
    EXPECT_EQ(n("wide"), 77);
    EXPECT_EQ(n("big"), 77);
    EXPECT_EQ(n("small"), INT32_MIN);
    EXPECT_EQ(n("negdollar"), -16);
    EXPECT_EQ(n("missing"), 77);
}

TEST(QuickIniSections, AMissingListIsAProgrammingError) {
    const TQuickIni ini = iniOf("[A]\r\n");
    try {
        ini.ReadSections(nullptr);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "The parameter Strings is unassigned!");
    }
}

TEST(QuickIniLoad, LoadingAgainReplacesTheText) {
    TQuickIni ini = iniOf("[A]\r\nk=1\r\n");
    ini.Load(std::string_view("[B]\r\nk=2\r\n"));
    EXPECT_EQ(ini.ReadString("A", "k", "-"), "-");
    EXPECT_EQ(ini.ReadInteger("B", "k", 0), 2);
}

}  // namespace
}  // namespace velmora::skin
