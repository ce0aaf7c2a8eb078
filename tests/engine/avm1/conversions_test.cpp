// Conversions, comparisons and names through whole scripts, in the file versions where the
// rules differ.
#include <gtest/gtest.h>

#include "Bytecode.h"

namespace swf::avm1::test {
namespace {

using Lines = std::vector<std::string>;

TEST(Conversions, UndefinedPrintsEmptyBefore7) {
    Bytecode code;
    code.push({"a"}).op(0x1C).push({"|"}).op(0x21).trace();  // a + "|" with StringAdd
    EXPECT_EQ(runScript(code, 6), Lines{"|"});
    EXPECT_EQ(runScript(code, 7), Lines{"undefined|"});
}

TEST(Conversions, StringAddConvertsItsRightOperandFirstAndReadsTextAsIs) {
    // l and r are objects whose toString traces; StringAdd of them, then of a text with itself
    // (one shared value on both sides), then the lengths of a number and of the joined text.
    Bytecode code;
    for (const char* side : {"l", "r"}) {
        code.push({side, "toString"});
        code.function("", {}, [&](Bytecode& f) { f.push({side}).trace().push({side}).op(0x3E); });
        code.push({Int{1}}).op(0x43).op(0x1D);
    }
    code.push({"l"}).op(0x1C).push({"r"}).op(0x1C).op(0x21).trace();
    code.push({"ab"}).storeRegister(1).op(0x17);
    code.push({Reg{1}, Reg{1}}).op(0x21).storeRegister(2).trace();
    code.push({12.5}).op(0x14).trace();
    code.push({Reg{2}}).op(0x14).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"r", "l", "lr", "abab", "4", "4"}));
}

TEST(Conversions, UndefinedIsZeroBefore7AndNaNFrom7) {
    Bytecode code;
    code.push({Undefined{}, 1.0}).op(0x47).trace();  // undefined + 1
    EXPECT_EQ(runScript(code, 6), Lines{"1"});
    EXPECT_EQ(runScript(code, 7), Lines{"NaN"});
}

TEST(Conversions, StringTruthDependsOnVersion) {
    Bytecode code;
    code.push({"true"}).op(0x12).op(0x12).trace();  // !!"true"
    code.push({"0"}).op(0x12).op(0x12).trace();
    code.push({"5"}).op(0x12).op(0x12).trace();
    EXPECT_EQ(runScript(code, 6), (Lines{"false", "false", "true"}));
    EXPECT_EQ(runScript(code, 7), (Lines{"true", "true", "true"}));
}

// Logic results are booleans in every version; version 4 prints them as 1 and 0.
TEST(Conversions, Version4PrintsBooleansAsDigits) {
    Bytecode code;
    code.push({1.0, 2.0}).op(0x0F).trace();  // 1 < 2
    code.push({3.0, 3.0}).op(0x0E).trace();  // 3 == 3
    code.push({3.0, 3.0}).op(0x0E).op(0x44).trace();  // typeof (3 == 3)
    EXPECT_EQ(runScript(code, 4), (Lines{"1", "1", "boolean"}));
    EXPECT_EQ(runScript(code, 5), (Lines{"true", "true", "boolean"}));
}

TEST(Conversions, NamesFoldCaseBefore7) {
    Bytecode code;
    code.setVariable("Score", 5.0).traceVariable("score");
    EXPECT_EQ(runScript(code, 6), Lines{"5"});
    EXPECT_EQ(runScript(code, 7), Lines{"undefined"});
}

TEST(Conversions, CaseFoldingCoversLettersBeyondAscii) {
    Bytecode code;
    code.setVariable("\xC3\x84rger", 1.0).traceVariable("\xC3\xA4RGER");         // Ärger / äRGER
    code.setVariable("\xD0\x96\xD0\xB0", 2.0).traceVariable("\xD0\xB6\xD0\x90");  // Жа / жА
    code.setVariable("\xC7\xB1", 3.0).traceVariable("\xC7\xB3");                // DZ digraph / dz
    EXPECT_EQ(runScript(code, 6), (Lines{"1", "2", "3"}));
    EXPECT_EQ(runScript(code, 7), (Lines{"undefined", "undefined", "undefined"}));
}

TEST(Conversions, DivisionByZeroIsAnErrorInVersion4) {
    Bytecode code;
    code.push({1.0, 0.0}).op(0x0D).trace();
    EXPECT_EQ(runScript(code, 4), Lines{"#ERROR#"});
    EXPECT_EQ(runScript(code, 5), Lines{"Infinity"});
}

TEST(Conversions, ToIntegerWrapsTo32Bits) {
    Bytecode code;
    code.push({4294967295.0}).op(0x18).trace();
    code.push({-2.7}).op(0x18).trace();
    code.push({"x"}).op(0x18).trace();
    EXPECT_EQ(runScript(code, 8), (Lines{"-1", "-2", "0"}));
}

TEST(Comparison, EqualityActionsDiffer) {
    Bytecode code;
    code.push({"1", 1.0}).op(0x49).trace();             // "1" == 1
    code.push({"1", 1.0}).op(0x66).trace();             // "1" === 1
    code.push({Null{}, Undefined{}}).op(0x49).trace();  // null == undefined
    code.push({Null{}, Undefined{}}).op(0x66).trace();  // null === undefined
    code.push({0.0, Undefined{}}).op(0x49).trace();     // 0 == undefined
    code.push({"abc", "abd"}).op(0x0E).trace();         // old Equals compares as numbers: NaN
    code.push({true, "1"}).op(0x49).trace();            // true == "1"
    EXPECT_EQ(runScript(code, 7), (Lines{"true", "false", "true", "false", "false", "false", "true"}));
}

