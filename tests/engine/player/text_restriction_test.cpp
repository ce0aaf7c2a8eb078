// Which typed characters a field's restrict setting lets through, as the runtime reads the
// pattern: ranges, '^' switching between accepting and refusing, '\' escapes, and letters
// turning to their other case when only that one is accepted.
#include <gtest/gtest.h>

#include <string>

#include "player/TextRestriction.h"

namespace swf {
namespace {

// What typing `typed` leaves under `pattern` (ASCII and Greek letters only here).
std::u32string typeThrough(const std::string& pattern, const std::u32string& typed) {
    TextRestriction restriction(pattern);
    std::u32string out;
    for (char32_t c : typed)
        if (auto admitted = restriction.admit(c)) out += *admitted;
    return out;
}

const std::u32string kTyped = U"abcABC012^\\-* &\u03B4\u0394";

TEST(TextRestriction, RangesIncludeBothEndsAndAReversedOneIsEmpty) {
    EXPECT_EQ(typeThrough("a-z", kTyped), U"abcabc");
    EXPECT_EQ(typeThrough("A-z", kTyped), U"abcABC^\\");  // the punctuation between Z and a
    EXPECT_EQ(typeThrough("b-a", kTyped), U"bb");         // only the single 'b' before the dash
    EXPECT_EQ(typeThrough(" -~", kTyped), U"abcABC012^\\-* &");
    EXPECT_EQ(typeThrough("\u03B1-\u03C9", kTyped), U"\u03B4");  // no case change beyond ASCII
}

TEST(TextRestriction, ADashWithoutAStartRunsFromTheFirstCodeAndStrayDashesCountForNothing) {
    EXPECT_EQ(typeThrough("-b", kTyped), U"abCABC012^\\-* &");
    EXPECT_EQ(typeThrough("a-b-A", kTyped), U"abAb012-* &");  // a range ends, the next starts at 0
    EXPECT_EQ(typeThrough("a-", kTyped), U"aa");
    EXPECT_EQ(typeThrough("--", kTyped), U"");
    EXPECT_EQ(typeThrough("-----b", kTyped), U"abCABC012^\\-* &");
    EXPECT_EQ(typeThrough("b-----", kTyped), U"bb");
}

TEST(TextRestriction, CaretsSwitchBetweenAcceptingAndRefusingAndTheLastRuleWins) {
    EXPECT_EQ(typeThrough("^", kTyped), kTyped);  // refusing nothing accepts everything
    EXPECT_EQ(typeThrough("^^", kTyped), kTyped);
    EXPECT_EQ(typeThrough("^\\^", kTyped), U"abcABC012\\-* &\u03B4\u0394");
    EXPECT_EQ(typeThrough("a^b^c", kTyped), U"acac");
    EXPECT_EQ(typeThrough("a^b^c^A^B", kTyped), U"aBcaBc");
    EXPECT_EQ(typeThrough("a-zA-Z^bC", kTyped), U"aBcABc");
}

TEST(TextRestriction, BackslashTakesTheNextCharacterLiterally) {
    EXPECT_EQ(typeThrough("\\-", kTyped), U"-");
    EXPECT_EQ(typeThrough("a\\-z", kTyped), U"aa-");
    EXPECT_EQ(typeThrough("\\\\-\\^", kTyped), U"^\\");  // a range between escaped ends
    EXPECT_EQ(typeThrough("a\\", kTyped), U"aa");        // a trailing backslash is dropped
}

}  // namespace
}  // namespace swf