TEST(Comparison, LessThanOfNaNIsUndefined) {
    Bytecode code;
    code.push({"a", 1.0}).op(0x48).trace();    // "a" < 1
    code.push({"a", "b"}).op(0x48).trace();    // string order
    code.push({"10", "9"}).op(0x48).trace();   // strings compare as text
    code.push({"10", 9.0}).op(0x48).trace();   // a number makes it numeric
    code.push({"10", "9"}).op(0x0F).trace();   // old Less is always numeric
    code.push({2.0, 1.0}).op(0x67).trace();    // 2 > 1
    EXPECT_EQ(runScript(code, 7), (Lines{"undefined", "true", "true", "false", "false", "true"}));
}

TEST(Comparison, NaNEqualsNaNOnlyBetweenNumbers) {
    Bytecode code;
    code.push({"NaN"}).op(0x1C).push({"NaN"}).op(0x1C).op(0x49).trace();  // NaN == NaN
    code.push({"NaN", "NaN"}).op(0x1C).op(0x49).trace();                  // "NaN" == NaN
    code.push({"true"}).push({"NaN"}).op(0x1C).op(0x49).trace();          // "true" == NaN
    code.push({"1.0", 1.0}).op(0x49).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"true", "false", "false", "true"}));
}

TEST(Comparison, AnObjectThatStaysAnObjectMakesLessThanFalse) {
    Bytecode code;
    // ({} < 0), (0 < {}), ({} < {}): the default valueOf gives the object back
    code.push({0.0, 0.0}).op(0x43).push({0.0}).op(0x48).trace();
    code.push({0.0, 0.0, 0.0}).op(0x43).op(0x48).trace();
    code.push({0.0}).op(0x43).push({0.0}).op(0x43).op(0x48).trace();
    // An object whose valueOf gives undefined compares as NaN.
    code.push({"valueOf"});
    code.function2("", {}, 1, 0, [](Bytecode& f) { f.push({Undefined{}}).op(0x3E); });
    code.push({1.0}).op(0x43).push({1.0}).op(0x48).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"false", "false", "false", "undefined"}));
}

TEST(Comparison, AddConcatenatesOnlyWithAString) {
    Bytecode code;
    code.push({"1", 2.0}).op(0x47).trace();  // Add2
    code.push({"1", 2.0}).op(0x0A).trace();  // old Add is numeric
    code.push({true, 2.0}).op(0x47).trace();
    EXPECT_EQ(runScript(code, 7), (Lines{"12", "3", "3"}));
}

TEST(Strings, ActionsCountBytesOrCharactersBeforeVersion6AndUtf16UnitsFrom6) {
    Bytecode code;
    std::string e = "h\xC3\xA9llo";  // "héllo": 6 bytes, 5 characters
    code.push({e}).op(0x14).trace();
    code.push({e}).op(0x31).trace();
    code.push({e, 2.0, 3.0}).op(0x35).trace();   // MBStringExtract from 2, 3 characters
    code.push({"abcdef", 0.0, 2.0}).op(0x15).trace();  // index below 1 reads from the start
    code.push({"abc", 2.0, 99.0}).op(0x15).trace();
    code.push({233.0}).op(0x37).op(0x36).trace();  // MBAsciiToChar then back
    code.push({"b", "a"}).op(0x29).trace();  // StringLess "b" < "a"
    EXPECT_EQ(runScript(code, 5), (Lines{"6", "5", "\xC3\xA9ll", "ab", "bc", "233", "false"}));
    EXPECT_EQ(runScript(code, 6), (Lines{"5", "5", "\xC3\xA9ll", "ab", "bc", "233", "false"}));
}

TEST(Strings, FromVersion6LoneSurrogatesReadAndWriteAsReplacementAndPositionsWrap) {
    Bytecode code;
    std::string smile = "\xF0\x9F\x98\x8B";  // one character, two UTF-16 units
    code.push({smile}).op(0x14).trace();
    code.push({smile}).op(0x32).trace();                    // a lone high half
    code.push({double(0xD801)}).op(0x33).op(0x32).trace();  // made alone: U+FFFD
    code.push({double(0x10050)}).op(0x33).trace();          // 16 bits: "P"
    code.push({0.0}).op(0x33).op(0x14).trace();             // a zero makes no text
    code.push({"abcdefgh", 4294967303.0, -4294967294.0}).op(0x15).trace();  // from 7, 2 long
    // The halves of a pair cut apart print as U+FFFD alone and as the character together.
    code.push({smile, 1.0, 1.0}).op(0x15).trace();
    code.push({smile, 1.0, 1.0}).op(0x15).push({smile, 2.0, 1.0}).op(0x15).op(0x21).trace();
    EXPECT_EQ(runScript(code, 6),
              (Lines{"2", "65533", "65533", "P", "0", "gh", "\xEF\xBF\xBD", smile}));
}

TEST(Bits, ShiftsAndMasksWorkOn32Bits) {
    Bytecode code;
    code.push({-1.0, 0.0}).op(0x65).trace();            // -1 >>> 0
    code.push({1.0, 33.0}).op(0x63).trace();            // shift counts wrap at 32
    code.push({4294967296.0 + 5, 3.0}).op(0x60).trace();  // 2^32 + 5 & 3
    code.push({-8.0, 1.0}).op(0x64).trace();            // arithmetic right shift
    code.push({6.0, 3.0}).op(0x62).trace();
    EXPECT_EQ(runScript(code, 10), (Lines{"4294967295", "2", "1", "-4", "5"}));
    // Up to version 8 the unsigned shift's result reads as a signed number.
    EXPECT_EQ(runScript(code, 8), (Lines{"-1", "2", "1", "-4", "5"}));
}

}  // namespace
}  // namespace swf::avm1::test
